// The engine's levels: every move valued by the level's search (the last piece taken a win,
// a position seen before a standstill, refused moves left out), and the weighted draw.
#include "board/bitboard.h"
#include "search/levels.h"
#include "search/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

using namespace orbello_engine;

Position Parse(const char* text) {
    InitTables();
    Position p;
    EXPECT_TRUE(ParsePosition(text, p)) << text;
    return p;
}

int ValueOf(const std::vector<ValuedMove>& v, Move m) {
    for (const ValuedMove& x : v)
        if (x.move == m) return x.value;
    ADD_FAILURE() << "move not valued";
    return 0;
}

// Black (1,5) can take White's only piece on (0,4) round the bottom-left arc.
const char* const LAST_PIECE = "....../....../....../b...../w...../.b.... b";

TEST(Levels, EveryMoveValuedAtTheLevelsDepth) {
    const Position p = Parse(LAST_PIECE);
    const Move capture = MakeMove(Square(1, 5), Square(0, 4), true);
    Move all[MAX_MOVES];
    const int n = GenerateMoves(p, all);
    // Up to depth 2 a search's value does not depend on what its table and move order have
    // learnt before, so a fresh searcher must agree exactly.
    for (int depth = 1; depth <= 2; ++depth) {
        Searcher s(16), reference(16);
        LevelSettings settings;
        settings.depth = depth;
        const std::vector<ValuedMove> v = ValueMoves(s, p, {}, {}, settings);
        ASSERT_EQ(v.size(), static_cast<std::size_t>(n)) << depth;
        EXPECT_EQ(ValueOf(v, capture), WIN) << depth;
        for (int i = 0; i < n; ++i) {
            if (all[i] == capture) continue;
            const Position child = MakeMoveOn(p, all[i]);
            SearchLimits limits;
            limits.maxDepth = depth - 1;
            limits.moveTimeMs = 0;
            const int expected =
                depth == 1 ? -Evaluate(child) : -reference.Search(child, {p.key}, limits).score;
            EXPECT_EQ(ValueOf(v, all[i]), expected) << "depth " << depth << " move " << i;
        }
    }
}

TEST(Levels, RefusedMovesAndRepetitions) {
    const Position p = Parse("b...../....../....../....../....w./...w.w b");
    const Move back = MakeMove(Square(0, 0), Square(1, 0), false);
    Searcher s(16);
    LevelSettings settings;
    settings.depth = 2;
    // The position after `back` stood two plies before: a standstill, whatever the search.
    const std::vector<ValuedMove> v = ValueMoves(s, p, {MakeMoveOn(p, back).key, 1}, {}, settings);
    EXPECT_EQ(ValueOf(v, back), 0);
    const std::vector<ValuedMove> without = ValueMoves(s, p, {}, {back}, settings);
    EXPECT_EQ(without.size() + 1, v.size());
    for (const ValuedMove& m : without) EXPECT_NE(m.move, back);
}

// Thirty moves at one value and one better: the better value is drawn with weight e^(gap /
// temperature) against 1, however many moves share the other value, which share the rest.
TEST(Levels, DrawWeighsValuesNotMoves) {
    struct Case {
        double temperature;
        int gap;
        double best_share;
    };
    std::vector<ValuedMove> moves;
    for (int i = 1; i <= 31; ++i) moves.push_back(ValuedMove{static_cast<Move>(i), 0});
    moves.back().value = 100;
    for (const Case& c : {Case{100, 100, std::exp(1.0) / (std::exp(1.0) + 1)},
                          Case{25, 100, std::exp(4.0) / (std::exp(4.0) + 1)}, Case{1, 100, 1.0}}) {
        LevelRandom random(3);
        std::map<Move, int> counts;
        const int draws = 20000;
        for (int i = 0; i < draws; ++i) ++counts[PickMove(moves, c.temperature, random)];
        EXPECT_NEAR(counts[31] / double(draws), c.best_share, 0.015) << c.temperature;
        for (int m = 1; m <= 30; ++m)
            EXPECT_NEAR(counts[static_cast<Move>(m)] / double(draws), (1 - c.best_share) / 30,
                        0.003)
                << c.temperature;
    }
    LevelRandom random(3);
    EXPECT_EQ(PickMove({}, 10, random), NO_MOVE);
}

TEST(Levels, DrawsRepeatByTheirSeed) {
    std::vector<ValuedMove> moves;
    for (int i = 1; i <= 20; ++i) moves.push_back(ValuedMove{static_cast<Move>(i), (i % 4) * 10});
    auto sequence = [&](std::uint64_t seed) {
        LevelRandom random(seed);
        std::vector<Move> picks;
        for (int i = 0; i < 50; ++i) picks.push_back(PickMove(moves, 20, random));
        return picks;
    };
    EXPECT_EQ(sequence(7), sequence(7));
    EXPECT_NE(sequence(7), sequence(8));
}

} // namespace
