// Candidate lines for the search, read off the chain census rather than the whole board:
// forced captures first, then a random quiet line in the opening, then the lines that give
// nothing away, and a single sacrifice once few of those are left.
#include "search/move_generation.h"

#include "search/random15.h"
#include "search/transposition_table.h"

namespace {

inline bool hline_open(int a, int b) {
    return hline_drawn[hline_index(a, b)] == 0;
}
inline bool vline_open(int a, int b) {
    return vline_drawn[vline_index(a, b)] == 0;
}

inline Move top_of(const Box& x) {
    return Move{0, x.row, x.col};
}
inline Move bottom_of(const Box& x) {
    return Move{0, x.row + 1, x.col};
}
inline Move left_of(const Box& x) {
    return Move{1, x.row, x.col};
}
inline Move right_of(const Box& x) {
    return Move{1, x.row, x.col + 1};
}

// Every append goes through here: the list has room for MAX_MOVES and is never overrun,
// even in positions whose left-over structure codes make steps list a line twice.
inline void append(Move* list, int& count, const Move& m) {
    if (count >= MAX_MOVES) return;
    list[count++] = m;
    // The search probes the table right after drawing the line; the slot's trip from memory
    // starts here, while the rest of the list is generated.
    tt_prefetch(index_hash + index_keys[m.orient][key_index(m)]);
}

// The lines enumerate has listed, one bit each: cleared at every call, so kept small.
struct Listed {
    uint64_t bits[2] = {0, 0};
};

inline void append_unlisted(Move* list, int& count, Listed& listed, const Move& m) {
    const int i = (m.orient * 6 + m.a) * 6 + m.b; // below 72
    const uint64_t bit = uint64_t{1} << (i & 63);
    if (listed.bits[i >> 6] & bit) return;
    append(list, count, m);
    listed.bits[i >> 6] |= bit;
}

// The box a pair box is paired with: its first link when that is a pair box, else its second.
// Null when the partner cannot be read from live links (never for a sound census).
inline const Box* pair_partner(const Box& x) {
    if (x.link_count >= 1 && x.links[0]->chain_type == TYPE_PAIR) return x.links[0];
    if (x.link_count >= 2) return x.links[1];
    return nullptr;
}

inline bool is_free(const Box& x) {
    return (x.sides == 0 || x.sides == 1) && x.chain_type == TYPE_NONE;
}

void free_lines(Move* list, int& count, Listed& listed, const Box& x) {
    if (!is_free(x)) return;
    for (int i = 0; i < x.link_count; ++i) {
        const Box* l = x.links[i];
        if (l->chain_type == TYPE_CHAIN || l->chain_type == TYPE_PAIR) continue;
        append_unlisted(list, count, listed, line_between(&x, l));
    }
}

void pair_middle(Move* list, int& count, Listed& listed, const Box& x, bool edge_pass) {
    if (x.chain_type != TYPE_PAIR) return;
    if (edge_pass && !(x.link_count == 2 || (x.link_count >= 1 && x.links[0]->link_count == 2)))
        return;
    const Box* p = pair_partner(x);
    if (p) append_unlisted(list, count, listed, line_between(&x, p));
}

// Step 1. Returns true when it finished the list.
bool free_capture(Move* list, int& count) {
    for (int r = 0; r < BOARD_ROWS; ++r) {
        for (int c = 0; c < BOARD_COLS; ++c) {
            const Box& x = boxes[r][c];
            if (x.chain_type != TYPE_DEAD_END) continue;
            if (hline_open(r, c)) {
                append(list, count, top_of(x));
                return true;
            }
            if (hline_open(r + 1, c)) {
                append(list, count, bottom_of(x));
                return true;
            }
            if (vline_open(r, c)) {
                append(list, count, left_of(x));
                return true;
            }
            if (vline_open(r, c + 1)) {
                append(list, count, right_of(x));
                return true;
            }
        }
    }
    return false;
}

// Appends the first undrawn side of n other than take, in the order top, left, bottom,
// right. Returns false when there is none.
bool decline_line(Move* list, int& count, const Box& n, const Move& take) {
    const Move sides[4] = {top_of(n), left_of(n), bottom_of(n), right_of(n)};
    for (const Move& m : sides) {
        if (m != take && !is_drawn(m)) {
            append(list, count, m);
            return true;
        }
    }
    return false;
}

// Step 2. Returns true when it finished the list.
bool capture_runs(Move* list, int& count) {
    for (int r = 0; r < BOARD_ROWS; ++r) {
        for (int c = 0; c < BOARD_COLS; ++c) {
            const Box& b = boxes[r][c];
            // A takeable box without a link is a dead end, handled by step 1.
            if (b.capture_mark != 1 || b.link_count < 1) continue;
            const Box& n = *b.links[0];
            const Move take = line_between(&b, &n);
            if (n.link_count == 1) {
                append(list, count, take);
                if (n.capture_mark == 1) return true;
                if (decline_line(list, count, n, take)) return true;
            } else if (n.link_count == 2) {
                const Box& m = *(n.links[0] == &b ? n.links[1] : n.links[0]);
                append(list, count, take);
                if (m.sides == 2 && m.capture_mark != 2) return true;
                if (m.sides == 3) return true;
                if (decline_line(list, count, n, take)) return true;
            }
        }
    }
    return false;
}

inline bool opening_line_ok(const Move& m) {
    if (m.orient == 0) {
        return m.a != 0 && hline_open(m.a, m.b) && boxes[m.a][m.b].sides < 2 &&
               boxes[m.a - 1][m.b].sides < 2;
    }
    return m.b != 0 && vline_open(m.a, m.b) && boxes[m.a][m.b].sides < 2 &&
           boxes[m.a][m.b - 1].sides < 2;
}

// The random draw below has no attempt limit; it only ends if some line is acceptable,
// which the move number promises but a caller's wrong move number would not.
bool any_opening_line() {
    for (int a = 1; a <= 4; ++a)
        for (int b = 0; b < 5; ++b)
            if (opening_line_ok(Move{0, a, b})) return true;
    for (int a = 0; a < 5; ++a)
        for (int b = 1; b <= 4; ++b)
            if (opening_line_ok(Move{1, a, b})) return true;
    return false;
}

// Step 3: one random inner line that gives no box its third side. Draws orient, a, b.
void opening_line(Move* list, int& count) {
    for (;;) {
        Move m;
        m.orient = rand15() % 2;
        m.a = rand15() % 5;
        m.b = rand15() % 5;
        if (opening_line_ok(m)) {
            append(list, count, m);
            return;
        }
    }
}

// Step 4.
void enumerate(Move* list, int& count) {
    Listed listed;
    for (int r = 1; r <= 3; ++r) {
        for (int c = 1; c <= 3; ++c) {
            free_lines(list, count, listed, boxes[r][c]);
            pair_middle(list, count, listed, boxes[r][c], false);
        }
    }
    for (int c = 0; c < BOARD_COLS; ++c) {
        const Box& t = boxes[0][c];
        free_lines(list, count, listed, t);
        if (is_free(t) && hline_open(0, c)) append(list, count, top_of(t));
        pair_middle(list, count, listed, t, true);
        const Box& u = boxes[4][c];
        free_lines(list, count, listed, u);
        if (is_free(u) && hline_open(5, c)) append(list, count, bottom_of(u));
        pair_middle(list, count, listed, u, true);
    }
    for (int r = 0; r < BOARD_ROWS; ++r) {
        const Box& l = boxes[r][0];
        free_lines(list, count, listed, l);
        if (is_free(l) && vline_open(r, 0)) append(list, count, left_of(l));
        pair_middle(list, count, listed, l, true);
        const Box& g = boxes[r][4];
        free_lines(list, count, listed, g);
        if (is_free(g) && vline_open(r, 5)) append(list, count, right_of(g));
        pair_middle(list, count, listed, g, true);
    }
}

// A sacrifice line is only taken when it is still undrawn; a left-over code must never hand
// the search a drawn line.
inline bool append_sacrifice(Move* list, int& count, const Move& m) {
    if (is_drawn(m)) return false;
    append(list, count, m);
    return true;
}

// The horizontal border line of a corner box.
inline Move corner_border(int r, int c) {
    return Move{0, r == 0 ? 0 : 5, c};
}

// The horizontal border line of the first corner, in the given order, whose box has the
// given code.
bool sacrifice_corner(Move* list, int& count, const int (&order)[4][2], int type) {
    for (const auto& rc : order)
        if (boxes[rc[0]][rc[1]].chain_type == type &&
            append_sacrifice(list, count, corner_border(rc[0], rc[1])))
            return true;
    return false;
}

// Step 5: one sacrifice by a fixed order of preference.
void sacrifice(Move* list, int& count) {
    // Corner pairs and singles look at the corners in different orders.
    static const int pair_order[4][2] = {{0, 0}, {0, 4}, {4, 4}, {4, 0}};
    static const int single_order[4][2] = {{0, 0}, {0, 4}, {4, 0}, {4, 4}};
    if (census.corner_pair_count > 0 && sacrifice_corner(list, count, pair_order, TYPE_CORNER_PAIR))
        return;
    if (census.single_count > 0 && sacrifice_corner(list, count, single_order, TYPE_SINGLE)) return;
    if (census.pair_count > 0) {
        for (int r = 0; r < BOARD_ROWS; ++r) {
            for (int c = 0; c < BOARD_COLS; ++c) {
                const Box& x = boxes[r][c];
                if (x.chain_type != TYPE_PAIR) continue;
                const Box* p = pair_partner(x);
                if (p && append_sacrifice(list, count, line_between(&x, p))) return;
            }
        }
    }
    if (census.loop_count > 0) {
        int best = -1;
        for (int i = 0; i < census.loop_count && i < MAX_LOOPS; ++i) {
            const LoopEntry& e = census.loops[i];
            if (e.anchor == nullptr || e.anchor->link_count < 1) continue;
            if (best < 0 || e.length < census.loops[best].length) best = i;
        }
        if (best >= 0) {
            const Box* anchor = census.loops[best].anchor;
            if (append_sacrifice(list, count, line_between(anchor, anchor->links[0]))) return;
        }
    }
    if (census.chain_count > 0) {
        for (int r = 0; r < BOARD_ROWS; ++r) {
            for (int c = 0; c < BOARD_COLS; ++c) {
                const Box& x = boxes[r][c];
                if (x.chain_type != TYPE_CHAIN || x.link_count < 1) continue;
                if (append_sacrifice(list, count, line_between(&x, x.links[0]))) return;
            }
        }
    }
}

} // namespace

Move line_between(const Box* p, const Box* q) {
    Move m;
    m.orient = p->row == q->row ? 1 : 0;
    m.a = (p->row + q->row + 1) / 2;
    m.b = (p->col + q->col + 1) / 2;
    return m;
}

void generate_moves(Move* list, int& count, int move_number, int& few_moves) {
    if (census.dead_end_count > 0 && free_capture(list, count)) return;
    if (census.capturable_count > 0 && capture_runs(list, count)) return;
    if (move_number <= 10 && any_opening_line()) {
        opening_line(list, count);
        return;
    }
    enumerate(list, count);
    if (count > 8) return;
    if (count <= 2) few_moves = 1;
    sacrifice(list, count);
}
