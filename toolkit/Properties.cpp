#include "toolkit/Properties.h"

#include "platform/Types.h"
#include "toolkit/Graphics.h"
#include "toolkit/Strings.h"
#include "toolkit/stored/StoredDescription.h"

namespace toolkit {

using stored::Value;

namespace {
std::u16string KindText(Value::Kind kind) {
    const std::string name = stored::KindName(kind);
    return std::u16string(name.begin(), name.end());
}

[[noreturn]] void WrongKind(const Value& value, const char16_t* expected) {
    throw EInvalidOperation(std::u16string(u"expected ") + expected + u", found " +
                            KindText(value.kind));
}

void Expect(const Value& value, Value::Kind kind, const char16_t* expected) {
    if (value.kind != kind) {
        WrongKind(value, expected);
    }
}

const std::u16string* NameOf(int value, const TIdentMap& names) {
    for (const auto& [name, v] : names) {
        if (v == value) {
            return &name;
        }
    }
    return nullptr;
}
} // namespace

int IntegerOf(const Value& value) {
    Expect(value, Value::Kind::Integer, u"an integer");
    return value.integer;
}

bool BooleanOf(const Value& value) {
    if (value.kind == Value::Kind::Identifier) {
        if (value.text == "true") {
            return true;
        }
        if (value.text == "false") {
            return false;
        }
    }
    if (value.kind == Value::Kind::Identifier) {
        throw EInvalidOperation(u"expected true or false, found " +
                                platform::Utf8ToUtf16(value.text));
    }
    WrongKind(value, u"true or false");
}

std::u16string StringOf(const Value& value) {
    Expect(value, Value::Kind::String, u"a string");
    return platform::Utf8ToUtf16(value.text);
}

std::u16string ResourceOf(const Value& value) {
    Expect(value, Value::Kind::Resource, u"a resource");
    return platform::Utf8ToUtf16(value.text);
}

std::u16string IdentifierOf(const Value& value) {
    Expect(value, Value::Kind::Identifier, u"an identifier");
    return platform::Utf8ToUtf16(value.text);
}

int EnumOf(const Value& value, const TIdentMap& names, bool allowInteger) {
    if (allowInteger && value.kind == Value::Kind::Integer) {
        return value.integer;
    }
    if (value.kind != Value::Kind::Identifier) {
        WrongKind(value, allowInteger ? u"an identifier or an integer" : u"an identifier");
    }
    const std::u16string name = platform::Utf8ToUtf16(value.text);
    for (const auto& [known, v] : names) {
        if (SameText(known, name)) {
            return v;
        }
    }
    throw EInvalidOperation(u"unknown value " + name);
}

unsigned SetOf(const Value& value, const TIdentMap& names) {
    Expect(value, Value::Kind::Set, u"a set");
    unsigned result = 0;
    for (const std::string& item : value.items) {
        const std::u16string name = platform::Utf8ToUtf16(item);
        bool found = false;
        for (const auto& [known, v] : names) {
            if (SameText(known, name)) {
                result |= static_cast<unsigned>(v);
                found = true;
                break;
            }
        }
        if (!found) {
            throw EInvalidOperation(u"unknown set element " + name);
        }
    }
    return result;
}

Value IntegerValue(int value) {
    return Value::MakeInteger(value);
}
Value BooleanValue(bool value) {
    return Value::MakeIdentifier(value ? "true" : "false");
}
Value StringValue(const std::u16string& value) {
    return Value::MakeString(platform::Utf16ToUtf8(value));
}
Value ResourceValue(const std::u16string& resourceName) {
    return Value::MakeResource(platform::Utf16ToUtf8(resourceName));
}
Value IdentifierValue(const std::u16string& identifier) {
    return Value::MakeIdentifier(platform::Utf16ToUtf8(identifier));
}

Value EnumValue(int value, const TIdentMap& names) {
    if (const std::u16string* name = NameOf(value, names)) {
        return IdentifierValue(*name);
    }
    return IntegerValue(value);
}

Value SetValue(unsigned value, const TIdentMap& names) {
    std::vector<std::string> items;
    for (const auto& [name, v] : names) {
        if (v != 0 && (value & static_cast<unsigned>(v)) == static_cast<unsigned>(v)) {
            items.push_back(platform::Utf16ToUtf8(name));
        }
    }
    return Value::MakeSet(std::move(items));
}

const TIdentMap& ColorNames() {
    static const TIdentMap names = {
        {u"clBlack", clBlack},         {u"clMaroon", clMaroon},
        {u"clGreen", clGreen},         {u"clOlive", clOlive},
        {u"clNavy", clNavy},           {u"clPurple", clPurple},
        {u"clTeal", clTeal},           {u"clGray", clGray},
        {u"clSilver", clSilver},       {u"clRed", clRed},
        {u"clLime", clLime},           {u"clYellow", clYellow},
        {u"clBlue", clBlue},           {u"clFuchsia", clFuchsia},
        {u"clAqua", clAqua},           {u"clWhite", clWhite},
        {u"clWindow", clWindow},       {u"clWindowText", clWindowText},
        {u"clHighlight", clHighlight}, {u"clHighlightText", clHighlightText},
        {u"clBtnFace", clBtnFace},     {u"clGrayText", clGrayText},
        {u"clBtnText", clBtnText},
    };
    return names;
}

const TIdentMap& CharsetNames() {
    static const TIdentMap names = {
        {u"ANSI_CHARSET", 0},          {u"DEFAULT_CHARSET", 1},   {u"SYMBOL_CHARSET", 2},
        {u"SHIFTJIS_CHARSET", 128},    {u"HANGEUL_CHARSET", 129}, {u"GB2312_CHARSET", 134},
        {u"CHINESEBIG5_CHARSET", 136}, {u"GREEK_CHARSET", 161},   {u"TURKISH_CHARSET", 162},
        {u"HEBREW_CHARSET", 177},      {u"ARABIC_CHARSET", 178},  {u"BALTIC_CHARSET", 186},
        {u"RUSSIAN_CHARSET", 204},     {u"THAI_CHARSET", 222},    {u"EASTEUROPE_CHARSET", 238},
        {u"OEM_CHARSET", 255},
    };
    return names;
}

TPropertyInfo MakeProperty(std::u16string name, std::function<void(TComponent&, const Value&)> read,
                           std::function<Value(const TComponent&)> write) {
    TPropertyInfo info;
    info.name = std::move(name);
    info.read = [read = std::move(read)](TComponent& c, const Value& v, TReader&) { read(c, v); };
    info.write = std::move(write);
    return info;
}

TPropertyInfo MakeIntegerProperty(std::u16string name, std::function<int(const TComponent&)> get,
                                  std::function<void(TComponent&, int)> set) {
    return MakeProperty(
        std::move(name), [set](TComponent& c, const Value& v) { set(c, IntegerOf(v)); },
        [get](const TComponent& c) { return IntegerValue(get(c)); });
}

TPropertyInfo MakeBooleanProperty(std::u16string name, std::function<bool(const TComponent&)> get,
                                  std::function<void(TComponent&, bool)> set) {
    return MakeProperty(
        std::move(name), [set](TComponent& c, const Value& v) { set(c, BooleanOf(v)); },
        [get](const TComponent& c) { return BooleanValue(get(c)); });
}

TPropertyInfo MakeStringProperty(std::u16string name,
                                 std::function<std::u16string(const TComponent&)> get,
                                 std::function<void(TComponent&, const std::u16string&)> set) {
    return MakeProperty(
        std::move(name), [set](TComponent& c, const Value& v) { set(c, StringOf(v)); },
        [get](const TComponent& c) { return StringValue(get(c)); });
}

TPropertyInfo MakeResourceProperty(std::u16string name,
                                   std::function<std::u16string(const TComponent&)> get,
                                   std::function<void(TComponent&, const std::u16string&)> set) {
    TPropertyInfo info = MakeProperty(
        std::move(name), [set](TComponent& c, const Value& v) { set(c, ResourceOf(v)); },
        [get](const TComponent& c) { return ResourceValue(get(c)); });
    // No resource: nothing to write.
    info.stored = [get](const TComponent& c) { return !get(c).empty(); };
    return info;
}

TPropertyInfo MakeEnumProperty(std::u16string name, TIdentMap names, bool allowInteger,
                               std::function<int(const TComponent&)> get,
                               std::function<void(TComponent&, int)> set) {
    return MakeProperty(
        std::move(name),
        [set, names, allowInteger](TComponent& c, const Value& v) {
            set(c, EnumOf(v, names, allowInteger));
        },
        [get, names](const TComponent& c) { return EnumValue(get(c), names); });
}

TPropertyInfo MakeSetProperty(std::u16string name, TIdentMap names,
                              std::function<unsigned(const TComponent&)> get,
                              std::function<void(TComponent&, unsigned)> set) {
    return MakeProperty(
        std::move(name), [set, names](TComponent& c, const Value& v) { set(c, SetOf(v, names)); },
        [get, names](const TComponent& c) { return SetValue(get(c), names); });
}

TPropertyInfo MakeEventProperty(
    std::u16string name, std::function<const std::u16string&(const TComponent&)> methodName,
    std::function<bool(TComponent&, TReader&, const std::u16string&)> bind) {
    TPropertyInfo info;
    info.name = std::move(name);
    info.read = [bind, property = info.name](TComponent& c, const Value& v, TReader& reader) {
        const std::u16string method = IdentifierOf(v);
        if (!bind(c, reader, method)) {
            throw EInvalidOperation(u"no method " + method + u" for " + property + u" in " +
                                    reader.Root().ClassName());
        }
    };
    info.write = [methodName](const TComponent& c) { return IdentifierValue(methodName(c)); };
    // A handler set from code has no name to write.
    info.stored = [methodName](const TComponent& c) { return !methodName(c).empty(); };
    return info;
}

} // namespace toolkit
