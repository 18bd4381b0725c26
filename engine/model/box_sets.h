// The boxes' structure codes and side counts as sets of boxes, one bit per box (bit
// row * 5 + col, so bit order is the row-by-row scan order), kept beside the boxes' own
// fields. Evaluation and move generation find the boxes of a code without visiting all
// 25, and undo_line restores only the boxes that the line's placement rewrote.
#pragma once

#include <cassert>
#include <cstdint>

#include "model/position.h"

constexpr uint32_t ALL_BOXES = (uint32_t{1} << BOX_COUNT) - 1;

struct BoxSets {
    uint32_t of_type[TYPE_CHAIN + 1]; // boxes by chain_type
    uint32_t few_sides;               // boxes with at most one side drawn
    // Boxes whose chain_type, capture_mark or chain_id was written since place_line began.
    uint32_t rewritten;
};

extern BoxSets box_sets;

inline int box_number(const Box* b) {
    return static_cast<int>(b - &boxes[0][0]);
}
inline Box* box_at(int number) {
    return &boxes[0][0] + number;
}
inline uint32_t box_bit(const Box* b) {
    return uint32_t{1} << box_number(b);
}

// Every write of a box's chain_type, capture_mark or chain_id goes through these (init_board
// and undo_line rebuild the sets themselves).
inline void set_chain_type(Box* b, int type) {
    assert(type >= TYPE_NONE && type <= TYPE_CHAIN && type != 4 && type != 6);
    const uint32_t bit = box_bit(b);
    box_sets.of_type[b->chain_type] &= ~bit;
    box_sets.of_type[type] |= bit;
    box_sets.rewritten |= bit;
    b->chain_type = type;
}
inline void set_capture_mark(Box* b, int mark) {
    box_sets.rewritten |= box_bit(b);
    b->capture_mark = mark;
}
inline void set_chain_id(Box* b, int id) {
    box_sets.rewritten |= box_bit(b);
    b->chain_id = id;
}

// Recomputes the sets from the boxes' fields (init_board ends with it).
void rebuild_box_sets();

// nullptr when the sets agree with the boxes' fields, else what differs (static buffer).
const char* box_sets_fault();
