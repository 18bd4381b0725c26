// The lines the search tries in a position, in the order it tries them.
#pragma once

#include "model/position.h"

constexpr int MAX_MOVES = 50;

// The line shared by two adjacent boxes.
Move line_between(const Box* p, const Box* q);

// Appends candidate lines to list (room for MAX_MOVES) at count; sets few_moves to 1 when
// few lines are left, never to 0. Reads the position, changes nothing.
void generate_moves(Move* list, int& count, int move_number, int& few_moves);
