// Board values, move records and the two capture loops.
#ifndef ORBELLO_RULES_BOARD_H
#define ORBELLO_RULES_BOARD_H

#include <cstdint>

// Cell values; BLACK and WHITE are also the side numbers, and the opponent of s is 1 - s.
constexpr int BLACK = 0;
constexpr int WHITE = 1;
constexpr int EMPTY = 2;

constexpr int BOARD_SIZE = 6;
constexpr int LOOP_LENGTH = 28;

struct BoardPoint {
    std::int32_t x;
    std::int32_t y;
};

inline bool operator==(const BoardPoint& a, const BoardPoint& b) {
    return a.x == b.x && a.y == b.y;
}

// One applied move or, with target (-1, -1), the current selection.
struct MoveRecord {
    std::int32_t fromX;
    std::int32_t fromY;
    std::int32_t toX;
    std::int32_t toY;
    bool captured;
    std::int32_t side;
};

// Loops in travel order; an entry with both coordinates 0 or 5 is the arc around that corner.
extern const BoardPoint SmallLoop[LOOP_LENGTH];
extern const BoardPoint LargeLoop[LOOP_LENGTH];

inline bool IsCornerPoint(const BoardPoint& p) {
    return (p.x == 0 || p.x == 5) && (p.y == 0 || p.y == 5);
}

#endif
