// Which game of a match is which: for game number g (counted over the whole match, from 1),
// the two engines and who opens, its seed, its pair and its round. The answer depends on g
// alone, so a range of a match (--first-game) plays exactly the games the whole match plays
// under those numbers.
//
// Games go round by round; in each round every pairing plays one unit: a pair of games, one
// opening with colours swapped, the pairing's first engine opening the first game (or, with
// --no-swap, one game that it opens). Round r plays the r-th opening of a file.
#pragma once

#include "match_options.h"

#include <cstdint>
#include <vector>

namespace matchtools {

struct Pairing {
    int first = 0, second = 1; // engine indices
};

// Every engine against every other (in the order 0-1, 0-2, .., 1-2, ..), or the first
// against each other one.
std::vector<Pairing> pairings_of(int engines, Tournament t);

struct GameSlot {
    long long number = 1;       // in the whole match, from 1
    uint32_t seed = 0;          // the match's seed + number - 1
    int pairing = 0;            // index into the pairings
    int opener = 0, second = 1; // engine indices: the opener plays Black
    long long pair = 0;         // from 1; 0 when games are not paired
    int slot = 0;        // 0 the pair's first game (the pairing's first engine opens), 1 its second
    long long round = 0; // from 0
    uint32_t unit_seed = 0; // the seed of the pair's first game (the game's own seed unpaired)
};

GameSlot slot_of(long long number, const std::vector<Pairing>& pairings, bool swap, uint32_t seed);

} // namespace matchtools
