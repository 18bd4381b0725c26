// Native (non-Windows) replacement for the few Win32 declarations the module uses. Only the
// native build puts this folder on the include path; the Windows builds use the real header.
// Every function records its call (see standin.h) so tests can check drawing and messages.
#ifndef ORBELLO_STANDIN_WINDOWS_H
#define ORBELLO_STANDIN_WINDOWS_H

#include <cstdint>

#define WINAPI
#define CALLBACK
#define APIENTRY

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned int UINT;
typedef int INT;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef float FLOAT;
typedef void* LPVOID;
typedef void* HANDLE;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef std::uintptr_t WPARAM;
typedef std::intptr_t LPARAM;
typedef std::intptr_t LRESULT;
typedef std::uint32_t COLORREF;

// Distinct pointer types, as a strict Windows build has them, so a handle of one kind cannot
// be passed where another is expected.
typedef struct HWND__* HWND;
typedef struct HDC__* HDC;
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef struct HPEN__* HPEN;
typedef struct HFONT__* HFONT;
typedef struct HBITMAP__* HBITMAP;
typedef void* HGDIOBJ;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
struct POINT {
    LONG x;
    LONG y;
};
typedef POINT* LPPOINT;

#define RGB(r, g, b)                                                                               \
    ((COLORREF)(((BYTE)(r) | ((unsigned)(BYTE)(g) << 8)) | ((unsigned)(BYTE)(b) << 16)))

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

#define IMAGE_BITMAP 0
#define LR_LOADFROMFILE 0x00000010
#define SRCAND 0x008800C6
#define SRCPAINT 0x00EE0086
#define PS_SOLID 0
#define DEFAULT_CHARSET 1
#define FW_NORMAL 400
#define MB_OK 0x00000000
#define IDOK 1
#define ERROR_FILE_NOT_FOUND 2
#define ERROR_FILENAME_EXCED_RANGE 206

extern "C" {
DWORD GetLastError(void);
void SetLastError(DWORD code);
UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName);

LRESULT SendMessageA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hdc);
BOOL InvalidateRect(HWND hWnd, const RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND hWnd);
HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
HPEN CreatePen(int style, int width, COLORREF color);
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR faceName);
BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT previous);
BOOL LineTo(HDC hdc, int x, int y);
BOOL AngleArc(HDC hdc, int x, int y, DWORD radius, FLOAT startAngle, FLOAT sweepAngle);
BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC source, int x1, int y1, DWORD rop);
COLORREF SetTextColor(HDC hdc, COLORREF color);
BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int length);
}

#endif
