#include "rules/openings.h"

#include <random>

namespace orbello_rules {
namespace {

// The move a text names, or false when it names no two points of the board.
bool parse(const std::string& text, MoveRecord& r) {
    if (text.size() != 4) return false;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        v[i] = text[i] - 'A';
        if (v[i] < 0 || v[i] >= BOARD_SIZE) return false;
    }
    r = MoveRecord{v[0], v[1], v[2], v[3], false, BLACK};
    return true;
}

} // namespace

std::string opening_move_text(const Move& m) {
    return {static_cast<char>('A' + m.fromX), static_cast<char>('A' + m.fromY),
            static_cast<char>('A' + m.toX), static_cast<char>('A' + m.toY)};
}

bool check_opening(const std::vector<std::string>& moves, std::string& why) {
    Cells board;
    SetInitialPosition(board);
    int side = BLACK;
    for (size_t i = 0; i < moves.size(); ++i) {
        const std::string where = "move " + std::to_string(i + 1) + " '" + moves[i] + "': ";
        MoveRecord r;
        if (!parse(moves[i], r)) {
            why = where + "not a move (four letters A to F: source column and row, target "
                          "column and row)";
            return false;
        }
        r.side = side;
        if (!IsLegalMove(board, r, nullptr)) {
            why = where + "not a legal move of " + (side == BLACK ? "Black" : "White");
            return false;
        }
        ApplyMove(board, r);
        side = 1 - side;
        if (IsGameOver(board)) {
            why = where + "ends the game";
            return false;
        }
    }
    return true;
}

std::vector<std::string> random_opening(int plies, std::uint64_t seed) {
    // mt19937_64's output is fixed by the standard; a plain remainder keeps the choice so
    // (the distributions of the standard library differ between libraries).
    std::mt19937_64 rng(seed);
    Cells board;
    SetInitialPosition(board);
    int side = BLACK;
    std::vector<std::string> out;
    std::vector<Move> legal;
    for (int ply = 0; ply < plies; ++ply) {
        LegalMoves(board, side, legal);
        if (legal.empty()) break;
        const Move m = legal[static_cast<size_t>(rng() % legal.size())];
        MoveRecord r{m.fromX, m.fromY, m.toX, m.toY, false, side};
        ApplyMove(board, r);
        if (IsGameOver(board)) break;
        out.push_back(opening_move_text(m));
        side = 1 - side;
    }
    return out;
}

void play_opening(const std::vector<std::string>& moves, Cells& board, int& side) {
    SetInitialPosition(board);
    side = BLACK;
    for (const std::string& text : moves) {
        MoveRecord r;
        if (!parse(text, r)) return;
        r.side = side;
        ApplyMove(board, r);
        side = 1 - side;
    }
}

} // namespace orbello_rules
