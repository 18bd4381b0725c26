// dab-opponent's history command over pipes: each kind takes a game given whole and answers
// with legal lines when it is to move, and refuses a bad one, keeping its game.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "child_process.h"
#include "dab_board.h"

namespace dabtools {
namespace {

struct Opponent {
    ChildProcess child;
    explicit Opponent(const std::string& kind) {
        std::string error;
        EXPECT_TRUE(child.start({DAB_OPPONENT_PATH, kind, "--seed", "3"}, error)) << error;
    }
    ~Opponent() {
        child.write_line("quit");
        child.wait_exit(Clock::now() + std::chrono::seconds(10));
    }
    // The first lines of the reply to a command.
    std::vector<std::string> ask(const std::string& command, int count) {
        EXPECT_TRUE(child.write_line(command));
        std::vector<std::string> lines;
        for (int i = 0; i < count; ++i) {
            std::string line;
            if (child.read_line(line, Clock::now() + std::chrono::seconds(10)) !=
                ChildProcess::Read::Line)
                break;
            lines.push_back(line);
        }
        return lines;
    }
};

TEST(OpponentHistory, AcceptedAndRefused) {
    // Box (0, 0): AAA ABA BAA BBA. "white": the other side opened.
    struct Case {
        const char* colour;
        std::string codes;
        bool ours; // to move afterwards
    };
    for (const char* kind : {"random", "greedy", "chain"}) {
        for (const Case& c :
             {Case{"black", "", true}, Case{"white", "AAAABABAABBA", true},
              Case{"black", "AAAABABAABBA", false}, Case{"white", "AAAABABAABBAACC", false}}) {
            Opponent o(kind);
            o.ask("new black", 22); // another game first, which the history replaces
            const int count = static_cast<int>(c.codes.size() / 3);
            const std::string command = std::string("history ") + c.colour + " " +
                                        std::to_string(count) + " " + (count == 0 ? "-" : c.codes);
            std::vector<std::string> r = o.ask(command, c.ours ? 24 : 22);
            ASSERT_EQ(r.size(), c.ours ? 24u : 22u) << kind << " " << command;
            EXPECT_EQ(r[0], "history ok");
            if (!c.ours) continue;
            Board board;
            for (int i = 0; i < count; ++i) board.draw(parse_line_code(c.codes.c_str() + 3 * i), 2);
            const std::string& move = r[2];
            ASSERT_EQ(move.substr(0, 5), "move ") << move;
            const std::string codes = move.substr(move.find(' ', 5) + 1);
            for (size_t i = 0; i < codes.size(); i += 3) {
                const int line = parse_line_code(codes.c_str() + i);
                ASSERT_GE(line, 0) << move;
                ASSERT_FALSE(board.drawn[static_cast<size_t>(line)]) << kind << " " << move;
                board.draw(line, 1);
            }
            EXPECT_EQ(r[1], "round1=" + std::to_string(board.lines_drawn + 1));
        }
        // Refused: the game it had goes on, its opening line and ours drawn.
        Opponent o(kind);
        const std::string opening = o.ask("new black", 22)[0];
        for (const char* bad : {"history white 2 AAA", "history grey 0 -", "history white 2 AAAAAA",
                                "history white 60 AAA", "history white 1 ZZZ"})
            EXPECT_EQ(o.ask(bad, 1), std::vector<std::string>{"history refused"}) << bad;
        const std::string ours = opening == "move 1 BCA" ? "BDA" : "BCA";
        std::vector<std::string> r = o.ask("move 1 " + ours, 23);
        ASSERT_EQ(r.size(), 23u);
        EXPECT_EQ(r[21], "round1=4");
    }
}

} // namespace
} // namespace dabtools
