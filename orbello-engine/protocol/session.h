// The engine side of the Orbello engine protocol, shared by the engine and the reference
// opponents: they differ only in how they choose a move.
#ifndef ORBELLO_ENGINE_PROTOCOL_SESSION_H
#define ORBELLO_ENGINE_PROTOCOL_SESSION_H

#include "board/bitboard.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace orbello_engine {

class Player {
  public:
    virtual ~Player() = default;
    virtual void NewGame() {}
    // history: keys of the earlier positions since the last capture, oldest first; excluded:
    // moves the host refused in this position. Called only when a legal move exists.
    virtual Move Choose(const Position& p, const std::vector<std::uint64_t>& history,
                        const std::vector<Move>& excluded) = 0;
};

struct SessionOptions {
    std::string name = "orbello-engine";
    int baseX = 'A'; // characters of column 0 and row 0 in move text
    int baseY = 'A';
    std::string program = "orbello-engine"; // prefix of the lines on standard error
};

// Reads commands until "quit" or the end of input; returns the exit status.
int RunSession(std::istream& in, std::ostream& out, std::ostream& err, Player& player,
               const SessionOptions& options);

// "move " and the four characters of m; false when text holds no move in this form that
// names points of the board.
std::string MoveText(Move m, int baseX, int baseY);
bool ParseMoveText(const std::string& text, int baseX, int baseY, int& from, int& to);

// Parses --base-x C / --base-y C (a character, or its code) from argv[i]; true when it took
// the option and its value.
bool ParseBaseOption(int argc, char** argv, int& i, SessionOptions& options);

} // namespace orbello_engine

#endif
