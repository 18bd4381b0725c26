// Move text from an engine, as the host hands it over.
#include "binding/orbello.h"

#include <cstdio>
#include <cstring>

int ORBELLO_THISCALL COrbello::ReceiveMove(const char* text, char* replyToSender,
                                           char* textToOpponent) {
    replyToSender[0] = '\0';
    textToOpponent[0] = '\0';
    const char* keyword = text ? std::strstr(text, "move") : nullptr;
    if (!keyword) return 0;

    // Positions 4 (separator) to 8 must all exist; stop at the NUL rather than read past it.
    for (int i = 4; i <= 8; ++i) {
        if (keyword[i] == '\0') {
            std::strcat(replyToSender, "error\n");
            return -1;
        }
    }
    const signed char* c = reinterpret_cast<const signed char*>(keyword + 5);
    MoveRecord move{c[0] - m_nBaseX, c[1] - m_nBaseY, c[2] - m_nBaseX,
                    c[3] - m_nBaseY, false,           m_nSide};
    if (!orbello_rules::IsLegalMove(m_board, move, &m_capturePath)) {
        std::strcat(replyToSender, "error\n");
        return -1;
    }
    // Engine text while a piece is selected breaks the host's side of the contract; the
    // selection record would otherwise stay buried under the move, and a later take-back of
    // it would put a piece back on a point the board no longer holds it on.
    if (m_nState == STATE_SELECTED) {
        m_history.pop_back();
        m_nState = STATE_IDLE;
    }
    m_history.push_back(move);
    ApplyMove();
    ReportMove(keyword + 5);
    std::sprintf(textToOpponent, "move %c%c%c%c\n", m_nBaseX + move.fromX, m_nBaseY + move.fromY,
                 m_nBaseX + move.toX, m_nBaseY + move.toY);
    m_nMoveCount[m_nSide] += 1;
    if (CheckGameOver()) {
        std::strcat(textToOpponent, "end\n");
        std::strcat(replyToSender, "end\n");
        return 2;
    }
    m_nSide = 1 - m_nSide;
    return 1;
}
