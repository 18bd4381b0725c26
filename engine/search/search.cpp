// Iterative deepening over a negamax alpha-beta search that draws and takes back lines on
// the one global position. A line that completes a box is searched for the same side, since
// that side draws again. Nothing is allocated: every node keeps its move list and snapshot
// in its own frame.
#include "search/search.h"

#include <cassert>
#include <climits>

#include "model/line_placement.h"
#include "search/clock.h"
#include "search/evaluation.h"
#include "search/move_generation.h"
#include "search/transposition_table.h"

SearchStats search_stats;
long long empty_lists_run = 0;

namespace {

constexpr long long NO_DEADLINE = LLONG_MAX;

int time_up = 0;
long long deadline = NO_DEADLINE;
long long node_limit = 0;

// The interrupted root's best entry among those whose search finished before the clock ran
// out, and its first candidate: what choose_move falls back on when not even its first depth
// finished.
bool root_partial_valid = false;
Move root_partial;
bool root_first_valid = false;
Move root_first;

// The slot a child will probe: its index hash is this node's plus the line's key.
inline void prefetch_child_entry(const Move& m) {
    tt_prefetch(index_hash + index_keys[m.orient][key_index(m)]);
}

// Inner nodes between two readings of the clock: a reading costs as much as a node, and
// a few hundred nodes take well under a millisecond.
constexpr int CLOCK_POLL_NODES = 256;
int clock_countdown = 0;

inline bool clock_run_out() {
    if (time_up) return true; // the clock never runs back
    if (node_limit > 0 && search_stats.nodes > node_limit) return true;
    if (--clock_countdown > 0) return false;
    clock_countdown = CLOCK_POLL_NODES;
    return clock_ms() > deadline;
}

// A node with depth left: everything search does beyond a leaf. Kept out of line, so that
// a leaf (most calls) does not pay for this frame's move list and snapshot.
__attribute__((noinline)) int search_inner(int depth, int bound, int side, int move_number,
                                           int few_moves) {
    if (score_opponent >= WIN_BOXES || score_engine >= WIN_BOXES) return decided_value(side);
    if (clock_run_out()) {
        time_up = 1;
        return SCORE_INF;
    }

    Move list[MAX_MOVES];
    int count = 0;
    generate_moves(list, count, move_number, few_moves);
    if (count == 0) {
        // Lines remain (the game is not decided), yet nothing was listed: value the position
        // as it stands rather than guess a line.
        search_stats.empty_lists += 1;
        empty_lists_run += 1;
        return evaluate(side, few_moves);
    }

    const int child_depth = depth - 1;
    const int child_mn = move_number + 1;
    // Taken while the first entries are on their way from memory.
    Snapshot s;
    take_snapshot(s);

    int best = 0; // set by the first child
    for (int i = 0; i < count; ++i) {
        if (i > 0 && best >= bound) return best;
        const Move m = list[i];
        if (i > 0 && i + PREFETCH_AHEAD - 1 < count)
            prefetch_child_entry(list[i + PREFETCH_AHEAD - 1]);
        const int completed = place_line(side, m);
        // After a completed box the same side moves again, so the child's value is ours
        // as it stands; otherwise it is the opponent's, negated.
        int v = 0;
        bool known = false;
        if (const TTEntry* e = tt_probe(child_depth, child_mn)) {
            v = completed ? e->value : -e->value;
            if (v >= bound) {
                undo_line(side, m, s);
                // Stored as a bound (exact 0), which only ever serves to cut again. The
                // first child has no siblings before it and stores its own value; later
                // ones store the best of their siblings before them.
                tt_store(depth, move_number, i == 0 ? v : best, 0);
                return v;
            }
            known = e->exact != 0; // a bound that does not cut says nothing here
        }
        if (!known) {
            // The opponent's child is searched with the bound our best so far allows it;
            // the first child, with nothing to beat yet, and our own children, whose
            // values are ours, are searched without one.
            v = completed
                    ? search(child_depth, SCORE_INF, side, child_mn, few_moves)
                    : -search(child_depth, i == 0 ? SCORE_INF : -best, -side, child_mn, few_moves);
        }
        undo_line(side, m, s);
        if (i == 0 || v > best) best = v;
    }

    // A node cut short by the clock holds no searched value.
    if (time_up == 0) tt_store(depth, move_number, best, 1);
    return best;
}

} // namespace

int search(int depth, int bound, int side, int move_number, int few_moves) {
    assert(side == ENGINE || side == OPPONENT);
    assert(move_number >= 1 && move_number <= LINE_COUNT + 1);
    search_stats.nodes += 1;
    if (depth <= 0) return evaluate(side, few_moves);
    return search_inner(depth, bound, side, move_number, few_moves);
}

Move search_root(int depth) {
    const int mn = round1;
    Move list[LINE_COUNT];
    int count = 0;
    int few = 0;
    generate_moves(list, count, mn, few);
    if (count == 0) {
        search_stats.empty_lists += 1;
        empty_lists_run += 1;
        // Left-over structure codes can leave move generation with nothing to offer in rare
        // positions: the root then tries every undrawn line.
        count = undrawn_lines(list);
        if (count == 0) return Move{0, 0, 0}; // every line drawn: nothing to choose
    }
    root_first = list[0];
    root_first_valid = true;
    root_partial_valid = false;

    Snapshot s;
    take_snapshot(s);

    Move result = list[0];
    int completed = place_line(ENGINE, list[0]);
    int best = completed ? search(depth - 1, SCORE_INF, ENGINE, mn + 1, few)
                         : -search(depth - 1, SCORE_INF, OPPONENT, mn + 1, few);
    undo_line(ENGINE, list[0], s);
    if (time_up == 0) {
        root_partial = result;
        root_partial_valid = true;
    }

    for (int i = 1; i < count; ++i) {
        if (best >= SCORE_INF) continue;
        const Move m = list[i];
        completed = place_line(ENGINE, m);
        const int v = completed ? search(depth - 1, SCORE_INF, ENGINE, mn + 1, few)
                                : -search(depth - 1, -best, OPPONENT, mn + 1, few);
        undo_line(ENGINE, m, s);
        // Once the clock has run out the values are no longer searched ones; the entries
        // that finished before it keep their best for the fallback.
        if (v > best) {
            best = v;
            result = m;
            if (time_up == 0) {
                root_partial = m;
                root_partial_valid = true;
            }
        }
    }
    if (time_up == 0) search_stats.root_value = best;
    return result;
}

Move choose_move(const SearchLimits& limits) {
    search_stats = SearchStats();
    time_up = 0;
    clock_countdown = 0;
    deadline = static_cast<long long>(clock_ms()) + limits.budget_ms;
    node_limit = limits.node_limit;
    root_first_valid = false;
    root_partial_valid = false;

    bool have = false;
    Move result{0, 0, 0};
    for (int depth = limits.min_depth; depth <= limits.max_depth; ++depth) {
        const Move m = search_root(depth);
        if (time_up) break;
        result = m;
        have = true;
        search_stats.completed_depth = depth;
    }
    if (!have) {
        // Not even the first depth finished: the best entry it did search, else its first.
        if (root_partial_valid)
            result = root_partial;
        else if (root_first_valid)
            result = root_first;
    }

    // search_root and search called on their own afterwards run without a clock.
    time_up = 0;
    deadline = NO_DEADLINE;
    node_limit = 0;
    return result;
}
