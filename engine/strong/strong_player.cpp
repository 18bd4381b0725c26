#include "strong/strong_player.h"

#include "strong/compact_position.h"

namespace strong {

StrongStats strong_stats;

EndgameSolver& strong_solver() {
    static EndgameSolver solver;
    return solver;
}

int exact_line(uint64_t drawn, long long node_limit, long long deadline_ms, int* value) {
    SolveResult r = strong_solver().solve(drawn, node_limit, deadline_ms);
    strong_stats.nodes += strong_solver().nodes();
    if (!r.solved || r.line < 0) return -1;
    if (value) *value = r.value;
    return r.line;
}

Move choose_strong_move(const SearchLimits& limits) {
    const long long start = now_ms();
    CompactPosition p = compact_from_engine();
    strong_stats = StrongStats{};
    strong_stats.undrawn = LINES - __builtin_popcountll(p.drawn);
    const bool loony = safe_line_count(p.drawn) == 0;
    const bool replay = limits.node_limit > 0;

    // With no safe line the solve is quick; it gets the whole budget all the same. Earlier,
    // it gets a share and the rest goes to the heuristic search if the proof does not come.
    long long budget = limits.budget_ms;
    long long exact_deadline = replay ? 0 : start + (loony ? budget * 9 / 10 : budget / 2);
    int value = 0;
    int line = exact_line(p.drawn, limits.node_limit, exact_deadline, &value);
    if (line >= 0) {
        strong_stats.exact = true;
        strong_stats.value = value;
        return move_of_line(line);
    }
    SearchLimits rest = limits;
    if (!replay) {
        long long left = budget - (now_ms() - start) - budget / 20;
        rest.budget_ms = static_cast<int>(left > 1 ? left : 1);
    }
    return choose_move(rest);
}

} // namespace strong
