// The strong player's exact solver against the independent judge (dab-tools/solver), and
// positions whose values the long-chain theory gives.
#include <gtest/gtest.h>

#include <random>
#include <vector>
#include <sstream>
#include <string>

#include "dab_board.h"
#include "dab_solver.h"
#include "endgame/geometry.h"
#include "endgame/solver.h"
#include "strong/middle_game.h"

namespace {

uint64_t line_bit(const std::string& code) {
    int line = dabtools::parse_line_code(code.c_str());
    EXPECT_GE(line, 0) << code;
    return uint64_t{1} << line;
}

// Every line drawn except the given codes.
uint64_t all_but(const std::string& codes) {
    uint64_t drawn = strong::ALL_LINES;
    std::istringstream in(codes);
    for (std::string c; in >> c;) drawn &= ~line_bit(c);
    return drawn;
}

// Random lines (safe ones first while any is left, when safe_first) down to `left` undrawn.
uint64_t random_position(std::mt19937& rng, int left, bool safe_first) {
    uint64_t drawn = 0;
    for (int open = strong::LINES; open > left; --open) {
        int pick[strong::LINES], n = 0;
        for (int l = 0; l < strong::LINES; ++l)
            if (!(drawn >> l & 1) && (!safe_first || strong::is_safe(drawn, l))) pick[n++] = l;
        if (n == 0) {
            if (left == 0) break;
            safe_first = false;
            ++open;
            continue;
        }
        drawn |= uint64_t{1} << pick[rng() % static_cast<uint32_t>(n)];
    }
    return drawn;
}

struct RandomCase {
    const char* what;
    int left;        // undrawn lines; 0: play safe lines until none is left
    bool safe_first; // safe lines first, as real games go
    bool pure_judge; // the judge tries every line, with no rule at all
    int count;
    uint32_t seed;
    int extra = 0; // then 1 to extra lines more at random: boxes to take, chains opened
};

void PrintTo(const RandomCase& c, std::ostream* os) {
    *os << c.what;
}

class RandomPositions : public ::testing::TestWithParam<RandomCase> {};

// Same value as the judge, and the line it picks reaches that value by the judge's count.
TEST_P(RandomPositions, SolverAgreesWithTheJudge) {
    const RandomCase& c = GetParam();
    std::mt19937 rng(c.seed);
    strong::EndgameSolver solver(18);
    for (int i = 0; i < c.count; ++i) {
        uint64_t drawn = random_position(rng, c.left, c.safe_first);
        for (int k = c.extra > 0 ? 1 + static_cast<int>(rng() % c.extra) : 0;
             k > 0 && drawn != strong::ALL_LINES; --k) {
            int line;
            do line = static_cast<int>(rng() % strong::LINES);
            while (drawn >> line & 1);
            drawn |= uint64_t{1} << line;
        }
        dabtools::ExactSolver judge(c.pure_judge);
        strong::SolveResult r = solver.solve(drawn);
        ASSERT_TRUE(r.solved);
        const int best = judge.value(drawn);
        ASSERT_EQ(r.value, best) << c.what << " #" << i << " drawn " << std::hex << drawn;
        ASSERT_EQ(judge.value_of_line(drawn, r.line), best)
            << c.what << " #" << i << " line " << dabtools::line_code(r.line);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Endgames, RandomPositions,
    ::testing::Values(
        // Small enough for a judge with no rule: also checks the judge's own take-at-once rule.
        RandomCase{"any 12 lines left", 12, false, true, 300, 1},
        RandomCase{"safe-first 14 lines left", 14, true, true, 200, 2},
        RandomCase{"safe-first 20 lines left", 20, true, false, 150, 3},
        RandomCase{"no safe line left", 0, true, false, 150, 4},
        // Chains opened and boxes to take amid junctions: the capture and chain rules.
        RandomCase{"no safe line then more lines", 0, true, false, 80, 6, 4},
        RandomCase{"safe-first 24 lines left then more", 24, true, false, 100, 7, 6},
        RandomCase{"any 26 lines left", 26, false, false, 60, 5}),
    [](const ::testing::TestParamInfo<RandomCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

// Components cut out of an otherwise finished board. Row chains run between the border
// lines of a box row; the loop is the 2 x 2 block of rows 0-1, columns 3-4.
const char* ROW3 = "BAD BBD BCD BDD BED BFD ";
const char* ROW4 = "BAE BBE BCE BDE BEE BFE ";
const char* LOOP = "ABD ABE BEA BEB ";

struct TheoryCase {
    const char* what;
    std::string undrawn;
    int value;        // margin of the untaken boxes for the player to move
    const char* line; // the one best line, or nullptr when any best line will do
};

void PrintTo(const TheoryCase& c, std::ostream* os) {
    *os << c.what;
}

class TheoryPositions : public ::testing::TestWithParam<TheoryCase> {};

TEST_P(TheoryPositions, ValueAndReply) {
    const TheoryCase& c = GetParam();
    uint64_t drawn = all_but(c.undrawn);
    strong::EndgameSolver solver(16);
    strong::SolveResult r = solver.solve(drawn);
    ASSERT_TRUE(r.solved);
    EXPECT_EQ(r.value, c.value) << c.what;
    dabtools::ExactSolver judge;
    EXPECT_EQ(judge.value(drawn), c.value) << c.what << " (judge)";
    if (c.line) {
        EXPECT_EQ(dabtools::line_code(r.line), c.line) << c.what;
    } else {
        // Untouched chains and loops: keeping control is best, so the value is the
        // controlled value the middle game counts with.
        EXPECT_EQ(strong::controlled_value(drawn), -c.value) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    LongChainTheory, TheoryPositions,
    ::testing::Values(
        // The player to move opens the only component; the other takes it all.
        TheoryCase{"single long chain", ROW4, -5, nullptr},
        TheoryCase{"single loop", LOOP, -4, nullptr},
        // Opening the loop first costs least: taken whole (4 - 5) or declined (-4 + 5).
        TheoryCase{"chain plus loop", std::string(ROW4) + LOOP, -1, nullptr},
        // Opened chain declined: 5 - 4 + 5 for the controller.
        TheoryCase{"two long chains", std::string(ROW3) + ROW4, -6, nullptr},
        // Two boxes left of an opened chain, a chain of five to come: hand them back with the
        // far line (-2 + 5) rather than take them and open the chain (2 - 5).
        TheoryCase{"all-but-two reply", std::string(ROW3) + "BEE BFE", 3, "BFE"},
        // An opened loop of four before two chains of five: decline it whole with the middle
        // line, two double-crosses for the other side (-4 + 6), rather than take it (4 - 6).
        TheoryCase{"all-but-four reply", std::string(ROW3) + ROW4 + "ABE BEA BEB", 2, "ABE"}),
    [](const ::testing::TestParamInfo<TheoryCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

// The board's eight symmetries map every line to a line and back, and the canonical form
// is the same for all images of a position.
TEST(Geometry, SymmetriesArePermutationsWithOneCanonicalForm) {
    const strong::Geometry& g = strong::geometry();
    std::mt19937 rng(9);
    for (int s = 0; s < strong::SYMMETRIES; ++s)
        for (int l = 0; l < strong::LINES; ++l) EXPECT_EQ(g.inverse[s][g.symmetry[s][l]], l);
    for (int i = 0; i < 50; ++i) {
        uint64_t drawn = random_position(rng, 30, false);
        int sym;
        uint64_t c = strong::canonical(drawn, sym);
        EXPECT_EQ(strong::apply_symmetry(drawn, sym), c);
        for (int s = 0; s < strong::SYMMETRIES; ++s) {
            int other;
            EXPECT_EQ(strong::canonical(strong::apply_symmetry(drawn, s), other), c);
            // Symmetric positions have the same number of boxes each side of a line.
            EXPECT_EQ(__builtin_popcountll(strong::apply_symmetry(drawn, s)),
                      __builtin_popcountll(drawn));
        }
    }
}

} // namespace

namespace {

// A solve cut short by its node limit still reports only what it proved: bounds that hold
// the value, and a line that reaches the lower bound (checked by a solver of its own).
TEST(CutShort, BoundsHoldTheValueAndTheLineReachesTheLowerBound) {
    std::mt19937 rng(41);
    int with_line = 0;
    for (int i = 0; i < 4; ++i) {
        const uint64_t drawn = random_position(rng, 36, true);
        strong::EndgameSolver full(21);
        const strong::SolveResult exact = full.solve(drawn);
        ASSERT_TRUE(exact.solved);
        EXPECT_EQ(exact.lower, exact.value);
        EXPECT_EQ(exact.upper, exact.value);
        for (long long limit : {2000LL, 20000LL, 100000LL, 400000LL}) {
            strong::EndgameSolver cut(21);
            const strong::SolveResult r = cut.solve(drawn, limit);
            EXPECT_LE(r.lower, exact.value) << "limit " << limit;
            EXPECT_GE(r.upper, exact.value) << "limit " << limit;
            if (r.solved) {
                EXPECT_EQ(r.value, exact.value);
            }
            if (r.lower_line < 0) continue;
            ++with_line;
            ASSERT_FALSE(drawn >> r.lower_line & 1);
            const int taken = strong::boxes_completed(drawn, r.lower_line);
            const strong::SolveResult after = full.solve(drawn | uint64_t{1} << r.lower_line);
            ASSERT_TRUE(after.solved);
            EXPECT_GE(taken > 0 ? taken + after.value : -after.value, r.lower) << "limit " << limit;
        }
    }
    EXPECT_GT(with_line, 0); // some cut-short solves did prove a line
}

} // namespace

namespace {

// One solver, its table kept, on a position and then on its images: under each of the
// eight symmetries and with a corner's border lines swapped. The table's entries are
// keyed by images and normal forms, so a line read back from it must be mapped to the
// position at hand: every reply must be an undrawn line that reaches the value.
TEST(TableKeys, ImagesOfASolvedPositionGetTheirOwnOptimalLines) {
    std::mt19937 rng(42);
    strong::EndgameSolver shared(21);
    for (int i = 0; i < 6; ++i) {
        const uint64_t drawn = random_position(rng, 30 + 2 * (i % 3), true);
        const strong::SolveResult first = shared.solve(drawn);
        ASSERT_TRUE(first.solved);
        std::vector<uint64_t> images;
        for (int s = 0; s < strong::SYMMETRIES; ++s)
            images.push_back(strong::apply_symmetry(drawn, s));
        // A corner with exactly one border line drawn, swapped to the other.
        for (const auto& c : strong::CORNER_BORDERS)
            if ((drawn >> c[0] & 1) != (drawn >> c[1] & 1))
                images.push_back(drawn ^ (uint64_t{1} << c[0] | uint64_t{1} << c[1]));
        for (uint64_t image : images) {
            const strong::SolveResult r = shared.solve(image);
            ASSERT_TRUE(r.solved);
            EXPECT_EQ(r.value, first.value);
            ASSERT_GE(r.line, 0);
            ASSERT_FALSE(image >> r.line & 1) << "a drawn line";
            strong::EndgameSolver fresh(21);
            const int taken = strong::boxes_completed(image, r.line);
            const strong::SolveResult after = fresh.solve(image | uint64_t{1} << r.line);
            EXPECT_EQ(taken > 0 ? taken + after.value : -after.value, first.value);
        }
    }
}

} // namespace
