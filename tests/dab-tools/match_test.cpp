// Matches of Dots and Boxes played through the shared runner: a match split into ranges of
// games and merged gives the report of the match played at once, openings reach the engines
// (and a file's bad line, or an engine that cannot take them, stops the match before any
// game), the SPRT stops a match, and a round-robin's table is right.
#include "child_process.h"
#include "match_merge.h"
#include "match_tally.h"
#include "referee.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace dabtools {
namespace {

std::string program(const std::string& name) {
#ifdef _WIN32
    return program_directory() + "\\" + name + ".exe";
#else
    return program_directory() + "/" + name;
#endif
}

Options options(int games, std::vector<std::string> engines) {
    Options o;
    o.games = games;
    o.budget_ms = 200;
    o.margin_ms = 800;
    o.seed = 40;
    o.commands.clear();
    o.labels.clear();
    for (const std::string& e : engines) {
        std::string label, command;
        matchtools::split_engine(e, label, command);
        o.labels.push_back(label);
        o.commands.push_back(command);
    }
    if (engines.size() > 2) o.tournament = matchtools::Tournament::RoundRobin;
    return o;
}

std::string without_times(const std::string& report) {
    return report.substr(0, report.find("Reply times"));
}

// The report match-report gives for these logs.
std::string merged_report(const std::vector<std::string>& logs) {
    std::vector<matchtools::MatchLog> read(logs.size());
    std::string why;
    for (size_t i = 0; i < logs.size(); ++i) {
        const std::string path = ::testing::TempDir() + "part" + std::to_string(i) + ".jsonl";
        std::ofstream(path) << logs[i];
        EXPECT_TRUE(matchtools::read_match_log(path, read[i], why)) << why;
    }
    std::vector<matchtools::Json> games;
    EXPECT_TRUE(matchtools::merge_logs(read, games, why)) << why;
    matchtools::MatchTally tally(read[0].settings);
    for (const matchtools::Json& g : games) {
        matchtools::GameSummary s;
        EXPECT_TRUE(matchtools::summary_of(g, s, why)) << why;
        tally.add(s);
    }
    return tally.report({1});
}

// Three ranges of a match, merged, are the match played at once (several games at once):
// the same games, colours, openings and results, so the same report.
TEST(MatchRanges, MergedGiveTheReportOfTheWholeMatch) {
    const std::vector<std::string> engines = {"[greedy] " + program("dab-faulty-engine") + " fair",
                                              "[chain] " + program("dab-opponent") +
                                                  " chain --seed {seed}"};
    for (int random_openings : {0, 4}) {
        std::vector<std::string> field = engines;
        if (random_openings > 0) field[1] = "[fair] " + program("dab-faulty-engine") + " fair";
        Options whole = options(10, field);
        whole.random_openings = random_openings;
        whole.concurrency = 3;
        std::ostringstream all;
        MatchResult m = run_match(whole, nullptr, &all);
        ASSERT_FALSE(m.refused) << m.why;
        std::vector<std::string> parts;
        for (const auto& range : {std::pair<int, int>{1, 3}, {4, 4}, {8, 3}}) {
            Options part = options(range.second, field);
            part.random_openings = random_openings;
            part.first_game = range.first;
            std::ostringstream log;
            run_match(part, nullptr, &log);
            parts.push_back(log.str());
        }
        EXPECT_EQ(without_times(merged_report(parts)), without_times(m.report));
        EXPECT_EQ(without_times(merged_report({all.str()})), without_times(m.report));
        EXPECT_NE(m.report.find("(games 1-10)"), std::string::npos) << m.report;
        if (random_openings > 0) {
            EXPECT_NE(all.str().find("\"opening\":{\"source\":\"random, seed 40\""),
                      std::string::npos);
        }
    }
}

TEST(MatchOpenings, ReachBothEnginesAsTheGameSoFar) {
    const std::string path = ::testing::TempDir() + "openings.txt";
    std::ofstream(path) << "# two openings\nAAA ABA\n\nBCC ACA AFE\n";
    Options o = options(4, {program("dab-faulty-engine") + " fair",
                            "[second] " + program("dab-faulty-engine") + " fair"});
    o.openings = path;
    std::ostringstream json;
    MatchResult m = run_match(o, nullptr, &json);
    ASSERT_FALSE(m.refused) << m.why;
    ASSERT_EQ(m.games.size(), 4u);
    const int plies[] = {2, 2, 3, 3};
    for (size_t g = 0; g < 4; ++g) {
        const GameResult& r = m.games[g];
        EXPECT_EQ(r.fault, Fault::None) << r.fault_detail;
        int lines = 0, opening = 0;
        for (const Turn& t : r.turns) {
            lines += static_cast<int>(t.lines.size());
            opening += t.opening;
        }
        EXPECT_EQ(lines, LINES) << "game " << g + 1;
        EXPECT_EQ(opening, plies[g]) << "game " << g + 1;
        EXPECT_EQ(line_code(r.turns[0].lines[0]), g < 2 ? "AAA" : "BCC");
        // After an odd opening White draws the first line of its own.
        EXPECT_EQ(r.turns[static_cast<size_t>(plies[g])].engine, plies[g] % 2 ? r.white : r.black);
    }
    // The record marks the opening's turns: they have no time.
    EXPECT_NE(json.str().find("\"turns\":[[\"black\",\"BCC\",null],[\"white\",\"ACA\",null],"
                              "[\"black\",\"AFE\",null],[\"white\","),
              std::string::npos);
    EXPECT_NE(json.str().find("\"source\":" + matchtools::Json(path + ":4").dump()),
              std::string::npos);
}

TEST(MatchOpenings, WhatCannotPlayThemStopsTheMatchBeforeAnyGame) {
    const std::string path = ::testing::TempDir() + "bad-openings.txt";
    std::ofstream(path) << "AAA ABA\nAAA AAA\n";
    struct Case {
        std::string openings, second, why;
    };
    const Case cases[] = {
        {path, "fair", path + ":2: move 2 'AAA'"},
        {"", "nohistory",
         "nohistory (" + program("dab-faulty-engine") + " nohistory) does not accept openings"},
    };
    for (const Case& c : cases) {
        Options o =
            options(2, {program("dab-faulty-engine") + " fair",
                        "[" + c.second + "] " + program("dab-faulty-engine") + " " + c.second});
        o.openings = c.openings;
        if (c.openings.empty()) o.random_openings = 2;
        std::ostringstream log, json;
        MatchResult m = run_match(o, &log, &json);
        EXPECT_TRUE(m.refused);
        EXPECT_EQ(m.why.rfind(c.why, 0), 0u) << m.why;
        EXPECT_TRUE(m.games.empty());
        EXPECT_EQ(log.str(), "");
        EXPECT_EQ(json.str(), "");
    }
}

// An engine that loses every game is told apart from its opponent within a few pairs: the
// match stops there, and every pair's line carries the test so far.
TEST(MatchSprt, StopsWhenABoundIsCrossed) {
    Options o = options(40, {"[illegal] " + program("dab-faulty-engine") + " illegal",
                             "[fair] " + program("dab-faulty-engine") + " fair"});
    o.sprt = true;
    o.elo0 = 0;
    o.elo1 = 50;
    const size_t sequential = run_match(o, nullptr, nullptr).games.size();
    // Games at once stop at the same pair: games begun after it are not counted.
    o.concurrency = 3;
    std::ostringstream log, json;
    MatchResult m = run_match(o, &log, &json);
    EXPECT_EQ(m.games.size(), sequential);
    ASSERT_FALSE(m.games.empty());
    EXPECT_LT(m.games.size(), 40u);
    EXPECT_EQ(m.games.size() % 2, 0u);
    std::istringstream lines(json.str());
    int pairs = 0;
    std::string last;
    for (std::string line; std::getline(lines, line);) {
        matchtools::Json j = matchtools::Json::parse(line);
        if (j["type"] == "pair") {
            ++pairs;
            last = j["sprt"]["verdict"];
            EXPECT_EQ(j["pair"], pairs);
        }
    }
    EXPECT_EQ(pairs * 2, static_cast<int>(m.games.size()));
    EXPECT_EQ(last, "H0 accepted");
    EXPECT_NE(log.str().find("SPRT after pair " + std::to_string(pairs) + ": LLR"),
              std::string::npos);
    EXPECT_NE(m.report.find("H0 accepted"), std::string::npos) << m.report;
}

// Three engines, each pair of them one pair of games: the fair one beats both faulty ones,
// and of the two faulty ones the one that opens faults first and loses.
TEST(MatchTournament, RoundRobinOfThree) {
    Options o = options(6, {"[fair] " + program("dab-faulty-engine") + " fair",
                            "[illegal] " + program("dab-faulty-engine") + " illegal",
                            "[crash] " + program("dab-faulty-engine") + " exit"});
    std::ostringstream json;
    MatchResult m = run_match(o, nullptr, &json);
    ASSERT_EQ(m.games.size(), 6u);
    EXPECT_EQ(m.stats[0].wins, 4);
    EXPECT_EQ(m.stats[1].wins, 1);
    EXPECT_EQ(m.stats[1].losses, 3);
    EXPECT_EQ(m.stats[2].wins, 1);
    EXPECT_EQ(m.stats[2].losses, 3);
    EXPECT_EQ(m.stats[2].faults["crash"], 3);
    std::string text = json.str();
    matchtools::Json match =
        matchtools::Json::parse(text.substr(text.rfind("{\"type\":\"match\"")));
    const matchtools::Json& p = match["statistics"]["pairings"];
    ASSERT_EQ(p.size(), 3u);
    const int expected[3][3] = {{2, 0, 0}, {2, 0, 0}, {1, 0, 1}}; // wins, draws, losses of a
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(p[k]["wins"], expected[k][0]) << k;
        EXPECT_EQ(p[k]["draws"], expected[k][1]) << k;
        EXPECT_EQ(p[k]["losses"], expected[k][2]) << k;
    }
    // The crosstable: the fair engine first with all 4 points.
    const size_t fair = m.report.find("fair"), illegal = m.report.find("illegal");
    EXPECT_LT(fair, illegal);
    EXPECT_NE(m.report.find("Tournament (round-robin, 3 engines) of 6 game(s)"), std::string::npos)
        << m.report;
}

} // namespace
} // namespace dabtools
