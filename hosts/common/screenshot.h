// Writes 32-bit pixels (top row first, as a DIB section of negative height holds them) to
// an uncompressed BMP file: the hosts' --screenshot pictures.
#pragma once

#include <string>

namespace win32_host {

bool WriteBmp32(const std::string& path, const void* topDownPixels, int width, int height);

} // namespace win32_host
