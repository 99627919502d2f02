// Painting state: which windows need WM_PAINT, UpdateWindow and LockWindowUpdate.
#include "platform/sim/SimGdi.h"

#include "platform/sim/SimKernel.h"
#include "platform/sim/SimMessaging.h"
#include "platform/sim/SimWindowTree.h"

#include <functional>

namespace platform::sim {

// ---- Painting state -----------------------------------------------------------------------------

void Gdi::Invalidate(HWND window, bool erase, bool children) {
    const Window* w = windows_.Find(window);
    if (w == nullptr || !windows_.IsReallyVisible(window)) {
        return;
    }
    bool& needsErase = invalid_[ValueOf(window)];
    needsErase = needsErase || erase;
    if (locked_ != nullptr && windows_.IsDescendant(locked_, window)) {
        lockedInvalidated_ = true;
    }
    if (children) {
        std::vector<HWND> list = w->children;
        for (HWND child : list) {
            Invalidate(child, erase, true);
        }
    }
}

HWND Gdi::NextPaintWindow() const {
    if (invalid_.empty()) {
        return nullptr; // the message loop asks whenever its queue is empty
    }
    std::function<HWND(HWND)> search = [&](HWND h) -> HWND {
        const Window* w = windows_.Find(h);
        if (w == nullptr || (w->style & WS_VISIBLE) == 0 || (locked_ != nullptr && h == locked_)) {
            return nullptr;
        }
        if (NeedsPaint(h)) {
            return h;
        }
        for (HWND child : w->children) {
            if (HWND found = search(child)) {
                return found;
            }
        }
        return nullptr;
    };
    for (HWND top : windows_.TopLevel()) {
        if (HWND found = search(top)) {
            return found;
        }
    }
    return nullptr;
}

void Gdi::Paint(HWND window) {
    const Window* w = windows_.Find(window);
    if (w == nullptr || !windows_.IsReallyVisible(window) ||
        (locked_ != nullptr && windows_.IsDescendant(locked_, window))) {
        return;
    }
    if (NeedsPaint(window)) {
        messaging_.Send(window, WM_PAINT, 0, 0);
        w = windows_.Find(window);
        if (w == nullptr) {
            return;
        }
        // A window that did not validate itself is not asked again (Windows would ask forever).
        Validate(window);
    }
    std::vector<HWND> children = w->children;
    for (HWND child : children) {
        Paint(child);
    }
}

void Gdi::Validate(HWND window) {
    invalid_.erase(ValueOf(window));
}

void Gdi::ValidateAll() {
    invalid_.clear();
}

void Gdi::WindowGone(HWND window) {
    Validate(window);
    if (locked_ == window) {
        locked_ = nullptr;
    }
}

BOOL Gdi::LockWindowUpdate(HWND window) {
    BOOL result = TRUE;
    if (window == nullptr) {
        HWND unlocked = locked_;
        locked_ = nullptr;
        if (unlocked != nullptr && lockedInvalidated_) {
            Invalidate(unlocked, true, true); // what was drawn meanwhile is shown now
        }
        lockedInvalidated_ = false;
    } else if (windows_.Find(window) == nullptr) {
        kernel_.Fail(ERROR_INVALID_WINDOW_HANDLE);
        result = FALSE;
    } else if (locked_ != nullptr) {
        result = FALSE; // one window at a time
    } else {
        locked_ = window;
        lockedInvalidated_ = false;
    }
    lockCalls_.push_back(LockWindowUpdateCall{window, result});
    return result;
}

BOOL Gdi::InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    (void)rect; // the whole client area is invalidated
    if (window == nullptr) {
        std::vector<HWND> tops = windows_.TopLevel();
        for (HWND top : tops) {
            Invalidate(top, erase != FALSE, true);
        }
        return TRUE;
    }
    if (windows_.FindOrFail(window) == nullptr) {
        return FALSE;
    }
    Invalidate(window, erase != FALSE, false);
    return TRUE;
}

BOOL Gdi::RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags) {
    (void)rect; // the whole client area, as for InvalidateRect
    (void)region;
    if (window == nullptr) {
        // The desktop: every top-level window.
        for (HWND top : windows_.TopLevel()) {
            RedrawWindow(top, nullptr, nullptr, flags | RDW_ALLCHILDREN);
        }
        return TRUE;
    }
    const Window* w = windows_.FindOrFail(window);
    if (w == nullptr) {
        return FALSE;
    }
    // Neither children flag: the children too, unless the window clips them.
    const bool children = (flags & RDW_ALLCHILDREN) != 0 ||
                          ((flags & RDW_NOCHILDREN) == 0 && (w->style & WS_CLIPCHILDREN) == 0);
    if ((flags & RDW_INVALIDATE) != 0) {
        Invalidate(window, (flags & RDW_ERASE) != 0, children);
    } else if ((flags & RDW_VALIDATE) != 0) {
        std::function<void(HWND)> validate = [&](HWND h) {
            Validate(h);
            if (const Window* v = windows_.Find(h); v != nullptr && children) {
                for (HWND child : v->children) {
                    validate(child);
                }
            }
        };
        validate(window);
    }
    if ((flags & RDW_UPDATENOW) != 0) {
        Paint(window);
    }
    return TRUE;
}

BOOL Gdi::UpdateWindow(HWND window) {
    if (windows_.FindOrFail(window) == nullptr) {
        return FALSE;
    }
    Paint(window);
    return TRUE;
}

} // namespace platform::sim
