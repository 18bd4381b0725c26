// The operations that carry a game forward on the host's clicks.
#include "binding/orbello.h"

#include <cstdio>
#include <cstring>

int ORBELLO_THISCALL COrbello::NewGame() {
    m_nMoveCount[0] = 0;
    m_nMoveCount[1] = 0;
    m_nSide = BLACK;
    m_nAnimSide = 2;
    m_nAnimX = -1;
    m_nAnimY = -1;
    m_nState = STATE_IDLE;
    m_history.clear();
    SetInitialPosition();
    InvalidateRect(m_hWnd, &m_rcBoard, FALSE);
    return UpdateWindow(m_hWnd);
}

int ORBELLO_THISCALL COrbello::OnBoardClick(int x, int y) {
    if (m_nState == STATE_PENDING) return 0;
    // Before the first SetBoardRect there is no board to hit (and nothing to divide by).
    std::int64_t w = m_nBoardWidth;
    if (w == 0) return 2;
    std::int64_t h = w / 22;
    // Each point catches clicks from half a unit before it to half a unit after it. Wide
    // arithmetic keeps far-off clicks from overflowing.
    std::int64_t col = ((x - std::int64_t{m_rcBoard.left} - h) * 11) / w - 2;
    std::int64_t row = ((y - std::int64_t{m_rcBoard.top} - h) * 11) / w - 2;
    if (col < 0 || col >= BOARD_SIZE || row < 0 || row >= BOARD_SIZE) return 2;
    return ClickCell(static_cast<int>(col), static_cast<int>(row));
}

int COrbello::ClickCell(int col, int row) {
    if (m_nState == STATE_IDLE) {
        if (m_board[col][row] != m_nSide) return -1;
        m_history.push_back(MoveRecord{col, row, -1, -1, false, m_nSide});
        m_nState = STATE_SELECTED;
        RequestRepaint();
        PlayMoveSound(SOUND_SELECT);
        return 0;
    }
    if (m_nState == STATE_SELECTED) {
        MoveRecord move = m_history.back();
        move.toX = col;
        move.toY = row;
        if (!orbello_rules::IsLegalMove(m_board, move, &m_capturePath)) return -1;
        m_history.pop_back();
        m_history.push_back(move);
        ApplyMove();
        m_nState = STATE_PENDING;
        return 1;
    }
    return 0;
}

int ORBELLO_THISCALL COrbello::FetchMove(char* out) {
    out[0] = '\0';
    if (m_nState != STATE_PENDING) return 0;
    const MoveRecord& r = m_history.back();
    std::sprintf(out, "move %c%c%c%c", m_nBaseX + r.fromX, m_nBaseY + r.fromY, m_nBaseX + r.toX,
                 m_nBaseY + r.toY);
    ReportMove(out + 5);
    m_nMoveCount[m_nSide] += 1;
    if (CheckGameOver()) {
        std::strcat(out, "\nend\n");
        return 2;
    }
    std::strcat(out, "\n");
    m_nSide = 1 - m_nSide;
    m_nState = STATE_IDLE;
    return 1;
}

int ORBELLO_THISCALL COrbello::CancelMove() {
    if (m_nState == STATE_IDLE) return 0;
    TakeBackMove();
    RequestRepaint();
    m_nState = STATE_IDLE;
    return 1;
}

void COrbello::ReportMove(const char* moveText) {
    // Longer text than the buffer holds (only possible from engine text) is cut, not overflowed.
    char status[STATUS_BUFFER];
    std::snprintf(status, sizeof status, "%s%s",
                  m_nSide == BLACK ? "Black: " : "White: ", moveText);
    SendMessageA(m_hWnd, MSG_MOVE_TEXT, reinterpret_cast<WPARAM>(status), m_nSide);
}
