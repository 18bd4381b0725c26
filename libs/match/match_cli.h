// The command line both referees share: two engine commands and the options of a match.
// Each referee adds its own options through a callback.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace matchtools {

struct MatchOptions {
    int games = 2;
    bool swap = true;      // the engines take turns at opening
    int budget_ms = 5000;  // the engine's time per reply
    int margin_ms = 1000;  // allowance per reply on top of the budget
    uint32_t seed = 1;     // game g uses seed + g
    int concurrency = 1;   // games played at once, each with its own processes
    bool progress = false; // a progress line on standard error
    bool verbose = false;  // each turn on the log stream
    std::string out;       // JSON lines go here when not empty
    std::string labels[2];
    std::string commands[2];
};

// Reads the value of an option the referee adds itself.
class OptionReader {
  public:
    OptionReader(const char* tool, int argc, char** argv, int& i)
        : tool_(tool), argc_(argc), argv_(argv), i_(i) {}
    long long number(long long low, long long high);
    std::string text();

  private:
    const char* tool_;
    int argc_;
    char** argv_;
    int& i_;
};

// The usage text of the shared options, for a referee's own usage text. unit names what
// the budget is for ("line", "move").
std::string shared_usage(const char* tool, const char* unit, int default_budget,
                         int default_margin);

// Parses the command line. extra(option, reader) handles an option of the referee's own and
// returns false for one it does not know. Prints usage on --help and exits 0; prints the
// problem and usage on standard error and exits 2 on a bad command line. Labels are filled
// in and made distinct; the seed defaults to one from the clock.
MatchOptions parse_match_args(const char* tool, int argc, char** argv, const std::string& usage,
                              MatchOptions defaults,
                              const std::function<bool(const std::string&, OptionReader&)>& extra);

} // namespace matchtools
