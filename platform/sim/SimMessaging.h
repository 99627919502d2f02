// Messages: sending (with the call-window hooks), posting, the queue and the message loop with
// its idle actions, the message log, dialog keyboard handling and message boxes.
#pragma once

#include "platform/sim/SimCommon.h"
#include "platform/sim/SimConfig.h"
#include "platform/sim/SimRecords.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

namespace platform::sim {

class Kernel;
class WindowTree;
class Activation;
class Gdi;

struct Hook {
    HHOOK handle = nullptr;
    HOOKPROC procedure = nullptr;
    bool removed = false;
};

struct QueuedInput {
    UINT message = 0;
    WPARAM key = 0;
    LPARAM lParam = 0;
    bool shift = false;
};

class Messaging {
public:
    Messaging(const SimConfig& config, Kernel& kernel, WindowTree& windows, Activation& activation,
              Gdi& gdi)
        : config_(config), kernel_(kernel), windows_(windows), activation_(activation), gdi_(gdi) {}
    Messaging(const Messaging&) = delete;
    Messaging& operator=(const Messaging&) = delete;

    LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void WindowGone(HWND window);
    // Holds a user action back while the program is blocked in a wait (it runs when the
    // program next asks for a message); false when nothing blocks it.
    bool Defer(std::function<void()> action);
    void QueueInput(QueuedInput input) { input_.push_back(input); }
    // The last WM_SETFONT the window received; unset when it received none.
    std::optional<HFONT> ObservedFont(HWND window) const;

    // ---- Test side ----
    const std::vector<MessageRecord>& Messages() const { return messages_; }
    void ClearMessages() { messages_.clear(); }
    void SetMessageLog(bool on) { logMessages_ = on; }
    std::vector<MessageRecord> MessagesTo(HWND window) const;
    std::vector<UINT> SentTo(HWND window) const;
    void OnIdle(std::function<void()> action);
    bool IdleExhausted() const { return idleExhausted_; }
    std::size_t PendingIdleActions() const { return idle_.size(); }
    void OnMessageBox(std::function<int(const MessageBoxRecord&)> handler);
    void QueueMessageBoxAnswer(int answer) { messageBoxAnswers_.push_back(answer); }
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_; }

    // ---- The calls ----
    LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam);
    LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void PostQuitMessage(int exitCode);
    BOOL GetMessageW(MSG* message, HWND window, UINT filterMin, UINT filterMax);
    BOOL TranslateMessage(const MSG* message);
    LRESULT DispatchMessageW(const MSG* message);
    BOOL IsDialogMessageW(HWND dialog, MSG* message);
    int MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, UINT type);
    HHOOK SetWindowsHookExW(int hookId, HOOKPROC procedure, HINSTANCE module, DWORD threadId);
    BOOL UnhookWindowsHookEx(HHOOK hook);
    LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
    // Runs the thread's call-window hook chain once with `code`, most recent hook first, and
    // returns what the first hook returns (0 when none is installed).
    LRESULT CallHooks(int code, WPARAM wParam, LPARAM lParam);

private:
    // Where a record stands in the log, and which record it is: the log may be cleared while
    // a message is handled, and the place then holds another record or none.
    struct LogEntry {
        std::size_t index = 0;
        std::uint64_t sequence = 0; // 0: nothing was recorded
    };
    LogEntry Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Delivery how);
    void Complete(LogEntry entry, LRESULT result);
    void EraseRemovedHooks();
    void RunDeferred();
    HWND NextTabItem(HWND dialog, HWND from, bool previous) const;
    HWND DescendantById(HWND parent, LONG_PTR id) const;

    const SimConfig& config_;
    Kernel& kernel_;
    WindowTree& windows_;
    Activation& activation_;
    Gdi& gdi_;

    std::vector<MessageRecord> messages_;
    bool logMessages_ = true; // off: nothing is recorded (benchmarks of many messages)
    std::uint64_t messageSequence_ = 0;
    int sendDepth_ = 0;
    std::unordered_map<std::uintptr_t, HFONT> observedFonts_;
    std::deque<MSG> posted_;
    std::deque<QueuedInput> input_;
    std::deque<std::function<void()>> deferred_; // user actions held back during a wait
    bool quitPosted_ = false;
    int quitCode_ = 0;
    std::deque<std::function<void()>> idle_;
    bool idleExhausted_ = false;
    int paintsInARow_ = 0; // WM_PAINT returned with nothing else in between
    DWORD messageTime_ = 0;
    bool shiftDown_ = false;
    std::vector<Hook> hooks_; // installation order
    struct HookCall {
        std::vector<HHOOK> chain; // most recent first
        std::size_t position = 0;
    };
    std::vector<HookCall> hookCalls_;

    std::function<int(const MessageBoxRecord&)> messageBoxHandler_;
    std::deque<int> messageBoxAnswers_;
    std::vector<MessageBoxRecord> messageBoxes_;
};

} // namespace platform::sim
