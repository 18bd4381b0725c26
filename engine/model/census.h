// The chain census: classifying a box that gets its first or second side, and taking a
// structure out when one of its boxes becomes takeable.
#pragma once

#include "model/position.h"

// x has just got its first or second side, and its links are already updated.
void formation_step(Box* x);

// Takes one structure of the given code out of the census; key is its chain_id.
void cut_chain(int type, int key);
