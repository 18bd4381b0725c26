// An Orbello engine for the referee's tests of openings: it keeps the game by the rules core
// and plays, of the legal moves, the one at (SEED + its move count) modulo their number, so
// its games are the same for the same seed. It takes "history" (the game so far, Black
// first) and answers "history ok"; "nohistory" as second argument makes it know nothing of
// the command. Move text with the bases A.
//   orbello-rules-engine SEED [nohistory]
#include "rules/rules.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace orbello_rules;

bool apply_text(Cells& board, const std::string& text, int side) {
    if (text.size() < 4) return false;
    MoveRecord r{text[0] - 'A', text[1] - 'A', text[2] - 'A', text[3] - 'A', false, side};
    for (int v : {r.fromX, r.fromY, r.toX, r.toY})
        if (v < 0 || v >= BOARD_SIZE) return false;
    if (!IsLegalMove(board, r, nullptr)) return false;
    ApplyMove(board, r);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const long seed = argc > 1 ? std::atol(argv[1]) : 0;
    const bool history = !(argc > 2 && std::strcmp(argv[2], "nohistory") == 0);
    Cells board;
    SetInitialPosition(board);
    int mine = WHITE, played = 0;
    auto play = [&]() {
        std::vector<Move> moves;
        LegalMoves(board, mine, moves);
        if (moves.empty() || IsGameOver(board)) return;
        const Move& m = moves[static_cast<size_t>(seed + played) % moves.size()];
        ++played;
        MoveRecord r{m.fromX, m.fromY, m.toX, m.toY, false, mine};
        ApplyMove(board, r);
        std::printf("move %c%c%c%c\n", 'A' + m.fromX, 'A' + m.fromY, 'A' + m.toX, 'A' + m.toY);
        std::fflush(stdout);
    };
    char buf[4096];
    while (std::fgets(buf, sizeof buf, stdin)) {
        std::istringstream in(buf);
        std::string word;
        in >> word;
        if (word == "name?") {
            std::printf("name rules-engine\n");
            std::fflush(stdout);
        } else if (word == "new") {
            std::string colour;
            in >> colour;
            SetInitialPosition(board);
            mine = colour == "black" ? BLACK : WHITE;
            played = 0;
            if (mine == BLACK) play();
        } else if (word == "history" && history) {
            std::string colour, text;
            int count = 0;
            in >> colour >> count;
            SetInitialPosition(board);
            mine = colour == "black" ? BLACK : WHITE;
            played = 0;
            int side = BLACK;
            bool ok = true;
            for (int i = 0; i < count && ok; ++i, side = 1 - side)
                ok = static_cast<bool>(in >> text) && apply_text(board, text, side);
            std::printf(ok ? "history ok\n" : "history refused\n");
            std::fflush(stdout);
            if (ok && side == mine) play();
        } else if (word == "move") {
            std::string text;
            in >> text;
            if (apply_text(board, text, 1 - mine) && !IsGameOver(board)) play();
        } else if (word == "quit") {
            return 0;
        }
    }
    return 0;
}
