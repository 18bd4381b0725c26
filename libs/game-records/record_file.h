// Game records in files: one game's line read from a file of JSON lines (a saved game is one
// line, a match log many), and a file written so that it replaces an earlier one whole.
#pragma once

#include "match_log.h"

#include <string>

namespace game_records {

using matchtools::Json;

// The game record numbered `game` in the file (0: the first game record it holds). Lines
// that are not JSON are passed over (a log cut short by a crash loses only its last line),
// unless no game record is found. False with why, which does not name the file.
bool read_game_line(const std::string& path, long long game, Json& record, std::string& why);

// Writes text as the whole of path: into a temporary file beside it, flushed to the disk,
// then moved over path in one step. A failure at any point leaves the earlier file as it
// was and no temporary file behind. False with why.
bool replace_file(const std::string& path, const std::string& text, std::string& why);

} // namespace game_records
