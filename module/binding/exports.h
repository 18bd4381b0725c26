// The library's two exports, under their plain names.
#ifndef ORBELLO_BINDING_EXPORTS_H
#define ORBELLO_BINDING_EXPORTS_H

#include "binding/chess_interface.h"

#if defined(_WIN32)
#define ORBELLO_EXPORT __declspec(dllexport)
#else
#define ORBELLO_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
// Identifies the library as a board-game module: type tag, GBK display name, 0.
ORBELLO_EXPORT void CheckModule(char* typeTag, char* displayName, int* extraInfo);
// Creates the game object for the host window and data directory; null when out of memory.
ORBELLO_EXPORT CChess* InitModule(HWND hostWindow, const char* dataDir);
// Records the instance handle on process and thread attach; always succeeds.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
}

// The library's instance handle, recorded by the entry point.
extern HINSTANCE g_hModuleInstance;

#endif
