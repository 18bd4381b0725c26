#include "protocol/history.h"

#include <sstream>

namespace orbello_engine {

void AdvanceGame(Position& position, std::vector<std::uint64_t>& keys, Move m) {
    if (IsCapture(m))
        keys.clear();
    else
        keys.push_back(position.key);
    position = MakeMoveOn(position, m);
}

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i])) ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// A count of plain decimal digits within 0..MAX_HISTORY_MOVES.
bool ReadCount(const std::string& word, int& count) {
    if (word.empty() || word.size() > 6) return false;
    count = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
        count = count * 10 + (c - '0');
    }
    return count <= MAX_HISTORY_MOVES;
}

} // namespace

bool ReplayHistory(const std::string& line, int baseX, int baseY, ReplayedGame& game,
                   std::string& why) {
    const std::vector<std::string> words = Words(line);
    std::ostringstream problem;
    int count = 0;
    if (words.size() < 3 || words[0] != "history") {
        why = "a history is \"history black|white N\" and N moves";
        return false;
    }
    if (words[1] != "black" && words[1] != "white") {
        why = "the colour \"" + words[1].substr(0, 20) + "\" is neither black nor white";
        return false;
    }
    if (!ReadCount(words[2], count)) {
        why = "the number of moves must be 0 to " + std::to_string(MAX_HISTORY_MOVES);
        return false;
    }
    const std::size_t given = words.size() - 3;
    if (given != static_cast<std::size_t>(count)) {
        problem << count << " moves announced, " << given << " given";
        why = problem.str();
        return false;
    }
    ReplayedGame g;
    g.engineSide = words[1] == "black" ? 0 : 1;
    g.position = StartPosition();
    for (int i = 0; i < count; ++i) {
        const std::string& w = words[3 + static_cast<std::size_t>(i)];
        int v[4] = {-1, -1, -1, -1};
        if (w.size() == 4)
            for (int k = 0; k < 4; ++k) {
                v[k] = static_cast<signed char>(w[static_cast<std::size_t>(k)]) -
                       (k % 2 == 0 ? baseX : baseY);
                if (v[k] < 0 || v[k] > 5) v[k] = -1;
            }
        if (v[0] < 0 || v[1] < 0 || v[2] < 0 || v[3] < 0) {
            problem << "move " << i + 1 << " \"" << w.substr(0, 20)
                    << "\" is not four coordinate characters";
            why = problem.str();
            return false;
        }
        Move moves[MAX_MOVES];
        const int n = GenerateMoves(g.position, moves);
        Move m = NO_MOVE;
        for (int k = 0; k < n; ++k)
            if (MoveFrom(moves[k]) == Square(v[0], v[1]) && MoveTo(moves[k]) == Square(v[2], v[3]))
                m = moves[k];
        if (m == NO_MOVE) {
            problem << "move " << i + 1 << " \"" << w << "\" is not legal for "
                    << (g.position.side == 0 ? "black" : "white") << " on "
                    << FormatPosition(g.position);
            why = problem.str();
            return false;
        }
        AdvanceGame(g.position, g.keys, m);
    }
    if (g.position.pieces[0] == 0 || g.position.pieces[1] == 0) {
        why = "the game is over: " + std::string(g.position.pieces[0] == 0 ? "black" : "white") +
              " has no pieces left";
        return false;
    }
    game = g;
    return true;
}

} // namespace orbello_engine
