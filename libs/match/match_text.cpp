#include "match_text.h"

#include "child_process.h"

#include <cstdio>

namespace matchtools {

std::string json_string(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 32 || c >= 127) {
            // Engine output may be any bytes; the log stays valid ASCII JSON.
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string json_counts(const std::map<std::string, int>& counts) {
    std::string out = "{";
    for (const auto& c : counts) {
        if (out.size() > 1) out += ",";
        out += json_string(c.first) + ":" + std::to_string(c.second);
    }
    return out + "}";
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

std::string default_label(const std::string& command) {
    std::vector<std::string> w = dabtools::split_command(command);
    if (w.empty()) return "?";
    std::string label = w[0].substr(w[0].find_last_of("/\\") + 1);
    if (label.size() > 4 && label.compare(label.size() - 4, 4, ".exe") == 0)
        label.resize(label.size() - 4);
    if (w.size() > 1 && w[1][0] != '-') label += " " + w[1];
    return label;
}

} // namespace matchtools
