// A hint: a second engine process, started for the one question, gets the game so far as if it
// played the person's side and answers with its move, which is shown and not played.
#include "host.h"

#include "engine_text.h"
#include "play_logic.h"

#include <cstdio>

namespace orbello_host {

using dabtools::Clock;

namespace {

std::string HintEngineCommand() {
    return HintCommand(host.engineCommand.empty() ? EngineCommandLine() : host.engineCommand,
                       kHintMovetimeMs);
}

void HintDone(const std::string& note) {
    host.hintDue = {};
    host.hintEngine.kill();
    if (!note.empty()) Log(note);
    Repaint();
    ScriptMayGoOn();
}

} // namespace

void DropHint() {
    host.hint.clear();
    if (host.hintDue != Clock::time_point{}) {
        host.hintDue = {};
        host.hintEngine.kill();
    }
}

void AskHint() {
    if (host.viewer.active || host.over || !PeoplesTurn() || host.hintDue != Clock::time_point{})
        return;
    const std::string command = HintEngineCommand();
    if (command.empty()) {
        Log("hint: no engine to ask (--no-engine)");
        Repaint();
        return;
    }
    HWND window = host.hwnd;
    if (!host.hintEngine.start(command, true,
                               [window]() { PostMessageA(window, WM_HINT_ENGINE, 0, 0); })) {
        Log("hint: cannot start " + command + ": " + host.hintEngine.detail());
        Repaint();
        return;
    }
    // Standard output only, for scripted runs, as for the game's engine.
    printf("hint engine: %s\n", command.c_str());
    fflush(stdout);
    host.hint.clear();
    host.hintFor = host.moves.size();
    // The engine plays the person's side: the side to move, so it answers with its move.
    if (!host.hintEngine.send(HistoryLine(host.sideToMove, host.moves))) {
        HintDone("hint: the engine would not read the game so far");
        return;
    }
    host.hintDue = Clock::now() + std::chrono::milliseconds(kHistoryReplyMs + kHintMovetimeMs);
    Log("hint: asking the engine...");
    Repaint();
}

void HintOutput() {
    while (host.hintDue != Clock::time_point{}) {
        std::string line;
        switch (host.hintEngine.take(line)) {
        case dabtools::ChildProcess::Read::Timeout:
            return;
        case dabtools::ChildProcess::Read::Eof:
            HintDone("hint: the engine ended without a move");
            return;
        case dabtools::ChildProcess::Read::Line:
            break;
        }
        line = engine_session::trim(line);
        if (line == "history refused") {
            HintDone("hint: the engine does not take a game given whole");
            return;
        }
        const std::string m = MoveOfReply(line);
        if (m.empty()) continue; // "history ok", chatter
        if (host.hintFor != host.moves.size()) {
            HintDone(""); // the game moved on meanwhile
            return;
        }
        // Shown only when the rules allow it: a wrong hint is worse than none.
        std::vector<std::string> withHint = host.moves;
        withHint.push_back(m);
        Replayed position;
        std::string why;
        if (!ReplayMoves(withHint, host.baseX, host.baseY, position, why)) {
            HintDone("hint: the engine's move '" + m + "' is not legal; no hint");
            return;
        }
        host.hint = m;
        HintDone("hint: " + m);
        return;
    }
}

} // namespace orbello_host
