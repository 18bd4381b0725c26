#include "referee.h"

#include "engine_session.h"
#include "engine_text.h"
#include "match_text.h"
#include "rules/openings.h"
#include "openings.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <thread>

namespace orbello_referee {

using dabtools::ChildProcess;
using dabtools::Clock;
using engine_session::quote;
using engine_session::trim;
using matchtools::GameSetup;

namespace {

using Millis = std::chrono::duration<double, std::milli>;

const int BLACK = 0, WHITE = 1, EMPTY = 2;

class Game {
  public:
    Game(const Options& options, const GameSetup& setup, std::ostream* log)
        : o_(options), setup_(setup), log_(log) {
        r_.number = setup.slot.number;
        r_.seed = setup.slot.seed;
        r_.black = setup.engines[0];
        r_.white = setup.engines[1];
        reply_ms_ = options.match.budget_ms + options.match.margin_ms;
        for (int x = 0; x < 6; ++x)
            for (int y = 0; y < 6; ++y) board_[x][y] = y < 2 ? BLACK : y >= 4 ? WHITE : EMPTY;
    }

    GameResult play() {
        if (log_ && o_.match.verbose)
            *log_ << "Game " << r_.number << " (seed " << r_.seed << "): " << setup_.labels[0]
                  << " black, " << setup_.labels[1] << " white\n";
        int mover = BLACK;
        Clock::time_point sent;
        bool ok =
            start(BLACK) && start(WHITE) && ask_name(BLACK) && ask_name(WHITE) && open_module();
        if (ok && setup_.has_opening) {
            ok = play_opening(mover, sent);
        } else if (ok) {
            ok = send(WHITE, "new white") && send(BLACK, "new black");
            sent = Clock::now();
        }
        if (ok) {
            relay(mover, sent);
            excuse_stuck_side();
        }
        finish();
        decide();
        return r_;
    }

  private:
    const std::string& label(int c) const { return setup_.labels[c]; }
    static const char* colour_name(int c) { return c == BLACK ? "black" : "white"; }

    void fault(int c, Fault f, const std::string& detail) {
        if (r_.fault != Fault::None || decided_) return;
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

    // The next non-empty line by the deadline; a fault when none comes.
    bool read_line(int c, Clock::time_point sent, Clock::time_point deadline,
                   const std::string& waiting_for, std::string& out) {
        session_[c].expect({"", waiting_for, sent, deadline});
        return session_[c].read(out) || faulted(c);
    }

    bool ask_name(int c) {
        if (!session_[c].ask_name(reply_ms_)) return faulted(c);
        r_.names[c] = session_[c].name();
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

    // The opening's moves through the module, as if played, then the game so far to both
    // engines: first to the one that waits, then to the one to move, whose reply is its
    // move. mover and sent say who and since when.
    bool play_opening(int& mover, Clock::time_point& sent) {
        std::string history;
        int c = BLACK;
        for (const std::string& m : setup_.opening.moves) {
            std::string text = m;
            text[0] = static_cast<char>(m[0] - 'A' + r_.base_x);
            text[2] = static_cast<char>(m[2] - 'A' + r_.base_x);
            text[1] = static_cast<char>(m[1] - 'A' + r_.base_y);
            text[3] = static_cast<char>(m[3] - 'A' + r_.base_y);
            std::string reply, to_opponent;
            if (module_.receive("move " + text, reply, to_opponent) != 1 ||
                to_opponent.size() < 9) {
                r_.error = "the module refused the opening's move " + m + " (" +
                           setup_.opening.source + ")";
                return false;
            }
            Move move;
            move.engine = -1;
            move.opening = true;
            move.text = to_opponent.substr(5, 4);
            apply(c, move.text, move);
            since_capture_ = move.capture ? 0 : since_capture_ + 1;
            r_.moves.push_back(move);
            history += " " + move.text;
            c = 1 - c;
        }
        mover = c;
        const std::string count = " " + std::to_string(setup_.opening.moves.size());
        const std::string wait_line =
            "history " + std::string(colour_name(1 - mover)) + count + history;
        const std::string move_line =
            "history " + std::string(colour_name(mover)) + count + history;
        if (!send(1 - mover, wait_line) || !history_accepted(1 - mover, wait_line, Clock::now()))
            return false;
        sent = Clock::now();
        return send(mover, move_line) && history_accepted(mover, move_line, sent);
    }

    // "history ok" in answer to the line just sent.
    bool history_accepted(int c, const std::string& command, Clock::time_point sent) {
        const std::string waiting_for = "in answer to \"" + command.substr(0, 40) + "\"";
        session_[c].expect(
            {"history", waiting_for, sent, sent + std::chrono::milliseconds(reply_ms_)});
        std::string line;
        if (!session_[c].read(line)) return faulted(c);
        if (line == "history ok") return true;
        session_[c].fail(Fault::Garbled, quote(line) + " " + waiting_for);
        return faulted(c);
    }

    // An engine that is not to move must stay silent; what it said meanwhile is read just
    // before it gets the other side's move.
    bool quiet(int c) {
        for (;;) {
            std::string line;
            switch (session_[c].take(line)) {
            case ChildProcess::Read::Timeout:
                return true;
            case ChildProcess::Read::Eof:
                session_[c].stream_ended("while the other side was to move");
                return faulted(c);
            case ChildProcess::Read::Line: {
                std::string t = trim(line);
                if (t.empty()) continue;
                if (t.find("move") != std::string::npos)
                    session_[c].fail(Fault::OutOfTurn,
                                     quote(t) + " while the other side was to move");
                else
                    session_[c].fail(Fault::Garbled, "unexpected output " + quote(t) +
                                                         " while the other side was to move");
                return faulted(c);
            }
            }
        }
    }

    void apply(int side, const std::string& text, Move& move) {
        int fx = text[0] - r_.base_x, fy = text[1] - r_.base_y;
        int tx = text[2] - r_.base_x, ty = text[3] - r_.base_y;
        if (fx < 0 || fx > 5 || fy < 0 || fy > 5 || tx < 0 || tx > 5 || ty < 0 || ty > 5) {
            r_.notes.push_back("the module accepted " + quote(text) + " off the board");
            return;
        }
        move.capture = board_[tx][ty] == 1 - side;
        if (move.capture) --r_.pieces[1 - side];
        board_[tx][ty] = side;
        board_[fx][fy] = EMPTY;
    }

    void relay(int mover, Clock::time_point sent) {
        int in_row = 0;
        for (;;) {
            to_move_ = mover;
            const int plies = static_cast<int>(r_.moves.size());
            if (plies >= o_.max_plies) {
                adjudicate("ply-limit",
                           "no side had won after " + std::to_string(plies) + " plies");
                return;
            }
            if (since_capture_ >= o_.no_capture_plies) {
                adjudicate("no-capture",
                           "no capture in the last " + std::to_string(since_capture_) + " plies");
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
                r_.refusals.push_back({plies + 1, setup_.engines[mover], line, ms});
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
            move.engine = setup_.engines[mover];
            move.text = to_opponent.substr(5, 4);
            move.ms = ms;
            apply(mover, move.text, move);
            since_capture_ = move.capture ? 0 : since_capture_ + 1;
            r_.moves.push_back(move);
            show(mover, move);
            const int other = 1 - mover;
            if (result == 2) {
                decided_ = true;
                r_.winner = setup_.engines[mover];
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
        if (r_.fault == Fault::None || r_.fault == Fault::OutOfTurn ||
            r_.fault_engine != setup_.engines[to_move_])
            return;
        const int side = to_move_;
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
        r_.winner = b == w ? -1 : setup_.engines[b > w ? BLACK : WHITE];
        r_.reason = "adjudicated: " + why + ", pieces " + std::to_string(b) + "-" +
                    std::to_string(w) +
                    (b == w  ? ": draw"
                     : b > w ? ": black"
                             : ": white");
    }

    void show(int c, const Move& m) {
        if (!log_ || !o_.match.verbose) return;
        char buf[200];
        std::snprintf(buf, sizeof buf, "  %3d. %-16s %-5s move %s %9.1f ms   pieces %2d-%-2d%s\n",
                      static_cast<int>(r_.moves.size()), label(c).c_str(), colour_name(c),
                      m.text.c_str(), m.ms, r_.pieces[BLACK], r_.pieces[WHITE],
                      m.capture ? "  capture" : "");
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
            const int c = r_.fault_engine == r_.black ? BLACK : WHITE;
            r_.winner = setup_.engines[1 - c];
            r_.reason =
                "fault by " + label(c) + ": " + fault_name(r_.fault) + ": " + r_.fault_detail;
        } else if (!r_.error.empty()) {
            r_.winner = -1;
            r_.reason = "not played: " + r_.error;
        }
    }

    const Options& o_;
    const GameSetup& setup_;
    std::ostream* log_;
    int reply_ms_;
    engine_session::EngineSession session_[2];
    bool end_sent_[2] = {false, false};
    ModuleGame module_;
    int board_[6][6];
    bool decided_ = false;
    int to_move_ = 0;       // the colour to move
    int since_capture_ = 0; // plies since the last capture
    GameResult r_;
};

void count_game(MatchResult& m, const GameResult& r) {
    const int engines[2] = {r.black, r.white};
    if (r.error.empty()) {
        for (int c = 0; c < 2; ++c) {
            EngineStats& s = m.stats[static_cast<size_t>(engines[c])];
            if (s.name.empty()) s.name = r.names[c];
            if (r.winner < 0)
                s.draws += 1;
            else
                (r.winner == engines[c] ? s.wins : s.losses) += 1;
        }
        if (r.winner < 0) m.draws += 1;
    }
    for (const Move& mv : r.moves) {
        if (mv.opening) continue;
        EngineStats& s = m.stats[static_cast<size_t>(mv.engine)];
        s.moves += 1;
        s.replies += 1;
        s.total_ms += mv.ms;
        s.max_ms = std::max(s.max_ms, mv.ms);
    }
    for (const Refusal& rf : r.refusals) {
        EngineStats& s = m.stats[static_cast<size_t>(rf.engine)];
        s.refusals += 1;
        s.replies += 1;
        s.total_ms += rf.ms;
        s.max_ms = std::max(s.max_ms, rf.ms);
    }
    if (r.fault != Fault::None)
        m.stats[static_cast<size_t>(r.fault_engine)].faults[fault_name(r.fault)] += 1;
}

} // namespace

matchtools::GameKind game_kind(const Options& o) {
    matchtools::GameKind kind;
    kind.tool = "orbello-referee";
    kind.game = "orbello";
    kind.unit = "move";
    kind.game_settings = {{"max_plies", o.max_plies},
                          {"no_capture_plies", o.no_capture_plies},
                          {"refusal_limit", o.refusal_limit}};
    kind.note = "Adjudicated by piece count (equal: draw) after " + std::to_string(o.max_plies) +
                " plies or " + std::to_string(o.no_capture_plies) + " plies without a capture; " +
                std::to_string(o.refusal_limit) + " refused moves in a row lose";
    kind.openings.check = orbello_rules::check_opening;
    kind.openings.random = orbello_rules::random_opening;
    kind.history_probe = "history white 0";
    return kind;
}

GameResult play_game(const Options& options, const GameSetup& setup, std::ostream* log) {
    Game game(options, setup, log);
    return game.play();
}

MatchResult run_match(const Options& options, std::ostream* log, std::ostream* json) {
    MatchResult m;
    matchtools::MatchOptions mo = options.match;
    matchtools::settle_labels(mo);
    m.stats.resize(mo.commands.size());
    matchtools::MatchRun run(mo, game_kind(options), log, json);
    if (!run.prepare(m.why)) {
        m.refused = true;
        return m;
    }
    std::function<GameResult(const GameSetup&, std::ostream*)> play = [&](const GameSetup& setup,
                                                                          std::ostream* game_log) {
        return play_game(options, setup, log ? game_log : nullptr);
    };
    std::function<std::pair<std::string, matchtools::Json>(const GameSetup&, GameResult&)> record =
        [&](const GameSetup& setup, GameResult& r) {
            count_game(m, r);
            std::ostringstream text;
            const int winner = r.winner < 0 ? -1 : r.winner == r.black ? 0 : 1;
            text << "Game " << r.number << ": " << setup.labels[0] << " (black) " << r.pieces[0]
                 << ", " << setup.labels[1] << " (white) " << r.pieces[1] << ", " << r.moves.size()
                 << " plies: "
                 << (winner < 0 ? std::string("no winner") : setup.labels[winner] + " wins") << ", "
                 << r.reason << "\n";
            for (const std::string& n : r.notes) text << "  note: " << n << "\n";
            matchtools::Json part = game_record(r, setup, options);
            m.games.push_back(std::move(r));
            return std::make_pair(text.str(), part);
        };
    matchtools::play_games<GameResult>(run, mo.concurrency, play, record);
    run.finish();
    m.report = run.report();
    return m;
}

} // namespace orbello_referee
