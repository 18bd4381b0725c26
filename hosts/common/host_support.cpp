#include "host_support.h"

#include "child_process.h"

#include <cstring>

namespace win32_host {

std::string ProgramDir() {
    return dabtools::program_directory();
}

std::vector<std::string> SplitCommas(const std::string& list) {
    std::vector<std::string> items;
    for (size_t start = 0; start <= list.size();) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        if (comma > start) items.push_back(list.substr(start, comma - start));
        start = comma + 1;
    }
    return items;
}

void PumpMessages() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

int RunMessageLoop() {
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return static_cast<int>(m.wParam);
}

namespace {

// The hook procedure has no context argument: the one closer's state lives here.
HHOOK boxHook = nullptr;
std::vector<MessageBoxSeen>* boxesSeen = nullptr;
void (*boxReport)(const MessageBoxSeen&) = nullptr;

LRESULT CALLBACK CloseBoxes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        char cls[64] = {0};
        GetClassNameA(box, cls, sizeof cls);
        if (std::strcmp(cls, "#32770") == 0) {
            char caption[256] = {0}, text[1024] = {0};
            GetWindowTextA(box, caption, sizeof caption);
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            MessageBoxSeen seen{caption, text};
            if (boxReport) boxReport(seen);
            if (boxesSeen) boxesSeen->push_back(seen);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(boxHook, code, wParam, lParam);
}

} // namespace

MessageBoxCloser::MessageBoxCloser(std::vector<MessageBoxSeen>* seen,
                                   void (*report)(const MessageBoxSeen&)) {
    boxesSeen = seen;
    boxReport = report;
    boxHook = SetWindowsHookExA(WH_CBT, CloseBoxes, nullptr, GetCurrentThreadId());
}

MessageBoxCloser::~MessageBoxCloser() {
    UnhookWindowsHookEx(boxHook);
    boxHook = nullptr;
    boxesSeen = nullptr;
    boxReport = nullptr;
}

} // namespace win32_host
