// Text rules of the toolkit. Stored descriptions carry UTF-8, the display UTF-16: the
// conversion is platform::Utf8ToUtf16 and platform::Utf16ToUtf8 (platform/Utf.h).
#pragma once

#include "platform/Utf.h"

#include <string_view>

namespace toolkit {

// ASCII-only case-insensitive comparison, as component and property names are compared.
bool SameText(std::u16string_view a, std::u16string_view b);

} // namespace toolkit
