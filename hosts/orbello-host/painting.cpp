// The window's frame: the board (drawn by the module) on the left, the status, the move
// list and the keys on the right; painted whole off screen, then shown.
#include "host.h"

#include <cstring>

namespace orbello_host {

namespace {

void PaintPanel(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, host.font);
    SetTextColor(dc, RGB(40, 30, 20));
    int x = kBoardRect.right + 30, y = 24;
    const char* title = "Orbello";
    TextOutA(dc, x, y, title, static_cast<int>(strlen(title)));
    y += 28;
    TextOutA(dc, x, y, host.status.c_str(), static_cast<int>(host.status.size()));
    y += 30;
    for (const std::string& line : host.log) {
        TextOutA(dc, x, y, line.c_str(), static_cast<int>(line.size()));
        y += 16;
    }
    SetTextColor(dc, RGB(110, 90, 70));
    const char* help[] = {"click: select a piece, then its target",
                          "right click or Esc: drop the selection", "N: new game"};
    for (int i = 0; i < 3; ++i)
        TextOutA(dc, x, kClientH - 60 + 16 * i, help[i], static_cast<int>(strlen(help[i])));
    SelectObject(dc, oldFont);
}

} // namespace

void Paint(HDC target) {
    HDC dc = host.frame.dc();
    RECT all = {0, 0, kClientW, kClientH};
    HBRUSH panel = CreateSolidBrush(RGB(236, 226, 206));
    FillRect(dc, &all, panel);
    DeleteObject(panel);
    HBRUSH board = CreateSolidBrush(RGB(214, 178, 120));
    FillRect(dc, &kBoardRect, board);
    DeleteObject(board);
    if (host.game) host.game->DrawBoard(dc);
    PaintPanel(dc);
    host.frame.Show(target);
}

} // namespace orbello_host
