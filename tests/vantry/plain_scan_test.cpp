// Move generation's enumeration and the evaluation read the boxes through the model's sets
// and tables; here they are compared with plain scans of the 25 boxes, written straight
// from the rules, over positions of random games whose links were reordered by draws and
// undos as the search leaves them.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "model/box_sets.h"
#include "model_fixture.h"
#include "search/evaluation.h"
#include "search/move_generation.h"

namespace {

bool is_free(const Box& x) {
    return x.sides <= 1 && x.chain_type == TYPE_NONE;
}

// Evaluation with few_moves 0, visiting every box and every link.
int plain_evaluate(int side) {
    int cc = 0, jb = census.chain_count;
    for (const auto& row : boxes) {
        for (const Box& x : row) {
            if (x.chain_type == TYPE_CHAIN) ++cc;
            if (!is_free(x)) continue;
            int k = 0;
            bool same = false;
            for (int i = 0; i < x.link_count; ++i) {
                if (x.links[i]->chain_type != TYPE_CHAIN) continue;
                ++k;
                for (int j = 0; j < i; ++j)
                    same = same || (x.links[j]->chain_type == TYPE_CHAIN &&
                                    x.links[j]->chain_id == x.links[i]->chain_id);
            }
            cc += k > 0;
            if (k >= 2) jb += same ? 1 : -1;
        }
    }
    const bool odd = (jb + census.double_cross_count) % 2 == 1;
    const bool matched = odd == (engine_second != 0);
    const int control = 6 + 3 * cc - 6 * jb;
    const int w = 7500 - 6 * score_opponent + 7 * score_engine + (matched ? control : -control) +
                  (side == ENGINE ? 7 : -6) * census.dead_end_count;
    return side == ENGINE ? w : -w;
}

// The enumeration step: inner boxes, then the top and bottom rows by column, then the left
// and right columns by row, each visit listing free lines, a free edge box's border line,
// and a pair's middle line.
std::vector<Move> plain_enumeration() {
    std::vector<Move> out;
    bool listed[72] = {};
    auto add_unlisted = [&](const Move& m) {
        int k = (m.orient * 6 + m.a) * 6 + m.b;
        if (!listed[k]) out.push_back(m);
        listed[k] = true;
    };
    auto visit = [&](int r, int c, bool edge, const Move& border) {
        const Box& x = boxes[r][c];
        if (is_free(x)) {
            for (int i = 0; i < x.link_count; ++i) {
                int t = x.links[i]->chain_type;
                if (t != TYPE_CHAIN && t != TYPE_PAIR) add_unlisted(line_between(&x, x.links[i]));
            }
            if (edge && !is_drawn(border)) out.push_back(border);
        }
        if (x.chain_type != TYPE_PAIR) return;
        if (edge && x.link_count != 2 && x.links[0]->link_count != 2) return;
        const Box* p = x.links[0]->chain_type == TYPE_PAIR ? x.links[0] : x.links[1];
        add_unlisted(line_between(&x, p));
    };
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) visit(r, c, false, Move{});
    for (int c = 0; c < 5; ++c) {
        visit(0, c, true, Move{0, 0, c});
        visit(4, c, true, Move{0, 5, c});
    }
    for (int r = 0; r < 5; ++r) {
        visit(r, 0, true, Move{1, r, 0});
        visit(r, 4, true, Move{1, r, 5});
    }
    return out;
}

bool has_two_sides(int r, int c) {
    return r >= 0 && r < 5 && c >= 0 && c < 5 && boxes[r][c].sides == 2;
}

// Random lines, mostly ones that give no box its third side (as play goes until the
// chains are made), so that most positions reach the enumeration with structures on board.
void quiet_random_lines(std::mt19937& rng, int count) {
    for (int i = 0, player = OPPONENT; i < count; ++i) {
        Move open[LINE_COUNT], quiet[LINE_COUNT];
        const int n = undrawn_lines(open);
        int q = 0;
        for (int j = 0; j < n; ++j) {
            const Move& m = open[j];
            const bool h = m.orient == 0;
            if (!has_two_sides(m.a, m.b) && !has_two_sides(m.a - h, m.b - !h)) quiet[q++] = m;
        }
        const bool any = q == 0 || rng() % 20 == 0;
        const Move m = any ? open[rng() % n] : quiet[rng() % q];
        if (place_line(player, m) == 0) player = -player;
    }
}

} // namespace

TEST(PlainScan, EnumerationAndEvaluationAgreeOverRandomGames) {
    std::mt19937 rng(4242);
    int enumerated = 0, with_chains = 0, with_pairs = 0, short_lists = 0;
    for (int game = 0; game < 400; ++game) {
        model_fixture::fresh();
        engine_second = game % 2;
        quiet_random_lines(rng, 10 + rng() % 41);
        // Draws taken back, as the search does: their boxes' links come back at the end.
        Snapshot s;
        take_snapshot(s);
        for (int i = 0; i < 8; ++i) {
            Move open[LINE_COUNT];
            const Move m = open[rng() % undrawn_lines(open)];
            place_line(OPPONENT, m);
            undo_line(OPPONENT, m, s);
        }
        ASSERT_EQ(box_sets_fault(), nullptr) << "game " << game;

        for (int side : {ENGINE, OPPONENT}) EXPECT_EQ(evaluate(side, 0), plain_evaluate(side));

        // Free captures and capture runs come before the enumeration; without them the list
        // starts with exactly its lines, and only a short one gets one sacrifice after them.
        if (census.dead_end_count > 0 || census.capturable_count > 0) continue;
        Move list[MAX_MOVES];
        int count = 0, few = 0;
        generate_moves(list, count, LINE_COUNT - undrawn_lines(list) + 1, few);
        const std::vector<Move> expect = plain_enumeration();
        const int k = static_cast<int>(expect.size());
        ASSERT_TRUE(count == k || (count == k + 1 && k <= 8)) << "game " << game;
        for (int i = 0; i < k; ++i)
            EXPECT_EQ(list[i], expect[i]) << "game " << game << " entry " << i;
        ++enumerated;
        with_chains += census.chain_count > 0;
        with_pairs += census.pair_count > 0;
        short_lists += k <= 8;
    }
    // A good share of positions reach the enumeration, with long chains, pairs and lists
    // short enough for a sacrifice among them.
    EXPECT_GT(enumerated, 150);
    EXPECT_GT(with_chains, 30);
    EXPECT_GT(with_pairs, 30);
    EXPECT_GT(short_lists, 10);
}
