// The exact solver's reach (how many undrawn lines it proves within a budget) and its check
// against the independent judge, dab-solve's solver, which shares no code with it.
#include "strong_reach.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

#include "dab_board.h"
#include "dab_solver.h"
#include "endgame/budget_clock.h"
#include "endgame/geometry.h"
#include "endgame/solver.h"
#include "strong_bench_support.h"

using namespace strongbench;

int run_reach(const ReachOptions& o) {
    strong::use_thread_cpu_clock(o.cpu_time);
    std::mt19937 rng(o.seed);
    // Every row's positions are drawn in turn from 24 lines up, so a row holds the same
    // positions whichever rows are solved.
    for (int lines = 24; lines <= std::min(o.to, 60); lines += 2) {
        int proven = 0;
        double cpu_total = 0, cpu_max = 0, wall_total = 0, wall_max = 0;
        for (int i = 0; i < o.positions; ++i) {
            const uint64_t drawn = random_position(rng, lines);
            if (lines < o.from) continue;
            strong::EndgameSolver solver; // an empty table each time
            Stopwatch watch;
            strong::SolveResult r = solver.solve(drawn, 0, strong::now_ms() + o.budget_ms);
            const double cpu = watch.cpu_ms(), wall = watch.wall_ms();
            proven += r.solved;
            cpu_total += cpu;
            wall_total += wall;
            cpu_max = std::max(cpu_max, cpu);
            wall_max = std::max(wall_max, wall);
        }
        if (lines < o.from) continue;
        std::printf("undrawn %2d  proven %2d of %d within %d ms of %s  cpu mean %.0f ms max %.0f "
                    "ms  wall mean %.0f ms max %.0f ms\n",
                    lines, proven, o.positions, o.budget_ms, o.cpu_time ? "cpu" : "wall",
                    cpu_total / o.positions, cpu_max, wall_total / o.positions, wall_max);
        std::fflush(stdout);
        if (proven == 0) break;
    }
    return 0;
}

namespace {

// Positions of each kind the judge can solve in well under a second.
struct Kind {
    const char* what;
    int min_lines, max_lines; // safe lines first down to a random count in this range
    int extra;                // then up to this many random lines of any kind
    bool no_safe;             // first down to no safe line (the range is then unused)
};

const Kind kinds[] = {
    {"safe lines first, 18 to 24 left", 18, 24, 0, false},
    {"no safe line left", 0, 0, 0, true},
    {"no safe line, then 1 to 4 more lines", 0, 0, 4, true},
    {"safe lines first to 26, then 1 to 6 more", 26, 26, 6, false},
    {"any lines, 18 to 22 left", 0, 0, 0, false},
};

uint64_t position_of(const Kind& k, std::mt19937& rng) {
    uint64_t drawn = 0;
    if (k.min_lines == 0 && !k.no_safe) { // uniformly random lines
        const int left = 18 + draw(rng, 5);
        while (undrawn_count(drawn) > left) drawn |= uint64_t{1} << draw(rng, strong::LINES);
        return drawn;
    }
    drawn = random_position(rng,
                            k.no_safe ? 0 : k.min_lines + draw(rng, k.max_lines - k.min_lines + 1));
    for (int extra = k.extra > 0 ? 1 + draw(rng, k.extra) : 0; extra > 0; --extra) {
        if (drawn == strong::ALL_LINES) break;
        int line;
        do line = draw(rng, strong::LINES);
        while (drawn >> line & 1);
        drawn |= uint64_t{1} << line;
    }
    return drawn;
}

std::string codes_of(uint64_t drawn) {
    std::string s;
    for (int l = 0; l < strong::LINES; ++l)
        if (drawn >> l & 1) s += dabtools::line_code(l);
    return s;
}

} // namespace

int run_verify(int n, uint32_t seed) {
    std::mt19937 rng(seed);
    strong::EndgameSolver solver(21); // kept across positions, as in play
    int faults = 0;
    for (const Kind& k : kinds) {
        int agreed = 0;
        Stopwatch watch;
        for (int i = 0; i < n; ++i) {
            const uint64_t drawn = position_of(k, rng);
            dabtools::ExactSolver judge;
            const strong::SolveResult r = solver.solve(drawn);
            const int best = judge.value(drawn);
            const bool line_ok = drawn == strong::ALL_LINES
                                     ? r.line < 0
                                     : r.line >= 0 && judge.value_of_line(drawn, r.line) == best;
            if (r.solved && r.value == best && line_ok) {
                ++agreed;
                continue;
            }
            ++faults;
            std::printf("disagreement (%s): dab-solve %s  value %d, judge %d, line %s\n", k.what,
                        codes_of(drawn).c_str(), r.value, best,
                        r.line >= 0 ? dabtools::line_code(r.line).c_str() : "none");
        }
        std::printf("%-42s %d of %d agree (value and line)  %.1f s\n", k.what, agreed, n,
                    watch.wall_ms() / 1000);
        std::fflush(stdout);
    }
    return faults == 0 ? 0 : 1;
}
