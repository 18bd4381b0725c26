#include "statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace matchtools {
namespace {

constexpr double INF = std::numeric_limits<double>::infinity();

Bound unbounded(double sign) {
    return Bound{sign < 0 ? -INF : INF, false};
}

// Normal distribution function.
double phi(double x) {
    return 0.5 * std::erfc(-x / std::sqrt(2.0));
}

// The expected scores p with (mean - p)^2 <= z^2 / n * (p(1 - p) - interior), where the
// interior is counted over n + 1 results, the extra one decisive. The quadratic's roots
// (1 + k) p^2 - (2 mean + k) p + mean^2 + k interior = 0, k = z^2 / n; its discriminant
// k (4 mean (1 - mean) - 4 interior + k (1 - 4 interior)) is never negative, since
// mean (1 - mean) >= interior and interior <= 1/4. The interval reaches 0 or 1 only when
// the mean is there: then the bound is unbounded in Elo.
void score_interval(const ScoreSample& s, Bound& low, Bound& high) {
    if (s.units == 0) {
        low = unbounded(-1);
        high = unbounded(1);
        return;
    }
    const double n = static_cast<double>(s.units);
    const double interior = s.interior * n / (n + 1);
    const double k = kZ95 * kZ95 / n;
    const double a = 1 + k, b = 2 * s.mean + k, c = s.mean * s.mean + k * interior;
    const double root = std::sqrt(std::max(0.0, b * b - 4 * a * c));
    const double p_low = (b - root) / (2 * a), p_high = (b + root) / (2 * a);
    low = s.mean <= 0 ? unbounded(-1) : elo_of_score(std::max(p_low, 1e-300));
    high = s.mean >= 1 ? unbounded(1) : elo_of_score(std::min(p_high, 1 - 1e-16));
    // The interval holds the mean; rounding must not say otherwise.
    const Bound at = elo_of_score(s.mean);
    if (at.bounded && low.bounded) low.value = std::min(low.value, at.value);
    if (at.bounded && high.bounded) high.value = std::max(high.value, at.value);
}

std::string figure(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%+.1f", v);
    std::string out = text;
    return out == "-0.0" ? "+0.0" : out;
}

} // namespace

Bound elo_of_score(double score) {
    if (!(score > 0)) return unbounded(-1);
    if (!(score < 1)) return unbounded(1);
    return Bound{400 * std::log10(score / (1 - score)), true};
}

double score_of_elo(double elo) {
    return 1 / (1 + std::pow(10.0, -elo / 400));
}

long long games_of(const Trinomial& t) {
    return t.wins + t.draws + t.losses;
}

long long pair_count(const Pentanomial& p) {
    long long n = 0;
    for (long long c : p.count) n += c;
    return n;
}

double pair_points(const Pentanomial& p) {
    double points = 0;
    for (int i = 0; i < 5; ++i) points += 0.5 * i * static_cast<double>(p.count[i]);
    return points;
}

Trinomial reversed(const Trinomial& t) {
    return Trinomial{t.losses, t.draws, t.wins};
}

Pentanomial reversed(const Pentanomial& p) {
    Pentanomial r;
    for (int i = 0; i < 5; ++i) r.count[i] = p.count[4 - i];
    return r;
}

ScoreSample sample_of(const Trinomial& t) {
    ScoreSample s;
    s.units = games_of(t);
    if (s.units == 0) return s;
    const double n = static_cast<double>(s.units);
    s.mean = (static_cast<double>(t.wins) + 0.5 * static_cast<double>(t.draws)) / n;
    s.interior = 0.25 * static_cast<double>(t.draws) / n;
    s.variance = std::max(0.0, s.mean * (1 - s.mean) - s.interior);
    return s;
}

ScoreSample sample_of(const Pentanomial& p) {
    ScoreSample s;
    s.units = pair_count(p);
    if (s.units == 0) return s;
    const double n = static_cast<double>(s.units);
    double mean = 0, interior = 0;
    for (int i = 0; i < 5; ++i) {
        const double x = 0.25 * i, f = static_cast<double>(p.count[i]) / n;
        mean += f * x;
        interior += f * x * (1 - x);
    }
    s.mean = mean;
    s.interior = interior;
    s.variance = std::max(0.0, mean * (1 - mean) - interior);
    return s;
}

EloEstimate estimate(const Trinomial& t) {
    EloEstimate e;
    const ScoreSample s = sample_of(t);
    e.games = s.units;
    if (e.games == 0) {
        score_interval(s, e.low, e.high);
        return e;
    }
    e.score = s.mean;
    e.draw_ratio = static_cast<double>(t.draws) / static_cast<double>(e.games);
    e.elo = elo_of_score(s.mean);
    score_interval(s, e.low, e.high);
    const long long decisive = t.wins + t.losses;
    e.los = decisive <= 0 ? 0.5
                          : phi(static_cast<double>(t.wins - t.losses) /
                                std::sqrt(static_cast<double>(decisive)));
    return e;
}

EloEstimate estimate(const Pentanomial& p, const Trinomial& games_of_the_pairs) {
    EloEstimate e;
    const ScoreSample s = sample_of(p);
    e.games = 2 * s.units;
    const long long played = games_of(games_of_the_pairs);
    if (played > 0)
        e.draw_ratio = static_cast<double>(games_of_the_pairs.draws) / static_cast<double>(played);
    score_interval(s, e.low, e.high);
    if (s.units == 0) return e;
    e.score = s.mean;
    e.elo = elo_of_score(s.mean);
    // The spread as the interval takes it, so that a first drawn pair claims nothing.
    const double n = static_cast<double>(s.units);
    const double spread = s.variance + s.interior / (n + 1);
    if (spread > 0)
        e.los = phi((s.mean - 0.5) / std::sqrt(spread / n));
    else
        e.los = s.mean > 0.5 ? 1 : s.mean < 0.5 ? 0 : 0.5;
    return e;
}

std::string format_elo_value(const Bound& b) {
    if (!b.bounded) return b.value < 0 ? "-inf (unbounded)" : "+inf (unbounded)";
    return figure(b.value);
}

std::string format_bound(const Bound& b) {
    return b.bounded ? figure(b.value) : "unbounded";
}

std::string format_elo(const EloEstimate& e) {
    if (e.games == 0) return "no games";
    std::string out = format_elo_value(e.elo);
    if (e.elo.bounded && e.low.bounded && e.high.bounded) {
        const std::string below = figure(e.elo.value - e.low.value);
        const std::string above = figure(e.high.value - e.elo.value);
        if (below == above) return out + " +- " + above.substr(1);
    }
    return out + " [" + format_bound(e.low) + ", " + format_bound(e.high) + "]";
}

std::string format_pentanomial(const Pentanomial& p) {
    std::string out = "[";
    for (int i = 0; i < 5; ++i) out += (i ? ", " : "") + std::to_string(p.count[i]);
    return out + "]";
}

} // namespace matchtools
