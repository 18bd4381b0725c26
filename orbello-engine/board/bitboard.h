// The engine's board: one 36-bit set per side (bit y * 6 + x) and, for each capture loop, a
// 28-bit circuit word of the occupied loop entries in travel order, so that finding what a
// loop walk reaches is a rotation and a bit scan instead of a walk.
#ifndef ORBELLO_ENGINE_BOARD_BITBOARD_H
#define ORBELLO_ENGINE_BOARD_BITBOARD_H

#include <cstdint>
#include <string>

namespace orbello_engine {

using Bits = std::uint64_t;

constexpr int SQUARES = 36;
constexpr int LOOPS = 2;
constexpr Bits ALL_SQUARES = (Bits{1} << SQUARES) - 1;

inline int Square(int x, int y) {
    return y * 6 + x;
}
inline int SquareX(int sq) {
    return sq % 6;
}
inline int SquareY(int sq) {
    return sq / 6;
}
inline Bits Bit(int sq) {
    return Bits{1} << sq;
}
// Without a popcnt instruction in the baseline x86-64 the builtin is a library call; this
// is several times faster.
inline int PopCount(Bits b) {
    b = b - ((b >> 1) & 0x5555555555555555ull);
    b = (b & 0x3333333333333333ull) + ((b >> 2) & 0x3333333333333333ull);
    b = (b + (b >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>((b * 0x0101010101010101ull) >> 56);
}
inline int LowestSquare(Bits b) {
    return __builtin_ctzll(b);
}

// A move: source in bits 0..5, target in bits 6..11, capture flag in bit 12; 0 is no move
// (no move goes from a point to itself).
using Move = std::uint16_t;
constexpr Move NO_MOVE = 0;
constexpr Move CAPTURE_FLAG = 1u << 12;
inline Move MakeMove(int from, int to, bool capture) {
    return static_cast<Move>(from | (to << 6) | (capture ? CAPTURE_FLAG : 0));
}
inline int MoveFrom(Move m) {
    return m & 63;
}
inline int MoveTo(Move m) {
    return (m >> 6) & 63;
}
inline bool IsCapture(Move m) {
    return (m & CAPTURE_FLAG) != 0;
}

struct Position {
    Bits pieces[2]; // BLACK 0, WHITE 1
    std::uint32_t circuit[LOOPS];
    int side; // to move
    std::uint64_t key;

    Bits Occupied() const { return pieces[0] | pieces[1]; }
};

// Sets up the tables (idempotent; every entry point calls it).
void InitTables();

Position StartPosition();
// cells[x][y] with 0 black, 1 white, anything else empty (the rules core's board).
Position FromCells(const std::int8_t (&cells)[6][6], int side);
void ToCells(const Position& p, std::int8_t (&cells)[6][6]);

// The short notation of positions: six rows from row 0 (top) to row 5, each six characters
// from column 0, 'b' black, 'w' white, '.' empty, rows separated by '/', then a space and the
// side to move, 'b' or 'w'. False on anything else.
bool ParsePosition(const std::string& text, Position& out);
std::string FormatPosition(const Position& p);

// The points a piece on sq reaches along the loops: the first occupied point of every walk
// that passes an arc first, whoever stands there (the piece itself excluded).
Bits LoopReach(const Position& p, int sq);
Bits StepTargets(int sq);

constexpr int MAX_MOVES = 256;
// Legal moves of the side to move; captures only when capturesOnly. Returns the count.
int GenerateMoves(const Position& p, Move* out, bool capturesOnly = false);

Position MakeMoveOn(const Position& p, Move m);

// Keys for the side to move, shared with the search's table.
std::uint64_t ComputeKey(const Position& p);

std::uint64_t Perft(const Position& p, int depth);

} // namespace orbello_engine

#endif
