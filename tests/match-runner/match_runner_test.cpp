// The match runner's pieces without engines: which game is which, opening files and their
// errors, logs merged and refused, pairs counted, the progress line, the engines' labels.
#include "match_merge.h"
#include "match_options.h"
#include "match_tally.h"
#include "match_text.h"
#include "openings.h"
#include "progress.h"
#include "schedule.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace matchtools {
namespace {

std::string temp_file(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

TEST(Schedule, EachGameIsTheSameWhateverRangeItIsPlayedIn) {
    struct Case {
        int engines;
        Tournament t;
        bool swap;
        long long number;
        int opener, second;
        long long pair, round;
        int slot;
        uint32_t seed, unit_seed;
    };
    const Case cases[] = {
        // Two engines in pairs: the first opens the pair's first game.
        {2, Tournament::Match, true, 1, 0, 1, 1, 0, 0, 100, 100},
        {2, Tournament::Match, true, 2, 1, 0, 1, 0, 1, 101, 100},
        {2, Tournament::Match, true, 7, 0, 1, 4, 3, 0, 106, 106},
        // Fixed colours: every game its own unit.
        {2, Tournament::Match, false, 7, 0, 1, 0, 6, 0, 106, 106},
        // Round-robin of 3: pairings 0-1, 0-2, 1-2, a pair each per round of 6 games.
        {3, Tournament::RoundRobin, true, 3, 0, 2, 2, 0, 0, 102, 102},
        {3, Tournament::RoundRobin, true, 6, 2, 1, 3, 0, 1, 105, 104},
        {3, Tournament::RoundRobin, true, 7, 0, 1, 4, 1, 0, 106, 106},
        // Gauntlet of 4: the first against each other one.
        {4, Tournament::Gauntlet, true, 6, 3, 0, 3, 0, 1, 105, 104},
        {4, Tournament::Gauntlet, false, 5, 0, 2, 0, 1, 0, 104, 104},
        // Seeds wrap around as 32-bit numbers.
        {2, Tournament::Match, true, 4000000000LL, 1, 0, 2000000000, 1999999999, 1, 4000000099u,
         4000000098u},
    };
    for (const Case& c : cases) {
        const GameSlot s = slot_of(c.number, pairings_of(c.engines, c.t), c.swap, 100);
        const std::string what =
            std::to_string(c.engines) + " engines, game " + std::to_string(c.number);
        EXPECT_EQ(s.opener, c.opener) << what;
        EXPECT_EQ(s.second, c.second) << what;
        EXPECT_EQ(s.pair, c.pair) << what;
        EXPECT_EQ(s.round, c.round) << what;
        EXPECT_EQ(s.slot, c.slot) << what;
        EXPECT_EQ(s.seed, c.seed) << what;
        EXPECT_EQ(s.unit_seed, c.unit_seed) << what;
    }
    EXPECT_EQ(pairings_of(4, Tournament::RoundRobin).size(), 6u);
    EXPECT_EQ(pairings_of(4, Tournament::Gauntlet).size(), 3u);
}

// Openings of three capital letters each, "BAD" refused.
OpeningRules fake_rules() {
    OpeningRules r;
    r.check = [](const std::vector<std::string>& moves, std::string& why) {
        for (size_t i = 0; i < moves.size(); ++i)
            if (moves[i].size() != 3 || moves[i] == "BAD") {
                why = "move " + std::to_string(i + 1) + " '" + moves[i] + "' is no line";
                return false;
            }
        return true;
    };
    return r;
}

TEST(Openings, ABadLineIsRefusedWithItsFileAndLine) {
    struct Case {
        const char* text;
        int count;         // openings read; -1: refused
        const char* error; // after "FILE:"
    };
    const Case cases[] = {
        {"AAA BBB\n# a comment\n\n  CCC\r\n", 2, ""},
        {"AAA\n   # indented comment\nAAA BAD CCC\n", -1, "3: move 2 'BAD' is no line"},
        {"AAA\r\nAB\r\n", -1, "2: move 1 'AB' is no line"},
        {"# only comments\n\n", -1, " no opening in it"},
        {"", -1, " no opening in it"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string path = temp_file("openings" + std::to_string(++n) + ".txt", c.text);
        std::vector<Opening> openings;
        std::string why;
        const bool ok = read_openings(path, fake_rules(), openings, why);
        EXPECT_EQ(ok, c.count >= 0) << c.text;
        if (ok) {
            EXPECT_EQ(static_cast<int>(openings.size()), c.count);
            EXPECT_EQ(openings.back().source, path + ":4");
        } else {
            EXPECT_EQ(why, path + ":" + c.error);
        }
    }
    std::vector<Opening> none;
    std::string why;
    EXPECT_FALSE(read_openings(::testing::TempDir() + "no-such-file", fake_rules(), none, why));
    // The digest is of the moves: comments and blank lines do not change a match's identity.
    std::vector<Opening> a, b;
    read_openings(temp_file("da.txt", "AAA BBB\nCCC\n"), fake_rules(), a, why);
    read_openings(temp_file("db.txt", "# made by hand\nAAA   BBB\n\nCCC\n"), fake_rules(), b, why);
    EXPECT_EQ(openings_digest(a), openings_digest(b));
    read_openings(temp_file("dc.txt", "AAA BBB CCC\n"), fake_rules(), b, why);
    EXPECT_NE(openings_digest(a), openings_digest(b));
}

// A settings line and game records as the referees write them.
Json settings_of(uint32_t seed, long long first, long long games) {
    Json id = {{"tool", "test"},
               {"engines", Json::array({{{"label", "a"}, {"command", "a"}},
                                        {{"label", "b"}, {"command", "b"}}})},
               {"tournament", "match"},
               {"swap", true},
               {"seed", seed},
               {"budget_ms", 10},
               {"margin_ms", 10},
               {"openings", nullptr},
               {"game_settings", Json::object()}};
    return {{"type", "settings"}, {"match_id", identity_digest(id)},
            {"identity", id},     {"unit", "move"},
            {"note", ""},         {"first_game", first},
            {"games", games},     {"concurrency", 1},
            {"sprt", nullptr}};
}

// Game g of the match: a's points in it (pairs: a opens the odd games).
Json game_of(const Json& settings, long long g, double a_points) {
    GameSummary s;
    s.number = g;
    s.pair = (g + 1) / 2;
    const int a_colour = g % 2 == 1 ? 0 : 1;
    s.engines[a_colour] = 0;
    s.engines[1 - a_colour] = 1;
    s.points[a_colour] = a_points;
    s.points[1 - a_colour] = 1 - a_points;
    Json r = {{"type", "game"}, {"game", g}, {"match_id", settings["match_id"]}, {"pair", s.pair}};
    const std::string labels[2] = {a_colour == 0 ? "a" : "b", a_colour == 0 ? "b" : "a"};
    put_summary(r, s, labels);
    return r;
}

std::string log_text(const Json& settings, const std::vector<std::pair<long long, double>>& games,
                     bool closed = true) {
    std::string text = json_line(settings) + "\n";
    for (const auto& g : games) text += json_line(game_of(settings, g.first, g.second)) + "\n";
    if (closed) text += json_line({{"type", "match"}, {"match_id", settings["match_id"]}}) + "\n";
    return text;
}

TEST(MatchLogs, OnlyRangesOfOneMatchMerge) {
    const Json s1 = settings_of(7, 1, 4), s2 = settings_of(7, 5, 4);
    const std::string a = temp_file("a.jsonl", log_text(s1, {{1, 1}, {2, 0.5}, {3, 0}, {4, 1}}));
    const std::string b = temp_file("b.jsonl", log_text(s2, {{5, 1}, {6, 1}, {7, 0}, {8, 0}}));
    struct Case {
        std::string name, text;
        const char* error; // "" when it merges with a
        size_t games;      // merged
    };
    std::string cut =
        log_text(s2, {{5, 1}, {6, 1}}, false) + json_line(game_of(s2, 7, 0)).substr(0, 40);
    const Case cases[] = {
        {"b", log_text(s2, {{5, 1}, {6, 1}, {7, 0}, {8, 0}}), "", 8},
        // A crash in the middle of the last line loses that game only.
        {"cut", cut, "", 6},
        {"other-seed", log_text(settings_of(8, 5, 4), {{5, 1}}), "they differ in seed 7 and 8", 0},
        {"overlap", log_text(settings_of(7, 3, 4), {{5, 1}}), "overlap", 0},
        {"twice", log_text(s2, {{5, 1}, {5, 1}}), "game 5 a second time", 0},
        {"outside", log_text(s2, {{9, 1}}), "game 9 outside its range 5-8", 0},
    };
    for (const Case& c : cases) {
        std::vector<MatchLog> logs(2);
        std::string why;
        ASSERT_TRUE(read_match_log(a, logs[0], why)) << why;
        ASSERT_TRUE(read_match_log(temp_file(c.name + ".jsonl", c.text), logs[1], why)) << why;
        std::vector<Json> games;
        const bool merged = merge_logs(logs, games, why);
        EXPECT_EQ(merged, std::string(c.error).empty()) << c.name << ": " << why;
        if (merged) {
            ASSERT_EQ(games.size(), c.games) << c.name;
            for (size_t i = 0; i < games.size(); ++i)
                EXPECT_EQ(games[i]["game"], static_cast<long long>(i + 1)) << c.name;
        } else {
            EXPECT_NE(why.find(c.error), std::string::npos) << c.name << ": " << why;
        }
    }
    // A run that ended early is taken up where it stopped: its declared range no longer
    // stands in the way of the rest.
    {
        std::vector<MatchLog> logs(2);
        std::string why;
        ASSERT_TRUE(read_match_log(temp_file("early.jsonl", log_text(s1, {{1, 1}, {2, 0}}, false)),
                                   logs[0], why));
        ASSERT_TRUE(read_match_log(
            temp_file("rest.jsonl", log_text(settings_of(7, 3, 2), {{3, 1}, {4, 1}})), logs[1],
            why));
        std::vector<Json> games;
        EXPECT_TRUE(merge_logs(logs, games, why)) << why;
        EXPECT_EQ(games.size(), 4u);
        logs[1] = MatchLog{};
        ASSERT_TRUE(read_match_log(
            temp_file("again.jsonl", log_text(settings_of(7, 2, 3), {{2, 1}, {3, 1}})), logs[1],
            why));
        EXPECT_FALSE(merge_logs(logs, games, why));
        EXPECT_NE(why.find("(games 1-2)"), std::string::npos) << why;
    }
    // A run that ended before its first game was written holds no game: played again from
    // the same first game, it is no overlap.
    {
        std::vector<MatchLog> logs(2);
        std::string why;
        ASSERT_TRUE(
            read_match_log(temp_file("none-yet.jsonl", log_text(s1, {}, false)), logs[0], why));
        ASSERT_TRUE(read_match_log(temp_file("from-start.jsonl", log_text(s1, {{1, 1}, {2, 0}})),
                                   logs[1], why));
        std::vector<Json> games;
        EXPECT_TRUE(merge_logs(logs, games, why)) << why;
        EXPECT_EQ(games.size(), 2u);
    }
    // A broken line before the last is damage, not a crash: refused.
    MatchLog log;
    std::string why;
    std::string text = log_text(s1, {{1, 1}, {2, 1}});
    text.insert(text.find("\n") + 1, "{\"type\":\"ga\n");
    EXPECT_FALSE(read_match_log(temp_file("broken.jsonl", text), log, why));
    EXPECT_NE(why.find("broken.jsonl:2: not a line of a match log"), std::string::npos) << why;
    EXPECT_FALSE(read_match_log(temp_file("none.jsonl", "{\"type\":\"game\"}\n"), log, why));
}

TEST(MatchTally, PairsAreCountedByTheFirstEnginesPointsInBoth) {
    Json settings = settings_of(1, 1, 12);
    settings["sprt"] = {{"elo0", 0}, {"elo1", 50}, {"alpha", 0.05}, {"beta", 0.05}};
    MatchTally tally(settings);
    // a's points per game: pairs of 2, 1.5, 1 (a win and a loss), 0.5, 1 (two draws), 0.
    const double points[] = {1, 1, 1, 0.5, 1, 0, 0.5, 0, 0.5, 0.5, 0, 0};
    long long completed = 0;
    for (long long g = 1; g <= 12; ++g) {
        GameSummary s;
        std::string why;
        ASSERT_TRUE(summary_of(Json::parse(json_line(game_of(settings, g, points[g - 1]))), s, why))
            << why;
        tally.add(s);
        if (tally.completed_pair() > 0) ++completed;
        EXPECT_EQ(tally.completed_pair() > 0, g % 2 == 0) << g;
    }
    EXPECT_EQ(completed, 6);
    const Json m = tally.match_record("id", 1);
    EXPECT_EQ(m["statistics"]["pentanomial"], Json::array({1, 1, 2, 1, 1}));
    EXPECT_EQ(m["engines"][0]["wins"], 4);
    EXPECT_EQ(m["engines"][0]["draws"], 4);
    EXPECT_EQ(m["engines"][0]["losses"], 4);
    EXPECT_EQ(m["draws"], 4);
    Pentanomial p;
    for (int i = 0; i < 5; ++i) p.count[i] = i == 2 ? 2 : 1;
    const SprtState expected = sprt({0, 50, 0.05, 0.05}, p);
    EXPECT_DOUBLE_EQ(tally.sprt_state().llr, expected.llr);
    EXPECT_DOUBLE_EQ(m["statistics"]["sprt"]["llr"].get<double>(), expected.llr);
    // A game nobody scored (the judge could not be used) counts for nothing.
    GameSummary unplayed;
    unplayed.number = 13;
    unplayed.pair = 7;
    unplayed.played = false;
    tally.add(unplayed);
    EXPECT_EQ(tally.scored_games(), 12);
    EXPECT_EQ(tally.match_record("id", 1)["engines"][1]["wins"], 4);
}

// Points print whole, or with their half: never "2.0", never a half rounded away.
TEST(MatchText, PointsAreWholeOrHalf) {
    const std::pair<double, const char*> cases[] = {{0, "0"},     {0.5, "0.5"},     {2, "2"},
                                                    {2.5, "2.5"}, {199.5, "199.5"}, {400, "400"}};
    for (const auto& c : cases) EXPECT_EQ(format_points(c.first), c.second) << c.first;
}

TEST(Progress, SaysWhatIsKnown) {
    Json settings = settings_of(1, 1, 10);
    MatchTally tally(settings);
    EXPECT_EQ(progress_text(0, 10, 0, tally, "a"), "0/10 games");
    GameSummary s;
    std::string why;
    summary_of(game_of(settings, 1, 1), s, why);
    tally.add(s);
    EXPECT_EQ(progress_text(1, 10, 30, tally, "a"), "1/10 games, a 1/1 (100.0%), Elo " +
                                                        format_elo(tally.estimate_now()) +
                                                        ", 4m30s left");
    EXPECT_EQ(progress_text(10, 10, 300, tally, ""), "10/10 games");
    tally.set_sprt({0, 5, 0.05, 0.05});
    EXPECT_NE(progress_text(1, 10, 30, tally, "a").find(", LLR "), std::string::npos);
    EXPECT_NE(progress_text(1, 10, 30, tally, "a").find("left at most"), std::string::npos);
    EXPECT_EQ(duration_text(3725), "1h02m");
    EXPECT_EQ(duration_text(59.6), "1m00s");
}

TEST(MatchOptions, EnginesAreNamedAndChecked) {
    std::string label, command;
    split_engine("[fast one] ./engine --movetime 100", label, command);
    EXPECT_EQ(label, "fast one");
    EXPECT_EQ(command, "./engine --movetime 100");
    split_engine("./engine [x]", label, command);
    EXPECT_EQ(label, "");
    EXPECT_EQ(command, "./engine [x]");
    MatchOptions o;
    o.commands = {"bin/vantry.exe", "bin/dab-opponent chain", "bin/vantry.exe"};
    o.labels = {"", "", ""};
    settle_labels(o);
    EXPECT_EQ(o.labels,
              (std::vector<std::string>{"vantry (1)", "dab-opponent chain", "vantry (3)"}));
    struct Case {
        int engines;
        Tournament t;
        bool sprt;
        int random_openings;
        const char* problem; // "" when none
    };
    const Case cases[] = {
        {2, Tournament::Match, true, 0, ""},
        {3, Tournament::Match, false, 0, "more need --tournament"},
        {3, Tournament::RoundRobin, true, 0, "--sprt compares two engines"},
        {1, Tournament::RoundRobin, false, 0, "at least two engines"},
        {2, Tournament::Match, false, 4, "exclude each other"},
    };
    for (const Case& c : cases) {
        MatchOptions m;
        m.commands.assign(static_cast<size_t>(c.engines), "x");
        m.tournament = c.t;
        m.sprt = c.sprt;
        m.openings = "file";
        m.random_openings = c.random_openings;
        if (c.random_openings == 0) m.openings.clear();
        const std::string problem = check_options(m);
        if (std::string(c.problem).empty())
            EXPECT_EQ(problem, "");
        else
            EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
    }
    std::vector<std::string> engines;
    std::string why;
    EXPECT_TRUE(read_engines_file(
        temp_file("engines.txt", "# field\n[a] ./x --seed {seed}\n\n./y\r\n"), engines, why));
    EXPECT_EQ(engines, (std::vector<std::string>{"[a] ./x --seed {seed}", "./y"}));
    EXPECT_FALSE(read_engines_file(temp_file("bad-engines.txt", "./x\n[b]\n"), engines, why));
    EXPECT_NE(why.find("bad-engines.txt:2: no command"), std::string::npos) << why;
}

} // namespace
} // namespace matchtools
