#include "strong_middle.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "dab_board.h"
#include "endgame/budget_clock.h"
#include "endgame/geometry.h"
#include "endgame/solver.h"
#include "strong/compact_position.h"
#include "strong/strong_player.h"
#include "strong_bench_support.h"

using namespace strongbench;

namespace {

struct Answer {
    bool solved = false;
    int value = 0;
    uint64_t best = 0; // the lines that reach the value
};

std::string codes_of(uint64_t lines) {
    std::string s;
    for (int l = 0; l < strong::LINES; ++l)
        if (lines >> l & 1) s += dabtools::line_code(l);
    return s.empty() ? "-" : s;
}

uint64_t lines_of(const std::string& codes) {
    uint64_t lines = 0;
    for (size_t i = 0; i + 3 <= codes.size(); i += 3) {
        const int l = dabtools::parse_line_code(codes.c_str() + i);
        if (l >= 0) lines |= uint64_t{1} << l;
    }
    return lines;
}

// The value and every line that reaches it, each line's test a search at a window of one
// on the table the value's solve has filled.
Answer solve_offline(strong::EndgameSolver& solver, uint64_t drawn, long long deadline) {
    Answer a;
    const strong::SolveResult r = solver.solve(drawn, 0, deadline);
    if (!r.solved) return a;
    a.value = r.value;
    for (int line = 0; line < strong::LINES; ++line) {
        if (drawn >> line & 1) continue;
        const int taken = strong::boxes_completed(drawn, line);
        const uint64_t next = drawn | uint64_t{1} << line;
        int v = 0;
        const bool done =
            taken > 0 ? solver.bounded(next, a.value - taken - 1, a.value - taken, 0, deadline, v)
                      : solver.bounded(next, -a.value, -a.value + 1, 0, deadline, v);
        if (!done) return Answer{};
        v = taken > 0 ? taken + v : -v;
        if (v >= a.value) a.best |= uint64_t{1} << line;
    }
    a.solved = true;
    return a;
}

} // namespace

int run_middle(const MiddleOptions& o) {
    strong::use_thread_cpu_clock(o.cpu_time);
    std::mt19937 rng(o.seed);
    std::vector<uint64_t> positions;
    for (int i = 0; i < o.positions; ++i) {
        const int lines = 40 + 2 * draw(rng, 3);
        uint64_t drawn;
        do drawn = random_position(rng, lines);
        while (strong::safe_line_count(drawn) == 0);
        positions.push_back(drawn);
    }

    // Answers already in the file are read (they must be of the same positions); the
    // positions after them are solved and their answers added to it.
    std::vector<Answer> answers(positions.size());
    size_t known = 0;
    if (!o.answers.empty()) {
        std::ifstream in(o.answers);
        std::string text;
        while (known < positions.size() && std::getline(in, text)) {
            std::istringstream line(text);
            std::string drawn, word, best;
            line >> drawn >> word;
            if (lines_of(drawn) != positions[known]) {
                std::fprintf(stderr, "vantry-bench: %s holds other positions (line %zu)\n",
                             o.answers.c_str(), known + 1);
                return 2;
            }
            Answer& a = answers[known++];
            if (word != "value") continue; // not solved when it was made
            line >> a.value >> word >> best;
            a.best = lines_of(best);
            a.solved = true;
        }
    }
    if (known < positions.size()) {
        strong::EndgameSolver exact; // its table kept: every entry is a fact
        std::ofstream out;
        if (!o.answers.empty()) out.open(o.answers, std::ios::app);
        for (size_t i = known; i < positions.size(); ++i) {
            Stopwatch watch;
            answers[i] = solve_offline(exact, positions[i], strong::now_ms() + o.long_ms);
            std::printf("offline %2zu  undrawn %d  %s  %.1f s\n", i, undrawn_count(positions[i]),
                        answers[i].solved ? "solved" : "not solved",
                        (o.cpu_time ? watch.cpu_ms() : watch.wall_ms()) / 1000);
            std::fflush(stdout);
            if (!out.is_open()) continue;
            out << codes_of(positions[i]);
            if (answers[i].solved)
                out << " value " << answers[i].value << " best " << codes_of(answers[i].best);
            out << "\n" << std::flush;
        }
        if (!o.answers.empty() && !out) {
            std::fprintf(stderr, "vantry-bench: cannot write %s\n", o.answers.c_str());
            return 2;
        }
    }

    int judged = 0, optimal = 0, proven = 0;
    double spent_total = 0;
    for (size_t i = 0; i < positions.size(); ++i) {
        strong::reset_strong_player(); // each position as the first line of a program
        set_engine_position(positions[i]);
        SearchLimits limits;
        limits.budget_ms = o.budget_ms;
        Stopwatch watch;
        const int line = strong::line_of_move(strong::choose_strong_move(limits));
        const double spent = o.cpu_time ? watch.cpu_ms() : watch.wall_ms();
        spent_total += spent;
        const Answer& a = answers[i];
        const bool best = a.solved && (a.best >> line & 1);
        judged += a.solved;
        optimal += best;
        proven += strong::strong_stats.exact;
        std::printf("position %2zu  undrawn %d  line %s  %s  %s  %.0f ms\n", i,
                    undrawn_count(positions[i]), dabtools::line_code(line).c_str(),
                    !a.solved ? "not judged"
                    : best    ? "optimal"
                              : "not optimal",
                    strong::strong_stats.exact ? "proven" : "middle game", spent);
        std::fflush(stdout);
    }
    std::printf("first line optimal in %d of %d judged positions (%d proven by the player); "
                "player mean %.0f ms of %s\n",
                optimal, judged, proven,
                positions.empty() ? 0.0 : spent_total / static_cast<double>(positions.size()),
                o.cpu_time ? "cpu" : "wall");
    return 0;
}
