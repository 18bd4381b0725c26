// A data folder for the native module in a temporary folder, for the module's tests,
// the shared-library test and the fuzz targets.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <stdlib.h>

namespace fs = std::filesystem;

// GBK file names of the three sounds.
inline const char* const kSoundFiles[] = {"\xD1\xA1\xD7\xD3.wav", "\xC2\xE4\xD7\xD3.wav",
                                          "\xB3\xD4\xD7\xD3.wav"};

class TempDir {
  public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "orbello-test-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& path() const { return path_; }
    void write(const std::string& relative, const std::string& content) {
        fs::path p = path_ / relative;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
    }

  private:
    fs::path path_;
};

// A data folder as the module expects it: config, pictures and sounds (empty files; the
// stand-in only looks for them).
inline void FillDataDir(TempDir& dir, bool withConfig = true,
                        const char* config = "[COORDINATE]\nX=65\nY=65\n") {
    if (withConfig) dir.write("Config.ini", config);
    for (const char* name : {"black.bmp", "white.bmp", "mark.bmp"})
        dir.write(std::string("bmp/") + name, "BM");
    for (const char* name : kSoundFiles) dir.write(std::string("wav/") + name, "RIFF");
}
