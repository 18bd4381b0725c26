#include "engine_process.h"

#include <chrono>
#include <memory>

namespace win32_host {

namespace {

using dabtools::ChildProcess;
using dabtools::Clock;

// How long one read waits before the reading thread looks whether it should stop.
const auto kReadSlice = std::chrono::milliseconds(100);

} // namespace

bool EngineProcess::Start(const std::string& commandLine, HWND window, UINT message,
                          std::string* error) {
    Stop();
    auto process = std::make_unique<ChildProcess>();
    // A console engine started from a window program would otherwise open a console window.
    process->hide_console();
    std::string why;
    if (!process->start(dabtools::split_command(commandLine), why)) {
        *error = why;
        return false;
    }
    process_ = process.release();
    window_ = window;
    message_ = message;
    stopReading_ = false;
    ++generation_;
    reader_ = CreateThread(nullptr, 0, ReaderMain, this, 0, nullptr);
    if (!reader_) {
        Kill();
        *error = "cannot start the thread that reads the engine";
        return false;
    }
    return true;
}

// The reading thread only reads; the window's thread only writes, until JoinReader.
DWORD WINAPI EngineProcess::ReaderMain(LPVOID self) {
    EngineProcess* e = static_cast<EngineProcess*>(self);
    const WPARAM tag = e->generation_ << 1;
    std::string line;
    while (!e->stopReading_) {
        ChildProcess::Read r = e->process_->read_line(line, Clock::now() + kReadSlice);
        if (r == ChildProcess::Read::Timeout) continue;
        if (r == ChildProcess::Read::Eof) {
            PostMessageA(e->window_, e->message_, tag | END_OF_OUTPUT, 0);
            break;
        }
        std::string* posted = new std::string(line);
        if (!PostMessageA(e->window_, e->message_, tag | LINE, reinterpret_cast<LPARAM>(posted)))
            delete posted;
    }
    return 0;
}

void EngineProcess::JoinReader() {
    if (!reader_) return;
    stopReading_ = true;
    WaitForSingleObject(reader_, INFINITE);
    CloseHandle(reader_);
    reader_ = nullptr;
}

bool EngineProcess::Send(const std::string& line) {
    return process_ && process_->write_line(line);
}

bool EngineProcess::SendText(const std::string& text) {
    if (text.empty()) return true;
    std::string line = text;
    if (line.back() == '\n') line.pop_back();
    return Send(line);
}

std::string EngineProcess::Ended(int waitMs) {
    if (!process_) return "is not running";
    JoinReader();
    std::string how = "closed its output";
    if (process_->wait_exit(Clock::now() + std::chrono::milliseconds(waitMs))) {
        const ChildProcess::Exit& x = process_->exit_info();
        how = "ended with status " + std::to_string(x.code);
    }
    Kill();
    return how;
}

void EngineProcess::Stop(int waitMs) {
    if (!process_) return;
    process_->write_line("quit");
    JoinReader();
    process_->wait_exit(Clock::now() + std::chrono::milliseconds(waitMs));
    Kill();
}

void EngineProcess::Kill() {
    JoinReader();
    delete process_; // kills and reaps a program still running
    process_ = nullptr;
}

std::string EngineProcess::TakeLine(LPARAM lParam) {
    std::unique_ptr<std::string> line(reinterpret_cast<std::string*>(lParam));
    return line ? *line : std::string();
}

} // namespace win32_host
