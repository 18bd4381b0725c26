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
            std::vector<const Box*> chains;
            for (int i = 0; i < x.link_count; ++i)
                if (x.links[i]->chain_type == TYPE_CHAIN) chains.push_back(x.links[i]);
            if (chains.empty()) continue;
            ++cc;
            if (chains.size() == 1) continue;
            bool same = false;
            for (size_t i = 0; i < chains.size(); ++i)
                for (size_t j = i + 1; j < chains.size(); ++j)
                    same = same || chains[i]->chain_id == chains[j]->chain_id;
            jb += same ? 1 : -1;
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

// Random lines, mostly ones that give no box its third side (as play goes until the
// chains are made), so that most positions reach the enumeration with structures on board.
void quiet_random_lines(std::mt19937& rng, int count) {
    int player = OPPONENT;
    for (int i = 0; i < count; ++i) {
        Move open[LINE_COUNT], quiet[LINE_COUNT];
        const int n = undrawn_lines(open);
        if (n == 0) return;
        int q = 0;
        for (int j = 0; j < n; ++j) {
            const Move& m = open[j];
            const bool h = m.orient == 0;
            const int r1 = h ? m.a : m.a, c1 = h ? m.b : m.b; // box below or right
            const int r0 = h ? m.a - 1 : m.a, c0 = h ? m.b : m.b - 1;
            const bool third = (r1 < 5 && c1 < 5 && boxes[r1][c1].sides == 2) ||
                               (r0 >= 0 && c0 >= 0 && boxes[r0][c0].sides == 2);
            if (!third) quiet[q++] = m;
        }
        const bool any = q == 0 || std::uniform_int_distribution<int>(0, 19)(rng) == 0;
        const Move m = any ? open[std::uniform_int_distribution<int>(0, n - 1)(rng)]
                           : quiet[std::uniform_int_distribution<int>(0, q - 1)(rng)];
        if (place_line(player, m) == 0) player = -player;
    }
}

} // namespace

TEST(PlainScan, EnumerationAndEvaluationAgreeOverRandomGames) {
    std::mt19937 rng(4242);
    int enumerated = 0, evaluated = 0, with_chains = 0, with_pairs = 0, short_lists = 0;
    for (int game = 0; game < 400; ++game) {
        model_fixture::fresh();
        engine_second = game % 2;
        const int drawn = std::uniform_int_distribution<int>(10, 50)(rng);
        quiet_random_lines(rng, drawn);
        // Draws taken back, as the search does: their boxes' links come back at the end.
        Snapshot s;
        take_snapshot(s);
        for (int i = 0; i < 8; ++i) {
            Move open[LINE_COUNT];
            const int n = undrawn_lines(open);
            const Move m = open[std::uniform_int_distribution<int>(0, n - 1)(rng)];
            place_line(OPPONENT, m);
            undo_line(OPPONENT, m, s);
        }
        ASSERT_EQ(box_sets_fault(), nullptr) << "game " << game;

        for (int side : {ENGINE, OPPONENT}) EXPECT_EQ(evaluate(side, 0), plain_evaluate(side));
        ++evaluated;

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
    EXPECT_EQ(evaluated, 400);
    // A good share of positions reach the enumeration, with long chains, pairs and lists
    // short enough for a sacrifice among them.
    EXPECT_GT(enumerated, 150);
    EXPECT_GT(with_chains, 30);
    EXPECT_GT(with_pairs, 30);
    EXPECT_GT(short_lists, 10);
}
