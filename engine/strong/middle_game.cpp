#include "strong/middle_game.h"

#include <algorithm>
#include <vector>

namespace strong {
namespace {

constexpr long long LEAF_NODE_LIMIT = 20000;   // exact valuation of a leaf, or the estimate
constexpr long long HORIZON_NODE_LIMIT = 2000; // of the position the horizon's pass leaves
constexpr int TABLE_BITS = 20;

struct Entry {
    uint64_t key = 0;
    int8_t lower = 0, upper = 0, line = -1, depth = -1;
};

std::vector<Entry>& table() {
    static std::vector<Entry> t(size_t{1} << TABLE_BITS);
    return t;
}

// Lines from the centre outwards: safe lines are tried in this order.
const int* centre_order() {
    static int order[LINES];
    static bool made = false;
    if (!made) {
        for (int l = 0; l < LINES; ++l) order[l] = l;
        const Geometry& g = geometry();
        std::stable_sort(order, order + LINES,
                         [&](int x, int y) { return g.centrality[x] < g.centrality[y]; });
        made = true;
    }
    return order;
}

struct Search {
    long long deadline_ms, node_limit, nodes = 0;
    bool stopped = false;
    EndgameSolver* exact;
    long long visits = 0; // of value(): the clock is read every 256th (nodes jump by proofs)

    bool out_of_budget() {
        if (node_limit > 0 && nodes >= node_limit) return true;
        return deadline_ms > 0 && (++visits & 255) == 0 && now_ms() > deadline_ms;
    }

    // The exact value of a position with no safe line, within (alpha, beta), when the
    // solver proves it within limit nodes; its nodes count towards the node limit.
    bool proven(uint64_t drawn, int alpha, int beta, long long limit, int& v) {
        const bool done = exact->bounded(drawn, alpha, beta, limit, deadline_ms, v);
        nodes += exact->nodes();
        if (!done && deadline_ms > 0 && now_ms() > deadline_ms) stopped = true;
        return done;
    }

    int left_boxes(uint64_t drawn) {
        int left = 0;
        for (int b = 0; b < BOXES; ++b) left += sides_drawn(drawn, b) < 4;
        return left;
    }

    // Safe lines played out in one pass (a line passed over never becomes safe again); the
    // side to move opens first afterwards when their number is even. What the pass leaves
    // is valued exactly when that is quick, else by its controlled value.
    int horizon(uint64_t drawn, int alpha, int beta) {
        const int* order = centre_order();
        int played = 0;
        for (int i = 0; i < LINES; ++i) {
            int l = order[i];
            if (is_safe(drawn, l)) {
                drawn |= uint64_t{1} << l;
                ++played;
            }
        }
        const bool mover_opens = played % 2 == 0;
        int v;
        if (proven(drawn, mover_opens ? alpha : -beta, mover_opens ? beta : -alpha,
                   HORIZON_NODE_LIMIT, v))
            return mover_opens ? v : -v;
        const int cv = controlled_value(drawn);
        return mover_opens ? -cv : cv;
    }

    int value(uint64_t drawn, int depth, int alpha, int beta) {
        if (drawn == ALL_LINES) return 0;
        ++nodes;
        if (stopped || out_of_budget()) {
            stopped = true;
            return 0;
        }
        int moves[LINES];
        int n = 0;
        bool takeable = false;
        for (int b = 0; b < BOXES && !takeable; ++b) takeable = sides_drawn(drawn, b) == 3;
        if (takeable) {
            n = EndgameSolver::candidates(drawn, moves);
        } else {
            const int* order = centre_order();
            for (int i = 0; i < LINES; ++i)
                if (is_safe(drawn, order[i])) moves[n++] = order[i];
            if (n == 0) {
                int v;
                if (proven(drawn, alpha, beta, LEAF_NODE_LIMIT, v)) return v;
                return stopped ? 0 : -controlled_value(drawn);
            }
            if (depth <= 0) {
                const int v = horizon(drawn, alpha, beta);
                return stopped ? 0 : v;
            }
        }

        const Geometry& g = geometry();
        int sym;
        uint64_t key = canonical(drawn, sym) | (uint64_t{1} << 63);
        Entry& e = table()[(key ^ (key >> 31) ^ (key * 0x9E3779B97F4A7C15ull >> 44)) &
                           ((size_t{1} << TABLE_BITS) - 1)];
        if (e.key == key) {
            if (e.depth >= depth) {
                if (e.lower == e.upper || e.lower >= beta) return e.lower;
                if (e.upper <= alpha) return e.upper;
                alpha = std::max<int>(alpha, e.lower);
                beta = std::min<int>(beta, e.upper);
            }
            if (e.line >= 0) {
                int first = g.inverse[sym][e.line];
                for (int i = 1; i < n; ++i)
                    if (moves[i] == first) std::rotate(moves, moves + i, moves + i + 1);
            }
        }
        const int alpha0 = alpha;
        int best = -BOXES - 1, best_line = -1;
        for (int i = 0; i < n; ++i) {
            int line = moves[i];
            int taken = boxes_completed(drawn, line);
            uint64_t next = drawn | uint64_t{1} << line;
            int v = taken > 0 ? taken + value(next, depth, alpha - taken, beta - taken)
                              : -value(next, depth - 1, -beta, -alpha);
            if (stopped) return 0;
            if (v > best) {
                best = v;
                best_line = line;
                alpha = std::max(alpha, v);
                if (alpha >= beta) break;
            }
        }
        int lower = -BOXES, upper = BOXES;
        if (best >= beta)
            lower = best;
        else if (best <= alpha0)
            upper = best;
        else
            lower = upper = best;
        e = Entry{key, static_cast<int8_t>(lower), static_cast<int8_t>(upper),
                  static_cast<int8_t>(g.symmetry[sym][best_line]),
                  static_cast<int8_t>(std::min(depth, 127))};
        return best;
    }
};

} // namespace

int controlled_value(uint64_t drawn) {
    const Geometry& g = geometry();
    int sides[BOXES], component[BOXES];
    int left = 0;
    for (int b = 0; b < BOXES; ++b) {
        sides[b] = sides_drawn(drawn, b);
        component[b] = -1;
        left += sides[b] < 4;
    }
    int chains = 0, loops = 0;
    for (int b = 0; b < BOXES; ++b) {
        if (sides[b] != 2 || component[b] >= 0) continue;
        int stack[BOXES], top = 0, size = 0;
        bool closed = true; // no end on the border or at another box
        stack[top++] = b;
        component[b] = b;
        while (top > 0) {
            int x = stack[--top];
            ++size;
            uint64_t open = g.box_sides[x] & ~drawn;
            while (open) {
                int line = __builtin_ctzll(open);
                open &= open - 1;
                int y = g.line_boxes[line][0] == x ? g.line_boxes[line][1] : g.line_boxes[line][0];
                if (y < 0 || sides[y] != 2) {
                    closed = false;
                } else if (component[y] < 0) {
                    component[y] = b;
                    stack[top++] = y;
                }
            }
        }
        if (closed)
            ++loops;
        else if (size >= 3)
            ++chains;
    }
    if (chains + loops == 0) return 0; // short chains only: roughly shared
    int cv = left - 4 * chains - 8 * loops + (chains > 0 ? 4 : 8);
    return std::max(-left, std::min(left, cv));
}

void clear_middle_game_table() {
    std::fill(table().begin(), table().end(), Entry{});
}

MiddleResult middle_game_line(uint64_t drawn, long long deadline_ms, long long node_limit,
                              EndgameSolver& exact, int max_depth) {
    MiddleResult r;
    Search s{deadline_ms, node_limit, 0, false, &exact};
    int moves[LINES];
    int n = 0;
    bool takeable = false;
    for (int b = 0; b < BOXES && !takeable; ++b) takeable = sides_drawn(drawn, b) == 3;
    if (takeable) {
        n = EndgameSolver::candidates(drawn, moves);
    } else {
        const int* order = centre_order();
        for (int i = 0; i < LINES; ++i)
            if (is_safe(drawn, order[i])) moves[n++] = order[i];
    }
    if (n == 0) return r;
    for (int depth = 1; depth <= max_depth; ++depth) {
        int alpha = -BOXES - 1, best_line = -1;
        for (int i = 0; i < n; ++i) {
            int line = moves[i];
            int taken = boxes_completed(drawn, line);
            uint64_t next = drawn | uint64_t{1} << line;
            int v = taken > 0 ? taken + s.value(next, depth, alpha - taken, BOXES + 1 - taken)
                              : -s.value(next, depth - 1, -BOXES - 1, -alpha);
            if (s.stopped) break;
            if (v > alpha) {
                alpha = v;
                best_line = line;
            }
        }
        if (s.stopped) break;
        r.line = best_line;
        r.value = alpha;
        r.depth = depth;
        // The best line first at the next depth.
        for (int i = 1; i < n; ++i)
            if (moves[i] == best_line) std::rotate(moves, moves + i, moves + i + 1);
    }
    r.nodes = s.nodes;
    return r;
}

} // namespace strong
