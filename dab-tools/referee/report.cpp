// The game's part of a Dots-and-Boxes game record: every turn with who drew it and its time
// (the opening's lines first, with no time), the boxes, the winner and why.
#include "referee.h"

#include "dab_board.h"

namespace dabtools {

using matchtools::Json;

Json game_record(const GameResult& g, const matchtools::GameSetup& setup) {
    Json o;
    o["black"] = setup.labels[0];
    o["white"] = setup.labels[1];
    o["black_name"] = g.names[0];
    o["white_name"] = g.names[1];
    Json turns = Json::array();
    matchtools::GameSummary s;
    // Who drew an opening's line follows from the rules: they alternate, Black first.
    int opening_side = 0;
    for (const Turn& t : g.turns) {
        std::string codes;
        for (int line : t.lines) codes += line_code(line);
        const int c = t.opening ? opening_side : t.engine == g.black ? 0 : 1;
        opening_side = 1 - opening_side;
        turns.push_back(
            Json::array({c == 0 ? "black" : "white", codes,
                         t.opening ? Json(nullptr) : Json(matchtools::rounded_ms(t.ms))}));
        if (t.opening) continue;
        matchtools::SideTally& tally = s.tally[c];
        tally.timed += t.count;
        tally.total_ms += t.ms;
        tally.max_ms = std::max(tally.max_ms, t.ms / t.count);
    }
    o["turns"] = turns;
    o["score"] = {{"black", g.score[0]}, {"white", g.score[1]}};
    const int winner = g.winner == g.black ? 0 : 1;
    o["winner"] = winner == 0 ? "black" : "white";
    o["winner_label"] = setup.labels[winner];
    o["reason"] = g.reason;
    s.engines[0] = g.black;
    s.engines[1] = g.white;
    s.points[winner] = 1;
    for (int c = 0; c < 2; ++c)
        s.tally[c].counters = {{"boxes_for", g.score[c]}, {"boxes_against", g.score[1 - c]}};
    if (g.fault != Fault::None) {
        s.fault_kind = fault_name(g.fault);
        s.fault_colour = g.fault_engine == g.black ? 0 : 1;
        s.fault_detail = g.fault_detail;
    }
    s.notes = g.notes;
    matchtools::put_summary(o, s, setup.labels);
    return o;
}

} // namespace dabtools
