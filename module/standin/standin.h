// Test control of the native Win32 stand-in: the record of calls, live GDI object counts,
// the sound result, and the hooks that play the host window's part (painting on UpdateWindow,
// receiving messages).
#ifndef ORBELLO_STANDIN_STANDIN_H
#define ORBELLO_STANDIN_STANDIN_H

#include <windows.h>

#include <string>
#include <vector>

// Plain C entry points, so a program that loads the native shared library with dlopen can
// reach the copy of the stand-in inside it.
extern "C" {
// Called from UpdateWindow when the window has been invalidated since its last paint.
typedef void (*StandinPaintHook)(HWND window, void* context);
// Called from SendMessageA (posted = 0) and PostMessageA (posted = 1).
typedef LRESULT (*StandinMessageHook)(HWND window, UINT msg, WPARAM wParam, LPARAM lParam,
                                      int posted, void* context);
__attribute__((visibility("default"))) void
StandinSetHooks(StandinPaintHook paint, StandinMessageHook message, void* context);
}

namespace standin {

struct Call {
    std::string fn;           // Win32 function name
    std::vector<double> args; // numeric arguments in order; handles as their integer value
    std::string text;         // the string argument(s), if any, joined by '|'
};

enum class SoundMode {
    FileExists, // succeed when the file exists, else fail with ERROR_FILE_NOT_FOUND
    Succeed,
    Fail,
};

// Forgets calls, hooks, invalidations and misuses and restores the default sound mode.
// Live objects are kept, so leaks show across a reset.
void reset();
const std::vector<Call>& calls();
std::vector<Call> callsNamed(const std::string& fn);
void clearCalls();

// Pens, fonts, bitmaps and memory DCs created and not yet deleted.
int liveGdiObjects();
// DCs obtained with GetDC and not yet released.
int heldWindowDCs();
// Descriptions of calls that real GDI would refuse (deleting a selected object, an unknown
// handle, a blit from a DC that is not alive).
const std::vector<std::string>& misuses();

void setSoundMode(SoundMode mode, DWORD errorCode = ERROR_FILE_NOT_FOUND);

// The path a Windows name maps to here: backslashes become slashes.
std::string nativePath(const char* windowsPath);

inline double handleValue(const void* handle) {
    return static_cast<double>(reinterpret_cast<std::uintptr_t>(handle));
}

} // namespace standin

#endif
