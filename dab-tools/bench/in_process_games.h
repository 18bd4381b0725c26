// Whole games in one process: the engine's search against the reference opponents, to
// count lines the engine should never choose (drawn or off the board) and empty lists.
#pragma once

// games alternate who opens and which opponent (random, greedy); the engine searches to
// depth. Returns the program's exit status (1 when the engine chose a line it may not).
int play_games(int games, int depth);
