// Install: one row per outcome of the action. Each row gives the order of what the user sees
// and what the launcher acquires and releases (the command buffer, the installer's process and
// thread handles, the platform's message text), which installer was started, whether the window
// was minimised and restored, and whether the launcher ended.
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
using platform::sim::LedgerAction;
using platform::sim::ProcessScript;

// The installers in the package folder, the current directory: the only place they may come from.
const std::u16string kDpinst = InPackage(u"Drivers\\dpinst.exe");
const std::u16string kDpinst64 = InPackage(u"Drivers\\dpinst64.exe");
// Another folder, neither current nor the package's.
constexpr char16_t kTools[] = u"C:\\Tools";
const std::u16string kToolsDpinst64 = u"C:\\Tools\\Drivers\\dpinst64.exe";

struct InstallCase {
    const char* name{};
    std::function<void(SimConfig&)> configure{};
    // The installer the launcher is expected to ask for (its full path), and how that process
    // behaves when it is there.
    std::optional<std::u16string> installer{};
    std::optional<ProcessScript> script{};
    std::function<void(SimDesktop&)> arrange{};
    std::function<void(SimDesktop&)> beforeClick{};
    int clicks = 1;
    // Everything in order: acquisitions and releases, the wait, the message boxes, and
    // "window still open" when the action left it open.
    std::vector<std::string> effects{};
    // WM_SIZE types the window got after the click (repeats folded): 1 minimised, 0 restored.
    std::vector<WPARAM> sizes{};
    bool broughtToFront = false;
    bool ends = true;
};

void PrintTo(const InstallCase& c, std::ostream* os) {
    *os << c.name;
}

void Architecture(SimConfig& config, WORD architecture) {
    config.nativeArchitecture = architecture;
}

// Where the system has IsWow64Process2, what it says wins.
std::function<void(SimConfig&)> Wow64(USHORT nativeMachine, WORD systemInfoArchitecture) {
    return [=](SimConfig& config) {
        config.nativeArchitecture = systemInfoArchitecture;
        config.hasIsWow64Process2 = true;
        config.wow64ProcessMachine = IMAGE_FILE_MACHINE_I386;
        config.wow64NativeMachine = nativeMachine;
    };
}

ProcessScript Script(DWORD exitCode, DWORD waitError = 0, DWORD exitCodeError = 0) {
    ProcessScript script = ProcessScript::Exits(exitCode);
    script.waitError = waitError;
    script.exitCodeError = exitCodeError;
    return script;
}

const std::vector<std::string> kNormalRun = {
    "acquire buffer",  "acquire process", "acquire thread", "wait while minimised",
    "release process", "release thread",  "release buffer"};

const std::vector<std::string> kStartFailed = {
    "acquire buffer", "release buffer",
    "box [information] while shown: It failed in the start from an installer."};

const std::string kUnknownBox = "box [exclamation] while shown: The operating system is unclear.";
const std::string kIa64Box =
    "box [exclamation] while shown: Sorry, it does not support a computer processor \"IA64\".";

const InstallCase kCases[] = {
    {.name = "X86StartsDpinst",
     .configure = [](SimConfig& c) { Architecture(c, PROCESSOR_ARCHITECTURE_INTEL); },
     .installer = kDpinst,
     .script = Script(0),
     .effects = kNormalRun,
     .sizes = {SIZE_MINIMIZED, SIZE_RESTORED},
     .broughtToFront = true},
    // The installer's exit status changes nothing.
    {.name = "X64StartsDpinst64",
     .configure = [](SimConfig& c) { Architecture(c, PROCESSOR_ARCHITECTURE_AMD64); },
     .installer = kDpinst64,
     .script = Script(3),
     .effects = kNormalRun,
     .sizes = {SIZE_MINIMIZED, SIZE_RESTORED},
     .broughtToFront = true},
    // Refused each time, and the window stays as it was.
    {.name = "Ia64RefusedTwice",
     .configure = [](SimConfig& c) { Architecture(c, PROCESSOR_ARCHITECTURE_IA64); },
     .clicks = 2,
     .effects = {kIa64Box, kIa64Box, "window still open"},
     .ends = false},
    {.name = "ArmUnknown",
     .configure = [](SimConfig& c) { Architecture(c, PROCESSOR_ARCHITECTURE_ARM); },
     .effects = {kUnknownBox}},
    {.name = "Arm64Unknown",
     .configure = [](SimConfig& c) { Architecture(c, PROCESSOR_ARCHITECTURE_ARM64); },
     .effects = {kUnknownBox}},
    {.name = "UnidentifiedArchitecture",
     .configure = [](SimConfig& c) { Architecture(c, PROCESSOR_ARCHITECTURE_UNKNOWN); },
     .effects = {kUnknownBox}},
    // An emulated x64 is what GetNativeSystemInfo tells a 32-bit process on ARM64.
    {.name = "Arm64ThroughIsWow64Process2",
     .configure = Wow64(IMAGE_FILE_MACHINE_ARM64, PROCESSOR_ARCHITECTURE_AMD64),
     .effects = {kUnknownBox}},
    {.name = "X64ThroughIsWow64Process2",
     .configure = Wow64(IMAGE_FILE_MACHINE_AMD64, PROCESSOR_ARCHITECTURE_INTEL),
     .installer = kDpinst64,
     .script = Script(0),
     .effects = kNormalRun,
     .sizes = {SIZE_MINIMIZED, SIZE_RESTORED},
     .broughtToFront = true},
    {.name = "Ia64ThroughIsWow64Process2",
     .configure = Wow64(IMAGE_FILE_MACHINE_IA64, PROCESSOR_ARCHITECTURE_INTEL),
     .effects = {kIa64Box, "window still open"},
     .ends = false},
    {.name = "NoMemoryForCommandBuffer",
     .beforeClick = [](SimDesktop& d) { d.FailNextHeapAllocs(1); },
     .effects = {"box [exclamation] while shown: Out of memory"}},
    // Restored and in front before the message; the buffer is gone by then.
    {.name = "InstallerMissing",
     .installer = kDpinst64,
     .effects = kStartFailed,
     .sizes = {SIZE_MINIMIZED, SIZE_RESTORED},
     .broughtToFront = true},
    {.name = "InstallerCannotStart",
     .installer = kDpinst64,
     .script = ProcessScript::CannotStart(ERROR_ACCESS_DENIED),
     .effects = kStartFailed,
     .sizes = {SIZE_MINIMIZED, SIZE_RESTORED},
     .broughtToFront = true},
    // A folder by the installer's name is no program.
    {.name = "FolderNamedLikeTheInstaller",
     .installer = kDpinst64,
     .arrange = [](SimDesktop& d) { d.CreateHostDirectory(kDpinst64); },
     .effects = kStartFailed,
     .sizes = {SIZE_MINIMIZED, SIZE_RESTORED},
     .broughtToFront = true},
    // Installers elsewhere are never searched for: not beside the launcher's own file when it
    // was started from another folder, not in a folder on the PATH.
    {.name = "InstallerOnlyBesideTheLauncher",
     .configure = [](SimConfig& c) { c.moduleFileName = std::u16string(kTools) + u"\\Setup.exe"; },
     .installer = kDpinst64,
     .arrange = [](SimDesktop& d) { d.ScriptProcess(kToolsDpinst64, Script(0)); },
     .effects = kStartFailed,
     .sizes = {SIZE_MINIMIZED, SIZE_RESTORED},
     .broughtToFront = true},
    {.name = "InstallerOnlyOnThePath",
     .configure =
         [](SimConfig& c) {
             c.pathFolders = {u"C:\\Windows", kTools};
         },
     .installer = kDpinst64,
     .arrange = [](SimDesktop& d) { d.ScriptProcess(kToolsDpinst64, Script(0)); },
     .effects = kStartFailed,
     .sizes = {SIZE_MINIMIZED, SIZE_RESTORED},
     .broughtToFront = true},
    // Without the current directory there is no path: nothing is asked for or started, and it
    // ends as a start that failed.
    {.name = "CurrentDirectoryUnreadable",
     .beforeClick = [](SimDesktop& d) { d.FailCurrentDirectory(ERROR_ACCESS_DENIED); },
     .effects = {"box [information] while shown: It failed in the start from an installer."},
     .broughtToFront = true},
    // Reported while still minimised, the platform's text released first; then on as usual.
    {.name = "WaitFails",
     .installer = kDpinst64,
     .script = Script(0, ERROR_INVALID_HANDLE),
     .arrange = [](SimDesktop& d) { d.SetSystemMessage(ERROR_INVALID_HANDLE, u"Bad handle.\r\n"); },
     .effects = {"acquire buffer", "acquire process", "acquire thread", "acquire message text",
                 "release message text",
                 "box [exclamation] while minimised: An error occurred during installation."
                 "Bad handle.\r\n",
                 "release process", "release thread", "release buffer"},
     .sizes = {SIZE_MINIMIZED, SIZE_RESTORED},
     .broughtToFront = true},
    {.name = "ExitCodeUnreadable",
     .installer = kDpinst64,
     .script = Script(0, 0, ERROR_ACCESS_DENIED),
     .arrange = [](SimDesktop& d) { d.SetSystemMessage(ERROR_ACCESS_DENIED, u"No access.\r\n"); },
     .effects = {"acquire buffer", "acquire process", "acquire thread", "wait while minimised",
                 "acquire message text", "release message text",
                 "box [exclamation] while minimised: An error occurred during installation."
                 "No access.\r\n",
                 "release process", "release thread", "release buffer"},
     .sizes = {SIZE_MINIMIZED, SIZE_RESTORED},
     .broughtToFront = true},
    {.name = "WaitFailsWithoutPlatformText",
     .installer = kDpinst64,
     .script = Script(0, 4243),
     .arrange = [](SimDesktop& d) { d.RemoveSystemMessage(4243); },
     .effects = {"acquire buffer", "acquire process", "acquire thread", "release process",
                 "release thread", "release buffer"},
     .sizes = {SIZE_MINIMIZED, SIZE_RESTORED},
     .broughtToFront = true},
};

class InstallerLaunchTest : public LauncherTest, public ::testing::WithParamInterface<InstallCase> {
protected:
    // One effect, placed among the ledger's events by the count of events at that moment.
    struct Effect {
        std::size_t ledgerEvents;
        std::string text;
    };

    std::string WindowState() { return Desktop().IsIconic(window_) ? "minimised" : "shown"; }

    void Record(std::string text) {
        effects_.push_back({Desktop().Ledger().Events().size(), std::move(text)});
    }

    // The effects and the ledger events of the action's own objects, merged in order.
    std::vector<std::string> Timeline() {
        const auto& events = Desktop().Ledger().Events();
        std::vector<std::string> timeline;
        std::size_t next = 0;
        for (std::size_t i = ledgerAtClick_; i <= events.size(); ++i) {
            while (next < effects_.size() && effects_[next].ledgerEvents == i) {
                timeline.push_back(effects_[next++].text);
            }
            if (i == events.size()) {
                break;
            }
            const char* what = nullptr;
            switch (events[i].kind) {
            case HandleKind::HeapBlock:
                what = "buffer";
                break;
            case HandleKind::Process:
                what = "process";
                break;
            case HandleKind::Thread:
                what = "thread";
                break;
            case HandleKind::LocalBlock:
                what = "message text";
                break;
            default:
                continue;
            }
            timeline.push_back(
                std::string(events[i].action == LedgerAction::Acquire ? "acquire " : "release ") +
                what);
        }
        return timeline;
    }

    HWND window_ = nullptr;
    std::size_t ledgerAtClick_ = 0;
    std::size_t messagesAtClick_ = 0;
    std::size_t foregroundAtClick_ = 0;
    int left_ = 0;
    int top_ = 0;
    std::vector<Effect> effects_;
};

TEST_P(InstallerLaunchTest, EffectsInOrder) {
    const InstallCase& c = GetParam();
    SimConfig config = Config();
    if (c.configure) {
        c.configure(config);
    }
    Start(config);
    WriteFile(u"Setup.ini", kGoodSetupIni);
    if (c.script) {
        ProcessScript script = *c.script;
        script.onWait = [this] { Record("wait while " + WindowState()); };
        Desktop().ScriptProcess(*c.installer, script);
    }
    if (c.arrange) {
        c.arrange(Desktop());
    }
    Desktop().OnMessageBox([this](const platform::sim::MessageBoxRecord& box) {
        const bool information = (box.type & 0xF0u) == MB_ICONINFORMATION;
        Record(std::string("box [") + (information ? "information" : "exclamation") + "] while " +
               WindowState() + ": " + Utf8(box.text));
        return 0;
    });
    Desktop().OnIdle([&] {
        window_ = MainForm->Handle();
        left_ = MainForm->Left();
        top_ = MainForm->Top();
        ledgerAtClick_ = Desktop().Ledger().Events().size();
        messagesAtClick_ = Desktop().Messages().size();
        foregroundAtClick_ = Desktop().ForegroundRequests().size();
        if (c.beforeClick) {
            c.beforeClick(Desktop());
        }
        Desktop().ClickButton(MainForm->BtnInstall->Handle());
    });
    for (int i = 1; i < c.clicks; ++i) {
        Desktop().OnIdle([&] { Desktop().ClickButton(MainForm->BtnInstall->Handle()); });
    }
    // Reached only when the action left the window open.
    Desktop().OnIdle([&] {
        if (Desktop().IsWindowVisible(window_) && !Desktop().IsIconic(window_)) {
            Record("window still open");
        }
    });

    RecordingApi recorder(Desktop());
    platform::ScopedApi recording(recorder);

    EXPECT_EQ(RunLauncher(), 0);

    EXPECT_EQ(Timeline(), c.effects);
    // Brought to the front right after it is restored, and, when the launcher ends, hidden by
    // Close only after that.
    if (c.broughtToFront) {
        std::vector<std::string> calls;
        for (const auto& [window, call] : recorder.WindowCalls()) {
            if (window == window_) {
                calls.push_back(call);
            }
        }
        const auto front = std::find(calls.rbegin(), calls.rend(), "SetForegroundWindow");
        ASSERT_NE(front, calls.rend());
        ASSERT_NE(front + 1, calls.rend());
        EXPECT_EQ(*(front + 1), "ShowWindow " + std::to_string(SW_RESTORE));
        if (c.ends) {
            EXPECT_EQ(calls.back(), "ShowWindow " + std::to_string(SW_HIDE));
            EXPECT_NE(front, calls.rbegin());
        }
    }
    EXPECT_EQ(Desktop().IdleExhausted(), !c.ends);

    std::vector<WPARAM> sizes;
    const auto& messages = Desktop().Messages();
    for (std::size_t i = messagesAtClick_; i < messages.size(); ++i) {
        if (messages[i].window == window_ && messages[i].message == WM_SIZE &&
            (sizes.empty() || sizes.back() != messages[i].sizeType)) {
            sizes.push_back(messages[i].sizeType);
        }
    }
    EXPECT_EQ(sizes, c.sizes);
    const auto& foreground = Desktop().ForegroundRequests();
    const std::vector<HWND> brought(
        foreground.begin() + static_cast<std::ptrdiff_t>(foregroundAtClick_), foreground.end());
    EXPECT_EQ(brought, c.broughtToFront ? std::vector<HWND>{window_} : std::vector<HWND>{});

    // The installer by its full path, and that path quoted alone as a writable copy for the
    // command line, with the launcher's own environment, directory and rights, and a start-up
    // record of defaults.
    const auto& launches = Desktop().Launches();
    ASSERT_EQ(launches.size(), c.installer ? 1u : 0u);
    if (c.installer) {
        const auto& launch = launches.front();
        EXPECT_EQ(launch.applicationName, *c.installer);
        EXPECT_EQ(launch.commandLine, u"\"" + *c.installer + u"\"");
        EXPECT_FALSE(launch.processAttributes);
        EXPECT_FALSE(launch.threadAttributes);
        EXPECT_EQ(launch.inheritHandles, FALSE);
        EXPECT_EQ(launch.creationFlags, 0u);
        EXPECT_EQ(launch.environment, nullptr);
        EXPECT_EQ(launch.currentDirectoryPointer, nullptr);
        ASSERT_TRUE(launch.hadStartupInfo);
        // Cleared, its size set, and the window's position without STARTF_USEPOSITION.
        const STARTUPINFOW& startup = launch.startupInfo;
        EXPECT_EQ(startup.cb, sizeof(STARTUPINFOW));
        EXPECT_EQ(startup.lpReserved, nullptr);
        EXPECT_EQ(startup.lpDesktop, nullptr);
        EXPECT_EQ(startup.lpTitle, nullptr);
        EXPECT_EQ(startup.dwX, static_cast<DWORD>(left_));
        EXPECT_EQ(startup.dwY, static_cast<DWORD>(top_));
        EXPECT_EQ(startup.dwXSize, 0u);
        EXPECT_EQ(startup.dwYSize, 0u);
        EXPECT_EQ(startup.dwXCountChars, 0u);
        EXPECT_EQ(startup.dwYCountChars, 0u);
        EXPECT_EQ(startup.dwFillAttribute, 0u);
        EXPECT_EQ(startup.dwFlags, 0u);
        EXPECT_EQ(startup.wShowWindow, 0u);
        EXPECT_EQ(startup.cbReserved2, 0u);
        EXPECT_EQ(startup.lpReserved2, nullptr);
        EXPECT_EQ(startup.hStdInput, nullptr);
        EXPECT_EQ(startup.hStdOutput, nullptr);
        EXPECT_EQ(startup.hStdError, nullptr);
    }
    EXPECT_TRUE(Desktop().Ledger().Outstanding(HandleKind::Process).empty());
    EXPECT_TRUE(Desktop().Ledger().Outstanding(HandleKind::Thread).empty());
    EXPECT_TRUE(Desktop().Ledger().Outstanding(HandleKind::HeapBlock).empty());
    EXPECT_TRUE(Desktop().Ledger().Outstanding(HandleKind::LocalBlock).empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, InstallerLaunchTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The exact arguments wherever the package lies: the current directory's text with one
// backslash before the installer's relative path (a drive root has its own), that path as the
// application name, the same in quotes as the command line, and no working directory.
struct PathCase {
    const char* name;
    WORD architecture;
    UINT codePage; // the setup file must open there too
    std::u16string directory;
    std::u16string applicationName;
    std::u16string commandLine;
};

void PrintTo(const PathCase& c, std::ostream* os) {
    *os << c.name;
}

const PathCase kPathCases[] = {
    {"DriveRoot", PROCESSOR_ARCHITECTURE_AMD64, 1252, u"C:\\", u"C:\\Drivers\\dpinst64.exe",
     u"\"C:\\Drivers\\dpinst64.exe\""},
    {"DriveRootX86", PROCESSOR_ARCHITECTURE_INTEL, 1252, u"C:\\", u"C:\\Drivers\\dpinst.exe",
     u"\"C:\\Drivers\\dpinst.exe\""},
    {"NestedWithBlanks", PROCESSOR_ARCHITECTURE_AMD64, 1252, u"C:\\Users\\Ann\\Driver Kit 2\\pkg",
     u"C:\\Users\\Ann\\Driver Kit 2\\pkg\\Drivers\\dpinst64.exe",
     u"\"C:\\Users\\Ann\\Driver Kit 2\\pkg\\Drivers\\dpinst64.exe\""},
    // "C:\ドライバ\パッケージ" on a Japanese system: passed on in UTF-16 as it is.
    {"Japanese", PROCESSOR_ARCHITECTURE_AMD64, 932,
     u"C:\\\u30C9\u30E9\u30A4\u30D0\\\u30D1\u30C3\u30B1\u30FC\u30B8",
     u"C:\\\u30C9\u30E9\u30A4\u30D0\\\u30D1\u30C3\u30B1\u30FC\u30B8\\Drivers\\dpinst64.exe",
     u"\"C:\\\u30C9\u30E9\u30A4\u30D0\\\u30D1\u30C3\u30B1\u30FC\u30B8\\Drivers\\dpinst64."
     u"exe\""},
};

class InstallerPathTest : public LauncherTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(InstallerPathTest, StartsTheInstallerByItsFullPath) {
    const PathCase& c = GetParam();
    SimConfig config = Config(c.codePage == 932 ? 1041 : 1033, c.codePage);
    config.nativeArchitecture = c.architecture;
    config.currentDirectory = c.directory;
    config.moduleFileName = std::u16string(kTools) + u"\\Setup.exe";
    Start(config);
    Desktop().CreateHostFile(
        c.directory + (c.directory.back() == u'\\' ? u"" : u"\\") + u"Setup.ini", kGoodSetupIni);
    Desktop().ScriptProcess(c.applicationName, ProcessScript::Exits(0));
    Desktop().OnIdle([&] { Desktop().ClickButton(MainForm->BtnInstall->Handle()); });
    RecordingApi recorder(Desktop());
    platform::ScopedApi recording(recorder);

    EXPECT_EQ(RunLauncher(), 0);

    EXPECT_TRUE(Desktop().MessageBoxes().empty());
    // One wait, for as long as the installer runs.
    EXPECT_EQ(recorder.WaitTimeouts(), std::vector<DWORD>{INFINITE});
    ASSERT_EQ(Desktop().Launches().size(), 1u);
    const auto& launch = Desktop().Launches().front();
    EXPECT_EQ(launch.applicationName, c.applicationName);
    EXPECT_EQ(launch.commandLine, c.commandLine);
    EXPECT_EQ(launch.currentDirectoryPointer, nullptr);
    EXPECT_EQ(launch.result, TRUE);
    EXPECT_TRUE(launch.waited);
    // The command line lies in the heap block, which went back exactly once.
    std::size_t acquired = 0, released = 0;
    for (const auto& event : Desktop().Ledger().Events()) {
        if (event.kind == HandleKind::HeapBlock &&
            event.value == reinterpret_cast<std::uintptr_t>(launch.commandLineBuffer)) {
            ++(event.action == LedgerAction::Acquire ? acquired : released);
        }
    }
    EXPECT_EQ(acquired, 1u);
    EXPECT_EQ(released, 1u);
}

INSTANTIATE_TEST_SUITE_P(Folders, InstallerPathTest, ::testing::ValuesIn(kPathCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace launcher_test
