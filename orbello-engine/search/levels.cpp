#include "search/levels.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>

namespace orbello_engine {

namespace {

// Level 1 values a move by the position it leaves and often misjudges it; each level above
// searches one ply deeper and strays less. Tuned so that each beats the one below and level
// 1 loses more often than not to the greedy reference opponent (the README's ladder).
const LevelSettings LEVELS[TOP_LEVEL - 1] = {
    {1, 20},
    {2, 28},
    {3, 25},
    {4, 15},
};

} // namespace

std::uint64_t LevelRandom::Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

const LevelSettings& SettingsOfLevel(int level) {
    return LEVELS[std::min(std::max(level, LOWEST_LEVEL), TOP_LEVEL - 1) - 1];
}

std::vector<ValuedMove> ValueMoves(Searcher& searcher, const Position& root,
                                   const std::vector<std::uint64_t>& history,
                                   const std::vector<Move>& excluded, const LevelSettings& settings,
                                   int moveTimeMs) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(moveTimeMs);
    Move moves[MAX_MOVES];
    const int n = GenerateMoves(root, moves);
    std::vector<ValuedMove> valued;
    std::vector<Position> children;
    std::vector<std::vector<std::uint64_t>> keys;
    std::vector<bool> decided; // the value holds at any depth
    for (int i = 0; i < n; ++i) {
        const Move m = moves[i];
        if (std::find(excluded.begin(), excluded.end(), m) != excluded.end()) continue;
        const Position child = MakeMoveOn(root, m);
        std::vector<std::uint64_t> k;
        if (!IsCapture(m)) {
            k = history;
            k.push_back(root.key);
        }
        int value = -Evaluate(child);
        bool known = true;
        if (child.pieces[child.side] == 0)
            value = WIN; // the last piece taken
        else if (std::find(k.begin(), k.end(), child.key) != k.end())
            value = 0; // a position seen before: a standstill, as the search values it
        else
            known = false;
        valued.push_back(ValuedMove{m, value});
        children.push_back(child);
        keys.push_back(k);
        decided.push_back(known);
    }
    for (int depth = 1; depth < settings.depth; ++depth) {
        std::vector<ValuedMove> deeper = valued;
        for (std::size_t i = 0; i < deeper.size(); ++i) {
            if (decided[i]) continue;
            SearchLimits limits;
            limits.maxDepth = depth;
            limits.moveTimeMs = 0;
            if (moveTimeMs > 0) {
                const auto left =
                    std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())
                        .count();
                if (left <= 0) return valued;
                limits.moveTimeMs = static_cast<int>(left);
            }
            const SearchResult r = searcher.Search(children[i], keys[i], limits);
            if (r.best == NO_MOVE)
                deeper[i].value = 0; // no move there: the game stalls
            else if (r.depth < depth)
                return valued; // cut short by the clock
            else
                deeper[i].value = -r.score;
        }
        valued = deeper;
    }
    return valued;
}

Move PickMove(const std::vector<ValuedMove>& moves, double temperature, LevelRandom& random) {
    if (moves.empty()) return NO_MOVE;
    std::vector<int> values;
    for (const ValuedMove& v : moves)
        if (std::find(values.begin(), values.end(), v.value) == values.end())
            values.push_back(v.value);
    const int best = *std::max_element(values.begin(), values.end());
    std::vector<double> weight;
    double total = 0;
    for (int v : values) {
        weight.push_back(std::exp((v - best) / temperature));
        total += weight.back();
    }
    double x = random.Unit() * total;
    std::size_t chosen = 0;
    while (chosen + 1 < values.size() && x >= weight[chosen]) x -= weight[chosen++];
    std::vector<Move> tied;
    for (const ValuedMove& v : moves)
        if (v.value == values[chosen]) tied.push_back(v.move);
    return tied[static_cast<std::size_t>(random.Next() % tied.size())];
}

} // namespace orbello_engine
