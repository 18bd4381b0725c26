#include "match_tally.h"

#include "match_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <sstream>

namespace matchtools {

namespace {

std::string fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

std::string percent(double part, double whole) {
    return whole > 0 ? fixed(100.0 * part / whole, 1) + "%" : "-";
}

std::string title_of(const std::string& key) {
    std::string t = key;
    std::replace(t.begin(), t.end(), '_', ' ');
    return t;
}

void add_counters(std::vector<std::pair<std::string, long long>>& sum,
                  const std::vector<std::pair<std::string, long long>>& more) {
    for (const auto& c : more) {
        auto at =
            std::find_if(sum.begin(), sum.end(), [&](const auto& s) { return s.first == c.first; });
        if (at == sum.end())
            sum.push_back(c);
        else
            at->second += c.second;
    }
}

} // namespace

std::string ranges_text(const std::vector<long long>& numbers) {
    std::string out;
    for (size_t i = 0; i < numbers.size();) {
        size_t j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1) ++j;
        if (!out.empty()) out += ", ";
        out += std::to_string(numbers[i]);
        if (j > i) out += "-" + std::to_string(numbers[j]);
        i = j + 1;
    }
    return out.empty() ? "none" : out;
}

MatchTally::MatchTally(const Json& settings) : settings_(settings) {
    const Json& id = settings.at("identity");
    for (const Json& e : id.at("engines")) labels_.push_back(e.at("label").get<std::string>());
    unit_ = settings.value("unit", "move");
    engines_.resize(labels_.size());
    const std::string t = id.at("tournament").get<std::string>();
    const int n = static_cast<int>(labels_.size());
    for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b)
            if (a == 0 || t == "round-robin") {
                PairingResult p;
                p.a = a;
                p.b = b;
                pairings_.push_back(p);
            }
    const Json& s = settings.value("sprt", Json());
    if (s.is_object())
        set_sprt({s.at("elo0").get<double>(), s.at("elo1").get<double>(),
                  s.at("alpha").get<double>(), s.at("beta").get<double>()});
}

int MatchTally::pairing_of(int a, int b) const {
    for (size_t i = 0; i < pairings_.size(); ++i)
        if ((pairings_[i].a == a && pairings_[i].b == b) ||
            (pairings_[i].a == b && pairings_[i].b == a))
            return static_cast<int>(i);
    return -1;
}

void MatchTally::add(const GameSummary& g) {
    games_.push_back(g);
    completed_pair_ = 0;
    const int n = static_cast<int>(engines_.size());
    for (int c = 0; c < 2; ++c) {
        if (g.engines[c] < 0 || g.engines[c] >= n) continue;
        EngineTotals& e = engines_[static_cast<size_t>(g.engines[c])];
        if (e.name.empty()) e.name = g.names[c];
        e.timed += g.tally[c].timed;
        e.total_ms += g.tally[c].total_ms;
        e.max_ms = std::max(e.max_ms, g.tally[c].max_ms);
        add_counters(e.counters, g.tally[c].counters);
        if (!g.fault_kind.empty() && g.fault_colour == c) e.faults[g.fault_kind] += 1;
        if (!g.played) continue;
        e.points += g.points[c];
        if (g.points[c] > g.points[1 - c])
            ++e.wins;
        else if (g.points[c] < g.points[1 - c])
            ++e.losses;
        else
            ++e.draws;
    }
    const int k = pairing_of(g.engines[0], g.engines[1]);
    if (k < 0 || !g.played) return;
    PairingResult& p = pairings_[static_cast<size_t>(k)];
    const int first = p.a == g.engines[0] ? 0 : 1; // the colour of the pairing's first engine
    const double mine = g.points[first], theirs = g.points[1 - first];
    (mine > theirs ? p.a_view.wins : mine < theirs ? p.a_view.losses : p.a_view.draws) += 1;
    if (g.pair <= 0) return;
    auto& open = open_pairs_[g.pair];
    open.first += 1;
    open.second += mine;
    if (open.first == 2) {
        int index = static_cast<int>(std::lround(open.second * 2));
        p.pairs.count[std::clamp(index, 0, 4)] += 1;
        completed_pair_ = g.pair;
        completed_pair_points_ = open.second;
        open_pairs_.erase(g.pair);
    }
}

SprtState MatchTally::sprt_state() const {
    if (pairings_.empty()) return SprtState{};
    const PairingResult& p = pairings_[0];
    if (settings_.at("identity").at("swap").get<bool>()) return sprt(sprt_, p.pairs);
    return sprt(sprt_, p.a_view);
}

EloEstimate MatchTally::estimate_now() const {
    if (pairings_.empty()) return EloEstimate{};
    return estimate(pairings_[0].a_view);
}

double MatchTally::first_points() const {
    return engines_.empty() ? 0 : engines_[0].points;
}

long long MatchTally::scored_games() const {
    long long n = 0;
    for (const GameSummary& g : games_) n += g.played;
    return n;
}

Trinomial MatchTally::paired_games() const {
    // The games of complete pairs only: their draw ratio goes with the pairs' Elo.
    Trinomial paired;
    std::map<long long, std::vector<const GameSummary*>> by_pair;
    for (const GameSummary& g : games_)
        if (g.played && g.pair > 0) by_pair[g.pair].push_back(&g);
    for (const auto& bp : by_pair) {
        if (bp.second.size() != 2) continue;
        for (const GameSummary* g : bp.second) {
            if (g->points[0] == g->points[1])
                ++paired.draws;
            else if ((g->points[0] > g->points[1]) == (g->engines[0] == 0))
                ++paired.wins;
            else
                ++paired.losses;
        }
    }
    return paired;
}

std::string MatchTally::header() const {
    const Json& id = settings_.at("identity");
    std::vector<long long> numbers;
    for (const GameSummary& g : games_) numbers.push_back(g.number);
    std::sort(numbers.begin(), numbers.end());
    std::ostringstream o;
    o << (labels_.size() > 2 ? "Tournament (" + id.at("tournament").get<std::string>() + ", " +
                                   std::to_string(labels_.size()) + " engines) of "
                             : std::string("Match of "))
      << games_.size() << " game(s) (games " << ranges_text(numbers) << "), "
      << (id.at("swap").get<bool>() ? "pairs with colours swapped" : "fixed colours");
    const Json& openings = id.value("openings", Json());
    if (openings.is_object() && openings.contains("random_plies"))
        o << ", random openings of " << openings["random_plies"].get<int>() << " plies";
    else if (openings.is_object())
        o << ", openings " << settings_.value("openings_file", std::string("?")) << " ("
          << openings.at("count").get<long long>() << ")";
    o << ", budget " << id.at("budget_ms").get<long long>() << " ms + margin "
      << id.at("margin_ms").get<long long>() << " ms per " << unit_ << ", seed "
      << id.at("seed").get<long long>() << "\n";
    const std::string note = settings_.value("note", std::string());
    if (!note.empty()) o << note << "\n";
    return o.str();
}

std::string MatchTally::statistics_text() const {
    std::ostringstream o;
    if (labels_.size() > 2) {
        o << crosstable(labels_, pairings_) << elo_table(labels_, pairings_);
        return o.str();
    }
    const PairingResult& p = pairings_[0];
    const long long games = p.a_view.wins + p.a_view.draws + p.a_view.losses;
    const double points =
        static_cast<double>(p.a_view.wins) + 0.5 * static_cast<double>(p.a_view.draws);
    const EloEstimate e = estimate(p.a_view);
    o << labels_[0] << " against " << labels_[1] << ": " << format_points(points) << "/" << games
      << " (" << percent(points, static_cast<double>(games)) << "), Elo " << format_elo(e)
      << ", LOS " << fixed(100 * e.los, 1) << "%, draws "
      << percent(static_cast<double>(p.a_view.draws), static_cast<double>(games)) << "\n";
    long long pairs = 0;
    for (long long c : p.pairs.count) pairs += c;
    if (settings_.at("identity").at("swap").get<bool>()) {
        const EloEstimate pe = estimate(p.pairs, paired_games());
        o << "Pairs: " << pairs << ", by " << labels_[0]
          << "'s points 0/0.5/1/1.5/2: " << p.pairs.count[0] << "/" << p.pairs.count[1] << "/"
          << p.pairs.count[2] << "/" << p.pairs.count[3] << "/" << p.pairs.count[4] << ", Elo "
          << format_elo(pe) << ", LOS " << fixed(100 * pe.los, 1) << "%\n";
    }
    if (sprt_on_) {
        const SprtState s = sprt_state();
        o << "SPRT (logistic Elo, "
          << (settings_.at("identity").at("swap").get<bool>() ? "pentanomial" : "trinomial")
          << "): elo0 " << fixed(sprt_.elo0, 1) << ", elo1 " << fixed(sprt_.elo1, 1) << ", alpha "
          << fixed(sprt_.alpha, 3) << ", beta " << fixed(sprt_.beta, 3) << ": LLR "
          << fixed(s.llr, 2) << " [" << fixed(s.lower, 2) << ", " << fixed(s.upper, 2) << "], "
          << verdict_name(s.verdict) << "\n";
    }
    return o.str();
}

std::string MatchTally::report(const std::vector<int>& concurrency) const {
    std::ostringstream o;
    o << header();
    // The engine table: results, the game's own counts, faults.
    std::vector<std::string> counters;
    for (const EngineTotals& e : engines_)
        for (const auto& c : e.counters)
            if (std::find(counters.begin(), counters.end(), c.first) == counters.end())
                counters.push_back(c.first);
    int lw = 6, nw = 4;
    for (size_t e = 0; e < engines_.size(); ++e) {
        lw = std::max(lw, static_cast<int>(std::min<size_t>(labels_[e].size(), 40)));
        nw = std::max(nw, static_cast<int>(std::min<size_t>(engines_[e].name.size(), 24)));
    }
    char buf[512];
    std::snprintf(buf, sizeof buf, "%-*s %-*s %5s %6s %5s %7s", lw, "engine", nw, "name", "wins",
                  "losses", "draws", "score %");
    o << buf;
    for (const std::string& c : counters) o << " " << title_of(c);
    o << " faults\n";
    for (size_t e = 0; e < engines_.size(); ++e) {
        const EngineTotals& t = engines_[e];
        int faults = 0;
        for (const auto& f : t.faults) faults += f.second;
        const long long played = t.wins + t.losses + t.draws;
        std::snprintf(buf, sizeof buf, "%-*.*s %-*.*s %5lld %6lld %5lld %7.1f", lw, lw,
                      labels_[e].c_str(), nw, nw, t.name.c_str(), t.wins, t.losses, t.draws,
                      played ? 100.0 * t.points / static_cast<double>(played) : 0.0);
        o << buf;
        for (const std::string& c : counters) {
            long long v = 0;
            for (const auto& tc : t.counters)
                if (tc.first == c) v = tc.second;
            std::snprintf(buf, sizeof buf, " %*lld", static_cast<int>(title_of(c).size()), v);
            o << buf;
        }
        std::snprintf(buf, sizeof buf, " %6d\n", faults);
        o << buf;
    }
    o << statistics_text();
    bool any = false;
    for (const GameSummary& g : games_) {
        if (g.fault_kind.empty() && g.notes.empty() && g.error.empty()) continue;
        if (!any) o << "Faults and notes:\n";
        any = true;
        if (!g.fault_kind.empty())
            o << "  game " << g.number << ": "
              << labels_[static_cast<size_t>(g.engines[g.fault_colour])] << ": " << g.fault_kind
              << ": " << g.fault_detail << "\n";
        if (!g.error.empty()) o << "  game " << g.number << ": not played: " << g.error << "\n";
        for (const std::string& n : g.notes) o << "  game " << g.number << ": note: " << n << "\n";
    }
    // Times last: they differ from run to run, and between numbers of games at once.
    std::set<int> at_once(concurrency.begin(), concurrency.end());
    std::string once;
    for (int c : at_once) once += (once.empty() ? "" : ", ") + std::to_string(c);
    o << "Reply times (games at once: " << once << "):\n";
    std::snprintf(buf, sizeof buf, "%-*s %8s %10s %10s\n", lw, "engine", (unit_ + "s").c_str(),
                  ("ms/" + unit_).c_str(), "max ms");
    o << buf;
    for (size_t e = 0; e < engines_.size(); ++e) {
        const EngineTotals& t = engines_[e];
        std::snprintf(buf, sizeof buf, "%-*.*s %8lld %10.1f %10.1f\n", lw, lw, labels_[e].c_str(),
                      t.timed, t.timed ? t.total_ms / static_cast<double>(t.timed) : 0.0, t.max_ms);
        o << buf;
    }
    return o.str();
}

namespace {

Json bound_json(const Bound& b) {
    return b.bounded ? Json(b.value) : Json(nullptr);
}

Json estimate_json(const EloEstimate& e) {
    Json j;
    j["games"] = e.games;
    j["score"] = e.score;
    j["elo"] = bound_json(e.elo);
    j["elo_low"] = bound_json(e.low);
    j["elo_high"] = bound_json(e.high);
    j["los"] = e.los;
    j["draw_ratio"] = e.draw_ratio;
    j["text"] = format_elo(e);
    return j;
}

Json sprt_json(const SprtSettings& s, const SprtState& st) {
    Json j;
    j["elo0"] = s.elo0;
    j["elo1"] = s.elo1;
    j["alpha"] = s.alpha;
    j["beta"] = s.beta;
    j["llr"] = st.llr;
    j["lower"] = st.lower;
    j["upper"] = st.upper;
    j["verdict"] = verdict_name(st.verdict);
    return j;
}

} // namespace

Json MatchTally::statistics_json() const {
    Json j = Json::object();
    if (pairings_.empty()) return j;
    if (labels_.size() == 2) {
        const PairingResult& p = pairings_[0];
        j["first"] = estimate_json(estimate(p.a_view));
        if (settings_.at("identity").at("swap").get<bool>()) {
            j["pentanomial"] = {p.pairs.count[0], p.pairs.count[1], p.pairs.count[2],
                                p.pairs.count[3], p.pairs.count[4]};
            j["pairs"] = estimate_json(estimate(p.pairs, paired_games()));
        }
        if (sprt_on_) j["sprt"] = sprt_json(sprt_, sprt_state());
        return j;
    }
    Json results = Json::array();
    for (const PairingResult& p : pairings_) {
        Json r;
        r["a"] = labels_[static_cast<size_t>(p.a)];
        r["b"] = labels_[static_cast<size_t>(p.b)];
        r["wins"] = p.a_view.wins;
        r["draws"] = p.a_view.draws;
        r["losses"] = p.a_view.losses;
        r["pentanomial"] = {p.pairs.count[0], p.pairs.count[1], p.pairs.count[2], p.pairs.count[3],
                            p.pairs.count[4]};
        results.push_back(r);
    }
    j["pairings"] = results;
    Json ratings = Json::array();
    std::vector<FieldRating> field = rate_field(static_cast<int>(labels_.size()), pairings_);
    for (size_t e = 0; e < field.size(); ++e) {
        Json r;
        r["label"] = labels_[e];
        r["group"] = field[e].group;
        r["elo"] = field[e].elo;
        r["error"] = field[e].error;
        r["points"] = field[e].points;
        r["games"] = field[e].games;
        ratings.push_back(r);
    }
    j["ratings"] = ratings;
    return j;
}

Json MatchTally::match_record(const std::string& match_id, int concurrency) const {
    const Json& id = settings_.at("identity");
    Json m;
    m["type"] = "match";
    m["games"] = games();
    m["budget_ms"] = id.at("budget_ms");
    m["margin_ms"] = id.at("margin_ms");
    m["seed"] = id.at("seed");
    m["concurrency"] = concurrency;
    for (const auto& item : id.at("game_settings").items()) m[item.key()] = item.value();
    m["match_id"] = match_id;
    m["first_game"] = games_.empty() ? 0 : games_.front().number;
    long long draws = 0;
    for (const GameSummary& g : games_) draws += g.played && g.points[0] == g.points[1];
    m["draws"] = draws;
    Json engines = Json::array();
    for (size_t e = 0; e < engines_.size(); ++e) {
        const EngineTotals& t = engines_[e];
        Json x;
        x["label"] = labels_[e];
        x["command"] = id.at("engines")[e].at("command");
        x["name"] = t.name;
        x["wins"] = t.wins;
        x["losses"] = t.losses;
        x["draws"] = t.draws;
        x["points"] = t.points;
        for (const auto& c : t.counters) x[c.first] = c.second;
        // The timed units under the unit's name ("lines") unless a count has that name, and the
        // times per unit under both the plain and the unit's names.
        if (!x.contains(unit_ + "s")) x[unit_ + "s"] = t.timed;
        const double mean = rounded_ms(t.timed ? t.total_ms / static_cast<double>(t.timed) : 0);
        x["mean_ms"] = mean;
        x["max_ms"] = rounded_ms(t.max_ms);
        if (unit_ != "move") {
            x["mean_ms_per_" + unit_] = mean;
            x["max_ms_per_" + unit_] = rounded_ms(t.max_ms);
        }
        Json faults = Json::object();
        for (const auto& f : t.faults) faults[f.first] = f.second;
        x["faults"] = faults;
        engines.push_back(x);
    }
    m["engines"] = engines;
    m["statistics"] = statistics_json();
    return m;
}

Json MatchTally::pair_record(const std::string& match_id) const {
    Json p;
    p["type"] = "pair";
    p["match_id"] = match_id;
    p["pair"] = completed_pair_;
    p["games"] = {2 * completed_pair_ - 1, 2 * completed_pair_};
    p["first_points"] = completed_pair_points_;
    if (labels_.size() == 2) {
        const PairingResult& pr = pairings_[0];
        p["pentanomial"] = {pr.pairs.count[0], pr.pairs.count[1], pr.pairs.count[2],
                            pr.pairs.count[3], pr.pairs.count[4]};
        if (sprt_on_) p["sprt"] = sprt_json(sprt_, sprt_state());
    }
    return p;
}

} // namespace matchtools
