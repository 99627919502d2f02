// The one seam to the operating system. Every call the program makes to Windows goes
// through platform::Os(): the entry installs the real implementation, a host test installs
// the simulated desktop. Each method stands for the Windows call of the same name, takes
// the same arguments in the same order and behaves the same way.
#pragma once

#include "platform/Types.h"

namespace platform {

class Api {
public:
    virtual ~Api() = default;

    // ---- Locale, code pages, version ------------------------------------------------------
    virtual LCID GetUserDefaultLCID() = 0;
    virtual int GetLocaleInfoA(LCID locale, LCTYPE type, char* data, int cchData) = 0;
    virtual DWORD CharUpperBuffA(char* text, DWORD length) = 0;
    virtual DWORD CharLowerBuffW(char16_t* text, DWORD length) = 0;
    virtual int lstrcmpA(const char* a, const char* b) = 0;
    virtual int CompareStringW(LCID locale, DWORD flags, const char16_t* a, int cchA,
                               const char16_t* b, int cchB) = 0;
    virtual UINT GetACP() = 0;
    virtual int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int cbText,
                                    char16_t* wide, int cchWide) = 0;
    virtual int WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* wide, int cchWide,
                                    char* text, int cbText, const char* defaultChar,
                                    BOOL* usedDefaultChar) = 0;
    virtual DWORD GetVersion() = 0;

    // ---- Files, directories, module ---------------------------------------------------------
    virtual DWORD GetCurrentDirectoryW(DWORD cchBuffer, char16_t* buffer) = 0;
    virtual HANDLE CreateFileA(const char* fileName, DWORD access, DWORD shareMode,
                               void* securityAttributes, DWORD creationDisposition,
                               DWORD flagsAndAttributes, HANDLE templateFile) = 0;
    virtual BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead,
                          void* overlapped) = 0;
    virtual BOOL CloseHandle(HANDLE object) = 0;
    virtual HINSTANCE GetModuleHandleW(const char16_t* moduleName) = 0;
    virtual DWORD GetModuleFileNameW(HINSTANCE module, char16_t* fileName, DWORD cchSize) = 0;
    virtual HRSRC FindResourceW(HINSTANCE module, const char16_t* name, const char16_t* type) = 0;
    virtual HGLOBAL LoadResource(HINSTANCE module, HRSRC resource) = 0;
    virtual void* LockResource(HGLOBAL resourceData) = 0;
    virtual DWORD SizeofResource(HINSTANCE module, HRSRC resource) = 0;

    // ---- Errors ----------------------------------------------------------------------------
    virtual DWORD GetLastError() = 0;
    virtual void SetLastError(DWORD errorCode) = 0;
    // With FORMAT_MESSAGE_ALLOCATE_BUFFER, `buffer` is really a char16_t** that receives a
    // block to be released with LocalFree, exactly as on Windows. Insert arguments are not
    // supported: `arguments` must be null.
    virtual DWORD FormatMessageW(DWORD flags, const void* source, DWORD messageId,
                                 DWORD languageId, char16_t* buffer, DWORD size,
                                 void* arguments) = 0;
    virtual HLOCAL LocalFree(HLOCAL memory) = 0;

    // ---- Memory, processes, threads ---------------------------------------------------------
    virtual HANDLE GetProcessHeap() = 0;
    virtual void* HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) = 0;
    virtual BOOL HeapFree(HANDLE heap, DWORD flags, void* memory) = 0;
    virtual BOOL HeapSetInformation(HANDLE heap, HEAP_INFORMATION_CLASS informationClass,
                                    void* information, SIZE_T informationLength) = 0;
    // Bound when first called; where the system lacks it, it fails with ERROR_PROC_NOT_FOUND.
    virtual BOOL SetDefaultDllDirectories(DWORD directoryFlags) = 0;
    virtual BOOL SetDllDirectoryW(const char16_t* pathName) = 0;
    // Bound when first called; where the system lacks it, it fails with ERROR_PROC_NOT_FOUND.
    virtual BOOL SetSearchPathMode(DWORD flags) = 0;
    // Bound when first called; where the system lacks it, it falls back to GetSystemInfo.
    virtual void GetNativeSystemInfo(SYSTEM_INFO* systemInfo) = 0;
    // Bound when first called; where the system lacks it, it fails with ERROR_PROC_NOT_FOUND.
    virtual BOOL IsWow64Process2(HANDLE process, USHORT* processMachine,
                                 USHORT* nativeMachine) = 0;
    virtual HANDLE GetCurrentProcess() = 0;
    virtual DWORD GetCurrentThreadId() = 0;
    virtual BOOL CreateProcessW(const char16_t* applicationName, char16_t* commandLine,
                                void* processAttributes, void* threadAttributes,
                                BOOL inheritHandles, DWORD creationFlags, void* environment,
                                const char16_t* currentDirectory, STARTUPINFOW* startupInfo,
                                PROCESS_INFORMATION* processInformation) = 0;
    virtual DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) = 0;
    virtual BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode) = 0;

    // ---- Windows: classes, creation, state ----------------------------------------------------
    virtual ATOM RegisterClassExW(const WNDCLASSEXW* windowClass) = 0;
    virtual HWND CreateWindowExW(DWORD exStyle, const char16_t* className,
                                 const char16_t* windowName, DWORD style, int x, int y,
                                 int width, int height, HWND parent, HMENU menu,
                                 HINSTANCE instance, void* param) = 0;
    virtual BOOL DestroyWindow(HWND window) = 0;
    virtual BOOL IsWindow(HWND window) = 0;
    virtual LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam) = 0;
    virtual LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR newLong) = 0;
    virtual LONG_PTR GetWindowLongPtrW(HWND window, int index) = 0;
    virtual BOOL SetWindowTextW(HWND window, const char16_t* text) = 0;
    virtual int GetWindowTextW(HWND window, char16_t* text, int cchMax) = 0;
    virtual BOOL ShowWindow(HWND window, int command) = 0;
    virtual BOOL IsWindowVisible(HWND window) = 0;
    virtual BOOL IsIconic(HWND window) = 0;
    virtual BOOL IsZoomed(HWND window) = 0;
    virtual BOOL EnableWindow(HWND window, BOOL enable) = 0;
    virtual BOOL IsWindowEnabled(HWND window) = 0;
    virtual BOOL SetForegroundWindow(HWND window) = 0;
    virtual HWND GetActiveWindow() = 0;
    virtual HWND SetFocus(HWND window) = 0;
    virtual HWND GetFocus() = 0;
    virtual HWND GetParent(HWND window) = 0;

    // ---- Windows: geometry -----------------------------------------------------------------
    virtual BOOL GetWindowRect(HWND window, RECT* rect) = 0;
    virtual BOOL GetClientRect(HWND window, RECT* rect) = 0;
    virtual BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) = 0;
    virtual BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                              UINT flags) = 0;
    virtual int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) = 0;
    virtual BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) = 0;
    virtual int GetSystemMetrics(int index) = 0;
    virtual UINT_PTR SHAppBarMessage(DWORD message, APPBARDATA* data) = 0;
    virtual BOOL LockWindowUpdate(HWND window) = 0;
    virtual BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) = 0;
    virtual BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags) = 0;
    virtual BOOL UpdateWindow(HWND window) = 0;

    // ---- Messages and hooks ------------------------------------------------------------------
    virtual LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual void PostQuitMessage(int exitCode) = 0;
    virtual BOOL GetMessageW(MSG* message, HWND window, UINT filterMin, UINT filterMax) = 0;
    virtual BOOL TranslateMessage(const MSG* message) = 0;
    virtual LRESULT DispatchMessageW(const MSG* message) = 0;
    virtual BOOL IsDialogMessageW(HWND dialog, MSG* message) = 0;
    virtual int MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption,
                            UINT type) = 0;
    virtual HHOOK SetWindowsHookExW(int hookId, HOOKPROC procedure, HINSTANCE module,
                                    DWORD threadId) = 0;
    virtual BOOL UnhookWindowsHookEx(HHOOK hook) = 0;
    virtual LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) = 0;

    // ---- Painting ----------------------------------------------------------------------------
    virtual HDC GetDC(HWND window) = 0;
    virtual int ReleaseDC(HWND window, HDC dc) = 0;
    virtual int GetDeviceCaps(HDC dc, int index) = 0;
    virtual HDC BeginPaint(HWND window, PAINTSTRUCT* paint) = 0;
    virtual BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) = 0;
    virtual HFONT CreateFontIndirectW(const LOGFONTW* font) = 0;
    virtual HBRUSH CreateSolidBrush(COLORREF color) = 0;
    virtual BOOL DeleteObject(HGDIOBJ object) = 0;
    virtual HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) = 0;
    virtual DWORD GetSysColor(int index) = 0;
    virtual int FillRect(HDC dc, const RECT* rect, HBRUSH brush) = 0;
    virtual int SetBkMode(HDC dc, int mode) = 0;
    virtual COLORREF SetBkColor(HDC dc, COLORREF color) = 0;
    virtual COLORREF SetTextColor(HDC dc, COLORREF color) = 0;
    virtual int DrawTextW(HDC dc, const char16_t* text, int cchText, RECT* rect, UINT format) = 0;
    virtual int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight,
                              int xSrc, int ySrc, int srcWidth, int srcHeight, const void* bits,
                              const BITMAPINFO* info, UINT usage, DWORD rop) = 0;
    virtual int SetStretchBltMode(HDC dc, int mode) = 0;
    virtual BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state) = 0;
    virtual BOOL DrawFocusRect(HDC dc, const RECT* rect) = 0;
    virtual HICON CreateIconFromResourceEx(const BYTE* bits, DWORD size, BOOL icon,
                                           DWORD version, int cx, int cy, UINT flags) = 0;
    virtual HANDLE LoadImageW(HINSTANCE instance, const char16_t* name, UINT type, int cx,
                              int cy, UINT flags) = 0;
    virtual BOOL DestroyIcon(HICON icon) = 0;
    virtual BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step,
                            HBRUSH flickerFreeDraw, UINT flags) = 0;
};

// The implementation in force. Tests and the entry install one; nothing is created lazily.
Api& Os();
void InstallApi(Api* api);

// Installs an implementation for the lifetime of a scope and puts the previous one back.
class ScopedApi {
public:
    explicit ScopedApi(Api& api);
    ~ScopedApi();
    ScopedApi(const ScopedApi&) = delete;
    ScopedApi& operator=(const ScopedApi&) = delete;

private:
    Api* previous_;
};

} // namespace platform
