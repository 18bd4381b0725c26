// Why the pruning keeps the value exact (each is checked against an independent exhaustive
// solver in the tests):
// - A box whose last line gives no other box a third side is taken at once: it changes
//   nothing else, and the taker keeps the move.
// - Otherwise, while boxes can be taken, the only lines worth drawing are the take and the
//   far line of the next box (leaving two boxes for one double-crossing line): the all-but-
//   two and all-but-four hand-backs.
// - Any line of a chain of one or of three or more boxes that touches no other box with
//   fewer than two sides opens it to the same effect, as does any line of a closed loop;
//   a two-box chain differs between its end and its middle line.
#include "endgame/solver.h"

#include <algorithm>
#include <chrono>

namespace strong {

long long now_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

EndgameSolver::EndgameSolver(int table_bits)
    : table_(size_t{1} << table_bits), mask_((uint64_t{1} << table_bits) - 1) {}

void EndgameSolver::clear() {
    std::fill(table_.begin(), table_.end(), Entry{});
}

int EndgameSolver::candidates(uint64_t drawn, int* out, int table_line) {
    const Geometry& g = geometry();
    int sides[BOXES];
    for (int b = 0; b < BOXES; ++b) sides[b] = sides_drawn(drawn, b);
    int n = 0;
    auto add = [&](int line) {
        for (int i = 0; i < n; ++i)
            if (out[i] == line) return;
        out[n++] = line;
    };

    // Boxes that can be taken.
    for (int b = 0; b < BOXES; ++b) {
        if (sides[b] != 3) continue;
        int take = __builtin_ctzll(g.box_sides[b] & ~drawn);
        int other = g.line_boxes[take][0] == b ? g.line_boxes[take][1] : g.line_boxes[take][0];
        if (other < 0 || sides[other] != 2) {
            out[0] = take;
            return 1;
        }
        add(take);
        add(__builtin_ctzll(g.box_sides[other] & ~drawn & ~(uint64_t{1} << take)));
    }
    if (n > 0) {
        if (table_line >= 0)
            for (int i = 1; i < n; ++i)
                if (out[i] == table_line) std::swap(out[0], out[i]);
        return n;
    }

    // Chains and loops: boxes with two sides, joined through their undrawn lines.
    int component[BOXES];
    int size[BOXES];
    bool joined[BOXES]; // touches a box with fewer than two sides
    int count = 0;
    for (int b = 0; b < BOXES; ++b) component[b] = -1;
    for (int b = 0; b < BOXES; ++b) {
        if (sides[b] != 2 || component[b] >= 0) continue;
        int c = count++;
        size[c] = 0;
        joined[c] = false;
        int stack[BOXES], top = 0;
        stack[top++] = b;
        component[b] = c;
        while (top > 0) {
            int x = stack[--top];
            ++size[c];
            uint64_t open = g.box_sides[x] & ~drawn;
            while (open) {
                int line = __builtin_ctzll(open);
                open &= open - 1;
                int y = g.line_boxes[line][0] == x ? g.line_boxes[line][1] : g.line_boxes[line][0];
                if (y < 0) continue;
                if (sides[y] != 2) {
                    joined[c] = true;
                } else if (component[y] < 0) {
                    component[y] = c;
                    stack[top++] = y;
                }
            }
        }
    }

    // Safe lines by distance from the centre, then sacrifices, smallest first.
    struct Scored {
        int key, line;
    };
    Scored scored[LINES];
    int m = 0;
    bool shown[BOXES] = {};     // isolated component already has its line
    bool shown_end[BOXES] = {}; // isolated two-box chain: its end line is in
    uint64_t open = ~drawn & ALL_LINES;
    while (open) {
        int line = __builtin_ctzll(open);
        open &= open - 1;
        int b0 = g.line_boxes[line][0], b1 = g.line_boxes[line][1];
        int c0 = sides[b0] == 2 ? component[b0] : -1;
        int c1 = b1 >= 0 && sides[b1] == 2 ? component[b1] : -1;
        if (c0 < 0 && c1 < 0) {
            scored[m++] = Scored{g.centrality[line], line};
            continue;
        }
        int c = c0 >= 0 ? c0 : c1;
        int cost = 0;
        if (c0 >= 0) cost += size[c0];
        if (c1 >= 0 && c1 != c0) cost += size[c1];
        // Both boxes of a line with two-sided boxes on both sides are in one component,
        // and a line to a box with fewer sides has marked its component joined.
        bool isolated = !joined[c];
        if (isolated) {
            if (size[c] == 2) {
                bool end = b1 < 0; // its ends can only be border lines
                if (end) {
                    if (shown_end[c]) continue;
                    shown_end[c] = true;
                } else {
                    if (shown[c]) continue;
                    shown[c] = true;
                }
            } else {
                if (shown[c]) continue;
                shown[c] = true;
            }
        }
        scored[m++] = Scored{100 + cost, line};
    }
    std::stable_sort(scored, scored + m,
                     [](const Scored& x, const Scored& y) { return x.key < y.key; });
    for (int i = 0; i < m; ++i) out[n++] = scored[i].line;
    if (table_line >= 0)
        for (int i = 1; i < n; ++i)
            if (out[i] == table_line) {
                int t = out[i];
                for (int j = i; j > 0; --j) out[j] = out[j - 1];
                out[0] = t;
                break;
            }
    return n;
}

bool EndgameSolver::out_of_budget() {
    if (node_limit_ > 0 && nodes_ >= node_limit_) return true;
    if (deadline_ms_ > 0 && (nodes_ & 1023) == 0 && now_ms() > deadline_ms_) return true;
    return false;
}

int EndgameSolver::search(uint64_t drawn, int alpha, int beta) {
    if (drawn == ALL_LINES) return 0;
    ++nodes_;
    if (stopped_ || out_of_budget()) {
        stopped_ = true;
        return 0;
    }
    const Geometry& g = geometry();
    int left = 0;
    for (int b = 0; b < BOXES; ++b) left += sides_drawn(drawn, b) < 4;
    if (left <= alpha) return left;
    if (-left >= beta) return -left;
    if (beta > left) beta = left;
    if (alpha < -left) alpha = -left;

    int sym;
    uint64_t key = canonical(drawn, sym) | (uint64_t{1} << 63);
    Entry& e = table_[(key ^ (key >> 29) ^ (key * 0x9E3779B97F4A7C15ull >> 40)) & mask_];
    int table_line = -1;
    if (e.key == key) {
        if (e.line >= 0) table_line = g.inverse[sym][e.line];
        if (e.lower == e.upper || e.lower >= beta) return e.lower;
        if (e.upper <= alpha) return e.upper;
        if (e.lower > alpha) alpha = e.lower;
        if (e.upper < beta) beta = e.upper;
    }
    const int alpha0 = alpha;

    int lines[LINES];
    int n = candidates(drawn, lines, table_line);
    int best = -100, best_move = -1;
    for (int i = 0; i < n; ++i) {
        int line = lines[i];
        int taken = boxes_completed(drawn, line);
        uint64_t next = drawn | uint64_t{1} << line;
        int v;
        if (taken > 0)
            v = taken + search(next, alpha - taken, beta - taken);
        else
            v = -search(next, -beta, -alpha);
        if (stopped_) return 0;
        if (v > best) {
            best = v;
            best_move = line;
            if (v > alpha) alpha = v;
            if (alpha >= beta) break;
        }
    }

    int8_t lower = -BOXES, upper = BOXES;
    if (e.key == key) {
        lower = e.lower;
        upper = e.upper;
    }
    if (best >= beta)
        lower = static_cast<int8_t>(std::max<int>(lower, best));
    else if (best <= alpha0)
        upper = static_cast<int8_t>(std::min<int>(upper, best));
    else
        lower = upper = static_cast<int8_t>(best);
    int8_t stored_line = best_move >= 0 ? static_cast<int8_t>(g.symmetry[sym][best_move]) : -1;
    if (e.key != key) e = Entry{};
    e.key = key;
    e.lower = lower;
    e.upper = upper;
    e.line = stored_line;
    return best;
}

bool EndgameSolver::bounded(uint64_t drawn, int alpha, int beta, long long node_limit,
                            long long deadline_ms, int& value) {
    nodes_ = 0;
    node_limit_ = node_limit;
    deadline_ms_ = deadline_ms;
    stopped_ = false;
    value = search(drawn, alpha, beta);
    return !stopped_;
}

SolveResult EndgameSolver::solve(uint64_t drawn, long long node_limit, long long deadline_ms) {
    nodes_ = 0;
    node_limit_ = node_limit;
    deadline_ms_ = deadline_ms;
    stopped_ = false;
    SolveResult r;
    // The root tries its lines itself with a widening bound, so the line it reports is one
    // proven to reach the value (a table entry's line may only reach a bound).
    int lines[LINES];
    int n = candidates(drawn, lines);
    int alpha = -BOXES - 1;
    for (int i = 0; i < n; ++i) {
        int line = lines[i];
        int taken = boxes_completed(drawn, line);
        uint64_t next = drawn | uint64_t{1} << line;
        int v;
        if (taken > 0)
            v = taken + search(next, alpha - taken, BOXES + 1 - taken);
        else
            v = -search(next, -BOXES - 1, -alpha);
        if (stopped_) break;
        if (v > alpha) {
            alpha = v;
            r.line = line;
        }
    }
    r.value = n > 0 ? alpha : 0;
    r.solved = !stopped_;
    return r;
}

} // namespace strong
