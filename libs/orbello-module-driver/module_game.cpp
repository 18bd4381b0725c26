#include "module_game.h"

#include <utility>
#include <vector>

namespace orbello_module {

bool learn_bases(ModuleGame& game, int& base_x, int& base_y) {
    // Grid point (x, y) lies at ((x + 3) * 40, (y + 3) * 40) on a board 440 pixels wide.
    std::string text;
    bool ok = game.click(120, 160) == 0 && game.click(120, 200) == 1 && game.fetch(text) == 1 &&
              text.size() >= 9 && text.compare(0, 5, "move ") == 0 && text[5] == text[7] &&
              text[6] + 1 == text[8];
    if (ok) {
        base_x = static_cast<unsigned char>(text[5]);
        base_y = static_cast<unsigned char>(text[6]) - 1;
    }
    game.new_game();
    return ok;
}

bool has_legal_move(ModuleGame& game, const std::vector<std::pair<int, int>>& pieces) {
    for (const auto& from : pieces)
        for (int to = 0; to < 36; ++to) {
            if (game.click((from.first + 3) * 40, (from.second + 3) * 40) != 0) {
                game.cancel();
                break; // not a piece of the side to move
            }
            const int r = game.click((to % 6 + 3) * 40, (to / 6 + 3) * 40);
            game.cancel(); // drops the selection, or takes the move back
            if (r == 1) return true;
        }
    return false;
}

} // namespace orbello_module
