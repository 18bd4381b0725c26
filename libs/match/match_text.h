// Text helpers of the referees' logs and reports.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace matchtools {

// A JSON string literal.
std::string json_string(const std::string& s);
// A JSON object of counts by name, such as faults by kind.
std::string json_counts(const std::map<std::string, int>& counts);
// Milliseconds with one decimal.
std::string format_ms(double ms);
// The command with every "{seed}" replaced by the game's seed.
std::string with_seed(const std::string& command, uint32_t seed);
// How reports name an engine by default: the program's name without folder and ".exe",
// and its first argument unless that is an option.
std::string default_label(const std::string& command);

} // namespace matchtools
