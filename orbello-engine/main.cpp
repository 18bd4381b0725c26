// orbello-engine: plays Orbello over the engine protocol on its standard streams (see the
// README's "Orbello engine protocol").
#include "protocol/session.h"
#include "search/levels.h"
#include "search/search.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace {

using namespace orbello_engine;

class EnginePlayer : public Player {
  public:
    EnginePlayer(const SearchLimits& limits, std::uint32_t seed, bool verbose, int level)
        : limits_(limits), seed_(seed), verbose_(verbose), level_(level), random_(seed) {}
    void NewGame() override { searcher_.NewGame(); }
    Move Choose(const Position& p, const std::vector<std::uint64_t>& history,
                const std::vector<Move>& excluded) override {
        if (level_ < TOP_LEVEL) {
            const Move m = PickMove(ValueMoves(searcher_, p, history, excluded,
                                               SettingsOfLevel(level_), limits_.moveTimeMs),
                                    SettingsOfLevel(level_).temperature, random_);
            // Every move refused: the first refused one is still better than silence.
            return m != NO_MOVE ? m : excluded.front();
        }
        const SearchResult r = searcher_.Search(p, history, limits_, excluded, seed_++);
        if (verbose_) {
            std::cerr << "orbello-engine: depth " << r.depth << " score " << r.score << " nodes "
                      << r.nodes << " time " << static_cast<int>(r.seconds * 1000) << " ms"
                      << std::endl;
        }
        return r.best;
    }

  private:
    Searcher searcher_;
    SearchLimits limits_;
    std::uint32_t seed_;
    bool verbose_;
    int level_;
    LevelRandom random_;
};

const char* const USAGE =
    "usage: orbello-engine [--movetime MS] [--depth N] [--level N] [--seed N] [--base-x C]\n"
    "                      [--base-y C] [--verbose]\n"
    "  --movetime MS  thinking time per move (default 1000; 0: no clock, needs --depth)\n"
    "  --depth N      deepest iteration (default: as deep as the time allows)\n"
    "  --level N      1..5: strength for people, 5 (the default) is full strength; levels\n"
    "                 1..4 search each move to a fixed depth, within --movetime\n"
    "  --seed N       tie-break between equal moves and the levels' draws (default: clock)\n"
    "  --base-x C, --base-y C  characters of column 0 and row 0 in move text (default A)\n"
    "  --verbose      a line per move on standard error: depth, score, nodes, time\n";

// 64-bit on every platform: a seed reaches 2^32 - 1, past a Windows long.
bool ReadInt(const char* text, long long lo, long long hi, long long& out) {
    char* end = nullptr;
    out = std::strtoll(text, &end, 10);
    return end != text && *end == '\0' && out >= lo && out <= hi;
}

} // namespace

int main(int argc, char** argv) {
    SearchLimits limits;
    SessionOptions options;
    std::uint32_t seed = static_cast<std::uint32_t>(
        std::chrono::system_clock::now().time_since_epoch().count() % 1000000007);
    bool verbose = false, depthGiven = false;
    int level = TOP_LEVEL;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        long long v = 0;
        if (a == "--movetime" && i + 1 < argc && ReadInt(argv[i + 1], 0, 3600000, v)) {
            limits.moveTimeMs = static_cast<int>(v);
            ++i;
        } else if (a == "--depth" && i + 1 < argc && ReadInt(argv[i + 1], 1, 100, v)) {
            limits.maxDepth = static_cast<int>(v);
            depthGiven = true;
            ++i;
        } else if (a == "--seed" && i + 1 < argc && ReadInt(argv[i + 1], 0, 4294967295LL, v)) {
            seed = static_cast<std::uint32_t>(v);
            ++i;
        } else if (a == "--level" && i + 1 < argc &&
                   ReadInt(argv[i + 1], LOWEST_LEVEL, TOP_LEVEL, v)) {
            level = static_cast<int>(v);
            ++i;
        } else if (a == "--verbose") {
            verbose = true;
        } else if (ParseBaseOption(argc, argv, i, options)) {
        } else if (a == "--help" || a == "-h") {
            std::cout << USAGE;
            return 0;
        } else {
            std::cerr << "orbello-engine: bad argument \"" << a << "\"\n" << USAGE;
            return 2;
        }
    }
    if (limits.moveTimeMs == 0 && !depthGiven) {
        std::cerr << "orbello-engine: --movetime 0 needs --depth\n";
        return 2;
    }
    std::ios::sync_with_stdio(false);
    EnginePlayer player(limits, seed, verbose, level);
    return RunSession(std::cin, std::cout, std::cerr, player, options);
}
