#include "engine_link.h"

namespace dab_host {

using dabtools::Fault;
using engine_session::Clock;
using engine_session::EngineSession;

namespace {

// The engine prints its board after "new" as 21 lines.
const int kPictureLines = 21;
// What an engine may take to print that picture, and to read "end" before the next word.
const int kPictureMs = 1000;
const int kPauseMs = 50;
// What an engine may take to answer "history": it only replays the lines given.
const int kHistoryMs = 3000;

// A picture row as printed, without the carriage return a Windows engine may add.
std::string Row(std::string raw) {
    while (!raw.empty() && (raw.back() == '\r' || raw.back() == '\n')) raw.pop_back();
    return raw;
}

} // namespace

bool EngineLink::Start(const std::string& command, int lineMs, std::string* error) {
    Stop();
    lineMs_ = lineMs;
    name_.clear();
    queue_.clear();
    await_ = Await::Nothing;
    exitExpected_ = false;
    // The reading thread only posts a note; the window's thread reads what has come.
    HWND window = window_;
    UINT message = message_;
    if (!session_.start(command, true,
                        [window, message]() { PostMessageA(window, message, 0, 0); })) {
        *error = session_.detail();
        return false;
    }
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

void EngineLink::History(const std::string& text, bool engineMoves, int mostLines) {
    exitExpected_ = false;
    Queue(text, Await::History, kHistoryMs, engineMoves ? (mostLines + 2) * lineMs_ : 0);
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

void EngineLink::Queue(const std::string& text, Await await, int deadlineMs, int replyMs) {
    if (!session_.running()) return;
    queue_.push_back(Command{text, await, deadlineMs, replyMs});
    if (await_ == Await::Nothing) SendNext();
}

void EngineLink::SendNext() {
    while (await_ == Await::Nothing && !queue_.empty()) {
        Command c = queue_.front();
        queue_.pop_front();
        if (!session_.send(c.text)) {
            Fail(session_.fault(), session_.detail());
            return;
        }
        if (c.await == Await::Nothing) continue;
        await_ = c.await;
        waitingFor_ = c.await == Await::Name      ? "in answer to \"name?\""
                      : c.await == Await::Reply   ? "while a move was due"
                      : c.await == Await::History ? "in answer to \"history\""
                                                  : "after \"" + c.text + "\"";
        picture_.clear();
        reportPicture_ = false;
        historyReplyMs_ = c.replyMs;
        const auto now = Clock::now();
        if (c.await == Await::Name || c.await == Await::Reply || c.await == Await::History)
            session_.expect({c.await == Await::Name    ? "name"
                             : c.await == Await::Reply ? "move"
                                                       : "",
                             waitingFor_, now, now + std::chrono::milliseconds(c.deadlineMs)});
        SetTimer(window_, timer_, static_cast<UINT>(c.deadlineMs), nullptr);
    }
}

// What was awaited has come (or, for a picture or a pause, its time is over).
void EngineLink::Done() {
    KillTimer(window_, timer_);
    await_ = Await::Nothing;
    SendNext();
    if (await_ == Await::Nothing && session_.running()) listener_->EngineReady();
}

void EngineLink::Fail(Fault fault, const std::string& detail) {
    KillTimer(window_, timer_);
    await_ = Await::Nothing;
    queue_.clear();
    session_.fail(fault, detail);
    listener_->EngineFault(fault, detail);
}

void EngineLink::Stop() {
    KillTimer(window_, timer_);
    queue_.clear();
    if (await_ == Await::Reply)
        session_.kill(); // it reads no "quit" before its search is over
    else
        session_.quit(false, std::chrono::milliseconds(2000));
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
    case Await::History:
        // The reply, if it came meanwhile, else no reply: the session judges the deadline.
        OnOutput();
        if (await_ == Await::Name || await_ == Await::Reply || await_ == Await::History) {
            // A timer may fire a moment early: look again just after the deadline.
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(session_.due().deadline -
                                                                           Clock::now());
            SetTimer(window_, timer_, static_cast<UINT>(std::max<long long>(1, left.count())),
                     nullptr);
        }
        return;
    }
}

void EngineLink::OutputEnded() {
    bool due = await_ != Await::Nothing || !queue_.empty();
    if (exitExpected_ && !due) {
        session_.kill(); // it ended, as it should after the last lines: reaped
        return;
    }
    session_.stream_ended(due ? waitingFor_ : "between games");
    Fail(session_.fault(), session_.detail());
}

void EngineLink::OnOutput() {
    while (session_.running()) {
        std::string line;
        if (await_ == Await::Name || await_ == Await::Reply || await_ == Await::History) {
            switch (session_.next(line, Clock::now(), dabtools::is_chatter)) {
            case EngineSession::Got::Nothing:
                return;
            case EngineSession::Got::Fault:
                if (await_ == Await::History)
                    HistoryFailed(session_.detail());
                else
                    Fail(session_.fault(), session_.detail());
                return;
            case EngineSession::Got::Line:
                if (await_ == Await::History) {
                    HistoryAnswer(line);
                } else if (await_ == Await::Name) {
                    name_ = dabtools::trim(line.substr(4));
                    Done();
                } else {
                    Reply(line);
                }
                continue;
            }
        }
        switch (session_.take(line)) {
        case dabtools::ChildProcess::Read::Timeout:
            return;
        case dabtools::ChildProcess::Read::Eof:
            OutputEnded();
            return;
        case dabtools::ChildProcess::Read::Line:
            Line(line);
            break;
        }
    }
}

// A line while no reply is due: the rest of a picture, "Quit!", or a picture awaited. Its
// rows are counted blank ones too, since a row with no line drawn is all blanks.
void EngineLink::Line(const std::string& raw) {
    if (await_ != Await::Picture) return;
    const std::string t = dabtools::trim(raw);
    if (picture_.empty() && t.empty()) return;
    if (!t.empty() && !dabtools::is_board_line(t)) {
        Fail(Fault::Garbled, "unexpected output " + dabtools::quote(t) + " " + waitingFor_);
        return;
    }
    picture_.push_back(Row(raw));
    if (static_cast<int>(picture_.size()) < kPictureLines) return;
    const std::vector<std::string> rows = std::move(picture_);
    picture_.clear();
    if (reportPicture_) listener_->EnginePicture(rows);
    if (await_ == Await::Picture) Done();
}

void EngineLink::AwaitPicture(const std::string& after, bool report) {
    await_ = Await::Picture;
    reportPicture_ = report;
    waitingFor_ = after;
    picture_.clear();
    SetTimer(window_, timer_, static_cast<UINT>(kPictureMs), nullptr);
}

void EngineLink::HistoryAnswer(const std::string& line) {
    KillTimer(window_, timer_);
    await_ = Await::Nothing;
    if (line != "history ok") {
        HistoryFailed("it answered " + dabtools::quote(line));
        return;
    }
    if (historyReplyMs_ > 0) {
        // Its turn: the reply comes as it comes to a move.
        await_ = Await::Reply;
        waitingFor_ = "while a move was due";
        const auto now = Clock::now();
        session_.expect(
            {"move", waitingFor_, now, now + std::chrono::milliseconds(historyReplyMs_)});
        SetTimer(window_, timer_, static_cast<UINT>(historyReplyMs_), nullptr);
    } else {
        AwaitPicture("after \"history ok\"", true);
    }
    listener_->EngineHistory(true, "");
}

// An engine that refused the game or did not answer is not in the game the window shows:
// it is stopped, and the window starts one afresh.
void EngineLink::HistoryFailed(const std::string& why) {
    KillTimer(window_, timer_);
    await_ = Await::Nothing;
    queue_.clear();
    session_.kill();
    listener_->EngineHistory(false, why);
}

void EngineLink::Reply(const std::string& line) {
    // The game judges the reply and may queue the next command from there; the picture
    // that follows the reply comes first.
    KillTimer(window_, timer_);
    await_ = Await::Nothing;
    if (expectPictures_) AwaitPicture("after its move", true);
    listener_->EngineReply(line);
    if (await_ != Await::Nothing) return;
    SendNext();
    if (await_ == Await::Nothing && session_.running()) listener_->EngineReady();
}

} // namespace dab_host
