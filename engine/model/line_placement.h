// Drawing a line with all its incremental bookkeeping, and taking it back in the search.
#pragma once

#include "model/position.h"

// Draws the undrawn line m for player (+1 engine, anything but -1 scores as the engine).
// Returns 1 when the line completed at least one box, so the same player draws again.
// m must be an undrawn line of the board (asserted in debug builds).
int place_line(int player, Move m);

// What the search saves before trying lines: the boxes' structure fields and the census.
// Sides, links, scores, lines and hashes are taken back line by line instead.
struct Snapshot {
    int chain_type[BOX_COUNT];
    int capture_mark[BOX_COUNT];
    int chain_id[BOX_COUNT];
    Census census;
};

void take_snapshot(Snapshot& s);

bool operator==(const Snapshot& x, const Snapshot& y);
inline bool operator!=(const Snapshot& x, const Snapshot& y) {
    return !(x == y);
}

// Takes back the line m that player drew, with s taken just before it was drawn; lines
// drawn after m must have been taken back first, as the search does. m must be a drawn line
// of the board (asserted in debug builds). Only the boxes m's placement rewrote are copied
// back from s (debug builds check that all of them agree with s afterwards).
void undo_line(int player, Move m, const Snapshot& s);
