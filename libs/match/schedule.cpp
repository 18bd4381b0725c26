#include "schedule.h"

namespace matchtools {

std::vector<Pairing> pairings_of(int engines, Tournament t) {
    std::vector<Pairing> out;
    for (int a = 0; a < engines; ++a)
        for (int b = a + 1; b < engines; ++b)
            if (a == 0 || t == Tournament::RoundRobin) out.push_back({a, b});
    return out;
}

GameSlot slot_of(long long number, const std::vector<Pairing>& pairings, bool swap, uint32_t seed) {
    GameSlot s;
    const long long unit = swap ? 2 : 1;
    const long long round_size = unit * static_cast<long long>(pairings.size());
    const long long index = number - 1;
    s.number = number;
    s.seed = seed + static_cast<uint32_t>(index);
    s.round = index / round_size;
    const long long within = index % round_size;
    s.pairing = static_cast<int>(within / unit);
    s.slot = static_cast<int>(within % unit);
    s.pair = swap ? index / 2 + 1 : 0;
    s.unit_seed = seed + static_cast<uint32_t>(index - s.slot);
    const Pairing& p = pairings[static_cast<size_t>(s.pairing)];
    s.opener = s.slot == 0 ? p.first : p.second;
    s.second = s.slot == 0 ? p.second : p.first;
    return s;
}

} // namespace matchtools
