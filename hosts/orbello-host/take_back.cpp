// Levels, take back and the engine told the game so far. The module cannot take a move back:
// the game is replayed into a fresh game object, and the engine gets the game whole through
// "history" (the window waits for its answer with a deadline, never blocking).
#include "host.h"

#include "engine_text.h"
#include "play_logic.h"

namespace orbello_host {

using dabtools::Clock;

void SetLevel(int level) {
    if (level < 1 || level > kTopLevel) return;
    if (!LevelsAvailable()) {
        Log("levels: not available for this engine (only OrbelloEngine.exe takes them)");
        Repaint();
        return;
    }
    host.level = level;
    if (!host.settings->SetInt("level", level))
        Log("level: cannot write " + host.settings->Path() + "; kept for this session");
    Log("level " + std::to_string(level) + " from the next game");
    Repaint();
}

void NextLevel() {
    SetLevel(host.level % kTopLevel + 1);
}

bool ReplayInto(const std::vector<std::string>& moves, size_t count, std::string& why) {
    auto fresh =
        std::make_unique<GameObject>(host.library.init()(host.hwnd, host.opt.dataDir.c_str()));
    if (!fresh->valid()) {
        why = "the module gave no game object";
        return false;
    }
    const RECT& b = host.boardRect;
    fresh->SetBoardRect(b.left, b.top, b.right, b.bottom);
    // The module reports each move as it is played: a replay is not news for the move list.
    host.quiet = true;
    bool ok = true;
    for (size_t i = 0; i < count && ok; ++i) {
        char reply[64] = "", other[64] = "";
        const int r = fresh->ReceiveMove(("move " + moves[i]).c_str(), reply, other);
        if (r == 2) ++host.gameOversToSkip;
        if (r != 1 && !(r == 2 && i + 1 == count)) {
            why = "the module refused move " + std::to_string(i + 1) + " '" + moves[i] + "'";
            ok = false;
        }
    }
    host.quiet = false;
    if (ok) host.game.swap(fresh); // the old object goes with `fresh`
    Repaint();
    return ok;
}

bool Busy() {
    return host.historyDue != Clock::time_point{};
}

void SendHistory() {
    const std::string line = HistoryLine(host.opt.engineSide, host.moves);
    if (!host.engine.running() || !host.engine.send(line)) {
        Log("engine: cannot tell it the game so far; people play on, N starts it again");
        host.engine.kill();
        return;
    }
    host.historyDue = Clock::now() + std::chrono::milliseconds(kHistoryReplyMs);
    UpdateStatus();
}

namespace {

// The engine did not take the game whole: it cannot be put where the game stands, so it
// sits this game out (or starts the game afresh when nothing was played).
void HistoryFailed(const std::string& why) {
    host.historyDue = {};
    host.engine.kill();
    if (host.moves.empty()) {
        Log("engine: " + why + "; restarted for the game from its start");
        StartEngine(EngineCommandLine());
        SendToEngine(host.opt.engineSide == 0 ? "new black\n" : "new white\n");
    } else {
        Log("engine: " + why +
            "; it cannot play on from here: people play both sides, N "
            "starts a new game against it");
    }
    UpdateStatus();
    ScriptMayGoOn();
}

} // namespace

bool HistoryAnswer(const std::string& raw) {
    if (!Busy()) return false;
    const std::string line = engine_session::trim(raw);
    if (line == "history ok") {
        host.historyDue = {};
        Log("engine: took the game so far (" + std::to_string(host.moves.size()) + " moves)");
        UpdateStatus();
        // Its own move follows when it is to move; the script waits for that.
        if (!EngineThinking()) ScriptMayGoOn();
    } else if (line == "history refused") {
        HistoryFailed("refused the game so far");
    }
    // Anything else is a reply the engine sent before it read "history": out of date.
    return true;
}

void CheckDeadlines() {
    const Clock::time_point now = Clock::now();
    if (Busy() && now > host.historyDue)
        HistoryFailed("no answer to \"history\" within " + std::to_string(kHistoryReplyMs / 1000) +
                      " s");
    if (host.hintDue != Clock::time_point{} && now > host.hintDue) {
        host.hintDue = {};
        host.hintEngine.kill();
        Log("hint: no move from the engine in time");
        Repaint();
        ScriptMayGoOn();
    }
}

void TakeBack() {
    if (host.viewer.active || Busy()) return;
    const bool thinking = EngineThinking();
    const bool opponent = !host.engineCommand.empty() || !EngineCommandLine().empty();
    const int person = opponent ? 1 - host.opt.engineSide : -1;
    const size_t keep = TakeBackLength(host.moves.size(), person);
    if (keep == host.moves.size()) {
        Log("take back: none of your moves to take back");
        Repaint();
        return;
    }
    host.game->CancelMove();
    std::string why;
    if (!ReplayInto(host.moves, keep, why)) {
        Log("take back: " + why);
        return;
    }
    host.moves.resize(keep);
    host.over = false;
    host.winner = -1;
    host.sideToMove = static_cast<int>(keep % 2);
    DropHint();
    Log("took back to move " + std::to_string(keep));
    // An engine still thinking answers the old game: it is replaced by a fresh one.
    if (thinking) host.engine.kill();
    if (opponent && !host.engine.running()) {
        const std::string command =
            host.engineCommand.empty() ? EngineCommandLine() : host.engineCommand;
        StartEngine(command);
    }
    if (host.engine.running())
        SendHistory();
    else
        ScriptMayGoOn();
    UpdateStatus();
}

} // namespace orbello_host
