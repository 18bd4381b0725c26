// What the strong bench's modes share: random positions made the same way on every
// platform, the engine's global position set from a mask, and a stopwatch that reads both
// the wall clock and this thread's CPU time.
#pragma once

#include <chrono>
#include <cstdint>
#include <random>

namespace strongbench {

// A draw from 0 .. n - 1 that is the same with every standard library.
int draw(std::mt19937& rng, int n);

int undrawn_count(uint64_t drawn);

// Safe lines at random while the board has more than `lines` undrawn lines (0: until no
// safe line is left); then any lines at random down to `lines`.
uint64_t random_position(std::mt19937& rng, int lines);

// Sets the engine's global position to the mask; the boxes already closed go to whoever
// drew their last line, which does not matter for margins of what is left.
void set_engine_position(uint64_t drawn);

class Stopwatch {
  public:
    Stopwatch();
    double wall_ms() const;
    double cpu_ms() const;

  private:
    std::chrono::steady_clock::time_point wall_;
    long long cpu_;
};

} // namespace strongbench
