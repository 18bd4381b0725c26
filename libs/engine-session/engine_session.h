// The conversation with one engine program, as every driver holds it: the referees, which
// wait for each reply with a deadline, and the windows, whose thread must never wait (the
// program's output arrives as a notification that carries nothing, and the window drains
// what has come; its deadlines are timers). The game around it supplies only the judging of
// replies; everything about the program itself is here: starting it, "name?", sending,
// reading with a deadline, how its stream ended, the fault it committed, "end", "quit",
// killing and reaping.
#pragma once

#include "child_process.h"
#include "fault.h"

#include <functional>
#include <memory>
#include <string>

namespace engine_session {

using dabtools::Clock;

// A trimmed line of output to pass over while a reply is due (a board picture, a blank).
using Chatter = std::function<bool(const std::string& trimmed)>;

// A reply that is due: its first word, what the reports say it was due for, when the command
// went and when waiting ends.
struct Due {
    std::string word;        // the reply's first word ("name", "move"); empty: any line
    std::string waiting_for; // "in answer to \"name?\"", "while a move was due"
    Clock::time_point since, deadline;
};

class EngineSession {
  public:
    enum class State {
        Idle,    // not started, or ended and reaped
        Ready,   // running, nothing due
        Waiting, // running, a reply is due
        Faulted, // the engine committed a fault and was ended
    };
    enum class Got { Line, Nothing, Fault };

    EngineSession() = default;
    ~EngineSession() { kill(); }
    EngineSession(const EngineSession&) = delete;
    EngineSession& operator=(const EngineSession&) = delete;

    // Starts the command line (blanks separate words, double quotes group them). A window
    // program hides the console of a console engine and is notified of its output (on the
    // reading thread: post a message, nothing more). StartFailed when it cannot start.
    bool start(const std::string& command, bool hide_console = false,
               std::function<void()> notify = {});

    State state() const { return state_; }
    bool running() const { return state_ == State::Ready || state_ == State::Waiting; }
    Fault fault() const { return fault_; }
    const std::string& detail() const { return detail_; }
    // What the engine answered to "name?", without the word "name".
    const std::string& name() const { return name_; }

    // Writes one line. A program that no longer reads has a fault from how its stream ended.
    bool send(const std::string& line);

    // Expects a reply (state Waiting) until it comes, a fault, or the deadline.
    void expect(const Due& due);
    const Due& due() const { return due_; }
    // The expected reply: waits until `until` (the due deadline at most; a time already past
    // takes only what has come). Line: the trimmed reply, whose first word is the one due;
    // chatter is passed over. Fault: garbled output, nothing by the deadline ("no-reply"), or
    // an ended stream. Nothing: the deadline is still ahead.
    Got next(std::string& line, Clock::time_point until, const Chatter& chatter = {});
    // next() until the due deadline.
    bool read(std::string& line, const Chatter& chatter = {});

    // A line of output if one has come, without waiting and without judging it. Eof once the
    // output has ended.
    dabtools::ChildProcess::Read take(std::string& line);

    // Sends "name?" and waits up to reply_ms for the "name ..." line.
    bool ask_name(int reply_ms, const Chatter& chatter = {});

    // The game found a fault: the first one sticks, the program is ended and reaped.
    void fail(Fault f, const std::string& detail);
    // The output ended, or a command could not be written: the state of the program says
    // which fault (closed-stream, crash, exited); detail ends with context.
    void stream_ended(const std::string& context, bool writing = false);

    // "end" (when say_end), then "quit"; what the program says meanwhile is read and
    // dropped. Whatever has not ended after `wait` is killed. False when it had to be killed.
    bool quit(bool say_end, Clock::duration wait);
    // Ends the program at once, if it runs, and reaps it.
    void kill();

    // The program itself, for what only a game knows to ask of it.
    dabtools::ChildProcess& process() { return *process_; }

  private:
    // A new one at every start: a program, once ended, is not started again.
    std::unique_ptr<dabtools::ChildProcess> process_ = std::make_unique<dabtools::ChildProcess>();
    State state_ = State::Idle;
    Fault fault_ = Fault::None;
    std::string detail_;
    std::string name_;
    Due due_;
};

} // namespace engine_session
