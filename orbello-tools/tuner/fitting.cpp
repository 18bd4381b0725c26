#include "fitting.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace orbello_tuner {

using orbello_engine::PHASE_MAX;
using orbello_engine::TERM_COUNT;
using orbello_engine::WEIGHTS;

namespace {

// Evaluation units per unit of the natural logistic's argument, per unit of k.
constexpr double UNIT = 2.302585092994046 / 400; // ln 10 / 400

// log(1 + e^z) without overflow.
double Softplus(double z) {
    return z > 0 ? z + std::log1p(std::exp(-z)) : std::log1p(std::exp(z));
}

double Logistic(double z) {
    return 1 / (1 + std::exp(-z));
}

// Solves a x = b for a symmetric positive definite a (n x n, row-major) by Cholesky; false
// when a is not positive definite.
bool SolveSymmetric(std::vector<double> a, std::vector<double>& b, int n) {
    for (int j = 0; j < n; ++j) {
        double d = a[j * n + j];
        for (int k = 0; k < j; ++k) d -= a[j * n + k] * a[j * n + k];
        if (d <= 0) return false;
        d = std::sqrt(d);
        a[j * n + j] = d;
        for (int i = j + 1; i < n; ++i) {
            double s = a[i * n + j];
            for (int k = 0; k < j; ++k) s -= a[i * n + k] * a[j * n + k];
            a[i * n + j] = s / d;
        }
    }
    for (int i = 0; i < n; ++i) {
        double s = b[i];
        for (int k = 0; k < i; ++k) s -= a[i * n + k] * b[k];
        b[i] = s / a[i * n + i];
    }
    for (int i = n - 1; i >= 0; --i) {
        double s = b[i];
        for (int k = i + 1; k < n; ++k) s -= a[k * n + i] * b[k];
        b[i] = s / a[i * n + i];
    }
    return true;
}

double Penalised(const std::vector<Sample>& samples, const Params& w, double k, double ridge) {
    double sum = 0;
    for (double v : w) sum += v * v;
    return Loss(samples, w, k) + ridge / 2 * sum;
}

} // namespace

Sample MakeSample(const orbello_engine::Terms& terms, double result) {
    Sample s;
    const double opening = static_cast<double>(terms.phase) / PHASE_MAX;
    for (int t = 0; t < TERM_COUNT; ++t) {
        s.x[2 * t] = static_cast<float>(terms.value[t] * opening);
        s.x[2 * t + 1] = static_cast<float>(terms.value[t] * (1 - opening));
    }
    s.result = static_cast<float>(result);
    return s;
}

Params EngineWeights() {
    Params w(PARAMS);
    for (int t = 0; t < TERM_COUNT; ++t) {
        w[2 * t] = WEIGHTS[t].opening;
        w[2 * t + 1] = WEIGHTS[t].ending;
    }
    return w;
}

double Value(const Sample& s, const Params& w) {
    double e = 0;
    for (int i = 0; i < PARAMS; ++i) e += s.x[i] * w[i];
    return e;
}

double Loss(const std::vector<Sample>& samples, const Params& w, double k, Params* gradient) {
    if (gradient) gradient->assign(PARAMS, 0.0);
    if (samples.empty()) return 0;
    const double c = k * UNIT;
    double sum = 0;
    for (const Sample& s : samples) {
        const double z = c * Value(s, w);
        sum += s.result * Softplus(-z) + (1 - s.result) * Softplus(z);
        if (gradient) {
            const double d = (Logistic(z) - s.result) * c;
            for (int i = 0; i < PARAMS; ++i) (*gradient)[i] += d * s.x[i];
        }
    }
    const double n = static_cast<double>(samples.size());
    if (gradient)
        for (double& g : *gradient) g /= n;
    return sum / n;
}

double FitScale(const std::vector<Sample>& samples, const Params& w) {
    // The loss is convex in k: golden-section search over a range far wider than any fit.
    double lo = 1e-4, hi = 20;
    const double r = (std::sqrt(5.0) - 1) / 2;
    double a = hi - r * (hi - lo), b = lo + r * (hi - lo);
    double fa = Loss(samples, w, a), fb = Loss(samples, w, b);
    for (int i = 0; i < 100; ++i) {
        if (fa < fb) {
            hi = b;
            b = a;
            fb = fa;
            a = hi - r * (hi - lo);
            fa = Loss(samples, w, a);
        } else {
            lo = a;
            a = b;
            fa = fb;
            b = lo + r * (hi - lo);
            fb = Loss(samples, w, b);
        }
    }
    return (lo + hi) / 2;
}

FitReport FitWeights(const std::vector<Sample>& samples, Params& w, double k,
                     const std::vector<int>& frozen, double ridge, int maxIterations) {
    FitReport report;
    const double c = k * UNIT;
    auto isFrozen = [&](int i) {
        return std::find(frozen.begin(), frozen.end(), i) != frozen.end();
    };
    double current = Penalised(samples, w, k, ridge);
    for (int it = 0; it < maxIterations; ++it) {
        Params g;
        Loss(samples, w, k, &g);
        std::vector<double> h(PARAMS * PARAMS, 0.0);
        for (const Sample& s : samples) {
            const double p = Logistic(c * Value(s, w));
            const double d = p * (1 - p) * c * c;
            for (int i = 0; i < PARAMS; ++i) {
                if (s.x[i] == 0) continue;
                const double di = d * s.x[i];
                for (int j = 0; j <= i; ++j) h[i * PARAMS + j] += di * s.x[j];
            }
        }
        const double n = static_cast<double>(std::max<std::size_t>(samples.size(), 1));
        for (int i = 0; i < PARAMS; ++i) {
            for (int j = 0; j <= i; ++j) {
                h[i * PARAMS + j] /= n;
                h[j * PARAMS + i] = h[i * PARAMS + j];
            }
            h[i * PARAMS + i] += ridge;
            g[i] += ridge * w[i];
        }
        for (int i = 0; i < PARAMS; ++i) {
            if (!isFrozen(i)) continue;
            for (int j = 0; j < PARAMS; ++j) h[i * PARAMS + j] = h[j * PARAMS + i] = 0;
            h[i * PARAMS + i] = 1;
            g[i] = 0;
        }
        // A term no sample has (and no ridge) leaves the system singular: such a weight
        // stays where it is.
        for (int i = 0; i < PARAMS; ++i)
            if (h[i * PARAMS + i] == 0) {
                h[i * PARAMS + i] = 1;
                g[i] = 0;
            }
        if (!SolveSymmetric(h, g, PARAMS)) break;
        // Newton's step, halved until the loss falls.
        double step = 1;
        bool better = false;
        Params next(PARAMS);
        for (int tries = 0; tries < 20 && !better; ++tries, step /= 2) {
            for (int i = 0; i < PARAMS; ++i) next[i] = w[i] - step * g[i];
            const double value = Penalised(samples, next, k, ridge);
            if (value < current) {
                better = current - value > 1e-12;
                w = next;
                current = value;
                break;
            }
        }
        report.iterations = it + 1;
        if (!better) break;
    }
    report.loss = Loss(samples, w, k);
    return report;
}

std::string WeightTable(const Params& w) {
    std::string text = "const TermWeight WEIGHTS[TERM_COUNT] = {\n";
    for (int t = 0; t < TERM_COUNT; ++t) {
        char line[128];
        std::snprintf(line, sizeof line, "    {\"%s\", %ld, %ld},\n", WEIGHTS[t].name,
                      std::lround(w[2 * t]), std::lround(w[2 * t + 1]));
        text += line;
    }
    return text + "};";
}

bool ReplaceWeightTable(std::string& source, const Params& w) {
    const std::string head = "const TermWeight WEIGHTS[TERM_COUNT] = {";
    const std::size_t at = source.find(head);
    if (at == std::string::npos) return false;
    const std::size_t end = source.find("\n};", at);
    if (end == std::string::npos) return false;
    source.replace(at, end + 3 - at, WeightTable(w));
    return true;
}

} // namespace orbello_tuner
