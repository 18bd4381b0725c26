#include "strong/strong_player.h"

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

Move choose_strong_move(const SearchLimits& limits) {
    const long long start = now_ms();
    CompactPosition p = compact_from_engine();
    strong_stats = StrongStats{};
    strong_stats.undrawn = LINES - __builtin_popcountll(p.drawn);
    const bool loony = safe_line_count(p.drawn) == 0;
    const bool replay = limits.node_limit > 0;

    // With no safe line the proof is quick; it gets most of the budget all the same. With
    // safe lines left it gets a share that grows as the board fills (about 36 undrawn lines
    // are proven within 2.5 s), and the fight for control gets the rest.
    const long long budget = limits.budget_ms;
    long long share = loony                        ? budget * 9 / 10
                      : strong_stats.undrawn <= 40 ? budget / 2
                                                   : budget / 10;
    int value = 0;
    int line = exact_line(p.drawn, limits.node_limit, replay ? 0 : start + share, &value);
    if (line >= 0) {
        strong_stats.exact = true;
        strong_stats.value = value;
        return move_of_line(line);
    }
    if (!loony) {
        MiddleResult m = middle_game_line(p.drawn, replay ? 0 : start + budget * 9 / 10,
                                          limits.node_limit, strong_solver());
        strong_stats.nodes += m.nodes;
        strong_stats.value = m.value;
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
