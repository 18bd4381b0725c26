// An engine that plays fair lines until its second turn (or, for "stop", its first chance
// to take a box), then commits the fault its argument names ("fair": none). The referee's
// tests play it.
// It takes "history" (the game so far) and counts its turns from there; "nohistory" does
// not know the command and says nothing to it.
#include "dab_board.h"
#include "strategy.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

namespace {

using dabtools::Board;
using dabtools::line_code;

void sleep_ms(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: dab-faulty-engine KIND [late-ms]\n");
        return 2;
    }
    const std::string kind = argv[1];
    const int late_ms = argc > 2 ? std::atoi(argv[2]) : 3000;
    dabtools::Strategy fair(dabtools::Kind::Greedy, 7);
    Board board;
    int turns = 0;
    std::string word;

    // Its turn: fair lines, or at its second turn the fault its kind names.
    auto play_turn = [&]() {
        ++turns;
        std::vector<int> take = dabtools::completing_lines(board);
        if (kind == "stop" && !take.empty() && board.lines_drawn < dabtools::LINES - 1) {
            board.draw(take[0], 1);
            std::printf("move 1 %s\n", line_code(take[0]).c_str());
            return;
        }
        if (turns == 2 && kind != "stop" && kind != "fair" && kind != "nohistory") {
            if (kind == "silent") {
                for (;;) sleep_ms(1000);
            } else if (kind == "exit") {
                std::exit(3);
            } else if (kind == "exit0") {
                std::exit(0);
            } else if (kind == "abort") {
                std::abort();
            } else if (kind == "closed") {
                std::fclose(stdout);
                while (std::cin >> word) {
                }
                std::exit(0);
            } else if (kind == "flood") {
                // Output without a line end, far more than a reply can hold.
                std::string junk(200000, 'x');
                std::fputs(junk.c_str(), stdout);
                std::fflush(stdout);
                for (;;) sleep_ms(1000);
            } else if (kind == "garbage") {
                std::printf("hello there, I am thinking\n");
            } else if (kind == "drawn") {
                for (int line = 0; line < dabtools::LINES; ++line)
                    if (board.drawn[line]) {
                        std::printf("move 1 %s\n", line_code(line).c_str());
                        break;
                    }
            } else if (kind == "illegal") {
                std::printf("move 1 AGA\n");
            } else if (kind == "count") {
                std::printf("move 2 %s\n", line_code(fair.choose(board, false)).c_str());
            } else if (kind == "continue") {
                // A line that completes nothing, then another one.
                std::vector<int> safe = dabtools::safe_lines(board);
                int first = safe.at(0);
                board.draw(first, 1);
                int second = fair.choose(board, false);
                std::printf("move 2 %s%s\n", line_code(first).c_str(), line_code(second).c_str());
            } else if (kind == "late") {
                sleep_ms(late_ms);
            }
            if (kind != "late") return;
        }
        std::string reply;
        int n = 0;
        bool completed;
        do {
            int line = fair.choose(board, false);
            completed = board.draw(line, 1) > 0;
            reply += line_code(line);
            ++n;
        } while (completed && !board.full());
        std::printf("move %d %s\n", n, reply.c_str());
    };

    while (std::cin >> word) {
        if (word == "name?") {
            std::printf("name faulty-%s\n", kind.c_str());
        } else if (word == "new") {
            std::string colour;
            std::cin >> colour;
            board = Board();
            turns = 0;
            if (colour == "black") {
                int line = fair.choose(board, true);
                board.draw(line, 1);
                std::printf("move 1 %s\n", line_code(line).c_str());
                ++turns;
            }
            std::fputs(board.engine_picture().c_str(), stdout);
        } else if (word == "history" && kind != "nohistory") {
            // The game so far, whose lines follow from the rules: the opener draws first, a
            // line that completes a box is followed by its drawer's next line.
            std::string colour, codes;
            int count = 0;
            std::cin >> colour >> count >> codes;
            board = Board();
            turns = 0;
            int player = colour == "black" ? 1 : 2;
            for (size_t i = 0; i + 3 <= codes.size() && count > 0; i += 3) {
                int line = dabtools::parse_line_code(codes.c_str() + i);
                if (line < 0 || board.drawn[line]) break;
                if (board.draw(line, player) == 0) player = 3 - player;
            }
            std::printf("history ok\n");
            if (player == 1 && !board.full())
                play_turn();
            else
                std::fputs(board.engine_picture().c_str(), stdout);
        } else if (word == "move") {
            int count = 0;
            std::string codes;
            std::cin >> count >> codes;
            for (size_t i = 0; i + 3 <= codes.size(); i += 3) {
                int line = dabtools::parse_line_code(codes.c_str() + i);
                if (line >= 0 && !board.drawn[line]) board.draw(line, 2);
            }
            if (board.full()) return 0;
            play_turn();
        } else if (word == "quit") {
            std::printf("Quit!\n");
            std::fflush(stdout);
            return 0;
        }
        std::fflush(stdout);
    }
    return 0;
}
