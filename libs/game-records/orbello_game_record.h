// An Orbello game record: the game's part of a "game" line of a match log (after the fields
// every record begins with), as orbello-referee writes it and orbello-host saves and opens it.
#pragma once

#include "match_log.h"

#include <string>
#include <vector>

namespace game_records {

using matchtools::Json;

struct OrbelloMove {
    std::string text; // four characters: source column and row, target column and row
    double ms = -1;   // the reply's time; negative: none (an opening's move, a person)
};

struct OrbelloRefusal {
    long long ply = 0; // 1-based number of the move that was due
    int colour = 0;
    std::string text; // the refused reply
    double ms = 0;
};

struct OrbelloGame {
    std::string labels[2]; // by colour: 0 Black (moves first), 1 White
    std::string names[2];
    int base_x = 65, base_y = 65;   // the characters of column 0 and row 0 in the moves' text
    std::vector<OrbelloMove> moves; // Black first, the sides alternating
    std::vector<OrbelloRefusal> refusals;
    int pieces[2] = {12, 12};
    std::string result; // "black", "white", "draw", "none" (not played); empty: not over
    int winner = -1;    // colour; -1 for none
    std::string reason;
    std::string adjudication; // "", "ply-limit", "no-capture", "no-legal-move"
    int max_plies = 0, no_capture_plies = 0;
    matchtools::GameSummary summary;
};

// The game's fields of the record: "black", "white", their names, "bases", "moves", "ms",
// "refusals", "pieces", "result" and "winner_label" (null while not over), "reason",
// "adjudication", then the summary's fields.
Json orbello_game_fields(const OrbelloGame& game);

struct OrbelloRecord {
    long long number = 0;
    int opening_plies = 0;
    std::string opening_source;
    OrbelloGame game;
    std::vector<std::string> plain_moves; // the moves with the bases 'A', as the rules read them
    std::string fault_text;
    bool over = false; // a side has no pieces left, or the record has a result
};

// Reads a record and replays its moves by the rules: each must be legal where it stands and
// none may follow the capture of a side's last piece. False with why naming the move.
bool read_orbello_record(const Json& record, OrbelloRecord& out, std::string& why);

// A move's four characters from one pair of bases to another; empty when the text does not
// name points of the board in the bases it is in.
std::string rebase_move(const std::string& text, int from_x, int from_y, int to_x, int to_y);

} // namespace game_records
