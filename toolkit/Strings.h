// Text conversions the toolkit needs: stored descriptions carry UTF-8, the display UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace toolkit {

// Malformed input never throws: an invalid UTF-8 sequence becomes U+FFFD, and so does an
// unpaired surrogate on the way back.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// ASCII-only case-insensitive comparison, as component and property names are compared.
bool SameText(std::u16string_view a, std::u16string_view b);

} // namespace toolkit
