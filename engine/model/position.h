// The one position of the engine: 60 lines on 6 x 6 dots, the 25 boxes with their sides,
// links and structure codes, the chain census, scores, printable glyphs and the two
// position hashes. Everything is static global state; nothing is allocated.
#pragma once

#include <cstdint>

// A line. orient 0: horizontal at dot row a (0..5) over box column b (0..4);
// orient 1: vertical at box row a (0..4) and dot column b (0..5).
struct Move {
    int orient;
    int a;
    int b;
};

inline bool operator==(const Move& x, const Move& y) {
    return x.orient == y.orient && x.a == y.a && x.b == y.b;
}
inline bool operator!=(const Move& x, const Move& y) {
    return !(x == y);
}

constexpr int ENGINE = 1;    // player value of the engine
constexpr int OPPONENT = -1; // player value of the opponent

constexpr int BOARD_ROWS = 5; // boxes per column
constexpr int BOARD_COLS = 5; // boxes per row
constexpr int LINE_COUNT = 60;
constexpr int BOX_COUNT = 25;

// Structure codes of a box (chain_type). 4 and 6 are never given.
constexpr int TYPE_NONE = 0;
constexpr int TYPE_SINGLE = 1;
constexpr int TYPE_DEAD_END = 2;
constexpr int TYPE_CORNER_PAIR = 3;
constexpr int TYPE_PAIR = 5;
constexpr int TYPE_LOOP = 7;
constexpr int TYPE_CHAIN = 8;

constexpr int MAX_LOOPS = 6;

struct Box {
    int row;
    int col;
    int sides;        // drawn sides, 0..4
    int chain_type;   // structure code
    int capture_mark; // 0 none, 1 takeable (three sides), 2 next in a capture run
    Box* links[4];    // adjacent boxes still joined by an undrawn line
    int link_count;   // valid entries at the front of links
    int chain_id;     // long chain or loop the box belongs or belonged to; 0 if never
};

struct LoopEntry {
    int length;
    Box* anchor; // the box whose second side closed the loop
};

extern Box boxes[BOARD_ROWS][BOARD_COLS];

// The chain census: the counts of the structures the boxes form and the loop table. One
// record, so the reset, the search's snapshot and restore, and comparisons take it whole
// and no field can be forgotten in one of them.
struct Census {
    int single_count;
    int dead_end_count;
    int corner_pair_count;
    int pair_count;
    int chain_count;
    int loop_count; // live entries at the front of loops
    int capturable_count;
    int next_in_run_count;
    int double_cross_count;
    int next_chain_id;
    // All six entries, live or not: a loop opened below a snapshot and another closed after
    // it share a slot, so the restore must bring back the entries, not only the count.
    LoopEntry loops[MAX_LOOPS];
};

bool operator==(const Census& x, const Census& y);
inline bool operator!=(const Census& x, const Census& y) {
    return !(x == y);
}

extern Census census;

extern int score_engine;
extern int score_opponent;

// Line flags and glyphs, by line index: horizontal a * 5 + b, vertical a * 6 + b.
extern int hline_drawn[30];
extern int vline_drawn[30];
extern char hline_glyph[30];
extern char vline_glyph[30];
extern char box_glyph[25]; // 'c' engine, 'H' opponent, ' ' not won

// Per-line keys, [orient][a * 6 + b], and the running sums over drawn lines.
extern uint64_t index_keys[2][36];
extern uint64_t check_keys[2][36];
extern uint64_t index_hash;
extern uint64_t check_hash;

// Game flags kept by the command loop and read by the search.
extern int round1;        // number of the next line: drawn lines + 1
extern int engine_first;  // 1 when the engine opened the current game
extern int engine_second; // 1 when the opponent opened it

// Sets up the empty board (not the keys, hashes or transposition table).
void init_board();

// Writes the undrawn lines into out (room for LINE_COUNT), horizontal ones first, each
// group in index order; returns how many.
int undrawn_lines(Move* out);

constexpr int hline_index(int a, int b) {
    return a * 5 + b;
}
constexpr int vline_index(int a, int b) {
    return a * 6 + b;
}
constexpr int key_index(const Move& m) {
    return m.a * 6 + m.b;
}

// True when m names a line of the board (whether drawn or not).
inline bool is_on_board(const Move& m) {
    if (m.orient == 0) return m.a >= 0 && m.a <= 5 && m.b >= 0 && m.b <= 4;
    if (m.orient == 1) return m.a >= 0 && m.a <= 4 && m.b >= 0 && m.b <= 5;
    return false;
}

// Only meaningful for lines on the board.
inline bool is_drawn(const Move& m) {
    return m.orient == 0 ? hline_drawn[hline_index(m.a, m.b)] != 0
                         : vline_drawn[vline_index(m.a, m.b)] != 0;
}
