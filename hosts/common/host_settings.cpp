#include "host_settings.h"

#include "host_support.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace win32_host {

HostSettings::HostSettings(std::string path) : path_(std::move(path)) {
    if (path_.empty()) return;
    std::ifstream in(path_);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        values_[line.substr(0, eq)] = line.substr(eq + 1);
    }
}

int HostSettings::Int(const std::string& key, int fallback, int lo, int hi) const {
    auto it = values_.find(key);
    if (it == values_.end() || it->second.empty()) return fallback;
    const char* text = it->second.c_str();
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < lo || value > hi) return fallback;
    return static_cast<int>(value);
}

bool HostSettings::SetInt(const std::string& key, int value) {
    values_[key] = std::to_string(value);
    if (path_.empty()) return true;
    std::ostringstream text;
    for (const auto& [k, v] : values_) text << k << '=' << v << '\n';
    // Written beside the file and moved over it, so a crash never leaves half a file.
    const std::string temp = path_ + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text.str();
        out.flush();
        if (!out) {
            out.close();
            std::remove(temp.c_str());
            return false;
        }
    }
    if (!MoveFileExA(temp.c_str(), path_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

std::string DefaultSettingsPath(const std::string& name) {
    return ProgramDir() + "\\" + name;
}

} // namespace win32_host
