// Runs dab-host.exe as a person would use it, by scripted clicks, and judges what it did:
// its move list replayed on the referee's board, its final picture, and its reports of
// engines that break the protocol.
#include "child_process.h"
#include "engine_reply.h"
#include "layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

using dabtools::Board;
using dabtools::ChildProcess;
using dabtools::Clock;

struct HostRun {
    std::vector<std::string> out; // standard output, line by line
    int status = -1;
};

// Runs dab-host with the arguments and reads its output until it ends; never waits longer
// than the time given.
HostRun RunHost(const std::vector<std::string>& args, int seconds) {
    std::vector<std::string> argv = {dabtools::program_directory() + "\\dab-host.exe"};
    argv.insert(argv.end(), args.begin(), args.end());
    ChildProcess host;
    std::string error;
    HostRun run;
    if (!host.start(argv, error)) {
        ADD_FAILURE() << error;
        return run;
    }
    auto deadline = Clock::now() + std::chrono::seconds(seconds);
    std::string line;
    while (host.read_line(line, deadline) == ChildProcess::Read::Line) run.out.push_back(line);
    EXPECT_TRUE(host.wait_exit(deadline)) << "dab-host did not end";
    run.status = host.exit_info().code;
    return run;
}

// The turns of the last game in the output, as "you"/"engine" and their codes.
std::vector<std::pair<std::string, std::string>> TurnsOf(const HostRun& run) {
    std::vector<std::pair<std::string, std::string>> turns;
    std::regex turn("turn [0-9]+ (you|engine) ([A-Z]+) .*");
    std::smatch m;
    for (const std::string& line : run.out) {
        if (line.rfind("-- new game", 0) == 0) turns.clear();
        if (std::regex_match(line, m, turn)) turns.emplace_back(m[1], m[2]);
    }
    return turns;
}

// A top-down 32-bit BMP as dab-host writes it.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    COLORREF at(POINT p) const {
        uint32_t v = pixels[static_cast<size_t>(p.y) * width + p.x];
        return RGB((v >> 16) & 255, (v >> 8) & 255, v & 255);
    }
};

Picture ReadBmp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Picture p;
    if (data.size() < 54) return p;
    int32_t w, h;
    uint32_t offset;
    memcpy(&offset, &data[10], 4);
    memcpy(&w, &data[18], 4);
    memcpy(&h, &data[22], 4);
    p.width = w;
    p.height = -h;
    p.pixels.resize(static_cast<size_t>(w) * p.height);
    memcpy(p.pixels.data(), &data[offset], p.pixels.size() * 4);
    return p;
}

TEST(DabHost, PlaysAWholeGameAgainstVantryByClicks) {
    // The person clicks the undrawn line that comes first in this order, whatever Vantry does.
    // Vantry's short-budget build (the same program, 40 ms a line) keeps the test run short;
    // the default engine beside the program plays the same protocol at 5000 ms a line.
    std::string all;
    for (int line = 59; line >= 0; --line)
        all += (all.empty() ? "" : ",") + dabtools::line_code(line);
    const std::string shot = dabtools::program_directory() + "\\dab-host-whole-game.bmp";
    HostRun run = RunHost(
        {"--engine", "vantry-quick.exe", "--lines", all, "--exit-at-end", "--screenshot", shot},
        800);
    ASSERT_EQ(run.status, 0);

    // Every turn is legal on the referee's board, the players take turns as the rules say,
    // and the host's result is the board's.
    Board board;
    int drawnBy[dabtools::LINES] = {};
    std::string expected = "you";
    for (const auto& [who, codes] : TurnsOf(run)) {
        ASSERT_EQ(who, expected) << codes;
        dabtools::Reply reply{static_cast<int>(codes.size() / 3), codes};
        std::vector<int> lines;
        std::string detail;
        int player = who == "you" ? 1 : 2;
        ASSERT_EQ(dabtools::apply_reply(board, player, reply, lines, detail), dabtools::Fault::None)
            << detail;
        for (int l : lines) drawnBy[l] = player;
        expected = who == "you" ? "engine" : "you";
    }
    ASSERT_TRUE(board.full());
    std::string result = "game over: you " + std::to_string(board.score[1]) + ", engine " +
                         std::to_string(board.score[2]);
    EXPECT_EQ(run.out.back(), result);

    // The final picture: every line in its drawer's colour, every box in its owner's.
    Picture picture = ReadBmp(shot);
    ASSERT_EQ(picture.width, dab_host::kClientW);
    for (int line = 0; line < dabtools::LINES; ++line)
        EXPECT_EQ(picture.at(dab_host::LineMiddle(line)),
                  drawnBy[line] == 1 ? dab_host::kPersonLine : dab_host::kEngineLine)
            << dabtools::line_code(line);
    for (int box = 0; box < dabtools::BOXES; ++box)
        EXPECT_EQ(picture.at(dab_host::BoxMiddle(box)),
                  board.owner[box] == 1 ? dab_host::kPersonBox : dab_host::kEngineBox)
            << "box " << box;
}

// Clicks on a line towards its ends, or beside its middle, mean that line; clicks in the
// middle of a box or off the board mean none.
TEST(DabHost, AClickMeansTheLineItIsNear) {
    using dab_host::kSpacing;
    for (int line = 0; line < dabtools::LINES; ++line) {
        POINT m = dab_host::LineMiddle(line);
        bool horizontal = line < 30;
        const int offsets[][2] = {{0, 0},
                                  {-kSpacing / 2 + 8, 0},
                                  {kSpacing / 2 - 8, 0},
                                  {0, -kSpacing / 4},
                                  {0, kSpacing / 4}};
        for (const auto& o : offsets) { // along the line, across it
            int x = m.x + (horizontal ? o[0] : o[1]), y = m.y + (horizontal ? o[1] : o[0]);
            EXPECT_EQ(dab_host::LineAt(x, y), line)
                << dabtools::line_code(line) << " " << x << "," << y;
        }
    }
    for (int box = 0; box < dabtools::BOXES; ++box) {
        POINT m = dab_host::BoxMiddle(box);
        EXPECT_EQ(dab_host::LineAt(m.x, m.y), -1) << "box " << box;
    }
    EXPECT_EQ(dab_host::LineAt(dab_host::kDotX - kSpacing / 2, dab_host::kDotY - kSpacing / 2), -1);
    EXPECT_EQ(dab_host::LineAt(dab_host::kPanelX + 20, 300), -1);
}

struct FaultCase {
    const char* kind;  // dab-faulty-engine's fault on its second turn
    const char* fault; // as the host names it
    const char* then;  // what the person does next: a new game, one the engine opens, a take back
    const char* after[3]; // what the host then reports, in this order
};

class FaultyEngine : public ::testing::TestWithParam<FaultCase> {};

// The fault is shown and the window stays usable: the person starts again, and the engine,
// started afresh, answers the next line.
TEST_P(FaultyEngine, IsReportedAndTheWindowStaysUsable) {
    const FaultCase& c = GetParam();
    HostRun run = RunHost({"--engine", std::string("dab-faulty-engine.exe ") + c.kind, "--line-ms",
                           "2000", "--lines", std::string("AAA,AFE,ACA,") + c.then + ",BFE,close"},
                          120);
    EXPECT_EQ(run.status, 0);
    std::vector<std::string> expected = {std::string("engine fault: ") + c.fault + ":"};
    expected.insert(expected.end(), std::begin(c.after), std::end(c.after));
    size_t at = 0;
    for (const std::string& prefix : expected) {
        while (at < run.out.size() && run.out[at].rfind(prefix, 0) != 0) ++at;
        EXPECT_LT(at, run.out.size()) << "no \"" << prefix << "\" in order";
    }
}

const char* const kNew[] = {"-- new game: you open", "turn 1 you BFE", "turn 2 engine"};
const char* const kSecond[] = {"-- new game: engine opens", "turn 1 engine", "turn 2 you BFE"};
const char* const kUndo[] = {"-- take back", "turn 3 you BFE", "turn 4 engine"};

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultyEngine,
    ::testing::Values(FaultCase{"illegal", "illegal-line", "new", {kNew[0], kNew[1], kNew[2]}},
                      FaultCase{"drawn", "drawn-line", "undo", {kUndo[0], kUndo[1], kUndo[2]}},
                      FaultCase{"exit", "crash", "second", {kSecond[0], kSecond[1], kSecond[2]}},
                      FaultCase{"exit0", "exited", "undo", {kUndo[0], kUndo[1], kUndo[2]}},
                      FaultCase{"silent", "no-reply", "new", {kNew[0], kNew[1], kNew[2]}},
                      FaultCase{"garbage", "garbled-reply", "undo", {kUndo[0], kUndo[1], kUndo[2]}},
                      FaultCase{
                          "count", "wrong-count", "second", {kSecond[0], kSecond[1], kSecond[2]}}),
    [](const auto& info) { return std::string(info.param.kind); });

} // namespace
