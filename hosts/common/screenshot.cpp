#include "screenshot.h"

#include <windows.h>

#include <cstdio>

namespace win32_host {

bool WriteBmp32(const std::string& path, const void* topDownPixels, int width, int height) {
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = width;
    ih.biHeight = -height; // rows top first, as they are in memory
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    DWORD size = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + size;
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = fwrite(&fh, sizeof fh, 1, f) == 1 && fwrite(&ih, sizeof ih, 1, f) == 1 &&
              fwrite(topDownPixels, size, 1, f) == 1;
    return fclose(f) == 0 && ok;
}

} // namespace win32_host
