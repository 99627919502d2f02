// The user: border drags, caption buttons, clicks, keys and display changes, each delivered
// the way the real input would reach the program.
#include "platform/sim/SimAreas.h"
#include "platform/sim/SimDesktop.h"

#include <algorithm>

namespace platform::sim {

namespace {

bool HasCaptionButtons(const Window& w) {
    return (w.style & WS_CAPTION) == WS_CAPTION && (w.style & WS_SYSMENU) != 0 &&
           (w.exStyle & WS_EX_TOOLWINDOW) == 0;
}

bool Reachable(const WindowTree& windows, const Window* w) {
    return w != nullptr && (w->style & WS_DISABLED) == 0 && windows.IsReallyVisible(w->handle);
}

WORD ScanCode(WPARAM key) {
    switch (key) {
    case VK_RETURN:
        return 0x1C;
    case VK_ESCAPE:
        return 0x01;
    case VK_TAB:
        return 0x0F;
    case VK_SPACE:
        return 0x39;
    case VK_F4:
        return 0x3E;
    default:
        return 0;
    }
}

} // namespace

DesktopAreas& DesktopUser::Areas() {
    return *static_cast<SimDesktop*>(this)->areas_;
}
const DesktopAreas& DesktopUser::Areas() const {
    return *static_cast<const SimDesktop*>(this)->areas_;
}

bool DesktopUser::DragBorder(HWND window, WPARAM edge, RECT proposed) {
    DesktopAreas& a = Areas();
    if (a.messaging.Defer([this, window, edge, proposed] { DragBorder(window, edge, proposed); })) {
        return true;
    }
    const Window* w = a.windows.Find(window);
    if (!Reachable(a.windows, w) || (w->style & WS_THICKFRAME) == 0 ||
        (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) != 0 || edge < WMSZ_LEFT ||
        edge > WMSZ_BOTTOMRIGHT) {
        return false;
    }
    // The drag rectangle stays within the tracking limits: the dragged edges stop.
    MINMAXINFO limits = a.windows.MinMaxInfo(window);
    const bool left = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
    const bool right = edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
    const bool top = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
    const bool bottom = edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
    const LONG width =
        std::clamp(Width(proposed), limits.ptMinTrackSize.x, limits.ptMaxTrackSize.x);
    const LONG height =
        std::clamp(Height(proposed), limits.ptMinTrackSize.y, limits.ptMaxTrackSize.y);
    if (left) {
        proposed.left = proposed.right - width;
    } else if (right) {
        proposed.right = proposed.left + width;
    }
    if (top) {
        proposed.top = proposed.bottom - height;
    } else if (bottom) {
        proposed.bottom = proposed.top + height;
    }
    if (a.windows.Find(window) == nullptr) {
        return false;
    }
    a.messaging.Send(window, WM_ENTERSIZEMOVE, 0, 0);
    RECT rect = proposed;
    a.messaging.Send(window, WM_SIZING, edge, reinterpret_cast<LPARAM>(&rect));
    if (const Window* moved = a.windows.Find(window); moved != nullptr) {
        if (WindowTree::IsChild(*moved)) {
            const POINT origin = a.windows.ClientOrigin(moved->parent);
            Offset(rect, -origin.x, -origin.y);
        }
        a.windows.SetWindowPosImpl(window, nullptr, rect.left, rect.top, Width(rect), Height(rect),
                                   SWP_NOACTIVATE | SWP_NOZORDER);
    }
    if (a.windows.Find(window) != nullptr) {
        a.messaging.Send(window, WM_EXITSIZEMOVE, 0, 0);
    }
    return true;
}

bool DesktopUser::Maximize(HWND window) {
    DesktopAreas& a = Areas();
    if (a.messaging.Defer([this, window] { Maximize(window); })) {
        return true;
    }
    const Window* w = a.windows.Find(window);
    if (!Reachable(a.windows, w) || !HasCaptionButtons(*w) || (w->style & WS_MAXIMIZEBOX) == 0 ||
        (w->style & WS_MAXIMIZE) != 0) {
        return false;
    }
    a.messaging.Send(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    return true;
}

bool DesktopUser::Minimize(HWND window) {
    DesktopAreas& a = Areas();
    if (a.messaging.Defer([this, window] { Minimize(window); })) {
        return true;
    }
    const Window* w = a.windows.Find(window);
    if (!Reachable(a.windows, w) || !HasCaptionButtons(*w) || (w->style & WS_MINIMIZEBOX) == 0 ||
        (w->style & WS_MINIMIZE) != 0) {
        return false;
    }
    a.messaging.Send(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    return true;
}

bool DesktopUser::Restore(HWND window) {
    DesktopAreas& a = Areas();
    if (a.messaging.Defer([this, window] { Restore(window); })) {
        return true;
    }
    const Window* w = a.windows.Find(window);
    if (!Reachable(a.windows, w)) {
        return false;
    }
    const bool minimized = (w->style & WS_MINIMIZE) != 0; // the task-bar button restores it
    const bool restoreButton =
        (w->style & WS_MAXIMIZE) != 0 && HasCaptionButtons(*w) && (w->style & WS_MAXIMIZEBOX) != 0;
    if (!minimized && !restoreButton) {
        return false;
    }
    a.messaging.Send(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    return true;
}

bool DesktopUser::CloseBox(HWND window) {
    DesktopAreas& a = Areas();
    if (a.messaging.Defer([this, window] { CloseBox(window); })) {
        return true;
    }
    const Window* w = a.windows.Find(window);
    if (!Reachable(a.windows, w) || !HasCaptionButtons(*w)) {
        return false;
    }
    a.messaging.Send(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
}

bool DesktopUser::TypeText(HWND edit, const std::u16string& text) {
    DesktopAreas& a = Areas();
    if (a.messaging.Defer([this, edit, text] { TypeText(edit, text); })) {
        return true;
    }
    if (a.windows.Find(edit) == nullptr) {
        return false;
    }
    a.messaging.Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return true;
}

bool DesktopUser::ChooseListItem(HWND list, int index) {
    DesktopAreas& a = Areas();
    if (a.messaging.Defer([this, list, index] { ChooseListItem(list, index); })) {
        return true;
    }
    const Window* w = a.windows.Find(list);
    if (w == nullptr ||
        a.messaging.Send(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0) == LB_ERR) {
        return false;
    }
    if (w->parent != nullptr) {
        a.messaging.Send(w->parent, WM_COMMAND,
                         static_cast<WPARAM>(MAKELPARAM(static_cast<WORD>(w->id), LBN_SELCHANGE)),
                         reinterpret_cast<LPARAM>(list));
    }
    return true;
}

bool DesktopUser::ClickButton(HWND button) {
    DesktopAreas& a = Areas();
    if (a.messaging.Defer([this, button] { ClickButton(button); })) {
        return true;
    }
    if (a.windows.Find(button) == nullptr) {
        return false;
    }
    a.messaging.Send(button, BM_CLICK, 0, 0);
    return true;
}

void DesktopUser::PressKey(WPARAM virtualKey, bool alt, bool shift) {
    DesktopAreas& a = Areas();
    const LPARAM scan = static_cast<LPARAM>(ScanCode(virtualKey)) << 16;
    const LPARAM altBit = alt ? (LPARAM{1} << 29) : 0;
    const LPARAM down = 1 | scan | altBit;
    const LPARAM up = down | (LPARAM{1} << 30) | static_cast<LPARAM>(0x80000000u);
    a.messaging.QueueInput(QueuedInput{alt ? WM_SYSKEYDOWN : WM_KEYDOWN, virtualKey, down, shift});
    a.messaging.QueueInput(QueuedInput{alt ? WM_SYSKEYUP : WM_KEYUP, virtualKey, up, shift});
}

void DesktopUser::SetScreenSize(int width, int height) {
    DesktopAreas& a = Areas();
    if (a.messaging.Defer([this, width, height] { SetScreenSize(width, height); })) {
        return;
    }
    SimConfig& c = a.config;
    // The taskbar keeps its edge and its thickness.
    RECT& tb = c.taskbar;
    const LONG thickness = std::min(Width(tb), Height(tb));
    switch (TaskbarEdge(tb)) {
    case ScreenEdge::Bottom:
        tb = RECT{0, height - thickness, width, height};
        break;
    case ScreenEdge::Top:
        tb = RECT{0, 0, width, thickness};
        break;
    case ScreenEdge::Right:
        tb = RECT{width - thickness, 0, width, height};
        break;
    case ScreenEdge::Left:
        tb = RECT{0, 0, thickness, height};
        break;
    }
    c.screenWidth = width;
    c.screenHeight = height;
    const LPARAM size = MAKELPARAM(static_cast<WORD>(width), static_cast<WORD>(height));
    std::vector<HWND> tops = a.windows.TopLevel();
    for (HWND top : tops) {
        if (a.windows.Find(top) != nullptr) {
            a.messaging.Send(top, WM_DISPLAYCHANGE, 32, size);
        }
    }
    for (HWND top : tops) {
        if (a.windows.Find(top) != nullptr && a.windows.IsReallyVisible(top)) {
            a.messaging.Send(top, WM_NCPAINT, 1, 0);
        }
    }
}

void DesktopUser::SetTaskbar(RECT rect, bool autoHide) {
    Areas().config.taskbar = rect;
    Areas().config.taskbarAutoHide = autoHide;
}

LRESULT DesktopUser::CallHooks(int code, WPARAM wParam, LPARAM lParam) {
    return Areas().messaging.CallHooks(code, wParam, lParam);
}

} // namespace platform::sim
