// The current directory reaches the 8-bit file interface in the ANSI code page, whichever of
// its refusals a UTF-8 code page gives first.
#include "LauncherTestSupport.h"
#include "launcher/SetupFile.h"

#include <gtest/gtest.h>

namespace launcher_test {
namespace {

struct DirectoryCase {
    const char* name;
    platform::UINT codePage;
    bool defaultCharCheckFirst;
    std::u16string directory;
    std::string ansiPath; // what CreateFileA must be given; empty: no open at all
};

void PrintTo(const DirectoryCase& c, std::ostream* os) {
    *os << c.name;
}

// "C:\Пакет\ドライバ" and "C:\Été" in UTF-8, as the file interface of a UTF-8 system takes them.
const DirectoryCase kCases[] = {
    {"Utf8FlagsRefusedFirst", 65001, false,
     u"C:\\\u041F\u0430\u043A\u0435\u0442\\\u30C9\u30E9\u30A4\u30D0",
     "C:"
     "\\\xD0\x9F\xD0\xB0\xD0\xBA\xD0\xB5\xD1\x82\\\xE3\x83\x89\xE3\x83\xA9\xE3\x82\xA4\xE3\x83\x90"
     "\\Setup.ini"},
    {"Utf8DefaultCharRefusedFirst", 65001, true,
     u"C:\\\u041F\u0430\u043A\u0435\u0442\\\u30C9\u30E9\u30A4\u30D0",
     "C:"
     "\\\xD0\x9F\xD0\xB0\xD0\xBA\xD0\xB5\xD1\x82\\\xE3\x83\x89\xE3\x83\xA9\xE3\x82\xA4\xE3\x83\x90"
     "\\Setup.ini"},
    {"Utf8Latin1", 65001, true, u"C:\\\u00C9t\u00E9", "C:\\\xC3\x89t\xC3\xA9\\Setup.ini"},
    {"Ansi1252Latin1", 1252, false, u"C:\\\u00C9t\u00E9", "C:\\\xC9t\xE9\\Setup.ini"},
    // A best-fit "Paket" would name another directory.
    {"Ansi1252Cyrillic", 1252, false, u"C:\\\u041F\u0430\u043A\u0435\u0442", ""},
};

class DirectoryConversionTest : public LauncherTest,
                                public ::testing::WithParamInterface<DirectoryCase> {};

TEST_P(DirectoryConversionTest, OpensSetupFileFromDirectory) {
    const DirectoryCase& c = GetParam();
    SimConfig config = Config(1033, c.codePage);
    config.currentDirectory = c.directory;
    config.utf8DefaultCharCheckFirst = c.defaultCharCheckFirst;
    Start(config);
    Desktop().CreateHostFile(c.directory + u"\\Setup.ini", "$END\n");

    platform::UniqueKernelHandle file = launcher::OpenSetupFile();

    if (c.ansiPath.empty()) {
        EXPECT_FALSE(file);
        EXPECT_TRUE(Desktop().FileOpens().empty());
        return;
    }
    ASSERT_TRUE(file);
    ASSERT_FALSE(Desktop().FileOpens().empty());
    EXPECT_EQ(Desktop().FileOpens().front().path, c.ansiPath);
    char bytes[8] = {};
    platform::DWORD got = 0;
    ASSERT_TRUE(Desktop().ReadFile(file.get(), bytes, sizeof bytes, &got, nullptr));
    EXPECT_EQ(std::string(bytes, got), "$END\n");
}

INSTANTIATE_TEST_SUITE_P(CodePages, DirectoryConversionTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace launcher_test
