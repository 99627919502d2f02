#include "Launcher.h"

#include "Output.h"
#include "WinUtil.h"

#include <cstdint>
#include <cstdio>

namespace e2e {

namespace {

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

} // namespace

unsigned long long HandleValue(HWND window) {
    return static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window));
}

Launcher::Launcher(const std::wstring& exe, const std::wstring& dir,
                   const std::wstring& watch_log) {
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

Launcher::~Launcher() {
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

std::vector<TopWindow> Launcher::TopWindows() const {
    std::vector<TopWindow> found;
    TopSearch search{pi_.dwProcessId, &found};
    EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&search));
    return found;
}

std::optional<HWND> Launcher::VisibleBox() const {
    for (const TopWindow& w : TopWindows())
        if (w.box && w.visible && !Dismissed(w.window))
            return w.window;
    return std::nullopt;
}

bool Launcher::Dismissed(HWND box) const {
    for (HWND d : dismissed_)
        if (d == box)
            return true;
    return false;
}

void Launcher::RefuseBox(const std::wstring& when) const {
    if (auto box = VisibleBox()) {
        const auto caption = TryText(*box);
        const auto text = TryText(GetDlgItem(*box, 0xFFFF));
        Fail(L"unexpected message box " + when + L": caption " +
             (caption ? Quote(*caption) : L"(gone)") + L", text " +
             (text ? Quote(*text) : L"(gone)"));
    }
}

HWND Launcher::WaitForMainWindow() const {
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
            Fail(L"the launcher ended before its window showed, exit status " + Num(ExitCode()));
        if (GetTickCount() - start > kWaitMs)
            Fail(L"no window within 10 s");
        Sleep(kPollMs);
    }
}

HWND Launcher::WaitForBox(bool main_window_allowed) const {
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

DWORD Launcher::WaitForExit(const std::wstring& after) const {
    const DWORD start = GetTickCount();
    while (Running()) {
        RefuseBox(after);
        if (GetTickCount() - start > kWaitMs)
            Fail(L"the launcher did not end within 10 s " + after);
        Sleep(kPollMs);
    }
    return ExitCode();
}

DWORD Launcher::ExitCode() const {
    DWORD code = 0;
    if (!GetExitCodeProcess(pi_.hProcess, &code))
        Fail(L"cannot read the exit status");
    return code;
}

std::vector<WatchEvent> Launcher::WatchLog() const {
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
        if (std::sscanf(line.c_str(), "%lu %llx visible=%d iconic=%d box=%d", &e.tick, &e.window,
                        &visible, &iconic, &box) == 5) {
            e.visible = visible != 0;
            e.iconic = iconic != 0;
            e.box = box != 0;
            events.push_back(e);
        }
    }
    return events;
}

std::vector<std::pair<HWND, int>> Launcher::FontHeights(HWND form) {
    static const UINT probe = RegisterWindowMessageW(font_probe::kMessageName);
    if (probe == 0)
        Fail(L"cannot register the font probe message");
    if (!reply_) {
        WNDCLASSW cls{};
        cls.lpfnWndProc = FontReplyProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"SetupE2EFontReply";
        RegisterClassW(&cls);
        reply_ = CreateWindowExW(0, cls.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 cls.hInstance, nullptr);
        if (!reply_)
            Fail(L"cannot create the font reply window, error " + Num(GetLastError()));
    }
    FontReplies().clear();
    FontReplied() = false;
    // The reply comes as a sent WM_COPYDATA while this call waits.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(form, probe, reinterpret_cast<WPARAM>(reply_), 0, SMTO_ABORTIFHUNG,
                             5000, &ignored))
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

std::vector<Launcher::FontEntry>& Launcher::FontReplies() {
    static std::vector<FontEntry> entries;
    return entries;
}

bool& Launcher::FontReplied() {
    static bool replied = false;
    return replied;
}

LRESULT CALLBACK Launcher::FontReplyProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
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

HHOOK Launcher::SetHook(const wchar_t* library, const char* procedure, int kind) {
    wchar_t self[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        Fail(L"cannot find the driver's own path");
    std::wstring dll(self, n);
    dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + library;
    HMODULE module = LoadLibraryW(dll.c_str());
    if (!module)
        Fail(L"cannot load " + Quote(dll));
    auto proc =
        reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module, procedure)));
    if (!proc)
        Fail(std::wstring(library) + L" has no " + Wide(procedure));
    HHOOK hook = SetWindowsHookExW(kind, proc, module, pi_.dwThreadId);
    if (!hook)
        Fail(L"cannot set the hook of " + std::wstring(library) + L", error " +
             Num(GetLastError()));
    return hook;
}

void Launcher::HookWatch() {
    hook_ = SetHook(L"e2e-watch.dll", "WatchCallWndRet", WH_CALLWNDPROCRET);
    fonts_hook_ = SetHook(L"e2e-fonts.dll", "FontProbeCallWnd", WH_CALLWNDPROC);
}

void Settle(HWND form) {
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

} // namespace e2e
