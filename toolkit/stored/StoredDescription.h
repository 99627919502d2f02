// Stored descriptions: the text form in which a form and its components are kept, read into a
// tree and written back. Only the syntax lives here; which classes and properties exist is the
// business of whoever walks the tree, so every object, property and value carries its line.
//
//   # comment to the end of the line
//   object MainForm : TMainForm {
//     Caption = "Setup \u{2013} \"quoted\""     string: UTF-8, escapes \" \\ \n \t \u{hex}
//     ClientWidth = -394                        integer: decimal, 32-bit
//     BorderStyle = bsSizeable                  identifier (also true/false, handler names)
//     Font.Style = [fsBold, fsItalic]           set of identifiers
//     Icon = resource "FORMICON"                named resource of the executable
//     object LabelTitle : TLabel {              children after the properties
//       Left = 88
//     }
//   }
//
// "object" and "resource" are keywords and cannot be used as names. Properties must come before
// the child objects of their object: the tree keeps them apart, so a property after a child
// would silently change the order of setting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace toolkit::stored {

// Limits that keep a hostile description from exhausting memory or the stack.
inline constexpr std::size_t kMaxTextSize = 1024 * 1024;
inline constexpr int kMaxDepth = 16; // the root object is depth 1

struct Value {
    enum class Kind { Integer, String, Identifier, Set, Resource };

    Kind kind = Kind::Integer;
    std::int32_t integer = 0;
    std::string text;               // UTF-8 for String and Resource, the name for Identifier
    std::vector<std::string> items; // Set
    int line = 0;

    static Value MakeInteger(std::int32_t n, int line = 0);
    static Value MakeString(std::string text, int line = 0);
    static Value MakeIdentifier(std::string name, int line = 0);
    static Value MakeSet(std::vector<std::string> items, int line = 0);
    static Value MakeResource(std::string name, int line = 0);
};

struct Property {
    std::string name; // possibly dotted: "Font.Height"
    Value value;
    int line = 0;
};

struct Object {
    std::string name;
    std::string className;
    std::vector<Property> properties; // in the order they are set
    std::vector<Object> children;
    int line = 0;
};

// Equality of content: line numbers are ignored, and a value is compared by the field its kind
// uses only.
bool operator==(const Value& a, const Value& b);
bool operator==(const Property& a, const Property& b);
bool operator==(const Object& a, const Object& b);

// "integer", "string", ... for messages such as "expected an integer, found a set".
const char* KindName(Value::Kind kind);

// The errors carry their text themselves rather than deriving from std::runtime_error: the
// library's error classes keep a second, reference-counted string type of their own, which
// would more than double the size of the C++ library code in Setup.exe.
class DescriptionTextError : public std::exception {
public:
    explicit DescriptionTextError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

class ParseError : public DescriptionTextError {
public:
    ParseError(int line, const std::string& detail);
    int line() const { return line_; }
    // The message without its "line N: " prefix.
    const std::string& detail() const { return detail_; }

private:
    int line_;
    std::string detail_;
};

// A tree that has no text form: a name that is no identifier, a string that is not UTF-8, a
// duplicate set item, nesting too deep, a text too large. Parse never builds such a tree.
class WriteError : public DescriptionTextError {
public:
    using DescriptionTextError::DescriptionTextError;
};

// Reads one root object. Throws ParseError, whose line is 1-based.
Object Parse(std::string_view text);

// Writes the canonical form: two-space indentation, one property per line, non-ASCII text as
// UTF-8. Parse(Write(x)) == x for every tree Write accepts; throws WriteError otherwise.
std::string Write(const Object& root);

} // namespace toolkit::stored
