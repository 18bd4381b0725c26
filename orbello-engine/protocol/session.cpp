#include "protocol/session.h"

#include "protocol/history.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <ostream>

namespace orbello_engine {

std::string MoveText(Move m, int baseX, int baseY) {
    const int from = MoveFrom(m), to = MoveTo(m);
    std::string s = "move ";
    s += static_cast<char>(baseX + SquareX(from));
    s += static_cast<char>(baseY + SquareY(from));
    s += static_cast<char>(baseX + SquareX(to));
    s += static_cast<char>(baseY + SquareY(to));
    return s;
}

bool ParseMoveText(const std::string& text, int baseX, int baseY, int& from, int& to) {
    // Read as the module reads it: the keyword anywhere, one separator, four characters.
    const std::size_t at = text.find("move");
    if (at == std::string::npos || text.size() < at + 9) return false;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        v[i] = static_cast<signed char>(text[at + 5 + i]) - (i % 2 == 0 ? baseX : baseY);
        if (v[i] < 0 || v[i] > 5) return false;
    }
    from = Square(v[0], v[1]);
    to = Square(v[2], v[3]);
    return true;
}

bool ParseBaseOption(int argc, char** argv, int& i, SessionOptions& options) {
    const std::string a = argv[i];
    if ((a != "--base-x" && a != "--base-y") || i + 1 >= argc) return false;
    const std::string v = argv[i + 1];
    int base = v.size() == 1 ? static_cast<unsigned char>(v[0]) : std::atoi(v.c_str());
    // The same printable range the module accepts from its configuration.
    if (base < 32 || base + 5 > 126) return false;
    (a == "--base-x" ? options.baseX : options.baseY) = base;
    ++i;
    return true;
}

namespace {

struct Game {
    Position position;
    std::vector<std::uint64_t> history; // since the last capture, current position excluded
    int engineSide = -1;                // -1: no game running
    // Our last move, kept until the next line so that "error" can take it back.
    bool moveOut = false;
    Move last = NO_MOVE;
    Position before;
    std::vector<std::uint64_t> historyBefore;
    std::vector<Move> refused;
};

void Apply(Game& g, Move m) {
    AdvanceGame(g.position, g.history, m);
}

Move FindLegal(const Position& p, int from, int to) {
    Move moves[MAX_MOVES];
    const int n = GenerateMoves(p, moves);
    for (int i = 0; i < n; ++i)
        if (MoveFrom(moves[i]) == from && MoveTo(moves[i]) == to) return moves[i];
    return NO_MOVE;
}

} // namespace

int RunSession(std::istream& in, std::ostream& out, std::ostream& err, Player& player,
               const SessionOptions& options) {
    InitTables();
    Game g;
    const std::string& prog = options.program;

    auto play = [&]() {
        Move moves[MAX_MOVES];
        if (GenerateMoves(g.position, moves) == 0) {
            err << prog << ": no legal move on my board" << std::endl;
            return;
        }
        const Move m = player.Choose(g.position, g.history, g.refused);
        g.before = g.position;
        g.historyBefore = g.history;
        g.moveOut = true;
        g.last = m;
        Apply(g, m);
        out << MoveText(m, options.baseX, options.baseY) << "\n" << std::flush;
    };

    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const std::string word = line.substr(0, line.find(' '));
        if (line == "quit") return 0;
        if (line == "name?") {
            out << "name " << options.name << "\n" << std::flush;
            continue;
        }
        if (word == "history") {
            ReplayedGame r;
            std::string why;
            if (!ReplayHistory(line, options.baseX, options.baseY, r, why)) {
                err << prog << ": history refused: " << why << "; keeping my game" << std::endl;
                out << "history refused\n" << std::flush;
                continue;
            }
            g = Game();
            g.position = r.position;
            g.history = r.keys;
            g.engineSide = r.engineSide;
            player.NewGame();
            out << "history ok\n" << std::flush;
            if (g.position.side == g.engineSide) play();
            continue;
        }
        if (word == "new") {
            const std::string colour = line.size() > 4 ? line.substr(4) : "";
            if (colour != "black" && colour != "white") {
                err << prog << ": unknown colour in \"" << line
                    << "\"; expected new black or new white" << std::endl;
                continue;
            }
            g = Game();
            g.position = StartPosition();
            g.engineSide = colour == "black" ? 0 : 1;
            player.NewGame();
            if (g.engineSide == 0) play();
            continue;
        }
        if (line == "end") {
            g.engineSide = -1;
            g.moveOut = false;
            continue;
        }
        if (line == "error") {
            if (g.engineSide < 0 || !g.moveOut) {
                err << prog << ": error with no move of mine to take back; ignored" << std::endl;
                continue;
            }
            g.refused.push_back(g.last);
            g.position = g.before;
            g.history = g.historyBefore;
            g.moveOut = false;
            play();
            continue;
        }
        if (line.find("move") != std::string::npos) {
            if (g.engineSide < 0) {
                err << prog << ": \"" << line << "\" with no game running; ignored" << std::endl;
                continue;
            }
            if (g.position.side == g.engineSide) {
                err << prog << ": \"" << line << "\" while it is my turn; ignored" << std::endl;
                continue;
            }
            int from = 0, to = 0;
            if (!ParseMoveText(line, options.baseX, options.baseY, from, to)) {
                err << prog << ": cannot read a move in \"" << line
                    << "\"; keeping my board, waiting for a move" << std::endl;
                continue;
            }
            const Move m = FindLegal(g.position, from, to);
            if (m == NO_MOVE) {
                err << prog << ": \"" << line << "\" is not a legal move on my board "
                    << FormatPosition(g.position) << "; keeping my board, waiting for a move"
                    << std::endl;
                continue;
            }
            g.moveOut = false;
            g.refused.clear();
            Apply(g, m);
            if (g.position.pieces[g.engineSide] == 0) continue; // lost: "end" follows
            play();
            continue;
        }
        err << prog << ": unknown command \"" << line << "\"; ignored" << std::endl;
    }
    return 0;
}

} // namespace orbello_engine
