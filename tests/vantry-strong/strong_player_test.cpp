// The strong player on the engine's own position: the adapter maps lines both ways, every
// choice is an undrawn line, and with no safe line left every choice is optimal.
#include <gtest/gtest.h>

#include <random>
#include <string>

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

namespace {

// Safe lines at random down to `left` undrawn lines.
uint64_t safe_play(std::mt19937& rng, int left) {
    uint64_t drawn = 0;
    while (strong::LINES - strong::bit_count(drawn) > left) {
        int safe[strong::LINES], n = 0;
        for (int l = 0; l < strong::LINES; ++l)
            if (strong::is_safe(drawn, l)) safe[n++] = l;
        if (n == 0) break;
        drawn |= uint64_t{1} << safe[rng() % static_cast<uint32_t>(n)];
    }
    return drawn;
}

// The value a line reaches, by a solver of its own (checked against the judge elsewhere).
int line_value(uint64_t drawn, int line) {
    strong::EndgameSolver solver(21);
    const int taken = strong::boxes_completed(drawn, line);
    const strong::SolveResult r = solver.solve(drawn | uint64_t{1} << line);
    EXPECT_TRUE(r.solved);
    return taken > 0 ? taken + r.value : -r.value;
}

struct BudgetCase {
    const char* what;
    int undrawn;
    long long node_limit; // 0: the clock, with budget_ms
    int budget_ms;
    uint32_t seed;
};

void PrintTo(const BudgetCase& c, std::ostream* os) {
    *os << c.what;
}

class FullBudget : public ::testing::TestWithParam<BudgetCase> {};

// A whole line's budget around 38 undrawn lines is enough for a proven, optimal reply, by
// the node limit (replayable) and by the clock (a generous budget: the result is checked,
// never the time).
TEST_P(FullBudget, GivesAnExactOptimalReply) {
    const BudgetCase& c = GetParam();
    std::mt19937 rng(c.seed);
    const uint64_t drawn = safe_play(rng, c.undrawn);
    ASSERT_GT(strong::safe_line_count(drawn), 0);
    strong::reset_strong_player();
    set_engine_position(drawn);
    SearchLimits limits;
    limits.node_limit = c.node_limit;
    limits.budget_ms = c.budget_ms;
    const int line = strong::line_of_move(strong::choose_strong_move(limits));
    ASSERT_TRUE(strong::strong_stats.exact) << c.what;
    strong::EndgameSolver solver(21);
    const strong::SolveResult best = solver.solve(drawn);
    ASSERT_TRUE(best.solved);
    EXPECT_EQ(strong::strong_stats.value, best.value) << c.what;
    EXPECT_EQ(line_value(drawn, line), best.value) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    TimeSharing, FullBudget,
    ::testing::Values(BudgetCase{"38 lines by the node limit", 38, 8000000, 5000, 31},
                      BudgetCase{"38 lines by the node limit again", 38, 8000000, 5000, 32},
                      BudgetCase{"36 lines by the clock", 36, 0, 60000, 33}),
    [](const ::testing::TestParamInfo<BudgetCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

// A node limit that stops the middle game inside a depth gives the line of the last depth
// it finished, straight from the middle game and through the player (whose exact solve
// gets no share this early), with the tables emptied before each run so all replay alike.
TEST(TimeSharing, MiddleGameStoppedPartWayKeepsItsLastFinishedDepth) {
    std::mt19937 rng(34);
    for (int undrawn : {52, 50}) {
        const uint64_t drawn = safe_play(rng, undrawn);
        ASSERT_EQ(strong::exact_share_percent(undrawn, true), 0);
        long long nodes_at[4] = {};
        int line_at[4] = {};
        for (int depth = 1; depth <= 3; ++depth) {
            strong::reset_strong_player();
            const strong::MiddleResult r =
                strong::middle_game_line(drawn, 0, 0, strong::strong_solver(), depth);
            ASSERT_EQ(r.depth, depth);
            nodes_at[depth] = r.nodes;
            line_at[depth] = r.line;
        }
        for (int depth = 1; depth <= 2; ++depth) {
            ASSERT_LT(nodes_at[depth], nodes_at[depth + 1]);
            const long long limit = (nodes_at[depth] + nodes_at[depth + 1]) / 2;
            strong::reset_strong_player();
            const strong::MiddleResult r =
                strong::middle_game_line(drawn, 0, limit, strong::strong_solver());
            EXPECT_EQ(r.depth, depth) << undrawn << " lines, limit " << limit;
            EXPECT_EQ(r.line, line_at[depth]) << undrawn << " lines, limit " << limit;

            strong::reset_strong_player();
            set_engine_position(drawn);
            SearchLimits limits;
            limits.node_limit = limit;
            const int line = strong::line_of_move(strong::choose_strong_move(limits));
            EXPECT_FALSE(strong::strong_stats.exact);
            EXPECT_EQ(strong::strong_stats.depth, depth) << undrawn << " lines";
            EXPECT_EQ(line, line_at[depth]) << undrawn << " lines, limit " << limit;
        }
    }
}

} // namespace
