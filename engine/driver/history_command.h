// "history COLOUR N CODES": a game given whole, so that a host can take lines back or start
// a match from an opening and the engine still knows which lines and boxes were its own.
// COLOUR is "black" when the engine drew the game's first line, "white" when the opponent
// did; N (0..59) is the number of lines drawn so far; CODES their codes back to back in the
// order drawn, or "-" when N is 0. Whose each line was follows from the rules: the opener
// draws the first, and a line that completes a box is followed by one of the same side.
#pragma once

#include <cstdint>

#include "driver/word_input.h"
#include "model/position.h"

struct GameHistory {
    int opener = OPPONENT; // ENGINE or OPPONENT
    int count = 0;
    Move lines[LINE_COUNT];
};

// Checks the three words of the command (count_read: how the count was read) and fills
// history. Returns nullptr when the history is a game in progress, else writes why it is
// not into why (room for size characters) and returns it. Nothing of the engine's game is
// touched either way.
const char* read_history(const char* colour, CountResult count_read, int count, const char* codes,
                         GameHistory& history, char* why, int size);

// Starts the engine's game again as the history gives it (the same start as "new", with
// the opening's draws seeded by seed) and draws every line for its owner. Returns the side
// to move: ENGINE or OPPONENT.
int replay_history(const GameHistory& history, uint32_t seed);
