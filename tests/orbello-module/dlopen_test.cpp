// A program that knows nothing of the module but its two exports and the slot numbers loads
// the native shared library and plays whole games through the table, as the host does:
// Black by clicks, White by engine text.
#include "binding/chess_interface.h"
#include "data_folder.h"
#include "standin.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using CheckModuleFn = void (*)(char*, char*, int*);
using InitModuleFn = void* (*)(HWND, const char*);
using SetHooksFn = void (*)(StandinPaintHook, StandinMessageHook, void*);

struct Host {
    void* obj = nullptr;
    HDC paintDC = reinterpret_cast<HDC>(0x5500);
    int paints = 0;
    std::vector<std::string> statusTexts;
    std::vector<LPARAM> movers;
    int gameOvers = 0;
    WPARAM overWParam = 0;
    LPARAM overLParam = -1;

    void** table() const { return *static_cast<void***>(obj); }
    template <typename R, typename... A> R call(int slot, A... args) {
        using Fn = R(ORBELLO_THISCALL*)(void*, A...);
        return reinterpret_cast<Fn>(table()[slot])(obj, args...);
    }

    static void Paint(HWND, void* context) {
        auto* self = static_cast<Host*>(context);
        ++self->paints;
        if (self->obj) self->call<void>(SLOT_DRAW_BOARD, self->paintDC);
    }
    static LRESULT Message(HWND, UINT msg, WPARAM wParam, LPARAM lParam, int posted,
                           void* context) {
        auto* self = static_cast<Host*>(context);
        if (msg == MSG_MOVE_TEXT && !posted) {
            self->statusTexts.push_back(reinterpret_cast<const char*>(wParam));
            self->movers.push_back(lParam);
        } else if (msg == MSG_GAME_OVER && posted) {
            ++self->gameOvers;
            self->overWParam = wParam;
            self->overLParam = lParam;
        }
        return 0;
    }
};

class SharedLibrary : public ::testing::Test {
  protected:
    void* lib = nullptr;
    TempDir dir;
    fs::path data;

    void SetUp() override {
        lib = dlopen(ORBELLO_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(lib, nullptr) << dlerror();
        FillDataDir(dir, true, "[COORDINATE]\nX=97\nY=49\n");
        data = dir.path();
    }
    void TearDown() override {
        if (lib) dlclose(lib);
    }
    template <typename Fn> Fn sym(const char* name) {
        return reinterpret_cast<Fn>(dlsym(lib, name));
    }
};

TEST_F(SharedLibrary, ExportsOnly) {
    auto check = sym<CheckModuleFn>("CheckModule");
    ASSERT_NE(check, nullptr);
    ASSERT_NE(sym<InitModuleFn>("InitModule"), nullptr);
    // The implementation stays inside.
    EXPECT_EQ(dlsym(lib, "_ZN8COrbello11IsLegalMoveEv"), nullptr);
    char tag[40], name[20];
    int extra = -1;
    check(tag, name, &extra);
    EXPECT_STREQ(tag, "Arvek Game Platform chessType");
    EXPECT_STREQ(name, "Orbello\xC6\xE5");
    EXPECT_EQ(extra, 0);
}

TEST_F(SharedLibrary, WholeGamesThroughTheSlots) {
    auto init = sym<InitModuleFn>("InitModule");
    auto hooks = sym<SetHooksFn>("StandinSetHooks");
    ASSERT_NE(init, nullptr);
    ASSERT_NE(hooks, nullptr);
    std::mt19937 rng(2024);
    const HWND window = reinterpret_cast<HWND>(0x6600);

    for (int round = 0; round < 3; ++round) {
        Host host;
        hooks(&Host::Paint, &Host::Message, &host);
        host.obj = init(window, data.string().c_str());
        ASSERT_NE(host.obj, nullptr);
        host.call<void>(SLOT_SET_BOARD_RECT, 0, 0, 330, 330);
        if (round > 0) {
            EXPECT_NE(host.call<int>(SLOT_NEW_GAME), 0);
        }

        // The host's own copy of the board, from what the module accepted.
        int board[6][6];
        for (int x = 0; x < 6; ++x)
            for (int y = 0; y < 6; ++y) board[x][y] = y < 2 ? 0 : y < 4 ? 2 : 1;
        int side = 0, moves[2] = {0, 0}, result = 0;
        for (int ply = 0; ply < 3000 && result != 2; ++ply) {
            // Candidates: captures first (in random order), then steps.
            std::vector<std::array<int, 4>> caps, steps;
            for (int fx = 0; fx < 6; ++fx)
                for (int fy = 0; fy < 6; ++fy) {
                    if (board[fx][fy] != side) continue;
                    for (int tx = 0; tx < 6; ++tx)
                        for (int ty = 0; ty < 6; ++ty) {
                            if (board[tx][ty] == 1 - side) caps.push_back({fx, fy, tx, ty});
                            int dx = tx - fx, dy = ty - fy;
                            if (board[tx][ty] == 2 && dx * dx + dy * dy < 4)
                                steps.push_back({fx, fy, tx, ty});
                        }
                }
            std::shuffle(caps.begin(), caps.end(), rng);
            std::shuffle(steps.begin(), steps.end(), rng);
            caps.insert(caps.end(), steps.begin(), steps.end());
            bool moved = false;
            for (const auto& m : caps) {
                char text[15];
                if (side == 0) {
                    // Black clicks: select, try the target, withdraw when refused.
                    ASSERT_EQ(host.call<int>(SLOT_ON_BOARD_CLICK, (m[0] + 3) * 30, (m[1] + 3) * 30),
                              0);
                    int r = host.call<int>(SLOT_ON_BOARD_CLICK, (m[2] + 3) * 30, (m[3] + 3) * 30);
                    if (r == -1) {
                        ASSERT_EQ(host.call<int>(SLOT_CANCEL_MOVE), 1);
                        continue;
                    }
                    ASSERT_EQ(r, 1);
                    result = host.call<int>(SLOT_FETCH_MOVE, static_cast<char*>(text));
                    std::string expected = std::string("move ") + char('a' + m[0]) +
                                           char('1' + m[1]) + char('a' + m[2]) + char('1' + m[3]);
                    EXPECT_EQ(std::string(text), expected + (result == 2 ? "\nend\n" : "\n"));
                } else {
                    char line[16], reply[15], opponent[15];
                    std::snprintf(line, sizeof line, "move %c%c%c%c", 'a' + m[0], '1' + m[1],
                                  'a' + m[2], '1' + m[3]);
                    result =
                        host.call<int>(SLOT_RECEIVE_MOVE, static_cast<const char*>(line),
                                       static_cast<char*>(reply), static_cast<char*>(opponent));
                    if (result == -1) {
                        EXPECT_STREQ(reply, "error\n");
                        continue;
                    }
                    EXPECT_STREQ(reply, result == 2 ? "end\n" : "");
                    EXPECT_EQ(std::string(opponent),
                              std::string(line) + (result == 2 ? "\nend\n" : "\n"));
                }
                ASSERT_GE(result, 1);
                board[m[2]][m[3]] = side;
                board[m[0]][m[1]] = 2;
                ++moves[side];
                EXPECT_EQ(host.movers.back(), side);
                EXPECT_EQ(host.statusTexts.back().substr(0, 7), side == 0 ? "Black: " : "White: ");
                moved = true;
                break;
            }
            ASSERT_TRUE(moved) << "side " << side << " has no move";
            if (result == 1) side = 1 - side;
        }
        ASSERT_EQ(result, 2) << "game " << round << " did not end";
        EXPECT_EQ(host.gameOvers, 1);
        EXPECT_EQ(host.overWParam, WPARAM(moves[0]) * 65536 + WPARAM(moves[1]));
        EXPECT_EQ(host.overLParam, side);
        // After the end clicks do nothing until a new game.
        EXPECT_EQ(host.call<int>(SLOT_ON_BOARD_CLICK, 120, 120), 0);
        EXPECT_GT(host.paints, moves[0] + moves[1]);

        void* obj = host.obj;
        EXPECT_EQ(host.call<void*>(SLOT_DESTRUCTOR, 1u), obj);
        hooks(nullptr, nullptr, nullptr);
    }
}

} // namespace
