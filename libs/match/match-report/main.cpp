// match-report: the report of a match from its logs, for a match played in parts (ranges of
// games with --first-game, on one machine or several) or for a log read again. Both referees'
// logs; the same report and tables as the referee prints, the SPRT included.
#include "match_merge.h"
#include "match_tally.h"
#include "version.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    CLI::App app("match-report: the report of a match from the JSON logs of dab-referee or "
                 "orbello-referee (--out), merged when the match was played in ranges of games "
                 "(--first-game). Logs of another match or of overlapping ranges are refused.",
                 "match-report");
    app.set_version_flag("--version", std::string("match-report ") + project_version::text());
    std::vector<std::string> paths;
    std::vector<double> sprt;
    std::string out;
    app.add_option("LOG", paths, "the logs (JSON lines)")->required()->check(CLI::ExistingFile);
    app.add_option("--sprt", sprt,
                   "the SPRT of these bounds instead of the logs' own: elo0 elo1 [alpha beta]")
        ->expected(2, 4);
    app.add_option("--out", out, "the merged log: settings, every game in order, the totals");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e);
        std::fprintf(stderr, "match-report: %s\nRun match-report --help for the options.\n",
                     e.what());
        return 2;
    }
    std::vector<matchtools::MatchLog> logs(paths.size());
    std::string why;
    for (size_t i = 0; i < paths.size(); ++i) {
        if (!matchtools::read_match_log(paths[i], logs[i], why)) {
            std::fprintf(stderr, "match-report: %s\n", why.c_str());
            return 2;
        }
        for (const std::string& w : logs[i].warnings)
            std::fprintf(stderr, "match-report: %s\n", w.c_str());
    }
    std::vector<matchtools::Json> games;
    if (!matchtools::merge_logs(logs, games, why)) {
        std::fprintf(stderr, "match-report: %s\n", why.c_str());
        return 2;
    }
    matchtools::Json settings = logs[0].settings;
    if (!sprt.empty()) {
        settings["sprt"] = {{"elo0", sprt[0]},
                            {"elo1", sprt[1]},
                            {"alpha", sprt.size() > 2 ? sprt[2] : 0.05},
                            {"beta", sprt.size() > 3 ? sprt[3] : 0.05}};
        if (settings["identity"]["engines"].size() != 2) {
            std::fprintf(stderr, "match-report: --sprt compares two engines\n");
            return 2;
        }
    }
    matchtools::MatchTally tally(settings);
    std::vector<int> at_once;
    for (const matchtools::MatchLog& log : logs)
        at_once.push_back(log.settings.value("concurrency", 1));
    for (const matchtools::Json& g : games) {
        matchtools::GameSummary s;
        if (!matchtools::summary_of(g, s, why)) {
            std::fprintf(stderr, "match-report: game %lld: %s\n", g.value("game", 0LL),
                         why.c_str());
            return 2;
        }
        tally.add(s);
    }
    std::cout << tally.report(at_once);
    if (!out.empty()) {
        std::ofstream merged(out, std::ios::out | std::ios::trunc);
        const std::string id = settings.at("match_id").get<std::string>();
        settings["first_game"] = games.empty() ? 1 : games.front().at("game").get<long long>();
        settings["games"] = games.empty() ? 0
                                          : games.back().at("game").get<long long>() -
                                                settings["first_game"].get<long long>() + 1;
        merged << matchtools::json_line(settings) << "\n";
        for (const matchtools::Json& g : games) merged << matchtools::json_line(g) << "\n";
        merged << matchtools::json_line(tally.match_record(id, at_once.front())) << "\n";
        if (!merged) {
            std::fprintf(stderr, "match-report: cannot write %s\n", out.c_str());
            return 2;
        }
    }
    return 0;
}
