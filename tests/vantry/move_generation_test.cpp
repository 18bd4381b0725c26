// Candidate lines: which step answers, in which order, and never a drawn line.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "search/move_generation.h"
#include "search/random15.h"
#include "search_fixture.h"

using namespace search_fixture;

namespace {

struct Generated {
    std::vector<Move> moves;
    int few = 0;
};

Generated generate(int move_number) {
    Move list[MAX_MOVES];
    int count = 0;
    Generated g;
    generate_moves(list, count, move_number, g.few);
    g.moves.assign(list, list + count);
    return g;
}

int line_key(const Move& m) {
    return (m.orient * 6 + m.a) * 6 + m.b;
}

// Ten inner lines, no box with more than one side.
const std::initializer_list<Move> quiet_ten = {{0, 1, 3}, {1, 2, 1}, {0, 1, 0}, {0, 5, 0},
                                               {0, 2, 4}, {0, 5, 4}, {1, 4, 2}, {1, 3, 0},
                                               {1, 3, 3}, {1, 2, 3}};

// Every box has two sides, except row 4, whose boxes have only their tops: a chain along
// row 0, two 2 x 2 loops in rows 1 and 2, a pair (1, 0)-(2, 0), a chain along row 3.
const std::initializer_list<Move> two_sided_but_row4 = {
    {0, 0, 0}, {0, 0, 1}, {0, 0, 2}, {0, 0, 3}, {0, 0, 4}, {0, 1, 0}, {0, 1, 1},
    {0, 1, 2}, {0, 1, 3}, {0, 1, 4}, {1, 1, 1}, {1, 2, 1}, {1, 1, 3}, {1, 2, 3},
    {0, 3, 0}, {0, 3, 1}, {0, 3, 2}, {0, 3, 3}, {0, 3, 4}, {1, 1, 5}, {1, 2, 5},
    {0, 4, 0}, {0, 4, 1}, {0, 4, 2}, {0, 4, 3}, {0, 4, 4}};

} // namespace

// The opening draws orient, a, b per attempt until it finds an inner line; replaying the
// draws finds the same line and leaves the generator at the same point.
TEST(MoveGeneration, OpeningDrawsOneInnerLine) {
    for (uint32_t seed : {1u, 2u, 99u, 4242u}) {
        fresh_game();
        seed15(seed);
        Generated g = generate(1);
        ASSERT_EQ(g.moves.size(), 1u);
        const Move m = g.moves[0];
        EXPECT_TRUE(m.orient == 0 ? (m.a >= 1 && m.a <= 4) : (m.b >= 1 && m.b <= 4));
        const int after = rand15();

        seed15(seed);
        Move replay;
        do {
            replay.orient = rand15() % 2;
            replay.a = rand15() % 5;
            replay.b = rand15() % 5;
        } while (replay.orient == 0 ? replay.a == 0 : replay.b == 0);
        EXPECT_EQ(replay, m);
        EXPECT_EQ(rand15(), after);
        EXPECT_EQ(g.few, 0);
    }
}

TEST(MoveGeneration, OpeningLineNeverTouchesABoxWithTwoSides) {
    fresh_game();
    draw({{0, 2, 2}, {1, 2, 2}}); // box (2, 2): top and left
    for (int i = 0; i < 200; ++i) {
        Generated g = generate(3);
        ASSERT_EQ(g.moves.size(), 1u);
        const Move m = g.moves[0];
        EXPECT_FALSE(is_drawn(m));
        if (m.orient == 0) {
            EXPECT_LT(boxes[m.a][m.b].sides, 2);
            EXPECT_LT(boxes[m.a - 1][m.b].sides, 2);
        } else {
            EXPECT_LT(boxes[m.a][m.b].sides, 2);
            EXPECT_LT(boxes[m.a][m.b - 1].sides, 2);
        }
    }
}

TEST(MoveGeneration, DeadEndsComeAloneFirstInScanOrder) {
    fresh_game();
    // Box (0, 0): right, bottom, left drawn; its last side is the top border.
    draw({{1, 0, 1}, {0, 1, 0}, {1, 0, 0}});
    ASSERT_EQ(census.dead_end_count, 1);
    for (int mn : {4, 30}) {
        Generated g = generate(mn);
        ASSERT_EQ(g.moves.size(), 1u);
        EXPECT_EQ(g.moves[0], (Move{0, 0, 0}));
    }
    // A second dead end at (4, 4), open at its bottom border, comes later in scan order.
    draw({{1, 4, 4}, {0, 4, 4}, {1, 4, 5}});
    ASSERT_EQ(census.dead_end_count, 2);
    Generated g = generate(7);
    ASSERT_EQ(g.moves.size(), 1u);
    EXPECT_EQ(g.moves[0], (Move{0, 0, 0}));
}

TEST(MoveGeneration, CaptureWithAndWithoutTheDeclineLine) {
    // B = (0, 1) takeable, behind it N = (0, 0) with two sides: its top border still open.
    fresh_game();
    draw({{0, 1, 0}, {1, 0, 0}, {0, 0, 1}, {0, 1, 1}, {1, 0, 2}});
    ASSERT_EQ(boxes[0][1].capture_mark, 1);
    ASSERT_EQ(boxes[0][0].capture_mark, 2);
    Generated g = generate(6);
    ASSERT_EQ(g.moves.size(), 2u);
    EXPECT_EQ(g.moves[0], (Move{1, 0, 1})); // take
    EXPECT_EQ(g.moves[1], (Move{0, 0, 0})); // decline: hand both boxes over

    // The same with N takeable too: the shared line completes both, so it comes alone.
    fresh_game();
    draw({{0, 0, 1}, {0, 1, 1}, {0, 1, 0}, {1, 0, 0}, {0, 0, 0}, {1, 0, 2}});
    ASSERT_EQ(boxes[0][0].capture_mark, 1);
    ASSERT_EQ(boxes[0][1].capture_mark, 1);
    g = generate(7);
    ASSERT_EQ(g.moves.size(), 1u);
    EXPECT_EQ(g.moves[0], (Move{1, 0, 1}));

    // A long chain opened at its end: only the take, the run goes on.
    fresh_game();
    draw({{0, 0, 1}, {0, 0, 2}, {0, 0, 3}, {0, 1, 1}, {0, 1, 2}, {0, 1, 3}, {1, 0, 1}});
    ASSERT_EQ(boxes[0][1].capture_mark, 1);
    g = generate(8);
    ASSERT_EQ(g.moves.size(), 1u);
    EXPECT_EQ(g.moves[0], (Move{1, 0, 2}));
}

TEST(MoveGeneration, MoveTenIsRandomMoveElevenEnumerates) {
    fresh_game();
    draw(quiet_ten);
    EXPECT_EQ(generate(10).moves.size(), 1u);

    Generated g = generate(11);
    ASSERT_EQ(g.moves.size(), 50u);
    EXPECT_EQ(g.few, 0);
    std::set<int> seen;
    for (const Move& m : g.moves) {
        EXPECT_TRUE(is_undrawn_line(m));
        EXPECT_TRUE(seen.insert(line_key(m)).second) << "listed twice";
    }
    // Inner boxes' lines come first.
    auto touches_inner = [](const Move& m) {
        if (m.orient == 0) return m.b >= 1 && m.b <= 3 && m.a >= 1 && m.a <= 4;
        return m.a >= 1 && m.a <= 3 && m.b >= 1 && m.b <= 4;
    };
    size_t inner = 0;
    for (const Move& m : undrawn_lines()) inner += touches_inner(m);
    ASSERT_GT(inner, 0u);
    for (size_t i = 0; i < g.moves.size(); ++i)
        EXPECT_EQ(touches_inner(g.moves[i]), i < inner) << "entry " << i;
}

// Row 4 decides how many lines step 4 finds: 11 with all of it free, 9, 8, 2 below.
TEST(MoveGeneration, SacrificeOnlyWhenEightOrFewerLinesAreListed) {
    fresh_game();
    draw(two_sided_but_row4);
    Generated g = generate(round1);
    EXPECT_EQ(g.moves.size(), 11u);
    EXPECT_EQ(g.few, 0);

    draw({{1, 4, 0}}); // (4, 0) leaves the free boxes
    g = generate(round1);
    ASSERT_EQ(g.moves.size(), 9u);
    EXPECT_EQ(g.few, 0);
    for (const Move& m : g.moves) EXPECT_TRUE(is_undrawn_line(m));

    draw({{0, 5, 2}}); // so does (4, 2): eight, and the pair (1, 0)-(2, 0) is offered
    g = generate(round1);
    ASSERT_EQ(g.moves.size(), 9u);
    EXPECT_EQ(g.moves.back(), (Move{0, 2, 0}));
    EXPECT_EQ(g.few, 0);

    // Row 4: (4, 0)..(4, 3) a chain, (4, 4) free with its two border lines only.
    fresh_game();
    draw(two_sided_but_row4);
    draw({{0, 5, 0}, {0, 5, 1}, {0, 5, 2}, {0, 5, 3}});
    g = generate(round1);
    ASSERT_EQ(g.moves.size(), 3u);
    EXPECT_EQ(g.moves[0], (Move{0, 5, 4}));
    EXPECT_EQ(g.moves[1], (Move{1, 4, 5}));
    EXPECT_EQ(g.moves[2], (Move{0, 2, 0}));
    EXPECT_EQ(g.few, 1);
}

// Every box has two sides: one long chain from (0, 4) along row 0, down column 0 and along
// row 3, two 2 x 2 loops in rows 1 and 2, and a chain along row 4. The loop that closed first
// is opened.
TEST(MoveGeneration, EqualLoopsOpenTheOneClosedFirst) {
    const std::initializer_list<Move> chains = {
        {0, 0, 0}, {0, 0, 1}, {0, 0, 2}, {0, 0, 3}, {0, 0, 4}, {0, 1, 1}, {0, 1, 2}, {0, 1, 3},
        {0, 1, 4}, {1, 0, 0}, {1, 1, 0}, {1, 2, 0}, {1, 3, 0}, {0, 4, 0}, {0, 4, 1}, {0, 4, 2},
        {0, 4, 3}, {0, 4, 4}, {0, 5, 0}, {0, 5, 1}, {0, 5, 2}, {0, 5, 3}, {0, 5, 4}};
    const std::initializer_list<Move> left_loop = {{1, 1, 1}, {1, 2, 1}, {0, 3, 1},
                                                   {0, 3, 2}, {1, 1, 3}, {1, 2, 3}};
    const std::initializer_list<Move> right_loop = {{0, 3, 3}, {0, 3, 4}, {1, 1, 5}, {1, 2, 5}};
    auto in_rows_1_2 = [](const Move& m, int c0) {
        if (m.orient == 0) return m.a == 2 && (m.b == c0 || m.b == c0 + 1);
        return (m.a == 1 || m.a == 2) && m.b == c0 + 1;
    };

    for (int right_first = 0; right_first < 2; ++right_first) {
        fresh_game();
        draw(chains);
        if (right_first) {
            // {1, 1, 3} and {1, 2, 3} are shared; drawing them last closes the left loop last.
            draw({{0, 3, 1}, {0, 3, 2}, {1, 1, 1}, {1, 2, 1}});
            draw(right_loop);
            draw({{1, 1, 3}, {1, 2, 3}});
        } else {
            draw(left_loop);
            draw(right_loop);
        }
        ASSERT_EQ(round1, 34);
        ASSERT_EQ(census.loop_count, 2);
        ASSERT_EQ(census.loops[0].length, 4);
        ASSERT_EQ(census.loops[1].length, 4);
        ASSERT_EQ(census.pair_count, 0);
        Generated g = generate(round1);
        ASSERT_EQ(g.moves.size(), 1u);
        EXPECT_EQ(g.few, 1);
        EXPECT_TRUE(in_rows_1_2(g.moves[0], right_first ? 3 : 1))
            << g.moves[0].orient << g.moves[0].a << g.moves[0].b;
    }
}

TEST(MoveGeneration, NothingLeftNothingListed) {
    fresh_game();
    for (const Move& m : undrawn_lines()) place_line(OPPONENT, m);
    Generated g = generate(61);
    EXPECT_TRUE(g.moves.empty());
    EXPECT_EQ(g.few, 1);
}

// The box behind the takeable one leads on to a third box M. M takeable too: the take
// alone. M next in a run from the chain's other end: the take, then the line that hands
// the rest over.
TEST(MoveGeneration, CaptureIntoAChainOpenAtBothEnds) {
    // Row 0, boxes (0, 0)..(0, 2) with tops and bottoms; both ends opened.
    fresh_game();
    draw({{0, 0, 0}, {0, 0, 1}, {0, 0, 2}, {0, 1, 0}, {0, 1, 1}, {0, 1, 2}, {1, 0, 0}, {1, 0, 3}});
    ASSERT_EQ(boxes[0][0].capture_mark, 1);
    ASSERT_EQ(boxes[0][2].capture_mark, 1);
    Generated g = generate(round1);
    ASSERT_EQ(g.moves.size(), 1u);
    EXPECT_EQ(g.moves[0], (Move{1, 0, 1}));

    // Four boxes (0, 0)..(0, 3): behind (0, 1) is (0, 2), already next in the run from (0, 3).
    fresh_game();
    draw({{0, 0, 0}, {0, 0, 1}, {0, 0, 2}, {0, 0, 3}, {0, 1, 0}, {0, 1, 1}, {0, 1, 2}, {0, 1, 3}});
    draw({{1, 0, 0}, {1, 0, 4}});
    ASSERT_EQ(boxes[0][0].capture_mark, 1);
    ASSERT_EQ(boxes[0][2].capture_mark, 2);
    g = generate(round1);
    ASSERT_EQ(g.moves.size(), 2u);
    EXPECT_EQ(g.moves[0], (Move{1, 0, 1}));
    EXPECT_EQ(g.moves[1], (Move{1, 0, 2}));
}

// Singles at the two bottom corners: the sacrifice looks at (4, 0) before (4, 4), unlike
// the corner-pair order. Boxes of two sides in the edge passes give no border line.
TEST(MoveGeneration, SinglesAreOfferedInTheirOwnCornerOrder) {
    fresh_game();
    draw(two_sided_but_row4);
    draw({{1, 4, 1}, {1, 4, 4}}); // (4, 0) and (4, 4) singles; (4, 1), (4, 3) two sides
    ASSERT_EQ(census.single_count, 2);
    ASSERT_EQ(boxes[4][0].chain_type, TYPE_SINGLE);
    ASSERT_EQ(boxes[4][4].chain_type, TYPE_SINGLE);
    ASSERT_EQ(census.corner_pair_count, 0);
    Generated g = generate(round1);
    // (4, 2), the one free box: its two links, its bottom border, then the sacrifice.
    const std::vector<Move> expected = {{1, 4, 2}, {1, 4, 3}, {0, 5, 2}, {0, 5, 0}};
    EXPECT_EQ(g.moves, expected);
    EXPECT_EQ(g.few, 0);
}
