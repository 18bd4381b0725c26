// The rules of Orbello on a plain board of cells, with no window, sound or history attached:
// what the module, the engine, the tools and the tests all judge moves by.
#ifndef ORBELLO_RULES_RULES_H
#define ORBELLO_RULES_RULES_H

#include "rules/board.h"

#include <cstdint>
#include <vector>

namespace orbello_rules {

// Indexed [x][y]: column, then row.
using Cells = std::int8_t[BOARD_SIZE][BOARD_SIZE];

void SetInitialPosition(Cells& board);

// Judges r as a move of r.side. When it is a capture and path is given, the capture route is
// written there (source, every entry passed, target), from the first walk that succeeds:
// small loop before large, lower start index first, forward before backward.
bool IsLegalMove(const Cells& board, const MoveRecord& r, std::vector<BoardPoint>* path);

// True when a piece of side on from can capture the enemy piece on to along a loop.
bool FindCapturePath(const Cells& board, int fromX, int fromY, int toX, int toY, int side,
                     std::vector<BoardPoint>* path);

// The loop entries from startIndex to endIndex inclusive, in travel order.
void BuildCapturePath(const BoardPoint* loop, int startIndex, int endIndex, bool forward,
                      std::vector<BoardPoint>& path);

// Applying a legal move is split in two so that the module can show the capture between the
// halves: LiftMover empties the source and says whether the move captures; LandMover puts the
// mover on the target.
bool LiftMover(Cells& board, const MoveRecord& r);
void LandMover(Cells& board, const MoveRecord& r);
// Both halves; sets r.captured.
void ApplyMove(Cells& board, MoveRecord& r);

// Takes back an applied move, or nothing for a selection record.
void TakeBackMove(Cells& board, const MoveRecord& r);

// Pieces of each side on the board.
struct PieceCount {
    int black;
    int white;
};
PieceCount CountPieces(const Cells& board);
// The game is over when a side has no pieces left.
bool IsGameOver(const Cells& board);

// Every legal (from, to) move of side, each once however many routes reach its target, in
// the order of source (x, then y) and then target (x, then y).
struct Move {
    std::int8_t fromX, fromY, toX, toY;
};
void LegalMoves(const Cells& board, int side, std::vector<Move>& out);

// The number of sequences of exactly depth legal moves from board with side to move (the
// reference count the engine's generator is checked against).
std::uint64_t Perft(Cells& board, int side, int depth);

} // namespace orbello_rules

#endif
