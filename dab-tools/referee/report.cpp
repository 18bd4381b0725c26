// The referee's reports: one JSON object per game and one per match, and a table for people.
#include "referee.h"

#include "dab_board.h"
#include "match_text.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace dabtools {

using matchtools::json_counts;
using matchtools::json_string;

namespace {

std::string number(double v) {
    return matchtools::format_ms(v);
}

} // namespace

std::string game_json(const GameResult& g, const EngineSpec engines[2]) {
    const int black = g.black, white = 1 - black;
    std::ostringstream o;
    o << "{\"type\":\"game\",\"game\":" << g.number << ",\"seed\":" << g.seed
      << ",\"black\":" << json_string(engines[black].label)
      << ",\"white\":" << json_string(engines[white].label)
      << ",\"black_name\":" << json_string(g.names[black])
      << ",\"white_name\":" << json_string(g.names[white]) << ",\"turns\":[";
    for (size_t i = 0; i < g.turns.size(); ++i) {
        const Turn& t = g.turns[i];
        std::string codes;
        for (int line : t.lines) codes += line_code(line);
        o << (i ? "," : "") << "[\"" << (t.engine == black ? "black" : "white") << "\",\"" << codes
          << "\"," << number(t.ms) << "]";
    }
    o << "],\"score\":{\"black\":" << g.score[black] << ",\"white\":" << g.score[white]
      << "},\"winner\":\"" << (g.winner == black ? "black" : "white")
      << "\",\"winner_label\":" << json_string(engines[g.winner].label)
      << ",\"reason\":" << json_string(g.reason) << ",\"fault\":";
    if (g.fault == Fault::None)
        o << "null";
    else
        o << "{\"engine\":" << json_string(engines[g.fault_engine].label) << ",\"colour\":\""
          << (g.fault_engine == black ? "black" : "white") << "\",\"kind\":\""
          << fault_name(g.fault) << "\",\"detail\":" << json_string(g.fault_detail) << "}";
    o << ",\"notes\":[";
    for (size_t i = 0; i < g.notes.size(); ++i) o << (i ? "," : "") << json_string(g.notes[i]);
    o << "]}";
    return o.str();
}

std::string match_json(const MatchResult& m, const EngineSpec engines[2], const Options& opt) {
    std::ostringstream o;
    o << "{\"type\":\"match\",\"games\":" << m.games.size() << ",\"budget_ms\":" << opt.budget_ms
      << ",\"margin_ms\":" << opt.margin_ms << ",\"seed\":" << opt.seed
      << ",\"concurrency\":" << opt.concurrency << ",\"engines\":[";
    for (int e = 0; e < 2; ++e) {
        const EngineStats& s = m.stats[e];
        o << (e ? "," : "") << "{\"label\":" << json_string(engines[e].label)
          << ",\"command\":" << json_string(engines[e].command)
          << ",\"name\":" << json_string(s.name) << ",\"wins\":" << s.wins
          << ",\"losses\":" << s.losses << ",\"boxes_for\":" << s.boxes_for
          << ",\"boxes_against\":" << s.boxes_against << ",\"lines\":" << s.lines
          << ",\"mean_ms_per_line\":" << number(s.lines ? s.total_ms / s.lines : 0)
          << ",\"max_ms_per_line\":" << number(s.max_ms_per_line)
          << ",\"faults\":" << json_counts(s.faults) << "}";
    }
    o << "]}";
    return o.str();
}

std::string summary_table(const MatchResult& m, const EngineSpec engines[2], const Options& opt) {
    std::ostringstream o;
    const int games = static_cast<int>(m.games.size());
    o << "Match of " << games << " game(s), " << (opt.swap ? "colours swapped" : "fixed colours")
      << ", budget " << opt.budget_ms << " ms + margin " << opt.margin_ms << " ms per line, seed "
      << opt.seed << ", " << opt.concurrency << " game(s) at once\n";
    // Columns as wide as the longest label and name, up to a point.
    int lw = 6, nw = 4;
    for (int e = 0; e < 2; ++e) {
        lw = std::max(lw, static_cast<int>(std::min<size_t>(engines[e].label.size(), 40)));
        nw = std::max(nw, static_cast<int>(std::min<size_t>(m.stats[e].name.size(), 24)));
    }
    char buf[256];
    std::snprintf(buf, sizeof buf, "%-*s %-*s %5s %6s %6s %8s %7s %12s %12s %6s\n", lw, "engine",
                  nw, "name", "wins", "losses", "win %", "boxes", "margin", "mean ms/line",
                  "max ms/line", "faults");
    o << buf;
    for (int e = 0; e < 2; ++e) {
        const EngineStats& s = m.stats[e];
        int faults = 0;
        for (const auto& f : s.faults) faults += f.second;
        std::string boxes = std::to_string(s.boxes_for) + "-" + std::to_string(s.boxes_against);
        std::snprintf(buf, sizeof buf, "%-*.*s %-*.*s %5d %6d %6.1f %8s %+7.2f %12.1f %12.1f %6d\n",
                      lw, lw, engines[e].label.c_str(), nw, nw, s.name.c_str(), s.wins, s.losses,
                      games ? 100.0 * s.wins / games : 0.0, boxes.c_str(),
                      games ? static_cast<double>(s.boxes_for - s.boxes_against) / games : 0.0,
                      s.lines ? s.total_ms / s.lines : 0.0, s.max_ms_per_line, faults);
        o << buf;
    }
    bool any = false;
    for (const GameResult& g : m.games) {
        if (g.fault == Fault::None && g.notes.empty()) continue;
        if (!any) o << "Faults and notes:\n";
        any = true;
        if (g.fault != Fault::None)
            o << "  game " << g.number << ": " << engines[g.fault_engine].label << ": "
              << fault_name(g.fault) << ": " << g.fault_detail << "\n";
        for (const std::string& n : g.notes) o << "  game " << g.number << ": note: " << n << "\n";
    }
    return o.str();
}

} // namespace dabtools
