#include "engine_reply.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace dabtools {

// Dots, line glyphs, blanks and single owner letters. Running text has letters side by side
// and fails this.
bool is_board_line(const std::string& s) {
    bool mark = false, letter = false;
    for (unsigned char c : s) {
        if (c == '*' || c == '-' || c == '|') {
            mark = true;
            letter = false;
        } else if (c == ' ' || c == '\t' || c == '\r') {
            letter = false;
        } else if (std::isalpha(c)) {
            if (letter) return false;
            letter = true;
        } else {
            return false;
        }
    }
    return mark;
}

bool is_chatter(const std::string& trimmed) {
    return trimmed.empty() || is_board_line(trimmed) || trimmed.rfind("round1=", 0) == 0;
}

int longest_turn(const Board& board) {
    bool open_box = false;
    for (int box = 0; box < BOXES; ++box)
        open_box |= board.owner[box] == 0 && board.sides_drawn(box) == 3;
    int boxes_left = BOXES - board.score[1] - board.score[2];
    return open_box ? std::min(LINES - board.lines_drawn, boxes_left + 1) : 1;
}

std::string move_text(const Reply& reply) {
    return "move " + std::to_string(reply.count) + " " + reply.codes;
}

namespace {

bool parse_int(const std::string& s, int& value) {
    if (s.empty() || s.size() > 9) return false;
    size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
    if (i == s.size()) return false;
    for (size_t k = i; k < s.size(); ++k)
        if (!std::isdigit(static_cast<unsigned char>(s[k]))) return false;
    value = std::stoi(s);
    return true;
}

} // namespace

Fault parse_reply(const std::string& line, Reply& out, std::string& detail) {
    std::vector<std::string> w = words_of(line);
    int count = 0;
    if (w.size() < 2 || w.size() > 3 || !parse_int(w[1], count)) {
        detail = quote(line);
        return Fault::Garbled;
    }
    std::string codes = w.size() == 3 ? w[2] : "";
    for (char c : codes)
        if (c < 'A' || c > 'Z') {
            detail = quote(line);
            return Fault::Garbled;
        }
    if (count < 1 || codes.size() % 3 != 0 || codes.size() / 3 != static_cast<size_t>(count)) {
        detail = quote(line) + " announces " + std::to_string(count) + " lines with " +
                 (codes.size() % 3 ? "a broken code" : std::to_string(codes.size() / 3)) +
                 (codes.size() % 3 ? "" : " codes");
        return Fault::Count;
    }
    out.count = count;
    out.codes = codes;
    return Fault::None;
}

Fault apply_reply(Board& board, int player, const Reply& reply, std::vector<int>& drawn,
                  std::string& detail) {
    const std::string& codes = reply.codes;
    bool completed = false;
    for (int i = 0; i < reply.count; ++i) {
        std::string code = codes.substr(static_cast<size_t>(i) * 3, 3);
        if (i > 0 && !completed) {
            detail = code + " follows " + codes.substr(static_cast<size_t>(i - 1) * 3, 3) +
                     ", which completed no box";
            return Fault::Continued;
        }
        int line = parse_line_code(code.c_str());
        if (line < 0) {
            detail = code + " names no line of the board";
            return Fault::IllegalLine;
        }
        if (board.drawn[line]) {
            detail = code + " is already drawn";
            return Fault::DrawnLine;
        }
        completed = board.draw(line, player) > 0;
        drawn.push_back(line);
    }
    if (completed && !board.full()) {
        detail = codes.substr(codes.size() - 3) + " completed a box but the turn ended";
        return Fault::Stopped;
    }
    return Fault::None;
}

} // namespace dabtools
