#include "saved_game.h"

namespace dab_host {

using game_records::DabGame;
using game_records::DabRecord;
using game_records::DabTurn;
using game_records::Json;

namespace {

const char kYou[] = "you";

} // namespace

Json RecordOfGame(const Game& game, const std::string& engineLabel, const std::string& engineName) {
    const int person = game.opener() == PERSON ? 0 : 1; // the opener is Black
    DabGame g;
    g.labels[person] = kYou;
    g.labels[1 - person] = engineLabel;
    g.names[person] = "person";
    g.names[1 - person] = engineName;
    for (const Turn& t : game.turns())
        g.turns.push_back(DabTurn{t.player == PERSON ? person : 1 - person, t.lines, -1});
    const dabtools::Board& b = game.board();
    g.score[person] = b.score[PERSON];
    g.score[1 - person] = b.score[ENGINE];
    g.summary.engines[person] = 0;
    g.summary.engines[1 - person] = 1;
    if (game.over()) {
        g.winner = g.score[0] > g.score[1] ? 0 : 1;
        g.reason = "score " + std::to_string(g.score[g.winner]) + "-" +
                   std::to_string(g.score[1 - g.winner]);
        g.summary.points[g.winner] = 1;
    } else {
        g.summary.played = false;
        g.reason = "not over: saved at line " + std::to_string(b.lines_drawn);
    }
    Json record = matchtools::game_record_head(1, 0, "", 0, nullptr);
    const Json fields = game_records::dab_game_fields(g);
    for (auto it = fields.begin(); it != fields.end(); ++it) record[it.key()] = it.value();
    return record;
}

Game GameOfRecord(const DabRecord& record, size_t turns, int personColour) {
    Game game;
    game.Reset(personColour == 0 ? PERSON : ENGINE);
    const std::vector<DabTurn>& all = record.game.turns;
    for (size_t i = 0; i < turns && i < all.size(); ++i)
        for (int line : all[i].lines) game.Draw(line);
    return game;
}

int ColourToMove(const DabRecord& record, size_t turns) {
    if (turns >= record.game.turns.size() && record.over) return -1;
    Game game = GameOfRecord(record, turns, 0);
    if (game.over()) return -1;
    return game.toMove() == PERSON ? 0 : 1;
}

int PersonColour(const DabRecord& record, size_t turns) {
    for (int c = 0; c < 2; ++c)
        if (record.game.labels[c] == kYou) return c;
    const int colour = ColourToMove(record, turns);
    return colour < 0 ? 0 : colour;
}

} // namespace dab_host
