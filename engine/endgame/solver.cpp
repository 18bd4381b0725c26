// Why the shortcuts keep the value exact. "Run" below: from a box with three sides, the
// boxes with two sides reached one after another through their undrawn lines.
//
// Taking without a search (each checked against the independent judge, dab-solve, on
// random positions in tests/vantry-strong; the first two are the classic capture rules):
// - A box whose last line completes it and gives no other box a third side (the line ends
//   on the border or at a box with 0, 1 or 3 sides) is taken at once: the taker keeps the
//   move and nothing else changes.
// - Otherwise, while boxes can be taken, the only lines worth drawing are the take and the
//   hand-back (the far line of the next box, leaving two boxes to one double-crossing line).
// - A run of three or more boxes that ends on the border or at a box with 0 or 1 sides, or
//   of five or more closed by a box with three sides at the far end, is taken one box at a
//   time until two (four) are left: handing back earlier gives the other side the same
//   choice with more boxes, as taking one more and handing back then leaves the same
//   lines drawn with the box on the taker's side. Three boxes between two boxes with three
//   sides can all be taken and no line hands them back, so they are taken.
//
// Lines that stand for others, and bounds without a search (proven; a "chain" is a run of
// boxes with two sides each, its two end lines going to the border or to boxes with 0 or
// 1 sides):
// - Opening a chain of n >= 3 by any of its lines, the other side can take all of it and
//   move next in R, the position with all its lines drawn (n + V(R) for it, V the value
//   for the side to move), or take all but two and hand those back, after which the opener
//   takes them and moves next in the same R (n - 4 - V(R)). The larger is at least their
//   mean, so the opener gets at most 2 - n. For a closed loop of n the options are
//   n + V(R) and n - 8 - V(R): at most 4 - n. For a chain of two opened at an end, 2 + V
//   and -2 - V: at most 0. A line whose bound is already beaten is not searched.
// - Opened at an end line, a chain of n >= 3 leaves exactly those two choices (the rules
//   above take the rest); opened inside, the other side has them and more. So one end
//   line stands for the whole chain, either end, as both lead to the same R, unless both
//   end lines go to the same box (then a capture can run on through that box, and every
//   line is tried). Any line of a closed loop opens it to the same effect.
// - A chain of two whose ends go to different places: opened by its middle line both
//   boxes are taken at once (2 + V(R) for the other side, and nothing else); opened at an
//   end the other side may also hand them back, so the middle line stands for all three.
// - A single box: either line gives the other side the box and then the move in the same
//   R, so one stands for both.
// - With no safe line, no box to take and every box left with two sides, the position is
//   a set of independent chains and loops, valued by loony_value (loony_value.h).
// - The value depends only on which boxes each undrawn line joins, so the two border
//   lines of a corner box are interchangeable (ground_normal in geometry.h).
#include "endgame/solver.h"

#include <algorithm>
#include <cassert>

#include "endgame/loony_value.h"

namespace strong {
namespace {

constexpr int NO_BOUND = 100;

uint64_t bit(int line) {
    return uint64_t{1} << line;
}

int other_box(int line, int box) {
    const Geometry& g = geometry();
    return g.line_boxes[line][0] == box ? g.line_boxes[line][1] : g.line_boxes[line][0];
}

bool in(uint32_t set, int box) {
    return box >= 0 && (set >> box & 1);
}

// What to do about a box with three sides: take it without a search (forced), or choose
// between its take and its hand-back.
struct Run {
    bool forced;
    int take;
    int hand_back;
};

Run run_from(uint64_t drawn, const BoxSets& s, int box) {
    const Geometry& g = geometry();
    const uint32_t two = s.by_sides[2], three = s.by_sides[3];
    const int take = lowest_bit(g.box_sides[box] & ~drawn);
    const int next = other_box(take, box);
    if (!in(two, next)) return Run{true, take, -1};
    const int hand_back = lowest_bit(g.box_sides[next] & ~drawn & ~bit(take));
    const int far = other_box(hand_back, next);
    if (in(three, far)) return Run{true, take, -1};        // three boxes, open both ends
    if (!in(two, far)) return Run{false, take, hand_back}; // two boxes, then the end
    const int beyond = other_box(lowest_bit(g.box_sides[far] & ~drawn & ~bit(hand_back)), far);
    if (in(three, beyond)) return Run{false, take, hand_back}; // four, open both ends
    return Run{true, take, -1};
}

int completed_by(const BoxSets& s, int line) {
    const Geometry& g = geometry();
    return in(s.by_sides[3], g.line_boxes[line][0]) + in(s.by_sides[3], g.line_boxes[line][1]);
}

// Candidate lines at a position where boxes can be taken (none without a search): takes,
// then hand-backs.
int capture_lines(uint64_t drawn, const BoxSets& s, int* lines) {
    int n = 0, backs[BOXES], m = 0;
    for (uint32_t three = s.by_sides[3]; three; three &= three - 1) {
        const Run r = run_from(drawn, s, lowest_bit(three));
        if (std::find(lines, lines + n, r.take) == lines + n) lines[n++] = r.take;
        if (r.hand_back >= 0 && std::find(backs, backs + m, r.hand_back) == backs + m)
            backs[m++] = r.hand_back;
    }
    for (int i = 0; i < m; ++i)
        if (std::find(lines, lines + n, backs[i]) == lines + n) lines[n++] = backs[i];
    return n;
}

// Safe lines (none can be taken), from the centre outwards.
int safe_lines(uint64_t drawn, const BoxSets& s, int* lines) {
    const Geometry& g = geometry();
    int n = 0;
    const uint64_t safe = ~drawn & ALL_LINES & ~sides_of(s.by_sides[2]) & ~twin_border_lines(drawn);
    for (int r = 0; safe && r < g.ring_count; ++r)
        for (uint64_t ring = safe & g.centre_rings[r]; ring; ring &= ring - 1)
            lines[n++] = lowest_bit(ring);
    return n;
}

// Sacrifices (none can be taken), by the size of the chain or loop they open, smallest
// first, each with a bound its value cannot exceed (NO_BOUND when none is known).
int sacrifice_lines(uint64_t drawn, const BoxSets& s, int* lines, int* bounds) {
    const Geometry& g = geometry();
    const uint32_t two = s.by_sides[2];
    int n = 0;
    struct Sacrifice {
        int cost, line, bound;
    };
    Sacrifice sacrifices[LINES];
    int m = 0;
    for (uint32_t rest = two; rest;) {
        const uint32_t chain = flood(s, rest & (0u - rest), two);
        rest &= ~chain;
        const int size = bit_count(chain);
        const uint64_t open = sides_of(chain) & ~drawn;
        const uint32_t down = chain & (chain >> 5) & s.open_down;
        const uint32_t right = chain & (chain >> 1) & s.open_right;
        const uint64_t inner = static_cast<uint64_t>(down) << 5 | spread_rows(right) << 31;
        const uint64_t ends = open & ~inner;
        if (ends == 0) { // a closed loop
            sacrifices[m++] = Sacrifice{size, lowest_bit(open), 4 - size};
            continue;
        }
        const int end = lowest_bit(ends), other_end = lowest_bit(ends & (ends - 1));
        auto beyond = [&](int line) {
            const int b = g.line_boxes[line][0];
            return b >= 0 && (chain >> b & 1) ? g.line_boxes[line][1] : b;
        };
        const int far = beyond(end);
        if (far < 0 || far != beyond(other_end)) {
            // Ends on the border or at two different boxes: one line stands for all.
            const int line = size == 2 ? lowest_bit(inner) : end;
            sacrifices[m++] = Sacrifice{size, line, size >= 3 ? 2 - size : NO_BOUND};
            continue;
        }
        // Both ends at one box: every line is tried, with the bounds of loony lines.
        for (uint64_t o = open; o; o &= o - 1) {
            const int line = lowest_bit(o);
            const int bound = size >= 3 ? 2 - size : inner >> line & 1 ? NO_BOUND : 0;
            sacrifices[m++] = Sacrifice{size, line, bound};
        }
    }
    for (int i = 1; i < m; ++i) { // insertion sort: stable, no allocation
        const Sacrifice x = sacrifices[i];
        int j = i;
        for (; j > 0 && sacrifices[j - 1].cost > x.cost; --j) sacrifices[j] = sacrifices[j - 1];
        sacrifices[j] = x;
    }
    for (int i = 0; i < m; ++i) {
        lines[n] = sacrifices[i].line;
        bounds[n++] = sacrifices[i].bound;
    }
    return n;
}

// Every candidate, in search order, with bounds.
int generate(uint64_t drawn, const BoxSets& s, int* lines, int* bounds) {
    int n = s.by_sides[3] ? capture_lines(drawn, s, lines) : safe_lines(drawn, s, lines);
    for (int i = 0; i < n; ++i) bounds[i] = NO_BOUND;
    if (!s.by_sides[3]) n += sacrifice_lines(drawn, s, lines + n, bounds + n);
    return n;
}

// Brings line to the front, keeping the order of the others.
void put_first(int* lines, int* bounds, int n, int line) {
    for (int i = 1; i < n; ++i)
        if (lines[i] == line) {
            const int b = bounds[i];
            for (int j = i; j > 0; --j) {
                lines[j] = lines[j - 1];
                bounds[j] = bounds[j - 1];
            }
            lines[0] = line;
            bounds[0] = b;
            return;
        }
}

// A bijection of 60-bit words that spreads keys over the table: the bucket is read from
// its low bits and the rest is kept in the entry, so a match is exact.
uint64_t mix60(uint64_t x) {
    x ^= x >> 29;
    x = (x * 0x9E3779B97F4A7C15ull) & ALL_LINES;
    x ^= x >> 32;
    x = (x * 0xBF58476D1CE4E5B9ull) & ALL_LINES;
    x ^= x >> 29;
    return x;
}

// Entry: bits 0-5 lower bound + 32, 6-11 upper bound + 32, 12-17 best line in the
// canonical orientation (63: none), 18-23 undrawn lines, 24-63 the key's remaining bits.
// An empty entry is 0 (a stored lower field is never 0).
int entry_lower(uint64_t e) {
    return static_cast<int>(e & 63) - 32;
}
int entry_upper(uint64_t e) {
    return static_cast<int>(e >> 6 & 63) - 32;
}
int entry_line(uint64_t e) {
    const int line = static_cast<int>(e >> 12 & 63);
    return line == 63 ? -1 : line;
}
int entry_undrawn(uint64_t e) {
    return static_cast<int>(e >> 18 & 63);
}

} // namespace

EndgameSolver::EndgameSolver(int table_bits)
    : table_(size_t{1} << std::max(table_bits, 21)), bucket_bits_(std::max(table_bits, 21) - 1),
      bucket_mask_((uint64_t{1} << bucket_bits_) - 1) {
    symmetries_[0] = 0;
}

void EndgameSolver::clear() {
    table_.clear();
    root_undrawn_ = LINES;
}

uint64_t EndgameSolver::key_of(uint64_t drawn, int& sym) const {
    uint64_t best = ground_normal(drawn);
    sym = 0;
    for (int i = 1; i < symmetry_count_; ++i) {
        const uint64_t image = ground_normal(apply_symmetry(drawn, symmetries_[i]));
        if (image < best) {
            best = image;
            sym = symmetries_[i];
        }
    }
    return best;
}

void EndgameSolver::prefetch(uint64_t key) const {
    __builtin_prefetch(table_.data() + (mix60(key) & bucket_mask_) * 2);
}

uint64_t* EndgameSolver::probe(uint64_t key) {
    const uint64_t x = mix60(key);
    uint64_t* bucket = table_.data() + (x & bucket_mask_) * 2;
    const uint64_t tag = x >> bucket_bits_;
    for (int i = 0; i < 2; ++i)
        if (bucket[i] != 0 && bucket[i] >> 24 == tag) return &bucket[i];
    return nullptr;
}

void EndgameSolver::store(uint64_t key, uint64_t* hit, int lower, int upper, int line,
                          int undrawn) {
    const uint64_t x = mix60(key);
    const uint64_t e = (x >> bucket_bits_) << 24 | static_cast<uint64_t>(undrawn) << 18 |
                       static_cast<uint64_t>(line < 0 ? 63 : line) << 12 |
                       static_cast<uint64_t>(upper + 32) << 6 | static_cast<uint64_t>(lower + 32);
    if (hit) {
        *hit = e;
        return;
    }
    // The first entry of a bucket keeps the larger position (more work to find again), the
    // second takes the rest; positions with more undrawn lines than the last position
    // solved (the game's) are never met again in this game and give way.
    uint64_t* bucket = table_.data() + (x & bucket_mask_) * 2;
    const int kept = entry_undrawn(bucket[0]);
    if (bucket[0] == 0 || kept > root_undrawn_ || undrawn >= kept) {
        bucket[1] = bucket[0];
        bucket[0] = e;
    } else {
        bucket[1] = e;
    }
}

int EndgameSolver::candidates(uint64_t drawn, int* out, int table_line) {
    const BoxSets s = box_sets(drawn);
    for (uint32_t three = s.by_sides[3]; three; three &= three - 1) {
        const Run r = run_from(drawn, s, lowest_bit(three));
        if (r.forced) {
            out[0] = r.take;
            return 1;
        }
    }
    int bounds[LINES];
    const int n = generate(drawn, s, out, bounds);
    if (table_line >= 0) put_first(out, bounds, n, table_line);
    return n;
}

bool EndgameSolver::out_of_budget() {
    if (node_limit_ > 0 && nodes_ >= node_limit_) return true;
    if (deadline_ms_ > 0 && (nodes_ & 1023) == 0 && now_ms() > deadline_ms_) return true;
    return false;
}

int EndgameSolver::search(uint64_t drawn, int alpha, int beta) {
    ++nodes_;
    if (stopped_ || out_of_budget()) {
        stopped_ = true;
        return 0;
    }
    const Geometry& g = geometry();

    // Boxes taken without a search; the value is then theirs plus the rest's.
    int gained = 0;
    BoxSets s = box_sets(drawn);
    for (uint32_t three = s.by_sides[3]; three;) {
        const Run r = run_from(drawn, s, lowest_bit(three));
        three &= three - 1;
        if (!r.forced) continue;
        gained += completed_by(s, r.take);
        drawn |= bit(r.take);
        s = box_sets(drawn);
        three = s.by_sides[3];
    }
    if (drawn == ALL_LINES) return gained;
    drawn = ground_normal(drawn);
    alpha -= gained;
    beta -= gained;
    const int left = BOXES - bit_count(s.by_sides[4]);
    if (left <= alpha) return gained + left;
    if (-left >= beta) return gained - left;
    beta = std::min(beta, left);
    alpha = std::max(alpha, -left);

    // Only chains and loops left: their value from their sizes.
    if (s.by_sides[3] == 0 && (s.by_sides[0] | s.by_sides[1]) == 0) {
        Components c;
        for (uint32_t rest = s.by_sides[2]; rest;) {
            const uint32_t chain = flood(s, rest & (0u - rest), s.by_sides[2]);
            rest &= ~chain;
            c.add(bit_count(chain), (chain & s.grounded) == 0);
        }
        return gained + loony_value(c);
    }

    int sym;
    const uint64_t key = key_of(drawn, sym);
    uint64_t* hit = probe(key);
    int table_line = -1;
    int lower = -left, upper = left;
    if (hit) {
        lower = std::max(lower, entry_lower(*hit));
        upper = std::min(upper, entry_upper(*hit));
        if (entry_line(*hit) >= 0) table_line = g.inverse[sym][entry_line(*hit)];
        if (lower >= beta || lower == upper) return gained + lower;
        if (upper <= alpha) return gained + upper;
        alpha = std::max(alpha, lower);
        beta = std::min(beta, upper);
    }
    const int alpha0 = alpha;

    // Captures; or safe lines, and sacrifices only when no safe line has cut the search
    // off (most nodes end at their first safe line). The table's line comes first, at a
    // node without captures ahead of the safe lines even when it gives boxes away.
    const bool quiet = s.by_sides[3] == 0;
    int lines[LINES], bounds[LINES];
    int n = quiet ? safe_lines(drawn, s, lines) : capture_lines(drawn, s, lines);
    for (int i = 0; i < n; ++i) bounds[i] = NO_BOUND;
    if (quiet) {
        // The children of safe lines are positions as they stand (nothing to take first):
        // their table entries are fetched from memory at once, while the first is searched.
        for (int i = 0; i < n; ++i) {
            int child_sym;
            prefetch(key_of(drawn | bit(lines[i]), child_sym));
        }
    }
    int ahead = -1; // a table line tried before the safe lines, not again after them
    if (table_line >= 0 && !(drawn >> table_line & 1)) {
        if (std::find(lines, lines + n, table_line) != lines + n) {
            put_first(lines, bounds, n, table_line);
        } else if (quiet) {
            std::copy_backward(lines, lines + n, lines + n + 1);
            lines[0] = ahead = table_line;
            bounds[n++] = NO_BOUND;
        }
    }
    int best = -BOXES - 1, best_line = -1;
    for (int stage = 0; stage < 2 && best < beta; ++stage) {
        if (stage == 1) {
            if (!quiet) break;
            n = sacrifice_lines(drawn, s, lines, bounds);
        }
        for (int i = 0; i < n; ++i) {
            if (stage == 1 && lines[i] == ahead) continue;
            if (bounds[i] <= alpha) { // cannot beat what is already found
                best = std::max(best, bounds[i]);
                continue;
            }
            const int line = lines[i];
            const int taken = completed_by(s, line);
            const uint64_t next = drawn | bit(line);
            const int v = taken > 0 ? taken + search(next, alpha - taken, beta - taken)
                                    : -search(next, -beta, -alpha);
            if (stopped_) return 0;
            if (v > best) {
                best = v;
                best_line = line;
                if (v > alpha) alpha = v;
                if (alpha >= beta) break;
            }
        }
    }

    if (best >= beta)
        lower = std::max(lower, best);
    else if (best <= alpha0)
        upper = std::min(upper, best);
    else
        lower = upper = best;
    store(key, hit, lower, upper, best_line >= 0 ? g.symmetry[sym][best_line] : -1,
          LINES - bit_count(drawn));
    return gained + best;
}

void EndgameSolver::start(uint64_t drawn, long long node_limit, long long deadline_ms) {
    nodes_ = 0;
    node_limit_ = node_limit;
    deadline_ms_ = deadline_ms;
    stopped_ = false;
    symmetry_count_ = 1;
    const uint64_t normal = ground_normal(drawn);
    for (int s = 1; s < SYMMETRIES; ++s)
        if (ground_normal(apply_symmetry(normal, s)) == normal) symmetries_[symmetry_count_++] = s;
}

bool EndgameSolver::bounded(uint64_t drawn, int alpha, int beta, long long node_limit,
                            long long deadline_ms, int& value) {
    start(drawn, node_limit, deadline_ms);
    value = search(drawn, alpha, beta);
    return !stopped_;
}

int EndgameSolver::line_reaching(uint64_t drawn, int value) {
    int sym;
    int table_line = -1;
    if (const uint64_t* e = probe(key_of(drawn, sym)))
        if (entry_line(*e) >= 0) table_line = geometry().inverse[sym][entry_line(*e)];
    int lines[LINES];
    const int n = candidates(drawn, lines, table_line);
    for (int i = 0; i < n; ++i) {
        const int line = lines[i];
        const int taken = boxes_completed(drawn, line);
        const uint64_t next = drawn | bit(line);
        const bool reaches = taken > 0
                                 ? taken + search(next, value - taken - 1, value - taken) >= value
                                 : -search(next, -value, -value + 1) >= value;
        if (stopped_) return -1;
        if (reaches) return line;
    }
    return -1;
}

SolveResult EndgameSolver::solve(uint64_t drawn, long long node_limit, long long deadline_ms) {
    start(drawn, node_limit, deadline_ms);
    // Positions of the game so far have more undrawn lines than this one: their entries
    // give way first. (Bounded searches come from the middle game, below the game's
    // position, and leave this as it is.)
    root_undrawn_ = LINES - bit_count(drawn);
    SolveResult r;
    if (drawn == ALL_LINES) {
        r.solved = true;
        r.lower = r.upper = 0;
        return r;
    }
    // The value by tests "at least beta?" that narrow [lower, upper] until they meet,
    // starting from the table's bounds when the position is there. After each test that
    // raises the lower bound, a line proven to reach it (the table's best line, tried
    // first, nearly always is one; each check is a search at a window of one, mostly
    // answered by the table), so that a solve cut short still leaves a proven line.
    int guess = 0;
    int sym;
    if (const uint64_t* e = probe(key_of(drawn, sym))) {
        r.lower = std::max(r.lower, entry_lower(*e));
        r.upper = std::min(r.upper, entry_upper(*e));
        guess = (r.lower + r.upper) / 2;
    }
    while (r.lower < r.upper) {
        const int beta = guess <= r.lower ? r.lower + 1 : guess;
        const int v = search(drawn, beta - 1, beta);
        if (stopped_) return r;
        guess = v;
        if (v < beta) {
            r.upper = v;
            continue;
        }
        const int line = line_reaching(drawn, v);
        if (stopped_) return r;
        r.lower = v;
        r.lower_line = line;
    }
    r.value = r.lower;
    r.line = r.lower_line >= 0 ? r.lower_line : line_reaching(drawn, r.value);
    if (stopped_) return r;
    assert(r.line >= 0); // the rules above keep an optimal line among the candidates
    r.lower_line = r.line;
    r.solved = r.line >= 0;
    return r;
}

} // namespace strong
