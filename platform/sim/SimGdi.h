// Painting and GDI objects: device contexts, fonts and brushes, the drawing calls, icons, and
// which windows need painting. Everything is checked and accounted; nothing is drawn.
#pragma once

#include "platform/sim/SimCommon.h"
#include "platform/sim/SimConfig.h"
#include "platform/sim/SimRecords.h"

#include <cstdint>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace platform::sim {

class Kernel;
class WindowTree;
class Messaging;
struct Resource;

struct DeviceContext {
    HDC handle = nullptr;
    HWND window = nullptr;
    bool paint = false;
    HGDIOBJ font = nullptr;  // null: the stock font
    HGDIOBJ brush = nullptr; // null: the stock brush
    int backgroundMode = OPAQUE;
    COLORREF backgroundColor = RGB(255, 255, 255);
    COLORREF textColor = RGB(0, 0, 0);
    int stretchMode = 1;
};

struct GdiObject {
    enum class Kind { Font, Brush } kind = Kind::Font;
    LOGFONTW font{};
    COLORREF color = 0;
    int selections = 0; // DCs it is selected into
    bool deleted = false;
};

struct IconObject {
    int width = 0;
    int height = 0;
    bool shared = false;
    bool destroyed = false;
};

class Gdi {
public:
    Gdi(const SimConfig& config, Kernel& kernel, WindowTree& windows, Messaging& messaging);
    Gdi(const Gdi&) = delete;
    Gdi& operator=(const Gdi&) = delete;

    HBRUSH SysColorBrush(int index);

    // ---- Painting state, for the window manager and the message loop ----
    void Invalidate(HWND window, bool erase, bool children);
    void Paint(HWND window); // sends WM_PAINT when the window needs it
    HWND NextPaintWindow() const;
    void Validate(HWND window);
    void ValidateAll();
    bool NeedsPaint(HWND window) const { return invalid_.count(ValueOf(window)) != 0; }
    void WindowGone(HWND window);

    // ---- Test side ----
    std::optional<LOGFONTW> LogFontOf(HFONT font) const;
    std::optional<COLORREF> BrushColorOf(HBRUSH brush) const;
    const std::vector<LockWindowUpdateCall>& LockWindowUpdateCalls() const { return lockCalls_; }
    HWND LockedWindow() const { return locked_; }
    const std::vector<PaintOp>& PaintOps() const { return paintOps_; }
    void ClearPaintOps() { paintOps_.clear(); }

    // ---- The calls ----
    BOOL LockWindowUpdate(HWND window);
    BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
    BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags);
    BOOL UpdateWindow(HWND window);
    HDC GetDC(HWND window);
    int ReleaseDC(HWND window, HDC dc);
    int GetDeviceCaps(HDC dc, int index);
    HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
    BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
    HFONT CreateFontIndirectW(const LOGFONTW* font);
    HBRUSH CreateSolidBrush(COLORREF color);
    BOOL DeleteObject(HGDIOBJ object);
    HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
    DWORD GetSysColor(int index);
    int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
    int SetBkMode(HDC dc, int mode);
    COLORREF SetBkColor(HDC dc, COLORREF color);
    COLORREF SetTextColor(HDC dc, COLORREF color);
    int DrawTextW(HDC dc, const char16_t* text, int cchText, RECT* rect, UINT format);
    int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                      int ySrc, int srcWidth, int srcHeight, const void* bits,
                      const BITMAPINFO* info, UINT usage, DWORD rop);
    int SetStretchBltMode(HDC dc, int mode);
    BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state);
    BOOL DrawFocusRect(HDC dc, const RECT* rect);
    HICON CreateIconFromResourceEx(const BYTE* bits, DWORD size, BOOL icon, DWORD version, int cx,
                                   int cy, UINT flags);
    HANDLE LoadImageW(HINSTANCE instance, const char16_t* name, UINT type, int cx, int cy,
                      UINT flags);
    BOOL DestroyIcon(HICON icon);
    BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step,
                    HBRUSH flickerFreeDraw, UINT flags);

private:
    bool IsStock(HGDIOBJ object) const;
    DeviceContext* FindDc(HDC dc);
    HDC NewDc(HWND window, bool paint);
    bool ReleaseDc(HDC dc, HWND window, bool paint, const char* call);
    const LOGFONTW* FontInDc(const DeviceContext& dc) const;
    PaintOp& Draw(PaintOp::Kind kind, const DeviceContext& dc, RECT rect);

    const SimConfig& config_;
    Kernel& kernel_;
    WindowTree& windows_;
    Messaging& messaging_;

    HGDIOBJ stockFont_ = nullptr; // what a fresh DC has selected
    HGDIOBJ stockBrush_ = nullptr;
    std::map<int, HBRUSH> sysBrushes_; // GetSysColorBrush's permanent brushes
    std::map<std::uintptr_t, DeviceContext> dcs_;
    std::unordered_map<std::uintptr_t, GdiObject> gdiObjects_; // unordered, as windows
    std::map<std::uintptr_t, IconObject> icons_;
    std::map<std::pair<const Resource*, int>, HICON> sharedIcons_;
    std::vector<PaintOp> paintOps_;
    // The windows that need WM_PAINT (the whole client area: there are no update regions);
    // true: and WM_ERASEBKGND from BeginPaint.
    std::unordered_map<std::uintptr_t, bool> invalid_;
    HWND locked_ = nullptr;
    bool lockedInvalidated_ = false;
    std::vector<LockWindowUpdateCall> lockCalls_;
};

} // namespace platform::sim
