// What every host program of the module needs besides the slots: the folder it runs from
// (Orbello.dll and its data folder sit there), draining its message queue, and closing the
// message boxes the module shows when nobody is there to click them.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace orbello_host {

inline std::string ProgramDir() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/"));
}

inline void PumpMessages() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

struct MessageBoxSeen {
    std::string caption, text;
};

// While one exists, every message box shown on this thread is read, added to the list (when
// one is given), passed to report (when given) and closed with OK.
class MessageBoxCloser {
  public:
    explicit MessageBoxCloser(std::vector<MessageBoxSeen>* seen,
                              void (*report)(const MessageBoxSeen&) = nullptr) {
        seen_ = seen;
        report_ = report;
        hook_ = SetWindowsHookExA(WH_CBT, Proc, nullptr, GetCurrentThreadId());
    }
    ~MessageBoxCloser() {
        UnhookWindowsHookEx(hook_);
        hook_ = nullptr;
    }
    MessageBoxCloser(const MessageBoxCloser&) = delete;
    MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;

  private:
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE) {
            HWND box = reinterpret_cast<HWND>(wParam);
            char cls[64] = {0};
            GetClassNameA(box, cls, sizeof cls);
            if (std::strcmp(cls, "#32770") == 0) {
                char caption[256] = {0}, text[1024] = {0};
                GetWindowTextA(box, caption, sizeof caption);
                GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                MessageBoxSeen seen{caption, text};
                if (report_) report_(seen);
                if (seen_) seen_->push_back(seen);
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
        }
        return CallNextHookEx(hook_, code, wParam, lParam);
    }

    static inline HHOOK hook_ = nullptr;
    static inline std::vector<MessageBoxSeen>* seen_ = nullptr;
    static inline void (*report_)(const MessageBoxSeen&) = nullptr;
};

} // namespace orbello_host
