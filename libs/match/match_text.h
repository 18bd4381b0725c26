// Text helpers of the referees' logs and reports.
#pragma once

#include <cstdint>
#include <string>

namespace matchtools {

// Points of a score: whole, or with one decimal when there is a half.
std::string format_points(double points);
// Milliseconds with one decimal.
std::string format_ms(double ms);
// The command with every "{seed}" replaced by the game's seed.
std::string with_seed(const std::string& command, uint32_t seed);
} // namespace matchtools
