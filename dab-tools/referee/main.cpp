// dab-referee: a match of Dots and Boxes between two engine programs.
#include "child_process.h"
#include "referee.h"
#include "version.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

namespace {

const char* const USAGE =
    "usage: dab-referee [options] ENGINE1 ENGINE2\n"
    "Each ENGINE is a command line (quote it); \"{seed}\" in it becomes the game's seed.\n"
    "ENGINE1 opens the first game.\n"
    "  --games N        games to play (default 2)\n"
    "  --no-swap        ENGINE1 opens every game (default: the engines take turns)\n"
    "  --budget MS      engine time per line (default 5000)\n"
    "  --margin MS      allowance per line on top of the budget (default 1000)\n"
    "  --seed N         seed of game 1; game g uses N + g - 1 (default: from the clock)\n"
    "  --out FILE       one JSON object per game, then one for the match\n"
    "  --label1 NAME    how reports name ENGINE1 (default: from its command)\n"
    "  --label2 NAME    the same for ENGINE2\n"
    "  --progress       a progress line on standard error\n"
    "  --verbose        show each turn\n"
    "  --boards         show the board after each turn (implies --verbose)\n"
    "  --version        the version of this program\n";

bool parse_number(const char* s, long long low, long long high, long long& value) {
    char* end = nullptr;
    value = std::strtoll(s, &end, 10);
    return end != s && *end == '\0' && value >= low && value <= high;
}

std::string default_label(const std::string& command) {
    std::vector<std::string> w = dabtools::split_command(command);
    if (w.empty()) return "?";
    std::string label = w[0].substr(w[0].find_last_of("/\\") + 1);
    if (label.size() > 4 && label.compare(label.size() - 4, 4, ".exe") == 0)
        label.resize(label.size() - 4);
    if (w.size() > 1 && w[1][0] != '-') label += " " + w[1];
    return label;
}

} // namespace

int main(int argc, char** argv) {
    dabtools::Options options;
    options.seed = static_cast<uint32_t>(
        std::chrono::system_clock::now().time_since_epoch().count() % 1000000007);
    std::string out, labels[2];
    std::vector<std::string> commands;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](long long low, long long high) {
            long long v = 0;
            if (i + 1 >= argc || !parse_number(argv[i + 1], low, high, v)) {
                std::fprintf(stderr, "dab-referee: %s needs a number from %lld to %lld\n",
                             a.c_str(), low, high);
                std::exit(2);
            }
            ++i;
            return v;
        };
        auto text = [&]() {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "dab-referee: %s needs a value\n", a.c_str());
                std::exit(2);
            }
            return std::string(argv[++i]);
        };
        if (a == "--games")
            options.games = static_cast<int>(value(1, 1000000));
        else if (a == "--no-swap")
            options.swap = false;
        else if (a == "--swap")
            options.swap = true;
        else if (a == "--budget")
            options.budget_ms = static_cast<int>(value(1, 600000));
        else if (a == "--margin")
            options.margin_ms = static_cast<int>(value(0, 600000));
        else if (a == "--seed")
            options.seed = static_cast<uint32_t>(value(0, 4294967295LL));
        else if (a == "--out")
            out = text();
        else if (a == "--label1")
            labels[0] = text();
        else if (a == "--label2")
            labels[1] = text();
        else if (a == "--progress")
            options.progress = true;
        else if (a == "--verbose")
            options.verbose = true;
        else if (a == "--boards")
            options.verbose = options.boards = true;
        else if (a == "--version") {
            std::printf("dab-referee %s\n", project_version::text());
            return 0;
        } else if (a == "--help" || a == "-h") {
            std::fputs(USAGE, stdout);
            return 0;
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            std::fprintf(stderr, "dab-referee: unknown option %s\n%s", a.c_str(), USAGE);
            return 2;
        } else
            commands.push_back(a);
    }
    if (commands.size() != 2) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    dabtools::EngineSpec engines[2];
    for (int e = 0; e < 2; ++e) {
        engines[e].command = commands[e];
        engines[e].label = labels[e].empty() ? default_label(commands[e]) : labels[e];
    }
    if (engines[0].label == engines[1].label) {
        engines[0].label += " (1)";
        engines[1].label += " (2)";
    }
    std::ofstream json;
    if (!out.empty()) {
        json.open(out, std::ios::out | std::ios::trunc);
        if (!json) {
            std::fprintf(stderr, "dab-referee: cannot write %s\n", out.c_str());
            return 2;
        }
    }
    dabtools::MatchResult m =
        dabtools::run_match(engines, options, &std::cout, out.empty() ? nullptr : &json);
    std::cout << "\n" << dabtools::summary_table(m, engines, options);
    if (!out.empty()) std::cout << "Match log: " << out << "\n";
    return 0;
}
