// The driver in-process: line codes, the board picture, the input reader and whole
// command sessions fed one command at a time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "chunk_source.h"
#include "dab_board.h"
#include "driver/board_printer.h"
#include "driver/command_loop.h"
#include "driver/history_command.h"
#include "driver/line_codes.h"
#include "model/model_check.h"
#include "model_fixture.h"
#include "search/transposition_table.h"

using namespace model_fixture;

namespace {

std::string printed_board() {
    std::FILE* f = std::tmpfile();
    print_board(f);
    std::string s;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;) s += static_cast<char>(c);
    std::fclose(f);
    return s;
}

std::vector<std::string> lines_of(const std::string& s) {
    std::vector<std::string> v;
    size_t start = 0;
    for (size_t i; (i = s.find('\n', start)) != std::string::npos; start = i + 1)
        v.push_back(s.substr(start, i - start));
    return v;
}

TEST(MoveCodes, RoundTripAndExamples) {
    char code[4];
    encode_move(Move{0, 5, 4}, code);
    EXPECT_STREQ(code, "AFE");
    encode_move(Move{1, 4, 5}, code);
    EXPECT_STREQ(code, "BFE");
    EXPECT_EQ(decode_move("BCA"), (Move{1, 0, 2}));
    EXPECT_EQ(decode_move("AAA"), (Move{0, 0, 0}));
    for (int o = 0; o <= 1; ++o)
        for (int a = 0; a <= 5; ++a)
            for (int b = 0; b <= 5; ++b) {
                Move m{o, a, b};
                if (!is_on_board(m)) continue;
                encode_move(m, code);
                EXPECT_EQ(decode_move(code), m) << code;
            }
    EXPECT_FALSE(is_on_board(decode_move("CAA")));
    EXPECT_FALSE(is_on_board(decode_move("AGA")));
    EXPECT_FALSE(is_on_board(decode_move("BAF")));
    EXPECT_FALSE(is_on_board(decode_move("aaa")));
}

TEST(BoardPrinter, EmptyBoard) {
    fresh();
    std::string dots = "*    *    *    *    *    *";
    std::string blank(26, ' ');
    std::string expected;
    for (int r = 0; r < 5; ++r)
        expected += dots + "\n" + blank + "\n" + blank + "\n" + blank + "\n";
    expected += dots + "\n";
    EXPECT_EQ(printed_board(), expected);
}

TEST(BoardPrinter, LinesAndOwners) {
    fresh();
    draw({h(0, 0)});
    std::vector<std::string> l = lines_of(printed_board());
    ASSERT_EQ(l.size(), 21u);
    EXPECT_EQ(l[0], "*----*    *    *    *    *");

    fresh();
    draw({v(0, 0)});
    l = lines_of(printed_board());
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(l[i], "|" + std::string(25, ' '));

    // Box (0, 0) won by the opponent, (4, 4) by the engine.
    fresh();
    draw({h(0, 0), h(1, 0), v(0, 0), v(0, 1)}, OPPONENT);
    draw({h(4, 4), h(5, 4), v(4, 5), v(4, 4)}, ENGINE);
    l = lines_of(printed_board());
    EXPECT_EQ(l[0], "*----*    *    *    *    *");
    EXPECT_EQ(l[1], "|    |                    ");
    EXPECT_EQ(l[2], "|  H |                    ");
    EXPECT_EQ(l[4], "*----*    *    *    *    *");
    EXPECT_EQ(l[18], "                    |  c |");
    EXPECT_EQ(l[20], "*    *    *    *    *----*");
    for (const std::string& s : l) EXPECT_EQ(s.size(), 26u);
}

TEST(WordInput, WordsCountsAndLongWords) {
    std::string longword(300, 'x');
    std::string text = "  move\t-12 abc\n\n+7 +x -  99999999999 " + longword + " end";
    const char* chunks[] = {text.c_str()};
    ChunkSource src(chunks, 1);
    WordInput in(src);
    char w[WORD_BUFFER];
    int n = 0;
    ASSERT_TRUE(in.read_word(w));
    EXPECT_STREQ(w, "move");
    ASSERT_EQ(in.read_count(n), CountResult::ok);
    EXPECT_EQ(n, -12);
    EXPECT_EQ(in.read_count(n), CountResult::not_a_number);
    ASSERT_TRUE(in.read_word(w));
    EXPECT_STREQ(w, "abc");
    ASSERT_EQ(in.read_count(n), CountResult::ok);
    EXPECT_EQ(n, 7);
    EXPECT_EQ(in.read_count(n), CountResult::not_a_number);
    ASSERT_TRUE(in.read_word(w));
    EXPECT_STREQ(w, "+x");
    EXPECT_EQ(in.read_count(n), CountResult::not_a_number);
    ASSERT_TRUE(in.read_word(w));
    EXPECT_STREQ(w, "-");
    ASSERT_EQ(in.read_count(n), CountResult::ok);
    EXPECT_EQ(n, 2147483647);
    ASSERT_TRUE(in.read_word(w));
    EXPECT_EQ(std::string(w), std::string(255, 'x'));
    ASSERT_TRUE(in.read_word(w));
    EXPECT_STREQ(w, "end");
    EXPECT_FALSE(in.read_word(w));
    EXPECT_EQ(in.read_count(n), CountResult::end_of_input);
}

TEST(WordInput, DropPendingDiscardsTheRestOfWhatArrived) {
    const char* chunks[] = {"name? quit now\nmore\n", "next"};
    ChunkSource src(chunks, 2);
    WordInput in(src);
    char w[WORD_BUFFER];
    ASSERT_TRUE(in.read_word(w));
    in.drop_pending();
    ASSERT_TRUE(in.read_word(w));
    EXPECT_STREQ(w, "next");
}

std::string contents(std::FILE* f) {
    std::string s;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;) s += static_cast<char>(c);
    std::fclose(f);
    return s;
}

// A session fed one command at a time, as the platform does; returns the output.
struct Session {
    std::string output;
    std::string errors;
    int status = -1;

    // A short search by default; tests that count what the search does give a fixed depth
    // and no time limit instead, so the machine's speed cannot change the outcome.
    static SearchLimits quick() {
        SearchLimits limits;
        limits.budget_ms = 30;
        limits.max_depth = 4;
        return limits;
    }

    explicit Session(std::vector<std::string> commands, SearchLimits limits = quick()) {
        std::vector<const char*> chunks;
        for (std::string& c : commands) chunks.push_back(c.c_str());
        ChunkSource src(chunks.data(), static_cast<int>(chunks.size()));
        WordInput in(src);
        std::FILE* f = std::tmpfile();
        std::FILE* e = std::tmpfile();
        status = run_command_loop(in, f, e, limits);
        output = contents(f);
        errors = contents(e);
    }

    // Output lines that are not part of a board picture.
    std::vector<std::string> replies() const {
        std::vector<std::string> v;
        for (const std::string& s : lines_of(output))
            if (!s.empty() && s[0] != '*' && s[0] != ' ' && s[0] != '|') v.push_back(s);
        return v;
    }
    size_t line_count() const { return lines_of(output).size(); }
};

TEST(CommandLoop, NameQuitAndSilentCommands) {
    Session s({"name?\n", "error\n", "end\n", "hello\n", "name?\n", "quit\n", "name?\n"});
    EXPECT_EQ(s.output, "name xxxx\nname xxxx\nQuit!\n");
    EXPECT_EQ(s.status, 0);
    Session eof({"hello"});
    EXPECT_EQ(eof.output, "");
    EXPECT_EQ(eof.status, 0);
    // "error" and "end" drop what arrived with them; a word that is no command does not.
    Session dropped({"error name?\n", "end name?\n", "hello name?\n"});
    EXPECT_EQ(dropped.output, "name xxxx\n");
}

TEST(CommandLoop, NewGames) {
    Session black({"new black\n"});
    ASSERT_EQ(black.line_count(), 22u);
    std::vector<std::string> r = black.replies();
    ASSERT_EQ(r.size(), 1u);
    ASSERT_EQ(r[0].size(), 10u);
    EXPECT_EQ(r[0].substr(0, 7), "move 1 ");
    EXPECT_TRUE(is_on_board(decode_move(r[0].c_str() + 7)));
    EXPECT_EQ(engine_first, 1);
    EXPECT_EQ(round1, 2);

    // Only the exact word black opens.
    for (const char* colour : {"new Black\n", "new red\n"}) {
        Session other({colour});
        EXPECT_EQ(other.line_count(), 21u) << colour;
        EXPECT_TRUE(other.replies().empty()) << colour;
        EXPECT_EQ(engine_second, 1) << colour;
    }

    Session both({"new black\n", "new white\n"});
    EXPECT_EQ(both.line_count(), 22u + 21u);
    EXPECT_EQ(engine_first, 0);
    EXPECT_EQ(engine_second, 1);
    EXPECT_EQ(round1, 1);
}

// Entries of the table that hold a stored position.
static int stored_entries() {
    int n = 0;
    for (const TTEntry& e : transposition_table) n += e.check != 0;
    return n;
}

TEST(CommandLoop, TableIsKeptAcrossGamesOfTheSameOpenerOnly) {
    SearchLimits depth3;
    depth3.budget_ms = 1000000;
    depth3.max_depth = 3;
    // Eleven quiet lines take the engine past the opening into a real search.
    Session second({"new white\n", "move 11 ABAABBABCABDABEADAADBADCADDADEAFA\n", "new white\n"},
                   depth3);
    const int kept = stored_entries();
    ASSERT_GT(kept, 50);
    // Another game as second player keeps what the first one stored...
    Session again({"new white\n"}, depth3);
    EXPECT_EQ(stored_entries(), kept);
    // ...a game the engine opens starts from an empty table: only its one opening search,
    // a single line per node, stores anything.
    Session first({"new black\n"}, depth3);
    EXPECT_LT(stored_entries(), 20);
}

TEST(CommandLoop, OpponentLinesThenTheEnginesReply) {
    Session s({"new white\n", "move 2 BCAACA\n"});
    std::vector<std::string> r = s.replies();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0], "round1=4");
    EXPECT_EQ(r[1].substr(0, 7), "move 1 ");
    EXPECT_EQ(s.line_count(), 21u + 21u + 2u + 21u);
    EXPECT_TRUE(vline_drawn[vline_index(0, 2)]);
    EXPECT_TRUE(hline_drawn[hline_index(2, 0)]);
}

// Codes off the board, already drawn, or cut short never reach the model, and round1
// keeps counting drawn lines; a count that is not a number applies no line.
TEST(CommandLoop, BadCodesAreSkipped) {
    Session s({"new white\n", "move 6 BCABCAZZZAGACAAaaaAA\n"});
    std::vector<std::string> r = s.replies();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0], "round1=3");
    Session t({"new white\n", "move x BCA\n"});
    r = t.replies();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0], "round1=2");
    Session u({"new white\n", "move -3 BCA\n"});
    EXPECT_EQ(u.replies()[0], "round1=2");
    Session big({"new white\n", "move 2000000000 BCA" + std::string(400, 'A') + "\n"});
    EXPECT_EQ(big.replies()[0], "round1=4"); // BCA, then AAA once
}

std::string all_codes() {
    std::string codes;
    char c[4];
    for (int o = 0; o <= 1; ++o)
        for (int a = 0; a <= 5; ++a)
            for (int b = 0; b <= 5; ++b)
                if (is_on_board(Move{o, a, b})) {
                    encode_move(Move{o, a, b}, c);
                    codes += c;
                }
    return codes;
}

TEST(CommandLoop, SixtiethLineEndsTheProgram) {
    Session s({"new white\n", "move 60 " + all_codes() + "\n", "name?\n"});
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.line_count(), 42u);
    EXPECT_TRUE(s.replies().empty());
    EXPECT_EQ(score_opponent, 25);
}

// 59 lines from the opponent: the engine still draws the last one.
TEST(CommandLoop, FiftyNinthLineGetsTheLastReply) {
    std::string codes = all_codes();
    Session s({"new white\n", "move 59 " + codes.substr(0, 3 * 59) + "\n", "quit\n"});
    std::vector<std::string> r = s.replies();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0], "round1=61");
    EXPECT_EQ(r[1], "move 1 " + codes.substr(3 * 59));
    EXPECT_EQ(r[2], "Quit!");
}

// The engine's last lines: a reply stops at the 60th line even when it completed a box.
TEST(CommandLoop, ReplyStopsAtTheLastLine) {
    std::string codes = all_codes();
    // Everything but the top of box (0, 0) and the bottom of box (4, 4): each of the
    // engine's two lines completes a box, and the second is the last line.
    std::string rest;
    for (size_t i = 0; i < codes.size(); i += 3) {
        std::string c = codes.substr(i, 3);
        if (c != "AFE" && c != "AAA") rest += c;
    }
    Session s({"new white\n", "move 58 " + rest + "\n", "quit\n"});
    std::vector<std::string> r = s.replies();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0], "round1=61");
    EXPECT_EQ(r[1].substr(0, 7), "move 2 ");
    EXPECT_EQ(score_engine, 2);
    EXPECT_EQ(r[2], "Quit!");
}

// Random games cut anywhere, either side opening: the replay gives every line to the side
// the tools' plain board gives it to, with the same boxes, scores and turn.
TEST(History, ReplayGivesEachLineToItsOwner) {
    std::mt19937 rng(11);
    for (int trial = 0; trial < 40; ++trial) {
        std::vector<int> order(dabtools::LINES);
        for (int l = 0; l < dabtools::LINES; ++l) order[static_cast<size_t>(l)] = l;
        std::shuffle(order.begin(), order.end(), rng);
        const int count = trial < 2 ? trial * 59 : static_cast<int>(rng() % 60);
        std::string codes = count == 0 ? "-" : "";
        dabtools::Board judge;
        int side = 1 + trial % 2; // the plain board's players: 1 the engine
        for (int i = 0; i < count; ++i) {
            codes += dabtools::line_code(order[static_cast<size_t>(i)]);
            if (judge.draw(order[static_cast<size_t>(i)], side) == 0) side = 3 - side;
        }
        GameHistory h;
        char why[160];
        ASSERT_EQ(read_history(trial % 2 ? "white" : "black", CountResult::ok, count, codes.c_str(),
                               h, why, 160),
                  nullptr);
        EXPECT_EQ(replay_history(h, 1), side == 1 ? ENGINE : OPPONENT) << codes;
        EXPECT_EQ(score_engine * 100 + score_opponent, judge.score[1] * 100 + judge.score[2]);
        EXPECT_EQ(round1, count + 1);
        for (int b = 0; b < BOX_COUNT; ++b)
            EXPECT_EQ(box_glyph[b], " cH"[judge.owner[static_cast<size_t>(b)]]) << codes;
        EXPECT_EQ(model_fault(), nullptr) << codes;
    }
}

// Box (0, 0) by its sides AAA ABA BAA BBA, box (4, 4) by AEE AFE BEE BFE. The history
// replaces another game; the boxes printed are the engine's own view of the score.
TEST(History, AcceptedHistoriesAndTheTurnAfterThem) {
    struct Case {
        const char* command;
        bool engine_moves;
        int engine_boxes, opponent_boxes;
    };
    for (const Case& c :
         {Case{"history black 0 -", true, 0, 0}, Case{"history white 4 AAAABABAABBA", true, 1, 0},
          Case{"history black 4 AAAABABAABBA", false, 0, 1},
          Case{"history white 9 AAAABABAABBAAEEAFEBEEBFEACC", true, 1, 1}}) {
        Session s({"new black\n", "move 1 ADD\n", std::string(c.command) + "\n"});
        const std::string after = s.output.substr(s.output.find("history ok\n"));
        const std::vector<std::string> r = lines_of(after);
        ASSERT_EQ(r.size(), c.engine_moves ? 24u : 22u) << c.command << "\n" << s.output;
        if (c.engine_moves) {
            EXPECT_EQ(r[1], "round1=" + std::to_string(round1)) << c.command;
            EXPECT_EQ(r[2].substr(0, 5), "move ") << c.command;
        }
        EXPECT_EQ(std::count(after.begin(), after.end(), 'c'), c.engine_boxes) << c.command;
        EXPECT_EQ(std::count(after.begin(), after.end(), 'H'), c.opponent_boxes) << c.command;
        EXPECT_EQ(s.errors, "");
    }
}

// Malformed or illegal histories: one complaint on the error stream, "history refused",
// and the next move still plays on the game the engine had.
TEST(History, RefusedHistoriesKeepTheGame) {
    const std::string all = all_codes();
    for (const std::string& c :
         {std::string("red 0 -\tneither black nor white"),
          std::string("black x AAA\tmust be 0 to 59"), "black 60 " + all + "\tmust be 0 to 59",
          std::string("white 99999999999999 AAA\tmust be 0 to 59"),
          std::string("white 2 AAA\tneed 6 letters"), "white 59 " + all + "\tneed 177 letters",
          std::string("white 0 AAA\tmust be \"-\""),
          std::string("white 2 AAAAGA\tline 2 \"AGA\" names no line"),
          std::string("white 3 ABAAAAABA\tline 3 \"ABA\" was already")}) {
        const std::string command = "history " + c.substr(0, c.find('\t'));
        Session s({"new white\n", "move 2 BCAACA\n", command + "\n", "move 1 AFE\n"});
        std::vector<std::string> r = s.replies();
        ASSERT_EQ(r.size(), 5u) << command << "\n" << s.output;
        EXPECT_EQ(r[2], "history refused");
        // AFE is a new line unless the engine drew it first.
        EXPECT_EQ(r[3], r[1] != "move 1 AFE" ? "round1=6" : "round1=5") << command;
        EXPECT_NE(s.errors.find(c.substr(c.find('\t') + 1)), std::string::npos) << s.errors;
        EXPECT_EQ(std::count(s.errors.begin(), s.errors.end(), '\n'), 1) << s.errors;
    }
}

} // namespace
