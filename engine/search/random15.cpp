// A linear congruential generator with 15-bit draws, the same on every platform, so the
// key tables never depend on the C runtime the program is built against.
#include "search/random15.h"

namespace {
uint32_t state = 1;
}

void seed15(uint32_t seed) {
    state = seed;
}

int rand15() {
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state / 65536u) % 32768u);
}
