// Iterative-deepening negamax alpha-beta over the one global position.
#pragma once

#include "model/position.h"

constexpr int SCORE_INF = 100000;
constexpr int TURN_BUDGET_MS = 5000;
constexpr int MIN_DEPTH = 3;
constexpr int MAX_DEPTH = 20;
constexpr int WIN_BOXES = 13;

struct SearchLimits {
    int budget_ms = TURN_BUDGET_MS;
    int min_depth = MIN_DEPTH;
    int max_depth = MAX_DEPTH;
    // When positive, the clock also counts as run out once this many search calls have
    // been made: a deterministic stand-in for the deadline in tests. 0 for play.
    long long node_limit = 0;
    // When not 0, the command loop seeds the opening's random draws with this instead of
    // the time at every new game, so a session replays exactly. 0 for play.
    uint32_t seed = 0;
};

// What the last choose_move did, for tests and the bench.
struct SearchStats {
    long long nodes = 0;     // search calls
    int completed_depth = 0; // deepest depth that finished before the deadline; 0 if none
    int empty_lists = 0;     // times move generation came back empty with lines left
    int root_value = 0;      // value of the line the last finished search_root returned
};

extern SearchStats search_stats;

// Times move generation came back empty with lines left, over the whole run: search_stats
// only covers the last choose_move.
extern long long empty_lists_run;

// The line the engine draws now, searched from round1. Always an undrawn line while one
// remains. The program always uses the default limits.
Move choose_move(const SearchLimits& limits = SearchLimits());

// The best line of the current position searched to depth.
Move search_root(int depth);

// Negamax value of the current position for side, with one bound travelling down.
int search(int depth, int bound, int side, int move_number, int few_moves);
