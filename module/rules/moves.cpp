// Legal steps and loop captures, applying and taking back moves, the end of the game.
#include "rules/rules.h"

#include <cassert>

namespace orbello_rules {

namespace {
bool OnBoard(int v) {
    return v >= 0 && v < BOARD_SIZE;
}
} // namespace

void SetInitialPosition(Cells& board) {
    for (int x = 0; x < BOARD_SIZE; ++x) {
        for (int y = 0; y < BOARD_SIZE; ++y) {
            board[x][y] = static_cast<std::int8_t>(y < 2 ? BLACK : y < 4 ? EMPTY : WHITE);
        }
    }
}

bool IsLegalMove(const Cells& board, const MoveRecord& r, std::vector<BoardPoint>* path) {
    if (!OnBoard(r.fromX) || !OnBoard(r.fromY) || !OnBoard(r.toX) || !OnBoard(r.toY)) return false;
    if (board[r.fromX][r.fromY] != r.side) return false;
    int target = board[r.toX][r.toY];
    if (target == r.side) return false;
    if (target == 1 - r.side)
        return FindCapturePath(board, r.fromX, r.fromY, r.toX, r.toY, r.side, path);
    int dx = r.toX - r.fromX, dy = r.toY - r.fromY;
    return dx * dx + dy * dy < 4;
}

bool FindCapturePath(const Cells& board, int fromX, int fromY, int toX, int toY, int side,
                     std::vector<BoardPoint>* path) {
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
                    if (board[e.x][e.y] == EMPTY || e == source) continue;
                    if (board[e.x][e.y] == enemy && e == target && passedArc) {
                        if (path) BuildCapturePath(loop, s, i, forward, *path);
                        return true;
                    }
                    break;
                }
            }
        }
    }
    return false;
}

void BuildCapturePath(const BoardPoint* loop, int startIndex, int endIndex, bool forward,
                      std::vector<BoardPoint>& path) {
    const int step = forward ? 1 : LOOP_LENGTH - 1;
    path.clear();
    for (int k = startIndex; k != endIndex; k = (k + step) % LOOP_LENGTH) {
        path.push_back(loop[k]);
    }
    path.push_back(loop[endIndex]);
}

bool LiftMover(Cells& board, const MoveRecord& r) {
    // Only moves judged legal are applied: the mover's own piece, to a point that holds none.
    assert(OnBoard(r.fromX) && OnBoard(r.fromY) && OnBoard(r.toX) && OnBoard(r.toY));
    assert((r.side == BLACK || r.side == WHITE) && board[r.fromX][r.fromY] == r.side);
    assert(board[r.toX][r.toY] != r.side);
    board[r.fromX][r.fromY] = EMPTY;
    return board[r.toX][r.toY] == 1 - r.side;
}

void LandMover(Cells& board, const MoveRecord& r) {
    assert(OnBoard(r.toX) && OnBoard(r.toY) && (r.side == BLACK || r.side == WHITE));
    board[r.toX][r.toY] = static_cast<std::int8_t>(r.side);
}

void ApplyMove(Cells& board, MoveRecord& r) {
    r.captured = LiftMover(board, r);
    LandMover(board, r);
}

void TakeBackMove(Cells& board, const MoveRecord& r) {
    // The last move applied: its mover stands on the target.
    assert(r.toX == -1 || r.toY == -1 || board[r.toX][r.toY] == r.side);
    if (r.toX != -1 && r.toY != -1) {
        board[r.toX][r.toY] = static_cast<std::int8_t>(r.captured ? 1 - r.side : EMPTY);
    }
    if (r.fromX != -1 && r.fromY != -1) board[r.fromX][r.fromY] = static_cast<std::int8_t>(r.side);
}

PieceCount CountPieces(const Cells& board) {
    PieceCount count{0, 0};
    for (int x = 0; x < BOARD_SIZE; ++x) {
        for (int y = 0; y < BOARD_SIZE; ++y) {
            count.black += board[x][y] == BLACK;
            count.white += board[x][y] == WHITE;
        }
    }
    return count;
}

bool IsGameOver(const Cells& board) {
    PieceCount count = CountPieces(board);
    return count.black == 0 || count.white == 0;
}

void LegalMoves(const Cells& board, int side, std::vector<Move>& out) {
    out.clear();
    for (int fx = 0; fx < BOARD_SIZE; ++fx)
        for (int fy = 0; fy < BOARD_SIZE; ++fy) {
            if (board[fx][fy] != side) continue;
            for (int tx = 0; tx < BOARD_SIZE; ++tx)
                for (int ty = 0; ty < BOARD_SIZE; ++ty) {
                    if (IsLegalMove(board, MoveRecord{fx, fy, tx, ty, false, side}, nullptr)) {
                        out.push_back(
                            Move{static_cast<std::int8_t>(fx), static_cast<std::int8_t>(fy),
                                 static_cast<std::int8_t>(tx), static_cast<std::int8_t>(ty)});
                    }
                }
        }
}

std::uint64_t Perft(Cells& board, int side, int depth) {
    if (depth == 0) return 1;
    std::vector<Move> moves;
    LegalMoves(board, side, moves);
    if (depth == 1) return moves.size();
    std::uint64_t total = 0;
    for (const Move& m : moves) {
        MoveRecord r{m.fromX, m.fromY, m.toX, m.toY, false, side};
        ApplyMove(board, r);
        total += Perft(board, 1 - side, depth - 1);
        TakeBackMove(board, r);
    }
    return total;
}

} // namespace orbello_rules
