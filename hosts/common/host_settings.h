// What a person chose in a host window that the next session should keep (the engine's
// level): a few "key=value" lines in a file of the host's own, beside the program unless
// the caller names another. A missing or damaged file gives the defaults; nothing in it
// can make the host fail to start.
#pragma once

#include <map>
#include <string>

namespace win32_host {

class HostSettings {
  public:
    // path: the settings file; empty keeps everything in memory only (scripted tests).
    explicit HostSettings(std::string path);

    // The value kept for key, or fallback when there is none or it is not a whole number
    // within [lo, hi].
    int Int(const std::string& key, int fallback, int lo, int hi) const;
    // Keeps the value and writes the file whole at once (an earlier file is replaced only by
    // a complete one). False when the file could not be written; the value is kept in memory.
    bool SetInt(const std::string& key, int value);

    const std::string& Path() const { return path_; }

  private:
    std::string path_;
    std::map<std::string, std::string> values_;
};

// "<program folder>\<name>": where a host keeps its settings by default.
std::string DefaultSettingsPath(const std::string& name);

} // namespace win32_host
