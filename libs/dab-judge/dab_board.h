// A plain Dots and Boxes board of 6 x 6 dots for the tools: 60 lines, 25 boxes and who owns
// each box. Lines are numbered 0..29 for the horizontal lines (dot row a, box column b:
// a * 5 + b) and 30..59 for the vertical lines (box row a, dot column b: 30 + a * 6 + b).
#pragma once

#include <array>
#include <string>

namespace dabtools {

constexpr int LINES = 60;
constexpr int BOXES = 25;

// The code of a line on the wire: three capital letters.
std::string line_code(int line);
// The line a code names, or -1 if it names none. Reads three characters at code.
int parse_line_code(const char* code);

struct Board {
    std::array<bool, LINES> drawn{};
    std::array<int, BOXES> owner{}; // 0 nobody yet, else the player (1 or 2) who completed it
    int lines_drawn = 0;
    int score[3] = {0, 0, 0};

    // The four sides of a box: top, bottom, left, right.
    static std::array<int, 4> sides(int box);
    // The one or two boxes beside a line; -1 where the line is on the border.
    static std::array<int, 2> boxes_of(int line);

    int sides_drawn(int box) const;
    // Draws an undrawn line for player 1 or 2; returns how many boxes it completed.
    int draw(int line, int player);
    bool full() const { return lines_drawn == LINES; }

    // The 21-line picture an engine prints: boxes of player 1 marked 'c', of player 2 'H'.
    std::string engine_picture() const;
    // A picture of 11 text lines, boxes marked with the given letters for players 1 and 2.
    std::string picture(char mark1, char mark2) const;
};

} // namespace dabtools
