#include "dab_game_record.h"

#include "dab_board.h"
#include "record_fields.h"

namespace game_records {

Json dab_game_fields(const DabGame& g) {
    Json o;
    o["black"] = g.labels[0];
    o["white"] = g.labels[1];
    o["black_name"] = g.names[0];
    o["white_name"] = g.names[1];
    Json turns = Json::array();
    for (const DabTurn& t : g.turns) {
        std::string codes;
        for (int line : t.lines) codes += dabtools::line_code(line);
        turns.push_back(
            Json::array({kColours[t.colour], codes,
                         t.ms < 0 ? Json(nullptr) : Json(matchtools::rounded_ms(t.ms))}));
    }
    o["turns"] = turns;
    o["score"] = {{"black", g.score[0]}, {"white", g.score[1]}};
    o["winner"] = g.winner < 0 ? Json(nullptr) : Json(kColours[g.winner]);
    o["winner_label"] = g.winner < 0 ? Json(nullptr) : Json(g.labels[g.winner]);
    o["reason"] = g.reason;
    matchtools::put_summary(o, g.summary, g.labels);
    return o;
}

namespace {

// The turns replayed on a board, each checked as the referee checks a reply.
bool replay_turns(const Json& turns, DabGame& g, dabtools::Board& board, std::string& why) {
    int to_move = 0; // Black draws the first line
    bool open = false;
    for (size_t i = 0; i < turns.size(); ++i) {
        const Json& t = turns[i];
        const std::string where = "turn " + std::to_string(i + 1);
        if (!t.is_array() || t.size() < 2 || colour_of(t[0]) < 0 || !t[1].is_string()) {
            why = where + " is not [colour, codes, ms]";
            return false;
        }
        DabTurn turn;
        turn.colour = colour_of(t[0]);
        const std::string codes = t[1].get<std::string>();
        const std::string quoted = where + " '" + codes + "' (" + kColours[turn.colour] + ")";
        if (t.size() > 2 && t[2].is_number()) turn.ms = t[2].get<double>();
        if (open) {
            why = quoted + " follows a turn that completed a box and stopped";
            return false;
        }
        if (board.full()) {
            why = quoted + " comes after the last line";
            return false;
        }
        if (turn.colour != to_move) {
            why = quoted + " is " + kColours[1 - turn.colour] + "'s turn by the rules";
            return false;
        }
        if (codes.size() % 3 != 0) {
            why = quoted + " has a broken code";
            return false;
        }
        const bool last = i + 1 == turns.size();
        if (codes.empty() && !last) {
            why = quoted + " draws no line";
            return false;
        }
        bool completed = false;
        for (size_t k = 0; k < codes.size(); k += 3) {
            const std::string code = codes.substr(k, 3);
            if (k > 0 && !completed) {
                why = quoted + ": " + code + " follows a line that completed no box";
                return false;
            }
            const int line = dabtools::parse_line_code(code.c_str());
            if (line < 0) {
                why = quoted + ": " + code + " names no line of the board";
                return false;
            }
            if (board.drawn[line]) {
                why = quoted + ": " + code + " is already drawn";
                return false;
            }
            completed = board.draw(line, turn.colour + 1) > 0;
            turn.lines.push_back(line);
        }
        // A turn that ends on a completed box is cut short: only the last one may be.
        open = completed && !board.full();
        if (!completed) to_move = 1 - to_move;
        g.turns.push_back(turn);
    }
    return true;
}

} // namespace

namespace {

bool read_fields(const Json& r, DabRecord& out, std::string& why) {
    out = DabRecord{};
    if (!check_game_record(r, "turns", "a Dots-and-Boxes", why)) return false;
    DabGame& g = out.game;
    read_players(r, out.number, g.labels, g.names);
    dabtools::Board board;
    if (!replay_turns(r["turns"], g, board, why)) return false;
    const std::vector<std::string> moves = read_opening(r, out.opening_source);
    // The opening's lines are the first turns, one line each.
    for (size_t i = 0; i < moves.size(); ++i)
        if (i >= g.turns.size() || g.turns[i].lines.size() != 1 ||
            dabtools::line_code(g.turns[i].lines[0]) != moves[i]) {
            why = "the opening's move " + std::to_string(i + 1) + " '" + moves[i] +
                  "' is not turn " + std::to_string(i + 1);
            return false;
        }
    out.opening_plies = static_cast<int>(moves.size());
    for (int c = 0; c < 2; ++c) g.score[c] = board.score[c + 1];
    if (r.contains("score") && r["score"].is_object()) {
        for (int c = 0; c < 2; ++c) {
            const Json& s = r["score"].value(kColours[c], Json());
            if (!s.is_number_integer() || s.get<int>() != g.score[c]) {
                why = "its score " + r["score"].dump() + " is not the boxes its turns take (" +
                      std::to_string(g.score[0]) + "-" + std::to_string(g.score[1]) + ")";
                return false;
            }
        }
    }
    g.winner = r.contains("winner") ? colour_of(r["winner"]) : -1;
    g.reason = text_or_empty(r, "reason");
    read_notes_and_fault(r, g.summary, out.fault_text);
    out.over = board.full() || g.winner >= 0;
    return true;
}

} // namespace

bool read_dab_record(const Json& r, DabRecord& out, std::string& why) {
    return read_guarded(read_fields, r, out, why);
}

} // namespace game_records
