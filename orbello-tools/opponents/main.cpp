// orbello-opponent random|greedy: reference opponents speaking the Orbello engine protocol.
//   random: any legal move.
//   greedy: the capture that takes the most valuable piece (one that attacks the most of
//           ours), else a step after which none of our pieces can be captured, else random.
#include "board/bitboard.h"
#include "protocol/session.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace orbello_engine;

class Opponent : public Player {
  public:
    Opponent(bool greedy, std::uint32_t seed) : greedy_(greedy), rng_(seed) {}

    Move Choose(const Position& p, const std::vector<std::uint64_t>&,
                const std::vector<Move>& excluded) override {
        Move all[MAX_MOVES];
        const int count = GenerateMoves(p, all);
        std::vector<Move> moves;
        for (int i = 0; i < count; ++i)
            if (std::find(excluded.begin(), excluded.end(), all[i]) == excluded.end())
                moves.push_back(all[i]);
        if (moves.empty()) moves.assign(all, all + count);
        if (greedy_) {
            std::vector<Move> best;
            int bestValue = -1;
            for (Move m : moves) {
                if (!IsCapture(m)) continue;
                const int value = PopCount(LoopReach(p, MoveTo(m)) & p.pieces[p.side]);
                if (value > bestValue) best.clear();
                if (value >= bestValue) {
                    bestValue = value;
                    best.push_back(m);
                }
            }
            if (best.empty()) {
                for (Move m : moves) {
                    Move replies[MAX_MOVES];
                    if (GenerateMoves(MakeMoveOn(p, m), replies, true) == 0) best.push_back(m);
                }
            }
            if (!best.empty()) return Pick(best);
        }
        return Pick(moves);
    }

  private:
    Move Pick(const std::vector<Move>& moves) {
        return moves[std::uniform_int_distribution<std::size_t>(0, moves.size() - 1)(rng_)];
    }

    bool greedy_;
    std::mt19937 rng_;
};

} // namespace

int main(int argc, char** argv) {
    const std::string kind = argc > 1 ? argv[1] : "";
    if (kind != "random" && kind != "greedy") {
        std::cerr << "usage: orbello-opponent random|greedy [--seed N] [--base-x C] [--base-y C]\n";
        return 2;
    }
    SessionOptions options;
    options.name = kind;
    options.program = "orbello-opponent";
    std::uint32_t seed = static_cast<std::uint32_t>(
        std::chrono::system_clock::now().time_since_epoch().count() % 1000000007);
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--seed" && i + 1 < argc) {
            seed = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (!ParseBaseOption(argc, argv, i, options)) {
            std::cerr << "orbello-opponent: bad argument \"" << a << "\"\n";
            return 2;
        }
    }
    Opponent player(kind == "greedy", seed);
    return RunSession(std::cin, std::cout, std::cerr, player, options);
}
