#include "endgame/loony_value.h"

#include <algorithm>

namespace strong {
namespace {

// A multiset of components as one word: chain sizes in unary in the low half (each size n
// as a one followed by n - 1 zeros, sizes in ascending order, a final one), loops the same
// in the high half. 25 boxes fit in 26 bits each.
uint64_t key_of(const uint8_t* chains, int n_chains, const uint8_t* loops, int n_loops) {
    uint64_t low = 0, high = 0;
    int at = 0;
    for (int i = 0; i < n_chains; ++i) {
        low |= uint64_t{1} << at;
        at += chains[i];
    }
    low |= uint64_t{1} << at;
    at = 0;
    for (int i = 0; i < n_loops; ++i) {
        high |= uint64_t{1} << at;
        at += loops[i];
    }
    high |= uint64_t{1} << at;
    return low | high << 32;
}

struct Memo {
    static constexpr int BITS = 14;
    uint64_t key[1 << BITS] = {};
    int8_t value[1 << BITS] = {};
};

// Values of multisets are facts of the game, so one memo serves every solver.
Memo& memo() {
    static Memo m;
    return m;
}

// Chains and loops each sorted ascending.
int value_of(uint8_t* chains, int n_chains, uint8_t* loops, int n_loops) {
    if (n_chains + n_loops == 0) return 0;
    const uint64_t key = key_of(chains, n_chains, loops, n_loops);
    Memo& m = memo();
    const size_t slot = (key * 0x9E3779B97F4A7C15ull) >> (64 - Memo::BITS);
    if (m.key[slot] == key) return m.value[slot];

    int best = -100;
    // Each distinct size once; removing element i keeps the rest sorted.
    for (int i = 0; i < n_chains; ++i) {
        if (i > 0 && chains[i] == chains[i - 1]) continue;
        const int n = chains[i];
        uint8_t rest[25];
        std::copy(chains, chains + i, rest);
        std::copy(chains + i + 1, chains + n_chains, rest + i);
        const int f = value_of(rest, n_chains - 1, loops, n_loops);
        const int v = n <= 2 ? -(n + f) : -std::max(n + f, n - 4 - f);
        best = std::max(best, v);
    }
    for (int i = 0; i < n_loops; ++i) {
        if (i > 0 && loops[i] == loops[i - 1]) continue;
        const int n = loops[i];
        uint8_t rest[25];
        std::copy(loops, loops + i, rest);
        std::copy(loops + i + 1, loops + n_loops, rest + i);
        const int f = value_of(chains, n_chains, rest, n_loops - 1);
        best = std::max(best, -std::max(n + f, n - 8 - f));
    }
    m.key[slot] = key;
    m.value[slot] = static_cast<int8_t>(best);
    return best;
}

} // namespace

int loony_value(const Components& components) {
    uint8_t chains[25], loops[25];
    int n_chains = 0, n_loops = 0;
    for (int i = 0; i < components.count; ++i) {
        if (components.loop[i])
            loops[n_loops++] = components.size[i];
        else
            chains[n_chains++] = components.size[i];
    }
    std::sort(chains, chains + n_chains);
    std::sort(loops, loops + n_loops);
    return value_of(chains, n_chains, loops, n_loops);
}

} // namespace strong
