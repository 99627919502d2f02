// Scripted processes, the handle ledger, heap failure injection, system message texts and
// the system information calls.
#include "SimFixture.h"

#include "platform/Utf.h"

#include <cstring>

namespace simtest {
namespace {

using KernelTest = SimTest;

struct Launch {
    BOOL started = FALSE;
    DWORD startError = 0;
    PROCESS_INFORMATION info{};
};

Launch StartProcess(sim::SimDesktop& desk, std::u16string line,
                    const char16_t* directory = nullptr) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwX = 12;
    Launch launch;
    desk.SetLastError(0);
    launch.started = desk.CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                         directory, &si, &launch.info);
    launch.startError = launch.started ? 0 : desk.GetLastError();
    return launch;
}

TEST_F(KernelTest, ProcessesBehaveAsTheirScriptSays) {
    struct Case {
        const char* name;
        std::optional<sim::ProcessScript> script;
        DWORD startError;
        DWORD waitResult;
        DWORD waitError;
        BOOL exitRead;
        DWORD exitValue; // the code, or the error when it cannot be read
    };
    sim::ProcessScript waitFails;
    waitFails.waitError = ERROR_ACCESS_DENIED;
    sim::ProcessScript codeFails = sim::ProcessScript::Exits(3);
    codeFails.exitCodeError = ERROR_INVALID_HANDLE;
    const Case cases[] = {
        {"not scripted", std::nullopt, ERROR_FILE_NOT_FOUND, 0, 0, FALSE, 0},
        {"cannot start", sim::ProcessScript::CannotStart(ERROR_BAD_EXE_FORMAT),
         ERROR_BAD_EXE_FORMAT, 0, 0, FALSE, 0},
        {"ends with 3", sim::ProcessScript::Exits(3), 0, WAIT_OBJECT_0, 0, TRUE, 3},
        {"wait fails", waitFails, 0, WAIT_FAILED, ERROR_ACCESS_DENIED, TRUE,
         platform::STILL_ACTIVE},
        {"exit code unreadable", codeFails, 0, WAIT_OBJECT_0, 0, FALSE, ERROR_INVALID_HANDLE},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::u16string line =
            u"Drivers\\setup" + std::u16string(1, static_cast<char16_t>(u'0' + index++)) + u".exe";
        if (c.script) {
            Desk().ScriptProcess(line, *c.script);
        }
        Launch launch = StartProcess(Desk(), line);
        if (c.startError != 0) {
            EXPECT_FALSE(launch.started);
            EXPECT_EQ(launch.startError, c.startError);
            continue;
        }
        ASSERT_TRUE(launch.started);
        Desk().SetLastError(0);
        EXPECT_EQ(Desk().WaitForSingleObject(launch.info.hProcess, INFINITE), c.waitResult);
        EXPECT_EQ(Desk().GetLastError(), c.waitError);
        DWORD code = 0;
        BOOL read = Desk().GetExitCodeProcess(launch.info.hProcess, &code);
        EXPECT_EQ(read, c.exitRead);
        EXPECT_EQ(read ? code : Desk().GetLastError(), c.exitValue);
        EXPECT_TRUE(Desk().CloseHandle(launch.info.hProcess));
        EXPECT_TRUE(Desk().CloseHandle(launch.info.hThread));
    }
    EXPECT_TRUE(Desk().Ledger().Outstanding().empty());
    EXPECT_TRUE(Desk().Ledger().Faults().empty());
}

TEST_F(KernelTest, CreateProcessRecordsWhatItWasGivenAndOnWaitRunsInsideTheWait) {
    bool waiting = false;
    sim::ProcessScript script = sim::ProcessScript::Exits(0);
    script.onWait = [&] { waiting = true; };
    Desk().ScriptProcess(u"Drivers\\dpinst64.exe", script);
    std::u16string line = u"Drivers\\dpinst64.exe";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwX = 77;
    int environment = 0;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(Desk().CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0x10,
                                      &environment, nullptr, &si, &pi));
    ASSERT_EQ(Desk().Launches().size(), 1u);
    const sim::ProcessLaunch& launch = Desk().Launches()[0];
    EXPECT_FALSE(launch.applicationName.has_value());
    EXPECT_EQ(launch.commandLine, line);
    EXPECT_EQ(launch.commandLineBuffer, line.data());
    EXPECT_EQ(launch.inheritHandles, TRUE);
    EXPECT_EQ(launch.creationFlags, 0x10u);
    EXPECT_EQ(launch.environment, &environment);
    EXPECT_EQ(launch.currentDirectoryPointer, nullptr);
    EXPECT_EQ(launch.startupInfo.cb, sizeof(STARTUPINFOW));
    EXPECT_EQ(launch.startupInfo.dwX, 77u);
    EXPECT_EQ(launch.information.hProcess, pi.hProcess);
    EXPECT_EQ(launch.information.hThread, pi.hThread);
    EXPECT_FALSE(waiting);
    EXPECT_EQ(Desk().WaitForSingleObject(pi.hProcess, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(waiting);
    EXPECT_TRUE(Desk().Launches()[0].waited);
    Desk().CloseHandle(pi.hProcess);
    Desk().CloseHandle(pi.hThread);
}

// Which file CreateProcessW starts: an application name is completed against the current
// directory and never searched for; without one, the command line's first name is searched in
// the module's folder, the current directory, the system folder and the PATH, in that order.
TEST_F(KernelTest, CreateProcessFindsItsProgramAsWindowsDoes) {
    sim::SimConfig config;
    config.moduleFileName = u"C:\\Tools\\Setup.exe";
    config.currentDirectory = u"C:\\Work";
    config.pathFolders = {u"C:\\Empty", u"C:\\Bin"};
    Start(config);
    for (const char16_t* program :
         {u"C:\\Tools\\a.exe", u"C:\\Work\\b.exe", u"C:\\Windows\\System32\\c.exe",
          u"C:\\Bin\\d.exe", u"C:\\Tools\\same.exe", u"C:\\Bin\\same.exe", u"C:\\Work\\same.exe",
          u"C:\\Bin\\Sub\\e.exe"}) {
        Desk().ScriptProcess(program, sim::ProcessScript::Exits(0));
    }
    Desk().CreateHostDirectory(u"C:\\Empty");
    Desk().CreateHostDirectory(u"C:\\Work\\Dir.exe");
    Desk().CreateHostFile(u"C:\\Work\\notes.exe", "not a program");

    struct Case {
        const char16_t* applicationName;
        const char16_t* commandLine;
        const char16_t* program; // the file found; null: none
        DWORD error;             // 0: started
    };
    const Case cases[] = {
        {nullptr, u"a.exe", u"C:\\Tools\\a.exe", 0},
        {nullptr, u"b", u"C:\\Work\\b.exe", 0},
        {nullptr, u"c.exe /q", u"C:\\Windows\\System32\\c.exe", 0},
        {nullptr, u"\"d.exe\" --x", u"C:\\Bin\\d.exe", 0},
        {nullptr, u"same.exe", u"C:\\Tools\\same.exe", 0},
        {nullptr, u"Sub\\e.exe", u"C:\\Bin\\Sub\\e.exe", 0},
        {nullptr, u".\\a.exe", nullptr, ERROR_FILE_NOT_FOUND},
        {nullptr, u"missing.exe", nullptr, ERROR_FILE_NOT_FOUND},
        {u"b.exe", u"anything", u"C:\\Work\\b.exe", 0},
        {u"C:\\Bin\\d.exe", u"\"C:\\Bin\\d.exe\"", u"C:\\Bin\\d.exe", 0},
        {u"same.exe", nullptr, u"C:\\Work\\same.exe", 0},
        {u"a.exe", u"a.exe", nullptr, ERROR_FILE_NOT_FOUND},
        {u"d.exe", u"d.exe", nullptr, ERROR_FILE_NOT_FOUND},
        {u"Sub\\e.exe", u"Sub\\e.exe", nullptr, ERROR_PATH_NOT_FOUND},
        {u"b", u"b", nullptr, ERROR_FILE_NOT_FOUND}, // no ".exe" added to an application name
        {u"Dir.exe", u"Dir.exe", nullptr, ERROR_ACCESS_DENIED},
        {nullptr, u"Dir.exe", nullptr, ERROR_ACCESS_DENIED},
        {u"notes.exe", u"notes.exe", u"C:\\Work\\notes.exe", ERROR_BAD_EXE_FORMAT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            platform::Utf16ToUtf8(c.applicationName != nullptr ? c.applicationName : u"(none)") +
            " | " + platform::Utf16ToUtf8(c.commandLine != nullptr ? c.commandLine : u"(none)"));
        std::u16string line = c.commandLine != nullptr ? c.commandLine : u"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        Desk().SetLastError(0);
        const BOOL started = Desk().CreateProcessW(
            c.applicationName, c.commandLine != nullptr ? line.data() : nullptr, nullptr, nullptr,
            FALSE, 0, nullptr, nullptr, &si, &pi);
        EXPECT_EQ(Desk().Launches().back().program, c.program != nullptr ? c.program : u"");
        if (c.error != 0) {
            EXPECT_FALSE(started);
            EXPECT_EQ(Desk().GetLastError(), c.error);
            continue;
        }
        ASSERT_TRUE(started);
        EXPECT_TRUE(Desk().CloseHandle(pi.hThread));
        EXPECT_TRUE(Desk().CloseHandle(pi.hProcess));
    }
    EXPECT_TRUE(Desk().Ledger().Outstanding().empty()) << Desk().Ledger().Report();
}

TEST_F(KernelTest, TheLedgerKeepsTheOrderAndCatchesSecondReleases) {
    Desk().ScriptProcess(u"x.exe", sim::ProcessScript::Exits(0));
    HANDLE heap = Desk().GetProcessHeap();
    void* block = Desk().HeapAlloc(heap, 0, 40);
    ASSERT_NE(block, nullptr);
    Launch launch = StartProcess(Desk(), u"x.exe");
    ASSERT_TRUE(launch.started);
    EXPECT_EQ(Desk().Ledger().Outstanding().size(), 3u);

    EXPECT_TRUE(Desk().CloseHandle(launch.info.hProcess));
    auto outstanding = Desk().Ledger().Outstanding();
    ASSERT_EQ(outstanding.size(), 2u);
    EXPECT_EQ(outstanding[0].kind, sim::HandleKind::HeapBlock);
    EXPECT_EQ(outstanding[1].kind, sim::HandleKind::Thread);
    EXPECT_TRUE(Desk().CloseHandle(launch.info.hThread));
    EXPECT_TRUE(Desk().HeapFree(heap, 0, block));

    std::vector<std::pair<sim::LedgerAction, sim::HandleKind>> releases;
    for (const auto& e : Desk().Ledger().Events()) {
        if (e.action == sim::LedgerAction::Release) {
            releases.emplace_back(e.action, e.kind);
        }
    }
    using A = sim::LedgerAction;
    using K = sim::HandleKind;
    EXPECT_EQ(releases,
              (std::vector<std::pair<A, K>>{
                  {A::Release, K::Process}, {A::Release, K::Thread}, {A::Release, K::HeapBlock}}));

    // Second releases fail as on Windows and are recorded; the pseudo handle is never counted.
    EXPECT_FALSE(Desk().CloseHandle(launch.info.hProcess));
    EXPECT_EQ(Desk().GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(Desk().HeapFree(heap, 0, block));
    EXPECT_TRUE(Desk().CloseHandle(Desk().GetCurrentProcess()));
    EXPECT_FALSE(Desk().CloseHandle(nullptr));
    ASSERT_EQ(Desk().Ledger().Faults().size(), 3u);
    EXPECT_EQ(Desk().Ledger().Faults()[0].kind, sim::FaultKind::DoubleRelease);
    EXPECT_EQ(Desk().Ledger().Faults()[1].kind, sim::FaultKind::DoubleRelease);
    EXPECT_EQ(Desk().Ledger().Faults()[2].kind, sim::FaultKind::UnknownRelease);
    EXPECT_EQ(Desk().WaitForSingleObject(launch.info.hProcess, INFINITE), WAIT_FAILED);
    EXPECT_EQ(Desk().GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(KernelTest, HeapFailuresAreInjectedAndBlocksAreRealMemory) {
    HANDLE heap = Desk().GetProcessHeap();
    Desk().FailNextHeapAllocs(1);
    Desk().SetLastError(123);
    EXPECT_EQ(Desk().HeapAlloc(heap, 0, 16), nullptr);
    EXPECT_EQ(Desk().GetLastError(), 123u); // HeapAlloc leaves the last error alone
    auto* ok = static_cast<char*>(Desk().HeapAlloc(heap, 0, 16));
    ASSERT_NE(ok, nullptr);
    std::memset(ok, 'x', 16);

    Desk().FailHeapAlloc([](const sim::HeapAllocRequest& r) { return r.bytes > 100; });
    EXPECT_EQ(Desk().HeapAlloc(heap, 0, 101), nullptr);
    void* small = Desk().HeapAlloc(heap, 0, 100);
    EXPECT_NE(small, nullptr);
    Desk().StopHeapFailures();
    void* big = Desk().HeapAlloc(heap, 0, 1000);
    EXPECT_NE(big, nullptr);
    EXPECT_EQ(Desk().HeapAllocCount(), 5);
    EXPECT_EQ(Desk().HeapAllocFailures(), 2);
    for (void* block : {static_cast<void*>(ok), small, big}) {
        EXPECT_TRUE(Desk().HeapFree(heap, 0, block));
    }
    EXPECT_TRUE(Desk().Ledger().Outstanding().empty());
}

TEST_F(KernelTest, FormatMessageGivesWindowsTextsInALocalBlock) {
    struct Case {
        DWORD code;
        DWORD flags;
        const char16_t* text; // null: the call fails
        DWORD error;
    };
    constexpr DWORD kAlloc = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM;
    const Case cases[] = {
        {2, kAlloc, u"The system cannot find the file specified.\r\n", 0},
        {3, kAlloc, u"The system cannot find the path specified.\r\n", 0},
        {5, kAlloc, u"Access is denied.\r\n", 0},
        {6, kAlloc, u"The handle is invalid.\r\n", 0},
        {8, kAlloc, u"Not enough storage is available to process this command.\r\n", 0},
        {32, kAlloc,
         u"The process cannot access the file because it is being used by another process.\r\n", 0},
        {87, kAlloc, u"The parameter is incorrect.\r\n", 0},
        {1113, kAlloc,
         u"No mapping for the Unicode character exists in the target multi-byte code page.\r\n", 0},
        {193, kAlloc | FORMAT_MESSAGE_IGNORE_INSERTS, u"%1 is not a valid Win32 application.\r\n",
         0},
        {193, kAlloc, nullptr, ERROR_INVALID_PARAMETER}, // an insert without arguments
        {4242, kAlloc, nullptr, platform::ERROR_MR_MID_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        char16_t* text = nullptr;
        Desk().SetLastError(0);
        DWORD length = Desk().FormatMessageW(c.flags, nullptr, c.code, 0x0400,
                                             reinterpret_cast<char16_t*>(&text), 0, nullptr);
        if (c.text == nullptr) {
            EXPECT_EQ(length, 0u);
            EXPECT_EQ(text, nullptr);
            EXPECT_EQ(Desk().GetLastError(), c.error);
            continue;
        }
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(std::u16string(text), c.text);
        EXPECT_EQ(length, std::u16string(c.text).size());
        EXPECT_TRUE(Desk().Ledger().IsOutstanding(text));
        EXPECT_EQ(Desk().LocalFree(text), nullptr);
        // A second release fails, and the ledger records it, once, against this block.
        const std::size_t faultsBefore = Desk().Ledger().Faults().size();
        EXPECT_EQ(Desk().LocalFree(text), text);
        ASSERT_EQ(Desk().Ledger().Faults().size(), faultsBefore + 1);
        EXPECT_EQ(Desk().Ledger().Faults().back().kind, sim::FaultKind::DoubleRelease);
        EXPECT_EQ(Desk().Ledger().Faults().back().value, reinterpret_cast<std::uintptr_t>(text));
    }
    EXPECT_TRUE(Desk().Ledger().Outstanding().empty());

    Desk().SetSystemMessage(5, u"Zugriff verweigert\r\n");
    char16_t buffer[64];
    EXPECT_EQ(Desk().FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 5, 0, buffer, 64, nullptr),
              20u);
    EXPECT_EQ(std::u16string(buffer), u"Zugriff verweigert\r\n");
    EXPECT_EQ(Desk().FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 5, 0, buffer, 5, nullptr),
              0u);
    EXPECT_EQ(Desk().GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    Desk().RemoveSystemMessage(5);
    EXPECT_EQ(Desk().FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 5, 0, buffer, 64, nullptr),
              0u);
    EXPECT_EQ(Desk().GetLastError(), platform::ERROR_MR_MID_NOT_FOUND);
}

TEST_F(KernelTest, SystemInformationFollowsTheConfiguration) {
    struct Case {
        WORD architecture;
        bool hasWow64Process2;
        USHORT processMachine; // expected
        USHORT nativeMachine;
    };
    const Case cases[] = {
        {PROCESSOR_ARCHITECTURE_AMD64, true, IMAGE_FILE_MACHINE_I386, IMAGE_FILE_MACHINE_AMD64},
        {PROCESSOR_ARCHITECTURE_INTEL, true, IMAGE_FILE_MACHINE_UNKNOWN, IMAGE_FILE_MACHINE_I386},
        {PROCESSOR_ARCHITECTURE_ARM64, true, IMAGE_FILE_MACHINE_I386, IMAGE_FILE_MACHINE_ARM64},
        {PROCESSOR_ARCHITECTURE_AMD64, false, 0, 0},
    };
    for (const Case& c : cases) {
        sim::SimConfig config;
        config.nativeArchitecture = c.architecture;
        config.hasIsWow64Process2 = c.hasWow64Process2;
        Start(config);
        SYSTEM_INFO info{};
        Desk().GetNativeSystemInfo(&info);
        EXPECT_EQ(info.u.s.wProcessorArchitecture, c.architecture);
        EXPECT_EQ(info.dwNumberOfProcessors, 2u);
        USHORT process = 0xBAD, native = 0xBAD;
        BOOL ok = Desk().IsWow64Process2(Desk().GetCurrentProcess(), &process, &native);
        EXPECT_EQ(ok != FALSE, c.hasWow64Process2);
        if (ok) {
            EXPECT_EQ(process, c.processMachine);
            EXPECT_EQ(native, c.nativeMachine);
        } else {
            EXPECT_EQ(Desk().GetLastError(), ERROR_PROC_NOT_FOUND);
        }
    }
    EXPECT_EQ(Desk().GetVersion(), 0x1DB10106u);
    EXPECT_EQ(Desk().GetCurrentThreadId(), 1u);
    EXPECT_EQ(Desk().GetUserDefaultLCID(), 1033u);
}

// SetSearchPathMode as documented: one of the two modes, PERMANENT only with the safe one,
// and nothing changes the mode once it is permanent.
TEST_F(KernelTest, SearchPathModeFollowsItsRules) {
    struct Step {
        DWORD flags;
        DWORD error; // 0: accepted
    };
    constexpr DWORD kSafe = BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE;
    constexpr DWORD kUnsafe = BASE_SEARCH_PATH_DISABLE_SAFE_SEARCHMODE;
    constexpr DWORD kPermanent = BASE_SEARCH_PATH_PERMANENT;
    const Step steps[] = {
        {0, ERROR_INVALID_PARAMETER},
        {kSafe | kUnsafe, ERROR_INVALID_PARAMETER},
        {kUnsafe | kPermanent, ERROR_INVALID_PARAMETER},
        {kUnsafe, 0},
        {kSafe, 0},
        {kSafe | kPermanent, 0},
        {kUnsafe, ERROR_ACCESS_DENIED},
        {kSafe, ERROR_ACCESS_DENIED},
    };
    Start({});
    for (const Step& step : steps) {
        Desk().SetLastError(0);
        const BOOL ok = Desk().SetSearchPathMode(step.flags);
        EXPECT_EQ(ok != FALSE, step.error == 0) << std::hex << step.flags;
        EXPECT_EQ(Desk().GetLastError(), step.error) << std::hex << step.flags;
    }
    EXPECT_EQ(Desk().Settings().searchPathMode, kSafe | kPermanent);
}

TEST_F(KernelTest, DllDirectoriesAndHeapSettingsAreRecorded) {
    Start({});
    const sim::ProcessSettings& settings = Desk().Settings();
    EXPECT_FALSE(settings.defaultDllDirectories);
    EXPECT_FALSE(Desk().SetDefaultDllDirectories(0));
    EXPECT_EQ(Desk().GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(Desk().SetDefaultDllDirectories(0x1));
    EXPECT_EQ(Desk().GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(Desk().SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32));
    EXPECT_EQ(settings.defaultDllDirectories, LOAD_LIBRARY_SEARCH_SYSTEM32);

    EXPECT_TRUE(Desk().SetDllDirectoryW(u""));
    EXPECT_EQ(settings.dllDirectory, u"");
    EXPECT_TRUE(Desk().SetDllDirectoryW(nullptr));
    EXPECT_FALSE(settings.dllDirectory);

    int value = 0;
    EXPECT_FALSE(Desk().HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, &value,
                                           sizeof value));
    EXPECT_EQ(Desk().GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(settings.heapTerminationOnCorruption);
    EXPECT_TRUE(Desk().HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0));
    EXPECT_TRUE(settings.heapTerminationOnCorruption);

    // Where the system lacks the newer calls.
    sim::SimConfig old;
    old.hasSetDefaultDllDirectories = false;
    old.hasSetSearchPathMode = false;
    Start(old);
    EXPECT_FALSE(Desk().SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32));
    EXPECT_EQ(Desk().GetLastError(), ERROR_PROC_NOT_FOUND);
    EXPECT_FALSE(Desk().SetSearchPathMode(BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE));
    EXPECT_EQ(Desk().GetLastError(), ERROR_PROC_NOT_FOUND);
}

} // namespace
} // namespace simtest
