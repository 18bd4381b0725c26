// Judging an engine's reply, shared by the referee and dab-host: its form, then its lines as
// a turn on the board (here a board where box 0 has three sides: AAA, ABA, BAA).
#include "engine_reply.h"

#include <gtest/gtest.h>

namespace {

using dabtools::Fault;

struct ReplyCase {
    const char* reply;
    Fault fault;
    int drawn; // lines drawn before the verdict
};

class EngineReply : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(EngineReply, IsJudgedByFormThenAsATurn) {
    const ReplyCase& c = GetParam();
    dabtools::Board board;
    for (const char* code : {"AAA", "ABA", "BAA"}) board.draw(dabtools::parse_line_code(code), 2);
    dabtools::Reply reply;
    std::vector<int> drawn;
    std::string detail;
    Fault f = dabtools::parse_reply(c.reply, reply, detail);
    if (f == Fault::None) f = dabtools::apply_reply(board, 1, reply, drawn, detail);
    EXPECT_EQ(f, c.fault) << detail;
    EXPECT_EQ(static_cast<int>(drawn.size()), c.drawn);
    EXPECT_EQ(f == Fault::None, detail.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Replies, EngineReply,
    ::testing::Values(
        ReplyCase{"move 1 AFE", Fault::None, 1},
        ReplyCase{"move 2 BBAAFE", Fault::None, 2}, // a box, then a line
        ReplyCase{"move", Fault::Garbled, 0}, ReplyCase{"move one AFE", Fault::Garbled, 0},
        ReplyCase{"move 1 afe", Fault::Garbled, 0}, ReplyCase{"move 1 AFE BBA", Fault::Garbled, 0},
        ReplyCase{"move 0", Fault::Count, 0}, ReplyCase{"move 2 AFE", Fault::Count, 0},
        ReplyCase{"move 1 AFEB", Fault::Count, 0}, ReplyCase{"move 1 AGA", Fault::IllegalLine, 0},
        ReplyCase{"move 1 AAA", Fault::DrawnLine, 0},
        ReplyCase{"move 2 AFEBBA", Fault::Continued, 1},
        ReplyCase{"move 1 BBA", Fault::Stopped, 1}));

TEST(EngineReply, TheLongestTurnIsOneLineUnlessABoxIsOpen) {
    dabtools::Board board;
    EXPECT_EQ(dabtools::longest_turn(board), 1);
    for (const char* code : {"AAA", "ABA", "BAA"}) board.draw(dabtools::parse_line_code(code), 2);
    EXPECT_EQ(dabtools::longest_turn(board), dabtools::BOXES + 1);
    for (int line = 0; line < dabtools::LINES; ++line)
        if (!board.drawn[line] && line != dabtools::parse_line_code("BBA")) board.draw(line, 1);
    EXPECT_EQ(dabtools::longest_turn(board), 1); // the last line, which completes the last box
}

TEST(EngineReply, ChatterIsThePictureRound1AndBlankLines) {
    for (const char* s : {"", "*----*    *", "|  c |", "round1=7"})
        EXPECT_TRUE(dabtools::is_chatter(s)) << s;
    for (const char* s : {"move 1 AAA", "name xxxx", "hello there"})
        EXPECT_FALSE(dabtools::is_chatter(s)) << s;
}

} // namespace
