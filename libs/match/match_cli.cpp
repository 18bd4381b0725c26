#include "match_cli.h"

#include "match_text.h"
#include "version.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace matchtools {

namespace {

bool parse_number(const char* s, long long low, long long high, long long& value) {
    char* end = nullptr;
    value = std::strtoll(s, &end, 10);
    return end != s && *end == '\0' && value >= low && value <= high;
}

} // namespace

long long OptionReader::number(long long low, long long high) {
    long long v = 0;
    if (i_ + 1 >= argc_ || !parse_number(argv_[i_ + 1], low, high, v)) {
        std::fprintf(stderr, "%s: %s needs a number from %lld to %lld\n", tool_, argv_[i_], low,
                     high);
        std::exit(2);
    }
    ++i_;
    return v;
}

std::string OptionReader::text() {
    if (i_ + 1 >= argc_) {
        std::fprintf(stderr, "%s: %s needs a value\n", tool_, argv_[i_]);
        std::exit(2);
    }
    return argv_[++i_];
}

std::string shared_usage(const char* tool, const char* unit, int default_budget,
                         int default_margin) {
    char buf[2048];
    std::snprintf(
        buf, sizeof buf,
        "usage: %s [options] ENGINE1 ENGINE2\n"
        "Each ENGINE is a command line (quote it); \"{seed}\" in it becomes the game's seed.\n"
        "ENGINE1 opens the first game.\n"
        "  --games N        games to play (default 2)\n"
        "  --no-swap        ENGINE1 opens every game (default: the engines take turns)\n"
        "  --budget MS      engine time per %s (default %d)\n"
        "  --margin MS      allowance per %s on top of the budget (default %d)\n"
        "  --seed N         seed of game 1; game g uses N + g - 1 (default: from the clock)\n"
        "  --concurrency N  games played at once, each with its own processes (default 1);\n"
        "                   results still come in seed order\n"
        "  --out FILE       one JSON object per game, then one for the match\n"
        "  --label1 NAME    how reports name ENGINE1 (default: from its command)\n"
        "  --label2 NAME    the same for ENGINE2\n"
        "  --progress       a progress line on standard error\n"
        "  --verbose        show each turn\n"
        "  --version        the version of this program\n",
        tool, unit, default_budget, unit, default_margin);
    return buf;
}

MatchOptions parse_match_args(const char* tool, int argc, char** argv, const std::string& usage,
                              MatchOptions o,
                              const std::function<bool(const std::string&, OptionReader&)>& extra) {
    o.seed = static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count() %
                                   1000000007);
    std::vector<std::string> commands;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        OptionReader r(tool, argc, argv, i);
        if (a == "--games")
            o.games = static_cast<int>(r.number(1, 1000000));
        else if (a == "--no-swap")
            o.swap = false;
        else if (a == "--swap")
            o.swap = true;
        else if (a == "--budget")
            o.budget_ms = static_cast<int>(r.number(1, 600000));
        else if (a == "--margin")
            o.margin_ms = static_cast<int>(r.number(0, 600000));
        else if (a == "--seed")
            o.seed = static_cast<uint32_t>(r.number(0, 4294967295LL));
        else if (a == "--concurrency")
            o.concurrency = static_cast<int>(r.number(1, 256));
        else if (a == "--out")
            o.out = r.text();
        else if (a == "--label1")
            o.labels[0] = r.text();
        else if (a == "--label2")
            o.labels[1] = r.text();
        else if (a == "--progress")
            o.progress = true;
        else if (a == "--verbose")
            o.verbose = true;
        else if (a == "--help" || a == "-h") {
            std::fputs(usage.c_str(), stdout);
            std::exit(0);
        } else if (a == "--version") {
            std::printf("%s %s\n", tool, project_version::text());
            std::exit(0);
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            if (!extra || !extra(a, r)) {
                std::fprintf(stderr, "%s: unknown option %s\n%s", tool, a.c_str(), usage.c_str());
                std::exit(2);
            }
        } else
            commands.push_back(a);
    }
    if (commands.size() != 2) {
        std::fputs(usage.c_str(), stderr);
        std::exit(2);
    }
    for (int e = 0; e < 2; ++e) {
        o.commands[e] = commands[e];
        if (o.labels[e].empty()) o.labels[e] = default_label(commands[e]);
    }
    if (o.labels[0] == o.labels[1]) {
        o.labels[0] += " (1)";
        o.labels[1] += " (2)";
    }
    return o;
}

} // namespace matchtools
