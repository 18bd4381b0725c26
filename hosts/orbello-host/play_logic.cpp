#include "play_logic.h"

#include "child_process.h"
#include "orbello_game_record.h"

#include <cctype>

namespace orbello_host {

size_t TakeBackLength(size_t moves, int personSide) {
    if (moves == 0) return 0;
    if (personSide < 0) return moves - 1;
    // Move i (0-based) is Black's when i is even: drop the engine's moves at the end, then
    // the person's one before them.
    size_t n = moves;
    while (n > 0 && static_cast<int>((n - 1) % 2) != personSide) --n;
    return n == 0 ? moves : n - 1;
}

std::string HistoryLine(int engineSide, const std::vector<std::string>& moves) {
    std::string line = engineSide == BLACK ? "history black " : "history white ";
    line += std::to_string(moves.size());
    for (const std::string& m : moves) line += " " + m;
    return line;
}

bool IsOwnEngine(const std::string& command) {
    const std::vector<std::string> words = dabtools::split_command(command);
    if (words.empty()) return false;
    std::string name = words[0];
    const size_t cut = name.find_last_of("\\/");
    if (cut != std::string::npos) name = name.substr(cut + 1);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0)
        name.resize(name.size() - 4);
    return name == "orbelloengine" || name == "orbello-engine";
}

std::string HintCommand(const std::string& gameCommand, int movetimeMs) {
    if (gameCommand.empty() || !IsOwnEngine(gameCommand)) return gameCommand;
    // The engine takes the last of an option given twice, so these override the game's.
    return gameCommand + " --movetime " + std::to_string(movetimeMs) + " --level " +
           std::to_string(kTopLevel);
}

std::string MoveOfReply(const std::string& line) {
    // As the module reads a reply: the keyword anywhere, one separator, four characters.
    const size_t at = line.find("move");
    if (at == std::string::npos || line.size() < at + 9) return "";
    const std::string m = line.substr(at + 5, 4);
    for (char c : m)
        if (static_cast<unsigned char>(c) <= ' ' || static_cast<unsigned char>(c) > 126) return "";
    return m;
}

std::vector<std::string> WrapText(const std::string& text, int width,
                                  const std::function<int(const std::string&)>& measure) {
    std::vector<std::string> lines;
    std::string line;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        size_t end = text.find(' ', i);
        if (end == std::string::npos) end = text.size();
        std::string word = text.substr(i, end - i);
        i = end;
        const std::string joined = line.empty() ? word : line + " " + word;
        if (measure(joined) <= width) {
            line = joined;
            continue;
        }
        if (!line.empty()) lines.push_back(line);
        line.clear();
        // A word wider than a whole line: as many characters as fit (at least one) per line.
        while (measure(word) > width && word.size() > 1) {
            size_t fit = 1;
            while (fit < word.size() && measure(word.substr(0, fit + 1)) <= width) ++fit;
            lines.push_back(word.substr(0, fit));
            word = word.substr(fit);
        }
        line = word;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

bool ReplayMoves(const std::vector<std::string>& moves, int baseX, int baseY, Replayed& out,
                 std::string& why) {
    out = Replayed{};
    orbello_rules::SetInitialPosition(out.board);
    for (size_t i = 0; i < moves.size(); ++i) {
        const std::string& m = moves[i];
        const std::string where = "move " + std::to_string(i + 1) + " '" + m + "'";
        if (out.over) {
            why = where + " comes after a side lost its last piece";
            return false;
        }
        int v[4] = {-1, -1, -1, -1};
        for (size_t k = 0; k < 4 && m.size() == 4; ++k)
            v[k] = static_cast<unsigned char>(m[k]) - (k % 2 == 0 ? baseX : baseY);
        MoveRecord r{v[0], v[1], v[2], v[3], false, out.sideToMove};
        bool onBoard = true;
        for (int c : v) onBoard = onBoard && c >= 0 && c < BOARD_SIZE;
        if (!onBoard || !orbello_rules::IsLegalMove(out.board, r, nullptr)) {
            why = where + " is not a legal move there";
            return false;
        }
        orbello_rules::ApplyMove(out.board, r);
        out.sideToMove = 1 - out.sideToMove;
        out.over = orbello_rules::IsGameOver(out.board);
    }
    const orbello_rules::PieceCount count = orbello_rules::CountPieces(out.board);
    out.pieces[0] = count.black;
    out.pieces[1] = count.white;
    return true;
}

matchtools::Json SavedGameRecord(const std::vector<std::string>& moves, int baseX, int baseY,
                                 const std::string labels[2], int winner) {
    static const char* const kColourWords[2] = {"black", "white"};
    game_records::OrbelloGame g;
    for (int c = 0; c < 2; ++c) g.labels[c] = labels[c];
    g.base_x = baseX;
    g.base_y = baseY;
    for (const std::string& m : moves) g.moves.push_back({m, -1});
    Replayed position;
    std::string why;
    ReplayMoves(moves, baseX, baseY, position, why);
    g.pieces[0] = position.pieces[0];
    g.pieces[1] = position.pieces[1];
    if (winner >= 0) {
        g.result = kColourWords[winner];
        g.winner = winner;
        g.reason = std::string(kColourWords[1 - winner]) + " has no pieces left";
        g.summary.points[winner] = 1;
    } else {
        g.reason = "saved by orbello-host before the end, " +
                   std::string(kColourWords[position.sideToMove]) + " to move";
    }
    matchtools::Json record = matchtools::game_record_head(1, 0, "orbello-host", 0, nullptr);
    const matchtools::Json fields = game_records::orbello_game_fields(g);
    for (const auto& item : fields.items()) record[item.key()] = item.value();
    return record;
}

} // namespace orbello_host
