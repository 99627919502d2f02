// Every message the launcher shows and both button captions, under an English and a Japanese
// user, each on a Western and on a Japanese system: the texts must be exactly the catalogue's
// characters whatever the system's ANSI code page is.
#include "LauncherTestSupport.h"

#include <functional>
#include <string>
#include <tuple>

namespace launcher_test {
namespace {

using platform::MB_ICONEXCLAMATION;
using platform::MB_ICONINFORMATION;

// Written out code point by code point from the catalogue. U+FF08 and U+FF09 are the full-width
// parentheses; every other bracket, quote, blank and full stop is ASCII.
constexpr char16_t kJaError[] = u"\u30A8\u30E9\u30FC";                         // エラー
constexpr char16_t kJaSettingFile[] = u"\u8A2D\u5B9A\u30D5\u30A1\u30A4\u30EB"; // 設定ファイル
constexpr char16_t kJaReadFailed[] =
    u"\u8A2D\u5B9A\u30D5\u30A1\u30A4\u30EB\u306E\u8AAD\u307F\u8FBC\u307F\u306B\u5931\u6557"
    u"\u3057\u307E\u3057\u305F."; // 設定ファイルの読み込みに失敗しました.

struct Locale {
    const char* name{};
    platform::LCID lcid{};
    platform::UINT codePage{};
};

void PrintTo(const Locale& c, std::ostream* os) {
    *os << c.name;
}

const Locale kLocales[] = {
    {"EnglishOnWestern", 1033, 1252},
    {"EnglishOnJapanese", 1033, 932},
    {"JapaneseOnWestern", 1041, 1252},
    {"JapaneseOnJapanese", 1041, 932},
};

struct MessageCase {
    const char* name{};
    Box english{};
    Box japanese{};
    std::function<void(SimConfig&)> configure{};
    std::function<void(SimDesktop&)> arrange{};
    // Install is clicked once the window waits for the user; the action runs just before.
    std::function<void(SimDesktop&)> beforeInstall{};
    bool install = false;
};

void PrintTo(const MessageCase& c, std::ostream* os) {
    *os << c.name;
}

void GoodFile(SimDesktop& desktop) {
    desktop.CreateHostFile(InPackage(u"Setup.ini"), kGoodSetupIni);
}

const MessageCase kMessages[] = {
    {.name = "SetupFileOpenFailed",
     .english = {u"Can not open the setup file ('Setup.ini' or '.setup_ini')", u"ERROR",
                 MB_ICONEXCLAMATION},
     .japanese = {std::u16string(kJaSettingFile) +
                      u"\uFF08\"Setup.ini\" \u307E\u305F\u306F \".setup_ini\"\uFF09"
                      u"\u3092\u958B\u3051\u307E\u305B\u3093",
                  u"ERROR", MB_ICONEXCLAMATION}},
    {.name = "SetupFileReadFailed",
     .english = {kJaReadFailed, kJaError, MB_ICONEXCLAMATION},
     .japanese = {kJaReadFailed, kJaError, MB_ICONEXCLAMATION},
     .arrange = [](SimDesktop& d) { d.CreateHostFile(InPackage(u"Setup.ini"), ""); }},
    {.name = "SetupFileOutOfMemory",
     .english = {u"failed to read a setup file\n(out of memory)", u"ERROR", MB_ICONEXCLAMATION},
     .japanese = {std::u16string(kJaReadFailed) +
                      u"\n\uFF08\u30E1\u30E2\u30EA\u30A2\u30ED\u30B1\u30FC\u30B7\u30E7\u30F3"
                      u"\u30A8\u30E9\u30FC\uFF09",
                  u"ERROR", MB_ICONEXCLAMATION},
     .arrange =
         [](SimDesktop& d) {
             d.CreateHostFile(InPackage(u"Setup.ini"), "$END\n");
             d.FailNextHeapAllocs(1);
         }},
    {.name = "SetupFileContentError",
     .english = {u"Error of setup file(.ini) contents", u"ERROR", MB_ICONEXCLAMATION},
     .japanese = {std::u16string(kJaSettingFile) +
                      u"(.ini)\u306B\u8AA4\u308A\u304C\u3042\u308A\u307E\u3059.",
                  u"ERROR", MB_ICONEXCLAMATION},
     .arrange = [](SimDesktop& d) { d.CreateHostFile(InPackage(u"Setup.ini"), "TITLE\n"); }},
    {.name = "Ia64Unsupported",
     .english = {u"Sorry, it does not support a computer processor \"IA64\".", u"ERROR",
                 MB_ICONEXCLAMATION},
     .japanese = {u"\u3053\u306E\u30B3\u30F3\u30D4\u30E5\u30FC\u30BF\u306ECPU \"IA64\" "
                  u"\u306B\u306F\u5BFE\u5FDC\u3057\u3066\u3044\u307E\u305B\u3093.",
                  u"ERROR", MB_ICONEXCLAMATION},
     .configure =
         [](SimConfig& c) { c.nativeArchitecture = platform::PROCESSOR_ARCHITECTURE_IA64; },
     .arrange = GoodFile,
     .install = true},
    {.name = "UnknownSystem",
     .english = {u"The operating system is unclear.", u"ERROR", MB_ICONEXCLAMATION},
     .japanese = {u"\u30AA\u30DA\u30EC\u30FC\u30C6\u30A3\u30F3\u30B0\u30B7\u30B9\u30C6\u30E0"
                  u"\u306E\u8B58\u5225\u304C\u3067\u304D\u307E\u305B\u3093.",
                  u"ERROR", MB_ICONEXCLAMATION},
     .configure = [](SimConfig& c) { c.nativeArchitecture = platform::PROCESSOR_ARCHITECTURE_ARM; },
     .arrange = GoodFile,
     .install = true},
    {.name = "OutOfMemory",
     .english = {u"Out of memory", u"ERROR", MB_ICONEXCLAMATION},
     .japanese = {u"\u30E1\u30E2\u30EA\u304C\u8DB3\u308A\u307E\u305B\u3093.", u"ERROR",
                  MB_ICONEXCLAMATION},
     .arrange = GoodFile,
     .beforeInstall = [](SimDesktop& d) { d.FailNextHeapAllocs(1); },
     .install = true},
    {.name = "InstallerStartFailed",
     .english = {u"It failed in the start from an installer.", u"ERROR", MB_ICONINFORMATION},
     .japanese = {u"\u30A4\u30F3\u30B9\u30C8\u30FC\u30E9\u3092\u8D77\u52D5\u3067\u304D\u307E"
                  u"\u305B\u3093\u3067\u3057\u305F.",
                  u"ERROR", MB_ICONINFORMATION},
     .arrange = GoodFile,
     .install = true},
    // The platform's own text follows the prefix directly.
    {.name = "InstallError",
     .english = {u"An error occurred during installation.Simulated failure.\r\n", kJaError,
                 MB_ICONEXCLAMATION},
     .japanese = {u"\u30A4\u30F3\u30B9\u30C8\u30FC\u30EB\u4E2D\u306B\u30A8\u30E9\u30FC\u304C"
                  u"\u767A\u751F\u3057\u307E\u3057\u305F.Simulated failure.\r\n",
                  kJaError, MB_ICONEXCLAMATION},
     .arrange =
         [](SimDesktop& d) {
             GoodFile(d);
             d.SetSystemMessage(4242, u"Simulated failure.\r\n");
             platform::sim::ProcessScript script;
             script.waitError = 4242;
             d.ScriptProcess(u"Drivers\\dpinst64.exe", script);
         },
     .install = true},
};

class MessageTextTest : public LauncherTest,
                        public ::testing::WithParamInterface<std::tuple<MessageCase, Locale>> {};

TEST_P(MessageTextTest, ShowsTheCatalogueCharacters) {
    const MessageCase& message = std::get<0>(GetParam());
    const Locale& locale = std::get<1>(GetParam());
    SimConfig config = Config(locale.lcid, locale.codePage);
    if (message.configure) {
        message.configure(config);
    }
    Start(config);
    if (message.arrange) {
        message.arrange(Desktop());
    }
    if (message.install) {
        Desktop().OnIdle([&] {
            if (message.beforeInstall) {
                message.beforeInstall(Desktop());
            }
            Desktop().ClickButton(MainForm->BtnInstall->Handle());
        });
    }

    EXPECT_EQ(RunLauncher(), 0);

    const Box& expected = locale.lcid == 1041 ? message.japanese : message.english;
    EXPECT_EQ(BoxesOf(Desktop()), std::vector<Box>{expected});
}

INSTANTIATE_TEST_SUITE_P(Catalogue, MessageTextTest,
                         ::testing::Combine(::testing::ValuesIn(kMessages),
                                            ::testing::ValuesIn(kLocales)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).name;
                         });

class ButtonCaptionTest : public LauncherTest, public ::testing::WithParamInterface<Locale> {};

TEST_P(ButtonCaptionTest, FollowTheUserLocale) {
    const Locale& locale = GetParam();
    Start(Config(locale.lcid, locale.codePage));
    GoodFile(Desktop());

    App().Initialize();
    App().CreateForm(MainForm);

    const bool japanese = locale.lcid == 1041;
    EXPECT_EQ(Shown(MainForm->BtnInstall),
              japanese ? u"\u30A4\u30F3\u30B9\u30C8\u30FC\u30EB" : u"Install");
    EXPECT_EQ(Shown(MainForm->BtnCancel), japanese ? u"\u4E2D\u6B62" : u"Cancel");
    // The window caption does not depend on the language.
    EXPECT_EQ(Desktop().TextOf(MainForm->Handle()), u"Setup (1.0.3)");
}

INSTANTIATE_TEST_SUITE_P(Locales, ButtonCaptionTest, ::testing::ValuesIn(kLocales),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace launcher_test
