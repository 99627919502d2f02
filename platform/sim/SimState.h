// The simulated desktop's private state and the helpers its areas share. Not for tests.
#pragma once

#include "platform/Utf.h"
#include "platform/sim/SimDesktop.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace platform::sim {

// Not published values: the window manager's own marks on the moves it makes (Wine's names).
// SWP_STATECHANGED marks minimise, maximise and restore; the other two say that the client area
// kept its size or its place.
constexpr UINT SWP_NOCLIENTSIZE = 0x0800;
constexpr UINT SWP_NOCLIENTMOVE = 0x1000;
constexpr UINT SWP_STATECHANGED = 0x8000;

// Handle values are never reused, by any desktop of the process, so a stale handle is always
// recognised as such.
std::uintptr_t NewHandleValue();

template <class H> H AsHandle(std::uintptr_t value) {
    return reinterpret_cast<H>(value);
}
template <class H> std::uintptr_t ValueOf(H handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

std::u16string UpperCase(std::u16string_view text); // ASCII and Latin-1 letters
std::u16string FromNullable(const char16_t* text);

struct WindowClass {
    std::u16string name;
    std::u16string upperName;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    int classExtra = 0;
    int windowExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HICON iconSmall = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    bool builtIn = false;
};

struct Window {
    HWND handle = nullptr;
    WindowClass* windowClass = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr; // child windows only
    HWND owner = nullptr;  // top-level windows only
    LONG_PTR id = 0;
    HINSTANCE instance = nullptr;
    RECT rect{};       // parent-client coordinates; the screen for top-level windows
    RECT client{};     // the same coordinates
    RECT normalRect{}; // the rectangle SW_RESTORE puts back
    bool restoreToMaximized = false;
    bool needSize = false; // has not had WM_SIZE / WM_MOVE yet
    std::u16string text;
    WNDPROC procedure = nullptr;
    LONG_PTR userData = 0;
    std::vector<BYTE> extraBytes;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    HFONT font = nullptr;         // kept by the built-in controls
    HFONT fontObserved = nullptr; // the last WM_SETFONT any window received
    bool fontObservedSet = false;
    std::vector<HWND> children; // z-order, top first
    bool destroying = false;
    bool redraw = true;
    bool needsPaint = false;
    bool needsErase = false;
    // Built-in controls.
    bool pushed = false;
};

struct Hook {
    HHOOK handle = nullptr;
    HOOKPROC procedure = nullptr;
    bool removed = false;
};

struct OpenFile {
    int descriptor = -1;
    std::u16string windowsPath;
    std::filesystem::path hostPath;
    DWORD shareMode = 0;
    std::uint64_t delivered = 0;
    std::optional<std::uint64_t> failAfter;
    DWORD failError = 0;
};

struct ProcessObject {
    std::size_t launch = 0; // index in launches
    ProcessScript script;
    bool ended = false;
    HANDLE process = nullptr;
    HANDLE thread = nullptr;
};

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

struct Resource {
    ResourceId name;
    ResourceId type;
    std::vector<BYTE> bytes;
};

struct QueuedInput {
    UINT message = 0;
    WPARAM key = 0;
    LPARAM lParam = 0;
    bool shift = false;
};

struct DesktopState {
    DesktopState(SimDesktop& desktop, SimConfig config);
    ~DesktopState();

    SimDesktop& desk;
    SimConfig config;
    bool ownsDriveRoot = false;
    DWORD lastError = 0;
    HandleLedger ledger;

    // Kernel.
    HANDLE processHeap = nullptr;
    HINSTANCE module = nullptr;
    std::map<DWORD, std::u16string> systemMessages;
    std::function<bool(const HeapAllocRequest&)> heapFailure;
    int failNextHeapAllocs = 0;
    int heapAllocCount = 0;
    int heapAllocFailures = 0;
    std::map<void*, SIZE_T> heapBlocks;
    std::deque<void*> heapQuarantine; // freed blocks kept a while, so addresses are not reused
    std::map<void*, SIZE_T> localBlocks;
    std::deque<void*> localQuarantine;
    std::vector<std::pair<std::u16string, ProcessScript>> scripts;
    std::vector<ProcessLaunch> launches;
    std::map<std::uintptr_t, std::shared_ptr<ProcessObject>> processHandles; // process and thread
    DWORD nextProcessId = 0x1000;
    ProcessSettings settings;

    // Files and resources.
    std::map<std::uintptr_t, OpenFile> files;
    std::vector<std::pair<std::u16string, DWORD>> lockedPaths; // upper-cased Windows paths
    std::vector<std::tuple<std::u16string, std::uint64_t, DWORD>> readFailures;
    std::vector<FileOpenRecord> fileOpens;
    std::vector<std::unique_ptr<Resource>> resources;

    // Windows.
    std::vector<std::unique_ptr<WindowClass>> classes;
    ATOM nextAtom = 0xC000;
    // Hashed: a handle lookup runs in every message and call, and must not grow with the
    // number of windows. Nothing depends on the order of this table.
    std::unordered_map<std::uintptr_t, std::unique_ptr<Window>> windows;
    std::vector<HWND> topLevel; // z-order, top first
    HWND active = nullptr;
    HWND focus = nullptr;
    HWND locked = nullptr;
    bool lockedInvalidated = false;
    std::vector<HWND> foregroundRequests;
    std::vector<LockWindowUpdateCall> lockCalls;

    // Messages.
    std::vector<MessageRecord> messages;
    bool logMessages = true; // off: nothing is recorded (benchmarks of many messages)
    std::uint64_t messageSequence = 0;
    int sendDepth = 0;
    std::deque<MSG> posted;
    std::deque<QueuedInput> input;
    std::deque<std::function<void()>> deferred; // user actions held back during a wait
    bool quitPosted = false;
    int quitCode = 0;
    std::deque<std::function<void()>> idle;
    bool idleExhausted = false;
    int paintsInARow = 0; // WM_PAINT returned with nothing else in between
    DWORD messageTime = 0;
    bool shiftDown = false;
    int blockedInWait = 0;
    std::vector<Hook> hooks; // installation order
    struct HookCall {
        std::vector<HHOOK> chain; // most recent first
        std::size_t position = 0;
    };
    std::vector<HookCall> hookCalls;

    // Message boxes.
    std::function<int(const MessageBoxRecord&)> messageBoxHandler;
    std::deque<int> messageBoxAnswers;
    std::vector<MessageBoxRecord> messageBoxes;

    // GDI.
    HGDIOBJ stockFont = nullptr; // what a fresh DC has selected
    HGDIOBJ stockBrush = nullptr;
    std::map<int, HBRUSH> sysBrushes; // GetSysColorBrush's permanent brushes
    std::map<std::uintptr_t, DeviceContext> dcs;
    std::unordered_map<std::uintptr_t, GdiObject> gdiObjects; // unordered, as windows
    std::map<std::uintptr_t, IconObject> icons;
    std::map<std::pair<const Resource*, int>, HICON> sharedIcons;
    std::vector<PaintOp> paintOps;

    // ---- helpers ----
    void Fail(DWORD error) { lastError = error; }
    Window* Find(HWND window) const;
    Window* FindOrFail(HWND window); // sets ERROR_INVALID_WINDOW_HANDLE when missing
    bool IsChild(const Window& w) const { return (w.style & WS_CHILD) != 0 && w.parent != nullptr; }
    HWND TopLevelOf(HWND window) const;
    bool IsDescendant(HWND ancestor, HWND window) const; // window is ancestor or inside it
    bool IsReallyVisible(HWND window) const;             // it and every parent visible
    POINT ClientOrigin(HWND window) const;               // the client area's origin on screen
    RECT ScreenRect(const Window& w) const;
    RECT WorkArea() const;
    void FrameInsets(DWORD style, DWORD exStyle, bool menu, RECT& outer) const;
    void ComputeClient(const Window& w, const RECT& windowRect, RECT& client) const;

    // Messages.
    LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    std::size_t Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Delivery how);
    void Complete(std::size_t record, LRESULT result);
    void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RunDeferred();
    void PurgeQueue(HWND window);

    // Window management.
    BOOL SetWindowPosImpl(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
    UINT MinMaximize(HWND window, int command, RECT& rect);
    MINMAXINFO MinMaxInfo(HWND window);
    void ZOrderInsert(HWND window, HWND insertAfter);
    void Activate(HWND window);
    void ActivateOther(HWND leaving);
    HWND SetFocusImpl(HWND window);
    void SendDestroy(HWND window);
    void FreeWindow(HWND window);
    void Invalidate(HWND window, bool erase, bool children);
    void Paint(HWND window); // sends WM_PAINT when the window needs it
    HWND NextPaintWindow() const;
    HWND NextTabItem(HWND dialog, HWND from, bool previous) const;
    WindowSnapshot Snapshot(HWND window) const;

    // GDI.
    HBRUSH SysColorBrush(int index);
    bool IsStock(HGDIOBJ object) const;
    DeviceContext* FindDc(HDC dc);
    HDC NewDc(HWND window, bool paint);
    bool ReleaseDc(HDC dc, HWND window, bool paint, const char* call);
    const LOGFONTW* FontInDc(const DeviceContext& dc) const;

    // Files.
    std::optional<std::u16string> NormalizePath(std::u16string_view path, DWORD& error) const;
    std::optional<std::filesystem::path> ResolveHost(const std::u16string& normalized, DWORD& error,
                                                     bool& isDirectory) const;
    const Resource* FindResource(const ResourceId& name, const ResourceId& type) const;
};

// The built-in window classes.
LRESULT PLATFORM_CALLBACK StaticProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT PLATFORM_CALLBACK ButtonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT PLATFORM_CALLBACK MessageBoxProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam);
// The desktop that holds a window, for the built-in procedures.
SimDesktop* DesktopOf(HWND window);
void RegisterDesktop(SimDesktop* desktop);
void UnregisterDesktop(SimDesktop* desktop);
DesktopState& StateOf(SimDesktop& desktop);

// Code pages (SimCodePages.cpp), used by files and the kernel too.
int ToWide(UINT codePage, DWORD flags, const char* text, int cbText, char16_t* wide, int cchWide,
           DWORD& error);
UINT ResolveCodePage(UINT codePage, UINT ansiCodePage);

} // namespace platform::sim
