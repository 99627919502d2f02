// A seam implementation that forwards every call to another one and keeps the names of the
// calls in order: for tests of what the program does first, or not at all.
#pragma once

#include "platform/Api.h"

#include <string>
#include <utility>
#include <vector>

namespace launcher_test {

using namespace platform;

// clang-format off
class RecordingApi final : public Api {
public:
    explicit RecordingApi(Api& target) : target_(target) {}
    const std::vector<std::string>& Calls() const { return calls_; }
    // The time-out of each WaitForSingleObject, in order: the simulated desktop's processes end
    // during the first wait whatever it is, so only this shows it.
    const std::vector<DWORD>& WaitTimeouts() const { return waitTimeouts_; }
    // ShowWindow ("ShowWindow <command>") and SetForegroundWindow, with their window, in order.
    const std::vector<std::pair<HWND, std::string>>& WindowCalls() const { return windowCalls_; }

    LCID GetUserDefaultLCID() override { Record("GetUserDefaultLCID"); return target_.GetUserDefaultLCID(); }
    int GetLocaleInfoA(LCID locale, LCTYPE type, char* data, int cchData) override { Record("GetLocaleInfoA"); return target_.GetLocaleInfoA(locale, type, data, cchData); }
    DWORD CharUpperBuffA(char* text, DWORD length) override { Record("CharUpperBuffA"); return target_.CharUpperBuffA(text, length); }
    int lstrcmpA(const char* a, const char* b) override { Record("lstrcmpA"); return target_.lstrcmpA(a, b); }
    DWORD CharLowerBuffW(char16_t* text, DWORD length) override { Record("CharLowerBuffW"); return target_.CharLowerBuffW(text, length); }
    int CompareStringW(LCID locale, DWORD flags, const char16_t* a, int cchA, const char16_t* b, int cchB) override { Record("CompareStringW"); return target_.CompareStringW(locale, flags, a, cchA, b, cchB); }
    UINT GetACP() override { Record("GetACP"); return target_.GetACP(); }
    int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int cbText, char16_t* wide, int cchWide) override { Record("MultiByteToWideChar"); return target_.MultiByteToWideChar(codePage, flags, text, cbText, wide, cchWide); }
    int WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* wide, int cchWide, char* text, int cbText, const char* defaultChar, BOOL* usedDefaultChar) override { Record("WideCharToMultiByte"); return target_.WideCharToMultiByte(codePage, flags, wide, cchWide, text, cbText, defaultChar, usedDefaultChar); }
    DWORD GetVersion() override { Record("GetVersion"); return target_.GetVersion(); }
    DWORD GetCurrentDirectoryW(DWORD cchBuffer, char16_t* buffer) override { Record("GetCurrentDirectoryW"); return target_.GetCurrentDirectoryW(cchBuffer, buffer); }
    HANDLE CreateFileA(const char* fileName, DWORD access, DWORD shareMode, void* securityAttributes, DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile) override { Record("CreateFileA"); return target_.CreateFileA(fileName, access, shareMode, securityAttributes, creationDisposition, flagsAndAttributes, templateFile); }
    BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead, void* overlapped) override { Record("ReadFile"); return target_.ReadFile(file, buffer, bytesToRead, bytesRead, overlapped); }
    BOOL CloseHandle(HANDLE object) override { Record("CloseHandle"); return target_.CloseHandle(object); }
    HINSTANCE GetModuleHandleW(const char16_t* moduleName) override { Record("GetModuleHandleW"); return target_.GetModuleHandleW(moduleName); }
    DWORD GetModuleFileNameW(HINSTANCE module, char16_t* fileName, DWORD cchSize) override { Record("GetModuleFileNameW"); return target_.GetModuleFileNameW(module, fileName, cchSize); }
    HRSRC FindResourceW(HINSTANCE module, const char16_t* name, const char16_t* type) override { Record("FindResourceW"); return target_.FindResourceW(module, name, type); }
    HGLOBAL LoadResource(HINSTANCE module, HRSRC resource) override { Record("LoadResource"); return target_.LoadResource(module, resource); }
    void* LockResource(HGLOBAL resourceData) override { Record("LockResource"); return target_.LockResource(resourceData); }
    DWORD SizeofResource(HINSTANCE module, HRSRC resource) override { Record("SizeofResource"); return target_.SizeofResource(module, resource); }
    DWORD GetLastError() override { Record("GetLastError"); return target_.GetLastError(); }
    void SetLastError(DWORD errorCode) override { Record("SetLastError"); return target_.SetLastError(errorCode); }
    DWORD FormatMessageW(DWORD flags, const void* source, DWORD messageId, DWORD languageId, char16_t* buffer, DWORD size, void* arguments) override { Record("FormatMessageW"); return target_.FormatMessageW(flags, source, messageId, languageId, buffer, size, arguments); }
    HLOCAL LocalFree(HLOCAL memory) override { Record("LocalFree"); return target_.LocalFree(memory); }
    HANDLE GetProcessHeap() override { Record("GetProcessHeap"); return target_.GetProcessHeap(); }
    void* HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) override { Record("HeapAlloc"); return target_.HeapAlloc(heap, flags, bytes); }
    BOOL HeapFree(HANDLE heap, DWORD flags, void* memory) override { Record("HeapFree"); return target_.HeapFree(heap, flags, memory); }
    BOOL HeapSetInformation(HANDLE heap, HEAP_INFORMATION_CLASS informationClass, void* information, SIZE_T informationLength) override { Record("HeapSetInformation"); return target_.HeapSetInformation(heap, informationClass, information, informationLength); }
    BOOL SetDefaultDllDirectories(DWORD directoryFlags) override { Record("SetDefaultDllDirectories"); return target_.SetDefaultDllDirectories(directoryFlags); }
    BOOL SetDllDirectoryW(const char16_t* pathName) override { Record("SetDllDirectoryW"); return target_.SetDllDirectoryW(pathName); }
    BOOL SetSearchPathMode(DWORD flags) override { Record("SetSearchPathMode"); return target_.SetSearchPathMode(flags); }
    void GetNativeSystemInfo(SYSTEM_INFO* systemInfo) override { Record("GetNativeSystemInfo"); return target_.GetNativeSystemInfo(systemInfo); }
    BOOL IsWow64Process2(HANDLE process, USHORT* processMachine, USHORT* nativeMachine) override { Record("IsWow64Process2"); return target_.IsWow64Process2(process, processMachine, nativeMachine); }
    HANDLE GetCurrentProcess() override { Record("GetCurrentProcess"); return target_.GetCurrentProcess(); }
    DWORD GetCurrentThreadId() override { Record("GetCurrentThreadId"); return target_.GetCurrentThreadId(); }
    BOOL CreateProcessW(const char16_t* applicationName, char16_t* commandLine, void* processAttributes, void* threadAttributes, BOOL inheritHandles, DWORD creationFlags, void* environment, const char16_t* currentDirectory, STARTUPINFOW* startupInfo, PROCESS_INFORMATION* processInformation) override { Record("CreateProcessW"); return target_.CreateProcessW(applicationName, commandLine, processAttributes, threadAttributes, inheritHandles, creationFlags, environment, currentDirectory, startupInfo, processInformation); }
    DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) override { Record("WaitForSingleObject"); waitTimeouts_.push_back(milliseconds); return target_.WaitForSingleObject(handle, milliseconds); }
    BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode) override { Record("GetExitCodeProcess"); return target_.GetExitCodeProcess(process, exitCode); }
    ATOM RegisterClassExW(const WNDCLASSEXW* windowClass) override { Record("RegisterClassExW"); return target_.RegisterClassExW(windowClass); }
    HWND CreateWindowExW(DWORD exStyle, const char16_t* className, const char16_t* windowName, DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) override { Record("CreateWindowExW"); return target_.CreateWindowExW(exStyle, className, windowName, style, x, y, width, height, parent, menu, instance, param); }
    BOOL DestroyWindow(HWND window) override { Record("DestroyWindow"); return target_.DestroyWindow(window); }
    BOOL IsWindow(HWND window) override { Record("IsWindow"); return target_.IsWindow(window); }
    LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override { Record("DefWindowProcW"); return target_.DefWindowProcW(window, message, wParam, lParam); }
    LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) override { Record("CallWindowProcW"); return target_.CallWindowProcW(procedure, window, message, wParam, lParam); }
    LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR newLong) override { Record("SetWindowLongPtrW"); return target_.SetWindowLongPtrW(window, index, newLong); }
    LONG_PTR GetWindowLongPtrW(HWND window, int index) override { Record("GetWindowLongPtrW"); return target_.GetWindowLongPtrW(window, index); }
    BOOL SetWindowTextW(HWND window, const char16_t* text) override { Record("SetWindowTextW"); return target_.SetWindowTextW(window, text); }
    int GetWindowTextW(HWND window, char16_t* text, int cchMax) override { Record("GetWindowTextW"); return target_.GetWindowTextW(window, text, cchMax); }
    BOOL ShowWindow(HWND window, int command) override { Record("ShowWindow"); windowCalls_.emplace_back(window, "ShowWindow " + std::to_string(command)); return target_.ShowWindow(window, command); }
    BOOL IsWindowVisible(HWND window) override { Record("IsWindowVisible"); return target_.IsWindowVisible(window); }
    BOOL IsIconic(HWND window) override { Record("IsIconic"); return target_.IsIconic(window); }
    BOOL IsZoomed(HWND window) override { Record("IsZoomed"); return target_.IsZoomed(window); }
    BOOL EnableWindow(HWND window, BOOL enable) override { Record("EnableWindow"); return target_.EnableWindow(window, enable); }
    BOOL IsWindowEnabled(HWND window) override { Record("IsWindowEnabled"); return target_.IsWindowEnabled(window); }
    BOOL SetForegroundWindow(HWND window) override { Record("SetForegroundWindow"); windowCalls_.emplace_back(window, "SetForegroundWindow"); return target_.SetForegroundWindow(window); }
    HWND GetActiveWindow() override { Record("GetActiveWindow"); return target_.GetActiveWindow(); }
    HWND SetFocus(HWND window) override { Record("SetFocus"); return target_.SetFocus(window); }
    HWND GetFocus() override { Record("GetFocus"); return target_.GetFocus(); }
    HWND GetParent(HWND window) override { Record("GetParent"); return target_.GetParent(window); }
    BOOL GetWindowRect(HWND window, RECT* rect) override { Record("GetWindowRect"); return target_.GetWindowRect(window, rect); }
    BOOL GetClientRect(HWND window, RECT* rect) override { Record("GetClientRect"); return target_.GetClientRect(window, rect); }
    BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) override { Record("MoveWindow"); return target_.MoveWindow(window, x, y, width, height, repaint); }
    BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) override { Record("SetWindowPos"); return target_.SetWindowPos(window, insertAfter, x, y, cx, cy, flags); }
    int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) override { Record("MapWindowPoints"); return target_.MapWindowPoints(from, to, points, count); }
    BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) override { Record("AdjustWindowRectEx"); return target_.AdjustWindowRectEx(rect, style, menu, exStyle); }
    int GetSystemMetrics(int index) override { Record("GetSystemMetrics"); return target_.GetSystemMetrics(index); }
    UINT_PTR SHAppBarMessage(DWORD message, APPBARDATA* data) override { Record("SHAppBarMessage"); return target_.SHAppBarMessage(message, data); }
    BOOL LockWindowUpdate(HWND window) override { Record("LockWindowUpdate"); return target_.LockWindowUpdate(window); }
    BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) override { Record("InvalidateRect"); return target_.InvalidateRect(window, rect, erase); }
    BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags) override { Record("RedrawWindow"); return target_.RedrawWindow(window, rect, region, flags); }
    BOOL UpdateWindow(HWND window) override { Record("UpdateWindow"); return target_.UpdateWindow(window); }
    LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override { Record("SendMessageW"); return target_.SendMessageW(window, message, wParam, lParam); }
    BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override { Record("PostMessageW"); return target_.PostMessageW(window, message, wParam, lParam); }
    void PostQuitMessage(int exitCode) override { Record("PostQuitMessage"); return target_.PostQuitMessage(exitCode); }
    BOOL GetMessageW(MSG* message, HWND window, UINT filterMin, UINT filterMax) override { Record("GetMessageW"); return target_.GetMessageW(message, window, filterMin, filterMax); }
    BOOL TranslateMessage(const MSG* message) override { Record("TranslateMessage"); return target_.TranslateMessage(message); }
    LRESULT DispatchMessageW(const MSG* message) override { Record("DispatchMessageW"); return target_.DispatchMessageW(message); }
    BOOL IsDialogMessageW(HWND dialog, MSG* message) override { Record("IsDialogMessageW"); return target_.IsDialogMessageW(dialog, message); }
    int MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, UINT type) override { Record("MessageBoxW"); return target_.MessageBoxW(owner, text, caption, type); }
    HHOOK SetWindowsHookExW(int hookId, HOOKPROC procedure, HINSTANCE module, DWORD threadId) override { Record("SetWindowsHookExW"); return target_.SetWindowsHookExW(hookId, procedure, module, threadId); }
    BOOL UnhookWindowsHookEx(HHOOK hook) override { Record("UnhookWindowsHookEx"); return target_.UnhookWindowsHookEx(hook); }
    LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) override { Record("CallNextHookEx"); return target_.CallNextHookEx(hook, code, wParam, lParam); }
    HDC GetDC(HWND window) override { Record("GetDC"); return target_.GetDC(window); }
    int ReleaseDC(HWND window, HDC dc) override { Record("ReleaseDC"); return target_.ReleaseDC(window, dc); }
    int GetDeviceCaps(HDC dc, int index) override { Record("GetDeviceCaps"); return target_.GetDeviceCaps(dc, index); }
    HDC BeginPaint(HWND window, PAINTSTRUCT* paint) override { Record("BeginPaint"); return target_.BeginPaint(window, paint); }
    BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) override { Record("EndPaint"); return target_.EndPaint(window, paint); }
    HFONT CreateFontIndirectW(const LOGFONTW* font) override { Record("CreateFontIndirectW"); return target_.CreateFontIndirectW(font); }
    HBRUSH CreateSolidBrush(COLORREF color) override { Record("CreateSolidBrush"); return target_.CreateSolidBrush(color); }
    BOOL DeleteObject(HGDIOBJ object) override { Record("DeleteObject"); return target_.DeleteObject(object); }
    HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) override { Record("SelectObject"); return target_.SelectObject(dc, object); }
    DWORD GetSysColor(int index) override { Record("GetSysColor"); return target_.GetSysColor(index); }
    int FillRect(HDC dc, const RECT* rect, HBRUSH brush) override { Record("FillRect"); return target_.FillRect(dc, rect, brush); }
    int SetBkMode(HDC dc, int mode) override { Record("SetBkMode"); return target_.SetBkMode(dc, mode); }
    COLORREF SetBkColor(HDC dc, COLORREF color) override { Record("SetBkColor"); return target_.SetBkColor(dc, color); }
    COLORREF SetTextColor(HDC dc, COLORREF color) override { Record("SetTextColor"); return target_.SetTextColor(dc, color); }
    int DrawTextW(HDC dc, const char16_t* text, int cchText, RECT* rect, UINT format) override { Record("DrawTextW"); return target_.DrawTextW(dc, text, cchText, rect, format); }
    int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) override { Record("StretchDIBits"); return target_.StretchDIBits(dc, xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth, srcHeight, bits, info, usage, rop); }
    int SetStretchBltMode(HDC dc, int mode) override { Record("SetStretchBltMode"); return target_.SetStretchBltMode(dc, mode); }
    BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state) override { Record("DrawFrameControl"); return target_.DrawFrameControl(dc, rect, type, state); }
    BOOL DrawFocusRect(HDC dc, const RECT* rect) override { Record("DrawFocusRect"); return target_.DrawFocusRect(dc, rect); }
    HICON CreateIconFromResourceEx(const BYTE* bits, DWORD size, BOOL icon, DWORD version, int cx, int cy, UINT flags) override { Record("CreateIconFromResourceEx"); return target_.CreateIconFromResourceEx(bits, size, icon, version, cx, cy, flags); }
    HANDLE LoadImageW(HINSTANCE instance, const char16_t* name, UINT type, int cx, int cy, UINT flags) override { Record("LoadImageW"); return target_.LoadImageW(instance, name, type, cx, cy, flags); }
    BOOL DestroyIcon(HICON icon) override { Record("DestroyIcon"); return target_.DestroyIcon(icon); }
    BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flickerFreeDraw, UINT flags) override { Record("DrawIconEx"); return target_.DrawIconEx(dc, x, y, icon, cx, cy, step, flickerFreeDraw, flags); }

private:
    void Record(const char* name) { calls_.emplace_back(name); }
    Api& target_;
    std::vector<std::string> calls_;
    std::vector<DWORD> waitTimeouts_;
    std::vector<std::pair<HWND, std::string>> windowCalls_;
};
// clang-format on

} // namespace launcher_test
