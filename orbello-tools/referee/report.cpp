// The game's part of an Orbello game record: every move in the module's text (the opening's
// first, with no time), refused moves, the pieces left, the result and why.
#include "referee.h"

namespace orbello_referee {

using matchtools::Json;

namespace {

std::string result_word(const GameResult& g) {
    if (g.winner < 0) return g.error.empty() ? "draw" : "none";
    return g.winner == g.black ? "black" : "white";
}

} // namespace

Json game_record(const GameResult& g, const matchtools::GameSetup& setup, const Options& opt) {
    Json o;
    o["black"] = setup.labels[0];
    o["white"] = setup.labels[1];
    o["black_name"] = g.names[0];
    o["white_name"] = g.names[1];
    o["bases"] = {g.base_x, g.base_y};
    Json moves = Json::array(), ms = Json::array();
    matchtools::GameSummary s;
    long long moved[2] = {0, 0}, refused[2] = {0, 0};
    for (size_t i = 0; i < g.moves.size(); ++i) {
        const Move& m = g.moves[i];
        moves.push_back(m.text);
        ms.push_back(m.opening ? Json(nullptr) : Json(matchtools::rounded_ms(m.ms)));
        if (m.opening) continue;
        const int c = i % 2; // Black moves first and the sides alternate
        ++moved[c];
        matchtools::SideTally& t = s.tally[c];
        t.timed += 1;
        t.total_ms += m.ms;
        t.max_ms = std::max(t.max_ms, m.ms);
    }
    o["moves"] = moves;
    o["ms"] = ms;
    Json refusals = Json::array();
    for (const Refusal& r : g.refusals) {
        const int c = r.engine == g.black ? 0 : 1;
        refusals.push_back({{"ply", r.ply},
                            {"colour", c == 0 ? "black" : "white"},
                            {"text", r.text},
                            {"ms", matchtools::rounded_ms(r.ms)}});
        ++refused[c];
        matchtools::SideTally& t = s.tally[c];
        t.timed += 1;
        t.total_ms += r.ms;
        t.max_ms = std::max(t.max_ms, r.ms);
    }
    o["refusals"] = refusals;
    o["pieces"] = {{"black", g.pieces[0]}, {"white", g.pieces[1]}};
    o["result"] = result_word(g);
    o["winner_label"] =
        g.winner < 0 ? Json(nullptr) : Json(setup.labels[g.winner == g.black ? 0 : 1]);
    o["reason"] = g.reason;
    if (g.adjudication.empty())
        o["adjudication"] = nullptr;
    else
        o["adjudication"] = {{"rule", g.adjudication},
                             {"max_plies", opt.max_plies},
                             {"no_capture_plies", opt.no_capture_plies},
                             {"decided_by", "piece count, equal counts a draw"}};
    s.engines[0] = g.black;
    s.engines[1] = g.white;
    s.played = g.error.empty();
    if (g.winner < 0) {
        s.points[0] = s.points[1] = 0.5;
    } else {
        s.points[g.winner == g.black ? 0 : 1] = 1;
    }
    for (int c = 0; c < 2; ++c)
        s.tally[c].counters = {{"moves", moved[c]}, {"refusals", refused[c]}};
    if (g.fault != Fault::None) {
        s.fault_kind = fault_name(g.fault);
        s.fault_colour = g.fault_engine == g.black ? 0 : 1;
        s.fault_detail = g.fault_detail;
    }
    s.notes = g.notes;
    s.error = g.error;
    matchtools::put_summary(o, s, setup.labels);
    return o;
}

} // namespace orbello_referee
