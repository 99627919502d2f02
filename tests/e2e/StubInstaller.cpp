// Stands in for the driver installer in the end-to-end tests.
//
// Appends one record to the file named by SETUP_STUB_RECORD (default
// %TEMP%\setup-stub-installer.log), as UTF-8 lines:
//   cwd=<current directory>
//   cmdline=<GetCommandLineW()>
//   argc=<argument count>
//   time=<local time stamp>
// then, if SETUP_STUB_WAIT_EVENT names an event, waits until it is signalled (60 s at most),
// and ends with the exit code in SETUP_STUB_EXIT_CODE (default 0), which it appends as a last
// line "exit=<code>" just before it ends. It opens no window. Failures of its own go into the
// record as "error=" lines so that the driver sees them.

#include <windows.h>
// After <windows.h>, which it needs.
#include <shellapi.h>

#include <cwchar>
#include <string>

namespace {

std::wstring Env(const wchar_t* name) {
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return {};
    std::wstring value(size, L'\0');
    DWORD got = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(got < size ? got : 0);
    return value;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty())
        return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string out(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                            size, nullptr, nullptr);
    return out;
}

std::wstring CurrentDirectory() {
    DWORD size = GetCurrentDirectoryW(0, nullptr);
    if (size == 0)
        return L"?";
    std::wstring dir(size, L'\0');
    DWORD got = GetCurrentDirectoryW(size, dir.data());
    dir.resize(got < size ? got : 0);
    return dir;
}

std::wstring TimeStamp() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    wchar_t buf[64];
    swprintf(buf, 64, L"%04u-%02u-%02uT%02u:%02u:%02u.%03u", t.wYear, t.wMonth, t.wDay, t.wHour,
             t.wMinute, t.wSecond, t.wMilliseconds);
    return buf;
}

std::wstring RecordPath() {
    std::wstring path = Env(L"SETUP_STUB_RECORD");
    if (!path.empty())
        return path;
    wchar_t temp[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    std::wstring dir = (n > 0 && n <= MAX_PATH) ? std::wstring(temp, n) : L".\\";
    return dir + L"setup-stub-installer.log";
}

// One write per call with FILE_APPEND_DATA, so lines from a second instance never interleave
// inside a line.
bool Append(const std::wstring& path, const std::string& text) {
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size();
}

int ArgumentCount() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv)
        return -1;
    LocalFree(argv);
    return argc;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring record = RecordPath();
    std::wstring text = L"cwd=" + CurrentDirectory() + L"\n";
    text += L"cmdline=" + std::wstring(GetCommandLineW()) + L"\n";
    text += L"argc=" + std::to_wstring(ArgumentCount()) + L"\n";
    text += L"time=" + TimeStamp() + L"\n";
    if (!Append(record, Utf8(text)))
        return 120;

    const std::wstring event_name = Env(L"SETUP_STUB_WAIT_EVENT");
    if (!event_name.empty()) {
        HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, event_name.c_str());
        if (!event) {
            Append(record, Utf8(L"error=cannot open event " + event_name + L"\n"));
        } else {
            if (WaitForSingleObject(event, 60000) != WAIT_OBJECT_0)
                Append(record,
                       Utf8(L"error=event " + event_name + L" was not signalled in 60 s\n"));
            CloseHandle(event);
        }
    }

    const std::wstring code = Env(L"SETUP_STUB_EXIT_CODE");
    unsigned long value = 0;
    if (!code.empty()) {
        wchar_t* end = nullptr;
        value = std::wcstoul(code.c_str(), &end, 10);
        if (end == code.c_str() || *end != L'\0') {
            Append(record, Utf8(L"error=SETUP_STUB_EXIT_CODE is not a number: " + code + L"\n"));
            return 121;
        }
    }
    Append(record, Utf8(L"exit=" + std::to_wstring(value) + L"\n"));
    return static_cast<int>(value);
}
