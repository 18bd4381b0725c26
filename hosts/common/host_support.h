// What every host program needs besides its own game: the folder it runs from (its DLLs,
// data folder and engines sit there), draining and running its message queue, and closing
// the message boxes a module shows when nobody is there to click them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace win32_host {

// The folder of the running program, without a trailing separator.
std::string ProgramDir();

// The items of a comma-separated command-line list (--moves, --lines), empty ones skipped.
std::vector<std::string> SplitCommas(const std::string& list);

// Dispatches every message waiting on this thread's queue, without waiting for more.
void PumpMessages();
// Dispatches messages until WM_QUIT; returns its exit code.
int RunMessageLoop();

struct MessageBoxSeen {
    std::string caption, text;
};

// While one exists, every message box shown on this thread is read, added to the list (when
// one is given), passed to report (when given) and closed with OK. One at a time.
class MessageBoxCloser {
  public:
    explicit MessageBoxCloser(std::vector<MessageBoxSeen>* seen,
                              void (*report)(const MessageBoxSeen&) = nullptr);
    ~MessageBoxCloser();
    MessageBoxCloser(const MessageBoxCloser&) = delete;
    MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;
};

} // namespace win32_host

// The Orbello host and its tests name these through their own namespace.
namespace orbello_host {
using namespace win32_host;
} // namespace orbello_host
