#include "message_box_closer.h"

#include <cstring>

namespace orbello_host {

namespace {

// The hook procedure has no context argument: each thread's closer is found here.
thread_local MessageBoxCloser* t_closer = nullptr;

} // namespace

LRESULT CALLBACK CloseBoxes(int code, WPARAM wParam, LPARAM lParam) {
    MessageBoxCloser* closer = t_closer;
    if (code == HCBT_ACTIVATE && closer) {
        HWND box = reinterpret_cast<HWND>(wParam);
        char cls[64] = {0};
        GetClassNameA(box, cls, sizeof cls);
        if (std::strcmp(cls, "#32770") == 0) {
            char caption[256] = {0}, text[1024] = {0};
            GetWindowTextA(box, caption, sizeof caption);
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            MessageBoxSeen seen{caption, text};
            if (closer->report_) closer->report_(seen);
            if (closer->seen_) closer->seen_->push_back(seen);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(closer ? closer->hook_ : nullptr, code, wParam, lParam);
}

MessageBoxCloser::MessageBoxCloser(std::vector<MessageBoxSeen>* seen,
                                   void (*report)(const MessageBoxSeen&))
    : seen_(seen), report_(report) {
    t_closer = this;
    hook_ = SetWindowsHookExA(WH_CBT, CloseBoxes, nullptr, GetCurrentThreadId());
}

MessageBoxCloser::~MessageBoxCloser() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (t_closer == this) t_closer = nullptr;
}

} // namespace orbello_host
