// The records the simulated desktop keeps for tests to read, and the scripts they give it.
#pragma once

#include "platform/Api.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform::sim {

// WM_STYLECHANGING / WM_STYLECHANGED point to this record.
struct STYLESTRUCT {
    DWORD styleOld;
    DWORD styleNew;
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

// A scripted process, chosen by the program file CreateProcessW finds (its full path).
struct ProcessScript {
    DWORD startError = 0;         // non-zero: CreateProcessW fails with this error
    DWORD exitCode = 0;           // the code the process ends with
    DWORD waitError = 0;          // non-zero: the wait returns WAIT_FAILED with this error
    DWORD exitCodeError = 0;      // non-zero: GetExitCodeProcess fails with this error
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
    std::u16string program; // the full path of the program file found ("" when none was)
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

} // namespace platform::sim
