// Drawing a line: the one or two boxes beside it are updated in a fixed order, the census
// and capture bookkeeping follow, and the hashes take the line's keys. The search draws
// and takes back lines millions of times: nothing here allocates or scans the board.
#include "model/line_placement.h"

#include <cassert>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "model/box_sets.h"
#include "model/census.h"
#include "model/model_check.h"

namespace {

// The boxes whose structure fields each drawn line's placement wrote, by key index: what
// undo_line restores from its snapshot.
uint32_t rewritten_by_line[2][36];

// The boxes beside a line, in update order; second is nullptr for a border line.
struct Beside {
    Box* first;
    Box* second;
};

inline Beside boxes_beside(const Move& m) {
    if (m.orient == 0) {
        if (m.a == 0) return Beside{&boxes[0][m.b], nullptr};
        if (m.a == 5) return Beside{&boxes[4][m.b], nullptr};
        return Beside{&boxes[m.a][m.b], &boxes[m.a - 1][m.b]};
    }
    if (m.b == 0) return Beside{&boxes[m.a][0], nullptr};
    if (m.b == 5) return Beside{&boxes[m.a][4], nullptr};
    return Beside{&boxes[m.a][m.b], &boxes[m.a][m.b - 1]};
}

// The line's own state: its flag, its glyph and its keys in both hashes (added when it is
// drawn, subtracted when it is taken back; both wrap modulo 2^64).
inline void mark_line(const Move& m, bool drawn) {
    const int k = key_index(m);
    if (drawn) {
        index_hash += index_keys[m.orient][k];
        check_hash += check_keys[m.orient][k];
    } else {
        index_hash -= index_keys[m.orient][k];
        check_hash -= check_keys[m.orient][k];
    }
    if (m.orient == 0) {
        hline_drawn[hline_index(m.a, m.b)] = drawn ? 1 : 0;
        hline_glyph[hline_index(m.a, m.b)] = drawn ? '-' : ' ';
    } else {
        vline_drawn[vline_index(m.a, m.b)] = drawn ? 1 : 0;
        vline_glyph[vline_index(m.a, m.b)] = drawn ? '|' : ' ';
    }
}

inline void remove_link(Box* x, const Box* y) {
    for (int i = 0; i < x->link_count; ++i) {
        if (x->links[i] == y) {
            for (int j = i + 1; j < x->link_count; ++j) x->links[j - 1] = x->links[j];
            x->link_count -= 1;
            return;
        }
    }
}

// Third side: the box can be taken. first_of_two tells whether x is the first of two
// boxes of the line; same_structure carries the first box's judgement to the second.
void third_side(Box* x, const Box* y, bool first_of_two, bool second_of_two, bool& same_structure) {
    census.capturable_count += 1;
    if (first_of_two) same_structure = x->chain_type == y->chain_type;
    int old = x->capture_mark;
    set_capture_mark(x, 1);
    if (old == 2) {
        census.next_in_run_count -= 1;
    } else if (!(second_of_two && same_structure)) {
        cut_chain(x->chain_type, x->chain_id);
    }
    if (x->link_count == 1) {
        Box* n = x->links[0];
        if (n->sides >= 2) {
            if (n->sides == 2 && n->capture_mark != 2) {
                set_capture_mark(n, 2);
                census.next_in_run_count += 1;
            }
            return;
        }
    }
    census.dead_end_count += 1;
    census.capturable_count -= 1;
    set_chain_type(x, TYPE_DEAD_END);
}

void fourth_side(Box* x, const Box* y, bool first_of_two, int player) {
    if (first_of_two && y->sides == 3) census.double_cross_count += 1;
    if (x->chain_type == TYPE_DEAD_END)
        census.dead_end_count -= 1;
    else
        census.capturable_count -= 1;
    set_chain_type(x, TYPE_NONE);
    set_capture_mark(x, 0);
    if (player == OPPONENT) {
        score_opponent += 1;
        box_glyph[x->row * 5 + x->col] = 'H';
    } else {
        score_engine += 1;
        box_glyph[x->row * 5 + x->col] = 'c';
    }
}

// Returns 1 when the box was completed.
int update_box(Box* x, Box* y, bool first_of_two, bool second_of_two, int player,
               bool& same_structure) {
    x->sides += 1;
    if (x->sides == 2) box_sets.few_sides &= ~box_bit(x);
    if (y != nullptr) remove_link(x, y);
    switch (x->sides) {
    case 1:
    case 2:
        formation_step(x);
        return 0;
    case 3:
        third_side(x, y, first_of_two, second_of_two, same_structure);
        return 0;
    default:
        fourth_side(x, y, first_of_two, player);
        return 1;
    }
}

} // namespace

int place_line(int player, Move m) {
    assert(is_on_board(m) && !is_drawn(m));
    mark_line(m, true);
    Beside s = boxes_beside(m);
    bool same_structure = false;
    bool two = s.second != nullptr;
    box_sets.rewritten = 0;
    int completed = update_box(s.first, s.second, two, false, player, same_structure);
    if (two) completed |= update_box(s.second, s.first, false, true, player, same_structure);
    rewritten_by_line[m.orient][key_index(m)] = box_sets.rewritten;
    check_model("place_line", m);
    return completed;
}

void take_snapshot(Snapshot& s) {
    int i = 0;
    for (const auto& row : boxes) {
        for (const Box& x : row) {
            s.chain_type[i] = x.chain_type;
            s.capture_mark[i] = x.capture_mark;
            s.chain_id[i] = x.chain_id;
            ++i;
        }
    }
    s.census = census;
}

bool operator==(const Snapshot& x, const Snapshot& y) {
    // The box fields are plain ints without padding between them (but before the census,
    // which is pointer-aligned); the census compares itself.
    const size_t box_fields = offsetof(Snapshot, chain_id) + sizeof x.chain_id;
    return std::memcmp(&x, &y, box_fields) == 0 && x.census == y.census;
}

namespace {

// In checked builds: every box's structure fields are those of s again, so no write
// escaped the record of the boxes a line rewrote.
inline void check_restored([[maybe_unused]] const Snapshot& s, [[maybe_unused]] const Move& m) {
#ifdef VANTRY_CHECK_MODEL
    for (int i = 0; i < BOX_COUNT; ++i) {
        const Box* x = box_at(i);
        if (x->chain_type != s.chain_type[i] || x->capture_mark != s.capture_mark[i] ||
            x->chain_id != s.chain_id[i]) {
            std::fprintf(stderr, "undo_line {%d, %d, %d}: box (%d,%d) not restored\n", m.orient,
                         m.a, m.b, x->row, x->col);
            std::abort();
        }
    }
#endif
}

void restore_box(Box* x, Box* y, int player) {
    x->sides -= 1;
    if (x->sides == 1) box_sets.few_sides |= box_bit(x);
    // The restored link goes to the end; the search accepts the changed order.
    if (y != nullptr && x->link_count < 4) x->links[x->link_count++] = y;
    if (x->sides == 3) {
        box_glyph[x->row * 5 + x->col] = ' ';
        if (player == OPPONENT)
            score_opponent -= 1;
        else
            score_engine -= 1;
    }
}

} // namespace

void undo_line(int player, Move m, const Snapshot& s) {
    assert(is_on_board(m) && is_drawn(m));
    // Every line drawn after m has been taken back already, so only the boxes whose
    // structure fields m's own placement rewrote can differ from s.
    for (uint32_t rest = rewritten_by_line[m.orient][key_index(m)]; rest != 0; rest &= rest - 1) {
        const int i = __builtin_ctz(rest);
        Box* x = box_at(i);
        const uint32_t bit = uint32_t{1} << i;
        box_sets.of_type[x->chain_type] &= ~bit;
        box_sets.of_type[s.chain_type[i]] |= bit;
        x->chain_type = s.chain_type[i];
        x->capture_mark = s.capture_mark[i];
        x->chain_id = s.chain_id[i];
    }
    census = s.census;
    check_restored(s, m);

    mark_line(m, false);
    Beside b = boxes_beside(m);
    restore_box(b.first, b.second, player);
    if (b.second != nullptr) restore_box(b.second, b.first, player);
    check_model("undo_line", m);
}
