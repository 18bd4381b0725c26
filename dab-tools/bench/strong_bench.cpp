// vantry-bench --strong: the strong player's bench.
//
//   vantry-bench --strong               fixed positions solved from an empty table to a fixed
//                                       effort, and two middle-game searches to a fixed
//                                       depth: nodes, time, value, line; total nodes
//   vantry-bench --strong --check FILE  FILE holds the expected total node count
//   vantry-bench --strong --judge N [--lines L] [--budget MS] [--seed S]
//       N random positions with no safe line and N with at most L (30) undrawn lines, the
//       engine to move: every line of its reply judged by dab-solve's solver; solve time
//       per reply, mean and maximum
//   vantry-bench --strong --reach [--budget MS] [--seed S] [--cpu-time] [--from L] [--to L]
//       how many undrawn lines the exact solver proves within the budget, from random
//       safe-line play positions (10 a row, rows of 24 to 50 lines by default); with
//       --cpu-time the budget counts this thread's CPU time (both clocks are reported)
//   vantry-bench --strong --verify N [--seed S]
//       the exact solver against dab-solve's solver on N positions of each of several kinds
//   vantry-bench --strong --middle N [--budget MS] [--long MS] [--answers FILE] [--seed S]
//                [--cpu-time]
//       the strong player's first line at the budget in N positions of 40 to 44 undrawn
//       lines with safe lines left, against the optimal lines of a long exact solve (those
//       in FILE read from it, the others solved and added to it)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "dab_board.h"
#include "dab_solver.h"
#include "endgame/geometry.h"
#include "endgame/solver.h"
#include "model/line_placement.h"
#include "strong/compact_position.h"
#include "strong/middle_game.h"
#include "strong/strong_player.h"
#include "strong_bench_support.h"
#include "strong_middle.h"
#include "strong_reach.h"

using namespace strongbench;

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

struct Fixed {
    const char* name;
    int lines; // 0: no safe line left; else undrawn lines
    uint32_t seed;
};

const Fixed fixed_positions[] = {
    {"no safe line 1", 0, 1},  {"no safe line 2", 0, 2}, {"no safe line 3", 0, 3},
    {"no safe line 4", 0, 4},  {"24 lines left", 24, 5}, {"28 lines left", 28, 6},
    {"32 lines left", 32, 7},  {"36 lines left", 36, 8}, {"40 lines left", 40, 9},
    {"42 lines left", 42, 10},
};
constexpr long long FIXED_NODE_LIMIT = 3000000;
constexpr int MIDDLE_DEPTH = 4;

int run_fixed(long long expected) {
    long long total = 0;
    double total_seconds = 0;
    for (const Fixed& f : fixed_positions) {
        std::mt19937 rng(f.seed);
        uint64_t drawn = random_position(rng, f.lines);
        strong::EndgameSolver solver(20);
        auto t = Clock::now();
        strong::SolveResult r = solver.solve(drawn, FIXED_NODE_LIMIT);
        double s = seconds_since(t);
        total += solver.nodes();
        total_seconds += s;
        std::printf("%-16s undrawn %2d  nodes %9lld  %8.3f s  ", f.name, undrawn_count(drawn),
                    solver.nodes(), s);
        if (r.solved)
            std::printf("value %3d  line %s\n", r.value, dabtools::line_code(r.line).c_str());
        else
            std::printf("not proven within %lld nodes\n", FIXED_NODE_LIMIT);
    }
    // The middle game from earlier positions, to a fixed depth (its table starts empty in a
    // fresh process, and these run in a fixed order).
    for (int lines : {50, 44}) {
        std::mt19937 rng(static_cast<uint32_t>(lines));
        uint64_t drawn = random_position(rng, lines);
        strong::EndgameSolver exact(20);
        auto t = Clock::now();
        strong::MiddleResult r = strong::middle_game_line(drawn, 0, 0, exact, MIDDLE_DEPTH);
        double s = seconds_since(t);
        total += r.nodes;
        total_seconds += s;
        std::printf("middle game %-4d undrawn %2d  nodes %9lld  %8.3f s  depth %2d  value %3d  "
                    "line %s\n",
                    lines, undrawn_count(drawn), r.nodes, s, r.depth, r.value,
                    r.line >= 0 ? dabtools::line_code(r.line).c_str() : "none");
    }
    std::printf("nodes per second %.0f\n", total_seconds > 0 ? total / total_seconds : 0.0);
    std::printf("total nodes %lld\n", total);
    std::fflush(stdout);
    if (expected >= 0 && total != expected) {
        std::fprintf(stderr, "vantry-bench --strong: total nodes %lld, expected %lld\n", total,
                     expected);
        return 1;
    }
    return 0;
}

struct JudgeTotals {
    int positions = 0, optimal = 0, lines = 0;
    double total_s = 0, max_s = 0;
    int boxes_lost = 0;
};

// One reply of the strong player from the mask, every line judged.
void judge_reply(uint64_t drawn, int budget_ms, dabtools::ExactSolver& judge, JudgeTotals& t) {
    set_engine_position(drawn);
    SearchLimits limits;
    limits.budget_ms = budget_ms;
    bool all_optimal = true;
    double reply_s = 0;
    for (;;) {
        auto start = Clock::now();
        Move m = strong::choose_strong_move(limits);
        reply_s += seconds_since(start);
        int line = strong::line_of_move(m);
        int best = judge.value(drawn);
        int got = judge.value_of_line(drawn, line);
        t.lines += 1;
        if (got != best) {
            all_optimal = false;
            t.boxes_lost += best - got;
        }
        int taken = place_line(ENGINE, m);
        round1 += 1;
        drawn |= uint64_t{1} << line;
        if (taken == 0 || drawn == strong::ALL_LINES) break;
    }
    t.positions += 1;
    t.optimal += all_optimal;
    t.total_s += reply_s;
    t.max_s = std::max(t.max_s, reply_s);
}

void print_judge(const char* what, const JudgeTotals& t) {
    std::printf("%-28s positions %d  optimal replies %d  lines %d  boxes lost %d  reply time "
                "mean %.1f ms max %.1f ms\n",
                what, t.positions, t.optimal, t.lines, t.boxes_lost,
                t.positions ? 1000 * t.total_s / t.positions : 0.0, 1000 * t.max_s);
}

int run_judge(int n, int lines, int budget_ms, uint32_t seed) {
    std::mt19937 rng(seed);
    JudgeTotals loony, small;
    for (int i = 0; i < n; ++i) {
        dabtools::ExactSolver judge;
        judge_reply(random_position(rng, 0), budget_ms, judge, loony);
    }
    print_judge("no safe line left", loony);
    for (int i = 0; i < n; ++i) {
        dabtools::ExactSolver judge;
        judge_reply(random_position(rng, lines), budget_ms, judge, small);
    }
    char what[64];
    std::snprintf(what, sizeof what, "at most %d undrawn lines", lines);
    print_judge(what, small);
    std::fflush(stdout);
    return loony.optimal == loony.positions && small.optimal == small.positions ? 0 : 1;
}

int usage() {
    std::fprintf(stderr,
                 "usage: vantry-bench --strong [--check FILE | --judge N [--lines L] [--budget MS] "
                 "[--seed S] | --reach [--budget MS] [--seed S] [--cpu-time] [--from L] [--to L] | "
                 "--verify N [--seed S] | --middle N [--budget MS] [--long MS] [--answers FILE] "
                 "[--seed S] [--cpu-time]]\n");
    return 2;
}

} // namespace

int strong_bench_main(int argc, char** argv) {
    long long expected = -1;
    int judge = 0, lines = 30, budget = 5000, verify = 0, middle = 0, long_ms = 1200000;
    std::string answers;
    int from = 24, to = 50;
    bool reach = false, cpu_time = false;
    uint32_t seed = 11;
    for (int i = 1; i < argc; ++i) {
        auto next = [&](void) -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        const char* a = argv[i];
        const char* v = nullptr;
        if (std::strcmp(a, "--reach") == 0) {
            reach = true;
        } else if (std::strcmp(a, "--cpu-time") == 0) {
            cpu_time = true;
        } else if (!(v = next())) {
            return usage();
        } else if (std::strcmp(a, "--judge") == 0) {
            judge = std::atoi(v);
        } else if (std::strcmp(a, "--verify") == 0) {
            verify = std::atoi(v);
        } else if (std::strcmp(a, "--middle") == 0) {
            middle = std::atoi(v);
        } else if (std::strcmp(a, "--lines") == 0) {
            lines = std::atoi(v);
        } else if (std::strcmp(a, "--budget") == 0) {
            budget = std::atoi(v);
        } else if (std::strcmp(a, "--answers") == 0) {
            answers = v;
        } else if (std::strcmp(a, "--long") == 0) {
            long_ms = std::atoi(v);
        } else if (std::strcmp(a, "--from") == 0) {
            from = std::atoi(v);
        } else if (std::strcmp(a, "--to") == 0) {
            to = std::atoi(v);
        } else if (std::strcmp(a, "--seed") == 0) {
            seed = static_cast<uint32_t>(std::strtoul(v, nullptr, 10));
        } else if (std::strcmp(a, "--check") == 0) {
            FILE* f = std::fopen(v, "r");
            if (!f || std::fscanf(f, "%lld", &expected) != 1) {
                std::fprintf(stderr, "vantry-bench: cannot read a signature from %s\n", v);
                if (f) std::fclose(f);
                return 2;
            }
            std::fclose(f);
        } else {
            return usage();
        }
    }
    if (budget < 1 || long_ms < 1 || lines < 1 || lines > 60 || judge < 0 || verify < 0 ||
        middle < 0 || from > to)
        return usage();
    if (reach) {
        ReachOptions o;
        o.budget_ms = budget;
        o.seed = seed;
        o.cpu_time = cpu_time;
        o.from = from;
        o.to = to;
        return run_reach(o);
    }
    if (verify > 0) return run_verify(verify, seed);
    if (middle > 0) {
        MiddleOptions o;
        o.positions = middle;
        o.budget_ms = budget;
        o.long_ms = long_ms;
        o.seed = seed;
        o.cpu_time = cpu_time;
        o.answers = answers;
        return run_middle(o);
    }
    if (judge > 0) return run_judge(judge, lines, budget, seed);
    return run_fixed(expected);
}
