// The window's game as the referees' game record (what Save writes), and a record's first
// turns as a game the window shows and plays on from (what Open reads).
#pragma once

#include "dab_game_record.h"
#include "game.h"

#include <string>

namespace dab_host {

// The record of the game so far: the person labelled "you", the engine by its label and the
// name it gave; a game not over yet has no winner and says so in its reason.
game_records::Json RecordOfGame(const Game& game, const std::string& engineLabel,
                                const std::string& engineName);

// The game after the record's first `turns` turns, the person playing personColour (0 Black,
// the opener; 1 White) and the engine the other colour.
Game GameOfRecord(const game_records::DabRecord& record, size_t turns, int personColour);

// The colour to draw the next line after the first `turns` turns, -1 when the game is over
// there (every line drawn, or the record's end of a game ended by a fault).
int ColourToMove(const game_records::DabRecord& record, size_t turns);

// The colour a person plays on with: the one labelled "you" (a game saved here), else the
// one to move.
int PersonColour(const game_records::DabRecord& record, size_t turns);

} // namespace dab_host
