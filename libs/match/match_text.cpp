#include "match_text.h"

#include <cmath>
#include <cstdio>

namespace matchtools {

std::string format_points(double points) {
    char buf[32];
    std::snprintf(buf, sizeof buf, points == std::floor(points) ? "%.0f" : "%.1f", points);
    return buf;
}

std::string format_ms(double ms) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", ms);
    return buf;
}

std::string with_seed(const std::string& command, uint32_t seed) {
    std::string out = command;
    const std::string key = "{seed}";
    for (size_t at = out.find(key); at != std::string::npos; at = out.find(key, at))
        out.replace(at, key.size(), std::to_string(seed));
    return out;
}

} // namespace matchtools
