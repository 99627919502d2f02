// Reading a stored description: the lexer, the parser and its limits.
#include "toolkit/stored/StoredDescription.h"

#include "platform/Utf.h"
#include "toolkit/stored/StoredLexis.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace toolkit::stored {

namespace {

using namespace lexis;

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

} // namespace

ParseError::ParseError(int line, const std::string& detail)
    : DescriptionTextError("line " + std::to_string(line) + ": " + detail), line_(line),
      detail_(detail) {}

Object Parse(std::string_view text) {
    if (text.size() > kMaxTextSize)
        throw ParseError(LineAt(text, kMaxTextSize),
                         "description larger than " + std::to_string(kMaxTextSize) + " bytes");
    return Parser(text).Root();
}

} // namespace toolkit::stored
