// The window tree: lookups and coordinates, classes, creation and destruction.
#include "platform/sim/SimWindowTree.h"

#include "platform/sim/SimActivation.h"
#include "platform/sim/SimGdi.h"
#include "platform/sim/SimKernel.h"
#include "platform/sim/SimMessaging.h"

#include <algorithm>

namespace platform::sim {

namespace {

constexpr int kDefaultPosition = 26;

} // namespace

WindowTree::WindowTree(const SimConfig& config, Kernel& kernel, Activation& activation,
                       Messaging& messaging, Gdi& gdi)
    : config_(config), kernel_(kernel), activation_(activation), messaging_(messaging), gdi_(gdi) {
    auto builtIn = [this](const char16_t* name, WNDPROC procedure, UINT style) {
        auto cls = std::make_unique<WindowClass>();
        cls->name = name;
        cls->upperName = UpperCase(name);
        cls->atom = nextAtom_++;
        cls->procedure = procedure;
        cls->style = style;
        cls->builtIn = true;
        classes_.push_back(std::move(cls));
    };
    builtIn(u"STATIC", BuiltInControls::Static, 0x0008 /* CS_DBLCLKS */);
    builtIn(u"BUTTON", BuiltInControls::Button,
            0x0008 | 0x0003 /* CS_DBLCLKS|CS_HREDRAW|CS_VREDRAW */);
    builtIn(u"#32770", BuiltInControls::MessageBox, 0x0008);
    builtIn(u"EDIT", BuiltInControls::EditBox, 0x0008);
    builtIn(u"LISTBOX", BuiltInControls::ListBox, 0x0008);
}

// ---- Lookups and coordinates ----------------------------------------------------------------

Window* WindowTree::Get(HWND window) const {
    auto it = windows_.find(ValueOf(window));
    return it == windows_.end() ? nullptr : it->second.get();
}

Window* WindowTree::GetOrFail(HWND window) {
    Window* w = Get(window);
    if (w == nullptr) {
        kernel_.Fail(ERROR_INVALID_WINDOW_HANDLE);
    }
    return w;
}

const Window* WindowTree::Find(HWND window) const {
    return Get(window);
}

const Window* WindowTree::FindOrFail(HWND window) {
    return GetOrFail(window);
}

const Window* WindowTree::ParentOf(const Window& w) const {
    return IsChild(w) ? Get(w.parent) : nullptr;
}

HWND WindowTree::TopLevelOf(HWND window) const {
    const Window* w = Get(window);
    for (const Window* p = w; p != nullptr; p = ParentOf(*p)) {
        w = p;
    }
    return w == nullptr ? nullptr : w->handle;
}

bool WindowTree::IsDescendant(HWND ancestor, HWND window) const {
    for (const Window* w = Get(window); w != nullptr; w = ParentOf(*w)) {
        if (w->handle == ancestor) {
            return true;
        }
    }
    return false;
}

bool WindowTree::IsReallyVisible(HWND window) const {
    const Window* w = Get(window);
    if (w == nullptr) {
        return false;
    }
    for (; w != nullptr; w = ParentOf(*w)) {
        if ((w->style & WS_VISIBLE) == 0) {
            return false;
        }
    }
    return true;
}

POINT WindowTree::ClientOrigin(HWND window) const {
    const Window* w = Get(window);
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

RECT WindowTree::ScreenRect(const Window& w) const {
    RECT r = w.rect;
    if (IsChild(w)) {
        POINT parent = ClientOrigin(w.parent);
        Offset(r, parent.x, parent.y);
    }
    return r;
}

RECT WindowTree::WorkArea() const {
    RECT work{0, 0, config_.screenWidth, config_.screenHeight};
    if (config_.taskbarAutoHide) {
        return work;
    }
    RECT tb = config_.taskbar;
    tb.left = std::max(tb.left, LONG{0});
    tb.top = std::max(tb.top, LONG{0});
    tb.right = std::min(tb.right, work.right);
    tb.bottom = std::min(tb.bottom, work.bottom);
    if (tb.right <= tb.left || tb.bottom <= tb.top) {
        return work;
    }
    switch (TaskbarEdge(tb)) {
    case ScreenEdge::Bottom:
        work.bottom = tb.top;
        break;
    case ScreenEdge::Top:
        work.top = tb.bottom;
        break;
    case ScreenEdge::Right:
        work.right = tb.left;
        break;
    case ScreenEdge::Left:
        work.left = tb.right;
        break;
    }
    return work;
}

// How far the frame reaches beyond the client area, as AdjustWindowRectEx computes it.
void WindowTree::FrameInsets(DWORD style, DWORD exStyle, bool menu, RECT& r) const {
    const FrameMetrics& f = config_.frame;
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

void WindowTree::ComputeClient(const Window& w, const RECT& windowRect, RECT& client) const {
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

ATOM WindowTree::RegisterClassExW(const WNDCLASSEXW* windowClass) {
    if (windowClass == nullptr || windowClass->cbSize != sizeof(WNDCLASSEXW) ||
        windowClass->lpszClassName == nullptr || windowClass->cbWndExtra < 0 ||
        windowClass->cbClsExtra < 0) {
        kernel_.Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string name = IS_INTRESOURCE(windowClass->lpszClassName)
                              ? u"#" + Utf8ToUtf16(std::to_string(reinterpret_cast<std::uintptr_t>(
                                           windowClass->lpszClassName)))
                              : std::u16string(windowClass->lpszClassName);
    std::u16string upper = UpperCase(name);
    for (const auto& existing : classes_) {
        if (!existing->builtIn && existing->upperName == upper &&
            existing->instance == windowClass->hInstance) {
            kernel_.Fail(ERROR_CLASS_ALREADY_EXISTS);
            return 0;
        }
    }
    auto cls = std::make_unique<WindowClass>();
    cls->name = name;
    cls->upperName = upper;
    cls->atom = nextAtom_++;
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
    classes_.insert(classes_.begin(), std::move(cls));
    return atom;
}

HWND WindowTree::CreateWindowExW(DWORD exStyle, const char16_t* className,
                                 const char16_t* windowName, DWORD style, int x, int y, int width,
                                 int height, HWND parent, HMENU menu, HINSTANCE instance,
                                 void* param) {
    WindowClass* cls = nullptr;
    if (className == nullptr) {
        kernel_.Fail(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    const bool byAtom = IS_INTRESOURCE(className);
    const std::u16string upperName = byAtom ? std::u16string() : UpperCase(className);
    for (const auto& candidate : classes_) {
        if (byAtom ? candidate->atom == reinterpret_cast<std::uintptr_t>(className)
                   : candidate->upperName == upperName) {
            cls = candidate.get();
            break;
        }
    }
    if (cls == nullptr) {
        kernel_.Fail(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    const bool child = (style & WS_CHILD) != 0;
    HWND owner = nullptr;
    if (child) {
        if (Get(parent) == nullptr) {
            kernel_.Fail(parent == nullptr ? ERROR_TLW_WITH_WSCHILD : ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
    } else if (parent != nullptr) {
        if (Get(parent) == nullptr) {
            kernel_.Fail(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        owner = TopLevelOf(parent);
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
        RECT work = WorkArea();
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
    ComputeClient(*w, w->rect, w->client);
    windows_[ValueOf(handle)] = std::move(w);
    if (child) {
        Get(parent)->children.push_back(handle); // a new child goes below its siblings
    } else {
        topLevel_.insert(topLevel_.begin(), handle);
    }
    kernel_.Acquire(ValueOf(handle), HandleKind::Window, "CreateWindowExW", Utf16ToUtf8(cls->name));

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

    const bool limited = (style & WS_THICKFRAME) != 0 || (style & (WS_POPUP | WS_CHILD)) == 0;
    MINMAXINFO limits{};
    RECT client{};
    return Created(
        handle,
        [&](Window&) {
            if (limited) {
                limits = MinMaxInfo(handle);
            }
            return true;
        },
        [&](Window& created) {
            if (limited) {
                width = std::max(std::min(width, static_cast<int>(limits.ptMaxTrackSize.x)),
                                 static_cast<int>(limits.ptMinTrackSize.x));
                height = std::max(std::min(height, static_cast<int>(limits.ptMaxTrackSize.y)),
                                  static_cast<int>(limits.ptMinTrackSize.y));
                created.rect = RECT{x, y, x + width, y + height};
                created.normalRect = created.rect;
                ComputeClient(created, created.rect, created.client);
                cs.cx = width;
                cs.cy = height;
            }
            return messaging_.Send(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) != 0;
        },
        [&](Window& created) {
            client = created.rect;
            messaging_.Send(handle, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
            return true;
        },
        [&](Window& created) {
            created.client = client;
            return messaging_.Send(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) != -1;
        },
        [&](Window& created) {
            if (!created.needSize) {
                const RECT& c = created.client;
                messaging_.Send(handle, WM_SIZE, SIZE_RESTORED, PackPoint(Width(c), Height(c)));
            }
            return true;
        },
        [&](Window& created) {
            if (!created.needSize) {
                messaging_.Send(handle, WM_MOVE, 0,
                                PackPoint(created.client.left, created.client.top));
            }
            return true;
        },
        [&](Window&) {
            if (minMaxRequested != 0) {
                RECT placed{};
                UINT swp = MinMaximize(
                    handle, (minMaxRequested & WS_MINIMIZE) != 0 ? SW_MINIMIZE : SW_MAXIMIZE,
                    placed);
                swp |= SWP_FRAMECHANGED | SWP_NOZORDER;
                if ((requested & WS_VISIBLE) == 0 || child ||
                    activation_.GetActiveWindow() != nullptr) {
                    swp |= SWP_NOACTIVATE;
                }
                SetWindowPosImpl(handle, nullptr, placed.left, placed.top, Width(placed),
                                 Height(placed), swp);
            }
            return true;
        },
        [&](Window& created) {
            if (child && (exStyle & WS_EX_NOPARENTNOTIFY) == 0) {
                messaging_.Send(created.parent, WM_PARENTNOTIFY,
                                MAKELPARAM(WM_CREATE, static_cast<WORD>(created.id)),
                                reinterpret_cast<LPARAM>(handle));
            }
            return true;
        },
        [&](Window&) {
            if ((requested & WS_VISIBLE) != 0) {
                const bool minimized =
                    (minMaxRequested & WS_MINIMIZE) != 0 && (minMaxRequested & WS_MAXIMIZE) == 0;
                ShowWindow(handle, minimized ? SW_SHOWMINIMIZED : SW_SHOW);
            }
            return true;
        });
}

// Any message of a creation may destroy the window: before each step and after the last, a
// window that is gone makes the creation return null. A step that returns false is the window
// refusing to be created, and it is destroyed.
template <class... Steps> HWND WindowTree::Created(HWND handle, Steps&&... steps) {
    auto run = [this, handle](auto& step) {
        Window* created = Get(handle);
        if (created == nullptr) {
            return false;
        }
        if (!step(*created)) {
            if (Get(handle) != nullptr) {
                FreeWindow(handle);
            }
            return false;
        }
        return true;
    };
    if (!(run(steps) && ...)) {
        return nullptr;
    }
    return Get(handle) != nullptr ? handle : nullptr;
}

BOOL WindowTree::IsWindow(HWND window) {
    return Get(window) != nullptr ? TRUE : FALSE;
}

// ---- Destruction ------------------------------------------------------------------------------

BOOL WindowTree::DestroyWindow(HWND window) {
    Window* w = Get(window);
    if (w == nullptr) {
        kernel_.Release(ValueOf(window), HandleKind::Window, "DestroyWindow");
        kernel_.Fail(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (w->destroying) {
        return TRUE;
    }
    w->destroying = true;
    const bool child = IsChild(*w);
    if (child && (w->exStyle & WS_EX_NOPARENTNOTIFY) == 0) {
        messaging_.Send(w->parent, WM_PARENTNOTIFY,
                        MAKELPARAM(WM_DESTROY, static_cast<WORD>(w->id)),
                        reinterpret_cast<LPARAM>(window));
    }
    if (Window* shown = Get(window); shown != nullptr && (shown->style & WS_VISIBLE) != 0) {
        if (child) {
            ShowWindow(window, SW_HIDE);
        } else {
            SetWindowPosImpl(window, nullptr, 0, 0, 0, 0,
                             SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE |
                                 SWP_HIDEWINDOW);
        }
    }
    if (Get(window) == nullptr) {
        return TRUE;
    }
    if (!child) {
        // Owned windows go with their owner.
        std::vector<HWND> owned;
        for (HWND top : topLevel_) {
            if (const Window* o = Get(top); o != nullptr && o->owner == window) {
                owned.push_back(top);
            }
        }
        for (HWND o : owned) {
            if (Get(o) != nullptr) {
                DestroyWindow(o);
            }
        }
    }
    if (Get(window) == nullptr) {
        return TRUE;
    }
    SendDestroy(window);
    if (Get(window) != nullptr) {
        FreeWindow(window);
    }
    return TRUE;
}

// WM_DESTROY goes to a window before its children.
void WindowTree::SendDestroy(HWND window) {
    if (window == activation_.GetActiveWindow()) {
        activation_.ActivateOther(window);
    }
    messaging_.Send(window, WM_DESTROY, 0, 0);
    Window* w = Get(window);
    if (w == nullptr) {
        return;
    }
    std::vector<HWND> children = w->children;
    for (HWND child : children) {
        if (Get(child) != nullptr) {
            SendDestroy(child);
        }
    }
}

// WM_NCDESTROY goes to the children first; then the window is gone.
void WindowTree::FreeWindow(HWND window) {
    Window* w = Get(window);
    if (w == nullptr) {
        return;
    }
    w->destroying = true;
    std::vector<HWND> children = w->children;
    for (HWND child : children) {
        if (Get(child) != nullptr) {
            FreeWindow(child);
        }
    }
    messaging_.Send(window, WM_NCDESTROY, 0, 0);
    w = Get(window);
    if (w == nullptr) {
        return;
    }
    if (IsChild(*w)) {
        if (Window* parent = Get(w->parent); parent != nullptr) {
            auto& siblings = parent->children;
            siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
        }
    } else {
        topLevel_.erase(std::remove(topLevel_.begin(), topLevel_.end(), window), topLevel_.end());
    }
    activation_.WindowGone(window);
    gdi_.WindowGone(window);
    messaging_.WindowGone(window);
    kernel_.Release(ValueOf(window), HandleKind::Window, "DestroyWindow");
    windows_.erase(ValueOf(window));
}

WindowSnapshot WindowTree::Snapshot(HWND window) const {
    WindowSnapshot snap;
    const Window* w = Get(window);
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
