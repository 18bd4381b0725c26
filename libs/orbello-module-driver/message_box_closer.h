// Closing the message boxes the module shows (a sound that cannot be played) when nobody is
// there to click them: in scripted windows, in tests and in the referee's games.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace orbello_host {

struct MessageBoxSeen {
    std::string caption, text;
};

// While one exists, every message box shown on the thread that made it is read, added to the
// list (when one is given), passed to report (when given) and closed with OK. One per thread
// at a time; threads each have their own.
class MessageBoxCloser {
  public:
    explicit MessageBoxCloser(std::vector<MessageBoxSeen>* seen,
                              void (*report)(const MessageBoxSeen&) = nullptr);
    ~MessageBoxCloser();
    MessageBoxCloser(const MessageBoxCloser&) = delete;
    MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;

  private:
    friend LRESULT CALLBACK CloseBoxes(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_ = nullptr;
    std::vector<MessageBoxSeen>* seen_;
    void (*report_)(const MessageBoxSeen&);
};

} // namespace orbello_host
