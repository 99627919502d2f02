// The lexis the reader and the writer of stored descriptions share: what a name is, and how
// bytes and names are shown in messages.
#pragma once

#include <string>
#include <string_view>

namespace toolkit::stored::lexis {

inline constexpr std::string_view kObjectKeyword = "object";
inline constexpr std::string_view kResourceKeyword = "resource";

inline bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

inline bool IsNameChar(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

inline int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

inline bool IsKeyword(std::string_view s) {
    return s == kObjectKeyword || s == kResourceKeyword;
}

// What the reader accepts as a name: letters, digits and underscores, not starting with a
// digit, in dot-separated parts when `dotted`; never a keyword.
inline bool IsValidName(std::string_view s, bool dotted) {
    if (IsKeyword(s))
        return false;
    bool partStart = true;
    for (char c : s) {
        if (partStart) {
            if (!IsNameStart(c))
                return false;
            partStart = false;
        } else if (c == '.' && dotted) {
            partStart = true;
        } else if (!IsNameChar(c)) {
            return false;
        }
    }
    return !partStart;
}

inline std::string HexByte(unsigned char c) {
    constexpr char kHex[] = "0123456789ABCDEF";
    return std::string("0x") + kHex[c >> 4] + kHex[c & 0xF];
}

// Names in messages are cut short: a hostile text may hold a name of a megabyte.
inline std::string Quoted(std::string_view s) {
    constexpr std::size_t kShown = 40;
    // Appended, not concatenated: GCC 12 misreads "'" + string at -O3.
    std::string quoted(1, '\'');
    quoted.append(s.substr(0, kShown));
    if (s.size() > kShown)
        quoted += "...";
    quoted += '\'';
    return quoted;
}

} // namespace toolkit::stored::lexis
