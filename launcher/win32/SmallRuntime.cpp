// Setup.exe's own versions of the few C++ runtime routines whose library versions drag in far
// more than they do. The library raises its length and range errors through these; its own
// versions build std::length_error and friends, whose messages live in a second,
// reference-counted string type, and that type's code is most of the C++ library in the image.
// The default terminate handler demangles the type name of the exception for a console that a
// windowed program does not have. Linked into Setup.exe only; the host tests keep the library's.
#include <bits/functexcept.h>
#include <cstdlib>
#include <exception>
#include <new>

namespace {

// What the library would have thrown, minus the class: nothing in the program catches a
// std::logic_error by name; everything reaches the application's display as a std::exception.
class LibraryError final : public std::exception {
public:
    explicit LibraryError(const char* message) noexcept : message_(message) {}
    const char* what() const noexcept override { return message_; }

private:
    const char* message_;
};

} // namespace

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_length_error(const char* message) { throw LibraryError(message); }
void __throw_logic_error(const char* message) { throw LibraryError(message); }
// The format's arguments are positions; the message without them still names the operation.
void __throw_out_of_range_fmt(const char* format, ...) { throw LibraryError(format); }

} // namespace std

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

} // namespace __gnu_cxx
