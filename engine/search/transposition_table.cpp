// One fixed table of searched positions; the newest store to a slot always wins.
#include "search/transposition_table.h"

#include <cstring>

#include "model/position.h"

TTEntry transposition_table[TT_SIZE];

namespace {
// The sum of at most 60 keys below 2^56 never reaches the sign bit, so the unsigned
// remainder is the signed one and can never index outside the table.
inline TTEntry& slot() {
    return transposition_table[index_hash % TT_SIZE];
}
} // namespace

int tt_probe(int depth, int move_number, int& exact) {
    const TTEntry& e = slot();
    if (e.check == check_hash && e.depth >= depth && e.score_opponent == score_opponent &&
        e.score_engine == score_engine && e.move_number == move_number) {
        exact = e.exact;
        return e.value;
    }
    return TT_MISS;
}

void tt_store(int depth, int move_number, int value, int exact) {
    slot() = TTEntry{check_hash, value, depth, move_number, exact, score_opponent, score_engine};
}

void tt_clear() {
    std::memset(static_cast<void*>(transposition_table), 0, sizeof(transposition_table));
}
