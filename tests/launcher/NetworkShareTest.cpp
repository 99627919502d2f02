// The launcher started from a network share (\\server\share\folder): it reads the Setup.ini of
// that folder and starts the installer there by its full network name, with one backslash
// between the folder and each name, at the share's root too.
#include "LauncherTestSupport.h"

#include <string>
#include <vector>

namespace launcher_test {
namespace {

using namespace platform;

struct ShareCase {
    const char* name{};
    // As SetCurrentDirectory kept it, and as GetCurrentDirectoryW reports it.
    std::u16string currentDirectory;
    std::u16string package;
    // What the launcher must hand to CreateFileA and CreateProcessW.
    std::string setupFile;
    std::u16string installer;
};

void PrintTo(const ShareCase& c, std::ostream* os) {
    *os << c.name;
}

const ShareCase kShareCases[] = {
    {"Folder", u"\\\\Server\\Share\\Package", u"\\\\Server\\Share\\Package",
     "\\\\Server\\Share\\Package\\Setup.ini", u"\\\\Server\\Share\\Package\\Drivers\\dpinst64.exe"},
    {"FolderKeptWithItsBackslash", u"\\\\Server\\Share\\Package\\", u"\\\\Server\\Share\\Package",
     "\\\\Server\\Share\\Package\\Setup.ini", u"\\\\Server\\Share\\Package\\Drivers\\dpinst64.exe"},
    // Unlike a drive's root ("C:\"), a share's root is reported without a backslash.
    {"ShareRoot", u"\\\\Server\\Share\\", u"\\\\Server\\Share", "\\\\Server\\Share\\Setup.ini",
     u"\\\\Server\\Share\\Drivers\\dpinst64.exe"},
    {"Nested", u"\\\\Server\\Share\\Vendor\\Driver 2.08", u"\\\\Server\\Share\\Vendor\\Driver 2.08",
     "\\\\Server\\Share\\Vendor\\Driver 2.08\\Setup.ini",
     u"\\\\Server\\Share\\Vendor\\Driver 2.08\\Drivers\\dpinst64.exe"},
};

class NetworkShareTest : public LauncherTest, public ::testing::WithParamInterface<ShareCase> {};

TEST_P(NetworkShareTest, ReadsItsSetupFileAndStartsTheInstallerThere) {
    const ShareCase& c = GetParam();
    SimConfig config = Config();
    config.networkShares = {u"\\\\Server\\Share"};
    config.currentDirectory = c.currentDirectory;
    config.moduleFileName = c.package + u"\\Setup.exe";
    Start(config);
    Desktop().CreateHostFile(c.package + u"\\Setup.ini", kGoodSetupIni);
    Desktop().ScriptProcess(c.installer, platform::sim::ProcessScript::Exits(0));
    std::vector<std::u16string> labels;
    Desktop().OnIdle([&] {
        for (toolkit::TControl* label :
             {MainForm->LabelTitle, MainForm->LabelType, MainForm->LabelVersion}) {
            labels.push_back(Shown(label));
        }
        Desktop().ClickButton(MainForm->BtnInstall->Handle());
    });

    EXPECT_EQ(RunLauncher(), 0);

    ASSERT_FALSE(Desktop().FileOpens().empty());
    EXPECT_EQ(Desktop().FileOpens().front().path, c.setupFile);
    EXPECT_NE(Desktop().FileOpens().front().handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(labels, (std::vector<std::u16string>{u"Example Driver", u"TYPE-3", u"Ver.2.08.28"}));
    EXPECT_TRUE(BoxesOf(Desktop()).empty());
    ASSERT_EQ(Desktop().Launches().size(), 1u);
    const auto& launch = Desktop().Launches().front();
    EXPECT_EQ(launch.applicationName, c.installer);
    EXPECT_EQ(launch.commandLine, u"\"" + c.installer + u"\"");
    EXPECT_EQ(launch.currentDirectoryPointer, nullptr); // runs in the share's folder
    EXPECT_TRUE(launch.result);
    EXPECT_TRUE(launch.waited);
}

INSTANTIATE_TEST_SUITE_P(Folders, NetworkShareTest, ::testing::ValuesIn(kShareCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A share without the installer: the start fails as on a drive, with the error a missing file
// gives, and the launcher ends after its message.
using ShareWithoutInstallerTest = LauncherTest;

TEST_F(ShareWithoutInstallerTest, ShowsTheStartFailureAndEnds) {
    SimConfig config = Config();
    config.networkShares = {u"\\\\Server\\Share"};
    config.currentDirectory = u"\\\\Server\\Share\\Package";
    Start(config);
    Desktop().CreateHostFile(u"\\\\Server\\Share\\Package\\Setup.ini", kGoodSetupIni);
    Desktop().OnIdle([this] { Desktop().ClickButton(MainForm->BtnInstall->Handle()); });

    EXPECT_EQ(RunLauncher(), 0);

    ASSERT_EQ(Desktop().Launches().size(), 1u);
    EXPECT_EQ(Desktop().Launches().front().applicationName,
              u"\\\\Server\\Share\\Package\\Drivers\\dpinst64.exe");
    EXPECT_EQ(Desktop().Launches().front().error, ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(BoxesOf(Desktop()), (std::vector<Box>{{u"It failed in the start from an installer.",
                                                     u"ERROR", MB_ICONINFORMATION}}));
    EXPECT_FALSE(Desktop().IdleExhausted());
}

} // namespace
} // namespace launcher_test
