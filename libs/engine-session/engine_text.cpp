#include "engine_text.h"

#include <sstream>

namespace engine_session {

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

std::string quote(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (out.size() >= 60) {
            out += "...";
            break;
        }
        out += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
    }
    return "\"" + out + "\"";
}

std::vector<std::string> words_of(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> words;
    std::string w;
    while (in >> w) words.push_back(w);
    return words;
}

} // namespace engine_session
