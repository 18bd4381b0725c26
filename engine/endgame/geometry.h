// The strong player's own view of the board: 60 lines as bits of one 64-bit mask
// (horizontal line at dot row a, box column b: bit a * 5 + b; vertical line at box row a,
// dot column b: bit 30 + a * 6 + b), the boxes beside each line, the sides of each box, and
// the eight symmetries of the square as line permutations.
#pragma once

#include <cstdint>

#include "endgame/box_sets.h"

namespace strong {

constexpr int LINES = 60;
constexpr int BOXES = 25;
constexpr uint64_t ALL_LINES = (uint64_t{1} << LINES) - 1;
constexpr int SYMMETRIES = 8;

struct Geometry {
    uint64_t box_sides[BOXES]; // the four lines of each box
    int line_boxes[LINES][2];  // the boxes beside a line; -1 on the border side
    int line_box_count[LINES];
    int symmetry[SYMMETRIES][LINES]; // where each line goes under each symmetry
    int inverse[SYMMETRIES][LINES];
    // symmetry s of a mask is the OR over its 8 bytes of byte_image[s][i][byte i]
    uint64_t byte_image[SYMMETRIES][8][256];
    int centrality[LINES];   // smaller is nearer the centre of the board
    int centre_order[LINES]; // every line, nearest the centre first
    // The same order as masks: lines of equal distance from the centre, nearest first
    // (within a mask, by number).
    uint64_t centre_rings[LINES];
    int ring_count;
};

Geometry build_geometry();

// Built on first use; inline so that the searches' many calls cost a test, not a call.
inline const Geometry& geometry() {
    static const Geometry g = build_geometry();
    return g;
}

inline int horizontal_line(int a, int b) {
    return a * 5 + b;
}
inline int vertical_line(int a, int b) {
    return 30 + a * 6 + b;
}

inline int sides_drawn(uint64_t drawn, int box) {
    return bit_count(drawn & geometry().box_sides[box]);
}

// Boxes completed by drawing line (0, 1 or 2) on a board where it is undrawn.
inline int boxes_completed(uint64_t drawn, int line) {
    const Geometry& g = geometry();
    int n = 0;
    for (int i = 0; i < g.line_box_count[line]; ++i)
        if (sides_drawn(drawn, g.line_boxes[line][i]) == 3) ++n;
    return n;
}

uint64_t apply_symmetry(uint64_t drawn, int s);

// The two border lines of a corner box are both ties of that one box to the border, so
// which of them is drawn changes nothing in the game: the value of a position depends only
// on which boxes each undrawn line joins (to each other or to the border). Positions are
// searched in a normal form: a corner box with one of its border lines drawn has its
// horizontal one drawn.
constexpr int CORNER_BORDERS[4][2] = {{0, 30}, {4, 35}, {25, 54}, {29, 59}}; // horizontal, vertical

inline uint64_t ground_normal(uint64_t drawn) {
    uint64_t swap = 0;
    for (const auto& c : CORNER_BORDERS)
        if ((drawn >> c[1] & 1) && !(drawn >> c[0] & 1))
            swap |= uint64_t{1} << c[0] | uint64_t{1} << c[1];
    return drawn ^ swap;
}

// The vertical border lines of corner boxes whose horizontal border line is undrawn too:
// drawing either gives the same normal form, so only the horizontal one is tried.
inline uint64_t twin_border_lines(uint64_t drawn) {
    uint64_t twins = 0;
    for (const auto& c : CORNER_BORDERS)
        if (!(drawn >> c[0] & 1)) twins |= uint64_t{1} << c[1];
    return twins;
}

// The least image of the mask over the eight symmetries, and which symmetry gave it.
uint64_t canonical(uint64_t drawn, int& sym);

// A line is safe when drawing it gives no box a third (or fourth) side.
bool is_safe(uint64_t drawn, int line);
int safe_line_count(uint64_t drawn);

} // namespace strong
