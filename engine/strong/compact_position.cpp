#include "strong/compact_position.h"

#include "endgame/geometry.h"

namespace strong {

CompactPosition compact_from_engine() {
    CompactPosition p;
    for (int a = 0; a <= 5; ++a)
        for (int b = 0; b <= 4; ++b)
            if (hline_drawn[hline_index(a, b)]) p.drawn |= uint64_t{1} << horizontal_line(a, b);
    for (int a = 0; a <= 4; ++a)
        for (int b = 0; b <= 5; ++b)
            if (vline_drawn[vline_index(a, b)]) p.drawn |= uint64_t{1} << vertical_line(a, b);
    p.engine_boxes = score_engine;
    p.opponent_boxes = score_opponent;
    return p;
}

int line_of_move(const Move& m) {
    return m.orient == 0 ? horizontal_line(m.a, m.b) : vertical_line(m.a, m.b);
}

Move move_of_line(int line) {
    if (line < 30) return Move{0, line / 5, line % 5};
    return Move{1, (line - 30) / 6, (line - 30) % 6};
}

} // namespace strong
