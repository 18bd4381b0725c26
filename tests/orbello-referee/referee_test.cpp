// The Orbello referee against engines that misbehave, with the real module judging: every
// fault named, the match played to its end, every child reaped; adjudication and records.
#include "child_process.h"
#include "referee.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <sstream>

namespace orbello_referee {
namespace {

std::string program(const std::string& name) {
    return dabtools::program_directory() + "/" + name;
}

std::string engine(const std::string& kind, const std::string& black = ORBELLO_TEST_BLACK,
                   const std::string& white = ORBELLO_TEST_WHITE) {
    return program("orbello-faulty-engine") + " " + kind + " " + black + " " + white + " 1400";
}

// 700 ms a move: the scripted engines answer at once, even on a loaded machine. The late
// engine answers after 1400 ms, before the referee gives up at three times the limit.
Options quick_options(int games, const std::string& first, const std::string& second) {
    Options o;
    o.module = default_module_paths();
    o.match.games = games;
    o.match.budget_ms = 200;
    o.match.margin_ms = 500;
    o.match.seed = 5;
    o.match.commands[0] = first;
    o.match.commands[1] = second;
    o.match.labels[0] = "first";
    o.match.labels[1] = "second";
    return o;
}

// Children of every thread of this process that have not been reaped.
std::string unreaped_children() {
    std::string all;
    if (DIR* d = opendir("/proc/self/task")) {
        while (dirent* t = readdir(d)) {
            if (t->d_name[0] == '.') continue;
            std::ifstream in(std::string("/proc/self/task/") + t->d_name + "/children");
            std::string rest;
            std::getline(in, rest);
            all += rest;
        }
        closedir(d);
    }
    return all;
}

// A game that leaves Black, to move at ply 121, one piece and no legal move.
const char* const STUCK_BLACK =
    "CBCC,FBEC,ECED,DACB,CBDC,EDDD,CCBC,DDDE,DCDD,ABAC,EBDA,EAFB,CACB,DDED,BCAB,DECD,EDDC,DAEB,"
    "CBDA,ABBC,EBEA,BCAB,CDBC,ACCE,DAEB,DCDD,CECD,CDDC,DCCD,DBCB,CBDB,BCBD,DBCB,BBCC,CBDA,CCDC,"
    "DDEC,ABBC,CDDD,DDDF,ECED,DCCD,CDDC,DFCF,BCBB,EDDF,BBAC,DCEC,AABB,BBCB,ECDB,ACBC,BCDE,DBDC,"
    "DCDB,DEEF,DBCB,EFFF,FFEF,CBBC";
const char* const STUCK_WHITE =
    "BEBD,AEBE,BDCD,BEAD,CDBD,DEED,EDFD,ADAE,FDEC,FEFD,EFFE,BDAD,FFEF,FDFC,ECFB,FCEC,CEDD,FEFD,"
    "AEBE,CFDE,FDFC,DDED,DFCE,BECF,AFBE,EEFD,FDEE,BECE,FBEA,CFDF,BFBE,BEAE,ECFB,EDEC,FCDA,ECDB,"
    "EEFF,AEBE,BEAE,EFEE,AEBD,DBCC,CEDD,EEDF,CCBC,DDDF,DEEB,ADCF,BCAB,BDBE,BEBA,CFDE,DFCF,CFBE,"
    "FFCB,BEAF,AFBF,BAAA,BFEF,ABBC";

struct FaultCase {
    const char* kind;
    Fault fault;
};

class OrbelloFaultTest : public ::testing::TestWithParam<FaultCase> {};

// The misbehaving engine loses both games, with either colour, for the fault it commits.
TEST_P(OrbelloFaultTest, IsNamedAndTheMatchGoesOn) {
    const FaultCase& c = GetParam();
    MatchResult m = run_match(quick_options(2, engine(c.kind), engine("fair")), nullptr, nullptr);
    ASSERT_EQ(m.games.size(), 2u);
    for (const GameResult& g : m.games) {
        EXPECT_EQ(g.fault, c.fault)
            << g.number << ": " << fault_name(g.fault) << ": " << g.fault_detail;
        EXPECT_EQ(g.fault_engine, 0) << g.number;
        EXPECT_EQ(g.winner, 1) << g.number;
        EXPECT_NE(g.reason.find(fault_name(c.fault)), std::string::npos) << g.reason;
        EXPECT_TRUE(g.error.empty()) << g.error;
    }
    EXPECT_EQ(m.stats[0].losses, 2);
    EXPECT_EQ(m.stats[1].wins, 2);
    EXPECT_EQ(m.stats[0].faults[fault_name(c.fault)], 2);
    EXPECT_TRUE(m.stats[1].faults.empty());
    EXPECT_EQ(unreaped_children(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, OrbelloFaultTest,
    ::testing::Values(FaultCase{"illegal", Fault::Illegal}, FaultCase{"garbage", Fault::Garbled},
                      FaultCase{"early", Fault::OutOfTurn}, FaultCase{"silent", Fault::NoReply},
                      FaultCase{"late", Fault::Late}, FaultCase{"exit", Fault::Crash},
                      FaultCase{"abort", Fault::Crash}, FaultCase{"exit0", Fault::Exited},
                      FaultCase{"closed", Fault::Closed}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.kind); });

// A refused move that is retried with a legal one costs nothing but the refusal: the
// scripted game is played to its end, Black taking the last piece with the 27th ply.
TEST(OrbelloRefereeTest, ARefusedMoveRetriedPlaysOn) {
    std::ostringstream json;
    MatchResult m = run_match(quick_options(2, engine("retry"), engine("fair")), nullptr, &json);
    ASSERT_EQ(m.games.size(), 2u);
    for (const GameResult& g : m.games) {
        EXPECT_EQ(g.fault, Fault::None) << g.fault_detail;
        ASSERT_EQ(g.refusals.size(), 1u);
        EXPECT_EQ(g.refusals[0].engine, 0);
        EXPECT_EQ(g.refusals[0].text, "move AAAA");
        // The faulty engine's second move: ply 3 as Black, ply 4 as White.
        EXPECT_EQ(g.refusals[0].ply, g.black == 0 ? 3 : 4);
        EXPECT_EQ(g.moves.size(), 27u);
        EXPECT_EQ(g.winner, g.black);
        EXPECT_EQ(g.pieces[0], 12);
        EXPECT_EQ(g.pieces[1], 0);
    }
    EXPECT_EQ(m.stats[0].refusals, 2);
    // The record holds the moves in the module's text, so the game can be replayed.
    EXPECT_NE(json.str().find("\"moves\":[\"FBEC\",\"EEDD\",\"ECFD\","), std::string::npos);
    EXPECT_NE(json.str().find("\"refusal_limit\":3"), std::string::npos);
    EXPECT_EQ(unreaped_children(), "");
}

// Games without a winner in sight, or with a side that cannot move, are decided by the
// pieces on the board, and say so.
TEST(OrbelloRefereeTest, LongGamesAreAdjudicatedByPieces) {
    struct Case {
        const char* black;
        const char* white;
        int max_plies, no_capture;
        const char* rule;
        int winner_colour; // -1 draw
        int black_pieces, white_pieces;
    };
    const Case cases[] = {
        // Both sides step back and forth: no capture ever.
        {"ABAC,ACAB", "AEAD,ADAE", 400, 10, "no-capture", -1, 12, 12},
        // The scripted game stopped after Black's third capture (ply 9).
        {ORBELLO_TEST_BLACK, ORBELLO_TEST_WHITE, 9, 100, "ply-limit", 0, 12, 9},
        // Black cannot move (the game has no pass): its engine's refusals are no fault.
        {STUCK_BLACK, STUCK_WHITE, 400, 400, "no-legal-move", 1, 1, 7},
    };
    for (const Case& c : cases) {
        Options o =
            quick_options(2, engine("fair", c.black, c.white), engine("fair", c.black, c.white));
        o.max_plies = c.max_plies;
        o.no_capture_plies = c.no_capture;
        std::ostringstream json;
        MatchResult m = run_match(o, nullptr, &json);
        for (const GameResult& g : m.games) {
            EXPECT_EQ(g.fault, Fault::None) << g.fault_detail;
            EXPECT_EQ(g.adjudication, c.rule);
            EXPECT_EQ(g.pieces[0], c.black_pieces) << c.rule;
            EXPECT_EQ(g.pieces[1], c.white_pieces) << c.rule;
            EXPECT_EQ(g.winner, c.winner_colour < 0    ? -1
                                : c.winner_colour == 0 ? g.black
                                                       : 1 - g.black);
            EXPECT_NE(g.reason.find("adjudicated"), std::string::npos) << g.reason;
        }
        EXPECT_NE(json.str().find(std::string("\"adjudication\":{\"rule\":\"") + c.rule),
                  std::string::npos);
        if (c.winner_colour < 0) {
            EXPECT_EQ(m.draws, 2);
            EXPECT_EQ(m.stats[0].draws, 2);
        }
    }
}

// Games at once come back in seed order, each whole.
TEST(OrbelloRefereeTest, GamesAtOnceComeBackInSeedOrder) {
    Options o = quick_options(5, engine("fair"), engine("retry"));
    o.match.concurrency = 3;
    std::ostringstream log;
    MatchResult m = run_match(o, &log, nullptr);
    ASSERT_EQ(m.games.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        const GameResult& g = m.games[static_cast<size_t>(i)];
        EXPECT_EQ(g.number, i + 1);
        EXPECT_EQ(g.seed, 5u + static_cast<uint32_t>(i));
        EXPECT_EQ(g.black, i % 2);
        EXPECT_EQ(g.moves.size(), 27u) << g.reason;
        EXPECT_EQ(g.refusals.size(), 1u);
    }
    std::string text = log.str();
    for (int g = 1; g < 5; ++g)
        EXPECT_LT(text.find("Game " + std::to_string(g) + ":"),
                  text.find("Game " + std::to_string(g + 1) + ":"));
    EXPECT_EQ(unreaped_children(), "");
}

// An opening's moves are played by the module and handed to both engines as the game so far;
// the records begin with them, untimed, and the engines play on from there. An engine that
// does not take openings is named before any game.
TEST(OrbelloRefereeTest, OpeningsArePlayedByTheModuleAndGoToBothEngines) {
    const std::string path = ::testing::TempDir() + "orbello-openings.txt";
    std::ofstream(path) << "# one move, then two\nABAC\nABAC FEFD\n";
    const std::string engine1 = program("orbello-rules-engine") + " 1",
                      engine2 = program("orbello-rules-engine") + " 2";
    Options o = quick_options(4, engine1, engine2);
    o.match.openings = path;
    o.max_plies = 60;
    std::ostringstream json;
    MatchResult m = run_match(o, nullptr, &json);
    ASSERT_FALSE(m.refused) << m.why;
    ASSERT_EQ(m.games.size(), 4u);
    for (size_t g = 0; g < 4; ++g) {
        const GameResult& r = m.games[g];
        EXPECT_EQ(r.fault, Fault::None) << r.fault_detail;
        const size_t plies = g < 2 ? 1 : 2;
        ASSERT_GT(r.moves.size(), plies);
        EXPECT_EQ(r.moves[0].text, "ABAC");
        for (size_t i = 0; i < r.moves.size(); ++i)
            EXPECT_EQ(r.moves[i].opening, i < plies) << "game " << g + 1 << " move " << i;
        // After one opening move White moves first: it is the game's second move.
        EXPECT_EQ(r.moves[plies].engine, plies == 1 ? r.white : r.black);
    }
    EXPECT_NE(json.str().find("\"moves\":[\"ABAC\",\"FEFD\","), std::string::npos);
    EXPECT_NE(json.str().find("\"ms\":[null,null,"), std::string::npos);
    EXPECT_EQ(unreaped_children(), "");

    o.match.commands[1] = engine2 + " nohistory";
    o.match.labels[1] = "old";
    m = run_match(o, nullptr, nullptr);
    EXPECT_TRUE(m.refused);
    EXPECT_EQ(m.why.rfind("old (", 0), 0u) << m.why;
    EXPECT_NE(m.why.find("does not accept openings"), std::string::npos) << m.why;
    EXPECT_TRUE(m.games.empty());
    EXPECT_EQ(unreaped_children(), "");
}

// A program that cannot start loses; a module that cannot be loaded plays no game at all.
TEST(OrbelloRefereeTest, WhatCannotStartIsNamed) {
    MatchResult m =
        run_match(quick_options(2, program("no-such-engine"), engine("fair")), nullptr, nullptr);
    for (const GameResult& g : m.games) {
        EXPECT_EQ(g.fault, Fault::StartFailed);
        EXPECT_EQ(g.winner, 1);
    }
    Options o = quick_options(1, engine("fair"), engine("fair"));
    o.module.library = program("no-such-module.so");
    m = run_match(o, nullptr, nullptr);
    ASSERT_EQ(m.games.size(), 1u);
    EXPECT_NE(m.games[0].error.find("no-such-module.so"), std::string::npos);
    EXPECT_EQ(m.games[0].winner, -1);
    EXPECT_EQ(m.stats[0].wins + m.stats[0].losses + m.stats[0].draws, 0);
    EXPECT_EQ(unreaped_children(), "");
}

} // namespace
} // namespace orbello_referee
