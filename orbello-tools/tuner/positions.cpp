#include "positions.h"

#include "protocol/session.h"
#include "search/evaluation.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <sstream>

namespace orbello_tuner {

using namespace orbello_engine;

namespace {

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
    out = GameRecord();
    const nlohmann::json record = nlohmann::json::parse(line, nullptr, false);
    if (record.is_discarded()) {
        why = "not a JSON line";
        return false;
    }
    if (!record.is_object() || record.value("type", "") != "game") return false;
    const auto result = record.find("result");
    if (result == record.end() || !result->is_string()) {
        why = "no result";
        return false;
    }
    if (*result == "black")
        out.blackPoints = 1;
    else if (*result == "white")
        out.blackPoints = 0;
    else if (*result == "draw")
        out.blackPoints = 0.5;
    else
        return false; // a game stopped by an error: no result to learn from
    const auto bases = record.find("bases");
    if (bases != record.end()) {
        if (!bases->is_array() || bases->size() != 2 || !(*bases)[0].is_number_integer() ||
            !(*bases)[1].is_number_integer()) {
            why = "unreadable bases";
            return false;
        }
        out.baseX = (*bases)[0].get<int>();
        out.baseY = (*bases)[1].get<int>();
    }
    // The game's own list: an opening's moves, when there is one, are its first ones.
    const auto moves = record.find("moves");
    if (moves == record.end() || !moves->is_array()) {
        why = "no move list";
        return false;
    }
    for (const auto& m : *moves) {
        if (!m.is_string()) {
            why = "unreadable move list";
            return false;
        }
        out.moves.push_back(m.get<std::string>());
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
