// Values of searched positions, found again by the two position hashes.
#pragma once

#include <cstdint>

constexpr int TT_SIZE = 1000000;
constexpr int TT_MISS = 666666;

struct TTEntry {
    uint64_t check;
    int value;
    int depth;
    int move_number;
    int exact;
    int score_opponent;
    int score_engine;
};

extern TTEntry transposition_table[TT_SIZE];

// Value stored for the current position at a depth of at least depth and the same move
// number and scores; sets exact from the entry. TT_MISS (exact untouched) when none.
int tt_probe(int depth, int move_number, int& exact);
void tt_store(int depth, int move_number, int value, int exact);

// Empties every entry.
void tt_clear();
