// Small helpers every area of the simulated desktop shares. Not for tests.
#pragma once

#include "platform/Api.h"
#include "platform/Utf.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace platform::sim {

// Not published values: the window manager's own marks on the moves it makes (Wine's names).
// SWP_STATECHANGED marks minimise, maximise and restore; the other two say that the client area
// kept its size or its place.
constexpr UINT SWP_NOCLIENTSIZE = 0x0800;
constexpr UINT SWP_NOCLIENTMOVE = 0x1000;
constexpr UINT SWP_STATECHANGED = 0x8000;

// Handle values are never reused, by any desktop of the process, so a stale handle is always
// recognised as such.
std::uintptr_t NewHandleValue();

template <class H> H AsHandle(std::uintptr_t value) {
    return reinterpret_cast<H>(value);
}
template <class H> std::uintptr_t ValueOf(H handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

std::u16string UpperCase(std::u16string_view text); // ASCII and Latin-1 letters
std::u16string FromNullable(const char16_t* text);

inline int Width(const RECT& r) {
    return r.right - r.left;
}
inline int Height(const RECT& r) {
    return r.bottom - r.top;
}
inline void Offset(RECT& r, int dx, int dy) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
}
// The screen edge a taskbar stands at (ABE_LEFT, ABE_TOP, ABE_RIGHT, ABE_BOTTOM): a wide bar
// at the top or the bottom, a tall one at the left or the right.
enum class ScreenEdge : UINT { Left = 0, Top = 1, Right = 2, Bottom = 3 };
inline ScreenEdge TaskbarEdge(const RECT& bar) {
    if (Width(bar) > Height(bar)) {
        return bar.top > 0 ? ScreenEdge::Bottom : ScreenEdge::Top;
    }
    return bar.left > 0 ? ScreenEdge::Right : ScreenEdge::Left;
}
// One level deeper for the guard's lifetime, also when what runs inside throws.
struct DepthGuard {
    explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
    int& depth_;
};

// Two coordinates in an LPARAM, 16 bits each, as WM_SIZE and WM_MOVE carry them.
inline LPARAM PackPoint(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(x & 0xFFFF), static_cast<WORD>(y & 0xFFFF));
}

} // namespace platform::sim
