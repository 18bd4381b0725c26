// The referee against engines that misbehave, whole games of the reference opponents, and
// the engine against the random opponent.
#include "child_process.h"
#include "dab_board.h"
#include "referee.h"
#include "strategy.h"

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

bool exists(const std::string& path) {
    return std::ifstream(path).good();
}

// 1000 ms a line: generous for opponents that answer at once, even on a loaded machine.
// The faulty engine's late reply comes after 1800 ms, where the referee still waits for it.
Options quick_options(int games) {
    Options o;
    o.games = games;
    o.budget_ms = 200;
    o.margin_ms = 800;
    o.seed = 21;
    return o;
}

TEST(BoardTest, CodesNameTheLinesOfBothOrientations) {
    EXPECT_EQ(parse_line_code("AAA"), 0);  // top border over box (0, 0)
    EXPECT_EQ(parse_line_code("AFE"), 29); // bottom border under box (4, 4)
    EXPECT_EQ(parse_line_code("BAA"), 30); // left border of box (0, 0)
    EXPECT_EQ(parse_line_code("BFE"), 59); // right border of box (4, 4)
    EXPECT_EQ(parse_line_code("BCA"), 32); // between boxes (0, 1) and (0, 2)
    for (const char* bad : {"AGA", "AAF", "BAF", "BGA", "CAA", "aaa", "A@A"})
        EXPECT_EQ(parse_line_code(bad), -1) << bad;
    for (int line = 0; line < LINES; ++line)
        EXPECT_EQ(parse_line_code(line_code(line).c_str()), line);
}

TEST(BoardTest, ALineBetweenTwoThreeSidedBoxesCompletesBoth) {
    Board b;
    // Boxes (0, 0) and (0, 1): everything but the line between them.
    for (const char* code : {"AAA", "ABA", "BAA", "AAB", "ABB", "BCA"})
        EXPECT_EQ(b.draw(parse_line_code(code), 1), 0);
    EXPECT_EQ(b.draw(parse_line_code("BBA"), 2), 2);
    EXPECT_EQ(b.score[2], 2);
    EXPECT_EQ(b.owner[0], 2);
    EXPECT_EQ(b.owner[1], 2);
}

TEST(StrategyTest, CountsChainsButNotLoops) {
    Board b;
    // Boxes (0, 0) to (0, 2) with top and bottom drawn: a chain of three.
    for (const char* code : {"AAA", "AAB", "AAC", "ABA", "ABB", "ABC"})
        b.draw(parse_line_code(code), 1);
    EXPECT_EQ(long_chains(b), 1);
    // The four boxes of the bottom-left corner closed all round: a loop.
    for (const char* code : {"ADA", "ADB", "AFA", "AFB", "BAD", "BAE", "BCD", "BCE"})
        b.draw(parse_line_code(code), 1);
    EXPECT_EQ(long_chains(b), 1);
    // Opening the chain gives all three boxes.
    EXPECT_EQ(boxes_given(b, parse_line_code("BAA")), 3);
}

TEST(StrategyTest, GreedyTakesABoxAndAvoidsAThirdSide) {
    Board b;
    for (const char* code : {"AAA", "ABA", "BAA"}) b.draw(parse_line_code(code), 2);
    Strategy greedy(Kind::Greedy, 1);
    EXPECT_EQ(greedy.choose(b, false), parse_line_code("BBA"));
    b.draw(parse_line_code("BBA"), 1);
    b.draw(parse_line_code("AAB"), 2); // box (0, 1) now has two sides
    for (int i = 0; i < 20; ++i) {
        int line = greedy.choose(b, false);
        for (int box : Board::boxes_of(line))
            if (box >= 0) {
                EXPECT_LT(b.sides_drawn(box), 2) << line_code(line);
            }
    }
}

TEST(StrategyTest, ChainKeepsControlByHandingBackTwoBoxes) {
    // Rows 0 and 1 are chains of five boxes, rows 2 to 4 are taken. The other side opened
    // row 0 at its left end: the chain player takes three boxes and hands back the last
    // two with the far border line, since row 1 is still to come.
    Board b;
    auto draw = [&](int line) {
        if (!b.drawn[line]) b.draw(line, 2);
    };
    for (int c = 0; c < 5; ++c) {
        draw(c);      // top of row 0
        draw(5 + c);  // between rows 0 and 1
        draw(10 + c); // between rows 1 and 2
    }
    for (int r = 2; r < 5; ++r)
        for (int c = 0; c < 5; ++c)
            for (int s : Board::sides(r * 5 + c)) draw(s);
    draw(30); // left border of row 0: box (0, 0) has three sides
    Strategy chain(Kind::Chain, 3);
    for (int step = 0; step < 3; ++step) {
        int line = chain.choose(b, false);
        ASSERT_EQ(b.draw(line, 1), 1) << "step " << step << " " << line_code(line);
    }
    int deal = chain.choose(b, false);
    EXPECT_EQ(deal, 35) << line_code(deal); // right border of row 0, not the line between
    // With nothing long left the last boxes are simply taken.
    Board last = b;
    for (int c = 0; c < 5; ++c)
        for (int s : Board::sides(5 + c))
            if (!last.drawn[s]) last.draw(s, 2); // row 1 taken
    EXPECT_EQ(chain.choose(last, false), 34);
}

struct FaultCase {
    const char* kind;
    Fault fault;
};

class FaultyEngineTest : public ::testing::TestWithParam<FaultCase> {};

// Each misbehaving engine loses both games of a match with colours swapped, for the fault
// it commits, and the match is played to the end.
TEST_P(FaultyEngineTest, IsNamedAndTheMatchGoesOn) {
    const FaultCase& c = GetParam();
    EngineSpec engines[2] = {{"faulty", program("dab-faulty-engine") + " " + c.kind + " 1800"},
                             {"random", program("dab-opponent") + " random --seed {seed}"}};
    Options o = quick_options(2);
    MatchResult m = run_match(engines, o, nullptr, nullptr);
    ASSERT_EQ(m.games.size(), 2u);
    for (const GameResult& g : m.games) {
        EXPECT_EQ(g.fault, c.fault)
            << g.number << ": " << fault_name(g.fault) << ": " << g.fault_detail;
        EXPECT_EQ(g.fault_engine, 0) << g.number;
        EXPECT_EQ(g.winner, 1) << g.number;
        EXPECT_NE(g.reason.find(fault_name(c.fault)), std::string::npos) << g.reason;
    }
    EXPECT_EQ(m.stats[0].losses, 2);
    EXPECT_EQ(m.stats[1].wins, 2);
    EXPECT_EQ(m.stats[0].faults[fault_name(c.fault)], 2);
    EXPECT_EQ(m.stats[1].faults.size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultyEngineTest,
    ::testing::Values(FaultCase{"drawn", Fault::DrawnLine},
                      FaultCase{"illegal", Fault::IllegalLine}, FaultCase{"count", Fault::Count},
                      FaultCase{"garbage", Fault::Garbled}, FaultCase{"flood", Fault::Garbled},
                      FaultCase{"continue", Fault::Continued}, FaultCase{"stop", Fault::Stopped},
                      FaultCase{"silent", Fault::NoReply}, FaultCase{"late", Fault::Late},
                      FaultCase{"exit", Fault::Crash}, FaultCase{"abort", Fault::Crash},
                      FaultCase{"exit0", Fault::Exited}, FaultCase{"closed", Fault::Closed}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.kind); });

TEST(RefereeTest, AProgramThatCannotStartLosesAndTheMatchGoesOn) {
    EngineSpec engines[2] = {{"missing", program("no-such-engine")},
                             {"greedy", program("dab-opponent") + " greedy --seed {seed}"}};
    MatchResult m = run_match(engines, quick_options(2), nullptr, nullptr);
    ASSERT_EQ(m.games.size(), 2u);
    for (const GameResult& g : m.games) {
        EXPECT_EQ(g.fault, Fault::StartFailed);
        EXPECT_EQ(g.winner, 1) << g.fault_detail;
    }
}

// A whole game of two reference opponents: no fault, all lines, the same game again from
// the same seed, and a log that holds it.
TEST(RefereeTest, ReferenceOpponentsPlayAWholeGameFromASeed) {
    EngineSpec engines[2] = {{"greedy", program("dab-opponent") + " greedy --seed {seed}"},
                             {"chain", program("dab-opponent") + " chain --seed {seed}"}};
    Options o = quick_options(1);
    std::ostringstream json;
    MatchResult first = run_match(engines, o, nullptr, &json);
    MatchResult again = run_match(engines, o, nullptr, nullptr);
    ASSERT_EQ(first.games.size(), 1u);
    const GameResult& g = first.games[0];
    EXPECT_EQ(g.fault, Fault::None) << g.fault_detail;
    EXPECT_TRUE(g.notes.empty()) << g.notes[0];
    EXPECT_EQ(g.names[0], "greedy");
    EXPECT_EQ(g.names[1], "chain");
    EXPECT_EQ(g.score[0] + g.score[1], BOXES);
    EXPECT_EQ(g.winner, g.score[0] > g.score[1] ? 0 : 1);
    int lines = 0;
    for (const Turn& t : g.turns) lines += static_cast<int>(t.lines.size());
    EXPECT_EQ(lines, LINES);
    ASSERT_EQ(again.games[0].turns.size(), g.turns.size());
    for (size_t i = 0; i < g.turns.size(); ++i)
        EXPECT_EQ(again.games[0].turns[i].lines, g.turns[i].lines) << "turn " << i + 1;
    std::string log = json.str();
    EXPECT_NE(log.find("{\"type\":\"game\",\"game\":1,"), std::string::npos);
    EXPECT_NE(log.find("{\"type\":\"match\",\"games\":1,"), std::string::npos);
}

// Games played at once come back in seed order and are the very games a sequential match
// plays.
TEST(RefereeTest, GamesAtOnceComeBackInSeedOrder) {
    EngineSpec engines[2] = {{"greedy", program("dab-opponent") + " greedy --seed {seed}"},
                             {"random", program("dab-opponent") + " random --seed {seed}"}};
    Options o = quick_options(6);
    MatchResult one = run_match(engines, o, nullptr, nullptr);
    o.concurrency = 4;
    std::ostringstream log, json;
    MatchResult four = run_match(engines, o, &log, &json);
    ASSERT_EQ(four.games.size(), one.games.size());
    for (size_t i = 0; i < one.games.size(); ++i) {
        const GameResult &a = one.games[i], &b = four.games[i];
        EXPECT_EQ(b.number, static_cast<int>(i) + 1);
        EXPECT_EQ(b.seed, o.seed + i);
        EXPECT_EQ(b.black, a.black);
        ASSERT_EQ(b.turns.size(), a.turns.size()) << "game " << i + 1;
        for (size_t t = 0; t < a.turns.size(); ++t)
            EXPECT_EQ(b.turns[t].lines, a.turns[t].lines) << "game " << i + 1 << " turn " << t;
        EXPECT_EQ(b.winner, a.winner);
    }
    // Logs in game order too.
    std::string text = log.str(), lines = json.str();
    for (int g = 1; g < 6; ++g) {
        EXPECT_LT(text.find("Game " + std::to_string(g) + ":"),
                  text.find("Game " + std::to_string(g + 1) + ":"));
        EXPECT_LT(lines.find("\"game\":" + std::to_string(g) + ","),
                  lines.find("\"game\":" + std::to_string(g + 1) + ","));
    }
    EXPECT_NE(lines.find("\"concurrency\":4"), std::string::npos);
}

TEST(RefereeTest, VantryBeatsRandomWithoutFault) {
    const std::string vantry = program("vantry-quick");
    if (!exists(vantry)) GTEST_SKIP() << "no " << vantry;
    EngineSpec engines[2] = {{"vantry-quick", vantry},
                             {"random", program("dab-opponent") + " random --seed {seed}"}};
    Options o;
    o.games = 4;
    o.budget_ms = 40;
    o.margin_ms = 3000;
    o.seed = 1;
    MatchResult m = run_match(engines, o, nullptr, nullptr);
    for (const GameResult& g : m.games) {
        EXPECT_EQ(g.fault, Fault::None) << "game " << g.number << ": " << g.fault_detail;
        EXPECT_EQ(g.winner, 0) << "game " << g.number << ": " << g.reason;
    }
    EXPECT_EQ(m.stats[0].wins, 4);
}

} // namespace
} // namespace dabtools
