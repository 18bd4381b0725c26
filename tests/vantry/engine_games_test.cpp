// Whole games against the short-budget engine program over pipes, with a scripted random
// opponent: every engine line is an undrawn line, every reply's count matches its codes and
// its round1, a completed box earns another line in the same reply, the printed board
// agrees with the game, and the game ends cleanly with the 60th line.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "dab_board.h"

using dabtools::Board;
using dabtools::ChildProcess;

namespace {

constexpr int ENGINE_PLAYER = 1; // 'c' in the picture
constexpr int OPPONENT_PLAYER = 2;
constexpr int PICTURE_LINES = 21;

// A hang guard only: a reply that never comes fails the test instead of blocking it.
dabtools::Clock::time_point patience() {
    return dabtools::Clock::now() + std::chrono::seconds(60);
}

class EngineGame {
  public:
    explicit EngineGame(unsigned seed) : rng_(seed) {}

    void start() {
        std::string error;
        ASSERT_TRUE(engine_.start({VANTRY_QUICK_PATH}, error)) << error;
    }

    std::string read_line() {
        std::string line;
        EXPECT_EQ(engine_.read_line(line, patience()), ChildProcess::Read::Line);
        return line;
    }

    void expect_picture() {
        std::string want = board_.engine_picture();
        std::string got;
        for (int i = 0; i < PICTURE_LINES; ++i) got += read_line() + "\n";
        EXPECT_EQ(got, want) << "after " << board_.lines_drawn << " lines";
    }

    // The engine's lines of one turn, in the reply's word of codes; checks each.
    void apply_engine_codes(const std::string& codes, int count) {
        ASSERT_EQ(codes.size(), 3u * count) << codes;
        for (int i = 0; i < count; ++i) {
            const int line = dabtools::parse_line_code(codes.c_str() + 3 * i);
            ASSERT_GE(line, 0) << codes;
            ASSERT_FALSE(board_.drawn[line]) << "drawn line " << codes.substr(3 * i, 3);
            const int completed = board_.draw(line, ENGINE_PLAYER);
            const bool last = i == count - 1;
            if (!board_.full()) {
                // A completing line earns another in the same reply; any other ends it.
                EXPECT_EQ(completed > 0, !last) << codes << " entry " << i;
            } else {
                EXPECT_TRUE(last) << codes;
            }
        }
    }

    // The random opponent's turn: lines until one completes no box or the board is full.
    std::string opponent_turn(int& count) {
        std::string codes;
        count = 0;
        for (;;) {
            std::vector<int> open;
            for (int l = 0; l < dabtools::LINES; ++l)
                if (!board_.drawn[l]) open.push_back(l);
            const int line = open[std::uniform_int_distribution<size_t>(0, open.size() - 1)(rng_)];
            codes += dabtools::line_code(line);
            count += 1;
            if (board_.draw(line, OPPONENT_PLAYER) == 0 || board_.full()) return codes;
        }
    }

    void play(bool engine_opens) {
        start();
        engine_.write_line(engine_opens ? "new black" : "new white");
        if (engine_opens) {
            const std::string reply = read_line();
            ASSERT_EQ(reply.compare(0, 7, "move 1 "), 0) << reply;
            apply_engine_codes(reply.substr(7), 1);
        }
        expect_picture();

        while (!board_.full()) {
            int count = 0;
            const std::string codes = opponent_turn(count);
            engine_.write_line("move " + std::to_string(count) + " " + codes);
            expect_picture();
            if (board_.full()) {
                // The opponent drew the last line: the engine ends without a reply.
                ASSERT_TRUE(engine_.wait_exit(patience()));
                EXPECT_EQ(engine_.exit_info().code, 0);
                std::string rest;
                EXPECT_EQ(engine_.read_line(rest, patience()), ChildProcess::Read::Eof) << rest;
                break;
            }
            const std::string round_line = read_line();
            const std::string move_line = read_line();
            std::istringstream words(move_line);
            std::string word, reply_codes;
            int reply_count = -1;
            words >> word >> reply_count >> reply_codes;
            ASSERT_EQ(word, "move") << move_line;
            ASSERT_GE(reply_count, 1) << move_line;
            apply_engine_codes(reply_codes, reply_count);
            EXPECT_EQ(round_line, "round1=" + std::to_string(board_.lines_drawn + 1));
            expect_picture();
            if (board_.full()) {
                // The engine drew the last line; it still answers commands until told to quit.
                engine_.write_line("quit");
                EXPECT_EQ(read_line(), "Quit!");
                ASSERT_TRUE(engine_.wait_exit(patience()));
                EXPECT_EQ(engine_.exit_info().code, 0);
            }
            if (::testing::Test::HasFatalFailure()) return;
        }
        EXPECT_EQ(board_.score[ENGINE_PLAYER] + board_.score[OPPONENT_PLAYER], 25);
    }

    const Board& board() const { return board_; }

  private:
    ChildProcess engine_;
    Board board_;
    std::mt19937 rng_;
};

} // namespace

TEST(EngineGames, EngineOpensAgainstRandomLines) {
    for (unsigned seed : {1u, 2u}) {
        SCOPED_TRACE(seed);
        EngineGame game(seed);
        game.play(true);
        if (HasFatalFailure()) return;
        EXPECT_TRUE(game.board().full());
    }
}

TEST(EngineGames, OpponentOpensAgainstRandomLines) {
    for (unsigned seed : {3u, 4u}) {
        SCOPED_TRACE(seed);
        EngineGame game(seed);
        game.play(false);
        if (HasFatalFailure()) return;
        EXPECT_TRUE(game.board().full());
    }
}
