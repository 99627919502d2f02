// Text for a console program's standard output and error: UTF-16 straight to a console window,
// UTF-8 bytes (no line-end translation) into a file or a pipe.
#pragma once

#include <string_view>

namespace platform::win32 {

enum class StdStream { Output, Error };

void WriteStd(StdStream stream, std::u16string_view text);

} // namespace platform::win32
