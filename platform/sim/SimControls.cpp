// The built-in classes "STATIC", "BUTTON", "EDIT" and "LISTBOX", what the program relies on of
// them, and the "#32770" window that stands for a message box.
#include "platform/sim/SimAllocationFaults.h"
#include "platform/sim/SimAreas.h"

namespace platform::sim {

namespace {

// Handles what both classes share; false when the message is not one of them.
bool CommonMessage(DesktopAreas& a, Window& w, UINT message, WPARAM wParam, LPARAM lParam,
                   LRESULT& result) {
    switch (message) {
    case WM_SETFONT:
        w.font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(static_cast<std::uintptr_t>(lParam)) != 0) {
            a.gdi.Invalidate(w.handle, true, false);
        }
        result = 0;
        return true;
    case WM_GETFONT:
        result = reinterpret_cast<LRESULT>(w.font);
        return true;
    case WM_SETTEXT:
        result = a.windows.DefWindowProcW(w.handle, message, wParam, lParam);
        a.gdi.Invalidate(w.handle, true, false);
        return true;
    case WM_ENABLE:
        a.gdi.Invalidate(w.handle, true, false);
        result = 0;
        return true;
    default:
        return false;
    }
}

// Draws a control's text as the control itself would, with its font selected.
void DrawCaption(DesktopAreas& a, const Window& w, HDC dc, UINT format) {
    HGDIOBJ previous = w.font != nullptr ? a.gdi.SelectObject(dc, w.font) : nullptr;
    RECT client = ClientRectOf(w);
    a.gdi.DrawTextW(dc, w.text.c_str(), -1, &client, format);
    if (previous != nullptr) {
        a.gdi.SelectObject(dc, previous);
    }
}

// BeginPaint until the end of the scope, then EndPaint, also when the parent throws from a
// message sent while drawing. Not the program's PaintDC: that one goes through Os(), and a
// built-in control paints on its own desktop.
class PaintBracket {
public:
    PaintBracket(Gdi& gdi, HWND window) : gdi_(gdi), window_(window) {
        dc_ = gdi_.BeginPaint(window_, &paint_);
    }
    ~PaintBracket() {
        if (dc_ != nullptr) {
            gdi_.EndPaint(window_, &paint_);
        }
    }
    PaintBracket(const PaintBracket&) = delete;
    PaintBracket& operator=(const PaintBracket&) = delete;
    HDC dc() const { return dc_; }

private:
    Gdi& gdi_;
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// A control's painting bracket: BeginPaint, what its class draws while the window is still
// there, EndPaint.
template <class Draw> LRESULT PaintControl(DesktopAreas& a, HWND window, Draw draw) {
    const PaintBracket paint(a.gdi, window);
    if (paint.dc() == nullptr) {
        return 0;
    }
    if (const Window* control = BuiltInControls::Edit(a.windows, window); control != nullptr) {
        draw(*control, paint.dc());
    }
    return 0;
}

// An owner-drawn control leaves its drawing to its parent.
void SendDrawItem(DesktopAreas& a, const Window& control, HDC dc, UINT type, UINT state) {
    DRAWITEMSTRUCT item{
        type, static_cast<UINT>(control.id), 0, ODA_DRAWENTIRE, state, control.handle,
        dc,   ClientRectOf(control),         0};
    if (control.parent != nullptr) {
        a.messaging.Send(control.parent, WM_DRAWITEM, static_cast<WPARAM>(control.id),
                         reinterpret_cast<LPARAM>(&item));
    }
}

LRESULT StaticMessage(DesktopAreas& a, Window*, HWND window, UINT message, WPARAM wParam,
                      LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_PAINT:
        return PaintControl(a, window, [&](const Window& control, HDC dc) {
            if ((control.style & SS_TYPEMASK) == SS_OWNERDRAW) {
                SendDrawItem(a, control, dc, ODT_STATIC,
                             (control.style & WS_DISABLED) != 0 ? ODS_DISABLED : 0u);
                return;
            }
            // The parent chooses the colours, as for every static control.
            const LRESULT brush = control.parent != nullptr
                                      ? a.messaging.Send(control.parent, WM_CTLCOLORSTATIC,
                                                         reinterpret_cast<WPARAM>(dc),
                                                         reinterpret_cast<LPARAM>(window))
                                      : a.windows.DefWindowProcW(window, WM_CTLCOLORSTATIC,
                                                                 reinterpret_cast<WPARAM>(dc),
                                                                 reinterpret_cast<LPARAM>(window));
            if (const Window* now = BuiltInControls::Edit(a.windows, window); now != nullptr) {
                RECT client = ClientRectOf(*now);
                if (brush != 0) {
                    a.gdi.FillRect(dc, &client, reinterpret_cast<HBRUSH>(brush));
                }
                DrawCaption(a, *now, dc,
                            DT_LEFT | ((now->style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0u));
            }
        });
    default:
        return a.windows.DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT ButtonMessage(DesktopAreas& a, Window* w, HWND window, UINT message, WPARAM wParam,
                      LPARAM lParam) {
    const DWORD type = w->style & BS_TYPEMASK;
    auto click = [&]() {
        // The parent hears of the click after the button has let go.
        Window* b = BuiltInControls::Edit(a.windows, window);
        if (b == nullptr) {
            return;
        }
        b->pushed = false;
        a.gdi.Invalidate(window, true, false);
        if (b->parent != nullptr) {
            a.messaging.Send(b->parent, WM_COMMAND,
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
            a.gdi.Invalidate(window, true, false);
        }
        return 0;
    case BM_CLICK:
        if ((w->style & WS_DISABLED) != 0) {
            return 0; // a disabled button cannot be clicked
        }
        a.messaging.Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        if (BuiltInControls::Edit(a.windows, window) != nullptr) {
            a.messaging.Send(window, WM_LBUTTONUP, 0, 0);
        }
        return 0;
    case WM_LBUTTONDOWN:
        a.activation.SetFocus(window);
        if (Window* b = BuiltInControls::Edit(a.windows, window); b != nullptr) {
            b->pushed = true;
            a.gdi.Invalidate(window, true, false);
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
            a.gdi.Invalidate(window, true, false);
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && w->pushed) {
            click();
        }
        return 0;
    case BM_GETSTATE:
        return (w->pushed ? BST_PUSHED : 0u) | (a.activation.GetFocus() == window ? BST_FOCUS : 0u);
    case BM_SETSTATE:
        w->pushed = wParam != 0;
        a.gdi.Invalidate(window, true, false);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        a.gdi.Invalidate(window, true, false);
        return 0;
    case WM_PAINT:
        return PaintControl(a, window, [&](const Window& control, HDC dc) {
            const bool focused = a.activation.GetFocus() == window;
            const bool disabled = (control.style & WS_DISABLED) != 0;
            if (type == BS_OWNERDRAW) {
                SendDrawItem(a, control, dc, ODT_BUTTON,
                             (control.pushed ? ODS_SELECTED : 0u) | (focused ? ODS_FOCUS : 0u) |
                                 (disabled ? ODS_DISABLED : 0u));
                return;
            }
            const LRESULT brush =
                control.parent != nullptr
                    ? a.messaging.Send(control.parent, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(window))
                    : 0;
            if (const Window* now = BuiltInControls::Edit(a.windows, window); now != nullptr) {
                RECT client = ClientRectOf(*now);
                if (brush != 0) {
                    a.gdi.FillRect(dc, &client, reinterpret_cast<HBRUSH>(brush));
                }
                a.gdi.DrawFrameControl(dc, &client, DFC_BUTTON,
                                       DFCS_BUTTONPUSH | (now->pushed ? DFCS_PUSHED : 0u) |
                                           (disabled ? DFCS_INACTIVE : 0u));
                DrawCaption(a, *now, dc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
                if (focused) {
                    a.gdi.DrawFocusRect(dc, &client);
                }
            }
        });
    default:
        return a.windows.DefWindowProcW(window, message, wParam, lParam);
    }
}

// A one-line edit box: its text is the window text; every change of it, WM_SETTEXT included,
// tells the parent with EN_CHANGE. Typing is not simulated: a test sets the text.
LRESULT EditMessage(DesktopAreas& a, Window* w, HWND window, UINT message, WPARAM wParam,
                    LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_SETTEXT: {
        const LRESULT result = a.windows.DefWindowProcW(window, message, wParam, lParam);
        a.gdi.Invalidate(window, true, false);
        if (w->parent != nullptr) {
            a.messaging.Send(w->parent, WM_COMMAND,
                             static_cast<WPARAM>(MAKELPARAM(static_cast<WORD>(w->id), EN_CHANGE)),
                             reinterpret_cast<LPARAM>(window));
        }
        return result;
    }
    default:
        return a.windows.DefWindowProcW(window, message, wParam, lParam);
    }
}

// A list box's lines and selection; LB_SETCURSEL tells the parent nothing, as in Windows.
LRESULT ListBoxMessage(DesktopAreas& a, Window* w, HWND window, UINT message, WPARAM wParam,
                       LPARAM lParam) {
    const auto count = static_cast<LRESULT>(w->items.size());
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case LB_ADDSTRING:
        w->items.emplace_back(reinterpret_cast<const char16_t*>(lParam));
        a.gdi.Invalidate(window, true, false);
        return count;
    case LB_RESETCONTENT:
        w->items.clear();
        w->selection = -1;
        a.gdi.Invalidate(window, true, false);
        return 0;
    case LB_GETCOUNT:
        return count;
    case LB_SETCURSEL: {
        // -1 clears the selection; a line beyond the last is refused and changes nothing.
        const auto index = static_cast<LRESULT>(static_cast<int>(wParam));
        if (index < -1 || index >= count) {
            return LB_ERR;
        }
        w->selection = static_cast<int>(index);
        a.gdi.Invalidate(window, true, false);
        return index < 0 ? LB_ERR : index;
    }
    case LB_GETCURSEL:
        return w->selection < 0 ? LB_ERR : w->selection;
    default:
        return a.windows.DefWindowProcW(window, message, wParam, lParam);
    }
}

using ClassMessage = LRESULT (*)(DesktopAreas& a, Window* w, HWND window, UINT message,
                                 WPARAM wParam, LPARAM lParam);

// What every built-in procedure does first: find the window's desktop and record, handle what
// the control classes share, and keep anything thrown inside (Windows' own classes let nothing
// out to the program; what failed is lost with the message).
LRESULT Run(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool control,
            ClassMessage classMessage) noexcept {
    const SystemSide system;
    try {
        DesktopAreas* a = AreasOf(window);
        Window* w = a == nullptr ? nullptr : BuiltInControls::Edit(a->windows, window);
        if (w == nullptr) {
            return 0;
        }
        LRESULT result = 0;
        if (control && CommonMessage(*a, *w, message, wParam, lParam, result)) {
            return result;
        }
        return classMessage(*a, w, window, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT MessageBoxMessage(DesktopAreas& a, Window*, HWND window, UINT message, WPARAM wParam,
                          LPARAM lParam) {
    return a.windows.DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

Window* BuiltInControls::Edit(WindowTree& windows, HWND window) {
    return windows.Get(window);
}

LRESULT PLATFORM_CALLBACK BuiltInControls::Static(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) noexcept {
    return Run(window, message, wParam, lParam, true, StaticMessage);
}

LRESULT PLATFORM_CALLBACK BuiltInControls::Button(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) noexcept {
    return Run(window, message, wParam, lParam, true, ButtonMessage);
}

LRESULT PLATFORM_CALLBACK BuiltInControls::EditBox(HWND window, UINT message, WPARAM wParam,
                                                   LPARAM lParam) noexcept {
    // WM_SETTEXT is the class's own: unlike the others, it reports the change.
    return Run(window, message, wParam, lParam, message != WM_SETTEXT, EditMessage);
}

LRESULT PLATFORM_CALLBACK BuiltInControls::ListBox(HWND window, UINT message, WPARAM wParam,
                                                   LPARAM lParam) noexcept {
    return Run(window, message, wParam, lParam, true, ListBoxMessage);
}

LRESULT PLATFORM_CALLBACK BuiltInControls::MessageBox(HWND window, UINT message, WPARAM wParam,
                                                      LPARAM lParam) noexcept {
    return Run(window, message, wParam, lParam, false, MessageBoxMessage);
}

} // namespace platform::sim
