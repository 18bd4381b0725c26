// The conversation with a Dots-and-Boxes engine, as the platform and dab-referee hold it:
// "name?" answered before anything else, "new" colours, "move N CODES" both ways, "end",
// "quit"; one command at a time, since the engine drops input that arrives while it reads a
// command; and a deadline on every wait. Nothing here blocks the window's thread: the
// engine's session tells the window that output has come by a message that carries nothing,
// and the window reads what has come; deadlines are timer messages.
#pragma once

#include "engine_reply.h"
#include "engine_session.h"

#include <windows.h>

#include <deque>
#include <string>

namespace dab_host {

class EngineLink {
  public:
    // What the link reports back to the game.
    struct Listener {
        virtual void EngineReply(const std::string& line) = 0; // a line whose first word is "move"
        virtual void EngineFault(dabtools::Fault fault, const std::string& detail) = 0;
        virtual void EngineReady() = 0; // the link waits for nothing any more
      protected:
        ~Listener() = default;
    };

    EngineLink(Listener* listener, HWND window, UINT message, UINT_PTR timer)
        : listener_(listener), window_(window), message_(message), timer_(timer) {}

    // Starts the program and asks its name. lineMs is the time a reply may take per line.
    bool Start(const std::string& command, int lineMs, std::string* error);
    bool running() const { return session_.running(); }
    // Running and able to play another game: not told the last lines, after which it ends.
    bool usable() const { return session_.running() && !exitExpected_; }
    const std::string& name() const { return name_; }

    // Queues commands; each is sent once the engine has answered the one before.
    void NewGame(bool engineOpens);
    // The person's turn; the engine's reply may hold up to `mostLines` lines.
    void PersonTurn(const std::string& moveText, int mostLines);
    void GameOver();
    // The person's turn that drew the last line: the engine ends by itself, with no reply.
    void LastLines(const std::string& moveText);
    // The game found the engine's reply wrong: the engine is stopped and the fault reported.
    void Reject(dabtools::Fault fault, const std::string& detail) { Fail(fault, detail); }

    // Waiting for the engine's reply to a move (it is thinking).
    bool thinking() const;

    // Ends the program: politely when it waits for a command, at once when it is thinking.
    void Stop();

    // The window procedure passes these on: output has come (the message carries nothing),
    // and the deadline's timer.
    void OnOutput();
    void OnTimer();

  private:
    enum class Await { Nothing, Name, Picture, Reply, Pause };
    struct Command {
        std::string text;
        Await await;
        int deadlineMs;
    };

    void Queue(const std::string& text, Await await, int deadlineMs);
    void SendNext();
    void Done();
    void Fail(dabtools::Fault fault, const std::string& detail);
    void OutputEnded();
    void Line(const std::string& trimmed);
    void Reply(const std::string& line);

    Listener* listener_;
    HWND window_;
    UINT message_;
    UINT_PTR timer_;
    engine_session::EngineSession session_;
    int lineMs_ = 6000;
    std::string name_;
    std::deque<Command> queue_;
    Await await_ = Await::Nothing;
    std::string waitingFor_; // for reports: "in answer to \"name?\""
    int pictureLines_ = 0;
    bool exitExpected_ = false;
};

} // namespace dab_host
