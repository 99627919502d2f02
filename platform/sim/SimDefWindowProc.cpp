// DefWindowProcW: what a window gets for the messages its procedure leaves alone.
#include "platform/sim/SimWindowTree.h"

#include "platform/Crackers.h"
#include "platform/sim/SimActivation.h"
#include "platform/sim/SimGdi.h"
#include "platform/sim/SimMessaging.h"

#include <algorithm>
#include <cstring>

namespace platform::sim {

// ---- DefWindowProcW -----------------------------------------------------------------------------

LRESULT WindowTree::DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Get(window);
    if (w == nullptr) {
        return 0;
    }
    switch (message) {
    case WM_NCCREATE: {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (cs != nullptr && cs->lpszName != nullptr && !IS_INTRESOURCE(cs->lpszName)) {
            w->text = cs->lpszName;
        }
        return TRUE;
    }
    case WM_NCCALCSIZE:
        if (lParam != 0) {
            RECT& r = *crack::OnNcCalcSize(wParam, lParam);
            RECT client{};
            ComputeClient(*w, r, client);
            r = client;
        }
        return 0;
    case WM_WINDOWPOSCHANGING: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (pos == nullptr || (pos->flags & SWP_NOSIZE) != 0) {
            return 0;
        }
        const DWORD style = w->style;
        if ((style & WS_THICKFRAME) != 0 || (style & (WS_POPUP | WS_CHILD)) == 0) {
            MINMAXINFO info = MinMaxInfo(window);
            pos->cx = std::min(pos->cx, static_cast<int>(info.ptMaxTrackSize.x));
            pos->cy = std::min(pos->cy, static_cast<int>(info.ptMaxTrackSize.y));
            if ((style & WS_MINIMIZE) == 0) {
                pos->cx = std::max(pos->cx, static_cast<int>(info.ptMinTrackSize.x));
                pos->cy = std::max(pos->cy, static_cast<int>(info.ptMinTrackSize.y));
            }
        }
        return 0;
    }
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (pos == nullptr) {
            return 0;
        }
        const UINT flags = pos->flags;
        if ((flags & SWP_NOCLIENTMOVE) == 0) {
            messaging_.Send(window, WM_MOVE, 0, PackPoint(w->client.left, w->client.top));
            w = Get(window);
            if (w == nullptr) {
                return 0;
            }
        }
        // This notice does not stand in for the one of the first showing: Windows sends that
        // too, also to a window that was moved or sized while hidden.
        if ((flags & SWP_NOCLIENTSIZE) == 0 || (flags & SWP_STATECHANGED) != 0) {
            if ((w->style & WS_MINIMIZE) != 0) {
                messaging_.Send(window, WM_SIZE, SIZE_MINIMIZED, 0);
            } else {
                messaging_.Send(window, WM_SIZE,
                                (w->style & WS_MAXIMIZE) != 0 ? SIZE_MAXIMIZED : SIZE_RESTORED,
                                PackPoint(Width(w->client), Height(w->client)));
            }
        }
        return 0;
    }
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            return messaging_.Send(window, WM_CLOSE, 0, 0);
        case SC_MINIMIZE:
            ShowWindow(window,
                       window == activation_.GetActiveWindow() ? SW_MINIMIZE : SW_SHOWMINNOACTIVE);
            return 0;
        case SC_MAXIMIZE:
            ShowWindow(window, SW_MAXIMIZE);
            return 0;
        case SC_RESTORE:
            ShowWindow(window, SW_RESTORE);
            return 0;
        default:
            return 0;
        }
    case WM_SYSKEYDOWN:
        if (crack::AltDown(lParam) && wParam == VK_F4) {
            HWND top = TopLevelOf(window);
            if (top != nullptr) {
                messaging_.Post(top, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
        }
        return 0;
    case WM_SETTEXT:
        w->text = lParam == 0 ? std::u16string()
                              : std::u16string(reinterpret_cast<const char16_t*>(lParam));
        return TRUE;
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<char16_t*>(lParam);
        if (buffer == nullptr || wParam == 0) {
            return 0;
        }
        const std::size_t n = std::min<std::size_t>(w->text.size(), wParam - 1);
        std::memcpy(buffer, w->text.data(), n * sizeof(char16_t));
        buffer[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->text.size());
    case WM_SETICON: {
        HICON previous = wParam == ICON_SMALL ? w->smallIcon : w->bigIcon;
        (wParam == ICON_SMALL ? w->smallIcon : w->bigIcon) = reinterpret_cast<HICON>(lParam);
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_GETICON:
        return reinterpret_cast<LRESULT>(
            wParam == ICON_BIG                                                      ? w->bigIcon
            : wParam == static_cast<WPARAM>(ICON_SMALL2) && w->smallIcon == nullptr ? w->bigIcon
                                                                                    : w->smallIcon);
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        if (gdi_.BeginPaint(window, &ps) != nullptr) {
            gdi_.EndPaint(window, &ps);
        }
        return 0;
    }
    case WM_ERASEBKGND: {
        HBRUSH brush = w->windowClass->background;
        if (brush == nullptr || wParam == 0) {
            return 0;
        }
        RECT client = ClientRectOf(*w);
        gdi_.FillRect(crack::DeviceContextOf(wParam), &client, brush);
        return 1;
    }
    case WM_ACTIVATE:
        if (crack::OnActivateState(wParam) != WA_INACTIVE && (w->style & WS_MINIMIZE) == 0) {
            activation_.SetFocus(window);
        }
        return 0;
    case WM_NCACTIVATE:
    case WM_QUERYOPEN:
        return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        gdi_.SetTextColor(dc, gdi_.GetSysColor(COLOR_WINDOWTEXT));
        gdi_.SetBkColor(dc, gdi_.GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(gdi_.SysColorBrush(COLOR_BTNFACE));
    }
    default:
        return 0;
    }
}

} // namespace platform::sim
