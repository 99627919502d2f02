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
//     (the whole client area: there are no update regions). A window that does not validate
//     itself is validated after its WM_PAINT anyway (Windows would repeat the message
//     forever). LockWindowUpdate holds back the locked window's painting until it is unlocked;
//   - WM_ERASEBKGND is sent by BeginPaint only; no WM_NCHITTEST, WM_SETCURSOR, WM_MOUSEACTIVATE,
//     WM_IME_*, WM_GETICON queries or accessibility events;
//   - files: read-only access to existing files on drive C: (mapped to a host folder); names
//     match case-insensitively for ASCII and Latin-1 letters only; no UNC paths, no short
//     (8.3) names, no streams, no overlapped I/O;
//   - code pages: 932, 1252, 437 (OEM), 65001 and whatever else iconv knows as "CP<n>"; the
//     best-fit mapping of WideCharToMultiByte (without WC_NO_BEST_FIT_CHARS) covers only
//     Latin letters with diacritics (U+00C0-U+017F) and full-width ASCII (U+FF01-U+FF5E);
//   - lstrcmpA compares like a word sort on ASCII letters (case-insensitive first, lower
//     case before upper case on a tie), bytewise otherwise;
//   - CharLowerBuffW and CompareStringW map case with glibc's C.UTF-8 tables, one UTF-16 unit
//     at a time (so the Basic Multilingual Plane only, with no locale-specific rules such as
//     Turkish dotless i); CompareStringW orders by the lower-cased units, not by Windows'
//     linguistic weights, so only its equality and plain-letter order can be relied on;
//   - processes are scripted (ScriptProcess); nothing is executed. A scripted process
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

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform::sim {

// WM_STYLECHANGING / WM_STYLECHANGED point to this record.
struct STYLESTRUCT {
    DWORD styleOld;
    DWORD styleNew;
};

// ---- Configuration ---------------------------------------------------------------------------

// Window frame sizes, as the classic theme of Windows 7 has them at 96 dpi. They drive
// AdjustWindowRectEx, the client rectangle of every window and GetSystemMetrics.
struct FrameMetrics {
    int captionHeight = 19;      // SM_CYCAPTION: the caption bar with its bottom line
    int smallCaptionHeight = 16; // SM_CYSMCAPTION: tool windows
    int sizingFrame = 4;         // SM_CXSIZEFRAME: WS_THICKFRAME
    int fixedFrame = 3;          // SM_CXFIXEDFRAME: WS_DLGFRAME / WS_CAPTION without sizing
    int border = 1;              // SM_CXBORDER: WS_BORDER alone
    int edge = 2;                // SM_CXEDGE: WS_EX_CLIENTEDGE
    int menuHeight = 19;         // SM_CYMENU
    int minTrackWidth = 112;     // SM_CXMINTRACK
    int minTrackHeight = 27;     // SM_CYMINTRACK
    int minimizedWidth = 160;    // SM_CXMINIMIZED
    int minimizedHeight = 24;    // SM_CYMINIMIZED
};

struct SimConfig {
    // Screen and shell.
    int screenWidth = 1280;
    int screenHeight = 1024;
    int dpiX = 96; // GetDeviceCaps(LOGPIXELSX) on any DC
    int dpiY = 96; // GetDeviceCaps(LOGPIXELSY)
    RECT taskbar{0, 1004, 1280, 1024};
    bool taskbarAutoHide = false;
    FrameMetrics frame;
    int iconWidth = 32, iconHeight = 32;           // SM_CXICON / SM_CYICON
    int smallIconWidth = 16, smallIconHeight = 16; // SM_CXSMICON / SM_CYSMICON

    // Locale and system.
    LCID userLcid = 1033;
    std::string abbrevLangName = "ENU"; // GetLocaleInfoA(LOCALE_SABBREVLANGNAME)
    UINT ansiCodePage = 1252;           // CP_ACP, GetACP
    // WideCharToMultiByte to UTF-8 refuses flags other than WC_ERR_INVALID_CHARS (to UTF-7,
    // any flag) with ERROR_INVALID_FLAGS, and any default-character argument with
    // ERROR_INVALID_PARAMETER.
    // Windows does not say which it checks first; a call that breaks both gets the flag
    // error unless this is set.
    bool utf8DefaultCharCheckFirst = false;
    DWORD version = 0x1DB10106;         // GetVersion: 6.1, build 7601
    WORD nativeArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
    DWORD processorCount = 2;
    bool hasIsWow64Process2 = false; // false: the call fails with ERROR_PROC_NOT_FOUND
    // What IsWow64Process2 reports; unset: derived from nativeArchitecture for a 32-bit
    // process (I386 under emulation on a 64-bit machine, "not emulated" on x86).
    std::optional<USHORT> wow64ProcessMachine;
    std::optional<USHORT> wow64NativeMachine;
    DWORD threadId = 1;
    // Windows 7 without its loader update lacks the first; Vista before SP2 the second. Absent,
    // the call fails with ERROR_PROC_NOT_FOUND.
    bool hasSetDefaultDllDirectories = true;
    bool hasSetSearchPathMode = true;

    // Files: drive C: is a host folder. Empty: the desktop makes a private temporary folder
    // (with the current directory inside it) and removes it when it is destroyed.
    std::filesystem::path driveRoot;
    std::u16string currentDirectory = u"C:\\Packages\\Demo";
    std::u16string moduleFileName = u"C:\\Packages\\Demo\\Setup.exe";
};

// A resource name or type: a small integer or a string (compared case-insensitively).
class ResourceId {
public:
    ResourceId(int id); // NOLINT: integers convert, as MAKEINTRESOURCE does
    ResourceId(const char16_t* nameOrIntResource); // NOLINT
    ResourceId(std::u16string name);               // NOLINT
    bool IsInteger() const { return isInteger_; }
    WORD Integer() const { return integer_; }
    const std::u16string& Name() const { return name_; } // upper-cased
    bool operator==(const ResourceId& other) const;

private:
    bool isInteger_ = false;
    WORD integer_ = 0;
    std::u16string name_;
};

// ---- The handle ledger -----------------------------------------------------------------------

enum class HandleKind {
    File,
    Process,
    Thread,
    HeapBlock,
    LocalBlock,
    Window,
    Hook,
    WindowDC, // GetDC
    PaintDC,  // BeginPaint
    Font,
    Brush,
    Icon,
};
const char* KindName(HandleKind kind);

struct LedgerEntry {
    std::uintptr_t value = 0;
    HandleKind kind = HandleKind::File;
    std::string detail; // e.g. the file's path, the window's class, the block's size
    std::uint64_t sequence = 0;
};

enum class LedgerAction { Acquire, Release };

struct LedgerEvent {
    std::uint64_t sequence = 0;
    LedgerAction action = LedgerAction::Acquire;
    HandleKind kind = HandleKind::File;
    std::uintptr_t value = 0;
    std::string call; // the call that acquired or released it, e.g. "CloseHandle"
    std::string detail;
};

enum class FaultKind {
    UnknownRelease,      // released something the desktop never handed out
    DoubleRelease,       // released something already released
    WrongKind,           // released through the wrong call (CloseHandle on a window, ...)
    UseOfReleased,       // used a handle after its release, or one never handed out
    DeleteWhileSelected, // DeleteObject on an object still selected into a DC
    WrongWindow,         // ReleaseDC / EndPaint with another window than the DC's
    SharedIconDestroyed, // DestroyIcon on an LR_SHARED icon
};
const char* FaultName(FaultKind kind);

struct LedgerFault {
    FaultKind kind = FaultKind::UnknownRelease;
    std::uintptr_t value = 0;
    std::string call;
    std::string detail;
};

class HandleLedger {
public:
    // Everything handed out and not yet released, in the order of acquisition.
    std::vector<LedgerEntry> Outstanding() const;
    std::vector<LedgerEntry> Outstanding(HandleKind kind) const;
    const std::vector<LedgerFault>& Faults() const { return faults_; }
    // Every acquisition and release, in order.
    const std::vector<LedgerEvent>& Events() const { return events_; }
    bool IsOutstanding(const void* handle) const;
    int AcquiredCount(HandleKind kind) const;
    int ReleasedCount(HandleKind kind) const;
    // Outstanding handles and faults in readable form, for a failing assertion's message.
    std::string Report() const;

private:
    friend class SimDesktop;
    friend struct DesktopState;
    void Acquire(std::uintptr_t value, HandleKind kind, std::string call, std::string detail);
    // Records the release when `value` is live and of `kind`; otherwise records the fault
    // and returns false.
    bool Release(std::uintptr_t value, HandleKind kind, std::string call);
    bool Release(std::uintptr_t value, std::initializer_list<HandleKind> kinds, std::string call);
    void Fault(FaultKind kind, std::uintptr_t value, std::string call, std::string detail);
    std::optional<HandleKind> LiveKind(std::uintptr_t value) const;

    struct Live {
        HandleKind kind;
        std::string detail;
        std::uint64_t sequence;
    };
    std::unordered_map<std::uintptr_t, Live> live_;
    std::unordered_map<std::uintptr_t, HandleKind> released_;
    std::vector<LedgerEvent> events_;
    std::vector<LedgerFault> faults_;
    std::uint64_t sequence_ = 0;
};

// ---- Records the tests read ------------------------------------------------------------------

enum class Delivery {
    Sent,       // SendMessageW, or sent by the desktop itself
    Posted,     // PostMessageW / PostQuitMessage / input: put in the queue
    Dispatched, // taken from the queue and handed to the window procedure
};

struct MessageRecord {
    std::uint64_t sequence = 0;
    HWND window = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    Delivery delivery = Delivery::Sent;
    int depth = 0;          // sent messages being handled when this one came (0: outermost)
    LRESULT result = 0;     // sent and dispatched: what the window procedure returned
    bool completed = false; // the window procedure has returned
    // Decoded views of the message, where it has one:
    WPARAM sizeType = 0;                                      // WM_SIZE
    int clientWidth = 0, clientHeight = 0;                    // WM_SIZE (unsigned 16-bit each)
    POINT position{};                                         // WM_MOVE (signed 16-bit each)
    bool show = false;                                        // WM_SHOWWINDOW
    std::optional<MINMAXINFO> minMaxBefore, minMaxAfter;      // WM_GETMINMAXINFO
    std::optional<RECT> rectBefore, rectAfter;                // WM_SIZING, WM_NCCALCSIZE
    std::optional<WINDOWPOS> windowPosBefore, windowPosAfter; // WM_WINDOWPOSCHANGING/-CHANGED
    std::u16string text;                                      // WM_SETTEXT
};
const char* MessageName(UINT message); // "WM_SIZE", or "0x1234"

struct WindowSnapshot {
    HWND window = nullptr;
    std::u16string className;
    std::u16string text;
    bool visible = false;
    bool enabled = false;
    bool minimized = false;
};

struct MessageBoxRecord {
    HWND owner = nullptr;
    std::u16string text;
    std::u16string caption;
    UINT type = 0;
    HWND activeBefore = nullptr; // the active window when the box was asked for
    HWND focusBefore = nullptr;
    std::vector<WindowSnapshot> topLevel; // every top-level window at that moment, in z-order
    HWND box = nullptr;                   // the "#32770" window standing for the box while it is up
    int answer = 0;
};

// A scripted process, chosen by the command line CreateProcessW receives.
struct ProcessScript {
    DWORD startError = 0;    // non-zero: CreateProcessW fails with this error
    DWORD exitCode = 0;      // the code the process ends with
    DWORD waitError = 0;     // non-zero: the wait returns WAIT_FAILED with this error
    DWORD exitCodeError = 0; // non-zero: GetExitCodeProcess fails with this error
    // True: the start also fails with ERROR_FILE_NOT_FOUND (or ERROR_PATH_NOT_FOUND) when the
    // program file (the first word of the command line, with ".exe" appended when it has no
    // extension) does not exist, resolved against the directory given or the current one.
    bool requireImageFile = false;
    std::function<void()> onWait; // runs inside the wait: "while the installer runs"

    static ProcessScript CannotStart(DWORD error);
    static ProcessScript Exits(DWORD exitCode);
};

struct ProcessLaunch {
    std::optional<std::u16string> applicationName;
    std::optional<std::u16string> commandLine;   // the text as passed
    const char16_t* commandLineBuffer = nullptr; // the pointer as passed
    bool processAttributes = false;              // a non-null pointer was passed
    bool threadAttributes = false;
    BOOL inheritHandles = FALSE;
    DWORD creationFlags = 0;
    const void* environment = nullptr;
    const char16_t* currentDirectoryPointer = nullptr; // null: inherit
    std::optional<std::u16string> currentDirectory;
    bool hadStartupInfo = false;
    STARTUPINFOW startupInfo{}; // a copy; its pointers are as passed
    BOOL result = FALSE;
    DWORD error = 0;
    PROCESS_INFORMATION information{};
    bool waited = false;       // a wait on its handle returned
    bool exitCodeRead = false; // GetExitCodeProcess succeeded after it ended
};

struct FileOpenRecord {
    std::string path;           // the ANSI bytes as passed
    std::u16string windowsPath; // after conversion and normalisation ("" when invalid)
    std::filesystem::path hostPath;
    DWORD access = 0;
    DWORD shareMode = 0;
    DWORD disposition = 0;
    HANDLE handle = nullptr; // INVALID_HANDLE_VALUE on failure
    DWORD error = 0;
};

struct LockWindowUpdateCall {
    HWND window = nullptr;
    BOOL result = FALSE;
};

struct HeapAllocRequest {
    SIZE_T bytes = 0;
    DWORD flags = 0;
    int index = 0; // counts HeapAlloc calls from 0
};

// The process-wide loader and heap settings, as the program has left them. Unset: never
// changed. The simulated desktop loads no DLLs; these only record what Windows would obey.
struct ProcessSettings {
    std::optional<DWORD> defaultDllDirectories; // SetDefaultDllDirectories
    // SetDllDirectoryW: "" takes the current directory out of the search; null puts it back.
    std::optional<std::u16string> dllDirectory;
    std::optional<DWORD> searchPathMode; // SetSearchPathMode, the last accepted flags
    bool heapTerminationOnCorruption = false;
};

// One GDI drawing call, for tests of what a control paints.
struct PaintOp {
    enum class Kind {
        FillRect,
        DrawText,
        StretchDIBits,
        DrawFrameControl,
        DrawFocusRect,
        DrawIcon
    };
    Kind kind = Kind::FillRect;
    HWND window = nullptr; // the DC's window (null: the screen)
    RECT rect{};
    std::u16string text;                // DrawText
    UINT format = 0;                    // DrawText flags, DrawFrameControl state
    std::optional<LOGFONTW> font;       // DrawText: the selected font (none: the stock font)
    COLORREF textColor = 0;             // DrawText
    int backgroundMode = 0;             // DrawText
    std::optional<COLORREF> brushColor; // FillRect: the solid brush's colour
};

// ---- The desktop -----------------------------------------------------------------------------

struct DesktopState;

class SimDesktop final : public Api {
public:
    explicit SimDesktop(SimConfig config = {});
    ~SimDesktop() override;
    SimDesktop(const SimDesktop&) = delete;
    SimDesktop& operator=(const SimDesktop&) = delete;

    const SimConfig& Config() const;

    // ---- Files and resources (test side) ----
    std::filesystem::path DriveRoot() const;
    // Where a Windows path on drive C: lies on the host (components as written, no folding).
    std::filesystem::path HostPath(std::u16string_view windowsPath) const;
    void CreateHostDirectory(std::u16string_view windowsPath);
    void CreateHostFile(std::u16string_view windowsPath, std::string_view bytes);
    void SetCurrentDirectory(std::u16string windowsPath);
    void SetModuleFileName(std::u16string windowsPath);
    // Opening the path fails with `error` (a file another program holds open).
    void LockPath(std::u16string_view windowsPath, DWORD error = ERROR_SHARING_VIOLATION);
    void UnlockPath(std::u16string_view windowsPath);
    // Files opened at this path deliver `bytes` bytes, then every ReadFile fails with `error`.
    void FailReadAfter(std::u16string_view windowsPath, std::uint64_t bytes,
                       DWORD error = ERROR_READ_FAULT);
    const std::vector<FileOpenRecord>& FileOpens() const;

    void AddResource(ResourceId name, ResourceId type, std::vector<BYTE> bytes);
    void AddResourceFromFile(ResourceId name, ResourceId type, const std::filesystem::path& file);
    // Splits an .ico file into an RT_GROUP_ICON named `name` and its RT_ICON images, as the
    // resource compiler does. Throws std::invalid_argument when the bytes are no icon file.
    void AddIconGroup(ResourceId name, const std::vector<BYTE>& icoFile);
    void AddIconGroupFromFile(ResourceId name, const std::filesystem::path& icoFile);

    // ---- Kernel (test side) ----
    void SetSystemMessage(DWORD code, std::u16string text);
    void RemoveSystemMessage(DWORD code);
    // HeapAlloc returns null whenever the predicate says so.
    void FailHeapAlloc(std::function<bool(const HeapAllocRequest&)> predicate);
    void FailNextHeapAllocs(int count);
    void StopHeapFailures();
    int HeapAllocCount() const;
    int HeapAllocFailures() const;
    void ScriptProcess(std::u16string commandLine, ProcessScript script);
    const std::vector<ProcessLaunch>& Launches() const;
    const HandleLedger& Ledger() const;
    const ProcessSettings& Settings() const;

    // ---- Windows and messages (test side) ----
    const std::vector<MessageRecord>& Messages() const;
    void ClearMessages();
    // Off: messages are delivered as ever but not recorded, so that a benchmark's thousands
    // of messages do not time the log. On by default.
    void SetMessageLog(bool on);
    std::vector<MessageRecord> MessagesTo(HWND window) const;
    // The numbers of the messages sent to a window, in order.
    std::vector<UINT> SentTo(HWND window) const;

    // Runs when GetMessageW finds nothing to return, first in first out. When none is left,
    // GetMessageW posts WM_QUIT itself and IdleExhausted() becomes true.
    void OnIdle(std::function<void()> action);
    bool IdleExhausted() const;
    std::size_t PendingIdleActions() const;

    // Called while a message box is up; a non-zero result is the answer. Otherwise the next
    // queued answer is used, or the box's first button (IDOK for MB_OK).
    void OnMessageBox(std::function<int(const MessageBoxRecord&)> handler);
    void QueueMessageBoxAnswer(int answer);
    const std::vector<MessageBoxRecord>& MessageBoxes() const;

    std::optional<LOGFONTW> FontOf(HWND window) const; // the HFONT last set with WM_SETFONT
    std::optional<LOGFONTW> LogFontOf(HFONT font) const;
    std::optional<COLORREF> BrushColorOf(HBRUSH brush) const;
    HICON IconOf(HWND window, int which) const; // ICON_BIG / ICON_SMALL set with WM_SETICON
    const std::vector<HWND>& ForegroundRequests() const;
    const std::vector<LockWindowUpdateCall>& LockWindowUpdateCalls() const;
    HWND LockedWindow() const;
    const std::vector<PaintOp>& PaintOps() const;
    void ClearPaintOps();

    std::vector<HWND> TopLevelWindows() const;       // in z-order, topmost first
    std::vector<HWND> ChildrenOf(HWND parent) const; // in z-order (= tab order)
    HWND ChildById(HWND parent, int id) const;
    HWND OwnerOf(HWND window) const;
    std::u16string ClassNameOf(HWND window) const;
    std::u16string TextOf(HWND window) const;
    DWORD StyleOf(HWND window) const;
    RECT NormalRectOf(HWND window) const; // where SW_RESTORE puts it back
    bool NeedsPaint(HWND window) const;

    // ---- The user (test side) ----
    // Drags a border of a sizeable window: WM_GETMINMAXINFO, WM_ENTERSIZEMOVE, WM_SIZING with
    // the proposed rectangle (held within the tracking limits; the window may change it),
    // the move to the resulting rectangle, WM_EXITSIZEMOVE. False when no user could drag it.
    bool DragBorder(HWND window, WPARAM edge, RECT proposed);
    // The caption buttons: WM_SYSCOMMAND as the click sends it. False when the window has no
    // such button or is disabled.
    bool Maximize(HWND window);
    bool Minimize(HWND window);
    bool Restore(HWND window); // the restore button, or the task-bar button when minimised
    bool CloseBox(HWND window);
    bool ClickButton(HWND button); // BM_CLICK
    // WM_KEYDOWN (WM_SYSKEYDOWN with Alt) and WM_KEYUP through the message loop, to the focus
    // window (the active window when nothing has the focus).
    void PressKey(WPARAM virtualKey, bool alt = false, bool shift = false);
    // Changes the screen (the taskbar keeps its edge and thickness), sends WM_DISPLAYCHANGE to
    // every top-level window, then WM_NCPAINT to the visible ones.
    void SetScreenSize(int width, int height);
    void SetTaskbar(RECT rect, bool autoHide);
    // User actions taken while the thread is blocked in a wait (from ProcessScript::onWait)
    // are held back and run when it next asks for a message, as a real desktop would deliver
    // them.

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
    friend struct DesktopState;
    friend DesktopState& StateOf(SimDesktop& desktop);
    std::unique_ptr<DesktopState> state_;
};

} // namespace platform::sim
