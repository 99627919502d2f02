// Windows: classes, creation and destruction, state, geometry, z-order, activation, focus
// and the window manager's moves (SetWindowPos, ShowWindow, minimise and maximise).
#include "platform/sim/SimState.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace platform::sim {

namespace {

constexpr int kDefaultPosition = 26;

int Width(const RECT& r) {
    return r.right - r.left;
}
int Height(const RECT& r) {
    return r.bottom - r.top;
}

void Offset(RECT& r, int dx, int dy) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
}

bool IsMinimizeCommand(int command) {
    return command == SW_SHOWMINNOACTIVE || command == SW_SHOWMINIMIZED ||
           command == SW_FORCEMINIMIZE || command == SW_MINIMIZE;
}

LPARAM PackPoint(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(x & 0xFFFF), static_cast<WORD>(y & 0xFFFF));
}

} // namespace

// ---- Lookups and coordinates ----------------------------------------------------------------

Window* DesktopState::Find(HWND window) const {
    auto it = windows.find(ValueOf(window));
    return it == windows.end() ? nullptr : it->second.get();
}

Window* DesktopState::FindOrFail(HWND window) {
    Window* w = Find(window);
    if (w == nullptr) {
        Fail(ERROR_INVALID_WINDOW_HANDLE);
    }
    return w;
}

HWND DesktopState::TopLevelOf(HWND window) const {
    const Window* w = Find(window);
    while (w != nullptr && IsChild(*w)) {
        const Window* parent = Find(w->parent);
        if (parent == nullptr) {
            break;
        }
        w = parent;
    }
    return w == nullptr ? nullptr : w->handle;
}

bool DesktopState::IsDescendant(HWND ancestor, HWND window) const {
    const Window* w = Find(window);
    while (w != nullptr) {
        if (w->handle == ancestor) {
            return true;
        }
        if (!IsChild(*w)) {
            return false;
        }
        w = Find(w->parent);
    }
    return false;
}

bool DesktopState::IsReallyVisible(HWND window) const {
    const Window* w = Find(window);
    while (w != nullptr) {
        if ((w->style & WS_VISIBLE) == 0) {
            return false;
        }
        if (!IsChild(*w)) {
            return true;
        }
        w = Find(w->parent);
    }
    return false;
}

POINT DesktopState::ClientOrigin(HWND window) const {
    const Window* w = Find(window);
    if (w == nullptr) {
        return POINT{0, 0};
    }
    POINT origin{w->client.left, w->client.top};
    if (IsChild(*w)) {
        POINT parent = ClientOrigin(w->parent);
        origin.x += parent.x;
        origin.y += parent.y;
    }
    return origin;
}

RECT DesktopState::ScreenRect(const Window& w) const {
    RECT r = w.rect;
    if (IsChild(w)) {
        POINT parent = ClientOrigin(w.parent);
        Offset(r, parent.x, parent.y);
    }
    return r;
}

RECT DesktopState::WorkArea() const {
    RECT work{0, 0, config.screenWidth, config.screenHeight};
    if (config.taskbarAutoHide) {
        return work;
    }
    RECT tb = config.taskbar;
    tb.left = std::max(tb.left, LONG{0});
    tb.top = std::max(tb.top, LONG{0});
    tb.right = std::min(tb.right, work.right);
    tb.bottom = std::min(tb.bottom, work.bottom);
    if (tb.right <= tb.left || tb.bottom <= tb.top) {
        return work;
    }
    if (Width(tb) > Height(tb)) {
        if (tb.top > 0) {
            work.bottom = tb.top;
        } else {
            work.top = tb.bottom;
        }
    } else if (tb.left > 0) {
        work.right = tb.left;
    } else {
        work.left = tb.right;
    }
    return work;
}

// How far the frame reaches beyond the client area, as AdjustWindowRectEx computes it.
void DesktopState::FrameInsets(DWORD style, DWORD exStyle, bool menu, RECT& r) const {
    const FrameMetrics& f = config.frame;
    int adjust = 0;
    const bool lined =
        (style & (WS_BORDER | WS_DLGFRAME)) != 0 || (exStyle & WS_EX_DLGMODALFRAME) != 0;
    if ((style & WS_THICKFRAME) != 0) {
        adjust = f.sizingFrame - (lined ? 0 : f.border);
    } else if ((style & WS_DLGFRAME) != 0 || (exStyle & WS_EX_DLGMODALFRAME) != 0) {
        adjust = f.fixedFrame;
    } else if ((style & WS_BORDER) != 0) {
        adjust = f.border;
    } else if ((exStyle & WS_EX_STATICEDGE) != 0) {
        adjust = 1;
    }
    r.left -= adjust;
    r.top -= adjust;
    r.right += adjust;
    r.bottom += adjust;
    if ((style & WS_CAPTION) == WS_CAPTION) {
        r.top -= (exStyle & WS_EX_TOOLWINDOW) != 0 ? f.smallCaptionHeight : f.captionHeight;
    }
    if (menu) {
        r.top -= f.menuHeight;
    }
    if ((exStyle & WS_EX_CLIENTEDGE) != 0) {
        r.left -= f.edge;
        r.top -= f.edge;
        r.right += f.edge;
        r.bottom += f.edge;
    }
}

void DesktopState::ComputeClient(const Window& w, const RECT& windowRect, RECT& client) const {
    if ((w.style & WS_MINIMIZE) != 0) {
        client = RECT{windowRect.left, windowRect.top, windowRect.left, windowRect.top};
        return;
    }
    RECT frame{0, 0, 0, 0};
    FrameInsets(w.style, w.exStyle, false, frame);
    client = RECT{windowRect.left - frame.left, windowRect.top - frame.top,
                  windowRect.right - frame.right, windowRect.bottom - frame.bottom};
    client.bottom = std::max(client.bottom, client.top);
    client.right = std::max(client.right, client.left);
}

// ---- Classes and creation -------------------------------------------------------------------

ATOM SimDesktop::RegisterClassExW(const WNDCLASSEXW* windowClass) {
    DesktopState& s = *state_;
    if (windowClass == nullptr || windowClass->cbSize != sizeof(WNDCLASSEXW) ||
        windowClass->lpszClassName == nullptr || windowClass->cbWndExtra < 0 ||
        windowClass->cbClsExtra < 0) {
        s.Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string name = IS_INTRESOURCE(windowClass->lpszClassName)
                              ? u"#" + Utf8ToUtf16(std::to_string(reinterpret_cast<std::uintptr_t>(
                                           windowClass->lpszClassName)))
                              : std::u16string(windowClass->lpszClassName);
    std::u16string upper = UpperCase(name);
    for (const auto& existing : s.classes) {
        if (!existing->builtIn && existing->upperName == upper &&
            existing->instance == windowClass->hInstance) {
            s.Fail(ERROR_CLASS_ALREADY_EXISTS);
            return 0;
        }
    }
    auto cls = std::make_unique<WindowClass>();
    cls->name = name;
    cls->upperName = upper;
    cls->atom = s.nextAtom++;
    cls->style = windowClass->style;
    cls->procedure = windowClass->lpfnWndProc;
    cls->classExtra = windowClass->cbClsExtra;
    cls->windowExtra = windowClass->cbWndExtra;
    cls->instance = windowClass->hInstance;
    cls->icon = windowClass->hIcon;
    cls->iconSmall = windowClass->hIconSm;
    cls->cursor = windowClass->hCursor;
    cls->background = windowClass->hbrBackground;
    ATOM atom = cls->atom;
    // Classes of the program come before the built-in ones of the same name.
    s.classes.insert(s.classes.begin(), std::move(cls));
    return atom;
}

HWND SimDesktop::CreateWindowExW(DWORD exStyle, const char16_t* className,
                                 const char16_t* windowName, DWORD style, int x, int y, int width,
                                 int height, HWND parent, HMENU menu, HINSTANCE instance,
                                 void* param) {
    DesktopState& s = *state_;
    WindowClass* cls = nullptr;
    if (className == nullptr) {
        s.Fail(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    for (const auto& candidate : s.classes) {
        if (IS_INTRESOURCE(className)
                ? candidate->atom == reinterpret_cast<std::uintptr_t>(className)
                : candidate->upperName == UpperCase(className)) {
            cls = candidate.get();
            break;
        }
    }
    if (cls == nullptr) {
        s.Fail(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    const bool child = (style & WS_CHILD) != 0;
    HWND owner = nullptr;
    if (child) {
        if (s.Find(parent) == nullptr) {
            s.Fail(parent == nullptr ? ERROR_TLW_WITH_WSCHILD : ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
    } else if (parent != nullptr) {
        if (s.Find(parent) == nullptr) {
            s.Fail(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        owner = s.TopLevelOf(parent);
        parent = nullptr;
    }

    // The styles Windows adds by itself.
    const DWORD requested = style;
    if (!child) {
        style |= WS_CLIPSIBLINGS;
        if ((style & WS_POPUP) == 0) {
            style |= WS_CAPTION;
        }
    }
    if ((exStyle & WS_EX_DLGMODALFRAME) != 0 ||
        ((style & (WS_DLGFRAME | WS_THICKFRAME)) != 0 &&
         !((exStyle & WS_EX_STATICEDGE) != 0 && (style & (WS_CHILD | WS_POPUP)) != 0))) {
        exStyle |= WS_EX_WINDOWEDGE;
    } else {
        exStyle &= ~WS_EX_WINDOWEDGE;
    }
    const DWORD minMaxRequested = style & (WS_MINIMIZE | WS_MAXIMIZE);
    style &= ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);

    if (!child && (style & WS_POPUP) == 0) {
        RECT work = s.WorkArea();
        if (x == CW_USEDEFAULT) {
            x = work.left + kDefaultPosition;
            y = work.top + kDefaultPosition;
        }
        if (width == CW_USEDEFAULT) {
            width = Width(work) * 3 / 4;
            height = Height(work) * 3 / 4;
        }
    } else {
        if (x == CW_USEDEFAULT) {
            x = y = 0;
        }
        if (width == CW_USEDEFAULT) {
            width = height = 0;
        }
    }
    width = std::max(width, 0);
    height = std::max(height, 0);

    auto w = std::make_unique<Window>();
    HWND handle = AsHandle<HWND>(NewHandleValue());
    w->handle = handle;
    w->windowClass = cls;
    w->style = style;
    w->exStyle = exStyle;
    w->parent = child ? parent : nullptr;
    w->owner = owner;
    w->id = child ? static_cast<LONG_PTR>(reinterpret_cast<std::intptr_t>(menu)) : 0;
    w->instance = instance;
    w->rect = RECT{x, y, x + width, y + height};
    w->normalRect = w->rect;
    w->procedure = cls->procedure;
    w->extraBytes.assign(static_cast<std::size_t>(cls->windowExtra), 0);
    w->needSize = (style & (WS_CHILD | WS_POPUP)) == 0;
    s.ComputeClient(*w, w->rect, w->client);
    s.windows[ValueOf(handle)] = std::move(w);
    if (child) {
        s.Find(parent)->children.push_back(handle); // a new child goes below its siblings
    } else {
        s.topLevel.insert(s.topLevel.begin(), handle);
    }
    s.ledger.Acquire(ValueOf(handle), HandleKind::Window, "CreateWindowExW",
                     Utf16ToUtf8(cls->name));

    CREATESTRUCTW cs{};
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = child ? parent : owner;
    cs.cy = height;
    cs.cx = width;
    cs.y = y;
    cs.x = x;
    cs.style = static_cast<LONG>(requested);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;

    auto failed = [&s, handle]() -> HWND {
        if (s.Find(handle) != nullptr) {
            s.FreeWindow(handle);
        }
        return nullptr;
    };

    if ((style & WS_THICKFRAME) != 0 || (style & (WS_POPUP | WS_CHILD)) == 0) {
        MINMAXINFO limits = s.MinMaxInfo(handle);
        Window* created = s.Find(handle);
        if (created == nullptr) {
            return nullptr;
        }
        width = std::max(std::min(width, static_cast<int>(limits.ptMaxTrackSize.x)),
                         static_cast<int>(limits.ptMinTrackSize.x));
        height = std::max(std::min(height, static_cast<int>(limits.ptMaxTrackSize.y)),
                          static_cast<int>(limits.ptMinTrackSize.y));
        created->rect = RECT{x, y, x + width, y + height};
        created->normalRect = created->rect;
        s.ComputeClient(*created, created->rect, created->client);
        cs.cx = width;
        cs.cy = height;
    }
    if (s.Send(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) == 0) {
        return failed();
    }
    Window* created = s.Find(handle);
    if (created == nullptr) {
        return nullptr;
    }
    RECT client = created->rect;
    s.Send(handle, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
    created = s.Find(handle);
    if (created == nullptr) {
        return nullptr;
    }
    created->client = client;
    if (s.Send(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        return failed();
    }
    created = s.Find(handle);
    if (created == nullptr) {
        return nullptr;
    }
    if (!created->needSize) {
        RECT c = created->client;
        s.Send(handle, WM_SIZE, SIZE_RESTORED, PackPoint(Width(c), Height(c)));
        if (Window* again = s.Find(handle); again != nullptr) {
            POINT origin{again->client.left, again->client.top};
            s.Send(handle, WM_MOVE, 0, PackPoint(origin.x, origin.y));
        }
    }
    if (s.Find(handle) == nullptr) {
        return nullptr;
    }
    if (minMaxRequested != 0) {
        RECT placed{};
        UINT swp = s.MinMaximize(
            handle, (minMaxRequested & WS_MINIMIZE) != 0 ? SW_MINIMIZE : SW_MAXIMIZE, placed);
        swp |= SWP_FRAMECHANGED | SWP_NOZORDER;
        if ((requested & WS_VISIBLE) == 0 || child || s.active != nullptr) {
            swp |= SWP_NOACTIVATE;
        }
        s.SetWindowPosImpl(handle, nullptr, placed.left, placed.top, Width(placed), Height(placed),
                           swp);
        if (s.Find(handle) == nullptr) {
            return nullptr;
        }
    }
    if (child && (exStyle & WS_EX_NOPARENTNOTIFY) == 0) {
        const Window* cw = s.Find(handle);
        s.Send(cw->parent, WM_PARENTNOTIFY, MAKELPARAM(WM_CREATE, static_cast<WORD>(cw->id)),
               reinterpret_cast<LPARAM>(handle));
        if (s.Find(handle) == nullptr) {
            return nullptr;
        }
    }
    if ((requested & WS_VISIBLE) != 0) {
        int command = SW_SHOW;
        if ((minMaxRequested & WS_MINIMIZE) != 0 && (minMaxRequested & WS_MAXIMIZE) == 0) {
            command = SW_SHOWMINIMIZED;
        }
        ShowWindow(handle, command);
        if (s.Find(handle) == nullptr) {
            return nullptr;
        }
    }
    return handle;
}

BOOL SimDesktop::IsWindow(HWND window) {
    return state_->Find(window) != nullptr ? TRUE : FALSE;
}

// ---- Destruction ------------------------------------------------------------------------------

BOOL SimDesktop::DestroyWindow(HWND window) {
    DesktopState& s = *state_;
    Window* w = s.Find(window);
    if (w == nullptr) {
        s.ledger.Release(ValueOf(window), HandleKind::Window, "DestroyWindow");
        s.Fail(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (w->destroying) {
        return TRUE;
    }
    w->destroying = true;
    const bool child = s.IsChild(*w);
    if (child && (w->exStyle & WS_EX_NOPARENTNOTIFY) == 0) {
        s.Send(w->parent, WM_PARENTNOTIFY, MAKELPARAM(WM_DESTROY, static_cast<WORD>(w->id)),
               reinterpret_cast<LPARAM>(window));
    }
    if (Window* shown = s.Find(window); shown != nullptr && (shown->style & WS_VISIBLE) != 0) {
        if (child) {
            ShowWindow(window, SW_HIDE);
        } else {
            s.SetWindowPosImpl(window, nullptr, 0, 0, 0, 0,
                               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE |
                                   SWP_HIDEWINDOW);
        }
    }
    if (s.Find(window) == nullptr) {
        return TRUE;
    }
    if (!child) {
        // Owned windows go with their owner.
        std::vector<HWND> owned;
        for (HWND top : s.topLevel) {
            if (const Window* o = s.Find(top); o != nullptr && o->owner == window) {
                owned.push_back(top);
            }
        }
        for (HWND o : owned) {
            if (s.Find(o) != nullptr) {
                DestroyWindow(o);
            }
        }
    }
    if (s.Find(window) == nullptr) {
        return TRUE;
    }
    s.SendDestroy(window);
    if (s.Find(window) != nullptr) {
        s.FreeWindow(window);
    }
    return TRUE;
}

// WM_DESTROY goes to a window before its children.
void DesktopState::SendDestroy(HWND window) {
    if (window == active) {
        ActivateOther(window);
    }
    Send(window, WM_DESTROY, 0, 0);
    Window* w = Find(window);
    if (w == nullptr) {
        return;
    }
    std::vector<HWND> children = w->children;
    for (HWND child : children) {
        if (Find(child) != nullptr) {
            SendDestroy(child);
        }
    }
}

// WM_NCDESTROY goes to the children first; then the window is gone.
void DesktopState::FreeWindow(HWND window) {
    Window* w = Find(window);
    if (w == nullptr) {
        return;
    }
    w->destroying = true;
    std::vector<HWND> children = w->children;
    for (HWND child : children) {
        if (Find(child) != nullptr) {
            FreeWindow(child);
        }
    }
    Send(window, WM_NCDESTROY, 0, 0);
    w = Find(window);
    if (w == nullptr) {
        return;
    }
    if (IsChild(*w)) {
        if (Window* parent = Find(w->parent); parent != nullptr) {
            auto& siblings = parent->children;
            siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
        }
    } else {
        topLevel.erase(std::remove(topLevel.begin(), topLevel.end(), window), topLevel.end());
    }
    if (focus == window) {
        focus = nullptr;
    }
    if (active == window) {
        active = nullptr;
    }
    if (locked == window) {
        locked = nullptr;
    }
    PurgeQueue(window);
    ledger.Release(ValueOf(window), HandleKind::Window, "DestroyWindow");
    windows.erase(ValueOf(window));
}

// ---- Window data ------------------------------------------------------------------------------

LONG_PTR SimDesktop::GetWindowLongPtrW(HWND window, int index) {
    DesktopState& s = *state_;
    Window* w = s.FindOrFail(window);
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
        return reinterpret_cast<LONG_PTR>(s.IsChild(*w) ? w->parent : w->owner);
    default:
        break;
    }
    if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->extraBytes.size()) {
        LONG_PTR value = 0;
        std::memcpy(&value, w->extraBytes.data() + index, sizeof value);
        return value;
    }
    s.Fail(ERROR_INVALID_INDEX);
    return 0;
}

LONG_PTR SimDesktop::SetWindowLongPtrW(HWND window, int index, LONG_PTR newLong) {
    DesktopState& s = *state_;
    Window* w = s.FindOrFail(window);
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
        s.Send(window, WM_STYLECHANGING, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&change));
        w = s.Find(window);
        if (w == nullptr) {
            return old;
        }
        (isStyle ? w->style : w->exStyle) = change.styleNew;
        s.Send(window, WM_STYLECHANGED, static_cast<WPARAM>(index),
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
        if (s.IsChild(*w)) {
            s.Fail(ERROR_INVALID_PARAMETER);
            return 0;
        }
        old = reinterpret_cast<LONG_PTR>(w->owner);
        w->owner = s.TopLevelOf(reinterpret_cast<HWND>(newLong));
        return old;
    default:
        break;
    }
    if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->extraBytes.size()) {
        std::memcpy(&old, w->extraBytes.data() + index, sizeof old);
        std::memcpy(w->extraBytes.data() + index, &newLong, sizeof newLong);
        return old;
    }
    s.Fail(ERROR_INVALID_INDEX);
    return 0;
}

BOOL SimDesktop::SetWindowTextW(HWND window, const char16_t* text) {
    DesktopState& s = *state_;
    if (s.FindOrFail(window) == nullptr) {
        return FALSE;
    }
    return s.Send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0 ? TRUE : FALSE;
}

int SimDesktop::GetWindowTextW(HWND window, char16_t* text, int cchMax) {
    DesktopState& s = *state_;
    if (s.FindOrFail(window) == nullptr || text == nullptr || cchMax <= 0) {
        return 0;
    }
    return static_cast<int>(
        s.Send(window, WM_GETTEXT, static_cast<WPARAM>(cchMax), reinterpret_cast<LPARAM>(text)));
}

// ---- State --------------------------------------------------------------------------------------

BOOL SimDesktop::IsWindowVisible(HWND window) {
    return state_->IsReallyVisible(window) ? TRUE : FALSE;
}

BOOL SimDesktop::IsIconic(HWND window) {
    const Window* w = state_->Find(window);
    return w != nullptr && (w->style & WS_MINIMIZE) != 0 ? TRUE : FALSE;
}

BOOL SimDesktop::IsZoomed(HWND window) {
    const Window* w = state_->Find(window);
    return w != nullptr && (w->style & WS_MAXIMIZE) != 0 ? TRUE : FALSE;
}

BOOL SimDesktop::IsWindowEnabled(HWND window) {
    const Window* w = state_->Find(window);
    return w != nullptr && (w->style & WS_DISABLED) == 0 ? TRUE : FALSE;
}

BOOL SimDesktop::EnableWindow(HWND window, BOOL enable) {
    DesktopState& s = *state_;
    Window* w = s.FindOrFail(window);
    if (w == nullptr) {
        return FALSE;
    }
    const BOOL wasDisabled = (w->style & WS_DISABLED) != 0 ? TRUE : FALSE;
    if (enable != FALSE && wasDisabled != FALSE) {
        w->style &= ~WS_DISABLED;
        s.Send(window, WM_ENABLE, TRUE, 0);
    } else if (enable == FALSE && wasDisabled == FALSE) {
        w->style |= WS_DISABLED;
        if (s.focus != nullptr && s.IsDescendant(window, s.focus)) {
            s.SetFocusImpl(nullptr); // a disabled window cannot keep the focus
        }
        s.Send(window, WM_ENABLE, FALSE, 0);
    }
    return wasDisabled;
}

HWND SimDesktop::GetParent(HWND window) {
    DesktopState& s = *state_;
    const Window* w = s.FindOrFail(window);
    if (w == nullptr) {
        return nullptr;
    }
    if (s.IsChild(*w)) {
        return w->parent;
    }
    return (w->style & WS_POPUP) != 0 ? w->owner : nullptr;
}

// ---- Z-order, activation and focus --------------------------------------------------------------

void DesktopState::ZOrderInsert(HWND window, HWND insertAfter) {
    Window* w = Find(window);
    if (w == nullptr) {
        return;
    }
    std::vector<HWND>* list = &topLevel;
    if (IsChild(*w)) {
        Window* parent = Find(w->parent);
        if (parent == nullptr) {
            return;
        }
        list = &parent->children;
    }
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
    if (list == &topLevel && atTop) {
        // Owned windows stay above their owner.
        std::vector<HWND> owned;
        for (HWND top : topLevel) {
            if (const Window* o = Find(top); o != nullptr && o->owner == window) {
                owned.push_back(top);
            }
        }
        for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
            topLevel.erase(std::remove(topLevel.begin(), topLevel.end(), *it), topLevel.end());
            topLevel.insert(topLevel.begin(), *it);
        }
    }
}

void DesktopState::Activate(HWND window) {
    if (window == active) {
        return;
    }
    HWND previous = active;
    if (previous != nullptr && Find(previous) != nullptr) {
        Send(previous, WM_NCACTIVATE, FALSE, 0);
        if (Find(previous) != nullptr) {
            Send(previous, WM_ACTIVATE,
                 MAKELPARAM(static_cast<WORD>(WA_INACTIVE), desk.IsIconic(previous) ? 1 : 0),
                 reinterpret_cast<LPARAM>(window));
        }
    }
    active = window;
    if (window != nullptr && Find(window) == nullptr) {
        active = nullptr;
        return;
    }
    // The program gains or loses the activation as a whole.
    if ((previous == nullptr) != (window == nullptr)) {
        std::vector<HWND> tops = topLevel;
        for (HWND top : tops) {
            if (Find(top) != nullptr) {
                Send(top, WM_ACTIVATEAPP, window != nullptr ? TRUE : FALSE, 0);
            }
        }
    }
    if (window == nullptr) {
        if (focus != nullptr) {
            SetFocusImpl(nullptr);
        }
        return;
    }
    if (active != window) {
        return;
    }
    ZOrderInsert(window, HWND_TOP);
    Send(window, WM_NCACTIVATE, TRUE, 0);
    if (Find(window) != nullptr && active == window) {
        Send(window, WM_ACTIVATE,
             MAKELPARAM(static_cast<WORD>(WA_ACTIVE), desk.IsIconic(window) ? 1 : 0),
             reinterpret_cast<LPARAM>(previous));
    }
    // Keep the focus inside the active window.
    if (active == window && Find(window) != nullptr &&
        (focus == nullptr || TopLevelOf(focus) != window)) {
        SetFocusImpl(desk.IsIconic(window) ? nullptr : window);
    }
}

void DesktopState::ActivateOther(HWND leaving) {
    const Window* w = Find(leaving);
    auto candidate = [this, leaving](HWND h) {
        const Window* c = Find(h);
        return c != nullptr && h != leaving && !c->destroying && (c->style & WS_VISIBLE) != 0 &&
               (c->style & (WS_DISABLED | WS_MINIMIZE)) == 0;
    };
    if (w != nullptr && w->owner != nullptr && candidate(w->owner)) {
        Activate(w->owner);
        return;
    }
    for (HWND top : topLevel) {
        if (candidate(top)) {
            Activate(top);
            return;
        }
    }
    Activate(nullptr); // another program's window, as far as this one can tell
}

HWND DesktopState::SetFocusImpl(HWND window) {
    if (window != nullptr) {
        Window* w = FindOrFail(window);
        if (w == nullptr) {
            return nullptr;
        }
        if (window == focus) {
            return focus;
        }
        for (const Window* h = w; h != nullptr;) {
            if ((h->style & (WS_MINIMIZE | WS_DISABLED)) != 0) {
                return nullptr;
            }
            if (!IsChild(*h)) {
                break;
            }
            h = Find(h->parent);
        }
        HWND top = TopLevelOf(window);
        if (top != active) {
            Activate(top);
            if (Find(window) == nullptr || active != top) {
                return nullptr;
            }
        }
    }
    HWND previous = focus;
    if (previous == window) {
        return previous;
    }
    focus = window;
    if (previous != nullptr && Find(previous) != nullptr) {
        Send(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    }
    if (window != nullptr && focus == window && Find(window) != nullptr) {
        Send(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    }
    return previous;
}

BOOL SimDesktop::SetForegroundWindow(HWND window) {
    DesktopState& s = *state_;
    s.foregroundRequests.push_back(window);
    if (s.Find(window) == nullptr) {
        s.Fail(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    s.Activate(s.TopLevelOf(window));
    return TRUE;
}

HWND SimDesktop::GetActiveWindow() {
    return state_->active;
}

HWND SimDesktop::SetFocus(HWND window) {
    return state_->SetFocusImpl(window);
}

HWND SimDesktop::GetFocus() {
    return state_->focus;
}

// ---- Moves: SetWindowPos, minimise, maximise, ShowWindow
// ------------------------------------------

MINMAXINFO DesktopState::MinMaxInfo(HWND window) {
    MINMAXINFO info{};
    Window* w = Find(window);
    if (w == nullptr) {
        return info;
    }
    const DWORD style = w->style;
    const bool child = IsChild(*w);
    RECT area{0, 0, config.screenWidth, config.screenHeight};
    if (child) {
        const Window* parent = Find(w->parent);
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
        info.ptMinTrackSize = POINT{config.frame.minTrackWidth, config.frame.minTrackHeight};
    } else {
        info.ptMinTrackSize = POINT{2 * xinc, 2 * yinc};
    }
    info.ptMaxTrackSize = POINT{config.screenWidth + 2 * config.frame.sizingFrame,
                                config.screenHeight + 2 * config.frame.sizingFrame};
    info.ptMaxPosition = POINT{-xinc, -yinc};
    Send(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    w = Find(window);
    if (w != nullptr && !child) {
        // Values the window left alone are moved to the work area.
        RECT work{0, 0, config.screenWidth, config.screenHeight};
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

UINT DesktopState::MinMaximize(HWND window, int command, RECT& rect) {
    Window* w = Find(window);
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
            const Window* parent = Find(w->parent);
            at = POINT{
                0, parent == nullptr ? 0 : Height(parent->client) - config.frame.minimizedHeight};
        }
        return RECT{at.x, at.y, at.x + config.frame.minimizedWidth,
                    at.y + config.frame.minimizedHeight};
    };
    if ((w->style & WS_MINIMIZE) != 0) {
        if (IsMinimizeCommand(command)) {
            rect = minimizedRect();
            return SWP_NOSIZE | SWP_NOMOVE;
        }
        if (Send(window, WM_QUERYOPEN, 0, 0) == 0) {
            return SWP_NOSIZE | SWP_NOMOVE;
        }
        w = Find(window);
        if (w == nullptr) {
            return SWP_NOSIZE | SWP_NOMOVE;
        }
    }
    if (IsMinimizeCommand(command)) {
        w->restoreToMaximized = (w->style & WS_MAXIMIZE) != 0;
        if (focus != nullptr && IsDescendant(window, focus)) {
            SetFocusImpl(IsChild(*w) ? w->parent : nullptr);
            w = Find(window);
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
        w = Find(window);
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

BOOL DesktopState::SetWindowPosImpl(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                                    UINT flags) {
    Window* w = FindOrFail(window);
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
        Send(window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
        w = Find(window);
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
            const std::vector<HWND>& list = IsChild(*w) ? Find(w->parent)->children : topLevel;
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
        Send(window, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
        w = Find(window);
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
            Invalidate(w->parent, true, false);
        }
    }
    if ((pos.flags & SWP_NOZORDER) == 0) {
        ZOrderInsert(window, pos.hwndInsertAfter);
    }
    const bool frameDirty =
        shown || (pos.flags & SWP_NOSIZE) == 0 || (pos.flags & SWP_FRAMECHANGED) != 0;
    if (frameDirty && (pos.flags & SWP_NOREDRAW) == 0 && IsReallyVisible(window)) {
        Invalidate(window, true, true);
    }

    if ((pos.flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)) == 0 && (w->style & WS_VISIBLE) != 0) {
        if (IsChild(*w)) {
            Send(window, WM_CHILDACTIVATE, 0, 0);
        } else {
            Activate(window);
        }
        w = Find(window);
        if (w == nullptr) {
            return TRUE;
        }
    }
    if (frameDirty && (pos.flags & SWP_NOREDRAW) == 0 && IsReallyVisible(window)) {
        Send(window, WM_NCPAINT, 1, 0);
        w = Find(window);
        if (w == nullptr) {
            return TRUE;
        }
    }
    if (hidden) {
        if (window == active) {
            ActivateOther(window);
        }
        if (focus != nullptr && IsDescendant(window, focus)) {
            SetFocusImpl(IsChild(*w) && Find(w->parent) != nullptr ? w->parent : nullptr);
        }
        if (Find(window) == nullptr) {
            return TRUE;
        }
    }
    constexpr UINT kNoChange = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER;
    if ((pos.flags & kNoChange) != kNoChange ||
        (pos.flags & (SWP_FRAMECHANGED | SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_STATECHANGED)) !=
            0) {
        Send(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    }
    return TRUE;
}

BOOL SimDesktop::SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                              UINT flags) {
    // The window manager's own flags are not the caller's to give.
    return state_->SetWindowPosImpl(window, insertAfter, x, y, cx, cy, flags & ~SWP_STATECHANGED);
}

BOOL SimDesktop::MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    return state_->SetWindowPosImpl(window, nullptr, x, y, width, height,
                                    SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL SimDesktop::ShowWindow(HWND window, int command) {
    DesktopState& s = *state_;
    Window* w = s.FindOrFail(window);
    if (w == nullptr) {
        return FALSE;
    }
    const DWORD style = w->style;
    const BOOL wasVisible = (style & WS_VISIBLE) != 0 ? TRUE : FALSE;
    const bool child = s.IsChild(*w);
    UINT swp = 0;
    RECT placed{0, 0, 0, 0};
    switch (command) {
    case SW_HIDE:
        if (wasVisible == FALSE) {
            return FALSE;
        }
        swp |= SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE;
        if (window != s.active) {
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
        swp |= s.MinMaximize(window, command, placed);
        if ((style & WS_MINIMIZE) != 0 && wasVisible != FALSE) {
            return TRUE;
        }
        break;
    case SW_SHOWMAXIMIZED:
        swp |= SWP_SHOWWINDOW | SWP_FRAMECHANGED;
        swp |= s.MinMaximize(window, SW_MAXIMIZE, placed);
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
            swp |= s.MinMaximize(window, command, placed);
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
        s.Send(window, WM_SHOWWINDOW, showing ? TRUE : FALSE, 0);
        if (s.Find(window) == nullptr) {
            return wasVisible;
        }
    }
    w = s.Find(window);
    if (child && !s.IsReallyVisible(w->parent) && (swp & SWP_STATECHANGED) == 0) {
        // Under a hidden parent only the style changes.
        if (showing) {
            w->style |= WS_VISIBLE;
        } else {
            w->style &= ~WS_VISIBLE;
        }
    } else {
        s.SetWindowPosImpl(window, HWND_TOP, placed.left, placed.top, Width(placed), Height(placed),
                           swp);
    }
    w = s.Find(window);
    if (w == nullptr) {
        return wasVisible;
    }
    if (command == SW_HIDE) {
        if (window == s.active) {
            s.ActivateOther(window);
        }
        if (s.focus != nullptr && s.IsDescendant(window, s.focus)) {
            s.SetFocusImpl(child ? w->parent : nullptr);
        }
        return wasVisible;
    }
    if (IsMinimizeCommand(command) && window == s.active) {
        s.ActivateOther(window);
    }
    w = s.Find(window);
    if (w != nullptr && w->needSize) {
        // The first showing of a window that has had no size notice yet.
        w->needSize = false;
        WPARAM type = (w->style & WS_MAXIMIZE) != 0   ? SIZE_MAXIMIZED
                      : (w->style & WS_MINIMIZE) != 0 ? SIZE_MINIMIZED
                                                      : SIZE_RESTORED;
        RECT client = w->client;
        s.Send(window, WM_SIZE, type, PackPoint(Width(client), Height(client)));
        if (s.Find(window) != nullptr) {
            // Children report the origin in their parent's client coordinates, as stored.
            POINT origin{client.left, client.top};
            s.Send(window, WM_MOVE, 0, PackPoint(origin.x, origin.y));
        }
    }
    return wasVisible;
}

// ---- Geometry ----------------------------------------------------------------------------------

BOOL SimDesktop::GetWindowRect(HWND window, RECT* rect) {
    DesktopState& s = *state_;
    const Window* w = s.FindOrFail(window);
    if (w == nullptr || rect == nullptr) {
        return FALSE;
    }
    *rect = s.ScreenRect(*w);
    return TRUE;
}

BOOL SimDesktop::GetClientRect(HWND window, RECT* rect) {
    DesktopState& s = *state_;
    const Window* w = s.FindOrFail(window);
    if (w == nullptr || rect == nullptr) {
        return FALSE;
    }
    *rect = RECT{0, 0, Width(w->client), Height(w->client)};
    return TRUE;
}

int SimDesktop::MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    DesktopState& s = *state_;
    if ((from != nullptr && s.FindOrFail(from) == nullptr) ||
        (to != nullptr && s.FindOrFail(to) == nullptr)) {
        return 0;
    }
    POINT a = from == nullptr ? POINT{0, 0} : s.ClientOrigin(from);
    POINT b = to == nullptr ? POINT{0, 0} : s.ClientOrigin(to);
    const int dx = a.x - b.x;
    const int dy = a.y - b.y;
    for (UINT i = 0; points != nullptr && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return static_cast<int>(
        MAKELPARAM(static_cast<WORD>(dx & 0xFFFF), static_cast<WORD>(dy & 0xFFFF)));
}

BOOL SimDesktop::AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
    if (rect == nullptr) {
        state_->Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    state_->FrameInsets(style, exStyle, menu != FALSE, *rect);
    return TRUE;
}

int SimDesktop::GetSystemMetrics(int index) {
    const SimConfig& c = state_->config;
    const FrameMetrics& f = c.frame;
    const RECT work = state_->WorkArea();
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

UINT_PTR SimDesktop::SHAppBarMessage(DWORD message, APPBARDATA* data) {
    const SimConfig& c = state_->config;
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
        const bool wide = Width(tb) > Height(tb);
        data->uEdge = wide ? (tb.top > 0 ? 3u : 1u) : (tb.left > 0 ? 2u : 0u); // ABE_*
        data->hWnd = nullptr;
        return TRUE;
    }
    default:
        return 0;
    }
}

// ---- Painting state -----------------------------------------------------------------------------

void DesktopState::Invalidate(HWND window, bool erase, bool children) {
    Window* w = Find(window);
    if (w == nullptr || !IsReallyVisible(window)) {
        return;
    }
    w->needsPaint = true;
    w->needsErase = w->needsErase || erase;
    if (locked != nullptr && IsDescendant(locked, window)) {
        lockedInvalidated = true;
    }
    if (children) {
        std::vector<HWND> list = w->children;
        for (HWND child : list) {
            Invalidate(child, erase, true);
        }
    }
}

HWND DesktopState::NextPaintWindow() const {
    std::function<HWND(HWND)> search = [&](HWND h) -> HWND {
        const Window* w = Find(h);
        if (w == nullptr || (w->style & WS_VISIBLE) == 0 || (locked != nullptr && h == locked)) {
            return nullptr;
        }
        if (w->needsPaint) {
            return h;
        }
        for (HWND child : w->children) {
            if (HWND found = search(child)) {
                return found;
            }
        }
        return nullptr;
    };
    for (HWND top : topLevel) {
        if (HWND found = search(top)) {
            return found;
        }
    }
    return nullptr;
}

void DesktopState::Paint(HWND window) {
    Window* w = Find(window);
    if (w == nullptr || !IsReallyVisible(window) ||
        (locked != nullptr && IsDescendant(locked, window))) {
        return;
    }
    if (w->needsPaint) {
        Send(window, WM_PAINT, 0, 0);
        w = Find(window);
        if (w == nullptr) {
            return;
        }
        // A window that did not validate itself is not asked again (Windows would ask forever).
        w->needsPaint = false;
        w->needsErase = false;
    }
    std::vector<HWND> children = w->children;
    for (HWND child : children) {
        Paint(child);
    }
}

BOOL SimDesktop::LockWindowUpdate(HWND window) {
    DesktopState& s = *state_;
    BOOL result = TRUE;
    if (window == nullptr) {
        HWND unlocked = s.locked;
        s.locked = nullptr;
        if (unlocked != nullptr && s.lockedInvalidated) {
            s.Invalidate(unlocked, true, true); // what was drawn meanwhile is shown now
        }
        s.lockedInvalidated = false;
    } else if (s.Find(window) == nullptr) {
        s.Fail(ERROR_INVALID_WINDOW_HANDLE);
        result = FALSE;
    } else if (s.locked != nullptr) {
        result = FALSE; // one window at a time
    } else {
        s.locked = window;
        s.lockedInvalidated = false;
    }
    s.lockCalls.push_back(LockWindowUpdateCall{window, result});
    return result;
}

BOOL SimDesktop::InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    DesktopState& s = *state_;
    (void)rect; // the whole client area is invalidated
    if (window == nullptr) {
        std::vector<HWND> tops = s.topLevel;
        for (HWND top : tops) {
            s.Invalidate(top, erase != FALSE, true);
        }
        return TRUE;
    }
    if (s.FindOrFail(window) == nullptr) {
        return FALSE;
    }
    s.Invalidate(window, erase != FALSE, false);
    return TRUE;
}

BOOL SimDesktop::UpdateWindow(HWND window) {
    DesktopState& s = *state_;
    if (s.FindOrFail(window) == nullptr) {
        return FALSE;
    }
    s.Paint(window);
    return TRUE;
}

WindowSnapshot DesktopState::Snapshot(HWND window) const {
    WindowSnapshot snap;
    const Window* w = Find(window);
    if (w == nullptr) {
        return snap;
    }
    snap.window = window;
    snap.className = w->windowClass->name;
    snap.text = w->text;
    snap.visible = (w->style & WS_VISIBLE) != 0;
    snap.enabled = (w->style & WS_DISABLED) == 0;
    snap.minimized = (w->style & WS_MINIMIZE) != 0;
    return snap;
}

} // namespace platform::sim
