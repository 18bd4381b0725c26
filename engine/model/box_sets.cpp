#include "model/box_sets.h"

#include <cstdio>

BoxSets box_sets;

namespace {

BoxSets from_boxes() {
    BoxSets s{};
    for (int i = 0; i < BOX_COUNT; ++i) {
        const Box* b = box_at(i);
        s.of_type[b->chain_type] |= uint32_t{1} << i;
        if (b->sides <= 1) s.few_sides |= uint32_t{1} << i;
    }
    return s;
}

} // namespace

void rebuild_box_sets() {
    box_sets = from_boxes();
}

const char* box_sets_fault() {
    static char message[96];
    const BoxSets expect = from_boxes();
    for (int t = 0; t <= TYPE_CHAIN; ++t) {
        if (box_sets.of_type[t] != expect.of_type[t]) {
            std::snprintf(message, sizeof message, "boxes of code %d: set %07x, fields %07x", t,
                          box_sets.of_type[t], expect.of_type[t]);
            return message;
        }
    }
    if (box_sets.few_sides != expect.few_sides) {
        std::snprintf(message, sizeof message, "boxes with at most one side: set %07x, fields %07x",
                      box_sets.few_sides, expect.few_sides);
        return message;
    }
    return nullptr;
}
