// Fitting the evaluation's weights to game results: the probability that the side to move
// wins is read from its evaluation e as 1 / (1 + 10^(-k e / 400)); the weights minimise the
// mean log loss of that probability against the points the side to move got in the game.
// The evaluation is linear in its weights, so the loss is convex in them and Newton steps
// find the minimum in a few passes.
#ifndef ORBELLO_TOOLS_TUNER_FITTING_H
#define ORBELLO_TOOLS_TUNER_FITTING_H

#include "search/evaluation.h"

#include <string>
#include <vector>

namespace orbello_tuner {

// Two weights per term: the opening one (index 2t) and the ending one (2t + 1).
constexpr int PARAMS = 2 * orbello_engine::TERM_COUNT;

struct Sample {
    float x[PARAMS]; // the terms, each split by the phase into its opening and ending shares
    float result;    // the side to move's points: 1, 0.5 or 0
};

using Params = std::vector<double>; // PARAMS weights

Sample MakeSample(const orbello_engine::Terms& terms, double result);
Params EngineWeights();

double Value(const Sample& s, const Params& w);
// Mean log loss over the samples; with gradient non-null, also its gradient by the weights.
double Loss(const std::vector<Sample>& samples, const Params& w, double k,
            Params* gradient = nullptr);
// The k at which the weights w fit best (the scale that ties evaluation units to results).
double FitScale(const std::vector<Sample>& samples, const Params& w);

struct FitReport {
    int iterations = 0;
    double loss = 0;
};
// Newton steps on the weights at a fixed k until the loss stops falling. Weights whose index
// is in frozen keep their values. ridge: a small penalty on the weights' squares that keeps
// terms the samples cannot tell apart from running off.
FitReport FitWeights(const std::vector<Sample>& samples, Params& w, double k,
                     const std::vector<int>& frozen, double ridge, int maxIterations);

// The weights as the evaluation's table, one term a line, rounded to whole numbers.
std::string WeightTable(const Params& w);
// Replaces the table in the text of the evaluation's source; false when it is not found.
bool ReplaceWeightTable(std::string& source, const Params& w);

} // namespace orbello_tuner

#endif
