// Native replacement for the one sound call the module makes (see windows.h beside it).
#ifndef ORBELLO_STANDIN_MMSYSTEM_H
#define ORBELLO_STANDIN_MMSYSTEM_H

#include <windows.h>

#define SND_NOWAIT 0x00002000
#define SND_FILENAME 0x00020000

extern "C" BOOL PlaySoundA(LPCSTR sound, HMODULE module, DWORD flags);

#endif
