#include "painted_button.h"

namespace win32_host {

void PaintButtons(HDC dc, const std::vector<PaintedButton>& buttons) {
    HBRUSH face = CreateSolidBrush(RGB(250, 248, 242));
    HPEN edge = CreatePen(PS_SOLID, 1, RGB(150, 140, 125));
    HGDIOBJ oldBrush = SelectObject(dc, face), oldPen = SelectObject(dc, edge);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(30, 30, 30));
    for (const PaintedButton& button : buttons) {
        RECT r = button.rect;
        RoundRect(dc, r.left, r.top, r.right, r.bottom, 6, 6);
        DrawTextA(dc, button.text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(face);
    DeleteObject(edge);
}

int ButtonAt(const std::vector<PaintedButton>& buttons, int x, int y) {
    POINT p = {x, y};
    for (const PaintedButton& button : buttons)
        if (PtInRect(&button.rect, p)) return button.id;
    return -1;
}

} // namespace win32_host
