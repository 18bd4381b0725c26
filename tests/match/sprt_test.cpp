// The SPRT's LLR, bounds and verdict against hand computation:
// LLR = n (s1 - s0) (2 s - s0 - s1) / (2 v), s0 = 1 / (1 + 10^(-elo0/400)), likewise s1,
// v the variance per result, never below n / (4 (n + 1)^2). Default settings 0, 5, 0.05, 0.05:
// s1 = 0.5071945, bounds ln(0.05 / 0.95) = -2.944439 and +2.944439.
#include "sprt.h"

#include <cmath>
#include <string>

#include <gtest/gtest.h>

namespace {

using namespace matchtools;

constexpr SprtVerdict GO_ON = SprtVerdict::Continue, H0 = SprtVerdict::AcceptH0,
                      H1 = SprtVerdict::AcceptH1;
const SprtSettings TO_50{0, 50, 0.05, 0.05}; // s1 = 0.5714631

TEST(Sprt, LlrAndVerdict) {
    struct Case {
        const char* what;
        SprtSettings s;
        bool paired;
        long long count[5]; // pairs, or wins, draws, losses
        double llr;
        SprtVerdict verdict;
    } cases[] = {
        // s = 0.70, v = 0.6 * 0.3^2 + 0.2 * 0.2^2 + 0.2 * 0.7^2 = 0.16:
        // 100 * 0.0071945 * (1.4 - 1.0071945) / 0.32 = 0.88321.
        {"60/20/20", {}, false, {60, 20, 20}, 0.88321, GO_ON},
        // 100 * 0.0714631 * 0.3285369 / 0.32 = 7.33696.
        {"60/20/20 for 0..50", TO_50, false, {60, 20, 20}, 7.33696, H1},
        // s = 0.5, v = 0.2: 500 * 0.0714631 * (-0.0714631) / 0.4 = -6.38372; over 100 games
        // -1.27674.
        {"200/100/200 for 0..50", TO_50, false, {200, 100, 200}, -6.38372, H0},
        {"40/20/40 for 0..50", TO_50, false, {40, 20, 40}, -1.27674, GO_ON},
        // Pairs [5, 20, 40, 25, 10]: s = 0.5375, v = 0.353125 - 0.5375^2 = 0.0642188,
        // s1(10) = 0.5143868: 100 * 0.0143868 * (1.075 - 1.0143868) / 0.1284375 = 0.67897.
        {"pairs for 0..10", {0, 10, 0.05, 0.05}, true, {5, 20, 40, 25, 10}, 0.67897, GO_ON},
        // Degenerate: no results, LLR 0; one drawn pair, v = 1/16:
        // 0.0071945 * (-0.0071945) / 0.125 = -0.000414, no verdict.
        {"no games", {}, false, {0, 0, 0}, 0, GO_ON},
        {"one drawn pair", {}, true, {0, 0, 1, 0, 0}, -0.000414, GO_ON},
        // n wins in a row: 2 * 0.0071945 * 0.9928055 (n + 1)^2 = 0.0142853 (n + 1)^2:
        // 13 wins 2.80018 go on, 14 wins 3.21449 stop.
        {"13 wins", {}, false, {13, 0, 0}, 2.80018, GO_ON},
        {"14 won pairs", {}, true, {0, 0, 0, 0, 14}, 3.21449, H1},
        // n draws: -2 * 0.0071945^2 (n + 1)^2: 167 draws -2.92227, 168 draws -2.95716.
        {"167 draws", {}, false, {0, 167, 0}, -2.92227, GO_ON},
        {"168 draws", {}, false, {0, 168, 0}, -2.95716, H0},
        // Settings the test cannot run with: LLR 0 and no verdict, whatever the results.
        {"elo0 = elo1", {5, 5, 0.05, 0.05}, false, {100, 0, 0}, 0, GO_ON},
        {"alpha nan", {0, 5, std::nan(""), 0.05}, true, {0, 0, 0, 0, 9}, 0, GO_ON},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Pentanomial p;
        for (int i = 0; i < 5; ++i) p.count[i] = c.count[i];
        const SprtState st =
            c.paired ? sprt(c.s, p) : sprt(c.s, Trinomial{c.count[0], c.count[1], c.count[2]});
        EXPECT_NEAR(st.llr, c.llr, 1e-5);
        EXPECT_EQ(st.verdict, c.verdict);
        std::string why;
        EXPECT_EQ(check_sprt_settings(c.s, why), st.upper > 0);
    }
}

TEST(Sprt, BoundsAndText) {
    // ln(0.1 / 0.95) = -2.25129, ln(0.9 / 0.05) = 2.89037.
    const SprtState st = sprt(SprtSettings{0, 5, 0.05, 0.1}, Trinomial{});
    EXPECT_NEAR(st.lower, -2.25129, 1e-5);
    EXPECT_NEAR(st.upper, 2.89037, 1e-5);
    EXPECT_EQ(format_sprt(sprt(SprtSettings{}, Trinomial{0, 1, 0})),
              "LLR 0.00 [-2.94, 2.94] continue");
    EXPECT_STREQ(verdict_name(H0), "H0 accepted");
    EXPECT_STREQ(verdict_name(H1), "H1 accepted");
}

} // namespace
