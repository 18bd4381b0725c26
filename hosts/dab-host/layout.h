// Where things are in dab-host's window and their colours; the pixel tests read the same.
#pragma once

#include "dab_board.h"

#include <windows.h>

#include <cstdlib>

namespace dab_host {

// The dots on the left, the panel with scores, status, move list and buttons on the right.
constexpr int kClientW = 860, kClientH = 520;
constexpr int kDotX = 70, kDotY = 70, kSpacing = 76;
constexpr RECT kBoardRect = {20, 20, 500, 500};
constexpr int kPanelX = 530;

constexpr COLORREF kPersonLine = RGB(40, 90, 200), kEngineLine = RGB(200, 50, 40);
constexpr COLORREF kPersonBox = RGB(165, 195, 245), kEngineBox = RGB(245, 175, 165);
constexpr COLORREF kHoverLine = RGB(245, 190, 40);
constexpr COLORREF kHintLine = RGB(40, 170, 70);
constexpr COLORREF kPanelColour = RGB(236, 232, 220);

// Dot (row, column); lines numbered as on the referee's board.
inline POINT DotPixel(int row, int column) {
    return POINT{kDotX + kSpacing * column, kDotY + kSpacing * row};
}

// The two dots a line joins.
inline void LineEnds(int line, POINT* a, POINT* b) {
    if (line < 30) { // horizontal: dot row line / 5, from column line % 5 to the next
        *a = DotPixel(line / 5, line % 5);
        *b = DotPixel(line / 5, line % 5 + 1);
    } else { // vertical: box row (line - 30) / 6, dot column (line - 30) % 6
        *a = DotPixel((line - 30) / 6, (line - 30) % 6);
        *b = DotPixel((line - 30) / 6 + 1, (line - 30) % 6);
    }
}

inline POINT LineMiddle(int line) {
    POINT a, b;
    LineEnds(line, &a, &b);
    return POINT{(a.x + b.x) / 2, (a.y + b.y) / 2};
}

inline POINT BoxMiddle(int box) {
    POINT p = DotPixel(box / 5, box % 5);
    return POINT{p.x + kSpacing / 2, p.y + kSpacing / 2};
}

// The line a click at (x, y) means: of the lines the point lies beside (between their two
// dots), the nearest, when it is within a third of a box; else -1.
inline int LineAt(int x, int y) {
    int best = -1, bestDistance = kSpacing / 3 + 1;
    for (int line = 0; line < dabtools::LINES; ++line) {
        POINT a, b;
        LineEnds(line, &a, &b);
        bool horizontal = a.y == b.y;
        int along = horizontal ? x : y, from = horizontal ? a.x : a.y, to = horizontal ? b.x : b.y;
        int distance = horizontal ? std::abs(y - a.y) : std::abs(x - a.x);
        if (along >= from && along <= to && distance < bestDistance) {
            best = line;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace dab_host
