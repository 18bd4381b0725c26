// The game's part of a Dots-and-Boxes game record: every turn with who drew it and its time
// (the opening's lines first, with no time), the boxes, the winner and why, written by the
// record writer the windows share (libs/game-records).
#include "referee.h"

#include "dab_board.h"
#include "dab_game_record.h"

namespace dabtools {

using matchtools::Json;

Json game_record(const GameResult& g, const matchtools::GameSetup& setup) {
    game_records::DabGame out;
    for (int c = 0; c < 2; ++c) {
        out.labels[c] = setup.labels[c];
        out.names[c] = g.names[c];
    }
    matchtools::GameSummary& s = out.summary;
    // Who drew an opening's line follows from the rules: they alternate, Black first.
    int opening_side = 0;
    for (const Turn& t : g.turns) {
        const int c = t.opening ? opening_side : t.engine == g.black ? 0 : 1;
        opening_side = 1 - opening_side;
        out.turns.push_back({c, t.lines, t.opening ? -1.0 : t.ms});
        if (t.opening) continue;
        matchtools::SideTally& tally = s.tally[c];
        tally.timed += t.count;
        tally.total_ms += t.ms;
        tally.max_ms = std::max(tally.max_ms, t.ms / t.count);
    }
    for (int c = 0; c < 2; ++c) out.score[c] = g.score[c];
    out.winner = g.winner == g.black ? 0 : 1;
    out.reason = g.reason;
    s.engines[0] = g.black;
    s.engines[1] = g.white;
    s.points[out.winner] = 1;
    for (int c = 0; c < 2; ++c)
        s.tally[c].counters = {{"boxes_for", g.score[c]}, {"boxes_against", g.score[1 - c]}};
    if (g.fault != Fault::None) {
        s.fault_kind = fault_name(g.fault);
        s.fault_colour = g.fault_engine == g.black ? 0 : 1;
        s.fault_detail = g.fault_detail;
    }
    s.notes = g.notes;
    return game_records::dab_game_fields(out);
}

} // namespace dabtools
