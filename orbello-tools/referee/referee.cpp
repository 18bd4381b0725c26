#include "referee.h"

#include "engine_session.h"
#include "engine_text.h"
#include "match_text.h"
#include "parallel_games.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <thread>

namespace orbello_referee {

using dabtools::ChildProcess;
using dabtools::Clock;
using engine_session::quote;
using engine_session::trim;

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

    // The engine's session found a fault (or the game did, through fail): the game has it.
    bool faulted(int e) {
        fault(e, session_[e].fault(), session_[e].detail());
        return false;
    }

    bool start(int e) {
        return session_[e].start(matchtools::with_seed(o_.match.commands[e], r_.seed)) ||
               faulted(e);
    }

    bool send(int e, const std::string& command) { return session_[e].send(command) || faulted(e); }

    // The next non-empty line by the deadline; a fault when none comes.
    bool read_line(int e, Clock::time_point sent, Clock::time_point deadline,
                   const std::string& waiting_for, std::string& out) {
        session_[e].expect({"", waiting_for, sent, deadline});
        return session_[e].read(out) || faulted(e);
    }

    bool ask_name(int e) {
        if (!session_[e].ask_name(reply_ms_)) return faulted(e);
        r_.names[e] = session_[e].name();
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
            switch (session_[e].take(line)) {
            case ChildProcess::Read::Timeout:
                return true;
            case ChildProcess::Read::Eof:
                session_[e].stream_ended("while the other side was to move");
                return faulted(e);
            case ChildProcess::Read::Line: {
                std::string t = trim(line);
                if (t.empty()) continue;
                if (t.find("move") != std::string::npos)
                    session_[e].fail(Fault::OutOfTurn,
                                     quote(t) + " while the other side was to move");
                else
                    session_[e].fail(Fault::Garbled, "unexpected output " + quote(t) +
                                                         " while the other side was to move");
                return faulted(e);
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
                session_[mover].fail(Fault::Late, quote(line) + " after " +
                                                      matchtools::format_ms(ms) + " ms, limit " +
                                                      std::to_string(reply_ms_) + " ms");
                faulted(mover);
                return;
            }
            std::string reply, to_opponent;
            const int result = module_.receive(line, reply, to_opponent);
            for (const std::string& m : module_.take_messages())
                r_.notes.push_back("the module showed a message: " + quote(m));
            if (result == 0) {
                session_[mover].fail(Fault::Garbled, "no move in " + quote(line));
                faulted(mover);
                return;
            }
            if (result < 0) {
                r_.refusals.push_back({plies + 1, mover, line, ms});
                if (++in_row >= o_.refusal_limit) {
                    session_[mover].fail(Fault::Illegal, std::to_string(in_row) +
                                                             " refused moves in a row, the last " +
                                                             quote(line));
                    faulted(mover);
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
                ChildProcess &winner = session_[mover].process(),
                             &loser = session_[other].process();
                end_sent_[mover] = winner.write_line("end");
                end_sent_[other] = loser.write_line("move " + move.text) && loser.write_line("end");
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

    // "end" to every engine still running that has not had it, then "quit"; whatever does
    // not end in time is killed. Every child is reaped here (an engine at fault was ended at
    // the fault).
    void finish() {
        for (int e = 0; e < 2; ++e) {
            if (!session_[e].running()) continue;
            if (!session_[e].quit(!end_sent_[e],
                                  std::chrono::milliseconds(std::min(reply_ms_, 3000))) &&
                r_.fault == Fault::None && r_.error.empty())
                r_.notes.push_back(label(e) + " did not end on \"quit\"");
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
    engine_session::EngineSession session_[2];
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
