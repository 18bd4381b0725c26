// Logs of one match played in parts (ranges of games on several machines) read back and
// merged: each log checked to be of the same match, the ranges not to overlap and no game to
// come twice; a last line cut short by a crash loses only that game.
#pragma once

#include "match_log.h"

#include <string>
#include <vector>

namespace matchtools {

struct MatchLog {
    std::string path;
    Json settings;
    std::vector<Json> games; // the game records, in the order of the log
    bool closed = false;     // it ends with its "match" line
    std::vector<std::string> warnings;
};

// Reads one log. False with why (a line that is not JSON before the last, no settings line,
// a record of another match inside it).
bool read_match_log(const std::string& path, MatchLog& log, std::string& why);

// What differs between two matches' identities, for people: "seed 21 and 22; engines".
std::string identity_difference(const Json& a, const Json& b);

// The games of all logs in order of their numbers, after the checks; false with why.
bool merge_logs(const std::vector<MatchLog>& logs, std::vector<Json>& games, std::string& why);

} // namespace matchtools
