#include "game.h"

namespace dab_host {

std::string Turn::codes() const {
    std::string s;
    for (int line : lines) s += dabtools::line_code(line);
    return s;
}

void Game::Reset(Player opener) {
    board_ = dabtools::Board();
    turns_.clear();
    opener_ = opener;
    toMove_ = opener;
    open_ = false;
}

bool Game::Draw(int line) {
    if (!open_) turns_.push_back(Turn{toMove_, {}});
    turns_.back().lines.push_back(line);
    bool completed = board_.draw(line, toMove_) > 0;
    open_ = completed && !board_.full();
    if (!open_ && !board_.full()) toMove_ = toMove_ == PERSON ? ENGINE : PERSON;
    return !open_;
}

bool Game::TakeBack() {
    if (open_ && toMove_ == PERSON) {
        turns_.pop_back();
        open_ = false;
    } else {
        size_t last = turns_.size();
        while (last > 0 && turns_[last - 1].player != PERSON) --last;
        if (last == 0) return false;
        turns_.resize(last - 1);
        open_ = false;
    }
    Replay();
    return true;
}

std::string Game::HistoryText(Player side) const {
    std::string codes;
    for (const Turn& t : turns_) codes += t.codes();
    return std::string("history ") + (opener_ == side ? "black " : "white ") +
           std::to_string(codes.size() / 3) + " " + (codes.empty() ? "-" : codes);
}

std::vector<int> Game::Lines() const {
    std::vector<int> lines;
    for (const Turn& t : turns_) lines.insert(lines.end(), t.lines.begin(), t.lines.end());
    return lines;
}

// The board is rebuilt from the turns kept: a board has no way to take a line back.
void Game::Replay() {
    board_ = dabtools::Board();
    for (const Turn& t : turns_)
        for (int line : t.lines) board_.draw(line, t.player);
    toMove_ = PERSON;
}

} // namespace dab_host
