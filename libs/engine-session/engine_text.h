// Engine output as drivers read and report it.
#pragma once

#include <string>
#include <vector>

namespace engine_session {

// Without the blanks, tabs and carriage returns around it.
std::string trim(const std::string& s);
// Engine output as it may appear in a report: printable, and short.
std::string quote(const std::string& s);
std::vector<std::string> words_of(const std::string& s);

} // namespace engine_session
