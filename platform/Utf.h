// UTF-8 and UTF-16, converted by rule rather than through the seam: stored descriptions,
// exception texts and the simulated desktop's host paths are UTF-8 whatever the machine's
// code page.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Length of the well-formed UTF-8 sequence at the start of `text` (no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view text);

// `c` must be a scalar value (not a surrogate, at most U+10FFFF).
void AppendUtf8(std::string& out, char32_t c);

// Malformed input never throws: each byte that starts no well-formed sequence becomes U+FFFD,
// and so does an unpaired surrogate on the way back.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

} // namespace platform
