// The engine's one entry: reads commands word by word, applies the opponent's lines,
// plays its own and writes the replies and the board picture.
#pragma once

#include <cstdio>

#include "driver/word_input.h"
#include "model/position.h"
#include "search/search.h"

// How the engine chooses each of its lines: the default search unless the program was
// started as the strong player.
using LineChooser = Move (*)(const SearchLimits& limits);
extern LineChooser line_chooser;

// Runs until "quit", end of input, or a "move" that brings the last line; returns the
// program's exit status. Why a history was refused goes to err (stderr by default).
int run_command_loop(WordInput& in, std::FILE* out, const SearchLimits& limits);
int run_command_loop(WordInput& in, std::FILE* out, std::FILE* err, const SearchLimits& limits);
