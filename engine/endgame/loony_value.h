// The exact value of a simple loony endgame: no safe line, no box that can be taken, and
// every box left has two sides drawn, so the board is a set of independent chains (ends on
// the border) and loops. The player to move must open one of them; the value depends only
// on the sizes, and comes from a recursion over them instead of a search over lines.
#pragma once

#include <cstdint>

namespace strong {

struct Components {
    int count = 0;
    uint8_t size[25] = {};
    bool loop[25] = {};

    void add(int boxes, bool is_loop) {
        size[count] = static_cast<uint8_t>(boxes);
        loop[count] = is_loop;
        ++count;
    }
};

// Margin of the boxes left for the player who must open a component. With F the value of
// what is left after the opened component c, the other player answers by taking all of c
// (and then has to open) or, for a long chain or loop, by taking all but two (four) boxes
// and handing them back with the line that completes the last two (two pairs), keeping
// the obligation to open on the mover's side:
//   chain of 1: -(1 + F)          the box is taken (taking at once is never worse)
//   chain of 2: -(2 + F)          opened by its middle line both boxes are taken at once;
//                                 opened at an end the other side could also hand them
//                                 back (-2 - F), so the middle line is never worse
//   chain of n >= 3: -max(n + F, n - 4 - F)
//   loop of n: -max(n + F, n - 8 - F)
// and the mover opens the component with the best result. Any line of a chain of three or
// more or of a loop opens it to the same effect: the other side can always take all but
// the last two (four) of it.
int loony_value(const Components& components);

} // namespace strong
