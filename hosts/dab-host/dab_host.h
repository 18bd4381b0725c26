// dab-host's pieces and the state they share: one window, one game against one engine.
#pragma once

#include "back_buffer.h"
#include "engine_link.h"
#include "game.h"
#include "host_support.h"
#include "layout.h"
#include "painted_button.h"

#include <string>
#include <vector>

namespace dab_host {

const UINT WM_ENGINE = WM_APP + 1; // output has come from the engine (the message carries nothing)
const UINT WM_SCRIPT_STEP = WM_APP + 2;
const UINT_PTR kEngineTimer = 1;
enum ButtonId { ID_NEW_PERSON = 101, ID_NEW_ENGINE = 102, ID_TAKE_BACK = 103 };

// The panel's buttons, painted in the frame so a screenshot shows them too.
const std::vector<win32_host::PaintedButton>& Buttons();

struct Options {
    std::string engine;       // command line of the engine program
    int lineMs = 6000;        // what a reply may take per line: the engine's 5000 ms and a margin
    bool engineOpens = false; // the first game
    std::vector<std::string> script; // line codes and the words new, second, undo, close
    std::string screenshot;          // BMP written when the window closes
    bool exitAtEnd = false;          // close the window when the game is over
};

bool ParseOptions(int argc, char** argv, Options* opt);
extern const char kUsage[];

struct Host : EngineLink::Listener {
    Options opt;
    HWND hwnd = nullptr;
    EngineLink* link = nullptr;
    Game game;
    win32_host::BackBuffer frame;
    HFONT font = nullptr, bold = nullptr;
    std::string engineLabel = "Engine"; // the program's file name without its extension
    std::string status;
    std::string fault;        // the engine fault shown, empty when none
    bool engineStale = false; // after a take back the engine must be told the game again
    int hoverLine = -1;
    size_t scriptPos = 0;

    void EngineReply(const std::string& line) override;
    void EngineFault(dabtools::Fault fault, const std::string& detail) override;
    void EngineReady() override;
};
extern Host host;

// Game flow (game_flow.cpp).
void Log(const std::string& line);
void Repaint();
void StartGame(Player opener);
bool PersonLine(int line);
void TakeBack();
void UpdateStatus();

// Scripted play (script.cpp).
void ScriptStep();

// Painting (painting.cpp, board_view.cpp).
void PaintBoard(HDC dc);
void Paint(HDC target);

} // namespace dab_host
