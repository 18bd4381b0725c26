#include "dab_solver.h"

#include <algorithm>

#include "dab_board.h"

namespace dabtools {
namespace {

constexpr uint64_t FULL = (uint64_t{1} << LINES) - 1;

int sides_of(uint64_t drawn, int box) {
    int n = 0;
    for (int s : Board::sides(box)) n += static_cast<int>(drawn >> s & 1);
    return n;
}

} // namespace

int boxes_completed_by(uint64_t drawn, int line) {
    int n = 0;
    for (int box : Board::boxes_of(line))
        if (box >= 0 && sides_of(drawn, box) == 3) ++n;
    return n;
}

int ExactSolver::search(uint64_t drawn, int alpha, int beta) {
    if (drawn == FULL) return 0;
    int left = 0;
    for (int box = 0; box < BOXES; ++box) left += sides_of(drawn, box) < 4;
    auto it = memo_.find(drawn);
    int lower = -left, upper = left;
    if (it != memo_.end()) {
        lower = it->second.lower;
        upper = it->second.upper;
    }
    if (lower >= beta || lower == upper) return lower;
    if (upper <= alpha) return upper;
    alpha = std::max(alpha, lower);
    beta = std::min(beta, upper);
    const int alpha0 = alpha;

    std::vector<int> lines;
    if (!pure_) {
        for (int box = 0; box < BOXES && lines.empty(); ++box) {
            if (sides_of(drawn, box) != 3) continue;
            for (int s : Board::sides(box)) {
                if (drawn >> s & 1) continue;
                bool gives_third = false;
                for (int other : Board::boxes_of(s))
                    if (other >= 0 && other != box && sides_of(drawn, other) == 2)
                        gives_third = true;
                if (!gives_third) lines.push_back(s);
            }
        }
    }
    if (lines.empty()) {
        // Every undrawn line; the ones that take boxes first, then those that give the
        // fewest third sides, so the bounds close early.
        for (int line = 0; line < LINES; ++line)
            if (!(drawn >> line & 1)) lines.push_back(line);
        auto rank = [drawn](int line) {
            int most = 0;
            for (int box : Board::boxes_of(line))
                if (box >= 0) most = std::max(most, sides_of(drawn, box));
            return most == 3 ? -1 : most;
        };
        std::stable_sort(lines.begin(), lines.end(),
                         [&](int x, int y) { return rank(x) < rank(y); });
    }

    int best = -BOXES - 1;
    for (int line : lines) {
        int taken = boxes_completed_by(drawn, line);
        uint64_t next = drawn | uint64_t{1} << line;
        int v = taken > 0 ? taken + search(next, alpha - taken, beta - taken)
                          : -search(next, -beta, -alpha);
        best = std::max(best, v);
        alpha = std::max(alpha, v);
        if (alpha >= beta) break;
    }
    if (best >= beta)
        lower = best;
    else if (best <= alpha0)
        upper = best;
    else
        lower = upper = best;
    memo_[drawn] = Bounds{static_cast<int8_t>(lower), static_cast<int8_t>(upper)};
    return best;
}

int ExactSolver::value(uint64_t drawn) {
    return search(drawn, -BOXES - 1, BOXES + 1);
}

int ExactSolver::value_of_line(uint64_t drawn, int line) {
    int taken = boxes_completed_by(drawn, line);
    uint64_t next = drawn | uint64_t{1} << line;
    return taken > 0 ? taken + value(next) : -value(next);
}

std::vector<int> ExactSolver::best_lines(uint64_t drawn) {
    std::vector<int> best;
    int v = value(drawn);
    for (int line = 0; line < LINES; ++line)
        if (!(drawn >> line & 1) && value_of_line(drawn, line) == v) best.push_back(line);
    return best;
}

} // namespace dabtools
