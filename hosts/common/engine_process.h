// An engine program run beside a window: its standard streams piped through libs/child-process
// and a thread that reads its output and posts every line to the window, so the window's
// thread never waits on the engine and stays responsive while it thinks.
#pragma once

#include "child_process.h"

#include <windows.h>

#include <atomic>
#include <string>

namespace win32_host {

class EngineProcess {
  public:
    // What a posted message is (Kind of its WPARAM); its LPARAM is the line (a std::string*
    // that the receiver owns, see TakeLine) or 0 at the end of output.
    enum Posted { LINE = 0, END_OF_OUTPUT = 1 };
    static Posted Kind(WPARAM wParam) { return static_cast<Posted>(wParam & 1); }
    // Whether the message comes from the program running now, not from one stopped or
    // started again since it was posted.
    bool Current(WPARAM wParam) const { return process_ && (wParam >> 1) == generation_; }

    EngineProcess() = default;
    ~EngineProcess() { Stop(); }
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    // Starts the command line (blanks separate words, double quotes group them) and the
    // reading thread, which posts `message` to `window` for every line of output and once at
    // its end. On failure returns false and says why in error.
    bool Start(const std::string& commandLine, HWND window, UINT message, std::string* error);
    bool running() const { return process_ != nullptr; }

    // Writes one line and its line end; false when the engine no longer reads.
    bool Send(const std::string& line);
    // Writes text that already holds its line ends (a final one is added when missing).
    bool SendText(const std::string& text);

    // After END_OF_OUTPUT: waits up to waitMs for the program to end and says how it ended
    // ("ended with status 3", "closed its output"), then releases it.
    std::string Ended(int waitMs);
    // Sends "quit", gives the program waitMs to end, then ends it by force. Safe to repeat.
    void Stop(int waitMs = 2000);
    // Ends the program at once, without a word to it.
    void Kill();

    // The line a LINE message carries, taken over from the message.
    static std::string TakeLine(LPARAM lParam);

  private:
    static DWORD WINAPI ReaderMain(LPVOID self);
    void JoinReader();

    dabtools::ChildProcess* process_ = nullptr;
    HANDLE reader_ = nullptr;
    HWND window_ = nullptr;
    UINT message_ = 0;
    std::atomic<bool> stopReading_{false};
    WPARAM generation_ = 0; // counts the starts
};

} // namespace win32_host
