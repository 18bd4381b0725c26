// Score, Elo, interval and LOS of single games and of game pairs, against hand computation.
// Notation: s score, c interior (mean of x(1 - x) over results x on the 0..1 scale),
// c' = c n / (n + 1), k = 1.96^2 / n; the interval is the p with (s - p)^2 <= k (p(1 - p) - c');
// Elo(p) = 400 log10(p / (1 - p)).
#include "statistics.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using namespace matchtools;

constexpr double NONE = 1e9; // an unbounded end or an Elo that is no number

double value_of(const Bound& b) {
    return b.bounded ? b.value : NONE;
}

struct Expected {
    double score, elo, low, high, los, draw_ratio;
    const char* text;
};

void check(const EloEstimate& e, const Expected& x, long long games) {
    EXPECT_EQ(e.games, games);
    EXPECT_NEAR(e.score, x.score, 1e-9);
    EXPECT_NEAR(value_of(e.elo), x.elo, 0.01);
    EXPECT_NEAR(value_of(e.low), x.low, 0.01);
    EXPECT_NEAR(value_of(e.high), x.high, 0.01);
    EXPECT_NEAR(e.los, x.los, 1e-6);
    EXPECT_NEAR(e.draw_ratio, x.draw_ratio, 1e-12);
    EXPECT_EQ(format_elo(e), x.text);
    // Unbounded ends carry their side's infinity, so comparisons still order them.
    EXPECT_LT(e.low.value, e.high.value);
}

TEST(Statistics, SingleGames) {
    struct Case {
        Trinomial t;
        Expected x;
    } cases[] = {
        // s = (60 + 10) / 100 = 0.70, Elo = 400 log10(0.7 / 0.3) = +147.19; c = 20/4/100 =
        // 0.05, c' = 0.0495; roots of 1.038415 p^2 - 1.438415 p + 0.49 + 0.038415 * 0.0495:
        // p = 0.615193 (Elo +81.51), 0.770009 (Elo +209.91). LOS = Phi((60 - 20) / sqrt(80))
        // = Phi(4.472) = 0.9999961.
        {{60, 20, 20}, {0.70, 147.19, 81.51, 209.91, 0.9999961, 0.2, "+147.2 [+81.5, +209.9]"}},
        // No draws: s = 0.6, Elo +70.44; c = 0, p = 0.461814 (-26.59), 0.723916 (+167.46);
        // LOS = Phi(10 / sqrt(50)) = Phi(1.41421) = 0.9213504. With no draws the interval is
        // symmetric in Elo (the roots' odds multiply to (s / (1 - s))^2).
        {{30, 0, 20}, {0.6, 70.44, -26.59, 167.46, 0.9213504, 0, "+70.4 +- 97.0"}},
        // All wins: Elo and upper end unbounded; lower end Wilson's n / (n + 1.96^2) =
        // 10 / 13.8415 = 0.722467, Elo +166.20; LOS = Phi(10 / sqrt(10)) = Phi(3.1623).
        {{10, 0, 0}, {1, NONE, 166.20, NONE, 0.9992173, 0, "+inf (unbounded) [+166.2, unbounded]"}},
        {{0, 0, 10},
         {0, NONE, NONE, -166.20, 0.0007827, 0, "-inf (unbounded) [unbounded, -166.2]"}},
        // All draws: c = 1/4, c' = 10/44; (p - 1/2)^2 (1 + k) <= k (1/4 - 10/44), k = 0.384146
        // -> |p - 1/2| <= 0.079420, Elo +-55.66 (not +-0: ten draws do not prove equality).
        {{0, 10, 0}, {0.5, 0, -55.66, 55.66, 0.5, 1, "+0.0 +- 55.7"}},
        // No games: nothing known.
        {{0, 0, 0}, {0.5, 0, NONE, NONE, 0.5, 0, "no games"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.t.wins) + "/" + std::to_string(c.t.draws) + "/" +
                     std::to_string(c.t.losses));
        check(estimate(c.t), c.x, games_of(c.t));
    }
}

TEST(Statistics, GamePairs) {
    struct Case {
        long long count[5];
        Trinomial games;
        Expected x;
    } cases[] = {
        // Pairs [5, 20, 40, 25, 10] at 0, 1/4, 1/2, 3/4, 1: s = (5 + 20 + 18.75 + 10) / 100 =
        // 0.5375, Elo +26.11; c = (3/16 (20 + 25) + 1/4 40) / 100 = 0.184375; interval
        // p = 0.486664 (-9.27), 0.585561 (+60.04); variance 0.353125 - 0.5375^2 = 0.0642188,
        // plus c / 101 = 0.0660442, LOS = Phi(0.0375 / sqrt(0.0660442 / 100)) = 0.9277445.
        // The 200 games' draw ratio comes from their own count.
        {{5, 20, 40, 25, 10},
         {70, 50, 80},
         {0.5375, 26.11, -9.27, 60.04, 0.9277445, 0.25, "+26.1 [-9.3, +60.0]"}},
        // Ten pairs won 2-0: as ten wins of a single unit, lower end +166.20, LOS 1.
        {{0, 0, 0, 0, 10},
         {20, 0, 0},
         {1, NONE, 166.20, NONE, 1, 0, "+inf (unbounded) [+166.2, unbounded]"}},
        // Ten pairs of one point each (split or drawn): as ten draws, +-55.66.
        {{0, 0, 10, 0, 0}, {10, 0, 10}, {0.5, 0, -55.66, 55.66, 0.5, 0, "+0.0 +- 55.7"}},
    };
    for (const Case& c : cases) {
        Pentanomial p;
        for (int i = 0; i < 5; ++i) p.count[i] = c.count[i];
        SCOPED_TRACE(format_pentanomial(p));
        check(estimate(p, c.games), c.x, 2 * pair_count(p));
    }
}

TEST(Statistics, ViewsAndFigures) {
    // The other engine's view mirrors everything.
    const Trinomial t{7, 2, 1};
    const EloEstimate a = estimate(t), b = estimate(reversed(t));
    EXPECT_NEAR(a.elo.value, -b.elo.value, 1e-9);
    EXPECT_NEAR(a.low.value, -b.high.value, 1e-9);
    EXPECT_NEAR(a.los, 1 - b.los, 1e-12);
    Pentanomial p;
    p.count[0] = 1;
    p.count[3] = 4;
    EXPECT_EQ(format_pentanomial(reversed(p)), "[0, 4, 0, 0, 1]");
    EXPECT_DOUBLE_EQ(pair_points(p), 6);
    // Figures never print a negative zero, a nan or an inf.
    EXPECT_EQ(format_bound(Bound{-0.04, true}), "+0.0");
    EXPECT_EQ(format_bound(elo_of_score(1)), "unbounded");
    EXPECT_NEAR(score_of_elo(elo_of_score(0.3).value), 0.3, 1e-12);
}

} // namespace
