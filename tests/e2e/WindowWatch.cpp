// A call-window hook that the driver sets on the launcher's main thread (the system loads this
// library into the launcher for it). It writes one line to the file named by
// SETUP_E2E_WATCH_LOG whenever a top-level window of that thread changes visibility or
// minimised state:
//   <tick> <window handle, hex> visible=<0|1> iconic=<0|1> box=<0|1>
// box=1 marks a message box (class #32770). The driver cannot see short-lived states by
// polling from outside (the window is restored and closed within milliseconds once the
// installer ends), so it reads them from this log.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>

namespace {

struct Seen {
    HWND window;
    int visible;
    int iconic;
};

Seen g_seen[64];
int g_count = 0;

void Log(const char* line, int length) {
    wchar_t path[1024];
    DWORD n = GetEnvironmentVariableW(L"SETUP_E2E_WATCH_LOG", path, 1024);
    if (n == 0 || n >= 1024)
        return;
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
}

void Note(HWND window) {
    if (GetAncestor(window, GA_ROOT) != window)
        return;
    const int visible = IsWindowVisible(window) ? 1 : 0;
    const int iconic = IsIconic(window) ? 1 : 0;
    Seen* entry = nullptr;
    for (int i = 0; i < g_count; ++i)
        if (g_seen[i].window == window)
            entry = &g_seen[i];
    if (entry && entry->visible == visible && entry->iconic == iconic)
        return;
    if (!entry) {
        if (g_count == 64)
            return;
        entry = &g_seen[g_count++];
        entry->window = window;
    }
    entry->visible = visible;
    entry->iconic = iconic;

    wchar_t cls[32] = L"";
    GetClassNameW(window, cls, 32);
    char line[128];
    int length =
        std::snprintf(line, sizeof line, "%lu %llx visible=%d iconic=%d box=%d\n", GetTickCount(),
                      static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)),
                      visible, iconic, std::wcscmp(cls, L"#32770") == 0 ? 1 : 0);
    if (length > 0 && length < static_cast<int>(sizeof line))
        Log(line, length);
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    WatchCallWndRet(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HC_ACTION) {
        const auto* msg = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
        if (msg->message == WM_WINDOWPOSCHANGED || msg->message == WM_SIZE ||
            msg->message == WM_SHOWWINDOW)
            Note(msg->hwnd);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
