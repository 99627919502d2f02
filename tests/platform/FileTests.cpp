// Files on the mapped drive, the current directory, the module and its resources.
#include "SimFixture.h"

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

} // namespace
} // namespace simtest
