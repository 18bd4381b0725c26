// The per-line keys, the two position hashes and the transposition table.
#include <gtest/gtest.h>

#include <cstring>

#include "model_fixture.h"
#include "search/random15.h"
#include "search/transposition_table.h"

using namespace model_fixture;

namespace {

TEST(Random15, FixedSeedGivesTheSameFifteenBitDraws) {
    seed15(5);
    int first[100];
    bool wide = false;
    for (int& r : first) {
        r = rand15();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
        wide = wide || r > 16383;
    }
    EXPECT_TRUE(wide);
    seed15(5);
    for (int r : first) EXPECT_EQ(rand15(), r);
}

TEST(Keys, SameTablesEveryTimeAndBelowTwoToThe56) {
    init_keys();
    uint64_t ik[2][36], ck[2][36];
    std::memcpy(ik, index_keys, sizeof ik);
    std::memcpy(ck, check_keys, sizeof ck);
    seed15(12345); // a reseed in between (as the command loop does) changes nothing
    index_hash = 7;
    init_keys();
    EXPECT_EQ(std::memcmp(ik, index_keys, sizeof ik), 0);
    EXPECT_EQ(std::memcmp(ck, check_keys, sizeof ck), 0);
    EXPECT_EQ(index_hash, 0u);
    EXPECT_EQ(check_hash, 0u);
    int distinct = 0;
    for (int o = 0; o < 2; ++o)
        for (int i = 0; i < 36; ++i) {
            EXPECT_LT(index_keys[o][i], uint64_t(1) << 56);
            EXPECT_LT(check_keys[o][i], uint64_t(1) << 56);
            distinct += index_keys[o][i] != check_keys[o][i];
        }
    EXPECT_EQ(distinct, 72);
    // The draws alternate between the tables key by key: the first check key is made of
    // draws 5..8 of the fixed seed.
    seed15(5);
    for (int i = 0; i < 4; ++i) rand15();
    int64_t r[4];
    for (int64_t& x : r) x = rand15();
    int64_t v = (((((r[0] << 11) ^ r[1]) << 15) ^ r[2]) << 15) ^ r[3];
    int64_t s = v >> 36;
    EXPECT_EQ(check_keys[0][0], static_cast<uint64_t>((v ^ s) - s));
}

TEST(Hashes, DependOnlyOnTheDrawnLines) {
    fresh();
    draw({h(0, 0), v(2, 3), h(5, 4), v(4, 5), h(2, 2)}, ENGINE);
    uint64_t ih = index_hash, ch = check_hash;
    fresh();
    draw({h(2, 2), v(4, 5), h(0, 0), h(5, 4)}, OPPONENT);
    draw({v(2, 3)}, ENGINE);
    EXPECT_EQ(index_hash, ih);
    EXPECT_EQ(check_hash, ch);
    // Key index a * 6 + b in both orientations.
    fresh();
    draw({h(5, 4)});
    EXPECT_EQ(index_hash, index_keys[0][34]);
    fresh();
    draw({v(4, 5)});
    EXPECT_EQ(check_hash, check_keys[1][29]);
}

class Table : public testing::Test {
  protected:
    void SetUp() override {
        tt_clear();
        fresh();
    }
};

TEST_F(Table, FreshTableMisses) {
    draw({h(1, 1), v(3, 2)});
    EXPECT_EQ(tt_probe(0, 3), nullptr);
}

TEST_F(Table, HitNeedsDepthMoveNumberAndScores) {
    draw({v(0, 0), h(0, 0), h(1, 0)});
    tt_store(5, 4, -321, 1);
    const TTEntry* e = tt_probe(5, 4);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->value, -321);
    EXPECT_EQ(e->exact, 1u);
    EXPECT_NE(tt_probe(3, 4), nullptr);
    EXPECT_EQ(tt_probe(6, 4), nullptr);
    EXPECT_EQ(tt_probe(5, 5), nullptr);
    score_engine += 1; // same lines, other scores
    EXPECT_EQ(tt_probe(5, 4), nullptr);
    score_engine -= 1;
    draw({v(0, 1)}); // another position
    EXPECT_EQ(tt_probe(0, 4), nullptr);
}

// The packed fields hold the extremes the search stores: depth 20, the move number after
// the last line, all boxes to one side, and the values at both ends of the range.
TEST_F(Table, PackedFieldsHoldTheirRanges) {
    struct Case {
        int depth, move_number, value, exact, score_engine, score_opponent;
    };
    const Case cases[] = {
        {20, 61, 100000, 1, 25, 0}, {1, 1, -100000, 0, 0, 25}, {4095, 255, -7513, 1, 13, 12}};
    for (const Case& c : cases) {
        score_engine = c.score_engine;
        score_opponent = c.score_opponent;
        tt_store(c.depth, c.move_number, c.value, c.exact);
        const TTEntry* e = tt_probe(c.depth, c.move_number);
        ASSERT_NE(e, nullptr) << c.depth;
        EXPECT_EQ(e->value, c.value);
        EXPECT_EQ(static_cast<int>(e->exact), c.exact);
        EXPECT_EQ(tt_probe(c.depth + 1, c.move_number), nullptr);
    }
}

TEST_F(Table, NewestStoreToASlotWins) {
    draw({h(3, 3)});
    tt_store(9, 2, 50, 1);
    // Another position sharing the slot: same index_hash modulo the table size.
    uint64_t ih = index_hash, ch = check_hash;
    index_hash = ih + TT_SIZE;
    check_hash = ch + 1;
    tt_store(1, 2, 60, 0);
    const TTEntry* e = tt_probe(1, 2);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->value, 60);
    EXPECT_EQ(e->exact, 0u);
    index_hash = ih;
    check_hash = ch;
    EXPECT_EQ(tt_probe(1, 2), nullptr);
}

} // namespace
