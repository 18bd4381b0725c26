// The one place where the strong player reads the engine's global position.
#pragma once

#include <cstdint>

#include "model/position.h"

namespace strong {

struct CompactPosition {
    uint64_t drawn = 0; // bit per line, numbered as in endgame/geometry.h
    int engine_boxes = 0;
    int opponent_boxes = 0;
};

CompactPosition compact_from_engine();

int line_of_move(const Move& m);
Move move_of_line(int line);

} // namespace strong
