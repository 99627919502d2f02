// The window tree and its geometry: classes, creation and destruction, window data, the
// window manager's moves (SetWindowPos, ShowWindow, minimise, maximise), z-order, and
// DefWindowProcW.
#pragma once

#include "platform/sim/SimCommon.h"
#include "platform/sim/SimConfig.h"
#include "platform/sim/SimRecords.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform::sim {

class Kernel;
class Activation;
class Messaging;
class Gdi;
class WindowTree;
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
    std::vector<HWND> children; // z-order, top first
    bool destroying = false;
    // Built-in controls.
    HFONT font = nullptr;
    bool pushed = false;
    std::vector<std::u16string> items; // a list box's lines
    int selection = -1;                // and the selected one
};

// The client area in its own coordinates, as GetClientRect gives it.
inline RECT ClientRectOf(const Window& w) {
    return RECT{0, 0, Width(w.client), Height(w.client)};
}

// The window procedures of the built-in classes "STATIC", "BUTTON", "#32770", "EDIT" and
// "LISTBOX".
struct BuiltInControls {
    static LRESULT PLATFORM_CALLBACK Static(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) noexcept;
    static LRESULT PLATFORM_CALLBACK Button(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) noexcept;
    static LRESULT PLATFORM_CALLBACK MessageBox(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) noexcept;
    static LRESULT PLATFORM_CALLBACK EditBox(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) noexcept;
    static LRESULT PLATFORM_CALLBACK ListBox(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) noexcept;
    // The built-in classes keep their state in their windows, as a class's procedure does.
    static Window* Edit(WindowTree& windows, HWND window);
};

class WindowTree {
public:
    WindowTree(const SimConfig& config, Kernel& kernel, Activation& activation,
               Messaging& messaging, Gdi& gdi);
    WindowTree(const WindowTree&) = delete;
    WindowTree& operator=(const WindowTree&) = delete;

    // ---- Lookups and coordinates, for every area ----
    // What the others read of a window; they change it only through the calls.
    const Window* Find(HWND window) const;
    const Window* FindOrFail(HWND window); // sets ERROR_INVALID_WINDOW_HANDLE when missing
    static bool IsChild(const Window& w) {
        return (w.style & WS_CHILD) != 0 && w.parent != nullptr;
    }
    const Window* ParentOf(const Window& w) const; // null for a top-level window
    HWND TopLevelOf(HWND window) const;
    bool IsDescendant(HWND ancestor, HWND window) const; // window is ancestor or inside it
    bool IsReallyVisible(HWND window) const;             // it and every parent visible
    POINT ClientOrigin(HWND window) const;               // the client area's origin on screen
    RECT ScreenRect(const Window& w) const;
    RECT WorkArea() const;
    void FrameInsets(DWORD style, DWORD exStyle, bool menu, RECT& outer) const;
    void ComputeClient(const Window& w, const RECT& windowRect, RECT& client) const;
    const std::vector<HWND>& TopLevel() const { return topLevel_; } // z-order, top first
    WindowSnapshot Snapshot(HWND window) const;

    // ---- Moves, for activation and the user ----
    MINMAXINFO MinMaxInfo(HWND window);
    BOOL SetWindowPosImpl(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
    void ZOrderInsert(HWND window, HWND insertAfter);

    // ---- The calls ----
    ATOM RegisterClassExW(const WNDCLASSEXW* windowClass);
    HWND CreateWindowExW(DWORD exStyle, const char16_t* className, const char16_t* windowName,
                         DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu,
                         HINSTANCE instance, void* param);
    BOOL DestroyWindow(HWND window);
    BOOL IsWindow(HWND window);
    LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR newLong);
    LONG_PTR GetWindowLongPtrW(HWND window, int index);
    BOOL SetWindowTextW(HWND window, const char16_t* text);
    int GetWindowTextW(HWND window, char16_t* text, int cchMax);
    BOOL ShowWindow(HWND window, int command);
    BOOL IsWindowVisible(HWND window);
    BOOL IsIconic(HWND window);
    BOOL IsZoomed(HWND window);
    BOOL EnableWindow(HWND window, BOOL enable);
    BOOL IsWindowEnabled(HWND window);
    HWND GetParent(HWND window);
    BOOL GetWindowRect(HWND window, RECT* rect);
    BOOL GetClientRect(HWND window, RECT* rect);
    BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
    BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
    // Calls of SetWindowPos and MoveWindow so far (the system's own moves not counted).
    long long MoveCalls() const { return moveCalls_; }
    int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
    BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);
    int GetSystemMetrics(int index);
    UINT_PTR SHAppBarMessage(DWORD message, APPBARDATA* data);

private:
    friend struct BuiltInControls; // the built-in classes keep their state in their windows

    Window* Get(HWND window) const;
    Window* GetOrFail(HWND window);
    template <class... Steps> HWND Created(HWND handle, Steps&&... steps);
    UINT MinMaximize(HWND window, int command, RECT& rect);
    void AfterHiding(HWND window);
    void SendDestroy(HWND window);
    void FreeWindow(HWND window);

    const SimConfig& config_;
    Kernel& kernel_;
    Activation& activation_;
    Messaging& messaging_;
    Gdi& gdi_;
    std::vector<std::unique_ptr<WindowClass>> classes_;
    ATOM nextAtom_ = 0xC000;
    // Hashed: a handle lookup runs in every message and call, and must not grow with the
    // number of windows. Nothing depends on the order of this table.
    std::unordered_map<std::uintptr_t, std::unique_ptr<Window>> windows_;
    std::vector<HWND> topLevel_; // z-order, top first
    long long moveCalls_ = 0;
};

} // namespace platform::sim
