// dab-host's game record: whose turn it is after each line, and what a take back removes.
#include "game.h"

#include <gtest/gtest.h>

namespace {

using dab_host::ENGINE;
using dab_host::Game;
using dab_host::PERSON;

int L(const char* code) {
    return dabtools::parse_line_code(code);
}

// Plays codes in order for whoever is to move.
void Play(Game& g, std::initializer_list<const char*> codes) {
    for (const char* c : codes) g.Draw(L(c));
}

TEST(DabHostGame, ACompletedBoxKeepsTheTurnAndTheLastLineEndsTheGame) {
    Game g;
    g.Reset(PERSON);
    Play(g, {"AAA", "ABA", "BAA"}); // you, engine, you: box 0 has three sides
    EXPECT_EQ(g.toMove(), ENGINE);
    EXPECT_FALSE(g.Draw(L("BBA"))); // the engine takes box 0 and draws on
    EXPECT_EQ(g.toMove(), ENGINE);
    EXPECT_TRUE(g.Draw(L("AFE")));
    EXPECT_EQ(g.toMove(), PERSON);
    ASSERT_EQ(g.turns().size(), 4u);
    EXPECT_EQ(g.turns()[3].codes(), "BBAAFE");
    EXPECT_EQ(g.board().owner[0], ENGINE);

    Game full;
    full.Reset(ENGINE);
    for (int line = 0; line < dabtools::LINES; ++line) full.Draw(line);
    EXPECT_TRUE(full.over());
    EXPECT_FALSE(full.personTurnOpen());
    EXPECT_EQ(full.board().score[PERSON] + full.board().score[ENGINE], dabtools::BOXES);
}

using dab_host::Player;

struct TakeBackCase {
    const char* name;
    Player opener;
    std::vector<const char*> lines;
    bool taken;
    size_t turnsLeft;
    int boxesLeft;
};

class TakeBack : public ::testing::TestWithParam<TakeBackCase> {};

TEST_P(TakeBack, LeavesThePersonToMoveOnTheReplayedBoard) {
    const TakeBackCase& c = GetParam();
    Game g;
    g.Reset(c.opener);
    for (const char* code : c.lines) g.Draw(L(code));
    EXPECT_EQ(g.TakeBack(), c.taken);
    EXPECT_EQ(g.turns().size(), c.turnsLeft);
    EXPECT_EQ(g.toMove(), PERSON);
    EXPECT_FALSE(g.personTurnOpen());
    EXPECT_EQ(g.board().score[PERSON] + g.board().score[ENGINE], c.boxesLeft);
    size_t drawn = 0;
    for (const dab_host::Turn& t : g.turns()) drawn += t.lines.size();
    EXPECT_EQ(static_cast<size_t>(g.board().lines_drawn), drawn);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TakeBack,
    ::testing::Values(
        // Your turn and the engine's answer to it go.
        TakeBackCase{"pair", PERSON, {"AAA", "ABA", "AFE", "BFE"}, true, 2, 0},
        // What you drew of a turn still open goes, the box it took with it.
        TakeBackCase{"open_turn", ENGINE, {"AAA", "ABA", "BAA", "BBA"}, true, 3, 0},
        // The engine's box of the turn taken back goes too.
        TakeBackCase{"engine_box", PERSON, {"AAA", "ABA", "BAA", "BBA", "AFE"}, true, 2, 0},
        // Nothing of yours to take back.
        TakeBackCase{"nothing", ENGINE, {"AAA"}, false, 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
