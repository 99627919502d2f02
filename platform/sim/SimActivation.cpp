// Activation and focus: which window is active, which has the focus, and the messages that
// tell windows of each change.
#include "platform/sim/SimActivation.h"

#include "platform/sim/SimKernel.h"
#include "platform/sim/SimMessaging.h"
#include "platform/sim/SimWindowTree.h"

namespace platform::sim {

void Activation::Activate(HWND window) {
    if (window == active_) {
        return;
    }
    HWND previous = active_;
    if (previous != nullptr && windows_.Find(previous) != nullptr) {
        messaging_.Send(previous, WM_NCACTIVATE, FALSE, 0);
        if (windows_.Find(previous) != nullptr) {
            messaging_.Send(
                previous, WM_ACTIVATE,
                MAKELPARAM(static_cast<WORD>(WA_INACTIVE), windows_.IsIconic(previous) ? 1 : 0),
                reinterpret_cast<LPARAM>(window));
        }
    }
    active_ = window;
    if (window != nullptr && windows_.Find(window) == nullptr) {
        active_ = nullptr;
        return;
    }
    // The program gains or loses the activation as a whole.
    if ((previous == nullptr) != (window == nullptr)) {
        std::vector<HWND> tops = windows_.TopLevel();
        for (HWND top : tops) {
            if (windows_.Find(top) != nullptr) {
                messaging_.Send(top, WM_ACTIVATEAPP, window != nullptr ? TRUE : FALSE, 0);
            }
        }
    }
    if (window == nullptr) {
        if (focus_ != nullptr) {
            SetFocus(nullptr);
        }
        return;
    }
    if (active_ != window) {
        return;
    }
    windows_.ZOrderInsert(window, HWND_TOP);
    messaging_.Send(window, WM_NCACTIVATE, TRUE, 0);
    if (windows_.Find(window) != nullptr && active_ == window) {
        messaging_.Send(window, WM_ACTIVATE,
                        MAKELPARAM(static_cast<WORD>(WA_ACTIVE), windows_.IsIconic(window) ? 1 : 0),
                        reinterpret_cast<LPARAM>(previous));
    }
    // Keep the focus inside the active window.
    if (active_ == window && windows_.Find(window) != nullptr &&
        (focus_ == nullptr || windows_.TopLevelOf(focus_) != window)) {
        SetFocus(windows_.IsIconic(window) ? nullptr : window);
    }
}

void Activation::ActivateOther(HWND leaving) {
    const Window* w = windows_.Find(leaving);
    auto candidate = [this, leaving](HWND h) {
        const Window* c = windows_.Find(h);
        return c != nullptr && h != leaving && !c->destroying && (c->style & WS_VISIBLE) != 0 &&
               (c->style & (WS_DISABLED | WS_MINIMIZE)) == 0;
    };
    if (w != nullptr && w->owner != nullptr && candidate(w->owner)) {
        Activate(w->owner);
        return;
    }
    for (HWND top : windows_.TopLevel()) {
        if (candidate(top)) {
            Activate(top);
            return;
        }
    }
    Activate(nullptr); // another program's window, as far as this one can tell
}

HWND Activation::SetFocus(HWND window) {
    if (window != nullptr) {
        const Window* w = windows_.FindOrFail(window);
        if (w == nullptr) {
            return nullptr;
        }
        if (window == focus_) {
            return focus_;
        }
        for (const Window* h = w; h != nullptr; h = windows_.ParentOf(*h)) {
            if ((h->style & (WS_MINIMIZE | WS_DISABLED)) != 0) {
                return nullptr;
            }
        }
        HWND top = windows_.TopLevelOf(window);
        if (top != active_) {
            Activate(top);
            if (windows_.Find(window) == nullptr || active_ != top) {
                return nullptr;
            }
        }
    }
    HWND previous = focus_;
    if (previous == window) {
        return previous;
    }
    focus_ = window;
    if (previous != nullptr && windows_.Find(previous) != nullptr) {
        messaging_.Send(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    }
    if (window != nullptr && focus_ == window && windows_.Find(window) != nullptr) {
        messaging_.Send(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    }
    return previous;
}

// A window that goes takes the activation and the focus with it, without messages.
void Activation::WindowGone(HWND window) {
    if (focus_ == window) {
        focus_ = nullptr;
    }
    if (active_ == window) {
        active_ = nullptr;
    }
}

BOOL Activation::SetForegroundWindow(HWND window) {
    foregroundRequests_.push_back(window);
    if (windows_.Find(window) == nullptr) {
        kernel_.Fail(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    Activate(windows_.TopLevelOf(window));
    return TRUE;
}

} // namespace platform::sim
