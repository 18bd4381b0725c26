// Static values built on the chain census: won boxes with fixed weights, free captures for
// the side to move, and a control term for the side that the parity of the long chains
// favours, given who opened the game.
#include "search/evaluation.h"

#include "model/position.h"

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

} // namespace

int decided_value(int side) {
    const int w = BASE - OPPONENT_BOX_DECIDED * score_opponent + ENGINE_BOX * score_engine;
    return side == ENGINE ? w : -w;
}

int evaluate(int side, int few_moves) {
    if (few_moves == 1) return decided_value(side);

    int chain_contact = 0;
    int junction_balance = census.chain_count;
    for (int r = 0; r < BOARD_ROWS; ++r) {
        for (int c = 0; c < BOARD_COLS; ++c) {
            const Box& x = boxes[r][c];
            if (x.chain_type == TYPE_CHAIN) {
                chain_contact += 1;
                continue;
            }
            if (x.sides > 1 || x.chain_type != TYPE_NONE) continue;
            // A free box: how it touches long chains. Counted without a branch per link:
            // whether a neighbour is a chain box is as good as random, and this runs at
            // every leaf of the search.
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
