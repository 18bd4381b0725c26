// A child process with pipes to its standard input and output, for tools that talk to
// engines over their standard streams. Every wait takes a deadline; the destructor kills
// and reaps a child that is still running, so no tool leaves one behind.
//
// On Windows a thread of the child's own reads its output with plain blocking reads and
// hands it over through a queue that the caller waits on with a deadline; a window program
// asks to be notified (notify_output) and drains the queue on its own thread. Elsewhere
// the caller reads the pipe itself with poll() and a deadline.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dabtools {

using Clock = std::chrono::steady_clock;

// Splits a command line into words: blanks separate words, double quotes group them.
std::vector<std::string> split_command(const std::string& line);

// The folder of the running program, ending without a separator; empty if unknown.
std::string program_directory();

class ChildProcess {
  public:
    enum class Read { Line, Timeout, Eof };

    struct Exit {
        bool exited = false; // the child has ended and was reaped
        int code = 0;        // exit status when it ended normally
        int signal = 0;      // the signal that ended it (POSIX only), else 0
    };

    ChildProcess();
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts argv[0] (searched on PATH when it holds no separator). On failure returns
    // false and describes why in error.
    bool start(const std::vector<std::string>& argv, std::string& error);
    bool started() const { return started_; }
    // Windows: a console child gets no console at all (for window programs): its standard
    // streams are our pipes, and no console host process is made for it, which under Wine
    // could outlive the child holding the caller's own output open. Call before start;
    // elsewhere it changes nothing.
    void hide_console() { hide_console_ = true; }
    // Windows: notify() runs on the reading thread each time output (or its end) arrives,
    // so a window can post itself a message that carries nothing and drain read_line with
    // a deadline of now on its own thread. Call before start; elsewhere it is never called.
    void notify_output(std::function<void()> notify) { notify_ = std::move(notify); }

    // Writes the line and a line end; false when the child no longer reads its input.
    bool write_line(const std::string& line);

    // Reads one line (without its line end, carriage return dropped) before the deadline.
    // A last line without a line end is returned before Eof. A deadline already past
    // takes what has arrived without waiting.
    Read read_line(std::string& line, Clock::time_point deadline);

    // Waits for the child to end; true once it has ended (and was reaped).
    bool wait_exit(Clock::time_point deadline);
    // Has the child ended? Never blocks.
    bool poll_exit();
    // Ends the child at once if it still runs, and reaps it.
    void kill();
    const Exit& exit_info() const { return exit_; }

  private:
    bool fill(Clock::time_point deadline); // false on timeout or end of stream
    bool take_line(std::string& line);

    bool started_ = false;
    bool hide_console_ = false;
    bool eof_ = false;
    std::string buffer_;
    Exit exit_;
    std::function<void()> notify_;
#ifdef _WIN32
    struct Handle; // an owned Windows handle
    struct Output; // the queue the reading thread fills
    std::unique_ptr<Handle> process_;
    std::unique_ptr<Handle> in_; // our end of the child's standard input
    std::unique_ptr<Handle> reader_;
    std::shared_ptr<Output> output_; // shared with the reading thread, which may outlive us
    static unsigned long __stdcall read_output(void* share);
#else
    int pid_ = -1;
    int in_ = -1;
    int out_ = -1;
#endif
};

} // namespace dabtools
