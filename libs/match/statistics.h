// What a match's results say about the strength of the first engine against the second:
// score, logistic Elo difference with a 95% interval, likelihood of superiority, draw ratio;
// from single games (win/draw/loss counts) or from game pairs (one opening, colours
// swapped), whose points vary less than single games when the opening decides much.
//
// Elo is logistic: a difference of D points means an expected score of 1 / (1 + 10^(-D/400)).
// The interval is a score interval: the expected scores p whose distance from the observed
// score is within 1.96 standard errors computed at p itself (the spread of a result at p is
// p(1 - p) less what the drawn results take from it, held at its observed share). For long
// matches it is the familiar score +- 1.96 standard errors; unlike that one it stays sound at
// the extremes: all wins give a lower bound and an unbounded upper one, and the share of
// drawn results is counted over one more result than played, a decisive one, so that a run
// of draws does not claim certainty.
#pragma once

#include <string>

namespace matchtools {

// The two-sided 95% point of the normal distribution.
constexpr double kZ95 = 1.959963984540054;

struct Trinomial {
    long long wins = 0, draws = 0, losses = 0; // first engine's view
};
// Game pairs (one opening, colours swapped), counted by the first engine's points in the
// pair: index 0..4 = 0, 0.5, 1, 1.5, 2 points.
struct Pentanomial {
    long long count[5] = {0, 0, 0, 0, 0};
};
struct Bound {
    double value = 0;
    bool bounded = true; // unbounded: +-infinity, no number (value holds the signed infinity)
};
struct EloEstimate {
    long long games = 0;   // games behind the estimate (pairs x 2 for a pentanomial)
    double score = 0.5;    // mean points per game, 0..1
    double draw_ratio = 0; // draws / games
    Bound elo;             // logistic Elo of the score
    Bound low, high;       // 95% interval
    double los = 0.5;      // likelihood of superiority
};

// From single games. LOS from wins and losses alone (draws say nothing about who is
// stronger): the normal probability that the true win share exceeds the loss share.
EloEstimate estimate(const Trinomial& t);
// From game pairs, the spread taken from the pairs' points; games_of_the_pairs gives the
// draw ratio (pairs do not tell how many of their games were drawn). LOS from the pairs'
// mean and spread.
EloEstimate estimate(const Pentanomial& p, const Trinomial& games_of_the_pairs);

// "+35.2 +- 20.1", "+35.2 [-10.0, +80.4]" when asymmetric, "+inf (unbounded) [+120.3,
// unbounded]"; "no games" when there are none.
std::string format_elo(const EloEstimate& e);

// Helpers beside the contract.

// The logistic Elo of a score, unbounded at 0 and 1; and the expected score of a difference.
Bound elo_of_score(double score);
double score_of_elo(double elo);
// One Elo figure with sign and one decimal ("+12.3", "+0.0"), or "+inf (unbounded)".
std::string format_elo_value(const Bound& b);
// One interval end: a figure, or "unbounded".
std::string format_bound(const Bound& b);
// Results on the 0..1 scale, one unit a game (0, 1/2, 1) or a pair (0, 1/4, .. 1): their
// number, mean, spread (variance per unit) and interior (the mean of x(1 - x): what results
// short of a whole win or loss take from the largest spread, mean(1 - mean)).
struct ScoreSample {
    long long units = 0;
    double mean = 0.5;
    double variance = 0;
    double interior = 0;
};
ScoreSample sample_of(const Trinomial& t);
ScoreSample sample_of(const Pentanomial& p);

// Totals of a pair count: the pairs and their points, 0..2 each.
long long pair_count(const Pentanomial& p);
double pair_points(const Pentanomial& p);
// "[n0, n1, n2, n3, n4]".
std::string format_pentanomial(const Pentanomial& p);
long long games_of(const Trinomial& t);
// The other engine's view.
Trinomial reversed(const Trinomial& t);
Pentanomial reversed(const Pentanomial& p);

} // namespace matchtools
