// Searches a fixed set of positions to fixed depths and prints the nodes each took, a total
// that changes whenever the search behaves differently, and nodes per second.
//
//   vantry-bench                 the default depths
//   vantry-bench --depth N       every position to depth N
//   vantry-bench --timed         each position with the play budget: the depth it completes
//   vantry-bench --check FILE    FILE holds "DEPTH TOTAL": run at DEPTH, fail unless the
//                                total node count is TOTAL
//   vantry-bench --games N       N games in-process against random and greedy opponents,
//                                the engine searching to --depth (default 5): counts
//                                engine lines that were not undrawn lines (must be 0) and
//                                empty move lists
//   vantry-bench --strong ...    the strong player's modes (strong_bench.cpp)
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "model/line_placement.h"
#include "model/position.h"
#include "search/keys.h"
#include "search/random15.h"
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

// The wire reading of a line code: 'A' horizontal {0, row, column}, 'B' vertical
// {1, row, column} with the dot column written first.
Move decode(const char* c) {
    if (c[0] == 'A') return Move{0, c[1] - 'A', c[2] - 'A'};
    return Move{c[0] - 'A', c[2] - 'A', c[1] - 'A'};
}

constexpr uint32_t BENCH_SEED = 12345;

// Every position starts from the same state: a cleared table and a fixed random sequence,
// so the node counts depend on nothing but the build of the rules.
void set_up(const BenchPosition& p) {
    init_board();
    init_keys();
    seed15(BENCH_SEED);
    engine_first = 1;
    engine_second = 0;
    round1 = 1;
    for (const char* c = p.lines; *c; c += c[3] ? 4 : 3) {
        place_line(OPPONENT, decode(c));
        round1 += 1;
    }
    std::memset(static_cast<void*>(transposition_table), 0, sizeof(transposition_table));
}

void print_code(const Move& m) {
    if (m.orient == 0)
        std::printf("%c%c%c", 'A', 'A' + m.a, 'A' + m.b);
    else
        std::printf("%c%c%c", 'A' + m.orient, 'A' + m.b, 'A' + m.a);
}

int usage() {
    std::fprintf(stderr, "usage: vantry-bench [--depth N] [--timed | --check FILE | --games N]\n");
    return 2;
}

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
        std::printf("%-26s depth %2d  nodes %12lld  %8.3f s  %6.2f Mnps  line ", p.name,
                    search_stats.completed_depth, search_stats.nodes, seconds,
                    seconds > 0 ? search_stats.nodes / seconds / 1e6 : 0.0);
        print_code(m);
        std::printf("  value %d\n", search_stats.root_value);
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

// The opponents of --games, drawing on the engine's own position.
std::vector<Move> undrawn_lines() {
    Move open[LINE_COUNT];
    return std::vector<Move>(open, open + ::undrawn_lines(open));
}

// The most sides any box beside m has.
int most_sides_beside(const Move& m) {
    int most = 0;
    if (m.orient == 0) {
        if (m.a > 0) most = std::max(most, boxes[m.a - 1][m.b].sides);
        if (m.a < 5) most = std::max(most, boxes[m.a][m.b].sides);
    } else {
        if (m.b > 0) most = std::max(most, boxes[m.a][m.b - 1].sides);
        if (m.b < 5) most = std::max(most, boxes[m.a][m.b].sides);
    }
    return most;
}

// Random: any undrawn line. Greedy: a box when one can be taken, else a line that gives no
// box its third side, else any line.
Move opponent_line(bool greedy, std::mt19937& rng) {
    std::vector<Move> open = undrawn_lines();
    if (greedy) {
        std::vector<Move> take, safe;
        for (const Move& m : open) {
            const int most = most_sides_beside(m);
            if (most == 3) take.push_back(m);
            if (most < 2) safe.push_back(m);
        }
        if (!take.empty())
            open.swap(take);
        else if (!safe.empty())
            open.swap(safe);
    }
    return open[std::uniform_int_distribution<size_t>(0, open.size() - 1)(rng)];
}

int play_games(int games, int depth) {
    long long nodes = 0;
    int empty = 0;
    int bad_lines = 0;
    int won = 0;
    int engine_lines = 0;
    for (int g = 0; g < games; ++g) {
        const bool engine_opens = g % 2 == 0;
        const bool greedy = (g / 2) % 2 == 1;
        std::mt19937 rng(static_cast<unsigned>(1000 + g));
        init_board();
        init_keys();
        seed15(BENCH_SEED + static_cast<uint32_t>(g));
        engine_first = engine_opens ? 1 : 0;
        engine_second = engine_opens ? 0 : 1;
        std::memset(static_cast<void*>(transposition_table), 0, sizeof(transposition_table));
        bool engine_turn = engine_opens;
        while (round1 <= LINE_COUNT) {
            Move m;
            if (engine_turn) {
                SearchLimits limits;
                limits.budget_ms = INT_MAX;
                limits.max_depth = depth;
                if (limits.min_depth > depth) limits.min_depth = depth;
                m = choose_move(limits);
                nodes += search_stats.nodes;
                empty += search_stats.empty_lists;
                engine_lines += 1;
                if (!is_on_board(m) || is_drawn(m)) {
                    bad_lines += 1;
                    break;
                }
            } else {
                m = opponent_line(greedy, rng);
            }
            const int completed = place_line(engine_turn ? ENGINE : OPPONENT, m);
            round1 += 1;
            if (!completed) engine_turn = !engine_turn;
        }
        if (score_engine > score_opponent) won += 1;
        std::printf("game %3d  %s opens  %-6s  engine %2d : %2d  opponent\n", g + 1,
                    engine_opens ? "engine  " : "opponent", greedy ? "greedy" : "random",
                    score_engine, score_opponent);
    }
    std::printf("games %d  won %d  engine lines %d  nodes %lld\n", games, won, engine_lines, nodes);
    std::printf("empty lists %d\n", empty);
    std::printf("drawn or off-board lines chosen %d\n", bad_lines);
    std::fflush(stdout);
    return bad_lines == 0 ? 0 : 1;
}

} // namespace

// The strong player's modes, in strong_bench.cpp.
int strong_bench_main(int argc, char** argv);

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--strong") == 0)
        return strong_bench_main(argc - 1, argv + 1);
    int depth_override = 0;
    bool timed = false;
    long long expected = -1;
    int games = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--depth") == 0 && i + 1 < argc) {
            depth_override = std::atoi(argv[++i]);
            if (depth_override < 1) return usage();
        } else if (std::strcmp(argv[i], "--games") == 0 && i + 1 < argc) {
            games = std::atoi(argv[++i]);
            if (games < 1) return usage();
        } else if (std::strcmp(argv[i], "--timed") == 0) {
            timed = true;
        } else if (std::strcmp(argv[i], "--check") == 0 && i + 1 < argc) {
            FILE* f = std::fopen(argv[++i], "r");
            if (!f || std::fscanf(f, "%d %lld", &depth_override, &expected) != 2 ||
                depth_override < 1) {
                std::fprintf(stderr, "vantry-bench: cannot read a signature from %s\n", argv[i]);
                if (f) std::fclose(f);
                return 2;
            }
            std::fclose(f);
        } else {
            return usage();
        }
    }

    if (games > 0) return play_games(games, depth_override > 0 ? depth_override : 5);
    return run_positions(depth_override, timed, expected);
}
