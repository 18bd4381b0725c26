// dab-host's pieces and the state they share: one window, one game against one engine.
#pragma once

#include "back_buffer.h"
#include "dab_game_record.h"
#include "engine_link.h"
#include "game.h"
#include "host_settings.h"
#include "host_support.h"
#include "layout.h"
#include "painted_button.h"

#include <memory>

#include <string>
#include <vector>

namespace dab_host {

const UINT WM_ENGINE = WM_APP + 1; // output has come from the engine (the message carries nothing)
const UINT WM_SCRIPT_STEP = WM_APP + 2;
const UINT WM_HINT_ENGINE = WM_APP + 3; // output has come from the hint's engine
const UINT_PTR kEngineTimer = 1, kHintTimer = 2;
enum ButtonId {
    ID_NEW_PERSON = 101,
    ID_NEW_ENGINE,
    ID_TAKE_BACK,
    ID_HINT,
    ID_LEVEL,
    ID_SAVE,
    ID_OPEN,
    ID_PLAY_ON,
};
constexpr int kTopLevel = 5;
// What the hint's engine may think per line: a short wait for the person.
constexpr int kHintBudgetMs = 1000;

// The panel's buttons, painted in the frame so a screenshot shows them too.
const std::vector<win32_host::PaintedButton>& Buttons();

struct Options {
    std::string engine;       // command line of the engine program
    int lineMs = 6000;        // what a reply may take per line: the engine's 5000 ms and a margin
    bool engineOpens = false; // the first game
    std::vector<std::string> script; // line codes and words (script.cpp)
    std::string screenshot;          // BMP written when the window closes
    bool exitAtEnd = false;          // close the window when the game is over
    std::string settings;            // the settings file; "" with a script: none
    bool settingsGiven = false;
    long long seed = -1;    // passed to a levelled engine; -1: none (its clock)
    std::string open;       // a record to open at the start
    long long openGame = 0; // which game record of that file
};

bool ParseOptions(int argc, char** argv, Options* opt);
extern const char kUsage[];

// A record opened to look at: the game on screen is its first `shown` turns.
struct Viewing {
    bool on = false;
    std::string file;
    game_records::Json json; // as read, written again by Save
    game_records::DabRecord record;
    size_t shown = 0;
};

struct Host : EngineLink::Listener {
    Options opt;
    HWND hwnd = nullptr;
    EngineLink* link = nullptr;
    EngineLink* hintLink = nullptr;
    std::unique_ptr<win32_host::HostSettings> settings;
    Game game;
    Viewing view;
    win32_host::BackBuffer frame;
    HFONT font = nullptr, bold = nullptr;
    std::string engineLabel = "Engine"; // the program's file name without its extension
    bool levels = false;                // the engine is Vantry, which takes --level
    int level = kTopLevel;              // chosen for the next game
    int engineLevel = 0;                // what the running engine was started with
    std::string status;
    std::string note;         // what the last action did (a take back, a hint, a file)
    std::string fault;        // the engine fault shown, empty when none
    bool engineStale = false; // restarted after a take back: the engine gets the lines anew
    std::vector<int> hint;    // the lines suggested, shown until the board changes
    std::string hintFor;      // the game the hint was asked for (its history line)
    int hoverLine = -1;
    size_t scriptPos = 0;

    void EngineReply(const std::string& line) override;
    void EngineFault(dabtools::Fault fault, const std::string& detail) override;
    void EngineReady() override;
    void EngineHistory(bool accepted, const std::string& detail) override;
    void EnginePicture(const std::vector<std::string>& rows) override;
};
extern Host host;

// The hint's engine: a second program asked once for the person's line, then stopped.
struct HintAsker : EngineLink::Listener {
    void EngineReply(const std::string& line) override;
    void EngineFault(dabtools::Fault fault, const std::string& detail) override;
    void EngineReady() override {}
    void EngineHistory(bool accepted, const std::string& detail) override;
    void EnginePicture(const std::vector<std::string>&) override {}
};
extern HintAsker hintAsker;

// Game flow (game_flow.cpp).
void Log(const std::string& line);
void Repaint();
void StartGame(Player opener);
bool PersonLine(int line);
void TakeBack();
void UpdateStatus();
bool CanPlay();
// The engine program and its arguments: Vantry gets the level (and the seed).
std::string EngineCommand(int level, bool hint);
void SetLevel(int level);
void AskHint();
bool Busy(); // an engine is being waited for: scripts wait too

// Game records (records.cpp).
void SaveGame(const std::string& path);
bool OpenRecord(const std::string& path, long long game);
void Step(int delta); // through an opened record; INT_MIN / INT_MAX: first / last
void PlayOn();

// Scripted play (script.cpp).
void ScriptStep();

// Painting (painting.cpp, board_view.cpp). The frame keeps its own size (kClientW x
// kClientH, what screenshots hold) and is shown scaled to the window, centred.
void PaintBoard(HDC dc);
void Paint(HDC target);
struct FrameArea {
    int x = 0, y = 0, width = kClientW, height = kClientH;
};
FrameArea FrameOnWindow();
POINT WindowToFrame(int x, int y);
void ShowScaled(HDC target);

} // namespace dab_host
