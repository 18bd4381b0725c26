// The game between the person's clicks, the board and the engine: turns, the end of the
// game, new games, levels, taking back, hints, and what the engine's replies and faults do.
#include "dab_host.h"
#include "engine_view.h"
#include "saved_game.h"

#include <cstdio>

namespace dab_host {

using dabtools::Fault;

HintAsker hintAsker;

void Log(const std::string& line) {
    // On standard output too, so scripted runs leave a record of the game.
    printf("%s\n", line.c_str());
    fflush(stdout);
}

void Repaint() {
    InvalidateRect(host.hwnd, nullptr, FALSE);
}

namespace {

int runningLevel = 0;        // what the running engine was started with
int gameLevel = kTopLevel;   // the level of the game on screen
bool historyRefused = false; // this engine does not take "history": take backs restart it

std::string Score() {
    const dabtools::Board& b = host.game.board();
    return "you " + std::to_string(b.score[PERSON]) + ", " + host.engineLabel + " " +
           std::to_string(b.score[ENGINE]);
}

void LogTurn() {
    const Turn& t = host.game.turns().back();
    Log("turn " + std::to_string(host.game.turns().size()) +
        (t.player == PERSON ? " you " : " engine ") + t.codes() + " (" + Score() + ")");
}

void GameOver() {
    const dabtools::Board& b = host.game.board();
    Log("game over: you " + std::to_string(b.score[PERSON]) + ", engine " +
        std::to_string(b.score[ENGINE]));
    if (host.opt.exitAtEnd) PostMessageA(host.hwnd, WM_CLOSE, 0, 0);
}

bool StartEngine(int level) {
    std::string why;
    const std::string command = EngineCommand(level, false);
    runningLevel = level;
    host.link->ExpectPictures(host.levels);
    Log("engine: " + command);
    if (host.link->Start(command, host.opt.lineMs, &why)) return true;
    host.EngineFault(Fault::StartFailed, why);
    return false;
}

// After a take back to an engine that does not take "history", its game is started again and
// it gets every line so far with the person's turn: all of them as the person's.
std::string TurnForEngine() {
    const std::vector<Turn>& turns = host.game.turns();
    std::string codes = turns.back().codes();
    if (host.engineStale) {
        host.engineStale = false;
        host.link->NewGame(false);
        codes.clear();
        for (const Turn& t : turns) codes += t.codes();
    }
    return dabtools::move_text(dabtools::Reply{static_cast<int>(codes.size() / 3), codes});
}

// The engine, told the game on screen. Falls back to a restart that gets the lines anew
// when it does not take "history".
void TellEngineTheGame() {
    if (host.link->busy() || !host.link->usable() || runningLevel != gameLevel) {
        host.link->Stop();
        if (!StartEngine(gameLevel)) return;
    }
    if (historyRefused) {
        host.engineStale = true;
        return;
    }
    const Game& g = host.game;
    host.link->History(g.HistoryText(ENGINE), g.toMove() == ENGINE && !g.over(),
                       dabtools::longest_turn(g.board()));
}

void ClearHint() {
    host.hint.clear();
    host.hintFor.clear();
    if (host.hintLink->running()) host.hintLink->Stop();
}

} // namespace

std::string EngineCommand(int level, bool hint) {
    std::string command = host.opt.engine;
    if (!host.levels) return command;
    // The hint is the strongest line the engine finds within a short wait.
    command += " --level " + std::to_string(hint ? kTopLevel : level);
    if (hint) command += " --budget " + std::to_string(kHintBudgetMs);
    if (host.opt.seed >= 0) command += " --seed " + std::to_string(host.opt.seed);
    return command;
}

bool Busy() {
    return host.link->busy() || host.hintLink->busy();
}

bool CanPlay() {
    return !host.view.on && !host.game.over() && host.game.toMove() == PERSON &&
           host.fault.empty() && !host.link->busy();
}

void UpdateStatus() {
    const dabtools::Board& b = host.game.board();
    if (host.view.on) {
        const size_t all = host.view.record.game.turns.size();
        host.status =
            "Record: turn " + std::to_string(host.view.shown) + " of " + std::to_string(all);
    } else if (!host.fault.empty())
        host.status = "Engine fault: new game or take back";
    else if (host.game.over())
        host.status = b.score[PERSON] > b.score[ENGINE]
                          ? "Game over: you win"
                          : "Game over: " + host.engineLabel + " wins";
    else if (host.link->thinking())
        host.status = host.engineLabel + " is thinking...";
    else if (host.game.personTurnOpen())
        host.status = "You completed a box: draw again";
    else
        host.status = "Your turn: click a line";
    Repaint();
}

void StartGame(Player opener) {
    // An engine that thinks, ends, ended, faulted, or plays another level starts afresh.
    gameLevel = host.level;
    if (host.link->busy() || !host.link->usable() || runningLevel != gameLevel) host.link->Stop();
    host.fault.clear();
    host.note.clear();
    host.engineStale = false;
    host.view.on = false;
    ClearHint();
    host.game.Reset(opener);
    Log(opener == PERSON ? "-- new game: you open" : "-- new game: engine opens");
    if (host.link->running() || StartEngine(gameLevel)) host.link->NewGame(opener == ENGINE);
    UpdateStatus();
}

void SetLevel(int level) {
    if (!host.levels) {
        host.note = "Levels are not available for this engine";
        UpdateStatus();
        return;
    }
    host.level = level;
    Log("level " + std::to_string(level));
    host.note = level == gameLevel ? "Level " + std::to_string(level)
                                   : "Level " + std::to_string(level) + " from the next game";
    if (!host.settings->SetInt("level", level))
        host.note += " (not kept: cannot write " + host.settings->Path() + ")";
    UpdateStatus();
}

bool PersonLine(int line) {
    Game& g = host.game;
    if (line < 0 || g.board().drawn[line] || !CanPlay()) return false;
    ClearHint();
    if (g.Draw(line)) {
        LogTurn();
        std::string text = TurnForEngine();
        if (g.over()) {
            host.link->LastLines(text);
            GameOver();
        } else {
            host.link->PersonTurn(text, dabtools::longest_turn(g.board()));
        }
    }
    UpdateStatus();
    return true;
}

void TakeBack() {
    if (host.view.on) return;
    // What the person drew of a turn not yet over has not reached the engine.
    const bool told = !host.game.personTurnOpen();
    if (!host.game.TakeBack()) return;
    ClearHint();
    Log("-- take back: " + std::to_string(host.game.turns().size()) + " turns kept");
    host.note.clear();
    if (told || !host.fault.empty() || !host.link->usable()) {
        host.fault.clear();
        host.note = historyRefused
                        ? host.engineLabel + " was restarted: it gets every line as yours"
                        : "Take back: telling " + host.engineLabel + " the game";
        TellEngineTheGame();
    }
    UpdateStatus();
}

void PlayOn() {
    Viewing& v = host.view;
    if (!v.on) return;
    if (ColourToMove(v.record, v.shown) < 0) {
        host.note = "The game is over here: step back to play on";
        UpdateStatus();
        return;
    }
    const int person = PersonColour(v.record, v.shown);
    Game g = GameOfRecord(v.record, v.shown, person);
    if (historyRefused && g.toMove() == ENGINE) {
        host.note = host.engineLabel + " cannot be told the game: it does not take \"history\"";
        UpdateStatus();
        return;
    }
    Log("-- play on from turn " + std::to_string(v.shown) + ": you play " +
        (person == 0 ? "black" : "white"));
    v.on = false;
    host.game = g;
    host.fault.clear();
    host.note.clear();
    host.engineStale = false;
    ClearHint();
    gameLevel = host.level;
    TellEngineTheGame();
    UpdateStatus();
}

void AskHint() {
    if (!CanPlay()) {
        host.note = "A hint is given on your turn";
        UpdateStatus();
        return;
    }
    if (host.hintLink->busy()) return;
    std::string why;
    host.hintLink->ExpectPictures(false);
    if (!host.hintLink->Start(EngineCommand(host.level, true), host.opt.lineMs, &why)) {
        host.note = "No hint: " + why;
        UpdateStatus();
        return;
    }
    host.hint.clear();
    host.hintFor = host.game.HistoryText(PERSON);
    host.hintLink->History(host.hintFor, true, dabtools::longest_turn(host.game.board()));
    Log("hint asked");
    host.note = "Looking for a hint...";
    UpdateStatus();
}

void Host::EngineReply(const std::string& line) {
    dabtools::Reply reply;
    std::string detail;
    Fault f = dabtools::parse_reply(line, reply, detail);
    std::vector<int> lines;
    if (f == Fault::None && (game.toMove() != ENGINE || game.over() || view.on))
        f = Fault::Garbled, detail = dabtools::quote(line) + " when no move was due";
    if (f == Fault::None) {
        dabtools::Board judged = game.board();
        f = dabtools::apply_reply(judged, ENGINE, reply, lines, detail);
    }
    if (f != Fault::None) {
        link->Reject(f, detail);
        return;
    }
    for (int l : lines) game.Draw(l);
    LogTurn();
    if (game.over()) {
        link->GameOver();
        GameOver();
    }
    UpdateStatus();
    PostMessageA(hwnd, WM_SCRIPT_STEP, 0, 0);
}

void Host::EngineFault(Fault f, const std::string& detail) {
    fault = std::string(dabtools::fault_name(f)) + ": " + detail;
    Log("engine fault: " + fault);
    UpdateStatus();
    PostMessageA(hwnd, WM_SCRIPT_STEP, 0, 0);
}

void Host::EngineReady() {
    UpdateStatus();
    PostMessageA(hwnd, WM_SCRIPT_STEP, 0, 0);
}

void Host::EngineHistory(bool accepted, const std::string& detail) {
    if (accepted) {
        Log("history ok");
        note = engineLabel + " was told the game so far";
    } else {
        // Today's restart: the engine gets every line so far as the person's.
        Log("history refused: " + detail);
        historyRefused = true;
        note = engineLabel + " does not take the game so far (" + detail +
               "): restarted, it gets every line as yours";
        if (game.toMove() == ENGINE && !game.over()) {
            fault = "it cannot be told the game so far: " + detail;
        } else if (StartEngine(gameLevel)) {
            engineStale = true;
        }
    }
    UpdateStatus();
    PostMessageA(hwnd, WM_SCRIPT_STEP, 0, 0);
}

void Host::EnginePicture(const std::vector<std::string>& rows) {
    if (view.on) return;
    EngineView seen;
    if (!ReadEngineView(rows, &seen)) {
        Log("engine board: not a board picture");
        return;
    }
    const std::string differs = ViewDiffers(seen, game.board());
    Log("engine board: you " + std::to_string(seen.score[PERSON]) + ", engine " +
        std::to_string(seen.score[ENGINE]) + ", " + std::to_string(seen.lines) + " lines, " +
        (differs.empty() ? "as here" : "differs: " + differs));
    if (!differs.empty() && !engineStale) note = engineLabel + "'s own board differs: " + differs;
}

void HintAsker::EngineReply(const std::string& line) {
    dabtools::Reply reply;
    std::string detail;
    std::vector<int> lines;
    Fault f = dabtools::parse_reply(line, reply, detail);
    // A hint for a game that has moved on since it was asked is dropped.
    const bool current = host.hintFor == host.game.HistoryText(PERSON) && CanPlay();
    if (f == Fault::None && current) {
        dabtools::Board judged = host.game.board();
        f = dabtools::apply_reply(judged, PERSON, reply, lines, detail);
    }
    host.hintLink->Stop();
    if (!current) return;
    if (f != Fault::None) {
        host.note = "No hint: " + std::string(dabtools::fault_name(f)) + ": " + detail;
        Log("hint refused: " + detail);
    } else {
        host.hint = lines;
        std::string codes;
        for (int l : lines) codes += dabtools::line_code(l);
        host.note = "Hint: " + codes + " (shown in green)";
        Log("hint: " + codes);
    }
    UpdateStatus();
    PostMessageA(host.hwnd, WM_SCRIPT_STEP, 0, 0);
}

void HintAsker::EngineFault(Fault f, const std::string& detail) {
    host.note = "No hint: " + std::string(dabtools::fault_name(f)) + ": " + detail;
    Log("hint refused: " + detail);
    UpdateStatus();
    PostMessageA(host.hwnd, WM_SCRIPT_STEP, 0, 0);
}

void HintAsker::EngineHistory(bool accepted, const std::string& detail) {
    if (accepted) return;
    host.note = "No hint: " + host.engineLabel + " does not take the game so far";
    Log("hint refused: " + detail);
    UpdateStatus();
    PostMessageA(host.hwnd, WM_SCRIPT_STEP, 0, 0);
}

} // namespace dab_host
