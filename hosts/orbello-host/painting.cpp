// The window's frame: the board (drawn by the module) on the left, the status, the move
// list and the keys on the right; painted whole off screen, then shown.
#include "host.h"

#include <cstdio>
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
    // The newest lines that fit above the buttons.
    const size_t fit = 14;
    size_t skip = host.log.size() > fit ? host.log.size() - fit : 0;
    for (const std::string& line : host.log) {
        if (skip > 0 && skip--) continue;
        TextOutA(dc, x, y, line.c_str(), static_cast<int>(line.size()));
        y += 16;
    }
    PaintButtons(dc, Buttons());
    SetTextColor(dc, RGB(110, 90, 70));
    const char* help[] = {
        "click: select a piece, then its target", "right click or Esc: drop the selection",
        host.engineCommand.empty() ? "N: new game" : "B / W: play Black / White, N: new game"};
    for (int i = 0; i < 3; ++i)
        TextOutA(dc, x, kClientH - 60 + 16 * i, help[i], static_cast<int>(strlen(help[i])));
    SelectObject(dc, oldFont);
}

} // namespace

std::vector<PaintedButton> Buttons() {
    const int x = kBoardRect.right + 30, right = kClientW - 10, middle = (x + right) / 2;
    std::vector<PaintedButton> buttons;
    if (host.engineCommand.empty()) {
        buttons.push_back({{x, 318, right, 344}, "New game (N)", ID_NEW_GAME});
    } else {
        buttons.push_back({{x, 318, middle - 4, 344}, "Play Black (B)", ID_PLAY_BLACK});
        buttons.push_back({{middle + 4, 318, right, 344}, "Play White (W)", ID_PLAY_WHITE});
    }
    if (host.opt.defaultEngine) {
        char text[48];
        snprintf(text, sizeof text, "Thinking time: %g s (T)", host.opt.movetimeMs / 1000.0);
        buttons.push_back({{x, 352, right, 378}, text, ID_THINKING_TIME});
    }
    return buttons;
}

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
