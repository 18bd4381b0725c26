// Search decisions that must not change with tuning: taking the last enemy piece, never
// playing a refused move, and repetitions scored as standstill (sought when behind, avoided
// when ahead).
#include "board/bitboard.h"
#include "search/search.h"

#include <gtest/gtest.h>

namespace {

using namespace orbello_engine;

Position Parse(const char* text) {
    InitTables();
    Position p;
    EXPECT_TRUE(ParsePosition(text, p)) << text;
    return p;
}

SearchLimits Depth(int d) {
    SearchLimits l;
    l.maxDepth = d;
    l.moveTimeMs = 0;
    return l;
}

TEST(Search, TakesTheLastPieceAndKnowsItWins) {
    // Black (1,5) takes White's only piece on (0,4) round the bottom-left arc.
    const Position p = Parse("....../....../....../b...../w...../.b.... b");
    Searcher s(16);
    const SearchResult r = s.Search(p, {}, Depth(4));
    EXPECT_EQ(r.best, MakeMove(Square(1, 5), Square(0, 4), true));
    EXPECT_GT(r.score, WIN_BOUND);
}

TEST(Search, NeverPlaysARefusedMove) {
    const Position p = Parse("....../....../....../b...../w...../.b.... b");
    Searcher s(16);
    const Move capture = MakeMove(Square(1, 5), Square(0, 4), true);
    const SearchResult r = s.Search(p, {}, Depth(3), {capture});
    EXPECT_NE(r.best, capture);
    EXPECT_NE(r.best, NO_MOVE);
    // With every move refused it still offers one rather than nothing.
    Move all[MAX_MOVES];
    const int n = GenerateMoves(p, all);
    EXPECT_NE(s.Search(p, {}, Depth(2), std::vector<Move>(all, all + n)).best, NO_MOVE);
}

TEST(Search, RepetitionIsSoughtWhenBehindAndAvoidedWhenAhead) {
    struct Case {
        const char* position;
        bool ahead;
    };
    // Far apart pieces and no capture in reach: only the material decides.
    for (const Case c : {Case{"b...../....../....../....../....w./...w.w b", false},
                         Case{"b.b.b./....../....../....../....../.....w b", true}}) {
        const Position p = Parse(c.position);
        const Move back = MakeMove(Square(0, 0), Square(1, 0), false);
        // The position after `back` stood two plies before the root's children.
        const std::vector<std::uint64_t> history{0x1234, MakeMoveOn(p, back).key};
        Searcher s(16);
        const SearchResult r = s.Search(p, history, Depth(2));
        if (c.ahead) {
            EXPECT_NE(r.best, back) << c.position;
            EXPECT_GT(r.score, 0);
        } else {
            EXPECT_EQ(r.best, back) << c.position;
            EXPECT_EQ(r.score, 0);
        }
    }
}

} // namespace
