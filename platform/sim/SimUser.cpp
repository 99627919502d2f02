// The user: border drags, caption buttons, clicks, keys and display changes, each delivered
// the way the real input would reach the program.
#include "platform/sim/SimState.h"

#include <algorithm>

namespace platform::sim {

namespace {

// Held back while the program is blocked in a wait; they reach it when it next asks for a
// message, as a real desktop delivers them.
bool Deferred(DesktopState& s, std::function<void()> action) {
    if (s.blockedInWait == 0) {
        return false;
    }
    s.deferred.push_back(std::move(action));
    return true;
}

bool HasCaptionButtons(const Window& w) {
    return (w.style & WS_CAPTION) == WS_CAPTION && (w.style & WS_SYSMENU) != 0 &&
           (w.exStyle & WS_EX_TOOLWINDOW) == 0;
}

bool Reachable(const DesktopState& s, const Window* w) {
    return w != nullptr && (w->style & WS_DISABLED) == 0 && s.IsReallyVisible(w->handle);
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

bool SimDesktop::DragBorder(HWND window, WPARAM edge, RECT proposed) {
    DesktopState& s = *state_;
    if (Deferred(s, [this, window, edge, proposed] { DragBorder(window, edge, proposed); })) {
        return true;
    }
    const Window* w = s.Find(window);
    if (!Reachable(s, w) || (w->style & WS_THICKFRAME) == 0 ||
        (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) != 0 || edge < WMSZ_LEFT ||
        edge > WMSZ_BOTTOMRIGHT) {
        return false;
    }
    // The drag rectangle stays within the tracking limits: the dragged edges stop.
    MINMAXINFO limits = s.MinMaxInfo(window);
    const bool left = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
    const bool right = edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
    const bool top = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
    const bool bottom = edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
    const LONG width = std::clamp(proposed.right - proposed.left, limits.ptMinTrackSize.x,
                                  limits.ptMaxTrackSize.x);
    const LONG height = std::clamp(proposed.bottom - proposed.top, limits.ptMinTrackSize.y,
                                   limits.ptMaxTrackSize.y);
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
    if (s.Find(window) == nullptr) {
        return false;
    }
    s.Send(window, WM_ENTERSIZEMOVE, 0, 0);
    RECT rect = proposed;
    s.Send(window, WM_SIZING, edge, reinterpret_cast<LPARAM>(&rect));
    if (const Window* moved = s.Find(window); moved != nullptr) {
        if (s.IsChild(*moved)) {
            POINT origin = s.ClientOrigin(moved->parent);
            rect.left -= origin.x;
            rect.right -= origin.x;
            rect.top -= origin.y;
            rect.bottom -= origin.y;
        }
        s.SetWindowPosImpl(window, nullptr, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, SWP_NOACTIVATE | SWP_NOZORDER);
    }
    if (s.Find(window) != nullptr) {
        s.Send(window, WM_EXITSIZEMOVE, 0, 0);
    }
    return true;
}

bool SimDesktop::Maximize(HWND window) {
    DesktopState& s = *state_;
    if (Deferred(s, [this, window] { Maximize(window); })) {
        return true;
    }
    const Window* w = s.Find(window);
    if (!Reachable(s, w) || !HasCaptionButtons(*w) || (w->style & WS_MAXIMIZEBOX) == 0 ||
        (w->style & WS_MAXIMIZE) != 0) {
        return false;
    }
    s.Send(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    return true;
}

bool SimDesktop::Minimize(HWND window) {
    DesktopState& s = *state_;
    if (Deferred(s, [this, window] { Minimize(window); })) {
        return true;
    }
    const Window* w = s.Find(window);
    if (!Reachable(s, w) || !HasCaptionButtons(*w) || (w->style & WS_MINIMIZEBOX) == 0 ||
        (w->style & WS_MINIMIZE) != 0) {
        return false;
    }
    s.Send(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    return true;
}

bool SimDesktop::Restore(HWND window) {
    DesktopState& s = *state_;
    if (Deferred(s, [this, window] { Restore(window); })) {
        return true;
    }
    const Window* w = s.Find(window);
    if (!Reachable(s, w)) {
        return false;
    }
    const bool minimized = (w->style & WS_MINIMIZE) != 0; // the task-bar button restores it
    const bool restoreButton =
        (w->style & WS_MAXIMIZE) != 0 && HasCaptionButtons(*w) && (w->style & WS_MAXIMIZEBOX) != 0;
    if (!minimized && !restoreButton) {
        return false;
    }
    s.Send(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    return true;
}

bool SimDesktop::CloseBox(HWND window) {
    DesktopState& s = *state_;
    if (Deferred(s, [this, window] { CloseBox(window); })) {
        return true;
    }
    const Window* w = s.Find(window);
    if (!Reachable(s, w) || !HasCaptionButtons(*w)) {
        return false;
    }
    s.Send(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
}

bool SimDesktop::ClickButton(HWND button) {
    DesktopState& s = *state_;
    if (Deferred(s, [this, button] { ClickButton(button); })) {
        return true;
    }
    if (s.Find(button) == nullptr) {
        return false;
    }
    s.Send(button, BM_CLICK, 0, 0);
    return true;
}

void SimDesktop::PressKey(WPARAM virtualKey, bool alt, bool shift) {
    DesktopState& s = *state_;
    const LPARAM scan = static_cast<LPARAM>(ScanCode(virtualKey)) << 16;
    const LPARAM altBit = alt ? (LPARAM{1} << 29) : 0;
    const LPARAM down = 1 | scan | altBit;
    const LPARAM up = down | (LPARAM{1} << 30) | static_cast<LPARAM>(0x80000000u);
    s.input.push_back(QueuedInput{alt ? WM_SYSKEYDOWN : WM_KEYDOWN, virtualKey, down, shift});
    s.input.push_back(QueuedInput{alt ? WM_SYSKEYUP : WM_KEYUP, virtualKey, up, shift});
}

void SimDesktop::SetScreenSize(int width, int height) {
    DesktopState& s = *state_;
    if (Deferred(s, [this, width, height] { SetScreenSize(width, height); })) {
        return;
    }
    SimConfig& c = s.config;
    // The taskbar keeps its edge and its thickness.
    RECT& tb = c.taskbar;
    const LONG thickness = std::min(tb.right - tb.left, tb.bottom - tb.top);
    if (tb.right - tb.left > tb.bottom - tb.top) {
        tb = tb.top > 0 ? RECT{0, height - thickness, width, height} : RECT{0, 0, width, thickness};
    } else {
        tb =
            tb.left > 0 ? RECT{width - thickness, 0, width, height} : RECT{0, 0, thickness, height};
    }
    c.screenWidth = width;
    c.screenHeight = height;
    const LPARAM size = MAKELPARAM(static_cast<WORD>(width), static_cast<WORD>(height));
    std::vector<HWND> tops = s.topLevel;
    for (HWND top : tops) {
        if (s.Find(top) != nullptr) {
            s.Send(top, WM_DISPLAYCHANGE, 32, size);
        }
    }
    for (HWND top : tops) {
        if (s.Find(top) != nullptr && s.IsReallyVisible(top)) {
            s.Send(top, WM_NCPAINT, 1, 0);
        }
    }
}

void SimDesktop::SetTaskbar(RECT rect, bool autoHide) {
    state_->config.taskbar = rect;
    state_->config.taskbarAutoHide = autoHide;
}

} // namespace platform::sim
