#include "Output.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace e2e {

std::string Utf8(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                            size, nullptr, nullptr);
    return out;
}

std::wstring Wide(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(size > 0 ? size : 0, L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(),
                            size);
    return out;
}

void Say(const std::wstring& line) {
    std::string bytes = Utf8(line);
    bytes += '\n';
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

std::wstring Quote(const std::wstring& text) {
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        if (c == L'\n') {
            out += L"\\n";
        } else if (c < 0x20) {
            wchar_t buf[8];
            std::swprintf(buf, 8, L"\\x%02x", static_cast<unsigned>(c));
            out += buf;
        } else {
            out += c;
        }
    }
    return out + L"\"";
}

std::wstring Num(long long value) {
    return std::to_wstring(value);
}

[[noreturn]] void Fail(const std::wstring& reason) {
    throw Failure{reason};
}

void Check(bool ok, const std::wstring& what, const std::wstring& otherwise) {
    if (!ok)
        Fail(otherwise.empty() ? what : what + L" (" + otherwise + L")");
    Say(L"ok: " + what);
}

} // namespace e2e
