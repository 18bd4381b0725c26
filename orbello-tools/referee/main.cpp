// orbello-referee: a match of Orbello between two engine programs, judged by the module.
#include "referee.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    orbello_referee::Options options;
    options.module = orbello_referee::default_module_paths();
    const std::string usage =
        matchtools::shared_usage("orbello-referee", "move", 1000, 1000) +
        "  --module PATH    the module to judge with (default: " + options.module.library +
        ")\n"
        "  --data DIR       the module's data folder (default: " +
        options.module.data +
        ")\n"
        "  --max-plies N    adjudicate a game not won after N plies (default 400)\n"
        "  --no-capture N   adjudicate after N plies without a capture (default 100)\n"
        "  --refusals N     refused moves in a row that lose the game (default 3)\n"
        "Adjudicated games (also those where the side to move has no legal move) go to the side\n"
        "with more pieces; equal counts are a draw.\n";
    matchtools::MatchOptions defaults;
    defaults.budget_ms = 1000;
    defaults.margin_ms = 1000;
    options.match = matchtools::parse_match_args(
        "orbello-referee", argc, argv, usage, defaults,
        [&](const std::string& option, matchtools::OptionReader& r) {
            if (option == "--module")
                options.module.library = r.text();
            else if (option == "--data")
                options.module.data = r.text();
            else if (option == "--max-plies")
                options.max_plies = static_cast<int>(r.number(1, 1000000));
            else if (option == "--no-capture")
                options.no_capture_plies = static_cast<int>(r.number(1, 1000000));
            else if (option == "--refusals")
                options.refusal_limit = static_cast<int>(r.number(1, 1000));
            else
                return false;
            return true;
        });
    // A module that cannot be used is the referee's problem, not an engine's: say so once.
    {
        orbello_referee::ModuleGame probe;
        std::string why;
        if (!probe.open(options.module, why)) {
            std::fprintf(stderr, "orbello-referee: %s\n", why.c_str());
            return 2;
        }
    }
    std::ofstream json;
    if (!options.match.out.empty()) {
        json.open(options.match.out, std::ios::out | std::ios::trunc);
        if (!json) {
            std::fprintf(stderr, "orbello-referee: cannot write %s\n", options.match.out.c_str());
            return 2;
        }
    }
    orbello_referee::MatchResult m = orbello_referee::run_match(
        options, &std::cout, options.match.out.empty() ? nullptr : &json);
    std::cout << "\n" << orbello_referee::summary_table(m, options);
    if (!options.match.out.empty()) std::cout << "Match log: " << options.match.out << "\n";
    for (const auto& g : m.games)
        if (!g.error.empty()) return 1;
    return 0;
}
