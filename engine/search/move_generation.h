// The lines the search tries in a position, in the order it tries them.
#pragma once

#include "model/position.h"

constexpr int MAX_MOVES = 50;

// The search probes the table for each entry right after drawing it. Move generation asks the
// memory for the slots of the first PREFETCH_AHEAD entries as it lists them; the search asks
// for each later one PREFETCH_AHEAD - 1 siblings before its turn (most lists are cut off
// long before their end, so asking for all of them early wastes the memory's time).
constexpr int PREFETCH_AHEAD = 4;

// The line shared by two adjacent boxes.
Move line_between(const Box* p, const Box* q);

// Appends candidate lines to list (room for MAX_MOVES) at count; sets few_moves to 1 when
// few lines are left, never to 0. Reads the position, changes nothing.
void generate_moves(Move* list, int& count, int move_number, int& few_moves);
