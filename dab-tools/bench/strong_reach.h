// vantry-bench --strong --reach and --verify: the exact solver's reach within a budget, and
// its values and lines against the independent judge.
#pragma once

#include <cstdint>

struct ReachOptions {
    int budget_ms = 5000;
    uint32_t seed = 11;
    bool cpu_time = false;  // the budget counts this thread's CPU time, not wall-clock time
    int from = 24, to = 50; // undrawn lines of the first and last rows
    int positions = 10;     // per row
};

// Rows of positions from 24 undrawn lines up in steps of 2 (those below `from` drawn but
// not solved), each solved from an empty table; stops after a row with none proven.
int run_reach(const ReachOptions& options);

// n positions of each of several kinds small enough for the judge: the solver's value and
// line must match. Returns 1 on any disagreement, printed with the position's codes.
int run_verify(int n, uint32_t seed);
