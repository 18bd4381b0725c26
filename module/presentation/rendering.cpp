// Sizes, pens, font and piece bitmaps from the board rectangle, and painting the board.
#include "binding/orbello.h"

namespace {

// GDI's coordinate space ends at 2^27 anyway; keeping the rectangle within 2^26 either way
// keeps every position derived from it (up to eight widths past its origin) in 32 bits.
int WithinDrawingRange(int v) {
    constexpr int limit = 1 << 26;
    return v < -limit ? -limit : v > limit ? limit : v;
}

} // namespace

void ORBELLO_THISCALL COrbello::SetBoardRect(int left, int top, int right, int bottom) {
    m_rcBoard.left = WithinDrawingRange(left);
    m_rcBoard.top = WithinDrawingRange(top);
    m_rcBoard.right = WithinDrawingRange(right);
    m_rcBoard.bottom = WithinDrawingRange(bottom);
    left = m_rcBoard.left;
    right = m_rcBoard.right;
    m_nBoardWidth = right - left;
    m_nUnit = m_nBoardWidth / 11;
    m_nPieceSize = static_cast<std::int32_t>(m_nUnit * 0.6);

    if (m_hPenFrame) DeleteObject(m_hPenFrame);
    if (m_hPenSmallLoop) DeleteObject(m_hPenSmallLoop);
    if (m_hPenLargeLoop) DeleteObject(m_hPenLargeLoop);
    m_nPenWidth = m_nBoardWidth / 220;
    if (m_nPenWidth == 0) m_nPenWidth = 1;
    m_hPenFrame = CreatePen(PS_SOLID, m_nPenWidth, RGB(255, 0, 0));
    m_hPenSmallLoop = CreatePen(PS_SOLID, m_nPenWidth, RGB(0, 255, 0));
    m_hPenLargeLoop = CreatePen(PS_SOLID, m_nPenWidth, RGB(0, 0, 255));

    if (m_hFont) DeleteObject(m_hFont);
    m_nFontWidth = m_nUnit / 3;
    m_nFontHeight = (2 * m_nUnit) / 3;
    m_hFont = CreateFontA(m_nFontHeight, m_nFontWidth, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0,
                          0, 0, 0, nullptr);

    LoadBitmaps();
}

void COrbello::LoadBitmaps() {
    struct Slot {
        const char* name;
        HDC hdc;
        HBITMAP* loaded;
    };
    const Slot slots[] = {
        {"\\bmp\\black.bmp", m_hdcBlack, &m_hbmBlack},
        {"\\bmp\\white.bmp", m_hdcWhite, &m_hbmWhite},
        {"\\bmp\\mark.bmp", m_hdcMark, &m_hbmMark},
    };
    HBITMAP fresh[3] = {nullptr, nullptr, nullptr};
    for (int i = 0; i < 3; ++i) {
        char path[PATH_BUFFER];
        if (!BuildDataPath(path, slots[i].name)) continue;
        fresh[i] = static_cast<HBITMAP>(LoadImageA(
            m_hInstance, path, IMAGE_BITMAP, 2 * m_nPieceSize, m_nPieceSize, LR_LOADFROMFILE));
    }
    for (int i = 0; i < 3; ++i) {
        // A file that fails to load leaves its DC holding what it held, still alive.
        if (!fresh[i]) continue;
        SelectObject(slots[i].hdc, fresh[i]);
        if (*slots[i].loaded) DeleteObject(*slots[i].loaded);
        *slots[i].loaded = fresh[i];
    }
}

void COrbello::RequestRepaint() {
    InvalidateRect(m_hWnd, &m_rcBoard, FALSE);
    UpdateWindow(m_hWnd);
}

namespace {

// Masks the piece's shape out of the board, then paints the picture into the hole.
void BlitPiece(HDC hdc, int x, int y, int size, HDC source) {
    BitBlt(hdc, x, y, size, size, source, size, 0, SRCAND);
    BitBlt(hdc, x, y, size, size, source, 0, 0, SRCPAINT);
}

// One loop: four grid lines joined by three-quarter arcs outside the grid square's corners.
void DrawLoop(HDC hdc, int L, int T, int R, int B, int r) {
    MoveToEx(hdc, L + r, T, nullptr);
    AngleArc(hdc, L, T, static_cast<DWORD>(r), 0.0f, 270.0f);
    LineTo(hdc, R, T + r);
    AngleArc(hdc, R, T, static_cast<DWORD>(r), 270.0f, 270.0f);
    LineTo(hdc, R - r, B);
    AngleArc(hdc, R, B, static_cast<DWORD>(r), 180.0f, 270.0f);
    LineTo(hdc, L, B - r);
    AngleArc(hdc, L, B, static_cast<DWORD>(r), 90.0f, 270.0f);
    LineTo(hdc, L + r, T);
}

} // namespace

void ORBELLO_THISCALL COrbello::DrawBoard(HDC hdc) {
    // A paint before the first SetBoardRect has no pens or font to select and would heap
    // every label onto the rectangle's origin: the board has no place yet, so draw nothing.
    if (!m_hPenFrame) return;
    const int W = m_nBoardWidth, U = m_nUnit, P = m_nPieceSize;
    const int left = m_rcBoard.left, top = m_rcBoard.top;
    const int right = m_rcBoard.right, bottom = m_rcBoard.bottom;
    const int L = left + (3 * W) / 11, T = top + (3 * W) / 11;
    const int R = right - (3 * W) / 11, B = bottom - (3 * W) / 11;

    HGDIOBJ previousPen = SelectObject(hdc, m_hPenFrame);
    MoveToEx(hdc, L, T, nullptr);
    LineTo(hdc, R, T);
    LineTo(hdc, R, B);
    LineTo(hdc, L, B);
    LineTo(hdc, L, T);
    SelectObject(hdc, previousPen);

    previousPen = SelectObject(hdc, m_hPenSmallLoop);
    DrawLoop(hdc, L, T, R, B, W / 11);
    SelectObject(hdc, previousPen);

    previousPen = SelectObject(hdc, m_hPenLargeLoop);
    DrawLoop(hdc, L, T, R, B, (2 * W) / 11);
    SelectObject(hdc, previousPen);

    HGDIOBJ previousFont = SelectObject(hdc, m_hFont);
    SetTextColor(hdc, RGB(0, 0, 0));
    const int fontW = m_nFontWidth, fontH = m_nFontHeight;
    for (int i = 0; i < 6; ++i) {
        const char letter = static_cast<char>('A' + i), digit = static_cast<char>('1' + i);
        const int along = (i * W) / 11;
        TextOutA(hdc, left + (U - fontW) / 2, T + along - fontH / 2, &letter, 1);
        TextOutA(hdc, right - (U + fontW) / 2, T + along - fontH / 2, &digit, 1);
        TextOutA(hdc, L + along - fontW / 2, top + (U - fontH) / 2, &letter, 1);
        TextOutA(hdc, L + along - fontW / 2, bottom - (fontH + U) / 2, &digit, 1);
    }

    // A piece or the mark, centred on grid point (x, y).
    auto blitOnPoint = [&](int x, int y, HDC source) {
        BlitPiece(hdc, left + (x + 3) * W / 11 - P / 2, top + (y + 3) * W / 11 - P / 2, P, source);
    };
    // The picture of a side's piece; any other value draws nothing.
    auto pieceDc = [this](int side) -> HDC {
        return side == BLACK ? m_hdcBlack : side == WHITE ? m_hdcWhite : nullptr;
    };
    for (int x = 0; x < BOARD_SIZE; ++x)
        for (int y = 0; y < BOARD_SIZE; ++y)
            if (HDC source = pieceDc(m_board[x][y])) blitOnPoint(x, y, source);

    if (!m_history.empty()) {
        const MoveRecord& r = m_history.back();
        if (r.toX == -1 || r.toY == -1) {
            if (r.fromX != -1 && r.fromY != -1) blitOnPoint(r.fromX, r.fromY, m_hdcMark);
        } else if (m_nAnimX == -1 || m_nAnimY == -1) {
            blitOnPoint(r.toX, r.toY, m_hdcMark);
        } else {
            if (HDC source = pieceDc(m_nAnimSide))
                BlitPiece(hdc, left + m_nAnimX - P / 2, top + m_nAnimY - P / 2, P, source);
        }
    }

    SelectObject(hdc, previousFont);
}
