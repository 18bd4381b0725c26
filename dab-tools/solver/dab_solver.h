// An exact Dots and Boxes solver for judging engines: alpha-beta with a memo of bounds over
// the set of drawn lines, on the referee's board numbering (bit i of a mask is line i of
// dab_board.h). Deliberately plain: every undrawn line is tried, except that a box whose
// last line gives no other box a third side is taken at once (Exact::pure turns that off
// too, for checking the rule itself on small positions).
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace dabtools {

class ExactSolver {
  public:
    explicit ExactSolver(bool pure = false) : pure_(pure) {}

    // Best margin of the boxes not yet taken for the player to move.
    int value(uint64_t drawn);
    // Margin of the remaining boxes the mover gets from drawing line first (its own boxes
    // from the line plus what follows).
    int value_of_line(uint64_t drawn, int line);
    // Every line that reaches value(drawn).
    std::vector<int> best_lines(uint64_t drawn);

    size_t memo_size() const { return memo_.size(); }
    void clear() { memo_.clear(); }

  private:
    struct Bounds {
        int8_t lower, upper;
    };
    int search(uint64_t drawn, int alpha, int beta);
    bool pure_;
    std::unordered_map<uint64_t, Bounds> memo_;
};

// Boxes the line completes on the board given by the mask.
int boxes_completed_by(uint64_t drawn, int line);

} // namespace dabtools
