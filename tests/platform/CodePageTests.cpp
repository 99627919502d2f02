// Conversions with the ANSI code page and the locale calls, with Windows' length conventions.
#include "SimFixture.h"

#include <cstring>
#include <string>

namespace simtest {
namespace {

class CodePageTest : public SimTest {
protected:
    void UseCodePage(UINT codePage) {
        sim::SimConfig config;
        config.ansiCodePage = codePage;
        Start(config);
    }
    std::u16string ToWide(UINT codePage, const std::string& bytes, DWORD flags = 0) {
        int n = Desk().MultiByteToWideChar(codePage, flags, bytes.data(),
                                           static_cast<int>(bytes.size()), nullptr, 0);
        std::u16string out(static_cast<std::size_t>(n), u'\0');
        if (n > 0) {
            Desk().MultiByteToWideChar(codePage, flags, bytes.data(),
                                       static_cast<int>(bytes.size()), out.data(), n);
        }
        return out;
    }
    std::string ToBytes(UINT codePage, const std::u16string& text, DWORD flags, BOOL* usedDefault) {
        int n =
            Desk().WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
        std::string out(static_cast<std::size_t>(n), '\0');
        Desk().WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()),
                                   out.data(), n, nullptr, usedDefault);
        return out;
    }
};

TEST_F(CodePageTest, BytesBecomeTextWithTheCodePage) {
    struct Case {
        UINT codePage;
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {932, "\x83\x5C\x83\x74\x83\x67", u"ソフト"}, // a trail byte equal to the backslash
        {932, "\x82\xA0 a\\~", u"あ a\\~"},
        {932, "\x81\x60", u"\uFF5E"}, // Windows' 932 maps this to the full-width tilde
        {932, "\x83", u"\u30FB"},     // a lead byte alone
        {1252, "\x80\x9F\xE9", u"\u20AC\u0178\u00E9"},
        {1252, "\x81\x8D", u"\u0081\u008D"}, // undefined bytes map to themselves
        {65001, "\xC3\xA9\xE3\x81\x82", u"\u00E9\u3042"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToWide(c.codePage, c.bytes), c.text) << c.codePage << " " << c.bytes;
    }
    // CP_ACP is the configured page.
    UseCodePage(932);
    EXPECT_EQ(ToWide(CP_ACP, "\x83\x5C"), u"ソ");
    UseCodePage(1252);
    EXPECT_EQ(ToWide(CP_ACP, "\x83\x5C"), u"\u0192\\");
}

TEST_F(CodePageTest, LengthConventions) {
    char16_t wide[8];
    // -1: the terminator is converted and counted.
    EXPECT_EQ(Desk().MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4);
    EXPECT_EQ(Desk().MultiByteToWideChar(CP_ACP, 0, "abc", -1, wide, 8), 4);
    EXPECT_EQ(std::u16string(wide), u"abc");
    EXPECT_EQ(Desk().MultiByteToWideChar(CP_ACP, 0, "abc", 3, nullptr, 0), 3);
    EXPECT_EQ(Desk().MultiByteToWideChar(CP_ACP, 0, "abcdef", -1, wide, 3), 0);
    EXPECT_EQ(Desk().GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(Desk().MultiByteToWideChar(CP_ACP, 0, "abc", 0, wide, 8), 0);
    EXPECT_EQ(Desk().GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Desk().MultiByteToWideChar(65001, MB_ERR_INVALID_CHARS, "\xFF", 1, wide, 8), 0);
    EXPECT_EQ(Desk().GetLastError(), ERROR_NO_UNICODE_TRANSLATION);

    char bytes[8];
    EXPECT_EQ(Desk().WideCharToMultiByte(CP_ACP, 0, u"abc", -1, nullptr, 0, nullptr, nullptr), 4);
    EXPECT_EQ(Desk().WideCharToMultiByte(CP_ACP, 0, u"abcdef", -1, bytes, 3, nullptr, nullptr), 0);
    EXPECT_EQ(Desk().GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    BOOL used = FALSE;
    EXPECT_EQ(Desk().WideCharToMultiByte(65001, 0, u"a", -1, bytes, 8, nullptr, &used), 0);
    EXPECT_EQ(Desk().GetLastError(), ERROR_INVALID_PARAMETER); // UTF-8 has no default character
}

TEST_F(CodePageTest, InexpressibleCharactersUseTheDefaultAndSaySo) {
    struct Case {
        UINT codePage;
        std::u16string text;
        DWORD flags;
        std::string bytes;
        BOOL usedDefault;
    };
    const Case cases[] = {
        {1252, u"Demo", WC_NO_BEST_FIT_CHARS, "Demo", FALSE},
        {1252, u"Демо", WC_NO_BEST_FIT_CHARS, "????", TRUE},
        {1252, u"ソフト", 0, "???", TRUE},
        {1252, u"Ā", 0, "A", FALSE}, // a best fit is no default character
        {1252, u"Ā", WC_NO_BEST_FIT_CHARS, "?", TRUE},
        {932, u"ソフト\\", WC_NO_BEST_FIT_CHARS, "\x83\x5C\x83\x74\x83\x67\\", FALSE},
        {932, u"é", WC_NO_BEST_FIT_CHARS, "?", TRUE},
        {932, u"é", 0, "e", FALSE},
    };
    for (const Case& c : cases) {
        BOOL used = 2;
        EXPECT_EQ(ToBytes(c.codePage, c.text, c.flags, &used), c.bytes);
        EXPECT_EQ(used, c.usedDefault);
    }
    // A default character of the caller's choice.
    char bytes[8] = {};
    BOOL used = FALSE;
    EXPECT_EQ(Desk().WideCharToMultiByte(1252, 0, u"я", 1, bytes, 8, "#", &used), 1);
    EXPECT_EQ(bytes[0], '#');
    EXPECT_TRUE(used);
}

// UTF-8 takes no flag but WC_ERR_INVALID_CHARS and no default character; Windows does not say
// which refusal a call breaking both rules gets, so the desktop can give either.
TEST_F(CodePageTest, Utf8RefusalsInEitherOrder) {
    struct Case {
        UINT codePage;
        DWORD flags;
        bool withUsedDefault;
        DWORD flagsFirst;   // the error with the flag check first (0: converts)
        DWORD defaultFirst; // the error with the default-character check first
    };
    const Case cases[] = {
        {CP_UTF8, WC_NO_BEST_FIT_CHARS, true, ERROR_INVALID_FLAGS, ERROR_INVALID_PARAMETER},
        {CP_UTF8, WC_NO_BEST_FIT_CHARS, false, ERROR_INVALID_FLAGS, ERROR_INVALID_FLAGS},
        {CP_UTF8, 0, true, ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER},
        {CP_UTF8, WC_ERR_INVALID_CHARS, false, 0, 0},
        {CP_UTF7, WC_ERR_INVALID_CHARS, false, ERROR_INVALID_FLAGS, ERROR_INVALID_FLAGS},
        {CP_UTF7, WC_NO_BEST_FIT_CHARS, true, ERROR_INVALID_FLAGS, ERROR_INVALID_PARAMETER},
    };
    for (bool defaultFirst : {false, true}) {
        sim::SimConfig config;
        config.ansiCodePage = CP_UTF8;
        config.utf8DefaultCharCheckFirst = defaultFirst;
        Start(config);
        for (UINT page : {UINT{CP_ACP}, UINT{CP_UTF8}}) {
            for (const Case& c : cases) {
                const UINT target = c.codePage == CP_UTF8 ? page : c.codePage;
                const DWORD expected = defaultFirst ? c.defaultFirst : c.flagsFirst;
                char bytes[16] = {};
                BOOL used = FALSE;
                Desk().SetLastError(0);
                const int n =
                    Desk().WideCharToMultiByte(target, c.flags, u"é", 1, bytes, sizeof bytes,
                                               nullptr, c.withUsedDefault ? &used : nullptr);
                EXPECT_EQ(n, expected == 0 ? 2 : 0) << target << " flags " << c.flags;
                EXPECT_EQ(Desk().GetLastError(), expected) << target << " flags " << c.flags;
            }
        }
    }
    EXPECT_EQ(Desk().GetACP(), CP_UTF8);
}

TEST_F(CodePageTest, UpperCaseFollowsTheCodePageAndSparesTrailBytes) {
    char latin[] = "stra\xDF"
                   "e \xE0\xFF\x9A";
    EXPECT_EQ(Desk().CharUpperBuffA(latin, 10), 10u);
    EXPECT_EQ(std::string(latin), "STRA\xDF"
                                  "E \xC0\x9F\x8A");
    UseCodePage(932);
    char japanese[] = "a\x83\x61z";
    Desk().CharUpperBuffA(japanese, 4);
    EXPECT_EQ(std::string(japanese), "A\x83\x61Z");
}

TEST_F(CodePageTest, CompareLikeAWordSort) {
    EXPECT_EQ(Desk().lstrcmpA("JPN", "JPN"), 0);
    EXPECT_LT(Desk().lstrcmpA("abc", "ABD"), 0);
    EXPECT_LT(Desk().lstrcmpA("a", "A"), 0);
    EXPECT_GT(Desk().lstrcmpA("ENU", "ENG"), 0);
    EXPECT_LT(Desk().lstrcmpA("EN", "ENU"), 0);
}

TEST_F(CodePageTest, LocaleInfoGivesTheNameWithItsSize) {
    sim::SimConfig config;
    config.userLcid = 1041;
    config.abbrevLangName = "JPN";
    config.ansiCodePage = 932;
    Start(config);
    EXPECT_EQ(Desk().GetUserDefaultLCID(), 1041u);
    EXPECT_EQ(Desk().GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, nullptr, 0), 4);
    char name[8] = {};
    EXPECT_EQ(Desk().GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, name, 8), 4);
    EXPECT_STREQ(name, "JPN");
    EXPECT_EQ(Desk().GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, name, 3), 0);
    EXPECT_EQ(Desk().GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(Desk().GetLocaleInfoA(1033, LOCALE_SABBREVLANGNAME, name, 8), 4);
    EXPECT_STREQ(name, "ENU");
    EXPECT_EQ(Desk().GetLocaleInfoA(LOCALE_USER_DEFAULT, 0x1004, name, 8), 4);
    EXPECT_STREQ(name, "932");
}

} // namespace
} // namespace simtest
