// Set-up shared by the model tests: a fresh board with keys, lines drawn by list, and a
// deterministic random game.
#pragma once

#include <initializer_list>
#include <random>

#include "model/line_placement.h"
#include "model/model_check.h"
#include "model/position.h"
#include "search/keys.h"

namespace model_fixture {

inline void fresh() {
    init_board();
    init_keys();
}

inline Box& box(int r, int c) {
    return boxes[r][c];
}

inline Move h(int a, int b) {
    return Move{0, a, b};
}
inline Move v(int a, int b) {
    return Move{1, a, b};
}

// Draws the lines in order; returns the result of the last one.
inline int draw(std::initializer_list<Move> lines, int player = OPPONENT) {
    int last = 0;
    for (const Move& m : lines) last = place_line(player, m);
    return last;
}

// Draws count random undrawn lines, the player changing whenever a line completes
// nothing, as in a game.
inline void random_lines(std::mt19937& rng, int count) {
    int player = OPPONENT;
    for (int i = 0; i < count; ++i) {
        Move lines[LINE_COUNT];
        int n = undrawn_lines(lines);
        if (n == 0) return;
        Move m = lines[std::uniform_int_distribution<int>(0, n - 1)(rng)];
        if (place_line(player, m) == 0) player = -player;
    }
}

} // namespace model_fixture
