// The fight for control while safe lines are left: an alpha-beta over the safe lines (and
// over captures and hand-backs when boxes can be taken) with a table by canonical form.
// Positions with no safe line left are valued exactly by the endgame solver when it proves
// them quickly; at the depth horizon the safe lines are played out in one pass, and the
// parity of their number says who has to open the first chain or loop there, worth the
// controlled value of what the pass leaves (the long-chain rule made concrete).
#pragma once

#include <cstdint>

#include "endgame/solver.h"

namespace strong {

struct MiddleResult {
    int line = -1; // -1 when not even depth 1 finished
    int value = 0; // estimated margin of the untaken boxes for the side to move
    int depth = 0; // deepest depth finished
    long long nodes = 0;
};

// Iterative deepening up to max_depth until the steady clock passes deadline_ms (0: none)
// or node_limit nodes (0: none) have been searched.
MiddleResult middle_game_line(uint64_t drawn, long long deadline_ms, long long node_limit,
                              EndgameSolver& exact, int max_depth = 40);

// Empties the middle game's table (its entries are estimates kept between lines).
void clear_middle_game_table();

// The controlled value of a position with no safe line left: the margin, over the untaken
// boxes, of the player who is not to move when it keeps control to the end.
int controlled_value(uint64_t drawn);

} // namespace strong
