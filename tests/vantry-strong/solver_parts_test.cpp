// The exact solver's parts: box sets from the line mask against a box-by-box count, the
// values of chain-and-loop endgames, the normal form of corner border lines, and the
// deadline clock.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "dab_board.h"
#include "dab_solver.h"
#include "endgame/box_sets.h"
#include "endgame/budget_clock.h"
#include "endgame/geometry.h"
#include "endgame/loony_value.h"
#include "endgame/solver.h"

namespace {

uint64_t random_mask(std::mt19937& rng, int drawn_lines) {
    uint64_t drawn = 0;
    while (strong::bit_count(drawn) < drawn_lines) drawn |= uint64_t{1} << (rng() % strong::LINES);
    return drawn;
}

// Every count, every edge of the board: masks of every density, the empty and full board.
TEST(BoxSets, MatchBoxByBoxCounts) {
    const strong::Geometry& g = strong::geometry();
    std::mt19937 rng(21);
    for (int i = 0; i < 600; ++i) {
        const uint64_t drawn = i == 0   ? 0
                               : i == 1 ? strong::ALL_LINES
                                        : random_mask(rng, i % (strong::LINES + 1));
        const strong::BoxSets s = strong::box_sets(drawn);
        uint32_t grounded = 0;
        for (int b = 0; b < strong::BOXES; ++b) {
            const int sides = strong::sides_drawn(drawn, b);
            for (int k = 0; k <= 4; ++k)
                ASSERT_EQ(s.by_sides[k] >> b & 1, k == sides ? 1u : 0u) << "box " << b;
            // Open neighbours: exactly the boxes across an undrawn side.
            uint32_t expected = 0;
            for (uint64_t open = g.box_sides[b] & ~drawn; open; open &= open - 1) {
                const int line = strong::lowest_bit(open);
                const int other =
                    g.line_boxes[line][0] == b ? g.line_boxes[line][1] : g.line_boxes[line][0];
                if (other >= 0)
                    expected |= 1u << other;
                else
                    grounded |= 1u << b;
            }
            ASSERT_EQ(strong::neighbours(s, 1u << b), expected) << "box " << b;
            ASSERT_EQ(strong::sides_of(1u << b), g.box_sides[b]) << "box " << b;
        }
        ASSERT_EQ(s.grounded, grounded);
    }
}

struct LoonyCase {
    const char* what;
    std::string chains, loops; // sizes, one character each ('3' = 3, ':' = 10)
    int value;                 // for the player who must open
};

void PrintTo(const LoonyCase& c, std::ostream* os) {
    *os << c.what;
}

class LoonyValues : public ::testing::TestWithParam<LoonyCase> {};

// Values worked out by hand from the rules of taking all or all but two (four).
TEST_P(LoonyValues, ByHand) {
    strong::Components c;
    for (char ch : GetParam().chains) c.add(ch - '0', false);
    for (char ch : GetParam().loops) c.add(ch - '0', true);
    EXPECT_EQ(strong::loony_value(c), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Endgames, LoonyValues,
    ::testing::Values(
        LoonyCase{"nothing", "", "", 0}, LoonyCase{"one single", "1", "", -1},
        LoonyCase{"one chain of 3", "3", "", -3}, LoonyCase{"one loop of 4", "", "4", -4},
        // The opener gives the single (1 for the other), then is handed... nothing: takes 3.
        LoonyCase{"single and chain of 3", "13", "", 2},
        // Two chains of 3: the second is taken whole, the first declined: 3 - 4 + 3 = 2.
        LoonyCase{"two chains of 3", "33", "", -2},
        // Whichever chain is opened is declined, the other taken whole: 5 for the other.
        LoonyCase{"chains of 4 and 5", "45", "", -5},
        // Loop first: taken whole (4 - 5) or declined (-4 + 5): the controller gets 1.
        LoonyCase{"chain of 5 and loop of 4", "5", "4", -1},
        // Doubles opened by their middle lines: taken, so control flips each time.
        LoonyCase{"two doubles", "22", "", 0}, LoonyCase{"three doubles", "222", "", -2},
        // Opening the double costs 2 and leaves the other side three chains of 3 to open
        // (-1 for it): -1, better than opening a chain (-3).
        LoonyCase{"double and three chains of 3", "2333", "", -1},
        LoonyCase{"chain of 10", ":", "", -10}),
    [](const ::testing::TestParamInfo<LoonyCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

// Which border line of a corner box is drawn changes nothing: the judge gives both forms
// the same value, and the normal form is one of them.
TEST(NormalForm, CornerBorderLinesAreInterchangeable) {
    std::mt19937 rng(22);
    const int corners[4][2] = {{0, 30}, {4, 35}, {25, 54}, {29, 59}};
    for (int i = 0; i < 60; ++i) {
        uint64_t drawn = random_mask(rng, 38 + i % 4);
        const auto& c = corners[i % 4];
        drawn &= ~(uint64_t{1} << c[0]);
        drawn |= uint64_t{1} << c[1];
        const uint64_t twin = drawn ^ (uint64_t{1} << c[0] | uint64_t{1} << c[1]);
        const uint64_t normal = strong::ground_normal(drawn);
        ASSERT_EQ(strong::ground_normal(twin), normal);
        ASSERT_EQ(strong::ground_normal(normal), normal);
        ASSERT_EQ(strong::bit_count(normal), strong::bit_count(drawn));
        dabtools::ExactSolver judge;
        const int value = judge.value(drawn);
        ASSERT_EQ(judge.value(twin), value) << std::hex << drawn;
        ASSERT_EQ(judge.value(normal), value) << std::hex << drawn;
    }
}

// The deadline is honoured on either clock: a deadline already past stops a solve that
// needs more than one check's worth of nodes, and the CPU clock moves with work.
TEST(BudgetClock, PastDeadlineStopsTheSolveOnBothClocks) {
    std::mt19937 rng(23);
    uint64_t drawn = 0;
    for (int tries = 0; strong::LINES - strong::bit_count(drawn) > 44 && tries < 10000; ++tries) {
        const int line = static_cast<int>(rng() % strong::LINES);
        if (strong::is_safe(drawn, line)) drawn |= uint64_t{1} << line;
    }
    ASSERT_EQ(strong::LINES - strong::bit_count(drawn), 44);
    for (bool cpu : {false, true}) {
        strong::use_thread_cpu_clock(cpu);
        strong::EndgameSolver solver(21);
        const long long before = strong::thread_cpu_ms();
        const strong::SolveResult r = solver.solve(drawn, 0, strong::now_ms() - 1);
        EXPECT_FALSE(r.solved) << (cpu ? "cpu clock" : "wall clock");
        EXPECT_LT(r.line, 0);
        EXPECT_GE(strong::thread_cpu_ms(), before);
        // Stopped at the first check of the clock, after a bounded number of nodes.
        EXPECT_LE(solver.nodes(), 1024) << (cpu ? "cpu clock" : "wall clock");
    }
    strong::use_thread_cpu_clock(false);
}

} // namespace
