#include "strong_middle.h"

#include <cstdio>
#include <random>

#include "dab_board.h"
#include "endgame/budget_clock.h"
#include "endgame/geometry.h"
#include "endgame/solver.h"
#include "strong/compact_position.h"
#include "strong/strong_player.h"
#include "strong_bench_support.h"

using namespace strongbench;

namespace {

// The exact value of drawing line first, for the side to move; false when the solve did
// not finish by the deadline.
bool line_value(strong::EndgameSolver& solver, uint64_t drawn, int line, long long deadline,
                int& value) {
    const int taken = strong::boxes_completed(drawn, line);
    const uint64_t next = drawn | uint64_t{1} << line;
    if (next == strong::ALL_LINES) {
        value = taken;
        return true;
    }
    const strong::SolveResult r = solver.solve(next, 0, deadline);
    value = taken > 0 ? taken + r.value : -r.value;
    return r.solved;
}

} // namespace

int run_middle(int n, int budget_ms, int long_ms, uint32_t seed, bool cpu_time) {
    strong::use_thread_cpu_clock(cpu_time);
    std::mt19937 rng(seed);
    strong::EndgameSolver exact; // the offline judge: its table is kept, every entry a fact
    int judged = 0, optimal = 0, proven = 0, unsolved = 0, boxes_lost = 0;
    double player_ms = 0;
    for (int i = 0; i < n; ++i) {
        const int lines = 40 + 2 * draw(rng, 3);
        uint64_t drawn;
        do drawn = random_position(rng, lines);
        while (strong::safe_line_count(drawn) == 0);

        strong::reset_strong_player(); // each position as the first of a game
        set_engine_position(drawn);
        SearchLimits limits;
        limits.budget_ms = budget_ms;
        Stopwatch watch;
        const int line = strong::line_of_move(strong::choose_strong_move(limits));
        const double spent = cpu_time ? watch.cpu_ms() : watch.wall_ms();
        player_ms += spent;
        const bool was_exact = strong::strong_stats.exact;

        Stopwatch offline;
        const strong::SolveResult best = exact.solve(drawn, 0, strong::now_ms() + long_ms);
        int got = 0;
        if (!best.solved || !line_value(exact, drawn, line, strong::now_ms() + long_ms, got)) {
            ++unsolved;
            std::printf("position %2d  undrawn %d  line %s  not solved within %d ms\n", i, lines,
                        dabtools::line_code(line).c_str(), long_ms);
            std::fflush(stdout);
            continue;
        }
        ++judged;
        optimal += got == best.value;
        proven += was_exact;
        boxes_lost += best.value - got;
        std::printf("position %2d  undrawn %d  value %3d  line %s %s (%d)  %s  player %.0f ms  "
                    "offline %.1f s\n",
                    i, lines, best.value, dabtools::line_code(line).c_str(),
                    got == best.value ? "optimal" : "loses", got,
                    was_exact ? "proven" : "middle game", spent,
                    (cpu_time ? offline.cpu_ms() : offline.wall_ms()) / 1000);
        std::fflush(stdout);
    }
    std::printf("first line optimal in %d of %d positions solved offline (%d proven by the "
                "player itself; %d not solved within %d ms); boxes lost %d; player mean %.0f "
                "ms of %s\n",
                optimal, judged, proven, unsolved, long_ms, boxes_lost, n > 0 ? player_ms / n : 0.0,
                cpu_time ? "cpu" : "wall");
    return 0;
}
