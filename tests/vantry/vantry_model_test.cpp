// The position model: init_board, line placement, the chain census, and draw-then-undo.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "model/census.h"
#include "model_fixture.h"

using namespace model_fixture;

namespace {

std::string fault_text() {
    const char* f = model_fault();
    return f ? f : "";
}

// Runs f with standard output captured; returns what it wrote.
template <class F> std::string capture_stdout(F f) {
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    f();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

TEST(InitBoard, EmptyBoardLinksInStartOrder) {
    fresh();
    EXPECT_EQ(box(0, 0).link_count, 2);
    EXPECT_EQ(box(0, 0).links[0], &box(0, 1));
    EXPECT_EQ(box(0, 0).links[1], &box(1, 0));
    EXPECT_EQ(box(0, 2).link_count, 3);
    EXPECT_EQ(box(0, 2).links[0], &box(0, 1));
    EXPECT_EQ(box(0, 2).links[1], &box(0, 3));
    EXPECT_EQ(box(0, 2).links[2], &box(1, 2));
    const Box* inner[] = {&box(2, 1), &box(1, 2), &box(2, 3), &box(3, 2)};
    ASSERT_EQ(box(2, 2).link_count, 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(box(2, 2).links[i], inner[i]);
    EXPECT_EQ(census.next_chain_id, 1);
    EXPECT_EQ(round1, 1);
    EXPECT_EQ(fault_text(), "");
}

TEST(InitBoard, ResetsAHalfPlayedGame) {
    fresh();
    // A chain along the top row opened at its left end: marks 1 and 2 are set.
    draw({h(0, 1), h(0, 2), h(0, 3), h(1, 1), h(1, 2), h(1, 3), v(0, 1)});
    ASSERT_EQ(census.next_in_run_count, 1);
    init_board();
    init_keys();
    for (int i = 0; i < BOX_COUNT; ++i) {
        const Box& x = boxes[i / 5][i % 5];
        EXPECT_EQ(x.sides, 0);
        EXPECT_EQ(x.capture_mark, 0);
        EXPECT_EQ(x.chain_type, TYPE_NONE);
    }
    EXPECT_EQ(census.next_in_run_count, 0);
    EXPECT_EQ(census.capturable_count, 0);
    EXPECT_EQ(census.chain_count, 0);
    EXPECT_EQ(census.next_chain_id, 1);
    EXPECT_EQ(std::string(box_glyph, 25), std::string(25, ' '));
    EXPECT_EQ(fault_text(), "");
}

TEST(PlaceLine, SingleLines) {
    fresh();
    EXPECT_EQ(place_line(OPPONENT, h(0, 2)), 0);
    EXPECT_EQ(box(0, 2).sides, 1);
    EXPECT_EQ(box(0, 2).link_count, 3);
    EXPECT_EQ(hline_glyph[2], '-');

    fresh();
    place_line(ENGINE, h(1, 0));
    EXPECT_EQ(box(1, 0).sides, 1);
    EXPECT_EQ(box(0, 0).sides, 1);
    ASSERT_EQ(box(1, 0).link_count, 2);
    EXPECT_EQ(box(1, 0).links[0], &box(1, 1));
    EXPECT_EQ(box(1, 0).links[1], &box(2, 0));
    ASSERT_EQ(box(0, 0).link_count, 1);
    EXPECT_EQ(box(0, 0).links[0], &box(0, 1));
}

TEST(PlaceLine, LineOpeningALongChainInTheMiddle) {
    fresh();
    for (int c = 0; c < 5; ++c) draw({h(2, c), h(3, c)});
    ASSERT_EQ(census.chain_count, 1);
    EXPECT_EQ(place_line(ENGINE, v(2, 2)), 0);
    EXPECT_EQ(census.chain_count, 0);
    EXPECT_EQ(box(2, 2).capture_mark, 1);
    EXPECT_EQ(box(2, 1).capture_mark, 1);
    EXPECT_EQ(box(2, 3).capture_mark, 2);
    EXPECT_EQ(box(2, 0).capture_mark, 2);
    EXPECT_EQ(census.capturable_count, 2);
    EXPECT_EQ(census.next_in_run_count, 2);
}

TEST(PlaceLine, CaptureRunAlongTheTopRow) {
    fresh();
    draw({h(0, 1), h(0, 2), h(0, 3), h(1, 1), h(1, 2), h(1, 3)});
    ASSERT_EQ(census.chain_count, 1);
    place_line(ENGINE, v(0, 1));
    EXPECT_EQ(box(0, 1).capture_mark, 1);
    EXPECT_EQ(box(0, 2).capture_mark, 2);
    EXPECT_EQ(census.chain_count, 0);
    EXPECT_EQ(census.capturable_count, 1);
    EXPECT_EQ(census.next_in_run_count, 1);

    EXPECT_EQ(place_line(ENGINE, v(0, 2)), 1);
    EXPECT_EQ(box(0, 2).capture_mark, 1);
    EXPECT_EQ(box(0, 3).capture_mark, 2);
    EXPECT_EQ(census.next_in_run_count, 1);
    EXPECT_EQ(census.capturable_count, 1);
    EXPECT_EQ(census.chain_count, 0);
    EXPECT_EQ(score_engine, 1);
    EXPECT_EQ(box_glyph[1], 'c');
}

TEST(PlaceLine, DeadEndCornerTakenByOpponent) {
    fresh();
    draw({v(0, 1), h(1, 0), h(0, 0)});
    EXPECT_EQ(box(0, 0).chain_type, TYPE_DEAD_END);
    EXPECT_EQ(census.dead_end_count, 1);
    EXPECT_EQ(census.capturable_count, 0);
    EXPECT_EQ(place_line(OPPONENT, v(0, 0)), 1);
    EXPECT_EQ(score_opponent, 1);
    EXPECT_EQ(box_glyph[0], 'H');
    EXPECT_EQ(census.dead_end_count, 0);
}

TEST(PlaceLine, DoubleCrossAndCompletingOneOfTwo) {
    fresh();
    // (0, 0) and (0, 1) each with three sides, the line between them undrawn.
    draw({h(0, 0), h(1, 0), v(0, 0), h(0, 1), h(1, 1), v(0, 2)});
    // (0, 0) had nothing behind it and is a dead end; (0, 1) has a takeable box behind it,
    // which changes nothing, and stays takeable.
    EXPECT_EQ(box(0, 0).chain_type, TYPE_DEAD_END);
    EXPECT_NE(box(0, 1).chain_type, TYPE_DEAD_END);
    EXPECT_EQ(census.dead_end_count, 1);
    EXPECT_EQ(census.capturable_count, 1);
    EXPECT_EQ(box(0, 0).capture_mark, 1);
    EXPECT_EQ(place_line(ENGINE, v(0, 1)), 1);
    EXPECT_EQ(census.double_cross_count, 1);
    EXPECT_EQ(score_engine, 2);
    EXPECT_EQ(census.capturable_count + census.dead_end_count, 0);

    fresh();
    // (0, 0) with three sides, (0, 1) with two: the line between them completes one and
    // makes the other takeable with nothing behind it.
    draw({h(0, 0), h(1, 0), v(0, 0), h(0, 1), h(1, 1)});
    EXPECT_EQ(place_line(OPPONENT, v(0, 1)), 1);
    EXPECT_EQ(census.double_cross_count, 0);
    EXPECT_EQ(score_opponent, 1);
    EXPECT_EQ(box(0, 1).sides, 3);
    EXPECT_EQ(box(0, 1).capture_mark, 1);
    EXPECT_EQ(fault_text(), "");
}

TEST(Census, CornerPairBecomesAPair) {
    fresh();
    draw({h(1, 0), v(0, 2), h(1, 1)});
    EXPECT_EQ(box(0, 0).chain_type, TYPE_CORNER_PAIR);
    EXPECT_EQ(box(0, 1).chain_type, TYPE_CORNER_PAIR);
    EXPECT_EQ(census.corner_pair_count, 1);
    draw({h(0, 0)});
    EXPECT_EQ(box(0, 0).chain_type, TYPE_PAIR);
    EXPECT_EQ(box(0, 1).chain_type, TYPE_PAIR);
    EXPECT_EQ(census.corner_pair_count, 0);
    EXPECT_EQ(census.pair_count, 1);
}

// The partner of a corner pair takes its third side (a dead end) before the corner box
// gets its border side: the corner pair is counted out once and the dead end stays one.
TEST(Census, CornerPairWhosePartnerIsAlreadyTakeable) {
    fresh();
    draw({h(1, 0), v(0, 2), h(1, 1), h(0, 1)});
    EXPECT_EQ(census.corner_pair_count, 0);
    EXPECT_EQ(census.dead_end_count, 1);
    draw({h(0, 0)});
    EXPECT_EQ(census.corner_pair_count, 0);
    EXPECT_EQ(census.pair_count, 0);
    EXPECT_EQ(census.dead_end_count, 1);
    EXPECT_EQ(box(0, 1).chain_type, TYPE_DEAD_END);
    EXPECT_EQ(fault_text(), "");
    draw({v(0, 1), v(0, 0)});
    EXPECT_EQ(score_opponent, 2);
    EXPECT_EQ(census.dead_end_count, 0);
    EXPECT_EQ(census.capturable_count, 0);
    EXPECT_EQ(census.corner_pair_count, 0);
    EXPECT_EQ(fault_text(), "");
}

TEST(Census, ChainsFromSinglesPairsAndJoinedPairs) {
    fresh();
    draw({h(0, 1), h(0, 2), h(0, 3), h(1, 1), h(1, 2), h(1, 3)});
    for (int c = 1; c <= 3; ++c) {
        EXPECT_EQ(box(0, c).chain_type, TYPE_CHAIN);
        EXPECT_EQ(box(0, c).chain_id, 1);
    }
    EXPECT_EQ(census.chain_count, 1);
    EXPECT_EQ(census.next_chain_id, 2);
    EXPECT_EQ(census.pair_count, 0);

    // A pair grown from its end into the corner.
    fresh();
    draw({h(0, 1), h(0, 2), h(1, 1), h(1, 2)});
    ASSERT_EQ(census.pair_count, 1);
    draw({h(1, 0), h(0, 0)});
    for (int c = 0; c <= 2; ++c) {
        EXPECT_EQ(box(0, c).chain_type, TYPE_CHAIN);
        EXPECT_EQ(box(0, c).chain_id, 1);
    }
    EXPECT_EQ(census.pair_count, 0);
    EXPECT_EQ(census.chain_count, 1);

    // Two pairs joined through the box between them.
    fresh();
    draw({h(2, 0), h(3, 0), h(2, 1), h(3, 1), h(2, 3), h(3, 3), h(2, 4), h(3, 4)});
    ASSERT_EQ(census.pair_count, 2);
    draw({h(2, 2), h(3, 2)});
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(box(2, c).chain_type, TYPE_CHAIN);
        EXPECT_EQ(box(2, c).chain_id, 1);
    }
    EXPECT_EQ(census.pair_count, 0);
    EXPECT_EQ(census.chain_count, 1);
    EXPECT_EQ(fault_text(), "");
}

// A box gets its second side between two neighbours of two sides each (row 2, tops and
// bottoms drawn): whatever lies on either side ends up in one chain under one id.
TEST(Census, BoxBetweenAChainOrPairAndAnotherStructure) {
    auto expect_chain = [](std::initializer_list<const Box*> members, int id) {
        for (const Box* b : members) {
            EXPECT_EQ(b->chain_type, TYPE_CHAIN) << b->row << "," << b->col;
            EXPECT_EQ(b->chain_id, id) << b->row << "," << b->col;
        }
    };
    auto row2 = [](int c) { draw({h(2, c), h(3, c)}); };

    // Chain on the left, a box of two sides and no code on the right.
    fresh();
    for (int c : {0, 1, 2, 4}) row2(c);
    ASSERT_EQ(box(2, 4).chain_type, TYPE_NONE);
    row2(3);
    expect_chain({&box(2, 0), &box(2, 1), &box(2, 2), &box(2, 3), &box(2, 4)}, 1);
    EXPECT_EQ(census.chain_count, 1);

    // The same mirrored: the box without a code is the first link.
    fresh();
    for (int c : {4, 3, 2, 0}) row2(c);
    ASSERT_EQ(box(2, 0).chain_type, TYPE_NONE);
    row2(1);
    expect_chain({&box(2, 0), &box(2, 1), &box(2, 2), &box(2, 3), &box(2, 4)}, 1);
    EXPECT_EQ(census.chain_count, 1);

    // Chain on the left, a pair (2, 4)-(1, 4) on the right: the pair takes the chain's id.
    fresh();
    for (int c : {0, 1, 2}) row2(c);
    draw({h(1, 4), v(1, 4), h(3, 4), v(2, 5)});
    ASSERT_EQ(census.pair_count, 1);
    row2(3);
    expect_chain({&box(2, 0), &box(2, 2), &box(2, 3), &box(2, 4), &box(1, 4)}, 1);
    EXPECT_EQ(census.pair_count, 0);
    EXPECT_EQ(census.chain_count, 1);

    // A pair (1, 0)-(2, 0) on the left, a box without a code on the right: a new chain.
    fresh();
    draw({h(1, 0), v(1, 1), h(3, 0), v(2, 0)});
    row2(2);
    ASSERT_EQ(census.pair_count, 1);
    ASSERT_EQ(box(2, 2).chain_type, TYPE_NONE);
    row2(1);
    expect_chain({&box(1, 0), &box(2, 0), &box(2, 1), &box(2, 2)}, 1);
    EXPECT_EQ(census.pair_count, 0);
    EXPECT_EQ(census.chain_count, 1);
    EXPECT_EQ(fault_text(), "");
}

TEST(Census, TwoChainsJoinUnderTheOlderId) {
    fresh();
    draw({v(1, 3), v(1, 4), v(2, 3), v(2, 4), v(3, 3), v(3, 4)}); // column 3, rows 1..3
    draw({h(0, 0), h(1, 0), h(0, 1), h(1, 1), h(0, 2), h(1, 2)}); // row 0, columns 0..2
    ASSERT_EQ(census.chain_count, 2);
    ASSERT_EQ(box(2, 3).chain_id, 1);
    ASSERT_EQ(box(0, 0).chain_id, 2);
    draw({h(0, 3), v(0, 4)}); // (0, 3) joins the two ends
    EXPECT_EQ(census.chain_count, 1);
    EXPECT_EQ(box(0, 3).chain_type, TYPE_CHAIN);
    for (const Box* b : {&box(0, 0), &box(0, 1), &box(0, 2), &box(0, 3), &box(1, 3), &box(3, 3)})
        EXPECT_EQ(b->chain_id, 1);
    EXPECT_EQ(fault_text(), "");
}

TEST(Census, RingLoopAndItsOpening) {
    fresh();
    draw({h(1, 1), h(1, 2), h(3, 1), h(3, 2), v(1, 1), v(2, 1), v(1, 3), v(2, 3)});
    ASSERT_EQ(census.loop_count, 1);
    EXPECT_EQ(census.loops[0].length, 4);
    EXPECT_EQ(census.loops[0].anchor, &box(2, 2)); // its second side, v(2, 3), came last
    EXPECT_EQ(census.chain_count, 0);
    int id = box(1, 1).chain_id;
    for (const Box* b : {&box(1, 1), &box(1, 2), &box(2, 1), &box(2, 2)}) {
        EXPECT_EQ(b->chain_type, TYPE_LOOP);
        EXPECT_EQ(b->chain_id, id);
    }
    draw({v(1, 2)});
    EXPECT_EQ(census.loop_count, 0);
    EXPECT_EQ(census.loops[0].anchor, &box(2, 2)); // kept just past the live entries
    EXPECT_EQ(box(1, 1).capture_mark, 1);
    EXPECT_EQ(box(1, 2).capture_mark, 1);
    EXPECT_EQ(box(2, 1).capture_mark, 2);
    EXPECT_EQ(box(2, 2).capture_mark, 2);
    for (const Box* b : {&box(1, 1), &box(1, 2), &box(2, 1), &box(2, 2)})
        EXPECT_EQ(b->chain_type, TYPE_LOOP);
    EXPECT_EQ(fault_text(), "");
}

// Two rings; opening the one closed first moves the other into its slot and keeps the
// removed entry just past the live one.
TEST(Census, OpeningALoopSwapsItWithTheLastLiveEntry) {
    fresh();
    draw({h(1, 0), h(1, 1), h(3, 0), h(3, 1), v(1, 0), v(2, 0), v(1, 2), v(2, 2)});
    draw({h(1, 3), h(1, 4), h(3, 3), h(3, 4), v(1, 3), v(2, 3), v(1, 5), v(2, 5)});
    ASSERT_EQ(census.loop_count, 2);
    const Box* left = census.loops[0].anchor;
    const Box* right = census.loops[1].anchor;
    ASSERT_LE(left->col, 1);
    ASSERT_GE(right->col, 3);
    draw({v(1, 1)});
    EXPECT_EQ(census.loop_count, 1);
    EXPECT_EQ(census.loops[0].anchor, right);
    EXPECT_EQ(census.loops[1].anchor, left);
    EXPECT_EQ(census.loops[1].length, 4);
}

TEST(Census, CutChainCodes) {
    fresh();
    Snapshot before;
    take_snapshot(before);
    EXPECT_EQ(capture_stdout([] { cut_chain(TYPE_DEAD_END, 3); }), "cuttypenum error\n");
    EXPECT_EQ(capture_stdout([] { cut_chain(-1, 0); }), "cuttypenum error\n");
    EXPECT_EQ(capture_stdout([] { cut_chain(9, 0); }), "cuttypenum error\n");
    EXPECT_EQ(capture_stdout([] { cut_chain(TYPE_NONE, 3); }), "");
    // A loop id with no live entry (the loop was taken out already): nothing changes.
    EXPECT_EQ(capture_stdout([] { cut_chain(TYPE_LOOP, 42); }), "");
    Snapshot after;
    take_snapshot(after);
    EXPECT_TRUE(before == after);
    EXPECT_EQ(census.loop_count, 0);
}

// Left-over codes of a chain already taken out make its two pieces look like the two
// ends of one chain around the box that gets its second side: no loop is recorded and
// the chain is not counted out twice.
TEST(Census, BrokenChainAroundABoxIsNoLoop) {
    fresh();
    draw({h(0, 1), h(1, 1)}); // (0, 1), and the top of (1, 1)
    draw({h(0, 0), v(0, 0)}); // (0, 0): pair with (0, 1)
    draw({h(0, 2), v(0, 3)}); // (0, 2): the pair grows into a chain
    draw({v(1, 0), h(2, 0)}); // (1, 0) joins below (0, 0)
    draw({v(1, 3), h(2, 2)}); // (1, 2) joins below (0, 2)
    for (const Box* b : {&box(0, 0), &box(0, 1), &box(0, 2), &box(1, 0), &box(1, 2)})
        ASSERT_EQ(b->chain_type, TYPE_CHAIN);
    ASSERT_EQ(census.chain_count, 1);
    draw({v(0, 2)}); // breaks the chain between (0, 1) and (0, 2)
    ASSERT_EQ(census.chain_count, 0);
    draw({h(2, 1)}); // (1, 1) gets its second side between the two pieces
    EXPECT_EQ(census.loop_count, 0);
    EXPECT_EQ(census.chain_count, 0);
    EXPECT_EQ(box(1, 1).chain_type, TYPE_CHAIN);
    EXPECT_EQ(fault_text(), "");
}

TEST(Census, NoSeventhLoopIsStored) {
    fresh();
    draw({h(0, 0), h(0, 1), h(2, 0), h(2, 1), v(0, 0), v(1, 0), v(0, 2), v(1, 2)});
    ASSERT_EQ(census.loop_count, 1);
    for (int i = 1; i < MAX_LOOPS; ++i) census.loops[i] = census.loops[0];
    census.loop_count = MAX_LOOPS;
    LoopEntry table[MAX_LOOPS];
    std::memcpy(table, census.loops, sizeof table);
    draw({h(3, 3), h(3, 4), h(5, 3), h(5, 4), v(3, 3), v(4, 3), v(3, 5), v(4, 5)});
    EXPECT_EQ(census.loop_count, MAX_LOOPS);
    EXPECT_EQ(std::memcmp(table, census.loops, sizeof table), 0);
    EXPECT_EQ(box(4, 4).chain_type, TYPE_LOOP);
    EXPECT_EQ(census.chain_count, 0);
}

// Everything place_line and undo_line touch, with links and live loop entries as sets
// (undo appends a restored link at the end and the loop table may be reordered).
struct FullState {
    Snapshot snapshot;
    int sides[BOX_COUNT], link_count[BOX_COUNT];
    std::vector<int> links[BOX_COUNT];
    std::vector<std::pair<int, const Box*>> live_loops;
    int score_engine, score_opponent;
    uint64_t index_hash, check_hash;
    std::string lines;

    static FullState now() {
        FullState s;
        take_snapshot(s.snapshot);
        for (int i = 0; i < BOX_COUNT; ++i) {
            const Box& x = boxes[i / 5][i % 5];
            s.sides[i] = x.sides;
            s.link_count[i] = x.link_count;
            for (int j = 0; j < x.link_count; ++j)
                s.links[i].push_back(static_cast<int>(x.links[j] - &boxes[0][0]));
            std::sort(s.links[i].begin(), s.links[i].end());
        }
        for (int i = 0; i < census.loop_count; ++i)
            s.live_loops.push_back({census.loops[i].length, census.loops[i].anchor});
        std::sort(s.live_loops.begin(), s.live_loops.end());
        s.score_engine = ::score_engine;
        s.score_opponent = ::score_opponent;
        s.index_hash = ::index_hash;
        s.check_hash = ::check_hash;
        s.lines.append(hline_glyph, 30).append(vline_glyph, 30).append(box_glyph, 25);
        for (int i = 0; i < 30; ++i) s.lines += char('0' + hline_drawn[i]);
        for (int i = 0; i < 30; ++i) s.lines += char('0' + vline_drawn[i]);
        return s;
    }

    bool operator==(const FullState& o) const {
        if (snapshot != o.snapshot) return false;
        for (int i = 0; i < BOX_COUNT; ++i)
            if (sides[i] != o.sides[i] || link_count[i] != o.link_count[i] ||
                links[i] != o.links[i])
                return false;
        return live_loops == o.live_loops && score_engine == o.score_engine &&
               score_opponent == o.score_opponent && index_hash == o.index_hash &&
               check_hash == o.check_hash && lines == o.lines;
    }
};

TEST(Undo, EveryLineOfManyRandomPositionsRestoresEverything) {
    std::mt19937 rng(2024);
    int positions = 0;
    for (int game = 0; game < 300; ++game) {
        fresh();
        random_lines(rng, std::uniform_int_distribution<int>(0, LINE_COUNT - 1)(rng));
        ++positions;
        FullState before = FullState::now();
        Snapshot s;
        take_snapshot(s);
        Move lines[LINE_COUNT];
        int n = undrawn_lines(lines);
        for (int i = 0; i < n; ++i) {
            for (int player : {ENGINE, OPPONENT}) {
                place_line(player, lines[i]);
                undo_line(player, lines[i], s);
                ASSERT_TRUE(FullState::now() == before)
                    << "game " << game << " line {" << lines[i].orient << "," << lines[i].a << ","
                    << lines[i].b << "} player " << player;
                ASSERT_EQ(fault_text(), "");
            }
        }
    }
    EXPECT_EQ(positions, 300);
}

// Two lines deep, as the search goes: the inner undo must not disturb the outer snapshot.
TEST(Undo, NestedDrawsUndoneInReverse) {
    std::mt19937 rng(77);
    for (int game = 0; game < 30; ++game) {
        fresh();
        random_lines(rng, std::uniform_int_distribution<int>(0, 50)(rng));
        FullState before = FullState::now();
        Snapshot outer;
        take_snapshot(outer);
        Move lines[LINE_COUNT];
        int n = undrawn_lines(lines);
        for (int i = 0; i < n; ++i) {
            int first = place_line(ENGINE, lines[i]);
            int second_player = first ? ENGINE : OPPONENT;
            FullState middle = FullState::now();
            Snapshot inner;
            take_snapshot(inner);
            Move rest[LINE_COUNT];
            int m = undrawn_lines(rest);
            for (int j = 0; j < m; ++j) {
                place_line(second_player, rest[j]);
                undo_line(second_player, rest[j], inner);
                ASSERT_TRUE(FullState::now() == middle);
            }
            undo_line(ENGINE, lines[i], outer);
            ASSERT_TRUE(FullState::now() == before);
        }
    }
}

// After every line of many random games the census counters and marks agree with the
// boxes' own fields, the scores with the glyphs and the hashes with the drawn lines.
TEST(Property, CountersAgreeWithBoxesThroughWholeGames) {
    std::mt19937 rng(99);
    for (int game = 0; game < 3000; ++game) {
        fresh();
        int player = OPPONENT;
        for (int i = 0; i < LINE_COUNT; ++i) {
            Move lines[LINE_COUNT];
            int n = undrawn_lines(lines);
            Move m = lines[std::uniform_int_distribution<int>(0, n - 1)(rng)];
            if (place_line(player, m) == 0) player = -player;
            ASSERT_EQ(fault_text(), "") << "game " << game << " line " << i;
            ASSERT_GE(census.single_count, 0);
            ASSERT_GE(census.loop_count, 0);
        }
        EXPECT_EQ(score_engine + score_opponent, BOX_COUNT);
        EXPECT_EQ(census.capturable_count + census.dead_end_count + census.next_in_run_count, 0);
    }
}

} // namespace
