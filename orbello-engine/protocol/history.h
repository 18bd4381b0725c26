// "history COLOUR N M1 ... MN": a game given whole, so that a host can take moves back or a
// match start from an opening. COLOUR is the engine's colour, as in "new"; Black moves
// first and the sides alternate; each Mi is a move's four coordinate characters in the
// engine's bases, as in its "move" lines.
#ifndef ORBELLO_ENGINE_PROTOCOL_HISTORY_H
#define ORBELLO_ENGINE_PROTOCOL_HISTORY_H

#include "board/bitboard.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orbello_engine {

// The largest N read: far beyond any game a referee lets run, small enough to count.
constexpr int MAX_HISTORY_MOVES = 100000;

struct ReplayedGame {
    int engineSide = 0;              // 0 black, 1 white
    Position position;               // after the last move
    std::vector<std::uint64_t> keys; // earlier positions since the last capture, oldest first
};

// Plays m on position and keeps keys as the session does: a capture forgets every earlier
// position (none can come back), any other move adds the one it leaves.
void AdvanceGame(Position& position, std::vector<std::uint64_t>& keys, Move m);

// Reads the whole line and replays it from the start position. False, with why, when the
// line is malformed, N does not match the moves, a move is not legal where it stands, or
// the game it gives is over (a side has no pieces).
bool ReplayHistory(const std::string& line, int baseX, int baseY, ReplayedGame& game,
                   std::string& why);

} // namespace orbello_engine

#endif
