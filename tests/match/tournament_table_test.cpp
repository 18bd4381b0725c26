// Ratings of a field and its tables, on fields whose maximum-likelihood ratings follow by
// hand: two engines (the difference is the match's Elo), a gauntlet (no cycles, so every
// pairing is fitted exactly), and an engine that lost every game (rated apart).
#include "tournament_table.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using namespace matchtools;

PairingResult game(int a, int b, long long w, long long d, long long l) {
    return PairingResult{a, b, {w, d, l}, {}};
}

TEST(TournamentTable, RatingsOfHandSolvedFields) {
    struct Case {
        const char* what;
        int engines;
        std::vector<PairingResult> results;
        std::vector<int> group;
        std::vector<double> elo, error;
    } cases[] = {
        // 60/20/20: D = +147.19, so +-73.60 about the mean. Error of D by the delta method:
        // sqrt((0.16 + 0.05/101) / 100) / (ln10/400 * 0.7 * 0.3) = 0.0400619 / 0.00120887 =
        // 33.140, half of it for each engine.
        {"two engines", 2, {game(0, 1, 60, 20, 20)}, {0, 0}, {73.60, -73.60}, {16.570, 16.570}},
        // Engine 0 meets 1 (60/20/20, D = 147.19) and 2 (30/40/30, D = 0) only: r0 - r1 =
        // 147.19, r0 = r2, mean 0: r0 = r2 = +49.06, r1 = -98.13. Given in either order.
        {"gauntlet",
         3,
         {game(0, 1, 60, 20, 20), game(2, 0, 30, 40, 30)},
         {0, 0, 0},
         {49.06, -98.13, 49.06},
         {}},
        // Engine 2 lost all its games: the others are rated as without it, it stands alone;
        // engine 3 never played; a pairing out of range or with itself is left out.
        {"apart",
         5,
         {game(0, 1, 60, 20, 20), game(2, 0, 0, 0, 8), game(1, 2, 4, 0, 0), game(0, 7, 1, 0, 0),
          game(1, 1, 1, 0, 0)},
         {0, 0, 1, -1, -1},
         {73.60, -73.60, 0, 0, 0},
         {}},
        // A field with a cycle, no closed form: checked below by the likelihood's condition.
        {"round robin",
         3,
         {game(0, 1, 12, 4, 4), game(0, 2, 14, 2, 4), game(1, 2, 9, 2, 9)},
         {0, 0, 0},
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<FieldRating> f = rate_field(c.engines, c.results);
        ASSERT_EQ(f.size(), c.group.size());
        // At the maximum every engine's expected points within its group are its points.
        std::vector<double> expected(f.size(), 0.0), scored(f.size(), 0.0);
        for (const PairingResult& p : c.results) {
            if (p.b >= c.engines || p.a == p.b || f[p.a].group != f[p.b].group) continue;
            const double n = static_cast<double>(games_of(p.a_view));
            const double q = score_of_elo(f[p.a].elo - f[p.b].elo);
            expected[p.a] += n * q;
            expected[p.b] += n * (1 - q);
            scored[p.a] += p.a_view.wins + 0.5 * p.a_view.draws;
            scored[p.b] += p.a_view.losses + 0.5 * p.a_view.draws;
        }
        for (size_t i = 0; i < f.size(); ++i) {
            EXPECT_EQ(f[i].group, c.group[i]) << i;
            EXPECT_NEAR(expected[i], scored[i], 1e-6) << i;
            if (!c.elo.empty()) {
                EXPECT_NEAR(f[i].elo, c.elo[i], 0.01) << i;
            }
            if (!c.error.empty()) {
                EXPECT_NEAR(f[i].error, c.error[i], 0.01) << i;
            }
        }
    }
}

TEST(TournamentTable, PairedGamesSpreadLessThanTheirGames) {
    // The same 40 games (20 wins, 20 losses), paired as 20 split pairs, leave the difference
    // at 0 and its error smaller than unpaired.
    PairingResult single = game(0, 1, 20, 0, 20), paired = single;
    paired.pairs.count[2] = 20;
    const std::vector<FieldRating> a = rate_field(2, {single}), b = rate_field(2, {paired});
    EXPECT_NEAR(b[0].elo, 0, 1e-9);
    EXPECT_LT(b[0].error, a[0].error / 2);
}

TEST(TournamentTable, Tables) {
    const std::vector<std::string> labels{"alpha", "beta", "gamma", "idle"};
    const std::vector<PairingResult> r{{1, 0, {6, 0, 14}, {}},
                                       {0, 2, {19, 0, 1}, {}},
                                       {1, 2, {1, 1, 0}, {}},
                                       {2, 1, {0, 0, 2}, {}}};
    const std::string cross = crosstable(labels, r), elo = elo_table(labels, r);
    // By score: alpha 33/40, beta 9.5/24, gamma 1.5/24; "." on the diagonal, "-" unplayed,
    // both results of beta against gamma added (1.5 + 2 points of 4 games).
    EXPECT_NE(cross.find("1  alpha       .  14/20  19/20      -        33      40   82.5%"),
              std::string::npos)
        << cross;
    EXPECT_NE(cross.find("2  beta     6/20      .  3.5/4      -       9.5      24   39.6%"),
              std::string::npos)
        << cross;
    EXPECT_NE(cross.find("4  idle        -      -      -      .         0       0       -"),
              std::string::npos)
        << cross;
    EXPECT_NE(elo.find("relative to the field's mean, 0"), std::string::npos) << elo;
    EXPECT_NE(elo.find("4  idle           -  no games               0       -"), std::string::npos)
        << elo;
    // Gamma loses every game to alpha and beta but one: one field. Without that half point
    // gamma stands apart, and the table says from whom.
    const std::vector<PairingResult> apart{
        {1, 0, {6, 0, 14}, {}}, {0, 2, {20, 0, 0}, {}}, {1, 2, {4, 0, 0}, {}}};
    const std::string groups = elo_table(labels, apart);
    EXPECT_NE(groups.find("relative to each group's mean"), std::string::npos) << groups;
    EXPECT_NE(groups.find("alone in its group"), std::string::npos) << groups;
    EXPECT_NE(groups.find("group 1 took every point of its 24 games against group 2"),
              std::string::npos)
        << groups;
}

} // namespace
