// orbello-host: a small window that hosts Orbello.dll for people. The board fills the left
// of the window and the move list the right; clicks play, right click or Esc takes back a
// selection, N starts a new game. With --engine the moves of one side come from a program
// over its standard streams; with --moves and --screenshot it plays a scripted opening and
// saves its window as a picture (used for the README's screenshot).
#include "host_support.h"
#include "module_slots.h"
#include "version.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

using namespace orbello_host;

namespace {

const int kClientW = 760, kClientH = 480;
const RECT kBoardRect = {20, 20, 460, 460};
const UINT WM_ENGINE_LINE = WM_APP + 1; // lParam: std::string* of one line, owned by the receiver
const UINT WM_SCRIPT_STEP = WM_APP + 2;

struct Options {
    std::string dataDir;
    std::string engine; // command line of an engine program; empty: people play both sides
    int engineSide = 1; // 0 Black, 1 White
    std::vector<std::string> moves; // scripted moves, played by clicks at start
    std::string screenshot;         // BMP written after the script, then the program ends
    bool exitAtEnd = false;         // end the program when the game is over
};

struct Host {
    Options opt;
    HWND hwnd = nullptr;
    ModuleLibrary library;
    GameObject* game = nullptr;
    HDC backDc = nullptr;
    HBITMAP backBitmap = nullptr;
    void* backBits = nullptr;
    HFONT font = nullptr;
    std::deque<std::string> log; // newest last
    std::string status = "Black to move";
    int sideToMove = 0;
    bool over = false;
    size_t scriptPos = 0;
    // Engine process and its streams.
    HANDLE engineProcess = nullptr, toEngine = nullptr, fromEngine = nullptr;
};
Host host;

void Log(const std::string& line) {
    // Also on standard output, so scripted runs leave a record of the game.
    printf("%s\n", line.c_str());
    fflush(stdout);
    host.log.push_back(line);
    while (host.log.size() > 20) host.log.pop_front();
}

void Repaint() {
    InvalidateRect(host.hwnd, nullptr, FALSE);
}

// ---- engine relay ----------------------------------------------------------------------

void SendToEngine(const std::string& text) {
    if (!host.toEngine || text.empty()) return;
    DWORD written;
    WriteFile(host.toEngine, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

DWORD WINAPI EngineReader(LPVOID) {
    std::string pending;
    char buf[512];
    DWORD n;
    while (ReadFile(host.fromEngine, buf, sizeof buf, &n, nullptr) && n > 0) {
        pending.append(buf, n);
        size_t eol;
        while ((eol = pending.find('\n')) != std::string::npos) {
            std::string* line = new std::string(pending.substr(0, eol));
            pending.erase(0, eol + 1);
            if (!line->empty() && line->back() == '\r') line->pop_back();
            if (!PostMessageA(host.hwnd, WM_ENGINE_LINE, 0, reinterpret_cast<LPARAM>(line)))
                delete line;
        }
    }
    return 0;
}

bool StartEngine(const std::string& commandLine) {
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE childIn = nullptr, childOut = nullptr;
    if (!CreatePipe(&childIn, &host.toEngine, &sa, 0) ||
        !CreatePipe(&host.fromEngine, &childOut, &sa, 0))
        return false;
    // Our ends stay out of the child, so it sees end of input when we close ours.
    SetHandleInformation(host.toEngine, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(host.fromEngine, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = childIn;
    si.hStdOutput = childOut;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi = {};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    BOOL ok = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                             nullptr, &si, &pi);
    CloseHandle(childIn);
    CloseHandle(childOut);
    if (!ok) return false;
    CloseHandle(pi.hThread);
    host.engineProcess = pi.hProcess;
    HANDLE reader = CreateThread(nullptr, 0, EngineReader, nullptr, 0, nullptr);
    if (reader) CloseHandle(reader);
    return true;
}

void StopEngine() {
    if (!host.engineProcess) return;
    SendToEngine("quit\n");
    CloseHandle(host.toEngine);
    host.toEngine = nullptr;
    if (WaitForSingleObject(host.engineProcess, 2000) != WAIT_OBJECT_0)
        TerminateProcess(host.engineProcess, 1);
    CloseHandle(host.engineProcess);
    host.engineProcess = nullptr;
}

// ---- game flow -------------------------------------------------------------------------

const char* SideName(int side) {
    return side == 0 ? "Black" : "White";
}

void GameOver(int winner) {
    host.over = true;
    host.status = std::string(SideName(winner)) + " wins. N: new game";
    Log(host.status);
    if (host.opt.exitAtEnd) PostMessageA(host.hwnd, WM_CLOSE, 0, 0);
}

void MoveCommitted() {
    host.sideToMove = 1 - host.sideToMove;
    host.status = std::string(SideName(host.sideToMove)) + " to move";
}

void NewGame() {
    host.over = false;
    host.sideToMove = 0;
    host.status = "Black to move";
    Log("-- new game");
    host.game->NewGame();
    if (host.engineProcess) SendToEngine(host.opt.engineSide == 0 ? "new black\n" : "new white\n");
    Repaint();
}

bool PeoplesTurn() {
    return !host.engineProcess || host.sideToMove != host.opt.engineSide;
}

void Click(int x, int y) {
    if (host.over || !PeoplesTurn()) return;
    int r = host.game->OnBoardClick(x, y);
    if (r == -1) host.status = "Not a legal choice";
    if (r == 1) {
        char out[16] = "";
        int f = host.game->FetchMove(out);
        SendToEngine(out);
        if (f == 2)
            GameOver(host.sideToMove);
        else if (f == 1)
            MoveCommitted();
    }
    Repaint();
}

void EngineLine(const std::string& line) {
    if (host.over || host.sideToMove != host.opt.engineSide) return;
    char reply[64] = "", other[64] = "";
    int r = host.game->ReceiveMove(line.c_str(), reply, other);
    if (r == 0) return; // not a move: the engine's own chatter
    SendToEngine(reply);
    if (r == -1) {
        Log(std::string("engine: illegal \"") + line + "\"");
    } else if (r == 2) {
        GameOver(host.sideToMove);
    } else {
        MoveCommitted();
        if (host.scriptPos < host.opt.moves.size()) PostMessageA(host.hwnd, WM_SCRIPT_STEP, 0, 0);
    }
    Repaint();
}

// Plays the next scripted move by clicking its two points, as a person would. While the
// engine is to move the script waits; the engine's move posts the next step.
void ScriptStep() {
    if (host.scriptPos >= host.opt.moves.size()) {
        if (!host.opt.screenshot.empty()) {
            UpdateWindow(host.hwnd);
            PostMessageA(host.hwnd, WM_CLOSE, 0, 0);
        }
        return;
    }
    if (host.over || !PeoplesTurn()) return;
    {
        const std::string& m = host.opt.moves[host.scriptPos++];
        if (m.size() == 4) {
            POINT from = GridPixel(kBoardRect, m[0] - 'A', m[1] - 'A');
            POINT to = GridPixel(kBoardRect, m[2] - 'A', m[3] - 'A');
            if (host.game->OnBoardClick(from.x, from.y) != 0)
                Log("script: cannot select " + m);
            else if (host.game->OnBoardClick(to.x, to.y) != 1)
                Log("script: refused " + m), host.game->CancelMove();
            else {
                char out[16] = "";
                int f = host.game->FetchMove(out);
                SendToEngine(out);
                if (f == 2)
                    GameOver(host.sideToMove);
                else
                    MoveCommitted();
            }
        } else if (m.size() == 2) { // a lone point: leave it selected
            POINT p = GridPixel(kBoardRect, m[0] - 'A', m[1] - 'A');
            host.game->OnBoardClick(p.x, p.y);
        }
        Repaint();
        PostMessageA(host.hwnd, WM_SCRIPT_STEP, 0, 0);
    }
}

// ---- painting --------------------------------------------------------------------------

void PaintPanel(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, host.font);
    SetTextColor(dc, RGB(40, 30, 20));
    int x = kBoardRect.right + 30, y = 24;
    const char* title = "Orbello";
    TextOutA(dc, x, y, title, static_cast<int>(strlen(title)));
    y += 28;
    TextOutA(dc, x, y, host.status.c_str(), static_cast<int>(host.status.size()));
    y += 30;
    for (const std::string& line : host.log) {
        TextOutA(dc, x, y, line.c_str(), static_cast<int>(line.size()));
        y += 16;
    }
    SetTextColor(dc, RGB(110, 90, 70));
    const char* help[] = {"click: select a piece, then its target",
                          "right click or Esc: drop the selection", "N: new game"};
    for (int i = 0; i < 3; ++i)
        TextOutA(dc, x, kClientH - 60 + 16 * i, help[i], static_cast<int>(strlen(help[i])));
    SelectObject(dc, oldFont);
}

void Paint(HDC target) {
    RECT all = {0, 0, kClientW, kClientH};
    HBRUSH panel = CreateSolidBrush(RGB(236, 226, 206));
    FillRect(host.backDc, &all, panel);
    DeleteObject(panel);
    HBRUSH board = CreateSolidBrush(RGB(214, 178, 120));
    FillRect(host.backDc, &kBoardRect, board);
    DeleteObject(board);
    if (host.game) host.game->DrawBoard(host.backDc);
    PaintPanel(host.backDc);
    BitBlt(target, 0, 0, kClientW, kClientH, host.backDc, 0, 0, SRCCOPY);
}

bool SaveScreenshot(const std::string& path) {
    GdiFlush();
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = kClientW;
    ih.biHeight = -kClientH;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    DWORD size = kClientW * kClientH * 4;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + size;
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = fwrite(&fh, sizeof fh, 1, f) == 1 && fwrite(&ih, sizeof ih, 1, f) == 1 &&
              fwrite(host.backBits, size, 1, f) == 1;
    return fclose(f) == 0 && ok;
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
    case WM_LBUTTONDOWN:
        Click(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_RBUTTONDOWN:
        if (host.game->CancelMove())
            host.status = std::string(SideName(host.sideToMove)) + " to move";
        Repaint();
        return 0;
    case WM_KEYDOWN:
        if (wParam == 'N') NewGame();
        if (wParam == VK_ESCAPE) host.game->CancelMove(), Repaint();
        return 0;
    case WM_ENGINE_LINE: {
        std::string* line = reinterpret_cast<std::string*>(lParam);
        EngineLine(*line);
        delete line;
        return 0;
    }
    case WM_SCRIPT_STEP:
        ScriptStep();
        return 0;
    case WM_CLOSE:
        if (!host.opt.screenshot.empty() && !SaveScreenshot(host.opt.screenshot))
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

const char kUsage[] =
    "usage: orbello-host [--data DIR] [--engine \"COMMAND\"] [--engine-side black|white]\n"
    "                    [--moves ABAC,AEAD,...] [--screenshot FILE.bmp] [--exit-at-end]\n";

bool ParseOptions(int argc, char** argv, Options* opt) {
    opt->dataDir = ProgramDir() + "\\data";
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool hasValue = i + 1 < argc;
        if (a == "--data" && hasValue) {
            opt->dataDir = argv[++i];
        } else if (a == "--engine" && hasValue) {
            opt->engine = argv[++i];
        } else if (a == "--engine-side" && hasValue) {
            std::string s = argv[++i];
            if (s != "black" && s != "white") return false;
            opt->engineSide = s == "black" ? 0 : 1;
        } else if (a == "--moves" && hasValue) {
            std::string list = argv[++i];
            size_t start = 0;
            while (start <= list.size()) {
                size_t comma = list.find(',', start);
                if (comma == std::string::npos) comma = list.size();
                if (comma > start) opt->moves.push_back(list.substr(start, comma - start));
                start = comma + 1;
            }
        } else if (a == "--screenshot" && hasValue) {
            opt->screenshot = argv[++i];
        } else if (a == "--exit-at-end") {
            opt->exitAtEnd = true;
        } else {
            return false;
        }
    }
    // The module builds its file names in 260-byte buffers from this folder.
    return opt->dataDir.size() <= 245;
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
    std::string title = std::string("Orbello host ") + project_version::text() + " - " +
                        name; // the name in the ANSI code page
    host.hwnd =
        CreateWindowA("OrbelloHost", title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                      r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    if (!host.hwnd) return Fail("cannot create the window");

    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = kClientW;
    bi.bmiHeader.biHeight = -kClientH;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(host.hwnd);
    host.backDc = CreateCompatibleDC(screen);
    host.backBitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &host.backBits, nullptr, 0);
    ReleaseDC(host.hwnd, screen);
    if (!host.backBitmap) return Fail("cannot create the drawing surface");
    HGDIOBJ oldBitmap = SelectObject(host.backDc, host.backBitmap);
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
    if (!host.opt.engine.empty() && !StartEngine(host.opt.engine))
        return Fail("cannot start the engine: " + host.opt.engine);
    NewGame();
    if (scripted) PostMessageA(host.hwnd, WM_SCRIPT_STEP, 0, 0);

    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }

    StopEngine();
    host.game = nullptr;
    game.Destroy();
    closer.reset();
    SelectObject(host.backDc, oldBitmap);
    DeleteObject(host.backBitmap);
    DeleteDC(host.backDc);
    DeleteObject(host.font);
    return 0;
}
