// Move sounds, played synchronously from the data directory.
#include "binding/orbello.h"

#include <mmsystem.h>

#include <cstdio>

namespace {

// File names in the GBK code page: select piece, place piece, capture piece.
const char* const kSoundNames[] = {
    "\\wav\\\xD1\xA1\xD7\xD3.wav",
    "\\wav\\\xC2\xE4\xD7\xD3.wav",
    "\\wav\\\xB3\xD4\xD7\xD3.wav",
};

} // namespace

bool COrbello::PlayMoveSound(int kind) {
    if (kind < SOUND_SELECT || kind > SOUND_CAPTURE) return false;
    char path[PATH_BUFFER] = {};
    DWORD error;
    if (BuildDataPath(path, kSoundNames[kind])) {
        // SND_NOWAIT: give up at once rather than wait when the device is busy.
        if (PlaySoundA(path, nullptr, SND_FILENAME | SND_NOWAIT)) return true;
        error = GetLastError();
    } else {
        // A cut path could name some other file; say why instead of trying it.
        error = ERROR_FILENAME_EXCED_RANGE;
    }
    char text[64];
    std::snprintf(text, sizeof text, "PlaySound failed\n\nerror: %d", static_cast<int>(error));
    MessageBoxA(nullptr, text, "error", MB_OK);
    return false;
}
