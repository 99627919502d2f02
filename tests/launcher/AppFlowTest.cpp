// The whole launcher on the simulated desktop, from RunLauncher to its return: construction,
// the first showing, the user's ways of ending it, Install, and the exception display.
#include "LauncherTestSupport.h"
#include "RecordingApi.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace launcher_test {
namespace {

using namespace platform;

// The window as the user finds it once it waits for input.
struct WindowSeen {
    bool visible = false;
    bool minimised = false;
    std::u16string caption;
    std::vector<std::u16string> labels;
    std::u16string install, cancel;
    HWND focus = nullptr;
    HWND installButton = nullptr;
};

class AppFlowTest : public LauncherTest {
protected:
    // Looks at the window when the user first gets it.
    void LookAtWindow() {
        Desktop().OnIdle([this] {
            HWND window = MainForm->Handle();
            main_ = window;
            seen_.visible = Desktop().IsWindowVisible(window);
            seen_.minimised = Desktop().IsIconic(window);
            seen_.caption = Desktop().TextOf(window);
            for (toolkit::TControl* label :
                 {MainForm->LabelTitle, MainForm->Label2, MainForm->LabelType,
                  MainForm->LabelVersion, MainForm->Label5}) {
                seen_.labels.push_back(Shown(label));
            }
            seen_.install = Shown(MainForm->BtnInstall);
            seen_.cancel = Shown(MainForm->BtnCancel);
            seen_.focus = Desktop().GetFocus();
            seen_.installButton = MainForm->BtnInstall->Handle();
        });
    }

    // WM_SHOWWINDOW to the main window from the message log: true shown, false hidden.
    std::vector<bool> Showings(std::size_t from = 0) const {
        std::vector<bool> showings;
        const auto& messages = const_cast<AppFlowTest*>(this)->Desktop().Messages();
        for (std::size_t i = from; i < messages.size(); ++i) {
            if (messages[i].window == main_ && messages[i].message == WM_SHOWWINDOW) {
                showings.push_back(messages[i].show);
            }
        }
        return showings;
    }

    HWND main_ = nullptr;
    WindowSeen seen_;
};

TEST_F(AppFlowTest, OpensWithTheFileValuesAndCancelEndsIt) {
    Start();
    WriteFile(u"Setup.ini", kGoodSetupIni);
    LookAtWindow();
    Desktop().OnIdle([this] { Desktop().ClickButton(MainForm->BtnCancel->Handle()); });

    EXPECT_EQ(RunLauncher(), 0);

    EXPECT_TRUE(seen_.visible);
    EXPECT_FALSE(seen_.minimised);
    EXPECT_EQ(seen_.caption, u"Setup (1.0.3)");
    EXPECT_EQ(seen_.labels,
              (std::vector<std::u16string>{u"Example Driver", u"USB DRIVER SOFTWARE", u"TYPE-3",
                                           u"Ver.2.08.28", u"( for Windows 32bit/64bit )"}));
    EXPECT_EQ(seen_.install, u"Install");
    EXPECT_EQ(seen_.cancel, u"Cancel");
    // Install has the focus, so Enter starts it.
    EXPECT_EQ(seen_.focus, seen_.installButton);
    // The loop ended because the window closed, not because the user's script ran dry.
    EXPECT_FALSE(Desktop().IdleExhausted());
    EXPECT_TRUE(Desktop().MessageBoxes().empty());
    EXPECT_TRUE(Desktop().Launches().empty());
    EXPECT_EQ(Showings(), (std::vector<bool>{true, false}));
}

// Every way of closing the window ends the launcher as Cancel does; Escape does nothing.
struct EndingCase {
    const char* name{};
    std::function<void(SimDesktop&)> act{};
    bool ends{};
};

void PrintTo(const EndingCase& c, std::ostream* os) {
    *os << c.name;
}

const EndingCase kEndings[] = {
    {"CancelButton", [](SimDesktop& d) { d.ClickButton(MainForm->BtnCancel->Handle()); }, true},
    {"CloseBox", [](SimDesktop& d) { d.CloseBox(MainForm->Handle()); }, true},
    {"AltF4", [](SimDesktop& d) { d.PressKey(VK_F4, /*alt=*/true); }, true},
    {"Escape", [](SimDesktop& d) { d.PressKey(VK_ESCAPE); }, false},
};

class EndingTest : public AppFlowTest, public ::testing::WithParamInterface<EndingCase> {};

TEST_P(EndingTest, EndsTheLauncherOrNot) {
    Start();
    WriteFile(u"Setup.ini", kGoodSetupIni);
    LookAtWindow();
    Desktop().OnIdle([this] { GetParam().act(Desktop()); });
    bool openAfterwards = false;
    Desktop().OnIdle([&] { openAfterwards = Desktop().IsWindowVisible(main_) != FALSE; });

    EXPECT_EQ(RunLauncher(), 0);

    EXPECT_EQ(openAfterwards, !GetParam().ends);
    EXPECT_EQ(Desktop().IdleExhausted(), !GetParam().ends);
    EXPECT_TRUE(Desktop().Launches().empty());
    EXPECT_TRUE(Desktop().MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Ways, EndingTest, ::testing::ValuesIn(kEndings),
                         [](const auto& info) { return std::string(info.param.name); });

// Without a setup file the message comes first, on its own; the window then shows and closes
// at once.
TEST_F(AppFlowTest, MissingSetupFileReportsBeforeTheWindowShowsThenCloses) {
    Start();
    std::size_t ledgerAtBox = 0;
    HWND applicationWindow = nullptr;
    std::vector<platform::sim::WindowSnapshot> windowsAtBox;
    // Anything the user might do is never asked for: the window is gone before.
    bool userAsked = false;
    Desktop().OnIdle([&] { userAsked = true; });
    Desktop().OnMessageBox([&](const platform::sim::MessageBoxRecord& box) {
        ledgerAtBox = Desktop().Ledger().Events().size();
        applicationWindow = App().Handle();
        windowsAtBox = box.topLevel;
        return 0;
    });

    EXPECT_EQ(RunLauncher(), 0);

    ASSERT_EQ(Desktop().MessageBoxes().size(), 1u);
    const auto& box = Desktop().MessageBoxes().front();
    EXPECT_EQ(box.caption, u"ERROR");
    // Owned by the application's hidden window, with no window of the launcher visible.
    EXPECT_EQ(box.owner, applicationWindow);
    for (const auto& window : windowsAtBox) {
        if (window.window != box.box) {
            EXPECT_FALSE(window.visible) << Utf8(window.className) << " " << Utf8(window.text);
        }
    }
    EXPECT_FALSE(userAsked);
    // The main window's handle is made once its constructor has returned, so after the box;
    // it is the first window made then, before its controls.
    const auto& events = Desktop().Ledger().Events();
    for (std::size_t i = ledgerAtBox; i < events.size() && main_ == nullptr; ++i) {
        if (events[i].kind == HandleKind::Window &&
            events[i].action == platform::sim::LedgerAction::Acquire) {
            main_ = reinterpret_cast<HWND>(events[i].value);
        }
    }
    ASSERT_NE(main_, nullptr);
    // Shown, and at once hidden by the close.
    EXPECT_EQ(Showings(), (std::vector<bool>{true, false}));
}

// Install, by click or by Enter on the fresh window: the installer runs while the window is
// minimised; afterwards the window comes back and the launcher ends.
struct InstallWay {
    const char* name{};
    std::function<void(SimDesktop&)> act{};
};

void PrintTo(const InstallWay& c, std::ostream* os) {
    *os << c.name;
}

const InstallWay kInstallWays[] = {
    {"Click", [](SimDesktop& d) { d.ClickButton(MainForm->BtnInstall->Handle()); }},
    {"Enter", [](SimDesktop& d) { d.PressKey(VK_RETURN); }},
};

class InstallFlowTest : public AppFlowTest, public ::testing::WithParamInterface<InstallWay> {};

TEST_P(InstallFlowTest, RunsTheInstallerThenEnds) {
    Start();
    WriteFile(u"Setup.ini", kGoodSetupIni);
    bool minimisedDuringWait = false;
    bool visibleDuringWait = false;
    platform::sim::ProcessScript script = platform::sim::ProcessScript::Exits(0);
    script.onWait = [&] {
        minimisedDuringWait = Desktop().IsIconic(main_) != FALSE;
        visibleDuringWait = Desktop().IsWindowVisible(main_) != FALSE;
    };
    Desktop().ScriptProcess(u"Drivers\\dpinst64.exe", script);
    LookAtWindow();
    Desktop().OnIdle([this] { GetParam().act(Desktop()); });

    EXPECT_EQ(RunLauncher(), 0);

    ASSERT_EQ(Desktop().Launches().size(), 1u);
    EXPECT_TRUE(Desktop().Launches().front().waited);
    EXPECT_TRUE(minimisedDuringWait);
    EXPECT_TRUE(visibleDuringWait);
    EXPECT_FALSE(Desktop().IdleExhausted());
    EXPECT_TRUE(Desktop().MessageBoxes().empty());
    // Minimised once, restored last, brought to the front.
    std::vector<WPARAM> sizes;
    for (const auto& message : Desktop().MessagesTo(main_)) {
        if (message.message == WM_SIZE && (sizes.empty() || sizes.back() != message.sizeType)) {
            sizes.push_back(message.sizeType);
        }
    }
    EXPECT_EQ(std::count(sizes.begin(), sizes.end(), SIZE_MINIMIZED), 1);
    ASSERT_GE(sizes.size(), 2u);
    EXPECT_EQ(sizes[sizes.size() - 2], SIZE_MINIMIZED);
    EXPECT_EQ(sizes.back(), SIZE_RESTORED);
    const auto& foreground = Desktop().ForegroundRequests();
    ASSERT_FALSE(foreground.empty());
    EXPECT_EQ(foreground.back(), main_);
}

INSTANTIATE_TEST_SUITE_P(Ways, InstallFlowTest, ::testing::ValuesIn(kInstallWays),
                         [](const auto& info) { return std::string(info.param.name); });

// An exception that escapes start-up is shown by the exception display, and the launcher still
// ends with 0. The caption is the program file's name up to its first full stop.
struct BrokenStartCase {
    const char* name{};
    std::u16string moduleFileName{};
    std::function<std::string(std::string)> breakDescription{};
    std::u16string caption{};
    std::u16string textStart{};
};

void PrintTo(const BrokenStartCase& c, std::ostream* os) {
    *os << c.name;
}

std::string Replace(std::string text, std::string_view from, std::string_view to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) {
        text.replace(at, from.size(), to);
    }
    return text;
}

const BrokenStartCase kBrokenStarts[] = {
    {"UnknownPropertyInDescription", u"C:\\x\\SETUP.Final.EXE",
     [](std::string d) { return Replace(d, "  ClientWidth = 394\n", "  Bogus = 394\n"); }, u"Setup",
     u"line 9"},
    {"ComponentMissingFromDescription", u"C:\\x\\my.exe",
     [](std::string d) {
         return Replace(d, "object LabelTitle : TLabel", "object Other : TLabel");
     },
     u"my", u"The window's description has no LabelTitle"},
};

class BrokenStartTest : public AppFlowTest,
                        public ::testing::WithParamInterface<BrokenStartCase> {};

TEST_P(BrokenStartTest, ExceptionDisplayThenZero) {
    const BrokenStartCase& c = GetParam();
    SimConfig config = Config();
    config.moduleFileName = c.moduleFileName;
    const std::string description = c.breakDescription(MainFormDescription());
    Start(config, description);
    WriteFile(u"Setup.ini", kGoodSetupIni);

    EXPECT_EQ(RunLauncher(), 0);

    ASSERT_EQ(Desktop().MessageBoxes().size(), 1u);
    const auto& box = Desktop().MessageBoxes().front();
    EXPECT_EQ(box.caption, c.caption);
    EXPECT_EQ(box.type & 0xF0u, MB_ICONERROR);
    EXPECT_TRUE(box.text.starts_with(c.textStart)) << Utf8(box.text);
    EXPECT_TRUE(box.text.ends_with(u".")) << Utf8(box.text);
    EXPECT_TRUE(Desktop().Ledger().Outstanding(HandleKind::File).empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, BrokenStartTest, ::testing::ValuesIn(kBrokenStarts),
                         [](const auto& info) { return std::string(info.param.name); });

// Before anything can load a library on the launcher's behalf: the DLL search is narrowed to
// the system folder (or, where that call is missing, the current directory leaves it), the
// search path made safe, and heap corruption made fatal. Nothing goes to the system first.
struct HardeningCase {
    const char* name{};
    bool hasDefaultDllDirectories{};
    bool hasSearchPathMode{};
    std::vector<std::string> firstCalls{};
    std::optional<platform::DWORD> dllDirectories{};
    std::optional<std::u16string> dllDirectory{};
    std::optional<platform::DWORD> searchPathMode{};
};

void PrintTo(const HardeningCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr platform::DWORD kSafeSearch =
    BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE | BASE_SEARCH_PATH_PERMANENT;

const HardeningCase kHardenings[] = {
    {"Current", true, true,
     {"SetDefaultDllDirectories", "SetSearchPathMode", "HeapSetInformation"},
     LOAD_LIBRARY_SEARCH_SYSTEM32, std::nullopt, kSafeSearch},
    {"NoDefaultDllDirectories", false, true,
     {"SetDefaultDllDirectories", "SetDllDirectoryW", "SetSearchPathMode", "HeapSetInformation"},
     std::nullopt, u"", kSafeSearch},
    {"NeitherNewCall", false, false,
     {"SetDefaultDllDirectories", "SetDllDirectoryW", "SetSearchPathMode", "HeapSetInformation"},
     std::nullopt, u"", std::nullopt},
};

class HardeningTest : public AppFlowTest, public ::testing::WithParamInterface<HardeningCase> {};

TEST_P(HardeningTest, ComesBeforeEverythingElse) {
    const HardeningCase& c = GetParam();
    SimConfig config = Config();
    config.hasSetDefaultDllDirectories = c.hasDefaultDllDirectories;
    config.hasSetSearchPathMode = c.hasSearchPathMode;
    Start(config);
    WriteFile(u"Setup.ini", kGoodSetupIni);
    LookAtWindow();
    Desktop().OnIdle([this] { Desktop().ClickButton(MainForm->BtnCancel->Handle()); });
    RecordingApi recorder(Desktop());
    platform::ScopedApi recording(recorder);

    EXPECT_EQ(RunLauncher(), 0);

    const std::vector<std::string>& calls = recorder.Calls();
    ASSERT_GT(calls.size(), c.firstCalls.size());
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + c.firstCalls.size()),
              c.firstCalls);
    // None of them again later.
    for (std::size_t i = c.firstCalls.size(); i < calls.size(); ++i) {
        EXPECT_EQ(std::count(c.firstCalls.begin(), c.firstCalls.end(), calls[i]), 0) << calls[i];
    }
    const platform::sim::ProcessSettings& settings = Desktop().Settings();
    EXPECT_EQ(settings.defaultDllDirectories, c.dllDirectories);
    EXPECT_EQ(settings.dllDirectory, c.dllDirectory);
    EXPECT_EQ(settings.searchPathMode, c.searchPathMode);
    EXPECT_TRUE(settings.heapTerminationOnCorruption);
    // The launcher carries on as ever.
    EXPECT_TRUE(seen_.visible);
    EXPECT_EQ(seen_.caption, u"Setup (1.0.3)");
}

INSTANTIATE_TEST_SUITE_P(Cases, HardeningTest, ::testing::ValuesIn(kHardenings),
                         [](const auto& info) { return std::string(info.param.name); });

// The example files that the release ZIP gives package authors open the window with their
// values, each on the system it is written for.
struct ReleaseExampleCase {
    const char* name{};
    const char* file{};
    platform::LCID locale{};
    platform::UINT codePage{};
    std::u16string title{};
    std::u16string install{};
};

void PrintTo(const ReleaseExampleCase& c, std::ostream* os) {
    *os << c.name;
}

const ReleaseExampleCase kReleaseExamples[] = {
    {"English", "English/Setup.ini", 1033, 1252, u"Example USB Driver", u"Install"},
    {"Japanese", "Japanese/Setup.ini", 1041, 932, u"サンプル USB ドライバ", u"インストール"},
};

class ReleaseExampleTest : public AppFlowTest,
                           public ::testing::WithParamInterface<ReleaseExampleCase> {};

TEST_P(ReleaseExampleTest, OpensWithItsValues) {
    const ReleaseExampleCase& c = GetParam();
    std::ifstream file(std::string(SETUP_RESOURCE_DIR) + "/../examples/release/" + c.file,
                       std::ios::binary);
    ASSERT_TRUE(file) << c.file;
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    Start(Config(c.locale, c.codePage));
    WriteFile(u"Setup.ini", bytes);
    LookAtWindow();
    Desktop().OnIdle([this] { Desktop().ClickButton(MainForm->BtnCancel->Handle()); });

    EXPECT_EQ(RunLauncher(), 0);

    EXPECT_TRUE(Desktop().MessageBoxes().empty());
    EXPECT_TRUE(seen_.visible);
    EXPECT_EQ(seen_.labels,
              (std::vector<std::u16string>{c.title, u"USB DRIVER SOFTWARE", u"TYPE-4",
                                           u"Ver.3.10.02", u"( for Windows 32bit/64bit )"}));
    EXPECT_EQ(seen_.install, c.install);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReleaseExampleTest, ::testing::ValuesIn(kReleaseExamples),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace launcher_test
