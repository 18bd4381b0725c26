// Shared set-up for the search tests: a fresh game, lines drawn in order, and a full
// picture of the position to compare before and after a search.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "driver/game_start.h"
#include "model/line_placement.h"
#include "model/position.h"
#include "search/transposition_table.h"

namespace search_fixture {

// The empty board of a game the engine opened, with a cleared table; the move number is
// left for the test to set.
inline void fresh_game(int opponent_opened = 0) {
    set_opener(opponent_opened ? OPPONENT : ENGINE);
    start_game(7);
    tt_clear();
}

// Draws the lines in order for player and keeps round1 in step, as the command loop does.
inline void draw(std::initializer_list<Move> lines, int player = OPPONENT) {
    for (const Move& m : lines) {
        place_line(player, m);
        round1 += 1;
    }
}

inline bool is_undrawn_line(const Move& m) {
    return is_on_board(m) && !is_drawn(m);
}

inline std::vector<Move> undrawn_lines() {
    Move open[LINE_COUNT];
    return std::vector<Move>(open, open + ::undrawn_lines(open));
}

// Everything a search must leave as it found it. Links are kept as sets (an undo may
// reorder them).
struct BoardState {
    Snapshot structure; // structure fields and the whole census
    int sides[BOX_COUNT];
    int links[BOX_COUNT][4];
    int link_count[BOX_COUNT];
    int score_engine, score_opponent, round1;
    uint64_t index_hash, check_hash;
    int hline_drawn[30], vline_drawn[30];
    char hline_glyph[30], vline_glyph[30], box_glyph[25];
};

inline BoardState capture() {
    BoardState s;
    std::memset(static_cast<void*>(&s), 0, sizeof(s));
    take_snapshot(s.structure);
    for (int i = 0; i < BOX_COUNT; ++i) {
        const Box& x = boxes[i / 5][i % 5];
        s.sides[i] = x.sides;
        s.link_count[i] = x.link_count;
        for (int j = 0; j < x.link_count; ++j)
            s.links[i][j] = static_cast<int>(x.links[j] - &boxes[0][0]);
        std::sort(s.links[i], s.links[i] + x.link_count);
    }
    s.score_engine = score_engine;
    s.score_opponent = score_opponent;
    s.round1 = round1;
    s.index_hash = index_hash;
    s.check_hash = check_hash;
    std::memcpy(s.hline_drawn, hline_drawn, sizeof(s.hline_drawn));
    std::memcpy(s.vline_drawn, vline_drawn, sizeof(s.vline_drawn));
    std::memcpy(s.hline_glyph, hline_glyph, sizeof(s.hline_glyph));
    std::memcpy(s.vline_glyph, vline_glyph, sizeof(s.vline_glyph));
    std::memcpy(s.box_glyph, box_glyph, sizeof(s.box_glyph));
    return s;
}

// Everything after the snapshot is plain values laid out without padding.
inline bool operator==(const BoardState& x, const BoardState& y) {
    return x.structure == y.structure &&
           std::memcmp(&x.sides, &y.sides, sizeof(BoardState) - offsetof(BoardState, sides)) == 0;
}

} // namespace search_fixture
