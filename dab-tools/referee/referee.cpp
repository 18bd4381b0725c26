#include "referee.h"

#include "dab_board.h"
#include "engine_session.h"
#include "match_text.h"
#include "safe_openings.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace dabtools {

namespace {

using engine_session::EngineSession;
using matchtools::format_ms;
using matchtools::GameSetup;
using Millis = std::chrono::duration<double, std::milli>;

const char* const kColour[2] = {"black", "white"};

// The engines print their board as 21 lines after "new white" and "history".
const int kPictureLines = 21;

class Game {
  public:
    Game(const GameSetup& setup, const Options& options, std::ostream* log)
        : setup_(setup), options_(options), log_(log) {
        r_.number = setup.slot.number;
        r_.seed = setup.slot.seed;
        r_.black = setup.engines[0];
        r_.white = setup.engines[1];
        line_ms_ = options.budget_ms + options.margin_ms;
    }

    GameResult play() {
        if (log_ && options_.verbose)
            *log_ << "Game " << r_.number << " (seed " << r_.seed << "): " << setup_.labels[0]
                  << " black, " << setup_.labels[1] << " white"
                  << (options_.boards ? "; boxes marked B and W" : "") << "\n";
        int mover = 0;
        Clock::time_point sent;
        std::string reply;
        bool ok = start(0) && start(1) && ask_name(0) && ask_name(1) &&
                  (setup_.has_opening ? play_opening(mover, sent)
                                      : send(1, "new white") && picture(1, "after \"new white\"") &&
                                            send(0, "new black"));
        if (ok) {
            if (!setup_.has_opening) sent = Clock::now();
            ok = read_reply(mover, sent, reply) && judge(mover, reply, sent);
            while (ok && !board_.full()) {
                std::string command = "move " + std::to_string(last_count_) + " " + last_codes_;
                int other = 1 - mover;
                sent = Clock::now();
                ok = send(other, command) && read_reply(other, sent, reply) &&
                     judge(other, reply, sent);
                mover = other;
            }
            if (ok) last_lines_to(1 - mover);
        }
        finish();
        r_.score[0] = board_.score[1];
        r_.score[1] = board_.score[2];
        if (r_.fault == Fault::None) {
            const int c = r_.score[0] > r_.score[1] ? 0 : 1;
            r_.winner = setup_.engines[c];
            r_.reason =
                "score " + std::to_string(r_.score[c]) + "-" + std::to_string(r_.score[1 - c]);
        } else {
            const int c = r_.fault_engine == r_.black ? 0 : 1;
            r_.winner = setup_.engines[1 - c];
            r_.reason = "fault by " + setup_.labels[c] + ": " + fault_name(r_.fault) + ": " +
                        r_.fault_detail;
        }
        return r_;
    }

  private:
    void fault(int c, Fault f, const std::string& detail) {
        if (r_.fault != Fault::None) return;
        r_.fault = f;
        r_.fault_engine = setup_.engines[c];
        r_.fault_detail = detail;
    }

    // The engine's session found a fault (or the game did, through fail): the game has it.
    bool faulted(int c) {
        fault(c, session_[c].fault(), session_[c].detail());
        return false;
    }

    bool start(int c) { return session_[c].start(setup_.commands[c]) || faulted(c); }

    bool send(int c, const std::string& command) { return session_[c].send(command) || faulted(c); }

    bool ask_name(int c) {
        if (!session_[c].ask_name(line_ms_, is_chatter)) return faulted(c);
        r_.names[c] = session_[c].name();
        return true;
    }

    // After "new white", or a "history" that leaves the engine waiting, the engine prints its
    // board and no reply; the next command must not arrive before the engine has dropped its
    // pending input, so wait for the picture.
    bool picture(int c, const std::string& after) {
        auto deadline = Clock::now() + std::chrono::milliseconds(options_.margin_ms);
        for (int board_lines = 0; board_lines < kPictureLines;) {
            std::string line;
            ChildProcess::Read r = session_[c].process().read_line(line, deadline);
            if (r == ChildProcess::Read::Timeout) return true; // an engine without a picture
            if (r == ChildProcess::Read::Eof) {
                session_[c].stream_ended(after);
                return faulted(c);
            }
            std::string t = trim(line);
            if (!t.empty() && !is_board_line(t)) {
                session_[c].fail(Fault::Garbled, "unexpected output " + quote(t) + " " + after);
                return faulted(c);
            }
            ++board_lines;
        }
        return true;
    }

    // "history ok" in answer to the line just sent.
    bool history_accepted(int c, const std::string& command, Clock::time_point sent) {
        const std::string waiting_for = "in answer to \"" + command.substr(0, 40) + "\"";
        session_[c].expect(
            {"history", waiting_for, sent, sent + std::chrono::milliseconds(line_ms_)});
        std::string line;
        if (!session_[c].read(line, is_chatter)) return faulted(c);
        if (line == "history ok") return true;
        session_[c].fail(Fault::Garbled, quote(line) + " " + waiting_for);
        return faulted(c);
    }

    // The opening's lines on the board, one turn each (they complete no box, so the sides
    // alternate), then the game so far to both engines: first to the one that waits, then to
    // the one to move, whose reply is its turn. mover and sent say who and since when.
    bool play_opening(int& mover, Clock::time_point& sent) {
        std::string codes;
        int c = 0;
        for (int line : opening_lines(setup_.opening.moves)) {
            board_.draw(line, c + 1);
            Turn t;
            t.engine = -1;
            t.count = 1;
            t.lines = {line};
            t.opening = true;
            r_.turns.push_back(t);
            codes += line_code(line);
            c = 1 - c;
        }
        mover = c;
        const int n = static_cast<int>(codes.size() / 3);
        auto history = [&](int side) {
            return "history " + std::string(kColour[side]) + " " + std::to_string(n) + " " +
                   (n ? codes : "-");
        };
        const std::string wait_line = history(1 - mover), move_line = history(mover);
        if (!send(1 - mover, wait_line) || !history_accepted(1 - mover, wait_line, Clock::now()) ||
            !picture(1 - mover, "after \"history\""))
            return false;
        sent = Clock::now();
        return send(mover, move_line) && history_accepted(mover, move_line, sent);
    }

    // Only a line that completes a box earns another, so a turn is one line long unless a
    // box already has three sides, and never longer than the boxes left plus one.
    bool read_reply(int c, Clock::time_point sent, std::string& reply) {
        int most = longest_turn(board_);
        // Two lines' worth beyond the limit tell a late reply from an engine that hangs.
        auto deadline =
            sent + std::chrono::milliseconds(static_cast<long long>(most + 2) * line_ms_);
        session_[c].expect({"move", "while a move was due", sent, deadline});
        return session_[c].read(reply, is_chatter) || faulted(c);
    }

    bool judge(int c, const std::string& reply, Clock::time_point sent) {
        double ms = Millis(Clock::now() - sent).count();
        Reply parsed;
        std::string detail;
        Fault f = parse_reply(reply, parsed, detail);
        if (f != Fault::None) {
            session_[c].fail(f, detail);
            return faulted(c);
        }
        const int count = parsed.count;
        const std::string& codes = parsed.codes;
        Turn turn;
        turn.engine = setup_.engines[c];
        turn.ms = ms;
        turn.count = count;
        const long long limit = static_cast<long long>(count) * line_ms_;
        if (ms > static_cast<double>(limit)) {
            r_.turns.push_back(turn);
            session_[c].fail(Fault::Late, "reply of " + std::to_string(count) + " line(s) after " +
                                              format_ms(ms) + " ms, limit " +
                                              std::to_string(limit) + " ms");
            return faulted(c);
        }
        f = apply_reply(board_, c + 1, parsed, turn.lines, detail);
        r_.turns.push_back(turn);
        if (f != Fault::None) {
            session_[c].fail(f, detail);
            return faulted(c);
        }
        last_count_ = count;
        last_codes_ = codes;
        if (log_ && options_.verbose) {
            char buf[160];
            std::snprintf(buf, sizeof buf, "  %3d. %-16s %-5s move %2d %-15s %9.1f ms   %2d-%-2d\n",
                          static_cast<int>(r_.turns.size()), setup_.labels[c].c_str(), kColour[c],
                          count, codes.c_str(), ms, board_.score[1], board_.score[2]);
            *log_ << buf;
            if (options_.boards) {
                std::istringstream rows(board_.picture('B', 'W'));
                for (std::string row; std::getline(rows, row);) *log_ << "        " << row << "\n";
            }
        }
        return true;
    }

    // The engine that receives the game's last lines ends by itself, with status 0 and no
    // reply. The game is decided by then, so what goes wrong here is only noted.
    void last_lines_to(int c) {
        std::string command = "move " + std::to_string(last_count_) + " " + last_codes_;
        const std::string& who = setup_.labels[c];
        ChildProcess& p = session_[c].process();
        if (!p.write_line(command)) {
            p.wait_exit(Clock::now() + std::chrono::milliseconds(line_ms_));
            if (!p.poll_exit()) r_.notes.push_back(who + " did not read the last lines");
            return;
        }
        auto deadline = Clock::now() + std::chrono::milliseconds(line_ms_);
        std::string line;
        bool replied = false;
        while (p.read_line(line, deadline) == ChildProcess::Read::Line) {
            std::vector<std::string> w = words_of(line);
            if (!w.empty() && w[0] == "move") replied = true;
        }
        if (replied) r_.notes.push_back(who + " replied after the last lines");
        if (!p.wait_exit(deadline)) {
            r_.notes.push_back(who + " did not end after the last lines");
            return;
        }
        const ChildProcess::Exit& x = p.exit_info();
        if (x.code != 0 || x.signal != 0)
            r_.notes.push_back(who + " ended with status " + std::to_string(x.code) +
                               (x.signal ? " (signal " + std::to_string(x.signal) + ")" : "") +
                               " after the last lines");
    }

    // "end" to every engine still running, then "quit"; whatever does not end in time is
    // killed. Every child is reaped here (an engine at fault was ended at the fault).
    void finish() {
        for (int c = 0; c < 2; ++c) {
            if (!session_[c].running()) continue;
            if (!session_[c].quit(true, std::chrono::milliseconds(std::min(line_ms_, 3000))) &&
                r_.fault == Fault::None)
                r_.notes.push_back(setup_.labels[c] + " did not end on \"quit\"");
        }
    }

    const GameSetup& setup_;
    const Options& options_;
    std::ostream* log_;
    int line_ms_;
    EngineSession session_[2]; // by colour
    Board board_;
    GameResult r_;
    int last_count_ = 0;
    std::string last_codes_;
};

void count_game(std::vector<EngineStats>& stats, const GameResult& r) {
    const int engines[2] = {r.black, r.white};
    for (int c = 0; c < 2; ++c) {
        EngineStats& s = stats[static_cast<size_t>(engines[c])];
        if (s.name.empty()) s.name = r.names[c];
        (r.winner == engines[c] ? s.wins : s.losses) += 1;
        s.boxes_for += r.score[c];
        s.boxes_against += r.score[1 - c];
    }
    for (const Turn& t : r.turns) {
        if (t.opening) continue;
        EngineStats& s = stats[static_cast<size_t>(t.engine)];
        s.lines += t.count;
        s.total_ms += t.ms;
        s.max_ms_per_line = std::max(s.max_ms_per_line, t.ms / t.count);
    }
    if (r.fault != Fault::None)
        stats[static_cast<size_t>(r.fault_engine)].faults[fault_name(r.fault)] += 1;
}

} // namespace

matchtools::GameKind game_kind(const Options&) {
    matchtools::GameKind kind;
    kind.tool = "dab-referee";
    kind.game = "dots-and-boxes";
    kind.unit = "line";
    kind.openings.check = check_opening;
    kind.openings.random = random_opening;
    kind.history_probe = "history white 0 -";
    return kind;
}

GameResult play_game(const GameSetup& setup, const Options& options, std::ostream* log) {
    Game game(setup, options, log);
    return game.play();
}

MatchResult run_match(const Options& given, std::ostream* log, std::ostream* json) {
    Options options = given;
    matchtools::settle_labels(options);
    MatchResult m;
    m.stats.resize(options.commands.size());
    matchtools::MatchRun run(options, game_kind(options), log, json);
    if (!run.prepare(m.why)) {
        m.refused = true;
        return m;
    }
    std::function<GameResult(const GameSetup&, std::ostream*)> play = [&](const GameSetup& setup,
                                                                          std::ostream* game_log) {
        return play_game(setup, options, log ? game_log : nullptr);
    };
    std::function<std::pair<std::string, matchtools::Json>(const GameSetup&, GameResult&)> record =
        [&](const GameSetup& setup, GameResult& r) {
            count_game(m.stats, r);
            std::ostringstream text;
            text << "Game " << r.number << ": " << setup.labels[0] << " (black) " << r.score[0]
                 << ", " << setup.labels[1] << " (white) " << r.score[1] << ": "
                 << setup.labels[r.winner == r.black ? 0 : 1] << " wins, " << r.reason << "\n";
            for (const std::string& n : r.notes) text << "  note: " << n << "\n";
            matchtools::Json part = game_record(r, setup);
            m.games.push_back(std::move(r));
            return std::make_pair(text.str(), part);
        };
    matchtools::play_games<GameResult>(run, options.concurrency, play, record);
    run.finish();
    m.report = run.report();
    return m;
}

MatchResult run_match(const EngineSpec engines[2], Options options, std::ostream* log,
                      std::ostream* json) {
    options.labels = {engines[0].label, engines[1].label};
    options.commands = {engines[0].command, engines[1].command};
    return run_match(options, log, json);
}

} // namespace dabtools
