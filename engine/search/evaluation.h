// Static values of positions, from the point of view of the side to move.
#pragma once

// Value of a decided game (or a few-lines position) for side (+1 engine, -1 opponent).
int decided_value(int side);

// Static value of the current position for side to move.
int evaluate(int side, int few_moves);
