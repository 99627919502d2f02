// The driver's output: one line per check on the standard output, and the failure that ends a
// scenario.
#pragma once

#include <string>
#include <string_view>

namespace e2e {

std::string Utf8(std::wstring_view text);
std::wstring Wide(std::string_view utf8);

// Raw UTF-8 bytes to the standard output, whatever the console code page.
void Say(const std::wstring& line);

std::wstring Quote(const std::wstring& text);
std::wstring Num(long long value);

struct Failure {
    std::wstring reason;
};

[[noreturn]] void Fail(const std::wstring& reason);

// Says "ok: WHAT", or fails with WHAT and OTHERWISE.
void Check(bool ok, const std::wstring& what, const std::wstring& otherwise = {});

} // namespace e2e
