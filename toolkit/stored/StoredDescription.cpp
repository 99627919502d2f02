#include "toolkit/stored/StoredDescription.h"

#include "platform/Utf.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace toolkit::stored {

namespace {

constexpr std::string_view kObjectKeyword = "object";
constexpr std::string_view kResourceKeyword = "resource";

bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsNameChar(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsKeyword(std::string_view s) {
    return s == kObjectKeyword || s == kResourceKeyword;
}

// What the reader accepts as a name: letters, digits and underscores, not starting with a
// digit, in dot-separated parts when `dotted`; never a keyword.
bool IsValidName(std::string_view s, bool dotted) {
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

std::string HexByte(unsigned char c) {
    constexpr char kHex[] = "0123456789ABCDEF";
    return std::string("0x") + kHex[c >> 4] + kHex[c & 0xF];
}

// Names in messages are cut short: a hostile text may hold a name of a megabyte.
std::string Quoted(std::string_view s) {
    constexpr std::size_t kShown = 40;
    if (s.size() <= kShown)
        return "'" + std::string(s) + "'";
    return "'" + std::string(s.substr(0, kShown)) + "...'";
}

// ---- Reading -------------------------------------------------------------------------------

enum class TokenKind {
    End,
    Name,
    ObjectKeyword,
    ResourceKeyword,
    Integer,
    String,
    LeftBrace,
    RightBrace,
    LeftBracket,
    RightBracket,
    Colon,
    Equals,
    Comma,
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text; // the name, or the decoded string
    std::int32_t integer = 0;
    int line = 0;
};

std::string Describe(const Token& t) {
    switch (t.kind) {
    case TokenKind::End:
        return "end of text";
    case TokenKind::Name:
        return "name " + Quoted(t.text);
    case TokenKind::ObjectKeyword:
        return "'object'";
    case TokenKind::ResourceKeyword:
        return "'resource'";
    case TokenKind::Integer:
        return "number " + std::to_string(t.integer);
    case TokenKind::String:
        return "a string";
    case TokenKind::LeftBrace:
        return "'{'";
    case TokenKind::RightBrace:
        return "'}'";
    case TokenKind::LeftBracket:
        return "'['";
    case TokenKind::RightBracket:
        return "']'";
    case TokenKind::Colon:
        return "':'";
    case TokenKind::Equals:
        return "'='";
    case TokenKind::Comma:
        return "','";
    }
    return "a token";
}

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {
        if (text_.substr(0, 3) == "\xEF\xBB\xBF")
            pos_ = 3;
    }

    Token Next() {
        SkipBlanks();
        Token t;
        t.line = line_;
        if (pos_ == text_.size())
            return t;
        const char c = text_[pos_];
        switch (c) {
        case '{':
            return Punctuation(t, TokenKind::LeftBrace);
        case '}':
            return Punctuation(t, TokenKind::RightBrace);
        case '[':
            return Punctuation(t, TokenKind::LeftBracket);
        case ']':
            return Punctuation(t, TokenKind::RightBracket);
        case ':':
            return Punctuation(t, TokenKind::Colon);
        case '=':
            return Punctuation(t, TokenKind::Equals);
        case ',':
            return Punctuation(t, TokenKind::Comma);
        case '"':
            return String(t);
        default:
            break;
        }
        if (IsDigit(c) || c == '-' || c == '+')
            return Number(t);
        if (IsNameStart(c))
            return Name(t);
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F)
            throw ParseError(line_, "unexpected character " + Quoted(std::string_view(&c, 1)));
        throw ParseError(line_, "unexpected byte " + HexByte(byte));
    }

private:
    Token Punctuation(Token& t, TokenKind kind) {
        ++pos_;
        t.kind = kind;
        return std::move(t);
    }

    // Consumes a line break at pos_ if there is one: LF, CR LF or a lone CR.
    bool LineBreak() {
        if (text_[pos_] == '\n') {
            ++pos_;
        } else if (text_[pos_] == '\r') {
            ++pos_;
            if (pos_ < text_.size() && text_[pos_] == '\n')
                ++pos_;
        } else {
            return false;
        }
        ++line_;
        return true;
    }

    void SkipBlanks() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == ' ' || c == '\t') {
                ++pos_;
            } else if (LineBreak()) {
            } else if (c == '#') {
                SkipComment();
            } else {
                return;
            }
        }
    }

    void SkipComment() {
        while (pos_ < text_.size() && text_[pos_] != '\n' && text_[pos_] != '\r') {
            const std::size_t n = platform::Utf8SequenceLength(text_.substr(pos_));
            if (n == 0)
                throw ParseError(line_, "invalid UTF-8 in a comment");
            pos_ += n;
        }
    }

    Token Number(Token& t) {
        const std::size_t start = pos_;
        bool negative = false;
        if (text_[pos_] == '-' || text_[pos_] == '+') {
            negative = text_[pos_] == '-';
            ++pos_;
        }
        if (pos_ == text_.size() || !IsDigit(text_[pos_]))
            throw ParseError(line_, "a sign must be followed by digits");
        // Collected as a magnitude capped just above the range, so any length is safe.
        constexpr std::int64_t kCap = std::int64_t{1} << 32;
        std::int64_t magnitude = 0;
        while (pos_ < text_.size() && IsDigit(text_[pos_])) {
            magnitude = std::min(kCap, magnitude * 10 + (text_[pos_] - '0'));
            ++pos_;
        }
        if (pos_ < text_.size() && (IsNameChar(text_[pos_]) || text_[pos_] == '.')) {
            while (pos_ < text_.size() && (IsNameChar(text_[pos_]) || text_[pos_] == '.'))
                ++pos_;
            throw ParseError(line_, "invalid number " + Quoted(text_.substr(start, pos_ - start)));
        }
        const std::int64_t value = negative ? -magnitude : magnitude;
        if (value < INT32_MIN || value > INT32_MAX)
            throw ParseError(line_, "number " + std::string(text_.substr(start, pos_ - start)) +
                                        " is outside the 32-bit range");
        t.kind = TokenKind::Integer;
        t.integer = static_cast<std::int32_t>(value);
        return std::move(t);
    }

    Token Name(Token& t) {
        const std::size_t start = pos_;
        while (true) {
            while (pos_ < text_.size() && IsNameChar(text_[pos_]))
                ++pos_;
            if (pos_ == text_.size() || text_[pos_] != '.')
                break;
            ++pos_;
            if (pos_ == text_.size() || !IsNameStart(text_[pos_]))
                throw ParseError(line_,
                                 "invalid name " + Quoted(text_.substr(start, pos_ - start)));
        }
        t.text = text_.substr(start, pos_ - start);
        t.kind = t.text == kObjectKeyword     ? TokenKind::ObjectKeyword
                 : t.text == kResourceKeyword ? TokenKind::ResourceKeyword
                                              : TokenKind::Name;
        return std::move(t);
    }

    Token String(Token& t) {
        ++pos_; // opening quote
        while (true) {
            if (pos_ == text_.size() || text_[pos_] == '\n' || text_[pos_] == '\r')
                throw ParseError(t.line, "unterminated string");
            const char c = text_[pos_];
            const auto byte = static_cast<unsigned char>(c);
            if (c == '"') {
                ++pos_;
                break;
            }
            if (c == '\\') {
                Escape(t.text);
            } else if (byte < 0x20 || byte == 0x7F) {
                throw ParseError(line_, "control character " + HexByte(byte) +
                                            " in a string; write it as an escape");
            } else {
                const std::size_t n = platform::Utf8SequenceLength(text_.substr(pos_));
                if (n == 0)
                    throw ParseError(line_, "invalid UTF-8 in a string");
                t.text.append(text_.substr(pos_, n));
                pos_ += n;
            }
        }
        t.kind = TokenKind::String;
        return std::move(t);
    }

    void Escape(std::string& out) {
        ++pos_; // backslash
        if (pos_ == text_.size())
            throw ParseError(line_, "unterminated string");
        const char c = text_[pos_++];
        switch (c) {
        case '"':
            out += '"';
            return;
        case '\\':
            out += '\\';
            return;
        case 'n':
            out += '\n';
            return;
        case 't':
            out += '\t';
            return;
        case 'u':
            break;
        default: {
            const auto byte = static_cast<unsigned char>(c);
            throw ParseError(line_,
                             "invalid escape " + (byte > 0x20 && byte < 0x7F
                                                      ? Quoted("\\" + std::string(1, c))
                                                      : "'\\' followed by byte " + HexByte(byte)));
        }
        }
        // \u{X} to \u{XXXXXX}: a Unicode scalar value other than U+0000.
        if (pos_ == text_.size() || text_[pos_] != '{')
            throw ParseError(line_, "invalid escape: '\\u' must be followed by '{'");
        ++pos_;
        char32_t code = 0;
        int digits = 0;
        while (pos_ < text_.size() && HexDigit(text_[pos_]) >= 0) {
            if (++digits > 6)
                throw ParseError(line_, "invalid escape: more than 6 hex digits in '\\u{...}'");
            code = code * 16 + static_cast<char32_t>(HexDigit(text_[pos_]));
            ++pos_;
        }
        if (digits == 0 || pos_ == text_.size() || text_[pos_] != '}')
            throw ParseError(line_, "invalid escape: '\\u{' needs 1 to 6 hex digits and '}'");
        ++pos_;
        if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            throw ParseError(line_, "invalid escape: '\\u{...}' is not an allowed character");
        platform::AppendUtf8(out, code);
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

class Parser {
public:
    explicit Parser(std::string_view text) : lexer_(text) {}

    Object Root() {
        Token t = lexer_.Next();
        if (t.kind != TokenKind::ObjectKeyword)
            throw ParseError(t.line, "expected 'object', found " + Describe(t));
        Object root = ObjectBody(t.line, 1);
        t = lexer_.Next();
        if (t.kind != TokenKind::End)
            throw ParseError(t.line, "unexpected " + Describe(t) + " after the root object");
        return root;
    }

private:
    // Depth is bounded before recursing, so the stack use is too.
    Object ObjectBody(int line, int depth) {
        if (depth > kMaxDepth)
            throw ParseError(line,
                             "objects nested deeper than " + std::to_string(kMaxDepth) + " levels");
        Object object;
        object.line = line;
        object.name = SimpleName("an object name");
        Expect(TokenKind::Colon, "':' after the object name");
        object.className = SimpleName("a class name");
        Expect(TokenKind::LeftBrace, "'{'");
        while (true) {
            Token t = lexer_.Next();
            switch (t.kind) {
            case TokenKind::RightBrace:
                return object;
            case TokenKind::End:
                throw ParseError(t.line, "missing '}' of object " + Quoted(object.name) +
                                             " opened on line " + std::to_string(line));
            case TokenKind::ObjectKeyword:
                object.children.push_back(ObjectBody(t.line, depth + 1));
                break;
            case TokenKind::Name:
                if (!object.children.empty())
                    throw ParseError(t.line, "property " + Quoted(t.text) +
                                                 " after a child object; properties come first");
                Expect(TokenKind::Equals, "'=' after " + Quoted(t.text));
                object.properties.push_back(Property{std::move(t.text), ParseValue(), t.line});
                break;
            default:
                throw ParseError(t.line,
                                 "expected a property, 'object' or '}', found " + Describe(t));
            }
        }
    }

    Value ParseValue() {
        Token t = lexer_.Next();
        switch (t.kind) {
        case TokenKind::Integer:
            return Value::MakeInteger(t.integer, t.line);
        case TokenKind::String:
            return Value::MakeString(std::move(t.text), t.line);
        case TokenKind::Name:
            if (!IsValidName(t.text, false))
                throw ParseError(t.line, "invalid value " + Quoted(t.text));
            return Value::MakeIdentifier(std::move(t.text), t.line);
        case TokenKind::ResourceKeyword: {
            Token name = lexer_.Next();
            if (name.kind != TokenKind::String)
                throw ParseError(name.line, "expected a resource name in quotes after "
                                            "'resource', found " +
                                                Describe(name));
            if (name.text.empty())
                throw ParseError(name.line, "empty resource name");
            return Value::MakeResource(std::move(name.text), t.line);
        }
        case TokenKind::LeftBracket:
            return ParseSet(t.line);
        default:
            throw ParseError(t.line, "expected a value, found " + Describe(t));
        }
    }

    Value ParseSet(int line) {
        std::vector<std::string> items;
        std::unordered_set<std::string> seen;
        Token t = lexer_.Next();
        if (t.kind == TokenKind::RightBracket)
            return Value::MakeSet(std::move(items), line);
        while (true) {
            if (t.kind == TokenKind::Comma || t.kind == TokenKind::RightBracket)
                throw ParseError(t.line, "empty item in a set");
            if (t.kind != TokenKind::Name || !IsValidName(t.text, false))
                throw ParseError(t.line, "expected a set item, found " + Describe(t));
            if (!seen.insert(t.text).second)
                throw ParseError(t.line, "item " + Quoted(t.text) + " twice in a set");
            items.push_back(std::move(t.text));
            t = lexer_.Next();
            if (t.kind == TokenKind::RightBracket)
                return Value::MakeSet(std::move(items), line);
            if (t.kind != TokenKind::Comma)
                throw ParseError(t.line, "expected ',' or ']' in a set, found " + Describe(t));
            t = lexer_.Next();
        }
    }

    std::string SimpleName(const std::string& what) {
        Token t = lexer_.Next();
        if (t.kind != TokenKind::Name || !IsValidName(t.text, false))
            throw ParseError(t.line, "expected " + what + ", found " + Describe(t));
        return std::move(t.text);
    }

    void Expect(TokenKind kind, const std::string& what) {
        const Token t = lexer_.Next();
        if (t.kind != kind)
            throw ParseError(t.line, "expected " + what + ", found " + Describe(t));
    }

    Lexer lexer_;
};

// The line the byte at `offset` is on, counted as the lexer counts.
int LineAt(std::string_view text, std::size_t offset) {
    int line = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++line;
    }
    return line;
}

// ---- Writing -------------------------------------------------------------------------------

class Writer {
public:
    std::string Text(const Object& root) {
        WriteObject(root, 1);
        if (out_.size() > kMaxTextSize)
            throw WriteError("the description would be larger than " +
                             std::to_string(kMaxTextSize) + " bytes");
        return std::move(out_);
    }

private:
    // The path is only spelled out for an error: a tree may hold long names.
    [[noreturn]] void Fail(const std::string& what) const {
        std::string where;
        for (std::string_view name : path_)
            where += (where.empty() ? "" : " > ") + Quoted(name);
        throw WriteError(where + ": " + what);
    }

    void WriteObject(const Object& object, int depth) {
        path_.push_back(object.name);
        if (depth > kMaxDepth)
            Fail("objects nested deeper than " + std::to_string(kMaxDepth) + " levels");
        if (!IsValidName(object.name, false))
            Fail("invalid object name");
        if (!IsValidName(object.className, false))
            Fail("invalid class name " + Quoted(object.className));
        const std::string indent(static_cast<std::size_t>(depth - 1) * 2, ' ');
        out_ += indent;
        out_ += "object ";
        out_ += object.name;
        out_ += " : ";
        out_ += object.className;
        out_ += " {\n";
        for (const Property& p : object.properties) {
            path_.push_back(p.name);
            if (!IsValidName(p.name, true))
                Fail("invalid property name");
            out_ += indent;
            out_ += "  ";
            out_ += p.name;
            out_ += " = ";
            WriteValue(p.value);
            out_ += '\n';
            path_.pop_back();
        }
        for (const Object& child : object.children)
            WriteObject(child, depth + 1);
        out_ += indent;
        out_ += "}\n";
        path_.pop_back();
    }

    void WriteValue(const Value& v) {
        switch (v.kind) {
        case Value::Kind::Integer:
            out_ += std::to_string(v.integer);
            return;
        case Value::Kind::String:
            WriteString(v.text);
            return;
        case Value::Kind::Identifier:
            if (!IsValidName(v.text, false))
                Fail("invalid identifier " + Quoted(v.text));
            out_ += v.text;
            return;
        case Value::Kind::Set: {
            std::unordered_set<std::string_view> seen;
            out_ += '[';
            for (std::size_t i = 0; i < v.items.size(); ++i) {
                if (!IsValidName(v.items[i], false))
                    Fail("invalid set item " + Quoted(v.items[i]));
                if (!seen.insert(v.items[i]).second)
                    Fail("item " + Quoted(v.items[i]) + " twice in a set");
                if (i > 0)
                    out_ += ", ";
                out_ += v.items[i];
            }
            out_ += ']';
            return;
        }
        case Value::Kind::Resource:
            if (v.text.empty())
                Fail("empty resource name");
            out_ += kResourceKeyword;
            out_ += ' ';
            WriteString(v.text);
            return;
        }
        Fail("value of unknown kind");
    }

    void WriteString(std::string_view s) {
        out_ += '"';
        std::size_t i = 0;
        while (i < s.size()) {
            const char c = s[i];
            const auto byte = static_cast<unsigned char>(c);
            if (c == '\0')
                Fail("U+0000 in a string");
            if (c == '"' || c == '\\') {
                out_ += '\\';
                out_ += c;
            } else if (c == '\n') {
                out_ += "\\n";
            } else if (c == '\t') {
                out_ += "\\t";
            } else if (byte < 0x20 || byte == 0x7F) {
                constexpr char kHex[] = "0123456789ABCDEF";
                out_ += "\\u{";
                if (byte >= 0x10)
                    out_ += kHex[byte >> 4];
                out_ += kHex[byte & 0xF];
                out_ += '}';
            } else {
                const std::size_t n = platform::Utf8SequenceLength(s.substr(i));
                if (n == 0)
                    Fail("invalid UTF-8 in a string");
                out_.append(s.substr(i, n));
                i += n;
                continue;
            }
            ++i;
        }
        out_ += '"';
    }

    std::string out_;
    std::vector<std::string_view> path_;
};

} // namespace

Value Value::MakeInteger(std::int32_t n, int line) {
    Value v;
    v.kind = Kind::Integer;
    v.integer = n;
    v.line = line;
    return v;
}

Value Value::MakeString(std::string text, int line) {
    Value v;
    v.kind = Kind::String;
    v.text = std::move(text);
    v.line = line;
    return v;
}

Value Value::MakeIdentifier(std::string name, int line) {
    Value v = MakeString(std::move(name), line);
    v.kind = Kind::Identifier;
    return v;
}

Value Value::MakeSet(std::vector<std::string> items, int line) {
    Value v;
    v.kind = Kind::Set;
    v.items = std::move(items);
    v.line = line;
    return v;
}

Value Value::MakeResource(std::string name, int line) {
    Value v = MakeString(std::move(name), line);
    v.kind = Kind::Resource;
    return v;
}

bool operator==(const Value& a, const Value& b) {
    if (a.kind != b.kind)
        return false;
    switch (a.kind) {
    case Value::Kind::Integer:
        return a.integer == b.integer;
    case Value::Kind::Set:
        return a.items == b.items;
    case Value::Kind::String:
    case Value::Kind::Identifier:
    case Value::Kind::Resource:
        return a.text == b.text;
    }
    return false;
}

bool operator==(const Property& a, const Property& b) {
    return a.name == b.name && a.value == b.value;
}

bool operator==(const Object& a, const Object& b) {
    return a.name == b.name && a.className == b.className && a.properties == b.properties &&
           a.children == b.children;
}

const char* KindName(Value::Kind kind) {
    switch (kind) {
    case Value::Kind::Integer:
        return "integer";
    case Value::Kind::String:
        return "string";
    case Value::Kind::Identifier:
        return "identifier";
    case Value::Kind::Set:
        return "set";
    case Value::Kind::Resource:
        return "resource";
    }
    return "value";
}

ParseError::ParseError(int line, const std::string& detail)
    : DescriptionTextError("line " + std::to_string(line) + ": " + detail), line_(line),
      detail_(detail) {}

Object Parse(std::string_view text) {
    if (text.size() > kMaxTextSize)
        throw ParseError(LineAt(text, kMaxTextSize),
                         "description larger than " + std::to_string(kMaxTextSize) + " bytes");
    return Parser(text).Root();
}

std::string Write(const Object& root) {
    return Writer().Text(root);
}

} // namespace toolkit::stored
