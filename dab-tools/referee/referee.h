// The referee: plays Dots and Boxes games between two engine programs over their standard
// streams, as the platform host does, and judges every reply on its own board.
#pragma once

#include "engine_reply.h"

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace dabtools {

struct EngineSpec {
    std::string label;   // how the reports name the engine
    std::string command; // program and arguments; "{seed}" is replaced by the game's seed
};

struct Options {
    int games = 2;
    bool swap = true;      // the engines take turns at opening
    int budget_ms = 5000;  // the engine's time per line
    int margin_ms = 1000;  // allowance per line on top of the budget
    uint32_t seed = 1;     // game g uses seed + g
    int concurrency = 1;   // games played at once
    bool progress = false; // a progress line on standard error
    bool verbose = false;  // each turn on the log stream
    bool boards = false;   // and the board after each turn
};

struct Turn {
    int engine = 0;         // 0 or 1: index into the match's engines
    int count = 0;          // lines the reply announced
    std::vector<int> lines; // lines in the order drawn (those accepted before a fault)
    double ms = 0;          // from sending the command to the reply
};

struct GameResult {
    int number = 0; // 1-based
    uint32_t seed = 0;
    int black = 0;        // engine index that opened
    std::string names[2]; // as the engines answered "name?"
    std::vector<Turn> turns;
    int score[2] = {0, 0}; // boxes per engine index
    int winner = -1;       // engine index
    std::string reason;
    Fault fault = Fault::None;
    int fault_engine = -1;
    std::string fault_detail;
    std::vector<std::string> notes; // oddities after the game was decided
};

struct EngineStats {
    int wins = 0, losses = 0;
    int boxes_for = 0, boxes_against = 0;
    int lines = 0;       // lines in timed replies
    double total_ms = 0; // reply time over those replies
    double max_ms_per_line = 0;
    std::map<std::string, int> faults;
    std::string name; // from the first game that answered
};

struct MatchResult {
    std::vector<GameResult> games;
    EngineStats stats[2];
};

// Plays one game; engines[black] opens. Writes turns to log when verbose.
GameResult play_game(const EngineSpec engines[2], int black, int number, uint32_t seed,
                     const Options& options, std::ostream* log);

// Plays the whole match, options.concurrency games at once; each game goes to log and json
// (one line per game, then the summary line) when they are not null, in game order, as
// soon as it and the games before it are over.
MatchResult run_match(const EngineSpec engines[2], const Options& options, std::ostream* log,
                      std::ostream* json);

std::string game_json(const GameResult& game, const EngineSpec engines[2]);
std::string match_json(const MatchResult& match, const EngineSpec engines[2],
                       const Options& options);
std::string summary_table(const MatchResult& match, const EngineSpec engines[2],
                          const Options& options);

} // namespace dabtools
