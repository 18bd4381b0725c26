// Search decisions that must not change with tuning: taking the last enemy piece, wins and
// losses scored by their distance whatever depth finds them (through the table, the
// quiescence search and the pruning), never playing a refused move, repetitions scored as
// standstill (sought when behind, avoided when ahead), and a clock that stops the search.
#include "board/bitboard.h"
#include "search/search.h"

#include <gtest/gtest.h>

#include <algorithm>

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

TEST(Search, WinsAndLossesKeepTheirDistanceAtEveryDepth) {
    struct Case {
        const char* position;
        int score;     // for the side to move
        int fromDepth; // the first depth checked
    };
    const Case cases[] = {
        {"....../....../....../.b..b./....w./.....w b", WIN - 3, 3},
        {"....../....../b...../....w./....../wb.... b", WIN - 3, 3},
        {".....b/....../.b..../....../..b.../w..... b", WIN - 3, 3},
        {"....../....../.b..../.w..../....../.....w b", -(WIN - 2), 3},
        {"...w../....../....../....../....../.wbw.. b", -(WIN - 2), 3},
        // Ordinary values at depth 4: the iteration that finds the result leaves the window
        // set around them.
        {"..b.../...w../....b./.b..../..w.b./....w. b", WIN - 5, 7},
        {"....wb/...w../...b../.bw.../....../...... b", WIN - 5, 7},
        {"....../wb..../....../....../.w.w../..b... b", -(WIN - 6), 7},
        {"....../..w.wb/.....w/w...b./....../...... b", -(WIN - 6), 7},
    };
    for (const Case& c : cases) {
        const Position p = Parse(c.position);
        // One searcher for all depths, so later searches meet the table's earlier entries.
        Searcher s(16);
        for (int depth = c.fromDepth; depth <= 7; ++depth) {
            const SearchResult r = s.Search(p, {}, Depth(depth));
            EXPECT_EQ(r.score, c.score) << c.position << " depth " << depth;
            if (c.score > 0) {
                // The winning line starts with a move that keeps the win: after it, the
                // other side is lost in two plies less.
                const SearchResult after = Searcher(16).Search(MakeMoveOn(p, r.best), {}, Depth(6));
                EXPECT_EQ(after.score, -(c.score + 1)) << c.position;
            }
        }
    }
}

TEST(Search, ClockStopsADeepSearchWithALegalMove) {
    // No depth limit: only the clock ends these searches, part-way through an iteration.
    for (const char* text : {"bbbbbb/bbbbbb/....../....../wwwwww/wwwwww b",
                             "b..b.b/.b.bb./.bw.../..b.w./.w..ww/w.ww.w b"}) {
        const Position p = Parse(text);
        Searcher s(16);
        SearchLimits limits;
        limits.moveTimeMs = 30;
        const SearchResult r = s.Search(p, {}, limits);
        Move moves[MAX_MOVES];
        const int n = GenerateMoves(p, moves);
        EXPECT_NE(std::find(moves, moves + n, r.best), moves + n) << text;
        EXPECT_LT(r.depth, limits.maxDepth) << text;
    }
}

} // namespace
