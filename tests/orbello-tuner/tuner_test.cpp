// The tuner: loss and gradient against values worked out by hand, the scale and the weights
// recovered from results made up to fit known ones, the weight table written back into the
// source, and the positions read from the referee's records.
#include "fitting.h"
#include "positions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using namespace orbello_tuner;
using namespace orbello_engine;

// ln 10 / 400: the slope of the natural logistic per evaluation unit at k = 1.
const double C = std::log(10.0) / 400;

Sample Made(std::vector<std::pair<int, float>> x, float result) {
    Sample s{};
    for (const auto& [i, v] : x) s.x[i] = v;
    s.result = result;
    return s;
}

struct LossCase {
    const char* what;
    std::vector<Sample> samples;
    std::vector<std::pair<int, double>> weights; // the rest are 0
    double k;
    double loss;
    std::vector<std::pair<int, double>> gradient; // the rest are 0
};

TEST(Fitting, LossAndGradientByHand) {
    const LossCase cases[] = {
        // e = 400 at k = 1 gives p = 10/11: losing costs ln 11; e = 0 costs ln 2 either way.
        {"a loss at 10:1, a win and a loss at even odds",
         {Made({{0, 1}}, 0), Made({}, 1), Made({{0, -0.5f}, {3, 2}}, 0)},
         {{0, 400}, {3, 100}},
         1,
         (std::log(11.0) + 2 * std::log(2.0)) / 3,
         {{0, C * (10.0 / 11 - 0.5 * 0.5) / 3}, {3, C * 0.5 * 2 / 3}}},
        // k scales the argument: e = 200 at k = 2 is again p = 10/11, here a win.
        {"a win at 10:1 with k = 2",
         {Made({{1, 1}}, 1)},
         {{1, 200}},
         2,
         std::log(1.1),
         {{1, -2 * C / 11}}},
        {"a draw at even odds costs ln 2 and pulls nowhere",
         {Made({{5, 3}}, 0.5f)},
         {},
         1,
         std::log(2.0),
         {}},
    };
    for (const LossCase& c : cases) {
        Params w(PARAMS, 0.0);
        for (const auto& [i, v] : c.weights) w[i] = v;
        Params g;
        EXPECT_NEAR(Loss(c.samples, w, c.k, &g), c.loss, 1e-9) << c.what;
        Params want(PARAMS, 0.0);
        for (const auto& [i, v] : c.gradient) want[i] = v;
        for (int i = 0; i < PARAMS; ++i) EXPECT_NEAR(g[i], want[i], 1e-9) << c.what << " " << i;
    }
}

TEST(Fitting, GradientMatchesTheLossBetweenNearbyWeights) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> term(-3, 3);
    std::vector<Sample> samples;
    for (int n = 0; n < 50; ++n) {
        Sample s{};
        for (float& x : s.x) x = term(rng);
        s.result = static_cast<float>(rng() % 3) / 2;
        samples.push_back(s);
    }
    Params w = EngineWeights(), g;
    const double k = 1.7;
    Loss(samples, w, k, &g);
    for (int i = 0; i < PARAMS; ++i) {
        Params up = w, down = w;
        up[i] += 0.01;
        down[i] -= 0.01;
        EXPECT_NEAR((Loss(samples, up, k) - Loss(samples, down, k)) / 0.02, g[i], 1e-7) << i;
    }
}

// Results set to the probabilities that known weights and k give: the fit must find them.
std::vector<Sample> ResultsOf(const Params& w, double k, int count) {
    std::mt19937 rng(9);
    std::uniform_int_distribution<int> term(-4, 4);
    std::vector<Sample> samples;
    for (int n = 0; n < count; ++n) {
        Sample s{};
        for (int i : {0, 1, 4, 13}) s.x[i] = static_cast<float>(term(rng));
        s.result = static_cast<float>(1 / (1 + std::pow(10.0, -k * Value(s, w) / 400)));
        samples.push_back(s);
    }
    return samples;
}

TEST(Fitting, ScaleAndWeightsRecoveredFromTheirOwnResults) {
    Params truth(PARAMS, 0.0);
    truth[0] = 60;
    truth[1] = 140;
    truth[4] = -25;
    truth[13] = 8;
    for (double k : {0.8, 3.7}) {
        const std::vector<Sample> samples = ResultsOf(truth, k, 400);
        EXPECT_NEAR(FitScale(samples, truth), k, 1e-3);
        Params w(PARAMS, 0.0);
        w[0] = 100;
        w[1] = 100;
        const FitReport r = FitWeights(samples, w, k, {}, 0, 50);
        EXPECT_GT(r.iterations, 1);
        for (int i = 0; i < PARAMS; ++i) EXPECT_NEAR(w[i], truth[i], 0.05) << "k " << k << " " << i;
        // A frozen weight keeps its value; the others still move toward the truth.
        Params f(PARAMS, 0.0);
        f[0] = 100;
        FitWeights(samples, f, k, {0}, 0, 50);
        EXPECT_EQ(f[0], 100);
        EXPECT_NEAR(f[4], truth[4], 15);
    }
}

TEST(Fitting, TableWrittenIntoTheSource) {
    Params w = EngineWeights();
    w[2 * PIECE] = 123.4;
    w[2 * PIECE + 1] = 45.6;
    w[2 * TEMPO] = 0;
    w[2 * TEMPO + 1] = -7.5; // halves round away from zero
    std::string source = "#include x\nconst TermWeight WEIGHTS[TERM_COUNT] = {\n    {\"PIECE\", 1, "
                         "1},\n};\n\nint After() {}\n";
    ASSERT_TRUE(ReplaceWeightTable(source, w));
    EXPECT_NE(source.find("    {\"PIECE\", 123, 46},\n    {\"CORNER\""), std::string::npos);
    EXPECT_NE(source.find("    {\"TEMPO\", 0, -8},\n};\n\nint After() {}\n"), std::string::npos);
    EXPECT_EQ(source.rfind("#include x\nconst TermWeight", 0), 0u);
    std::string none = "int x;\n";
    EXPECT_FALSE(ReplaceWeightTable(none, w));
}

// The first moves of a game from the referee's log.
const char* const GAME =
    R"({"type":"game","game":1,"seed":1,"bases":[65,65],"moves":["CBCC","DEED","DBDC"],)"
    R"("ms":[1,2,3],"result":"white","winner_label":"x","reason":"r","adjudication":null})";

TEST(Positions, RecordsReadOrRefused) {
    struct Case {
        std::string line;
        bool game;      // a game to learn from
        bool complaint; // refused with a reason
        double blackPoints;
        std::size_t moves;
    };
    std::string draw = GAME, none = GAME, letters = GAME, broken = GAME;
    draw.replace(draw.find("\"white\""), 7, "\"draw\"");
    none.replace(none.find("\"white\""), 7, "\"none\"");
    letters.replace(letters.find("[65,65]"), 7, "[97,49]");
    broken.replace(broken.find("\"DBDC\"]"), 7, "\"DBDC\"");
    // clang-format off
    const Case cases[] = {
        {GAME, true, false, 0, 3},
        {draw, true, false, 0.5, 3},
        {none, false, false, 0, 0},
        {R"({"type":"match","games":2})", false, false, 0, 0},
        {broken, false, true, 0, 0},
        {R"({"type":"game","moves":["CBCC"]})", false, true, 0, 0},
        {R"({"type":"game","result":"black","moves":["CBCC",17]})", false, true, 0, 0},
        {R"({"type":"game","result":"black","bases":[65],"moves":[]})", false, true, 0, 0},
        // The match runner's records name the opening's moves before the game's own list.
        {R"({"type":"game","opening":{"moves":["CBCC"]},"result":"black",)"
         R"("moves":["CBCC","DEED","DBDC","EEDD"]})", true, false, 1, 4},
    };
    // clang-format on
    for (const Case& c : cases) {
        GameRecord r;
        std::string why;
        EXPECT_EQ(ReadGameRecord(c.line, r, why), c.game) << c.line;
        EXPECT_EQ(!why.empty(), c.complaint) << c.line << ": " << why;
        if (!c.game) continue;
        EXPECT_EQ(r.blackPoints, c.blackPoints);
        EXPECT_EQ(r.moves.size(), c.moves);
    }
    GameRecord r;
    std::string why;
    ASSERT_TRUE(ReadGameRecord(letters, r, why));
    EXPECT_EQ(r.baseX, 97);
    EXPECT_EQ(r.baseY, 49);
}

TEST(Positions, ReplayFollowsTheMovesAndStopsAtAnIllegalOne) {
    GameRecord r;
    std::string why;
    ASSERT_TRUE(ReadGameRecord(GAME, r, why));
    std::vector<Position> positions;
    ASSERT_TRUE(ReplayGame(r, positions, why)) << why;
    ASSERT_EQ(positions.size(), 4u);
    EXPECT_EQ(FormatPosition(positions[0]), "bbbbbb/bbbbbb/....../....../wwwwww/wwwwww b");
    EXPECT_EQ(FormatPosition(positions[3]), "bbbbbb/bb..bb/..bb../....w./www.ww/wwwwww w");
    // Other bases: the same game written from 'a' and '1'.
    r.baseX = 'a';
    r.baseY = '1';
    r.moves = {"c2c3", "d5e4", "d2d3"};
    ASSERT_TRUE(ReplayGame(r, positions, why)) << why;
    EXPECT_EQ(FormatPosition(positions[3]), "bbbbbb/bb..bb/..bb../....w./www.ww/wwwwww w");
    r.moves = {"c2c3", "c3c4"}; // White's turn: c3 is Black's piece
    EXPECT_FALSE(ReplayGame(r, positions, why));
    EXPECT_NE(why.find("move 2"), std::string::npos) << why;
}

TEST(Positions, QuietLeafEndsTheExchanges) {
    struct Case {
        const char* position;
        const char* leaf;
    };
    const Case cases[] = {
        // Nothing to capture: the position itself.
        {"b.b.b./....../....../....../....../.....w b",
         "b.b.b./....../....../....../....../.....w b"},
        // A capture the other side answers: both pieces gone, Black to move again.
        {"...b../....../....../b...../w...../.b..w. b",
         "...b../....../....../b...../w...../...... b"},
        // The corner piece takes, and nothing can take back.
        {"b...../....../....../....../....w./...w.w b",
         "....../....../....../....../....b./...w.w w"},
    };
    for (const Case& c : cases) {
        Position p;
        ASSERT_TRUE(ParsePosition(c.position, p));
        EXPECT_EQ(FormatPosition(QuietLeaf(p)), c.leaf) << c.position;
    }
}

TEST(Positions, LabelledLinesRoundTripAndSideToMovePoints) {
    Labelled l;
    ASSERT_TRUE(ParseLabelled("bbbbbb/bb...b/..bb../....w./wwww.w/wwwwww w 1 17", l));
    EXPECT_EQ(l.game, 17);
    EXPECT_EQ(MoverPoints(l), 0); // Black won, White to move
    EXPECT_EQ(FormatLabelled(l), "bbbbbb/bb...b/..bb../....w./wwww.w/wwwwww w 1 17");
    ASSERT_TRUE(ParseLabelled("bbbbbb/bb...b/..bb../....w./wwww.w/wwwwww b 0.5 3", l));
    EXPECT_EQ(MoverPoints(l), 0.5);
    for (const char* bad : {"bbbbbb/bb...b/..bb../....w./wwww.w/wwwwww w 1",
                            "bbbbbb/bb...b/..bb../....w./wwww.w/wwwwww w 0.7 1",
                            "bbbbbb/bb...b/..bb../....w./wwww.w/wwwwww w 1 2 3",
                            "bbbbbb/bb...b/..bb../....w./wwww.w/wwwwww 1 2", ""})
        EXPECT_FALSE(ParseLabelled(bad, l)) << bad;
}

} // namespace
