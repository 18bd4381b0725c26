// vantry-bench --strong --middle: how often the strong player's first line is optimal in
// positions it cannot yet prove within its budget, judged by the optimal lines of a long
// exact solve.
#pragma once

#include <cstdint>
#include <string>

struct MiddleOptions {
    int positions = 20;
    int budget_ms = 5000;  // the player's
    int long_ms = 1200000; // each offline solve's
    uint32_t seed = 11;
    bool cpu_time = false;
    // The optimal lines of every position, one position a line: those in the file are read
    // (so that builds without a fast solver are judged alike), the rest solved and added.
    std::string answers;
};

// The positions have 40, 42 or 44 undrawn lines and safe lines left. Returns 0, or 2 when
// the answers file cannot be read or written or holds other positions.
int run_middle(const MiddleOptions& options);
