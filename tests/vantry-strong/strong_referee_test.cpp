// The strong program through the referee, as the platform drives it: whole games against
// the chain opponent and the default engine, every reply judged, no fault.
#include <gtest/gtest.h>

#include <string>

#include "child_process.h"
#include "referee.h"

namespace dabtools {
namespace {

std::string program(const std::string& name) {
#ifdef _WIN32
    return program_directory() + "\\" + name + ".exe";
#else
    return program_directory() + "/" + name;
#endif
}

struct Opponent {
    const char* label;
    std::string command;
};

class StrongThroughReferee : public ::testing::TestWithParam<Opponent> {};

TEST_P(StrongThroughReferee, PlaysWholeGamesWithoutFault) {
    EngineSpec engines[2] = {{"strong", program("vantry-strong-quick")},
                             {GetParam().label, GetParam().command}};
    Options o;
    o.games = 2; // colours swapped
    o.budget_ms = 40;
    o.margin_ms = 3000; // generous on a loaded machine: faults, not speed, are checked
    o.seed = 7;
    MatchResult m = run_match(engines, o, nullptr, nullptr);
    ASSERT_EQ(m.games.size(), 2u);
    for (const GameResult& g : m.games) {
        EXPECT_EQ(g.fault, Fault::None) << "game " << g.number << ": " << g.fault_detail;
        EXPECT_EQ(g.score[0] + g.score[1], 25) << "game " << g.number << ": " << g.reason;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Opponents, StrongThroughReferee,
    ::testing::Values(Opponent{"chain", program("dab-opponent") + " chain --seed {seed}"},
                      Opponent{"vantry", program("vantry-quick")}),
    [](const ::testing::TestParamInfo<Opponent>& info) { return std::string(info.param.label); });

} // namespace
} // namespace dabtools
