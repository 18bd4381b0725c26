// Per-line keys of the two position hashes.
#pragma once

#include "model/position.h"

// Draws both key tables from the fixed seed (the same tables every run) and clears
// index_hash and check_hash.
void init_keys();
