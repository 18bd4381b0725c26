// The game between the window's clicks, the module and the engine: whose turn it is, what
// goes to the engine, and the end of the game.
#include "host.h"

#include "play_logic.h"

#include <cstdio>

namespace orbello_host {

void Log(const std::string& line) {
    // Also on standard output, so scripted runs leave a record of the game.
    printf("%s\n", line.c_str());
    fflush(stdout);
    host.log.push_back(line);
    while (host.log.size() > 20) host.log.pop_front();
}

void Repaint() {
    InvalidateRect(host.hwnd, nullptr, FALSE);
}

const char* SideName(int side) {
    return side == 0 ? "Black" : "White";
}

void ScriptMayGoOn() {
    if (host.scriptPos < host.opt.moves.size() || !host.opt.screenshot.empty())
        PostMessageA(host.hwnd, WM_SCRIPT_STEP, 0, 0);
}

void GameOver(int winner) {
    host.over = true;
    host.winner = winner;
    DropHint();
    host.status = std::string(SideName(winner)) + " wins. N: new game, U: take back";
    Log(std::string(SideName(winner)) + " wins");
    if (host.opt.exitAtEnd) PostMessageA(host.hwnd, WM_CLOSE, 0, 0);
}

void MoveCommitted() {
    host.sideToMove = 1 - host.sideToMove;
    DropHint();
    UpdateStatus();
}

bool EngineThinking() {
    return host.engine.running() && !host.over && host.sideToMove == host.opt.engineSide;
}

void UpdateStatus() {
    host.status = std::string(SideName(host.sideToMove)) + " to move";
    if (host.historyDue != dabtools::Clock::time_point{})
        host.status += ": the engine takes the game so far...";
    else if (host.engine.running())
        host.status += host.sideToMove == host.opt.engineSide ? ": engine thinking..." : " (you)";
    Repaint();
}

std::string EngineCommandLine() {
    if (host.opt.defaultEngine)
        return "\"" + ProgramDir() + "\\OrbelloEngine.exe\" --movetime " +
               std::to_string(host.opt.movetimeMs) + " --level " + std::to_string(host.level);
    if (IsOwnEngine(host.opt.engine))
        return host.opt.engine + " --level " + std::to_string(host.level);
    return host.opt.engine;
}

bool LevelsAvailable() {
    return host.opt.defaultEngine || IsOwnEngine(host.opt.engine);
}

bool StartEngine(const std::string& command) {
    if (command.empty()) return true; // people play both sides
    // The reading thread only posts a note; the window's thread reads what has come.
    HWND window = host.hwnd;
    if (!host.engine.start(command, true, [window]() { PostMessageA(window, WM_ENGINE, 0, 0); })) {
        Log("engine: cannot start " + command + ": " + host.engine.detail());
        return false;
    }
    host.engineCommand = command;
    // Standard output only, for scripted runs: the panel has the level.
    printf("engine started: %s\n", command.c_str());
    fflush(stdout);
    return true;
}

void EngineEnded() {
    host.engine.stream_ended("during the game");
    host.historyDue = {};
    Log("engine: " + host.engine.detail() + "; people play on, N starts it again");
    UpdateStatus();
    ScriptMayGoOn();
}

void SendToEngine(const std::string& text) {
    std::string line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.empty() || !host.engine.running() || host.engine.send(line)) return;
    Log("engine: " + host.engine.detail() + "; people play on, N starts it again");
    UpdateStatus();
}

void EngineOutput() {
    while (host.engine.running()) {
        std::string line;
        switch (host.engine.take(line)) {
        case dabtools::ChildProcess::Read::Timeout:
            return;
        case dabtools::ChildProcess::Read::Eof:
            EngineEnded(); // its side is then played by people
            return;
        case dabtools::ChildProcess::Read::Line:
            if (!HistoryAnswer(line)) EngineLine(line);
            break;
        }
    }
}

void NewGame() {
    // An engine still thinking would answer into the new game, and one started with another
    // thinking time or level needs a new start: both are replaced, as is one that has ended
    // or is still to answer "history".
    const std::string wanted = EngineCommandLine();
    if (host.engine.running() && (EngineThinking() || Busy() || wanted != host.engineCommand))
        host.engine.kill();
    host.historyDue = {};
    if (!wanted.empty() && !host.engine.running()) StartEngine(wanted);
    host.viewer.active = false;
    host.over = false;
    host.winner = -1;
    host.sideToMove = 0;
    host.moves.clear();
    DropHint();
    Log("-- new game");
    host.game->CancelMove();
    host.game->NewGame();
    if (host.engine.running())
        SendToEngine(host.opt.engineSide == 0 ? "new black\n" : "new white\n");
    UpdateStatus();
}

void PlayAs(int side) {
    if (EngineThinking()) host.engine.kill(); // judged before the sides change
    host.opt.engineSide = 1 - side;
    NewGame();
}

void NextThinkingTime() {
    static const int kThinkingTimes[] = {500, 1000, 2000, 5000, 10000};
    const int n = static_cast<int>(sizeof kThinkingTimes / sizeof kThinkingTimes[0]);
    int next = 0;
    while (next < n && kThinkingTimes[next] <= host.opt.movetimeMs) ++next;
    host.opt.movetimeMs = kThinkingTimes[next % n];
    Log("thinking time " + std::to_string(host.opt.movetimeMs) + " ms from the next game");
    Repaint();
}

bool PeoplesTurn() {
    return !host.viewer.active && !Busy() &&
           (!host.engine.running() || host.sideToMove != host.opt.engineSide);
}

void PersonMoved(const char* fetched, int result) {
    const std::string m = MoveOfReply(fetched);
    if (!m.empty()) host.moves.push_back(m);
    SendToEngine(fetched);
    if (result == 2)
        GameOver(host.sideToMove);
    else if (result == 1)
        MoveCommitted();
}

void Click(int x, int y) {
    if (host.over || !PeoplesTurn()) return;
    int r = host.game->OnBoardClick(x, y);
    if (r == -1) host.status = "Not a legal choice";
    if (r == 1) {
        char out[16] = "";
        int f = host.game->FetchMove(out);
        PersonMoved(out, f);
    }
    Repaint();
}

void EngineLine(const std::string& line) {
    if (host.over || host.viewer.active || host.sideToMove != host.opt.engineSide) return;
    char reply[64] = "", other[64] = "";
    int r = host.game->ReceiveMove(line.c_str(), reply, other);
    if (r == 0) return; // not a move: the engine's own chatter
    SendToEngine(reply);
    if (r == -1) {
        Log(std::string("engine: illegal \"") + line + "\"");
    } else {
        const std::string m = MoveOfReply(other);
        if (!m.empty()) host.moves.push_back(m);
        if (r == 2) {
            GameOver(host.sideToMove);
        } else {
            MoveCommitted();
            ScriptMayGoOn();
        }
    }
    Repaint();
}

} // namespace orbello_host
