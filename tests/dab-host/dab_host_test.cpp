// Runs dab-host.exe as a person would use it, by scripted clicks, and judges what it did:
// its move list replayed on the referee's board, its final picture, its reports of engines
// that break the protocol, take backs the engine is told of, hints, saved and opened games.
#include "child_process.h"
#include "dab_game_record.h"
#include "engine_reply.h"
#include "layout.h"
#include "record_file.h"

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
    while (host.read_line(line, deadline) == ChildProcess::Read::Line) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        run.out.push_back(line);
        // The panel's text fits the window at its own size, whatever is shown.
        EXPECT_NE(line.rfind("clipped text", 0), 0u) << line;
    }
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

// The index of the first line at or after `from` that begins with prefix, or out.size().
size_t Find(const HostRun& run, const std::string& prefix, size_t from = 0) {
    while (from < run.out.size() && run.out[from].rfind(prefix, 0) != 0) ++from;
    return from;
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

// The screenshot shows every line in its drawer's colour and every box in its owner's
// (1: the person, else the engine).
void ExpectPictureShows(const std::string& shot, const int (&drawnBy)[dabtools::LINES],
                        const Board& board) {
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
    EXPECT_EQ(Find(run, result), Find(run, "game over"));
    EXPECT_LT(Find(run, result), run.out.size());

    // The final picture: every line in its drawer's colour, every box in its owner's.
    ExpectPictureShows(shot, drawnBy, board);
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

// Reads the turns of the host's log as it goes, each judged on the referee's board where it
// stands: a take back or a game played on resumes at the turn number logged, and every
// picture the engine printed must show the board replayed here.
struct LogReplay {
    std::vector<std::pair<std::string, std::string>> turns;          // "you"/"engine", codes
    std::vector<std::pair<std::string, std::string>> played_on_from; // a record's turns
    int pictures = 0;

    Board BoardOf(size_t count) const {
        Board board;
        for (size_t i = 0; i < count && i < turns.size(); ++i) {
            const auto& [who, codes] = turns[i];
            if (i > 0) {
                EXPECT_NE(who, turns[i - 1].first) << "turn " << i + 1 << " out of turn";
            }
            dabtools::Reply reply{static_cast<int>(codes.size() / 3), codes};
            std::vector<int> lines;
            std::string detail;
            EXPECT_EQ(dabtools::apply_reply(board, who == "you" ? 1 : 2, reply, lines, detail),
                      dabtools::Fault::None)
                << "turn " << i + 1 << " " << who << " " << codes << ": " << detail;
        }
        return board;
    }
    Board Now() const { return BoardOf(turns.size()); }

    void Read(const std::string& line) {
        static const std::regex turn("turn ([0-9]+) (you|engine) ([A-Z]+) .*");
        static const std::regex seen(
            "engine board: you ([0-9]+), engine ([0-9]+), ([0-9]+) lines, (.*)");
        static const std::regex play("-- play on from turn ([0-9]+).*");
        static const std::regex back("-- take back: ([0-9]+) turns kept");
        std::smatch m;
        if (std::regex_match(line, m, back)) {
            ASSERT_LE(std::stoul(m[1]), turns.size()) << line;
            turns.resize(std::stoul(m[1]));
        }
        if (line.rfind("-- new game", 0) == 0) turns.clear();
        if (std::regex_match(line, m, play))
            turns.assign(played_on_from.begin(), played_on_from.begin() + std::stoul(m[1]));
        if (std::regex_match(line, m, turn)) {
            size_t number = std::stoul(m[1]);
            ASSERT_GE(number, 1u);
            ASSERT_LE(number, turns.size() + 1) << line;
            turns.resize(number - 1);
            turns.emplace_back(m[2], m[3]);
            Now();
        }
        if (std::regex_match(line, m, seen)) {
            ++pictures;
            Board b = Now();
            EXPECT_EQ(m[4], "as here") << line;
            EXPECT_EQ(std::stoi(m[1]), b.score[1]) << line;
            EXPECT_EQ(std::stoi(m[2]), b.score[2]) << line;
            EXPECT_EQ(std::stoi(m[3]), b.lines_drawn) << line;
        }
    }
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The descending list of all sixty codes: a whole game by clicks whatever the engine does.
std::vector<std::string> AllCodes() {
    std::vector<std::string> codes;
    for (int line = 59; line >= 0; --line) codes.push_back(dabtools::line_code(line));
    return codes;
}

std::string Joined(const std::vector<std::string>& steps) {
    std::string s;
    for (const std::string& step : steps) s += (s.empty() ? "" : ",") + step;
    return s;
}

// A take back in the middle game, boxes already taken, then the game played out: Vantry is
// told the game so far by "history", every reply after it is legal, and every board picture
// it prints (after each reply and after the history) shows the window's boxes and lines.
// The level chosen in the window is kept in the settings file and reaches the engine.
TEST(DabHost, TakeBackTellsVantryTheGameAndItsBoardStaysRight) {
    const std::string settings = dabtools::program_directory() + "\\dab-host-take-back.ini";
    std::remove(settings.c_str());
    std::vector<std::string> steps = {"level 2", "new"};
    std::vector<std::string> codes = AllCodes();
    // With level 2 and this seed the engine has taken boxes when the undo comes.
    steps.insert(steps.end(), codes.begin(), codes.begin() + 18);
    steps.push_back("undo");
    steps.insert(steps.end(), codes.begin() + 18, codes.end());
    HostRun run = RunHost({"--engine", "vantry-quick.exe", "--seed", "1", "--settings", settings,
                           "--lines", Joined(steps), "--exit-at-end"},
                          300);
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(ReadFile(settings), "level=2\n");
    size_t game = Find(run, "-- new game", Find(run, "level 2"));
    EXPECT_LT(Find(run, "engine: vantry-quick.exe --level 2 --seed 1", game), run.out.size());

    LogReplay replay;
    size_t back = Find(run, "-- take back");
    ASSERT_LT(back, run.out.size());
    EXPECT_EQ(Find(run, "-- take back", back + 1), run.out.size());
    EXPECT_EQ(run.out.at(back + 1), "history ok");
    int boxesAtTakeBack = -1, picturesAfter = 0;
    for (size_t i = 0; i < run.out.size(); ++i) {
        replay.Read(run.out[i]);
        if (i == back) {
            Board b = replay.Now();
            boxesAtTakeBack = b.score[1] + b.score[2];
        }
        if (i > back && run.out[i].rfind("engine board:", 0) == 0) ++picturesAfter;
    }
    EXPECT_GT(boxesAtTakeBack, 0) << "the take back came before any box was taken";
    EXPECT_GE(picturesAfter, 3);
    Board board = replay.Now();
    ASSERT_TRUE(board.full());
    EXPECT_LT(Find(run, "game over: you " + std::to_string(board.score[1]) + ", engine " +
                            std::to_string(board.score[2])),
              run.out.size());
}

// A hint is a legal turn for the person where it was asked; a game saved mid-way is the
// referees' record of the turns played, and opened again it plays on against the engine,
// told the game by "history", at the level read from the settings file.
TEST(DabHost, HintsSavesOpensAndPlaysOn) {
    const std::string dir = dabtools::program_directory();
    const std::string settings = dir + "\\dab-host-saved.ini",
                      saved = dir + "\\dab-host-saved.jsonl";
    std::ofstream(settings) << "level=3\n";
    std::remove(saved.c_str());
    HostRun run = RunHost(
        {"--engine", "vantry-quick.exe", "--seed", "1", "--settings", settings, "--lines",
         "AAA,BFE,hint,AFE,save " + saved + ",new,AEB,open " + saved + ",play,ACA,ADA,close"},
        120);
    ASSERT_EQ(run.status, 0);
    EXPECT_LT(Find(run, "engine: vantry-quick.exe --level 3 --seed 1"), run.out.size());

    // The hint, judged on the board where it was asked.
    LogReplay replay;
    size_t asked = Find(run, "hint asked"), hint = Find(run, "hint: ");
    ASSERT_LT(hint, run.out.size());
    for (size_t i = 0; i < asked; ++i) replay.Read(run.out[i]);
    Board board = replay.Now();
    const std::string codes = run.out[hint].substr(6);
    std::vector<int> lines;
    std::string detail;
    EXPECT_EQ(dabtools::apply_reply(board, 1,
                                    dabtools::Reply{static_cast<int>(codes.size() / 3), codes},
                                    lines, detail),
              dabtools::Fault::None)
        << codes << ": " << detail;

    // The saved record: the turns played before it was saved, the person labelled "you".
    size_t save = Find(run, "saved ");
    ASSERT_LT(save, run.out.size());
    for (size_t i = asked; i < save; ++i) replay.Read(run.out[i]);
    game_records::Json json;
    game_records::DabRecord record;
    std::string why;
    ASSERT_TRUE(game_records::read_game_line(saved, 0, json, why)) << why;
    ASSERT_TRUE(game_records::read_dab_record(json, record, why)) << why;
    EXPECT_EQ(ReadFile(saved).find('\n'), ReadFile(saved).size() - 1) << "one line";
    EXPECT_EQ(record.game.labels[0], "you");
    EXPECT_FALSE(record.over);
    ASSERT_EQ(record.game.turns.size(), replay.turns.size());
    for (size_t i = 0; i < replay.turns.size(); ++i) {
        std::string turnCodes;
        for (int l : record.game.turns[i].lines) turnCodes += dabtools::line_code(l);
        EXPECT_EQ(turnCodes, replay.turns[i].second) << "turn " << i + 1;
        EXPECT_EQ(record.game.turns[i].colour == 0 ? "you" : "engine", replay.turns[i].first);
    }

    // Opened again after another game had begun, and played on from its last turn.
    replay.played_on_from = replay.turns;
    size_t opened = Find(run, "opened " + saved, save);
    ASSERT_LT(opened, run.out.size());
    const std::string all = std::to_string(record.game.turns.size());
    EXPECT_EQ(run.out.at(opened + 1).rfind("shown: turn " + all + " of " + all, 0), 0u);
    size_t on = Find(run, "-- play on from turn " + all + ": you play black", opened);
    ASSERT_LT(on, run.out.size());
    EXPECT_EQ(run.out.at(on + 1), "history ok");
    for (size_t i = save; i < run.out.size(); ++i) replay.Read(run.out[i]);
    EXPECT_GE(replay.turns.size(), record.game.turns.size() + 4) << "ACA, ADA and the replies";
    EXPECT_EQ(Find(run, "engine fault"), run.out.size());
}

// A game of a referee's match log, opened and stepped through to its last turn: the board
// and the score are the record's. Files that are not records, or whose turn draws a line
// twice, are refused with the file and the turn named, and the record on screen is kept.
TEST(DabHost, OpensARefereesGameAndStepsToItsEnd) {
    const std::string dir = dabtools::program_directory();
    const std::string log = dir + "\\dab-host-referee.jsonl";
    std::remove(log.c_str());
    {
        ChildProcess referee;
        std::string error;
        ASSERT_TRUE(referee.start({dir + "\\dab-referee.exe", "vantry-quick.exe --level 1 --seed 3",
                                   "dab-faulty-engine.exe fair", "--games", "1", "--seed", "1",
                                   "--out", log},
                                  error))
            << error;
        auto deadline = Clock::now() + std::chrono::seconds(120);
        std::string line;
        while (referee.read_line(line, deadline) == ChildProcess::Read::Line) {
        }
        ASSERT_TRUE(referee.wait_exit(deadline));
    }
    game_records::Json json;
    game_records::DabRecord record;
    std::string why;
    ASSERT_TRUE(game_records::read_game_line(log, 1, json, why)) << why;
    ASSERT_TRUE(game_records::read_dab_record(json, record, why)) << why;
    ASSERT_TRUE(record.over);

    // The same record with its fourth turn's line replaced by the first turn's.
    game_records::Json twice = json;
    twice["turns"][3][1] = twice["turns"][0][1];
    const std::string notJson = dir + "\\dab-host-not-a-record.jsonl",
                      drawnTwice = dir + "\\dab-host-drawn-twice.jsonl";
    std::ofstream(notJson) << "not a game record\n";
    std::ofstream(drawnTwice) << twice.dump() << "\n";
    const std::string shot = dir + "\\dab-host-record.bmp";
    HostRun run =
        RunHost({"--open", log, "--game", "1", "--engine", "vantry-quick.exe", "--lines",
                 "step -,open " + notJson + ",open " + drawnTwice + ",step home,step +,step end",
                 "--screenshot", shot},
                120);
    ASSERT_EQ(run.status, 0);
    const std::string all = std::to_string(record.game.turns.size());
    size_t opened = Find(run, "opened " + log + " game 1");
    ASSERT_LT(opened, run.out.size());
    size_t refused = Find(run, "open refused: " + notJson + ": ", opened);
    EXPECT_LT(refused, run.out.size());
    refused = Find(run,
                   "open refused: " + drawnTwice + ": turn 4 '" +
                       twice["turns"][0][1].get<std::string>() + "'",
                   refused);
    ASSERT_LT(refused, run.out.size());
    EXPECT_NE(run.out[refused].find("already drawn"), std::string::npos) << run.out[refused];
    // Kept: the next step goes to the start of the same record.
    EXPECT_EQ(run.out.at(refused + 1).rfind("shown: turn 0 of " + all + ",", 0), 0u);
    const std::string last = "shown: turn " + all + " of " + all + ", black " +
                             std::to_string(record.game.score[0]) + ", white " +
                             std::to_string(record.game.score[1]) + ", 60 lines";
    size_t end = Find(run, "shown: turn", refused + 2);
    EXPECT_EQ(Find(run, last, end + 1), run.out.size() - 1) << "the last step shows the end";

    // Black (the opener) in the person's colours: every line and box as the record has it.
    Board board;
    int drawnBy[dabtools::LINES] = {};
    for (const game_records::DabTurn& t : record.game.turns)
        for (int l : t.lines) {
            board.draw(l, t.colour + 1);
            drawnBy[l] = t.colour + 1;
        }
    ExpectPictureShows(shot, drawnBy, board);
}

// An engine that does not know "history" (it says nothing to it) is restarted after the
// deadline, as before the protocol had it, and plays on from the lines it is given.
TEST(DabHost, TakeBackFallsBackToARestartWithoutHistory) {
    HostRun run = RunHost({"--engine", "dab-faulty-engine.exe nohistory", "--line-ms", "2000",
                           "--lines", "AAA,AFE,undo,BFE,close"},
                          120);
    EXPECT_EQ(run.status, 0);
    size_t at = Find(run, "-- take back");
    for (const char* prefix : {"history refused: ", "engine: dab-faulty-engine.exe nohistory",
                               "turn 3 you BFE", "turn 4 engine"}) {
        at = Find(run, prefix, at);
        EXPECT_LT(at, run.out.size()) << "no \"" << prefix << "\" in order";
    }
    EXPECT_EQ(Find(run, "engine fault"), run.out.size());
    LogReplay replay;
    for (const std::string& line : run.out) replay.Read(line);
}

} // namespace
