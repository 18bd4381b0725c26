// Values of searched positions, found again by the two position hashes.
#pragma once

#include <cstdint>

constexpr int TT_SIZE = 1000000;

// 16 bytes, four to a cache line: the probe is the search's main memory stall. The
// fields' widths hold every value the search stores (depth at most 20 in play, a move
// number at most 61, scores at most 25); tt_store asserts it in debug builds.
struct TTEntry {
    uint64_t check;
    int32_t value;
    uint32_t depth : 12;
    uint32_t move_number : 8;
    uint32_t score_opponent : 5;
    uint32_t score_engine : 5;
    uint32_t exact : 1; // 1: the searched value of the node; 0: only a bound that cut it off
};

extern TTEntry transposition_table[TT_SIZE];

// The entry stored for the current position at a depth of at least depth and the same
// move number and scores, or nullptr when there is none.
const TTEntry* tt_probe(int depth, int move_number);
void tt_store(int depth, int move_number, int value, int exact);

// Asks the memory for the slot of the position with the given index hash, ahead of its
// probe. The sum of at most 60 keys below 2^56 never reaches the sign bit, so the
// unsigned remainder is the signed one and can never index outside the table.
inline void tt_prefetch(uint64_t index_hash_of_position) {
    __builtin_prefetch(&transposition_table[index_hash_of_position % TT_SIZE]);
}

// Empties every entry.
void tt_clear();
