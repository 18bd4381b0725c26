#include "file_dialogs.h"

#include <commdlg.h>

#include <vector>

namespace win32_host {

namespace {

const char kFilter[] = "Game records (*.jsonl;*.json)\0*.jsonl;*.json\0All files (*.*)\0*.*\0";

std::string Ask(HWND owner, const char* title, const std::string& suggested, bool save) {
    std::vector<char> name(MAX_PATH * 4, '\0');
    suggested.copy(name.data(), name.size() - 1);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kFilter;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrTitle = title;
    ofn.lpstrDefExt = "jsonl";
    ofn.Flags =
        OFN_NOCHANGEDIR | OFN_HIDEREADONLY |
        (save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    return chosen ? std::string(name.data()) : std::string();
}

} // namespace

std::string AskOpenRecord(HWND owner, const char* title) {
    return Ask(owner, title, "", false);
}

std::string AskSaveRecord(HWND owner, const char* title, const std::string& suggested) {
    return Ask(owner, title, suggested, true);
}

} // namespace win32_host
