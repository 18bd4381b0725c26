// The native Win32 stand-in: just enough behaviour for the module (profile files, image and
// sound files looked up on disk, GDI objects with ownership rules) and a record of every call.
#include "standin.h"

#include <mmsystem.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>

namespace {

enum class Kind { Pen, Font, Bitmap, MemoryDC, WindowDC };

struct DcState {
    std::uintptr_t pen, font, bitmap;
};

// Objects a fresh DC holds; they belong to the system and are never counted or deleted.
constexpr std::uintptr_t kStockPen = 0x10, kStockFont = 0x11, kStockBitmap = 0x12;

struct State {
    std::vector<standin::Call> calls;
    std::vector<std::string> misuses;
    std::map<std::uintptr_t, Kind> objects;
    std::map<std::uintptr_t, DcState> dcs; // every DC seen, the host's paint DC included
    std::set<std::uintptr_t> invalidWindows;
    std::uintptr_t nextHandle = 0x1000;
    DWORD lastError = 0;
    standin::SoundMode soundMode = standin::SoundMode::FileExists;
    DWORD soundError = ERROR_FILE_NOT_FOUND;
    StandinPaintHook paint = nullptr;
    StandinMessageHook message = nullptr;
    void* context = nullptr;
};

State& state() {
    static State s;
    return s;
}

std::uintptr_t value(const void* h) {
    return reinterpret_cast<std::uintptr_t>(h);
}

void record(const char* fn, std::vector<double> args, std::string text = std::string()) {
    state().calls.push_back(standin::Call{fn, std::move(args), std::move(text)});
}

void misuse(const std::string& what) {
    state().misuses.push_back(what);
}

std::uintptr_t create(Kind kind) {
    std::uintptr_t h = state().nextHandle++;
    state().objects[h] = kind;
    return h;
}

DcState& dc(std::uintptr_t h) {
    auto it = state().dcs.find(h);
    if (it == state().dcs.end())
        it = state().dcs.emplace(h, DcState{kStockPen, kStockFont, kStockBitmap}).first;
    return it->second;
}

bool liveDC(std::uintptr_t h) {
    auto it = state().objects.find(h);
    return it != state().objects.end() &&
           (it->second == Kind::MemoryDC || it->second == Kind::WindowDC);
}

bool fileExists(const char* windowsPath) {
    std::FILE* f = std::fopen(standin::nativePath(windowsPath).c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool sameNoCase(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

extern "C" {

void StandinSetHooks(StandinPaintHook paint, StandinMessageHook message, void* context) {
    state().paint = paint;
    state().message = message;
    state().context = context;
}

DWORD GetLastError(void) {
    return state().lastError;
}

void SetLastError(DWORD code) {
    state().lastError = code;
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName) {
    record("GetPrivateProfileIntA", {static_cast<double>(defaultValue)},
           std::string(section ? section : "") + "|" + (key ? key : "") + "|" +
               (fileName ? fileName : ""));
    if (!section || !key || !fileName) return static_cast<UINT>(defaultValue);
    std::ifstream in(standin::nativePath(fileName));
    std::string line, current;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            size_t end = line.find(']');
            current = trim(line.substr(1, end == std::string::npos ? std::string::npos : end - 1));
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos || !sameNoCase(current, section) ||
            !sameNoCase(trim(line.substr(0, eq)), key))
            continue;
        // Leading decimal digits with an optional sign; anything else reads as 0.
        std::string v = trim(line.substr(eq + 1));
        return static_cast<UINT>(std::strtol(v.c_str(), nullptr, 10));
    }
    return static_cast<UINT>(defaultValue);
}

LRESULT SendMessageA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    record("SendMessageA", {standin::handleValue(hWnd), static_cast<double>(msg),
                            static_cast<double>(wParam), static_cast<double>(lParam)});
    State& s = state();
    return s.message ? s.message(hWnd, msg, wParam, lParam, 0, s.context) : 0;
}

BOOL PostMessageA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    record("PostMessageA", {standin::handleValue(hWnd), static_cast<double>(msg),
                            static_cast<double>(wParam), static_cast<double>(lParam)});
    State& s = state();
    if (s.message) s.message(hWnd, msg, wParam, lParam, 1, s.context);
    return TRUE;
}

HDC GetDC(HWND hWnd) {
    std::uintptr_t h = create(Kind::WindowDC);
    dc(h);
    record("GetDC", {standin::handleValue(hWnd), static_cast<double>(h)});
    return reinterpret_cast<HDC>(h);
}

int ReleaseDC(HWND hWnd, HDC hdc) {
    record("ReleaseDC", {standin::handleValue(hWnd), standin::handleValue(hdc)});
    auto it = state().objects.find(value(hdc));
    if (it == state().objects.end() || it->second != Kind::WindowDC) {
        misuse("ReleaseDC of a DC not from GetDC");
        return 0;
    }
    state().objects.erase(it);
    state().dcs.erase(value(hdc));
    return 1;
}

BOOL InvalidateRect(HWND hWnd, const RECT* rect, BOOL erase) {
    std::vector<double> args{standin::handleValue(hWnd)};
    if (rect) {
        args.insert(args.end(),
                    {static_cast<double>(rect->left), static_cast<double>(rect->top),
                     static_cast<double>(rect->right), static_cast<double>(rect->bottom)});
    }
    args.push_back(erase);
    record("InvalidateRect", std::move(args));
    state().invalidWindows.insert(value(hWnd));
    return TRUE;
}

BOOL UpdateWindow(HWND hWnd) {
    record("UpdateWindow", {standin::handleValue(hWnd)});
    State& s = state();
    // Like the real call, paint only what has been invalidated.
    if (s.invalidWindows.erase(value(hWnd)) && s.paint) s.paint(hWnd, s.context);
    return TRUE;
}

HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
    bool ok = name && type == IMAGE_BITMAP && (flags & LR_LOADFROMFILE) && fileExists(name);
    std::uintptr_t h = ok ? create(Kind::Bitmap) : 0;
    record("LoadImageA",
           {standin::handleValue(instance), static_cast<double>(type), static_cast<double>(cx),
            static_cast<double>(cy), static_cast<double>(flags), static_cast<double>(h)},
           name ? name : "");
    if (!ok) state().lastError = ERROR_FILE_NOT_FOUND;
    return reinterpret_cast<HANDLE>(h);
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    record("MessageBoxA", {standin::handleValue(owner), static_cast<double>(type)},
           std::string(text ? text : "") + "|" + (caption ? caption : ""));
    return IDOK;
}

HDC CreateCompatibleDC(HDC hdc) {
    std::uintptr_t h = create(Kind::MemoryDC);
    dc(h);
    record("CreateCompatibleDC", {standin::handleValue(hdc), static_cast<double>(h)});
    return reinterpret_cast<HDC>(h);
}

BOOL DeleteDC(HDC hdc) {
    record("DeleteDC", {standin::handleValue(hdc)});
    auto it = state().objects.find(value(hdc));
    if (it == state().objects.end() || it->second != Kind::MemoryDC) {
        misuse("DeleteDC of a DC that is not a live memory DC");
        return FALSE;
    }
    state().objects.erase(it);
    state().dcs.erase(value(hdc));
    return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
    std::uintptr_t h = value(object), result = 0;
    auto it = state().objects.find(h);
    if (it == state().objects.end() && !(h == kStockPen || h == kStockFont || h == kStockBitmap)) {
        misuse("SelectObject of an unknown object");
    } else {
        Kind kind = it != state().objects.end() ? it->second
                                                : (h == kStockPen    ? Kind::Pen
                                                   : h == kStockFont ? Kind::Font
                                                                     : Kind::Bitmap);
        DcState& d = dc(value(hdc));
        std::uintptr_t* slot = kind == Kind::Pen      ? &d.pen
                               : kind == Kind::Font   ? &d.font
                               : kind == Kind::Bitmap ? &d.bitmap
                                                      : nullptr;
        if (!slot) {
            misuse("SelectObject of a DC");
        } else {
            result = *slot;
            *slot = h;
        }
    }
    record("SelectObject",
           {standin::handleValue(hdc), static_cast<double>(h), static_cast<double>(result)});
    return reinterpret_cast<HGDIOBJ>(result);
}

BOOL DeleteObject(HGDIOBJ object) {
    std::uintptr_t h = value(object);
    record("DeleteObject", {static_cast<double>(h)});
    auto it = state().objects.find(h);
    if (it == state().objects.end() || it->second == Kind::MemoryDC ||
        it->second == Kind::WindowDC) {
        misuse("DeleteObject of an unknown object");
        return FALSE;
    }
    for (const auto& [dcHandle, d] : state().dcs) {
        if (d.pen == h || d.font == h || d.bitmap == h) {
            (void)dcHandle;
            misuse("DeleteObject of an object selected into a DC");
            return FALSE;
        }
    }
    state().objects.erase(it);
    return TRUE;
}

HPEN CreatePen(int style, int width, COLORREF color) {
    std::uintptr_t h = create(Kind::Pen);
    record("CreatePen", {static_cast<double>(style), static_cast<double>(width),
                         static_cast<double>(color), static_cast<double>(h)});
    return reinterpret_cast<HPEN>(h);
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR faceName) {
    std::uintptr_t h = create(Kind::Font);
    record("CreateFontA", {static_cast<double>(height), static_cast<double>(width),
                           static_cast<double>(escapement), static_cast<double>(orientation),
                           static_cast<double>(weight), static_cast<double>(italic),
                           static_cast<double>(underline), static_cast<double>(strikeOut),
                           static_cast<double>(charSet), static_cast<double>(outPrecision),
                           static_cast<double>(clipPrecision), static_cast<double>(quality),
                           static_cast<double>(pitchAndFamily), standin::handleValue(faceName),
                           static_cast<double>(h)});
    return reinterpret_cast<HFONT>(h);
}

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT previous) {
    record("MoveToEx", {standin::handleValue(hdc), static_cast<double>(x), static_cast<double>(y),
                        standin::handleValue(previous)});
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
    record("LineTo", {standin::handleValue(hdc), static_cast<double>(x), static_cast<double>(y)});
    return TRUE;
}

BOOL AngleArc(HDC hdc, int x, int y, DWORD radius, FLOAT startAngle, FLOAT sweepAngle) {
    record("AngleArc", {standin::handleValue(hdc), static_cast<double>(x), static_cast<double>(y),
                        static_cast<double>(radius), static_cast<double>(startAngle),
                        static_cast<double>(sweepAngle)});
    return TRUE;
}

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC source, int x1, int y1, DWORD rop) {
    record("BitBlt",
           {standin::handleValue(hdc), static_cast<double>(x), static_cast<double>(y),
            static_cast<double>(cx), static_cast<double>(cy), standin::handleValue(source),
            static_cast<double>(x1), static_cast<double>(y1), static_cast<double>(rop)});
    if (!liveDC(value(source))) misuse("BitBlt from a DC that is not alive");
    return TRUE;
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    record("SetTextColor", {standin::handleValue(hdc), static_cast<double>(color)});
    return 0;
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int length) {
    record("TextOutA",
           {standin::handleValue(hdc), static_cast<double>(x), static_cast<double>(y),
            static_cast<double>(length)},
           text && length > 0 ? std::string(text, static_cast<size_t>(length)) : std::string());
    return TRUE;
}

BOOL PlaySoundA(LPCSTR sound, HMODULE module, DWORD flags) {
    State& s = state();
    bool ok = s.soundMode == standin::SoundMode::Succeed ||
              (s.soundMode == standin::SoundMode::FileExists && sound && fileExists(sound));
    record("PlaySoundA",
           {standin::handleValue(module), static_cast<double>(flags), static_cast<double>(ok)},
           sound ? sound : "");
    if (!ok) s.lastError = s.soundError;
    return ok ? TRUE : FALSE;
}

} // extern "C"

namespace standin {

void reset() {
    State& s = state();
    s.calls.clear();
    s.misuses.clear();
    s.invalidWindows.clear();
    s.lastError = 0;
    s.soundMode = SoundMode::FileExists;
    s.soundError = ERROR_FILE_NOT_FOUND;
    s.paint = nullptr;
    s.message = nullptr;
    s.context = nullptr;
}

const std::vector<Call>& calls() {
    return state().calls;
}

std::vector<Call> callsNamed(const std::string& fn) {
    std::vector<Call> out;
    for (const Call& c : state().calls)
        if (c.fn == fn) out.push_back(c);
    return out;
}

void clearCalls() {
    state().calls.clear();
}

int liveGdiObjects() {
    return static_cast<int>(
        std::count_if(state().objects.begin(), state().objects.end(),
                      [](const auto& entry) { return entry.second != Kind::WindowDC; }));
}

int heldWindowDCs() {
    return static_cast<int>(
        std::count_if(state().objects.begin(), state().objects.end(),
                      [](const auto& entry) { return entry.second == Kind::WindowDC; }));
}

const std::vector<std::string>& misuses() {
    return state().misuses;
}

void setSoundMode(SoundMode mode, DWORD errorCode) {
    state().soundMode = mode;
    state().soundError = errorCode;
}

std::string nativePath(const char* windowsPath) {
    std::string p = windowsPath ? windowsPath : "";
    std::replace(p.begin(), p.end(), '\\', '/');
    return p;
}

} // namespace standin
