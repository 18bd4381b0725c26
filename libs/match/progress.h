// The progress line of a match on standard error: games done, the first engine's score and
// Elo, the SPRT's log-likelihood ratio when it runs, and the time left at the pace so far.
// On a terminal the line is rewritten in place; elsewhere (a file, a pipe) each update is a
// line of its own.
#pragma once

#include "match_tally.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace matchtools {

// "8/100 games, engine 5.5/8 (68.8%), Elo +135.2 +- 210.0, LLR 0.31 [-2.94, 2.94], 3m20s left"
std::string progress_text(long long done, long long total, double seconds, const MatchTally& tally,
                          const std::string& first_label);
// "3m20s", "1h05m", "42s".
std::string duration_text(double seconds);

class Progress {
  public:
    Progress(std::FILE* out, long long total, std::string first_label);
    void update(long long done, const MatchTally& tally);
    void end();

  private:
    std::FILE* out_;
    bool terminal_;
    long long total_;
    std::string first_label_;
    std::chrono::steady_clock::time_point start_;
    size_t shown_ = 0; // length of the line on the terminal
};

} // namespace matchtools
