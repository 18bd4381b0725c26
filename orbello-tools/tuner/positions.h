// Training positions from the referee's game records: each game replayed on the engine's
// board, each position resolved by a capture search to a quiet one, labelled with the points
// its side to move got in the game.
#ifndef ORBELLO_TOOLS_TUNER_POSITIONS_H
#define ORBELLO_TOOLS_TUNER_POSITIONS_H

#include "board/bitboard.h"

#include <string>
#include <vector>

namespace orbello_tuner {

struct GameRecord {
    int baseX = 'A', baseY = 'A';
    std::vector<std::string> moves; // the module's text, four characters each
    double blackPoints = 0;         // 1 black won, 0.5 draw, 0 white won
};

// One line of the referee's JSON log. False for lines that are not a finished game (the
// match summary, a game without a result), with why set for a game that cannot be read.
bool ReadGameRecord(const std::string& line, GameRecord& out, std::string& why);

// The positions before each move, and the last one; false (and why) when a move cannot be
// read or is not legal on the board so far.
bool ReplayGame(const GameRecord& game, std::vector<orbello_engine::Position>& out,
                std::string& why);

// The end of the capture search's main line from p with the engine's evaluation: the
// position whose static value the search returns.
orbello_engine::Position QuietLeaf(const orbello_engine::Position& p);

struct Labelled {
    orbello_engine::Position position;
    double blackPoints;
    int game; // which game it came from: fits hold whole games out
};

// The points the side to move of the position got.
double MoverPoints(const Labelled& l);

// One line "POSITION BLACK_POINTS GAME" (the position in the engine's notation).
std::string FormatLabelled(const Labelled& l);
bool ParseLabelled(const std::string& line, Labelled& out);

} // namespace orbello_tuner

#endif
