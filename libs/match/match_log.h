// The JSON lines of a match log, one object per line, each carrying the match's identity:
//   "settings" first (the engines, the schedule, the times, the game's own settings), then
//   "game" for every game in order, "pair" after the second game of each pair (its points
//   and the SPRT so far), and "match" at the end (the totals and the statistics).
// A match's identity is what decides its games: the engines, the schedule, the seed, the
// openings and the times, but not the range of games played, nor how many ran at once, nor
// the stopping rule. match-report merges logs of one identity.
#pragma once

#include "openings.h"

#include <nlohmann/json.hpp>

#include <map>
#include <string>
#include <vector>

namespace matchtools {

using Json = nlohmann::ordered_json;

// A JSON line as the logs hold it: ASCII, bytes that are not UTF-8 replaced.
std::string json_line(const Json& j);
// Milliseconds as records hold them: one decimal.
double rounded_ms(double ms);

// The identity's digest, as every record carries it ("match_id").
std::string identity_digest(const Json& identity);

// The fields every game record begins with, as the runner writes them and the windows
// write a saved game: "type", "game", "seed", "match_id", "pair" (null when the game is not
// one of a pair) and "opening" (null, or its source, moves and plies).
Json game_record_head(long long number, uint64_t seed, const std::string& match_id, long long pair,
                      const Opening* opening);

// One side's figures in one game, summed over the match per engine. timed: the units timed
// (Dots and Boxes: lines of the engine's replies; Orbello: its replies); max_ms is per unit.
// counters: the game's own counts (boxes, refused moves, ...), in the order they are shown.
struct SideTally {
    long long timed = 0;
    double total_ms = 0, max_ms = 0;
    std::vector<std::pair<std::string, long long>> counters;
};
Json tally_json(const SideTally& t);

// What the reports need of one game, read back from its record.
struct GameSummary {
    long long number = 0;
    long long pair = 0;        // 0 when not paired
    int engines[2] = {0, 1};   // engine indices by colour: 0 Black (the opener), 1 White
    bool played = true;        // false: the judge could not be used, nobody scored
    double points[2] = {0, 0}; // by colour
    std::string fault_kind;    // "" when none
    int fault_colour = -1;
    std::string fault_detail;
    std::vector<std::string> notes;
    std::string error;    // why the game was not played
    std::string names[2]; // what the engines answered to "name?", by colour
    SideTally tally[2];
};

// The fields of a game record the reports read ("engines", "points", "fault", "notes",
// "error", "tally"), from a summary the referee filled in.
void put_summary(Json& record, const GameSummary& s, const std::string labels[2]);
// Reads a game record back; false with why when it lacks what the reports need.
bool summary_of(const Json& record, GameSummary& out, std::string& why);

} // namespace matchtools
