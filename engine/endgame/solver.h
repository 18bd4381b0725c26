// Exact solver of a position given as a 60-bit line mask: the best margin of the boxes not
// yet taken for the side to move, by alpha-beta over lines with a two-bound table keyed by
// the canonical form under the board's symmetries. Lines that cannot change the result are
// not tried: while a box can be taken, only the take and the hand-back of the last two
// boxes; one line for each chain or loop that touches nothing else.
#pragma once

#include <cstdint>
#include <vector>

#include "endgame/geometry.h"

namespace strong {

struct SolveResult {
    bool solved = false; // false when stopped by the node or time limit
    int value = 0;       // margin of the untaken boxes for the side to move
    int line = -1;       // a line reaching it; -1 when no line is left
};

class EndgameSolver {
  public:
    // A table of 2^table_bits entries, kept across solves: entries are proven bounds of
    // positions, true in any game.
    explicit EndgameSolver(int table_bits = 22);

    // Stops once this many nodes have been searched in this call (0: no limit) or the
    // steady clock passes deadline_ms (0: none; see now_ms).
    SolveResult solve(uint64_t drawn, long long node_limit = 0, long long deadline_ms = 0);

    // The value if it lies inside (alpha, beta), else a bound on the side it fell; false
    // when stopped by the node limit or the deadline (0: none).
    bool bounded(uint64_t drawn, int alpha, int beta, long long node_limit, long long deadline_ms,
                 int& value);

    long long nodes() const { return nodes_; }
    void clear();

    // The candidate lines the search tries, in order; public for tests and the bench.
    static int candidates(uint64_t drawn, int* out, int table_line = -1);

  private:
    struct Entry {
        uint64_t key = 0; // canonical mask with bit 63 set; 0 for empty
        int8_t lower = 0, upper = 0;
        int8_t line = -1; // best line in the canonical orientation
    };
    int search(uint64_t drawn, int alpha, int beta);
    bool out_of_budget();

    std::vector<Entry> table_;
    uint64_t mask_;
    long long nodes_ = 0;
    long long node_limit_ = 0;
    long long deadline_ms_ = 0;
    bool stopped_ = false;
};

// Milliseconds of the steady clock, for deadlines.
long long now_ms();

} // namespace strong
