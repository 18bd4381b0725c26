// The chain census: each box is classified from its own links and its neighbours' codes
// when it gets its first or second side, and a structure leaves the counts when one of
// its boxes becomes takeable. Codes are never cleared here, so left-over codes of
// structures already taken out are read like live ones; the guards below keep such
// positions inside the tables and the links.
#include "model/census.h"

#include <cstdio>
#include <initializer_list>

#include "model/box_sets.h"

namespace {

inline bool is_open(const Box* b) {
    return b->sides == 2 && b->chain_type == TYPE_NONE;
}

inline int new_id() {
    return census.next_chain_id++;
}

void make_corner_pair(Box* b, Box* c) {
    census.corner_pair_count += 1;
    set_chain_type(b, TYPE_CORNER_PAIR);
    set_chain_type(c, TYPE_CORNER_PAIR);
}

void make_pair(Box* b, Box* c) {
    census.pair_count += 1;
    set_chain_type(b, TYPE_PAIR);
    set_chain_type(c, TYPE_PAIR);
}

void join_chain(Box* b, const Box* c) {
    set_chain_type(b, TYPE_CHAIN);
    set_chain_id(b, c->chain_id);
}

// A pair box P and its links (its partner and the box being classified). Only valid
// entries are visited: with left-over codes P may already have lost a link.
inline int group_size(const Box* p) {
    return p->link_count < 2 ? p->link_count : 2;
}

void set_group_type(Box* p, int type) {
    set_chain_type(p, type);
    for (int i = 0; i < group_size(p); ++i) set_chain_type(p->links[i], type);
}

void set_group_id(Box* p, int id) {
    set_chain_id(p, id);
    for (int i = 0; i < group_size(p); ++i) set_chain_id(p->links[i], id);
}

// The box after current on a walk that came from previous, or nullptr when current has
// no second link to leave by.
inline Box* step_from(const Box* current, const Box* previous) {
    if (current->link_count < 1) return nullptr;
    if (current->links[0] != previous) return current->links[0];
    return current->link_count >= 2 ? current->links[1] : nullptr;
}

// Rule for a box that has just got its second side between the two ends of what its
// neighbours' codes call one chain. A real ring leads back to x through boxes of two
// links each. Left-over codes can make two pieces of a chain that was already taken out
// look like its two ends; such a walk meets a box with one link. That is no loop: x
// joins the pieces like any other left-over chain and no counter changes, so census.chain_count
// is not taken down a second time and no loop that cannot be taken out is recorded.
void close_loop(Box* x, Box* n1) {
    Box* previous = x;
    Box* current = n1;
    int steps = 0;
    while (current != x && current->chain_type == TYPE_CHAIN) {
        Box* next = step_from(current, previous);
        if (next == nullptr || ++steps > BOX_COUNT) {
            join_chain(x, n1);
            return;
        }
        previous = current;
        current = next;
    }
    set_chain_type(x, TYPE_LOOP);
    set_chain_id(x, n1->chain_id);
    int length = 1;
    previous = x;
    current = n1;
    while (current->chain_type == TYPE_CHAIN) {
        set_chain_type(current, TYPE_LOOP);
        length += 1;
        Box* next = step_from(current, previous);
        previous = current;
        current = next;
    }
    // At most six loops fit on the board; a seventh (only conceivable through left-over
    // codes) is left out of the table rather than written past it.
    if (census.loop_count < MAX_LOOPS) {
        census.loops[census.loop_count] = LoopEntry{length, x};
        census.loop_count += 1;
    }
    census.chain_count -= 1;
}

// x between the ends of two chains with different ids: the younger chain takes the older
// id up to its far end.
void join_chains(Box* x, Box* n1, Box* n2) {
    int low = n1->chain_id < n2->chain_id ? n1->chain_id : n2->chain_id;
    Box* start = n1->chain_id < n2->chain_id ? n2 : n1;
    Box* previous = x;
    Box* current = start;
    for (int steps = 0;
         current != nullptr && current->chain_type == TYPE_CHAIN && steps < BOX_COUNT; ++steps) {
        set_chain_id(current, low);
        if (current->link_count == 1) break;
        Box* next = step_from(current, previous);
        previous = current;
        current = next;
    }
    census.chain_count -= 1;
    set_chain_type(x, TYPE_CHAIN);
    set_chain_id(x, low);
}

void form_one_side(Box* x) {
    if (x->link_count != 1) return;
    Box* n1 = x->links[0];
    if (n1->sides == 2 && n1->link_count == 1) make_corner_pair(x, n1);
}

void form_one_link(Box* x) {
    Box* n1 = x->links[0];
    if (n1->link_count == 1 && n1->sides == 1) {
        make_corner_pair(x, n1);
    } else if (x->chain_type == TYPE_CORNER_PAIR) {
        if (n1->sides == 2) {
            // The corner box of a corner pair got a border side: the two now make a pair.
            census.corner_pair_count -= 1;
            make_pair(x, n1);
        } else {
            // The partner took its third side first, which already took the corner pair
            // out and made the partner a dead end. Turning the two into a pair would take
            // the corner pair out a second time and count the dead end as capturable
            // when it is completed; the corner box's code is left over, so it is cleared
            // and the box is not taken out again at its own third side.
            set_chain_type(x, TYPE_NONE);
        }
    } else if (is_open(n1)) {
        make_pair(x, n1);
    } else if (n1->chain_type == TYPE_CHAIN) {
        join_chain(x, n1);
    } else if (n1->chain_type == TYPE_PAIR) {
        set_group_type(n1, TYPE_CHAIN);
        set_group_id(n1, new_id());
        census.chain_count += 1;
        census.pair_count -= 1;
    }
}

void form_two_links(Box* x) {
    Box* n1 = x->links[0];
    Box* n2 = x->links[1];
    int s1 = n1->sides;
    int s2 = n2->sides;

    if (is_open(n1) && s2 < 2) {
        make_pair(x, n1);
        return;
    }
    if (s1 < 2) {
        if (is_open(n2)) {
            make_pair(x, n2);
        } else if (n2->chain_type == TYPE_PAIR) {
            set_group_type(n2, TYPE_CHAIN);
            set_group_id(n2, new_id());
            census.chain_count += 1;
            census.pair_count -= 1;
        } else if (n2->chain_type == TYPE_CHAIN) {
            join_chain(x, n2);
        }
        return;
    }
    if (is_open(n1)) {
        if (is_open(n2)) {
            int id = new_id();
            for (Box* b : {x, n1, n2}) {
                set_chain_type(b, TYPE_CHAIN);
                set_chain_id(b, id);
            }
            census.chain_count += 1;
        } else if (n2->chain_type == TYPE_PAIR) {
            set_group_type(n2, TYPE_CHAIN);
            set_chain_type(n1, TYPE_CHAIN);
            int id = new_id();
            set_group_id(n2, id);
            set_chain_id(n1, id);
            census.pair_count -= 1;
            census.chain_count += 1;
        } else if (n2->chain_type == TYPE_CHAIN) {
            join_chain(x, n2);
            join_chain(n1, n2);
        }
        return;
    }
    if (n1->chain_type == TYPE_PAIR) {
        set_group_type(n1, TYPE_CHAIN);
        census.pair_count -= 1;
        if (s2 < 2) {
            set_group_id(n1, new_id());
            census.chain_count += 1;
        } else if (is_open(n2)) {
            set_chain_type(n2, TYPE_CHAIN);
            int id = new_id();
            set_group_id(n1, id);
            set_chain_id(n2, id);
            census.chain_count += 1;
        } else if (n2->chain_type == TYPE_PAIR) {
            set_group_type(n2, TYPE_CHAIN);
            census.pair_count -= 1;
            int id = new_id();
            set_group_id(n1, id);
            set_group_id(n2, id);
            census.chain_count += 1;
        } else if (n2->chain_type == TYPE_CHAIN) {
            set_group_id(n1, n2->chain_id);
        }
        return;
    }
    if (n1->chain_type == TYPE_CHAIN) {
        if (s2 < 2) {
            join_chain(x, n1);
        } else if (is_open(n2)) {
            join_chain(x, n1);
            join_chain(n2, n1);
        } else if (n2->chain_type == TYPE_PAIR) {
            set_group_type(n2, TYPE_CHAIN);
            set_group_id(n2, n1->chain_id);
            census.pair_count -= 1;
        } else if (n2->chain_type == TYPE_CHAIN) {
            if (n2->chain_id == n1->chain_id)
                close_loop(x, n1);
            else
                join_chains(x, n1, n2);
        }
    }
}

} // namespace

void formation_step(Box* x) {
    if (x->sides == 1) {
        form_one_side(x);
    } else if (x->sides == 2) {
        if (x->link_count == 0) {
            census.single_count += 1;
            set_chain_type(x, TYPE_SINGLE);
        } else if (x->link_count == 1) {
            form_one_link(x);
        } else {
            form_two_links(x);
        }
    }
}

void cut_chain(int type, int key) {
    switch (type) {
    case TYPE_NONE:
        break;
    case TYPE_SINGLE:
        census.single_count -= 1;
        break;
    case TYPE_CORNER_PAIR:
        census.corner_pair_count -= 1;
        break;
    case TYPE_PAIR:
        census.pair_count -= 1;
        break;
    case TYPE_CHAIN:
        census.chain_count -= 1;
        break;
    case TYPE_LOOP:
        // A loop already taken out (one of its boxes opened it before) has no live entry
        // left: it is out of the census already, so nothing changes.
        for (int i = 0; i < census.loop_count; ++i) {
            if (census.loops[i].anchor->chain_id == key) {
                LoopEntry removed = census.loops[i];
                census.loops[i] = census.loops[census.loop_count - 1];
                census.loops[census.loop_count - 1] = removed;
                census.loop_count -= 1;
                break;
            }
        }
        break;
    default:
        std::fputs("cuttypenum error\n", stdout);
        break;
    }
}
