#include "referee.h"

#include "dab_board.h"
#include "engine_session.h"
#include "match_text.h"
#include "parallel_games.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>
#include <thread>

namespace dabtools {

namespace {

using Millis = std::chrono::duration<double, std::milli>;

using matchtools::format_ms;
using matchtools::with_seed;

class Game {
  public:
    Game(const EngineSpec engines[2], int black, int number, uint32_t seed, const Options& options,
         std::ostream* log)
        : engines_(engines), options_(options), log_(log) {
        r_.number = number;
        r_.seed = seed;
        r_.black = black;
        line_ms_ = options.budget_ms + options.margin_ms;
    }

    GameResult play() {
        if (log_ && options_.verbose)
            *log_ << "Game " << r_.number << " (seed " << r_.seed
                  << "): " << engines_[r_.black].label << " black, " << engines_[1 - r_.black].label
                  << " white" << (options_.boards ? "; boxes marked B and W" : "") << "\n";
        const int black = r_.black, white = 1 - black;
        std::string reply;
        if (start(black) && start(white) && ask_name(black) && ask_name(white) &&
            new_white(white) && send(black, "new black")) {
            auto sent = Clock::now();
            int mover = black;
            bool ok = read_reply(black, sent, reply) && judge(black, reply, sent);
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
            r_.winner = r_.score[0] > r_.score[1] ? 0 : 1;
            r_.reason = "score " + std::to_string(r_.score[r_.winner]) + "-" +
                        std::to_string(r_.score[1 - r_.winner]);
        } else {
            r_.winner = 1 - r_.fault_engine;
            r_.reason = "fault by " + engines_[r_.fault_engine].label + ": " +
                        fault_name(r_.fault) + ": " + r_.fault_detail;
        }
        return r_;
    }

  private:
    std::string colour(int e) const { return e == r_.black ? "black" : "white"; }

    void fault(int e, Fault f, const std::string& detail) {
        if (r_.fault != Fault::None) return;
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
        return session_[e].start(with_seed(engines_[e].command, r_.seed)) || faulted(e);
    }

    bool send(int e, const std::string& command) { return session_[e].send(command) || faulted(e); }

    bool ask_name(int e) {
        if (!session_[e].ask_name(line_ms_, is_chatter)) return faulted(e);
        r_.names[e] = session_[e].name();
        return true;
    }

    // After "new white" the engine prints its board and no reply; the next command must not
    // arrive before the engine has dropped its pending input, so wait for the picture.
    bool new_white(int e) {
        if (!send(e, "new white")) return false;
        auto deadline = Clock::now() + std::chrono::milliseconds(options_.margin_ms);
        int board_lines = 0;
        while (board_lines < 21) {
            std::string line;
            ChildProcess::Read r = session_[e].process().read_line(line, deadline);
            if (r == ChildProcess::Read::Timeout) return true; // an engine without a picture
            if (r == ChildProcess::Read::Eof) {
                session_[e].stream_ended("after \"new white\"");
                return faulted(e);
            }
            std::string t = trim(line);
            if (!t.empty() && !is_board_line(t)) {
                session_[e].fail(Fault::Garbled,
                                 "unexpected output " + quote(t) + " after \"new white\"");
                return faulted(e);
            }
            ++board_lines;
        }
        return true;
    }

    // Only a line that completes a box earns another, so a turn is one line long unless a
    // box already has three sides, and never longer than the boxes left plus one.
    bool read_reply(int e, Clock::time_point sent, std::string& reply) {
        int most = longest_turn(board_);
        // Two lines' worth beyond the limit tell a late reply from an engine that hangs.
        auto deadline =
            sent + std::chrono::milliseconds(static_cast<long long>(most + 2) * line_ms_);
        session_[e].expect({"move", "while a move was due", sent, deadline});
        return session_[e].read(reply, is_chatter) || faulted(e);
    }

    bool judge(int e, const std::string& reply, Clock::time_point sent) {
        double ms = Millis(Clock::now() - sent).count();
        Reply parsed;
        std::string detail;
        Fault f = parse_reply(reply, parsed, detail);
        if (f != Fault::None) {
            session_[e].fail(f, detail);
            return faulted(e);
        }
        const int count = parsed.count;
        const std::string& codes = parsed.codes;
        Turn turn;
        turn.engine = e;
        turn.ms = ms;
        turn.count = count;
        const long long limit = static_cast<long long>(count) * line_ms_;
        if (ms > static_cast<double>(limit)) {
            r_.turns.push_back(turn);
            session_[e].fail(Fault::Late, "reply of " + std::to_string(count) + " line(s) after " +
                                              format_ms(ms) + " ms, limit " +
                                              std::to_string(limit) + " ms");
            return faulted(e);
        }
        f = apply_reply(board_, e + 1, parsed, turn.lines, detail);
        r_.turns.push_back(turn);
        if (f != Fault::None) {
            session_[e].fail(f, detail);
            return faulted(e);
        }
        last_count_ = count;
        last_codes_ = codes;
        if (log_ && options_.verbose) {
            char buf[160];
            std::snprintf(buf, sizeof buf, "  %3d. %-16s %-5s move %2d %-15s %9.1f ms   %2d-%-2d\n",
                          static_cast<int>(r_.turns.size()), engines_[e].label.c_str(),
                          colour(e).c_str(), count, codes.c_str(), ms, board_.score[r_.black + 1],
                          board_.score[2 - r_.black]);
            *log_ << buf;
            if (options_.boards) {
                std::istringstream picture(
                    board_.picture(r_.black == 0 ? 'B' : 'W', r_.black == 0 ? 'W' : 'B'));
                for (std::string row; std::getline(picture, row);)
                    *log_ << "        " << row << "\n";
            }
            log_->flush();
        }
        return true;
    }

    // The engine that receives the game's last lines ends by itself, with status 0 and no
    // reply. The game is decided by then, so what goes wrong here is only noted.
    void last_lines_to(int e) {
        std::string command = "move " + std::to_string(last_count_) + " " + last_codes_;
        const std::string& who = engines_[e].label;
        ChildProcess& p = session_[e].process();
        if (!p.write_line(command)) {
            p.wait_exit(Clock::now() + std::chrono::milliseconds(line_ms_));
            if (!p.poll_exit()) r_.notes.push_back(who + " did not read the last lines");
            return;
        }
        auto deadline = Clock::now() + std::chrono::milliseconds(line_ms_);
        std::string line;
        bool replied = false;
        ChildProcess::Read r;
        while ((r = p.read_line(line, deadline)) == ChildProcess::Read::Line) {
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
        for (int e = 0; e < 2; ++e) {
            if (!session_[e].running()) continue;
            if (!session_[e].quit(true, std::chrono::milliseconds(std::min(line_ms_, 3000))) &&
                r_.fault == Fault::None)
                r_.notes.push_back(engines_[e].label + " did not end on \"quit\"");
        }
    }

    const EngineSpec* engines_;
    const Options& options_;
    std::ostream* log_;
    int line_ms_;
    engine_session::EngineSession session_[2];
    Board board_;
    GameResult r_;
    int last_count_ = 0;
    std::string last_codes_;
};

} // namespace

GameResult play_game(const EngineSpec engines[2], int black, int number, uint32_t seed,
                     const Options& options, std::ostream* log) {
    Game game(engines, black, number, seed, options, log);
    return game.play();
}

MatchResult run_match(const EngineSpec engines[2], const Options& options, std::ostream* log,
                      std::ostream* json) {
    MatchResult m;
    auto play = [&](int g) {
        int black = options.swap ? g % 2 : 0;
        std::ostringstream game_log;
        GameResult r = play_game(engines, black, g + 1, options.seed + static_cast<uint32_t>(g),
                                 options, log ? &game_log : nullptr);
        return std::make_pair(std::move(r), game_log.str());
    };
    auto done = [&](int g, std::pair<GameResult, std::string>& played) {
        GameResult& r = played.first;
        for (int e = 0; e < 2; ++e) {
            EngineStats& s = m.stats[e];
            if (s.name.empty()) s.name = r.names[e];
            (r.winner == e ? s.wins : s.losses) += 1;
            s.boxes_for += r.score[e];
            s.boxes_against += r.score[1 - e];
        }
        for (const Turn& t : r.turns) {
            EngineStats& s = m.stats[t.engine];
            s.lines += t.count;
            s.total_ms += t.ms;
            s.max_ms_per_line = std::max(s.max_ms_per_line, t.ms / t.count);
        }
        if (r.fault != Fault::None) m.stats[r.fault_engine].faults[fault_name(r.fault)] += 1;
        if (log) {
            *log << played.second;
            *log << "Game " << r.number << ": " << engines[r.black].label << " (black) "
                 << r.score[r.black] << ", " << engines[1 - r.black].label << " (white) "
                 << r.score[1 - r.black] << ": " << engines[r.winner].label << " wins, " << r.reason
                 << "\n";
            for (const std::string& n : r.notes) *log << "  note: " << n << "\n";
            log->flush();
        }
        if (json) {
            *json << game_json(r, engines) << "\n";
            json->flush();
        }
        if (options.progress) {
            std::fprintf(stderr, "\rgame %d/%d: %s %d, %s %d ", g + 1, options.games,
                         engines[0].label.c_str(), m.stats[0].wins, engines[1].label.c_str(),
                         m.stats[1].wins);
            std::fflush(stderr);
        }
        m.games.push_back(std::move(r));
    };
    matchtools::run_in_order<std::pair<GameResult, std::string>>(options.games, options.concurrency,
                                                                 play, done);
    if (options.progress) std::fprintf(stderr, "\n");
    if (json) {
        *json << match_json(m, engines, options) << "\n";
        json->flush();
    }
    return m;
}

} // namespace dabtools
