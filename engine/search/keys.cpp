// The per-line keys: drawn from a fixed seed, so they are the same in every game and run.
#include "search/keys.h"

#include "search/random15.h"

namespace {

// Four 15-bit draws make a value below 2^56; folding it by its top bits keeps it
// non-negative, so a sum of all 60 keys stays a non-negative signed 64-bit value.
uint64_t next_key() {
    int64_t r1 = rand15();
    int64_t r2 = rand15();
    int64_t r3 = rand15();
    int64_t r4 = rand15();
    int64_t v = (((((r1 << 11) ^ r2) << 15) ^ r3) << 15) ^ r4;
    int64_t s = v >> 36;
    return static_cast<uint64_t>((v ^ s) - s);
}

} // namespace

void init_keys() {
    seed15(5);
    uint64_t* index_flat = &index_keys[0][0];
    uint64_t* check_flat = &check_keys[0][0];
    for (int i = 0; i < 72; ++i) {
        index_flat[i] = next_key();
        check_flat[i] = next_key();
    }
    index_hash = 0;
    check_hash = 0;
}
