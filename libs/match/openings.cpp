#include "openings.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace matchtools {

bool read_openings(const std::string& path, const OpeningRules& rules,
                   std::vector<Opening>& openings, std::string& why) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = path + ": cannot be read";
        return false;
    }
    openings.clear();
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string where = path + ":" + std::to_string(number);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        Opening o;
        for (std::string w; words >> w;) o.moves.push_back(w);
        if (o.moves.empty() || o.moves[0][0] == '#') continue;
        std::string problem;
        if (!rules.check(o.moves, problem)) {
            why = where + ": " + problem;
            return false;
        }
        o.source = where;
        openings.push_back(std::move(o));
    }
    if (openings.empty()) {
        why = path + ": no opening in it";
        return false;
    }
    return true;
}

std::string openings_digest(const std::vector<Opening>& openings) {
    // FNV-1a, 64 bits: the same on every platform.
    uint64_t h = 14695981039346656037ull;
    auto add = [&](const std::string& s) {
        for (unsigned char c : s) {
            h ^= c;
            h *= 1099511628211ull;
        }
    };
    for (const Opening& o : openings) {
        for (const std::string& m : o.moves) add(m + " ");
        add("\n");
    }
    char buf[20];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}

} // namespace matchtools
