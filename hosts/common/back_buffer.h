// The off-screen frame a host paints whole and then shows in one copy: no flicker, and its
// pixels are exactly what the window shows, for screenshots and pixel tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace win32_host {

class BackBuffer {
  public:
    BackBuffer() = default;
    ~BackBuffer();
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    // A 32-bit surface compatible with the window's screen; false when GDI refuses.
    bool Create(HWND window, int width, int height);

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // The colour at (x, y) as RGB(); the surface's pending drawing is finished first.
    COLORREF Pixel(int x, int y) const;
    // Copies the frame to the device context at (0, 0).
    void Show(HDC target) const;
    // Writes the frame as a BMP file.
    bool Save(const std::string& path) const;

  private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    uint32_t* bits_ = nullptr;
    int width_ = 0, height_ = 0;
};

} // namespace win32_host
