// Static values built on the chain census: won boxes with fixed weights, free captures for
// the side to move, and a control term for the side that the parity of the long chains
// favours, given who opened the game.
#include "search/evaluation.h"

#include "model/position.h"

int decided_value(int side) {
    int w = 7500 - 5 * score_opponent + 7 * score_engine;
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
            // A free box: how it touches long chains.
            // Written without a branch per link: whether a neighbour is a chain box is
            // as good as random, and this loop runs at every leaf of the search.
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
    const int opp = score_opponent;
    const int own = score_engine;
    const int de = census.dead_end_count;
    const int cc = chain_contact;
    const int jb = junction_balance;
    if (side == ENGINE) {
        if (matched) return 3 * (cc + 2502 - 2 * opp - 2 * jb) + 7 * (own + de);
        return 3 * (2 * (jb - opp) + 2498 - cc) + 7 * (own + de);
    }
    if (matched) return 3 * (2 * (opp + de + jb) - 2502 - cc) - 7 * own;
    return 3 * (cc + 2 * (opp + de - jb) - 2498) - 7 * own;
}
