// Painting: device contexts, GDI objects, text, bitmaps, icons and frame controls.
#include "platform/win32/Win32Api.h"

#include "platform/win32/WindowsHeaders.h"

namespace platform::win32 {

using detail::FromWin;
using detail::ToWin;

HDC Win32Api::GetDC(HWND window) {
    return FromWin(::GetDC(ToWin(window)));
}

int Win32Api::ReleaseDC(HWND window, HDC dc) {
    return ::ReleaseDC(ToWin(window), ToWin(dc));
}

int Win32Api::GetDeviceCaps(HDC dc, int index) {
    return ::GetDeviceCaps(ToWin(dc), index);
}

HDC Win32Api::BeginPaint(HWND window, PAINTSTRUCT* paint) {
    return FromWin(::BeginPaint(ToWin(window), ToWin(paint)));
}

BOOL Win32Api::EndPaint(HWND window, const PAINTSTRUCT* paint) {
    return ::EndPaint(ToWin(window), ToWin(paint));
}

HFONT Win32Api::CreateFontIndirectW(const LOGFONTW* font) {
    return FromWin(::CreateFontIndirectW(ToWin(font)));
}

HBRUSH Win32Api::CreateSolidBrush(COLORREF color) {
    return FromWin(::CreateSolidBrush(color));
}

BOOL Win32Api::DeleteObject(HGDIOBJ object) {
    return ::DeleteObject(object);
}

HGDIOBJ Win32Api::SelectObject(HDC dc, HGDIOBJ object) {
    return ::SelectObject(ToWin(dc), object);
}

DWORD Win32Api::GetSysColor(int index) {
    return ::GetSysColor(index);
}

int Win32Api::FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    return ::FillRect(ToWin(dc), ToWin(rect), ToWin(brush));
}

int Win32Api::SetBkMode(HDC dc, int mode) {
    return ::SetBkMode(ToWin(dc), mode);
}

COLORREF Win32Api::SetBkColor(HDC dc, COLORREF color) {
    return ::SetBkColor(ToWin(dc), color);
}

COLORREF Win32Api::SetTextColor(HDC dc, COLORREF color) {
    return ::SetTextColor(ToWin(dc), color);
}

int Win32Api::DrawTextW(HDC dc, const char16_t* text, int cchText, RECT* rect, UINT format) {
    return ::DrawTextW(ToWin(dc), ToWin(text), cchText, ToWin(rect), format);
}

int Win32Api::StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                            int ySrc, int srcWidth, int srcHeight, const void* bits,
                            const BITMAPINFO* info, UINT usage, DWORD rop) {
    return ::StretchDIBits(ToWin(dc), xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth,
                           srcHeight, bits, ToWin(info), usage, rop);
}

int Win32Api::SetStretchBltMode(HDC dc, int mode) {
    return ::SetStretchBltMode(ToWin(dc), mode);
}

BOOL Win32Api::DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state) {
    return ::DrawFrameControl(ToWin(dc), ToWin(rect), type, state);
}

BOOL Win32Api::DrawFocusRect(HDC dc, const RECT* rect) {
    return ::DrawFocusRect(ToWin(dc), ToWin(rect));
}

HICON Win32Api::CreateIconFromResourceEx(const BYTE* bits, DWORD size, BOOL icon, DWORD version,
                                         int cx, int cy, UINT flags) {
    // Windows only reads the image; its prototype merely lacks the const.
    return FromWin(
        ::CreateIconFromResourceEx(const_cast<BYTE*>(bits), size, icon, version, cx, cy, flags));
}

HANDLE Win32Api::LoadImageW(HINSTANCE instance, const char16_t* name, UINT type, int cx, int cy,
                            UINT flags) {
    return ::LoadImageW(ToWin(instance), ToWin(name), type, cx, cy, flags);
}

BOOL Win32Api::DestroyIcon(HICON icon) {
    return ::DestroyIcon(ToWin(icon));
}

BOOL Win32Api::DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step,
                          HBRUSH flickerFreeDraw, UINT flags) {
    return ::DrawIconEx(ToWin(dc), x, y, ToWin(icon), cx, cy, step, ToWin(flickerFreeDraw), flags);
}

} // namespace platform::win32
