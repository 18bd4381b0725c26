// Playing strengths below the full engine, for people: every legal move gets a value from a
// search as deep as the level allows, and the move is drawn at random among them with
// weights that fall off with the value's distance from the best (the lower the level, the
// slower), from draws of a seeded generator, so that a level's games repeat. Level 5 is the
// full engine.
#ifndef ORBELLO_ENGINE_SEARCH_LEVELS_H
#define ORBELLO_ENGINE_SEARCH_LEVELS_H

#include "search/search.h"

#include <cstdint>
#include <vector>

namespace orbello_engine {

constexpr int LOWEST_LEVEL = 1;
constexpr int TOP_LEVEL = 5;

struct LevelSettings {
    int depth = 1;           // plies searched for each move: 1 values the position it leaves
    double temperature = 50; // a move worth this much less than the best is drawn e times less
};

// The settings of levels 1..4.
const LevelSettings& SettingsOfLevel(int level);

// The draws of the levels: splitmix64, the same on every platform.
class LevelRandom {
  public:
    explicit LevelRandom(std::uint64_t seed = 1) : state_(seed) {}
    std::uint64_t Next();
    double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

  private:
    std::uint64_t state_;
};

struct ValuedMove {
    Move move;
    int value; // for the side to move at the root
};

// Every legal move of root not in excluded with its value under settings, searched by
// searcher one depth after another for all moves, up to the level's depth or until
// moveTimeMs (0: no clock) runs out; a depth cut short by the clock is not used. history:
// the keys of the earlier positions since the last capture, as for Searcher::Search.
std::vector<ValuedMove> ValueMoves(Searcher& searcher, const Position& root,
                                   const std::vector<std::uint64_t>& history,
                                   const std::vector<Move>& excluded, const LevelSettings& settings,
                                   int moveTimeMs = 0);

// A value is picked with weight exp((value - best) / temperature), then a move of that value
// evenly: the chance of a mistake does not grow with the number of moves that tie. NO_MOVE
// when moves is empty.
Move PickMove(const std::vector<ValuedMove>& moves, double temperature, LevelRandom& random);

} // namespace orbello_engine

#endif
