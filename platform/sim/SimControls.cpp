// The built-in control classes "STATIC" and "BUTTON": what the program relies on of them.
#include "platform/sim/SimState.h"

namespace platform::sim {

namespace {

RECT ClientOf(const Window& w) {
    return RECT{0, 0, w.client.right - w.client.left, w.client.bottom - w.client.top};
}

// Handles what both classes share; false when the message is not one of them.
bool CommonMessage(SimDesktop& desktop, DesktopState& s, Window& w, UINT message, WPARAM wParam,
                   LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_SETFONT:
        w.font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(static_cast<std::uintptr_t>(lParam)) != 0) {
            s.Invalidate(w.handle, true, false);
        }
        result = 0;
        return true;
    case WM_GETFONT:
        result = reinterpret_cast<LRESULT>(w.font);
        return true;
    case WM_SETTEXT:
        result = desktop.DefWindowProcW(w.handle, message, wParam, lParam);
        s.Invalidate(w.handle, true, false);
        return true;
    case WM_ENABLE:
        s.Invalidate(w.handle, true, false);
        result = 0;
        return true;
    default:
        return false;
    }
}

// Draws a control's text as the control itself would, with its font selected.
void DrawCaption(SimDesktop& desktop, const Window& w, HDC dc, UINT format) {
    HGDIOBJ previous = w.font != nullptr ? desktop.SelectObject(dc, w.font) : nullptr;
    RECT client = ClientOf(w);
    desktop.DrawTextW(dc, w.text.c_str(), -1, &client, format);
    if (previous != nullptr) {
        desktop.SelectObject(dc, previous);
    }
}

} // namespace

LRESULT PLATFORM_CALLBACK StaticProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SimDesktop* desktop = DesktopOf(window);
    if (desktop == nullptr) {
        return 0;
    }
    DesktopState& s = StateOf(*desktop);
    Window* w = s.Find(window);
    LRESULT result = 0;
    if (w == nullptr) {
        return 0;
    }
    if (CommonMessage(*desktop, s, *w, message, wParam, lParam, result)) {
        return result;
    }
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = desktop->BeginPaint(window, &ps);
        if (dc == nullptr) {
            return 0;
        }
        w = s.Find(window);
        if (w == nullptr) {
            desktop->EndPaint(window, &ps);
            return 0;
        }
        if ((w->style & SS_TYPEMASK) == SS_OWNERDRAW) {
            DRAWITEMSTRUCT item{ODT_STATIC,
                                static_cast<UINT>(w->id),
                                0,
                                ODA_DRAWENTIRE,
                                (w->style & WS_DISABLED) != 0 ? ODS_DISABLED : 0u,
                                window,
                                dc,
                                ClientOf(*w),
                                0};
            if (w->parent != nullptr) {
                s.Send(w->parent, WM_DRAWITEM, static_cast<WPARAM>(w->id),
                       reinterpret_cast<LPARAM>(&item));
            }
        } else {
            // The parent chooses the colours, as for every static control.
            LRESULT brush = w->parent != nullptr
                                ? s.Send(w->parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(window))
                                : desktop->DefWindowProcW(window, WM_CTLCOLORSTATIC,
                                                          reinterpret_cast<WPARAM>(dc),
                                                          reinterpret_cast<LPARAM>(window));
            w = s.Find(window);
            if (w != nullptr) {
                RECT client = ClientOf(*w);
                if (brush != 0) {
                    desktop->FillRect(dc, &client, reinterpret_cast<HBRUSH>(brush));
                }
                DrawCaption(*desktop, *w, dc,
                            DT_LEFT | ((w->style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0u));
            }
        }
        desktop->EndPaint(window, &ps);
        return 0;
    }
    default:
        return desktop->DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT PLATFORM_CALLBACK ButtonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SimDesktop* desktop = DesktopOf(window);
    if (desktop == nullptr) {
        return 0;
    }
    DesktopState& s = StateOf(*desktop);
    Window* w = s.Find(window);
    LRESULT result = 0;
    if (w == nullptr) {
        return 0;
    }
    if (CommonMessage(*desktop, s, *w, message, wParam, lParam, result)) {
        return result;
    }
    const DWORD type = w->style & BS_TYPEMASK;
    auto click = [&]() {
        // The parent hears of the click after the button has let go.
        Window* b = s.Find(window);
        if (b == nullptr) {
            return;
        }
        b->pushed = false;
        s.Invalidate(window, true, false);
        if (b->parent != nullptr) {
            s.Send(b->parent, WM_COMMAND,
                   static_cast<WPARAM>(MAKELPARAM(static_cast<WORD>(b->id), BN_CLICKED)),
                   reinterpret_cast<LPARAM>(window));
        }
    };
    switch (message) {
    case WM_GETDLGCODE:
        switch (type) {
        case BS_PUSHBUTTON:
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_DEFPUSHBUTTON:
            return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX:
            return DLGC_STATIC;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        default:
            return DLGC_BUTTON;
        }
    case BM_SETSTYLE:
        w->style = (w->style & ~0xFFFFu) | static_cast<DWORD>(wParam & 0xFFFF);
        if (LOWORD(static_cast<std::uintptr_t>(lParam)) != 0) {
            s.Invalidate(window, true, false);
        }
        return 0;
    case BM_CLICK:
        if ((w->style & WS_DISABLED) != 0) {
            return 0; // a disabled button cannot be clicked
        }
        s.Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        if (s.Find(window) != nullptr) {
            s.Send(window, WM_LBUTTONUP, 0, 0);
        }
        return 0;
    case WM_LBUTTONDOWN:
        desktop->SetFocus(window);
        if (Window* b = s.Find(window); b != nullptr) {
            b->pushed = true;
            s.Invalidate(window, true, false);
        }
        return 0;
    case WM_LBUTTONUP:
        if (w->pushed) {
            click();
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            w->pushed = true;
            s.Invalidate(window, true, false);
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && w->pushed) {
            click();
        }
        return 0;
    case BM_GETSTATE:
        return (w->pushed ? BST_PUSHED : 0u) | (s.focus == window ? BST_FOCUS : 0u);
    case BM_SETSTATE:
        w->pushed = wParam != 0;
        s.Invalidate(window, true, false);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        s.Invalidate(window, true, false);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = desktop->BeginPaint(window, &ps);
        if (dc == nullptr) {
            return 0;
        }
        w = s.Find(window);
        if (w == nullptr) {
            desktop->EndPaint(window, &ps);
            return 0;
        }
        const bool focused = s.focus == window;
        const bool disabled = (w->style & WS_DISABLED) != 0;
        if (type == BS_OWNERDRAW) {
            UINT state = (w->pushed ? ODS_SELECTED : 0u) | (focused ? ODS_FOCUS : 0u) |
                         (disabled ? ODS_DISABLED : 0u);
            DRAWITEMSTRUCT item{ODT_BUTTON, static_cast<UINT>(w->id),
                                0,          ODA_DRAWENTIRE,
                                state,      window,
                                dc,         ClientOf(*w),
                                0};
            if (w->parent != nullptr) {
                s.Send(w->parent, WM_DRAWITEM, static_cast<WPARAM>(w->id),
                       reinterpret_cast<LPARAM>(&item));
            }
        } else {
            LRESULT brush = w->parent != nullptr
                                ? s.Send(w->parent, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(window))
                                : 0;
            w = s.Find(window);
            if (w != nullptr) {
                RECT client = ClientOf(*w);
                if (brush != 0) {
                    desktop->FillRect(dc, &client, reinterpret_cast<HBRUSH>(brush));
                }
                desktop->DrawFrameControl(dc, &client, DFC_BUTTON,
                                          DFCS_BUTTONPUSH | (w->pushed ? DFCS_PUSHED : 0u) |
                                              (disabled ? DFCS_INACTIVE : 0u));
                DrawCaption(*desktop, *w, dc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
                if (focused) {
                    desktop->DrawFocusRect(dc, &client);
                }
            }
        }
        desktop->EndPaint(window, &ps);
        return 0;
    }
    default:
        return desktop->DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace platform::sim
