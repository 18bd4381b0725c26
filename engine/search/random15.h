// The engine's own pseudo-random generator of 15-bit draws, so that the key tables and
// the opening choices behave the same on every platform.
#pragma once

#include <cstdint>

void seed15(uint32_t seed);
int rand15(); // 0..32767
