// Tables built once on first use; the symmetries come from mapping both end dots of a line.
#include "endgame/geometry.h"

#include <algorithm>

namespace strong {
namespace {

struct Dot {
    int r, c;
};

Dot transform(Dot d, int s) {
    // s bit 2: transpose; s bits 0..1: quarter turns.
    if (s & 4) d = Dot{d.c, d.r};
    for (int k = 0; k < (s & 3); ++k) d = Dot{d.c, 5 - d.r};
    return d;
}

void line_dots(int line, Dot& p, Dot& q) {
    if (line < 30) {
        int a = line / 5, b = line % 5;
        p = Dot{a, b};
        q = Dot{a, b + 1};
    } else {
        int a = (line - 30) / 6, b = (line - 30) % 6;
        p = Dot{a, b};
        q = Dot{a + 1, b};
    }
}

int line_of(Dot p, Dot q) {
    if (p.r == q.r) return horizontal_line(p.r, p.c < q.c ? p.c : q.c);
    return vertical_line(p.r < q.r ? p.r : q.r, p.c);
}

} // namespace

Geometry build_geometry() {
    Geometry g{};
    for (int line = 0; line < LINES; ++line) g.line_box_count[line] = 0;
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 5; ++c) {
            int box = r * 5 + c;
            int sides[4] = {horizontal_line(r, c), horizontal_line(r + 1, c), vertical_line(r, c),
                            vertical_line(r, c + 1)};
            for (int line : sides) {
                g.box_sides[box] |= uint64_t{1} << line;
                g.line_boxes[line][g.line_box_count[line]++] = box;
            }
        }
    }
    for (int line = 0; line < LINES; ++line) {
        if (g.line_box_count[line] == 1) g.line_boxes[line][1] = -1;
        Dot p, q;
        line_dots(line, p, q);
        // Twice the distance of the midpoint from the centre (2.5, 2.5), Manhattan.
        int mr = p.r + q.r - 5, mc = p.c + q.c - 5;
        g.centrality[line] = (mr < 0 ? -mr : mr) + (mc < 0 ? -mc : mc);
        for (int s = 0; s < SYMMETRIES; ++s) {
            int image = line_of(transform(p, s), transform(q, s));
            g.symmetry[s][line] = image;
            g.inverse[s][image] = line;
        }
    }
    for (int line = 0; line < LINES; ++line) g.centre_order[line] = line;
    std::stable_sort(g.centre_order, g.centre_order + LINES,
                     [&](int x, int y) { return g.centrality[x] < g.centrality[y]; });
    g.ring_count = 0;
    for (int i = 0; i < LINES; ++i) {
        const int line = g.centre_order[i];
        if (i == 0 || g.centrality[line] != g.centrality[g.centre_order[i - 1]])
            g.centre_rings[g.ring_count++] = 0;
        g.centre_rings[g.ring_count - 1] |= uint64_t{1} << line;
    }
    for (int s = 0; s < SYMMETRIES; ++s)
        for (int i = 0; i < 8; ++i)
            for (int v = 0; v < 256; ++v) {
                uint64_t image = 0;
                for (int bit = 0; bit < 8; ++bit) {
                    int line = i * 8 + bit;
                    if (line < LINES && (v >> bit & 1)) image |= uint64_t{1} << g.symmetry[s][line];
                }
                g.byte_image[s][i][v] = image;
            }
    return g;
}

uint64_t apply_symmetry(uint64_t drawn, int s) {
    const Geometry& g = geometry();
    uint64_t image = 0;
    for (int i = 0; i < 8; ++i) image |= g.byte_image[s][i][(drawn >> (8 * i)) & 0xff];
    return image;
}

uint64_t canonical(uint64_t drawn, int& sym) {
    uint64_t best = drawn;
    sym = 0;
    for (int s = 1; s < SYMMETRIES; ++s) {
        uint64_t image = apply_symmetry(drawn, s);
        if (image < best) {
            best = image;
            sym = s;
        }
    }
    return best;
}

bool is_safe(uint64_t drawn, int line) {
    const Geometry& g = geometry();
    if (drawn >> line & 1) return false;
    for (int i = 0; i < g.line_box_count[line]; ++i)
        if (sides_drawn(drawn, g.line_boxes[line][i]) >= 2) return false;
    return true;
}

int safe_line_count(uint64_t drawn) {
    int n = 0;
    for (int line = 0; line < LINES; ++line)
        if (is_safe(drawn, line)) ++n;
    return n;
}

} // namespace strong
