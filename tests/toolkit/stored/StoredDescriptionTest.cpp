#include "toolkit/stored/StoredDescription.h"

#include "tests/MainFormLayout.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace toolkit::stored {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        ADD_FAILURE() << "cannot open " << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string MainFormText() {
    return ReadFile(std::string(SETUP_RESOURCE_DIR) + "/MainForm.desc");
}

// The line of the first line of `text` that contains `needle`.
int LineOf(const std::string& text, const std::string& needle) {
    std::istringstream in(text);
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        if (line.find(needle) != std::string::npos)
            return n;
    }
    ADD_FAILURE() << "no line contains " << needle;
    return 0;
}

const Object* Child(const Object& parent, const std::string& name) {
    for (const Object& child : parent.children) {
        if (child.name == name)
            return &child;
    }
    return nullptr;
}

// The last value set for `name`, as the toolkit would end up with it.
std::optional<Value> Find(const Object& object, const std::string& name) {
    std::optional<Value> found;
    for (const Property& p : object.properties) {
        if (p.name == name)
            found = p.value;
    }
    return found;
}

// ---- MainForm.desc -------------------------------------------------------------------------

TEST(MainFormDescription, HasTheWindowAndItsControlsInDeclaredOrder) {
    const Object form = Parse(MainFormText());
    EXPECT_EQ(form.name, "MainForm");
    EXPECT_EQ(form.className, "TMainForm");
    std::vector<std::pair<std::string, std::string>> expected;
    for (const tests::ControlLayout& c : tests::kMainFormControls) {
        expected.emplace_back(c.name, c.className);
    }
    expected.emplace_back(tests::kMainFormResizeKit.name, tests::kMainFormResizeKit.className);
    std::vector<std::pair<std::string, std::string>> actual;
    for (const Object& child : form.children) {
        actual.emplace_back(child.name, child.className);
        EXPECT_TRUE(child.children.empty()) << child.name;
    }
    EXPECT_EQ(actual, expected);
}

TEST(MainFormDescription, CarriesTheLayoutValues) {
    const Object form = Parse(MainFormText());
    struct Case {
        const char* object; // empty: the form
        const char* property;
        Value value;
    };
    const Case cases[] = {
        {"", "Caption", Value::MakeString("Setup")},
        {"", "ClientWidth", Value::MakeInteger(394)},
        {"", "ClientHeight", Value::MakeInteger(385)},
        {"", "Color", Value::MakeInteger(16721960)},
        {"", "BorderStyle", Value::MakeIdentifier("bsSizeable")},
        {"", "BorderIcons", Value::MakeSet({"biSystemMenu"})},
        {"", "Position", Value::MakeIdentifier("poScreenCenter")},
        {"", "Scaled", Value::MakeIdentifier("false")},
        {"", "Font.Name", Value::MakeString("Tahoma")},
        {"", "Font.Height", Value::MakeInteger(-13)},
        {"", "Font.Style", Value::MakeSet({})},
        {"", "Font.Color", Value::MakeIdentifier("clWindowText")},
        {"", "Font.Charset", Value::MakeIdentifier("DEFAULT_CHARSET")},
        {"", "Icon", Value::MakeResource("FORMICON")},
        {"", "OnShow", Value::MakeIdentifier("FormShow")},
        {"LabelTitle", "AutoSize", Value::MakeIdentifier("false")},
        {"LabelTitle", "Font.Name", Value::MakeString("Times New Roman")},
        {"LabelTitle", "Font.Height", Value::MakeInteger(-27)},
        {"LabelTitle", "Font.Style", Value::MakeSet({"fsBold", "fsItalic"})},
        {"LabelTitle", "Font.Color", Value::MakeInteger(12632256)},
        {"LabelTitle", "Font.Charset", Value::MakeIdentifier("ANSI_CHARSET")},
        {"LabelTitle", "ParentFont", Value::MakeIdentifier("false")},
        {"Image1", "Stretch", Value::MakeIdentifier("true")},
        {"Image1", "Picture", Value::MakeResource("LOGO")},
        {"Label2", "Caption", Value::MakeString("USB DRIVER SOFTWARE")},
        {"Label2", "Font.Color", Value::MakeInteger(16777215)},
        {"LabelType", "Font.Name", Value::MakeString("\uFF2D\uFF33 \u660E\u671D")},
        {"LabelVersion", "Caption", Value::MakeString("Ver.2.08.28")},
        {"LabelVersion", "Font.Name", Value::MakeString("\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF")},
        {"Label5", "Font.Name", Value::MakeString("\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF")},
        {"BtnInstall", "Default", Value::MakeIdentifier("true")},
        {"BtnInstall", "TabOrder", Value::MakeInteger(0)},
        {"BtnInstall", "Glyph", Value::MakeResource("GLYPH_INSTALL")},
        {"BtnInstall", "GlyphDisabled", Value::MakeResource("GLYPH_INSTALL_DISABLED")},
        {"BtnInstall", "OnClick", Value::MakeIdentifier("BtnInstallClick")},
        {"BtnCancel", "TabOrder", Value::MakeInteger(1)},
        {"BtnCancel", "Font.Color", Value::MakeIdentifier("clWindowText")},
        {"BtnCancel", "Glyph", Value::MakeResource("GLYPH_CANCEL")},
        {"BtnCancel", "Spacing", Value::MakeInteger(4)},
        {"BtnCancel", "OnClick", Value::MakeIdentifier("BtnCancelClick")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.object) + "." + c.property);
        const Object* object = *c.object == '\0' ? &form : Child(form, c.object);
        ASSERT_NE(object, nullptr);
        const std::optional<Value> value = Find(*object, c.property);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(*value, c.value);
    }
    // Escape must do nothing, so only Install may be a default or cancel button.
    EXPECT_FALSE(Find(*Child(form, "BtnCancel"), "Default").has_value());
    EXPECT_FALSE(Find(*Child(form, "BtnCancel"), "Cancel").has_value());
}

TEST(MainFormDescription, PlacesEveryControl) {
    const Object form = Parse(MainFormText());
    for (const tests::ControlLayout& g : tests::kMainFormControls) {
        SCOPED_TRACE(g.name);
        const Object* control = Child(form, g.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(Find(*control, "Left"), Value::MakeInteger(g.left));
        EXPECT_EQ(Find(*control, "Top"), Value::MakeInteger(g.top));
        EXPECT_EQ(Find(*control, "Width"), Value::MakeInteger(g.width));
        EXPECT_EQ(Find(*control, "Height"), Value::MakeInteger(g.height));
    }
}

TEST(MainFormDescription, ResizeKitStoresItsPropertiesInPublishedOrderThenTheDesignValues) {
    const Object form = Parse(MainFormText());
    const Object* kit = Child(form, "ResizeKit1");
    ASSERT_NE(kit, nullptr);
    const std::vector<Property> expected = {
        {"FormPos", Value::MakeIdentifier("rpDefault")},
        {"FormWidth", Value::MakeInteger(0)},
        {"FormHeight", Value::MakeInteger(0)},
        {"FormMaxWidth", Value::MakeInteger(0)},
        {"FormMaxHeight", Value::MakeInteger(0)},
        {"FormMinWidth", Value::MakeInteger(0)},
        {"FormMinHeight", Value::MakeInteger(0)},
        {"ResizeFont", Value::MakeIdentifier("true")},
        {"Enabled", Value::MakeIdentifier("true")},
        {"ValidTaskbar", Value::MakeIdentifier("true")},
        {"DesignFrmW", Value::MakeInteger(394)},
        {"DesignFrmH", Value::MakeInteger(385)},
        {"DesignDpiW", Value::MakeInteger(96)},
        {"DesignDpiH", Value::MakeInteger(96)},
    };
    EXPECT_EQ(kit->properties, expected);
}

TEST(MainFormDescription, SurvivesWriteAndReadBack) {
    const Object form = Parse(MainFormText());
    const std::string written = Write(form);
    EXPECT_EQ(Parse(written), form);
    EXPECT_EQ(Write(Parse(written)), written);
    // Japanese font names stay readable UTF-8 rather than escapes.
    EXPECT_NE(written.find("Font.Name = \"\uFF2D\uFF33 \u660E\u671D\""), std::string::npos);
}

// Setup.exe embeds the description compacted by resources/compact-description.cmake.
TEST(MainFormDescription, CompactedCopyIsTheSameDescription) {
    const std::string original = MainFormText();
    const std::string compacted = ReadFile(COMPACT_DESCRIPTION);
    EXPECT_EQ(Parse(compacted), Parse(original));
    EXPECT_LT(compacted.size(), original.size());
}

// ---- Reading and writing -------------------------------------------------------------------

// Everything the format has, in awkward places: CRLF and lone CR line ends, a byte order mark,
// comment marks inside strings, escapes, Japanese text, the 32-bit limits, sets, resources,
// duplicate properties (order of setting matters) and no spaces where none are needed.
const char kTrickySample[] =
    "\xEF\xBB\xBF# leading comment\r\n"
    "object Root_1 : TForm{Caption=\"a#b \\\"q\\\" \\\\ tab\\t nl\\n \\u{1F600} \\u{7F}\\u{1}\"\r\n"
    "  Min = -2147483648 Max = +2147483647  # end comment with \"quote\r"
    "  Zero = -0\n"
    "  Font.Style = [ fsBold ,fsItalic,fsUnderline ]\n"
    "  Empty = []\n"
    "  Name = \"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \\u{3042}\"\n"
    "  Image = resource \"LOGO\"\n"
    "  Handler = On_Click2\n"
    "  Handler = Other\n"
    "  object Inner : TPanel {\n"
    "    object Leaf : TLabel {}\n"
    "  }\n"
    "  object Second : TLabel { Caption = \"\" }\n"
    "}\n"
    "# trailing comment";

TEST(StoredDescription, ReadsEveryValueKind) {
    const Object root = Parse(kTrickySample);
    Object expected;
    expected.name = "Root_1";
    expected.className = "TForm";
    expected.properties = {
        {"Caption", Value::MakeString("a#b \"q\" \\ tab\t nl\n \xF0\x9F\x98\x80 \x7F\x01")},
        {"Min", Value::MakeInteger(INT32_MIN)},
        {"Max", Value::MakeInteger(INT32_MAX)},
        {"Zero", Value::MakeInteger(0)},
        {"Font.Style", Value::MakeSet({"fsBold", "fsItalic", "fsUnderline"})},
        {"Empty", Value::MakeSet({})},
        {"Name", Value::MakeString("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xE3\x81\x82")},
        {"Image", Value::MakeResource("LOGO")},
        {"Handler", Value::MakeIdentifier("On_Click2")},
        {"Handler", Value::MakeIdentifier("Other")},
    };
    Object leaf{"Leaf", "TLabel", {}, {}, 0};
    expected.children = {Object{"Inner", "TPanel", {}, {leaf}, 0},
                         Object{"Second", "TLabel", {{"Caption", Value::MakeString("")}}, {}, 0}};
    ASSERT_EQ(root, expected);

    // CR LF, lone CR and LF each end one line.
    EXPECT_EQ(root.line, 2);
    const std::vector<std::pair<std::string, int>> lines = {
        {"Caption", 2}, {"Min", 3}, {"Max", 3}, {"Zero", 4}, {"Font.Style", 5}, {"Handler", 9}};
    for (const auto& [name, line] : lines) {
        for (const Property& p : root.properties) {
            if (p.name == name) {
                EXPECT_EQ(p.line, line) << name;
                break;
            }
        }
    }
    EXPECT_EQ(root.children[0].line, 11);
    EXPECT_EQ(root.children[0].children[0].line, 12);
}

// A small description whose objects and values start on lines of their own, after blank and
// comment lines, and one whose value sits on the line after its name.
const char kLinedSample[] =
    "# a form\n"
    "\n"
    "object Form : TForm {\n"
    "  Caption = \"x\"\n"
    "  object Button : TBitBtn {\n"
    "    # the handler\n"
    "    OnClick =\n"
    "      ButtonClick\n"
    "  }\n"
    "}\n";

TEST(StoredDescription, LinesPointIntoTheText) {
    const std::string text = kLinedSample;
    const Object form = Parse(text);
    EXPECT_EQ(form.line, LineOf(text, "object Form"));
    ASSERT_EQ(form.properties.size(), 1u);
    EXPECT_EQ(form.properties[0].line, LineOf(text, "Caption"));
    EXPECT_EQ(form.properties[0].value.line, LineOf(text, "Caption"));
    const Object* button = Child(form, "Button");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->line, LineOf(text, "object Button"));
    ASSERT_EQ(button->properties.size(), 1u);
    EXPECT_EQ(button->properties[0].line, LineOf(text, "OnClick"));
    EXPECT_EQ(button->properties[0].value.line, LineOf(text, "ButtonClick"));
}

TEST(StoredDescription, TrickySampleSurvivesWriteAndReadBack) {
    const Object root = Parse(kTrickySample);
    const std::string written = Write(root);
    EXPECT_EQ(Parse(written), root);
    EXPECT_EQ(Write(Parse(written)), written);
}

TEST(StoredDescription, WritesTheCanonicalForm) {
    Object root{"Form1", "TForm", {}, {}, 0};
    root.properties = {
        {"Caption", Value::MakeString("say \"hi\"\\\n\t\x01\x1F\x7F \xE6\x97\xA5")},
        {"Font.Height", Value::MakeInteger(-13)},
        {"Font.Style", Value::MakeSet({"fsBold", "fsItalic"})},
        {"Empty", Value::MakeSet({})},
        {"Icon", Value::MakeResource("FORM\"ICON")},
        {"OnShow", Value::MakeIdentifier("FormShow")},
    };
    root.children = {Object{"Panel1", "TPanel", {}, {Object{"Label1", "TLabel", {}, {}, 0}}, 0}};
    EXPECT_EQ(Write(root),
              "object Form1 : TForm {\n"
              "  Caption = \"say \\\"hi\\\"\\\\\\n\\t\\u{1}\\u{1F}\\u{7F} \xE6\x97\xA5\"\n"
              "  Font.Height = -13\n"
              "  Font.Style = [fsBold, fsItalic]\n"
              "  Empty = []\n"
              "  Icon = resource \"FORM\\\"ICON\"\n"
              "  OnShow = FormShow\n"
              "  object Panel1 : TPanel {\n"
              "    object Label1 : TLabel {\n"
              "    }\n"
              "  }\n"
              "}\n");
}

TEST(StoredDescription, EqualityIgnoresLinesAndUnusedFields) {
    Value a = Value::MakeInteger(5, 3);
    Value b = Value::MakeInteger(5, 9);
    b.text = "left over";
    EXPECT_EQ(a, b);
    EXPECT_FALSE(Value::MakeInteger(5) == Value::MakeInteger(6));
    EXPECT_FALSE(Value::MakeString("x") == Value::MakeIdentifier("x"));
    EXPECT_FALSE(Value::MakeSet({"a", "b"}) == Value::MakeSet({"b", "a"}));
    Object x{"A", "T", {{"P", Value::MakeInteger(1), 4}}, {}, 1};
    Object y{"A", "T", {{"P", Value::MakeInteger(1), 7}}, {}, 2};
    EXPECT_EQ(x, y);
    y.children.push_back(Object{"B", "T", {}, {}, 0});
    EXPECT_FALSE(x == y);
}

std::string Nested(int depth) {
    std::string text;
    for (int i = 1; i <= depth; ++i)
        text += "object O" + std::to_string(i) + " : T {\n";
    for (int i = 1; i <= depth; ++i)
        text += "}\n";
    return text;
}

// 65536 lines of 16 bytes: exactly the size limit.
std::string Padding(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i)
        text += "# padding 16 b.\n";
    return text;
}

TEST(StoredDescription, AcceptsTheLimitsExactly) {
    const Object deep = Parse(Nested(kMaxDepth));
    EXPECT_EQ(Parse(Write(deep)), deep);

    const std::string full = Padding(65535) + "object A : T {}\n";
    ASSERT_EQ(full.size(), kMaxTextSize);
    EXPECT_EQ(Parse(full).line, 65536);
}

// ---- Malformed text ------------------------------------------------------------------------

struct Malformed {
    const char* name;
    std::string text;
    int line;
    const char* message; // a fragment of what() after "line N: "
};

std::ostream& operator<<(std::ostream& os, const Malformed& m) {
    return os << m.name;
}

class MalformedText : public testing::TestWithParam<Malformed> {};

TEST_P(MalformedText, IsRefusedWithItsLine) {
    const Malformed& m = GetParam();
    try {
        Parse(m.text);
        FAIL() << "parsed";
    } catch (const ParseError& e) {
        EXPECT_EQ(e.line(), m.line) << e.what();
        const std::string prefix = "line " + std::to_string(m.line) + ": ";
        EXPECT_EQ(std::string(e.what()).rfind(prefix, 0), 0u) << e.what();
        EXPECT_EQ(prefix + e.detail(), e.what());
        EXPECT_NE(e.detail().find(m.message), std::string::npos) << e.what();
    }
}

const std::string kHead = "object A : T {\n";

INSTANTIATE_TEST_SUITE_P(
    StoredDescription, MalformedText,
    testing::Values(
        // Tokens and structure
        Malformed{"UnknownToken", kHead + "  X = 1\n  @Y = 2\n}\n", 3, "unexpected character '@'"},
        Malformed{"Semicolon", kHead + "  X = 1;\n}\n", 2, "unexpected character ';'"},
        Malformed{"NulByte", kHead + std::string("  X = 1\n\0\n}", 11), 3, "unexpected byte 0x00"},
        Malformed{"NonAsciiName", kHead + "  \xC3\xA9 = 1\n}", 2, "unexpected byte 0xC3"},
        Malformed{"EmptyText", "", 1, "expected 'object', found end of text"},
        Malformed{"OnlyComments", "# one\n# two\n", 3, "expected 'object', found end of text"},
        Malformed{"NoObjectKeyword", "form A : T {}", 1, "expected 'object', found name 'form'"},
        Malformed{"MissingClass", "object A {\n}", 1, "expected ':'"},
        Malformed{"MissingEquals", kHead + "  X 1\n}", 2, "expected '=' after 'X'"},
        Malformed{"MissingValue", kHead + "  X =\n}", 3, "expected a value, found '}'"},
        Malformed{"TruncatedAtValue", kHead + "  X =", 2, "found end of text"},
        Malformed{"TruncatedMissingBrace", kHead + "  X = 1\n  object B : T {\n  }\n", 5,
                  "missing '}' of object 'A' opened on line 1"},
        Malformed{"TruncatedInnerObject", kHead + "  object B : T {\n    Y = 2\n", 4,
                  "missing '}' of object 'B' opened on line 2"},
        Malformed{"TrailingGarbage", kHead + "}\n\nX = 1\n", 4, "after the root object"},
        Malformed{"SecondRoot", kHead + "}\nobject B : T {}\n", 3, "after the root object"},
        Malformed{"PropertyAfterChild", kHead + "  object B : T {}\n  X = 1\n}", 3,
                  "properties come first"},
        Malformed{"KeywordAsObjectName", "object object : T {}", 1, "expected an object name"},
        Malformed{"KeywordAsProperty", kHead + "  resource = 1\n}", 2, "found 'resource'"},
        Malformed{"TooDeep", Nested(kMaxDepth + 1), kMaxDepth + 1, "nested deeper than 16"},
        Malformed{"Oversize", Padding(65536) + "object A : T {}\n", 65537, "larger than 1048576"},
        // Names
        Malformed{"TrailingDot", kHead + "  Font. = 1\n}", 2, "invalid name 'Font.'"},
        Malformed{"DoubleDot", kHead + "  Font..Height = 1\n}", 2, "invalid name 'Font.'"},
        Malformed{"DottedClass", "object A : Forms.T {}", 1, "expected a class name"},
        Malformed{"DottedIdentifier", kHead + "  X = a.b\n}", 2, "invalid value 'a.b'"},
        // Numbers
        Malformed{"IntegerOverflow", kHead + "  X = 2147483648\n}", 2, "outside the 32-bit range"},
        Malformed{"IntegerUnderflow", kHead + "\n  X = -2147483649\n}", 3, "outside the 32-bit"},
        Malformed{"HugeInteger", kHead + "  X = " + std::string(5000, '9') + "\n}", 2,
                  "outside the 32-bit range"},
        Malformed{"NumberWithUnit", kHead + "  X = 12px\n}", 2, "invalid number '12px'"},
        Malformed{"LoneSign", kHead + "  X = - 5\n}", 2, "sign must be followed by digits"},
        // Strings
        Malformed{"UnterminatedString", kHead + "  X = \"abc", 2, "unterminated string"},
        Malformed{"StringBrokenByLine", kHead + "  X = \"abc\n\"\n}", 2, "unterminated string"},
        Malformed{"BackslashAtEnd", kHead + "  X = \"abc\\", 2, "unterminated string"},
        Malformed{"BadEscape", kHead + "  X = \"a\\qb\"\n}", 2, "invalid escape '\\q'"},
        Malformed{"EscapeWithoutBraces", kHead + "  X = \"\\u00e9\"\n}", 2, "followed by '{'"},
        Malformed{"EscapeNoDigits", kHead + "  X = \"\\u{}\"\n}", 2, "1 to 6 hex digits"},
        Malformed{"EscapeUnclosed", kHead + "  X = \"\\u{41\"\n}", 2, "1 to 6 hex digits"},
        Malformed{"EscapeTooLong", kHead + "  X = \"\\u{0000041}\"\n}", 2, "more than 6"},
        Malformed{"EscapeSurrogate", kHead + "  X = \"\\u{D800}\"\n}", 2, "not an allowed"},
        Malformed{"EscapeBeyondUnicode", kHead + "  X = \"\\u{110000}\"\n}", 2, "not an allowed"},
        Malformed{"EscapeNul", kHead + "  X = \"\\u{0}\"\n}", 2, "not an allowed"},
        Malformed{"RawTab", kHead + "  X = \"a\tb\"\n}", 2, "control character 0x09"},
        Malformed{"InvalidUtf8Continuation", kHead + "  X = \"\x80\"\n}", 2, "invalid UTF-8"},
        Malformed{"InvalidUtf8Overlong", kHead + "  X = \"\xC0\xAF\"\n}", 2, "invalid UTF-8"},
        Malformed{"InvalidUtf8Surrogate", kHead + "  X = \"\xED\xA0\x80\"\n}", 2, "invalid UTF-8"},
        Malformed{"InvalidUtf8BeyondUnicode", kHead + "  X = \"\xF4\x90\x80\x80\"\n}", 2,
                  "invalid UTF-8"},
        Malformed{"InvalidUtf8Truncated", kHead + "  X = \"\xE3\x81\"\n}", 2, "invalid UTF-8"},
        Malformed{"InvalidUtf8InComment", kHead + "  # \xFF\n}", 2, "invalid UTF-8 in a comment"},
        // Sets and resources
        Malformed{"EmptySetItem", kHead + "  X = [a, , b]\n}", 2, "empty item"},
        Malformed{"TrailingSetComma", kHead + "  X = [a,]\n}", 2, "empty item"},
        Malformed{"OnlyComma", kHead + "  X = [,]\n}", 2, "empty item"},
        Malformed{"DuplicateSetItem", kHead + "  X = [a, b,\n a]\n}", 3, "'a' twice"},
        Malformed{"NumberInSet", kHead + "  X = [a, 1]\n}", 2, "expected a set item"},
        Malformed{"UnclosedSet", kHead + "  X = [a, b\n}", 3, "expected ',' or ']'"},
        Malformed{"ResourceWithoutQuotes", kHead + "  X = resource LOGO\n}", 2,
                  "expected a resource name"},
        Malformed{"EmptyResource", kHead + "  X = resource \"\"\n}", 2, "empty resource name"}),
    [](const testing::TestParamInfo<Malformed>& info) { return info.param.name; });

// ---- Trees without a text form -------------------------------------------------------------

TEST(StoredDescription, WriterRefusesTreesItCannotWriteFaithfully) {
    const auto withProperty = [](std::string name, Value value) {
        return Object{"A", "T", {{std::move(name), std::move(value)}}, {}, 0};
    };
    Object tooDeep{"O", "T", {}, {}, 0};
    for (int i = 0; i < kMaxDepth; ++i)
        tooDeep = Object{"O", "T", {}, {std::move(tooDeep)}, 0};
    Object tooLarge{"A", "T", {}, {}, 0};
    tooLarge.properties.push_back({"X", Value::MakeString(std::string(kMaxTextSize, 'x'))});

    const std::vector<std::pair<const char*, Object>> cases = {
        {"empty object name", Object{"", "T", {}, {}, 0}},
        {"keyword as object name", Object{"object", "T", {}, {}, 0}},
        {"dotted class name", Object{"A", "a.T", {}, {}, 0}},
        {"name with a space", Object{"A B", "T", {}, {}, 0}},
        {"name starting with a digit", Object{"1A", "T", {}, {}, 0}},
        {"keyword as property", withProperty("resource", Value::MakeInteger(1))},
        {"empty dotted part", withProperty("Font..Height", Value::MakeInteger(1))},
        {"invalid identifier", withProperty("X", Value::MakeIdentifier("clWindow Text"))},
        {"keyword as identifier", withProperty("X", Value::MakeIdentifier("object"))},
        {"invalid set item", withProperty("X", Value::MakeSet({"fsBold", ""}))},
        {"duplicate set item", withProperty("X", Value::MakeSet({"fsBold", "fsBold"}))},
        {"empty resource", withProperty("X", Value::MakeResource(""))},
        {"invalid UTF-8", withProperty("X", Value::MakeString("\xE3\x81"))},
        {"U+0000", withProperty("X", Value::MakeString(std::string("a\0b", 3)))},
        {"too deep", tooDeep},
        {"too large", tooLarge},
    };
    for (const auto& [name, tree] : cases)
        EXPECT_THROW(Write(tree), WriteError) << name;

    // The message leads to the culprit.
    Object form{"Form1", "TForm", {}, {withProperty("Font.Name", Value::MakeString("\xFF"))}, 0};
    try {
        Write(form);
        FAIL() << "written";
    } catch (const WriteError& e) {
        EXPECT_STREQ(e.what(), "'Form1' > 'A' > 'Font.Name': invalid UTF-8 in a string");
    }
}

} // namespace
} // namespace toolkit::stored
