// The Orbello referee: plays games between engine programs over their standard streams and
// has the real module judge every move, as the platform does: each reply goes to the
// module's ReceiveMove, and the module's "error" and "end" go back to the engines. The match
// around the games (schedule, openings, games at once, statistics, logs) is the shared
// runner's (libs/match).
#pragma once

#include "fault.h"
#include "match_runner.h"
#include "module_game.h"

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace orbello_referee {

using Fault = engine_session::Fault;
using engine_session::fault_name;
using orbello_module::default_module_paths;
using orbello_module::ModuleGame;
using orbello_module::ModulePaths;

struct Options {
    matchtools::MatchOptions match;
    ModulePaths module;
    int max_plies = 400;        // adjudicated by pieces when no side has won by then
    int no_capture_plies = 100; // adjudicated by pieces after this many plies without a capture
    int refusal_limit = 3;      // refused moves in a row that lose the game
};

struct Move {
    int engine = 0;   // index into the match's engines; -1 for an opening's move
    std::string text; // the four characters of the module's move text
    double ms = 0;    // from the command it answered to the reply
    bool capture = false;
    bool opening = false; // played by the referee from the opening
};

struct Refusal {
    int ply = 0; // 1-based number of the move that was due
    int engine = 0;
    std::string text; // the refused reply
    double ms = 0;
};

struct GameResult {
    long long number = 0; // 1-based, in the whole match
    uint32_t seed = 0;
    int black = 0, white = 1;     // engine indices
    std::string names[2];         // as the engines answered "name?", by colour (0 Black, 1 White)
    int base_x = 65, base_y = 65; // the module's coordinate characters
    std::vector<Move> moves;      // every move, the opening's first
    std::vector<Refusal> refusals;
    int pieces[2] = {12, 12}; // by colour: 0 Black, 1 White
    int winner = -1;          // engine index; -1 for a draw
    std::string reason;
    std::string adjudication; // "", "ply-limit", "no-capture" or "no-legal-move"
    Fault fault = Fault::None;
    int fault_engine = -1; // engine index
    std::string fault_detail;
    std::string error;              // the module could not be used: the game was not played
    std::vector<std::string> notes; // oddities after the game was decided
};

struct EngineStats {
    int wins = 0, losses = 0, draws = 0;
    int replies = 0;     // timed replies, refused ones included
    double total_ms = 0; // over those replies
    double max_ms = 0;
    int moves = 0, refusals = 0;
    std::map<std::string, int> faults;
    std::string name; // from the first game that answered
};

struct MatchResult {
    std::vector<GameResult> games;
    std::vector<EngineStats> stats; // by engine
    int draws = 0;
    std::string report;   // the closing report for people
    bool refused = false; // not played: why says why
    std::string why;
};

// The game's part of the runner: its kind (settings, openings, the "history" probe).
matchtools::GameKind game_kind(const Options& options);

GameResult play_game(const Options& options, const matchtools::GameSetup& setup, std::ostream* log);

// The whole match, options.match.concurrency games at once; each game goes to log and json
// in game order as soon as it and the games before it are over.
MatchResult run_match(const Options& options, std::ostream* log, std::ostream* json);

// The game's part of its record (everything after "opening").
matchtools::Json game_record(const GameResult& game, const matchtools::GameSetup& setup,
                             const Options& options);

} // namespace orbello_referee
