// Drives the real Setup.exe under Wine through one end-to-end scenario.
//
//   driver SCENARIO PACKAGE_DIR SETUP_EXE OUTPUT_DIR --client=WxH [--dpi=N] [--work=DIR]
//       starts SETUP_EXE in PACKAGE_DIR, checks what the scenario expects, prints every check
//       and ends with "PASS" (exit 0) or "FAIL: reason" (exit 1). Screenshots go to OUTPUT_DIR
//       as BMP files; the stub installer's record and the window log go to DIR (default
//       OUTPUT_DIR).
//   driver --prepare SCENARIO PACKAGE_DIR
//       writes the scenario's setup file into a copy of the example package and removes what
//       the scenario needs missing.
//   driver --probe
//       prints one line; the harness uses it to learn whether this build can run at all.
//
// The launcher is observed from outside with the ordinary window functions (texts with
// WM_GETTEXT, rectangles, IsIconic) and, for states too short to poll, through the window
// log of e2e-watch.dll, a call-window hook set on the launcher's main thread. The controls'
// fonts are read from inside the launcher by e2e-fonts.dll, another such hook.

#include <windows.h>

#include "FontProbe.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Generous but bounded: a hang fails the scenario instead of blocking the run.
constexpr DWORD kWaitMs = 10000;
constexpr DWORD kPollMs = 10;

// ---------------------------------------------------------------- output

std::string Utf8(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                            size, nullptr, nullptr);
    return out;
}

std::wstring Wide(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(size > 0 ? size : 0, L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(),
                            size);
    return out;
}

// Raw UTF-8 bytes to the standard output, whatever the console code page.
void Say(const std::wstring& line) {
    std::string bytes = Utf8(line);
    bytes += '\n';
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

std::wstring Quote(const std::wstring& text) {
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        if (c == L'\n') {
            out += L"\\n";
        } else if (c < 0x20) {
            wchar_t buf[8];
            std::swprintf(buf, 8, L"\\x%02x", static_cast<unsigned>(c));
            out += buf;
        } else {
            out += c;
        }
    }
    return out + L"\"";
}

std::wstring Num(long long value) {
    return std::to_wstring(value);
}

struct Failure {
    std::wstring reason;
};

[[noreturn]] void Fail(const std::wstring& reason) {
    throw Failure{reason};
}

void Check(bool ok, const std::wstring& what, const std::wstring& otherwise = {}) {
    if (!ok)
        Fail(otherwise.empty() ? what : what + L" (" + otherwise + L")");
    Say(L"ok: " + what);
}

// ---------------------------------------------------------------- scenarios

enum class Lang { English, Japanese };
enum class Ini { Good, EndOnly, None, NoEnd, ShiftJisTitle };
enum class Flow {
    Cancel,
    CloseBox,
    AltF4,
    Escape,
    Enter,
    Install,
    InstallerMissing,
    BoxThenClose,
    Resize
};
enum class Icon { Unknown, Exclamation, Information, Error, Question };

struct BoxFact {
    const wchar_t* text;
    const wchar_t* caption;
    Icon icon;
};

// Where an installer lies that the launcher must not start: the package has none of its own.
enum class Planted {
    Nowhere,
    OnPath,         // in a folder on the PATH, under the installer's relative path
    BesideLauncher, // beside Setup.exe, which is started from another folder
};

struct Scenario {
    const char* name;
    Lang lang;
    Ini ini;
    Flow flow;
    bool installer_present;
    DWORD stub_exit;
    BoxFact box;
    Planted planted = Planted::Nowhere;
};

const wchar_t kOpenFailedEn[] = L"Can not open the setup file ('Setup.ini' or '.setup_ini')";
// Full-width parentheses around ASCII double quotes.
const wchar_t kOpenFailedJa[] =
    L"設定ファイル\uFF08\"Setup.ini\" または \".setup_ini\"\uFF09を開けません";
const wchar_t kReadFailed[] = L"設定ファイルの読み込みに失敗しました.";
const wchar_t kStartFailed[] = L"It failed in the start from an installer.";

const Scenario kScenarios[] = {
    {"window-cancel", Lang::English, Ini::Good, Flow::Cancel, true, 0, {}},
    {"close-box", Lang::English, Ini::Good, Flow::CloseBox, true, 0, {}},
    {"alt-f4", Lang::English, Ini::Good, Flow::AltF4, true, 0, {}},
    {"escape", Lang::English, Ini::Good, Flow::Escape, true, 0, {}},
    {"placeholders", Lang::English, Ini::EndOnly, Flow::Cancel, true, 0, {}},
    {"no-setup-file",
     Lang::English,
     Ini::None,
     Flow::BoxThenClose,
     true,
     0,
     {kOpenFailedEn, L"ERROR", Icon::Exclamation}},
    {"no-setup-file-ja",
     Lang::Japanese,
     Ini::None,
     Flow::BoxThenClose,
     true,
     0,
     {kOpenFailedJa, L"ERROR", Icon::Exclamation}},
    {"japanese-buttons", Lang::Japanese, Ini::Good, Flow::Cancel, true, 0, {}},
    {"no-end-marker",
     Lang::English,
     Ini::NoEnd,
     Flow::BoxThenClose,
     true,
     0,
     {kReadFailed, L"エラー", Icon::Exclamation}},
    {"shift-jis-title", Lang::Japanese, Ini::ShiftJisTitle, Flow::Cancel, true, 0, {}},
    {"install", Lang::English, Ini::Good, Flow::Install, true, 0, {}},
    {"install-exit3", Lang::English, Ini::Good, Flow::Install, true, 3, {}},
    {"installer-missing",
     Lang::English,
     Ini::Good,
     Flow::InstallerMissing,
     false,
     0,
     {kStartFailed, L"ERROR", Icon::Information}},
    // The launcher searches nowhere for its installer: one that only a search would find is
    // not started, and the start fails as with no installer.
    {"installer-on-path",
     Lang::English,
     Ini::Good,
     Flow::InstallerMissing,
     false,
     0,
     {kStartFailed, L"ERROR", Icon::Information},
     Planted::OnPath},
    {"installer-beside-launcher",
     Lang::English,
     Ini::Good,
     Flow::InstallerMissing,
     true,
     0,
     {kStartFailed, L"ERROR", Icon::Information},
     Planted::BesideLauncher},
    {"enter-installs", Lang::English, Ini::Good, Flow::Enter, true, 0, {}},
    {"resize", Lang::English, Ini::Good, Flow::Resize, true, 0, {}},
    {"resize-120dpi", Lang::English, Ini::Good, Flow::Resize, true, 0, {}},
    {"resize-144dpi", Lang::English, Ini::Good, Flow::Resize, true, 0, {}},
    // Run at 120 and 144 dpi: the window as first shown, adapted to the density.
    {"density-120", Lang::English, Ini::Good, Flow::Cancel, true, 0, {}},
    {"density-144", Lang::English, Ini::Good, Flow::Cancel, true, 0, {}},
};

const Scenario* FindScenario(const std::wstring& name) {
    for (const Scenario& s : kScenarios)
        if (Wide(s.name) == name)
            return &s;
    return nullptr;
}

// The setup files, byte for byte, and the label texts each one must produce.
struct IniFile {
    const char* bytes; // nullptr: no setup file at all
    const wchar_t* title;
    const wchar_t* type;
    const wchar_t* version;
};

IniFile IniFor(Ini ini) {
    switch (ini) {
    case Ini::Good:
        return {"; Setup description of the end-to-end test package\r\n"
                "$TITLE = \"E2E Test Driver\"\r\n"
                "$DRV_TYPE = \"TYPE-5\"\r\n"
                "$DRV_VERSION = \"1.23.45\"\r\n"
                "$END\r\n",
                L"E2E Test Driver", L"TYPE-5", L"Ver.1.23.45"};
    case Ini::EndOnly:
        return {"$END\r\n", L"????????", L"????????", L"?.??.??"};
    case Ini::None:
        return {nullptr, nullptr, nullptr, nullptr};
    case Ini::NoEnd:
        return {"$TITLE = \"E2E Test Driver\"\r\n"
                "$DRV_TYPE = \"TYPE-5\"\r\n"
                "$DRV_VERSION = \"1.23.45\"\r\n",
                nullptr, nullptr, nullptr};
    case Ini::ShiftJisTitle:
        // "ドライバ" in Shift_JIS.
        return {"$TITLE = \"\x83\x68\x83\x89\x83\x43\x83\x6F\"\r\n"
                "$DRV_TYPE = \"TYPE-5\"\r\n"
                "$DRV_VERSION = \"1.23.45\"\r\n"
                "$END\r\n",
                L"ドライバ", L"TYPE-5", L"Ver.1.23.45"};
    }
    return {};
}

// ---------------------------------------------------------------- the window's facts

constexpr int kDesignDpi = 96;
enum ControlIndex {
    kLabelTitle,
    kImage1,
    kLabel2,
    kLabelType,
    kLabelVersion,
    kLabel5,
    kBtnInstall,
    kBtnCancel,
    kControlCount
};
// The form's controls in the description's order.
constexpr const char* kControlNames[kControlCount] = {"LabelTitle", "Image1",       "Label2",
                                                      "LabelType",  "LabelVersion", "Label5",
                                                      "BtnInstall", "BtnCancel"};

struct Rect {
    int left, top, width, height;
    bool operator==(const Rect&) const = default;
};

// Where each control must be, relative to the client area, and the pixel height of its font
// (0: the control shows no text), for a density and a client size.
struct ExpectedLayout {
    int dpi, client_width, client_height;
    Rect controls[kControlCount];
    int font_heights[kControlCount];
};

// Worked out from the window's description and the layout rules by tests/expected_layout.py
// (`python3 tests/expected_layout.py driver`), apart from the product's code, and pasted
// here: a fault in the product's arithmetic cannot move the expectations with it.
// clang-format off
constexpr ExpectedLayout kExpectedLayouts[] = {
    {96, 395, 386,
     {{88, 32, 266, 31}, {7, 6, 26, 23}, {70, 105, 293, 26}, {159, 146, 114, 29},
      {117, 181, 172, 36}, {77, 246, 242, 28}, {35, 303, 140, 49}, {224, 303, 139, 49}},
     {-27, 0, -23, -20, -23, -20, -20, -20}},
    {96, 592, 386,
     {{132, 32, 398, 31}, {11, 6, 39, 23}, {105, 105, 439, 26}, {239, 146, 171, 29},
      {176, 181, 258, 36}, {116, 246, 362, 28}, {53, 303, 210, 49}, {335, 303, 209, 49}},
     {-27, 0, -23, -20, -23, -20, -20, -20}},
    {96, 300, 500,
     {{67, 42, 202, 40}, {5, 8, 20, 30}, {53, 136, 222, 34}, {121, 190, 87, 38},
      {89, 235, 131, 47}, {59, 318, 184, 36}, {27, 392, 107, 64}, {170, 392, 106, 64}},
     {-20, 0, -16, -15, -16, -15, -15, -15}},
    {96, 591, 520,
     {{132, 43, 398, 42}, {11, 8, 39, 31}, {105, 142, 438, 35}, {239, 197, 171, 39},
      {176, 244, 258, 49}, {116, 331, 362, 38}, {53, 408, 210, 66}, {335, 408, 209, 66}},
     {-36, 0, -29, -27, -29, -27, -27, -27}},
    {96, 1272, 997,
     {{284, 83, 856, 80}, {23, 16, 84, 60}, {226, 272, 943, 67}, {513, 378, 368, 75},
      {378, 469, 555, 93}, {249, 634, 778, 73}, {113, 782, 452, 127}, {720, 782, 449, 127}},
     {-68, 0, -59, -51, -59, -51, -51, -51}},
    {120, 395, 386,
     {{88, 32, 265, 31}, {7, 6, 26, 23}, {71, 105, 293, 26}, {160, 147, 115, 29},
      {117, 181, 172, 36}, {77, 245, 241, 28}, {35, 303, 140, 49}, {224, 303, 140, 49}},
     {-27, 0, -23, -20, -23, -20, -20, -20}},
    {120, 592, 386,
     {{132, 32, 398, 31}, {11, 6, 40, 23}, {106, 105, 439, 26}, {239, 147, 172, 29},
      {175, 181, 258, 36}, {115, 245, 362, 28}, {53, 303, 210, 49}, {335, 303, 209, 49}},
     {-27, 0, -23, -20, -23, -20, -20, -20}},
    {120, 300, 500,
     {{67, 42, 202, 41}, {5, 8, 20, 30}, {54, 136, 222, 34}, {121, 190, 87, 37},
      {89, 235, 131, 47}, {58, 318, 183, 36}, {27, 393, 107, 63}, {170, 393, 106, 63}},
     {-20, 0, -17, -15, -17, -15, -15, -15}},
    {120, 591, 520,
     {{132, 43, 397, 42}, {11, 9, 40, 31}, {106, 142, 438, 36}, {239, 198, 172, 39},
      {175, 244, 258, 49}, {115, 331, 361, 38}, {53, 408, 210, 66}, {335, 408, 209, 66}},
     {-35, 0, -32, -27, -32, -27, -27, -27}},
    {120, 1272, 992,
     {{284, 82, 855, 80}, {23, 16, 85, 60}, {227, 270, 943, 68}, {514, 377, 369, 74},
      {377, 466, 555, 93}, {248, 631, 777, 72}, {114, 779, 452, 126}, {721, 779, 449, 126}},
     {-68, 0, -62, -50, -62, -50, -50, -50}},
    {144, 395, 386,
     {{88, 32, 266, 31}, {7, 6, 26, 23}, {70, 106, 293, 26}, {160, 146, 114, 29},
      {118, 182, 172, 36}, {78, 246, 242, 28}, {35, 303, 140, 49}, {224, 303, 140, 49}},
     {-28, 0, -24, -20, -24, -20, -20, -20}},
    {144, 592, 386,
     {{132, 32, 399, 31}, {11, 6, 39, 23}, {105, 106, 439, 26}, {239, 146, 171, 29},
      {176, 182, 258, 36}, {116, 246, 363, 28}, {53, 303, 210, 49}, {336, 303, 209, 49}},
     {-28, 0, -24, -20, -24, -20, -20, -20}},
    {144, 300, 500,
     {{67, 42, 202, 41}, {6, 8, 20, 30}, {53, 137, 222, 34}, {121, 190, 87, 38},
      {89, 235, 131, 47}, {59, 319, 184, 36}, {27, 392, 107, 64}, {170, 392, 106, 64}},
     {-20, 0, -18, -14, -18, -14, -14, -14}},
    {144, 591, 520,
     {{132, 43, 398, 42}, {11, 8, 39, 32}, {105, 142, 438, 35}, {239, 197, 171, 40},
      {176, 245, 258, 49}, {116, 331, 362, 38}, {53, 408, 210, 67}, {335, 408, 209, 67}},
     {-36, 0, -32, -26, -32, -26, -26, -26}},
    {144, 1270, 986,
     {{284, 82, 855, 80}, {24, 15, 84, 60}, {226, 270, 941, 67}, {514, 374, 367, 75},
      {378, 464, 554, 92}, {249, 628, 778, 72}, {114, 773, 451, 126}, {720, 773, 449, 126}},
     {-70, 0, -60, -50, -60, -50, -50, -50}},
};
// clang-format on

const ExpectedLayout& ExpectedFor(int dpi, int client_width, int client_height) {
    for (const ExpectedLayout& e : kExpectedLayouts)
        if (e.dpi == dpi && e.client_width == client_width && e.client_height == client_height)
            return e;
    Fail(L"no expected layout for a " + Num(client_width) + L" x " + Num(client_height) +
         L" client at " + Num(dpi) + L" dpi (add the size to tests/expected_layout.py)");
}

std::wstring Show(const Rect& r) {
    return L"(" + Num(r.left) + L"," + Num(r.top) + L"," + Num(r.width) + L"x" + Num(r.height) +
           L")";
}

// ---------------------------------------------------------------- small Win32 helpers

class Handle {
public:
    explicit Handle(HANDLE h = nullptr) : h_(h) {}
    ~Handle() {
        if (h_ && h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

std::wstring FullPath(const std::wstring& path) {
    wchar_t buf[4096];
    DWORD n = GetFullPathNameW(path.c_str(), 4096, buf, nullptr);
    if (n == 0 || n >= 4096)
        Fail(L"cannot resolve the path " + Quote(path));
    std::wstring out(buf, n);
    while (out.size() > 3 && (out.back() == L'\\' || out.back() == L'/'))
        out.pop_back();
    return out;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    Handle owner(file);
    std::string out;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(file, buf, sizeof buf, &got, nullptr) && got > 0)
        out.append(buf, got);
    return out;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        Fail(L"cannot write " + Quote(path));
    Handle owner(file);
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        Fail(L"cannot write " + Quote(path));
}

void RemoveIfThere(const std::wstring& path) {
    if (FileExists(path) && !DeleteFileW(path.c_str()))
        Fail(L"cannot delete " + Quote(path));
}

// The installer the launcher picks on this machine, relative to its current directory.
std::wstring InstallerPath() {
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL ? L"Drivers\\dpinst.exe"
                                                                       : L"Drivers\\dpinst64.exe";
}

// The folder on the PATH that holds the package's Drivers folder in the scenario that plants it
// there: beside the package copy, in the scenario's work folder.
std::wstring OnPathFolder(const std::wstring& package) {
    return package.substr(0, package.find_last_of(L'\\')) + L"\\on-path";
}

// Cross-process GetWindowTextW does not reach every class; WM_GETTEXT does.
std::optional<std::wstring> TryText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return std::nullopt;
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 2000, &copied))
        return std::nullopt;
    text.resize(copied < text.size() ? copied : 0);
    return text;
}

std::wstring Text(HWND window) {
    std::optional<std::wstring> text = TryText(window);
    if (!text)
        Fail(IsWindow(window) ? L"a window does not answer WM_GETTEXT" : L"a window vanished");
    return *text;
}

std::wstring ClassOf(HWND window) {
    wchar_t cls[256] = L"";
    GetClassNameW(window, cls, 256);
    return cls;
}

// A window's rectangle in the client coordinates of another window.
Rect RectIn(HWND window, HWND reference) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// ---------------------------------------------------------------- the launcher process

struct TopWindow {
    HWND window;
    bool box;
    bool visible;
};

struct TopSearch {
    DWORD pid;
    std::vector<TopWindow>* found;
};

BOOL CALLBACK CollectTopWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TopSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid)
        search->found->push_back(
            {window, ClassOf(window) == L"#32770", IsWindowVisible(window) != 0});
    return TRUE;
}

struct ChildSearch {
    HWND parent;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (GetParent(window) == search->parent)
        search->found->push_back(window);
    return TRUE;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> found;
    ChildSearch search{parent, &found};
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&search));
    return found;
}

struct WatchEvent {
    unsigned long tick;
    unsigned long long window;
    bool visible;
    bool iconic;
    bool box;
};

unsigned long long HandleValue(HWND window) {
    return static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window));
}

class Launcher {
public:
    Launcher(const std::wstring& exe, const std::wstring& dir, const std::wstring& watch_log) {
        watch_log_ = watch_log;
        RemoveIfThere(watch_log_);
        if (!SetEnvironmentVariableW(L"SETUP_E2E_WATCH_LOG", watch_log_.c_str()))
            Fail(L"cannot set SETUP_E2E_WATCH_LOG");

        STARTUPINFOW si{};
        si.cb = sizeof si;
        std::wstring command = L"\"" + exe + L"\"";
        // Suspended, so that the window log is in place before the launcher's first message.
        if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                            nullptr, dir.c_str(), &si, &pi_))
            Fail(L"cannot start " + Quote(exe) + L", error " + Num(GetLastError()));
        try {
            HookWatch();
            if (ResumeThread(pi_.hThread) == static_cast<DWORD>(-1))
                Fail(L"cannot resume the launcher");
        } catch (const Failure&) {
            // No destructor runs for a half-built object: end the suspended process here.
            TerminateProcess(pi_.hProcess, 1);
            CloseHandle(pi_.hThread);
            CloseHandle(pi_.hProcess);
            throw;
        }
        Say(L"started " + Quote(exe) + L" in " + Quote(dir) + L", process " + Num(pi_.dwProcessId));
    }

    ~Launcher() {
        if (hook_)
            UnhookWindowsHookEx(hook_);
        if (fonts_hook_)
            UnhookWindowsHookEx(fonts_hook_);
        if (reply_)
            DestroyWindow(reply_);
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(pi_.hProcess, 1);
            WaitForSingleObject(pi_.hProcess, kWaitMs);
        }
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }

    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    bool Running() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

    std::vector<TopWindow> TopWindows() const {
        std::vector<TopWindow> found;
        TopSearch search{pi_.dwProcessId, &found};
        EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&search));
        return found;
    }

    // A box that was answered may stay visible for a moment while it closes; it does not count
    // as a new one.
    std::optional<HWND> VisibleBox() const {
        for (const TopWindow& w : TopWindows())
            if (w.box && w.visible && !Dismissed(w.window))
                return w.window;
        return std::nullopt;
    }

    void Dismiss(HWND box) { dismissed_.push_back(box); }
    bool Dismissed(HWND box) const {
        for (HWND d : dismissed_)
            if (d == box)
                return true;
        return false;
    }

    // Fails on a message box that the scenario does not expect at this point.
    void RefuseBox(const std::wstring& when) const {
        if (auto box = VisibleBox()) {
            const auto caption = TryText(*box);
            const auto text = TryText(GetDlgItem(*box, 0xFFFF));
            Fail(L"unexpected message box " + when + L": caption " +
                 (caption ? Quote(*caption) : L"(gone)") + L", text " +
                 (text ? Quote(*text) : L"(gone)"));
        }
    }

    // The one visible top-level window that is not a message box.
    HWND WaitForMainWindow() const {
        WaitForInputIdle(pi_.hProcess, kWaitMs);
        const DWORD start = GetTickCount();
        for (;;) {
            RefuseBox(L"before the main window");
            std::vector<HWND> shown;
            for (const TopWindow& w : TopWindows())
                if (!w.box && w.visible)
                    shown.push_back(w.window);
            if (shown.size() > 1)
                Fail(Num(static_cast<long long>(shown.size())) +
                     L" visible top-level windows, not one");
            if (shown.size() == 1)
                return shown[0];
            if (!Running())
                Fail(L"the launcher ended before its window showed, exit status " +
                     Num(ExitCode()));
            if (GetTickCount() - start > kWaitMs)
                Fail(L"no window within 10 s");
            Sleep(kPollMs);
        }
    }

    HWND WaitForBox(bool main_window_allowed) const {
        const DWORD start = GetTickCount();
        for (;;) {
            bool main_shown = false;
            for (const TopWindow& w : TopWindows()) {
                if (w.box && w.visible && !Dismissed(w.window))
                    return w.window;
                if (!w.box && w.visible)
                    main_shown = true;
            }
            if (main_shown && !main_window_allowed)
                Fail(L"the main window became visible before the message box");
            if (!Running())
                Fail(L"the launcher ended without a message box, exit status " + Num(ExitCode()));
            if (GetTickCount() - start > kWaitMs)
                Fail(L"no message box within 10 s");
            Sleep(kPollMs);
        }
    }

    // Waits for the end; a message box in the meantime fails the scenario.
    DWORD WaitForExit(const std::wstring& after) const {
        const DWORD start = GetTickCount();
        while (Running()) {
            RefuseBox(after);
            if (GetTickCount() - start > kWaitMs)
                Fail(L"the launcher did not end within 10 s " + after);
            Sleep(kPollMs);
        }
        return ExitCode();
    }

    DWORD ExitCode() const {
        DWORD code = 0;
        if (!GetExitCodeProcess(pi_.hProcess, &code))
            Fail(L"cannot read the exit status");
        return code;
    }

    std::vector<WatchEvent> WatchLog() const {
        std::vector<WatchEvent> events;
        const std::string text = ReadFileBytes(watch_log_);
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = text.find('\n', pos);
            if (end == std::string::npos)
                break; // a line still being written
            const std::string line = text.substr(pos, end - pos);
            pos = end + 1;
            WatchEvent e{};
            int visible = 0, iconic = 0, box = 0;
            if (std::sscanf(line.c_str(), "%lu %llx visible=%d iconic=%d box=%d", &e.tick,
                            &e.window, &visible, &iconic, &box) == 5) {
                e.visible = visible != 0;
                e.iconic = iconic != 0;
                e.box = box != 0;
                events.push_back(e);
            }
        }
        return events;
    }

    // The lfHeight of each child's font, by window, as e2e-fonts.dll reads it inside the
    // launcher; children without a font are missing.
    std::vector<std::pair<HWND, int>> FontHeights(HWND form) {
        static const UINT probe = RegisterWindowMessageW(font_probe::kMessageName);
        if (probe == 0)
            Fail(L"cannot register the font probe message");
        if (!reply_) {
            WNDCLASSW cls{};
            cls.lpfnWndProc = FontReplyProc;
            cls.hInstance = GetModuleHandleW(nullptr);
            cls.lpszClassName = L"SetupE2EFontReply";
            RegisterClassW(&cls);
            reply_ = CreateWindowExW(0, cls.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                     nullptr, cls.hInstance, nullptr);
            if (!reply_)
                Fail(L"cannot create the font reply window, error " + Num(GetLastError()));
        }
        FontReplies().clear();
        FontReplied() = false;
        // The reply comes as a sent WM_COPYDATA while this call waits.
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutW(form, probe, reinterpret_cast<WPARAM>(reply_), 0,
                                 SMTO_ABORTIFHUNG, 5000, &ignored))
            Fail(L"the launcher does not answer the font probe");
        if (!FontReplied())
            Fail(L"no font answer from inside the launcher (e2e-fonts.dll not loaded there?)");
        std::vector<std::pair<HWND, int>> out;
        for (const FontEntry& e : FontReplies())
            if (e.hasFont)
                out.emplace_back(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(e.window)),
                                 e.lfHeight);
        return out;
    }

private:
    using FontEntry = font_probe::Entry;
    static std::vector<FontEntry>& FontReplies() {
        static std::vector<FontEntry> entries;
        return entries;
    }
    static bool& FontReplied() {
        static bool replied = false;
        return replied;
    }
    static LRESULT CALLBACK FontReplyProc(HWND window, UINT message, WPARAM wparam,
                                          LPARAM lparam) {
        if (message == WM_COPYDATA) {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
            if (data && data->dwData == font_probe::kReply && data->cbData % sizeof(FontEntry) == 0) {
                const auto* first = static_cast<const FontEntry*>(data->lpData);
                FontReplies().assign(first, first + data->cbData / sizeof(FontEntry));
                FontReplied() = true;
                return TRUE;
            }
        }
        return DefWindowProcW(window, message, wparam, lparam);
    }

    // A hook procedure of a library beside the driver, set on the launcher's main thread.
    HHOOK SetHook(const wchar_t* library, const char* procedure, int kind) {
        wchar_t self[MAX_PATH];
        DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
        if (n == 0 || n >= MAX_PATH)
            Fail(L"cannot find the driver's own path");
        std::wstring dll(self, n);
        dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + library;
        HMODULE module = LoadLibraryW(dll.c_str());
        if (!module)
            Fail(L"cannot load " + Quote(dll));
        auto proc = reinterpret_cast<HOOKPROC>(
            reinterpret_cast<void*>(GetProcAddress(module, procedure)));
        if (!proc)
            Fail(std::wstring(library) + L" has no " + Wide(procedure));
        HHOOK hook = SetWindowsHookExW(kind, proc, module, pi_.dwThreadId);
        if (!hook)
            Fail(L"cannot set the hook of " + std::wstring(library) + L", error " +
                 Num(GetLastError()));
        return hook;
    }

    void HookWatch() {
        hook_ = SetHook(L"e2e-watch.dll", "WatchCallWndRet", WH_CALLWNDPROCRET);
        fonts_hook_ = SetHook(L"e2e-fonts.dll", "FontProbeCallWnd", WH_CALLWNDPROC);
    }

    PROCESS_INFORMATION pi_{};
    HHOOK hook_ = nullptr;
    HHOOK fonts_hook_ = nullptr;
    HWND reply_ = nullptr;
    std::wstring watch_log_;
    std::vector<HWND> dismissed_;
};

// ---------------------------------------------------------------- pixels

struct Pixels {
    int width = 0, height = 0;
    std::vector<std::uint32_t> data; // top-down rows, 0x00RRGGBB
};

// A 32-bit top-down DIB section selected into a memory DC.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        screen_ = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen_);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (!dc_ || !bitmap_ || !bits_)
            Fail(L"cannot create a bitmap for a screenshot");
        old_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
        ReleaseDC(nullptr, screen_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    HDC screen() const { return screen_; }
    Pixels Read() const {
        GdiFlush();
        Pixels p{width_, height_, {}};
        const auto* src = static_cast<const std::uint32_t*>(bits_);
        p.data.assign(src, src + static_cast<size_t>(width_) * height_);
        for (auto& px : p.data)
            px &= 0xFFFFFF;
        return p;
    }

private:
    int width_, height_;
    HDC screen_ = nullptr, dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

Pixels CaptureScreen(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        Fail(L"nothing to capture");
    Canvas canvas(w, h);
    if (!BitBlt(canvas.dc(), 0, 0, w, h, canvas.screen(), r.left, r.top, SRCCOPY))
        Fail(L"cannot copy from the screen");
    return canvas.Read();
}

void WriteBmp(const std::wstring& path, const Pixels& p) {
    const int row = p.width * 3 + (4 - p.width * 3 % 4) % 4;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(row) * p.height;
    ih.biSize = sizeof ih;
    ih.biWidth = p.width;
    ih.biHeight = p.height; // bottom-up
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biCompression = BI_RGB;
    std::string bytes(reinterpret_cast<const char*>(&fh), sizeof fh);
    bytes.append(reinterpret_cast<const char*>(&ih), sizeof ih);
    for (int y = p.height - 1; y >= 0; --y) {
        std::string line(row, '\0');
        for (int x = 0; x < p.width; ++x) {
            const std::uint32_t px = p.data[static_cast<size_t>(y) * p.width + x];
            line[x * 3] = static_cast<char>(px & 0xFF);
            line[x * 3 + 1] = static_cast<char>((px >> 8) & 0xFF);
            line[x * 3 + 2] = static_cast<char>((px >> 16) & 0xFF);
        }
        bytes += line;
    }
    WriteFileBytes(path, bytes);
}

std::wstring IconName(Icon icon) {
    switch (icon) {
    case Icon::Exclamation:
        return L"exclamation";
    case Icon::Information:
        return L"information";
    case Icon::Error:
        return L"error";
    case Icon::Question:
        return L"question";
    case Icon::Unknown:
        break;
    }
    return L"unknown";
}

struct IconStaticSearch {
    HWND found;
};

BOOL CALLBACK FindIconStatic(HWND window, LPARAM param) {
    if ((GetWindowLongW(window, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
        ClassOf(window) == L"Static") {
        reinterpret_cast<IconStaticSearch*>(param)->found = window;
        return FALSE;
    }
    return TRUE;
}

// The icon handle of another process cannot be examined, so the box's icon is told apart by
// its pixels: each standard icon is drawn here on the box's background and compared.
Icon BoxIcon(HWND box) {
    IconStaticSearch search{nullptr};
    EnumChildWindows(box, FindIconStatic, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return Icon::Unknown;
    const struct {
        Icon icon;
        LPCWSTR id;
    } candidates[] = {{Icon::Exclamation, IDI_EXCLAMATION},
                      {Icon::Information, IDI_ASTERISK},
                      {Icon::Error, IDI_HAND},
                      {Icon::Question, IDI_QUESTION}};
    const DWORD start = GetTickCount();
    for (;;) {
        RECT r;
        GetWindowRect(search.found, &r);
        const Pixels shot = CaptureScreen(r);
        const std::uint32_t background = shot.data[0];
        Icon best = Icon::Unknown;
        size_t best_diff = shot.data.size(), second_diff = shot.data.size();
        for (const auto& c : candidates) {
            Canvas canvas(shot.width, shot.height);
            HBRUSH brush = CreateSolidBrush(
                RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF));
            RECT all{0, 0, shot.width, shot.height};
            FillRect(canvas.dc(), &all, brush);
            DeleteObject(brush);
            DrawIconEx(canvas.dc(), 0, 0, LoadIconW(nullptr, c.id), shot.width, shot.height, 0,
                       nullptr, DI_NORMAL);
            const Pixels drawn = canvas.Read();
            size_t diff = 0;
            for (size_t i = 0; i < drawn.data.size(); ++i)
                diff += drawn.data[i] != shot.data[i];
            if (diff < best_diff) {
                second_diff = best_diff;
                best_diff = diff;
                best = c.icon;
            } else if (diff < second_diff) {
                second_diff = diff;
            }
        }
        // A clear winner: almost identical to one icon and much less so to any other.
        if (best_diff * 50 <= shot.data.size() && best_diff * 4 < second_diff)
            return best;
        if (GetTickCount() - start > 2000)
            return Icon::Unknown;
        Sleep(50); // not painted yet
    }
}

// ---------------------------------------------------------------- input

void SendKeys(HWND target, std::initializer_list<std::pair<WORD, bool>> keys) {
    if (GetForegroundWindow() != target)
        SetForegroundWindow(target);
    if (GetForegroundWindow() != target)
        Fail(L"the launcher's window is not in the foreground");
    std::vector<INPUT> inputs;
    for (const auto& [vk, up] : keys) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(in);
    }
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
        Fail(L"SendInput failed");
}

void Click(HWND button) {
    if (!PostMessageW(button, BM_CLICK, 0, 0))
        Fail(L"cannot post BM_CLICK");
}

// ---------------------------------------------------------------- the run

struct Options {
    const Scenario* scenario = nullptr;
    std::wstring package, setup_exe, shots, work;
    int client_width = 0, client_height = 0;
    int dpi = 0;
};

class Run {
public:
    explicit Run(const Options& o) : o_(o), s_(*o.scenario) {}

    void Go() {
        CheckEnvironment();
        switch (s_.flow) {
        case Flow::Cancel:
        case Flow::CloseBox:
        case Flow::AltF4:
        case Flow::Escape:
            CloseFlow();
            break;
        case Flow::Install:
        case Flow::Enter:
            InstallFlow();
            break;
        case Flow::InstallerMissing:
            InstallerMissingFlow();
            break;
        case Flow::BoxThenClose:
            BoxThenCloseFlow();
            break;
        case Flow::Resize:
            ResizeFlow();
            break;
        }
    }

private:
    std::wstring Work(const wchar_t* name) const { return o_.work + L"\\" + name; }
    std::wstring Shot(const wchar_t* suffix) const {
        return o_.shots + L"\\" + Wide(s_.name) + L"." + suffix + L".bmp";
    }

    void CheckEnvironment() {
        const LCID lcid = GetUserDefaultLCID();
        if (s_.lang == Lang::Japanese)
            Check(lcid == 1041, L"user locale is Japanese (1041)",
                  L"it is " + Num(lcid) + L": run with LC_ALL=ja_JP.UTF-8");
        else
            Check(lcid != 1041, L"user locale is not Japanese (" + Num(lcid) + L")",
                  L"run with LC_ALL=C.UTF-8");
        if (o_.dpi != 0) {
            HDC screen = GetDC(nullptr);
            const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
            ReleaseDC(nullptr, screen);
            Check(dpi == o_.dpi, L"screen density " + Num(o_.dpi) + L" dpi", L"it is " + Num(dpi));
        }
    }

    // The facts of a freshly shown window; remembers the controls for the clicks.
    void CheckWindow(Launcher& launcher, HWND form) {
        Check(Text(form) == L"Setup (1.0.3)", L"caption \"Setup (1.0.3)\"",
              L"it is " + Quote(Text(form)));
        Check(!IsIconic(form) && !IsZoomed(form), L"window neither minimised nor maximised");
        RECT client;
        GetClientRect(form, &client);
        Check(client.right == o_.client_width && client.bottom == o_.client_height,
              L"client area " + Num(o_.client_width) + L" x " + Num(o_.client_height),
              L"it is " + Num(client.right) + L" x " + Num(client.bottom));
        CheckControls(form, o_.client_width, o_.client_height);
        CheckFonts(launcher, form, o_.client_width, o_.client_height);
        launcher.RefuseBox(L"with the window open");
    }

    // Every control where the expected layout puts it for the client size, with its text.
    void CheckControls(HWND form, int client_width, int client_height) {
        const IniFile ini = IniFor(s_.ini);
        const bool ja = s_.lang == Lang::Japanese;
        const wchar_t* texts[kControlCount] = {ini.title,
                                               nullptr,
                                               L"USB DRIVER SOFTWARE",
                                               ini.type,
                                               ini.version,
                                               L"( for Windows 32bit/64bit )",
                                               ja ? L"インストール" : L"Install",
                                               ja ? L"中止" : L"Cancel"};

        const std::vector<HWND> children = Children(form);
        std::wstring listing;
        for (HWND child : children)
            listing += L" " + ClassOf(child) + Show(RectIn(child, form)) + Quote(Text(child));
        Check(children.size() == kControlCount, L"eight child controls",
              Num(static_cast<long long>(children.size())) + L":" + listing);

        const int dpi = o_.dpi != 0 ? o_.dpi : kDesignDpi;
        const ExpectedLayout& layout = ExpectedFor(dpi, client_width, client_height);
        for (int i = 0; i < kControlCount; ++i) {
            const std::wstring name = Wide(kControlNames[i]);
            const Rect expected = layout.controls[i];
            HWND match = nullptr;
            for (HWND child : children)
                if (RectIn(child, form) == expected)
                    match = child;
            if (!match)
                Fail(name + L": no control at " + Show(expected) + L"; controls:" + listing);
            if (!IsWindowVisible(match))
                Fail(name + L" is not visible");
            controls_[i] = match;
            const std::wstring what = name + L" at " + Show(expected);
            if (texts[i]) {
                const std::wstring text = Text(match);
                Check(text == texts[i], what + L" reads " + Quote(texts[i]),
                      L"it reads " + Quote(text));
            } else {
                Say(L"ok: " + what);
            }
        }
    }

    // Each text control's font, read inside the launcher: the description's height adapted to
    // the density and rescaled with the window.
    void CheckFonts(Launcher& launcher, HWND form, int client_width, int client_height) {
        const int dpi = o_.dpi != 0 ? o_.dpi : kDesignDpi;
        const ExpectedLayout& layout = ExpectedFor(dpi, client_width, client_height);
        const auto heights = launcher.FontHeights(form);
        for (int i = 0; i < kControlCount; ++i) {
            const int expected = layout.font_heights[i];
            if (expected == 0)
                continue;
            std::optional<int> got;
            for (const auto& [window, height] : heights)
                if (window == controls_[i])
                    got = height;
            const int points = MulDiv(-expected, 72, dpi);
            Check(got && *got == expected,
                  Wide(kControlNames[i]) + L" font height " + Num(expected) + L" (" + Num(points) +
                      L" points at " + Num(dpi) + L" dpi)",
                  got ? L"it is " + Num(*got) : std::wstring(L"it has no font"));
        }
    }

    // The first showing places and sizes the window; the facts count once that is over: the
    // launcher answers a sent message again and the window has kept its place for 100 ms.
    static void Settle(HWND form) {
        const DWORD start = GetTickCount();
        RECT last{};
        GetWindowRect(form, &last);
        DWORD stable_since = GetTickCount();
        while (GetTickCount() - stable_since < 100) {
            DWORD_PTR ignored = 0;
            if (!SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored))
                Fail(L"the launcher does not answer messages");
            Sleep(kPollMs);
            RECT now{};
            GetWindowRect(form, &now);
            if (!EqualRect(&now, &last)) {
                last = now;
                stable_since = GetTickCount();
            }
            if (GetTickCount() - start > 2000)
                Fail(L"the window keeps moving or resizing");
        }
    }

    HWND StartAndCheckWindow(Launcher& launcher) {
        HWND form = launcher.WaitForMainWindow();
        Say(L"window shown");
        Settle(form);
        CheckWindow(launcher, form);
        // Give the window a moment to paint before the picture is taken.
        Sleep(200);
        TakeShot(form, L"window");
        return form;
    }

    void TakeShot(HWND window, const wchar_t* suffix) {
        RECT r;
        GetWindowRect(window, &r);
        // A maximised window's frame hangs off the screen; only the screen can be copied.
        const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        IntersectRect(&r, &r, &screen);
        const std::wstring path = Shot(suffix);
        WriteBmp(path, CaptureScreen(r));
        Say(L"screenshot " + Quote(path));
    }

    void ExpectExitZero(const Launcher& launcher, const std::wstring& after) {
        const DWORD code = launcher.WaitForExit(after);
        Check(code == 0, L"launcher ended with exit status 0", L"it was " + Num(code));
    }

    void CloseFlow() {
        Launcher launcher(o_.setup_exe, o_.package, Work(L"window-log.txt"));
        HWND form = StartAndCheckWindow(launcher);
        switch (s_.flow) {
        case Flow::CloseBox:
            if (!PostMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0))
                Fail(L"cannot post SC_CLOSE");
            Say(L"close box (WM_SYSCOMMAND SC_CLOSE)");
            break;
        case Flow::AltF4:
            SendKeys(form, {{VK_MENU, false}, {VK_F4, false}, {VK_F4, true}, {VK_MENU, true}});
            Say(L"Alt+F4 pressed");
            break;
        case Flow::Escape: {
            SendKeys(form, {{VK_ESCAPE, false}, {VK_ESCAPE, true}});
            Say(L"Escape pressed");
            const DWORD start = GetTickCount();
            while (GetTickCount() - start < 1000) {
                if (!launcher.Running())
                    Fail(L"Escape ended the launcher");
                launcher.RefuseBox(L"after Escape");
                if (!IsWindowVisible(form) || IsIconic(form))
                    Fail(L"Escape hid or minimised the window");
                Sleep(kPollMs);
            }
            Say(L"ok: window still open 1 s after Escape");
            Click(controls_[kBtnCancel]);
            Say(L"Cancel clicked");
            break;
        }
        default:
            Click(controls_[kBtnCancel]);
            Say(L"Cancel clicked");
            break;
        }
        ExpectExitZero(launcher, L"after closing");
    }

    // The controls follow the client area in both directions, each axis by its own factor.
    void ResizeFlow() {
        Launcher launcher(o_.setup_exe, o_.package, Work(L"window-log.txt"));
        HWND form = StartAndCheckWindow(launcher);
        const DWORD style = static_cast<DWORD>(GetWindowLongW(form, GWL_STYLE));
        const DWORD ex_style = static_cast<DWORD>(GetWindowLongW(form, GWL_EXSTYLE));
        const struct {
            int width, height;
            const wchar_t* name;
        } sizes[] = {{o_.client_width * 3 / 2, o_.client_height, L"wider"},
                     {300, 500, L"narrow"},
                     {591, 520, L"larger"}};
        for (const auto& size : sizes) {
            RECT outer{0, 0, size.width, size.height};
            AdjustWindowRectEx(&outer, style, FALSE, ex_style);
            // Handled by the launcher's thread before the call returns.
            if (!SetWindowPos(form, nullptr, 0, 0, outer.right - outer.left,
                              outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE))
                Fail(L"SetWindowPos failed, error " + Num(GetLastError()));
            RECT client;
            GetClientRect(form, &client);
            Check(client.right == size.width && client.bottom == size.height,
                  L"client area resized to " + Num(size.width) + L" x " + Num(size.height),
                  L"it is " + Num(client.right) + L" x " + Num(client.bottom));
            CheckControls(form, size.width, size.height);
            Sleep(200);
            TakeShot(form, size.name);
            launcher.RefuseBox(L"after resizing");
        }

        // Maximised: inside the work area, the controls in proportion to the maximised client.
        ShowWindow(form, SW_MAXIMIZE);
        Sleep(200);
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        RECT client;
        GetClientRect(form, &client);
        POINT corners[2] = {{0, 0}, {client.right, client.bottom}};
        MapWindowPoints(form, nullptr, corners, 2);
        Check(IsZoomed(form), L"window maximised");
        Check(corners[0].x >= work.left && corners[0].y >= work.top && corners[1].x <= work.right &&
                  corners[1].y <= work.bottom,
              L"maximised client inside the work area " + Show(Rect{work.left, work.top,
                                                                     work.right - work.left,
                                                                     work.bottom - work.top}),
              L"it spans " + Num(corners[0].x) + L"," + Num(corners[0].y) + L" to " +
                  Num(corners[1].x) + L"," + Num(corners[1].y));
        CheckControls(form, client.right, client.bottom);
        TakeShot(form, L"maximised");
        ShowWindow(form, SW_RESTORE);
        Sleep(200);
        GetClientRect(form, &client);
        CheckControls(form, client.right, client.bottom);
        TakeShot(form, L"restored");

        // Minimise then restore: every control exactly where it was.
        std::vector<Rect> before;
        for (HWND control : controls_)
            before.push_back(RectIn(control, form));
        ShowWindow(form, SW_MINIMIZE);
        Sleep(200);
        Check(IsIconic(form), L"window minimised");
        ShowWindow(form, SW_RESTORE);
        Sleep(200);
        std::vector<Rect> after;
        for (HWND control : controls_)
            after.push_back(RectIn(control, form));
        Check(after == before, L"minimise and restore give back every control's rectangle");
        TakeShot(form, L"minimise-restored");
        Click(controls_[kBtnCancel]);
        Say(L"Cancel clicked");
        ExpectExitZero(launcher, L"after closing");
    }

    void CheckBox(Launcher& launcher, HWND box, const BoxFact& fact) {
        const std::wstring caption = Text(box);
        HWND text_item = GetDlgItem(box, 0xFFFF);
        if (!text_item)
            Fail(L"the message box has no text item (id 0xFFFF)");
        const std::wstring text = Text(text_item);
        Check(text == fact.text, L"message box text " + Quote(fact.text), L"it is " + Quote(text));
        Check(caption == fact.caption, L"message box caption " + Quote(fact.caption),
              L"it is " + Quote(caption));
        const Icon icon = BoxIcon(box);
        Check(icon == fact.icon, L"message box icon " + IconName(fact.icon),
              L"it looks like " + IconName(icon));
        TakeShot(box, L"box");
        HWND ok = GetDlgItem(box, IDOK);
        if (!ok)
            Fail(L"the message box has no OK button");
        Click(ok);
        launcher.Dismiss(box);
        Say(L"OK clicked");
    }

    static std::vector<WatchEvent> For(const std::vector<WatchEvent>& events, HWND window) {
        std::vector<WatchEvent> out;
        for (const WatchEvent& e : events)
            if (e.window == HandleValue(window))
                out.push_back(e);
        return out;
    }

    void BoxThenCloseFlow() {
        Launcher launcher(o_.setup_exe, o_.package, Work(L"window-log.txt"));
        HWND box = launcher.WaitForBox(false);
        Say(L"ok: message box shown before the main window");
        CheckBox(launcher, box, s_.box);
        ExpectExitZero(launcher, L"after the message box");

        // From the window log: the box came first, then the main window showed and closed.
        const std::vector<WatchEvent> events = launcher.WatchLog();
        size_t i = 0;
        while (i < events.size() && !events[i].visible)
            ++i;
        Check(i < events.size() && events[i].box, L"window log: the first window shown is the box");
        bool shown = false, closed = false;
        unsigned long long main_window = 0;
        for (++i; i < events.size(); ++i) {
            if (events[i].box)
                continue;
            if (events[i].visible && !shown) {
                shown = true;
                main_window = events[i].window;
            } else if (shown && events[i].window == main_window && !events[i].visible) {
                closed = true;
            }
        }
        Check(shown, L"window log: the main window showed after the box");
        Check(closed, L"window log: the main window closed by itself");
    }

    struct StubRecord {
        int records = 0;
        std::wstring cwd, cmdline, argc, time, exit, error;
    };

    StubRecord ReadStubRecord() const {
        StubRecord r;
        const std::wstring text = Wide(ReadFileBytes(Work(L"stub-record.txt")));
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = text.find(L'\n', pos);
            if (end == std::wstring::npos)
                break;
            const std::wstring line = text.substr(pos, end - pos);
            pos = end + 1;
            const size_t eq = line.find(L'=');
            if (eq == std::wstring::npos)
                continue;
            const std::wstring key = line.substr(0, eq), value = line.substr(eq + 1);
            if (key == L"cwd") {
                ++r.records;
                r.cwd = value;
            } else if (key == L"cmdline") {
                r.cmdline = value;
            } else if (key == L"argc") {
                r.argc = value;
            } else if (key == L"time") {
                r.time = value;
            } else if (key == L"exit") {
                r.exit = value;
            } else if (key == L"error") {
                r.error = value;
            }
        }
        return r;
    }

    void InstallFlow() {
        const std::wstring event_name = L"Local\\setup-e2e-stub-" + Num(GetCurrentProcessId());
        Handle release(CreateEventW(nullptr, TRUE, FALSE, event_name.c_str()));
        if (!release.get())
            Fail(L"cannot create the stub's event");
        // Passed on to the stub through the launcher's environment.
        SetEnvironmentVariableW(L"SETUP_STUB_WAIT_EVENT", event_name.c_str());
        SetEnvironmentVariableW(L"SETUP_STUB_RECORD", Work(L"stub-record.txt").c_str());
        SetEnvironmentVariableW(L"SETUP_STUB_EXIT_CODE", Num(s_.stub_exit).c_str());
        RemoveIfThere(Work(L"stub-record.txt"));

        struct ReleaseOnExit {
            HANDLE event;
            ~ReleaseOnExit() { SetEvent(event); } // never leave a stub waiting
        } release_guard{release.get()};

        Launcher launcher(o_.setup_exe, o_.package, Work(L"window-log.txt"));
        HWND form = StartAndCheckWindow(launcher);
        if (s_.flow == Flow::Enter) {
            SendKeys(form, {{VK_RETURN, false}, {VK_RETURN, true}});
            Say(L"Enter pressed");
        } else {
            Click(controls_[kBtnInstall]);
            Say(L"Install clicked");
        }

        // The stub writes its record in one piece, so a time stamp means the record is complete.
        const DWORD start = GetTickCount();
        while (ReadStubRecord().time.empty()) {
            if (!launcher.Running())
                Fail(L"the launcher ended before the installer started");
            launcher.RefuseBox(L"after Install");
            if (GetTickCount() - start > kWaitMs)
                Fail(L"the installer did not start within 10 s");
            Sleep(kPollMs);
        }
        StubRecord record = ReadStubRecord();
        Check(record.error.empty(), L"installer stub ran without trouble", record.error);
        Check(record.records == 1, L"installer started once",
              L"started " + Num(record.records) + L" times");
        // The installer by its full path in the package folder, quoted, with nothing after it.
        const std::wstring expected = L"\"" + o_.package + L"\\" + InstallerPath() + L"\"";
        Check(SamePath(record.cmdline, expected), L"installer command line " + Quote(expected),
              L"it is " + Quote(record.cmdline));
        Check(record.argc == L"1", L"installer got no arguments (argc 1)", L"argc " + record.argc);
        Check(SamePath(record.cwd, FullPath(o_.package)),
              L"installer's current directory is the package folder",
              L"it is " + Quote(record.cwd));

        Check(launcher.Running(), L"launcher waits while the installer runs");
        Check(IsWindowVisible(form) && IsIconic(form),
              L"window minimised while the installer runs");
        TakeShot(GetDesktopWindow(), L"desktop-waiting");
        const size_t events_before_release = For(launcher.WatchLog(), form).size();
        SetEvent(release.get());
        Say(L"installer released (exit code " + Num(s_.stub_exit) + L")");
        ExpectExitZero(launcher, L"after the installer ended");

        record = ReadStubRecord();
        Check(record.exit == Num(s_.stub_exit),
              L"installer ended with exit code " + Num(s_.stub_exit),
              L"its record says " + Quote(record.exit));
        const std::vector<WatchEvent> events = For(launcher.WatchLog(), form);
        bool restored = false;
        for (size_t i = events_before_release; i < events.size(); ++i)
            if (events[i].visible && !events[i].iconic)
                restored = true;
        Check(restored, L"window log: window restored after the installer ended");
    }

    void InstallerMissingFlow() {
        SetEnvironmentVariableW(L"SETUP_STUB_RECORD", Work(L"stub-record.txt").c_str());
        SetEnvironmentVariableW(L"SETUP_STUB_WAIT_EVENT", nullptr);
        RemoveIfThere(Work(L"stub-record.txt"));
        const std::wstring installer = InstallerPath();
        std::wstring exe = o_.setup_exe, dir = o_.package;
        switch (s_.planted) {
        case Planted::Nowhere:
            Check(!FileExists(o_.package + L"\\" + installer), installer + L" is missing");
            break;
        case Planted::OnPath: {
            const std::wstring folder = OnPathFolder(o_.package);
            Check(!FileExists(o_.package + L"\\Drivers"), L"the package has no Drivers folder");
            Check(!FileExists(exe.substr(0, exe.find_last_of(L'\\')) + L"\\Drivers"),
                  L"nor has the launcher's own folder");
            Check(FileExists(folder + L"\\" + installer),
                  L"the installer lies in " + Quote(folder));
            wchar_t path[32768] = {};
            const DWORD length = GetEnvironmentVariableW(L"PATH", path, 32768);
            const std::wstring searched =
                std::wstring(path, length < 32768 ? length : 0) + L";" + folder;
            if (!SetEnvironmentVariableW(L"PATH", searched.c_str()))
                Fail(L"cannot set PATH");
            Say(L"ok: that folder is on the launcher's PATH");
            break;
        }
        case Planted::BesideLauncher:
            // The package's own Setup.exe, started from a folder with a setup file and no
            // installer.
            exe = o_.package + L"\\Setup.exe";
            dir = Work(L"elsewhere");
            if (!CreateDirectoryW(dir.c_str(), nullptr) ||
                !CopyFileW((o_.package + L"\\Setup.ini").c_str(), (dir + L"\\Setup.ini").c_str(),
                           TRUE))
                Fail(L"cannot make " + Quote(dir) + L" with the package's Setup.ini");
            Check(FileExists(o_.package + L"\\" + installer),
                  installer + L" lies beside the launcher");
            Check(!FileExists(dir + L"\\Drivers"),
                  L"the current folder " + Quote(dir) + L" has no Drivers folder");
            break;
        }

        Launcher launcher(exe, dir, Work(L"window-log.txt"));
        HWND form = StartAndCheckWindow(launcher);
        Click(controls_[kBtnInstall]);
        Say(L"Install clicked");
        HWND box = launcher.WaitForBox(true);
        Check(IsWindowVisible(form) && !IsIconic(form),
              L"window restored when the message box shows");
        const std::vector<WatchEvent> before_box = For(launcher.WatchLog(), form);
        bool minimised = false;
        for (const WatchEvent& e : before_box)
            minimised = minimised || e.iconic;
        Check(minimised, L"window log: window was minimised for the start");
        CheckBox(launcher, box, s_.box);
        ExpectExitZero(launcher, L"after the message box (no second message)");
        Check(!FileExists(Work(L"stub-record.txt")), L"no installer was started");
    }

    const Options& o_;
    const Scenario& s_;
    HWND controls_[kControlCount] = {};
};

// ---------------------------------------------------------------- entry

void Prepare(const Scenario& s, const std::wstring& package) {
    const IniFile ini = IniFor(s.ini);
    if (!FileExists(package + L"\\Drivers\\dpinst64.exe"))
        Fail(L"the package copy has no Drivers\\dpinst64.exe: lay out the example package first");
    RemoveIfThere(package + L"\\.setup_ini");
    if (ini.bytes)
        WriteFileBytes(package + L"\\Setup.ini", ini.bytes);
    else
        RemoveIfThere(package + L"\\Setup.ini");
    if (s.planted == Planted::OnPath) {
        // The Drivers folder moves out of the package, to where only a search finds it.
        const std::wstring folder = OnPathFolder(package);
        const std::wstring drivers = folder + L"\\Drivers";
        if (!CreateDirectoryW(folder.c_str(), nullptr) ||
            !MoveFileW((package + L"\\Drivers").c_str(), drivers.c_str()))
            Fail(L"cannot move the package's Drivers folder to " + Quote(drivers));
    }
    if (!s.installer_present) {
        // Both names: the launcher picks one by the machine's processor.
        RemoveIfThere(package + L"\\Drivers\\dpinst.exe");
        RemoveIfThere(package + L"\\Drivers\\dpinst64.exe");
    }
    Say(L"prepared " + Quote(package) + L" for " + Wide(s.name));
}

bool ParseSize(const std::wstring& text, int& w, int& h) {
    unsigned a = 0, b = 0;
    wchar_t rest = 0;
    if (std::swscanf(text.c_str(), L"%ux%u%lc", &a, &b, &rest) != 2 || a == 0 || b == 0)
        return false;
    w = static_cast<int>(a);
    h = static_cast<int>(b);
    return true;
}

int Usage() {
    Say(L"usage: driver SCENARIO PACKAGE_DIR SETUP_EXE OUTPUT_DIR --client=WxH [--dpi=N] "
        L"[--work=DIR]");
    Say(L"       driver --prepare SCENARIO PACKAGE_DIR");
    Say(L"       driver --probe");
    std::wstring names;
    for (const Scenario& s : kScenarios)
        names += L" " + Wide(s.name);
    Say(L"scenarios:" + names);
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    // Physical pixels everywhere, whatever the density.
    SetProcessDPIAware();
    std::vector<std::wstring> args(argv + 1, argv + argc);
    try {
        if (args.size() == 1 && args[0] == L"--probe") {
            Say(L"driver: ready (" + Num(sizeof(void*) * 8) + L"-bit)");
            return 0;
        }
        if (args.size() == 3 && args[0] == L"--prepare") {
            const Scenario* s = FindScenario(args[1]);
            if (!s)
                return Usage();
            Prepare(*s, FullPath(args[2]));
            return 0;
        }
        if (args.size() < 4)
            return Usage();
        Options o;
        o.scenario = FindScenario(args[0]);
        if (!o.scenario)
            return Usage();
        o.package = FullPath(args[1]);
        o.setup_exe = FullPath(args[2]);
        o.shots = FullPath(args[3]);
        o.work = o.shots;
        for (size_t i = 4; i < args.size(); ++i) {
            const std::wstring& a = args[i];
            if (a.rfind(L"--client=", 0) == 0) {
                if (!ParseSize(a.substr(9), o.client_width, o.client_height))
                    return Usage();
            } else if (a.rfind(L"--dpi=", 0) == 0) {
                o.dpi = std::wcstol(a.c_str() + 6, nullptr, 10);
            } else if (a.rfind(L"--work=", 0) == 0) {
                o.work = FullPath(a.substr(7));
            } else {
                return Usage();
            }
        }
        if (o.client_width == 0)
            return Usage();
        Say(L"scenario " + Wide(o.scenario->name) + L" (" + Num(sizeof(void*) * 8) +
            L"-bit driver)");
        Run(o).Go();
        Say(L"PASS");
        return 0;
    } catch (const Failure& f) {
        Say(L"FAIL: " + f.reason);
        return 1;
    }
}
