// orbello-host: a small window that hosts Orbello.dll for people. The board fills the left
// of the window and the move list the right; clicks play, right click or Esc takes back a
// selection, N starts a new game. The moves of one side come from an engine program over its
// standard streams: OrbelloEngine.exe beside the program, or the one --engine names; B and W
// start a game as Black or White against it, T picks the default engine's thinking time.
// With --moves and --screenshot it plays a scripted opening and saves its window as a
// picture (used for the README's screenshot).
#include "host.h"
#include "version.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace orbello_host {
Host host;
} // namespace orbello_host

using namespace orbello_host;

namespace {

void Command(int id) {
    if (id == ID_NEW_GAME) NewGame();
    if (id == ID_PLAY_BLACK) PlayAs(0);
    if (id == ID_PLAY_WHITE) PlayAs(1);
    if (id == ID_THINKING_TIME) NextThinkingTime();
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        Paint(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN: {
        int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
        int button = ButtonAt(Buttons(), x, y);
        if (button >= 0)
            Command(button);
        else
            Click(x, y);
        return 0;
    }
    case WM_RBUTTONDOWN:
        if (host.game->CancelMove()) UpdateStatus();
        Repaint();
        return 0;
    case WM_KEYDOWN:
        if (wParam == 'N') Command(ID_NEW_GAME);
        if (wParam == 'B' && !host.engineCommand.empty()) Command(ID_PLAY_BLACK);
        if (wParam == 'W' && !host.engineCommand.empty()) Command(ID_PLAY_WHITE);
        if (wParam == 'T' && host.opt.defaultEngine) Command(ID_THINKING_TIME);
        if (wParam == VK_ESCAPE) host.game->CancelMove(), Repaint();
        return 0;
    case WM_ENGINE:
        EngineOutput();
        return 0;
    case WM_SCRIPT_STEP:
        ScriptStep();
        return 0;
    case WM_CLOSE:
        if (!host.opt.screenshot.empty() && !host.frame.Save(host.opt.screenshot))
            fprintf(stderr, "orbello-host: cannot write %s\n", host.opt.screenshot.c_str());
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    if (msg == MSG_MOVE_TEXT) {
        // Engine moves arrive with whatever followed them on the engine's line, its line
        // end included; one line of the list shows them.
        std::string text = reinterpret_cast<const char*>(wParam);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        for (char& c : text)
            if (c == '\n' || c == '\r' || c == '\t') c = ' ';
        Log(text);
        return 0;
    }
    if (msg == MSG_GAME_OVER) {
        char text[64];
        snprintf(text, sizeof text, "moves: Black %u, White %u",
                 static_cast<unsigned>(wParam >> 16), static_cast<unsigned>(wParam & 0xFFFF));
        Log(text);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void ReportClosedBox(const MessageBoxSeen& box) {
    fprintf(stderr, "orbello-host: closed a message box: %s\n", box.text.c_str());
}

int Fail(const std::string& why) {
    fprintf(stderr, "orbello-host: %s\n", why.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (!ParseOptions(argc, argv, &host.opt)) return Fail(std::string("bad arguments\n") + kUsage);
    std::string why;
    if (!host.library.Load("Orbello.dll", &why)) return Fail(why);
    char tag[64] = "", name[64] = "";
    int extra = -1;
    host.library.check()(tag, name, &extra);
    if (strcmp(tag, "Arvek Game Platform chessType") != 0)
        return Fail("Orbello.dll is not a game module of the platform");

    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "OrbelloHost";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    RegisterClassA(&wc);
    RECT r = {0, 0, kClientW, kClientH};
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    AdjustWindowRect(&r, style, FALSE);
    // The name in the ANSI code page, after the version people quote when they report.
    std::string title = std::string("Orbello host ") + project_version::text() + " - " + name;
    host.hwnd =
        CreateWindowA("OrbelloHost", title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                      r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    if (!host.hwnd) return Fail("cannot create the window");
    if (!host.frame.Create(host.hwnd, kClientW, kClientH))
        return Fail("cannot create the drawing surface");
    host.font = CreateFontA(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, nullptr);

    bool scripted = !host.opt.screenshot.empty() || !host.opt.moves.empty();
    // In scripted runs nobody is there to close a message box: report it and close it.
    std::unique_ptr<MessageBoxCloser> closer;
    if (scripted) closer = std::make_unique<MessageBoxCloser>(nullptr, ReportClosedBox);

    ShowWindow(host.hwnd, SW_SHOW);
    GameObject game(host.library.init()(host.hwnd, host.opt.dataDir.c_str()));
    if (!game.valid()) return Fail("InitModule gave no game object");
    host.game = &game;
    game.SetBoardRect(kBoardRect.left, kBoardRect.top, kBoardRect.right, kBoardRect.bottom);
    if (!StartEngine()) return Fail("cannot start the engine");
    NewGame();
    if (scripted) PostMessageA(host.hwnd, WM_SCRIPT_STEP, 0, 0);

    RunMessageLoop();

    host.engine.quit(false, std::chrono::milliseconds(2000));
    host.game = nullptr;
    game.Destroy();
    closer.reset();
    DeleteObject(host.font);
    return 0;
}
