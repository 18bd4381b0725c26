// The Dots-and-Boxes referee: plays games between engine programs over their standard
// streams, as the platform host does, and judges every reply on its own board. The match
// around the games (schedule, openings, games at once, statistics, logs) is the shared
// runner's (libs/match).
#pragma once

#include "engine_reply.h"
#include "match_runner.h"

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

// The match's options, and the referee's own.
struct Options : matchtools::MatchOptions {
    Options() {
        budget_ms = 5000;
        margin_ms = 1000;
    }
    bool boards = false; // the board after each turn in the verbose log
};

struct Turn {
    int engine = 0;         // index into the match's engines; -1 for an opening's line
    int count = 0;          // lines the reply announced
    std::vector<int> lines; // lines in the order drawn (those accepted before a fault)
    double ms = 0;          // from sending the command to the reply
    bool opening = false;   // drawn by the referee from the opening, not by an engine
};

struct GameResult {
    long long number = 0; // 1-based, in the whole match
    uint32_t seed = 0;
    int black = 0, white = 1; // engine indices: Black opens
    std::string names[2];     // as the engines answered "name?", by colour (0 Black, 1 White)
    std::vector<Turn> turns;  // every turn, the opening's lines first
    int score[2] = {0, 0};    // boxes by colour
    int winner = -1;          // engine index
    std::string reason;
    Fault fault = Fault::None;
    int fault_engine = -1; // engine index
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
    std::vector<EngineStats> stats; // by engine
    std::string report;             // the closing report for people
    bool refused = false;           // not played: why says why
    std::string why;
};

// The game's part of the runner: its kind (settings, openings, the "history" probe).
matchtools::GameKind game_kind(const Options& options);

// Plays one game as the runner sets it up. Writes turns to log when verbose.
GameResult play_game(const matchtools::GameSetup& setup, const Options& options, std::ostream* log);

// Plays the match of options (its engines in options.labels and options.commands), games at
// once as options.concurrency says; each game goes to log and json (the JSON lines of
// match_log.h) when they are not null, in game order, as soon as it and the games before it
// are over.
MatchResult run_match(const Options& options, std::ostream* log, std::ostream* json);
// The same with two engines given apart from the options.
MatchResult run_match(const EngineSpec engines[2], Options options, std::ostream* log,
                      std::ostream* json);

// The game's part of its record (everything after "opening").
matchtools::Json game_record(const GameResult& game, const matchtools::GameSetup& setup);

} // namespace dabtools
