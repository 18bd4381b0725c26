// orbello-host's pieces and the state they share: one window, one game object (replaced by a
// fresh one when a game is replayed: the module cannot take moves back), at most one engine
// program in the game and one asked for a hint.
#pragma once

#include "back_buffer.h"
#include "engine_session.h"
#include "host_settings.h"
#include "host_support.h"
#include "message_box_closer.h"
#include "module_slots.h"
#include "orbello_game_record.h"
#include "painted_button.h"
#include "play_logic.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace orbello_host {

const int kClientW = 820, kClientH = 520; // the window's first size
const int kMinClientW = 720, kMinClientH = 440;
const int kPanelW = 330;           // the panel right of the board keeps this width
const UINT WM_ENGINE = WM_APP + 1; // output has come from the engine (the message carries nothing)
const UINT WM_SCRIPT_STEP = WM_APP + 2;
const UINT WM_HINT_ENGINE = WM_APP + 3; // output has come from the engine asked for a hint
const UINT_PTR kDeadlineTimer = 1;

const int kHintMovetimeMs = 500;
const int kHistoryReplyMs = 10000; // for "history ok": the engine may have to start first

struct Options {
    std::string dataDir;
    std::string engine;         // command line of an engine program; empty: people play both sides
    bool noEngine = false;      // people play both sides even beside OrbelloEngine.exe
    bool defaultEngine = false; // OrbelloEngine.exe beside the program, which takes --movetime
    int movetimeMs = 1000;      // its thinking time; the next game starts it with a new one
    int engineSide = 1;         // 0 Black, 1 White
    std::vector<std::string> moves; // scripted moves and words, played at start
    std::string screenshot;         // BMP written after the script, then the program ends
    bool exitAtEnd = false;         // end the program when the game is over
    std::string settings;           // the settings file; empty: the default (none when scripted)
    bool settingsGiven = false;
    std::string open;       // a game record to open at start
    long long openGame = 0; // its number in a match log; 0: the first
};

// A record opened to look at: its moves in the module's text, and the move shown.
struct Viewer {
    bool active = false;
    std::string path;
    game_records::OrbelloRecord record;
    matchtools::Json json; // the line as read, saved again unchanged
    std::vector<std::string> moves;
    size_t shown = 0;
};

struct Host {
    Options opt;
    HWND hwnd = nullptr;
    ModuleLibrary library;
    std::unique_ptr<GameObject> game;
    std::unique_ptr<BackBuffer> frame;
    RECT boardRect = {20, 20, 460, 460};
    int clientW = kClientW, clientH = kClientH;
    HFONT font = nullptr;
    int baseX = 'A', baseY = 'A'; // the module's move text, from its Config.ini
    std::deque<std::string> log;  // newest last
    std::string status = "Black to move";
    int sideToMove = 0;
    bool over = false;
    int winner = -1;
    std::vector<std::string> moves; // this game's moves in the module's text, Black first
    size_t scriptPos = 0;
    bool quiet = false;      // a replay: the module's move texts are not the game's news
    int gameOversToSkip = 0; // the module's end-of-game notes that came from a replay
    engine_session::EngineSession engine;
    std::string engineCommand; // what the running engine was started with
    // Waiting for the engine's answer to "history": till when (zero: not waiting).
    dabtools::Clock::time_point historyDue{};
    // The hint: the engine asked, till when, for which move number, and the move it gave.
    engine_session::EngineSession hintEngine;
    dabtools::Clock::time_point hintDue{};
    size_t hintFor = 0;
    std::string hint;
    std::unique_ptr<win32_host::HostSettings> settings;
    int level = kTopLevel; // chosen; the engine gets it at the next game
    Viewer viewer;
};
extern Host host;

extern const char kUsage[];
bool ParseOptions(int argc, char** argv, Options* opt);

enum ButtonId {
    ID_PLAY_BLACK = 1,
    ID_PLAY_WHITE,
    ID_NEW_GAME,
    ID_THINKING_TIME,
    ID_LEVEL,
    ID_TAKE_BACK,
    ID_HINT,
    ID_SAVE,
    ID_OPEN,
    ID_PLAY_ON,
};

// Game flow (game_flow.cpp).
void Log(const std::string& line);
void Repaint();
const char* SideName(int side);
void NewGame();
// A new game in which the person plays side (0 Black, 1 White) against the engine.
void PlayAs(int side);
// The next of the thinking times offered for the default engine.
void NextThinkingTime();
bool StartEngine(const std::string& command);
// The command the next game's engine runs: the default one with the thinking time and
// level, a named one as given (with the level when it is the project's engine).
std::string EngineCommandLine();
// Whether the level selector applies to the engine of the next game.
bool LevelsAvailable();
bool EngineThinking();
void UpdateStatus();
void EngineEnded();
// Reads what the engine has written since the last time.
void EngineOutput();
// Text with its line ends (a module's reply may hold two lines) to the engine, if one runs.
void SendToEngine(const std::string& text);
void Click(int x, int y);
// The person's move was made on the game object (its FetchMove text and result).
void PersonMoved(const char* fetched, int result);
void EngineLine(const std::string& line);
void GameOver(int winner);
void MoveCommitted();
bool PeoplesTurn();
// Something the script waits for has finished: its next step may run.
void ScriptMayGoOn();

// Levels, take back, play on and deadlines (take_back.cpp).
void SetLevel(int level);
void NextLevel();
// A fresh game object holding the first `count` of moves; false with why (the old one kept).
bool ReplayInto(const std::vector<std::string>& moves, size_t count, std::string& why);
void TakeBack();
// The engine gets the game so far; its answer is awaited without blocking the window.
void SendHistory();
// A line of the engine's while "history" is unanswered; true when it was taken.
bool HistoryAnswer(const std::string& line);
void CheckDeadlines();
bool Busy();

// Hints (hint.cpp).
void AskHint();
void HintOutput();
void DropHint();

// Game records: save, open, step through, play on (records.cpp).
bool SaveGame(const std::string& path);
void SaveAsked();
bool OpenRecord(const std::string& path, long long game);
void OpenAsked();
void Step(long long delta); // moves forward (positive) or back; LLONG_MAX: to the end
void PlayOn();
// The frame's pixels at the grid points against the position by the rules (a check for tests).
void CheckBoard();

// Scripted play (script.cpp).
void ScriptStep();

// Painting (painting.cpp).
void Paint(HDC target);
std::vector<PaintedButton> Buttons();
// The board's square for the client size, the panel keeping its width.
RECT BoardRectFor(int width, int height);

} // namespace orbello_host
