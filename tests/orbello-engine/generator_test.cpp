// The engine's generator against the rules core: perft tables from positions chosen for
// captures across arcs, around both loops, through crossing points and from corners, and
// every legal move (no other) over random positions, with the incremental board state.
#include "board/bitboard.h"
#include "rules/rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

using namespace orbello_engine;

struct PerftCase {
    const char* what;
    const char* position;
    std::vector<std::uint64_t> counts; // depth 1, 2, ...
};

const PerftCase PERFT_CASES[] = {
    {"start", "bbbbbb/bbbbbb/....../....../wwwwww/wwwwww b", {16, 256, 5382, 111122}},
    {"shortest capture, round the bottom-left arc",
     "....../....../....../....../w...../.b.... b",
     {5, 20, 109, 583}},
    {"pieces on crossing points of both loops",
     ".b..../....../.w..../.b..w./.w..b./...... b",
     {22, 525, 10464, 218692}},
    {"corner pieces: uncapturable, capturing from the arc",
     "b...../w..b../....../...w../....../.....w b",
     {13, 195, 2212, 34706}},
    {"large-loop crossings contested",
     "..b.../.w..../..wb../..bw../....w./...... w",
     {24, 434, 10728, 197728}},
    {"small-loop crossings, White to move",
     "....../.w..w./....../....../.b..b./w....w w",
     {22, 338, 7138, 98186}},
    {"middle game", "b..b.b/.b.bb./.bw.../..b.w./.w..ww/w.ww.w b", {36, 1193, 41462}},
    {"sparse middle game", "....b./.b.w../b..b../..w..w/.b..w./w....b w", {30, 1009, 28196}},
};

TEST(Perft, EngineAndRulesCoreCountTheTable) {
    InitTables();
    for (const PerftCase& c : PERFT_CASES) {
        Position p;
        ASSERT_TRUE(ParsePosition(c.position, p)) << c.what;
        EXPECT_EQ(FormatPosition(p), c.position);
        for (std::size_t d = 1; d <= c.counts.size(); ++d) {
            EXPECT_EQ(Perft(p, static_cast<int>(d)), c.counts[d - 1]) << c.what << " depth " << d;
            orbello_rules::Cells cells;
            ToCells(p, cells);
            EXPECT_EQ(orbello_rules::Perft(cells, p.side, static_cast<int>(d)), c.counts[d - 1])
                << c.what << " (rules core) depth " << d;
        }
    }
}

TEST(Perft, NotationRejectsMalformedPositions) {
    Position p;
    for (const char* bad : {"", "bbbbbb/bbbbbb/....../....../wwwwww/wwwwww",
                            "bbbbbb/bbbbbb/....../....../wwwwww/wwwwww x",
                            "bbbbbb/bbbbbb/....../....../wwwwww/wwwwwww b",
                            "bbbbbb/bbbbbb/...../......./wwwwww/wwwwww b",
                            "bbbbbb bbbbbb/....../....../wwwwww/wwwwww b",
                            "bbbbbb/bbbbbb/..x.../....../wwwwww/wwwwww b",
                            "bbbbbb/bbbbbb/....../....../wwwwww/wwwwww b "})
        EXPECT_FALSE(ParsePosition(bad, p)) << bad;
}

TEST(Generator, EveryLegalMoveAndNoOtherOverRandomPositions) {
    InitTables();
    std::mt19937 rng(12);
    std::vector<orbello_rules::Move> expected;
    for (int n = 0; n < 4000; ++n) {
        // Densities from nearly empty to nearly full, so walks meet anything from nothing to
        // a blocker on the next entry.
        const int fill = static_cast<int>(rng() % 100);
        orbello_rules::Cells cells;
        for (int x = 0; x < 6; ++x)
            for (int y = 0; y < 6; ++y)
                cells[x][y] = static_cast<std::int8_t>(
                    static_cast<int>(rng() % 100) < fill ? static_cast<int>(rng() % 2) : EMPTY);
        const int side = static_cast<int>(rng() % 2);
        const Position p = FromCells(cells, side);
        orbello_rules::LegalMoves(cells, side, expected);

        Move moves[MAX_MOVES];
        const int count = GenerateMoves(p, moves);
        std::vector<std::pair<int, int>> got, want;
        for (int i = 0; i < count; ++i) {
            got.emplace_back(MoveFrom(moves[i]), MoveTo(moves[i]));
            EXPECT_EQ(IsCapture(moves[i]), (p.pieces[1 - side] & Bit(MoveTo(moves[i]))) != 0);
        }
        for (const orbello_rules::Move& m : expected)
            want.emplace_back(Square(m.fromX, m.fromY), Square(m.toX, m.toY));
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        ASSERT_EQ(got, want) << FormatPosition(p);

        Move captures[MAX_MOVES];
        const int c = GenerateMoves(p, captures, true);
        EXPECT_EQ(c, std::count_if(moves, moves + count, IsCapture)) << FormatPosition(p);

        // Each move made incrementally gives the board, circuits and key built from scratch.
        for (int i = 0; i < count; ++i) {
            const Position q = MakeMoveOn(p, moves[i]);
            orbello_rules::Cells after;
            std::copy(&cells[0][0], &cells[0][0] + 36, &after[0][0]);
            MoveRecord r{SquareX(MoveFrom(moves[i])),
                         SquareY(MoveFrom(moves[i])),
                         SquareX(MoveTo(moves[i])),
                         SquareY(MoveTo(moves[i])),
                         false,
                         side};
            orbello_rules::ApplyMove(after, r);
            const Position fresh = FromCells(after, 1 - side);
            ASSERT_EQ(q.pieces[0], fresh.pieces[0]);
            ASSERT_EQ(q.pieces[1], fresh.pieces[1]);
            ASSERT_EQ(q.circuit[0], fresh.circuit[0]);
            ASSERT_EQ(q.circuit[1], fresh.circuit[1]);
            ASSERT_EQ(q.key, fresh.key);
            EXPECT_EQ(r.captured, IsCapture(moves[i]));
        }
    }
}

} // namespace
