#include "back_buffer.h"

#include "screenshot.h"

namespace win32_host {

BackBuffer::~BackBuffer() {
    if (dc_) {
        SelectObject(dc_, oldBitmap_);
        DeleteDC(dc_);
    }
    if (bitmap_) DeleteObject(bitmap_);
}

bool BackBuffer::Create(HWND window, int width, int height) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(window);
    dc_ = CreateCompatibleDC(screen);
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(window, screen);
    if (!dc_ || !bitmap_) return false;
    bits_ = static_cast<uint32_t*>(bits);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    width_ = width;
    height_ = height;
    return true;
}

COLORREF BackBuffer::Pixel(int x, int y) const {
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    GdiFlush();
    uint32_t v = bits_[y * width_ + x];
    return RGB((v >> 16) & 255, (v >> 8) & 255, v & 255);
}

void BackBuffer::Show(HDC target) const {
    BitBlt(target, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
}

bool BackBuffer::Save(const std::string& path) const {
    if (!bits_) return false;
    GdiFlush();
    return WriteBmp32(path, bits_, width_, height_);
}

} // namespace win32_host
