// The strong player's levels: what a line takes or gives at once, the weighted draw of a
// line, and the levels' choices on the engine's position.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "dab_board.h"
#include "model/line_placement.h"
#include "search/keys.h"
#include "strong/compact_position.h"
#include "strong/levels.h"

namespace {

using namespace strong;

uint64_t mask_of(const std::string& codes) {
    uint64_t drawn = 0;
    for (size_t i = 0; i + 3 <= codes.size(); i += 3)
        drawn |= uint64_t{1} << dabtools::parse_line_code(codes.c_str() + i);
    return drawn;
}

int line_of(const char* code) {
    return dabtools::parse_line_code(code);
}

// Boxes (0, 0), (0, 1) and (0, 2) with their tops and bottoms form a chain of three, open
// at its right end (BDA).
const std::string CHAIN = "AAAAABAACABAABBABC";

TEST(Levels, ImmediateValues) {
    struct Case {
        std::string drawn;
        const char* line;
        int seen, counted; // without and with the run of boxes that follows
    };
    for (const Case& c : {
             Case{"", "ACC", 0, 0},                   // an empty board
             Case{"AAAABABAA", "BBA", 1, 1},          // completes box (0, 0)
             Case{"AAAABABAAAABABBBCA", "BBA", 2, 2}, // completes (0, 0) and (0, 1)
             Case{CHAIN, "BAA", -1, -3},              // opens the chain at its end
             Case{CHAIN, "BBA", -2, -3},              // opens it in the middle
             Case{"AAAABA", "BAA", -1, -1},           // a lone box
             Case{"AAAABA", "ACC", 0, 0},             // elsewhere
             Case{CHAIN + "BAA", "BBA", 1, 1},        // takes from the chain
             Case{"AFEBFEADEBFD", "BEE", -1, -2},     // a corner pair: two boxes behind
             Case{"AFEBFEADEBFD", "AEE", -2, -2},     // its middle line
         }) {
        const uint64_t drawn = mask_of(c.drawn);
        EXPECT_EQ(immediate_value(drawn, line_of(c.line), false), c.seen)
            << c.drawn << " " << c.line;
        EXPECT_EQ(immediate_value(drawn, line_of(c.line), true), c.counted)
            << c.drawn << " " << c.line;
    }
}

// One line worth a box more than thirty others: the draw picks its value with weight e
// against 1 at temperature 1, however many lines share the lower value, and spreads the
// rest evenly over them.
TEST(Levels, DrawWeighsValuesNotLines) {
    struct Case {
        double temperature;
        double best_share; // expected share of the best line
    };
    const uint64_t drawn = mask_of(CHAIN);
    int values[LINES] = {};
    const int best = line_of("ACC");
    values[best] = 1;
    int undrawn = 0;
    for (int l = 0; l < LINES; ++l) undrawn += !(drawn >> l & 1);
    for (const Case& c : {Case{1.0, std::exp(1.0) / (std::exp(1.0) + 1)},
                          Case{0.25, std::exp(4.0) / (std::exp(4.0) + 1)}, Case{0.01, 1.0}}) {
        LevelRandom random(42);
        const int draws = 20000;
        int counts[LINES] = {};
        for (int i = 0; i < draws; ++i) {
            const int line = pick_line(drawn, values, c.temperature, random);
            ASSERT_GE(line, 0);
            ASSERT_FALSE(drawn >> line & 1) << "a drawn line was picked";
            ++counts[line];
        }
        EXPECT_NEAR(counts[best] / double(draws), c.best_share, 0.015) << c.temperature;
        // The other lines share the rest evenly.
        const double each = (1 - c.best_share) / (undrawn - 1);
        for (int l = 0; l < LINES; ++l)
            if (l != best && !(drawn >> l & 1)) {
                EXPECT_NEAR(counts[l] / double(draws), each, 0.003) << c.temperature << " " << l;
            }
    }
}

TEST(Levels, DrawsRepeatByTheirSeed) {
    int values[LINES];
    for (int l = 0; l < LINES; ++l) values[l] = l % 3;
    auto sequence = [&](uint64_t seed) {
        LevelRandom random(seed);
        std::string picks;
        for (int i = 0; i < 50; ++i)
            picks += std::to_string(pick_line(0, values, 1.0, random)) + " ";
        return picks;
    };
    EXPECT_EQ(sequence(7), sequence(7));
    EXPECT_NE(sequence(7), sequence(8));
}

void set_engine_position(uint64_t drawn) {
    init_board();
    init_keys();
    for (int l = 0; l < LINES; ++l)
        if (drawn >> l & 1) {
            place_line(OPPONENT, move_of_line(l));
            round1 += 1;
        }
}

// Every level draws undrawn lines at every stage of random games. Level 1 gives boxes away
// while a safe line is left now and then, but mostly not; levels 2 and 3 seldom do (level
// 4's search gives boxes away when it judges the control they buy worth more).
TEST(Levels, LevelsDrawUndrawnLinesAndLevelOneErrs) {
    struct Case {
        int level, games;
        bool errs;       // gives a box away at least once
        double max_rate; // of the turns with a safe line left and no box taken
    };
    SearchLimits limits;
    limits.node_limit = 1; // no deadline: the levels' own caps only
    for (const Case& c : {Case{1, 30, true, 0.25}, Case{2, 30, false, 0.05},
                          Case{3, 3, false, 0.05}, Case{4, 2, false, 1.0}}) {
        set_level(c.level, 5);
        std::mt19937 rng(static_cast<uint32_t>(c.level));
        int turns = 0, gifts = 0;
        for (int game = 0; game < c.games; ++game) {
            uint64_t drawn = 0;
            while (drawn != ALL_LINES) {
                set_engine_position(drawn);
                int line = line_of_move(choose_level_move(limits));
                ASSERT_GE(line, 0);
                ASSERT_LT(line, LINES);
                ASSERT_FALSE(drawn >> line & 1) << "level " << c.level;
                if (safe_line_count(drawn) > 0 && boxes_completed(drawn, line) == 0) {
                    ++turns;
                    gifts += !is_safe(drawn, line);
                }
                // A random line instead half the time, for positions of every kind.
                if (rng() % 2 == 0) {
                    int open[LINES], n = 0;
                    for (int l = 0; l < LINES; ++l)
                        if (!(drawn >> l & 1)) open[n++] = l;
                    line = open[rng() % static_cast<uint32_t>(n)];
                }
                drawn |= uint64_t{1} << line;
            }
        }
        if (c.errs) {
            EXPECT_GT(gifts, 0) << "level " << c.level << " never gave a box away";
        }
        EXPECT_LE(gifts, c.max_rate * turns)
            << "level " << c.level << ": " << gifts << " of " << turns;
    }
    set_level(TOP_LEVEL, 1);
}

} // namespace
