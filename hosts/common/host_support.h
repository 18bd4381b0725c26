// What every host program needs besides its own game: the folder it runs from (its DLLs,
// data folder and engines sit there), draining and running its message queue.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace win32_host {

// The folder of the running program, without a trailing separator.
std::string ProgramDir();

// The items of a comma-separated command-line list (--moves, --lines), empty ones skipped.
std::vector<std::string> SplitCommas(const std::string& list);

// Dispatches every message waiting on this thread's queue, without waiting for more.
void PumpMessages();
// Dispatches messages until WM_QUIT; returns its exit code.
int RunMessageLoop();

} // namespace win32_host

// The Orbello host and its tests name these through their own namespace.
namespace orbello_host {
using namespace win32_host;
} // namespace orbello_host
