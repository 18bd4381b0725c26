// The board drawn: boxes in their owner's colour, lines in their drawer's, the hint's lines,
// the highlighted line, the dots.
#include "dab_host.h"

namespace dab_host {

using dabtools::Board;

namespace {

void DrawLine(HDC dc, int line, COLORREF colour, int width) {
    POINT a, b;
    LineEnds(line, &a, &b);
    HPEN pen = CreatePen(PS_SOLID, width, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, a.x, a.y, nullptr);
    LineTo(dc, b.x, b.y);
    SelectObject(dc, old);
    DeleteObject(pen);
}

} // namespace

void PaintBoard(HDC dc) {
    HBRUSH paper = CreateSolidBrush(RGB(252, 250, 244));
    FillRect(dc, &kBoardRect, paper);
    DeleteObject(paper);
    const Board& board = host.game.board();
    for (int box = 0; box < dabtools::BOXES; ++box) {
        if (!board.owner[box]) continue;
        POINT p = DotPixel(box / 5, box % 5);
        RECT r = {p.x, p.y, p.x + kSpacing, p.y + kSpacing};
        HBRUSH fill = CreateSolidBrush(board.owner[box] == PERSON ? kPersonBox : kEngineBox);
        FillRect(dc, &r, fill);
        DeleteObject(fill);
    }
    // Each line in the colour of the player who drew it; the last turn's lines wider.
    const std::vector<Turn>& turns = host.game.turns();
    for (size_t t = 0; t < turns.size(); ++t)
        for (int line : turns[t].lines)
            DrawLine(dc, line, turns[t].player == PERSON ? kPersonLine : kEngineLine,
                     t + 1 == turns.size() ? 7 : 5);
    for (int line : host.hint)
        if (!board.drawn[line]) DrawLine(dc, line, kHintLine, 5);
    if (host.hoverLine >= 0 && !board.drawn[host.hoverLine])
        DrawLine(dc, host.hoverLine, kHoverLine, 5);
    HBRUSH ink = CreateSolidBrush(RGB(30, 30, 30));
    HGDIOBJ oldBrush = SelectObject(dc, ink);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 6; ++c) {
            POINT p = DotPixel(r, c);
            Ellipse(dc, p.x - 6, p.y - 6, p.x + 7, p.y + 7);
        }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(ink);
}

} // namespace dab_host
