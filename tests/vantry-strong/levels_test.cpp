// The strong player's levels: what a line takes or gives at once, the weighted draw of a
// line, and the levels' choices on the engine's position.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "dab_board.h"
#include "model/line_placement.h"
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

// Boxes (0, 0), (0, 1) and (0, 2) with their tops and bottoms: a chain of three.
const std::string CHAIN = "AAAAABAACABAABBABC";

TEST(Levels, ImmediateValues) {
    struct Case {
        std::string drawn;
        const char* line;
        int seen, counted; // without and with the run of boxes that follows
    };
    for (const Case& c : {
             Case{"", "ACC", 0, 0}, Case{"AAAABABAA", "BBA", 1, 1}, // completes box (0, 0)
             Case{"AAAABABAAAABABBBCA", "BBA", 2, 2},               // completes (0, 0) and (0, 1)
             Case{CHAIN, "BAA", -1, -3},                            // opens the chain at its end
             Case{CHAIN, "BBA", -2, -3},                            // in the middle
             Case{"AFEBFEADEBFD", "BEE", -1, -2},                   // a corner pair
         }) {
        const uint64_t drawn = mask_of(c.drawn);
        const int line = dabtools::parse_line_code(c.line);
        EXPECT_EQ(immediate_value(drawn, line, false), c.seen) << c.drawn << " " << c.line;
        EXPECT_EQ(immediate_value(drawn, line, true), c.counted) << c.drawn << " " << c.line;
    }
}

// One line worth a box more than 53 others: its value is drawn with weight e^(1 / T)
// against 1, however many lines share the other value; drawn lines never come.
TEST(Levels, DrawWeighsValuesNotLines) {
    const uint64_t drawn = mask_of(CHAIN);
    int values[LINES] = {};
    const int best = dabtools::parse_line_code("ACC");
    values[best] = 1;
    for (double t : {1.0, 0.25}) {
        LevelRandom random(42);
        int hits = 0;
        for (int i = 0; i < 20000; ++i) {
            const int line = pick_line(drawn, values, t, random);
            ASSERT_TRUE(line >= 0 && !(drawn >> line & 1)) << line;
            hits += line == best;
        }
        EXPECT_NEAR(hits / 20000.0, 1 / (1 + std::exp(-1 / t)), 0.015) << t;
    }
}

// Every level draws undrawn lines at every stage of half-random games. Level 1 gives boxes
// away while a safe line is left now and then, but mostly not; levels 2 and 3 seldom do
// (level 4's search does when it judges the control they buy worth more).
TEST(Levels, LevelsDrawUndrawnLinesAndLevelOneErrs) {
    struct Case {
        int level, games;
        double min_rate, max_rate; // of the turns with a safe line left and no box taken
    };
    SearchLimits limits;
    limits.node_limit = 1; // no deadline: the levels' own caps only
    for (const Case& c :
         {Case{1, 30, 0.01, 0.25}, Case{2, 30, 0, 0.05}, Case{3, 3, 0, 0.05}, Case{4, 2, 0, 1}}) {
        set_level(c.level, 5);
        std::mt19937 rng(static_cast<uint32_t>(c.level));
        int turns = 0, gifts = 0;
        for (int game = 0; game < c.games; ++game) {
            for (uint64_t drawn = 0; drawn != ALL_LINES;) {
                init_board(); // the levels read only which lines are drawn
                for (int l = 0; l < LINES; ++l)
                    if (drawn >> l & 1) place_line(OPPONENT, move_of_line(l));
                int line = line_of_move(choose_level_move(limits));
                ASSERT_TRUE(line >= 0 && line < LINES && !(drawn >> line & 1)) << c.level;
                if (safe_line_count(drawn) > 0 && boxes_completed(drawn, line) == 0) {
                    ++turns;
                    gifts += !is_safe(drawn, line);
                }
                if (rng() % 2 == 0) { // half the time a random line instead
                    int open[LINES], n = 0;
                    for (int l = 0; l < LINES; ++l)
                        if (!(drawn >> l & 1)) open[n++] = l;
                    line = open[rng() % static_cast<uint32_t>(n)];
                }
                drawn |= uint64_t{1} << line;
            }
        }
        EXPECT_GE(gifts, c.min_rate * turns) << c.level << ": " << gifts << " of " << turns;
        EXPECT_LE(gifts, c.max_rate * turns) << c.level << ": " << gifts << " of " << turns;
    }
    set_level(TOP_LEVEL, 1);
}

} // namespace
