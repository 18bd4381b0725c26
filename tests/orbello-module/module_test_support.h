// Shared fixture of the module's native tests: a game object on a fake host window whose
// painting calls DrawBoard, a data directory in a temporary folder, and the messages the
// host received.
#ifndef ORBELLO_TESTS_MODULE_TEST_SUPPORT_H
#define ORBELLO_TESTS_MODULE_TEST_SUPPORT_H

#include "data_folder.h"
#include "binding/exports.h"
#include "binding/orbello.h"
#include "standin.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

struct HostMessage {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    std::string text; // wParam's text for MSG_MOVE_TEXT
    bool posted;
};

// Plays the host window: UpdateWindow paints through DrawBoard, messages are kept.
class ModuleTest : public ::testing::Test {
  protected:
    HWND hwnd = reinterpret_cast<HWND>(0x7700);
    HDC paintDC = reinterpret_cast<HDC>(0x9900);
    TempDir dir;
    COrbello* game = nullptr;
    std::vector<HostMessage> messages;
    int paints = 0;
    std::function<void()> onPaint; // runs after DrawBoard on every paint

    void SetUp() override {
        standin::reset();
        standin::setSoundMode(standin::SoundMode::Succeed);
        FillDataDir(dir);
        StandinSetHooks(&ModuleTest::Paint, &ModuleTest::Message, this);
    }
    void TearDown() override {
        Destroy();
        standin::reset();
    }

    void Create(const std::string& dataDir) {
        game = static_cast<COrbello*>(InitModule(hwnd, dataDir.c_str()));
        ASSERT_NE(game, nullptr);
    }
    void Create() { Create(dir.path().string()); }
    void Destroy() {
        if (game) game->DeletingDestructor(1);
        game = nullptr;
    }

    // Puts the listed pieces on an otherwise empty board.
    void SetBoard(std::initializer_list<std::pair<BoardPoint, int>> pieces) {
        for (auto& column : game->m_board)
            for (auto& cell : column) cell = EMPTY;
        for (const auto& [p, side] : pieces)
            game->m_board[p.x][p.y] = static_cast<std::int8_t>(side);
    }
    // Judges a move of `side` without applying it.
    bool Legal(int fx, int fy, int tx, int ty, int side) {
        game->m_history.push_back(MoveRecord{fx, fy, tx, ty, false, side});
        bool legal = game->IsLegalMove();
        game->m_history.pop_back();
        return legal;
    }
    // Pixel centre of a grid point for the current board rectangle.
    int PixelX(int x) const { return game->m_rcBoard.left + (x + 3) * game->m_nBoardWidth / 11; }
    int PixelY(int y) const { return game->m_rcBoard.top + (y + 3) * game->m_nBoardWidth / 11; }
    int Click(int x, int y) { return game->OnBoardClick(PixelX(x), PixelY(y)); }
    std::vector<HostMessage> MessagesOf(UINT msg) const {
        std::vector<HostMessage> out;
        for (const auto& m : messages)
            if (m.msg == msg) out.push_back(m);
        return out;
    }

  private:
    static void Paint(HWND, void* context) {
        auto* self = static_cast<ModuleTest*>(context);
        ++self->paints;
        if (!self->game) return; // still inside InitModule
        self->game->DrawBoard(self->paintDC);
        if (self->onPaint) self->onPaint();
    }
    static LRESULT Message(HWND, UINT msg, WPARAM wParam, LPARAM lParam, int posted,
                           void* context) {
        auto* self = static_cast<ModuleTest*>(context);
        std::string text;
        if (msg == MSG_MOVE_TEXT && wParam) text = reinterpret_cast<const char*>(wParam);
        self->messages.push_back(HostMessage{msg, wParam, lParam, text, posted != 0});
        return 0;
    }
};

#endif
