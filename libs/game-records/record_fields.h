// What the records of both games share: the colour words and reading a text field that
// may be missing.
#pragma once

#include "match_log.h"

#include <string>

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

} // namespace game_records
