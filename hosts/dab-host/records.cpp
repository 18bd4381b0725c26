// Saved games and opened records: Save writes the referees' game record of the game on
// screen (or the record being looked at) in one step; Open reads a saved game or a game of
// a match log, replaying every line by the rules, and shows it turn by turn; Play on goes on
// from the turn shown against the engine, which is told the game so far.
#include "dab_host.h"
#include "record_file.h"
#include "saved_game.h"

#include <climits>

namespace dab_host {

namespace {

void ShowRecord() {
    Viewing& v = host.view;
    // Black (the opener) in the person's colours, White in the engine's.
    host.game = GameOfRecord(v.record, v.shown, 0);
    host.hint.clear();
    const dabtools::Board& b = host.game.board();
    Log("shown: turn " + std::to_string(v.shown) + " of " +
        std::to_string(v.record.game.turns.size()) + ", black " + std::to_string(b.score[1]) +
        ", white " + std::to_string(b.score[2]) + ", " + std::to_string(b.lines_drawn) + " lines");
    UpdateStatus();
}

} // namespace

void SaveGame(const std::string& path) {
    const game_records::Json record =
        host.view.on ? host.view.json
                     : RecordOfGame(host.game, host.engineLabel, host.link->name());
    std::string why;
    if (!game_records::replace_file(path, matchtools::json_line(record) + "\n", why)) {
        host.note = "Not saved: " + path + ": " + why;
        Log("save refused: " + path + ": " + why);
    } else {
        host.note = "Saved " + path;
        Log("saved " + path);
    }
    UpdateStatus();
}

bool OpenRecord(const std::string& path, long long game) {
    game_records::Json json;
    game_records::DabRecord record;
    std::string why;
    if (!game_records::read_game_line(path, game, json, why) ||
        !game_records::read_dab_record(json, record, why)) {
        // The game on screen stays as it was.
        host.note = "Not opened: " + path + ": " + why;
        Log("open refused: " + path + ": " + why);
        UpdateStatus();
        return false;
    }
    // The engine's game is left behind: it is told the game again to play on.
    if (host.link->thinking()) host.link->Stop();
    host.view.on = true;
    host.view.file = path;
    host.view.json = json;
    host.view.record = record;
    host.view.shown = record.game.turns.size();
    host.fault.clear();
    host.note = "Opened " + path;
    Log("opened " + path + " game " + std::to_string(record.number));
    ShowRecord();
    return true;
}

void Step(int delta) {
    Viewing& v = host.view;
    if (!v.on) return;
    const long long all = static_cast<long long>(v.record.game.turns.size());
    long long to = delta == INT_MIN   ? 0
                   : delta == INT_MAX ? all
                                      : static_cast<long long>(v.shown) + delta;
    to = std::max(0LL, std::min(all, to));
    if (to == static_cast<long long>(v.shown)) return;
    v.shown = static_cast<size_t>(to);
    ShowRecord();
}

} // namespace dab_host
