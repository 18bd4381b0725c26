#include "engine_link.h"

namespace dab_host {

using dabtools::Fault;

namespace {

// The engine prints its board after "new" as 21 lines.
const int kPictureLines = 21;
// What an engine may take to print that picture, and to read "end" before the next word.
const int kPictureMs = 1000;
const int kPauseMs = 50;

} // namespace

bool EngineLink::Start(const std::string& command, int lineMs, std::string* error) {
    Stop();
    lineMs_ = lineMs;
    name_.clear();
    queue_.clear();
    await_ = Await::Nothing;
    exitExpected_ = false;
    if (!process_.Start(command, window_, message_, error)) return false;
    Queue("name?", Await::Name, lineMs_);
    return true;
}

void EngineLink::NewGame(bool engineOpens) {
    exitExpected_ = false;
    if (engineOpens)
        Queue("new black", Await::Reply, 3 * lineMs_);
    else
        Queue("new white", Await::Picture, kPictureMs);
}

void EngineLink::PersonTurn(const std::string& moveText, int mostLines) {
    // As the referee: two lines' worth beyond the longest turn tell slowness from a hang.
    Queue(moveText, Await::Reply, (mostLines + 2) * lineMs_);
}

void EngineLink::LastLines(const std::string& moveText) {
    exitExpected_ = true;
    Queue(moveText, Await::Nothing, 0);
}

void EngineLink::GameOver() {
    Queue("end", Await::Pause, kPauseMs);
}

bool EngineLink::thinking() const {
    if (await_ == Await::Reply) return true;
    for (const Command& c : queue_)
        if (c.await == Await::Reply) return true;
    return false;
}

void EngineLink::Queue(const std::string& text, Await await, int deadlineMs) {
    if (!process_.running()) return;
    queue_.push_back(Command{text, await, deadlineMs});
    if (await_ == Await::Nothing) SendNext();
}

void EngineLink::SendNext() {
    while (await_ == Await::Nothing && !queue_.empty()) {
        Command c = queue_.front();
        queue_.pop_front();
        if (!process_.Send(c.text)) {
            Fail(Fault::Closed, "stopped reading its input (would not read \"" + c.text + "\")");
            return;
        }
        if (c.await == Await::Nothing) continue;
        await_ = c.await;
        waitingFor_ = c.await == Await::Name    ? "in answer to \"name?\""
                      : c.await == Await::Reply ? "while a move was due"
                                                : "after \"" + c.text + "\"";
        pictureLines_ = 0;
        deadlineMs_ = c.deadlineMs;
        SetTimer(window_, timer_, static_cast<UINT>(c.deadlineMs), nullptr);
    }
}

// What was awaited has come (or, for a picture or a pause, its time is over).
void EngineLink::Done() {
    KillTimer(window_, timer_);
    await_ = Await::Nothing;
    SendNext();
    if (await_ == Await::Nothing && process_.running()) listener_->EngineReady();
}

void EngineLink::Fail(Fault fault, const std::string& detail) {
    KillTimer(window_, timer_);
    await_ = Await::Nothing;
    queue_.clear();
    process_.Kill();
    listener_->EngineFault(fault, detail);
}

void EngineLink::Stop() {
    KillTimer(window_, timer_);
    queue_.clear();
    if (await_ == Await::Reply)
        process_.Kill(); // it reads no "quit" before its search is over
    else
        process_.Stop();
    await_ = Await::Nothing;
}

void EngineLink::OnTimer() {
    switch (await_) {
    case Await::Nothing:
        KillTimer(window_, timer_);
        return;
    case Await::Picture: // an engine without a picture
    case Await::Pause:
        Done();
        return;
    case Await::Name:
    case Await::Reply:
        Fail(Fault::NoReply,
             "nothing " + waitingFor_ + " within " + std::to_string(deadlineMs_) + " ms");
        return;
    }
}

void EngineLink::OutputEnded() {
    if (!process_.running()) return;
    bool due = await_ != Await::Nothing || !queue_.empty();
    std::string how = process_.Ended(2000);
    if (exitExpected_ && !due) return;
    Fault f = how.rfind("ended with status 0", 0) == 0 ? Fault::Exited
              : how.rfind("ended", 0) == 0             ? Fault::Crash
                                                       : Fault::Closed;
    Fail(f, how + (due ? " " + waitingFor_ : " between games"));
}

void EngineLink::OnMessage(WPARAM wParam, LPARAM lParam) {
    using win32_host::EngineProcess;
    std::string t = dabtools::trim(EngineProcess::TakeLine(lParam));
    if (!process_.Current(wParam)) return; // from a program stopped since
    if (EngineProcess::Kind(wParam) == EngineProcess::END_OF_OUTPUT) {
        OutputEnded();
        return;
    }
    switch (await_) {
    case Await::Nothing:
    case Await::Pause:
        return; // nothing is due: the rest of a picture, "Quit!"
    case Await::Picture:
        if (t.empty()) return;
        if (!dabtools::is_board_line(t)) {
            Fail(Fault::Garbled, "unexpected output " + dabtools::quote(t) + " " + waitingFor_);
            return;
        }
        if (++pictureLines_ == kPictureLines) Done();
        return;
    case Await::Name:
    case Await::Reply:
        break;
    }
    if (dabtools::is_chatter(t)) return;
    std::string word = await_ == Await::Name ? "name" : "move";
    if (dabtools::words_of(t)[0] != word) {
        Fail(Fault::Garbled, "unexpected output " + dabtools::quote(t) + " " + waitingFor_);
        return;
    }
    if (await_ == Await::Name) {
        name_ = dabtools::trim(t.substr(4));
        Done();
        return;
    }
    // The game judges the reply and may queue the next command from there.
    KillTimer(window_, timer_);
    await_ = Await::Nothing;
    listener_->EngineReply(t);
    if (await_ != Await::Nothing) return;
    SendNext();
    if (await_ == Await::Nothing && process_.running()) listener_->EngineReady();
}

} // namespace dab_host
