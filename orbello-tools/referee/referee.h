// The Orbello referee: plays games between two engine programs over their standard streams
// and has the real module judge every move, as the platform does: each reply goes to the
// module's ReceiveMove, and the module's "error" and "end" go back to the engines.
#pragma once

#include "fault.h"
#include "match_cli.h"
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
    int engine = 0;   // index into the match's engines
    std::string text; // the four characters of the module's move text
    double ms = 0;    // from the command it answered to the reply
    bool capture = false;
};

struct Refusal {
    int ply = 0; // 1-based number of the move that was due
    int engine = 0;
    std::string text; // the refused reply
    double ms = 0;
};

struct GameResult {
    int number = 0; // 1-based
    uint32_t seed = 0;
    int black = 0; // engine index that played Black
    std::string names[2];
    int base_x = 65, base_y = 65; // the module's coordinate characters
    std::vector<Move> moves;
    std::vector<Refusal> refusals;
    int pieces[2] = {12, 12}; // by colour: 0 Black, 1 White
    int winner = -1;          // engine index; -1 for a draw
    std::string reason;
    std::string adjudication; // "", "ply-limit", "no-capture" or "no-legal-move"
    Fault fault = Fault::None;
    int fault_engine = -1;
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
    EngineStats stats[2];
    int draws = 0;
};

GameResult play_game(const Options& options, int black, int number, uint32_t seed,
                     std::ostream* log);

// The whole match, options.match.concurrency games at once; each game goes to log and json
// in game order as soon as it and the games before it are over.
MatchResult run_match(const Options& options, std::ostream* log, std::ostream* json);

std::string game_json(const GameResult& game, const Options& options);
std::string match_json(const MatchResult& match, const Options& options);
std::string summary_table(const MatchResult& match, const Options& options);

} // namespace orbello_referee
