// The toolkit's root class and its exceptions. Every toolkit exception derives from
// std::exception as well, so a plain `catch (const std::exception&)` sees it too.
#pragma once

#include <exception>
#include <string>

namespace toolkit {

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = default;
    TObject& operator=(const TObject&) = default;
    virtual ~TObject() = default;
};

class Exception : public TObject, public std::exception {
public:
    explicit Exception(std::u16string message);
    const std::u16string& Message() const { return message_; }
    void SetMessage(std::u16string message);
    // UTF-8 form of Message(), for logs and test output.
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    std::u16string message_;
    std::string utf8_;
};

// An operation that is not allowed in the object's present state, or an invalid value.
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// The silent exception: it unwinds like any other but is never reported.
class EAbort : public Exception {
public:
    using Exception::Exception;
};

[[noreturn]] void Abort();

// An error in a stored description: an unknown class or property, a bad value, a malformed
// text. The message reads "line N: ...".
class EDescriptionError : public Exception {
public:
    EDescriptionError(int line, const std::u16string& detail);
    int Line() const { return line_; }
    // The message without its "line N: " prefix.
    const std::u16string& Detail() const { return detail_; }

private:
    int line_;
    std::u16string detail_;
};

} // namespace toolkit
