// The window's frame: the board on the left; title, scores, status, level, notes, the move
// list in the protocol's codes, the buttons and the keys on the right. Painted whole off
// screen at its own size, then shown scaled to the window.
#include "dab_host.h"

#include <cstring>
#include <set>

namespace dab_host {

namespace {

const int kRight = kClientW - 14; // the panel's right edge

// Text that does not fit where it is painted is reported once on standard output, so a
// scripted run shows it (the tests look for it).
void CheckFits(HDC dc, const std::string& s, int room) {
    static std::set<std::string> reported;
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, s.c_str(), static_cast<int>(s.size()), &size);
    if (size.cx > room && reported.insert(s).second) Log("clipped text: " + s);
}

void Text(HDC dc, int x, int y, const std::string& s) {
    CheckFits(dc, s, kRight - x);
    TextOutA(dc, x, y, s.c_str(), static_cast<int>(s.size()));
}

void Swatch(HDC dc, int x, int y, COLORREF colour) {
    RECT r = {x, y + 2, x + 12, y + 14};
    HBRUSH b = CreateSolidBrush(colour);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

// A name cut to at most `most` characters, so that it fits the panel.
std::string Short(const std::string& name, size_t most) {
    return name.size() <= most ? name : name.substr(0, most - 3) + "...";
}

// The move list as rows of at most six codes; a turn's further rows are indented.
std::vector<std::string> MoveRows(const std::string names[3]) {
    std::vector<std::string> rows;
    const std::vector<Turn>& turns = host.game.turns();
    for (size_t i = 0; i < turns.size(); ++i) {
        std::string head = std::to_string(i + 1) + ". " + names[turns[i].player] + " ";
        std::string codes = turns[i].codes();
        for (size_t at = 0; at < codes.size(); at += 18) {
            rows.push_back((at == 0 ? head : std::string("      ")) + codes.substr(at, 18));
        }
    }
    return rows;
}

std::string LevelText() {
    if (!host.levels) return "Levels: not available for this engine";
    return "Level " + std::to_string(host.level) + " of 5" +
           (host.level == kTopLevel ? " (full strength)" : "");
}

// What the record shown says at its last turn: the result, the fault.
std::string RecordText() {
    const Viewing& v = host.view;
    const game_records::DabGame& g = v.record.game;
    if (v.shown < g.turns.size()) return "Left/Right: a turn, Home/End, P: play on";
    std::string s = g.winner < 0 ? "Not over" : g.labels[g.winner] + " wins";
    if (!g.reason.empty()) s += ": " + g.reason;
    return s;
}

} // namespace

const std::vector<win32_host::PaintedButton>& Buttons() {
    const int x = kPanelX, y = kClientH - 150;
    static const std::vector<win32_host::PaintedButton> buttons = {
        {{x, y, x + 150, y + 28}, "You open (N)", ID_NEW_PERSON},
        {{x + 158, y, kRight, y + 28}, "Engine opens (E)", ID_NEW_ENGINE},
        {{x, y + 34, x + 118, y + 62}, "Take back (U)", ID_TAKE_BACK},
        {{x + 124, y + 34, x + 206, y + 62}, "Hint (H)", ID_HINT},
        {{x + 212, y + 34, kRight, y + 62}, "Play on (P)", ID_PLAY_ON},
        {{x, y + 68, x + 118, y + 96}, "Level (L, 1-5)", ID_LEVEL},
        {{x + 124, y + 68, x + 206, y + 96}, "Save (S)", ID_SAVE},
        {{x + 212, y + 68, kRight, y + 96}, "Open (O)", ID_OPEN},
    };
    return buttons;
}

void Paint(HDC target) {
    HDC dc = host.frame.dc();
    RECT all = {0, 0, kClientW, kClientH};
    HBRUSH panel = CreateSolidBrush(kPanelColour);
    FillRect(dc, &all, panel);
    DeleteObject(panel);
    PaintBoard(dc);

    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, host.bold);
    SetTextColor(dc, RGB(30, 30, 30));
    const int x = kPanelX;
    const bool record = host.view.on;
    // Names by board player: a record shows its colours, Black in the person's colours.
    const std::string names[3] = {
        "", record ? Short(host.view.record.game.labels[0], 18) + " (black)" : std::string("You"),
        record ? Short(host.view.record.game.labels[1], 18) + " (white)"
               : Short(host.engineLabel, 26)};
    // In the move list: "you" and the engine, or a record's colours.
    const std::string movers[3] = {"", record ? "black" : "you",
                                   record ? "white" : Short(host.engineLabel, 14)};
    Text(dc, x, 14, record ? "Dots and Boxes: a record" : "Dots and Boxes");
    const dabtools::Board& b = host.game.board();
    Swatch(dc, x, 42, kPersonLine);
    Text(dc, x + 20, 42, names[PERSON] + ": " + std::to_string(b.score[PERSON]));
    Swatch(dc, x, 64, kEngineLine);
    Text(dc, x + 20, 64, names[ENGINE] + ": " + std::to_string(b.score[ENGINE]));
    SelectObject(dc, host.font);
    Text(dc, x, 90, host.status);
    Text(dc, x, 108, record ? RecordText() : LevelText());
    // The fault, else the last action's note, in up to three lines.
    const std::string& note = host.fault.empty() ? host.note : host.fault;
    if (!note.empty()) {
        SetTextColor(dc, host.fault.empty() ? RGB(30, 70, 140) : RGB(190, 20, 20));
        RECT r = {x, 128, kRight, 178};
        DrawTextA(dc, note.c_str(), -1, &r, DT_WORDBREAK | DT_NOPREFIX | DT_END_ELLIPSIS);
        SetTextColor(dc, RGB(30, 30, 30));
    }
    int y = 180;
    const std::string file = host.view.file.substr(host.view.file.find_last_of("\\/") + 1);
    Text(dc, x, y, record ? "Turns of " + Short(file, 30) : "Moves");
    std::vector<std::string> rows = MoveRows(movers);
    const int fit = (kClientH - 156 - (y + 20)) / 16;
    size_t first = rows.size() > static_cast<size_t>(fit) ? rows.size() - fit : 0;
    for (size_t i = first; i < rows.size(); ++i)
        Text(dc, x, y + 20 + 16 * static_cast<int>(i - first), rows[i]);
    for (const win32_host::PaintedButton& button : Buttons())
        CheckFits(dc, button.text, button.rect.right - button.rect.left - 8);
    win32_host::PaintButtons(dc, Buttons());
    SetTextColor(dc, RGB(90, 80, 70));
    Text(dc, x, kClientH - 50, "Keys: N E U/Backspace H P L 1-5 S O");
    Text(dc, x, kClientH - 32, "Ctrl+S/O; a record: arrows, Home, End");
    SelectObject(dc, oldFont);
    ShowScaled(target);
}

FrameArea FrameOnWindow() {
    RECT client;
    GetClientRect(host.hwnd, &client);
    const int w = std::max<int>(1, client.right), h = std::max<int>(1, client.bottom);
    FrameArea a;
    // The whole frame, as large as fits, centred.
    if (static_cast<long long>(w) * kClientH <= static_cast<long long>(h) * kClientW) {
        a.width = w;
        a.height = static_cast<int>(static_cast<long long>(w) * kClientH / kClientW);
    } else {
        a.height = h;
        a.width = static_cast<int>(static_cast<long long>(h) * kClientW / kClientH);
    }
    a.x = (w - a.width) / 2;
    a.y = (h - a.height) / 2;
    return a;
}

POINT WindowToFrame(int x, int y) {
    const FrameArea a = FrameOnWindow();
    return POINT{static_cast<LONG>(static_cast<long long>(x - a.x) * kClientW / a.width),
                 static_cast<LONG>(static_cast<long long>(y - a.y) * kClientH / a.height)};
}

void ShowScaled(HDC target) {
    const FrameArea a = FrameOnWindow();
    if (a.x == 0 && a.y == 0 && a.width == kClientW && a.height == kClientH) {
        host.frame.Show(target);
        return;
    }
    RECT client;
    GetClientRect(host.hwnd, &client);
    HBRUSH panel = CreateSolidBrush(kPanelColour);
    RECT bands[4] = {{0, 0, client.right, a.y},
                     {0, a.y + a.height, client.right, client.bottom},
                     {0, a.y, a.x, a.y + a.height},
                     {a.x + a.width, a.y, client.right, a.y + a.height}};
    for (const RECT& r : bands) FillRect(target, &r, panel);
    DeleteObject(panel);
    SetStretchBltMode(target, HALFTONE);
    SetBrushOrgEx(target, 0, 0, nullptr);
    StretchBlt(target, a.x, a.y, a.width, a.height, host.frame.dc(), 0, 0, kClientW, kClientH,
               SRCCOPY);
}

} // namespace dab_host
