// The 25 boxes as bits of a 32-bit word (box r * 5 + c), classed by how many of their sides
// are drawn, computed from the line mask with a handful of word operations instead of a
// loop over boxes: the solver does this at every node.
//
// With the line numbering of geometry.h, box b's top line is bit b, its bottom line bit
// b + 5, its left line bit 30 + r * 6 + c and its right line the bit after that, so the four
// side words are shifts of the mask (the vertical lines squeezed from rows of 6 to rows of 5).
#pragma once

#include <cstdint>

namespace strong {

constexpr uint32_t ALL_BOXES = (uint32_t{1} << 25) - 1;
constexpr uint32_t COLUMN_0 = 0x0108421; // boxes of column 0
constexpr uint32_t COLUMN_4 = COLUMN_0 << 4;
constexpr uint32_t ROW_0 = 0x1f;
constexpr uint32_t ROW_4 = ROW_0 << 20;

// Bits 6r .. 6r + 4 of x to bits 5r .. 5r + 4, for r = 0..4.
inline uint32_t squeeze_rows(uint64_t x) {
    return static_cast<uint32_t>((x & 0x1f) | ((x >> 1) & (0x1fu << 5)) |
                                 ((x >> 2) & (0x1fu << 10)) | ((x >> 3) & (0x1fu << 15)) |
                                 ((x >> 4) & (0x1fu << 20)));
}

// The inverse: bits 5r .. 5r + 4 to bits 6r .. 6r + 4.
inline uint64_t spread_rows(uint32_t x) {
    uint64_t y = x;
    return (y & 0x1f) | ((y & (0x1fu << 5)) << 1) | ((y & (0x1fu << 10)) << 2) |
           ((y & (0x1fu << 15)) << 3) | ((y & (0x1fu << 20)) << 4);
}

// Bits set in a word; portable (no instruction set assumed) and branch-free.
inline int bit_count(uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555ull);
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0full;
    return static_cast<int>((x * 0x0101010101010101ull) >> 56);
}

inline int lowest_bit(uint64_t x) {
    return __builtin_ctzll(x);
}

struct BoxSets {
    uint32_t by_sides[5]; // boxes with 0, 1, 2, 3, 4 sides drawn
    uint32_t open_right;  // boxes joined to the box on their right by an undrawn line
    uint32_t open_down;   // boxes joined to the box below by an undrawn line
    uint32_t grounded;    // boxes with an undrawn line on the border of the board
};

inline BoxSets box_sets(uint64_t drawn) {
    const uint32_t top = static_cast<uint32_t>(drawn) & ALL_BOXES;
    const uint32_t bottom = static_cast<uint32_t>(drawn >> 5) & ALL_BOXES;
    const uint64_t vertical = drawn >> 30;
    const uint32_t left = squeeze_rows(vertical);
    const uint32_t right = squeeze_rows(vertical >> 1);
    // Per box, the four one-bit sides added into a three-bit count (s2 s1 s0); the three
    // carries into bit 1 are 2 only when all four sides are drawn.
    const uint32_t tb = top ^ bottom, lr = left ^ right;
    const uint32_t s0 = tb ^ lr;
    const uint32_t c1 = top & bottom, c2 = left & right, c3 = tb & lr;
    const uint32_t s1 = c1 ^ c2 ^ c3;
    const uint32_t s2 = c1 & c2;
    BoxSets s;
    s.by_sides[0] = ~(s0 | s1 | s2) & ALL_BOXES;
    s.by_sides[1] = s0 & ~s1;
    s.by_sides[2] = s1 & ~s0;
    s.by_sides[3] = s1 & s0;
    s.by_sides[4] = s2;
    s.open_right = ~right & ALL_BOXES & ~COLUMN_4;
    s.open_down = ~bottom & (ALL_BOXES >> 5);
    s.grounded = (~top & ROW_0) | (~bottom & ROW_4) | (~left & COLUMN_0) | (~right & COLUMN_4);
    return s;
}

// The boxes joined to a box of x by an undrawn line.
inline uint32_t neighbours(const BoxSets& s, uint32_t x) {
    return ((x & s.open_right) << 1) | ((x >> 1) & s.open_right) | ((x & s.open_down) << 5) |
           ((x >> 5) & s.open_down);
}

// The boxes of within reachable from seed through undrawn lines without leaving within.
inline uint32_t flood(const BoxSets& s, uint32_t seed, uint32_t within) {
    uint32_t reach = seed, grown;
    while ((grown = (reach | neighbours(s, reach)) & within) != reach) reach = grown;
    return reach;
}

// Every line that is a side of a box of x.
inline uint64_t sides_of(uint32_t x) {
    const uint64_t horizontal = static_cast<uint64_t>(x) | static_cast<uint64_t>(x) << 5;
    const uint64_t spread = spread_rows(x);
    return horizontal | (spread | spread << 1) << 30;
}

} // namespace strong
