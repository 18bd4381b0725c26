#include "bench_positions.h"

#include <chrono>
#include <climits>
#include <cstdio>

#include "driver/game_start.h"
#include "driver/line_codes.h"
#include "model/line_placement.h"
#include "search/search.h"
#include "search/transposition_table.h"

namespace {

struct BenchPosition {
    const char* name;
    int depth;         // default fixed depth
    const char* lines; // drawn in order for the opponent, as three-letter line codes
};

// Nobody has completed a box in any of these.
const BenchPosition positions[] = {
    {"opening", 7, "ABD BBC ABA AFA ACE AFE BCE BAD BDD BDC"},
    {"early middle game", 7, "BBE BAE AAD ABB ABC AFD ACD BCE BDD AFC AED BFD ADC AAC ADA BDC"},
    {"middle game", 9,
     "ADA BCB BFA ABD AFA BBC BEA BFD BCD ABB BCE AAA BFC AFB BFE AEE ACE BDC BBA BAD BAE BCC"},
    // Every box but those of row 4 has two sides: a chain along the top row, two 2 x 2
    // loops, a pair on the left and a chain along row 3; row 4 has only its top sides.
    {"endgame, chains and loops", 20,
     "AAA AAB AAC AAD AAE ABA ABB ABC ABD ABE BBB BBC BDB BDC ADA ADB ADC ADD ADE BFB BFC "
     "AEA AEB AEC AED AEE"},
    // The same after the opponent opened the top chain at its left end.
    {"endgame, capture run", 20,
     "AAA AAB AAC AAD AAE ABA ABB ABC ABD ABE BBB BBC BDB BDC ADA ADB ADC ADD ADE BFB BFC "
     "AEA AEB AEC AED AEE BAA"},
};

constexpr uint32_t BENCH_SEED = 12345;

// Every position starts from the same state: a cleared table and a fixed random sequence,
// so the node counts depend on nothing but the build of the rules.
void set_up(const BenchPosition& p) {
    set_opener(ENGINE);
    start_game(BENCH_SEED);
    Move lines[LINE_COUNT];
    const int n = decode_lines(p.lines, lines, LINE_COUNT);
    for (int i = 0; i < n; ++i) {
        place_line(OPPONENT, lines[i]);
        round1 += 1;
    }
    tt_clear();
}

} // namespace

int run_positions(int depth_override, bool timed, long long expected) {
    long long total_nodes = 0;
    int total_empty = 0;
    double total_seconds = 0;
    for (const BenchPosition& p : positions) {
        set_up(p);
        SearchLimits limits;
        if (!timed) {
            limits.budget_ms = INT_MAX;
            limits.max_depth = depth_override > 0 ? depth_override : p.depth;
            if (limits.min_depth > limits.max_depth) limits.min_depth = limits.max_depth;
        }
        const auto start = std::chrono::steady_clock::now();
        const Move m = choose_move(limits);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        total_nodes += search_stats.nodes;
        total_empty += search_stats.empty_lists;
        total_seconds += seconds;
        char code[4];
        encode_move(m, code);
        std::printf("%-26s depth %2d  nodes %12lld  %8.3f s  %6.2f Mnps  line %s  value %d\n",
                    p.name, search_stats.completed_depth, search_stats.nodes, seconds,
                    seconds > 0 ? search_stats.nodes / seconds / 1e6 : 0.0, code,
                    search_stats.root_value);
    }
    std::printf("empty lists %d\n", total_empty);
    std::printf("nodes per second %.0f\n", total_seconds > 0 ? total_nodes / total_seconds : 0.0);
    std::printf("total nodes %lld\n", total_nodes);
    std::fflush(stdout);
    if (expected >= 0 && total_nodes != expected) {
        std::fprintf(stderr, "vantry-bench: total nodes %lld, expected %lld\n", total_nodes,
                     expected);
        return 1;
    }
    return 0;
}
