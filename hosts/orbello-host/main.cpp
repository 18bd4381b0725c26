// orbello-host: a window that hosts Orbello.dll for people. The board fills the left of the
// window (scaled with it) and the panel the right; clicks play, right click or Esc takes back
// a selection, N starts a new game. The moves of one side come from an engine program over
// its standard streams: OrbelloEngine.exe beside the program, or the one --engine names; B and
// W start a game as Black or White against it, 1-5 pick its level and T its thinking time for
// the next game, U takes back, H asks for a hint, S and O save and open game records (the
// referees' JSON lines), whose moves the arrow keys step through. With --moves and
// --screenshot it plays a script and saves its window as a picture (the README's screenshot).
#include "host.h"
#include "version.h"

#include <climits>
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
    if (id == ID_LEVEL) NextLevel();
    if (id == ID_TAKE_BACK) TakeBack();
    if (id == ID_HINT) AskHint();
    if (id == ID_SAVE) SaveAsked();
    if (id == ID_OPEN) OpenAsked();
    if (id == ID_PLAY_ON) PlayOn();
}

bool HasEngine() {
    return !host.engineCommand.empty() || !EngineCommandLine().empty();
}

void Key(WPARAM key) {
    if (key == 'N') Command(ID_NEW_GAME);
    if (key == 'B' && HasEngine()) Command(ID_PLAY_BLACK);
    if (key == 'W' && HasEngine()) Command(ID_PLAY_WHITE);
    if (key == 'T' && host.opt.defaultEngine) Command(ID_THINKING_TIME);
    if (key >= '1' && key <= '5') SetLevel(static_cast<int>(key - '0'));
    if (key >= VK_NUMPAD1 && key <= VK_NUMPAD5) SetLevel(static_cast<int>(key - VK_NUMPAD0));
    if (key == 'L') Command(ID_LEVEL);
    if (key == 'U' || key == VK_BACK) Command(ID_TAKE_BACK);
    if (key == 'H') Command(ID_HINT);
    if (key == 'S') Command(ID_SAVE); // Ctrl+S as well
    if (key == 'O') Command(ID_OPEN);
    if (key == 'P') Command(ID_PLAY_ON);
    if (key == VK_LEFT) Step(-1);
    if (key == VK_RIGHT) Step(1);
    if (key == VK_HOME) Step(LLONG_MIN);
    if (key == VK_END) Step(LLONG_MAX);
    if (key == VK_ESCAPE) host.game->CancelMove(), Repaint();
}

void Resize(int width, int height) {
    if (!host.hwnd || width <= 0 || height <= 0) return; // being created, or minimised
    auto frame = std::make_unique<BackBuffer>();
    if (!frame->Create(host.hwnd, width, height)) return; // the old frame stays
    host.frame = std::move(frame);
    host.clientW = width;
    host.clientH = height;
    host.boardRect = BoardRectFor(width, height);
    const RECT& b = host.boardRect;
    if (host.game) host.game->SetBoardRect(b.left, b.top, b.right, b.bottom);
    Repaint();
}

// The characters of column 0 and row 0 in the module's move text, read as the module reads
// them from its Config.ini (a value that is not printable gives 'A').
int Base(const char* key) {
    const std::string config = host.opt.dataDir + "\\Config.ini";
    const int v = static_cast<int>(GetPrivateProfileIntA("COORDINATE", key, 65, config.c_str()));
    return v >= 32 && v + 5 <= 126 ? v : 65;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        // A replay's moves are not shown one by one (nor their captures' journeys).
        if (!host.quiet) Paint(dc);
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
        Key(wParam);
        return 0;
    case WM_SIZE:
        Resize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_GETMINMAXINFO: {
        RECT r = {0, 0, kMinClientW, kMinClientH};
        AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
        MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = r.right - r.left;
        info->ptMinTrackSize.y = r.bottom - r.top;
        return 0;
    }
    case WM_TIMER:
        CheckDeadlines();
        return 0;
    case WM_ENGINE:
        EngineOutput();
        return 0;
    case WM_HINT_ENGINE:
        HintOutput();
        return 0;
    case WM_SCRIPT_STEP:
        ScriptStep();
        return 0;
    case WM_CLOSE:
        if (!host.opt.screenshot.empty() && !host.frame->Save(host.opt.screenshot))
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
        if (host.quiet) return 0; // a replay's moves are already in the list
        std::string text = reinterpret_cast<const char*>(wParam);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        for (char& c : text)
            if (c == '\n' || c == '\r' || c == '\t') c = ' ';
        Log(text);
        return 0;
    }
    if (msg == MSG_GAME_OVER) {
        if (host.gameOversToSkip > 0) { // the end of a game replayed, told again
            --host.gameOversToSkip;
            return 0;
        }
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
    DWORD style = WS_OVERLAPPEDWINDOW;
    AdjustWindowRect(&r, style, FALSE);
    // The name in the ANSI code page, after the version people quote when they report.
    std::string title = std::string("Orbello host ") + project_version::text() + " - " + name;
    host.hwnd =
        CreateWindowA("OrbelloHost", title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                      r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    if (!host.hwnd) return Fail("cannot create the window");
    host.frame = std::make_unique<BackBuffer>();
    if (!host.frame->Create(host.hwnd, kClientW, kClientH))
        return Fail("cannot create the drawing surface");
    host.boardRect = BoardRectFor(kClientW, kClientH);
    host.font = CreateFontA(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, nullptr);
    host.baseX = Base("X");
    host.baseY = Base("Y");

    bool scripted = !host.opt.screenshot.empty() || !host.opt.moves.empty();
    // A scripted run keeps its choices to itself unless it names a settings file.
    host.settings =
        std::make_unique<HostSettings>(host.opt.settingsGiven ? host.opt.settings
                                       : scripted             ? std::string()
                                                  : DefaultSettingsPath("orbello-host.ini"));
    host.level = host.settings->Int("level", kTopLevel, 1, kTopLevel);
    // In scripted runs nobody is there to close a message box: report it and close it.
    std::unique_ptr<MessageBoxCloser> closer;
    if (scripted) closer = std::make_unique<MessageBoxCloser>(nullptr, ReportClosedBox);

    ShowWindow(host.hwnd, SW_SHOW);
    host.game =
        std::make_unique<GameObject>(host.library.init()(host.hwnd, host.opt.dataDir.c_str()));
    if (!host.game->valid()) return Fail("InitModule gave no game object");
    const RECT& b = host.boardRect;
    host.game->SetBoardRect(b.left, b.top, b.right, b.bottom);
    if (!StartEngine(EngineCommandLine())) return Fail("cannot start the engine");
    NewGame();
    if (!host.opt.open.empty()) OpenRecord(host.opt.open, host.opt.openGame);
    SetTimer(host.hwnd, kDeadlineTimer, 200, nullptr);
    if (scripted) PostMessageA(host.hwnd, WM_SCRIPT_STEP, 0, 0);

    RunMessageLoop();

    // Every wait here has a deadline: an engine that will not end is killed.
    host.hintEngine.kill();
    host.engine.quit(false, std::chrono::milliseconds(2000));
    host.game.reset();
    closer.reset();
    DeleteObject(host.font);
    return 0;
}
