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
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench_positions.h"
#include "in_process_games.h"
#include "version.h"

namespace {

int usage() {
    std::fprintf(
        stderr,
        "usage: vantry-bench [--depth N] [--timed | --check FILE | --games N] | --version\n");
    return 2;
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
        } else if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("vantry-bench %s\n", project_version::text());
            return 0;
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
