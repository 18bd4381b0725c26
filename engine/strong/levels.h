// Playing strengths below the strong player, for people: every undrawn line gets a value in
// boxes from a search as deep as the level allows, and the line is drawn at random among
// them with weights that fall off with the value's distance from the best (the lower the
// level, the slower), from draws of a seeded generator, so that a level's games repeat.
// Level 5 is the strong player itself.
#pragma once

#include <cstdint>

#include "endgame/geometry.h"
#include "model/position.h"
#include "search/search.h"

namespace strong {

constexpr int LOWEST_LEVEL = 1;
constexpr int TOP_LEVEL = 5;

struct LevelSettings {
    // Lines are valued by what they take or give at once (0), or by the middle game's search
    // of this depth over the position after them.
    int middle_depth = 0;
    // What a line gives at once: the boxes it gives a third side (false), or every box the
    // other side can then take one after another (true).
    bool counts_runs = true;
    // Once no safe line is left, lines are valued by the exact solver (else at once).
    bool exact_endgame = false;
    // In boxes: the lines of a value one box below the best are drawn, together,
    // exp(-1 / temperature) times as often as the best value's lines.
    double temperature = 1;
    // Node cap of each line's search, so that a level plays alike on any machine.
    long long nodes_per_line = 0;
};

// The settings of levels 1..4.
const LevelSettings& level_settings(int level);

// The level the engine plays (1..5) and the seed of its draws (0: from the clock). Levels
// below 5 make choose_level_move the engine's choice of line.
void set_level(int level, uint32_t seed);

// Same contract as choose_move: an undrawn line of the engine's position. The budget only
// bounds the searches should the node caps ever take longer.
Move choose_level_move(const SearchLimits& limits);

// What a line takes at once (the boxes it completes), or minus what it gives away: the
// boxes it gives a third side, or with counts_runs every box the other side can then take
// one after another.
int immediate_value(uint64_t drawn, int line, bool counts_runs = true);

// Values of every undrawn line of drawn for the side to move under settings (drawn lines
// get none); deadline_ms 0 for none.
void line_values(uint64_t drawn, const LevelSettings& settings, long long deadline_ms,
                 int (&values)[LINES]);

// The draws of the levels: splitmix64, the same on every platform.
class LevelRandom {
  public:
    explicit LevelRandom(uint64_t seed = 1) : state_(seed) {}
    uint64_t next();
    double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

  private:
    uint64_t state_;
};

// The line drawn among the undrawn lines of drawn: a value is picked with weight
// exp((value - best) / temperature), then a line of that value evenly. Grouping by value
// keeps the chance of a mistake the same however many lines share a value.
int pick_line(uint64_t drawn, const int (&values)[LINES], double temperature, LevelRandom& random);

} // namespace strong
