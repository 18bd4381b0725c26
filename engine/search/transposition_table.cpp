// One fixed table of searched positions; the newest store to a slot always wins.
#include "search/transposition_table.h"

#include <cassert>
#include <cstring>

#include "model/position.h"

#ifdef __linux__
#include <sys/mman.h>
// On 2 MB pages a probe costs one cache miss instead of a cache miss and a page walk.
alignas(1 << 21) TTEntry transposition_table[TT_SIZE];
#else
TTEntry transposition_table[TT_SIZE];
#endif

namespace {
inline TTEntry& slot(uint64_t index) {
    return transposition_table[index % TT_SIZE]; // in range: see tt_prefetch
}

#ifdef __linux__
// Before the first touch of the table, so its pages are made large from the start.
const bool table_on_large_pages =
    madvise(transposition_table, sizeof transposition_table, MADV_HUGEPAGE) == 0;
#endif
} // namespace

const TTEntry* tt_probe(int depth, int move_number) {
    const TTEntry& e = slot(index_hash);
    if (e.check == check_hash && static_cast<int>(e.depth) >= depth &&
        static_cast<int>(e.score_opponent) == score_opponent &&
        static_cast<int>(e.score_engine) == score_engine &&
        static_cast<int>(e.move_number) == move_number)
        return &e;
    return nullptr;
}

void tt_store(int depth, int move_number, int value, int exact) {
    assert(depth >= 0 && depth < (1 << 12) && move_number >= 0 && move_number < (1 << 8));
    assert(score_opponent >= 0 && score_opponent <= BOX_COUNT && score_engine >= 0 &&
           score_engine <= BOX_COUNT && (exact == 0 || exact == 1));
    TTEntry& e = slot(index_hash);
    e.check = check_hash;
    e.value = value;
    e.depth = static_cast<uint32_t>(depth);
    e.move_number = static_cast<uint32_t>(move_number);
    e.score_opponent = static_cast<uint32_t>(score_opponent);
    e.score_engine = static_cast<uint32_t>(score_engine);
    e.exact = static_cast<uint32_t>(exact);
}

void tt_clear() {
    std::memset(static_cast<void*>(transposition_table), 0, sizeof(transposition_table));
}
