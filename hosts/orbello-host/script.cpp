// Scripted play: the items of --moves, one at a time. A move is played by clicking its two
// points, as a person would; B or W starts a new game as that side; a lone point is left
// selected. Words drive the rest as the keys do: new, undo, hint, level N, save FILE,
// open FILE [N], step +N / -N / home / end, play (on from the record's move shown), check
// (the board's pixels against the rules), close. While the engine is to move, or an answer
// is awaited, the script waits; whatever ends the wait posts the next step.
#include "host.h"

#include "engine_text.h"

#include <climits>
#include <cstdlib>

namespace orbello_host {

namespace {

// Points of the script are columns and rows A to F, whatever the module's bases.
bool IsPoints(const std::string& m, size_t count) {
    if (m.size() != count) return false;
    for (char c : m)
        if (c < 'A' || c > 'F') return false;
    return true;
}

bool IsMove(const std::string& m) {
    return IsPoints(m, 4);
}

// A word of the script; false when it is not one.
bool Word(const std::string& item) {
    const std::vector<std::string> w = engine_session::words_of(item);
    if (w.empty()) return false;
    const std::string arg = w.size() > 1 ? w[1] : "";
    if (w[0] == "new") {
        NewGame();
    } else if (w[0] == "undo") {
        TakeBack();
    } else if (w[0] == "hint") {
        AskHint();
    } else if (w[0] == "level" && w.size() == 2) {
        SetLevel(std::atoi(arg.c_str()));
    } else if (w[0] == "save" && w.size() == 2) {
        SaveGame(arg);
    } else if (w[0] == "open" && (w.size() == 2 || w.size() == 3)) {
        OpenRecord(arg, w.size() == 3 ? std::atoll(w[2].c_str()) : 0);
    } else if (w[0] == "step" && w.size() == 2) {
        Step(arg == "home" ? LLONG_MIN : arg == "end" ? LLONG_MAX : std::atoll(arg.c_str()));
    } else if (w[0] == "play") {
        PlayOn();
    } else if (w[0] == "check") {
        CheckBoard();
    } else if (w[0] == "close") {
        PostMessageA(host.hwnd, WM_CLOSE, 0, 0);
    } else {
        return false;
    }
    return true;
}

} // namespace

void ScriptStep() {
    if (host.scriptPos >= host.opt.moves.size()) {
        // The picture waits for a hint or a take back asked last, not for the engine's move.
        if (!host.opt.screenshot.empty() && !Busy() &&
            host.hintDue == dabtools::Clock::time_point{}) {
            UpdateWindow(host.hwnd);
            PostMessageA(host.hwnd, WM_CLOSE, 0, 0);
        }
        return;
    }
    // Whatever is awaited posts the next step when it comes.
    if (Busy() || host.hintDue != dabtools::Clock::time_point{} || EngineThinking()) return;
    const std::string& m = host.opt.moves[host.scriptPos];
    if (IsMove(m) || IsPoints(m, 2)) {
        if (host.over || !PeoplesTurn()) return;
    }
    ++host.scriptPos;
    const RECT& board = host.boardRect;
    if (IsMove(m)) {
        POINT from = GridPixel(board, m[0] - 'A', m[1] - 'A');
        POINT to = GridPixel(board, m[2] - 'A', m[3] - 'A');
        if (host.game->OnBoardClick(from.x, from.y) != 0)
            Log("script: cannot select " + m);
        else if (host.game->OnBoardClick(to.x, to.y) != 1)
            Log("script: refused " + m), host.game->CancelMove();
        else {
            char out[16] = "";
            const int result = host.game->FetchMove(out);
            PersonMoved(out, result);
        }
    } else if (m == "B" || m == "W") { // a new game as that side, as the keys start one
        PlayAs(m == "B" ? 0 : 1);
    } else if (IsPoints(m, 2)) { // a lone point: leave it selected
        POINT p = GridPixel(board, m[0] - 'A', m[1] - 'A');
        host.game->OnBoardClick(p.x, p.y);
    } else if (!Word(m)) {
        Log("script: unknown item \"" + m + "\"");
    }
    Repaint();
    PostMessageA(host.hwnd, WM_SCRIPT_STEP, 0, 0);
}

} // namespace orbello_host
