#include "play_logic.h"

#include "child_process.h"
#include "orbello_game_record.h"
#include "record_file.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orbello_host {
namespace {

TEST(OrbelloHostTakeBack, GoesBackToBeforeThePersonsLastMove) {
    struct Case {
        size_t moves;
        int person; // -1: people play both sides
        size_t keep;
    } cases[] = {
        {0, BLACK, 0},
        {1, BLACK, 0},
        {2, BLACK, 0},
        {3, BLACK, 2},
        {4, BLACK, 2},
        {9, BLACK, 8},
        // White: the engine's first move alone is nothing of the person's to take back.
        {0, WHITE, 0},
        {1, WHITE, 1},
        {2, WHITE, 1},
        {3, WHITE, 1},
        {4, WHITE, 3},
        {1, -1, 0},
        {5, -1, 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TakeBackLength(c.moves, c.person), c.keep)
            << c.moves << " moves, person " << c.person;
}

TEST(OrbelloHostHistory, LineNamesTheEnginesColourAndEveryMove) {
    EXPECT_EQ(HistoryLine(WHITE, {}), "history white 0");
    EXPECT_EQ(HistoryLine(BLACK, {"DBCC", "DEDD", "DADB"}), "history black 3 DBCC DEDD DADB");
}

TEST(OrbelloHostLevels, OnlyTheProjectsEngineTakesThem) {
    struct Case {
        const char* command;
        bool own;
    } cases[] = {
        {"OrbelloEngine.exe --movetime 0 --depth 3", true},
        {"\"C:\\Program Files\\Orbello\\OrbelloEngine.exe\" --movetime 1000", true},
        {"ORBELLOENGINE.EXE", true},
        {"build/release/bin/orbello-engine --movetime 300", true},
        {"orbello-engine.exe", true},
        {"scripted_engine.exe EEDD", false},
        {"OrbelloEngine2.exe", false},
        {"my-orbello-engine", false},
        {"orbello-opponent greedy", false},
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsOwnEngine(c.command), c.own) << c.command;
}

// The value the engine reads for option: the last one given wins; empty when it is absent.
std::string LastValue(const std::vector<std::string>& words, const std::string& option) {
    std::string value;
    for (size_t i = 0; i + 1 < words.size(); ++i)
        if (words[i] == option) value = words[i + 1];
    return value;
}

TEST(OrbelloHostLevels, HintAsksTheOwnEngineAtFullStrengthWithinItsBudget) {
    struct Case {
        const char* game;
        const char* level;    // the --level the hint engine reads; "" when not given
        const char* movetime; // and its --movetime
    } cases[] = {
        {"OrbelloEngine.exe --movetime 0 --depth 3 --seed 1 --level 1", "5", "500"},
        {"OrbelloEngine.exe --movetime 0 --depth 3 --seed 1 --level 4", "5", "500"},
        {"\"C:\\Program Files\\Orbello\\OrbelloEngine.exe\" --movetime 3000 --level 2", "5", "500"},
        {"build/release/bin/orbello-engine", "5", "500"},
        // Another engine is asked as it was given: it may not know the options.
        {"scripted_engine.exe EEDD --level 2", "2", ""},
        {"orbello-opponent greedy", "", ""},
    };
    for (const Case& c : cases) {
        const std::string hint = HintCommand(c.game, 500);
        const std::vector<std::string> words = dabtools::split_command(hint);
        const std::vector<std::string> game = dabtools::split_command(c.game);
        ASSERT_GE(words.size(), game.size()) << hint;
        // The game's own options (its depth, its seed, the program) are kept.
        EXPECT_TRUE(std::equal(game.begin(), game.end(), words.begin())) << hint;
        EXPECT_EQ(LastValue(words, "--level"), c.level) << hint;
        EXPECT_EQ(LastValue(words, "--movetime"), c.movetime) << hint;
    }
    EXPECT_EQ(HintCommand("", 500), ""); // people play both sides: nobody to ask
}

TEST(OrbelloHostReplies, MoveReadAsTheModuleReadsIt) {
    struct Case {
        const char* line;
        const char* move;
    } cases[] = {
        {"move ABCD", "ABCD"}, {"move ABCD\nend\n", "ABCD"}, {"xx move EFAB yy", "EFAB"},
        {"move ABC", ""},      {"name orbello-engine", ""},  {"move AB\nCD", ""},
        {"history ok", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(MoveOfReply(c.line), c.move) << c.line;
}

TEST(OrbelloHostPanel, TextWrapsAtBlanksWithinTheWidth) {
    const auto chars = [](const std::string& s) { return static_cast<int>(s.size()); };
    struct Case {
        const char* text;
        int width;
        std::vector<std::string> lines;
    } cases[] = {
        {"", 5, {}},
        {"a bb ccc", 4, {"a bb", "ccc"}},
        {"abcd efgh", 9, {"abcd efgh"}},    // exactly the width
        {"abcd efgh", 8, {"abcd", "efgh"}}, // one short
        {"  lead   trail  ", 20, {"lead trail"}},
        {"abcdefghij", 4, {"abcd", "efgh", "ij"}}, // a word longer than a line is cut
        {"x abcdefgh y", 4, {"x", "abcd", "efgh", "y"}},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> got = WrapText(c.text, c.width, chars);
        EXPECT_EQ(got, c.lines) << '"' << c.text << "\" in " << c.width;
        for (const std::string& line : got) EXPECT_LE(chars(line), c.width) << line;
    }
}

TEST(OrbelloHostReplay, PositionByTheRulesAndTheMoveThatIsNot) {
    // A referee's game of 30 plies (tests/orbello-windows/records/referee_match.jsonl).
    const std::vector<std::string> game = {
        "CBCC", "CECD", "DBDC", "DEDD", "DACB", "DDEC", "CBDA", "ECDA", "DCDA", "FEED",
        "CADB", "CDBD", "CCCF", "BDCF", "DACF", "EDCF", "DBCF", "DFCF", "AACF", "AFCF",
        "FACF", "FFCF", "BAAA", "BECD", "ABBC", "CDBC", "BBBC", "CFBC", "AABC", "AEBE"};
    Replayed r;
    std::string why;
    ASSERT_TRUE(ReplayMoves(game, 'A', 'A', r, why)) << why;
    EXPECT_EQ(r.pieces[BLACK], 4);
    EXPECT_EQ(r.pieces[WHITE], 4);
    EXPECT_EQ(r.sideToMove, BLACK);
    EXPECT_FALSE(r.over);

    struct Bad {
        std::vector<std::string> moves;
        int baseX, baseY;
        const char* named;
    } bad[] = {
        {{"DBCC", "DBCD"}, 'A', 'A', "move 2 'DBCD'"}, // Black's piece moved by White
        {{"DBCG"}, 'A', 'A', "move 1 'DBCG'"},         // off the board by one row
        {{"DBC"}, 'A', 'A', "move 1 'DBC'"},
        {{"dbcc"}, 'A', 'A', "move 1 'dbcc'"}, // another base
    };
    for (const Bad& b : bad) {
        EXPECT_FALSE(ReplayMoves(b.moves, b.baseX, b.baseY, r, why)) << b.named;
        EXPECT_NE(why.find(b.named), std::string::npos) << why;
    }
    ASSERT_TRUE(ReplayMoves({"dbcc", "dedd"}, 'a', 'a', r, why)) << why;
    EXPECT_EQ(r.sideToMove, BLACK);
    EXPECT_EQ(r.board[2][2], BLACK);
}

TEST(OrbelloHostSave, RecordReadsBackAsTheGameSaved) {
    const std::string labels[2] = {"person", "OrbelloEngine.exe --level 3"};
    struct Case {
        std::vector<std::string> moves;
        int base;
        int winner;
        bool over;
    } cases[] = {
        {{}, 'A', -1, false},
        {{"DBCC", "DEDD", "DADB"}, 'A', -1, false},
        {{"dbcc", "dedd"}, 'a', -1, false}, // the module's bases kept in the record
        {{"DBCC"}, 'A', BLACK, true},       // a result read back as over
    };
    for (const Case& c : cases) {
        const matchtools::Json saved = SavedGameRecord(c.moves, c.base, c.base, labels, c.winner);
        // Through the text a file holds, as the window writes and reads it.
        const matchtools::Json line = matchtools::Json::parse(matchtools::json_line(saved));
        game_records::OrbelloRecord back;
        std::string why;
        ASSERT_TRUE(game_records::read_orbello_record(line, back, why)) << why;
        ASSERT_EQ(back.game.moves.size(), c.moves.size());
        for (size_t i = 0; i < c.moves.size(); ++i) EXPECT_EQ(back.game.moves[i].text, c.moves[i]);
        EXPECT_EQ(back.game.base_x, c.base);
        EXPECT_EQ(back.game.labels[1], labels[1]);
        EXPECT_EQ(back.over, c.over);
        EXPECT_EQ(back.game.winner, c.winner);
        EXPECT_EQ(back.game.pieces[BLACK] + back.game.pieces[WHITE], 24);
        matchtools::GameSummary summary;
        EXPECT_TRUE(matchtools::summary_of(line, summary, why)) << why;
    }
}

} // namespace
} // namespace orbello_host
