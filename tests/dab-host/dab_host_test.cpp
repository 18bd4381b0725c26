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
    // The person clicks the undrawn line that comes first in this order, whatever Vantry does;
    // Vantry is the default engine beside the program.
    std::string all;
    for (int line = 59; line >= 0; --line)
        all += (all.empty() ? "" : ",") + dabtools::line_code(line);
    const std::string shot = dabtools::program_directory() + "\\dab-host-whole-game.bmp";
    HostRun run = RunHost({"--lines", all, "--exit-at-end", "--screenshot", shot}, 800);
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

struct FaultCase {
    const char* kind;  // dab-faulty-engine's fault on its second turn
    const char* fault; // as the host names it
    const char* then;  // what the person does next: a new game or a take back
};

class FaultyEngine : public ::testing::TestWithParam<FaultCase> {};

// The fault is shown, the window stays usable: the person starts again and the (restarted)
// engine answers the next line.
TEST_P(FaultyEngine, IsReportedAndTheWindowStaysUsable) {
    const FaultCase& c = GetParam();
    HostRun run = RunHost({"--engine", std::string("dab-faulty-engine.exe ") + c.kind, "--line-ms",
                           "2000", "--lines", std::string("AAA,AFE,ACA,") + c.then + ",BFE,close"},
                          120);
    EXPECT_EQ(run.status, 0);
    size_t at = 0;
    auto find = [&](const std::string& prefix) {
        while (at < run.out.size() && run.out[at].rfind(prefix, 0) != 0) ++at;
        return at < run.out.size();
    };
    EXPECT_TRUE(find(std::string("engine fault: ") + c.fault + ":"));
    EXPECT_TRUE(find(c.then == std::string("new") ? "-- new game" : "-- take back"));
    const char* next = c.then == std::string("new") ? "turn 1 you BFE" : "turn 3 you BFE";
    EXPECT_TRUE(find(next));
    EXPECT_TRUE(find(c.then == std::string("new") ? "turn 2 engine" : "turn 4 engine"));
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultyEngine,
                         ::testing::Values(FaultCase{"illegal", "illegal-line", "new"},
                                           FaultCase{"drawn", "drawn-line", "undo"},
                                           FaultCase{"exit", "crash", "new"},
                                           FaultCase{"exit0", "exited", "undo"},
                                           FaultCase{"silent", "no-reply", "new"},
                                           FaultCase{"garbage", "garbled-reply", "undo"},
                                           FaultCase{"count", "wrong-count", "new"}),
                         [](const auto& info) { return std::string(info.param.kind); });

} // namespace
