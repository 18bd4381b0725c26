// The strong player's choice of line: exact once the position can be solved within the
// budget, which is always the case once no safe line is left; before that the middle game's
// search for control, and the default search only if that has no answer in time.
#pragma once

#include <cstdint>

#include "endgame/solver.h"
#include "search/search.h"

namespace strong {

// What the last choice did, for the bench and the tests.
struct StrongStats {
    bool exact = false;  // the line came from a completed exact solve
    int value = 0;       // its margin of the untaken boxes (an estimate unless exact)
    long long nodes = 0; // nodes of the strong searches in this choice
    int undrawn = 0;     // lines left when it chose
    int depth = 0;       // the middle game's deepest finished depth (0: not used)
};

extern StrongStats strong_stats;

// Same contract as choose_move: an undrawn line of the engine's position, within
// limits.budget_ms (limits.node_limit, when set, bounds the searches instead of the clock,
// so that tests and the bench replay exactly).
Move choose_strong_move(const SearchLimits& limits);

// The exact solve's share of a line's budget, in percent (see choose_strong_move).
int exact_share_percent(int undrawn, bool safe_lines_left);

// The exact choice on a mask alone, or -1 when not proven within the limits.
int exact_line(uint64_t drawn, long long node_limit, long long deadline_ms, int* value = nullptr);

// The solver kept between lines and games.
EndgameSolver& strong_solver();

// Empties the tables kept between lines, as at the start of the program (for measurements
// that take positions one at a time).
void reset_strong_player();

} // namespace strong
