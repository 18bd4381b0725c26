// Iterative-deepening negamax alpha-beta with principal-variation search, a transposition
// table, move ordering, a capture-only quiescence search and repetition handling.
#ifndef ORBELLO_ENGINE_SEARCH_SEARCH_H
#define ORBELLO_ENGINE_SEARCH_SEARCH_H

#include "board/bitboard.h"
#include "search/evaluation.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace orbello_engine {

constexpr int WIN = 30000;
constexpr int WIN_BOUND = WIN - 1000; // values beyond this are wins or losses in N plies
constexpr int MAX_PLY = 128;

struct SearchLimits {
    int maxDepth = 64;
    int moveTimeMs = 1000; // 0: no clock
};

struct SearchResult {
    Move best = NO_MOVE;
    int score = 0;
    int depth = 0; // last depth completed
    std::uint64_t nodes = 0;
    double seconds = 0;
};

class Searcher {
  public:
    explicit Searcher(int tableBits = 20);

    // Forgets killers and history (a new game). Table entries stay: a stored value belongs to
    // its position whatever game it came from, and wiping 16 MB would eat the first move's
    // time.
    void NewGame();
    // history: keys of the game's earlier positions, oldest first, for repetitions; root
    // moves listed in excluded are not played (moves the host refused).
    SearchResult Search(const Position& root, const std::vector<std::uint64_t>& history,
                        const SearchLimits& limits, const std::vector<Move>& excluded = {},
                        std::uint32_t seed = 0);

  private:
    struct Entry {
        std::uint64_t key;
        Move move;
        std::int16_t score;
        std::int8_t depth;
        std::uint8_t bound;
    };

    int Negamax(const Position& p, int depth, int alpha, int beta, int ply, bool pvNode);
    int Quiesce(const Position& p, int alpha, int beta, int ply);
    bool Repeated() const;
    void OrderMoves(const Position& p, Move* moves, int n, Move tableMove, int ply);
    bool TimeUp();

    struct FreeTable {
        void operator()(Entry* e) const { std::free(e); }
    };
    // Zeroed pages from the system, touched only as the search reaches them: a 16 MB table
    // filled at start-up would delay the first reply of a freshly started engine.
    std::unique_ptr<Entry[], FreeTable> table_;
    std::uint64_t tableMask_;
    Move killers_[MAX_PLY][2];
    int history_[2][SQUARES][SQUARES];
    // Keys of the game so far and of the current search path; pathStart_ is the root's index.
    std::vector<std::uint64_t> keys_;
    int pathStart_ = 0;
    int lastIrreversible_ = 0; // index in keys_ of the last position after a capture
    std::vector<int> irreversible_;
    std::uint64_t nodes_ = 0;
    bool stopped_ = false;
    bool timed_ = false;
    std::chrono::steady_clock::time_point deadline_;
};

} // namespace orbello_engine

#endif
