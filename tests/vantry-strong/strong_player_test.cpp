// The strong player on the engine's own position: the adapter maps lines both ways, every
// choice is an undrawn line, and with no safe line left every choice is optimal.
#include <gtest/gtest.h>

#include <random>

#include "dab_board.h"
#include "dab_solver.h"
#include "endgame/geometry.h"
#include "model/line_placement.h"
#include "search/keys.h"
#include "strong/compact_position.h"
#include "strong/middle_game.h"
#include "strong/strong_player.h"

namespace {

void set_engine_position(uint64_t drawn) {
    init_board();
    init_keys();
    for (int l = 0; l < strong::LINES; ++l)
        if (drawn >> l & 1) {
            place_line(OPPONENT, strong::move_of_line(l));
            round1 += 1;
        }
}

TEST(StrongPlayer, AdapterReadsTheEnginesLinesAndScores) {
    std::mt19937 rng(3);
    for (int i = 0; i < 20; ++i) {
        uint64_t drawn = 0;
        for (int k = 0; k < 45; ++k) drawn |= uint64_t{1} << (rng() % strong::LINES);
        set_engine_position(drawn);
        strong::CompactPosition p = strong::compact_from_engine();
        EXPECT_EQ(p.drawn, drawn);
        EXPECT_EQ(p.opponent_boxes, score_opponent);
        for (int l = 0; l < strong::LINES; ++l)
            EXPECT_EQ(strong::line_of_move(strong::move_of_line(l)), l);
    }
}

// Random play to every stage of a game; a fixed node budget keeps the run exact.
TEST(StrongPlayer, ChoosesUndrawnLinesAndOptimalOnesOnceNoSafeLineIsLeft) {
    std::mt19937 rng(5);
    SearchLimits limits;
    limits.node_limit = 20000;
    for (int game = 0; game < 6; ++game) {
        uint64_t drawn = 0;
        while (drawn != strong::ALL_LINES) {
            set_engine_position(drawn);
            const bool loony = strong::safe_line_count(drawn) == 0;
            int line = strong::line_of_move(strong::choose_strong_move(limits));
            ASSERT_GE(line, 0);
            ASSERT_LT(line, strong::LINES);
            ASSERT_FALSE(drawn >> line & 1) << "game " << game;
            if (loony) {
                dabtools::ExactSolver judge;
                EXPECT_EQ(judge.value_of_line(drawn, line), judge.value(drawn)) << "game " << game;
            }
            // The other side plays at random half the time, the strong player otherwise.
            if (rng() % 2 == 0) {
                int open[strong::LINES], n = 0;
                for (int l = 0; l < strong::LINES; ++l)
                    if (!(drawn >> l & 1)) open[n++] = l;
                line = open[rng() % static_cast<uint32_t>(n)];
            }
            drawn |= uint64_t{1} << line;
        }
    }
}

} // namespace
