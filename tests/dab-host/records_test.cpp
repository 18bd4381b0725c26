// dab-host's pieces that need no window: the history line a game gives an engine, the
// engine's board picture read back, and a game saved as a record and opened again.
#include "engine_view.h"
#include "game.h"
#include "record_fields.h"
#include "record_file.h"
#include "saved_game.h"

#include <gtest/gtest.h>

namespace {

using dab_host::ENGINE;
using dab_host::Game;
using dab_host::PERSON;
using dab_host::Player;

int Line(const char* code) {
    return dabtools::parse_line_code(code);
}

Game Played(Player opener, const std::vector<const char*>& codes) {
    Game g;
    g.Reset(opener);
    for (const char* c : codes) g.Draw(Line(c));
    return g;
}

struct HistoryCase {
    Player opener, side;
    std::vector<const char*> lines;
    const char* text;
};

// The colour word is the side's: "black" exactly when that side drew the first line; a
// turn of several lines (a box taken) is given line by line in the order drawn.
TEST(DabHostHistory, NamesTheSideThatOpenedAndEveryLineInOrder) {
    const HistoryCase cases[] = {
        {PERSON, ENGINE, {}, "history white 0 -"},
        {PERSON, PERSON, {}, "history black 0 -"},
        {ENGINE, ENGINE, {"AAA"}, "history black 1 AAA"},
        {ENGINE, PERSON, {"AAA"}, "history white 1 AAA"},
        // you, engine, you (three sides of box 1), the engine takes it and draws on
        {PERSON, ENGINE, {"AAA", "ABA", "BAA", "BBA", "AFE"}, "history white 5 AAAABABAABBAAFE"},
    };
    for (const HistoryCase& c : cases) {
        Game g = Played(c.opener, c.lines);
        EXPECT_EQ(g.HistoryText(c.side), c.text);
        EXPECT_EQ(g.Lines().size(), c.lines.size());
    }
}

// A board of the engine's numbering (player 1 the engine, 'c') and the window's (PERSON 1).
struct Drawn {
    const char* code;
    Player by;
};

std::vector<std::string> Rows(const std::string& picture) {
    std::vector<std::string> rows;
    size_t at = 0;
    for (size_t end; (end = picture.find('\n', at)) != std::string::npos; at = end + 1)
        rows.push_back(picture.substr(at, end - at));
    return rows;
}

TEST(DabHostEngineView, ReadsEveryEdgeLineAndBoxOwnerOfThePicture) {
    // Lines on all four borders and both corners of each kind, and boxes of both owners in
    // the first and last rows and columns.
    const std::vector<Drawn> lines = {
        {"AAA", PERSON}, {"ABA", ENGINE}, {"BAA", PERSON}, {"BBA", ENGINE}, // box 1: engine's
        {"AFE", PERSON}, {"BFE", ENGINE}, {"AEE", PERSON}, {"BEE", PERSON}, // box 25: yours
        {"AAE", ENGINE}, {"BAE", PERSON}, {"AFA", ENGINE}, {"BFA", ENGINE}};
    dabtools::Board engineSide, windowSide;
    for (const Drawn& d : lines) {
        engineSide.draw(Line(d.code), d.by == ENGINE ? 1 : 2);
        windowSide.draw(Line(d.code), d.by);
    }
    ASSERT_EQ(windowSide.owner[0], ENGINE);
    ASSERT_EQ(windowSide.owner[24], PERSON);
    dab_host::EngineView view;
    ASSERT_TRUE(dab_host::ReadEngineView(Rows(engineSide.engine_picture()), &view));
    EXPECT_EQ(dab_host::ViewDiffers(view, windowSide), "");
    EXPECT_EQ(view.lines, static_cast<int>(lines.size()));
    EXPECT_EQ(view.score[PERSON], 1);
    EXPECT_EQ(view.score[ENGINE], 1);

    // One line more on either side, or a box given to the other owner, is named.
    dabtools::Board more = windowSide;
    more.draw(Line("ACC"), PERSON);
    EXPECT_NE(dab_host::ViewDiffers(view, more).find("line ACC"), std::string::npos);
    dabtools::Board swapped = windowSide;
    swapped.owner[24] = ENGINE;
    EXPECT_NE(dab_host::ViewDiffers(view, swapped).find("box 25"), std::string::npos);

    // What is not such a picture is refused.
    std::vector<std::string> rows = Rows(engineSide.engine_picture());
    std::vector<std::string> shortOne(rows.begin(), rows.end() - 1);
    EXPECT_FALSE(dab_host::ReadEngineView(shortOne, &view));
    std::vector<std::string> badBox = rows;
    badBox[2][3] = 'x';
    EXPECT_FALSE(dab_host::ReadEngineView(badBox, &view));
    std::vector<std::string> badDot = rows;
    badDot[20][25] = '-';
    EXPECT_FALSE(dab_host::ReadEngineView(badDot, &view));
}

struct SaveCase {
    const char* name;
    Player opener;
    std::vector<const char*> lines; // empty with full: every line in order
    bool full;
};

class SavedGame : public ::testing::TestWithParam<SaveCase> {};

// Saved, read back by the records' reader and turned into a game again: the same turns by
// the same players, the same boxes, the person on the colour labelled "you".
TEST_P(SavedGame, OpensAsTheGameThatWasSaved) {
    const SaveCase& c = GetParam();
    Game g;
    g.Reset(c.opener);
    if (c.full)
        for (int line = 0; line < dabtools::LINES; ++line) g.Draw(line);
    for (const char* code : c.lines) g.Draw(Line(code));

    const std::string text =
        matchtools::json_line(dab_host::RecordOfGame(g, "vantry", "Vantry 1.0")) + "\n";
    game_records::DabRecord r;
    std::string why;
    ASSERT_TRUE(game_records::read_dab_record(game_records::Json::parse(text), r, why)) << why;
    EXPECT_EQ(r.over, g.over());
    EXPECT_EQ(r.game.winner >= 0, g.over());
    const int person = dab_host::PersonColour(r, 0);
    EXPECT_EQ(person, c.opener == PERSON ? 0 : 1);
    EXPECT_EQ(r.game.labels[1 - person], "vantry");

    Game back = dab_host::GameOfRecord(r, r.game.turns.size(), person);
    ASSERT_EQ(back.turns().size(), g.turns().size());
    for (size_t i = 0; i < g.turns().size(); ++i) {
        EXPECT_EQ(back.turns()[i].player, g.turns()[i].player) << i;
        EXPECT_EQ(back.turns()[i].codes(), g.turns()[i].codes()) << i;
    }
    EXPECT_EQ(back.board().score[PERSON], g.board().score[PERSON]);
    EXPECT_EQ(back.board().score[ENGINE], g.board().score[ENGINE]);
    EXPECT_EQ(back.toMove(), g.toMove());
    EXPECT_EQ(back.personTurnOpen(), g.personTurnOpen());
    EXPECT_EQ(dab_host::ColourToMove(r, r.game.turns.size()),
              g.over()                                  ? -1
              : (g.toMove() == PERSON) == (person == 0) ? 0
                                                        : 1);
    // At the start Black, the opener, is to move.
    EXPECT_EQ(dab_host::ColourToMove(r, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Games, SavedGame,
    ::testing::Values(SaveCase{"you_open", PERSON, {"AAA", "ABA", "AFE"}, false},
                      SaveCase{"engine_opens", ENGINE, {"AAA", "ABA", "AFE", "BFE"}, false},
                      // you took box 1 and have a line still to draw
                      SaveCase{"open_turn", ENGINE, {"AAA", "ABA", "BAA", "BBA"}, false},
                      SaveCase{"over", PERSON, {}, true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

// Fields of an unexpected kind are read as missing, never as something else: a number where a
// label belongs, an opening move that is not text, a game number that is not whole.
TEST(GameRecordFields, OddFieldsReadAsMissing) {
    using game_records::Json;
    const Json r = Json::parse(R"({"type":"game","game":2.5,"black":7,"white":"w",
        "white_name":"vantry","opening":{"moves":["AAA",3,"BBB"],"source":"f.txt:2"}})");
    std::string why;
    EXPECT_TRUE(game_records::check_game_record(Json::parse(R"({"turns":[]})"), "turns", "a", why));
    EXPECT_FALSE(game_records::check_game_record(r, "turns", "a Dots-and-Boxes", why));
    EXPECT_EQ(why, "not a Dots-and-Boxes game record (it has no \"turns\")");
    EXPECT_FALSE(game_records::check_game_record(Json::parse(R"({"type":"pair","turns":[]})"),
                                                 "turns", "a", why));
    EXPECT_EQ(why, "not a game record (its type is \"pair\")");
    long long number = -1;
    std::string labels[2], names[2];
    game_records::read_players(r, number, labels, names);
    EXPECT_EQ(number, -1);
    EXPECT_EQ(labels[0], "");
    EXPECT_EQ(labels[1], "w");
    EXPECT_EQ(names[1], "vantry");
    std::string source;
    EXPECT_EQ(game_records::read_opening(r, source), (std::vector<std::string>{"AAA", "BBB"}));
    EXPECT_EQ(source, "f.txt:2");
    EXPECT_EQ(game_records::colour_of(Json(1)), -1);
}
