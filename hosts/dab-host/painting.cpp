// The window's frame: the board on the left; title, scores, status, the move list in the
// protocol's codes and the keys on the right. Painted whole off screen, then shown.
#include "dab_host.h"

#include <cstring>

namespace dab_host {

namespace {

void Text(HDC dc, int x, int y, const std::string& s) {
    TextOutA(dc, x, y, s.c_str(), static_cast<int>(s.size()));
}

void Swatch(HDC dc, int x, int y, COLORREF colour) {
    RECT r = {x, y + 2, x + 12, y + 14};
    HBRUSH b = CreateSolidBrush(colour);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

// The move list as rows of at most six codes; a turn's further rows are indented.
std::vector<std::string> MoveRows() {
    std::vector<std::string> rows;
    const std::vector<Turn>& turns = host.game.turns();
    for (size_t i = 0; i < turns.size(); ++i) {
        std::string head = std::to_string(i + 1) + ". " +
                           (turns[i].player == PERSON ? std::string("you") : host.engineLabel) +
                           " ";
        std::string codes = turns[i].codes();
        for (size_t at = 0; at < codes.size(); at += 18) {
            rows.push_back((at == 0 ? head : std::string("      ")) + codes.substr(at, 18));
        }
    }
    return rows;
}

} // namespace

const std::vector<win32_host::PaintedButton>& Buttons() {
    static const std::vector<win32_host::PaintedButton> buttons = {
        {{kPanelX, kClientH - 100, kPanelX + 124, kClientH - 72}, "You open (N)", ID_NEW_PERSON},
        {{kPanelX + 132, kClientH - 100, kClientW - 14, kClientH - 72},
         "Engine opens (E)",
         ID_NEW_ENGINE},
        {{kPanelX, kClientH - 62, kClientW - 14, kClientH - 34}, "Take back (U)", ID_TAKE_BACK},
    };
    return buttons;
}

void Paint(HDC target) {
    HDC dc = host.frame.dc();
    RECT all = {0, 0, kClientW, kClientH};
    HBRUSH panel = CreateSolidBrush(RGB(236, 232, 220));
    FillRect(dc, &all, panel);
    DeleteObject(panel);
    PaintBoard(dc);

    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, host.bold);
    SetTextColor(dc, RGB(30, 30, 30));
    const int x = kPanelX;
    Text(dc, x, 20, "Dots and Boxes");
    const dabtools::Board& b = host.game.board();
    Swatch(dc, x, 50, kPersonLine);
    Text(dc, x + 20, 50, "You: " + std::to_string(b.score[PERSON]));
    Swatch(dc, x, 72, kEngineLine);
    Text(dc, x + 20, 72, host.engineLabel + ": " + std::to_string(b.score[ENGINE]));
    SelectObject(dc, host.font);
    Text(dc, x, 102, host.status);
    if (!host.fault.empty()) {
        SetTextColor(dc, RGB(190, 20, 20));
        RECT r = {x, 122, kClientW - 10, 186};
        DrawTextA(dc, host.fault.c_str(), -1, &r, DT_WORDBREAK | DT_NOPREFIX);
        SetTextColor(dc, RGB(30, 30, 30));
    }
    int y = 190;
    Text(dc, x, y, "Moves");
    std::vector<std::string> rows = MoveRows();
    const int fit = (kClientH - 126 - (y + 20)) / 16;
    size_t first = rows.size() > static_cast<size_t>(fit) ? rows.size() - fit : 0;
    for (size_t i = first; i < rows.size(); ++i)
        Text(dc, x, y + 20 + 16 * static_cast<int>(i - first), rows[i]);
    SetTextColor(dc, RGB(90, 80, 70));
    Text(dc, x, kClientH - 120, "New game:");
    SetTextColor(dc, RGB(30, 30, 30));
    win32_host::PaintButtons(dc, Buttons());
    SelectObject(dc, oldFont);
    host.frame.Show(target);
}

} // namespace dab_host
