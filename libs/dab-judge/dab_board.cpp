#include "dab_board.h"

namespace dabtools {

std::string line_code(int line) {
    std::string code(3, 'A');
    if (line < 30) {
        code[1] = static_cast<char>('A' + line / 5);
        code[2] = static_cast<char>('A' + line % 5);
    } else {
        int v = line - 30;
        code[0] = 'B';
        code[1] = static_cast<char>('A' + v % 6); // dot column
        code[2] = static_cast<char>('A' + v / 6); // box row
    }
    return code;
}

int parse_line_code(const char* code) {
    int c1 = code[1] - 'A', c2 = code[2] - 'A';
    if (code[0] == 'A' && c1 >= 0 && c1 <= 5 && c2 >= 0 && c2 <= 4) return c1 * 5 + c2;
    if (code[0] == 'B' && c1 >= 0 && c1 <= 5 && c2 >= 0 && c2 <= 4) return 30 + c2 * 6 + c1;
    return -1;
}

std::array<int, 4> Board::sides(int box) {
    int r = box / 5, c = box % 5;
    return {r * 5 + c, (r + 1) * 5 + c, 30 + r * 6 + c, 30 + r * 6 + c + 1};
}

std::array<int, 2> Board::boxes_of(int line) {
    if (line < 30) {
        int a = line / 5, b = line % 5;
        return {a > 0 ? (a - 1) * 5 + b : -1, a < 5 ? a * 5 + b : -1};
    }
    int a = (line - 30) / 6, b = (line - 30) % 6;
    return {b > 0 ? a * 5 + b - 1 : -1, b < 5 ? a * 5 + b : -1};
}

int Board::sides_drawn(int box) const {
    int n = 0;
    for (int s : sides(box)) n += drawn[s];
    return n;
}

int Board::draw(int line, int player) {
    drawn[line] = true;
    ++lines_drawn;
    int completed = 0;
    for (int box : boxes_of(line)) {
        if (box >= 0 && sides_drawn(box) == 4) {
            owner[box] = player;
            ++score[player];
            ++completed;
        }
    }
    return completed;
}

std::string Board::engine_picture() const {
    std::string out;
    for (int r = 0; r <= 5; ++r) {
        out += '*';
        for (int c = 0; c < 5; ++c) out += drawn[r * 5 + c] ? "----*" : "    *";
        out += '\n';
        if (r == 5) break;
        std::string side, middle;
        for (int c = 0; c <= 5; ++c) {
            char v = drawn[30 + r * 6 + c] ? '|' : ' ';
            side += v;
            middle += v;
            if (c == 5) break;
            side += "    ";
            int o = owner[r * 5 + c];
            middle += "  ";
            middle += o == 1 ? 'c' : o == 2 ? 'H' : ' ';
            middle += ' ';
        }
        out += side + "\n" + middle + "\n" + side + "\n";
    }
    return out;
}

std::string Board::picture(char mark1, char mark2) const {
    std::string out;
    for (int r = 0; r <= 5; ++r) {
        out += '*';
        for (int c = 0; c < 5; ++c) out += drawn[r * 5 + c] ? "---*" : "   *";
        out += '\n';
        if (r == 5) break;
        for (int c = 0; c <= 5; ++c) {
            out += drawn[30 + r * 6 + c] ? '|' : ' ';
            if (c == 5) break;
            int o = owner[r * 5 + c];
            out += ' ';
            out += o == 1 ? mark1 : o == 2 ? mark2 : ' ';
            out += ' ';
        }
        out += '\n';
    }
    return out;
}

} // namespace dabtools
