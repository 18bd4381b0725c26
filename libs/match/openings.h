// Openings of a match: played by the judge before the engines take over, and handed to both
// engines as the game so far. From a file (one opening per line, moves separated by blanks;
// blank lines and lines starting with '#' skipped), or drawn at random for each pair.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace matchtools {

struct Opening {
    std::vector<std::string> moves; // in the game's own text, Black (the opener) first
    std::string source;             // "FILE:LINE", or "random" with its seed
};

// What a game knows of openings: whether moves make one (else why), and a random one.
struct OpeningRules {
    std::function<bool(const std::vector<std::string>&, std::string&)> check;
    std::function<std::vector<std::string>(int plies, uint64_t seed)> random;
};

// Reads every opening of the file, each checked; false with why ("FILE:LINE: why") at the
// first bad one, or when the file holds none.
bool read_openings(const std::string& path, const OpeningRules& rules,
                   std::vector<Opening>& openings, std::string& why);

// A digest of the openings' moves (not of comments or layout), for a match's identity.
std::string openings_digest(const std::vector<Opening>& openings);

} // namespace matchtools
