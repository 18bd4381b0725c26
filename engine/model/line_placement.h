// Drawing a line with all its incremental bookkeeping, and taking it back in the search.
#pragma once

#include "model/position.h"

// Draws the undrawn line m for player (+1 engine, anything but -1 scores as the engine).
// Returns 1 when the line completed at least one box, so the same player draws again.
// m must be an undrawn line of the board; callers guarantee it.
int place_line(int player, Move m);

// The structure fields and counters that the search saves before trying lines.
struct Snapshot {
    int chain_type[BOX_COUNT];
    int capture_mark[BOX_COUNT];
    int chain_id[BOX_COUNT];
    int single_count;
    int dead_end_count;
    int corner_pair_count;
    int pair_count;
    int next_chain_id;
    int loop_count;
    int chain_count;
    int capturable_count;
    int next_in_run_count;
    int double_cross_count;
    // The loop table too, not only its count: a loop opened and another closed below the
    // snapshot share a slot, and the count alone would bring back the wrong loop. Anchors
    // as box numbers (-1 none), so the record stays plain 32-bit values without padding.
    int loop_length[MAX_LOOPS];
    int loop_anchor[MAX_LOOPS];
};

void take_snapshot(Snapshot& s);

// Takes back the line m that player drew, with s taken before it was drawn.
void undo_line(int player, Move m, const Snapshot& s);
