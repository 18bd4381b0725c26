// Static values: the decided-game value, the empty board for either opener, how free boxes
// touching long chains move the control term, and the parity of a negative sum.
#include <gtest/gtest.h>

#include "model/box_sets.h"
#include "search/evaluation.h"
#include "search_fixture.h"

using namespace search_fixture;

namespace {

// The control formula for the engine to move, with the terms worked out by hand.
int engine_value(bool matched, int cc, int jb, int opp, int own, int de) {
    return matched ? 3 * (cc + 2502 - 2 * opp - 2 * jb) + 7 * (own + de)
                   : 3 * (2 * (jb - opp) + 2498 - cc) + 7 * (own + de);
}

} // namespace

TEST(Evaluation, FewLinesUseTheDecidedValue) {
    fresh_game();
    score_opponent = 3;
    score_engine = 4;
    EXPECT_EQ(evaluate(ENGINE, 1), 7513);
    EXPECT_EQ(evaluate(OPPONENT, 1), -7513);
    EXPECT_EQ(decided_value(ENGINE), 7513);
    EXPECT_EQ(decided_value(OPPONENT), -7513);
    fresh_game();
}

TEST(Evaluation, EmptyBoardDependsOnWhoOpened) {
    fresh_game(0);
    EXPECT_EQ(evaluate(ENGINE, 0), 7506);
    EXPECT_EQ(evaluate(OPPONENT, 0), -7506);
    fresh_game(1);
    EXPECT_EQ(evaluate(ENGINE, 0), 7494);
    EXPECT_EQ(evaluate(OPPONENT, 0), -7494);
    // A line that took two boxes at once turns the parity.
    census.double_cross_count = 1;
    EXPECT_EQ(evaluate(ENGINE, 0), 7506);
    fresh_game();
}

// A chain (1, 0)-(0, 0)-(0, 1) whose two ends both link to the free box (1, 1).
TEST(Evaluation, FreeBoxTouchingOneChainTwice) {
    fresh_game();
    draw({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {1, 0, 2}, {1, 1, 0}, {0, 2, 0}});
    ASSERT_EQ(census.chain_count, 1);
    ASSERT_EQ(boxes[0][0].chain_type, TYPE_CHAIN);
    ASSERT_EQ(boxes[0][1].chain_type, TYPE_CHAIN);
    ASSERT_EQ(boxes[1][0].chain_type, TYPE_CHAIN);
    // cc: three chain boxes and (1, 1); jb: one chain, plus one for the junction.
    EXPECT_EQ(evaluate(ENGINE, 0), engine_value(true, 4, 2, 0, 0, 0));
    engine_second = 1;
    EXPECT_EQ(evaluate(ENGINE, 0), engine_value(false, 4, 2, 0, 0, 0));
}

// Chain A (1, 0)-(0, 0)-(0, 1) and chain B (0, 3)-(0, 4)-(1, 4) both end at the free box
// (0, 2); (1, 1) and (1, 3) each touch one chain.
TEST(Evaluation, FreeBoxJoiningTwoChains) {
    fresh_game();
    draw({{0, 2, 0},
          {1, 1, 0},
          {0, 0, 0},
          {1, 0, 0},
          {0, 0, 1},
          {0, 1, 1},
          {0, 0, 3},
          {0, 1, 3},
          {0, 0, 4},
          {1, 0, 5},
          {1, 1, 5},
          {0, 2, 4}});
    ASSERT_EQ(census.chain_count, 2);
    ASSERT_NE(boxes[0][1].chain_id, boxes[0][3].chain_id);
    ASSERT_EQ(boxes[0][2].sides, 0);
    // cc: six chain boxes, (0, 2), (1, 1), (1, 3); jb: two chains, less one for the junction.
    EXPECT_EQ(evaluate(ENGINE, 0), engine_value(false, 9, 1, 0, 0, 0));
    EXPECT_EQ(evaluate(OPPONENT, 0), -(engine_value(false, 9, 1, 0, 0, 0)));
}

// Set directly: two boxes of different chains with one chain counted; the free boxes (0, 0)
// and (1, 1) each join them, so jb = 1 - 2 = -1, which counts as even.
TEST(Evaluation, NegativeOddSumCountsAsEven) {
    fresh_game();
    set_chain_type(&boxes[0][1], TYPE_CHAIN);
    set_chain_id(&boxes[0][1], 1);
    set_chain_type(&boxes[1][0], TYPE_CHAIN);
    set_chain_id(&boxes[1][0], 2);
    census.chain_count = 1;
    // cc: two chain boxes, (0, 0) and (1, 1) joining them, (0, 2) and (2, 0) touching one.
    EXPECT_EQ(evaluate(ENGINE, 0), engine_value(true, 6, -1, 0, 0, 0));
    EXPECT_EQ(evaluate(ENGINE, 0), 7530);
    fresh_game();
}

// Scores, a free capture and a long chain together, for each side to move and each opener.
// Expected values from the engine's-side form W = 7500 - 6 opp + 7 own +/- (6 + 3 cc - 6 jb)
// + d, with d = 7 de for the engine to move and -6 de for the opponent, negated for the
// opponent: the free capture goes to the side to move at that side's own weight. A pair, a
// dead end and a box of two sides with no code add nothing to either term.
TEST(Evaluation, FreeCaptureAndScoresForEitherSideToMove) {
    for (int opponent_opened = 0; opponent_opened < 2; ++opponent_opened) {
        fresh_game(opponent_opened);
        for (int c = 0; c < 5; ++c) draw({{0, 4, c}, {0, 5, c}}); // chain along row 4
        draw({{1, 0, 1}, {0, 1, 0}, {0, 0, 0}});                  // dead end at (0, 0)
        draw({{0, 0, 3}, {0, 1, 3}, {0, 1, 4}, {0, 0, 4}});       // pair (0, 3)-(0, 4)
        draw({{1, 1, 0}});                                        // (1, 0): two sides, no code
        ASSERT_EQ(census.chain_count, 1);
        ASSERT_EQ(census.dead_end_count, 1);
        ASSERT_EQ(census.pair_count, 1);
        ASSERT_EQ(boxes[1][0].sides, 2);
        ASSERT_EQ(boxes[1][0].chain_type, TYPE_NONE);
        score_opponent = 3;
        score_engine = 2;
        // cc = 5 (the chain's boxes, no free box touches them), jb = 1: odd, so the control
        // term goes with the game the opponent opened.
        const int control = 6 + 3 * 5 - 6 * 1;
        const int sign = opponent_opened ? 1 : -1;
        const int w_engine = 7500 - 6 * 3 + 7 * 2 + sign * control + 7 * 1;
        const int w_opponent = 7500 - 6 * 3 + 7 * 2 + sign * control - 6 * 1;
        EXPECT_EQ(evaluate(ENGINE, 0), w_engine) << "opener " << opponent_opened;
        EXPECT_EQ(evaluate(OPPONENT, 0), -w_opponent) << "opener " << opponent_opened;
    }
    fresh_game();
}
