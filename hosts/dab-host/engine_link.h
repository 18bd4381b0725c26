// The conversation with a Dots-and-Boxes engine, as the platform and dab-referee hold it:
// "name?" answered before anything else, "new" colours, "move N CODES" both ways, "end",
// "quit", and "history" (the game so far, for a take back or a game opened); one command at a time,
// since the engine drops input that arrives while it reads a command; and a deadline on every wait.
// Nothing here blocks the window's thread: the engine's session tells the window that output has
// come by a message that carries nothing, and the window reads what has come; deadlines are timer
// messages.
#pragma once

#include "engine_reply.h"
#include "engine_session.h"

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

namespace dab_host {

class EngineLink {
  public:
    // What the link reports back to the game.
    struct Listener {
        virtual void EngineReply(const std::string& line) = 0; // a line whose first word is "move"
        virtual void EngineFault(dabtools::Fault fault, const std::string& detail) = 0;
        virtual void EngineReady() = 0; // the link waits for nothing any more
        // The answer to History(): accepted, or refused, or none by its deadline (the engine
        // is then stopped; detail says why).
        virtual void EngineHistory(bool accepted, const std::string& detail) = 0;
        // The board picture the engine printed after its reply or a history (21 rows).
        virtual void EnginePicture(const std::vector<std::string>& rows) = 0;

      protected:
        ~Listener() = default;
    };

    EngineLink(Listener* listener, HWND window, UINT message, UINT_PTR timer)
        : listener_(listener), window_(window), message_(message), timer_(timer) {}

    // Starts the program and asks its name. lineMs is the time a reply may take per line.
    bool Start(const std::string& command, int lineMs, std::string* error);
    bool running() const { return session_.running(); }
    // The engine prints its board picture after each reply (Vantry does): it is awaited
    // before the next command and reported.
    void ExpectPictures(bool on) { expectPictures_ = on; }
    // Running and able to play another game: not told the last lines, after which it ends.
    bool usable() const { return session_.running() && !exitExpected_; }
    const std::string& name() const { return name_; }

    // Queues commands; each is sent once the engine has answered the one before.
    void NewGame(bool engineOpens);
    // The person's turn; the engine's reply may hold up to `mostLines` lines.
    void PersonTurn(const std::string& moveText, int mostLines);
    void GameOver();
    // Starts the engine's game at the given point ("history COLOUR N CODES"); when the engine
    // is then to move, its reply may hold up to `mostLines` lines.
    void History(const std::string& text, bool engineMoves, int mostLines);
    // The person's turn that drew the last line: the engine ends by itself, with no reply.
    void LastLines(const std::string& moveText);
    // The game found the engine's reply wrong: the engine is stopped and the fault reported.
    void Reject(dabtools::Fault fault, const std::string& detail) { Fail(fault, detail); }

    // Waiting for the engine's reply to a move (it is thinking).
    bool thinking() const;
    // Waiting for anything (a reply, an answer, a picture), or commands still to send.
    bool busy() const { return await_ != Await::Nothing || !queue_.empty(); }

    // Ends the program: politely when it waits for a command, at once when it is thinking.
    void Stop();

    // The window procedure passes these on: output has come (the message carries nothing),
    // and the deadline's timer.
    void OnOutput();
    void OnTimer();

  private:
    enum class Await { Nothing, Name, Picture, Reply, Pause, History };
    struct Command {
        std::string text;
        Await await;
        int deadlineMs;
        int replyMs = 0; // History: the deadline of the engine's reply when it is to move
    };

    void Queue(const std::string& text, Await await, int deadlineMs, int replyMs = 0);
    void AwaitPicture(const std::string& after, bool report);
    void HistoryAnswer(const std::string& line);
    void HistoryFailed(const std::string& why);
    void SendNext();
    void Done();
    void Fail(dabtools::Fault fault, const std::string& detail);
    void OutputEnded();
    void Line(const std::string& raw);
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
    std::string waitingFor_;           // for reports: "in answer to \"name?\""
    std::vector<std::string> picture_; // the rows of the picture read so far
    bool expectPictures_ = false;
    bool reportPicture_ = false; // after a reply or a history, not after "new"
    int historyReplyMs_ = 0;
    bool exitExpected_ = false;
};

} // namespace dab_host
