#include "match_options.h"

#include "child_process.h"
#include "version.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>

namespace matchtools {

const char* tournament_name(Tournament t) {
    switch (t) {
    case Tournament::Match:
        return "match";
    case Tournament::RoundRobin:
        return "round-robin";
    case Tournament::Gauntlet:
        return "gauntlet";
    }
    return "?";
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

void split_engine(const std::string& given, std::string& label, std::string& command) {
    size_t start = given.find_first_not_of(" \t");
    size_t close = given.find(']');
    if (start != std::string::npos && given[start] == '[' && close != std::string::npos) {
        label = given.substr(start + 1, close - start - 1);
        size_t rest = given.find_first_not_of(" \t", close + 1);
        command = rest == std::string::npos ? "" : given.substr(rest);
    } else {
        label.clear();
        command = given;
    }
}

void settle_labels(MatchOptions& o) {
    o.labels.resize(o.commands.size());
    std::map<std::string, int> uses;
    for (size_t e = 0; e < o.commands.size(); ++e) {
        if (o.labels[e].empty()) o.labels[e] = default_label(o.commands[e]);
        ++uses[o.labels[e]];
    }
    for (size_t e = 0; e < o.labels.size(); ++e)
        if (uses[o.labels[e]] > 1) o.labels[e] += " (" + std::to_string(e + 1) + ")";
}

bool read_engines_file(const std::string& path, std::vector<std::string>& engines,
                       std::string& why) {
    std::ifstream in(path);
    if (!in) {
        why = path + ": cannot be read";
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        std::string label, command;
        split_engine(line, label, command);
        if (dabtools::split_command(command).empty()) {
            why = path + ":" + std::to_string(number) + ": no command";
            return false;
        }
        engines.push_back(line.substr(start));
    }
    return true;
}

std::string check_options(const MatchOptions& o) {
    const size_t n = o.commands.size();
    if (n < 2) return "a match needs at least two engines";
    if (o.tournament == Tournament::Match && n != 2)
        return "a match is between two engines; more need --tournament round-robin|gauntlet";
    if (o.sprt && n != 2) return "--sprt compares two engines";
    if (o.sprt && !(o.elo0 < o.elo1)) return "--sprt needs elo0 below elo1";
    if (o.sprt && !(o.alpha > 0 && o.alpha < 0.5 && o.beta > 0 && o.beta < 0.5))
        return "--sprt needs alpha and beta between 0 and 0.5";
    if (!o.openings.empty() && o.random_openings > 0)
        return "--openings and --random-openings exclude each other";
    for (size_t e = 0; e < n; ++e)
        if (dabtools::split_command(o.commands[e]).empty())
            return "engine " + std::to_string(e + 1) + " has no command";
    return "";
}

MatchOptions parse_match_args(const char* tool, const char* unit, int argc, char** argv,
                              MatchOptions o, const std::function<void(CLI::App&)>& own,
                              const std::string& footer) {
    o.seed = static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count() %
                                   1000000007);
    const std::string per = std::string(" per ") + unit;
    CLI::App app(std::string(tool) + ": a match between engine programs, every reply judged.\n" +
                     "Each ENGINE is a command line (quote it), \"[LABEL] COMMAND\" to name it; "
                     "\"{seed}\" in it becomes the game's seed. The first ENGINE opens the "
                     "first game.",
                 tool);
    app.set_version_flag("--version", std::string(tool) + " " + project_version::text());
    std::vector<std::string> words, repeated;
    std::string engines_file, tournament, label1, label2;
    std::vector<double> sprt;
    app.add_option("ENGINE", words, "the engines of a match (or of a tournament)");
    app.add_option("--engine", repeated, "one more engine (repeat it)");
    app.add_option("--engines", engines_file, "a file of engines, one per line")
        ->check(CLI::ExistingFile);
    app.add_option("--tournament", tournament,
                   "round-robin (every engine against every other) or gauntlet (the first "
                   "against each other one); default round-robin for more than two engines")
        ->check(CLI::IsMember({"round-robin", "gauntlet"}));
    app.add_option("--games", o.games,
                   "games to play (default 2; a tournament's over all pairings, round by round)")
        ->check(CLI::Range(1, 100000000));
    app.add_option("--first-game", o.first_game,
                   "number of the first game: plays games G .. G+games-1 of a longer match, "
                   "with the seeds, openings and colours they have in it (default 1)")
        ->check(CLI::Range(1LL, 1000000000LL));
    auto* no_swap = app.add_flag("--no-swap", "the first engine opens every game (default: games "
                                              "in pairs, colours swapped)");
    app.add_flag("--swap", "games in pairs, colours swapped (the default)")->excludes(no_swap);
    app.add_option("--budget", o.budget_ms, "engine time" + per + " in ms")
        ->check(CLI::Range(1, 600000))
        ->capture_default_str();
    app.add_option("--margin", o.margin_ms, "allowance" + per + " on top of the budget, ms")
        ->check(CLI::Range(0, 600000))
        ->capture_default_str();
    app.add_option("--seed", o.seed, "seed of game 1; game g uses N + g - 1 (default: clock)")
        ->check(CLI::Range(0LL, 4294967295LL));
    app.add_option("--openings", o.openings,
                   "a file of openings, one per line, each played twice with colours swapped")
        ->check(CLI::ExistingFile);
    app.add_option("--random-openings", o.random_openings,
                   "an opening of N random plies for each pair, seeded by the pair's seed")
        ->check(CLI::Range(1, 400));
    app.add_option("--sprt", sprt,
                   "stop when the log-likelihood ratio of H1 (Elo difference elo1) against H0 "
                   "(elo0) crosses a bound: elo0 elo1 [alpha beta] (default 0.05 each)")
        ->expected(2, 4);
    app.add_option("--concurrency", o.concurrency,
                   "games played at once, each with its own processes; results still come in "
                   "seed order (default 1)")
        ->check(CLI::Range(1, 256));
    app.add_option("--out", o.out, "one JSON object per line: settings, games, pairs, match");
    app.add_option("--label1", label1, "how reports name the first engine");
    app.add_option("--label2", label2, "how reports name the second engine");
    app.add_flag("--progress", o.progress,
                 "games, score, Elo and time left on standard error as games end");
    app.add_flag("--verbose", o.verbose, "show each turn");
    if (own) own(app);
    if (!footer.empty()) app.footer(footer);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) std::exit(app.exit(e));
        std::fprintf(stderr, "%s: %s\nRun %s --help for the options.\n", tool, e.what(), tool);
        std::exit(2);
    }
    o.swap = !*no_swap;
    std::vector<std::string> given = words;
    given.insert(given.end(), repeated.begin(), repeated.end());
    if (!engines_file.empty()) {
        std::string why;
        if (!read_engines_file(engines_file, given, why)) {
            std::fprintf(stderr, "%s: %s\n", tool, why.c_str());
            std::exit(2);
        }
    }
    o.labels.clear();
    o.commands.clear();
    for (const std::string& g : given) {
        std::string label, command;
        split_engine(g, label, command);
        o.labels.push_back(label);
        o.commands.push_back(command);
    }
    if (!label1.empty() && o.labels.size() > 0) o.labels[0] = label1;
    if (!label2.empty() && o.labels.size() > 1) o.labels[1] = label2;
    o.tournament = tournament == "gauntlet"      ? Tournament::Gauntlet
                   : tournament == "round-robin" ? Tournament::RoundRobin
                   : given.size() > 2            ? Tournament::RoundRobin
                                                 : Tournament::Match;
    if (!sprt.empty()) {
        o.sprt = true;
        o.elo0 = sprt[0];
        o.elo1 = sprt[1];
        if (sprt.size() > 2) o.alpha = sprt[2];
        if (sprt.size() > 3) o.beta = sprt[3];
    }
    std::string problem = check_options(o);
    if (!problem.empty()) {
        std::fprintf(stderr, "%s: %s\nRun %s --help for the options.\n", tool, problem.c_str(),
                     tool);
        std::exit(2);
    }
    settle_labels(o);
    return o;
}

} // namespace matchtools
