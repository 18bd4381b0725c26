// Protocol sessions with orbello-engine and orbello-opponent over pipes: replies, refused
// and garbled lines, other bases, and whole games judged move by move by the rules core.
#include "child_process.h"
#include "rules/rules.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

using dabtools::ChildProcess;
using dabtools::Clock;

// Runs PROGRAM ARGS with standard error in a file, so the tests can read its complaints.
struct Session {
    ChildProcess child;
    std::string errFile;

    Session(const std::string& program, const std::string& args) {
        static int count = 0;
        errFile = testing::TempDir() + "orbello_protocol_" + std::to_string(getpid()) + "_" +
                  std::to_string(count++) + ".err";
        std::string error;
        EXPECT_TRUE(
            child.start({"/bin/sh", "-c", "exec " + program + " " + args + " 2>" + errFile}, error))
            << error;
    }
    ~Session() {
        child.write_line("quit");
        child.wait_exit(Clock::now() + std::chrono::seconds(10));
        std::remove(errFile.c_str());
    }
    std::string Ask(const std::string& line) {
        EXPECT_TRUE(child.write_line(line));
        return Reply();
    }
    std::string Reply(int seconds = 30) {
        std::string reply;
        if (child.read_line(reply, Clock::now() + std::chrono::seconds(seconds)) !=
            ChildProcess::Read::Line)
            return "(none)";
        return reply;
    }
    // True when no line comes within a short while: the program waits for input.
    bool Silent() {
        std::string reply;
        return child.read_line(reply, Clock::now() + std::chrono::milliseconds(300)) ==
               ChildProcess::Read::Timeout;
    }
    std::string Errors() {
        std::ifstream in(errFile);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

const std::string ENGINE = ORBELLO_ENGINE_PATH;
const std::string FAST = " --depth 3 --movetime 0";

// Applies "move XXXX" (default bases) for side if the rules core accepts it.
bool Play(orbello_rules::Cells& board, const std::string& line, int side) {
    if (line.size() != 9 || line.compare(0, 5, "move ") != 0) return false;
    MoveRecord r{line[5] - 'A', line[6] - 'A', line[7] - 'A', line[8] - 'A', false, side};
    if (!orbello_rules::IsLegalMove(board, r, nullptr)) return false;
    orbello_rules::ApplyMove(board, r);
    return true;
}

TEST(EngineProtocol, NameAndOpeningMove) {
    Session s(ENGINE, FAST);
    EXPECT_EQ(s.Ask("name?"), "name orbello-engine");
    orbello_rules::Cells board;
    orbello_rules::SetInitialPosition(board);
    EXPECT_TRUE(Play(board, s.Ask("new black"), BLACK));
    // After "new white" it waits for Black's move.
    s.child.write_line("new white");
    EXPECT_TRUE(s.Silent());
    orbello_rules::SetInitialPosition(board);
    ASSERT_TRUE(Play(board, "move ABAC", BLACK));
    EXPECT_TRUE(Play(board, s.Ask("move ABAC"), WHITE));
}

TEST(EngineProtocol, BadLinesAreReportedAndTheBoardKept) {
    Session s(ENGINE, FAST);
    s.child.write_line("new white");
    orbello_rules::Cells board;
    orbello_rules::SetInitialPosition(board);
    struct Bad {
        const char* line;
        const char* complaint;
    };
    // Each is answered on standard error only; none changes the engine's board.
    for (const Bad& b : {Bad{"move AAAB", "not a legal move"}, Bad{"move abac", "cannot read"},
                         Bad{"move AB", "cannot read"}, Bad{"move \x01\x02\xff\x7f", "cannot read"},
                         Bad{"new purple", "unknown colour"}, Bad{"hello", "unknown command"},
                         Bad{"error", "no move of mine"}}) {
        s.child.write_line(b.line);
        EXPECT_TRUE(s.Silent()) << b.line;
        EXPECT_NE(s.Errors().find(b.complaint), std::string::npos) << b.line << "\n" << s.Errors();
    }
    ASSERT_TRUE(Play(board, "move ABAC", BLACK));
    const std::string reply = s.Ask("xmove-ABAC");
    EXPECT_TRUE(Play(board, reply, WHITE)) << reply;
    // The same line again names an empty source now; the next good line is answered.
    s.child.write_line("move ABAC");
    EXPECT_TRUE(s.Silent());
    ASSERT_TRUE(Play(board, "move ACAD", BLACK));
    EXPECT_TRUE(Play(board, s.Ask("move ACAD"), WHITE));
}

TEST(EngineProtocol, ErrorGetsAnotherMoveEachTime) {
    Session s(ENGINE, FAST);
    orbello_rules::Cells board;
    orbello_rules::SetInitialPosition(board);
    std::vector<std::string> offered{s.Ask("new black")};
    for (int i = 0; i < 15; ++i) offered.push_back(s.Ask("error"));
    // Black has exactly 16 first moves: all of them, each once.
    std::sort(offered.begin(), offered.end());
    EXPECT_EQ(std::unique(offered.begin(), offered.end()), offered.end());
    for (const std::string& m : offered) {
        orbello_rules::Cells copy;
        std::copy(&board[0][0], &board[0][0] + 36, &copy[0][0]);
        EXPECT_TRUE(Play(copy, m, BLACK)) << m;
    }
    // With all refused it still answers, and accepts White's reply to its last offer.
    EXPECT_NE(s.Ask("error"), "(none)");
}

TEST(EngineProtocol, OtherBases) {
    Session s(ENGINE, FAST + " --base-x a --base-y 49");
    const std::string m = s.Ask("new black");
    ASSERT_EQ(m.size(), 9u);
    EXPECT_TRUE(m[5] >= 'a' && m[5] <= 'f' && m[6] == '2' && m[8] == '3') << m;
}

// Relays a whole game between two programs as a host does, judging each move.
void PlayGame(const std::string& black, const std::string& white) {
    Session b(black, ""), w(white, "");
    orbello_rules::Cells board;
    orbello_rules::SetInitialPosition(board);
    std::string line = b.Ask("new black");
    w.child.write_line("new white");
    int side = BLACK;
    for (int ply = 0; ply < 300; ++ply) {
        ASSERT_TRUE(Play(board, line, side)) << "ply " << ply << ": " << line;
        if (orbello_rules::IsGameOver(board)) {
            (side == BLACK ? w : b).child.write_line(line);
            (side == BLACK ? w : b).child.write_line("end");
            return;
        }
        side = 1 - side;
        line = (side == BLACK ? b : w).Ask(line);
    }
}

TEST(EngineProtocol, WholeGamesAgainstTheReferenceOpponents) {
    const std::string opponent = ORBELLO_OPPONENT_PATH;
    PlayGame(ENGINE + " --depth 2 --movetime 0 --seed 1", opponent + " random --seed 1");
    PlayGame(opponent + " greedy --seed 2", ENGINE + " --depth 2 --movetime 0 --seed 2");
    PlayGame(opponent + " random --seed 3", opponent + " greedy --seed 3");
}

TEST(OpponentProtocol, NamesAndBadArguments) {
    const std::string opponent = ORBELLO_OPPONENT_PATH;
    for (const char* kind : {"random", "greedy"}) {
        Session s(opponent, std::string(kind) + " --seed 5");
        EXPECT_EQ(s.Ask("name?"), std::string("name ") + kind);
    }
    for (const std::string& args :
         {std::string(""), std::string("clever"), std::string("random --frob")}) {
        ChildProcess c;
        std::string error;
        ASSERT_TRUE(
            c.start({"/bin/sh", "-c", "exec " + opponent + " " + args + " 2>/dev/null"}, error));
        ASSERT_TRUE(c.wait_exit(Clock::now() + std::chrono::seconds(10)));
        EXPECT_EQ(c.exit_info().code, 2) << args;
    }
}

std::string Text(const orbello_rules::Move& m) {
    return {char('A' + m.fromX), char('A' + m.fromY), char('A' + m.toX), char('A' + m.toY)};
}

// A game of random legal moves by the rules core, up to its end or plies moves, given by a
// history line to an engine that is to move after it or not.
std::string RandomGame(unsigned seed, int plies, bool engineToMove, orbello_rules::Cells& board,
                       int& side) {
    std::mt19937 rng(seed);
    orbello_rules::SetInitialPosition(board);
    std::string moves;
    std::vector<orbello_rules::Move> legal;
    int n = 0;
    for (side = BLACK; n < plies && !orbello_rules::IsGameOver(board); side = 1 - side, ++n) {
        orbello_rules::LegalMoves(board, side, legal);
        moves += " " + Text(legal[rng() % legal.size()]);
        EXPECT_TRUE(Play(board, "move" + moves.substr(moves.size() - 5), side));
    }
    const bool black = (side == BLACK) == engineToMove;
    return std::string("history ") + (black ? "black " : "white ") + std::to_string(n) + moves;
}

// A game given whole in the middle, then more moves: the engine answers only when it is to
// move, and every reply is legal on the game the history gave.
TEST(History, AcceptedThenPlayedOn) {
    for (const std::string& program :
         {ENGINE + FAST + " --seed 4", std::string(ORBELLO_OPPONENT_PATH) + " greedy --seed 4"}) {
        for (int plies : {0, 1, 12, 13}) {
            Session s(program, "");
            s.child.write_line("new black"); // another game first, which the history replaces
            s.Reply();
            orbello_rules::Cells board;
            int side = BLACK;
            EXPECT_EQ(s.Ask(RandomGame(plies + 1u, plies, false, board, side)), "history ok");
            EXPECT_TRUE(s.Silent());
            EXPECT_EQ(s.Ask(RandomGame(plies + 1u, plies, true, board, side)), "history ok");
            for (int ply = 0; ply < 6 && !orbello_rules::IsGameOver(board); ++ply) {
                const std::string reply = s.Reply();
                ASSERT_TRUE(Play(board, reply, side)) << program << " " << ply << ": " << reply;
                std::vector<orbello_rules::Move> legal;
                orbello_rules::LegalMoves(board, 1 - side, legal);
                if (orbello_rules::IsGameOver(board) || legal.empty()) break;
                const std::string line = "move " + Text(legal.front());
                ASSERT_TRUE(Play(board, line, 1 - side));
                s.child.write_line(line);
            }
            EXPECT_EQ(s.Errors(), "") << program;
        }
    }
}

// Malformed and illegal histories: one complaint, "history refused", and the engine plays
// on in the game it had (the start, White to answer Black's ABAC).
TEST(History, RefusedHistoriesKeepTheGame) {
    orbello_rules::Cells board;
    int side = BLACK;
    const std::string finished = RandomGame(7, 100000, false, board, side);
    ASSERT_TRUE(orbello_rules::IsGameOver(board)) << "the random game did not end";
    for (const std::string& b :
         {std::string("history black|a history is"), std::string("history purple 0|neither"),
          std::string("history white -1|number of moves must be"),
          std::string("history white 99999999999999999999 ABAC|number of moves must be"),
          std::string("history white 2 ABAC|2 moves announced, 1 given"),
          std::string("history white 1 abac|move 1 \"abac\" is not four coordinate"),
          std::string("history white 2 ABAC ABAD|move 2 \"ABAD\" is not legal for white"),
          finished + "|the game is over"}) {
        for (const std::string& program : {ENGINE + FAST, std::string(ORBELLO_OPPONENT_PATH)}) {
            Session s(program, program == ENGINE + FAST ? "" : "random --seed 1");
            s.child.write_line("new white");
            EXPECT_EQ(s.Ask(b.substr(0, b.find('|'))), "history refused") << b;
            EXPECT_NE(s.Errors().find(b.substr(b.find('|') + 1)), std::string::npos) << s.Errors();
            orbello_rules::Cells start;
            orbello_rules::SetInitialPosition(start);
            ASSERT_TRUE(Play(start, "move ABAC", BLACK));
            EXPECT_TRUE(Play(start, s.Ask("move ABAC"), WHITE)) << b;
        }
    }
}

// A level's replies to histories of one random game, one after another in one session.
std::vector<std::string> LevelReplies(const std::string& args) {
    Session s(ENGINE, args);
    std::vector<std::string> replies;
    for (int plies = 0; plies <= 30; plies += 5) {
        orbello_rules::Cells board;
        int side = BLACK;
        EXPECT_EQ(s.Ask(RandomGame(99, plies, true, board, side)), "history ok");
        replies.push_back(s.Reply());
        EXPECT_TRUE(Play(board, replies.back(), side)) << args << ": " << replies.back();
    }
    return replies;
}

TEST(Levels, ReplayFromTheirSeedAndAnswerWithinAnyTime) {
    for (int level = 1; level <= 3; ++level) {
        const std::string args = " --movetime 0 --depth 1 --level " + std::to_string(level);
        EXPECT_EQ(LevelReplies(args + " --seed 7"), LevelReplies(args + " --seed 7")) << level;
    }
    EXPECT_NE(LevelReplies(" --level 1 --seed 7"), LevelReplies(" --level 1 --seed 8"));
    LevelReplies(" --level 4 --movetime 1"); // too short for its searches: legal all the same
}

} // namespace
