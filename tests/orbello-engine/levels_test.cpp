// The engine's levels: every move valued by the level's search (the last piece taken a win,
// a position seen before a standstill, refused moves left out), and the weighted draw.
#include "board/bitboard.h"
#include "search/levels.h"
#include "search/search.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace orbello_engine;

TEST(Levels, EveryMoveValuedAtTheLevelsDepth) {
    InitTables();
    Position p;
    // Black (1,5) can take White's only piece on (0,4) round the bottom-left arc.
    ASSERT_TRUE(ParsePosition("....../....../....../b...../w...../.b.... b", p));
    const Move capture = MakeMove(Square(1, 5), Square(0, 4), true);
    Move all[MAX_MOVES];
    const int n = GenerateMoves(p, all);
    const Move refused = all[0] != capture ? all[0] : all[1];
    const Move repeats = all[n - 1] != capture ? all[n - 1] : all[n - 2];
    // The position after `repeats` stood two plies before.
    const std::vector<std::uint64_t> history{MakeMoveOn(p, repeats).key, 1};
    // Up to depth 2 a search's value does not depend on what its table and move order
    // learnt before, so a fresh searcher must agree exactly.
    for (int depth = 1; depth <= 2; ++depth) {
        Searcher s(16), reference(16);
        LevelSettings settings;
        settings.depth = depth;
        const std::vector<ValuedMove> v = ValueMoves(s, p, history, {refused}, settings);
        ASSERT_EQ(v.size(), static_cast<std::size_t>(n - 1));
        for (const ValuedMove& m : v) {
            ASSERT_NE(m.move, refused);
            const Position child = MakeMoveOn(p, m.move);
            SearchLimits limits;
            limits.maxDepth = depth - 1;
            limits.moveTimeMs = 0;
            const int expected =
                m.move == capture   ? WIN
                : m.move == repeats ? 0
                : depth == 1        ? -Evaluate(child)
                             : -reference.Search(child, {history[0], 1, p.key}, limits).score;
            EXPECT_EQ(m.value, expected) << "depth " << depth;
        }
    }
}

// Thirty moves at one value and one 100 better: at T 100 the better value is drawn with
// weight e against 1, however many moves share the other value.
TEST(Levels, DrawWeighsValuesNotMoves) {
    std::vector<ValuedMove> moves;
    for (int i = 1; i <= 31; ++i)
        moves.push_back(ValuedMove{static_cast<Move>(i), i == 31 ? 100 : 0});
    LevelRandom random(3);
    int hits = 0;
    for (int i = 0; i < 20000; ++i) hits += PickMove(moves, 100, random) == 31;
    EXPECT_NEAR(hits / 20000.0, 1 / (1 + std::exp(-1.0)), 0.015);
}

} // namespace
