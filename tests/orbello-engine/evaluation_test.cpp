// The evaluation: each point counted in the right class, and values that do not depend on
// which of the board's eight symmetries or which colour a position is seen in.
#include "board/bitboard.h"
#include "search/evaluation.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace orbello_engine;

TEST(Evaluation, EachPointCountsInItsClass) {
    struct Case {
        int x, y;
        Term term; // TERM_COUNT: the edge middle, counted by no class
    };
    const Case cases[] = {
        {0, 0, CORNER},         {5, 0, CORNER},         {0, 5, CORNER},
        {5, 5, CORNER},         {1, 0, EDGE_BY_CORNER}, {0, 4, EDGE_BY_CORNER},
        {5, 1, EDGE_BY_CORNER}, {4, 5, EDGE_BY_CORNER}, {1, 1, SMALL_CROSSING},
        {4, 4, SMALL_CROSSING}, {2, 1, MIXED_CROSSING}, {1, 3, MIXED_CROSSING},
        {4, 2, MIXED_CROSSING}, {3, 4, MIXED_CROSSING}, {2, 2, LARGE_CROSSING},
        {3, 3, LARGE_CROSSING}, {2, 0, TERM_COUNT},     {0, 3, TERM_COUNT},
        {5, 2, TERM_COUNT},     {3, 5, TERM_COUNT},
    };
    const Term classes[] = {CORNER, EDGE_BY_CORNER, SMALL_CROSSING, MIXED_CROSSING, LARGE_CROSSING};
    InitTables();
    for (const Case& c : cases) {
        // One piece of the side to move; the other side's count is 0 everywhere.
        for (int side = 0; side < 2; ++side) {
            Position p{};
            p.pieces[side] = Bit(Square(c.x, c.y));
            p.side = side;
            Terms t;
            CountTerms(p, t);
            for (Term k : classes)
                EXPECT_EQ(t.value[k], k == c.term ? 1 : 0)
                    << c.x << "," << c.y << " term " << WEIGHTS[k].name;
            EXPECT_EQ(t.value[PIECE], 1);
            EXPECT_EQ(t.phase, 1);
        }
    }
}

Position Transformed(const Position& p, int symmetry, bool swapColours) {
    std::int8_t cells[6][6], out[6][6];
    ToCells(p, cells);
    for (int x = 0; x < 6; ++x)
        for (int y = 0; y < 6; ++y) {
            int tx = symmetry & 1 ? 5 - x : x, ty = symmetry & 2 ? 5 - y : y;
            if (symmetry & 4) std::swap(tx, ty);
            int v = cells[x][y];
            if (swapColours && v < 2) v = 1 - v;
            out[tx][ty] = static_cast<std::int8_t>(v);
        }
    return FromCells(out, swapColours ? 1 - p.side : p.side);
}

TEST(Evaluation, SameValueUnderSymmetriesAndColourSwap) {
    InitTables();
    std::mt19937 rng(3);
    for (int n = 0; n < 2000; ++n) {
        std::int8_t cells[6][6];
        const int fill = static_cast<int>(rng() % 90) + 5;
        for (auto& column : cells)
            for (auto& v : column)
                v = static_cast<std::int8_t>(static_cast<int>(rng() % 100) < fill ? rng() % 2 : 2);
        const Position p = FromCells(cells, static_cast<int>(rng() % 2));
        const int value = Evaluate(p);
        // Seen from Black, the colour-swapped position is worth the negated value.
        const int blackView = p.side == 0 ? value : -value;
        for (int s = 0; s < 8; ++s) {
            EXPECT_EQ(Evaluate(Transformed(p, s, false)), value) << FormatPosition(p) << " " << s;
            const Position q = Transformed(p, s, true);
            EXPECT_EQ(q.side == 0 ? Evaluate(q) : -Evaluate(q), -blackView)
                << FormatPosition(p) << " swapped, symmetry " << s;
        }
    }
}

} // namespace
