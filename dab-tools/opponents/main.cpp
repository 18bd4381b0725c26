// dab-opponent: a small Dots and Boxes engine for matches against the referee's players.
// Speaks the engine protocol on its standard streams and prints the same board picture.
#include "dab_board.h"
#include "strategy.h"
#include "version.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

using dabtools::Board;

void print_board(const Board& board) {
    std::fputs(board.engine_picture().c_str(), stdout);
    std::fflush(stdout);
}

// Our turn: lines until one completes no box or the board is full, then the reply.
void play_turn(Board& board, dabtools::Strategy& strategy, bool opened) {
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
}

// "history COLOUR N CODES": the game so far, replayed on a fresh board with each line drawn
// for its owner (the opener first; a line that completes a box keeps the turn). Returns
// false, with why, when the words are not a game in progress; board is then untouched.
bool read_history(const std::string& colour, const std::string& count_word,
                  const std::string& codes, Board& board, bool& opened, bool& our_turn,
                  std::string& why) {
    if (colour != "black" && colour != "white") {
        why = "the colour \"" + colour.substr(0, 20) + "\" is neither black nor white";
        return false;
    }
    int count = 0;
    bool digits = !count_word.empty() && count_word.size() <= 2;
    for (char c : count_word) digits = digits && c >= '0' && c <= '9';
    if (digits) count = std::stoi(count_word);
    if (!digits || count >= dabtools::LINES) {
        why = "the number of lines must be 0 to 59";
        return false;
    }
    if (count == 0 ? codes != "-" : codes.size() != 3 * static_cast<size_t>(count)) {
        why = std::to_string(count) + " lines do not match the codes \"" + codes.substr(0, 20) +
              (codes.size() > 20 ? "...\"" : "\"");
        return false;
    }
    Board replay;
    int side = colour == "black" ? 1 : 2;
    for (int i = 0; i < count; ++i) {
        int line = dabtools::parse_line_code(codes.c_str() + 3 * i);
        if (line < 0 || replay.drawn[line]) {
            why = "line " + std::to_string(i + 1) + " \"" + codes.substr(3 * i, 3) + "\" " +
                  (line < 0 ? "names no line of the board" : "was already drawn");
            return false;
        }
        if (replay.draw(line, side) == 0) side = 3 - side;
    }
    board = replay;
    opened = colour == "black";
    our_turn = side == 1;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    dabtools::Kind kind;
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::printf("dab-opponent %s\n", project_version::text());
        return 0;
    }
    if (argc < 2 || !dabtools::parse_kind(argv[1], kind)) {
        std::fprintf(stderr, "usage: dab-opponent random|greedy|chain [--seed N] | --version\n");
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
            play_turn(board, strategy, opened);
        } else if (word == "history") {
            std::string colour, count, codes, why;
            std::cin >> colour >> count >> codes;
            bool our_turn = false;
            if (!read_history(colour, count, codes, board, opened, our_turn, why)) {
                std::fprintf(stderr, "dab-opponent: history refused: %s\n", why.c_str());
                std::printf("history refused\n");
            } else {
                std::printf("history ok\n");
                if (our_turn)
                    play_turn(board, strategy, opened);
                else
                    print_board(board);
            }
        } else if (word == "quit") {
            std::printf("Quit!\n");
            std::fflush(stdout);
            return 0;
        }
        std::fflush(stdout);
    }
    return 0;
}
