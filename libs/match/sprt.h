// The sequential probability ratio test of a match: after every game (or game pair) the
// log-likelihood ratio of H1 "the Elo difference is elo1" against H0 "it is elo0" is
// compared with Wald's bounds ln(beta / (1 - alpha)) and ln((1 - beta) / alpha); the match
// stops when it leaves them.
//
// The test is the generalized SPRT on the logistic Elo model: the expected score of a
// difference D is 1 / (1 + 10^(-D/400)), and the likelihood is that of the observed results
// with everything but their mean left free, maximised under each hypothesis: pentanomial
// (the five possible points of a game pair) for paired games, trinomial (win, draw, loss)
// otherwise. For many results that maximised ratio is, to second order,
//     LLR = n (s1 - s0) (2 s - s0 - s1) / (2 v)
// with n results (pairs or games) of mean s and variance v on the 0..1 scale, and s0, s1
// the expected scores of elo0 and elo1. While nearly every result is the same, v says
// nothing yet: it is taken as at least n / (4 (n + 1)^2), the variance of n + 1 results of
// which one lies half the scale from the others, so that a first drawn pair does not end a
// match and a run of wins still does.
#pragma once

#include <string>

#include "statistics.h"

namespace matchtools {

struct SprtSettings {
    double elo0 = 0, elo1 = 5, alpha = 0.05, beta = 0.05;
};
enum class SprtVerdict { Continue, AcceptH0, AcceptH1 };
struct SprtState {
    double llr = 0, lower = 0, upper = 0;
    SprtVerdict verdict = SprtVerdict::Continue;
};

SprtState sprt(const SprtSettings& s, const Pentanomial& p); // paired games
SprtState sprt(const SprtSettings& s, const Trinomial& t);   // unpaired games
const char* verdict_name(SprtVerdict v); // "continue", "H0 accepted", "H1 accepted"

// Helpers beside the contract.

// Settings the test can run with: alpha and beta in (0, 1) with alpha + beta < 1 (so the
// bounds lie either side of 0), elo0 < elo1, both within +-1000. Otherwise false and why.
// sprt() with other settings reports an LLR of 0 and goes on.
bool check_sprt_settings(const SprtSettings& s, std::string& why);
// "LLR -0.53 [-2.94, 2.94] continue".
std::string format_sprt(const SprtState& state);

} // namespace matchtools
