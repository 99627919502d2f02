// The real implementation of the seam: every method forwards to the Windows call of the same
// name. This header stays free of <windows.h> so that the entry can install it without
// dragging the Windows macros into the rest of the program.
#pragma once

#include "platform/Api.h"

namespace platform::win32 {

class Win32Api final : public Api {
public:
    // ---- Locale, code pages, version (Kernel.cpp) ---------------------------------------
    LCID GetUserDefaultLCID() override;
    int GetLocaleInfoA(LCID locale, LCTYPE type, char* data, int cchData) override;
    DWORD CharUpperBuffA(char* text, DWORD length) override;
    DWORD CharLowerBuffW(char16_t* text, DWORD length) override;
    int lstrcmpA(const char* a, const char* b) override;
    int CompareStringW(LCID locale, DWORD flags, const char16_t* a, int cchA, const char16_t* b,
                       int cchB) override;
    UINT GetACP() override;
    int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int cbText,
                            char16_t* wide, int cchWide) override;
    int WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* wide, int cchWide,
                            char* text, int cbText, const char* defaultChar,
                            BOOL* usedDefaultChar) override;
    DWORD GetVersion() override;

    // ---- Files, directories, module (Kernel.cpp) ------------------------------------------
    DWORD GetCurrentDirectoryW(DWORD cchBuffer, char16_t* buffer) override;
    HANDLE CreateFileA(const char* fileName, DWORD access, DWORD shareMode,
                       void* securityAttributes, DWORD creationDisposition,
                       DWORD flagsAndAttributes, HANDLE templateFile) override;
    BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead,
                  void* overlapped) override;
    BOOL CloseHandle(HANDLE object) override;
    HINSTANCE GetModuleHandleW(const char16_t* moduleName) override;
    DWORD GetModuleFileNameW(HINSTANCE module, char16_t* fileName, DWORD cchSize) override;
    HRSRC FindResourceW(HINSTANCE module, const char16_t* name, const char16_t* type) override;
    HGLOBAL LoadResource(HINSTANCE module, HRSRC resource) override;
    void* LockResource(HGLOBAL resourceData) override;
    DWORD SizeofResource(HINSTANCE module, HRSRC resource) override;

    // ---- Errors (Kernel.cpp) ---------------------------------------------------------------
    DWORD GetLastError() override;
    void SetLastError(DWORD errorCode) override;
    DWORD FormatMessageW(DWORD flags, const void* source, DWORD messageId, DWORD languageId,
                         char16_t* buffer, DWORD size, void* arguments) override;
    HLOCAL LocalFree(HLOCAL memory) override;

    // ---- Memory, processes, threads (Kernel.cpp) -------------------------------------------
    HANDLE GetProcessHeap() override;
    void* HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) override;
    BOOL HeapFree(HANDLE heap, DWORD flags, void* memory) override;
    BOOL HeapSetInformation(HANDLE heap, HEAP_INFORMATION_CLASS informationClass,
                            void* information, SIZE_T informationLength) override;
    BOOL SetDefaultDllDirectories(DWORD directoryFlags) override;
    BOOL SetDllDirectoryW(const char16_t* pathName) override;
    BOOL SetSearchPathMode(DWORD flags) override;
    void GetNativeSystemInfo(SYSTEM_INFO* systemInfo) override;
    BOOL IsWow64Process2(HANDLE process, USHORT* processMachine, USHORT* nativeMachine) override;
    HANDLE GetCurrentProcess() override;
    DWORD GetCurrentThreadId() override;
    BOOL CreateProcessW(const char16_t* applicationName, char16_t* commandLine,
                        void* processAttributes, void* threadAttributes, BOOL inheritHandles,
                        DWORD creationFlags, void* environment, const char16_t* currentDirectory,
                        STARTUPINFOW* startupInfo,
                        PROCESS_INFORMATION* processInformation) override;
    DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) override;
    BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode) override;

    // ---- Windows: classes, creation, state (User.cpp) --------------------------------------
    ATOM RegisterClassExW(const WNDCLASSEXW* windowClass) override;
    HWND CreateWindowExW(DWORD exStyle, const char16_t* className, const char16_t* windowName,
                         DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu,
                         HINSTANCE instance, void* param) override;
    BOOL DestroyWindow(HWND window) override;
    BOOL IsWindow(HWND window) override;
    LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam) override;
    LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR newLong) override;
    LONG_PTR GetWindowLongPtrW(HWND window, int index) override;
    BOOL SetWindowTextW(HWND window, const char16_t* text) override;
    int GetWindowTextW(HWND window, char16_t* text, int cchMax) override;
    BOOL ShowWindow(HWND window, int command) override;
    BOOL IsWindowVisible(HWND window) override;
    BOOL IsIconic(HWND window) override;
    BOOL IsZoomed(HWND window) override;
    BOOL EnableWindow(HWND window, BOOL enable) override;
    BOOL IsWindowEnabled(HWND window) override;
    BOOL SetForegroundWindow(HWND window) override;
    HWND GetActiveWindow() override;
    HWND SetFocus(HWND window) override;
    HWND GetFocus() override;
    HWND GetParent(HWND window) override;

    // ---- Windows: geometry (User.cpp) ------------------------------------------------------
    BOOL GetWindowRect(HWND window, RECT* rect) override;
    BOOL GetClientRect(HWND window, RECT* rect) override;
    BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) override;
    BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                      UINT flags) override;
    int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) override;
    BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) override;
    int GetSystemMetrics(int index) override;
    UINT_PTR SHAppBarMessage(DWORD message, APPBARDATA* data) override;
    BOOL LockWindowUpdate(HWND window) override;
    BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) override;
    BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags) override;
    BOOL UpdateWindow(HWND window) override;

    // ---- Messages and hooks (User.cpp) -----------------------------------------------------
    LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostQuitMessage(int exitCode) override;
    BOOL GetMessageW(MSG* message, HWND window, UINT filterMin, UINT filterMax) override;
    BOOL TranslateMessage(const MSG* message) override;
    LRESULT DispatchMessageW(const MSG* message) override;
    BOOL IsDialogMessageW(HWND dialog, MSG* message) override;
    int MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, UINT type) override;
    HHOOK SetWindowsHookExW(int hookId, HOOKPROC procedure, HINSTANCE module,
                            DWORD threadId) override;
    BOOL UnhookWindowsHookEx(HHOOK hook) override;
    LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) override;

    // ---- Painting (Gdi.cpp) ------------------------------------------------------------------
    HDC GetDC(HWND window) override;
    int ReleaseDC(HWND window, HDC dc) override;
    int GetDeviceCaps(HDC dc, int index) override;
    HDC BeginPaint(HWND window, PAINTSTRUCT* paint) override;
    BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) override;
    HFONT CreateFontIndirectW(const LOGFONTW* font) override;
    HBRUSH CreateSolidBrush(COLORREF color) override;
    BOOL DeleteObject(HGDIOBJ object) override;
    HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) override;
    DWORD GetSysColor(int index) override;
    int FillRect(HDC dc, const RECT* rect, HBRUSH brush) override;
    int SetBkMode(HDC dc, int mode) override;
    COLORREF SetBkColor(HDC dc, COLORREF color) override;
    COLORREF SetTextColor(HDC dc, COLORREF color) override;
    int DrawTextW(HDC dc, const char16_t* text, int cchText, RECT* rect, UINT format) override;
    int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                      int ySrc, int srcWidth, int srcHeight, const void* bits,
                      const BITMAPINFO* info, UINT usage, DWORD rop) override;
    int SetStretchBltMode(HDC dc, int mode) override;
    BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state) override;
    BOOL DrawFocusRect(HDC dc, const RECT* rect) override;
    HICON CreateIconFromResourceEx(const BYTE* bits, DWORD size, BOOL icon, DWORD version, int cx,
                                   int cy, UINT flags) override;
    HANDLE LoadImageW(HINSTANCE instance, const char16_t* name, UINT type, int cx, int cy,
                      UINT flags) override;
    BOOL DestroyIcon(HICON icon) override;
    BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step,
                    HBRUSH flickerFreeDraw, UINT flags) override;
};

} // namespace platform::win32
