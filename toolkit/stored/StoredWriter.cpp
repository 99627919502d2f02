// Writing a stored description back as text.
#include "toolkit/stored/StoredDescription.h"

#include "platform/Utf.h"
#include "toolkit/stored/StoredLexis.h"

#include <unordered_set>
#include <utility>

namespace toolkit::stored {

namespace {

using namespace lexis;

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

std::string Write(const Object& root) {
    return Writer().Text(root);
}

} // namespace toolkit::stored
