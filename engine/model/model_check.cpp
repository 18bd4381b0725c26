// Recomputes from the board what line placement keeps up to date line by line, and
// compares. Slow on purpose; release builds never call it during play.
#include "model/model_check.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "model/box_sets.h"

namespace {

char message[256];

const char* fault(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    return message;
}

bool h_drawn(int a, int b) {
    return hline_drawn[hline_index(a, b)] != 0;
}
bool v_drawn(int a, int b) {
    return vline_drawn[vline_index(a, b)] != 0;
}

int drawn_sides(int r, int c) {
    return h_drawn(r, c) + h_drawn(r + 1, c) + v_drawn(r, c) + v_drawn(r, c + 1);
}

// Neighbours joined by an undrawn line, and the undrawn border sides.
int open_neighbours(int r, int c, const Box* out[4], int& border) {
    int n = 0;
    border = 0;
    if (c > 0) {
        if (!v_drawn(r, c)) out[n++] = &boxes[r][c - 1];
    } else if (!v_drawn(r, c)) {
        ++border;
    }
    if (r > 0) {
        if (!h_drawn(r, c)) out[n++] = &boxes[r - 1][c];
    } else if (!h_drawn(r, c)) {
        ++border;
    }
    if (c < 4) {
        if (!v_drawn(r, c + 1)) out[n++] = &boxes[r][c + 1];
    } else if (!v_drawn(r, c + 1)) {
        ++border;
    }
    if (r < 4) {
        if (!h_drawn(r + 1, c)) out[n++] = &boxes[r + 1][c];
    } else if (!h_drawn(r + 1, c)) {
        ++border;
    }
    return n;
}

bool is_box(const Box* p) {
    const Box* first = &boxes[0][0];
    return p >= first && p < first + BOX_COUNT;
}

bool valid_code(int t) {
    return t == TYPE_NONE || t == TYPE_SINGLE || t == TYPE_DEAD_END || t == TYPE_CORNER_PAIR ||
           t == TYPE_PAIR || t == TYPE_LOOP || t == TYPE_CHAIN;
}

const char* box_fault(int r, int c, int& marked2, int& dead_ends, int& capturable, int& singles,
                      int& engine_boxes, int& opponent_boxes) {
    const Box& x = boxes[r][c];
    if (x.row != r || x.col != c)
        return fault("box (%d,%d) names itself (%d,%d)", r, c, x.row, x.col);
    if (x.sides != drawn_sides(r, c))
        return fault("box (%d,%d) sides %d, drawn %d", r, c, x.sides, drawn_sides(r, c));
    const Box* expect[4];
    int border = 0;
    int n = open_neighbours(r, c, expect, border);
    if (x.link_count != n)
        return fault("box (%d,%d) link_count %d, open links %d", r, c, x.link_count, n);
    if (x.link_count + border != 4 - x.sides)
        return fault("box (%d,%d) links + border sides != undrawn sides", r, c);
    for (int i = 0; i < x.link_count; ++i) {
        const Box* l = x.links[i];
        if (!is_box(l)) return fault("box (%d,%d) link %d points outside the boxes", r, c, i);
        bool found = false;
        for (int j = 0; j < n; ++j) found = found || expect[j] == l;
        if (!found)
            return fault("box (%d,%d) links (%d,%d) across a drawn line or not adjacent", r, c,
                         l->row, l->col);
        for (int j = 0; j < i; ++j)
            if (x.links[j] == l) return fault("box (%d,%d) lists a link twice", r, c);
    }
    if (!valid_code(x.chain_type)) return fault("box (%d,%d) chain_type %d", r, c, x.chain_type);
    if (x.chain_id < 0 || x.chain_id >= census.next_chain_id)
        return fault("box (%d,%d) chain_id %d with census.next_chain_id %d", r, c, x.chain_id,
                     census.next_chain_id);
    if (x.capture_mark < 0 || x.capture_mark > 2)
        return fault("box (%d,%d) capture_mark %d", r, c, x.capture_mark);
    if ((x.capture_mark == 1) != (x.sides == 3))
        return fault("box (%d,%d) capture_mark %d with %d sides", r, c, x.capture_mark, x.sides);
    if (x.capture_mark == 2 && x.sides != 2)
        return fault("box (%d,%d) next in a run with %d sides", r, c, x.sides);
    if (x.chain_type == TYPE_DEAD_END && x.sides != 3)
        return fault("box (%d,%d) dead end with %d sides", r, c, x.sides);
    char g = box_glyph[r * 5 + c];
    if (x.sides == 4) {
        if (x.chain_type != TYPE_NONE || x.capture_mark != 0)
            return fault("completed box (%d,%d) keeps code %d mark %d", r, c, x.chain_type,
                         x.capture_mark);
        if (g != 'c' && g != 'H') return fault("completed box (%d,%d) glyph '%c'", r, c, g);
    } else if (g != ' ') {
        return fault("box (%d,%d) with %d sides has glyph '%c'", r, c, x.sides, g);
    }
    marked2 += x.capture_mark == 2;
    if (x.sides == 3) {
        if (x.chain_type == TYPE_DEAD_END)
            ++dead_ends;
        else
            ++capturable;
    }
    singles += x.chain_type == TYPE_SINGLE && x.sides == 2;
    engine_boxes += g == 'c';
    opponent_boxes += g == 'H';
    return nullptr;
}

// A live loop is still whole: from its anchor, boxes of two sides and two links, all of
// the loop's code and id, lead back to the anchor after exactly its length.
const char* ring_fault(int i, const LoopEntry& e) {
    const Box* previous = nullptr;
    const Box* current = e.anchor;
    for (int n = 0; n < e.length; ++n) {
        if (current->chain_type != TYPE_LOOP || current->chain_id != e.anchor->chain_id ||
            current->sides != 2 || current->link_count != 2)
            return fault("loop %d (length %d) box (%d,%d) code %d id %d sides %d links %d", i,
                         e.length, current->row, current->col, current->chain_type,
                         current->chain_id, current->sides, current->link_count);
        const Box* next = current->links[0] != previous ? current->links[0] : current->links[1];
        previous = current;
        current = next;
    }
    if (current != e.anchor) return fault("loop %d is no ring of length %d", i, e.length);
    return nullptr;
}

} // namespace

const char* model_fault() {
    for (int i = 0; i < 30; ++i) {
        if (hline_drawn[i] != 0 && hline_drawn[i] != 1)
            return fault("hline_drawn[%d] = %d", i, hline_drawn[i]);
        if (vline_drawn[i] != 0 && vline_drawn[i] != 1)
            return fault("vline_drawn[%d] = %d", i, vline_drawn[i]);
        if (hline_glyph[i] != (hline_drawn[i] ? '-' : ' '))
            return fault("hline_glyph[%d] disagrees", i);
        if (vline_glyph[i] != (vline_drawn[i] ? '|' : ' '))
            return fault("vline_glyph[%d] disagrees", i);
    }
    uint64_t ih = 0, ch = 0;
    for (int a = 0; a <= 5; ++a)
        for (int b = 0; b <= 4; ++b)
            if (h_drawn(a, b)) {
                ih += index_keys[0][a * 6 + b];
                ch += check_keys[0][a * 6 + b];
            }
    for (int a = 0; a <= 4; ++a)
        for (int b = 0; b <= 5; ++b)
            if (v_drawn(a, b)) {
                ih += index_keys[1][a * 6 + b];
                ch += check_keys[1][a * 6 + b];
            }
    if (ih != index_hash || ch != check_hash)
        return fault("hashes differ from the drawn lines' keys");

    int marked2 = 0, dead_ends = 0, capturable = 0, singles = 0, engine_boxes = 0,
        opponent_boxes = 0;
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c)
            if (const char* f = box_fault(r, c, marked2, dead_ends, capturable, singles,
                                          engine_boxes, opponent_boxes))
                return f;
    // Only now: the sets are indexed by the codes checked above.
    if (const char* f = box_sets_fault()) return f;
    if (census.next_in_run_count != marked2)
        return fault("census.next_in_run_count %d, boxes marked next %d", census.next_in_run_count,
                     marked2);
    if (census.dead_end_count != dead_ends)
        return fault("census.dead_end_count %d, dead-end boxes %d", census.dead_end_count,
                     dead_ends);
    if (census.capturable_count != capturable)
        return fault("census.capturable_count %d, takeable boxes %d", census.capturable_count,
                     capturable);
    if (census.single_count != singles)
        return fault("census.single_count %d, single boxes %d", census.single_count, singles);
    if (score_engine != engine_boxes || score_opponent != opponent_boxes)
        return fault("scores %d/%d, glyphs %d/%d", score_engine, score_opponent, engine_boxes,
                     opponent_boxes);
    if (census.double_cross_count < 0 ||
        2 * census.double_cross_count > engine_boxes + opponent_boxes)
        return fault("census.double_cross_count %d with %d boxes completed",
                     census.double_cross_count, engine_boxes + opponent_boxes);
    // census.pair_count and census.chain_count are not checked for sign: formation steps read the
    // codes left behind by structures already taken out like live ones, and can take those counts
    // below zero.
    if (census.corner_pair_count < 0)
        return fault("census.corner_pair_count %d", census.corner_pair_count);
    if (census.next_chain_id < 1) return fault("census.next_chain_id %d", census.next_chain_id);
    if (census.loop_count < 0 || census.loop_count > MAX_LOOPS)
        return fault("census.loop_count %d", census.loop_count);
    for (int i = 0; i < census.loop_count; ++i) {
        const LoopEntry& e = census.loops[i];
        if (!is_box(e.anchor)) return fault("loop %d has no anchor box", i);
        if (e.anchor->chain_type != TYPE_LOOP)
            return fault("loop %d anchor (%d,%d) has code %d", i, e.anchor->row, e.anchor->col,
                         e.anchor->chain_type);
        if (e.length < 4 || e.length > BOX_COUNT) return fault("loop %d length %d", i, e.length);
        if (const char* f = ring_fault(i, e)) return f;
    }
    return nullptr;
}

void abort_on_model_fault(const char* where, const Move& m) {
    const char* f = model_fault();
    if (f == nullptr) return;
    std::fprintf(stderr, "model check failed after %s {%d, %d, %d}: %s\n", where, m.orient, m.a,
                 m.b, f);
    std::abort();
}
