// One game of Dots and Boxes between the person and the engine, turn by turn: the board the
// window shows, who is to move, the turns played (the move list) and taking turns back.
#pragma once

#include "dab_board.h"

#include <string>
#include <vector>

namespace dab_host {

enum Player { PERSON = 1, ENGINE = 2 }; // the board's player numbers

struct Turn {
    Player player;
    std::vector<int> lines;
    std::string codes() const;
};

class Game {
  public:
    void Reset(Player opener);

    const dabtools::Board& board() const { return board_; }
    const std::vector<Turn>& turns() const { return turns_; }
    Player opener() const { return opener_; }
    Player toMove() const { return toMove_; }
    bool over() const { return board_.full(); }
    // The person has drawn lines of a turn that is not over yet (a box completed).
    bool personTurnOpen() const { return open_; }

    // Draws an undrawn line for the player to move. Returns true when this ended the turn
    // (the line completed no box, or it was the last line): the turn is then in turns().
    bool Draw(int line);

    // Takes back what the person has drawn of an open turn, or else the person's last whole
    // turn and everything after it. False when there is nothing to take back.
    bool TakeBack();

    // The game so far as the "history" line gives it to an engine that plays `side`: its
    // colour word ("black" when that side opened), the number of lines and their codes.
    std::string HistoryText(Player side) const;
    // Every line drawn, in order.
    std::vector<int> Lines() const;

  private:
    void Replay();

    dabtools::Board board_;
    std::vector<Turn> turns_;
    Player opener_ = PERSON;
    Player toMove_ = PERSON;
    bool open_ = false; // turns_.back() is still being played
};

} // namespace dab_host
