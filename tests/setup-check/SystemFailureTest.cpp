// setup-check where the system fails rather than the file: names that cannot be opened, a read
// error, no memory, a folder the code page cannot name. Real files cannot be made to fail so,
// so these run on the simulated desktop; the table in cases.py covers the file's own causes.
#include "setupcheck/SetupCheck.h"

#include "platform/sim/SimDesktop.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using platform::sim::SimConfig;
using platform::sim::SimDesktop;

constexpr char16_t kFolder[] = u"C:\\Packages\\Demo";
const std::string kGoodFile = "$TITLE=\"T\"\n$DRV_TYPE=\"K\"\n$DRV_VERSION=\"1\"\n$END\n";

struct SystemCase {
    const char* name{};
    std::vector<std::pair<std::u16string, std::string>> files{};
    std::function<void(SimDesktop&)> arrange{};
    int status = 0;
    std::vector<std::u16string> out{};
    std::u16string folder = kFolder;
};

void PrintTo(const SystemCase& c, std::ostream* os) {
    *os << c.name;
}

std::u16string In(std::u16string_view name) {
    return std::u16string(kFolder) + u"\\" + std::u16string(name);
}

const SystemCase kCases[] = {
    {.name = "SetupIniLocked",
     .files = {{u"Setup.ini", kGoodFile}, {u".setup_ini", "$TITLE=\"second\"\n$END\n"}},
     .arrange = [](SimDesktop& d) { d.LockPath(In(u"Setup.ini")); },
     .status = 0,
     .out = {u"File: pkg/.setup_ini (Setup.ini: another program holds it open)", u"Code page: 1252",
             u"Title: second", u"Type: ????????", u"Version: ?.??.??",
             u"pkg/.setup_ini:2: warning: there is no $DRV_TYPE line, so the window shows the "
             u"placeholder \"????????\"; add $DRV_TYPE = \"...\" before $END",
             u"pkg/.setup_ini:2: warning: there is no $DRV_VERSION line, so the window shows the "
             u"placeholder \"?.??.??\"; add $DRV_VERSION = \"...\" before $END",
             u"Result: Setup.exe opens its window with these texts"}},
    {.name = "BothNamesLockedOrDenied",
     .files = {{u"Setup.ini", kGoodFile}, {u".setup_ini", kGoodFile}},
     .arrange =
         [](SimDesktop& d) {
             d.LockPath(In(u"Setup.ini"));
             d.LockPath(In(u".setup_ini"), platform::ERROR_ACCESS_DENIED);
         },
     .status = 1,
     .out = {u"File: none", u"Code page: 1252",
             u"pkg/Setup.ini: error: neither Setup.ini (another program holds it open) nor "
             u".setup_ini (access denied) can be opened; put the setup file, named Setup.ini, in "
             u"the package folder",
             u"Result: Setup.exe shows the message \"Can not open the setup file ('Setup.ini' or "
             u"'.setup_ini')\" and ends without its window"}},
    // 14 bytes: the first line and "$DR" of the second.
    {.name = "ReadError",
     .files = {{u"Setup.ini", kGoodFile}},
     .arrange = [](SimDesktop& d) { d.FailReadAfter(In(u"Setup.ini"), 14); },
     .status = 1,
     .out = {u"File: pkg/Setup.ini", u"Code page: 1252",
             u"pkg/Setup.ini:2: error: the system failed to read the file; copy it anew",
             u"Result: Setup.exe shows the message "
             u"\"\u8A2D\u5B9A\u30D5\u30A1\u30A4\u30EB\u306E\u8AAD\u307F\u8FBC\u307F\u306B\u5931"
             u"\u6557\u3057\u307E\u3057\u305F.\" and ends without its window"}},
    {.name = "NoMemoryForTheSecondLine",
     .files = {{u"Setup.ini", kGoodFile}},
     .arrange =
         [](SimDesktop& d) {
             d.FailHeapAlloc([](const platform::sim::HeapAllocRequest& r) { return r.index >= 1; });
         },
     .status = 1,
     .out = {u"File: pkg/Setup.ini", u"Code page: 1252",
             u"pkg/Setup.ini:2: error: out of memory while reading this line",
             u"Result: Setup.exe shows the message \"failed to read a setup file (out of "
             u"memory)\" and ends without its window"}},
    {.name = "FolderOutsideTheCodePage",
     .files = {{u"Setup.ini", kGoodFile}},
     .status = 1,
     .out = {u"File: none", u"Code page: 1252",
             u"pkg/Setup.ini: error: the folder's path cannot be written in the system's ANSI "
             u"code page (1252), so Setup.exe cannot open a file in it; move the package to a "
             u"folder whose path the code page can write",
             u"Result: Setup.exe shows the message \"Can not open the setup file ('Setup.ini' or "
             u"'.setup_ini')\" and ends without its window"},
     .folder = u"C:\\\u041F\u0430\u043A\u0435\u0442"},
};

class SystemFailureTest : public ::testing::TestWithParam<SystemCase> {};

TEST_P(SystemFailureTest, ReportsTheCause) {
    const SystemCase& c = GetParam();
    SimConfig config;
    config.currentDirectory = c.folder;
    SimDesktop desktop(config);
    for (const auto& [name, bytes] : c.files) {
        desktop.CreateHostFile(c.folder + u"\\" + name, bytes);
    }
    if (c.arrange) {
        c.arrange(desktop);
    }
    platform::ScopedApi installed(desktop);

    std::vector<std::u16string> out;
    std::vector<std::u16string> err;
    setupcheck::Place place;
    place.shownFolder = u"pkg";
    const int status = setupcheck::CheckPackage(
        setupcheck::Options{}, place, [&](std::u16string_view l) { out.emplace_back(l); },
        [&](std::u16string_view l) { err.emplace_back(l); });

    EXPECT_EQ(status, c.status);
    EXPECT_EQ(out, c.out);
    EXPECT_EQ(err, std::vector<std::u16string>{});
    // The file is closed however the reading ended.
    EXPECT_TRUE(desktop.Ledger().Outstanding().empty()) << desktop.Ledger().Report();
}

INSTANTIATE_TEST_SUITE_P(Cases, SystemFailureTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
