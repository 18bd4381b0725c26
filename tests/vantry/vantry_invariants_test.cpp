// The model's invariants under random play: whole games line by line, and the search's way
// of drawing and taking back lines at random depths, with play going on afterwards from
// the position the undo left (whose links are in another order than a game's).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "model_fixture.h"

using namespace model_fixture;

namespace {

std::string fault_text() {
    const char* f = model_fault();
    return f ? f : "";
}

// Everything draw-then-undo must give back. Links as sets: the undo appends them.
struct State {
    Snapshot snapshot;
    int sides[BOX_COUNT];
    unsigned link_set[BOX_COUNT];
    int scores[2];
    uint64_t hashes[2];
    char glyphs[30 + 30 + 25];
    int drawn[60];

    static State now() {
        State s;
        std::memset(&s, 0, sizeof s);
        take_snapshot(s.snapshot);
        for (int i = 0; i < BOX_COUNT; ++i) {
            const Box& x = boxes[i / 5][i % 5];
            s.sides[i] = x.sides;
            for (int j = 0; j < x.link_count; ++j)
                s.link_set[i] |= 1u << (x.links[j]->row * 5 + x.links[j]->col);
        }
        s.scores[0] = score_engine;
        s.scores[1] = score_opponent;
        s.hashes[0] = index_hash;
        s.hashes[1] = check_hash;
        std::memcpy(s.glyphs, hline_glyph, 30);
        std::memcpy(s.glyphs + 30, vline_glyph, 30);
        std::memcpy(s.glyphs + 60, box_glyph, 25);
        std::memcpy(s.drawn, hline_drawn, sizeof hline_drawn);
        std::memcpy(s.drawn + 30, vline_drawn, sizeof vline_drawn);
        return s;
    }
    bool operator==(const State& o) const {
        return snapshot == o.snapshot && std::memcmp(sides, o.sides, sizeof sides) == 0 &&
               std::memcmp(link_set, o.link_set, sizeof link_set) == 0 &&
               std::memcmp(scores, o.scores, sizeof scores) == 0 &&
               std::memcmp(hashes, o.hashes, sizeof hashes) == 0 &&
               std::memcmp(glyphs, o.glyphs, sizeof glyphs) == 0 &&
               std::memcmp(drawn, o.drawn, sizeof drawn) == 0;
    }
};

// Outside the search the links keep the start order left, up, right, down, less the
// removed ones; move generation and evaluation read links[0] and links[1] by that order.
std::string link_order_fault() {
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c) {
            const Box& x = boxes[r][c];
            int last = -1;
            for (int j = 0; j < x.link_count; ++j) {
                const Box* l = x.links[j];
                int dir = l->col < c ? 0 : l->row < r ? 1 : l->col > c ? 2 : 3;
                if (dir <= last)
                    return "box (" + std::to_string(r) + "," + std::to_string(c) +
                           ") links out of order";
                last = dir;
            }
        }
    return "";
}

int lines_left() {
    int n = LINE_COUNT;
    for (int i = 0; i < 30; ++i) n -= (hline_drawn[i] != 0) + (vline_drawn[i] != 0);
    return n;
}

Move random_undrawn(std::mt19937& rng) {
    Move lines[LINE_COUNT];
    int n = undrawn_lines(lines);
    return lines[std::uniform_int_distribution<int>(0, n - 1)(rng)];
}

// How often the counters that left-over codes can take below zero were negative.
struct NegativeCounts {
    long long lines = 0, pair = 0, chain = 0;
    void after_line() {
        ++lines;
        pair += census.pair_count < 0;
        chain += census.chain_count < 0;
    }
    void report(const char* what) const {
        std::printf(
            "%s: %lld lines, census.pair_count < 0 after %lld, census.chain_count < 0 after %lld\n",
            what, lines, pair, chain);
    }
};

// The sanitizers' build looks for memory faults, which a fifth of the random games meet as
// surely at a fifth of its slow pace; the release build plays them all.
#ifdef __SANITIZE_ADDRESS__
constexpr int kGameShare = 5;
#else
constexpr int kGameShare = 1;
#endif

TEST(Invariants, EveryLineOfRandomGames) {
    std::mt19937 rng(4711);
    NegativeCounts negative;
    for (int game = 0; game < 5000 / kGameShare; ++game) {
        fresh();
        int player = game % 2 ? ENGINE : OPPONENT;
        for (int i = 0; i < LINE_COUNT; ++i) {
            Move m = random_undrawn(rng);
            if (place_line(player, m) == 0) player = -player;
            negative.after_line();
            ASSERT_EQ(fault_text(), "") << "game " << game << " line " << i;
            ASSERT_EQ(link_order_fault(), "") << "game " << game << " line " << i;
        }
        ASSERT_EQ(score_engine + score_opponent, BOX_COUNT);
        ASSERT_EQ(census.capturable_count + census.dead_end_count + census.next_in_run_count +
                      census.loop_count,
                  0);
    }
    negative.report("random games");
}

// A random walk down and up a tree of lines, as the search makes one: every level keeps the
// snapshot taken before its first line and undoes each of its lines with it. Between
// walks, the game goes on by one line from the position the walk restored.
TEST(Invariants, RandomDrawAndUndoSequences) {
    std::mt19937 rng(1213);
    NegativeCounts negative;
    for (int game = 0; game < 400 / kGameShare; ++game) {
        fresh();
        int player = OPPONENT;
        while (lines_left() > 0) {
            struct Level {
                Snapshot snapshot;
                State before;
                Move line;
                int player;
            };
            static Level stack[LINE_COUNT];
            int depth = 0;
            int side = player;
            int steps = std::uniform_int_distribution<int>(0, 40)(rng);
            for (int step = 0; step < steps || depth > 0; ++step) {
                bool down = step < steps && lines_left() > 0 &&
                            std::uniform_int_distribution<int>(0, 2)(rng) > 0;
                if (down) {
                    Level& l = stack[depth++];
                    take_snapshot(l.snapshot);
                    l.before = State::now();
                    l.line = random_undrawn(rng);
                    l.player = side;
                    if (place_line(side, l.line) == 0) side = -side;
                    negative.after_line();
                } else if (depth > 0) {
                    Level& l = stack[--depth];
                    undo_line(l.player, l.line, l.snapshot);
                    side = l.player;
                    ASSERT_TRUE(State::now() == l.before)
                        << "game " << game << " undo at depth " << depth;
                } else {
                    continue;
                }
                ASSERT_EQ(fault_text(), "") << "game " << game << " step " << step;
            }
            if (place_line(player, random_undrawn(rng)) == 0) player = -player;
            negative.after_line();
            ASSERT_EQ(fault_text(), "") << "game " << game;
        }
        ASSERT_EQ(score_engine + score_opponent, BOX_COUNT);
    }
    negative.report("draw and undo");
}

// A loop opened above the snapshot and another closed below it use the same slot of the
// loop table; undoing both must bring back the first loop, not the second.
TEST(Invariants, UndoBringsBackTheLoopItOpened) {
    fresh();
    // The 2 x 2 ring of (1, 1) .. (2, 2), and the ring of (3, 3) .. (4, 4) but for the right
    // side of (4, 4).
    draw({h(1, 1), h(1, 2), h(3, 1), h(3, 2), v(1, 1), v(2, 1), v(1, 3), v(2, 3)});
    draw({h(3, 3), h(3, 4), h(5, 3), h(5, 4), v(3, 3), v(4, 3), v(3, 5)});
    ASSERT_EQ(census.loop_count, 1);
    const Box* first_anchor = census.loops[0].anchor;
    State before = State::now();

    Snapshot above;
    take_snapshot(above);
    place_line(ENGINE, v(1, 2)); // opens the first ring
    ASSERT_EQ(census.loop_count, 0);
    Snapshot below;
    take_snapshot(below);
    place_line(OPPONENT, v(4, 5)); // closes the second
    ASSERT_EQ(census.loop_count, 1);
    EXPECT_EQ(census.loops[0].anchor, &box(4, 4));

    undo_line(OPPONENT, v(4, 5), below);
    undo_line(ENGINE, v(1, 2), above);
    EXPECT_EQ(fault_text(), "");
    ASSERT_EQ(census.loop_count, 1);
    EXPECT_EQ(census.loops[0].anchor, first_anchor);
    EXPECT_EQ(census.loops[0].length, 4);
    EXPECT_TRUE(State::now() == before);

    // And the game goes on: opening the first ring for real takes it out of the table.
    place_line(ENGINE, v(1, 2));
    EXPECT_EQ(census.loop_count, 0);
    EXPECT_EQ(fault_text(), "");
}

} // namespace
