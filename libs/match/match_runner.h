// One match runner for both games: which games to play (schedule, openings), games at once,
// the log for people and the JSON lines, the tally and its statistics, the SPRT stop, the
// progress line and the closing report. A referee supplies its game: how one game is played
// and judged, and its record.
#pragma once

#include "match_log.h"
#include "match_options.h"
#include "match_tally.h"
#include "openings.h"
#include "parallel_games.h"
#include "progress.h"
#include "schedule.h"

#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace matchtools {

// What a referee tells the runner about its game.
struct GameKind {
    std::string tool;                    // "dab-referee"
    std::string game;                    // "dots-and-boxes"
    std::string unit;                    // what the budget is for: "line", "move"
    Json game_settings = Json::object(); // the referee's own settings that decide games
    std::string note;                    // a line under the report's first one, or ""
    OpeningRules openings;
    // A "history" line that starts an empty game in which the engine is not to move: engines
    // that do not answer it with "history ok" cannot play openings.
    std::string history_probe;
};

// One game to play, as the schedule gives it.
struct GameSetup {
    GameSlot slot;
    int engines[2] = {0, 1}; // by colour: 0 Black (opens), 1 White
    std::string labels[2];   // by colour
    std::string commands[2]; // by colour, "{seed}" replaced by the game's seed
    bool has_opening = false;
    Opening opening;
};

class MatchRun {
  public:
    MatchRun(const MatchOptions& options, GameKind kind, std::ostream* log, std::ostream* json);

    // Reads the openings (a bad line is refused with its file and line) and makes sure every
    // engine accepts them; writes the settings line. False with why.
    bool prepare(std::string& why);

    long long games() const { return options_.games; }
    // The index-th game of this run (from 0): game first_game + index of the match.
    GameSetup setup(long long index) const;

    // A game is over (in order): its log text and the referee's part of its record (which
    // ends with put_summary's fields). False when the match stops here (SPRT).
    bool done(const GameSetup& game, const std::string& log_text, const Json& record);
    // The closing "match" line.
    void finish();

    const MatchTally& tally() const { return tally_; }
    const Json& settings() const { return settings_; }
    const std::string& match_id() const { return match_id_; }
    std::string report() const { return tally_.report({options_.concurrency}); }
    bool stopped() const { return stopped_; }

  private:
    bool probe_engines(std::string& why);

    MatchOptions options_;
    GameKind kind_;
    std::ostream* log_;
    std::ostream* json_;
    std::vector<Pairing> pairings_;
    std::vector<Opening> openings_;
    Json settings_;
    std::string match_id_;
    MatchTally tally_;
    std::unique_ptr<Progress> progress_;
    bool stopped_ = false;
};

// Plays the run: play(setup, log) for each game, options.concurrency at once; kept(result)
// then record(result) in game order (record gives the log text and the record).
template <typename Result>
void play_games(
    MatchRun& run, int concurrency,
    const std::function<Result(const GameSetup&, std::ostream*)>& play,
    const std::function<std::pair<std::string, Json>(const GameSetup&, Result&)>& record) {
    auto one = [&](long long index) {
        GameSetup setup = run.setup(index);
        std::ostringstream log;
        Result r = play(setup, &log);
        std::string text = log.str();
        return std::make_pair(std::move(setup), std::make_pair(std::move(r), std::move(text)));
    };
    using Played = std::pair<GameSetup, std::pair<Result, std::string>>;
    run_in_order<Played>(run.games(), concurrency, one, [&](long long, Played& p) {
        std::pair<std::string, Json> out = record(p.first, p.second.first);
        return run.done(p.first, p.second.second + out.first, out.second);
    });
}

} // namespace matchtools
