// Files on the mapped drive, the current directory, the module and its resources.
#include "SimFixture.h"
#include "platform/Utf.h"

#include <string>

namespace simtest {
namespace {

class FileTest : public SimTest {
protected:
    struct Opened {
        HANDLE handle;
        DWORD error;
    };
    Opened Open(const std::string& path, DWORD share = FILE_SHARE_READ) {
        Desk().SetLastError(0);
        HANDLE h = Desk().CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        return Opened{h, h == INVALID_HANDLE_VALUE ? Desk().GetLastError() : 0};
    }
    std::string ReadAll(HANDLE file) {
        std::string out;
        char buffer[3];
        DWORD got = 0;
        while (Desk().ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            out.append(buffer, got);
        }
        return out;
    }
    // The current directory as the ANSI path the launcher builds from it.
    std::string AnsiCurrentDirectory(BOOL* usedDefault) {
        char16_t wide[MAX_PATH];
        DWORD n = Desk().GetCurrentDirectoryW(MAX_PATH, wide);
        char bytes[MAX_PATH * 2];
        int m = Desk().WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, static_cast<int>(n),
                                           bytes, sizeof bytes, nullptr, usedDefault);
        return std::string(bytes, static_cast<std::size_t>(m));
    }
};

TEST_F(FileTest, NamesMatchWhateverTheirCaseAndSeparators) {
    Desk().CreateHostFile(u"C:\\Packages\\Demo\\Setup.ini", "$END\n");
    Desk().CreateHostDirectory(u"C:\\Packages\\Demo\\Drivers");
    struct Case {
        const char* path;
        DWORD error;
    };
    const Case cases[] = {
        {"C:\\Packages\\Demo\\Setup.ini", 0},
        {"c:\\PACKAGES\\demo\\SETUP.INI", 0},
        {"C:\\Packages\\Demo\\\\Setup.ini", 0},
        {"C:/Packages/Demo/Setup.ini", 0},
        {"Setup.ini", 0},
        {"C:\\Packages\\Demo\\Drivers\\..\\Setup.ini", 0},
        {"C:\\Packages\\Demo\\.setup_ini", ERROR_FILE_NOT_FOUND},
        {"C:\\Packages\\Nowhere\\Setup.ini", ERROR_PATH_NOT_FOUND},
        {"C:\\Packages\\Demo\\Drivers", ERROR_ACCESS_DENIED},
        {"C:\\Packages\\????\\Setup.ini", platform::ERROR_INVALID_NAME},
        {"D:\\Setup.ini", ERROR_PATH_NOT_FOUND},
        {"", ERROR_PATH_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Opened f = Open(c.path);
        EXPECT_EQ(f.error, c.error);
        if (c.error == 0) {
            EXPECT_EQ(ReadAll(f.handle), "$END\n");
            EXPECT_TRUE(Desk().CloseHandle(f.handle));
        }
    }
    EXPECT_EQ(Desk().FileOpens().size(), std::size(cases));
    EXPECT_TRUE(Desk().Ledger().Outstanding().empty());
}

TEST_F(FileTest, ADriveRootWithTwoBackslashesOpens) {
    Desk().SetCurrentDirectory(u"C:\\");
    Desk().CreateHostFile(u"C:\\Setup.ini", "x");
    BOOL used = TRUE;
    std::string directory = AnsiCurrentDirectory(&used);
    EXPECT_EQ(directory, "C:\\");
    EXPECT_FALSE(used);
    Opened f = Open(directory + "\\Setup.ini");
    ASSERT_EQ(f.error, 0u);
    EXPECT_EQ(Desk().FileOpens().back().windowsPath, u"C:\\Setup.ini");
    Desk().CloseHandle(f.handle);
}

TEST_F(FileTest, LockedAndSharedFilesRefuseToOpen) {
    Desk().CreateHostFile(u"C:\\Packages\\Demo\\Setup.ini", "a");
    Desk().CreateHostFile(u"C:\\Packages\\Demo\\.setup_ini", "b");
    Desk().LockPath(u"C:\\Packages\\Demo\\SETUP.ini");
    EXPECT_EQ(Open("Setup.ini").error, ERROR_SHARING_VIOLATION);
    Opened other = Open("C:\\Packages\\Demo\\.setup_ini");
    EXPECT_EQ(other.error, 0u);
    Desk().UnlockPath(u"C:\\Packages\\Demo\\Setup.ini");
    Opened unlocked = Open("Setup.ini", 0);
    EXPECT_EQ(unlocked.error, 0u);
    // Opened without sharing, it cannot be opened a second time.
    EXPECT_EQ(Open("Setup.ini").error, ERROR_SHARING_VIOLATION);
    Desk().CloseHandle(unlocked.handle);
    Desk().CloseHandle(other.handle);
    EXPECT_TRUE(Desk().Ledger().Outstanding().empty());
}

TEST_F(FileTest, ReadingGivesTheRealBytesThenTheInjectedError) {
    Desk().CreateHostFile(u"C:\\Packages\\Demo\\Setup.ini", "0123456789");
    Desk().FailReadAfter(u"C:\\Packages\\Demo\\Setup.ini", 6);
    Opened f = Open("Setup.ini");
    ASSERT_EQ(f.error, 0u);
    char buffer[8];
    DWORD got = 99;
    ASSERT_TRUE(Desk().ReadFile(f.handle, buffer, 4, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), "0123");
    ASSERT_TRUE(Desk().ReadFile(f.handle, buffer, 4, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), "45");
    EXPECT_FALSE(Desk().ReadFile(f.handle, buffer, 4, &got, nullptr));
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(Desk().GetLastError(), platform::ERROR_READ_FAULT);
    Desk().CloseHandle(f.handle);
    EXPECT_FALSE(Desk().ReadFile(f.handle, buffer, 4, &got, nullptr));
    EXPECT_EQ(Desk().GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(Desk().Ledger().Faults().at(0).kind, sim::FaultKind::UseOfReleased);
}

TEST_F(FileTest, TheCurrentDirectoryFollowsTheSizeConventions) {
    const std::u16string expected = u"C:\\Packages\\Demo";
    char16_t small[4];
    EXPECT_EQ(Desk().GetCurrentDirectoryW(4, small), expected.size() + 1);
    EXPECT_EQ(Desk().GetCurrentDirectoryW(0, nullptr), expected.size() + 1);
    char16_t buffer[MAX_PATH];
    EXPECT_EQ(Desk().GetCurrentDirectoryW(MAX_PATH, buffer), expected.size());
    EXPECT_EQ(std::u16string(buffer), expected);
}

TEST_F(FileTest, ADirectoryTheCodePageCannotExpressCannotBeOpened) {
    Desk().SetCurrentDirectory(u"C:\\Packages\\Демо");
    Desk().CreateHostFile(u"C:\\Packages\\Демо\\Setup.ini", "$END\n");
    BOOL used = FALSE;
    std::string directory = AnsiCurrentDirectory(&used);
    EXPECT_TRUE(used);
    EXPECT_EQ(directory, "C:\\Packages\\????");
    EXPECT_EQ(Open(directory + "\\Setup.ini").error, platform::ERROR_INVALID_NAME);
    // The relative name still reaches it: the directory itself exists.
    Opened relative = Open("Setup.ini");
    EXPECT_EQ(relative.error, 0u);
    Desk().CloseHandle(relative.handle);
}

TEST_F(FileTest, AShiftJisDirectoryOpensUnderCodePage932) {
    sim::SimConfig config;
    config.ansiCodePage = 932;
    config.currentDirectory = u"C:\\パッケージ\\ソフト";
    Start(config);
    Desk().CreateHostFile(u"C:\\パッケージ\\ソフト\\Setup.ini", "ok");
    BOOL used = TRUE;
    std::string directory = AnsiCurrentDirectory(&used);
    EXPECT_FALSE(used);
    Opened f = Open(directory + "\\setup.INI");
    ASSERT_EQ(f.error, 0u);
    EXPECT_EQ(ReadAll(f.handle), "ok");
    Desk().CloseHandle(f.handle);
}

TEST_F(FileTest, ResourcesAreFoundByNameWhateverItsCaseAndById) {
    Desk().AddResource(u"MainForm", RT_RCDATA(), {'d', 'e', 's', 'c'});
    Desk().AddResource(1, RT_RCDATA(), {'o', 'n', 'e'});
    struct Case {
        const char16_t* name;
        const char16_t* type;
        const char* bytes; // null: not found
        DWORD error;
    };
    const Case cases[] = {
        {u"MAINFORM", RT_RCDATA(), "desc", 0},
        {u"mainform", RT_RCDATA(), "desc", 0},
        {MAKEINTRESOURCEW(1), RT_RCDATA(), "one", 0},
        {u"#1", RT_RCDATA(), "one", 0},
        {u"Other", RT_RCDATA(), nullptr, platform::ERROR_RESOURCE_NAME_NOT_FOUND},
        {u"MainForm", RT_GROUP_ICON(), nullptr, platform::ERROR_RESOURCE_TYPE_NOT_FOUND},
    };
    HINSTANCE module = Desk().GetModuleHandleW(nullptr);
    for (const Case& c : cases) {
        HRSRC found = Desk().FindResourceW(module, c.name, c.type);
        if (c.bytes == nullptr) {
            EXPECT_EQ(found, nullptr);
            EXPECT_EQ(Desk().GetLastError(), c.error);
            continue;
        }
        ASSERT_NE(found, nullptr);
        const void* data = Desk().LockResource(Desk().LoadResource(module, found));
        DWORD size = Desk().SizeofResource(module, found);
        EXPECT_EQ(std::string(static_cast<const char*>(data), size), c.bytes);
    }
}

TEST_F(FileTest, TheModuleIsTheLauncher) {
    HINSTANCE module = Desk().GetModuleHandleW(nullptr);
    EXPECT_NE(module, nullptr);
    char16_t name[MAX_PATH];
    EXPECT_EQ(Desk().GetModuleFileNameW(nullptr, name, MAX_PATH), 26u);
    EXPECT_EQ(std::u16string(name), u"C:\\Packages\\Demo\\Setup.exe");
    EXPECT_EQ(Desk().GetModuleFileNameW(module, name, 6), 6u); // cut, terminator included
    EXPECT_EQ(std::u16string(name), u"C:\\Pa");
    EXPECT_EQ(Desk().GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

// A network share as Windows has it: "\\server\share" is a root like "C:", relative and rooted
// names from a current directory on a share stay on it, and a share or server that is not
// there gives the network errors.
class ShareTest : public FileTest {
protected:
    void SetUp() override {
        sim::SimConfig config;
        config.networkShares = {u"\\\\Server\\Share", u"\\\\Server\\Other"};
        config.currentDirectory =
            u"\\\\Server\\Share\\Folder\\"; // kept as SetCurrentDirectory does
        Start(config);
        Desk().CreateHostFile(u"\\\\Server\\Share\\Folder\\Setup.ini", "$END\n");
        Desk().CreateHostFile(u"\\\\Server\\Share\\root.txt", "$END\n");
    }
};

TEST_F(ShareTest, FilesOpenByEveryFormOfTheirNameAndMissingOnesGiveTheNetworkErrors) {
    struct Case {
        const char* path;
        DWORD error;
        const char16_t* opened; // the full name it opened as
    };
    const Case cases[] = {
        {"\\\\Server\\Share\\Folder\\Setup.ini", 0, u"\\\\Server\\Share\\Folder\\Setup.ini"},
        {"\\\\SERVER\\share\\FOLDER\\setup.INI", 0, u"\\\\SERVER\\share\\FOLDER\\setup.INI"},
        {"Setup.ini", 0, u"\\\\Server\\Share\\Folder\\Setup.ini"},
        {"\\root.txt", 0, u"\\\\Server\\Share\\root.txt"},           // the share's root, not C:'s
        {"..\\..\\..\\root.txt", 0, u"\\\\Server\\Share\\root.txt"}, // ".." stops at the share
        {"\\\\?\\UNC\\Server\\Share\\root.txt", 0, u"\\\\Server\\Share\\root.txt"},
        {"//Server/Share/Folder/Setup.ini", 0, u"\\\\Server\\Share\\Folder\\Setup.ini"},
        {"\\\\Server\\Share\\Folder\\.setup_ini", ERROR_FILE_NOT_FOUND, nullptr},
        {"\\\\Server\\Share\\Nowhere\\Setup.ini", ERROR_PATH_NOT_FOUND, nullptr},
        {"\\\\Server\\Other\\Folder\\Setup.ini", ERROR_PATH_NOT_FOUND, nullptr},
        {"\\\\Server\\Missing\\Folder\\Setup.ini", platform::ERROR_BAD_NET_NAME, nullptr},
        {"\\\\Nobody\\Share\\Folder\\Setup.ini", platform::ERROR_BAD_NETPATH, nullptr},
        {"\\\\Server\\Share", ERROR_ACCESS_DENIED, nullptr}, // a folder
        {"C:\\Folder\\Setup.ini", ERROR_PATH_NOT_FOUND, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Opened f = Open(c.path);
        EXPECT_EQ(f.error, c.error);
        if (c.error == 0) {
            EXPECT_EQ(Desk().FileOpens().back().windowsPath, c.opened);
            EXPECT_EQ(ReadAll(f.handle), "$END\n");
            EXPECT_TRUE(Desk().CloseHandle(f.handle));
        }
    }
    EXPECT_TRUE(Desk().Ledger().Outstanding().empty());
}

// Windows keeps the current directory with a trailing backslash and reports it without one,
// except at a drive root.
TEST_F(ShareTest, TheCurrentDirectoryIsReportedWithoutATrailingBackslashExceptAtADriveRoot) {
    struct Case {
        const char16_t* set;
        const char16_t* reported;
    };
    const Case cases[] = {
        {u"\\\\Server\\Share\\Folder\\", u"\\\\Server\\Share\\Folder"},
        {u"\\\\Server\\Share\\Folder", u"\\\\Server\\Share\\Folder"},
        {u"\\\\Server\\Share\\", u"\\\\Server\\Share"},
        {u"\\\\Server\\Share", u"\\\\Server\\Share"},
        {u"C:\\", u"C:\\"},
        {u"C:\\Packages\\", u"C:\\Packages"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(platform::Utf16ToUtf8(c.set));
        Desk().SetCurrentDirectory(c.set);
        const std::u16string reported(c.reported);
        EXPECT_EQ(Desk().GetCurrentDirectoryW(0, nullptr), reported.size() + 1);
        char16_t buffer[MAX_PATH];
        EXPECT_EQ(Desk().GetCurrentDirectoryW(MAX_PATH, buffer), reported.size());
        EXPECT_EQ(std::u16string(buffer), reported);
    }
}

// A program on a share starts by its full name or by a name relative to a current directory
// there; a missing one fails as a file does.
TEST_F(ShareTest, ProgramsOnAShareStartAndMissingOnesFailWithTheNetworkErrors) {
    Desk().ScriptProcess(u"\\\\Server\\Share\\Folder\\Drivers\\dpinst64.exe",
                         sim::ProcessScript::Exits(0));
    struct Case {
        const char16_t* applicationName;
        DWORD error;             // 0: started
        const char16_t* program; // the file found, as its full name
    };
    const Case cases[] = {
        {u"\\\\Server\\Share\\Folder\\Drivers\\dpinst64.exe", 0,
         u"\\\\Server\\Share\\Folder\\Drivers\\dpinst64.exe"},
        {u"\\\\server\\SHARE\\Folder\\Drivers\\DPINST64.EXE", 0,
         u"\\\\server\\SHARE\\Folder\\Drivers\\DPINST64.EXE"},
        {u"Drivers\\dpinst64.exe", 0, u"\\\\Server\\Share\\Folder\\Drivers\\dpinst64.exe"},
        {u"\\Folder\\Drivers\\dpinst64.exe", 0,
         u"\\\\Server\\Share\\Folder\\Drivers\\dpinst64.exe"},
        {u"\\\\Server\\Share\\Folder\\Drivers\\dpinst.exe", ERROR_FILE_NOT_FOUND, nullptr},
        {u"\\\\Server\\Share\\Drivers\\dpinst64.exe", ERROR_PATH_NOT_FOUND, nullptr},
        {u"\\\\Server\\Gone\\Folder\\Drivers\\dpinst64.exe", platform::ERROR_BAD_NET_NAME, nullptr},
        {u"\\\\Gone\\Share\\Folder\\Drivers\\dpinst64.exe", platform::ERROR_BAD_NETPATH, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(platform::Utf16ToUtf8(c.applicationName));
        std::u16string line = u"\"" + std::u16string(c.applicationName) + u"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        Desk().SetLastError(0);
        const BOOL started = Desk().CreateProcessW(c.applicationName, line.data(), nullptr, nullptr,
                                                   FALSE, 0, nullptr, nullptr, &si, &pi);
        if (c.error != 0) {
            EXPECT_FALSE(started);
            EXPECT_EQ(Desk().GetLastError(), c.error);
            continue;
        }
        ASSERT_TRUE(started);
        EXPECT_EQ(Desk().Launches().back().program, c.program);
        EXPECT_TRUE(Desk().CloseHandle(pi.hThread));
        EXPECT_TRUE(Desk().CloseHandle(pi.hProcess));
    }
    EXPECT_TRUE(Desk().Ledger().Outstanding().empty()) << Desk().Ledger().Report();
}

} // namespace
} // namespace simtest
