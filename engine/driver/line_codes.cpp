#include "driver/line_codes.h"

namespace {
inline bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
} // namespace

Move decode_move(const char* code) {
    int c0 = code[0], c1 = code[1], c2 = code[2];
    if (c0 == 'A') return Move{0, c1 - 'A', c2 - 'A'};
    return Move{c0 - 'A', c2 - 'A', c1 - 'A'};
}

void encode_move(const Move& m, char* code) {
    if (m.orient == 0) {
        code[0] = 'A';
        code[1] = static_cast<char>('A' + m.a);
        code[2] = static_cast<char>('A' + m.b);
    } else {
        code[0] = static_cast<char>('A' + m.orient);
        code[1] = static_cast<char>('A' + m.b);
        code[2] = static_cast<char>('A' + m.a);
    }
    code[3] = 0;
}

int decode_lines(const char* text, Move* out, int room) {
    int n = 0;
    const char* c = text;
    while (n < room) {
        while (is_blank(*c)) ++c;
        if (c[0] == 0 || c[1] == 0 || c[2] == 0) break;
        out[n++] = decode_move(c);
        c += 3;
    }
    return n;
}
