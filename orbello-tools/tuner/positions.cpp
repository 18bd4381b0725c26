#include "positions.h"

#include "protocol/session.h"
#include "search/evaluation.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace orbello_tuner {

using namespace orbello_engine;

namespace {

// Where the value of "key" starts in a one-line JSON object, or npos. The referee writes
// flat keys once each, so a textual search suffices.
std::size_t ValueAt(const std::string& line, const std::string& key) {
    const std::string quoted = "\"" + key + "\":";
    const std::size_t at = line.find(quoted);
    return at == std::string::npos ? at : at + quoted.size();
}

// A JSON string starting at line[at] (its opening quote); advances at past it.
bool ReadString(const std::string& line, std::size_t& at, std::string& out) {
    if (at >= line.size() || line[at] != '"') return false;
    out.clear();
    for (++at; at < line.size(); ++at) {
        char c = line[at];
        if (c == '"') {
            ++at;
            return true;
        }
        if (c == '\\') {
            if (++at >= line.size()) return false;
            c = line[at];
            if (c == 'u') {
                // The referee escapes control characters only; no move text holds one.
                if (at + 4 >= line.size()) return false;
                c = static_cast<char>(std::strtol(line.substr(at + 1, 4).c_str(), nullptr, 16));
                at += 4;
            } else if (c != '"' && c != '\\' && c != '/') {
                return false;
            }
        }
        out += c;
    }
    return false;
}

int SearchLeaf(const Position& p, int alpha, int beta, int depth, Position& leaf) {
    leaf = p;
    if (p.pieces[p.side] == 0) return -1000000;
    const int standPat = Evaluate(p);
    if (standPat >= beta || depth == 0) return standPat;
    alpha = std::max(alpha, standPat);
    Move moves[MAX_MOVES];
    const int n = GenerateMoves(p, moves, true);
    for (int i = 0; i < n; ++i) {
        Position childLeaf;
        const int score = -SearchLeaf(MakeMoveOn(p, moves[i]), -beta, -alpha, depth - 1, childLeaf);
        if (score > alpha) {
            alpha = score;
            leaf = childLeaf;
            if (score >= beta) break;
        }
    }
    return alpha;
}

} // namespace

bool ReadGameRecord(const std::string& line, GameRecord& out, std::string& why) {
    why.clear();
    if (line.find("\"type\":\"game\"") == std::string::npos) return false;
    out = GameRecord();
    std::size_t at = ValueAt(line, "result");
    std::string result;
    if (at == std::string::npos || !ReadString(line, at, result)) {
        why = "no result";
        return false;
    }
    if (result == "black")
        out.blackPoints = 1;
    else if (result == "white")
        out.blackPoints = 0;
    else if (result == "draw")
        out.blackPoints = 0.5;
    else
        return false; // a game stopped by an error: no result to learn from

    at = ValueAt(line, "bases");
    if (at != std::string::npos) {
        if (std::sscanf(line.c_str() + at, "[%d,%d]", &out.baseX, &out.baseY) != 2) {
            why = "unreadable bases";
            return false;
        }
    }
    at = ValueAt(line, "moves");
    if (at == std::string::npos || at >= line.size() || line[at] != '[') {
        why = "no move list";
        return false;
    }
    ++at;
    while (at < line.size() && line[at] != ']') {
        std::string move;
        if (!ReadString(line, at, move)) {
            why = "unreadable move list";
            return false;
        }
        out.moves.push_back(move);
        if (at < line.size() && line[at] == ',') ++at;
    }
    if (at >= line.size()) {
        why = "unterminated move list";
        return false;
    }
    return true;
}

bool ReplayGame(const GameRecord& game, std::vector<Position>& out, std::string& why) {
    InitTables();
    out.clear();
    Position p = StartPosition();
    for (std::size_t i = 0; i < game.moves.size(); ++i) {
        out.push_back(p);
        int from = 0, to = 0;
        Move chosen = NO_MOVE;
        if (ParseMoveText("move " + game.moves[i], game.baseX, game.baseY, from, to)) {
            Move moves[MAX_MOVES];
            const int n = GenerateMoves(p, moves);
            for (int m = 0; m < n; ++m)
                if (MoveFrom(moves[m]) == from && MoveTo(moves[m]) == to) chosen = moves[m];
        }
        if (chosen == NO_MOVE) {
            why = "move " + std::to_string(i + 1) + " \"" + game.moves[i] + "\" is not legal in " +
                  FormatPosition(p);
            return false;
        }
        p = MakeMoveOn(p, chosen);
    }
    out.push_back(p);
    return true;
}

Position QuietLeaf(const Position& p) {
    Position leaf;
    // Deep enough for any exchange the games hold; the bound only guards the time.
    SearchLeaf(p, -1000001, 1000001, 16, leaf);
    return leaf;
}

double MoverPoints(const Labelled& l) {
    return l.position.side == 0 ? l.blackPoints : 1 - l.blackPoints;
}

std::string FormatLabelled(const Labelled& l) {
    std::ostringstream o;
    o << FormatPosition(l.position) << ' ' << l.blackPoints << ' ' << l.game;
    return o.str();
}

bool ParseLabelled(const std::string& line, Labelled& out) {
    // The position holds one space, before its side to move.
    const std::size_t at = line.find(' ', line.find(' ') + 1);
    if (at == std::string::npos || !ParsePosition(line.substr(0, at), out.position)) return false;
    std::istringstream rest(line.substr(at + 1));
    std::string extra;
    if (!(rest >> out.blackPoints >> out.game) || (rest >> extra)) return false;
    return out.blackPoints == 0 || out.blackPoints == 0.5 || out.blackPoints == 1;
}

} // namespace orbello_tuner
