// Openings of Orbello matches: moves played before the engines take over, in the module's
// move text with the default bases ("ABAC": source column and row, target column and row,
// 'A' for 0), Black first and the sides alternating.
#ifndef ORBELLO_RULES_OPENINGS_H
#define ORBELLO_RULES_OPENINGS_H

#include <cstdint>
#include <string>
#include <vector>

#include "rules/rules.h"

namespace orbello_rules {

// True when every move is legal in turn from the initial position and the game is not over
// after them; else false with why ("move 2 'ABAC': ..."). An empty opening is the initial
// position.
bool check_opening(const std::vector<std::string>& moves, std::string& why);

// plies legal moves drawn at random, the same for the same seed on every platform; fewer
// if the game ends first (the opening then stops before its last move).
std::vector<std::string> random_opening(int plies, std::uint64_t seed);

// The text of a move and the position after an opening already checked; side is the side
// to move after it.
std::string opening_move_text(const Move& m);
void play_opening(const std::vector<std::string>& moves, Cells& board, int& side);

} // namespace orbello_rules

#endif
