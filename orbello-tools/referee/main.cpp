// orbello-referee: a match of Orbello between engine programs, or a tournament, judged by the
// module.
#include "referee.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    orbello_referee::Options options;
    options.module = orbello_referee::default_module_paths();
    matchtools::MatchOptions defaults;
    defaults.budget_ms = 1000;
    defaults.margin_ms = 1000;
    options.match = matchtools::parse_match_args(
        "orbello-referee", "move", argc, argv, defaults,
        [&](CLI::App& app) {
            app.add_option("--module", options.module.library, "the module to judge with")
                ->capture_default_str();
            app.add_option("--data", options.module.data, "the module's data folder")
                ->capture_default_str();
            app.add_option("--max-plies", options.max_plies,
                           "adjudicate a game not won after N plies")
                ->check(CLI::Range(1, 1000000))
                ->capture_default_str();
            app.add_option("--no-capture", options.no_capture_plies,
                           "adjudicate after N plies without a capture")
                ->check(CLI::Range(1, 1000000))
                ->capture_default_str();
            app.add_option("--refusals", options.refusal_limit,
                           "refused moves in a row that lose the game")
                ->check(CLI::Range(1, 1000))
                ->capture_default_str();
        },
        "Adjudicated games (also those where the side to move has no legal move) go to the side "
        "with more pieces; equal counts are a draw.");
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
    if (m.refused) {
        std::fprintf(stderr, "orbello-referee: %s\n", m.why.c_str());
        return 2;
    }
    std::cout << "\n" << m.report;
    if (!options.match.out.empty()) std::cout << "Match log: " << options.match.out << "\n";
    for (const auto& g : m.games)
        if (!g.error.empty()) return 1;
    return 0;
}
