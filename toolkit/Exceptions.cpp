#include "toolkit/Exceptions.h"

#include "toolkit/Strings.h"

#include <string>

namespace toolkit {

Exception::Exception(std::u16string message)
    : message_(std::move(message)), utf8_(platform::Utf16ToUtf8(message_)) {}

void Exception::SetMessage(std::u16string message) {
    message_ = std::move(message);
    utf8_ = platform::Utf16ToUtf8(message_);
}

void Abort() {
    throw EAbort(u"Operation aborted");
}

namespace {
std::u16string LinePrefixed(int line, const std::u16string& detail) {
    const std::string number = std::to_string(line);
    return u"line " + std::u16string(number.begin(), number.end()) + u": " + detail;
}
} // namespace

EDescriptionError::EDescriptionError(int line, const std::u16string& detail)
    : Exception(LinePrefixed(line, detail)), line_(line), detail_(detail) {}

} // namespace toolkit
