// Static values built on the chain census: won boxes with fixed weights, free captures for
// the side to move, and a control term for the side that the parity of the long chains
// favours, given who opened the game.
#include "search/evaluation.h"

#include "model/box_sets.h"
#include "model/position.h"

#include <cstdint>

namespace {

// Every value of an undecided game lies near BASE, far from the clock-out value SCORE_INF.
constexpr int BASE = 7500;
// Won boxes: the engine's weigh more than the opponent's, so of two lines with the same
// margin the search prefers the one that wins boxes. A decided game counts the
// opponent's lighter still.
constexpr int ENGINE_BOX = 7;
constexpr int OPPONENT_BOX = 6;
constexpr int OPPONENT_BOX_DECIDED = 5;
// The control term: who the long chains' parity favours, given who opened, gains a
// fixed CONTROL plus the chain contact, less the junctions that can still change it.
constexpr int CONTROL = 6;
constexpr int CHAIN_CONTACT = 3;
constexpr int JUNCTION = 6;

// The boxes beside any box of a set, whether a line is drawn between them or not: the set
// shifted one column either way (not across a row's end) and one row either way.
constexpr uint32_t FIRST_COLUMN = 0x0108421; // boxes (r, 0)
constexpr uint32_t LAST_COLUMN = FIRST_COLUMN << (BOARD_COLS - 1);

inline uint32_t beside(uint32_t set) {
    return (((set & ~LAST_COLUMN) << 1) | ((set & ~FIRST_COLUMN) >> 1) | (set << BOARD_COLS) |
            (set >> BOARD_COLS)) &
           ALL_BOXES;
}

inline int popcount25(uint32_t m) {
    int n = 0;
    for (; m != 0; m &= m - 1) ++n;
    return n;
}

inline int lowest_bit(uint32_t m) {
    return __builtin_ctz(m);
}

} // namespace

int decided_value(int side) {
    const int w = BASE - OPPONENT_BOX_DECIDED * score_opponent + ENGINE_BOX * score_engine;
    return side == ENGINE ? w : -w;
}

int evaluate(int side, int few_moves) {
    if (few_moves == 1) return decided_value(side);

    const uint32_t chain_boxes = box_sets.of_type[TYPE_CHAIN];
    int chain_contact = popcount25(chain_boxes);
    int junction_balance = census.chain_count;
    // Only a free box (no structure, at most one side) beside a chain box can touch a chain
    // through a link; most free boxes have none beside them, and are passed over without
    // reading their links.
    const uint32_t free_boxes_set = box_sets.of_type[TYPE_NONE] & box_sets.few_sides;
    for (uint32_t rest = free_boxes_set & beside(chain_boxes); rest != 0; rest &= rest - 1) {
        const Box& x = *box_at(lowest_bit(rest));
        // How it touches long chains, counted without a branch per link: whether a
        // neighbour is a chain box is as good as random, and this runs at every leaf.
        const Box* chain_links[4];
        int k = 0;
        for (int i = 0; i < x.link_count; ++i) {
            const Box* l = x.links[i];
            chain_links[k] = l;
            k += l->chain_type == TYPE_CHAIN;
        }
        if (k == 0) continue;
        chain_contact += 1;
        if (k == 1) continue;
        bool same_chain = false;
        for (int i = 0; i < k && !same_chain; ++i)
            for (int j = i + 1; j < k; ++j)
                if (chain_links[i]->chain_id == chain_links[j]->chain_id) same_chain = true;
        junction_balance += same_chain ? 1 : -1;
    }

    // Truncating remainder: an odd negative sum gives -1 and does not count as odd.
    const bool odd = (junction_balance + census.double_cross_count) % 2 == 1;
    const bool matched = odd == (engine_second != 0);
    const int control = CONTROL + CHAIN_CONTACT * chain_contact - JUNCTION * junction_balance;
    // The boxes there for the taking go to the side to move, at its own boxes' weight.
    const int free_boxes = census.dead_end_count * (side == ENGINE ? ENGINE_BOX : OPPONENT_BOX);
    const int w = BASE - OPPONENT_BOX * score_opponent + ENGINE_BOX * score_engine +
                  (matched ? control : -control) + (side == ENGINE ? free_boxes : -free_boxes);
    return side == ENGINE ? w : -w;
}
