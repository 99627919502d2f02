// User-interface and shell services: windows, geometry, messages, hooks.
#include "platform/win32/Win32Api.h"

#include "platform/win32/WindowsHeaders.h"

namespace platform::win32 {

using detail::FromWin;
using detail::ToWin;

// ---- Windows: classes, creation, state -------------------------------------------------------

ATOM Win32Api::RegisterClassExW(const WNDCLASSEXW* windowClass) {
    return ::RegisterClassExW(ToWin(windowClass));
}

HWND Win32Api::CreateWindowExW(DWORD exStyle, const char16_t* className, const char16_t* windowName,
                               DWORD style, int x, int y, int width, int height, HWND parent,
                               HMENU menu, HINSTANCE instance, void* param) {
    return FromWin(::CreateWindowExW(exStyle, ToWin(className), ToWin(windowName), style, x, y,
                                     width, height, ToWin(parent), ToWin(menu), ToWin(instance),
                                     param));
}

BOOL Win32Api::DestroyWindow(HWND window) {
    return ::DestroyWindow(ToWin(window));
}

BOOL Win32Api::IsWindow(HWND window) {
    return ::IsWindow(ToWin(window));
}

LRESULT Win32Api::DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(ToWin(window), message, wParam, lParam);
}

LRESULT Win32Api::CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam,
                                  LPARAM lParam) {
    return ::CallWindowProcW(ToWin(procedure), ToWin(window), message, wParam, lParam);
}

// 32-bit Windows has no ...LongPtr exports; the LONG calls are the pointer-sized ones there.
LONG_PTR Win32Api::SetWindowLongPtrW(HWND window, int index, LONG_PTR newLong) {
#ifdef _WIN64
    return ::SetWindowLongPtrW(ToWin(window), index, newLong);
#else
    return ::SetWindowLongW(ToWin(window), index, newLong);
#endif
}

LONG_PTR Win32Api::GetWindowLongPtrW(HWND window, int index) {
#ifdef _WIN64
    return ::GetWindowLongPtrW(ToWin(window), index);
#else
    return ::GetWindowLongW(ToWin(window), index);
#endif
}

BOOL Win32Api::SetWindowTextW(HWND window, const char16_t* text) {
    return ::SetWindowTextW(ToWin(window), ToWin(text));
}

int Win32Api::GetWindowTextW(HWND window, char16_t* text, int cchMax) {
    return ::GetWindowTextW(ToWin(window), ToWin(text), cchMax);
}

BOOL Win32Api::ShowWindow(HWND window, int command) {
    return ::ShowWindow(ToWin(window), command);
}

BOOL Win32Api::IsWindowVisible(HWND window) {
    return ::IsWindowVisible(ToWin(window));
}

BOOL Win32Api::IsIconic(HWND window) {
    return ::IsIconic(ToWin(window));
}

BOOL Win32Api::IsZoomed(HWND window) {
    return ::IsZoomed(ToWin(window));
}

BOOL Win32Api::EnableWindow(HWND window, BOOL enable) {
    return ::EnableWindow(ToWin(window), enable);
}

BOOL Win32Api::IsWindowEnabled(HWND window) {
    return ::IsWindowEnabled(ToWin(window));
}

BOOL Win32Api::SetForegroundWindow(HWND window) {
    return ::SetForegroundWindow(ToWin(window));
}

HWND Win32Api::GetActiveWindow() {
    return FromWin(::GetActiveWindow());
}

HWND Win32Api::SetFocus(HWND window) {
    return FromWin(::SetFocus(ToWin(window)));
}

HWND Win32Api::GetFocus() {
    return FromWin(::GetFocus());
}

HWND Win32Api::GetParent(HWND window) {
    return FromWin(::GetParent(ToWin(window)));
}

// ---- Windows: geometry -----------------------------------------------------------------------

BOOL Win32Api::GetWindowRect(HWND window, RECT* rect) {
    return ::GetWindowRect(ToWin(window), ToWin(rect));
}

BOOL Win32Api::GetClientRect(HWND window, RECT* rect) {
    return ::GetClientRect(ToWin(window), ToWin(rect));
}

BOOL Win32Api::MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    return ::MoveWindow(ToWin(window), x, y, width, height, repaint);
}

BOOL Win32Api::SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                            UINT flags) {
    return ::SetWindowPos(ToWin(window), ToWin(insertAfter), x, y, cx, cy, flags);
}

int Win32Api::MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    return ::MapWindowPoints(ToWin(from), ToWin(to), ToWin(points), count);
}

BOOL Win32Api::AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
    return ::AdjustWindowRectEx(ToWin(rect), style, menu, exStyle);
}

int Win32Api::GetSystemMetrics(int index) {
    return ::GetSystemMetrics(index);
}

UINT_PTR Win32Api::SHAppBarMessage(DWORD message, APPBARDATA* data) {
    return ::SHAppBarMessage(message, ToWin(data));
}

BOOL Win32Api::LockWindowUpdate(HWND window) {
    return ::LockWindowUpdate(ToWin(window));
}

BOOL Win32Api::InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    return ::InvalidateRect(ToWin(window), ToWin(rect), erase);
}

BOOL Win32Api::RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags) {
    return ::RedrawWindow(ToWin(window), ToWin(rect), ToWin(region), flags);
}

BOOL Win32Api::UpdateWindow(HWND window) {
    return ::UpdateWindow(ToWin(window));
}

// ---- Messages and hooks ----------------------------------------------------------------------

LRESULT Win32Api::SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(ToWin(window), message, wParam, lParam);
}

BOOL Win32Api::PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(ToWin(window), message, wParam, lParam);
}

void Win32Api::PostQuitMessage(int exitCode) {
    ::PostQuitMessage(exitCode);
}

BOOL Win32Api::GetMessageW(MSG* message, HWND window, UINT filterMin, UINT filterMax) {
    return ::GetMessageW(ToWin(message), ToWin(window), filterMin, filterMax);
}

BOOL Win32Api::TranslateMessage(const MSG* message) {
    return ::TranslateMessage(ToWin(message));
}

LRESULT Win32Api::DispatchMessageW(const MSG* message) {
    return ::DispatchMessageW(ToWin(message));
}

BOOL Win32Api::IsDialogMessageW(HWND dialog, MSG* message) {
    return ::IsDialogMessageW(ToWin(dialog), ToWin(message));
}

int Win32Api::MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, UINT type) {
    return ::MessageBoxW(ToWin(owner), ToWin(text), ToWin(caption), type);
}

HHOOK Win32Api::SetWindowsHookExW(int hookId, HOOKPROC procedure, HINSTANCE module,
                                  DWORD threadId) {
    return FromWin(::SetWindowsHookExW(hookId, ToWin(procedure), ToWin(module), threadId));
}

BOOL Win32Api::UnhookWindowsHookEx(HHOOK hook) {
    return ::UnhookWindowsHookEx(ToWin(hook));
}

LRESULT Win32Api::CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    return ::CallNextHookEx(ToWin(hook), code, wParam, lParam);
}

} // namespace platform::win32
