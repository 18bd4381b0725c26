#include "engine_view.h"

#include "game.h"

namespace dab_host {

namespace {

char At(const std::string& row, size_t i) {
    return i < row.size() ? row[i] : ' ';
}

} // namespace

bool ReadEngineView(const std::vector<std::string>& rows, EngineView* view) {
    if (rows.size() != 21) return false;
    *view = EngineView{};
    for (int r = 0; r <= 5; ++r) {
        const std::string& dots = rows[4 * r];
        for (int c = 0; c <= 5; ++c)
            if (At(dots, 5 * c) != '*') return false;
        for (int c = 0; c < 5; ++c) {
            const char g = At(dots, 5 * c + 1);
            if (g != '-' && g != ' ') return false;
            view->drawn[r * 5 + c] = g == '-';
        }
        if (r == 5) break;
        const std::string& middle = rows[4 * r + 2];
        for (int c = 0; c <= 5; ++c) {
            const char g = At(middle, 5 * c);
            if (g != '|' && g != ' ') return false;
            view->drawn[30 + r * 6 + c] = g == '|';
        }
        for (int c = 0; c < 5; ++c) {
            const char g = At(middle, 5 * c + 3);
            if (g != 'c' && g != 'H' && g != ' ') return false;
            int owner = g == 'c' ? ENGINE : g == 'H' ? PERSON : 0;
            view->owner[r * 5 + c] = owner;
            ++view->score[owner];
        }
    }
    for (bool d : view->drawn) view->lines += d;
    return true;
}

std::string ViewDiffers(const EngineView& view, const dabtools::Board& board) {
    for (int line = 0; line < dabtools::LINES; ++line)
        if (view.drawn[line] != board.drawn[line])
            return "line " + dabtools::line_code(line) +
                   (board.drawn[line] ? " is drawn but not in its picture"
                                      : " is in its picture but not drawn");
    for (int box = 0; box < dabtools::BOXES; ++box)
        if (view.owner[box] != board.owner[box])
            return "box " + std::to_string(box + 1) + " is " +
                   (board.owner[box] == PERSON   ? "yours"
                    : board.owner[box] == ENGINE ? "the engine's"
                                                 : "nobody's") +
                   " but " +
                   (view.owner[box] == PERSON   ? "yours"
                    : view.owner[box] == ENGINE ? "the engine's"
                                                : "nobody's") +
                   " in its picture";
    return "";
}

} // namespace dab_host
