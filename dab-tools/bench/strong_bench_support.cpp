#include "strong_bench_support.h"

#include <vector>

#include "endgame/budget_clock.h"
#include "endgame/geometry.h"
#include "model/line_placement.h"
#include "search/keys.h"
#include "search/random15.h"
#include "strong/compact_position.h"

namespace strongbench {

int draw(std::mt19937& rng, int n) {
    return static_cast<int>(rng() % static_cast<uint32_t>(n));
}

int undrawn_count(uint64_t drawn) {
    return strong::LINES - __builtin_popcountll(drawn);
}

uint64_t random_position(std::mt19937& rng, int lines) {
    uint64_t drawn = 0;
    for (;;) {
        std::vector<int> safe, open;
        for (int l = 0; l < strong::LINES; ++l) {
            if (drawn >> l & 1) continue;
            open.push_back(l);
            if (strong::is_safe(drawn, l)) safe.push_back(l);
        }
        if (lines == 0 && safe.empty()) return drawn;
        if (lines > 0 && static_cast<int>(open.size()) <= lines) return drawn;
        const std::vector<int>& from = safe.empty() ? open : safe;
        drawn |= uint64_t{1} << from[draw(rng, static_cast<int>(from.size()))];
    }
}

void set_engine_position(uint64_t drawn) {
    init_board();
    init_keys();
    seed15(1);
    engine_first = 1;
    engine_second = 0;
    for (int l = 0; l < strong::LINES; ++l) {
        if (!(drawn >> l & 1)) continue;
        place_line(OPPONENT, strong::move_of_line(l));
        round1 += 1;
    }
}

Stopwatch::Stopwatch() : wall_(std::chrono::steady_clock::now()), cpu_(strong::thread_cpu_ms()) {}

double Stopwatch::wall_ms() const {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall_)
        .count();
}

double Stopwatch::cpu_ms() const {
    return static_cast<double>(strong::thread_cpu_ms() - cpu_);
}

} // namespace strongbench
