#include "strong/strong_player.h"

#include <algorithm>

#include "strong/compact_position.h"
#include "strong/middle_game.h"

namespace strong {

StrongStats strong_stats;

EndgameSolver& strong_solver() {
    static EndgameSolver solver;
    return solver;
}

void reset_strong_player() {
    strong_solver().clear();
    clear_middle_game_table();
}

int exact_line(uint64_t drawn, long long node_limit, long long deadline_ms, int* value) {
    SolveResult r = strong_solver().solve(drawn, node_limit, deadline_ms);
    strong_stats.nodes += strong_solver().nodes();
    if (!r.solved || r.line < 0) return -1;
    if (value) *value = r.value;
    return r.line;
}

int exact_share_percent(int undrawn, bool safe_lines_left) {
    if (!safe_lines_left) return 90;
    if (undrawn <= 38) return 85;
    if (undrawn <= 40) return 75;
    if (undrawn <= 42) return 60;
    if (undrawn <= 44) return 35;
    if (undrawn <= 46) return 15;
    return 0;
}

// How a line's budget is shared. The exact solve goes first with exact_share_percent of it
// (by the clock, or of the node limit when one is set), a share that grows as the board
// fills, since every two lines fewer cut the solve's cost about fivefold to tenfold: from
// nothing while more than 46 lines are undrawn (no proof is in reach there) to 85% at 38
// and 90% once no safe line is left. The middle game's search for control then has the
// time up to 90% of the budget (or the rest of the node limit), its positions with no
// safe line valued by the same solver. Both tables are kept between the lines of a turn,
// between turns and between games, so a proof cut short at one turn leaves proven bounds
// that the next turn's solve, two or more lines deeper, starts from.
Move choose_strong_move(const SearchLimits& limits) {
    const long long start = now_ms();
    CompactPosition p = compact_from_engine();
    strong_stats = StrongStats{};
    strong_stats.undrawn = LINES - bit_count(p.drawn);
    const bool loony = safe_line_count(p.drawn) == 0;
    const bool replay = limits.node_limit > 0;
    const long long budget = limits.budget_ms;

    const int share = exact_share_percent(strong_stats.undrawn, !loony);
    long long exact_nodes = 0;
    SolveResult proof; // what the solve proved, finished or not
    if (share > 0) {
        exact_nodes = replay ? std::max(1LL, limits.node_limit * share / 100) : 0;
        proof =
            strong_solver().solve(p.drawn, exact_nodes, replay ? 0 : start + budget * share / 100);
        strong_stats.nodes += strong_solver().nodes();
        if (proof.solved && proof.line >= 0) {
            strong_stats.exact = true;
            strong_stats.value = proof.value;
            return move_of_line(proof.line);
        }
    }
    if (!loony) {
        const long long middle_nodes = replay ? std::max(1LL, limits.node_limit - exact_nodes) : 0;
        MiddleResult m = middle_game_line(p.drawn, replay ? 0 : start + budget * 9 / 10,
                                          middle_nodes, strong_solver());
        strong_stats.nodes += m.nodes;
        strong_stats.value = m.value;
        strong_stats.depth = m.depth;
        // A win the cut-short solve has proven is worth more than the middle game's
        // estimate of no more than it.
        if (proof.lower > 0 && proof.lower_line >= 0 && (m.line < 0 || m.value <= proof.lower)) {
            strong_stats.value = proof.lower;
            return move_of_line(proof.lower_line);
        }
        if (m.line >= 0) return move_of_line(m.line);
    }
    // Not even a first depth within the budget: the default search with what is left.
    SearchLimits rest = limits;
    if (!replay) {
        long long left = budget - (now_ms() - start) - budget / 20;
        rest.budget_ms = static_cast<int>(left > 1 ? left : 1);
    }
    return choose_move(rest);
}

} // namespace strong
