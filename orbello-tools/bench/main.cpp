// orbello-bench: perft counts from the engine's generator or from the rules core, a fixed
// search over fixed positions whose node count is the bench signature, and speed figures.
#include "board/bitboard.h"
#include "rules/rules.h"
#include "search/search.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace orbello_engine;

// The start and three hand-set middle games: captures pending across arcs, pieces on
// crossing points and corners, both sides to move.
const char* const BENCH_POSITIONS[] = {
    "bbbbbb/bbbbbb/....../....../wwwwww/wwwwww b",
    "bb.bbb/b.bb.b/..b.b./.w..w./ww.w.w/wwww.w w",
    "b..b.b/.b.bb./.bw.../..b.w./.w..ww/w.ww.w b",
    "....b./.b.w../b..b../..w..w/.b..w./w....b w",
};
constexpr int DEFAULT_DEPTH = 9;

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

int RunPerft(const Position& p, int maxDepth, bool rules) {
    for (int d = 1; d <= maxDepth; ++d) {
        const auto start = Clock::now();
        std::uint64_t n;
        if (rules) {
            orbello_rules::Cells cells;
            ToCells(p, cells);
            n = orbello_rules::Perft(cells, p.side, d);
        } else {
            n = Perft(p, d);
        }
        const double s = Since(start);
        std::printf("perft %d %llu\n", d, static_cast<unsigned long long>(n));
        std::fprintf(stderr, "  %.3f s, %.0f moves per second\n", s, s > 0 ? n / s : 0.0);
        std::fflush(stdout);
    }
    return 0;
}

std::uint64_t RunBench(int depth, int timedMs, bool quiet) {
    std::uint64_t total = 0;
    double seconds = 0;
    int index = 0;
    for (const char* text : BENCH_POSITIONS) {
        Position p;
        ParsePosition(text, p);
        Searcher searcher(18);
        SearchLimits limits;
        limits.maxDepth = timedMs ? 64 : depth;
        limits.moveTimeMs = timedMs;
        const SearchResult r = searcher.Search(p, {}, limits, {}, 0);
        total += r.nodes;
        seconds += r.seconds;
        if (!quiet)
            std::printf("position %d: depth %d nodes %llu score %d best %c%c%c%c %.0f nodes/s\n",
                        ++index, r.depth, static_cast<unsigned long long>(r.nodes), r.score,
                        'A' + SquareX(MoveFrom(r.best)), 'A' + SquareY(MoveFrom(r.best)),
                        'A' + SquareX(MoveTo(r.best)), 'A' + SquareY(MoveTo(r.best)),
                        r.seconds > 0 ? r.nodes / r.seconds : 0.0);
    }
    if (!quiet) {
        if (!timedMs) std::printf("bench %d %llu\n", depth, static_cast<unsigned long long>(total));
        std::printf("nodes per second: %.0f\n", seconds > 0 ? total / seconds : 0.0);
    }
    return total;
}

const char* const USAGE =
    "usage: orbello-bench                       fixed-depth search: nodes, signature, speed\n"
    "       orbello-bench --depth N             the same at depth N (default 9)\n"
    "       orbello-bench --timed MS            depth reached in MS per position\n"
    "       orbello-bench --check FILE          exit 1 unless \"DEPTH TOTAL\" in FILE matches\n"
    "       orbello-bench --perft D [--rules] [--position \"P\"]\n"
    "             perft 1..D by the engine's generator (or by the rules core); P as\n"
    "             \"bbbbbb/bbbbbb/....../....../wwwwww/wwwwww b\" (rows from the top, side)\n"
    "       orbello-bench --positions           the bench positions, one a line\n";

} // namespace

int main(int argc, char** argv) {
    InitTables();
    int perft = 0, depth = DEFAULT_DEPTH, timed = 0;
    bool rules = false;
    std::string position = BENCH_POSITIONS[0], check;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool more = i + 1 < argc;
        if (a == "--perft" && more) {
            perft = std::atoi(argv[++i]);
        } else if (a == "--rules") {
            rules = true;
        } else if (a == "--position" && more) {
            position = argv[++i];
        } else if (a == "--depth" && more) {
            depth = std::atoi(argv[++i]);
        } else if (a == "--timed" && more) {
            timed = std::atoi(argv[++i]);
        } else if (a == "--check" && more) {
            check = argv[++i];
        } else if (a == "--positions") {
            for (const char* p : BENCH_POSITIONS) std::printf("%s\n", p);
            return 0;
        } else {
            std::fputs(USAGE, a == "--help" ? stdout : stderr);
            return a == "--help" ? 0 : 2;
        }
    }
    if (perft > 0) {
        Position p;
        if (!ParsePosition(position, p)) {
            std::fprintf(stderr, "orbello-bench: cannot read the position \"%s\"\n",
                         position.c_str());
            return 2;
        }
        return RunPerft(p, perft, rules);
    }
    if (!check.empty()) {
        std::ifstream in(check);
        int d = 0;
        unsigned long long expected = 0;
        if (!(in >> d >> expected) || d < 1) {
            std::fprintf(stderr, "orbello-bench: cannot read \"DEPTH TOTAL\" from %s\n",
                         check.c_str());
            return 2;
        }
        const std::uint64_t total = RunBench(d, 0, true);
        std::printf("bench %d %llu (expected %llu)\n", d, static_cast<unsigned long long>(total),
                    expected);
        return total == expected ? 0 : 1;
    }
    if (depth < 1 || timed < 0) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    RunBench(depth, timed, false);
    return 0;
}
