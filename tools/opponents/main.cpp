// dab-opponent: a small Dots and Boxes engine for matches against the referee's players.
// Speaks the engine protocol on its standard streams and prints the same board picture.
#include "dab_board.h"
#include "strategy.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

using dabtools::Board;

// The 21-line picture: boxes won by this engine marked 'c', by its opponent 'H'.
void print_board(const Board& board) {
    for (int r = 0; r <= 5; ++r) {
        std::string dots = "*";
        for (int c = 0; c < 5; ++c) dots += board.drawn[r * 5 + c] ? "----*" : "    *";
        std::printf("%s\n", dots.c_str());
        if (r == 5) break;
        std::string side, middle;
        for (int c = 0; c <= 5; ++c) {
            char v = board.drawn[30 + r * 6 + c] ? '|' : ' ';
            side += v;
            middle += v;
            if (c == 5) break;
            side += "    ";
            int o = board.owner[r * 5 + c];
            middle += "  ";
            middle += o == 1 ? 'c' : o == 2 ? 'H' : ' ';
            middle += ' ';
        }
        std::printf("%s\n%s\n%s\n", side.c_str(), middle.c_str(), side.c_str());
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    dabtools::Kind kind;
    if (argc < 2 || !dabtools::parse_kind(argv[1], kind)) {
        std::fprintf(stderr, "usage: dab-opponent random|greedy|chain [--seed N]\n");
        return 2;
    }
    uint32_t seed = static_cast<uint32_t>(
        std::chrono::system_clock::now().time_since_epoch().count() % 1000000007);
    for (int i = 2; i + 1 < argc; i += 2)
        if (std::string(argv[i]) == "--seed")
            seed = static_cast<uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
    dabtools::Strategy strategy(kind, seed);
    Board board;
    bool opened = false;
    std::string word;
    while (std::cin >> word) {
        if (word == "name?") {
            std::printf("name %s\n", argv[1]);
        } else if (word == "new") {
            std::string colour;
            std::cin >> colour;
            board = Board();
            opened = colour == "black";
            if (opened) {
                int line = strategy.choose(board, opened);
                board.draw(line, 1);
                std::printf("move 1 %s\n", dabtools::line_code(line).c_str());
            }
            print_board(board);
        } else if (word == "move") {
            int count = 0;
            std::string codes;
            std::cin >> count >> codes;
            // Input is not trusted: a code that names no undrawn line is skipped.
            for (size_t i = 0; i + 3 <= codes.size() && i < static_cast<size_t>(count) * 3;
                 i += 3) {
                int line = dabtools::parse_line_code(codes.c_str() + i);
                if (line >= 0 && !board.drawn[line]) board.draw(line, 2);
            }
            print_board(board);
            if (board.full()) return 0;
            std::string reply;
            int n = 0;
            bool completed;
            do {
                int line = strategy.choose(board, opened);
                completed = board.draw(line, 1) > 0;
                reply += dabtools::line_code(line);
                ++n;
            } while (completed && !board.full());
            std::printf("round1=%d\nmove %d %s\n", board.lines_drawn + 1, n, reply.c_str());
            print_board(board);
        } else if (word == "quit") {
            std::printf("Quit!\n");
            std::fflush(stdout);
            return 0;
        }
        std::fflush(stdout);
    }
    return 0;
}
