#include "binding/exports.h"

#include "binding/orbello.h"

#include <cstring>
#include <new>

HINSTANCE g_hModuleInstance = nullptr;

extern "C" {

void CheckModule(char* typeTag, char* displayName, int* extraInfo) {
    std::strcpy(typeTag, "Arvek Game Platform chessType");
    // The display name in the GBK code page: "Orbello" and the character for board game.
    std::strcpy(displayName, "Orbello\xC6\xE5");
    *extraInfo = 0;
}

CChess* InitModule(HWND hostWindow, const char* dataDir) {
    // Nothing may be thrown across the library's boundary.
    try {
        return new (std::nothrow) COrbello(hostWindow, dataDir);
    } catch (...) {
        return nullptr;
    }
}

// Also built natively, where the tests call it as the loader would.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH || reason == DLL_THREAD_ATTACH) g_hModuleInstance = instance;
    return TRUE;
}

} // extern "C"
