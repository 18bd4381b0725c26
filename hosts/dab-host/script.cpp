// Scripted play for tests and the README picture: each step of --lines is a line code,
// clicked at the line's middle as a person would (a line already drawn is passed over, so a
// list of all sixty plays a whole game whatever the engine does), or one of the words new,
// second, undo and close. While the engine thinks the script waits; its reply posts the next
// step. With --screenshot the window closes when the script is over.
#include "dab_host.h"

namespace dab_host {

namespace {

bool closing = false;

} // namespace

void ScriptStep() {
    const std::vector<std::string>& script = host.opt.script;
    if (host.link->thinking() || closing) return;
    if (host.scriptPos >= script.size()) {
        if (!host.opt.screenshot.empty()) {
            closing = true;
            UpdateStatus();
            PostMessageA(host.hwnd, WM_CLOSE, 0, 0);
        }
        return;
    }
    const std::string& step = script[host.scriptPos++];
    if (step == "new") {
        StartGame(PERSON);
    } else if (step == "second") {
        StartGame(ENGINE);
    } else if (step == "undo") {
        TakeBack();
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
