// A match's results, game by game, and everything said about them: the table of engines,
// the statistics of two engines (score, Elo with its interval, LOS, draw ratio; for pairs of
// games the pentanomial counts and their Elo), the SPRT, a tournament's crosstable and Elo
// table, faults and notes, and reply times. The referees build it as games end and
// match-report from logs, from the same records, so both print the same report.
#pragma once

#include "match_log.h"
#include "sprt.h"
#include "statistics.h"
#include "tournament_table.h"

#include <map>
#include <string>
#include <vector>

namespace matchtools {

class MatchTally {
  public:
    // From a settings record (see match_log.h).
    explicit MatchTally(const Json& settings);

    // The games in order of their numbers.
    void add(const GameSummary& game);
    // The pair the last game completed (0 if none): its first engine's points.
    long long completed_pair() const { return completed_pair_; }
    double completed_pair_points() const { return completed_pair_points_; }

    bool sprt_on() const { return sprt_on_; }
    void set_sprt(const SprtSettings& s) {
        sprt_on_ = true;
        sprt_ = s;
    }
    SprtState sprt_state() const;
    // The first engine's results against the second (two engines), pairs if any.
    EloEstimate estimate_now() const;
    long long games() const { return static_cast<long long>(games_.size()); }
    double first_points() const;
    long long scored_games() const;

    // The report for people. concurrency: how many games ran at once in each log.
    std::string report(const std::vector<int>& concurrency) const;
    // The "match" record closing a log.
    Json match_record(const std::string& match_id, int concurrency) const;
    // The "pair" record after a pair is complete.
    Json pair_record(const std::string& match_id) const;

  private:
    struct EngineTotals {
        std::string name;
        long long wins = 0, losses = 0, draws = 0;
        double points = 0;
        long long timed = 0;
        double total_ms = 0, max_ms = 0;
        std::vector<std::pair<std::string, long long>> counters;
        std::map<std::string, int> faults;
    };
    int pairing_of(int a, int b) const;
    std::string header() const;
    Trinomial paired_games() const;
    std::string statistics_text() const;
    Json statistics_json() const;

    Json settings_;
    std::vector<std::string> labels_;
    std::string unit_;
    std::vector<PairingResult> pairings_;
    std::map<long long, std::pair<int, double>> open_pairs_; // pair: games seen, first's points
    std::vector<EngineTotals> engines_;
    std::vector<GameSummary> games_;
    long long completed_pair_ = 0;
    double completed_pair_points_ = 0;
    bool sprt_on_ = false;
    SprtSettings sprt_;
};

// "1-12" or "1-4, 9-12": the game numbers (sorted) as ranges.
std::string ranges_text(const std::vector<long long>& numbers);

} // namespace matchtools
