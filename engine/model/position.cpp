// The one global position and its reset to the empty board.
#include "model/position.h"

#include <cstddef>
#include <cstring>

#include "model/box_sets.h"

Box boxes[BOARD_ROWS][BOARD_COLS];

Census census;

bool operator==(const Census& x, const Census& y) {
    // The counters are plain ints with no padding between them; the loop entries hold a
    // pointer after an int, so they are compared field by field.
    if (std::memcmp(&x, &y, offsetof(Census, loops)) != 0) return false;
    for (int i = 0; i < MAX_LOOPS; ++i)
        if (x.loops[i].length != y.loops[i].length || x.loops[i].anchor != y.loops[i].anchor)
            return false;
    return true;
}

int score_engine;
int score_opponent;

int hline_drawn[30];
int vline_drawn[30];
char hline_glyph[30];
char vline_glyph[30];
char box_glyph[25];

uint64_t index_keys[2][36];
uint64_t check_keys[2][36];
uint64_t index_hash;
uint64_t check_hash;

int round1 = 1;
int engine_first;
int engine_second;

void init_board() {
    for (int r = 0; r < BOARD_ROWS; ++r) {
        for (int c = 0; c < BOARD_COLS; ++c) {
            Box& x = boxes[r][c];
            x.row = r;
            x.col = c;
            x.sides = 0;
            x.chain_type = TYPE_NONE;
            x.capture_mark = 0;
            x.chain_id = 0;
            x.link_count = 0;
            // Start order left, up, right, down: move generation and evaluation read
            // links[0] and links[1] and rely on it.
            if (c > 0) x.links[x.link_count++] = &boxes[r][c - 1];
            if (r > 0) x.links[x.link_count++] = &boxes[r - 1][c];
            if (c < BOARD_COLS - 1) x.links[x.link_count++] = &boxes[r][c + 1];
            if (r < BOARD_ROWS - 1) x.links[x.link_count++] = &boxes[r + 1][c];
            for (int i = x.link_count; i < 4; ++i) x.links[i] = nullptr;
        }
    }
    census = Census{};
    census.next_chain_id = 1;
    score_engine = 0;
    score_opponent = 0;
    for (int i = 0; i < 30; ++i) {
        hline_drawn[i] = 0;
        vline_drawn[i] = 0;
        hline_glyph[i] = ' ';
        vline_glyph[i] = ' ';
    }
    for (char& g : box_glyph) g = ' ';
    rebuild_box_sets();
    round1 = 1;
}

int undrawn_lines(Move* out) {
    int n = 0;
    for (int a = 0; a <= 5; ++a)
        for (int b = 0; b <= 4; ++b)
            if (!hline_drawn[hline_index(a, b)]) out[n++] = Move{0, a, b};
    for (int a = 0; a <= 4; ++a)
        for (int b = 0; b <= 5; ++b)
            if (!vline_drawn[vline_index(a, b)]) out[n++] = Move{1, a, b};
    return n;
}
