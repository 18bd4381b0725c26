// dab-referee: a match of Dots and Boxes between two engine programs.
#include "match_cli.h"
#include "referee.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    const std::string usage =
        matchtools::shared_usage("dab-referee", "line", 5000, 1000) +
        "  --boards         show the board after each turn (implies --verbose)\n";
    bool boards = false;
    matchtools::MatchOptions defaults;
    defaults.budget_ms = 5000;
    defaults.margin_ms = 1000;
    matchtools::MatchOptions mo =
        matchtools::parse_match_args("dab-referee", argc, argv, usage, defaults,
                                     [&](const std::string& option, matchtools::OptionReader&) {
                                         if (option != "--boards") return false;
                                         boards = true;
                                         return true;
                                     });
    dabtools::Options options;
    options.games = mo.games;
    options.swap = mo.swap;
    options.budget_ms = mo.budget_ms;
    options.margin_ms = mo.margin_ms;
    options.seed = mo.seed;
    options.concurrency = mo.concurrency;
    options.progress = mo.progress;
    options.verbose = mo.verbose || boards;
    options.boards = boards;
    dabtools::EngineSpec engines[2];
    for (int e = 0; e < 2; ++e) {
        engines[e].command = mo.commands[e];
        engines[e].label = mo.labels[e];
    }
    std::ofstream json;
    if (!mo.out.empty()) {
        json.open(mo.out, std::ios::out | std::ios::trunc);
        if (!json) {
            std::fprintf(stderr, "dab-referee: cannot write %s\n", mo.out.c_str());
            return 2;
        }
    }
    dabtools::MatchResult m =
        dabtools::run_match(engines, options, &std::cout, mo.out.empty() ? nullptr : &json);
    std::cout << "\n" << dabtools::summary_table(m, engines, options);
    if (!mo.out.empty()) std::cout << "Match log: " << mo.out << "\n";
    return 0;
}
