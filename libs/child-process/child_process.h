// A child process with pipes to its standard input and output, for tools that talk to
// engines over their standard streams. Every wait takes a deadline; the destructor kills
// and reaps a child that is still running, so no tool leaves one behind.
#pragma once

#include <chrono>
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
    // Windows: a console child gets no console window of its own (for window programs).
    // Call before start; elsewhere it changes nothing.
    void hide_console() { hide_console_ = true; }

    // Writes the line and a line end; false when the child no longer reads its input.
    bool write_line(const std::string& line);

    // Reads one line (without its line end, carriage return dropped) before the deadline.
    // A last line without a line end is returned before Eof.
    Read read_line(std::string& line, Clock::time_point deadline);

    // Waits for the child to end; true once it has ended (and was reaped).
    bool wait_exit(Clock::time_point deadline);
    // Has the child ended? Never blocks.
    bool poll_exit();
    // Ends the child by force if it still runs, and reaps it.
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
#ifdef _WIN32
    void* process_ = nullptr;
    void* in_ = nullptr;  // our end of the child's standard input
    void* out_ = nullptr; // our end of the child's standard output
#else
    int pid_ = -1;
    int in_ = -1;
    int out_ = -1;
#endif
};

} // namespace dabtools
