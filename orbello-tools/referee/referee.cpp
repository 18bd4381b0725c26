#include "referee.h"

#include "child_process.h"
#include "engine_end.h"
#include "match_text.h"
#include "parallel_games.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <thread>

namespace orbello_referee {

using dabtools::ChildProcess;
using dabtools::Clock;
using matchtools::quote;
using matchtools::trim;

const char* fault_name(Fault f) {
    switch (f) {
    case Fault::None:
        return "none";
    case Fault::StartFailed:
        return "start-failed";
    case Fault::Garbled:
        return "garbled-reply";
    case Fault::Illegal:
        return "illegal-move";
    case Fault::OutOfTurn:
        return "out-of-turn";
    case Fault::Late:
        return "late-reply";
    case Fault::NoReply:
        return "no-reply";
    case Fault::Crash:
        return "crash";
    case Fault::Exited:
        return "exited";
    case Fault::Closed:
        return "closed-stream";
    }
    return "?";
}

namespace {

using Millis = std::chrono::duration<double, std::milli>;

const int BLACK = 0, WHITE = 1, EMPTY = 2;

class Game {
  public:
    Game(const Options& options, int black, int number, uint32_t seed, std::ostream* log)
        : o_(options), log_(log) {
        r_.number = number;
        r_.seed = seed;
        r_.black = black;
        reply_ms_ = options.match.budget_ms + options.match.margin_ms;
        for (int x = 0; x < 6; ++x)
            for (int y = 0; y < 6; ++y) board_[x][y] = y < 2 ? BLACK : y >= 4 ? WHITE : EMPTY;
    }

    GameResult play() {
        const int black = r_.black, white = 1 - black;
        if (log_ && o_.match.verbose)
            *log_ << "Game " << r_.number << " (seed " << r_.seed << "): " << label(black)
                  << " black, " << label(white) << " white\n";
        if (start(black) && start(white) && ask_name(black) && ask_name(white) && open_module() &&
            send(white, "new white") && send(black, "new black")) {
            relay(black);
            excuse_stuck_side();
        }
        finish();
        decide();
        return r_;
    }

  private:
    const std::string& label(int e) const { return o_.match.labels[e]; }
    int colour(int e) const { return e == r_.black ? BLACK : WHITE; }
    const char* colour_name(int e) const { return e == r_.black ? "black" : "white"; }

    void fault(int e, Fault f, const std::string& detail) {
        if (r_.fault != Fault::None || decided_) return;
        r_.fault = f;
        r_.fault_engine = e;
        r_.fault_detail = detail;
    }

    void stream_ended(int e, const std::string& context, bool writing = false) {
        std::string detail;
        switch (matchtools::why_stream_ended(proc_[e], writing, context, detail)) {
        case matchtools::StreamEnd::Closed:
            fault(e, Fault::Closed, detail);
            break;
        case matchtools::StreamEnd::Crash:
            fault(e, Fault::Crash, detail);
            break;
        case matchtools::StreamEnd::Exited:
            fault(e, Fault::Exited, detail);
            break;
        }
    }

    bool start(int e) {
        std::string error;
        std::vector<std::string> argv =
            dabtools::split_command(matchtools::with_seed(o_.match.commands[e], r_.seed));
        if (!proc_[e].start(argv, error)) {
            fault(e, Fault::StartFailed, error);
            return false;
        }
        return true;
    }

    bool send(int e, const std::string& command) {
        if (proc_[e].write_line(command)) return true;
        stream_ended(e, "(would not read \"" + command + "\")", true);
        return false;
    }

    // The next non-empty line before the deadline; a fault when none comes.
    bool read_line(int e, Clock::time_point sent, Clock::time_point deadline,
                   const std::string& waiting_for, std::string& out) {
        for (;;) {
            std::string line;
            switch (proc_[e].read_line(line, deadline)) {
            case ChildProcess::Read::Line:
                out = trim(line);
                if (out.empty()) continue;
                return true;
            case ChildProcess::Read::Timeout:
                if (proc_[e].poll_exit()) {
                    stream_ended(e, waiting_for);
                } else {
                    auto ms =
                        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent);
                    fault(e, Fault::NoReply,
                          "nothing " + waiting_for + " within " + std::to_string(ms.count()) +
                              " ms");
                }
                return false;
            case ChildProcess::Read::Eof:
                stream_ended(e, waiting_for);
                return false;
            }
        }
    }

    bool ask_name(int e) {
        auto sent = Clock::now();
        std::string line;
        if (!send(e, "name?") || !read_line(e, sent, sent + std::chrono::milliseconds(reply_ms_),
                                            "in answer to \"name?\"", line))
            return false;
        if (line.compare(0, 4, "name") != 0) {
            fault(e, Fault::Garbled, "unexpected output " + quote(line) + " for \"name?\"");
            return false;
        }
        r_.names[e] = trim(line.substr(4));
        return true;
    }

    bool open_module() {
        std::string why;
        if (!module_.open(o_.module, why)) {
            r_.error = why;
            return false;
        }
        if (!learn_bases(module_, r_.base_x, r_.base_y)) {
            r_.error = "the module wrote no move text for a step by clicks";
            return false;
        }
        return true;
    }

    // An engine that is not to move must stay silent; what it said meanwhile is read just
    // before it gets the other side's move.
    bool quiet(int e) {
        for (;;) {
            std::string line;
            switch (proc_[e].read_line(line, Clock::now())) {
            case ChildProcess::Read::Timeout:
                return true;
            case ChildProcess::Read::Eof:
                stream_ended(e, "while the other side was to move");
                return false;
            case ChildProcess::Read::Line: {
                std::string t = trim(line);
                if (t.empty()) continue;
                if (t.find("move") != std::string::npos)
                    fault(e, Fault::OutOfTurn, quote(t) + " while the other side was to move");
                else
                    fault(e, Fault::Garbled,
                          "unexpected output " + quote(t) + " while the other side was to move");
                return false;
            }
            }
        }
    }

    void apply(int e, const std::string& text, Move& move) {
        int fx = text[0] - r_.base_x, fy = text[1] - r_.base_y;
        int tx = text[2] - r_.base_x, ty = text[3] - r_.base_y;
        const int side = colour(e);
        if (fx < 0 || fx > 5 || fy < 0 || fy > 5 || tx < 0 || tx > 5 || ty < 0 || ty > 5) {
            r_.notes.push_back("the module accepted " + quote(text) + " off the board");
            return;
        }
        move.capture = board_[tx][ty] == 1 - side;
        if (move.capture) --r_.pieces[1 - side];
        board_[tx][ty] = side;
        board_[fx][fy] = EMPTY;
    }

    void relay(int mover) {
        auto sent = Clock::now();
        int in_row = 0, since_capture = 0;
        for (;;) {
            to_move_ = mover;
            const int plies = static_cast<int>(r_.moves.size());
            if (plies >= o_.max_plies) {
                adjudicate("ply-limit",
                           "no side had won after " + std::to_string(plies) + " plies");
                return;
            }
            if (since_capture >= o_.no_capture_plies) {
                adjudicate("no-capture",
                           "no capture in the last " + std::to_string(since_capture) + " plies");
                return;
            }
            std::string line;
            auto deadline = sent + std::chrono::milliseconds(3LL * reply_ms_);
            if (!read_line(mover, sent, deadline, "while a move was due", line)) return;
            const double ms = Millis(Clock::now() - sent).count();
            if (ms > reply_ms_) {
                fault(mover, Fault::Late,
                      quote(line) + " after " + matchtools::format_ms(ms) + " ms, limit " +
                          std::to_string(reply_ms_) + " ms");
                return;
            }
            std::string reply, to_opponent;
            const int result = module_.receive(line, reply, to_opponent);
            for (const std::string& m : module_.take_messages())
                r_.notes.push_back("the module showed a message: " + quote(m));
            if (result == 0) {
                fault(mover, Fault::Garbled, "no move in " + quote(line));
                return;
            }
            if (result < 0) {
                r_.refusals.push_back({plies + 1, mover, line, ms});
                if (++in_row >= o_.refusal_limit) {
                    fault(mover, Fault::Illegal,
                          std::to_string(in_row) + " refused moves in a row, the last " +
                              quote(line));
                    return;
                }
                if (!send(mover, trim(reply))) return;
                sent = Clock::now();
                continue;
            }
            in_row = 0;
            Move move;
            move.engine = mover;
            move.text = to_opponent.substr(5, 4);
            move.ms = ms;
            apply(mover, move.text, move);
            since_capture = move.capture ? 0 : since_capture + 1;
            r_.moves.push_back(move);
            show(move);
            const int other = 1 - mover;
            if (result == 2) {
                decided_ = true;
                r_.winner = mover;
                r_.reason = std::string(colour_name(mover)) + " took the last piece";
                end_sent_[mover] = proc_[mover].write_line("end");
                end_sent_[other] =
                    proc_[other].write_line("move " + move.text) && proc_[other].write_line("end");
                return;
            }
            if (!quiet(other) || !send(other, "move " + move.text)) return;
            sent = Clock::now();
            mover = other;
        }
    }

    // The game has no pass: a side to move with pieces but no legal move cannot go on. Its
    // engine's failure to move is then no fault; the game is decided like one that is too
    // long.
    void excuse_stuck_side() {
        if (r_.fault == Fault::None || r_.fault == Fault::OutOfTurn || r_.fault_engine != to_move_)
            return;
        const int side = colour(to_move_);
        std::vector<std::pair<int, int>> pieces;
        for (int x = 0; x < 6; ++x)
            for (int y = 0; y < 6; ++y)
                if (board_[x][y] == side) pieces.push_back({x, y});
        if (has_legal_move(module_, pieces)) return;
        r_.notes.push_back(label(to_move_) + " had no legal move, then " + fault_name(r_.fault) +
                           ": " + r_.fault_detail);
        r_.fault = Fault::None;
        r_.fault_engine = -1;
        r_.fault_detail.clear();
        adjudicate("no-legal-move", std::string(colour_name(to_move_)) + " had no legal move");
    }

    void adjudicate(const char* rule, const std::string& why) {
        decided_ = true;
        r_.adjudication = rule;
        const int b = r_.pieces[BLACK], w = r_.pieces[WHITE];
        r_.winner = b == w ? -1 : (b > w) == (r_.black == 0) ? 0 : 1;
        r_.reason = "adjudicated: " + why + ", pieces " + std::to_string(b) + "-" +
                    std::to_string(w) +
                    (b == w  ? ": draw"
                     : b > w ? ": black"
                             : ": white");
    }

    void show(const Move& m) {
        if (!log_ || !o_.match.verbose) return;
        char buf[200];
        std::snprintf(buf, sizeof buf, "  %3d. %-16s %-5s move %s %9.1f ms   pieces %2d-%-2d%s\n",
                      static_cast<int>(r_.moves.size()), label(m.engine).c_str(),
                      colour_name(m.engine), m.text.c_str(), m.ms, r_.pieces[BLACK],
                      r_.pieces[WHITE], m.capture ? "  capture" : "");
        *log_ << buf;
    }

    // "end" to every engine still running that did not fault and has not had it, then
    // "quit"; whatever does not end in time is killed. Every child is reaped here.
    void finish() {
        for (int e = 0; e < 2; ++e) {
            ChildProcess& p = proc_[e];
            if (!p.started() || p.poll_exit()) continue;
            if (e != r_.fault_engine && (end_sent_[e] || p.write_line("end"))) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                p.write_line("quit");
                auto deadline = Clock::now() + std::chrono::milliseconds(std::min(reply_ms_, 3000));
                std::string line;
                while (p.read_line(line, deadline) == ChildProcess::Read::Line) {
                }
                if (!p.wait_exit(deadline) && r_.fault == Fault::None && r_.error.empty())
                    r_.notes.push_back(label(e) + " did not end on \"quit\"");
            }
            p.kill();
        }
    }

    void decide() {
        if (r_.fault != Fault::None) {
            r_.winner = 1 - r_.fault_engine;
            r_.reason = "fault by " + label(r_.fault_engine) + ": " + fault_name(r_.fault) + ": " +
                        r_.fault_detail;
        } else if (!r_.error.empty()) {
            r_.winner = -1;
            r_.reason = "not played: " + r_.error;
        }
    }

    const Options& o_;
    std::ostream* log_;
    int reply_ms_;
    ChildProcess proc_[2];
    bool end_sent_[2] = {false, false};
    ModuleGame module_;
    int board_[6][6];
    bool decided_ = false;
    int to_move_ = 0;
    GameResult r_;
};

} // namespace

GameResult play_game(const Options& options, int black, int number, uint32_t seed,
                     std::ostream* log) {
    Game game(options, black, number, seed, log);
    return game.play();
}

MatchResult run_match(const Options& options, std::ostream* log, std::ostream* json) {
    MatchResult m;
    const matchtools::MatchOptions& mo = options.match;
    auto play = [&](int g) {
        int black = mo.swap ? g % 2 : 0;
        std::ostringstream game_log;
        GameResult r = play_game(options, black, g + 1, mo.seed + static_cast<uint32_t>(g),
                                 log ? &game_log : nullptr);
        return std::make_pair(std::move(r), game_log.str());
    };
    auto done = [&](int g, std::pair<GameResult, std::string>& played) {
        GameResult& r = played.first;
        if (r.error.empty()) {
            for (int e = 0; e < 2; ++e) {
                EngineStats& s = m.stats[e];
                if (s.name.empty()) s.name = r.names[e];
                if (r.winner < 0)
                    s.draws += 1;
                else
                    (r.winner == e ? s.wins : s.losses) += 1;
            }
            if (r.winner < 0) m.draws += 1;
        }
        for (const Move& mv : r.moves) {
            EngineStats& s = m.stats[mv.engine];
            s.moves += 1;
            s.replies += 1;
            s.total_ms += mv.ms;
            s.max_ms = std::max(s.max_ms, mv.ms);
        }
        for (const Refusal& rf : r.refusals) {
            EngineStats& s = m.stats[rf.engine];
            s.refusals += 1;
            s.replies += 1;
            s.total_ms += rf.ms;
            s.max_ms = std::max(s.max_ms, rf.ms);
        }
        if (r.fault != Fault::None) m.stats[r.fault_engine].faults[fault_name(r.fault)] += 1;
        if (log) {
            *log << played.second << "Game " << r.number << ": " << mo.labels[r.black]
                 << " (black) " << r.pieces[0] << ", " << mo.labels[1 - r.black] << " (white) "
                 << r.pieces[1] << ", " << r.moves.size() << " plies: "
                 << (r.winner < 0 ? std::string("no winner") : mo.labels[r.winner] + " wins")
                 << ", " << r.reason << "\n";
            for (const std::string& n : r.notes) *log << "  note: " << n << "\n";
            log->flush();
        }
        if (json) {
            *json << game_json(r, options) << "\n";
            json->flush();
        }
        if (mo.progress) {
            std::fprintf(stderr, "\rgame %d/%d: %s %d, %s %d, draws %d ", g + 1, mo.games,
                         mo.labels[0].c_str(), m.stats[0].wins, mo.labels[1].c_str(),
                         m.stats[1].wins, m.draws);
            std::fflush(stderr);
        }
        m.games.push_back(std::move(r));
    };
    matchtools::run_in_order<std::pair<GameResult, std::string>>(mo.games, mo.concurrency, play,
                                                                 done);
    if (mo.progress) std::fprintf(stderr, "\n");
    if (json) {
        *json << match_json(m, options) << "\n";
        json->flush();
    }
    return m;
}

} // namespace orbello_referee
