// vantry-bench --strong --middle: how often the strong player's first line is optimal in
// positions it cannot yet prove within its budget, judged by a long exact solve.
#pragma once

#include <cstdint>

// n positions of 40, 42 or 44 undrawn lines with safe lines left: the player's first line
// at budget_ms against the value of a solve with long_ms (positions it does not finish are
// counted apart). Returns 0.
int run_middle(int n, int budget_ms, int long_ms, uint32_t seed, bool cpu_time);
