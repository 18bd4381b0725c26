#include "sprt.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace matchtools {
namespace {

SprtState test(const SprtSettings& s, const ScoreSample& sample) {
    SprtState state;
    std::string why;
    if (!check_sprt_settings(s, why)) return state;
    state.lower = std::log(s.beta / (1 - s.alpha));
    state.upper = std::log((1 - s.beta) / s.alpha);
    if (sample.units == 0) return state;
    const double n = static_cast<double>(sample.units);
    const double variance = std::max(sample.variance, n / (4 * (n + 1) * (n + 1)));
    const double s0 = score_of_elo(s.elo0), s1 = score_of_elo(s.elo1);
    state.llr = n * (s1 - s0) * (2 * sample.mean - s0 - s1) / (2 * variance);
    if (state.llr >= state.upper)
        state.verdict = SprtVerdict::AcceptH1;
    else if (state.llr <= state.lower)
        state.verdict = SprtVerdict::AcceptH0;
    return state;
}

} // namespace

SprtState sprt(const SprtSettings& s, const Pentanomial& p) {
    return test(s, sample_of(p));
}

SprtState sprt(const SprtSettings& s, const Trinomial& t) {
    return test(s, sample_of(t));
}

const char* verdict_name(SprtVerdict v) {
    switch (v) {
    case SprtVerdict::AcceptH0:
        return "H0 accepted";
    case SprtVerdict::AcceptH1:
        return "H1 accepted";
    case SprtVerdict::Continue:
        break;
    }
    return "continue";
}

bool check_sprt_settings(const SprtSettings& s, std::string& why) {
    // Negated comparisons so that NaN fails them too.
    if (!(s.alpha > 0 && s.alpha < 1) || !(s.beta > 0 && s.beta < 1)) {
        why = "alpha and beta must lie between 0 and 1";
        return false;
    }
    if (!(s.alpha + s.beta < 1)) {
        why = "alpha + beta must be below 1";
        return false;
    }
    if (!(s.elo0 >= -1000 && s.elo1 <= 1000)) {
        why = "elo0 and elo1 must lie within -1000 and +1000";
        return false;
    }
    if (!(s.elo0 < s.elo1)) {
        why = "elo0 must be below elo1";
        return false;
    }
    return true;
}

std::string format_sprt(const SprtState& state) {
    auto figure = [](double v) {
        char text[64];
        std::snprintf(text, sizeof text, "%.2f", v);
        return std::string(text) == "-0.00" ? std::string("0.00") : std::string(text);
    };
    return "LLR " + figure(state.llr) + " [" + figure(state.lower) + ", " + figure(state.upper) +
           "] " + verdict_name(state.verdict);
}

} // namespace matchtools
