// The search: what a depth-1 root weighs, which side searches after a completed box,
// decided positions, ties, the deadline (through the node limit, never the real clock) and
// the position left as it was.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "driver/line_codes.h"
#include "search/evaluation.h"
#include "search/move_generation.h"
#include "search/random15.h"
#include "search/search.h"
#include "search_fixture.h"

using namespace search_fixture;

namespace {

const std::initializer_list<Move> quiet_ten_lines = {{0, 1, 3}, {1, 2, 1}, {0, 1, 0}, {0, 5, 0},
                                                     {0, 2, 4}, {0, 5, 4}, {1, 4, 2}, {1, 3, 0},
                                                     {1, 3, 3}, {1, 2, 3}};

const std::initializer_list<Move> middle_game = {
    {0, 3, 0}, {1, 1, 2}, {1, 0, 5}, {0, 1, 3}, {0, 5, 0}, {1, 2, 1}, {1, 0, 4}, {1, 3, 5},
    {1, 3, 2}, {0, 1, 1}, {1, 4, 2}, {0, 0, 0}, {1, 2, 5}, {0, 5, 1}, {1, 4, 5}, {0, 4, 4},
    {0, 2, 4}, {1, 2, 3}, {1, 0, 1}, {1, 3, 0}, {1, 4, 0}, {1, 2, 2}};

std::vector<Move> root_list() {
    Move list[MAX_MOVES];
    int count = 0;
    int few = 0;
    generate_moves(list, count, round1, few);
    return std::vector<Move>(list, list + count);
}

// What a depth-1 root gives each entry: the evaluation below it, for the engine again
// after a completed box, negated for the opponent otherwise.
std::vector<int> depth1_values() {
    Move list[MAX_MOVES];
    int count = 0;
    int few = 0;
    generate_moves(list, count, round1, few);
    std::vector<int> values;
    for (int i = 0; i < count; ++i) {
        Snapshot s;
        take_snapshot(s);
        const int completed = place_line(ENGINE, list[i]);
        values.push_back(completed ? evaluate(ENGINE, few) : -evaluate(OPPONENT, few));
        undo_line(ENGINE, list[i], s);
    }
    return values;
}

// Table entries marked as values of finished nodes that hold the clock-out value: a node
// cut short by the clock must store nothing.
int exact_entries_with_clock_out_value() {
    int n = 0;
    for (const TTEntry& e : transposition_table)
        n += e.exact == 1 && (e.value == SCORE_INF || e.value == -SCORE_INF);
    return n;
}

SearchLimits unlimited(int max_depth, long long node_limit = 0) {
    SearchLimits l;
    l.budget_ms = INT_MAX;
    l.max_depth = max_depth;
    l.node_limit = node_limit;
    return l;
}

} // namespace

// Many entries of the quiet position are worth the same; the root keeps the first best.
TEST(Search, DepthOneTakesTheFirstBestEntry) {
    fresh_game();
    draw(quiet_ten_lines);
    const std::vector<Move> list = root_list();
    const std::vector<int> values = depth1_values();
    size_t best = 0;
    int ties = 0;
    for (size_t i = 1; i < values.size(); ++i) {
        if (values[i] > values[best]) best = i;
    }
    for (int v : values) ties += v == values[best];
    ASSERT_GT(ties, 1) << "the position should hold equal entries";
    EXPECT_EQ(search_root(1), list[best]);
    EXPECT_EQ(search_stats.root_value, values[best]);
}

// Two dead ends: the root's one entry completes (0, 0), and the engine moves again with the
// other dead end still there, which only the engine's own evaluation credits at 7.
TEST(Search, CompletedBoxIsSearchedForTheSameSide) {
    fresh_game();
    draw({{1, 0, 1}, {0, 1, 0}, {1, 0, 0}, {1, 4, 4}, {0, 4, 4}, {1, 4, 5}});
    ASSERT_EQ(root_list().size(), 1u);
    Snapshot s;
    take_snapshot(s);
    place_line(ENGINE, Move{0, 0, 0});
    const int own_view = evaluate(ENGINE, 0);
    const int opponent_view = -evaluate(OPPONENT, 0);
    undo_line(ENGINE, Move{0, 0, 0}, s);
    ASSERT_NE(own_view, opponent_view);

    EXPECT_EQ(search_root(1), (Move{0, 0, 0}));
    EXPECT_EQ(search_stats.root_value, own_view);
}

TEST(Search, DecidedPositionReturnsAtOnce) {
    fresh_game();
    score_engine = 13;
    score_opponent = 2;
    seed15(11);
    const int next_draw = rand15();
    seed15(11);
    const long long before = search_stats.nodes;
    // Move number 1 would make move generation draw a random line.
    EXPECT_EQ(search(5, SCORE_INF, ENGINE, 1, 0), decided_value(ENGINE));
    EXPECT_EQ(search(5, SCORE_INF, OPPONENT, 1, 0), -(7500 - 10 + 91));
    EXPECT_EQ(search_stats.nodes - before, 2);
    EXPECT_EQ(rand15(), next_draw);
    fresh_game();
}

TEST(Search, ChooseMoveLeavesThePositionAsItWas) {
    fresh_game();
    draw(middle_game);
    const BoardState before = capture();
    const Move m = choose_move(unlimited(5));
    EXPECT_TRUE(capture() == before);
    EXPECT_TRUE(is_undrawn_line(m));
    EXPECT_EQ(search_stats.completed_depth, 5);
    EXPECT_EQ(search_stats.empty_lists, 0);
}

// The node limit stands in for the clock: it runs out part-way through a depth, and the
// move of the depth before is kept. A search leaves the links of boxes in another order,
// which changes later searches, so every run starts from a freshly drawn position.
TEST(Search, DeadlineKeepsThePreviousDepthsMove) {
    auto set_up = [] {
        fresh_game();
        draw(middle_game);
    };
    set_up();
    const Move m3 = choose_move(unlimited(3));
    const long long n3 = search_stats.nodes;
    set_up();
    const Move m4 = choose_move(unlimited(4));
    const long long n34 = search_stats.nodes;
    ASSERT_GT(n34 - n3, 100);

    set_up();
    const BoardState before = capture();
    Move m = choose_move(unlimited(8, n3 + 50));
    EXPECT_EQ(search_stats.completed_depth, 3);
    EXPECT_EQ(m, m3);
    EXPECT_TRUE(capture() == before);

    set_up();
    m = choose_move(unlimited(8, n34 + 50));
    EXPECT_EQ(search_stats.completed_depth, 4);
    EXPECT_EQ(m, m4);
    EXPECT_TRUE(capture() == before);
}

// The clock out before the first depth finishes still yields an undrawn line.
TEST(Search, DeadlineBeforeTheFirstDepthStillGivesALine) {
    for (long long limit : {1LL, 2LL, 40LL, 400LL}) {
        fresh_game();
        draw(middle_game);
        const BoardState before = capture();
        const std::vector<Move> list = root_list();
        const Move m = choose_move(unlimited(8, limit));
        EXPECT_EQ(search_stats.completed_depth, 0) << limit;
        EXPECT_TRUE(is_undrawn_line(m)) << limit;
        EXPECT_NE(std::find(list.begin(), list.end(), m), list.end()) << limit;
        EXPECT_TRUE(capture() == before) << limit;
        EXPECT_EQ(exact_entries_with_clock_out_value(), 0) << limit;
    }
}

// Drawing and taking back every candidate, at the root and with a search below it, leaves
// hashes, scores, glyphs, sides, links and the census as they were, including a line that
// completes two boxes at once.
TEST(Search, TryingEveryCandidateRestoresThePosition) {
    fresh_game();
    // (0, 0) and (0, 1) with three sides each, sharing their last line.
    draw({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, 0, 1}, {0, 1, 1}, {1, 0, 2}});
    ASSERT_EQ(root_list().size(), 1u);
    const BoardState before = capture();
    Snapshot s;
    take_snapshot(s);
    EXPECT_EQ(place_line(ENGINE, Move{1, 0, 1}), 1);
    EXPECT_EQ(score_engine, 2);
    EXPECT_EQ(census.double_cross_count, 1);
    undo_line(ENGINE, Move{1, 0, 1}, s);
    EXPECT_TRUE(capture() == before);
    choose_move(unlimited(6));
    EXPECT_TRUE(capture() == before);
}

// Lines that leave left-over structure codes where move generation lists nothing although
// seven lines remain: the root then tries every undrawn line, and says so.
TEST(Search, EmptyCandidateListFallsBackToEveryUndrawnLine) {
    const char* codes = "AAB AEB ADC AFC AEE BDA AAD BCD BBC BAA BDB BFB AAA BDC AFA ADA ABA ACA "
                        "ACC BCC BFA BBA BAC BCA ABB BEC AEC BAB ADB BED BBB AAE AFE ACB BBD BDD "
                        "BAD AEA BCB ABC AAC BEE BFE BBE ABD BAE BEA BCE ABE ADE BFD AFB BDE";
    fresh_game();
    int player = ENGINE;
    Move lines[LINE_COUNT];
    const int n = decode_lines(codes, lines, LINE_COUNT);
    for (int i = 0; i < n; ++i) {
        if (!place_line(player, lines[i])) player = -player;
        round1 += 1;
    }
    ASSERT_EQ(round1, 54);
    ASSERT_LT(score_engine, WIN_BOXES);
    ASSERT_LT(score_opponent, WIN_BOXES);
    ASSERT_TRUE(root_list().empty());

    const BoardState before = capture();
    const Move m = choose_move(unlimited(6));
    EXPECT_TRUE(is_undrawn_line(m));
    EXPECT_GE(search_stats.empty_lists, 1);
    EXPECT_EQ(search_stats.completed_depth, 6);
    EXPECT_TRUE(capture() == before);
}
