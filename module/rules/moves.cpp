// Legal steps and loop captures, applying and taking back moves, the end of the game.
#include "binding/orbello.h"

void COrbello::SetInitialPosition() {
    for (int x = 0; x < BOARD_SIZE; ++x) {
        for (int y = 0; y < BOARD_SIZE; ++y) {
            m_board[x][y] = static_cast<std::int8_t>(y < 2 ? BLACK : y < 4 ? EMPTY : WHITE);
        }
    }
}

namespace {
bool OnBoard(int v) {
    return v >= 0 && v < BOARD_SIZE;
}
} // namespace

bool COrbello::IsLegalMove() {
    const MoveRecord& r = m_history.back();
    if (!OnBoard(r.fromX) || !OnBoard(r.fromY) || !OnBoard(r.toX) || !OnBoard(r.toY)) return false;
    if (m_board[r.fromX][r.fromY] != r.side) return false;
    int target = m_board[r.toX][r.toY];
    if (target == r.side) return false;
    if (target == 1 - r.side) return FindCapturePath(r.fromX, r.fromY, r.toX, r.toY, r.side);
    int dx = r.toX - r.fromX, dy = r.toY - r.fromY;
    return dx * dx + dy * dy < 4;
}

bool COrbello::FindCapturePath(int fromX, int fromY, int toX, int toY, int side) {
    const int enemy = 1 - side;
    const BoardPoint source{fromX, fromY};
    const BoardPoint target{toX, toY};
    for (const BoardPoint* loop : {SmallLoop, LargeLoop}) {
        for (int s = 0; s < LOOP_LENGTH; ++s) {
            if (!(loop[s] == source)) continue;
            for (bool forward : {true, false}) {
                const int step = forward ? 1 : LOOP_LENGTH - 1;
                bool passedArc = false;
                for (int i = (s + step) % LOOP_LENGTH; i != s; i = (i + step) % LOOP_LENGTH) {
                    const BoardPoint& e = loop[i];
                    // A corner is only ever an arc here: a piece standing on it never blocks.
                    if (IsCornerPoint(e)) {
                        passedArc = true;
                        continue;
                    }
                    if (m_board[e.x][e.y] == EMPTY || e == source) continue;
                    if (m_board[e.x][e.y] == enemy && e == target && passedArc) {
                        BuildCapturePath(loop, s, i, forward);
                        return true;
                    }
                    break;
                }
            }
        }
    }
    return false;
}

void COrbello::BuildCapturePath(const BoardPoint* loop, int startIndex, int endIndex,
                                bool forward) {
    const int step = forward ? 1 : LOOP_LENGTH - 1;
    m_capturePath.clear();
    for (int k = startIndex; k != endIndex; k = (k + step) % LOOP_LENGTH) {
        m_capturePath.push_back(loop[k]);
    }
    m_capturePath.push_back(loop[endIndex]);
}

void COrbello::ApplyMove() {
    MoveRecord r = m_history.back();
    m_history.pop_back();
    m_board[r.fromX][r.fromY] = EMPTY;
    if (m_board[r.toX][r.toY] == 1 - r.side) {
        r.captured = true;
        // The record is off the history and the captured piece still stands while the mover
        // travels.
        AnimateCapture();
        m_board[r.toX][r.toY] = static_cast<std::int8_t>(r.side);
        PlayMoveSound(SOUND_CAPTURE);
    } else {
        m_board[r.toX][r.toY] = static_cast<std::int8_t>(r.side);
        PlayMoveSound(SOUND_PLACE);
    }
    m_history.push_back(r);
    RequestRepaint();
}

void COrbello::TakeBackMove() {
    MoveRecord r = m_history.back();
    m_history.pop_back();
    if (r.toX != -1 && r.toY != -1) {
        m_board[r.toX][r.toY] = static_cast<std::int8_t>(r.captured ? 1 - r.side : EMPTY);
    }
    if (r.fromX != -1 && r.fromY != -1)
        m_board[r.fromX][r.fromY] = static_cast<std::int8_t>(r.side);
}

bool COrbello::CheckGameOver() {
    int count[3] = {0, 0, 0};
    for (int x = 0; x < BOARD_SIZE; ++x) {
        for (int y = 0; y < BOARD_SIZE; ++y) {
            int v = m_board[x][y];
            if (v >= 0 && v <= 2) ++count[v];
        }
    }
    if (count[BLACK] != 0 && count[WHITE] != 0) return false;
    WPARAM moves =
        static_cast<WPARAM>(m_nMoveCount[0]) * 65536u + static_cast<WPARAM>(m_nMoveCount[1]);
    PostMessageA(m_hWnd, MSG_GAME_OVER, moves, count[BLACK] == 0 ? 1 : 0);
    return true;
}
