// Messages: sending (with the call-window hooks), posting, and the message loop with its idle
// actions.
#include "platform/sim/SimMessaging.h"

#include "platform/Crackers.h"
#include "platform/sim/SimActivation.h"
#include "platform/sim/SimAllocationFaults.h"
#include "platform/sim/SimGdi.h"
#include "platform/sim/SimKernel.h"
#include "platform/sim/SimWindowTree.h"

#include <algorithm>

namespace platform::sim {

namespace {

constexpr int kMaxSendDepth = 256;
constexpr int kMaxPaintsInARow = 1000;

bool IsKeyboard(UINT message) {
    return message >= WM_KEYDOWN && message <= 0x0109;
}

// A window procedure is the program's code: what it allocates counts for the allocation
// switch again (the built-in classes' procedures say they are the system's).
LRESULT CallProgram(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const ProgramSide program;
    return procedure(window, message, wParam, lParam);
}

} // namespace

// ---- Sending ------------------------------------------------------------------------------------

LRESULT Messaging::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const Window* w = windows_.Find(window);
    if (w == nullptr) {
        kernel_.Fail(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (sendDepth_ >= kMaxSendDepth) {
        return 0; // a runaway recursion; Windows would overflow the stack
    }
    const LogEntry record = Record(window, message, wParam, lParam, Delivery::Sent);
    if (message == WM_SETFONT) {
        observedFonts_[ValueOf(window)] = reinterpret_cast<HFONT>(wParam);
    }
    DepthGuard depth(sendDepth_);
    // The thread's call-window hooks see the message first, most recent first.
    CWPSTRUCT cwp{lParam, wParam, message, window};
    CallHooks(HC_ACTION, 1, reinterpret_cast<LPARAM>(&cwp));
    w = windows_.Find(window);
    if (w == nullptr) {
        Complete(record, 0);
        return 0;
    }
    WNDPROC procedure = w->procedure;
    LRESULT result = procedure != nullptr
                         ? CallProgram(procedure, window, message, wParam, lParam)
                         : windows_.DefWindowProcW(window, message, wParam, lParam);
    Complete(record, result);
    return result;
}

LRESULT Messaging::SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == HWND_BROADCAST) {
        std::vector<HWND> tops = windows_.TopLevel();
        for (HWND top : tops) {
            if (windows_.Find(top) != nullptr) {
                Send(top, message, wParam, lParam);
            }
        }
        return TRUE;
    }
    return Send(window, message, wParam, lParam);
}

LRESULT Messaging::CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
    if (procedure == nullptr) {
        return 0;
    }
    return CallProgram(procedure, window, message, wParam, lParam);
}

// ---- Hooks ------------------------------------------------------------------------------------

HHOOK Messaging::SetWindowsHookExW(int hookId, HOOKPROC procedure, HINSTANCE module,
                                   DWORD threadId) {
    if (hookId != WH_CALLWNDPROC) {
        kernel_.Fail(ERROR_INVALID_HOOK_FILTER);
        return nullptr;
    }
    if (procedure == nullptr) {
        kernel_.Fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (threadId == 0 && module == nullptr) {
        kernel_.Fail(ERROR_HOOK_NEEDS_HMOD);
        return nullptr;
    }
    if (threadId != 0 && threadId != config_.threadId) {
        kernel_.Fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto hook = AsHandle<HHOOK>(NewHandleValue());
    hooks_.push_back(Hook{hook, procedure, false});
    kernel_.Acquire(ValueOf(hook), HandleKind::Hook, "SetWindowsHookExW", "WH_CALLWNDPROC");
    return hook;
}

BOOL Messaging::UnhookWindowsHookEx(HHOOK hook) {
    for (Hook& h : hooks_) {
        if (h.handle == hook && !h.removed) {
            h.removed = true;
            kernel_.Release(ValueOf(hook), HandleKind::Hook, "UnhookWindowsHookEx");
            if (hookCalls_.empty()) {
                EraseRemovedHooks();
            }
            return TRUE;
        }
    }
    kernel_.Release(ValueOf(hook), HandleKind::Hook, "UnhookWindowsHookEx");
    kernel_.Fail(ERROR_INVALID_HOOK_HANDLE);
    return FALSE;
}

// A hook removed while a chain runs stays in place until no chain needs it.
void Messaging::EraseRemovedHooks() {
    hooks_.erase(
        std::remove_if(hooks_.begin(), hooks_.end(), [](const Hook& h) { return h.removed; }),
        hooks_.end());
}

LRESULT Messaging::CallHooks(int code, WPARAM wParam, LPARAM lParam) {
    HookCall call;
    HOOKPROC first = nullptr;
    for (auto it = hooks_.rbegin(); it != hooks_.rend(); ++it) {
        if (!it->removed) {
            if (first == nullptr) {
                first = it->procedure;
            }
            call.chain.push_back(it->handle);
        }
    }
    if (first == nullptr) {
        return 0;
    }
    hookCalls_.push_back(std::move(call));
    struct Pop {
        Messaging& m;
        ~Pop() {
            m.hookCalls_.pop_back();
            if (m.hookCalls_.empty()) {
                m.EraseRemovedHooks();
            }
        }
    } pop{*this};
    const ProgramSide program;
    return first(code, wParam, lParam);
}

LRESULT Messaging::CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    (void)hook; // the chain position is the running hook's, whatever handle is given
    if (hookCalls_.empty()) {
        return 0;
    }
    auto& call = hookCalls_.back();
    for (std::size_t i = call.position + 1; i < call.chain.size(); ++i) {
        for (const Hook& h : hooks_) {
            if (h.handle == call.chain[i] && !h.removed) {
                call.position = i;
                HOOKPROC next = h.procedure;
                const ProgramSide program;
                return next(code, wParam, lParam);
            }
        }
    }
    call.position = call.chain.size();
    return 0;
}

// ---- Posting and the message loop ---------------------------------------------------------------

void Messaging::Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{window, message, wParam, lParam, messageTime_, POINT{0, 0}};
    posted_.push_back(msg);
    Record(window, message, wParam, lParam, Delivery::Posted);
}

// What was queued for a window that goes is dropped with it.
void Messaging::WindowGone(HWND window) {
    posted_.erase(std::remove_if(posted_.begin(), posted_.end(),
                                 [window](const MSG& m) { return m.hwnd == window; }),
                  posted_.end());
    observedFonts_.erase(ValueOf(window));
}

std::optional<HFONT> Messaging::ObservedFont(HWND window) const {
    auto it = observedFonts_.find(ValueOf(window));
    if (it == observedFonts_.end()) {
        return std::nullopt;
    }
    return it->second;
}

bool Messaging::Defer(std::function<void()> action) {
    if (!kernel_.BlockedInWait()) {
        return false;
    }
    deferred_.push_back(std::move(action));
    return true;
}

void Messaging::RunDeferred() {
    while (!deferred_.empty() && !kernel_.BlockedInWait()) {
        auto action = std::move(deferred_.front());
        deferred_.pop_front();
        action();
    }
}

BOOL Messaging::PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == HWND_BROADCAST) {
        for (HWND top : windows_.TopLevel()) {
            Post(top, message, wParam, lParam);
        }
        return TRUE;
    }
    if (window != nullptr && windows_.FindOrFail(window) == nullptr) {
        return FALSE;
    }
    Post(window, message, wParam, lParam);
    return TRUE;
}

void Messaging::PostQuitMessage(int exitCode) {
    quitPosted_ = true;
    quitCode_ = exitCode;
    Record(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0, Delivery::Posted);
}

BOOL Messaging::GetMessageW(MSG* message, HWND window, UINT filterMin, UINT filterMax) {
    if (message == nullptr) {
        kernel_.Fail(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (window != nullptr && windows_.FindOrFail(window) == nullptr) {
        return -1;
    }
    auto accepts = [&](HWND target, UINT id) {
        if (window != nullptr && (target == nullptr || !windows_.IsDescendant(window, target))) {
            return false;
        }
        if (filterMin == 0 && filterMax == 0) {
            return true;
        }
        return id >= filterMin && id <= filterMax;
    };
    for (;;) {
        RunDeferred();
        for (auto it = posted_.begin(); it != posted_.end(); ++it) {
            if (it->message == WM_QUIT || accepts(it->hwnd, it->message)) {
                paintsInARow_ = 0;
                *message = *it;
                posted_.erase(it);
                messageTime_ += 10;
                message->time = messageTime_;
                return message->message == WM_QUIT ? FALSE : TRUE;
            }
        }
        if (!input_.empty()) {
            QueuedInput input = input_.front();
            // Keys go to the focus window; with no focus, to the active window as system keys.
            HWND target = activation_.GetFocus();
            UINT id = input.message;
            if (target == nullptr) {
                target = activation_.GetActiveWindow();
                if (id == WM_KEYDOWN) {
                    id = WM_SYSKEYDOWN;
                } else if (id == WM_KEYUP) {
                    id = WM_SYSKEYUP;
                }
            }
            if (target == nullptr || accepts(target, id)) {
                input_.pop_front();
                if (target == nullptr) {
                    continue; // nobody to receive it
                }
                paintsInARow_ = 0;
                shiftDown_ = input.shift;
                messageTime_ += 10;
                *message = MSG{target, id, input.key, input.lParam, messageTime_, POINT{0, 0}};
                Record(target, id, input.key, input.lParam, Delivery::Posted);
                return TRUE;
            }
        }
        if (quitPosted_) {
            quitPosted_ = false;
            *message =
                MSG{nullptr, WM_QUIT, static_cast<WPARAM>(quitCode_), 0, messageTime_, POINT{0, 0}};
            return FALSE;
        }
        if (HWND paint = gdi_.NextPaintWindow(); paint != nullptr && accepts(paint, WM_PAINT)) {
            // Windows that keep invalidating each other from WM_PAINT would never let the
            // idle actions run; after a long run of paints the rest is dropped.
            if (++paintsInARow_ <= kMaxPaintsInARow) {
                *message = MSG{paint, WM_PAINT, 0, 0, messageTime_, POINT{0, 0}};
                return TRUE;
            }
            gdi_.ValidateAll();
        }
        paintsInARow_ = 0;
        if (!idle_.empty()) {
            auto action = std::move(idle_.front());
            idle_.pop_front();
            action();
            continue;
        }
        // Nothing will ever come: end the loop rather than hang the test.
        idleExhausted_ = true;
        quitPosted_ = true;
        quitCode_ = 0;
    }
}

BOOL Messaging::TranslateMessage(const MSG* message) {
    if (message == nullptr || !IsKeyboard(message->message)) {
        return FALSE;
    }
    if (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN) {
        return TRUE;
    }
    const WPARAM key = message->wParam;
    char16_t c = 0;
    if (key == VK_RETURN || key == VK_ESCAPE || key == VK_TAB || key == VK_SPACE || key == 0x08) {
        c = static_cast<char16_t>(key == VK_RETURN ? u'\r' : key);
    } else if (key >= '0' && key <= '9') {
        c = static_cast<char16_t>(key);
    } else if (key >= 'A' && key <= 'Z') {
        c = static_cast<char16_t>(shiftDown_ ? key : key + 0x20);
    }
    if (c != 0) {
        Post(message->hwnd, message->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR, c,
             message->lParam);
    }
    return TRUE;
}

LRESULT Messaging::DispatchMessageW(const MSG* message) {
    if (message == nullptr || message->hwnd == nullptr) {
        return 0;
    }
    const Window* w = windows_.FindOrFail(message->hwnd);
    if (w == nullptr) {
        return 0;
    }
    const LogEntry record = Record(message->hwnd, message->message, message->wParam,
                                   message->lParam, Delivery::Dispatched);
    WNDPROC procedure = w->procedure;
    LRESULT result = 0;
    {
        DepthGuard depth(sendDepth_);
        result = procedure != nullptr ? CallProgram(procedure, message->hwnd, message->message,
                                                    message->wParam, message->lParam)
                                      : windows_.DefWindowProcW(message->hwnd, message->message,
                                                                message->wParam, message->lParam);
    }
    Complete(record, result);
    if (message->message == WM_PAINT) {
        // A window that did not validate itself is not asked again (Windows would ask forever).
        gdi_.Validate(message->hwnd);
    }
    return result;
}

void Messaging::OnIdle(std::function<void()> action) {
    idle_.push_back(std::move(action));
    idleExhausted_ = false;
}

void Messaging::OnMessageBox(std::function<int(const MessageBoxRecord&)> handler) {
    messageBoxHandler_ = std::move(handler);
}

} // namespace platform::sim
