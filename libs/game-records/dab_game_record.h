// A Dots-and-Boxes game record: the game's part of a "game" line of a match log (after the
// fields every record begins with), as dab-referee writes it and dab-host saves and opens it.
#pragma once

#include "match_log.h"

#include <string>
#include <vector>

namespace game_records {

using matchtools::Json;

struct DabTurn {
    int colour = 0;         // 0 Black (drew the game's first line), 1 White
    std::vector<int> lines; // in the order drawn; a faulty reply's accepted lines, maybe none
    double ms = -1;         // the reply's time; negative: none (an opening's line, a person)
};

struct DabGame {
    std::string labels[2]; // by colour, as the reports name the players
    std::string names[2];  // what the engines answered to "name?"
    std::vector<DabTurn> turns;
    int score[2] = {0, 0};
    int winner = -1;    // colour; -1 while the game is not over
    std::string reason; // why it ended, or why it stands where it stands
    // "fault", "notes", "engines", "points", "tally": what the reports read (put_summary).
    matchtools::GameSummary summary;
};

// The game's fields of the record: "black", "white", their names, "turns" (each [colour,
// codes, ms or null]), "score", "winner" and "winner_label" (null while not over), "reason",
// then the summary's fields.
Json dab_game_fields(const DabGame& game);

// A record read back for people to look at or play on.
struct DabRecord {
    long long number = 0;
    int opening_plies = 0; // the first turns, one line each, are the opening
    std::string opening_source;
    DabGame game;
    std::string fault_text; // "kind by label (colour): detail", or empty
    bool over = false;      // every line drawn, or the game ended by a fault
};

// Reads a record and replays it on a board: every turn must be its colour's by the rules
// and each line legal where it stands; only the last turn may be cut short (a fault, or a
// turn still being played when it was saved). False with why naming the turn and the line.
bool read_dab_record(const Json& record, DabRecord& out, std::string& why);

} // namespace game_records
