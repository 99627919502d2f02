// The simulated desktop: a deterministic, single-threaded stand-in for Windows that host
// tests install through platform::ScopedApi and then drive as a user would.
//
// It is written from what the program expects of each call, not from Windows' sources, and
// follows Windows' message order where the program can see it. What it does NOT emulate:
//   - pixels: GDI calls are checked and accounted, nothing is drawn; DrawTextW measures with
//     a rough font model (every character 0.5 x |lfHeight| wide, one line |lfHeight| high;
//     16 pixels when no font or a zero height is selected);
//   - threads other than the configured one, other processes' windows, multiple monitors;
//   - menus, scroll bars, carets, timers, the mouse (except the button clicks below), the
//     system menu, mnemonics (Alt+letter), arrow-key navigation in dialogs, WM_NCHITTEST;
//   - dialog templates and the dialog manager (DefDlgProc): IsDialogMessageW works on any
//     window, as it does on Windows for ordinary windows, but nothing moves the default
//     push-button style when the focus moves. Like Windows, it takes every message for the
//     dialog or its children (TRUE: it has translated and dispatched it itself) and FALSE for
//     any other. Tab / Shift+Tab move to the next / previous visible, enabled WS_TABSTOP
//     child (into WS_EX_CONTROLPARENT children). Enter sends WM_COMMAND(id, BN_CLICKED) to the
//     dialog for the focused push button (BS_PUSHBUTTON / BS_DEFPUSHBUTTON: what a dialog's
//     focused button is), otherwise for DM_GETDEFID's button when the dialog answers
//     DC_HASDEFID and the button is enabled, otherwise WM_COMMAND(IDOK); Escape sends
//     WM_COMMAND(IDCANCEL). Alt+F4 is DefWindowProcW's: it posts WM_SYSCOMMAND SC_CLOSE to
//     the top-level window, as Windows does;
//   - message boxes run no modal loop: they are recorded and answered at once (see
//     OnMessageBox); while one is "up" its owner is disabled and a "#32770" window is active;
//   - WM_PAINT comes from UpdateWindow (synchronously) and from GetMessageW when nothing else
//     is queued, as on Windows; showing, resizing and InvalidateRect make a window need it
//     (the whole client area: there are no update regions; RedrawWindow takes RDW_INVALIDATE,
//     RDW_VALIDATE, RDW_ERASE, RDW_ALLCHILDREN, RDW_NOCHILDREN and RDW_UPDATENOW, and no
//     internal paints, frames or RDW_ERASENOW). A window that does not validate
//     itself is validated after its WM_PAINT anyway (Windows would repeat the message
//     forever). LockWindowUpdate holds back the locked window's painting until it is unlocked;
//   - WM_ERASEBKGND is sent by BeginPaint only; no WM_NCHITTEST, WM_SETCURSOR, WM_MOUSEACTIVATE,
//     WM_IME_*, WM_GETICON queries or accessibility events;
//   - files: read-only access to existing files on drive C: and on the network shares of
//     SimConfig::networkShares (each mapped to a host folder); names match case-insensitively
//     for ASCII and Latin-1 letters only; a server without shares gives ERROR_BAD_NETPATH, a
//     share the server lacks ERROR_BAD_NET_NAME, as Windows does (not Wine); no other drives,
//     no short (8.3) names, no streams, no overlapped I/O;
//   - code pages: 932, 1252, 437 (OEM), 65001 and whatever else iconv knows as "CP<n>"; the
//     best-fit mapping of WideCharToMultiByte (without WC_NO_BEST_FIT_CHARS) covers only
//     Latin letters with diacritics (U+00C0-U+017F) and full-width ASCII (U+FF01-U+FF5E);
//   - lstrcmpA compares like a word sort on ASCII letters (case-insensitive first, lower
//     case before upper case on a tie), bytewise otherwise;
//   - CharLowerBuffW and CompareStringW map case with glibc's C.UTF-8 tables, one UTF-16 unit
//     at a time (so the Basic Multilingual Plane only, with no locale-specific rules such as
//     Turkish dotless i); CompareStringW orders by the lower-cased units, not by Windows'
//     linguistic weights, so only its equality and plain-letter order can be relied on;
//   - processes are scripted (ScriptProcess); nothing is executed. CreateProcessW finds the
//     program file as Windows does (the application name completed against the current
//     directory; without one, the command line's first name searched in the module's folder,
//     the current directory, the system folder and the PATH) and starts the script of that
//     file; a file without a script fails with ERROR_BAD_EXE_FORMAT. A scripted process
//     "runs" during the first wait on it and has ended afterwards, whatever the timeout;
//   - the maximised size and position follow the rule Wine and ReactOS implement: the
//     MINMAXINFO is pre-filled for the whole screen (plus frame), and a ptMaxSize or
//     ptMaxPosition the window leaves unchanged is then moved to the work area;
//   - minimised top-level windows lie at (-32000, -32000), as with a taskbar on Windows;
//   - WM_SHOWWINDOW comes whenever ShowWindow changes the visibility (SW_SHOWNORMAL included)
//     but not for a change of state (minimise, maximise, restore) nor for SW_SHOWMAXIMIZED,
//     as Wine's conformance tests show Windows does; the documentation says otherwise.
//
// Behaviour of Windows that window procedures meet here too:
//   - CreateWindowExW of a sizeable or overlapped window sends WM_GETMINMAXINFO before
//     WM_NCCREATE; DefWindowProcW's WM_NCCREATE sets the window text; children and pop-ups get
//     WM_SIZE and WM_MOVE after WM_CREATE, overlapped windows on their first showing (even
//     when a move or resize while hidden has already sent them WM_SIZE);
//   - WM_GETMINMAXINFO during a move comes from DefWindowProcW's WM_WINDOWPOSCHANGING, and
//     WM_MOVE / WM_SIZE from DefWindowProcW's WM_WINDOWPOSCHANGED: a procedure that keeps
//     those from DefWindowProcW gets neither;
//   - DefWindowProcW's WM_ACTIVATE gives the focus to the window itself: restoring the focus
//     to a control after an activation is the window's business. Minimising or hiding the
//     only visible window leaves no active window (as if another program's were active).
#pragma once

#include "platform/Api.h"
#include "platform/sim/SimConfig.h"
#include "platform/sim/SimLedger.h"
#include "platform/sim/SimRecords.h"
#include "platform/sim/SimTestSide.h"

#include <memory>

namespace platform::sim {

struct DesktopAreas;

// The front: platform::Api forwarded to the areas that answer for each call, and the three
// sides a test sees (SimTestSide.h).
class SimDesktop final : public Api,
                         public DesktopArrangement,
                         public DesktopObservation,
                         public DesktopUser {
public:
    explicit SimDesktop(SimConfig config = {});
    ~SimDesktop() override;
    SimDesktop(const SimDesktop&) = delete;
    SimDesktop& operator=(const SimDesktop&) = delete;

    // ---- Api -------------------------------------------------------------------------------
    // Locale, code pages, version
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

    // Files, directories, module
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

    // Errors
    DWORD GetLastError() override;
    void SetLastError(DWORD errorCode) override;
    DWORD FormatMessageW(DWORD flags, const void* source, DWORD messageId, DWORD languageId,
                         char16_t* buffer, DWORD size, void* arguments) override;
    HLOCAL LocalFree(HLOCAL memory) override;

    // Memory, processes, threads
    HANDLE GetProcessHeap() override;
    void* HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) override;
    BOOL HeapFree(HANDLE heap, DWORD flags, void* memory) override;
    BOOL HeapSetInformation(HANDLE heap, HEAP_INFORMATION_CLASS informationClass, void* information,
                            SIZE_T informationLength) override;
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

    // Windows: classes, creation, state
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

    // Windows: geometry
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

    // Messages and hooks
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

    // Painting
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

private:
    friend class DesktopArrangement;
    friend class DesktopObservation;
    friend class DesktopUser;
    std::unique_ptr<DesktopAreas> areas_;
};

} // namespace platform::sim
