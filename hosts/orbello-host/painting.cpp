// The window's frame: the board (drawn by the module) on the left, scaled to the window; the
// status, pieces, level, move list, buttons and keys in the panel on the right, every text
// wrapped to the panel's width; painted whole off screen, then shown.
#include "host.h"

#include "play_logic.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace orbello_host {

namespace {

const int kLine = 16, kButtonH = 26, kButtonGap = 6;

const char kHelp[] =
    "Keys: B / W play Black / White, N new game, U or Backspace take back, H hint, S or Ctrl+S "
    "save, O or Ctrl+O open, 1-5 or L level, T thinking time, Left / Right / Home / End step "
    "through a record, P play on from it; click a piece, then its target; Esc or right click "
    "drops a selection.";

int PanelLeft() {
    return host.boardRect.right + 24;
}

int PanelWidth() {
    return host.clientW - PanelLeft() - 12;
}

std::vector<std::string> Wrapped(HDC dc, const std::string& text) {
    return WrapText(text, PanelWidth(), [dc](const std::string& s) {
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, s.c_str(), static_cast<int>(s.size()), &size);
        return static_cast<int>(size.cx);
    });
}

// The help text's lines, measured with the panel's font once for each panel width.
const std::vector<std::string>& HelpLines() {
    static std::vector<std::string> lines;
    static int width = -1;
    if (width != PanelWidth()) {
        width = PanelWidth();
        HDC dc = host.frame->dc();
        HGDIOBJ old = SelectObject(dc, host.font);
        lines = Wrapped(dc, kHelp);
        SelectObject(dc, old);
    }
    return lines;
}

int ButtonsTop(size_t helpLines, int rows) {
    return host.clientH - 10 - static_cast<int>(helpLines) * kLine - 8 -
           rows * (kButtonH + kButtonGap);
}

// The engine's level in the panel: the chosen one, and the running engine's when it differs.
std::string LevelText() {
    if (!LevelsAvailable()) return "Level: not available for this engine";
    std::string text = "Level " + std::to_string(host.level) + " of 5";
    if (host.level == kTopLevel) text += " (full strength)";
    const size_t at = host.engineCommand.rfind("--level ");
    if (at != std::string::npos && host.engine.running()) {
        const int running = std::atoi(host.engineCommand.c_str() + at + 8);
        if (running != host.level)
            text += ", from the next game (this game: " + std::to_string(running) + ")";
    }
    return text;
}

std::vector<std::string> PanelTexts() {
    std::vector<std::string> texts;
    texts.push_back(host.status);
    const Viewer& v = host.viewer;
    std::vector<std::string> shown = v.active ? v.moves : host.moves;
    if (v.active) shown.resize(v.shown);
    Replayed position;
    std::string why;
    if (ReplayMoves(shown, host.baseX, host.baseY, position, why))
        texts.push_back("Pieces left: Black " + std::to_string(position.pieces[0]) + ", White " +
                        std::to_string(position.pieces[1]));
    if (!host.engineCommand.empty() || !EngineCommandLine().empty()) texts.push_back(LevelText());
    if (v.active) {
        const game_records::OrbelloGame& g = v.record.game;
        texts.push_back("Record: move " + std::to_string(v.shown) + " of " +
                        std::to_string(v.moves.size()) + " (Black " + g.labels[0] + ", White " +
                        g.labels[1] + ")");
        if (g.result.empty())
            texts.push_back("Result: not over; P plays on from the move shown");
        else
            texts.push_back("Result: " + g.result +
                            (g.reason.empty() ? "" : " (" + g.reason + ")"));
        if (!v.record.fault_text.empty()) texts.push_back("Fault: " + v.record.fault_text);
        if (!g.refusals.empty())
            texts.push_back("Refused moves: " + std::to_string(g.refusals.size()));
    }
    return texts;
}

void PaintHint(HDC dc) {
    if (host.hint.size() != 4 || host.hintFor != host.moves.size() || host.viewer.active) return;
    const int unit = (host.boardRect.right - host.boardRect.left) / 11;
    const POINT from =
        GridPixel(host.boardRect, host.hint[0] - host.baseX, host.hint[1] - host.baseY);
    const POINT to =
        GridPixel(host.boardRect, host.hint[2] - host.baseX, host.hint[3] - host.baseY);
    HPEN pen = CreatePen(PS_SOLID, unit / 10 + 2, RGB(230, 110, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    const int r = unit / 2;
    Ellipse(dc, from.x - r, from.y - r, from.x + r, from.y + r);
    Ellipse(dc, to.x - r, to.y - r, to.x + r, to.y + r);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
}

void PaintPanel(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, host.font);
    SetTextColor(dc, RGB(40, 30, 20));
    const int x = PanelLeft();
    int y = 16;
    const char* title = "Orbello";
    TextOutA(dc, x, y, title, static_cast<int>(strlen(title)));
    y += 24;
    for (const std::string& text : PanelTexts())
        for (const std::string& line : Wrapped(dc, text)) {
            TextOutA(dc, x, y, line.c_str(), static_cast<int>(line.size()));
            y += kLine;
        }
    y += 6;
    const std::vector<std::string>& help = HelpLines();
    const std::vector<PaintedButton> buttons = Buttons();
    const int bottom = buttons.empty() ? host.clientH : buttons.front().rect.top - 6;
    // The newest lines of the move list that fit above the buttons.
    std::vector<std::string> lines;
    for (const std::string& entry : host.log)
        for (const std::string& line : Wrapped(dc, entry)) lines.push_back(line);
    const size_t fit = y < bottom ? static_cast<size_t>((bottom - y) / kLine) : 0;
    SetTextColor(dc, RGB(70, 60, 50));
    for (size_t i = lines.size() > fit ? lines.size() - fit : 0; i < lines.size(); ++i) {
        TextOutA(dc, x, y, lines[i].c_str(), static_cast<int>(lines[i].size()));
        y += kLine;
    }
    PaintButtons(dc, buttons);
    SetTextColor(dc, RGB(110, 90, 70));
    int helpY = host.clientH - 10 - static_cast<int>(help.size()) * kLine;
    for (const std::string& line : help) {
        TextOutA(dc, x, helpY, line.c_str(), static_cast<int>(line.size()));
        helpY += kLine;
    }
    SelectObject(dc, oldFont);
}

} // namespace

RECT BoardRectFor(int width, int height) {
    int side = std::min(height - 40, width - kPanelW - 40);
    if (side < 220) side = 220;
    return RECT{20, 20, 20 + side, 20 + side};
}

std::vector<PaintedButton> Buttons() {
    const int x = PanelLeft(), right = host.clientW - 12, middle = (x + right) / 2;
    const int rows = 4;
    int top = ButtonsTop(HelpLines().size(), rows);
    std::vector<PaintedButton> buttons;
    auto row = [&](const std::string& left, int leftId, const std::string& second, int secondId) {
        if (secondId == 0)
            buttons.push_back({{x, top, right, top + kButtonH}, left, leftId});
        else {
            buttons.push_back({{x, top, middle - 4, top + kButtonH}, left, leftId});
            buttons.push_back({{middle + 4, top, right, top + kButtonH}, second, secondId});
        }
        top += kButtonH + kButtonGap;
    };
    if (host.engineCommand.empty() && EngineCommandLine().empty())
        row("New game (N)", ID_NEW_GAME, "", 0);
    else
        row("Play Black (B)", ID_PLAY_BLACK, "Play White (W)", ID_PLAY_WHITE);
    if (host.viewer.active)
        row("Play on from here (P)", ID_PLAY_ON, "Hint (H)", ID_HINT);
    else
        row("Take back (U)", ID_TAKE_BACK, "Hint (H)", ID_HINT);
    row("Save (S)", ID_SAVE, "Open (O)", ID_OPEN);
    const std::string level =
        LevelsAvailable() ? "Level " + std::to_string(host.level) + " (1-5, L)" : "Levels: n/a";
    if (host.opt.defaultEngine) {
        char text[48];
        snprintf(text, sizeof text, "Time: %g s (T)", host.opt.movetimeMs / 1000.0);
        row(level, ID_LEVEL, text, ID_THINKING_TIME);
    } else {
        row(level, ID_LEVEL, "", 0);
    }
    return buttons;
}

void Paint(HDC target) {
    if (!host.frame) return;
    HDC dc = host.frame->dc();
    RECT all = {0, 0, host.clientW, host.clientH};
    HBRUSH panel = CreateSolidBrush(RGB(236, 226, 206));
    FillRect(dc, &all, panel);
    DeleteObject(panel);
    HBRUSH board = CreateSolidBrush(RGB(214, 178, 120));
    FillRect(dc, &host.boardRect, board);
    DeleteObject(board);
    if (host.game) host.game->DrawBoard(dc);
    PaintHint(dc);
    PaintPanel(dc);
    host.frame->Show(target);
}

} // namespace orbello_host
