#include "record_file.h"

#include <cstdio>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace game_records {

namespace {

bool is_game_record(const Json& j) {
    if (!j.is_object()) return false;
    if (j.contains("type")) return j["type"] == "game";
    return j.contains("turns") || j.contains("moves");
}

} // namespace

bool read_game_line(const std::string& path, long long game, Json& record, std::string& why) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = "cannot be read";
        return false;
    }
    std::string line;
    long long line_number = 0, first_bad = 0, games = 0, lowest = 0, highest = 0;
    while (std::getline(in, line)) {
        ++line_number;
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        Json j = Json::parse(line, nullptr, false);
        if (j.is_discarded()) {
            if (first_bad == 0) first_bad = line_number;
            continue;
        }
        if (!is_game_record(j)) continue;
        const long long number =
            j.contains("game") && j["game"].is_number_integer() ? j["game"].get<long long>() : 0;
        lowest = games == 0 ? number : std::min(lowest, number);
        highest = games == 0 ? number : std::max(highest, number);
        ++games;
        if (game == 0 || number == game) {
            record = std::move(j);
            return true;
        }
    }
    if (games > 0)
        why = "holds no game " + std::to_string(game) + " (its games are numbered " +
              std::to_string(lowest) + " to " + std::to_string(highest) + ")";
    else if (first_bad > 0)
        why = "is not a game record: line " + std::to_string(first_bad) + " is not JSON";
    else
        why = "is not a game record: it holds no \"game\" line";
    return false;
}

bool replace_file(const std::string& path, const std::string& text, std::string& why) {
    const std::string temporary = path + ".saving";
#ifdef _WIN32
    HANDLE f = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        why = "cannot create " + temporary + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    DWORD written = 0;
    const bool ok = WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size() && FlushFileBuffers(f);
    const DWORD error = GetLastError();
    CloseHandle(f);
    if (!ok) {
        DeleteFileA(temporary.c_str());
        why = "cannot write " + temporary + " (error " + std::to_string(error) + ")";
        return false;
    }
    if (!MoveFileExA(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD move_error = GetLastError();
        DeleteFileA(temporary.c_str());
        why = "cannot replace it (error " + std::to_string(move_error) + ")";
        return false;
    }
#else
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) {
        why = "cannot create " + temporary;
        return false;
    }
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size() &&
                    std::fflush(f) == 0 && fsync(fileno(f)) == 0;
    if (std::fclose(f) != 0 || !ok) {
        std::remove(temporary.c_str());
        why = "cannot write " + temporary;
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        why = "cannot replace it";
        return false;
    }
#endif
    return true;
}

} // namespace game_records
