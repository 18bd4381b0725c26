// A full consistency check of the position: everything the model keeps incrementally
// that can be recomputed from the drawn lines and the boxes' own fields.
#pragma once

#include "model/position.h"

// nullptr when the position is consistent, else a description of the first fault found
// (in a static buffer, valid until the next call).
const char* model_fault();

// Aborts with the fault and the line just drawn or undrawn when the position is not
// consistent.
void abort_on_model_fault(const char* where, const Move& m);

// Line placement calls this after every place_line and undo_line. It checks only in
// builds with VANTRY_CHECK_MODEL (debug builds); elsewhere it is empty and inlined away,
// so the search pays nothing for it.
inline void check_model([[maybe_unused]] const char* where, [[maybe_unused]] const Move& m) {
#ifdef VANTRY_CHECK_MODEL
    abort_on_model_fault(where, m);
#endif
}
