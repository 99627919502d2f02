// What each message carries, decoded from wParam and lParam in one place (as windowsx.h and
// WTL's atlcrack.h do). Pointers point into the sender's memory and are valid while the message
// is being handled; a null lParam gives a null pointer, never a dereference.
#pragma once

#include "platform/Types.h"

#include <cstdint>

namespace platform::crack {

// WM_SIZE: the size type (SIZE_RESTORED, ...) and the new client size.
struct Size {
    WPARAM type;
    int clientWidth;
    int clientHeight;
};
constexpr Size OnSize(WPARAM wParam, LPARAM lParam) {
    return {wParam, LOWORD(static_cast<std::uintptr_t>(lParam)),
            HIWORD(static_cast<std::uintptr_t>(lParam))};
}

// WM_MOVE: the client area's new origin; the words are signed (a window may stand left of or
// above its parent's origin).
constexpr POINT OnMove(LPARAM lParam) {
    return {static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam))),
            static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(lParam)))};
}

// WM_COMMAND: the control's identifier and notification code, and the control.
struct Command {
    int id;
    UINT code;
    HWND control;
};
inline Command OnCommand(WPARAM wParam, LPARAM lParam) {
    return {LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)};
}

// WM_ACTIVATE: WA_INACTIVE, WA_ACTIVE or WA_CLICKACTIVE.
constexpr WPARAM OnActivateState(WPARAM wParam) {
    return LOWORD(wParam);
}

// WM_ERASEBKGND, WM_CTLCOLOR*: the device context to draw into.
inline HDC DeviceContextOf(WPARAM wParam) {
    return reinterpret_cast<HDC>(wParam);
}

// WM_CTLCOLOR*: the control about to be drawn.
inline HWND ControlOf(LPARAM lParam) {
    return reinterpret_cast<HWND>(lParam);
}

// WM_SYSKEYDOWN and the other key messages: whether Alt was held.
constexpr bool AltDown(LPARAM lParam) {
    return (HIWORD(static_cast<std::uintptr_t>(lParam)) & KF_ALTDOWN) != 0;
}

// DM_GETDEFID's answer: the default button's identifier, or nothing.
constexpr bool HasDefaultId(LRESULT answer) {
    return HIWORD(static_cast<std::uintptr_t>(answer)) == DC_HASDEFID;
}
constexpr int DefaultId(LRESULT answer) {
    return LOWORD(static_cast<std::uintptr_t>(answer));
}

// The records some messages point to.
inline const CREATESTRUCTW* OnCreate(LPARAM lParam) { // WM_CREATE, WM_NCCREATE
    return reinterpret_cast<const CREATESTRUCTW*>(lParam);
}
inline MINMAXINFO* OnGetMinMaxInfo(LPARAM lParam) {
    return reinterpret_cast<MINMAXINFO*>(lParam);
}
inline RECT* OnSizing(LPARAM lParam) { // the edge dragged is wParam (WMSZ_*)
    return reinterpret_cast<RECT*>(lParam);
}
inline WINDOWPOS* OnWindowPos(LPARAM lParam) { // WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED
    return reinterpret_cast<WINDOWPOS*>(lParam);
}
inline const DRAWITEMSTRUCT* OnDrawItem(LPARAM lParam) {
    return reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
}
inline const char16_t* OnSetText(LPARAM lParam) {
    return reinterpret_cast<const char16_t*>(lParam);
}
// WM_NCCALCSIZE: the rectangle to turn from window into client coordinates, the first of the
// record's three when wParam is TRUE.
inline RECT* OnNcCalcSize(WPARAM wParam, LPARAM lParam) {
    if (lParam == 0) {
        return nullptr;
    }
    return wParam != 0 ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                       : reinterpret_cast<RECT*>(lParam);
}

} // namespace platform::crack
