// The game's part of an Orbello game record: every move in the module's text (the opening's
// first, with no time), refused moves, the pieces left, the result and why, written by the
// record writer the windows share (libs/game-records).
#include "referee.h"

#include "orbello_game_record.h"

namespace orbello_referee {

using matchtools::Json;

namespace {

std::string result_word(const GameResult& g) {
    if (g.winner < 0) return g.error.empty() ? "draw" : "none";
    return g.winner == g.black ? "black" : "white";
}

} // namespace

Json game_record(const GameResult& g, const matchtools::GameSetup& setup, const Options& opt) {
    game_records::OrbelloGame out;
    for (int c = 0; c < 2; ++c) {
        out.labels[c] = setup.labels[c];
        out.names[c] = g.names[c];
    }
    out.base_x = g.base_x;
    out.base_y = g.base_y;
    matchtools::GameSummary& s = out.summary;
    long long moved[2] = {0, 0}, refused[2] = {0, 0};
    for (size_t i = 0; i < g.moves.size(); ++i) {
        const Move& m = g.moves[i];
        out.moves.push_back({m.text, m.opening ? -1.0 : m.ms});
        if (m.opening) continue;
        const int c = i % 2; // Black moves first and the sides alternate
        ++moved[c];
        matchtools::SideTally& t = s.tally[c];
        t.timed += 1;
        t.total_ms += m.ms;
        t.max_ms = std::max(t.max_ms, m.ms);
    }
    for (const Refusal& r : g.refusals) {
        const int c = r.engine == g.black ? 0 : 1;
        out.refusals.push_back({r.ply, c, r.text, r.ms});
        ++refused[c];
        matchtools::SideTally& t = s.tally[c];
        t.timed += 1;
        t.total_ms += r.ms;
        t.max_ms = std::max(t.max_ms, r.ms);
    }
    for (int c = 0; c < 2; ++c) out.pieces[c] = g.pieces[c];
    out.result = result_word(g);
    out.winner = g.winner < 0 ? -1 : g.winner == g.black ? 0 : 1;
    out.reason = g.reason;
    out.adjudication = g.adjudication;
    out.max_plies = opt.max_plies;
    out.no_capture_plies = opt.no_capture_plies;
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
    return game_records::orbello_game_fields(out);
}

} // namespace orbello_referee
