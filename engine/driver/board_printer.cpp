// Made only of the glyphs that line placement keeps; it computes nothing.
#include "driver/board_printer.h"

#include "model/position.h"

namespace {

void end_line(std::FILE* out, char* line, int length) {
    line[length] = '\n';
    std::fwrite(line, 1, static_cast<size_t>(length + 1), out);
    std::fflush(out);
}

void dot_line(std::FILE* out, int a) {
    char line[27];
    int n = 0;
    line[n++] = '*';
    for (int b = 0; b < 5; ++b) {
        for (int k = 0; k < 4; ++k) line[n++] = hline_glyph[a * 5 + b];
        line[n++] = '*';
    }
    end_line(out, line, n);
}

void side_line(std::FILE* out, int r) {
    char line[27];
    int n = 0;
    line[n++] = vline_glyph[r * 6];
    for (int c = 1; c <= 5; ++c) {
        for (int k = 0; k < 4; ++k) line[n++] = ' ';
        line[n++] = vline_glyph[r * 6 + c];
    }
    end_line(out, line, n);
}

void middle_line(std::FILE* out, int r) {
    char line[27];
    int n = 0;
    line[n++] = vline_glyph[r * 6];
    for (int c = 0; c < 5; ++c) {
        line[n++] = ' ';
        line[n++] = ' ';
        line[n++] = box_glyph[r * 5 + c];
        line[n++] = ' ';
        line[n++] = vline_glyph[r * 6 + c + 1];
    }
    end_line(out, line, n);
}

} // namespace

void print_board(std::FILE* out) {
    for (int r = 0; r < 5; ++r) {
        dot_line(out, r);
        side_line(out, r);
        middle_line(out, r);
        side_line(out, r);
    }
    dot_line(out, 5);
}
