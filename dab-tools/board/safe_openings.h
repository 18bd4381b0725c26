// Openings of Dots and Boxes matches: lines drawn before the engines take over, every one
// safe (it completes no box and gives no box a third side), so an opening is a run of
// whole turns that hands nothing to either side.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dab_board.h"

namespace dabtools {

// A line is safe when drawing it completes no box and gives no box its third side.
bool is_safe_line(const Board& board, int line);

// True when the codes are lines of the board, each drawn once and safe when drawn in this
// order; else false with why ("move 3 'AFA': ..."). An empty opening is the empty board.
bool check_opening(const std::vector<std::string>& moves, std::string& why);

// plies safe lines drawn at random, the same for the same seed on every platform; fewer
// when no safe line is left first.
std::vector<std::string> random_opening(int plies, uint64_t seed);

// The line numbers of codes already checked by check_opening.
std::vector<int> opening_lines(const std::vector<std::string>& moves);

} // namespace dabtools
