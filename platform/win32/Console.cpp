#include "platform/win32/Console.h"

#include "platform/Utf.h"
#include "platform/win32/WindowsHeaders.h"

#include <string>

namespace platform::win32 {

void WriteStd(StdStream stream, std::u16string_view text) {
    ::HANDLE handle =
        ::GetStdHandle(stream == StdStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return;
    }
    ::DWORD mode = 0;
    ::DWORD written = 0;
    if (::GetConsoleMode(handle, &mode)) {
        // A console shows any character this way, whatever its code page.
        ::WriteConsoleW(handle, text.data(), static_cast<::DWORD>(text.size()), &written, nullptr);
        return;
    }
    const std::string bytes = Utf16ToUtf8(text);
    ::WriteFile(handle, bytes.data(), static_cast<::DWORD>(bytes.size()), &written, nullptr);
}

} // namespace platform::win32
