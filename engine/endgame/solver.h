// Exact solver of a position given as a 60-bit line mask: the best margin of the boxes not
// yet taken for the side to move, by null-window alpha-beta over lines (the root converges
// on the value by tests "at least t?") with a two-bound table keyed by the canonical form
// under the board's symmetries. Lines that cannot change the result are not tried, boxes
// that are always right to take are taken without a search, and endgames of independent
// chains and loops are valued by a recursion over their sizes (solver.cpp says why each
// shortcut keeps the value exact).
#pragma once

#include <cstddef>
#include <cstdint>

#include "endgame/box_sets.h"
#include "endgame/budget_clock.h"
#include "endgame/geometry.h"
#include "endgame/table_memory.h"

namespace strong {

struct SolveResult {
    bool solved = false; // false when stopped by the node or time limit
    int value = 0;       // margin of the untaken boxes for the side to move
    int line = -1;       // a line reaching it; -1 when no line is left
    // What is proven even when stopped: the value lies in [lower, upper], and lower_line
    // (-1 when not known) reaches at least lower.
    int lower = -BOXES, upper = BOXES;
    int lower_line = -1;
};

class EndgameSolver {
  public:
    // A table of 2^table_bits entries of 8 bytes (2^21 at least), kept across solves:
    // entries are proven bounds of positions, true in any game.
    explicit EndgameSolver(int table_bits = 23);

    // Stops once this many nodes have been searched in this call (0: no limit) or the
    // deadline clock passes deadline_ms (0: none; see now_ms).
    SolveResult solve(uint64_t drawn, long long node_limit = 0, long long deadline_ms = 0);

    // The value if it lies inside (alpha, beta), else a bound on the side it fell; false
    // when stopped by the node limit or the deadline (0: none).
    bool bounded(uint64_t drawn, int alpha, int beta, long long node_limit, long long deadline_ms,
                 int& value);

    long long nodes() const { return nodes_; }
    void clear();
    size_t table_bytes() const { return table_.size() * sizeof(uint64_t); }

    // The candidate lines the search tries at drawn, in order (a box that is always right
    // to take alone when there is one); public for tests and the middle game.
    static int candidates(uint64_t drawn, int* out, int table_line = -1);

  private:
    int search(uint64_t drawn, int alpha, int beta);
    bool out_of_budget();
    void start(uint64_t drawn, long long node_limit, long long deadline_ms);
    // A line whose value is at least value, or -1 (none, or stopped).
    int line_reaching(uint64_t drawn, int value);
    // Table: the entry of key (a canonical mask) or nullptr; store merges bounds.
    uint64_t* probe(uint64_t key);
    void prefetch(uint64_t key) const;
    // The table key of a position: its least image under the symmetries that map the
    // root of the search onto itself (only those can make two positions of the search
    // alike; with the others the images are rarely met and cost time at every node).
    uint64_t key_of(uint64_t drawn, int& sym) const;
    void store(uint64_t key, uint64_t* hit, int lower, int upper, int line, int undrawn);

    TableMemory table_; // buckets of two entries
    int symmetries_[SYMMETRIES];
    int symmetry_count_ = 1;
    int bucket_bits_;
    uint64_t bucket_mask_;
    int root_undrawn_ = 60;
    long long nodes_ = 0;
    long long node_limit_ = 0;
    long long deadline_ms_ = 0;
    bool stopped_ = false;
};

} // namespace strong
