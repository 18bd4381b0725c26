// The text picture of the board that follows the replies on the engine's output.
#pragma once

#include <cstdio>

// Writes the 21-line picture of the current position, flushing after every line.
void print_board(std::FILE* out = stdout);
