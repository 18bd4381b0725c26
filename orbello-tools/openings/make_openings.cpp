// orbello-make-openings: writes a file of balanced Orbello openings for matches.
//
// Each candidate is a few legal moves drawn at random from the initial position
// (orbello_rules::random_opening), kept when no earlier opening reached the same position
// or its mirror image (columns reversed: the rules and the initial position look the same
// in a mirror) and orbello-engine's search, to a fixed depth from an empty table, values
// the position within the margin of even (100 is one piece).
//
// The output depends only on the options: seeds are fixed, the search stops by depth, and
// every candidate is searched from a fresh table.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "board/bitboard.h"
#include "rules/openings.h"
#include "search/search.h"

namespace {

struct Options {
    int count = 80;
    std::uint64_t seed = 1;
    int min_moves = 2, max_moves = 6;
    int depth = 8;
    int margin = 15;
    int tries = 2000; // candidates judged at most
};

const char* const USAGE =
    "usage: orbello-make-openings [--count N] [--seed S] [--min-moves A] [--max-moves B]\n"
    "                             [--depth D] [--margin M] [--tries T] > FILE\n"
    "  --count N      openings to write (default 80)\n"
    "  --seed S       seed of the random moves (default 1)\n"
    "  --min-moves A, --max-moves B  moves per opening (default 2 to 6)\n"
    "  --depth D      depth of the engine's search judging each opening (default 8)\n"
    "  --margin M     largest value of a balanced opening either way, 100 a piece (default "
    "15)\n"
    "  --tries T      candidates judged at most (default 2000)\n";

bool read_number(const char* text, long long lo, long long hi, long long& out) {
    char* end = nullptr;
    out = std::strtoll(text, &end, 10);
    return end != text && *end == '\0' && out >= lo && out <= hi;
}

// The position as text, the least of it and its mirror image, for telling openings apart.
std::string canonical(const orbello_rules::Cells& cells, int side) {
    std::string plain, mirror;
    for (int y = 0; y < BOARD_SIZE; ++y)
        for (int x = 0; x < BOARD_SIZE; ++x) {
            plain += static_cast<char>('0' + cells[x][y]);
            mirror += static_cast<char>('0' + cells[BOARD_SIZE - 1 - x][y]);
        }
    return std::min(plain, mirror) + static_cast<char>('0' + side);
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        long long v = 0;
        const bool has = i + 1 < argc;
        auto take = [&](long long lo, long long hi) {
            return has && read_number(argv[i + 1], lo, hi, v) && (++i, true);
        };
        if (a == "--count" && take(1, 10000))
            o.count = static_cast<int>(v);
        else if (a == "--seed" && take(0, INT64_MAX))
            o.seed = static_cast<std::uint64_t>(v);
        else if (a == "--min-moves" && take(1, 40))
            o.min_moves = static_cast<int>(v);
        else if (a == "--max-moves" && take(1, 40))
            o.max_moves = static_cast<int>(v);
        else if (a == "--depth" && take(1, 30))
            o.depth = static_cast<int>(v);
        else if (a == "--margin" && take(0, 10000))
            o.margin = static_cast<int>(v);
        else if (a == "--tries" && take(1, 1000000))
            o.tries = static_cast<int>(v);
        else {
            const bool help = a == "--help" || a == "-h";
            if (!help) std::fputs("orbello-make-openings: bad option\n", stderr);
            std::fputs(USAGE, help ? stdout : stderr);
            return help ? 0 : 2;
        }
    }
    if (o.min_moves > o.max_moves) {
        std::fputs("orbello-make-openings: --min-moves above --max-moves\n", stderr);
        return 2;
    }

    std::printf("# Balanced openings for Orbello: one per line, moves in the module's text "
                "(bases A), Black first.\n"
                "# Made by: orbello-make-openings --count %d --seed %llu --min-moves %d "
                "--max-moves %d --depth %d --margin %d --tries %d\n"
                "# Each is %d to %d legal moves drawn at random, no two reaching the same "
                "position or its mirror image.\n"
                "# Balanced: orbello-engine's search to depth %d values the position within "
                "%d of even, where a piece is 100.\n",
                o.count, static_cast<unsigned long long>(o.seed), o.min_moves, o.max_moves, o.depth,
                o.margin, o.tries, o.min_moves, o.max_moves, o.depth, o.margin);

    orbello_engine::InitTables();
    std::mt19937_64 rng(o.seed);
    std::set<std::string> seen;
    int written = 0, tried = 0;
    while (written < o.count && tried < o.tries) {
        const int moves_wanted =
            o.min_moves +
            static_cast<int>(rng() % static_cast<std::uint64_t>(o.max_moves - o.min_moves + 1));
        const std::vector<std::string> moves = orbello_rules::random_opening(moves_wanted, rng());
        orbello_rules::Cells cells;
        int side = BLACK;
        orbello_rules::play_opening(moves, cells, side);
        if (!seen.insert(canonical(cells, side)).second) continue;
        ++tried;
        orbello_engine::Searcher searcher(18);
        orbello_engine::SearchLimits limits;
        limits.maxDepth = o.depth;
        limits.moveTimeMs = 0;
        const orbello_engine::SearchResult r =
            searcher.Search(orbello_engine::FromCells(cells, side), {}, limits);
        std::string why;
        if (std::abs(r.score) > o.margin || !orbello_rules::check_opening(moves, why)) continue;
        std::string line;
        for (const std::string& m : moves) line += (line.empty() ? "" : " ") + m;
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
        ++written;
        std::fprintf(stderr, "\r%d of %d written, %d judged", written, o.count, tried);
    }
    std::fprintf(stderr, "\n");
    if (written < o.count) {
        std::fprintf(stderr, "orbello-make-openings: only %d balanced openings in %d tries\n",
                     written, tried);
        return 1;
    }
    return 0;
}
