// Scripted play: the moves of --moves are played by clicking their two points, as a person
// would; B or W starts a new game as that side. While the engine is to move the script waits; the
// engine's move posts the next step.
#include "host.h"

namespace orbello_host {

void ScriptStep() {
    if (host.scriptPos >= host.opt.moves.size()) {
        if (!host.opt.screenshot.empty()) {
            UpdateWindow(host.hwnd);
            PostMessageA(host.hwnd, WM_CLOSE, 0, 0);
        }
        return;
    }
    if (host.over || !PeoplesTurn()) return;
    const std::string& m = host.opt.moves[host.scriptPos++];
    if (m.size() == 4) {
        POINT from = GridPixel(kBoardRect, m[0] - 'A', m[1] - 'A');
        POINT to = GridPixel(kBoardRect, m[2] - 'A', m[3] - 'A');
        if (host.game->OnBoardClick(from.x, from.y) != 0)
            Log("script: cannot select " + m);
        else if (host.game->OnBoardClick(to.x, to.y) != 1)
            Log("script: refused " + m), host.game->CancelMove();
        else {
            char out[16] = "";
            int f = host.game->FetchMove(out);
            SendToEngine(out);
            if (f == 2)
                GameOver(host.sideToMove);
            else
                MoveCommitted();
        }
    } else if (m == "B" || m == "W") { // a new game as that side, as the keys start one
        PlayAs(m == "B" ? 0 : 1);
    } else if (m.size() == 2) { // a lone point: leave it selected
        POINT p = GridPixel(kBoardRect, m[0] - 'A', m[1] - 'A');
        host.game->OnBoardClick(p.x, p.y);
    }
    Repaint();
    PostMessageA(host.hwnd, WM_SCRIPT_STEP, 0, 0);
}

} // namespace orbello_host
