// Scripted play for tests and the README picture: each step of --lines is a line code,
// clicked at the line's middle as a person would (a line already drawn is passed over, so a
// list of all sixty plays a whole game whatever the engine does), or a word: new, second,
// undo, hint, level N, save FILE, open FILE [GAME], step +|-|home|end, play (on from the
// turn shown), close. While an engine is waited for the script waits; its answer posts the
// next step. With --screenshot the window closes when the script is over.
#include "dab_host.h"

#include <climits>
#include <cstdlib>

namespace dab_host {

namespace {

bool closing = false;

// The word and the rest after its first blank.
std::string Argument(const std::string& step) {
    size_t blank = step.find(' ');
    return blank == std::string::npos ? "" : step.substr(blank + 1);
}

} // namespace

void ScriptStep() {
    const std::vector<std::string>& script = host.opt.script;
    if (Busy() || closing) return;
    if (host.scriptPos >= script.size()) {
        if (!host.opt.screenshot.empty()) {
            closing = true;
            UpdateStatus();
            PostMessageA(host.hwnd, WM_CLOSE, 0, 0);
        }
        return;
    }
    const std::string& step = script[host.scriptPos++];
    const std::string word = step.substr(0, step.find(' ')), arg = Argument(step);
    if (step == "new") {
        StartGame(PERSON);
    } else if (step == "second") {
        StartGame(ENGINE);
    } else if (step == "undo") {
        TakeBack();
    } else if (step == "hint") {
        AskHint();
    } else if (step == "play") {
        PlayOn();
    } else if (word == "level" && arg.size() == 1 && arg[0] >= '1' && arg[0] <= '5') {
        SetLevel(arg[0] - '0');
    } else if (word == "save" && !arg.empty()) {
        SaveGame(arg);
    } else if (word == "open" && !arg.empty()) {
        // "open FILE" or "open FILE GAME" (a game of a match log)
        size_t blank = arg.rfind(' ');
        char* end = nullptr;
        long long game =
            blank == std::string::npos ? 0 : std::strtoll(arg.c_str() + blank + 1, &end, 10);
        if (end && *end == 0)
            OpenRecord(arg.substr(0, blank), game);
        else
            OpenRecord(arg, 0);
    } else if (word == "step" && (arg == "+" || arg == "-" || arg == "home" || arg == "end")) {
        Step(arg == "+" ? 1 : arg == "-" ? -1 : arg == "home" ? INT_MIN : INT_MAX);
    } else if (step == "close") {
        closing = true;
        PostMessageA(host.hwnd, WM_CLOSE, 0, 0);
        return;
    } else {
        int line = step.size() == 3 ? dabtools::parse_line_code(step.c_str()) : -1;
        if (line < 0) {
            Log("script: no such step " + step);
        } else if (!host.game.board().drawn[line]) {
            POINT p = LineMiddle(line);
            if (!PersonLine(LineAt(p.x, p.y))) Log("script: refused " + step);
        }
    }
    PostMessageA(host.hwnd, WM_SCRIPT_STEP, 0, 0);
}

} // namespace dab_host
