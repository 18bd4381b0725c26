#include "engine_session.h"

#include "engine_text.h"

#include <thread>

namespace engine_session {

using dabtools::ChildProcess;

namespace {

std::string first_word(const std::string& s) {
    return s.substr(0, s.find_first_of(" \t"));
}

long long ms_since(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

} // namespace

bool EngineSession::start(const std::string& command, bool hide_console,
                          std::function<void()> notify) {
    kill();
    process_ = std::make_unique<ChildProcess>();
    fault_ = Fault::None;
    detail_.clear();
    name_.clear();
    due_ = Due{};
    if (hide_console) process_->hide_console();
    if (notify) process_->notify_output(std::move(notify));
    std::string error;
    if (!process_->start(dabtools::split_command(command), error)) {
        fail(Fault::StartFailed, error);
        return false;
    }
    state_ = State::Ready;
    return true;
}

bool EngineSession::send(const std::string& line) {
    if (!running()) return false;
    if (process_->write_line(line)) return true;
    stream_ended("(would not read \"" + line + "\")", true);
    return false;
}

void EngineSession::expect(const Due& due) {
    if (!running()) return;
    due_ = due;
    state_ = State::Waiting;
}

EngineSession::Got EngineSession::next(std::string& line, Clock::time_point until,
                                       const Chatter& chatter) {
    if (state_ != State::Waiting) return state_ == State::Faulted ? Got::Fault : Got::Nothing;
    const Clock::time_point wait = until < due_.deadline ? until : due_.deadline;
    for (;;) {
        std::string raw;
        switch (process_->read_line(raw, wait)) {
        case ChildProcess::Read::Line: {
            std::string t = trim(raw);
            if (t.empty() || (chatter && chatter(t))) continue;
            if (!due_.word.empty() && first_word(t) != due_.word) {
                fail(Fault::Garbled, "unexpected output " + quote(t) + " " + due_.waiting_for);
                return Got::Fault;
            }
            line = t;
            state_ = State::Ready;
            return Got::Line;
        }
        case ChildProcess::Read::Timeout:
            // A wait may end a little early: only a deadline passed decides.
            if (Clock::now() < due_.deadline) {
                if (Clock::now() < wait) continue;
                return Got::Nothing;
            }
            if (process_->poll_exit())
                stream_ended(due_.waiting_for);
            else
                fail(Fault::NoReply, "nothing " + due_.waiting_for + " within " +
                                         std::to_string(ms_since(due_.since)) + " ms");
            return Got::Fault;
        case ChildProcess::Read::Eof:
            stream_ended(due_.waiting_for);
            return Got::Fault;
        }
    }
}

bool EngineSession::read(std::string& line, const Chatter& chatter) {
    return next(line, due_.deadline, chatter) == Got::Line;
}

ChildProcess::Read EngineSession::take(std::string& line) {
    if (!running()) return ChildProcess::Read::Eof;
    return process_->read_line(line, Clock::now());
}

bool EngineSession::ask_name(int reply_ms, const Chatter& chatter) {
    const auto sent = Clock::now();
    if (!send("name?")) return false;
    expect({"name", "in answer to \"name?\"", sent, sent + std::chrono::milliseconds(reply_ms)});
    std::string line;
    if (!read(line, chatter)) return false;
    name_ = trim(line.substr(4));
    return true;
}

void EngineSession::fail(Fault f, const std::string& detail) {
    if (fault_ == Fault::None) {
        fault_ = f;
        detail_ = detail;
    }
    process_->kill();
    state_ = State::Faulted;
}

void EngineSession::stream_ended(const std::string& context, bool writing) {
    // A program that closed a stream usually ends a moment later: give it that moment.
    process_->wait_exit(Clock::now() + std::chrono::milliseconds(2000));
    if (!process_->poll_exit()) {
        fail(Fault::Closed,
             (writing ? "stopped reading its input " : "closed its output ") + context);
        return;
    }
    const ChildProcess::Exit& x = process_->exit_info();
    if (x.signal != 0)
        fail(Fault::Crash, "ended by signal " + std::to_string(x.signal) + " " + context);
    else if (x.code != 0)
        fail(Fault::Crash, "ended with status " + std::to_string(x.code) + " " + context);
    else
        fail(Fault::Exited, "ended with status 0 " + context);
}

bool EngineSession::quit(bool say_end, Clock::duration wait) {
    bool ended = true;
    if (running() && !process_->poll_exit()) {
        const auto deadline = Clock::now() + wait;
        if (!say_end || process_->write_line("end")) {
            // "end" drops pending input: let it be read before "quit" arrives.
            if (say_end) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            process_->write_line("quit");
            std::string line;
            while (process_->read_line(line, deadline) == ChildProcess::Read::Line)
                if (trim(line) == "Quit!") break;
            ended = process_->wait_exit(deadline);
        }
    }
    kill();
    return ended;
}

void EngineSession::kill() {
    process_->kill();
    if (state_ != State::Faulted) state_ = State::Idle;
}

} // namespace engine_session
