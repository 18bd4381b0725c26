// dab-make-openings: writes a file of balanced Dots-and-Boxes openings for matches.
//
// Each candidate is a run of safe lines drawn at random (dabtools::random_opening), kept
// when no earlier opening is the same position under the board's eight symmetries and the
// strong player, playing both sides from it to the end at a fixed number of nodes per line,
// finishes within the margin (1: 13-12 either way, the closest result 25 boxes allow).
// A self-played game is the judge because the strong player's middle-game value at a
// fixed depth says little this early: it swings with the depth's parity (at depth 3 the
// side to move is usually 13 to 21 boxes up, at depth 4 13 to 17 down).
//
// The output depends only on the options: seeds are fixed, the searches stop by node
// counts, and candidates are judged in one order.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "endgame/geometry.h"
#include "model/line_placement.h"
#include "safe_openings.h"
#include "search/keys.h"
#include "search/random15.h"
#include "strong/compact_position.h"
#include "strong/strong_player.h"

namespace {

struct Options {
    int count = 80;
    uint64_t seed = 1;
    int min_lines = 6, max_lines = 12;
    long long nodes = 20000;
    int margin = 1;
    int tries = 2000; // candidates judged at most
};

const char* const USAGE =
    "usage: dab-make-openings [--count N] [--seed S] [--min-lines A] [--max-lines B]\n"
    "                         [--nodes K] [--margin M] [--tries T] > FILE\n"
    "  --count N      openings to write (default 80)\n"
    "  --seed S       seed of the random lines (default 1)\n"
    "  --min-lines A, --max-lines B  safe lines per opening (default 6 to 12)\n"
    "  --nodes K      the strong player's node limit per line in the judging game (default "
    "20000)\n"
    "  --margin M     largest final margin in boxes of a balanced opening (default 1)\n"
    "  --tries T      candidates judged at most (default 2000)\n";

bool read_number(const char* text, long long lo, long long hi, long long& out) {
    char* end = nullptr;
    out = std::strtoll(text, &end, 10);
    return end != text && *end == '\0' && out >= lo && out <= hi;
}

// Sets the engine's position to the drawn lines, the engine to move. Who took the boxes
// already closed does not matter: the strong player values what is left.
void set_engine_position(uint64_t drawn) {
    init_board();
    init_keys();
    seed15(1);
    engine_first = 1;
    engine_second = 0;
    for (int line = 0; line < strong::LINES; ++line) {
        if (!(drawn >> line & 1)) continue;
        place_line(OPPONENT, strong::move_of_line(line));
        round1 += 1;
    }
}

// The strong player against itself from the position to the end: the margin of the side
// to move.
int self_play_margin(uint64_t drawn, long long nodes) {
    SearchLimits limits;
    limits.node_limit = nodes;
    int margin = 0, sign = 1; // sign: +1 while the first side is to move
    while (drawn != strong::ALL_LINES) {
        set_engine_position(drawn);
        const int line = strong::line_of_move(strong::choose_strong_move(limits));
        const int taken = strong::boxes_completed(drawn, line);
        drawn |= uint64_t{1} << line;
        margin += sign * taken;
        if (taken == 0) sign = -sign;
    }
    return margin;
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
            o.seed = static_cast<uint64_t>(v);
        else if (a == "--min-lines" && take(1, 30))
            o.min_lines = static_cast<int>(v);
        else if (a == "--max-lines" && take(1, 30))
            o.max_lines = static_cast<int>(v);
        else if (a == "--nodes" && take(100, 100000000))
            o.nodes = v;
        else if (a == "--margin" && take(1, 25))
            o.margin = static_cast<int>(v);
        else if (a == "--tries" && take(1, 1000000))
            o.tries = static_cast<int>(v);
        else {
            std::fputs(a == "--help" || a == "-h" ? "" : "dab-make-openings: bad option\n", stderr);
            std::fputs(USAGE, a == "--help" || a == "-h" ? stdout : stderr);
            return a == "--help" || a == "-h" ? 0 : 2;
        }
    }
    if (o.min_lines > o.max_lines) {
        std::fputs("dab-make-openings: --min-lines above --max-lines\n", stderr);
        return 2;
    }

    std::printf("# Balanced openings for Dots and Boxes on 6 x 6 dots: one per line, the line "
                "codes in the order drawn.\n"
                "# Made by: dab-make-openings --count %d --seed %llu --min-lines %d "
                "--max-lines %d --nodes %lld --margin %d --tries %d\n"
                "# Each is %d to %d safe lines drawn at random (none completes a box or gives "
                "a box its third side),\n"
                "# no two the same under the board's eight symmetries. Balanced: the strong "
                "player, playing both\n"
                "# sides from the opening with %lld nodes per line, ends the game within %d "
                "box%s.\n",
                o.count, static_cast<unsigned long long>(o.seed), o.min_lines, o.max_lines, o.nodes,
                o.margin, o.tries, o.min_lines, o.max_lines, o.nodes, o.margin,
                o.margin == 1 ? " (13-12 either way)" : "es");

    std::mt19937_64 rng(o.seed);
    std::set<uint64_t> seen;
    int written = 0, tried = 0;
    while (written < o.count && tried < o.tries) {
        const int lines =
            o.min_lines +
            static_cast<int>(rng() % static_cast<uint64_t>(o.max_lines - o.min_lines + 1));
        const std::vector<std::string> moves = dabtools::random_opening(lines, rng());
        uint64_t drawn = 0;
        for (int line : dabtools::opening_lines(moves)) drawn |= uint64_t{1} << line;
        int sym = 0;
        if (!seen.insert(strong::canonical(drawn, sym)).second) continue;
        ++tried;
        // The first side's view: it moves next after an even number of lines.
        int margin = self_play_margin(drawn, o.nodes);
        if (moves.size() % 2 == 1) margin = -margin;
        std::string why;
        if (std::abs(margin) > o.margin || !dabtools::check_opening(moves, why)) continue;
        std::string line;
        for (const std::string& code : moves) line += (line.empty() ? "" : " ") + code;
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
        ++written;
        std::fprintf(stderr, "\r%d of %d written, %d judged", written, o.count, tried);
    }
    std::fprintf(stderr, "\n");
    if (written < o.count) {
        std::fprintf(stderr, "dab-make-openings: only %d balanced openings in %d tries\n", written,
                     tried);
        return 1;
    }
    return 0;
}
