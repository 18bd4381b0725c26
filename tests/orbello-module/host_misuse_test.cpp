// Calls a host should not make, or makes in an order it should not, found by fuzzing the
// slots: the module stays sound and its state stays consistent.
#include "module_test_support.h"

#include <climits>

class HostMisuse : public ModuleTest {
  protected:
    void SetUp() override {
        ModuleTest::SetUp();
        Create();
        standin::clearCalls();
    }
};

TEST_F(HostMisuse, PaintBeforeTheBoardRectangleDrawsNothing) {
    // No pens or font exist yet; selecting them would fail and every label would be drawn at
    // the rectangle's origin.
    game->DrawBoard(paintDC);
    EXPECT_TRUE(standin::calls().empty());
    game->SetBoardRect(0, 0, 330, 330);
    standin::clearCalls();
    game->DrawBoard(paintDC);
    EXPECT_EQ(standin::callsNamed("TextOutA").size(), 24u);
    EXPECT_TRUE(standin::misuses().empty());
}

TEST_F(HostMisuse, ExtremeRectanglesStayInsideTheDrawingRange) {
    // Widths near the whole int range would overflow every position derived from them.
    const int limit = 1 << 26;
    for (const RECT& r : {RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, RECT{INT_MAX, 0, INT_MIN, 5},
                          RECT{-5, -5, -5, -5}, RECT{100, 100, 0, 0}}) {
        game->SetBoardRect(r.left, r.top, r.right, r.bottom);
        for (LONG v : {game->m_rcBoard.left, game->m_rcBoard.top, game->m_rcBoard.right,
                       game->m_rcBoard.bottom}) {
            EXPECT_LE(v, limit);
            EXPECT_GE(v, -limit);
        }
        EXPECT_EQ(game->m_nBoardWidth, game->m_rcBoard.right - game->m_rcBoard.left);
        game->DrawBoard(paintDC);
        for (int x : {INT_MIN, -1, 0, 1, INT_MAX}) game->OnBoardClick(x, x);
        game->CancelMove();
    }
    // An ordinary rectangle is kept exactly.
    game->SetBoardRect(-20, 7, 310, 400);
    EXPECT_EQ(game->m_rcBoard.left, -20);
    EXPECT_EQ(game->m_rcBoard.bottom, 400);
    EXPECT_EQ(game->m_nBoardWidth, 330);
    EXPECT_TRUE(standin::misuses().empty());
}

TEST_F(HostMisuse, EngineMoveWhileAPieceIsSelectedDropsTheSelection) {
    game->SetBoardRect(0, 0, 330, 330);
    ASSERT_EQ(Click(1, 1), 0);
    char reply[15], other[15];
    // Refused text leaves the selection alone.
    EXPECT_EQ(game->ReceiveMove("move AAAB", reply, other), -1);
    EXPECT_EQ(game->m_nState, STATE_SELECTED);
    ASSERT_EQ(game->m_history.size(), 1u);
    // An accepted move replaces it: the history holds the move alone and clicks start over.
    EXPECT_EQ(game->ReceiveMove("move ABAC", reply, other), 1);
    EXPECT_EQ(game->m_nState, STATE_IDLE);
    ASSERT_EQ(game->m_history.size(), 1u);
    EXPECT_EQ(game->m_history.back().toY, 2);
    // Taking back what is there cannot resurrect the selected piece's old record.
    EXPECT_EQ(game->CancelMove(), 0);
    EXPECT_EQ(Click(0, 4), 0);
    EXPECT_EQ(game->CancelMove(), 1);
    EXPECT_EQ(game->m_board[0][1], EMPTY);
    EXPECT_EQ(game->m_board[0][2], BLACK);
    EXPECT_EQ(game->m_board[1][1], BLACK);
    int black = 0;
    for (const auto& column : game->m_board)
        for (auto cell : column) black += cell == BLACK;
    EXPECT_EQ(black, 12);
}
