// The reference opponents' choice of a line, on the tools' plain board. The engine is
// player 1 on that board, its opponent player 2.
#pragma once

#include "dab_board.h"

#include <cstdint>
#include <random>
#include <string>

namespace dabtools {

enum class Kind { Random, Greedy, Chain };

bool parse_kind(const std::string& word, Kind& kind);

class Strategy {
  public:
    Strategy(Kind kind, uint32_t seed) : kind_(kind), rng_(seed) {}
    // we_opened: this player drew the game's first line (the chain rule's parity needs it).
    int choose(const Board& board, bool we_opened);

  private:
    int pick(const std::vector<int>& lines);
    int choose_chain(const Board& board, bool we_opened);

    Kind kind_;
    std::mt19937 rng_;
};

// Lines that complete a box.
std::vector<int> completing_lines(const Board& board);
// Undrawn lines that give no box its third side.
std::vector<int> safe_lines(const Board& board);
// Boxes the other side takes after this line if it takes every box it can.
int boxes_given(const Board& board, int line);
// Chains of three or more boxes that already have exactly two sides drawn.
int long_chains(const Board& board);

} // namespace dabtools
