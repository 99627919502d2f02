// Messages: sending (with the call-window hooks), posting, the message loop with its idle
// actions, dialog keyboard handling, message boxes and DefWindowProcW.
#include "platform/sim/SimState.h"

#include "platform/Crackers.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

namespace platform::sim {

namespace {

constexpr int kMaxSendDepth = 256;
constexpr int kMaxPaintsInARow = 1000;

int Width(const RECT& r) {
    return r.right - r.left;
}
int Height(const RECT& r) {
    return r.bottom - r.top;
}

LPARAM PackPoint(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(x & 0xFFFF), static_cast<WORD>(y & 0xFFFF));
}

struct DepthGuard {
    explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
    int& depth_;
};

bool IsKeyboard(UINT message) {
    return message >= WM_KEYDOWN && message <= 0x0109;
}

} // namespace

const char* MessageName(UINT message) {
    switch (message) {
    case WM_NULL:
        return "WM_NULL";
    case WM_CREATE:
        return "WM_CREATE";
    case WM_DESTROY:
        return "WM_DESTROY";
    case WM_MOVE:
        return "WM_MOVE";
    case WM_SIZE:
        return "WM_SIZE";
    case WM_ACTIVATE:
        return "WM_ACTIVATE";
    case WM_SETFOCUS:
        return "WM_SETFOCUS";
    case WM_KILLFOCUS:
        return "WM_KILLFOCUS";
    case WM_ENABLE:
        return "WM_ENABLE";
    case WM_SETREDRAW:
        return "WM_SETREDRAW";
    case WM_SETTEXT:
        return "WM_SETTEXT";
    case WM_GETTEXT:
        return "WM_GETTEXT";
    case WM_GETTEXTLENGTH:
        return "WM_GETTEXTLENGTH";
    case WM_PAINT:
        return "WM_PAINT";
    case WM_CLOSE:
        return "WM_CLOSE";
    case WM_QUERYOPEN:
        return "WM_QUERYOPEN";
    case WM_QUIT:
        return "WM_QUIT";
    case WM_ERASEBKGND:
        return "WM_ERASEBKGND";
    case WM_SHOWWINDOW:
        return "WM_SHOWWINDOW";
    case WM_ACTIVATEAPP:
        return "WM_ACTIVATEAPP";
    case WM_CHILDACTIVATE:
        return "WM_CHILDACTIVATE";
    case WM_GETMINMAXINFO:
        return "WM_GETMINMAXINFO";
    case WM_DRAWITEM:
        return "WM_DRAWITEM";
    case WM_SETFONT:
        return "WM_SETFONT";
    case WM_GETFONT:
        return "WM_GETFONT";
    case WM_WINDOWPOSCHANGING:
        return "WM_WINDOWPOSCHANGING";
    case WM_WINDOWPOSCHANGED:
        return "WM_WINDOWPOSCHANGED";
    case WM_STYLECHANGING:
        return "WM_STYLECHANGING";
    case WM_STYLECHANGED:
        return "WM_STYLECHANGED";
    case WM_DISPLAYCHANGE:
        return "WM_DISPLAYCHANGE";
    case WM_GETICON:
        return "WM_GETICON";
    case WM_SETICON:
        return "WM_SETICON";
    case WM_NCCREATE:
        return "WM_NCCREATE";
    case WM_NCDESTROY:
        return "WM_NCDESTROY";
    case WM_NCCALCSIZE:
        return "WM_NCCALCSIZE";
    case WM_NCPAINT:
        return "WM_NCPAINT";
    case WM_NCACTIVATE:
        return "WM_NCACTIVATE";
    case WM_GETDLGCODE:
        return "WM_GETDLGCODE";
    case WM_KEYDOWN:
        return "WM_KEYDOWN";
    case WM_KEYUP:
        return "WM_KEYUP";
    case WM_CHAR:
        return "WM_CHAR";
    case WM_SYSKEYDOWN:
        return "WM_SYSKEYDOWN";
    case WM_SYSKEYUP:
        return "WM_SYSKEYUP";
    case WM_SYSCHAR:
        return "WM_SYSCHAR";
    case WM_COMMAND:
        return "WM_COMMAND";
    case WM_SYSCOMMAND:
        return "WM_SYSCOMMAND";
    case WM_CTLCOLORBTN:
        return "WM_CTLCOLORBTN";
    case WM_CTLCOLORSTATIC:
        return "WM_CTLCOLORSTATIC";
    case WM_LBUTTONDOWN:
        return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP:
        return "WM_LBUTTONUP";
    case WM_PARENTNOTIFY:
        return "WM_PARENTNOTIFY";
    case WM_SIZING:
        return "WM_SIZING";
    case WM_ENTERSIZEMOVE:
        return "WM_ENTERSIZEMOVE";
    case WM_EXITSIZEMOVE:
        return "WM_EXITSIZEMOVE";
    case BM_SETSTYLE:
        return "BM_SETSTYLE";
    case BM_CLICK:
        return "BM_CLICK";
    case BM_GETSTATE:
        return "BM_GETSTATE";
    case BM_SETSTATE:
        return "BM_SETSTATE";
    case DM_GETDEFID:
        return "DM_GETDEFID";
    case DM_SETDEFID:
        return "DM_SETDEFID";
    default:
        break;
    }
    static thread_local char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%04X", message);
    return buffer;
}

// ---- The message log --------------------------------------------------------------------------

std::size_t DesktopState::Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                 Delivery how) {
    if (!logMessages) {
        return static_cast<std::size_t>(-1); // Complete finds no record for it
    }
    MessageRecord r;
    r.sequence = ++messageSequence;
    r.window = window;
    r.message = message;
    r.wParam = wParam;
    r.lParam = lParam;
    r.delivery = how;
    r.depth = sendDepth;
    switch (message) {
    case WM_SIZE: {
        const crack::Size size = crack::OnSize(wParam, lParam);
        r.sizeType = size.type;
        r.clientWidth = size.clientWidth;
        r.clientHeight = size.clientHeight;
        break;
    }
    case WM_MOVE:
        r.position = crack::OnMove(lParam);
        break;
    case WM_SHOWWINDOW:
        r.show = wParam != 0;
        break;
    case WM_GETMINMAXINFO:
        if (const MINMAXINFO* info = crack::OnGetMinMaxInfo(lParam)) {
            r.minMaxBefore = *info;
        }
        break;
    case WM_SIZING:
        if (const RECT* rect = crack::OnSizing(lParam)) {
            r.rectBefore = *rect;
        }
        break;
    case WM_NCCALCSIZE:
        if (const RECT* rect = crack::OnNcCalcSize(wParam, lParam)) {
            r.rectBefore = *rect;
        }
        break;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
        if (const WINDOWPOS* pos = crack::OnWindowPos(lParam)) {
            r.windowPosBefore = *pos;
        }
        break;
    case WM_SETTEXT:
        if (const char16_t* text = crack::OnSetText(lParam)) {
            r.text = text;
        }
        break;
    default:
        break;
    }
    messages.push_back(std::move(r));
    return messages.size() - 1;
}

void DesktopState::Complete(std::size_t index, LRESULT result) {
    if (index >= messages.size()) {
        return; // the log was cleared meanwhile
    }
    MessageRecord& r = messages[index];
    r.result = result;
    r.completed = true;
    if (r.lParam == 0) {
        return;
    }
    switch (r.message) {
    case WM_GETMINMAXINFO:
        r.minMaxAfter = *reinterpret_cast<const MINMAXINFO*>(r.lParam);
        break;
    case WM_SIZING:
        r.rectAfter = *reinterpret_cast<const RECT*>(r.lParam);
        break;
    case WM_NCCALCSIZE:
        r.rectAfter = r.wParam != 0 ? reinterpret_cast<const NCCALCSIZE_PARAMS*>(r.lParam)->rgrc[0]
                                    : *reinterpret_cast<const RECT*>(r.lParam);
        break;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
        r.windowPosAfter = *reinterpret_cast<const WINDOWPOS*>(r.lParam);
        break;
    default:
        break;
    }
}

// ---- Sending ------------------------------------------------------------------------------------

LRESULT DesktopState::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(window);
    if (w == nullptr) {
        Fail(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (sendDepth >= kMaxSendDepth) {
        return 0; // a runaway recursion; Windows would overflow the stack
    }
    std::size_t record = Record(window, message, wParam, lParam, Delivery::Sent);
    if (message == WM_SETFONT) {
        w->fontObserved = reinterpret_cast<HFONT>(wParam);
        w->fontObservedSet = true;
    }
    DepthGuard depth(sendDepth);
    // The thread's call-window hooks see the message first, most recent first.
    std::vector<HHOOK> chain;
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
        if (!it->removed) {
            chain.push_back(it->handle);
        }
    }
    if (!chain.empty()) {
        CWPSTRUCT cwp{lParam, wParam, message, window};
        hookCalls.push_back(HookCall{chain, 0});
        struct Pop {
            DesktopState& s;
            ~Pop() {
                s.hookCalls.pop_back();
                if (s.hookCalls.empty()) {
                    s.hooks.erase(std::remove_if(s.hooks.begin(), s.hooks.end(),
                                                 [](const Hook& h) { return h.removed; }),
                                  s.hooks.end());
                }
            }
        } pop{*this};
        HOOKPROC first = nullptr;
        for (std::size_t i = 0; i < chain.size() && first == nullptr; ++i) {
            for (const Hook& h : hooks) {
                if (h.handle == chain[i] && !h.removed) {
                    first = h.procedure;
                    hookCalls.back().position = i;
                }
            }
        }
        if (first != nullptr) {
            first(HC_ACTION, 1, reinterpret_cast<LPARAM>(&cwp));
        }
    }
    w = Find(window);
    if (w == nullptr) {
        Complete(record, 0);
        return 0;
    }
    WNDPROC procedure = w->procedure;
    LRESULT result = procedure != nullptr ? procedure(window, message, wParam, lParam)
                                          : desk.DefWindowProcW(window, message, wParam, lParam);
    Complete(record, result);
    return result;
}

LRESULT SimDesktop::SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DesktopState& s = *state_;
    if (window == HWND_BROADCAST) {
        std::vector<HWND> tops = s.topLevel;
        for (HWND top : tops) {
            if (s.Find(top) != nullptr) {
                s.Send(top, message, wParam, lParam);
            }
        }
        return TRUE;
    }
    return s.Send(window, message, wParam, lParam);
}

LRESULT SimDesktop::CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam) {
    if (procedure == nullptr) {
        return 0;
    }
    return procedure(window, message, wParam, lParam);
}

// ---- Hooks ------------------------------------------------------------------------------------

HHOOK SimDesktop::SetWindowsHookExW(int hookId, HOOKPROC procedure, HINSTANCE module,
                                    DWORD threadId) {
    DesktopState& s = *state_;
    if (hookId != WH_CALLWNDPROC) {
        s.Fail(ERROR_INVALID_HOOK_FILTER);
        return nullptr;
    }
    if (procedure == nullptr) {
        s.Fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (threadId == 0 && module == nullptr) {
        s.Fail(ERROR_HOOK_NEEDS_HMOD);
        return nullptr;
    }
    if (threadId != 0 && threadId != s.config.threadId) {
        s.Fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto hook = AsHandle<HHOOK>(NewHandleValue());
    s.hooks.push_back(Hook{hook, procedure, false});
    s.ledger.Acquire(ValueOf(hook), HandleKind::Hook, "SetWindowsHookExW", "WH_CALLWNDPROC");
    return hook;
}

BOOL SimDesktop::UnhookWindowsHookEx(HHOOK hook) {
    DesktopState& s = *state_;
    for (Hook& h : s.hooks) {
        if (h.handle == hook && !h.removed) {
            h.removed = true;
            s.ledger.Release(ValueOf(hook), HandleKind::Hook, "UnhookWindowsHookEx");
            if (s.hookCalls.empty()) {
                s.hooks.erase(std::remove_if(s.hooks.begin(), s.hooks.end(),
                                             [](const Hook& x) { return x.removed; }),
                              s.hooks.end());
            }
            return TRUE;
        }
    }
    s.ledger.Release(ValueOf(hook), HandleKind::Hook, "UnhookWindowsHookEx");
    s.Fail(ERROR_INVALID_HOOK_HANDLE);
    return FALSE;
}

LRESULT SimDesktop::CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    DesktopState& s = *state_;
    (void)hook; // the chain position is the running hook's, whatever handle is given
    if (s.hookCalls.empty()) {
        return 0;
    }
    auto& call = s.hookCalls.back();
    for (std::size_t i = call.position + 1; i < call.chain.size(); ++i) {
        for (const Hook& h : s.hooks) {
            if (h.handle == call.chain[i] && !h.removed) {
                call.position = i;
                HOOKPROC next = h.procedure;
                return next(code, wParam, lParam);
            }
        }
    }
    call.position = call.chain.size();
    return 0;
}

// ---- Posting and the message loop
// -----------------------------------------------------------------

void DesktopState::Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{window, message, wParam, lParam, messageTime, POINT{0, 0}};
    posted.push_back(msg);
    Record(window, message, wParam, lParam, Delivery::Posted);
}

void DesktopState::PurgeQueue(HWND window) {
    posted.erase(std::remove_if(posted.begin(), posted.end(),
                                [window](const MSG& m) { return m.hwnd == window; }),
                 posted.end());
}

void DesktopState::RunDeferred() {
    while (!deferred.empty() && blockedInWait == 0) {
        auto action = std::move(deferred.front());
        deferred.pop_front();
        action();
    }
}

BOOL SimDesktop::PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DesktopState& s = *state_;
    if (window == HWND_BROADCAST) {
        for (HWND top : s.topLevel) {
            s.Post(top, message, wParam, lParam);
        }
        return TRUE;
    }
    if (window != nullptr && s.FindOrFail(window) == nullptr) {
        return FALSE;
    }
    s.Post(window, message, wParam, lParam);
    return TRUE;
}

void SimDesktop::PostQuitMessage(int exitCode) {
    DesktopState& s = *state_;
    s.quitPosted = true;
    s.quitCode = exitCode;
    s.Record(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0, Delivery::Posted);
}

BOOL SimDesktop::GetMessageW(MSG* message, HWND window, UINT filterMin, UINT filterMax) {
    DesktopState& s = *state_;
    if (message == nullptr) {
        s.Fail(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (window != nullptr && s.FindOrFail(window) == nullptr) {
        return -1;
    }
    auto accepts = [&](HWND target, UINT id) {
        if (window != nullptr && (target == nullptr || !s.IsDescendant(window, target))) {
            return false;
        }
        if (filterMin == 0 && filterMax == 0) {
            return true;
        }
        return id >= filterMin && id <= filterMax;
    };
    for (;;) {
        s.RunDeferred();
        for (auto it = s.posted.begin(); it != s.posted.end(); ++it) {
            if (it->message == WM_QUIT || accepts(it->hwnd, it->message)) {
                s.paintsInARow = 0;
                *message = *it;
                s.posted.erase(it);
                s.messageTime += 10;
                message->time = s.messageTime;
                return message->message == WM_QUIT ? FALSE : TRUE;
            }
        }
        if (!s.input.empty()) {
            QueuedInput input = s.input.front();
            // Keys go to the focus window; with no focus, to the active window as system keys.
            HWND target = s.focus;
            UINT id = input.message;
            if (target == nullptr) {
                target = s.active;
                if (id == WM_KEYDOWN) {
                    id = WM_SYSKEYDOWN;
                } else if (id == WM_KEYUP) {
                    id = WM_SYSKEYUP;
                }
            }
            if (target == nullptr || accepts(target, id)) {
                s.input.pop_front();
                if (target == nullptr) {
                    continue; // nobody to receive it
                }
                s.paintsInARow = 0;
                s.shiftDown = input.shift;
                s.messageTime += 10;
                *message = MSG{target, id, input.key, input.lParam, s.messageTime, POINT{0, 0}};
                s.Record(target, id, input.key, input.lParam, Delivery::Posted);
                return TRUE;
            }
        }
        if (s.quitPosted) {
            s.quitPosted = false;
            *message = MSG{nullptr, WM_QUIT,       static_cast<WPARAM>(s.quitCode),
                           0,       s.messageTime, POINT{0, 0}};
            return FALSE;
        }
        if (HWND paint = s.NextPaintWindow(); paint != nullptr && accepts(paint, WM_PAINT)) {
            // Windows that keep invalidating each other from WM_PAINT would never let the
            // idle actions run; after a long run of paints the rest is dropped.
            if (++s.paintsInARow <= kMaxPaintsInARow) {
                *message = MSG{paint, WM_PAINT, 0, 0, s.messageTime, POINT{0, 0}};
                return TRUE;
            }
            for (auto& [value, w] : s.windows) {
                w->needsPaint = false;
                w->needsErase = false;
            }
        }
        s.paintsInARow = 0;
        if (!s.idle.empty()) {
            auto action = std::move(s.idle.front());
            s.idle.pop_front();
            action();
            continue;
        }
        // Nothing will ever come: end the loop rather than hang the test.
        s.idleExhausted = true;
        s.quitPosted = true;
        s.quitCode = 0;
    }
}

BOOL SimDesktop::TranslateMessage(const MSG* message) {
    DesktopState& s = *state_;
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
        c = static_cast<char16_t>(s.shiftDown ? key : key + 0x20);
    }
    if (c != 0) {
        s.Post(message->hwnd, message->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR, c,
               message->lParam);
    }
    return TRUE;
}

LRESULT SimDesktop::DispatchMessageW(const MSG* message) {
    DesktopState& s = *state_;
    if (message == nullptr || message->hwnd == nullptr) {
        return 0;
    }
    Window* w = s.FindOrFail(message->hwnd);
    if (w == nullptr) {
        return 0;
    }
    std::size_t record = s.Record(message->hwnd, message->message, message->wParam, message->lParam,
                                  Delivery::Dispatched);
    WNDPROC procedure = w->procedure;
    LRESULT result = 0;
    {
        DepthGuard depth(s.sendDepth);
        result =
            procedure != nullptr
                ? procedure(message->hwnd, message->message, message->wParam, message->lParam)
                : DefWindowProcW(message->hwnd, message->message, message->wParam, message->lParam);
    }
    s.Complete(record, result);
    if (message->message == WM_PAINT) {
        if (Window* painted = s.Find(message->hwnd); painted != nullptr) {
            // A window that did not validate itself is not asked again (Windows would ask forever).
            painted->needsPaint = false;
            painted->needsErase = false;
        }
    }
    return result;
}

// ---- Dialog keyboard handling
// ---------------------------------------------------------------------

HWND DesktopState::NextTabItem(HWND dialog, HWND from, bool previous) const {
    std::vector<HWND> stops;
    std::function<void(HWND)> collect = [&](HWND parent) {
        const Window* p = Find(parent);
        if (p == nullptr) {
            return;
        }
        for (HWND child : p->children) {
            const Window* c = Find(child);
            if (c == nullptr || (c->style & WS_VISIBLE) == 0 || (c->style & WS_DISABLED) != 0) {
                continue;
            }
            if ((c->exStyle & WS_EX_CONTROLPARENT) != 0) {
                collect(child);
            } else if ((c->style & WS_TABSTOP) != 0) {
                stops.push_back(child);
            }
        }
    };
    collect(dialog);
    if (stops.empty()) {
        return nullptr;
    }
    auto at = std::find(stops.begin(), stops.end(), from);
    if (at == stops.end()) {
        return previous ? stops.back() : stops.front();
    }
    const std::size_t index = static_cast<std::size_t>(at - stops.begin());
    const std::size_t n = stops.size();
    return stops[previous ? (index + n - 1) % n : (index + 1) % n];
}

namespace {

HWND FindDescendantById(const DesktopState& s, HWND parent, LONG_PTR id) {
    const Window* p = s.Find(parent);
    if (p == nullptr) {
        return nullptr;
    }
    for (HWND child : p->children) {
        const Window* c = s.Find(child);
        if (c != nullptr && c->id == id) {
            return child;
        }
    }
    for (HWND child : p->children) {
        if (HWND found = FindDescendantById(s, child, id)) {
            return found;
        }
    }
    return nullptr;
}

} // namespace

BOOL SimDesktop::IsDialogMessageW(HWND dialog, MSG* message) {
    DesktopState& s = *state_;
    if (message == nullptr || s.Find(dialog) == nullptr) {
        return FALSE;
    }
    if (message->hwnd != dialog && !s.IsDescendant(dialog, message->hwnd)) {
        return FALSE;
    }
    switch (message->message) {
    case WM_KEYDOWN: {
        const LRESULT code = s.Send(message->hwnd, WM_GETDLGCODE, message->wParam,
                                    reinterpret_cast<LPARAM>(message));
        if ((code & DLGC_WANTMESSAGE) != 0) {
            break;
        }
        if (message->wParam == VK_TAB) {
            if ((code & DLGC_WANTTAB) != 0) {
                break;
            }
            HWND from = s.focus == dialog ? nullptr : s.focus;
            if (HWND next = s.NextTabItem(dialog, from, s.shiftDown)) {
                s.SetFocusImpl(next);
            }
            return TRUE;
        }
        if (message->wParam == VK_ESCAPE) {
            s.Send(dialog, WM_COMMAND, IDCANCEL,
                   reinterpret_cast<LPARAM>(FindDescendantById(s, dialog, IDCANCEL)));
            return TRUE;
        }
        if (message->wParam == VK_RETURN) {
            HWND focused = s.focus;
            if (focused != nullptr && focused != dialog && s.IsDescendant(dialog, focused)) {
                const LRESULT focusCode = s.Send(focused, WM_GETDLGCODE, 0, 0);
                // A focused push button is the one Enter presses, as in a dialog.
                if ((focusCode & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0) {
                    if (const Window* f = s.Find(focused);
                        f != nullptr && (f->style & WS_DISABLED) == 0) {
                        s.Send(dialog, WM_COMMAND, MAKELPARAM(static_cast<WORD>(f->id), BN_CLICKED),
                               reinterpret_cast<LPARAM>(focused));
                    }
                    return TRUE;
                }
            }
            const LRESULT def = s.Send(dialog, DM_GETDEFID, 0, 0);
            if (crack::HasDefaultId(def)) {
                const WORD id = static_cast<WORD>(crack::DefaultId(def));
                HWND button = FindDescendantById(s, dialog, id);
                if (button == nullptr || IsWindowEnabled(button) != FALSE) {
                    s.Send(dialog, WM_COMMAND, MAKELPARAM(id, BN_CLICKED),
                           reinterpret_cast<LPARAM>(button));
                }
            } else {
                s.Send(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(focused));
            }
            return TRUE;
        }
        break;
    }
    case WM_CHAR: {
        const LRESULT code = s.Send(message->hwnd, WM_GETDLGCODE, message->wParam,
                                    reinterpret_cast<LPARAM>(message));
        (void)code; // mnemonics are not emulated: the character is dispatched
        break;
    }
    default:
        break;
    }
    TranslateMessage(message);
    DispatchMessageW(message);
    return TRUE;
}

// ---- Message boxes ------------------------------------------------------------------------------

int SimDesktop::MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, UINT type) {
    DesktopState& s = *state_;
    if (owner != nullptr && s.FindOrFail(owner) == nullptr) {
        return 0;
    }
    MessageBoxRecord record;
    record.owner = owner;
    record.text = FromNullable(text);
    record.caption = caption == nullptr ? std::u16string(u"Error") : std::u16string(caption);
    record.type = type;
    record.activeBefore = s.active;
    record.focusBefore = s.focus;
    for (HWND top : s.topLevel) {
        record.topLevel.push_back(s.Snapshot(top));
    }
    const std::size_t index = s.messageBoxes.size();
    s.messageBoxes.push_back(record);

    // The box's modal loop disables its owner (or, task-modal without one, the thread's windows).
    std::vector<HWND> disabled;
    HWND ownerTop = owner != nullptr ? s.TopLevelOf(owner) : nullptr;
    if (ownerTop != nullptr) {
        if (IsWindowEnabled(ownerTop) != FALSE) {
            EnableWindow(ownerTop, FALSE);
            disabled.push_back(ownerTop);
        }
    } else if ((type & MB_TASKMODAL) != 0) {
        std::vector<HWND> tops = s.topLevel;
        for (HWND top : tops) {
            if (s.Find(top) != nullptr && IsWindowEnabled(top) != FALSE) {
                EnableWindow(top, FALSE);
                disabled.push_back(top);
            }
        }
    }
    const int width = 320;
    const int height = 160;
    HWND box = CreateWindowExW(
        WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, u"#32770", record.caption.c_str(),
        WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, (s.config.screenWidth - width) / 2,
        (s.config.screenHeight - height) / 2, width, height, ownerTop, nullptr, nullptr, nullptr);
    s.messageBoxes[index].box = box;

    int answer = 0;
    if (s.messageBoxHandler) {
        MessageBoxRecord copy = s.messageBoxes[index];
        answer = s.messageBoxHandler(copy);
    }
    if (answer == 0 && !s.messageBoxAnswers.empty()) {
        answer = s.messageBoxAnswers.front();
        s.messageBoxAnswers.pop_front();
    }
    if (answer == 0) {
        switch (type & 0x0F) {
        case MB_ABORTRETRYIGNORE:
            answer = IDABORT;
            break;
        case MB_YESNOCANCEL:
        case MB_YESNO:
            answer = IDYES;
            break;
        case MB_RETRYCANCEL:
            answer = IDRETRY;
            break;
        case MB_CANCELTRYCONTINUE:
            answer = IDCANCEL;
            break;
        default:
            answer = IDOK;
            break;
        }
    }
    // As the dialog ends: the owner is enabled again, then the box goes and the owner is active.
    for (HWND h : disabled) {
        if (s.Find(h) != nullptr) {
            EnableWindow(h, TRUE);
        }
    }
    if (box != nullptr && s.Find(box) != nullptr) {
        DestroyWindow(box);
    }
    s.messageBoxes[index].answer = answer;
    return answer;
}

LRESULT PLATFORM_CALLBACK MessageBoxProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    SimDesktop* desktop = DesktopOf(window);
    return desktop == nullptr ? 0 : desktop->DefWindowProcW(window, message, wParam, lParam);
}

// ---- DefWindowProcW
// -------------------------------------------------------------------------------

LRESULT SimDesktop::DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DesktopState& s = *state_;
    Window* w = s.Find(window);
    if (w == nullptr) {
        return 0;
    }
    switch (message) {
    case WM_NCCREATE: {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (cs != nullptr && cs->lpszName != nullptr && !IS_INTRESOURCE(cs->lpszName)) {
            w->text = cs->lpszName;
        }
        return TRUE;
    }
    case WM_NCCALCSIZE:
        if (lParam != 0) {
            RECT& r = *crack::OnNcCalcSize(wParam, lParam);
            RECT client{};
            s.ComputeClient(*w, r, client);
            r = client;
        }
        return 0;
    case WM_WINDOWPOSCHANGING: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (pos == nullptr || (pos->flags & SWP_NOSIZE) != 0) {
            return 0;
        }
        const DWORD style = w->style;
        if ((style & WS_THICKFRAME) != 0 || (style & (WS_POPUP | WS_CHILD)) == 0) {
            MINMAXINFO info = s.MinMaxInfo(window);
            pos->cx = std::min(pos->cx, static_cast<int>(info.ptMaxTrackSize.x));
            pos->cy = std::min(pos->cy, static_cast<int>(info.ptMaxTrackSize.y));
            if ((style & WS_MINIMIZE) == 0) {
                pos->cx = std::max(pos->cx, static_cast<int>(info.ptMinTrackSize.x));
                pos->cy = std::max(pos->cy, static_cast<int>(info.ptMinTrackSize.y));
            }
        }
        return 0;
    }
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (pos == nullptr) {
            return 0;
        }
        const UINT flags = pos->flags;
        if ((flags & SWP_NOCLIENTMOVE) == 0) {
            s.Send(window, WM_MOVE, 0, PackPoint(w->client.left, w->client.top));
            w = s.Find(window);
            if (w == nullptr) {
                return 0;
            }
        }
        // This notice does not stand in for the one of the first showing: Windows sends that
        // too, also to a window that was moved or sized while hidden.
        if ((flags & SWP_NOCLIENTSIZE) == 0 || (flags & SWP_STATECHANGED) != 0) {
            if ((w->style & WS_MINIMIZE) != 0) {
                s.Send(window, WM_SIZE, SIZE_MINIMIZED, 0);
            } else {
                s.Send(window, WM_SIZE,
                       (w->style & WS_MAXIMIZE) != 0 ? SIZE_MAXIMIZED : SIZE_RESTORED,
                       PackPoint(Width(w->client), Height(w->client)));
            }
        }
        return 0;
    }
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            return s.Send(window, WM_CLOSE, 0, 0);
        case SC_MINIMIZE:
            ShowWindow(window, window == s.active ? SW_MINIMIZE : SW_SHOWMINNOACTIVE);
            return 0;
        case SC_MAXIMIZE:
            ShowWindow(window, SW_MAXIMIZE);
            return 0;
        case SC_RESTORE:
            ShowWindow(window, SW_RESTORE);
            return 0;
        default:
            return 0;
        }
    case WM_SYSKEYDOWN:
        if (crack::AltDown(lParam) && wParam == VK_F4) {
            HWND top = s.TopLevelOf(window);
            if (top != nullptr) {
                s.Post(top, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
        }
        return 0;
    case WM_SETTEXT:
        w->text = lParam == 0 ? std::u16string()
                              : std::u16string(reinterpret_cast<const char16_t*>(lParam));
        return TRUE;
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<char16_t*>(lParam);
        if (buffer == nullptr || wParam == 0) {
            return 0;
        }
        const std::size_t n = std::min<std::size_t>(w->text.size(), wParam - 1);
        std::memcpy(buffer, w->text.data(), n * sizeof(char16_t));
        buffer[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->text.size());
    case WM_SETICON: {
        HICON previous = wParam == ICON_SMALL ? w->smallIcon : w->bigIcon;
        (wParam == ICON_SMALL ? w->smallIcon : w->bigIcon) = reinterpret_cast<HICON>(lParam);
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_GETICON:
        return reinterpret_cast<LRESULT>(
            wParam == ICON_BIG                                                      ? w->bigIcon
            : wParam == static_cast<WPARAM>(ICON_SMALL2) && w->smallIcon == nullptr ? w->bigIcon
                                                                                    : w->smallIcon);
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        if (BeginPaint(window, &ps) != nullptr) {
            EndPaint(window, &ps);
        }
        return 0;
    }
    case WM_ERASEBKGND: {
        HBRUSH brush = w->windowClass->background;
        if (brush == nullptr || wParam == 0) {
            return 0;
        }
        RECT client{0, 0, Width(w->client), Height(w->client)};
        FillRect(crack::DeviceContextOf(wParam), &client, brush);
        return 1;
    }
    case WM_ACTIVATE:
        if (crack::OnActivateState(wParam) != WA_INACTIVE && (w->style & WS_MINIMIZE) == 0) {
            s.SetFocusImpl(window);
        }
        return 0;
    case WM_NCACTIVATE:
    case WM_QUERYOPEN:
        return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(s.SysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETREDRAW:
        w->redraw = wParam != 0;
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        (void)MK_LBUTTON;
        return 0;
    default:
        return 0;
    }
}

} // namespace platform::sim
