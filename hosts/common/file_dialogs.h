// The system's Open and Save As dialogs for game records (".jsonl" files).
#pragma once

#include <windows.h>

#include <string>

namespace win32_host {

// The file the person chose, or empty when they cancelled.
std::string AskOpenRecord(HWND owner, const char* title);
// As above; suggested is the name offered first. Adds ".jsonl" when the name has no extension.
std::string AskSaveRecord(HWND owner, const char* title, const std::string& suggested);

} // namespace win32_host
