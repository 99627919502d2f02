// What the driver and e2e-fonts.dll agree on for reading the launcher's fonts: the registered
// message the driver sends, and the WM_COPYDATA the hook answers with.
#pragma once

#include <windows.h>

#include <cstdint>

namespace font_probe {

constexpr const wchar_t* kMessageName = L"SetupE2E.FontProbe";
constexpr ULONG_PTR kReply = 0x46505242; // "FPRB"

// One child window of the probed window, in z-order; the same layout in both builds.
struct Entry {
    std::uint64_t window;
    std::int32_t lfHeight; // of the font WM_GETFONT gives
    std::int32_t hasFont;  // 0: WM_GETFONT gives none
};

} // namespace font_probe
