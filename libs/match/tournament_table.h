// Tables of a tournament of several engines from the results of its pairings.
//
// The crosstable gives each engine's points against each other engine. The Elo table gives
// maximum-likelihood logistic ratings: the ratings r under which every engine's expected
// points, the sum over its games of 1 / (1 + 10^(-(r_own - r_other)/400)), equal the points
// it scored (draws half a point). They are relative to the mean of the engines rated
// together, which is 0. Their 95% intervals are +-1.96 standard errors from the curvature of
// that likelihood, with each pairing's spread as its results show it (draws, and pairs of
// games with colours swapped, spread less than wins and losses).
//
// Ratings exist only among engines that each scored against the others in a chain: when a
// set of engines took every point of its games against another, or never met it, no finite
// difference fits. The engines are then rated in groups, each against its own mean, and the
// table says which group took every point from which.
#pragma once

#include <string>
#include <vector>

#include "statistics.h"

namespace matchtools {

struct PairingResult {
    int a = 0, b = 0; // engines by index
    Trinomial a_view;
    Pentanomial pairs;
};

// Crosstable: one row per engine (ordered by score), points against each other engine,
// total, games. Pairings naming an engine out of range, or an engine against itself, are
// left out; several results of one pairing (either way round) add up.
std::string crosstable(const std::vector<std::string>& labels, const std::vector<PairingResult>& r);
// Elo table: each engine's Elo relative to the mean of its group (the whole field when
// every engine scored against the others), with its interval.
std::string elo_table(const std::vector<std::string>& labels, const std::vector<PairingResult>& r);

// Helper beside the contract: the ratings behind elo_table.
struct FieldRating {
    int group = -1;    // engines rated together share a group, 0 first; -1: no games
    double elo = 0;    // relative to the group's mean
    double error = 0;  // standard error; 0 for an engine alone in its group
    double points = 0; // over all its games
    long long games = 0;
};
std::vector<FieldRating> rate_field(int engines, const std::vector<PairingResult>& r);

} // namespace matchtools
