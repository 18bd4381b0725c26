// What orbello-host decides without the window: how far a take back goes, the "history" line
// an engine gets, whether a command runs the project's own engine (which takes --level), the
// panel's text broken into lines, a position replayed by the rules. Kept apart from the
// window so that a test checks each decision by itself.
#pragma once

#include "match_log.h"
#include "rules/rules.h"

#include <functional>
#include <string>
#include <vector>

namespace orbello_host {

// How many moves stay when the person takes back: their last move goes, and whatever the
// engine played after it. personSide is -1 when people play both sides (the last move goes).
// moves.size() when there is nothing of the person's to take back.
size_t TakeBackLength(size_t moves, int personSide);

// "history COLOUR N M1 ... MN": the game so far, for an engine that plays engineSide.
std::string HistoryLine(int engineSide, const std::vector<std::string>& moves);

// Whether the command starts the project's own engine (OrbelloEngine.exe, orbello-engine),
// which takes --level and --movetime.
bool IsOwnEngine(const std::string& command);

// The levels people choose from; the top one is the engine at full strength.
const int kTopLevel = 5;

// The engine asked for a hint, from the game's engine command: the project's own engine at
// full strength whatever level the game is played at (a hint is the person's best move),
// within movetimeMs; another engine as it was given.
std::string HintCommand(const std::string& gameCommand, int movetimeMs);

// The four move characters of an engine's "move XXXX" line; empty when it has none.
std::string MoveOfReply(const std::string& line);

// A text broken at blanks into lines no wider than width as measure gives it; a word wider
// than a line is cut between characters.
std::vector<std::string> WrapText(const std::string& text, int width,
                                  const std::function<int(const std::string&)>& measure);

// The position after moves (module text, columns from baseX and rows from baseY), Black
// first: false with why naming the move that is not legal where it stands.
struct Replayed {
    orbello_rules::Cells board;
    int sideToMove = BLACK;
    bool over = false; // a side has lost its last piece
    int pieces[2] = {12, 12};
};
bool ReplayMoves(const std::vector<std::string>& moves, int baseX, int baseY, Replayed& out,
                 std::string& why);

// The record a saved game is: the referee's game record of these moves (module text with its
// bases), labels by colour, the winner's colour when the game is over (-1 while it is not).
matchtools::Json SavedGameRecord(const std::vector<std::string>& moves, int baseX, int baseY,
                                 const std::string labels[2], int winner);

} // namespace orbello_host
