// Games kept in files: the window saves its game as the referee records one (the same JSON
// line), and opens a saved game or a game of a match log to step through it and to play on
// from the move shown. A file that is not a record, or a record with a move the rules refuse,
// is named and refused, and the game on screen stays.
#include "host.h"

#include "file_dialogs.h"
#include "play_logic.h"
#include "record_file.h"

#include <climits>

namespace orbello_host {

using matchtools::Json;

namespace {

// What a saved game calls the engine: its command, without the folder of the default one.
std::string EngineLabel() {
    std::string label = host.engineCommand;
    const std::string folder = "\"" + ProgramDir() + "\\";
    if (label.compare(0, folder.size(), folder) == 0) {
        label = label.substr(folder.size());
        const size_t quote = label.find('"');
        if (quote != std::string::npos) label.erase(quote, 1);
    }
    return label;
}

std::string FileName(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

Json CurrentGameRecord() {
    const bool engine = !host.engineCommand.empty();
    std::string labels[2];
    for (int c = 0; c < 2; ++c)
        labels[c] = engine && c == host.opt.engineSide ? EngineLabel() : "person";
    return SavedGameRecord(host.moves, host.baseX, host.baseY, labels,
                           host.over ? host.winner : -1);
}

// The shown move of the record, as the panel and standard output say it.
void LogShown() {
    const Viewer& v = host.viewer;
    std::string line = "move " + std::to_string(v.shown) + " of " + std::to_string(v.moves.size());
    if (v.shown > 0)
        line += ": " + std::string(SideName(static_cast<int>((v.shown - 1) % 2))) + " " +
                v.moves[v.shown - 1];
    Replayed position;
    std::string why;
    std::vector<std::string> first(v.moves.begin(), v.moves.begin() + static_cast<long>(v.shown));
    if (ReplayMoves(first, host.baseX, host.baseY, position, why))
        line += "; pieces Black " + std::to_string(position.pieces[0]) + ", White " +
                std::to_string(position.pieces[1]);
    Log(line);
}

} // namespace

bool SaveGame(const std::string& path) {
    const Json record = host.viewer.active ? host.viewer.json : CurrentGameRecord();
    std::string why;
    if (!game_records::replace_file(path, matchtools::json_line(record) + "\n", why)) {
        Log("save: " + path + ": " + why);
        Repaint();
        return false;
    }
    Log("saved " + path + " (" +
        std::to_string(host.viewer.active ? host.viewer.moves.size() : host.moves.size()) +
        " moves)");
    Repaint();
    return true;
}

void SaveAsked() {
    const std::string path = AskSaveRecord(host.hwnd, "Save the game", "orbello-game.jsonl");
    if (!path.empty()) SaveGame(path);
}

bool OpenRecord(const std::string& path, long long number) {
    Json json;
    std::string why;
    game_records::OrbelloRecord record;
    const std::string kept = "; the game on screen is kept";
    if (!game_records::read_game_line(path, number, json, why)) {
        Log("open: " + path + " " + why + kept);
        Repaint();
        return false;
    }
    if (!game_records::read_orbello_record(json, record, why)) {
        Log("open: " + path + ": " + why + kept);
        Repaint();
        return false;
    }
    std::vector<std::string> moves;
    for (const std::string& plain : record.plain_moves)
        moves.push_back(game_records::rebase_move(plain, 'A', 'A', host.baseX, host.baseY));
    if (EngineThinking() || Busy()) host.engine.kill(); // it would answer into the record
    host.historyDue = {};
    DropHint();
    host.game->CancelMove();
    if (!ReplayInto(moves, moves.size(), why)) {
        Log("open: " + path + ": " + why + kept);
        return false;
    }
    Viewer& v = host.viewer;
    v.active = true;
    v.path = path;
    v.record = record;
    v.json = json;
    v.moves = moves;
    v.shown = moves.size();
    Log("opened " + FileName(path) + ", game " + std::to_string(record.number) + ": " +
        std::to_string(moves.size()) + " moves");
    const game_records::OrbelloGame& g = record.game;
    Log("Black " + g.labels[0] + ", White " + g.labels[1]);
    LogShown();
    host.status = "Viewing a record: Left/Right step, P plays on";
    Repaint();
    return true;
}

void OpenAsked() {
    const std::string path = AskOpenRecord(host.hwnd, "Open a game record");
    if (!path.empty()) OpenRecord(path, 0);
}

void Step(long long delta) {
    Viewer& v = host.viewer;
    if (!v.active) return;
    const long long n = static_cast<long long>(v.moves.size());
    long long target = delta == LLONG_MAX   ? n
                       : delta == LLONG_MIN ? 0
                                            : static_cast<long long>(v.shown) + delta;
    target = target < 0 ? 0 : target > n ? n : target;
    if (target == static_cast<long long>(v.shown)) return;
    std::string why;
    if (target > static_cast<long long>(v.shown)) {
        // Forward: the moves played on the object shown.
        host.quiet = true;
        for (size_t i = v.shown; i < static_cast<size_t>(target); ++i) {
            char reply[64] = "", other[64] = "";
            if (host.game->ReceiveMove(("move " + v.moves[i]).c_str(), reply, other) == 2)
                ++host.gameOversToSkip;
        }
        host.quiet = false;
    } else if (!ReplayInto(v.moves, static_cast<size_t>(target), why)) {
        Log("step: " + why);
        return;
    }
    v.shown = static_cast<size_t>(target);
    LogShown();
    Repaint();
}

void PlayOn() {
    Viewer& v = host.viewer;
    if (!v.active) return;
    std::vector<std::string> first(v.moves.begin(), v.moves.begin() + static_cast<long>(v.shown));
    Replayed position;
    std::string why;
    if (!ReplayMoves(first, host.baseX, host.baseY, position, why) || position.over) {
        Log("play on: the game is over at this move; step back to play on");
        Repaint();
        return;
    }
    v.active = false;
    host.moves = first;
    host.sideToMove = position.sideToMove;
    host.over = false;
    host.winner = -1;
    DropHint();
    // The person takes the side to move; the engine the other one.
    host.opt.engineSide = 1 - position.sideToMove;
    Log("playing on from move " + std::to_string(first.size()) + " as " +
        SideName(position.sideToMove));
    const std::string wanted = EngineCommandLine();
    if (host.engine.running() && wanted != host.engineCommand) host.engine.kill();
    if (!wanted.empty() && !host.engine.running()) StartEngine(wanted);
    if (host.engine.running())
        SendHistory();
    else
        ScriptMayGoOn();
    UpdateStatus();
}

void CheckBoard() {
    const std::vector<std::string>& all = host.viewer.active ? host.viewer.moves : host.moves;
    const size_t count = host.viewer.active ? host.viewer.shown : all.size();
    std::vector<std::string> first(all.begin(), all.begin() + static_cast<long>(count));
    Replayed position;
    std::string why;
    if (!ReplayMoves(first, host.baseX, host.baseY, position, why)) {
        Log("board check: " + why);
        return;
    }
    InvalidateRect(host.hwnd, nullptr, FALSE);
    UpdateWindow(host.hwnd);
    const char kSeen[3] = {'b', 'w', '.'};
    std::string differs;
    for (int y = 0; y < BOARD_SIZE; ++y)
        for (int x = 0; x < BOARD_SIZE; ++x) {
            const POINT p = GridPixel(host.boardRect, x, y);
            const COLORREF c = host.frame->Pixel(p.x, p.y);
            const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            // A piece's middle is dark or light grey; an empty point shows the board or a
            // coloured loop.
            const int seen = r + g + b < 240                 ? BLACK
                             : r > 170 && g > 170 && b > 170 ? WHITE
                                                             : EMPTY;
            if (seen != position.board[x][y] && differs.empty())
                differs = std::string(1, static_cast<char>(host.baseX + x)) +
                          static_cast<char>(host.baseY + y) + " shows '" + kSeen[seen] +
                          "' where the rules have '" + kSeen[position.board[x][y]] + "'";
        }
    if (differs.empty())
        Log("board check: the board shows the position of move " + std::to_string(count));
    else
        Log("board check: " + differs);
}

} // namespace orbello_host
