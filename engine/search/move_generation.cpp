// Candidate lines for the search, read off the chain census rather than the whole board:
// forced captures first, then a random quiet line in the opening, then the lines that give
// nothing away, and a single sacrifice once few of those are left.
#include "search/move_generation.h"

#include "model/box_sets.h"
#include "search/random15.h"
#include "search/transposition_table.h"

namespace {

// Lines by number, as enumerate lists them: horizontal {0, a, b} is a * 5 + b (0..29),
// vertical {1, a, b} is 30 + a * 6 + b (30..59); one bit each in a 64-bit word.
constexpr int NO_LINE = -1;

constexpr int line_number(const Move& m) {
    return m.orient == 0 ? m.a * 5 + m.b : 30 + m.a * 6 + m.b;
}

struct LineTables {
    Move move[LINE_COUNT];
    int key[LINE_COUNT];                       // flat index into the key tables
    signed char between[BOX_COUNT][BOX_COUNT]; // line shared by two adjacent boxes, or NO_LINE
    constexpr LineTables() : move(), key(), between() {
        for (int a = 0; a <= 5; ++a)
            for (int b = 0; b <= 4; ++b) add(Move{0, a, b});
        for (int a = 0; a <= 4; ++a)
            for (int b = 0; b <= 5; ++b) add(Move{1, a, b});
        for (int p = 0; p < BOX_COUNT; ++p) {
            for (int q = 0; q < BOX_COUNT; ++q) {
                const int pr = p / 5, pc = p % 5, qr = q / 5, qc = q % 5;
                between[p][q] = NO_LINE;
                // The line at the larger row or column, as line_between names it.
                if (pr == qr && (pc - qc == 1 || qc - pc == 1))
                    between[p][q] =
                        static_cast<signed char>(line_number(Move{1, pr, pc > qc ? pc : qc}));
                if (pc == qc && (pr - qr == 1 || qr - pr == 1))
                    between[p][q] =
                        static_cast<signed char>(line_number(Move{0, pr > qr ? pr : qr, pc}));
            }
        }
    }
    constexpr void add(const Move& m) {
        move[line_number(m)] = m;
        key[line_number(m)] = m.orient * 36 + m.a * 6 + m.b;
    }
};
constexpr LineTables LINES;

inline bool line_open(int line) {
    return (line < 30 ? hline_drawn[line] : vline_drawn[line - 30]) == 0;
}

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

// The list as enumerate fills it: the count and the lines listed so far (one bit each by
// line number) stay in registers through the visits and go back to the caller at the end.
struct Enumeration {
    Move* list;
    int count;
    uint64_t listed;

    // Border lines go through here directly: they are neither looked up nor marked.
    void add(int line) {
        if (count >= MAX_MOVES) return;
        if (count < PREFETCH_AHEAD) tt_prefetch(index_hash + (&index_keys[0][0])[LINES.key[line]]);
        list[count++] = LINES.move[line];
    }
    void add_unlisted(int line) {
        const uint64_t bit = uint64_t{1} << line;
        if (listed & bit) return;
        listed |= bit;
        add(line);
    }
};

// The box a pair box is paired with: its first link when that is a pair box, else its second.
// Null when the partner cannot be read from live links (never for a sound census).
inline const Box* pair_partner(const Box& x) {
    if (x.link_count >= 1 && x.links[0]->chain_type == TYPE_PAIR) return x.links[0];
    if (x.link_count >= 2) return x.links[1];
    return nullptr;
}

// The lines from a free box x (number b) to its links that are no chain or pair boxes.
inline void free_lines(Enumeration& e, const Box& x, int b, uint32_t chain_or_pair) {
    for (int i = 0; i < x.link_count; ++i) {
        const int n = box_number(x.links[i]);
        if (chain_or_pair & (uint32_t{1} << n)) continue;
        e.add_unlisted(LINES.between[b][n]);
    }
}

inline void pair_middle(Enumeration& e, const Box& x, int b, bool edge_pass) {
    if (edge_pass && !(x.link_count == 2 || (x.link_count >= 1 && x.links[0]->link_count == 2)))
        return;
    const Box* p = pair_partner(x);
    if (p) e.add_unlisted(LINES.between[b][box_number(p)]);
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

// The boxes enumerate visits, in order, with the border line each visit of an edge box
// adds: inner boxes row by row; the top and bottom rows column by column; the left and
// right columns row by row (corner boxes twice).
struct Visit {
    signed char box;
    signed char border; // NO_LINE for the inner boxes
};

struct VisitOrder {
    Visit visits[9 + 10 + 10];
    constexpr VisitOrder() : visits() {
        int n = 0;
        for (int r = 1; r <= 3; ++r)
            for (int c = 1; c <= 3; ++c) visits[n++] = Visit{sb(r * 5 + c), NO_LINE};
        for (int c = 0; c < BOARD_COLS; ++c) {
            visits[n++] = Visit{sb(c), sb(line_number(Move{0, 0, c}))};
            visits[n++] = Visit{sb(20 + c), sb(line_number(Move{0, 5, c}))};
        }
        for (int r = 0; r < BOARD_ROWS; ++r) {
            visits[n++] = Visit{sb(r * 5), sb(line_number(Move{1, r, 0}))};
            visits[n++] = Visit{sb(r * 5 + 4), sb(line_number(Move{1, r, 5}))};
        }
    }
    static constexpr signed char sb(int v) { return static_cast<signed char>(v); }
};
constexpr VisitOrder VISIT_ORDER;

// Step 4. A visit of a free box lists its free lines and then, on the edge, its undrawn
// border line; a visit of a pair box lists the pair's middle line.
void enumerate(Move* list, int& count) {
    Enumeration e{list, count, 0};
    const uint32_t free_boxes = box_sets.of_type[TYPE_NONE] & box_sets.few_sides;
    const uint32_t pair_boxes = box_sets.of_type[TYPE_PAIR];
    const uint32_t chain_or_pair = box_sets.of_type[TYPE_CHAIN] | pair_boxes;
    for (const Visit& v : VISIT_ORDER.visits) {
        const uint32_t bit = uint32_t{1} << v.box;
        if (((free_boxes | pair_boxes) & bit) == 0) continue;
        const Box& x = *box_at(v.box);
        if (free_boxes & bit) {
            free_lines(e, x, v.box, chain_or_pair);
            if (v.border != NO_LINE && line_open(v.border)) e.add(v.border);
        } else {
            pair_middle(e, x, v.box, v.border != NO_LINE);
        }
    }
    count = e.count;
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
