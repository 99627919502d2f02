#include "platform/Utf.h"

namespace platform {

namespace {
constexpr char32_t kReplacement = 0xFFFD;
} // namespace

std::size_t Utf8SequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const auto inRange = [&](std::size_t i, unsigned lo, unsigned hi) {
        return i < text.size() && byte(i) >= lo && byte(i) <= hi;
    };
    if (text.empty()) {
        return 0;
    }
    const unsigned b0 = byte(0);
    if (b0 < 0x80) {
        return 1;
    }
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        return inRange(1, 0x80, 0xBF) ? 2 : 0;
    }
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        const unsigned lo = b0 == 0xE0 ? 0xA0 : 0x80;
        const unsigned hi = b0 == 0xED ? 0x9F : 0xBF;
        return inRange(1, lo, hi) && inRange(2, 0x80, 0xBF) ? 3 : 0;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        const unsigned lo = b0 == 0xF0 ? 0x90 : 0x80;
        const unsigned hi = b0 == 0xF4 ? 0x8F : 0xBF;
        return inRange(1, lo, hi) && inRange(2, 0x80, 0xBF) && inRange(3, 0x80, 0xBF) ? 4 : 0;
    }
    return 0;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = Utf8SequenceLength(text.substr(i));
        if (length == 0) {
            out += static_cast<char16_t>(kReplacement);
            ++i;
            continue;
        }
        const auto byte = [&](std::size_t k) {
            return static_cast<char32_t>(static_cast<unsigned char>(text[i + k]));
        };
        char32_t c = length == 1 ? byte(0) : byte(0) & (0x7Fu >> length);
        for (std::size_t k = 1; k < length; ++k) {
            c = (c << 6) | (byte(k) & 0x3F);
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += length;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}

} // namespace platform
