// The message interception: both routes find the instance that serves the window, apply the
// Enabled gate and hand the message to one dispatch. The dispatch is re-entered when its own
// moves of the window bring further messages; nothing guards against that, by design.
#include "resizekit/ResizeKit.h"

#include "platform/Api.h"
#include "toolkit/Application.h"

#include <exception>

using platform::HWND;
using platform::LPARAM;
using platform::LRESULT;
using platform::Os;
using platform::UINT;
using platform::WPARAM;

namespace {

// Nothing thrown crosses a window or hook procedure: it goes to the application's display,
// as the toolkit's own procedures do, and the message carries on.
void ReportFailure() noexcept {
    try {
        toolkit::Application().HandleException(std::current_exception());
    } catch (...) {
        // The display never throws, but making the application object can; then there is
        // nowhere left to report it.
    }
}

} // namespace

TResizeKit* FindKitForWindow(HWND window) {
    // Walked afresh for every message: nothing is cached between messages.
    for (toolkit::PublishedField* entry : resizekit::ResizeKitList) {
        if (entry == nullptr) {
            continue;
        }
        auto* kit = dynamic_cast<TResizeKit*>(entry->Get());
        if (kit != nullptr && kit->OwnerHandle() == window) {
            return kit;
        }
    }
    return nullptr;
}

void HandleOwnerMessage(TResizeKit& kit, HWND window, UINT message, WPARAM wParam,
                        LPARAM lParam) {
    auto notMinimised = [window] { return Os().IsIconic(window) == platform::FALSE; };
    switch (message) {
    case platform::WM_NCPAINT:
        if (resizekit::OsMinorVersion == 10 && kit.IsResized() && notMinimised()) {
            kit.RefitOnScreenChange();
        }
        break;
    case platform::WM_SHOWWINDOW:
        if (platform::LOBYTE(wParam) == 1 && !kit.IsResized() && notMinimised()) {
            kit.PlaceOnFirstShow();
        }
        break;
    case platform::WM_GETMINMAXINFO:
        if (lParam != 0 && notMinimised()) {
            kit.FillMinMaxInfo(*reinterpret_cast<platform::MINMAXINFO*>(lParam));
        }
        break;
    case platform::WM_SIZING:
        if (lParam != 0) {
            kit.ClampSizingRect(*reinterpret_cast<platform::RECT*>(lParam));
        }
        break;
    case platform::WM_SIZE:
        if (wParam != platform::SIZE_MINIMIZED) {
            kit.RescaleControls(platform::LOWORD(static_cast<std::uintptr_t>(lParam)),
                                platform::HIWORD(static_cast<std::uintptr_t>(lParam)));
        }
        break;
    default:
        break;
    }
}

LRESULT PLATFORM_CALLBACK ResizeKitHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        if (code < 0) {
            return Os().CallNextHookEx(resizekit::CallWndHook, code, wParam, lParam);
        }
        if (code > 0 || lParam == 0) {
            return 0;
        }
        const auto& cwp = *reinterpret_cast<const platform::CWPSTRUCT*>(lParam);
        if (cwp.hwnd == nullptr) {
            return 0;
        }
        TResizeKit* kit = FindKitForWindow(cwp.hwnd);
        if (kit == nullptr || !kit->Enabled()) {
            return 0;
        }
        // Earlier hooks of the thread do not see the message: CallNextHookEx is not called.
        HandleOwnerMessage(*kit, cwp.hwnd, cwp.message, cwp.wParam, cwp.lParam);
    } catch (...) {
        ReportFailure();
    }
    return 0;
}

LRESULT PLATFORM_CALLBACK ResizeKitWndProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) noexcept {
    platform::WNDPROC previous = nullptr;
    try {
        TResizeKit* kit = FindKitForWindow(window);
        if (kit == nullptr) {
            return 0; // the previous procedure is known only through the instance
        }
        // Taken before the dispatch: a handler that disables the instance meanwhile puts the
        // procedure back, and this message must still reach it.
        previous = kit->PrevWndProc();
        if (kit->Enabled()) {
            HandleOwnerMessage(*kit, window, message, wParam, lParam);
        }
    } catch (...) {
        ReportFailure();
    }
    if (previous == nullptr) {
        return 0;
    }
    try {
        return Os().CallWindowProcW(previous, window, message, wParam, lParam);
    } catch (...) {
        ReportFailure();
        return 0;
    }
}
