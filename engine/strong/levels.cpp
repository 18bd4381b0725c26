#include "strong/levels.h"

#include <chrono>
#include <climits>
#include <cmath>

#include "strong/compact_position.h"
#include "strong/middle_game.h"
#include "strong/strong_player.h"

namespace strong {
namespace {

// Level 1 takes what it sees, sees no further than the box its line gives a third side,
// and gives one away about one move in nine while safe lines are left; level 2 counts the
// whole run of boxes a line gives and seldom gives any; level 3 also plays the endgame
// exactly (it keeps control with the last boxes of a chain); level 4 also fights for
// control over the safe lines. Tuned so that each beats the one below (the README's
// ladder).
const LevelSettings LEVELS[TOP_LEVEL - 1] = {
    {0, false, false, 0.5, 0},
    {0, true, false, 0.25, 0},
    {0, true, true, 0.25, 200000},
    {2, true, true, 0.2, 200000},
};

int current_level = TOP_LEVEL;
LevelRandom level_random;

// The value of line for the side to move when a search of the position after it finishes
// within its caps; false otherwise.
bool searched_value(uint64_t drawn, int line, const LevelSettings& settings, long long deadline_ms,
                    int& value) {
    const int taken = boxes_completed(drawn, line);
    const uint64_t next = drawn | uint64_t{1} << line;
    int after = 0; // for the side to move after the line
    if (next != ALL_LINES) {
        if (safe_line_count(next) == 0) {
            SolveResult r = strong_solver().solve(next, settings.nodes_per_line, deadline_ms);
            if (!r.solved) return false;
            after = r.value;
        } else {
            MiddleResult m = middle_game_line(next, deadline_ms, settings.nodes_per_line,
                                              strong_solver(), settings.middle_depth);
            if (m.line < 0) return false;
            after = m.value;
        }
    }
    value = taken > 0 ? taken + after : -after;
    return true;
}

} // namespace

uint64_t LevelRandom::next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

const LevelSettings& level_settings(int level) {
    if (level < LOWEST_LEVEL) level = LOWEST_LEVEL;
    if (level > TOP_LEVEL - 1) level = TOP_LEVEL - 1;
    return LEVELS[level - 1];
}

void set_level(int level, uint32_t seed) {
    current_level = level;
    const uint64_t clock =
        static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    level_random = LevelRandom(seed != 0 ? seed : clock);
}

int immediate_value(uint64_t drawn, int line, bool counts_runs) {
    const int taken = boxes_completed(drawn, line);
    if (taken > 0) return taken;
    if (!counts_runs) {
        const Geometry& g = geometry();
        int offered = 0;
        for (int i = 0; i < g.line_box_count[line]; ++i)
            offered += sides_drawn(drawn, g.line_boxes[line][i]) == 2;
        return -offered;
    }
    // The other side takes every box that has three sides, one after another.
    const Geometry& g = geometry();
    drawn |= uint64_t{1} << line;
    int given = 0;
    for (bool again = true; again;) {
        again = false;
        for (int b = 0; b < BOXES; ++b) {
            if (sides_drawn(drawn, b) != 3) continue;
            const int missing = __builtin_ctzll(g.box_sides[b] & ~drawn);
            given += boxes_completed(drawn, missing);
            drawn |= uint64_t{1} << missing;
            again = true;
        }
    }
    return -given;
}

void line_values(uint64_t drawn, const LevelSettings& settings, long long deadline_ms,
                 int (&values)[LINES]) {
    const bool endgame = safe_line_count(drawn) == 0;
    const bool search = endgame ? settings.exact_endgame : settings.middle_depth > 0;
    for (int line = 0; line < LINES; ++line) {
        values[line] = 0;
        if (drawn >> line & 1) continue;
        if (!search || !searched_value(drawn, line, settings, deadline_ms, values[line]))
            values[line] = immediate_value(drawn, line, settings.counts_runs);
    }
}

int pick_line(uint64_t drawn, const int (&values)[LINES], double temperature, LevelRandom& random) {
    // Distinct values of the undrawn lines, and how many lines have each.
    int distinct[LINES], lines_of[LINES], groups = 0, best = INT_MIN;
    for (int line = 0; line < LINES; ++line) {
        if (drawn >> line & 1) continue;
        int g = 0;
        while (g < groups && distinct[g] != values[line]) ++g;
        if (g == groups) {
            distinct[groups] = values[line];
            lines_of[groups++] = 0;
        }
        ++lines_of[g];
        if (values[line] > best) best = values[line];
    }
    if (groups == 0) return -1;
    double weight[LINES], total = 0;
    for (int g = 0; g < groups; ++g) {
        weight[g] = std::exp((distinct[g] - best) / temperature);
        total += weight[g];
    }
    double x = random.unit() * total;
    int chosen = 0;
    while (chosen < groups - 1 && x >= weight[chosen]) x -= weight[chosen++];
    int k = static_cast<int>(random.next() % static_cast<uint64_t>(lines_of[chosen]));
    for (int line = 0; line < LINES; ++line)
        if (!(drawn >> line & 1) && values[line] == distinct[chosen] && k-- == 0) return line;
    return -1;
}

Move choose_level_move(const SearchLimits& limits) {
    if (current_level >= TOP_LEVEL) return choose_strong_move(limits);
    const LevelSettings& settings = level_settings(current_level);
    const uint64_t drawn = compact_from_engine().drawn;
    // The caps keep a line's searches far within any budget; the deadline is only a guard
    // (none when the limits ask for a replay by node counts).
    const long long deadline = limits.node_limit > 0 ? 0 : now_ms() + limits.budget_ms * 9 / 10;
    int values[LINES];
    line_values(drawn, settings, deadline, values);
    const int line = pick_line(drawn, values, settings.temperature, level_random);
    return line >= 0 ? move_of_line(line) : choose_move(limits);
}

} // namespace strong
