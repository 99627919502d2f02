// Private to platform/win32: the Windows headers, and the casts between the portable mirrors
// and the Windows types. Every mirror has the Windows layout (Records.cpp checks it), so a
// pointer to one is handed to Windows as it is.
//
// Include this after platform/Types.h: the Windows headers define many of that file's names
// as macros, so after this point the portable constants are reachable only by value.
#pragma once

#include "platform/Types.h"

#include <windows.h>

#include <shellapi.h>

// On 32-bit the headers turn these into SetWindowLongW/GetWindowLongW, which would also rename
// the seam's methods; the implementation calls the right one itself.
#undef SetWindowLongPtrW
#undef GetWindowLongPtrW

namespace platform::win32::detail {

// ToWin(p) gives the Windows view of a portable pointer, FromWin(p) the reverse.
#define PLATFORM_WIN32_MIRROR(Mine, Theirs)                                                        \
    inline Theirs* ToWin(Mine* p) {                                                                \
        return reinterpret_cast<Theirs*>(p);                                                       \
    }                                                                                              \
    inline const Theirs* ToWin(const Mine* p) {                                                    \
        return reinterpret_cast<const Theirs*>(p);                                                 \
    }                                                                                              \
    inline Mine* FromWin(Theirs* p) {                                                              \
        return reinterpret_cast<Mine*>(p);                                                         \
    }

// Handles.
PLATFORM_WIN32_MIRROR(platform::HWND__, ::HWND__)
PLATFORM_WIN32_MIRROR(platform::HINSTANCE__, ::HINSTANCE__)
PLATFORM_WIN32_MIRROR(platform::HHOOK__, ::HHOOK__)
PLATFORM_WIN32_MIRROR(platform::HDC__, ::HDC__)
PLATFORM_WIN32_MIRROR(platform::HFONT__, ::HFONT__)
PLATFORM_WIN32_MIRROR(platform::HBRUSH__, ::HBRUSH__)
PLATFORM_WIN32_MIRROR(platform::HBITMAP__, ::HBITMAP__)
PLATFORM_WIN32_MIRROR(platform::HICON__, ::HICON__)
PLATFORM_WIN32_MIRROR(platform::HMENU__, ::HMENU__)
PLATFORM_WIN32_MIRROR(platform::HRSRC__, ::HRSRC__)
PLATFORM_WIN32_MIRROR(platform::HRGN__, ::HRGN__)

// Text and out-parameters whose Windows type is a different integer of the same width.
PLATFORM_WIN32_MIRROR(char16_t, wchar_t)
PLATFORM_WIN32_MIRROR(platform::DWORD, ::DWORD)

// Records.
PLATFORM_WIN32_MIRROR(platform::POINT, ::POINT)
PLATFORM_WIN32_MIRROR(platform::RECT, ::RECT)
PLATFORM_WIN32_MIRROR(platform::MSG, ::MSG)
PLATFORM_WIN32_MIRROR(platform::SYSTEM_INFO, ::SYSTEM_INFO)
PLATFORM_WIN32_MIRROR(platform::STARTUPINFOW, ::STARTUPINFOW)
PLATFORM_WIN32_MIRROR(platform::PROCESS_INFORMATION, ::PROCESS_INFORMATION)
PLATFORM_WIN32_MIRROR(platform::APPBARDATA, ::APPBARDATA)
PLATFORM_WIN32_MIRROR(platform::WNDCLASSEXW, ::WNDCLASSEXW)
PLATFORM_WIN32_MIRROR(platform::PAINTSTRUCT, ::PAINTSTRUCT)
PLATFORM_WIN32_MIRROR(platform::LOGFONTW, ::LOGFONTW)
PLATFORM_WIN32_MIRROR(platform::BITMAPINFO, ::BITMAPINFO)

#undef PLATFORM_WIN32_MIRROR

// Procedures: same arguments and calling convention, different spellings of the types.
inline ::WNDPROC ToWin(platform::WNDPROC p) {
    return reinterpret_cast<::WNDPROC>(p);
}
inline ::HOOKPROC ToWin(platform::HOOKPROC p) {
    return reinterpret_cast<::HOOKPROC>(p);
}

} // namespace platform::win32::detail
