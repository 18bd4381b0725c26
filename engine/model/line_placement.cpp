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

// Where a line lives in the position, by [orient][a * 6 + b]: the boxes beside it in update
// order (second is nullptr for a border line), its flag and its glyph. Built once at start,
// so drawing a line does not work out which case of the board's edge it is.
struct LineSite {
    Box* first;
    Box* second;
    int* drawn;
    char* glyph;
    char drawn_glyph;
};

struct LineSites {
    LineSite of[2][36];
    LineSites() : of() {
        for (int a = 0; a <= 5; ++a)
            for (int b = 0; b <= 4; ++b)
                of[0][a * 6 + b] =
                    LineSite{&boxes[a < 5 ? a : 4][b], a > 0 && a < 5 ? &boxes[a - 1][b] : nullptr,
                             &hline_drawn[hline_index(a, b)], &hline_glyph[hline_index(a, b)], '-'};
        for (int a = 0; a <= 4; ++a)
            for (int b = 0; b <= 5; ++b)
                of[1][a * 6 + b] =
                    LineSite{&boxes[a][b < 5 ? b : 4], b > 0 && b < 5 ? &boxes[a][b - 1] : nullptr,
                             &vline_drawn[vline_index(a, b)], &vline_glyph[vline_index(a, b)], '|'};
    }
};
const LineSites LINE_SITES;

// The line's own state: its flag, its glyph and its keys in both hashes (added when it is
// drawn, subtracted when it is taken back; both wrap modulo 2^64).
inline void mark_drawn(const Move& m, const LineSite& site) {
    const int k = key_index(m);
    index_hash += index_keys[m.orient][k];
    check_hash += check_keys[m.orient][k];
    *site.drawn = 1;
    *site.glyph = site.drawn_glyph;
}
inline void mark_undrawn(const Move& m, const LineSite& site) {
    const int k = key_index(m);
    index_hash -= index_keys[m.orient][k];
    check_hash -= check_keys[m.orient][k];
    *site.drawn = 0;
    *site.glyph = ' ';
}

// Removes y from x's links; the later entries move one place forward (entries past
// link_count have no meaning, so the shift may run to the end of the array).
inline void remove_link(Box* x, const Box* y) {
    int i = 0;
    while (i < x->link_count && x->links[i] != y) ++i;
    if (i == x->link_count) return;
    switch (i) {
    case 0:
        x->links[0] = x->links[1];
        [[fallthrough]];
    case 1:
        x->links[1] = x->links[2];
        [[fallthrough]];
    case 2:
        x->links[2] = x->links[3];
        break;
    default:
        break;
    }
    x->link_count -= 1;
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

// Returns 1 when the box was completed. Inlined into place_line's two calls, where the
// flags are mostly constants (the compiler left it out of line on its own).
__attribute__((always_inline)) inline int update_box(Box* x, Box* y, bool first_of_two,
                                                     bool second_of_two, int player,
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
    const LineSite& s = LINE_SITES.of[m.orient][key_index(m)];
    mark_drawn(m, s);
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

    const LineSite& site = LINE_SITES.of[m.orient][key_index(m)];
    mark_undrawn(m, site);
    restore_box(site.first, site.second, player);
    if (site.second != nullptr) restore_box(site.second, site.first, player);
    check_model("undo_line", m);
}
