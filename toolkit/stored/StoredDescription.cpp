#include "toolkit/stored/StoredDescription.h"

#include <utility>

namespace toolkit::stored {

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

} // namespace toolkit::stored
