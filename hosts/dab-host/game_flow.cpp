// The game between the person's clicks, the board and the engine: turns, the end of the
// game, new games, taking back, and what the engine's replies and faults do.
#include "dab_host.h"

#include <cstdio>

namespace dab_host {

using dabtools::Fault;

void Log(const std::string& line) {
    // On standard output too, so scripted runs leave a record of the game.
    printf("%s\n", line.c_str());
    fflush(stdout);
}

void Repaint() {
    InvalidateRect(host.hwnd, nullptr, FALSE);
}

namespace {

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

bool StartEngine() {
    std::string why;
    if (host.link->Start(host.opt.engine, host.opt.lineMs, &why)) return true;
    host.EngineFault(Fault::StartFailed, why);
    return false;
}

// After a take back the engine's game is started again and gets every line so far with the
// person's turn: the protocol cannot hand an engine lines as its own.
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

} // namespace

void UpdateStatus() {
    const dabtools::Board& b = host.game.board();
    if (!host.fault.empty())
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
    // An engine that thinks, ends, ended, or faulted starts afresh.
    if (host.link->thinking() || !host.link->usable()) host.link->Stop();
    host.fault.clear();
    host.engineStale = false;
    host.game.Reset(opener);
    Log(opener == PERSON ? "-- new game: you open" : "-- new game: engine opens");
    if (host.link->running() || StartEngine()) host.link->NewGame(opener == ENGINE);
    UpdateStatus();
}

bool PersonLine(int line) {
    Game& g = host.game;
    if (line < 0 || g.board().drawn[line] || g.over() || g.toMove() != PERSON ||
        !host.fault.empty() || host.link->thinking())
        return false;
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
    bool restart = host.link->thinking() || !host.link->usable();
    if (!host.game.TakeBack()) return;
    Log("-- take back");
    if (restart) {
        host.link->Stop();
        host.fault.clear();
        StartEngine();
    }
    host.engineStale = true;
    UpdateStatus();
}

void Host::EngineReply(const std::string& line) {
    dabtools::Reply reply;
    std::string detail;
    Fault f = dabtools::parse_reply(line, reply, detail);
    std::vector<int> lines;
    if (f == Fault::None && (game.toMove() != ENGINE || game.over()))
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

} // namespace dab_host
