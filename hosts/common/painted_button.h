// Buttons painted into a host's frame (so screenshots show them) and found by position.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace win32_host {

struct PaintedButton {
    RECT rect;
    std::string text;
    int id;
};

void PaintButtons(HDC dc, const std::vector<PaintedButton>& buttons);
// The id of the button at (x, y), or -1.
int ButtonAt(const std::vector<PaintedButton>& buttons, int x, int y);

} // namespace win32_host
