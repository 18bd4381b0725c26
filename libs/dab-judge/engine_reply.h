// Reading an engine's output as the platform does: which lines are chatter (the board
// picture, "round1="), whether a reply is a well-formed "move N CODES", and whether its
// lines are a legal turn on the board. Faults are named the same wherever engines are driven.
#pragma once

#include "dab_board.h"
#include "engine_text.h"
#include "fault.h"

#include <string>
#include <vector>

namespace dabtools {

using Fault = engine_session::Fault;
using engine_session::fault_name;

// The text helpers of every driver: trimming, quoting for a report, splitting in words.
using engine_session::quote;
using engine_session::trim;
using engine_session::words_of;

// A line of the board picture engines print between their replies.
bool is_board_line(const std::string& s);
// A trimmed line to pass over while waiting for a reply: blank, board picture, "round1=".
bool is_chatter(const std::string& trimmed);

// The most lines the next turn can hold: one, unless a box already has three sides; then
// never more than the boxes left plus one.
int longest_turn(const Board& board);

struct Reply {
    int count = 0;
    std::string codes; // count codes of three capital letters, back to back
};

// The "move N CODES" command or reply that carries a turn.
std::string move_text(const Reply& reply);

// Checks the form of a reply line whose first word is "move": Garbled or Count with a
// detail for the report, else None and the reply in out.
Fault parse_reply(const std::string& line, Reply& out, std::string& detail);

// Draws the reply's lines on the board for player (1 or 2) while they make a legal turn;
// each line drawn is appended to drawn. A fault names the first line that breaks the turn.
Fault apply_reply(Board& board, int player, const Reply& reply, std::vector<int>& drawn,
                  std::string& detail);

} // namespace dabtools
