#include "search/evaluation.h"

namespace orbello_engine {

// Fitted by orbello-tools/tuner to the results of the engine's own games (see the README's
// "How the engine was tuned"); orbello-tuner fit prints this table.
// clang-format off
const TermWeight WEIGHTS[TERM_COUNT] = {
    {"PIECE", 71, 85},
    {"CORNER", 58, 43},
    {"EDGE_BY_CORNER", -17, 26},
    {"SMALL_CROSSING", 5, 16},
    {"MIXED_CROSSING", -2, 37},
    {"LARGE_CROSSING", 21, 18},
    {"STEP", -1, 8},
    {"ROUTE", 16, 4},
    {"DEFENDED", 6, 14},
    {"HANGING_OWN", -19, 6},
    {"HANGING_THEIRS", -2, 12},
    {"TEMPO", 7, 0},
};
// clang-format on

namespace {

// Points whose distances to the nearest two edges are {a, b}: the board's eight symmetries
// map each such set onto itself.
constexpr Bits PointsAt(int a, int b) {
    Bits set = 0;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const int dx = x < 3 ? x : 5 - x, dy = y < 3 ? y : 5 - y;
            if ((dx == a && dy == b) || (dx == b && dy == a)) set |= Bits{1} << (y * 6 + x);
        }
    return set;
}

struct PointSet {
    Term term;
    Bits points;
};
constexpr PointSet POINT_SETS[] = {
    {CORNER, PointsAt(0, 0)},         {EDGE_BY_CORNER, PointsAt(0, 1)},
    {SMALL_CROSSING, PointsAt(1, 1)}, {MIXED_CROSSING, PointsAt(1, 2)},
    {LARGE_CROSSING, PointsAt(2, 2)},
};

} // namespace

void CountTerms(const Position& p, Terms& out) {
    const Bits empty = ALL_SQUARES & ~p.Occupied();
    int count[2][TERM_COUNT] = {};
    Bits attacks[2] = {0, 0}, defends[2] = {0, 0};
    for (int c = 0; c < 2; ++c) {
        const Bits own = p.pieces[c];
        count[c][PIECE] = PopCount(own);
        for (const PointSet& s : POINT_SETS) count[c][s.term] = PopCount(own & s.points);
        for (Bits b = own; b; b &= b - 1) {
            const int sq = LowestSquare(b);
            count[c][STEP] += PopCount(StepTargets(sq) & empty);
            const Bits reach = LoopReach(p, sq);
            count[c][ROUTE] += PopCount(reach & p.pieces[1 - c]);
            attacks[c] |= reach & p.pieces[1 - c];
            defends[c] |= reach & own;
        }
    }
    for (int c = 0; c < 2; ++c) count[c][DEFENDED] = PopCount(p.pieces[c] & defends[c]);
    const int us = p.side, them = 1 - us;
    for (int t = 0; t < TERM_COUNT; ++t) out.value[t] = count[us][t] - count[them][t];
    // The side to move can save one attacked piece, the other side none of them.
    const int ownHanging = PopCount(p.pieces[us] & attacks[them] & ~defends[us]);
    out.value[HANGING_OWN] = ownHanging > 0 ? ownHanging - 1 : 0;
    out.value[HANGING_THEIRS] = PopCount(p.pieces[them] & attacks[us] & ~defends[them]);
    out.value[TEMPO] = 1;
    const int pieces = PopCount(p.Occupied());
    out.phase = pieces < PHASE_MAX ? pieces : PHASE_MAX;
}

int Evaluate(const Position& p) {
    Terms t;
    CountTerms(p, t);
    int opening = 0, ending = 0;
    for (int i = 0; i < TERM_COUNT; ++i) {
        opening += t.value[i] * WEIGHTS[i].opening;
        ending += t.value[i] * WEIGHTS[i].ending;
    }
    return (opening * t.phase + ending * (PHASE_MAX - t.phase)) / PHASE_MAX;
}

} // namespace orbello_engine
