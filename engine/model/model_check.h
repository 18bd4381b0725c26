// A full consistency check of the position: everything the model keeps incrementally
// that can be recomputed from the drawn lines and the boxes' own fields.
#pragma once

#include "model/position.h"

// nullptr when the position is consistent, else a description of the first fault found
// (in a static buffer, valid until the next call).
const char* model_fault();

// Aborts with the fault and the line just drawn or undrawn when the position is not
// consistent. Called after every place_line and undo_line in debug builds.
void check_model(const char* where, const Move& m);
