// platform::Api, each call forwarded to the area that answers for it.
#include "platform/sim/SimAreas.h"
#include "platform/sim/SimDesktop.h"

namespace platform::sim {

LCID SimDesktop::GetUserDefaultLCID() {
    return areas_->locale.GetUserDefaultLCID();
}

int SimDesktop::GetLocaleInfoA(LCID locale, LCTYPE type, char* data, int cchData) {
    return areas_->locale.GetLocaleInfoA(locale, type, data, cchData);
}

DWORD SimDesktop::CharUpperBuffA(char* text, DWORD length) {
    return areas_->locale.CharUpperBuffA(text, length);
}

DWORD SimDesktop::CharLowerBuffW(char16_t* text, DWORD length) {
    return areas_->locale.CharLowerBuffW(text, length);
}

int SimDesktop::lstrcmpA(const char* a, const char* b) {
    return areas_->locale.lstrcmpA(a, b);
}

int SimDesktop::CompareStringW(LCID locale, DWORD flags, const char16_t* a, int cchA,
                               const char16_t* b, int cchB) {
    return areas_->locale.CompareStringW(locale, flags, a, cchA, b, cchB);
}

UINT SimDesktop::GetACP() {
    return areas_->locale.GetACP();
}

int SimDesktop::MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int cbText,
                                    char16_t* wide, int cchWide) {
    return areas_->locale.MultiByteToWideChar(codePage, flags, text, cbText, wide, cchWide);
}

int SimDesktop::WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* wide, int cchWide,
                                    char* text, int cbText, const char* defaultChar,
                                    BOOL* usedDefaultChar) {
    return areas_->locale.WideCharToMultiByte(codePage, flags, wide, cchWide, text, cbText,
                                              defaultChar, usedDefaultChar);
}

DWORD SimDesktop::GetVersion() {
    return areas_->kernel.GetVersion();
}

DWORD SimDesktop::GetCurrentDirectoryW(DWORD cchBuffer, char16_t* buffer) {
    return areas_->kernel.GetCurrentDirectoryW(cchBuffer, buffer);
}

HANDLE SimDesktop::CreateFileA(const char* fileName, DWORD access, DWORD shareMode,
                               void* securityAttributes, DWORD creationDisposition,
                               DWORD flagsAndAttributes, HANDLE templateFile) {
    return areas_->kernel.CreateFileA(fileName, access, shareMode, securityAttributes,
                                      creationDisposition, flagsAndAttributes, templateFile);
}

BOOL SimDesktop::ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead,
                          void* overlapped) {
    return areas_->kernel.ReadFile(file, buffer, bytesToRead, bytesRead, overlapped);
}

BOOL SimDesktop::CloseHandle(HANDLE object) {
    return areas_->kernel.CloseHandle(object);
}

HINSTANCE SimDesktop::GetModuleHandleW(const char16_t* moduleName) {
    return areas_->kernel.GetModuleHandleW(moduleName);
}

DWORD SimDesktop::GetModuleFileNameW(HINSTANCE module, char16_t* fileName, DWORD cchSize) {
    return areas_->kernel.GetModuleFileNameW(module, fileName, cchSize);
}

HRSRC SimDesktop::FindResourceW(HINSTANCE module, const char16_t* name, const char16_t* type) {
    return areas_->kernel.FindResourceW(module, name, type);
}

HGLOBAL SimDesktop::LoadResource(HINSTANCE module, HRSRC resource) {
    return areas_->kernel.LoadResource(module, resource);
}

void* SimDesktop::LockResource(HGLOBAL resourceData) {
    return areas_->kernel.LockResource(resourceData);
}

DWORD SimDesktop::SizeofResource(HINSTANCE module, HRSRC resource) {
    return areas_->kernel.SizeofResource(module, resource);
}

DWORD SimDesktop::GetLastError() {
    return areas_->kernel.GetLastError();
}

void SimDesktop::SetLastError(DWORD errorCode) {
    return areas_->kernel.SetLastError(errorCode);
}

DWORD SimDesktop::FormatMessageW(DWORD flags, const void* source, DWORD messageId, DWORD languageId,
                                 char16_t* buffer, DWORD size, void* arguments) {
    return areas_->kernel.FormatMessageW(flags, source, messageId, languageId, buffer, size,
                                         arguments);
}

HLOCAL SimDesktop::LocalFree(HLOCAL memory) {
    return areas_->kernel.LocalFree(memory);
}

HANDLE SimDesktop::GetProcessHeap() {
    return areas_->kernel.GetProcessHeap();
}

void* SimDesktop::HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    return areas_->kernel.HeapAlloc(heap, flags, bytes);
}

BOOL SimDesktop::HeapFree(HANDLE heap, DWORD flags, void* memory) {
    return areas_->kernel.HeapFree(heap, flags, memory);
}

BOOL SimDesktop::HeapSetInformation(HANDLE heap, HEAP_INFORMATION_CLASS informationClass,
                                    void* information, SIZE_T informationLength) {
    return areas_->kernel.HeapSetInformation(heap, informationClass, information,
                                             informationLength);
}

BOOL SimDesktop::SetDefaultDllDirectories(DWORD directoryFlags) {
    return areas_->kernel.SetDefaultDllDirectories(directoryFlags);
}

BOOL SimDesktop::SetDllDirectoryW(const char16_t* pathName) {
    return areas_->kernel.SetDllDirectoryW(pathName);
}

BOOL SimDesktop::SetSearchPathMode(DWORD flags) {
    return areas_->kernel.SetSearchPathMode(flags);
}

void SimDesktop::GetNativeSystemInfo(SYSTEM_INFO* systemInfo) {
    return areas_->kernel.GetNativeSystemInfo(systemInfo);
}

BOOL SimDesktop::IsWow64Process2(HANDLE process, USHORT* processMachine, USHORT* nativeMachine) {
    return areas_->kernel.IsWow64Process2(process, processMachine, nativeMachine);
}

HANDLE SimDesktop::GetCurrentProcess() {
    return areas_->kernel.GetCurrentProcess();
}

DWORD SimDesktop::GetCurrentThreadId() {
    return areas_->kernel.GetCurrentThreadId();
}

BOOL SimDesktop::CreateProcessW(const char16_t* applicationName, char16_t* commandLine,
                                void* processAttributes, void* threadAttributes,
                                BOOL inheritHandles, DWORD creationFlags, void* environment,
                                const char16_t* currentDirectory, STARTUPINFOW* startupInfo,
                                PROCESS_INFORMATION* processInformation) {
    return areas_->kernel.CreateProcessW(
        applicationName, commandLine, processAttributes, threadAttributes, inheritHandles,
        creationFlags, environment, currentDirectory, startupInfo, processInformation);
}

DWORD SimDesktop::WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return areas_->kernel.WaitForSingleObject(handle, milliseconds);
}

BOOL SimDesktop::GetExitCodeProcess(HANDLE process, DWORD* exitCode) {
    return areas_->kernel.GetExitCodeProcess(process, exitCode);
}

ATOM SimDesktop::RegisterClassExW(const WNDCLASSEXW* windowClass) {
    return areas_->windows.RegisterClassExW(windowClass);
}

HWND SimDesktop::CreateWindowExW(DWORD exStyle, const char16_t* className,
                                 const char16_t* windowName, DWORD style, int x, int y, int width,
                                 int height, HWND parent, HMENU menu, HINSTANCE instance,
                                 void* param) {
    return areas_->windows.CreateWindowExW(exStyle, className, windowName, style, x, y, width,
                                           height, parent, menu, instance, param);
}

BOOL SimDesktop::DestroyWindow(HWND window) {
    return areas_->windows.DestroyWindow(window);
}

BOOL SimDesktop::IsWindow(HWND window) {
    return areas_->windows.IsWindow(window);
}

LRESULT SimDesktop::DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return areas_->windows.DefWindowProcW(window, message, wParam, lParam);
}

LRESULT SimDesktop::CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam) {
    return areas_->messaging.CallWindowProcW(procedure, window, message, wParam, lParam);
}

LONG_PTR SimDesktop::SetWindowLongPtrW(HWND window, int index, LONG_PTR newLong) {
    return areas_->windows.SetWindowLongPtrW(window, index, newLong);
}

LONG_PTR SimDesktop::GetWindowLongPtrW(HWND window, int index) {
    return areas_->windows.GetWindowLongPtrW(window, index);
}

BOOL SimDesktop::SetWindowTextW(HWND window, const char16_t* text) {
    return areas_->windows.SetWindowTextW(window, text);
}

int SimDesktop::GetWindowTextW(HWND window, char16_t* text, int cchMax) {
    return areas_->windows.GetWindowTextW(window, text, cchMax);
}

BOOL SimDesktop::ShowWindow(HWND window, int command) {
    return areas_->windows.ShowWindow(window, command);
}

BOOL SimDesktop::IsWindowVisible(HWND window) {
    return areas_->windows.IsWindowVisible(window);
}

BOOL SimDesktop::IsIconic(HWND window) {
    return areas_->windows.IsIconic(window);
}

BOOL SimDesktop::IsZoomed(HWND window) {
    return areas_->windows.IsZoomed(window);
}

BOOL SimDesktop::EnableWindow(HWND window, BOOL enable) {
    return areas_->windows.EnableWindow(window, enable);
}

BOOL SimDesktop::IsWindowEnabled(HWND window) {
    return areas_->windows.IsWindowEnabled(window);
}

BOOL SimDesktop::SetForegroundWindow(HWND window) {
    return areas_->activation.SetForegroundWindow(window);
}

HWND SimDesktop::GetActiveWindow() {
    return areas_->activation.GetActiveWindow();
}

HWND SimDesktop::SetFocus(HWND window) {
    return areas_->activation.SetFocus(window);
}

HWND SimDesktop::GetFocus() {
    return areas_->activation.GetFocus();
}

HWND SimDesktop::GetParent(HWND window) {
    return areas_->windows.GetParent(window);
}

BOOL SimDesktop::GetWindowRect(HWND window, RECT* rect) {
    return areas_->windows.GetWindowRect(window, rect);
}

BOOL SimDesktop::GetClientRect(HWND window, RECT* rect) {
    return areas_->windows.GetClientRect(window, rect);
}

BOOL SimDesktop::MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    return areas_->windows.MoveWindow(window, x, y, width, height, repaint);
}

BOOL SimDesktop::SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                              UINT flags) {
    return areas_->windows.SetWindowPos(window, insertAfter, x, y, cx, cy, flags);
}

int SimDesktop::MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    return areas_->windows.MapWindowPoints(from, to, points, count);
}

BOOL SimDesktop::AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
    return areas_->windows.AdjustWindowRectEx(rect, style, menu, exStyle);
}

int SimDesktop::GetSystemMetrics(int index) {
    return areas_->windows.GetSystemMetrics(index);
}

UINT_PTR SimDesktop::SHAppBarMessage(DWORD message, APPBARDATA* data) {
    return areas_->windows.SHAppBarMessage(message, data);
}

BOOL SimDesktop::LockWindowUpdate(HWND window) {
    return areas_->gdi.LockWindowUpdate(window);
}

BOOL SimDesktop::InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    return areas_->gdi.InvalidateRect(window, rect, erase);
}

BOOL SimDesktop::RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags) {
    return areas_->gdi.RedrawWindow(window, rect, region, flags);
}

BOOL SimDesktop::UpdateWindow(HWND window) {
    return areas_->gdi.UpdateWindow(window);
}

LRESULT SimDesktop::SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return areas_->messaging.SendMessageW(window, message, wParam, lParam);
}

BOOL SimDesktop::PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return areas_->messaging.PostMessageW(window, message, wParam, lParam);
}

void SimDesktop::PostQuitMessage(int exitCode) {
    return areas_->messaging.PostQuitMessage(exitCode);
}

BOOL SimDesktop::GetMessageW(MSG* message, HWND window, UINT filterMin, UINT filterMax) {
    return areas_->messaging.GetMessageW(message, window, filterMin, filterMax);
}

BOOL SimDesktop::TranslateMessage(const MSG* message) {
    return areas_->messaging.TranslateMessage(message);
}

LRESULT SimDesktop::DispatchMessageW(const MSG* message) {
    return areas_->messaging.DispatchMessageW(message);
}

BOOL SimDesktop::IsDialogMessageW(HWND dialog, MSG* message) {
    return areas_->messaging.IsDialogMessageW(dialog, message);
}

int SimDesktop::MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, UINT type) {
    return areas_->messaging.MessageBoxW(owner, text, caption, type);
}

HHOOK SimDesktop::SetWindowsHookExW(int hookId, HOOKPROC procedure, HINSTANCE module,
                                    DWORD threadId) {
    return areas_->messaging.SetWindowsHookExW(hookId, procedure, module, threadId);
}

BOOL SimDesktop::UnhookWindowsHookEx(HHOOK hook) {
    return areas_->messaging.UnhookWindowsHookEx(hook);
}

LRESULT SimDesktop::CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    return areas_->messaging.CallNextHookEx(hook, code, wParam, lParam);
}

HDC SimDesktop::GetDC(HWND window) {
    return areas_->gdi.GetDC(window);
}

int SimDesktop::ReleaseDC(HWND window, HDC dc) {
    return areas_->gdi.ReleaseDC(window, dc);
}

int SimDesktop::GetDeviceCaps(HDC dc, int index) {
    return areas_->gdi.GetDeviceCaps(dc, index);
}

HDC SimDesktop::BeginPaint(HWND window, PAINTSTRUCT* paint) {
    return areas_->gdi.BeginPaint(window, paint);
}

BOOL SimDesktop::EndPaint(HWND window, const PAINTSTRUCT* paint) {
    return areas_->gdi.EndPaint(window, paint);
}

HFONT SimDesktop::CreateFontIndirectW(const LOGFONTW* font) {
    return areas_->gdi.CreateFontIndirectW(font);
}

HBRUSH SimDesktop::CreateSolidBrush(COLORREF color) {
    return areas_->gdi.CreateSolidBrush(color);
}

BOOL SimDesktop::DeleteObject(HGDIOBJ object) {
    return areas_->gdi.DeleteObject(object);
}

HGDIOBJ SimDesktop::SelectObject(HDC dc, HGDIOBJ object) {
    return areas_->gdi.SelectObject(dc, object);
}

DWORD SimDesktop::GetSysColor(int index) {
    return areas_->gdi.GetSysColor(index);
}

int SimDesktop::FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    return areas_->gdi.FillRect(dc, rect, brush);
}

int SimDesktop::SetBkMode(HDC dc, int mode) {
    return areas_->gdi.SetBkMode(dc, mode);
}

COLORREF SimDesktop::SetBkColor(HDC dc, COLORREF color) {
    return areas_->gdi.SetBkColor(dc, color);
}

COLORREF SimDesktop::SetTextColor(HDC dc, COLORREF color) {
    return areas_->gdi.SetTextColor(dc, color);
}

int SimDesktop::DrawTextW(HDC dc, const char16_t* text, int cchText, RECT* rect, UINT format) {
    return areas_->gdi.DrawTextW(dc, text, cchText, rect, format);
}

int SimDesktop::StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                              int ySrc, int srcWidth, int srcHeight, const void* bits,
                              const BITMAPINFO* info, UINT usage, DWORD rop) {
    return areas_->gdi.StretchDIBits(dc, xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth,
                                     srcHeight, bits, info, usage, rop);
}

int SimDesktop::SetStretchBltMode(HDC dc, int mode) {
    return areas_->gdi.SetStretchBltMode(dc, mode);
}

BOOL SimDesktop::DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state) {
    return areas_->gdi.DrawFrameControl(dc, rect, type, state);
}

BOOL SimDesktop::DrawFocusRect(HDC dc, const RECT* rect) {
    return areas_->gdi.DrawFocusRect(dc, rect);
}

HICON SimDesktop::CreateIconFromResourceEx(const BYTE* bits, DWORD size, BOOL icon, DWORD version,
                                           int cx, int cy, UINT flags) {
    return areas_->gdi.CreateIconFromResourceEx(bits, size, icon, version, cx, cy, flags);
}

HANDLE SimDesktop::LoadImageW(HINSTANCE instance, const char16_t* name, UINT type, int cx, int cy,
                              UINT flags) {
    return areas_->gdi.LoadImageW(instance, name, type, cx, cy, flags);
}

BOOL SimDesktop::DestroyIcon(HICON icon) {
    return areas_->gdi.DestroyIcon(icon);
}

BOOL SimDesktop::DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step,
                            HBRUSH flickerFreeDraw, UINT flags) {
    return areas_->gdi.DrawIconEx(dc, x, y, icon, cx, cy, step, flickerFreeDraw, flags);
}

} // namespace platform::sim
