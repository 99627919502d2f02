// The launcher's process as the driver sees it: started suspended with the window log and
// font probe hooked in, its top-level windows, its end, and what the hooks report.
#pragma once

#include "FontProbe.h"

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

// Generous but bounded: a hang fails the scenario instead of blocking the run.
constexpr DWORD kWaitMs = 10000;
constexpr DWORD kPollMs = 10;

struct TopWindow {
    HWND window;
    bool box;
    bool visible;
};

struct WatchEvent {
    unsigned long tick;
    unsigned long long window;
    bool visible;
    bool iconic;
    bool box;
};

unsigned long long HandleValue(HWND window);

// The first showing places and sizes the window; the facts count once that is over: the
// launcher answers a sent message again and the window has kept its place for 100 ms.
void Settle(HWND form);

class Launcher {
public:
    Launcher(const std::wstring& exe, const std::wstring& dir, const std::wstring& watch_log);
    ~Launcher();

    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    bool Running() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

    std::vector<TopWindow> TopWindows() const;

    // A box that was answered may stay visible for a moment while it closes; it does not count
    // as a new one.
    std::optional<HWND> VisibleBox() const;

    void Dismiss(HWND box) { dismissed_.push_back(box); }
    bool Dismissed(HWND box) const;

    // Fails on a message box that the scenario does not expect at this point.
    void RefuseBox(const std::wstring& when) const;

    // The one visible top-level window that is not a message box.
    HWND WaitForMainWindow() const;

    HWND WaitForBox(bool main_window_allowed) const;

    // Waits for the end; a message box in the meantime fails the scenario.
    DWORD WaitForExit(const std::wstring& after) const;

    DWORD ExitCode() const;

    std::vector<WatchEvent> WatchLog() const;

    // The lfHeight of each child's font, by window, as e2e-fonts.dll reads it inside the
    // launcher; children without a font are missing.
    std::vector<std::pair<HWND, int>> FontHeights(HWND form);

private:
    using FontEntry = font_probe::Entry;
    static std::vector<FontEntry>& FontReplies();
    static bool& FontReplied();
    static LRESULT CALLBACK FontReplyProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    // A hook procedure of a library beside the driver, set on the launcher's main thread.
    HHOOK SetHook(const wchar_t* library, const char* procedure, int kind);
    void HookWatch();

    PROCESS_INFORMATION pi_{};
    HHOOK hook_ = nullptr;
    HHOOK fonts_hook_ = nullptr;
    HWND reply_ = nullptr;
    std::wstring watch_log_;
    std::vector<HWND> dismissed_;
};

} // namespace e2e
