// A call-window hook that the driver sets on the launcher's main thread, so that the system
// loads this library into the launcher. A font handle is private to its process: only from
// inside can a control's font be looked at. When a window of that thread is sent the
// registered message "SetupE2E.FontProbe" with the driver's reply window in wParam, the hook
// answers with WM_COPYDATA holding one entry per child window of that window (FontProbe.h).

#include "FontProbe.h"

#include <vector>

namespace {

using FontProbeEntry = font_probe::Entry;

void Answer(HWND form, HWND reply) {
    std::vector<FontProbeEntry> entries;
    for (HWND child = GetWindow(form, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        FontProbeEntry entry{static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(child)),
                             0, 0};
        const auto font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
        LOGFONTW logFont{};
        if (font != nullptr && GetObjectW(font, sizeof logFont, &logFont) != 0) {
            entry.lfHeight = logFont.lfHeight;
            entry.hasFont = 1;
        }
        entries.push_back(entry);
    }
    COPYDATASTRUCT data{};
    data.dwData = font_probe::kReply;
    data.cbData = static_cast<DWORD>(entries.size() * sizeof(FontProbeEntry));
    data.lpData = entries.data();
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(reply, WM_COPYDATA, reinterpret_cast<WPARAM>(form),
                        reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000, &ignored);
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    FontProbeCallWnd(int code, WPARAM wparam, LPARAM lparam) {
    static const UINT probe = RegisterWindowMessageW(font_probe::kMessageName);
    if (code == HC_ACTION) {
        const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lparam);
        if (probe != 0 && msg->message == probe && msg->wParam != 0)
            Answer(msg->hwnd, reinterpret_cast<HWND>(msg->wParam));
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
