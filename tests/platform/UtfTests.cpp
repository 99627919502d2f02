// The one UTF-8/UTF-16 conversion: well-formed text round-trips, malformed text becomes U+FFFD
// byte by byte instead of swallowing what follows.
#include "platform/Utf.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Utf8Case {
    const char* name;
    std::string utf8;
    std::u16string utf16;
};

void PrintTo(const Utf8Case& c, std::ostream* os) {
    *os << c.name;
}

class Utf8ToUtf16Test : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8ToUtf16Test, Converts) {
    EXPECT_EQ(platform::Utf8ToUtf16(GetParam().utf8), GetParam().utf16);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8ToUtf16Test,
    ::testing::Values(Utf8Case{"AsciiAndEveryLength", "A\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80",
                               u"A\u00E9\u3042\U0001F600"},
                      Utf8Case{"OverlongSlash", "\xC0\xAFx", u"\uFFFD\uFFFDx"},
                      Utf8Case{"EncodedSurrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
                      Utf8Case{"AboveTheLastScalar", "\xF4\x90\x80\x80",
                               u"\uFFFD\uFFFD\uFFFD\uFFFD"},
                      Utf8Case{"TruncatedKeepsTheNextCharacter",
                               "\xE3\x81"
                               "A",
                               u"\uFFFD\uFFFDA"},
                      Utf8Case{"StrayContinuation", "\x80", u"\uFFFD"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Utf16ToUtf8Test, PairsJoinAndLoneSurrogatesBecomeReplacements) {
    EXPECT_EQ(platform::Utf16ToUtf8(u"\u00E9\U0001F600"), "\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(platform::Utf16ToUtf8(std::u16string{char16_t(0xD800), u'x', char16_t(0xDC00)}),
              "\xEF\xBF\xBDx\xEF\xBF\xBD");
}

} // namespace
