// The start of a game, the same for the command loop, the bench and the tests.
#pragma once

#include <cstdint>

// Records who opens the game in engine_first / engine_second (opener ENGINE or OPPONENT).
// The table outlives games, but its values hold for one opener only (the evaluation's
// parity term depends on who opened), so a change of opener empties it.
void set_opener(int opener);

// The empty board of a new game: board and round1, keys and hashes, and the opening's
// random draws seeded with seed (0: from the clock, for play).
void start_game(uint32_t seed);
