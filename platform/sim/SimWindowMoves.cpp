// The window manager's moves: SetWindowPos, minimise, maximise, ShowWindow, and the z-order.
#include "platform/sim/SimWindowTree.h"

#include "platform/sim/SimActivation.h"
#include "platform/sim/SimGdi.h"
#include "platform/sim/SimKernel.h"
#include "platform/sim/SimMessaging.h"

#include <algorithm>

namespace platform::sim {

namespace {

bool IsMinimizeCommand(int command) {
    return command == SW_SHOWMINNOACTIVE || command == SW_SHOWMINIMIZED ||
           command == SW_FORCEMINIMIZE || command == SW_MINIMIZE;
}

} // namespace

void WindowTree::ZOrderInsert(HWND window, HWND insertAfter) {
    Window* w = Get(window);
    if (w == nullptr) {
        return;
    }
    // A child's parent is always there: children are freed before their parent.
    std::vector<HWND>* list = IsChild(*w) ? &Get(w->parent)->children : &topLevel_;
    list->erase(std::remove(list->begin(), list->end(), window), list->end());
    auto position = list->begin();
    if (insertAfter == HWND_BOTTOM) {
        position = list->end();
    } else if (insertAfter != HWND_TOP && insertAfter != HWND_TOPMOST &&
               insertAfter != HWND_NOTOPMOST) {
        auto after = std::find(list->begin(), list->end(), insertAfter);
        position = after == list->end() ? list->begin() : after + 1;
    }
    // Decided before the insertion, which may move the list's storage.
    const bool atTop = position == list->begin();
    list->insert(position, window);
    if (list == &topLevel_ && atTop) {
        // Owned windows stay above their owner.
        std::vector<HWND> owned;
        for (HWND top : topLevel_) {
            if (const Window* o = Get(top); o != nullptr && o->owner == window) {
                owned.push_back(top);
            }
        }
        for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
            topLevel_.erase(std::remove(topLevel_.begin(), topLevel_.end(), *it), topLevel_.end());
            topLevel_.insert(topLevel_.begin(), *it);
        }
    }
}

MINMAXINFO WindowTree::MinMaxInfo(HWND window) {
    MINMAXINFO info{};
    Window* w = Get(window);
    if (w == nullptr) {
        return info;
    }
    const DWORD style = w->style;
    const bool child = IsChild(*w);
    RECT area{0, 0, config_.screenWidth, config_.screenHeight};
    if (child) {
        const Window* parent = Get(w->parent);
        area = RECT{0, 0, Width(parent->client), Height(parent->client)};
    }
    // A caption does not count: the maximised caption stays on the screen.
    const DWORD adjusted = (style & WS_CAPTION) == WS_CAPTION ? style & ~WS_BORDER : style;
    RECT outer = area;
    FrameInsets(adjusted, w->exStyle, false, outer);
    const int xinc = area.left - outer.left;
    const int yinc = area.top - outer.top;
    RECT screen = ScreenRect(*w);
    info.ptReserved = POINT{screen.left, screen.top};
    info.ptMaxSize = POINT{Width(outer), Height(outer)};
    if ((style & (WS_DLGFRAME | WS_BORDER)) != 0) {
        info.ptMinTrackSize = POINT{config_.frame.minTrackWidth, config_.frame.minTrackHeight};
    } else {
        info.ptMinTrackSize = POINT{2 * xinc, 2 * yinc};
    }
    info.ptMaxTrackSize = POINT{config_.screenWidth + 2 * config_.frame.sizingFrame,
                                config_.screenHeight + 2 * config_.frame.sizingFrame};
    info.ptMaxPosition = POINT{-xinc, -yinc};
    messaging_.Send(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    w = Get(window);
    if (w != nullptr && !child) {
        // Values the window left alone are moved to the work area.
        RECT work{0, 0, config_.screenWidth, config_.screenHeight};
        if ((style & WS_MAXIMIZEBOX) != 0 &&
            ((style & WS_CAPTION) == WS_CAPTION || (style & (WS_CHILD | WS_POPUP)) == 0)) {
            work = WorkArea();
        }
        if (info.ptMaxSize.x == Width(outer) && info.ptMaxSize.y == Height(outer)) {
            info.ptMaxSize = POINT{Width(work) + 2 * xinc, Height(work) + 2 * yinc};
        }
        if (info.ptMaxPosition.x == -xinc && info.ptMaxPosition.y == -yinc) {
            info.ptMaxPosition = POINT{work.left - xinc, work.top - yinc};
        }
    }
    info.ptMaxTrackSize.x = std::max(info.ptMaxTrackSize.x, info.ptMinTrackSize.x);
    info.ptMaxTrackSize.y = std::max(info.ptMaxTrackSize.y, info.ptMinTrackSize.y);
    return info;
}

UINT WindowTree::MinMaximize(HWND window, int command, RECT& rect) {
    Window* w = Get(window);
    if (w == nullptr) {
        return SWP_NOSIZE | SWP_NOMOVE;
    }
    UINT swp = 0;
    if ((w->style & (WS_MINIMIZE | WS_MAXIMIZE)) == 0) {
        w->normalRect = w->rect;
    }
    auto minimizedRect = [this, w]() {
        POINT at{-32000, -32000};
        if (IsChild(*w)) {
            const Window* parent = Get(w->parent);
            at = POINT{
                0, parent == nullptr ? 0 : Height(parent->client) - config_.frame.minimizedHeight};
        }
        return RECT{at.x, at.y, at.x + config_.frame.minimizedWidth,
                    at.y + config_.frame.minimizedHeight};
    };
    if ((w->style & WS_MINIMIZE) != 0) {
        if (IsMinimizeCommand(command)) {
            rect = minimizedRect();
            return SWP_NOSIZE | SWP_NOMOVE;
        }
        if (messaging_.Send(window, WM_QUERYOPEN, 0, 0) == 0) {
            return SWP_NOSIZE | SWP_NOMOVE;
        }
        w = Get(window);
        if (w == nullptr) {
            return SWP_NOSIZE | SWP_NOMOVE;
        }
    }
    if (IsMinimizeCommand(command)) {
        w->restoreToMaximized = (w->style & WS_MAXIMIZE) != 0;
        if (activation_.GetFocus() != nullptr && IsDescendant(window, activation_.GetFocus())) {
            activation_.SetFocus(IsChild(*w) ? w->parent : nullptr);
            w = Get(window);
            if (w == nullptr) {
                return SWP_NOSIZE | SWP_NOMOVE;
            }
        }
        const DWORD old = w->style;
        w->style = (w->style | WS_MINIMIZE) & ~WS_MAXIMIZE;
        if ((old & WS_MINIMIZE) == 0) {
            swp |= SWP_STATECHANGED;
        }
        rect = minimizedRect();
        return swp;
    }
    if (command == SW_MAXIMIZE) {
        const DWORD old = w->style;
        if ((old & WS_MAXIMIZE) != 0 && (old & WS_VISIBLE) != 0) {
            return SWP_NOSIZE | SWP_NOMOVE;
        }
        MINMAXINFO info = MinMaxInfo(window);
        w = Get(window);
        if (w == nullptr) {
            return SWP_NOSIZE | SWP_NOMOVE;
        }
        w->style = (w->style | WS_MAXIMIZE) & ~WS_MINIMIZE;
        if ((old & WS_MINIMIZE) != 0) {
            w->restoreToMaximized = true;
        }
        if ((old & WS_MAXIMIZE) == 0) {
            swp |= SWP_STATECHANGED;
        }
        rect =
            RECT{info.ptMaxPosition.x, info.ptMaxPosition.y,
                 info.ptMaxPosition.x + info.ptMaxSize.x, info.ptMaxPosition.y + info.ptMaxSize.y};
        return swp;
    }
    // Restore (SW_SHOWNORMAL, SW_RESTORE, SW_SHOWDEFAULT, SW_SHOWNOACTIVATE).
    if (command == SW_SHOWNOACTIVATE) {
        w->restoreToMaximized = false;
    }
    const DWORD old = w->style;
    w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
    if ((old & WS_MINIMIZE) != 0) {
        if (w->restoreToMaximized) {
            w->style |= WS_MAXIMIZE; // MinMaxInfo must see the state it asks for
            MINMAXINFO info = MinMaxInfo(window);
            swp |= SWP_STATECHANGED;
            rect = RECT{info.ptMaxPosition.x, info.ptMaxPosition.y,
                        info.ptMaxPosition.x + info.ptMaxSize.x,
                        info.ptMaxPosition.y + info.ptMaxSize.y};
            return swp;
        }
    } else if ((old & WS_MAXIMIZE) == 0) {
        rect = w->rect;
        return swp;
    }
    swp |= SWP_STATECHANGED;
    rect = w->normalRect;
    return swp;
}

// A hidden window hands the activation on, and the focus leaves it for its parent.
void WindowTree::AfterHiding(HWND window) {
    if (window == activation_.GetActiveWindow()) {
        activation_.ActivateOther(window);
    }
    const Window* w = Get(window);
    if (w != nullptr && activation_.GetFocus() != nullptr &&
        IsDescendant(window, activation_.GetFocus())) {
        activation_.SetFocus(IsChild(*w) && Get(w->parent) != nullptr ? w->parent : nullptr);
    }
}

BOOL WindowTree::SetWindowPosImpl(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                                  UINT flags) {
    Window* w = GetOrFail(window);
    if (w == nullptr) {
        return FALSE;
    }
    WINDOWPOS pos{window, insertAfter, x, y, cx, cy, flags};
    if ((flags & SWP_NOMOVE) == 0) {
        pos.x = std::clamp(pos.x, -32768, 32767);
        pos.y = std::clamp(pos.y, -32768, 32767);
    }
    if ((flags & SWP_NOSIZE) == 0) {
        pos.cx = std::clamp(pos.cx, 0, 32767);
        pos.cy = std::clamp(pos.cy, 0, 32767);
    }
    if ((pos.flags & SWP_NOSENDCHANGING) == 0) {
        messaging_.Send(window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
        w = Get(window);
        if (w == nullptr) {
            return FALSE;
        }
    }
    const RECT oldRect = w->rect;
    const RECT oldClient = w->client;
    if ((pos.flags & SWP_NOSIZE) != 0) {
        pos.cx = Width(oldRect);
        pos.cy = Height(oldRect);
    }
    if ((pos.flags & SWP_NOMOVE) != 0) {
        pos.x = oldRect.left;
        pos.y = oldRect.top;
    }
    // Flags for what does not change.
    if (pos.cx == Width(oldRect) && pos.cy == Height(oldRect)) {
        pos.flags |= SWP_NOSIZE;
    }
    if (pos.x == oldRect.left && pos.y == oldRect.top) {
        pos.flags |= SWP_NOMOVE;
    }
    if ((w->style & WS_VISIBLE) != 0) {
        pos.flags &= ~SWP_SHOWWINDOW;
    } else {
        pos.flags &= ~SWP_HIDEWINDOW;
        if ((pos.flags & SWP_SHOWWINDOW) == 0) {
            pos.flags |= SWP_NOREDRAW;
        }
    }
    if ((pos.flags & SWP_NOZORDER) == 0) {
        if (pos.hwndInsertAfter == window) {
            pos.flags |= SWP_NOZORDER;
        } else {
            const std::vector<HWND>& list = IsChild(*w) ? Get(w->parent)->children : topLevel_;
            if ((pos.hwndInsertAfter == HWND_TOP && !list.empty() && list.front() == window) ||
                (pos.hwndInsertAfter == HWND_BOTTOM && !list.empty() && list.back() == window)) {
                pos.flags |= SWP_NOZORDER;
            }
        }
    }
    RECT newRect{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
    RECT newClient = oldClient;
    if ((pos.flags & (SWP_FRAMECHANGED | SWP_NOSIZE)) != SWP_NOSIZE) {
        NCCALCSIZE_PARAMS params{};
        params.rgrc[0] = newRect;
        params.rgrc[1] = oldRect;
        params.rgrc[2] = oldClient;
        WINDOWPOS copy = pos;
        params.lppos = &copy;
        messaging_.Send(window, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
        w = Get(window);
        if (w == nullptr) {
            return FALSE;
        }
        newClient = params.rgrc[0];
    } else {
        Offset(newClient, newRect.left - oldRect.left, newRect.top - oldRect.top);
    }
    if (newClient.left == oldClient.left && newClient.top == oldClient.top) {
        pos.flags |= SWP_NOCLIENTMOVE;
    }
    if (Width(newClient) == Width(oldClient) && Height(newClient) == Height(oldClient)) {
        pos.flags |= SWP_NOCLIENTSIZE;
    }

    // Apply.
    w->rect = newRect;
    w->client = newClient;
    if ((w->style & (WS_MINIMIZE | WS_MAXIMIZE)) == 0) {
        w->normalRect = newRect;
    }
    const bool shown = (pos.flags & SWP_SHOWWINDOW) != 0;
    const bool hidden = (pos.flags & SWP_HIDEWINDOW) != 0;
    if (shown) {
        w->style |= WS_VISIBLE;
    }
    if (hidden) {
        w->style &= ~WS_VISIBLE;
        if (IsChild(*w)) {
            gdi_.Invalidate(w->parent, true, false);
        }
    }
    if ((pos.flags & SWP_NOZORDER) == 0) {
        ZOrderInsert(window, pos.hwndInsertAfter);
    }
    const bool frameDirty =
        shown || (pos.flags & SWP_NOSIZE) == 0 || (pos.flags & SWP_FRAMECHANGED) != 0;
    if (frameDirty && (pos.flags & SWP_NOREDRAW) == 0 && IsReallyVisible(window)) {
        gdi_.Invalidate(window, true, true);
    }

    if ((pos.flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)) == 0 && (w->style & WS_VISIBLE) != 0) {
        if (IsChild(*w)) {
            messaging_.Send(window, WM_CHILDACTIVATE, 0, 0);
        } else {
            activation_.Activate(window);
        }
        w = Get(window);
        if (w == nullptr) {
            return TRUE;
        }
    }
    if (frameDirty && (pos.flags & SWP_NOREDRAW) == 0 && IsReallyVisible(window)) {
        messaging_.Send(window, WM_NCPAINT, 1, 0);
        w = Get(window);
        if (w == nullptr) {
            return TRUE;
        }
    }
    if (hidden) {
        AfterHiding(window);
        if (Get(window) == nullptr) {
            return TRUE;
        }
    }
    constexpr UINT kNoChange = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER;
    if ((pos.flags & kNoChange) != kNoChange ||
        (pos.flags & (SWP_FRAMECHANGED | SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_STATECHANGED)) !=
            0) {
        messaging_.Send(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    }
    return TRUE;
}

BOOL WindowTree::SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                              UINT flags) {
    ++moveCalls_;
    // The window manager's own flags are not the caller's to give.
    return SetWindowPosImpl(window, insertAfter, x, y, cx, cy, flags & ~SWP_STATECHANGED);
}

BOOL WindowTree::MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    ++moveCalls_;
    return SetWindowPosImpl(window, nullptr, x, y, width, height,
                            SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL WindowTree::ShowWindow(HWND window, int command) {
    Window* w = GetOrFail(window);
    if (w == nullptr) {
        return FALSE;
    }
    const DWORD style = w->style;
    const BOOL wasVisible = (style & WS_VISIBLE) != 0 ? TRUE : FALSE;
    const bool child = IsChild(*w);
    UINT swp = 0;
    RECT placed{0, 0, 0, 0};
    switch (command) {
    case SW_HIDE:
        if (wasVisible == FALSE) {
            return FALSE;
        }
        swp |= SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE;
        if (window != activation_.GetActiveWindow()) {
            swp |= SWP_NOACTIVATE | SWP_NOZORDER;
        }
        break;
    case SW_SHOWMINNOACTIVE:
    case SW_MINIMIZE:
    case SW_FORCEMINIMIZE:
        swp |= SWP_NOACTIVATE | SWP_NOZORDER;
        [[fallthrough]];
    case SW_SHOWMINIMIZED:
        swp |= SWP_SHOWWINDOW | SWP_FRAMECHANGED;
        swp |= MinMaximize(window, command, placed);
        if ((style & WS_MINIMIZE) != 0 && wasVisible != FALSE) {
            return TRUE;
        }
        break;
    case SW_SHOWMAXIMIZED:
        swp |= SWP_SHOWWINDOW | SWP_FRAMECHANGED;
        swp |= MinMaximize(window, SW_MAXIMIZE, placed);
        if ((style & WS_MAXIMIZE) != 0 && wasVisible != FALSE) {
            return TRUE;
        }
        break;
    case SW_SHOWNA:
        swp |= SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE;
        if (child) {
            swp |= SWP_NOZORDER;
        }
        break;
    case SW_SHOW:
        if (wasVisible != FALSE) {
            return TRUE;
        }
        swp |= SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE;
        if (child) {
            swp |= SWP_NOZORDER;
        }
        break;
    case SW_SHOWNOACTIVATE:
        swp |= SWP_NOACTIVATE | SWP_NOZORDER;
        [[fallthrough]];
    case SW_RESTORE:
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
        swp |= SWP_SHOWWINDOW;
        if ((style & (WS_MINIMIZE | WS_MAXIMIZE)) != 0) {
            swp |= SWP_FRAMECHANGED;
            swp |= MinMaximize(window, command, placed);
        } else {
            if (wasVisible != FALSE) {
                return TRUE;
            }
            swp |= SWP_NOSIZE | SWP_NOMOVE;
        }
        if (child && (swp & SWP_STATECHANGED) == 0) {
            swp |= SWP_NOACTIVATE | SWP_NOZORDER;
        }
        break;
    default:
        return wasVisible;
    }
    const bool showing = command != SW_HIDE;
    if ((showing != (wasVisible != FALSE) || command == SW_SHOWNA) && command != SW_SHOWMAXIMIZED &&
        (swp & SWP_STATECHANGED) == 0) {
        messaging_.Send(window, WM_SHOWWINDOW, showing ? TRUE : FALSE, 0);
        if (Get(window) == nullptr) {
            return wasVisible;
        }
    }
    w = Get(window);
    if (w == nullptr) {
        return wasVisible; // it went in WM_QUERYOPEN or WM_GETMINMAXINFO
    }
    if (child && !IsReallyVisible(w->parent) && (swp & SWP_STATECHANGED) == 0) {
        // Under a hidden parent only the style changes.
        if (showing) {
            w->style |= WS_VISIBLE;
        } else {
            w->style &= ~WS_VISIBLE;
        }
    } else {
        SetWindowPosImpl(window, HWND_TOP, placed.left, placed.top, Width(placed), Height(placed),
                         swp);
    }
    w = Get(window);
    if (w == nullptr) {
        return wasVisible;
    }
    if (command == SW_HIDE) {
        // The move did this already, except for a child under a hidden parent, which had none.
        AfterHiding(window);
        return wasVisible;
    }
    if (IsMinimizeCommand(command) && window == activation_.GetActiveWindow()) {
        activation_.ActivateOther(window);
    }
    w = Get(window);
    if (w != nullptr && w->needSize) {
        // The first showing of a window that has had no size notice yet.
        w->needSize = false;
        WPARAM type = (w->style & WS_MAXIMIZE) != 0   ? SIZE_MAXIMIZED
                      : (w->style & WS_MINIMIZE) != 0 ? SIZE_MINIMIZED
                                                      : SIZE_RESTORED;
        RECT client = w->client;
        messaging_.Send(window, WM_SIZE, type, PackPoint(Width(client), Height(client)));
        if (Get(window) != nullptr) {
            // Children report the origin in their parent's client coordinates, as stored.
            POINT origin{client.left, client.top};
            messaging_.Send(window, WM_MOVE, 0, PackPoint(origin.x, origin.y));
        }
    }
    return wasVisible;
}

} // namespace platform::sim
