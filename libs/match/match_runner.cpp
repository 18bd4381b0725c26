#include "match_runner.h"

#include "engine_session.h"
#include "match_text.h"
#include "version.h"

#include <cstdio>

namespace matchtools {

namespace {

std::string file_name(const std::string& path) {
    return path.substr(path.find_last_of("/\\") + 1);
}

} // namespace

MatchRun::MatchRun(const MatchOptions& options, GameKind kind, std::ostream* log,
                   std::ostream* json)
    : options_(options), kind_(std::move(kind)), log_(log), json_(json),
      pairings_(pairings_of(static_cast<int>(options.commands.size()), options.tournament)),
      tally_(Json{
          {"identity", {{"engines", Json::array()}, {"tournament", "match"}, {"swap", true}}}}) {}

bool MatchRun::prepare(std::string& why) {
    if (!options_.openings.empty() &&
        !read_openings(options_.openings, kind_.openings, openings_, why))
        return false;
    Json identity;
    identity["tool"] = kind_.tool;
    identity["game"] = kind_.game;
    Json engines = Json::array();
    for (size_t e = 0; e < options_.commands.size(); ++e)
        engines.push_back({{"label", options_.labels[e]}, {"command", options_.commands[e]}});
    identity["engines"] = engines;
    identity["tournament"] = tournament_name(options_.tournament);
    identity["swap"] = options_.swap;
    identity["seed"] = options_.seed;
    identity["budget_ms"] = options_.budget_ms;
    identity["margin_ms"] = options_.margin_ms;
    if (!openings_.empty())
        identity["openings"] = {{"count", openings_.size()},
                                {"digest", openings_digest(openings_)}};
    else if (options_.random_openings > 0)
        identity["openings"] = {{"random_plies", options_.random_openings}};
    else
        identity["openings"] = nullptr;
    identity["game_settings"] = kind_.game_settings;
    match_id_ = identity_digest(identity);

    settings_ = Json();
    settings_["type"] = "settings";
    settings_["match_id"] = match_id_;
    settings_["tool"] = kind_.tool;
    settings_["version"] = project_version::text();
    settings_["identity"] = identity;
    settings_["unit"] = kind_.unit;
    settings_["note"] = kind_.note;
    if (!openings_.empty()) settings_["openings_file"] = file_name(options_.openings);
    settings_["first_game"] = options_.first_game;
    settings_["games"] = options_.games;
    settings_["concurrency"] = options_.concurrency;
    if (options_.sprt)
        settings_["sprt"] = {{"elo0", options_.elo0},
                             {"elo1", options_.elo1},
                             {"alpha", options_.alpha},
                             {"beta", options_.beta}};
    else
        settings_["sprt"] = nullptr;
    tally_ = MatchTally(settings_);

    if ((!openings_.empty() || options_.random_openings > 0) && !probe_engines(why)) return false;
    if (json_) {
        *json_ << json_line(settings_) << "\n";
        json_->flush();
    }
    if (options_.progress)
        progress_ = std::make_unique<Progress>(
            stderr, options_.games, options_.commands.size() == 2 ? options_.labels[0] : "");
    return true;
}

// An engine that cannot take an opening would fail every game: each is asked once, before
// any game, to start an empty game through "history".
bool MatchRun::probe_engines(std::string& why) {
    const int reply_ms = options_.budget_ms + options_.margin_ms;
    for (size_t e = 0; e < options_.commands.size(); ++e) {
        engine_session::EngineSession s;
        const std::string who = options_.labels[e] + " (" + options_.commands[e] + ")";
        if (!s.start(with_seed(options_.commands[e], options_.seed))) {
            why = who + " cannot start: " + s.detail();
            return false;
        }
        std::string line;
        const auto sent = engine_session::Clock::now();
        if (!s.ask_name(reply_ms) || !s.send(kind_.history_probe)) {
            why = who + " does not answer \"name?\": " + s.detail();
            return false;
        }
        s.expect({"history", "in answer to \"" + kind_.history_probe + "\"",
                  engine_session::Clock::now(),
                  engine_session::Clock::now() + std::chrono::milliseconds(reply_ms)});
        (void)sent;
        const bool answered = s.read(line);
        if (!answered || line != "history ok") {
            why = who + " does not accept openings: it did not answer \"" + kind_.history_probe +
                  "\" with \"history ok\" (" +
                  (answered ? "it answered \"" + line + "\"" : s.detail()) +
                  "); openings need the \"history\" command of the engine protocol";
            return false;
        }
        s.quit(true, std::chrono::milliseconds(2000));
    }
    return true;
}

GameSetup MatchRun::setup(long long index) const {
    GameSetup g;
    g.slot = slot_of(options_.first_game + index, pairings_, options_.swap, options_.seed);
    g.engines[0] = g.slot.opener;
    g.engines[1] = g.slot.second;
    for (int c = 0; c < 2; ++c) {
        const size_t e = static_cast<size_t>(g.engines[c]);
        g.labels[c] = options_.labels[e];
        g.commands[c] = with_seed(options_.commands[e], g.slot.seed);
    }
    if (!openings_.empty()) {
        g.has_opening = true;
        g.opening =
            openings_[static_cast<size_t>(g.slot.round % static_cast<long long>(openings_.size()))];
    } else if (options_.random_openings > 0) {
        g.opening.moves = kind_.openings.random(options_.random_openings, g.slot.unit_seed);
        g.opening.source = "random, seed " + std::to_string(g.slot.unit_seed);
        g.has_opening = !g.opening.moves.empty();
    }
    return g;
}

bool MatchRun::done(const GameSetup& game, const std::string& log_text, const Json& part) {
    Json record = game_record_head(game.slot.number, game.slot.seed, match_id_, game.slot.pair,
                                   game.has_opening ? &game.opening : nullptr);
    for (const auto& item : part.items()) record[item.key()] = item.value();
    // The tally reads the record as match-report will: both print the same report.
    GameSummary summary;
    std::string why;
    if (!summary_of(Json::parse(json_line(record)), summary, why)) {
        std::fprintf(stderr, "%s: game %lld: %s\n", kind_.tool.c_str(), game.slot.number,
                     why.c_str());
        return false;
    }
    tally_.add(summary);
    if (log_) {
        *log_ << log_text;
        log_->flush();
    }
    if (json_) {
        *json_ << json_line(record) << "\n";
        if (tally_.completed_pair() > 0) *json_ << json_line(tally_.pair_record(match_id_)) << "\n";
        json_->flush();
    }
    const bool pair_done = tally_.completed_pair() > 0 || !options_.swap;
    if (tally_.sprt_on() && pair_done && log_) {
        const SprtState s = tally_.sprt_state();
        char buf[200];
        std::snprintf(buf, sizeof buf, "SPRT after %s %lld: LLR %.2f [%.2f, %.2f], %s\n",
                      options_.swap ? "pair" : "game",
                      options_.swap ? tally_.completed_pair() : game.slot.number, s.llr, s.lower,
                      s.upper, verdict_name(s.verdict));
        *log_ << buf;
        log_->flush();
    }
    if (progress_) progress_->update(tally_.games(), tally_);
    if (tally_.sprt_on() && pair_done && tally_.sprt_state().verdict != SprtVerdict::Continue)
        stopped_ = true;
    return !stopped_;
}

void MatchRun::finish() {
    if (progress_) progress_->end();
    if (json_) {
        Json m = tally_.match_record(match_id_, options_.concurrency);
        *json_ << json_line(m) << "\n";
        json_->flush();
    }
}

} // namespace matchtools
