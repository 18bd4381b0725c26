// The command line both referees share: the engines, how games are scheduled (pairs,
// openings, tournaments, seed ranges), the time per reply, the stopping rule, and what is
// written. Each referee adds its own options to the same parser.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace matchtools {

enum class Tournament {
    Match,      // two engines
    RoundRobin, // every engine against every other
    Gauntlet,   // the first engine against each other one
};
const char* tournament_name(Tournament t);

struct MatchOptions {
    int games = 2;            // games to play (in a tournament, over all pairings)
    bool swap = true;         // the engines take turns at opening, in pairs of games
    int budget_ms = 5000;     // the engine's time per reply unit
    int margin_ms = 1000;     // allowance per unit on top of the budget
    uint32_t seed = 1;        // game g of the match uses seed + g - 1
    long long first_game = 1; // the first game played: a range of a longer match
    int concurrency = 1;      // games played at once, each with its own processes
    bool progress = false;    // a progress line on standard error
    bool verbose = false;     // each turn on the log stream
    std::string out;          // JSON lines go here when not empty
    // The engines, in order: their labels (how reports name them) and command lines.
    std::vector<std::string> labels = std::vector<std::string>(2);
    std::vector<std::string> commands = std::vector<std::string>(2);
    Tournament tournament = Tournament::Match;
    std::string openings;    // an opening file; empty: none
    int random_openings = 0; // plies of a random opening per pair; 0: none
    bool sprt = false;       // stop when the log-likelihood ratio crosses a bound
    double elo0 = 0, elo1 = 5, alpha = 0.05, beta = 0.05;
};

// How reports name an engine by default: the program's name without folder and ".exe",
// and its first argument unless that is an option.
std::string default_label(const std::string& command);
// An engine as given on the command line or in an engines file: "COMMAND" or
// "[LABEL] COMMAND".
void split_engine(const std::string& given, std::string& label, std::string& command);
// Labels filled in from the commands where missing, and made distinct.
void settle_labels(MatchOptions& o);
// The engines of a file: one per line, "COMMAND" or "[LABEL] COMMAND"; blank lines and
// lines starting with '#' skipped. False with why ("FILE:LINE: ...").
bool read_engines_file(const std::string& path, std::vector<std::string>& engines,
                       std::string& why);
// What is wrong with a set of options taken together, or "" when nothing is.
std::string check_options(const MatchOptions& o);

// Parses the command line: engines as words (two of them for a match) or repeated
// --engine, or --engines FILE. own(app) adds the referee's options. Prints the help on
// --help and the version on --version and exits 0; prints the problem on standard error and
// exits 2 on a bad command line. unit names what the budget is for ("line", "move").
MatchOptions parse_match_args(const char* tool, const char* unit, int argc, char** argv,
                              MatchOptions defaults, const std::function<void(CLI::App&)>& own,
                              const std::string& footer = "");

} // namespace matchtools
