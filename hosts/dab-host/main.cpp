// dab-host: Dots and Boxes on 6 x 6 dots against an engine program, in a window. A click
// near a line draws it (the line under the pointer is highlighted first); completed boxes
// take their owner's colour; the panel shows the scores, whose turn it is, the level and the
// move list in the protocol's codes. The engine is Vantry beside the program unless --engine
// names another; it thinks while the window stays responsive, and its faults are shown, not
// waited on. Games are saved and opened as the referees' game records. --lines and
// --screenshot play a script and save the window as a picture.
#include "dab_host.h"
#include "file_dialogs.h"

#include <climits>
#include <cstdio>

namespace dab_host {
Host host;
} // namespace dab_host

using namespace dab_host;

namespace {

void Hover(int x, int y) {
    int line = CanPlay() ? LineAt(x, y) : -1;
    if (line == host.hoverLine) return;
    host.hoverLine = line;
    Repaint();
}

void Command(int id) {
    if (id == ID_NEW_PERSON) StartGame(PERSON);
    if (id == ID_NEW_ENGINE) StartGame(ENGINE);
    if (id == ID_TAKE_BACK) TakeBack();
    if (id == ID_HINT) AskHint();
    if (id == ID_PLAY_ON) PlayOn();
    if (id == ID_LEVEL) SetLevel(host.level % kTopLevel + 1);
    if (id == ID_SAVE) {
        std::string path = win32_host::AskSaveRecord(host.hwnd, "Save the game", "dab-game.jsonl");
        if (!path.empty()) SaveGame(path);
    }
    if (id == ID_OPEN) {
        std::string path = win32_host::AskOpenRecord(host.hwnd, "Open a game record");
        if (!path.empty()) OpenRecord(path, 0);
    }
    host.hoverLine = -1;
}

// A key's action: the buttons' letters (Ctrl+S and Ctrl+O too), levels 1 to 5, and the
// steps through a record.
void Key(WPARAM key) {
    switch (key) {
    case 'N':
        Command(ID_NEW_PERSON);
        break;
    case 'E':
        Command(ID_NEW_ENGINE);
        break;
    case 'U':
    case VK_BACK:
        Command(ID_TAKE_BACK);
        break;
    case 'H':
        Command(ID_HINT);
        break;
    case 'P':
        Command(ID_PLAY_ON);
        break;
    case 'L':
        Command(ID_LEVEL);
        break;
    case 'S':
        Command(ID_SAVE);
        break;
    case 'O':
        Command(ID_OPEN);
        break;
    case VK_LEFT:
        Step(-1);
        break;
    case VK_RIGHT:
        Step(1);
        break;
    case VK_HOME:
        Step(INT_MIN);
        break;
    case VK_END:
        Step(INT_MAX);
        break;
    default:
        if (key >= '1' && key <= '5') SetLevel(static_cast<int>(key - '0'));
        if (key >= VK_NUMPAD1 && key <= VK_NUMPAD5) SetLevel(static_cast<int>(key - VK_NUMPAD0));
    }
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
    case WM_MOUSEMOVE: {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&track);
        POINT p =
            WindowToFrame(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        Hover(p.x, p.y);
        return 0;
    }
    case WM_MOUSELEAVE:
        Hover(-1000, -1000);
        return 0;
    case WM_LBUTTONDOWN: {
        POINT p =
            WindowToFrame(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        Command(win32_host::ButtonAt(Buttons(), p.x, p.y));
        PersonLine(LineAt(p.x, p.y));
        host.hoverLine = -1;
        Repaint();
        return 0;
    }
    case WM_KEYDOWN:
        Key(wParam);
        Repaint();
        return 0;
    case WM_SIZE:
        Repaint();
        return 0;
    case WM_GETMINMAXINFO: {
        // Not so small that the panel's text cannot be read.
        RECT r = {0, 0, kClientW / 2, kClientH / 2};
        AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {r.right - r.left,
                                                                 r.bottom - r.top};
        return 0;
    }
    case WM_ENGINE:
        host.link->OnOutput();
        return 0;
    case WM_HINT_ENGINE:
        host.hintLink->OnOutput();
        return 0;
    case WM_TIMER:
        if (wParam == kEngineTimer) host.link->OnTimer();
        if (wParam == kHintTimer) host.hintLink->OnTimer();
        return 0;
    case WM_SCRIPT_STEP:
        ScriptStep();
        return 0;
    case WM_CLOSE:
        if (!host.opt.screenshot.empty()) {
            UpdateWindow(hwnd);
            if (!host.frame.Save(host.opt.screenshot))
                fprintf(stderr, "dab-host: cannot write %s\n", host.opt.screenshot.c_str());
        }
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

int Fail(const std::string& why) {
    fprintf(stderr, "dab-host: %s\n", why.c_str());
    return 1;
}

// The engine's file name without folder and extension names it in the window.
std::string LabelOf(const std::string& command) {
    std::vector<std::string> words = dabtools::split_command(command);
    if (words.empty()) return "Engine";
    std::string name = words[0].substr(words[0].find_last_of("\\/") + 1);
    if (name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".exe") == 0)
        name.resize(name.size() - 4);
    return name.empty() ? "Engine" : name;
}

} // namespace

int main(int argc, char** argv) {
    if (!ParseOptions(argc, argv, &host.opt)) return Fail(std::string("bad arguments\n") + kUsage);
    host.engineLabel = LabelOf(host.opt.engine);
    // Vantry (any of its builds) takes --level; another engine plays as it plays.
    std::string lower = host.engineLabel;
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    host.levels = lower.rfind("vantry", 0) == 0;
    host.settings = std::make_unique<win32_host::HostSettings>(host.opt.settings);
    host.level = host.settings->Int("level", kTopLevel, 1, kTopLevel);

    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "DabHost";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    RegisterClassA(&wc);
    RECT r = {0, 0, kClientW, kClientH};
    DWORD style = WS_OVERLAPPEDWINDOW;
    AdjustWindowRect(&r, style, FALSE);
    std::string title = "Dots and Boxes against " + host.engineLabel;
    host.hwnd =
        CreateWindowA("DabHost", title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                      r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    if (!host.hwnd) return Fail("cannot create the window");
    if (!host.frame.Create(host.hwnd, kClientW, kClientH))
        return Fail("cannot create the drawing surface");
    host.font = CreateFontA(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, nullptr);
    host.bold = CreateFontA(-16, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, nullptr);

    EngineLink link(&host, host.hwnd, WM_ENGINE, kEngineTimer);
    EngineLink hintLink(&hintAsker, host.hwnd, WM_HINT_ENGINE, kHintTimer);
    host.link = &link;
    host.hintLink = &hintLink;
    ShowWindow(host.hwnd, SW_SHOW);
    Log("level " + std::to_string(host.level) + (host.levels ? "" : " (not available)"));
    StartGame(host.opt.engineOpens ? ENGINE : PERSON);
    if (!host.opt.open.empty()) OpenRecord(host.opt.open, host.opt.openGame);
    if (!host.opt.script.empty()) PostMessageA(host.hwnd, WM_SCRIPT_STEP, 0, 0);

    win32_host::RunMessageLoop();

    hintLink.Stop();
    link.Stop();
    host.link = nullptr;
    host.hintLink = nullptr;
    DeleteObject(host.font);
    DeleteObject(host.bold);
    return 0;
}
