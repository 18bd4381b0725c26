#include "safe_openings.h"

#include <random>

namespace dabtools {

bool is_safe_line(const Board& board, int line) {
    if (line < 0 || line >= LINES || board.drawn[line]) return false;
    for (int box : Board::boxes_of(line))
        if (box >= 0 && board.sides_drawn(box) >= 2) return false;
    return true;
}

bool check_opening(const std::vector<std::string>& moves, std::string& why) {
    Board board;
    for (size_t i = 0; i < moves.size(); ++i) {
        const std::string& code = moves[i];
        const std::string where = "move " + std::to_string(i + 1) + " '" + code + "': ";
        const int line = code.size() == 3 ? parse_line_code(code.c_str()) : -1;
        if (line < 0) {
            why = where + "not a line code (A or B, a letter A to F, a letter A to E)";
            return false;
        }
        if (board.drawn[line]) {
            why = where + "drawn before";
            return false;
        }
        if (!is_safe_line(board, line)) {
            why = where + "not safe: it gives a box its third side";
            return false;
        }
        board.draw(line, 1 + static_cast<int>(i % 2));
    }
    return true;
}

std::vector<std::string> random_opening(int plies, uint64_t seed) {
    // mt19937_64's output is fixed by the standard; a plain remainder keeps the choice so
    // (the distributions of the standard library differ between libraries).
    std::mt19937_64 rng(seed);
    Board board;
    std::vector<std::string> out;
    for (int ply = 0; ply < plies; ++ply) {
        std::vector<int> safe;
        for (int line = 0; line < LINES; ++line)
            if (is_safe_line(board, line)) safe.push_back(line);
        if (safe.empty()) break;
        const int line = safe[static_cast<size_t>(rng() % safe.size())];
        board.draw(line, 1 + ply % 2);
        out.push_back(line_code(line));
    }
    return out;
}

std::vector<int> opening_lines(const std::vector<std::string>& moves) {
    std::vector<int> lines;
    for (const std::string& code : moves)
        if (code.size() == 3) lines.push_back(parse_line_code(code.c_str()));
    return lines;
}

} // namespace dabtools
