// The referee's reports: one JSON object per game and one per match, and a table for people.
#include "referee.h"

#include "match_text.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace orbello_referee {

using matchtools::format_ms;
using matchtools::json_counts;
using matchtools::json_string;

namespace {

std::string result_word(const GameResult& g) {
    if (g.winner < 0) return g.error.empty() ? "draw" : "none";
    return g.winner == g.black ? "black" : "white";
}

} // namespace

std::string game_json(const GameResult& g, const Options& opt) {
    const std::string* labels = opt.match.labels;
    const int black = g.black, white = 1 - black;
    std::ostringstream o;
    o << "{\"type\":\"game\",\"game\":" << g.number << ",\"seed\":" << g.seed
      << ",\"black\":" << json_string(labels[black]) << ",\"white\":" << json_string(labels[white])
      << ",\"black_name\":" << json_string(g.names[black])
      << ",\"white_name\":" << json_string(g.names[white]) << ",\"bases\":[" << g.base_x << ","
      << g.base_y << "],\"moves\":[";
    for (size_t i = 0; i < g.moves.size(); ++i) o << (i ? "," : "") << json_string(g.moves[i].text);
    o << "],\"ms\":[";
    for (size_t i = 0; i < g.moves.size(); ++i) o << (i ? "," : "") << format_ms(g.moves[i].ms);
    o << "],\"refusals\":[";
    for (size_t i = 0; i < g.refusals.size(); ++i) {
        const Refusal& r = g.refusals[i];
        o << (i ? "," : "") << "{\"ply\":" << r.ply << ",\"colour\":\""
          << (r.engine == black ? "black" : "white") << "\",\"text\":" << json_string(r.text)
          << ",\"ms\":" << format_ms(r.ms) << "}";
    }
    o << "],\"pieces\":{\"black\":" << g.pieces[0] << ",\"white\":" << g.pieces[1]
      << "},\"result\":\"" << result_word(g) << "\",\"winner_label\":"
      << (g.winner < 0 ? std::string("null") : json_string(labels[g.winner]))
      << ",\"reason\":" << json_string(g.reason) << ",\"adjudication\":";
    if (g.adjudication.empty())
        o << "null";
    else
        o << "{\"rule\":\"" << g.adjudication << "\",\"max_plies\":" << opt.max_plies
          << ",\"no_capture_plies\":" << opt.no_capture_plies
          << ",\"decided_by\":\"piece count, equal counts a draw\"}";
    o << ",\"fault\":";
    if (g.fault == Fault::None)
        o << "null";
    else
        o << "{\"engine\":" << json_string(labels[g.fault_engine]) << ",\"colour\":\""
          << (g.fault_engine == black ? "black" : "white") << "\",\"kind\":\""
          << fault_name(g.fault) << "\",\"detail\":" << json_string(g.fault_detail) << "}";
    o << ",\"notes\":[";
    for (size_t i = 0; i < g.notes.size(); ++i) o << (i ? "," : "") << json_string(g.notes[i]);
    o << "]}";
    return o.str();
}

std::string match_json(const MatchResult& m, const Options& opt) {
    const matchtools::MatchOptions& mo = opt.match;
    std::ostringstream o;
    o << "{\"type\":\"match\",\"games\":" << m.games.size() << ",\"budget_ms\":" << mo.budget_ms
      << ",\"margin_ms\":" << mo.margin_ms << ",\"seed\":" << mo.seed
      << ",\"concurrency\":" << mo.concurrency << ",\"max_plies\":" << opt.max_plies
      << ",\"no_capture_plies\":" << opt.no_capture_plies
      << ",\"refusal_limit\":" << opt.refusal_limit << ",\"draws\":" << m.draws << ",\"engines\":[";
    for (int e = 0; e < 2; ++e) {
        const EngineStats& s = m.stats[e];
        o << (e ? "," : "") << "{\"label\":" << json_string(mo.labels[e])
          << ",\"command\":" << json_string(mo.commands[e]) << ",\"name\":" << json_string(s.name)
          << ",\"wins\":" << s.wins << ",\"losses\":" << s.losses << ",\"draws\":" << s.draws
          << ",\"moves\":" << s.moves << ",\"refusals\":" << s.refusals
          << ",\"mean_ms\":" << format_ms(s.replies ? s.total_ms / s.replies : 0)
          << ",\"max_ms\":" << format_ms(s.max_ms) << ",\"faults\":" << json_counts(s.faults)
          << "}";
    }
    o << "]}";
    return o.str();
}

std::string summary_table(const MatchResult& m, const Options& opt) {
    const matchtools::MatchOptions& mo = opt.match;
    std::ostringstream o;
    const int games = static_cast<int>(m.games.size());
    o << "Match of " << games << " game(s), " << (mo.swap ? "colours swapped" : "fixed colours")
      << ", budget " << mo.budget_ms << " ms + margin " << mo.margin_ms << " ms per move, seed "
      << mo.seed << ", " << mo.concurrency << " game(s) at once\n"
      << "Adjudicated by piece count (equal: draw) after " << opt.max_plies << " plies or "
      << opt.no_capture_plies << " plies without a capture; " << opt.refusal_limit
      << " refused moves in a row lose\n";
    int lw = 6, nw = 4;
    for (int e = 0; e < 2; ++e) {
        lw = std::max(lw, static_cast<int>(std::min<size_t>(mo.labels[e].size(), 40)));
        nw = std::max(nw, static_cast<int>(std::min<size_t>(m.stats[e].name.size(), 24)));
    }
    char buf[320];
    std::snprintf(buf, sizeof buf, "%-*s %-*s %5s %6s %5s %7s %6s %8s %8s %8s %6s\n", lw, "engine",
                  nw, "name", "wins", "losses", "draws", "score %", "moves", "mean ms", "max ms",
                  "refused", "faults");
    o << buf;
    for (int e = 0; e < 2; ++e) {
        const EngineStats& s = m.stats[e];
        int faults = 0;
        for (const auto& f : s.faults) faults += f.second;
        const int played = s.wins + s.losses + s.draws;
        std::snprintf(buf, sizeof buf, "%-*.*s %-*.*s %5d %6d %5d %7.1f %6d %8.1f %8.1f %8d %6d\n",
                      lw, lw, mo.labels[e].c_str(), nw, nw, s.name.c_str(), s.wins, s.losses,
                      s.draws, played ? 100.0 * (s.wins + 0.5 * s.draws) / played : 0.0, s.moves,
                      s.replies ? s.total_ms / s.replies : 0.0, s.max_ms, s.refusals, faults);
        o << buf;
    }
    bool any = false;
    for (const GameResult& g : m.games) {
        if (g.fault == Fault::None && g.notes.empty() && g.error.empty()) continue;
        if (!any) o << "Faults and notes:\n";
        any = true;
        if (g.fault != Fault::None)
            o << "  game " << g.number << ": " << mo.labels[g.fault_engine] << ": "
              << fault_name(g.fault) << ": " << g.fault_detail << "\n";
        if (!g.error.empty()) o << "  game " << g.number << ": not played: " << g.error << "\n";
        for (const std::string& n : g.notes) o << "  game " << g.number << ": note: " << n << "\n";
    }
    return o.str();
}

} // namespace orbello_referee
