// A seam implementation in front of the simulated desktop that marks every call as the
// system's, so that the allocation switch counts only what the program itself allocates, and
// lets a test look at the program each time it calls the system.
#pragma once

#include "platform/Api.h"
#include "platform/sim/SimAllocationFaults.h"

#include <functional>
#include <utility>

namespace launcher_test {

using namespace platform;

// clang-format off
class SystemSideApi final : public Api {
public:
    // `onCall` runs on the system's side before each call is forwarded.
    SystemSideApi(Api& target, std::function<void()> onCall) : target_(target), onCall_(std::move(onCall)) {}

    LCID GetUserDefaultLCID() override { const Call call(*this); return target_.GetUserDefaultLCID(); }
    int GetLocaleInfoA(LCID locale, LCTYPE type, char* data, int cchData) override { const Call call(*this); return target_.GetLocaleInfoA(locale, type, data, cchData); }
    DWORD CharUpperBuffA(char* text, DWORD length) override { const Call call(*this); return target_.CharUpperBuffA(text, length); }
    int lstrcmpA(const char* a, const char* b) override { const Call call(*this); return target_.lstrcmpA(a, b); }
    DWORD CharLowerBuffW(char16_t* text, DWORD length) override { const Call call(*this); return target_.CharLowerBuffW(text, length); }
    int CompareStringW(LCID locale, DWORD flags, const char16_t* a, int cchA, const char16_t* b, int cchB) override { const Call call(*this); return target_.CompareStringW(locale, flags, a, cchA, b, cchB); }
    UINT GetACP() override { const Call call(*this); return target_.GetACP(); }
    int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int cbText, char16_t* wide, int cchWide) override { const Call call(*this); return target_.MultiByteToWideChar(codePage, flags, text, cbText, wide, cchWide); }
    int WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* wide, int cchWide, char* text, int cbText, const char* defaultChar, BOOL* usedDefaultChar) override { const Call call(*this); return target_.WideCharToMultiByte(codePage, flags, wide, cchWide, text, cbText, defaultChar, usedDefaultChar); }
    DWORD GetVersion() override { const Call call(*this); return target_.GetVersion(); }
    DWORD GetCurrentDirectoryW(DWORD cchBuffer, char16_t* buffer) override { const Call call(*this); return target_.GetCurrentDirectoryW(cchBuffer, buffer); }
    HANDLE CreateFileA(const char* fileName, DWORD access, DWORD shareMode, void* securityAttributes, DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile) override { const Call call(*this); return target_.CreateFileA(fileName, access, shareMode, securityAttributes, creationDisposition, flagsAndAttributes, templateFile); }
    BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead, void* overlapped) override { const Call call(*this); return target_.ReadFile(file, buffer, bytesToRead, bytesRead, overlapped); }
    BOOL CloseHandle(HANDLE object) override { const Call call(*this); return target_.CloseHandle(object); }
    HINSTANCE GetModuleHandleW(const char16_t* moduleName) override { const Call call(*this); return target_.GetModuleHandleW(moduleName); }
    DWORD GetModuleFileNameW(HINSTANCE module, char16_t* fileName, DWORD cchSize) override { const Call call(*this); return target_.GetModuleFileNameW(module, fileName, cchSize); }
    HRSRC FindResourceW(HINSTANCE module, const char16_t* name, const char16_t* type) override { const Call call(*this); return target_.FindResourceW(module, name, type); }
    HGLOBAL LoadResource(HINSTANCE module, HRSRC resource) override { const Call call(*this); return target_.LoadResource(module, resource); }
    void* LockResource(HGLOBAL resourceData) override { const Call call(*this); return target_.LockResource(resourceData); }
    DWORD SizeofResource(HINSTANCE module, HRSRC resource) override { const Call call(*this); return target_.SizeofResource(module, resource); }
    DWORD GetLastError() override { const Call call(*this); return target_.GetLastError(); }
    void SetLastError(DWORD errorCode) override { const Call call(*this); return target_.SetLastError(errorCode); }
    DWORD FormatMessageW(DWORD flags, const void* source, DWORD messageId, DWORD languageId, char16_t* buffer, DWORD size, void* arguments) override { const Call call(*this); return target_.FormatMessageW(flags, source, messageId, languageId, buffer, size, arguments); }
    HLOCAL LocalFree(HLOCAL memory) override { const Call call(*this); return target_.LocalFree(memory); }
    HANDLE GetProcessHeap() override { const Call call(*this); return target_.GetProcessHeap(); }
    void* HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) override { const Call call(*this); return target_.HeapAlloc(heap, flags, bytes); }
    BOOL HeapFree(HANDLE heap, DWORD flags, void* memory) override { const Call call(*this); return target_.HeapFree(heap, flags, memory); }
    BOOL HeapSetInformation(HANDLE heap, HEAP_INFORMATION_CLASS informationClass, void* information, SIZE_T informationLength) override { const Call call(*this); return target_.HeapSetInformation(heap, informationClass, information, informationLength); }
    BOOL SetDefaultDllDirectories(DWORD directoryFlags) override { const Call call(*this); return target_.SetDefaultDllDirectories(directoryFlags); }
    BOOL SetDllDirectoryW(const char16_t* pathName) override { const Call call(*this); return target_.SetDllDirectoryW(pathName); }
    BOOL SetSearchPathMode(DWORD flags) override { const Call call(*this); return target_.SetSearchPathMode(flags); }
    void GetNativeSystemInfo(SYSTEM_INFO* systemInfo) override { const Call call(*this); return target_.GetNativeSystemInfo(systemInfo); }
    BOOL IsWow64Process2(HANDLE process, USHORT* processMachine, USHORT* nativeMachine) override { const Call call(*this); return target_.IsWow64Process2(process, processMachine, nativeMachine); }
    HANDLE GetCurrentProcess() override { const Call call(*this); return target_.GetCurrentProcess(); }
    DWORD GetCurrentThreadId() override { const Call call(*this); return target_.GetCurrentThreadId(); }
    BOOL CreateProcessW(const char16_t* applicationName, char16_t* commandLine, void* processAttributes, void* threadAttributes, BOOL inheritHandles, DWORD creationFlags, void* environment, const char16_t* currentDirectory, STARTUPINFOW* startupInfo, PROCESS_INFORMATION* processInformation) override { const Call call(*this); return target_.CreateProcessW(applicationName, commandLine, processAttributes, threadAttributes, inheritHandles, creationFlags, environment, currentDirectory, startupInfo, processInformation); }
    DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) override { const Call call(*this); return target_.WaitForSingleObject(handle, milliseconds); }
    BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode) override { const Call call(*this); return target_.GetExitCodeProcess(process, exitCode); }
    ATOM RegisterClassExW(const WNDCLASSEXW* windowClass) override { const Call call(*this); return target_.RegisterClassExW(windowClass); }
    HWND CreateWindowExW(DWORD exStyle, const char16_t* className, const char16_t* windowName, DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) override { const Call call(*this); return target_.CreateWindowExW(exStyle, className, windowName, style, x, y, width, height, parent, menu, instance, param); }
    BOOL DestroyWindow(HWND window) override { const Call call(*this); return target_.DestroyWindow(window); }
    BOOL IsWindow(HWND window) override { const Call call(*this); return target_.IsWindow(window); }
    LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override { const Call call(*this); return target_.DefWindowProcW(window, message, wParam, lParam); }
    LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) override { const Call call(*this); return target_.CallWindowProcW(procedure, window, message, wParam, lParam); }
    LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR newLong) override { const Call call(*this); return target_.SetWindowLongPtrW(window, index, newLong); }
    LONG_PTR GetWindowLongPtrW(HWND window, int index) override { const Call call(*this); return target_.GetWindowLongPtrW(window, index); }
    BOOL SetWindowTextW(HWND window, const char16_t* text) override { const Call call(*this); return target_.SetWindowTextW(window, text); }
    int GetWindowTextW(HWND window, char16_t* text, int cchMax) override { const Call call(*this); return target_.GetWindowTextW(window, text, cchMax); }
    BOOL ShowWindow(HWND window, int command) override { const Call call(*this); return target_.ShowWindow(window, command); }
    BOOL IsWindowVisible(HWND window) override { const Call call(*this); return target_.IsWindowVisible(window); }
    BOOL IsIconic(HWND window) override { const Call call(*this); return target_.IsIconic(window); }
    BOOL IsZoomed(HWND window) override { const Call call(*this); return target_.IsZoomed(window); }
    BOOL EnableWindow(HWND window, BOOL enable) override { const Call call(*this); return target_.EnableWindow(window, enable); }
    BOOL IsWindowEnabled(HWND window) override { const Call call(*this); return target_.IsWindowEnabled(window); }
    BOOL SetForegroundWindow(HWND window) override { const Call call(*this); return target_.SetForegroundWindow(window); }
    HWND GetActiveWindow() override { const Call call(*this); return target_.GetActiveWindow(); }
    HWND SetFocus(HWND window) override { const Call call(*this); return target_.SetFocus(window); }
    HWND GetFocus() override { const Call call(*this); return target_.GetFocus(); }
    HWND GetParent(HWND window) override { const Call call(*this); return target_.GetParent(window); }
    BOOL GetWindowRect(HWND window, RECT* rect) override { const Call call(*this); return target_.GetWindowRect(window, rect); }
    BOOL GetClientRect(HWND window, RECT* rect) override { const Call call(*this); return target_.GetClientRect(window, rect); }
    BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) override { const Call call(*this); return target_.MoveWindow(window, x, y, width, height, repaint); }
    BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) override { const Call call(*this); return target_.SetWindowPos(window, insertAfter, x, y, cx, cy, flags); }
    int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) override { const Call call(*this); return target_.MapWindowPoints(from, to, points, count); }
    BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) override { const Call call(*this); return target_.AdjustWindowRectEx(rect, style, menu, exStyle); }
    int GetSystemMetrics(int index) override { const Call call(*this); return target_.GetSystemMetrics(index); }
    UINT_PTR SHAppBarMessage(DWORD message, APPBARDATA* data) override { const Call call(*this); return target_.SHAppBarMessage(message, data); }
    BOOL LockWindowUpdate(HWND window) override { const Call call(*this); return target_.LockWindowUpdate(window); }
    BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) override { const Call call(*this); return target_.InvalidateRect(window, rect, erase); }
    BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags) override { const Call call(*this); return target_.RedrawWindow(window, rect, region, flags); }
    BOOL UpdateWindow(HWND window) override { const Call call(*this); return target_.UpdateWindow(window); }
    LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override { const Call call(*this); return target_.SendMessageW(window, message, wParam, lParam); }
    BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override { const Call call(*this); return target_.PostMessageW(window, message, wParam, lParam); }
    void PostQuitMessage(int exitCode) override { const Call call(*this); return target_.PostQuitMessage(exitCode); }
    BOOL GetMessageW(MSG* message, HWND window, UINT filterMin, UINT filterMax) override { const Call call(*this); return target_.GetMessageW(message, window, filterMin, filterMax); }
    BOOL TranslateMessage(const MSG* message) override { const Call call(*this); return target_.TranslateMessage(message); }
    LRESULT DispatchMessageW(const MSG* message) override { const Call call(*this); return target_.DispatchMessageW(message); }
    BOOL IsDialogMessageW(HWND dialog, MSG* message) override { const Call call(*this); return target_.IsDialogMessageW(dialog, message); }
    int MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, UINT type) override { const Call call(*this); return target_.MessageBoxW(owner, text, caption, type); }
    HHOOK SetWindowsHookExW(int hookId, HOOKPROC procedure, HINSTANCE module, DWORD threadId) override { const Call call(*this); return target_.SetWindowsHookExW(hookId, procedure, module, threadId); }
    BOOL UnhookWindowsHookEx(HHOOK hook) override { const Call call(*this); return target_.UnhookWindowsHookEx(hook); }
    LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) override { const Call call(*this); return target_.CallNextHookEx(hook, code, wParam, lParam); }
    HDC GetDC(HWND window) override { const Call call(*this); return target_.GetDC(window); }
    int ReleaseDC(HWND window, HDC dc) override { const Call call(*this); return target_.ReleaseDC(window, dc); }
    int GetDeviceCaps(HDC dc, int index) override { const Call call(*this); return target_.GetDeviceCaps(dc, index); }
    HDC BeginPaint(HWND window, PAINTSTRUCT* paint) override { const Call call(*this); return target_.BeginPaint(window, paint); }
    BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) override { const Call call(*this); return target_.EndPaint(window, paint); }
    HFONT CreateFontIndirectW(const LOGFONTW* font) override { const Call call(*this); return target_.CreateFontIndirectW(font); }
    HBRUSH CreateSolidBrush(COLORREF color) override { const Call call(*this); return target_.CreateSolidBrush(color); }
    BOOL DeleteObject(HGDIOBJ object) override { const Call call(*this); return target_.DeleteObject(object); }
    HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) override { const Call call(*this); return target_.SelectObject(dc, object); }
    DWORD GetSysColor(int index) override { const Call call(*this); return target_.GetSysColor(index); }
    int FillRect(HDC dc, const RECT* rect, HBRUSH brush) override { const Call call(*this); return target_.FillRect(dc, rect, brush); }
    int SetBkMode(HDC dc, int mode) override { const Call call(*this); return target_.SetBkMode(dc, mode); }
    COLORREF SetBkColor(HDC dc, COLORREF color) override { const Call call(*this); return target_.SetBkColor(dc, color); }
    COLORREF SetTextColor(HDC dc, COLORREF color) override { const Call call(*this); return target_.SetTextColor(dc, color); }
    int DrawTextW(HDC dc, const char16_t* text, int cchText, RECT* rect, UINT format) override { const Call call(*this); return target_.DrawTextW(dc, text, cchText, rect, format); }
    int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) override { const Call call(*this); return target_.StretchDIBits(dc, xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth, srcHeight, bits, info, usage, rop); }
    int SetStretchBltMode(HDC dc, int mode) override { const Call call(*this); return target_.SetStretchBltMode(dc, mode); }
    BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state) override { const Call call(*this); return target_.DrawFrameControl(dc, rect, type, state); }
    BOOL DrawFocusRect(HDC dc, const RECT* rect) override { const Call call(*this); return target_.DrawFocusRect(dc, rect); }
    HICON CreateIconFromResourceEx(const BYTE* bits, DWORD size, BOOL icon, DWORD version, int cx, int cy, UINT flags) override { const Call call(*this); return target_.CreateIconFromResourceEx(bits, size, icon, version, cx, cy, flags); }
    HANDLE LoadImageW(HINSTANCE instance, const char16_t* name, UINT type, int cx, int cy, UINT flags) override { const Call call(*this); return target_.LoadImageW(instance, name, type, cx, cy, flags); }
    BOOL DestroyIcon(HICON icon) override { const Call call(*this); return target_.DestroyIcon(icon); }
    BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flickerFreeDraw, UINT flags) override { const Call call(*this); return target_.DrawIconEx(dc, x, y, icon, cx, cy, step, flickerFreeDraw, flags); }

private:
    struct Call {
        explicit Call(SystemSideApi& api) {
            if (api.onCall_) {
                api.onCall_();
            }
        }
        platform::sim::SystemSide side;
    };
    Api& target_;
    std::function<void()> onCall_;
};
// clang-format on

} // namespace launcher_test
