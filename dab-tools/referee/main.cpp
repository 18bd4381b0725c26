// dab-referee: a match of Dots and Boxes between engine programs, or a tournament.
#include "referee.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    dabtools::Options defaults;
    bool boards = false;
    matchtools::MatchOptions mo = matchtools::parse_match_args(
        "dab-referee", "line", argc, argv, defaults, [&](CLI::App& app) {
            app.add_flag("--boards", boards, "show the board after each turn (implies --verbose)");
        });
    dabtools::Options options;
    static_cast<matchtools::MatchOptions&>(options) = mo;
    options.boards = boards;
    options.verbose = mo.verbose || boards;
    std::ofstream json;
    if (!mo.out.empty()) {
        json.open(mo.out, std::ios::out | std::ios::trunc);
        if (!json) {
            std::fprintf(stderr, "dab-referee: cannot write %s\n", mo.out.c_str());
            return 2;
        }
    }
    dabtools::MatchResult m =
        dabtools::run_match(options, &std::cout, mo.out.empty() ? nullptr : &json);
    if (m.refused) {
        std::fprintf(stderr, "dab-referee: %s\n", m.why.c_str());
        return 2;
    }
    std::cout << "\n" << m.report;
    if (!mo.out.empty()) std::cout << "Match log: " << mo.out << "\n";
    return 0;
}
