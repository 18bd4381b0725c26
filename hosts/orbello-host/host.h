// orbello-host's pieces and the state they share: one window, one game object, at most one
// engine program.
#pragma once

#include "back_buffer.h"
#include "engine_session.h"
#include "host_support.h"
#include "message_box_closer.h"
#include "module_slots.h"
#include "painted_button.h"

#include <deque>
#include <string>
#include <vector>

namespace orbello_host {

const int kClientW = 760, kClientH = 480;
const RECT kBoardRect = {20, 20, 460, 460};
const UINT WM_ENGINE = WM_APP + 1; // output has come from the engine (the message carries nothing)
const UINT WM_SCRIPT_STEP = WM_APP + 2;

struct Options {
    std::string dataDir;
    std::string engine;         // command line of an engine program; empty: people play both sides
    bool noEngine = false;      // people play both sides even beside OrbelloEngine.exe
    bool defaultEngine = false; // OrbelloEngine.exe beside the program, which takes --movetime
    int movetimeMs = 1000;      // its thinking time; the next game starts it with a new one
    int engineSide = 1;         // 0 Black, 1 White
    std::vector<std::string> moves; // scripted moves, played by clicks at start
    std::string screenshot;         // BMP written after the script, then the program ends
    bool exitAtEnd = false;         // end the program when the game is over
};

struct Host {
    Options opt;
    HWND hwnd = nullptr;
    ModuleLibrary library;
    GameObject* game = nullptr;
    BackBuffer frame;
    HFONT font = nullptr;
    std::deque<std::string> log; // newest last
    std::string status = "Black to move";
    int sideToMove = 0;
    bool over = false;
    size_t scriptPos = 0;
    engine_session::EngineSession engine;
    std::string engineCommand; // what the running engine was started with
};
extern Host host;

extern const char kUsage[];
bool ParseOptions(int argc, char** argv, Options* opt);

enum ButtonId { ID_PLAY_BLACK = 1, ID_PLAY_WHITE, ID_NEW_GAME, ID_THINKING_TIME };

// Game flow (game_flow.cpp).
void Log(const std::string& line);
void Repaint();
const char* SideName(int side);
void NewGame();
// A new game in which the person plays side (0 Black, 1 White) against the engine.
void PlayAs(int side);
// The next of the thinking times offered for the default engine.
void NextThinkingTime();
bool StartEngine();
bool EngineThinking();
void UpdateStatus();
void EngineEnded();
// Reads what the engine has written since the last time.
void EngineOutput();
// Text with its line ends (a module's reply may hold two lines) to the engine, if one runs.
void SendToEngine(const std::string& text);
void Click(int x, int y);
void EngineLine(const std::string& line);
void GameOver(int winner);
void MoveCommitted();
bool PeoplesTurn();

// Scripted play (script.cpp).
void ScriptStep();

// Painting (painting.cpp).
void Paint(HDC target);
std::vector<PaintedButton> Buttons();

} // namespace orbello_host
