// The engine's own view of the game, read from the board picture it prints after each turn
// (21 rows: dot rows with "----" for a drawn line, side rows with '|', box letters 'c' for
// its own boxes and 'H' for its opponent's), so the window can check it against its board.
#pragma once

#include "dab_board.h"

#include <array>
#include <string>
#include <vector>

namespace dab_host {

struct EngineView {
    std::array<bool, dabtools::LINES> drawn{};
    std::array<int, dabtools::BOXES> owner{}; // 0 nobody, else PERSON or ENGINE
    int score[3] = {0, 0, 0};
    int lines = 0;
};

// False when the rows are not such a picture.
bool ReadEngineView(const std::vector<std::string>& rows, EngineView* view);

// Empty when the view is the board, else the first difference ("box 7: ...").
std::string ViewDiffers(const EngineView& view, const dabtools::Board& board);

} // namespace dab_host
