// The three-letter line codes of the protocol: 'A' and two letters for a horizontal line
// (dot row, box column), 'B' and two letters for a vertical one (dot column first, then
// box row). The one codec of the engine, its bench and its tests.
#pragma once

#include "model/position.h"

// Decodes a code as the opponent writes it. The result may name no line of the board
// (a letter out of range, a first letter other than A or B); callers check is_on_board.
Move decode_move(const char* code);

// Writes the code of a line of the board into code (three letters and a 0).
void encode_move(const Move& m, char* code);

// Decodes a text of codes separated by blanks into out (room for room entries); returns
// how many were decoded. A trailing piece shorter than a code is ignored.
int decode_lines(const char* text, Move* out, int room);
