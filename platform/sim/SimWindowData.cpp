// Window data, state and geometry: window longs and text, enabling, rectangles, points,
// frames and the system metrics.
#include "platform/sim/SimWindowTree.h"

#include "platform/sim/SimActivation.h"
#include "platform/sim/SimKernel.h"
#include "platform/sim/SimMessaging.h"

#include <algorithm>
#include <cstring>

namespace platform::sim {

// ---- Window data ------------------------------------------------------------------------------

LONG_PTR WindowTree::GetWindowLongPtrW(HWND window, int index) {
    Window* w = GetOrFail(window);
    if (w == nullptr) {
        return 0;
    }
    switch (index) {
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->procedure);
    case GWL_STYLE:
        return static_cast<LONG_PTR>(static_cast<LONG>(w->style));
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(w->exStyle);
    case GWLP_ID:
        return w->id;
    case GWLP_USERDATA:
        return w->userData;
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(IsChild(*w) ? w->parent : w->owner);
    default:
        break;
    }
    if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->extraBytes.size()) {
        LONG_PTR value = 0;
        std::memcpy(&value, w->extraBytes.data() + index, sizeof value);
        return value;
    }
    kernel_.Fail(ERROR_INVALID_INDEX);
    return 0;
}

LONG_PTR WindowTree::SetWindowLongPtrW(HWND window, int index, LONG_PTR newLong) {
    Window* w = GetOrFail(window);
    if (w == nullptr) {
        return 0;
    }
    LONG_PTR old = 0;
    switch (index) {
    case GWLP_WNDPROC:
        old = reinterpret_cast<LONG_PTR>(w->procedure);
        w->procedure = reinterpret_cast<WNDPROC>(newLong);
        return old;
    case GWL_STYLE:
    case GWL_EXSTYLE: {
        const bool isStyle = index == GWL_STYLE;
        STYLESTRUCT change{isStyle ? w->style : w->exStyle, static_cast<DWORD>(newLong)};
        old = static_cast<LONG_PTR>(static_cast<LONG>(change.styleOld));
        messaging_.Send(window, WM_STYLECHANGING, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&change));
        w = Get(window);
        if (w == nullptr) {
            return old;
        }
        (isStyle ? w->style : w->exStyle) = change.styleNew;
        messaging_.Send(window, WM_STYLECHANGED, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&change));
        return old;
    }
    case GWLP_ID:
        old = w->id;
        w->id = newLong;
        return old;
    case GWLP_USERDATA:
        old = w->userData;
        w->userData = newLong;
        return old;
    case GWLP_HINSTANCE:
        old = reinterpret_cast<LONG_PTR>(w->instance);
        w->instance = reinterpret_cast<HINSTANCE>(newLong);
        return old;
    case GWLP_HWNDPARENT:
        if (IsChild(*w)) {
            kernel_.Fail(ERROR_INVALID_PARAMETER);
            return 0;
        }
        old = reinterpret_cast<LONG_PTR>(w->owner);
        w->owner = TopLevelOf(reinterpret_cast<HWND>(newLong));
        return old;
    default:
        break;
    }
    if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->extraBytes.size()) {
        std::memcpy(&old, w->extraBytes.data() + index, sizeof old);
        std::memcpy(w->extraBytes.data() + index, &newLong, sizeof newLong);
        return old;
    }
    kernel_.Fail(ERROR_INVALID_INDEX);
    return 0;
}

BOOL WindowTree::SetWindowTextW(HWND window, const char16_t* text) {
    if (GetOrFail(window) == nullptr) {
        return FALSE;
    }
    return messaging_.Send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0 ? TRUE
                                                                                       : FALSE;
}

int WindowTree::GetWindowTextW(HWND window, char16_t* text, int cchMax) {
    if (GetOrFail(window) == nullptr || text == nullptr || cchMax <= 0) {
        return 0;
    }
    return static_cast<int>(messaging_.Send(window, WM_GETTEXT, static_cast<WPARAM>(cchMax),
                                            reinterpret_cast<LPARAM>(text)));
}

// ---- State --------------------------------------------------------------------------------------

BOOL WindowTree::IsWindowVisible(HWND window) {
    return IsReallyVisible(window) ? TRUE : FALSE;
}

BOOL WindowTree::IsIconic(HWND window) {
    const Window* w = Get(window);
    return w != nullptr && (w->style & WS_MINIMIZE) != 0 ? TRUE : FALSE;
}

BOOL WindowTree::IsZoomed(HWND window) {
    const Window* w = Get(window);
    return w != nullptr && (w->style & WS_MAXIMIZE) != 0 ? TRUE : FALSE;
}

BOOL WindowTree::IsWindowEnabled(HWND window) {
    const Window* w = Get(window);
    return w != nullptr && (w->style & WS_DISABLED) == 0 ? TRUE : FALSE;
}

BOOL WindowTree::EnableWindow(HWND window, BOOL enable) {
    Window* w = GetOrFail(window);
    if (w == nullptr) {
        return FALSE;
    }
    const BOOL wasDisabled = (w->style & WS_DISABLED) != 0 ? TRUE : FALSE;
    if (enable != FALSE && wasDisabled != FALSE) {
        w->style &= ~WS_DISABLED;
        messaging_.Send(window, WM_ENABLE, TRUE, 0);
    } else if (enable == FALSE && wasDisabled == FALSE) {
        w->style |= WS_DISABLED;
        if (activation_.GetFocus() != nullptr && IsDescendant(window, activation_.GetFocus())) {
            activation_.SetFocus(nullptr); // a disabled window cannot keep the focus
        }
        messaging_.Send(window, WM_ENABLE, FALSE, 0);
    }
    return wasDisabled;
}

HWND WindowTree::GetParent(HWND window) {
    const Window* w = GetOrFail(window);
    if (w == nullptr) {
        return nullptr;
    }
    if (IsChild(*w)) {
        return w->parent;
    }
    return (w->style & WS_POPUP) != 0 ? w->owner : nullptr;
}

// ---- Geometry ----------------------------------------------------------------------------------

BOOL WindowTree::GetWindowRect(HWND window, RECT* rect) {
    const Window* w = GetOrFail(window);
    if (w == nullptr || rect == nullptr) {
        return FALSE;
    }
    *rect = ScreenRect(*w);
    return TRUE;
}

BOOL WindowTree::GetClientRect(HWND window, RECT* rect) {
    const Window* w = GetOrFail(window);
    if (w == nullptr || rect == nullptr) {
        return FALSE;
    }
    *rect = ClientRectOf(*w);
    return TRUE;
}

int WindowTree::MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    if ((from != nullptr && GetOrFail(from) == nullptr) ||
        (to != nullptr && GetOrFail(to) == nullptr)) {
        return 0;
    }
    POINT a = from == nullptr ? POINT{0, 0} : ClientOrigin(from);
    POINT b = to == nullptr ? POINT{0, 0} : ClientOrigin(to);
    const int dx = a.x - b.x;
    const int dy = a.y - b.y;
    for (UINT i = 0; points != nullptr && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return static_cast<int>(
        MAKELPARAM(static_cast<WORD>(dx & 0xFFFF), static_cast<WORD>(dy & 0xFFFF)));
}

BOOL WindowTree::AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
    if (rect == nullptr) {
        kernel_.Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FrameInsets(style, exStyle, menu != FALSE, *rect);
    return TRUE;
}

int WindowTree::GetSystemMetrics(int index) {
    const SimConfig& c = config_;
    const FrameMetrics& f = c.frame;
    const RECT work = WorkArea();
    switch (index) {
    case SM_CXSCREEN:
        return c.screenWidth;
    case SM_CYSCREEN:
        return c.screenHeight;
    case 2:
        return 17; // SM_CXVSCROLL
    case 3:
        return 17; // SM_CYHSCROLL
    case 4:
        return f.captionHeight; // SM_CYCAPTION
    case 5:
        return f.border; // SM_CXBORDER
    case 6:
        return f.border; // SM_CYBORDER
    case 7:
        return f.fixedFrame; // SM_CXFIXEDFRAME
    case 8:
        return f.fixedFrame; // SM_CYFIXEDFRAME
    case SM_CXICON:
        return c.iconWidth;
    case SM_CYICON:
        return c.iconHeight;
    case 13:
        return 32; // SM_CXCURSOR
    case 14:
        return 32; // SM_CYCURSOR
    case 15:
        return f.menuHeight; // SM_CYMENU
    case 16:
        return Width(work); // SM_CXFULLSCREEN
    case 17:
        return Height(work) - f.captionHeight; // SM_CYFULLSCREEN
    case 28:
        return f.minTrackWidth; // SM_CXMIN
    case 29:
        return f.minTrackHeight; // SM_CYMIN
    case 30:
        return f.captionHeight - 1; // SM_CXSIZE
    case 31:
        return f.captionHeight - 1; // SM_CYSIZE
    case 32:
        return f.sizingFrame; // SM_CXFRAME
    case 33:
        return f.sizingFrame; // SM_CYFRAME
    case 34:
        return f.minTrackWidth; // SM_CXMINTRACK
    case 35:
        return f.minTrackHeight; // SM_CYMINTRACK
    case 45:
        return f.edge; // SM_CXEDGE
    case 46:
        return f.edge; // SM_CYEDGE
    case SM_CXSMICON:
        return c.smallIconWidth;
    case SM_CYSMICON:
        return c.smallIconHeight;
    case 51:
        return f.smallCaptionHeight; // SM_CYSMCAPTION
    case 57:
        return f.minimizedWidth; // SM_CXMINIMIZED
    case 58:
        return f.minimizedHeight; // SM_CYMINIMIZED
    case 59:
        return c.screenWidth + 2 * f.sizingFrame; // SM_CXMAXTRACK
    case 60:
        return c.screenHeight + 2 * f.sizingFrame; // SM_CYMAXTRACK
    case 61:
        return Width(work) + 2 * f.sizingFrame; // SM_CXMAXIMIZED
    case 62:
        return Height(work) + 2 * f.sizingFrame; // SM_CYMAXIMIZED
    case 76:
        return 0; // SM_XVIRTUALSCREEN
    case 77:
        return 0; // SM_YVIRTUALSCREEN
    case 78:
        return c.screenWidth; // SM_CXVIRTUALSCREEN
    case 79:
        return c.screenHeight; // SM_CYVIRTUALSCREEN
    case 80:
        return 1; // SM_CMONITORS
    case 92:
        return 0; // SM_CXPADDEDBORDER
    default:
        return 0;
    }
}

UINT_PTR WindowTree::SHAppBarMessage(DWORD message, APPBARDATA* data) {
    const SimConfig& c = config_;
    switch (message) {
    case ABM_GETSTATE:
        return c.taskbarAutoHide ? ABS_AUTOHIDE : 0;
    case ABM_GETTASKBARPOS: {
        // The size field is not checked: a 32-bit caller's record is smaller than this one.
        if (data == nullptr) {
            return FALSE;
        }
        const RECT& tb = c.taskbar;
        data->rc = tb;
        data->uEdge = static_cast<UINT>(TaskbarEdge(tb));
        data->hWnd = nullptr;
        return TRUE;
    }
    default:
        return 0;
    }
}

} // namespace platform::sim
