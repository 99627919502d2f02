// The screen, the taskbar, densities, window-update locking, code pages and case, files and
// processes.
#include "Contract.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace contract {
namespace {

constexpr DWORD kOverlapped = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

CONTRACT_CASE(ScreenMetricsAndDensity) {
    const int width = Os().GetSystemMetrics(SM_CXSCREEN);
    const int height = Os().GetSystemMetrics(SM_CYSCREEN);
    CHECK(width >= 640);
    CHECK(height >= 480);
    CHECK(Os().GetSystemMetrics(SM_CXICON) >= 32);
    CHECK_EQ(Os().GetSystemMetrics(SM_CXICON), Os().GetSystemMetrics(SM_CYICON));
    CHECK_EQ(Os().GetSystemMetrics(SM_CXSMICON), Os().GetSystemMetrics(SM_CYSMICON));

    HDC dc = Os().GetDC(nullptr);
    REQUIRE(dc != nullptr);
    const int dpiX = Os().GetDeviceCaps(dc, LOGPIXELSX);
    CHECK(dpiX == 96 || dpiX == 120 || dpiX == 144);
    CHECK_EQ(Os().GetDeviceCaps(dc, LOGPIXELSY), dpiX);
    CHECK_EQ(Os().ReleaseDC(nullptr, dc), 1);
}

// The taskbar lies along one whole edge of the screen; its state has only the documented bits.
CONTRACT_CASE(TaskbarPositionAndState) {
    const int width = Os().GetSystemMetrics(SM_CXSCREEN);
    const int height = Os().GetSystemMetrics(SM_CYSCREEN);
    APPBARDATA data{};
    data.cbSize = sizeof data;
    REQUIRE(Os().SHAppBarMessage(ABM_GETTASKBARPOS, &data) != 0);
    const RECT& r = data.rc;
    CHECK(r.left < r.right && r.top < r.bottom);
    const bool horizontal = r.left <= 0 && r.right >= width && (r.top <= 0 || r.bottom >= height);
    const bool vertical = r.top <= 0 && r.bottom >= height && (r.left <= 0 || r.right >= width);
    CHECK(horizontal || vertical);

    APPBARDATA state{};
    state.cbSize = sizeof state;
    const UINT_PTR bits = Os().SHAppBarMessage(ABM_GETSTATE, &state);
    CHECK_EQ(bits & ~UINT_PTR{0x3}, UINT_PTR{0}); // ABS_AUTOHIDE | ABS_ALWAYSONTOP
}

// One window at a time can be locked.
CONTRACT_CASE(LockWindowUpdateHoldsOneWindow) {
    TestWindow first(kOverlapped | WS_VISIBLE, 100, 100, 200, 150);
    TestWindow second(kOverlapped | WS_VISIBLE, 150, 150, 200, 150);
    CHECK(Os().LockWindowUpdate(first.get()));
    CHECK(!Os().LockWindowUpdate(second.get()));
    CHECK(Os().LockWindowUpdate(nullptr));
    CHECK(Os().LockWindowUpdate(second.get()));
    CHECK(Os().LockWindowUpdate(nullptr));
}

std::u16string Wide(UINT codePage, const std::string& bytes, DWORD flags = 0) {
    char16_t out[64] = {};
    const int n = Os().MultiByteToWideChar(codePage, flags, bytes.data(),
                                           static_cast<int>(bytes.size()), out, 64);
    return std::u16string(out, static_cast<std::size_t>(n > 0 ? n : 0));
}

CONTRACT_CASE(CodePageConversions) {
    CHECK_EQ(Wide(1252, "\x80\xE9"), u"\u20AC\u00E9");
    CHECK_EQ(Wide(932, "\x83\x5C\x83\x74\x83\x67"), u"\u30BD\u30D5\u30C8"); // trail byte '\'
    CHECK_EQ(Wide(CP_UTF8, "\xC3\xA9\xE3\x81\x82"), u"\u00E9\u3042");
    char16_t wide[8];
    CHECK_EQ(Os().MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xFF", 1, wide, 8), 0);
    CHECK_EQ(Os().GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
    // -1: the terminator is converted and counted; a short buffer is an error, not a cut.
    CHECK_EQ(Os().MultiByteToWideChar(1252, 0, "abc", -1, nullptr, 0), 4);
    CHECK_EQ(Os().MultiByteToWideChar(1252, 0, "abcdef", -1, wide, 3), 0);
    CHECK_EQ(Os().GetLastError(), ERROR_INSUFFICIENT_BUFFER);

    char bytes[16] = {};
    BOOL used = TRUE;
    CHECK_EQ(Os().WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, u"\u00E9t\u00E9", 3, bytes, 16,
                                      nullptr, &used),
             3);
    CHECK_EQ(std::string(bytes, 3), "\xE9t\xE9");
    CHECK(!used);
    // A letter outside the code page: a best fit without the flag, the default with it.
    std::memset(bytes, 0, sizeof bytes);
    used = TRUE;
    CHECK_EQ(Os().WideCharToMultiByte(1252, 0, u"\u0100", 1, bytes, 16, nullptr, &used), 1);
    CHECK_EQ(std::string(bytes, 1), "A");
    CHECK(!used);
    CHECK_EQ(Os().WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, u"\u0100", 1, bytes, 16, nullptr,
                                      &used),
             1);
    CHECK_EQ(std::string(bytes, 1), "?");
    CHECK(used);
    CHECK_EQ(Os().WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, u"\u30BD\\", 2, bytes, 16, nullptr,
                                      &used),
             3);
    CHECK_EQ(std::string(bytes, 3), "\x83\x5C\\");
    CHECK(!used);
    CHECK_EQ(Os().WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, u"\u00E9", 1, bytes, 16,
                                      nullptr, nullptr),
             2);
    CHECK_EQ(Os().WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, u"\xD800", 1, bytes, 16,
                                      nullptr, nullptr),
             0);
    CHECK_EQ(Os().GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
}

CONTRACT_HOST_CASE(Utf8RefusesBestFitFlagAndDefaultCharacter,
                   "Wine 8 accepts WC_NO_BEST_FIT_CHARS and a used-default pointer for CP_UTF8") {
    char bytes[16] = {};
    BOOL used = FALSE;
    CHECK_EQ(Os().WideCharToMultiByte(CP_UTF8, WC_NO_BEST_FIT_CHARS, u"a", 1, bytes, 16, nullptr,
                                      nullptr),
             0);
    CHECK_EQ(Os().GetLastError(), ERROR_INVALID_FLAGS);
    CHECK_EQ(Os().WideCharToMultiByte(CP_UTF8, 0, u"a", 1, bytes, 16, nullptr, &used), 0);
    CHECK_EQ(Os().GetLastError(), ERROR_INVALID_PARAMETER);
    CHECK_EQ(Os().WideCharToMultiByte(CP_UTF8, 0, u"a", 1, bytes, 16, "?", nullptr), 0);
    CHECK_EQ(Os().GetLastError(), ERROR_INVALID_PARAMETER);
}

// Lower case and case-blind comparison follow Unicode in every script, not ASCII alone.
CONTRACT_CASE(CaseMappingAndComparison) {
    std::u16string text =
        u"\u00C9T\u00C9 \u0531\u0532\u0533 \u03A3\u0395 \u0414\u0416 \uFF21\uFF22 1.";
    CHECK_EQ(Os().CharLowerBuffW(text.data(), static_cast<DWORD>(text.size())),
             static_cast<DWORD>(text.size()));
    CHECK_EQ(text, u"\u00E9t\u00E9 \u0561\u0562\u0563 \u03C3\u03B5 \u0434\u0436 \uFF41\uFF42 1.");

    struct Pair {
        const char16_t* a;
        const char16_t* b;
        int ignoringCase;
    };
    const Pair pairs[] = {
        {u"label1", u"LABEL1", CSTR_EQUAL},
        {u"\u00C9t\u00E9", u"\u00C9T\u00C9", CSTR_EQUAL},
        {u"\u0531\u0532\u0533", u"\u0561\u0562\u0563", CSTR_EQUAL},
        {u"\uFF42\uFF54\uFF4E", u"\uFF22\uFF34\uFF2E", CSTR_EQUAL},
        {u"label1", u"label11", CSTR_LESS_THAN},
        {u"abd", u"ABC", CSTR_GREATER_THAN},
        {u"a", u"B", CSTR_LESS_THAN},
        {u"Ete", u"\u00C9t\u00E9", CSTR_LESS_THAN},
    };
    for (const Pair& p : pairs) {
        CHECK_EQ(Os().CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, p.a, -1, p.b, -1),
                 p.ignoringCase);
    }
    // Counted lengths compare only what they count.
    CHECK_EQ(Os().CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, u"LABEL1x", 6, u"label1", 6),
             CSTR_EQUAL);
    CHECK_EQ(Os().CompareStringW(LOCALE_USER_DEFAULT, 0, u"label1", -1, u"LABEL1", -1) !=
                 CSTR_EQUAL,
             true);
}

CONTRACT_CASE(FilesOpenReadAndClose) {
    const std::string path = Env().MakeFile("contract.txt", "line1\nline2\n");
    HANDLE file = Os().CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    REQUIRE(file != INVALID_HANDLE_VALUE);
    // Readers may share it.
    HANDLE again = Os().CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    CHECK(again != INVALID_HANDLE_VALUE);
    if (again != INVALID_HANDLE_VALUE) {
        CHECK(Os().CloseHandle(again));
    }
    char buffer[32] = {};
    DWORD got = 0;
    CHECK(Os().ReadFile(file, buffer, 5, &got, nullptr));
    CHECK_EQ(std::string(buffer, got), "line1");
    CHECK(Os().ReadFile(file, buffer, sizeof buffer, &got, nullptr));
    CHECK_EQ(std::string(buffer, got), "\nline2\n");
    // At the end: success with nothing read.
    got = 99;
    CHECK(Os().ReadFile(file, buffer, sizeof buffer, &got, nullptr));
    CHECK_EQ(got, 0u);
    CHECK(Os().CloseHandle(file));

    const std::string missing = Env().MissingFile();
    CHECK(Os().CreateFileA(missing.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr) == INVALID_HANDLE_VALUE);
    CHECK_EQ(Os().GetLastError(), ERROR_FILE_NOT_FOUND);
    const std::string inMissingFolder = missing + "\\inside.txt";
    CHECK(Os().CreateFileA(inMissingFolder.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr) == INVALID_HANDLE_VALUE);
    CHECK_EQ(Os().GetLastError(), ERROR_PATH_NOT_FOUND);
}

CONTRACT_CASE(ProcessesStartEndAndReportTheirExitCode) {
    std::u16string commandLine = Env().ExitingProgram(3);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    REQUIRE(Os().CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                nullptr, &startup, &process));
    CHECK(process.hProcess != nullptr && process.hThread != nullptr);
    CHECK_EQ(Os().WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    CHECK(Os().GetExitCodeProcess(process.hProcess, &exitCode));
    CHECK_EQ(exitCode, 3u);
    CHECK(Os().CloseHandle(process.hThread));
    CHECK(Os().CloseHandle(process.hProcess));

    const std::string missing = Env().MissingFile();
    std::u16string none(missing.begin(), missing.end());
    none += u".exe";
    CHECK(!Os().CreateProcessW(nullptr, none.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    CHECK_EQ(Os().GetLastError(), ERROR_FILE_NOT_FOUND);

    SYSTEM_INFO info{};
    Os().GetNativeSystemInfo(&info);
    CHECK(info.u.s.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL ||
          info.u.s.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
          info.u.s.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_ARM64);
    CHECK(info.dwNumberOfProcessors >= 1);
    CHECK(Os().GetCurrentProcess() == reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)));
}

// CreateProcessW as the launcher calls it: an application name, the command line, nothing else.
struct Started {
    BOOL ok = FALSE;
    DWORD error = 0;    // when it failed
    DWORD exitCode = 0; // when it started: how the process ended
    bool nothingStarted = false;
};

Started Start(const char16_t* applicationName, std::u16string commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    Started result;
    Os().SetLastError(0);
    result.ok = Os().CreateProcessW(applicationName, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                    nullptr, nullptr, &startup, &process);
    if (!result.ok) {
        result.error = Os().GetLastError();
        result.nothingStarted =
            process.hProcess == nullptr && process.hThread == nullptr && process.dwProcessId == 0;
        return result;
    }
    Os().WaitForSingleObject(process.hProcess, 30000);
    Os().GetExitCodeProcess(process.hProcess, &result.exitCode);
    Os().CloseHandle(process.hThread);
    Os().CloseHandle(process.hProcess);
    return result;
}

std::u16string Quoted(const std::u16string& path) {
    return u"\"" + path + u"\"";
}

// An application name, relative or full, is the program started: a relative one is completed
// against the current folder.
CONTRACT_CASE(CreateProcessStartsTheApplicationNameInTheCurrentFolder) {
    const std::u16string full = Env().PlaceProgram(u"Drivers\\probe.exe");
    for (const std::u16string& name : {std::u16string(u"Drivers\\probe.exe"), full}) {
        const Started started = Start(name.c_str(), Quoted(full));
        CHECK_EQ(started.ok, TRUE);
        CHECK_EQ(started.exitCode, kPlacedExitCode);
    }
}

// By application name nothing is searched: a program that is not where the name says fails,
// and nothing is started, even when the search would find one.
CONTRACT_CASE(CreateProcessByApplicationNameFailsForAMissingProgram) {
    Env().PlaceProgram(u"Drivers\\probe.exe");
    const std::u16string onPath = Env().PlaceProgram(u"OnPath\\Tools\\planted.exe");
    Env().AddToPath(
        onPath.substr(0, onPath.size() - std::u16string(u"\\Tools\\planted.exe").size()));
    struct Row {
        const char16_t* name;
        DWORD error;
    };
    const Row rows[] = {
        {u"Drivers\\absent.exe", ERROR_FILE_NOT_FOUND},
        {u"probe.exe", ERROR_FILE_NOT_FOUND},          // it lies in Drivers only
        {u"Drivers\\probe", ERROR_FILE_NOT_FOUND},     // no ".exe" is added
        {u"Tools\\planted.exe", ERROR_PATH_NOT_FOUND}, // only the search would find it
    };
    for (const Row& row : rows) {
        const Started started = Start(row.name, Quoted(row.name));
        if (!CHECK_EQ(started.ok, FALSE)) {
            std::printf("      started %s\n", Show(std::u16string(row.name)).c_str());
            continue;
        }
        CHECK_EQ(started.error, row.error);
        CHECK(started.nothingStarted);
    }
}

// A folder by the program's name is not started.
CONTRACT_CASE(CreateProcessRefusesAFolder) {
    const std::u16string folder = Env().MakeFolder(u"Folder.exe");
    for (const std::u16string& name : {std::u16string(u"Folder.exe"), folder}) {
        const Started started = Start(name.c_str(), Quoted(folder));
        CHECK_EQ(started.ok, FALSE);
        CHECK(started.nothingStarted);
    }
}

CONTRACT_HOST_CASE(
    CreateProcessRefusesAFolderWithAccessDenied,
    "Wine 8 fails with ERROR_INVALID_HANDLE where Windows gives ERROR_ACCESS_DENIED") {
    const std::u16string folder = Env().MakeFolder(u"Folder.exe");
    const Started started = Start(folder.c_str(), Quoted(folder));
    CHECK_EQ(started.ok, FALSE);
    CHECK_EQ(started.error, ERROR_ACCESS_DENIED);
}

// Without an application name the first name on the command line is searched for: in the
// program's own folder and in the PATH folders, a relative name with a folder in it too.
CONTRACT_CASE(CreateProcessWithoutApplicationNameSearches) {
    const std::u16string planted = Env().PlaceProgram(u"OnPath\\Kit\\planted.exe");
    Env().AddToPath(
        planted.substr(0, planted.size() - std::u16string(u"\\Kit\\planted.exe").size()));
    Started started = Start(nullptr, u"Kit\\planted.exe");
    CHECK_EQ(started.ok, TRUE);
    CHECK_EQ(started.exitCode, kPlacedExitCode);
    // The same by application name is not found: the current folder has no Kit folder.
    started = Start(u"Kit\\planted.exe", u"Kit\\planted.exe");
    CHECK_EQ(started.ok, FALSE);
    CHECK_EQ(started.error, ERROR_PATH_NOT_FOUND);

    // The suite's own program, named bare, lies only in its own folder.
    started = Start(nullptr, Env().OwnProgramByName(5));
    CHECK_EQ(started.ok, TRUE);
    CHECK_EQ(started.exitCode, 5u);
}

// The current folder as GetCurrentDirectoryW reports it.
std::u16string CurrentFolder() {
    char16_t folder[MAX_PATH] = {};
    const DWORD length = Os().GetCurrentDirectoryW(MAX_PATH, folder);
    return std::u16string(folder, length < MAX_PATH ? length : 0);
}

// Enters a folder for one case and returns to the one before, whatever the case does.
class InFolder {
public:
    explicit InFolder(const std::u16string& folder) : before_(CurrentFolder()) {
        entered_ = Env().EnterFolder(folder);
    }
    ~InFolder() { Env().EnterFolder(before_); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;
    bool Entered() const { return entered_; }

private:
    std::u16string before_;
    bool entered_ = false;
};

// A network share works as a folder does: as the current folder (reported without a trailing
// backslash, also at the share's root), for CreateFileA by full and relative name, and for
// CreateProcessW by full and relative application name.
CONTRACT_CASE(ANetworkShareServesAsTheCurrentFolder) {
    const std::optional<std::u16string> folder = Env().ShareFolder();
    if (!folder) {
        std::printf("    no network share in this run (E2E_SHARE): nothing checked\n");
    }
    REQUIRE(folder.has_value());
    const std::u16string share = folder->substr(0, folder->rfind(u'\\'));
    {
        const InFolder root(share + u"\\");
        REQUIRE(root.Entered());
        CHECK_EQ(CurrentFolder(), share);
    }
    const InFolder inside(*folder + u"\\");
    REQUIRE(inside.Entered());
    CHECK_EQ(CurrentFolder(), *folder);

    const std::string path = Env().MakeFile("Setup.ini", "$END\r\n");
    CHECK_EQ(path.substr(0, 2), std::string("\\\\"));
    for (const std::string& name : {path, std::string("Setup.ini")}) {
        HANDLE file = Os().CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (!CHECK(file != INVALID_HANDLE_VALUE)) {
            std::printf("      %s: error %lu\n", name.c_str(),
                        static_cast<unsigned long>(Os().GetLastError()));
            continue;
        }
        char buffer[16] = {};
        DWORD got = 0;
        CHECK(Os().ReadFile(file, buffer, sizeof buffer, &got, nullptr));
        CHECK_EQ(std::string(buffer, got), "$END\r\n");
        CHECK(Os().CloseHandle(file));
    }
    const std::string missing = path.substr(0, path.rfind('\\')) + "\\.setup_ini";
    CHECK(Os().CreateFileA(missing.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr) == INVALID_HANDLE_VALUE);
    CHECK_EQ(Os().GetLastError(), ERROR_FILE_NOT_FOUND);

    const std::u16string program = Env().PlaceProgram(u"Drivers\\probe.exe");
    CHECK_EQ(program, *folder + u"\\Drivers\\probe.exe");
    for (const std::u16string& name : {program, std::u16string(u"Drivers\\probe.exe")}) {
        const Started started = Start(name.c_str(), Quoted(program));
        CHECK_EQ(started.ok, TRUE);
        CHECK_EQ(started.exitCode, kPlacedExitCode);
    }
    const Started absent = Start(u"Drivers\\absent.exe", Quoted(u"Drivers\\absent.exe"));
    CHECK_EQ(absent.ok, FALSE);
    CHECK_EQ(absent.error, ERROR_FILE_NOT_FOUND);
}

// A share or a server that is not there.
CONTRACT_HOST_CASE(AMissingShareOrServerGivesTheNetworkErrors,
                   "Wine 8 gives ERROR_PATH_NOT_FOUND where Windows gives ERROR_BAD_NET_NAME or "
                   "ERROR_BAD_NETPATH") {
    const std::optional<std::u16string> folder = Env().ShareFolder();
    REQUIRE(folder.has_value());
    // The server of the share, with a share it does not have; a server that does not exist.
    const std::u16string server = folder->substr(0, folder->find(u'\\', 2));
    struct Row {
        std::u16string path;
        DWORD error;
    };
    const Row rows[] = {
        {server + u"\\no-such-share\\Setup.ini", ERROR_BAD_NET_NAME},
        {u"\\\\no-such-server.invalid\\share\\Setup.ini", ERROR_BAD_NETPATH},
    };
    for (const Row& row : rows) {
        const std::string ansi(row.path.begin(), row.path.end());
        CHECK(Os().CreateFileA(ansi.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr) == INVALID_HANDLE_VALUE);
        CHECK_EQ(Os().GetLastError(), row.error);
        const std::u16string program = row.path.substr(0, row.path.rfind(u'\\')) + u"\\probe.exe";
        const Started started = Start(program.c_str(), Quoted(program));
        CHECK_EQ(started.ok, FALSE);
        CHECK_EQ(started.error, row.error);
        CHECK(started.nothingStarted);
    }
}

} // namespace
} // namespace contract
