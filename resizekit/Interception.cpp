// The message interception's two routes. Until the dispatch exists they only find their
// component and pass the message on unchanged.
#include "resizekit/ResizeKit.h"

#include "platform/Api.h"

TResizeKit* FindKitForWindow(platform::HWND window) {
    for (toolkit::PublishedField* entry : resizekit::ResizeKitList) {
        auto* kit = entry != nullptr ? dynamic_cast<TResizeKit*>(entry->Get()) : nullptr;
        if (kit != nullptr && kit->OwnerHandle() == window) {
            return kit;
        }
    }
    return nullptr;
}

platform::LRESULT PLATFORM_CALLBACK ResizeKitWndProc(platform::HWND window, platform::UINT message,
                                                     platform::WPARAM wParam,
                                                     platform::LPARAM lParam) noexcept {
    auto& os = platform::Os();
    TResizeKit* kit = FindKitForWindow(window);
    if (kit == nullptr || kit->lpPrevWndProc == nullptr) {
        return os.DefWindowProcW(window, message, wParam, lParam);
    }
    return os.CallWindowProcW(kit->lpPrevWndProc, window, message, wParam, lParam);
}

platform::LRESULT PLATFORM_CALLBACK ResizeKitHookProc(int code, platform::WPARAM wParam,
                                                      platform::LPARAM lParam) noexcept {
    if (code < 0) {
        return platform::Os().CallNextHookEx(resizekit::CallWndHook, code, wParam, lParam);
    }
    if (code > 0) {
        return 0;
    }
    const auto* message = reinterpret_cast<const platform::CWPSTRUCT*>(lParam);
    if (message == nullptr || message->hwnd == nullptr) {
        return 0;
    }
    TResizeKit* kit = FindKitForWindow(message->hwnd);
    if (kit == nullptr || !kit->FEnabled) {
        return 0;
    }
    return 0;
}
