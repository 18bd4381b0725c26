// What the records of both games share: the colour words, text fields that may be missing,
// and the fields read alike (type, number, players, opening, notes and fault).
#pragma once

#include "match_log.h"

#include <string>
#include <vector>

namespace game_records {

using matchtools::Json;

inline const char* const kColours[2] = {"black", "white"};

// 0 for "black", 1 for "white", -1 for anything else.
inline int colour_of(const std::string& s) {
    return s == "black" ? 0 : s == "white" ? 1 : -1;
}
inline int colour_of(const Json& j) {
    return j.is_string() ? colour_of(j.get<std::string>()) : -1;
}

inline std::string text_or_empty(const Json& record, const char* key) {
    return record.contains(key) && record[key].is_string() ? record[key].get<std::string>() : "";
}

// False with why unless r is an object holding the array `moves_key` and, if it has a
// type, the type "game"; what_game names the game in the message.
bool check_game_record(const Json& r, const char* moves_key, const char* what_game,
                       std::string& why);
// The game's number (when it has one) and each colour's label and engine name.
void read_players(const Json& r, long long& number, std::string labels[2], std::string names[2]);
// The opening's moves as written (empty when it has none) and its source.
std::vector<std::string> read_opening(const Json& r, std::string& source);
// The notes and fault of the record into summary; fault_text: the fault as one line.
void read_notes_and_fault(const Json& r, matchtools::GameSummary& summary, std::string& fault_text);

// read(r, out, why) guarded: a field of an unexpected type throws, and the record is then
// refused like any other.
template <typename Record>
bool read_guarded(bool (*read)(const Json&, Record&, std::string&), const Json& r, Record& out,
                  std::string& why) {
    try {
        return read(r, out, why);
    } catch (const Json::exception& e) {
        why = std::string("not a game record: ") + e.what();
        return false;
    }
}

} // namespace game_records
