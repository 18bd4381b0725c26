#include "match_merge.h"

#include <algorithm>
#include <fstream>
#include <map>

namespace matchtools {

bool read_match_log(const std::string& path, MatchLog& log, std::string& why) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = path + ": cannot be read";
        return false;
    }
    log = MatchLog{};
    log.path = path;
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    // The last line with anything in it is the one a crash may have cut.
    size_t last = lines.size();
    while (last > 0 && lines[last - 1].find_first_not_of(" \t\r") == std::string::npos) --last;
    std::string id;
    for (size_t i = 0; i < last; ++i) {
        const std::string where = path + ":" + std::to_string(i + 1);
        if (lines[i].find_first_not_of(" \t\r") == std::string::npos) continue;
        Json record = Json::parse(lines[i], nullptr, false);
        if (record.is_discarded() || !record.is_object()) {
            if (i + 1 == last) {
                log.warnings.push_back(where + ": cut short (the run ended while writing it): "
                                               "left out");
                break;
            }
            why = where + ": not a line of a match log";
            return false;
        }
        const std::string type = record.value("type", std::string());
        const std::string record_id = record.value("match_id", std::string());
        if (type == "settings") {
            if (!log.settings.is_null()) {
                why = where + ": a second settings line: two logs written into one file?";
                return false;
            }
            log.settings = record;
            id = record_id;
            continue;
        }
        if (log.settings.is_null()) {
            why = where + ": no settings line before it: not a log of this version's referees";
            return false;
        }
        if (record_id != id) {
            why = where + ": a record of another match than the log's settings line";
            return false;
        }
        if (type == "game") log.games.push_back(record);
        if (type == "match") log.closed = true;
    }
    if (log.settings.is_null()) {
        why = path + ": no settings line: not a match log";
        return false;
    }
    if (!log.closed)
        log.warnings.push_back(path + ": no closing line: the run ended early, " +
                               std::to_string(log.games.size()) + " game(s) kept");
    return true;
}

std::string identity_difference(const Json& a, const Json& b) {
    std::string out;
    for (const auto& item : a.items()) {
        const Json other = b.contains(item.key()) ? b[item.key()] : Json();
        if (other == item.value()) continue;
        if (!out.empty()) out += "; ";
        out += item.key();
        if (item.value().is_primitive() && other.is_primitive())
            out += " " + item.value().dump() + " and " + other.dump();
    }
    for (const auto& item : b.items())
        if (!a.contains(item.key())) out += (out.empty() ? "" : "; ") + item.key();
    return out.empty() ? "nothing" : out;
}

bool merge_logs(const std::vector<MatchLog>& logs, std::vector<Json>& games, std::string& why) {
    games.clear();
    if (logs.empty()) {
        why = "no log";
        return false;
    }
    const MatchLog& first = logs[0];
    struct Range {
        long long from, to;
        const MatchLog* log;
    };
    std::vector<Range> ranges;
    for (const MatchLog& log : logs) {
        if (log.settings.at("match_id") != first.settings.at("match_id")) {
            why = log.path + " is a log of another match than " + first.path + ": they differ in " +
                  identity_difference(first.settings.at("identity"), log.settings.at("identity"));
            return false;
        }
        const long long from = log.settings.at("first_game").get<long long>();
        long long to = from + log.settings.at("games").get<long long>() - 1;
        // A run that ended early holds the games up to its last one (they are written in
        // number order), so the rest can be played as a range of its own and merged.
        if (!log.closed) {
            to = from - 1;
            for (const Json& g : log.games) to = std::max(to, g.value("game", 0LL));
        }
        ranges.push_back({from, to, &log});
    }
    std::sort(ranges.begin(), ranges.end(),
              [](const Range& x, const Range& y) { return x.from < y.from; });
    for (size_t i = 1; i < ranges.size(); ++i)
        if (ranges[i].from <= ranges[i - 1].to) {
            why = ranges[i - 1].log->path + " (games " + std::to_string(ranges[i - 1].from) + "-" +
                  std::to_string(ranges[i - 1].to) + ") and " + ranges[i].log->path + " (games " +
                  std::to_string(ranges[i].from) + "-" + std::to_string(ranges[i].to) +
                  ") overlap: a game would count twice";
            return false;
        }
    std::map<long long, const Json*> by_number;
    for (const Range& r : ranges)
        for (const Json& g : r.log->games) {
            const long long n = g.value("game", 0LL);
            if (n < r.from || n > r.to) {
                why = r.log->path + ": game " + std::to_string(n) + " outside its range " +
                      std::to_string(r.from) + "-" + std::to_string(r.to);
                return false;
            }
            if (!by_number.emplace(n, &g).second) {
                why = r.log->path + ": game " + std::to_string(n) + " a second time";
                return false;
            }
        }
    for (const auto& g : by_number) games.push_back(*g.second);
    return true;
}

} // namespace matchtools
