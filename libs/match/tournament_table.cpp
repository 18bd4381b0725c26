#include "tournament_table.h"

#include "match_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numeric>

namespace matchtools {
namespace {

const double ELO_SLOPE = std::log(10.0) / 400; // d/dD of ln(10^(D/400))

// Results of every pairing, cell [i][j] from engine i's view (both cells kept).
struct Results {
    int n = 0;
    std::vector<Trinomial> games;
    std::vector<Pentanomial> pairs;

    Results(int engines, const std::vector<PairingResult>& r)
        : n(engines), games(static_cast<size_t>(n * n)), pairs(static_cast<size_t>(n * n)) {
        for (const PairingResult& p : r) {
            if (p.a < 0 || p.b < 0 || p.a >= n || p.b >= n || p.a == p.b) continue;
            add(p.a, p.b, p.a_view, p.pairs);
            add(p.b, p.a, reversed(p.a_view), reversed(p.pairs));
        }
    }
    void add(int i, int j, const Trinomial& t, const Pentanomial& p) {
        Trinomial& g = games[at(i, j)];
        g.wins += t.wins;
        g.draws += t.draws;
        g.losses += t.losses;
        for (int k = 0; k < 5; ++k) pairs[at(i, j)].count[k] += p.count[k];
    }
    size_t at(int i, int j) const { return static_cast<size_t>(i * n + j); }
    long long played(int i, int j) const { return games_of(games[at(i, j)]); }
    double points(int i, int j) const {
        const Trinomial& t = games[at(i, j)];
        return static_cast<double>(t.wins) + 0.5 * static_cast<double>(t.draws);
    }
};

// Groups of engines that reach each other through "scored a point against": the strongly
// connected parts of that relation (Tarjan's algorithm; fields are small).
std::vector<int> scoring_groups(const Results& res) {
    const int n = res.n;
    std::vector<int> index(n, -1), low(n, 0), group(n, -1), stack;
    std::vector<bool> on_stack(n, false);
    int counter = 0, groups = 0;
    std::function<void(int)> visit = [&](int v) {
        index[v] = low[v] = counter++;
        stack.push_back(v);
        on_stack[v] = true;
        for (int w = 0; w < n; ++w) {
            if (w == v || res.points(v, w) <= 0) continue;
            if (index[w] < 0) {
                visit(w);
                low[v] = std::min(low[v], low[w]);
            } else if (on_stack[w]) {
                low[v] = std::min(low[v], index[w]);
            }
        }
        if (low[v] == index[v]) {
            int w;
            do {
                w = stack.back();
                stack.pop_back();
                on_stack[w] = false;
                group[w] = groups;
            } while (w != v);
            ++groups;
        }
    };
    for (int v = 0; v < n; ++v)
        if (index[v] < 0) visit(v);
    return group;
}

// Solves the symmetric positive definite system in place (Gaussian elimination with
// partial pivoting); returns the inverse of m (size k x k, row-major).
std::vector<double> inverse(std::vector<double> m, int k) {
    std::vector<double> inv(static_cast<size_t>(k * k), 0.0);
    for (int i = 0; i < k; ++i) inv[static_cast<size_t>(i * k + i)] = 1;
    auto cell = [k](std::vector<double>& v, int r, int c) -> double& {
        return v[static_cast<size_t>(r * k + c)];
    };
    for (int c = 0; c < k; ++c) {
        int pivot = c;
        for (int r = c + 1; r < k; ++r)
            if (std::fabs(cell(m, r, c)) > std::fabs(cell(m, pivot, c))) pivot = r;
        if (cell(m, pivot, c) == 0) continue; // cannot happen for a connected group
        for (int j = 0; j < k; ++j) {
            std::swap(cell(m, c, j), cell(m, pivot, j));
            std::swap(cell(inv, c, j), cell(inv, pivot, j));
        }
        const double d = cell(m, c, c);
        for (int j = 0; j < k; ++j) {
            cell(m, c, j) /= d;
            cell(inv, c, j) /= d;
        }
        for (int r = 0; r < k; ++r) {
            if (r == c || cell(m, r, c) == 0) continue;
            const double f = cell(m, r, c);
            for (int j = 0; j < k; ++j) {
                cell(m, r, j) -= f * cell(m, c, j);
                cell(inv, r, j) -= f * cell(inv, c, j);
            }
        }
    }
    return inv;
}

// The spread of one pairing's points around expected score q per game (0..1), in points^2:
// q(1 - q) less what its draws (or, for pairs, its split pairs) take, counted over one
// more result than played as the match estimate does.
double pairing_variance(const Trinomial& t, const Pentanomial& p, double q) {
    const long long pairs = pair_count(p);
    if (pairs > 0 && 2 * pairs == games_of(t)) {
        const ScoreSample s = sample_of(p);
        const double u = static_cast<double>(pairs);
        return 4 * u * std::max(0.0, q * (1 - q) - s.interior * u / (u + 1));
    }
    const ScoreSample s = sample_of(t);
    const double u = static_cast<double>(s.units);
    return u * std::max(0.0, q * (1 - q) - s.interior * u / (u + 1));
}

// Ratings of the engines in members (a scoring group of two or more): Zermelo's iteration
// of the strengths g (r = 400 log10 g) to the maximum of the likelihood, then the
// covariance H+ J H+ of the ratings with mean 0, H the likelihood's curvature and J the
// spread of the engines' points.
void rate_group(const Results& res, const std::vector<int>& members,
                std::vector<FieldRating>& out) {
    const int k = static_cast<int>(members.size());
    std::vector<double> g(k, 1.0), won(k, 0.0);
    for (int i = 0; i < k; ++i)
        for (int j = 0; j < k; ++j)
            if (i != j) won[i] += res.points(members[i], members[j]);
    for (int round = 0; round < 100000; ++round) {
        double change = 0;
        for (int i = 0; i < k; ++i) {
            double denominator = 0;
            for (int j = 0; j < k; ++j) {
                if (i == j) continue;
                denominator +=
                    static_cast<double>(res.played(members[i], members[j])) / (g[i] + g[j]);
            }
            const double next = won[i] / denominator;
            change = std::max(change, std::fabs(std::log(next / g[i])));
            g[i] = next;
        }
        // Geometric mean 1: ratings with mean 0.
        double log_mean = 0;
        for (double x : g) log_mean += std::log(x) / k;
        for (double& x : g) x /= std::exp(log_mean);
        if (change < 1e-12) break;
    }
    std::vector<double> r(k);
    for (int i = 0; i < k; ++i) r[i] = 400 * std::log10(g[i]);

    // H (points per Elo) and J (points^2), both Laplacians of the pairing graph.
    std::vector<double> h(static_cast<size_t>(k * k), 0.0), spread(h);
    auto cell = [k](std::vector<double>& v, int a, int b) -> double& {
        return v[static_cast<size_t>(a * k + b)];
    };
    for (int i = 0; i < k; ++i)
        for (int j = 0; j < k; ++j) {
            if (i == j) continue;
            const long long games = res.played(members[i], members[j]);
            if (games == 0) continue;
            const double q = score_of_elo(r[i] - r[j]);
            const double w = ELO_SLOPE * static_cast<double>(games) * q * (1 - q);
            const size_t at = res.at(members[i], members[j]);
            const double v = pairing_variance(res.games[at], res.pairs[at], q);
            cell(h, i, j) -= w;
            cell(h, i, i) += w;
            cell(spread, i, j) -= v;
            cell(spread, i, i) += v;
        }
    // H+ = (H + 11'/k)^-1 - 11'/k on the ratings with mean 0.
    std::vector<double> shifted = h;
    for (double& x : shifted) x += 1.0 / k;
    std::vector<double> hp = inverse(shifted, k);
    for (double& x : hp) x -= 1.0 / k;
    for (int i = 0; i < k; ++i) {
        double variance = 0; // (H+ J H+)_ii
        for (int a = 0; a < k; ++a)
            for (int b = 0; b < k; ++b)
                variance += cell(hp, i, a) * cell(spread, a, b) * cell(hp, b, i);
        FieldRating& f = out[static_cast<size_t>(members[i])];
        f.elo = r[i];
        f.error = std::sqrt(std::max(0.0, variance));
    }
}

std::string percent_text(double points, long long games) {
    if (games == 0) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f%%", 100 * points / static_cast<double>(games));
    return text;
}

std::string pad_left(const std::string& s, size_t width) {
    return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}
std::string pad_right(const std::string& s, size_t width) {
    return s.size() >= width ? s : s + std::string(width - s.size(), ' ');
}

std::string label_of(const std::vector<std::string>& labels, int i) {
    return labels[static_cast<size_t>(i)].empty() ? "engine " + std::to_string(i + 1)
                                                  : labels[static_cast<size_t>(i)];
}

// Engines by score, best first; engines with no games last, in their order.
std::vector<int> by_score(const std::vector<FieldRating>& f) {
    std::vector<int> order(f.size());
    std::iota(order.begin(), order.end(), 0);
    auto score = [&](int i) {
        const FieldRating& x = f[static_cast<size_t>(i)];
        return x.games ? x.points / static_cast<double>(x.games) : -1.0;
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return score(a) > score(b); });
    return order;
}

} // namespace

std::vector<FieldRating> rate_field(int engines, const std::vector<PairingResult>& r) {
    const int n = std::max(0, engines);
    std::vector<FieldRating> out(static_cast<size_t>(n));
    const Results res(n, r);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            out[static_cast<size_t>(i)].points += res.points(i, j);
            out[static_cast<size_t>(i)].games += res.played(i, j);
        }
    const std::vector<int> scc = scoring_groups(res);
    int count = 0;
    for (int i = 0; i < n; ++i) count = std::max(count, scc[static_cast<size_t>(i)] + 1);
    // Groups numbered by their engines' mean score, best first; engines with no games in none.
    std::vector<double> mean(count, 0.0);
    std::vector<int> size(count, 0);
    for (int i = 0; i < n; ++i) {
        const FieldRating& f = out[static_cast<size_t>(i)];
        if (f.games == 0) continue;
        mean[scc[i]] += f.points / static_cast<double>(f.games);
        size[scc[i]] += 1;
    }
    std::vector<int> groups;
    for (int c = 0; c < count; ++c)
        if (size[c] > 0) groups.push_back(c);
    std::stable_sort(groups.begin(), groups.end(),
                     [&](int a, int b) { return mean[a] / size[a] > mean[b] / size[b]; });
    for (size_t number = 0; number < groups.size(); ++number) {
        std::vector<int> members;
        for (int i = 0; i < n; ++i)
            if (scc[i] == groups[number] && out[static_cast<size_t>(i)].games > 0)
                members.push_back(i);
        for (int i : members) out[static_cast<size_t>(i)].group = static_cast<int>(number);
        if (members.size() >= 2) rate_group(res, members, out);
    }
    return out;
}

std::string crosstable(const std::vector<std::string>& labels,
                       const std::vector<PairingResult>& r) {
    const int n = static_cast<int>(labels.size());
    const Results res(n, r);
    const std::vector<FieldRating> f = rate_field(n, r);
    const std::vector<int> order = by_score(f);
    size_t name_width = 6;
    for (int i = 0; i < n; ++i) name_width = std::max(name_width, label_of(labels, i).size());
    // Cells "points/games", "." on the diagonal, "-" where the two never met.
    std::vector<std::vector<std::string>> cells(static_cast<size_t>(n));
    size_t cell_width = 3;
    for (int row = 0; row < n; ++row)
        for (int col = 0; col < n; ++col) {
            const int i = order[static_cast<size_t>(row)], j = order[static_cast<size_t>(col)];
            std::string c = i == j                  ? "."
                            : res.played(i, j) == 0 ? "-"
                                                    : format_points(res.points(i, j)) + "/" +
                                                          std::to_string(res.played(i, j));
            cell_width = std::max(cell_width, c.size());
            cells[static_cast<size_t>(row)].push_back(c);
        }
    const size_t number_width = std::to_string(n).size();
    std::string out = "Crosstable: points of the row's engine against the column's, out of the "
                      "games they played\n";
    std::string head = pad_left("#", number_width) + "  " + pad_right("engine", name_width);
    for (int col = 0; col < n; ++col) head += "  " + pad_left(std::to_string(col + 1), cell_width);
    out += head + "  " + pad_left("points", 8) + "  " + pad_left("games", 6) + "  " +
           pad_left("score", 6) + "\n";
    for (int row = 0; row < n; ++row) {
        const int i = order[static_cast<size_t>(row)];
        const FieldRating& x = f[static_cast<size_t>(i)];
        std::string line = pad_left(std::to_string(row + 1), number_width) + "  " +
                           pad_right(label_of(labels, i), name_width);
        for (const std::string& c : cells[static_cast<size_t>(row)])
            line += "  " + pad_left(c, cell_width);
        line += "  " + pad_left(format_points(x.points), 8) + "  " +
                pad_left(std::to_string(x.games), 6) + "  " +
                pad_left(percent_text(x.points, x.games), 6);
        out += line + "\n";
    }
    return out;
}

std::string elo_table(const std::vector<std::string>& labels, const std::vector<PairingResult>& r) {
    const int n = static_cast<int>(labels.size());
    const Results res(n, r);
    const std::vector<FieldRating> f = rate_field(n, r);
    int groups = 0;
    for (const FieldRating& x : f) groups = std::max(groups, x.group + 1);
    // Rows by group, then by rating; engines with no games last.
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const FieldRating &x = f[static_cast<size_t>(a)], &y = f[static_cast<size_t>(b)];
        const int gx = x.group < 0 ? groups : x.group, gy = y.group < 0 ? groups : y.group;
        return gx != gy ? gx < gy : x.elo > y.elo;
    });
    std::string out;
    out = "Elo: logistic, maximum likelihood over the games (draws half a point), 95% "
          "intervals;\n";
    if (groups <= 1)
        out += "relative to the field's mean, 0\n";
    else
        out += "relative to each group's mean, 0: no finite difference fits between groups\n";
    size_t name_width = 6;
    for (int i = 0; i < n; ++i) name_width = std::max(name_width, label_of(labels, i).size());
    const size_t number_width = std::to_string(n).size();
    std::vector<std::string> elo(static_cast<size_t>(n)), interval(static_cast<size_t>(n));
    size_t interval_width = 12;
    for (int i = 0; i < n; ++i) {
        const FieldRating& x = f[static_cast<size_t>(i)];
        int members = 0;
        for (const FieldRating& y : f) members += x.group >= 0 && y.group == x.group;
        if (x.group < 0) {
            elo[i] = "-";
            interval[i] = "no games";
        } else if (members == 1) {
            elo[i] = "-";
            interval[i] = "alone in its group";
        } else {
            elo[i] = format_bound(Bound{x.elo, true});
            interval[i] = "[" + format_bound(Bound{x.elo - kZ95 * x.error, true}) + ", " +
                          format_bound(Bound{x.elo + kZ95 * x.error, true}) + "]";
        }
        interval_width = std::max(interval_width, interval[i].size());
    }
    std::string head = pad_left("#", number_width) + "  " + pad_right("engine", name_width);
    if (groups > 1) head += "  group";
    out += head + "  " + pad_left("Elo", 8) + "  " + pad_right("95% interval", interval_width) +
           "  " + pad_left("games", 6) + "  " + pad_left("score", 6) + "\n";
    for (size_t row = 0; row < order.size(); ++row) {
        const int i = order[row];
        const FieldRating& x = f[static_cast<size_t>(i)];
        std::string line = pad_left(std::to_string(row + 1), number_width) + "  " +
                           pad_right(label_of(labels, i), name_width);
        if (groups > 1) line += "  " + pad_left(x.group < 0 ? "-" : std::to_string(x.group + 1), 5);
        line += "  " + pad_left(elo[i], 8) + "  " + pad_right(interval[i], interval_width) + "  " +
                pad_left(std::to_string(x.games), 6) + "  " +
                pad_left(percent_text(x.points, x.games), 6);
        out += line + "\n";
    }
    // Which group took every point from which, where they met.
    for (int a = 0; a < groups; ++a)
        for (int b = 0; b < groups; ++b) {
            if (a == b) continue;
            long long games = 0;
            double points = 0;
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j)
                    if (f[static_cast<size_t>(i)].group == a &&
                        f[static_cast<size_t>(j)].group == b) {
                        games += res.played(i, j);
                        points += res.points(i, j);
                    }
            if (games > 0 && points > 0)
                out += "group " + std::to_string(a + 1) + " took every point of its " +
                       std::to_string(games) + " games against group " + std::to_string(b + 1) +
                       "\n";
        }
    return out;
}

} // namespace matchtools
