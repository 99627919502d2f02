// Dialog keyboard handling (IsDialogMessageW) and message boxes.
#include "platform/sim/SimMessaging.h"

#include "platform/Crackers.h"
#include "platform/sim/SimActivation.h"
#include "platform/sim/SimWindowTree.h"

#include <algorithm>
#include <functional>

namespace platform::sim {

// ---- Dialog keyboard handling -------------------------------------------------------------------

HWND Messaging::NextTabItem(HWND dialog, HWND from, bool previous) const {
    std::vector<HWND> stops;
    std::function<void(HWND)> collect = [&](HWND parent) {
        const Window* p = windows_.Find(parent);
        if (p == nullptr) {
            return;
        }
        for (HWND child : p->children) {
            const Window* c = windows_.Find(child);
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

// A child with the id, or else the first one deeper down.
HWND Messaging::DescendantById(HWND parent, LONG_PTR id) const {
    const Window* p = windows_.Find(parent);
    if (p == nullptr) {
        return nullptr;
    }
    for (HWND child : p->children) {
        const Window* c = windows_.Find(child);
        if (c != nullptr && c->id == id) {
            return child;
        }
    }
    for (HWND child : p->children) {
        if (HWND found = DescendantById(child, id)) {
            return found;
        }
    }
    return nullptr;
}

BOOL Messaging::IsDialogMessageW(HWND dialog, MSG* message) {
    if (message == nullptr || windows_.Find(dialog) == nullptr) {
        return FALSE;
    }
    if (message->hwnd != dialog && !windows_.IsDescendant(dialog, message->hwnd)) {
        return FALSE;
    }
    switch (message->message) {
    case WM_KEYDOWN: {
        const LRESULT code =
            Send(message->hwnd, WM_GETDLGCODE, message->wParam, reinterpret_cast<LPARAM>(message));
        if ((code & DLGC_WANTMESSAGE) != 0) {
            break;
        }
        if (message->wParam == VK_TAB) {
            if ((code & DLGC_WANTTAB) != 0) {
                break;
            }
            HWND from = activation_.GetFocus() == dialog ? nullptr : activation_.GetFocus();
            if (HWND next = NextTabItem(dialog, from, shiftDown_)) {
                activation_.SetFocus(next);
            }
            return TRUE;
        }
        if (message->wParam == VK_ESCAPE) {
            Send(dialog, WM_COMMAND, IDCANCEL,
                 reinterpret_cast<LPARAM>(DescendantById(dialog, IDCANCEL)));
            return TRUE;
        }
        if (message->wParam == VK_RETURN) {
            HWND focused = activation_.GetFocus();
            if (focused != nullptr && focused != dialog && windows_.IsDescendant(dialog, focused)) {
                const LRESULT focusCode = Send(focused, WM_GETDLGCODE, 0, 0);
                // A focused push button is the one Enter presses, as in a dialog.
                if ((focusCode & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0) {
                    if (const Window* f = windows_.Find(focused);
                        f != nullptr && (f->style & WS_DISABLED) == 0) {
                        Send(dialog, WM_COMMAND, MAKELPARAM(static_cast<WORD>(f->id), BN_CLICKED),
                             reinterpret_cast<LPARAM>(focused));
                    }
                    return TRUE;
                }
            }
            const LRESULT def = Send(dialog, DM_GETDEFID, 0, 0);
            if (crack::HasDefaultId(def)) {
                const WORD id = static_cast<WORD>(crack::DefaultId(def));
                HWND button = DescendantById(dialog, id);
                if (button == nullptr || windows_.IsWindowEnabled(button) != FALSE) {
                    Send(dialog, WM_COMMAND, MAKELPARAM(id, BN_CLICKED),
                         reinterpret_cast<LPARAM>(button));
                }
            } else {
                Send(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(focused));
            }
            return TRUE;
        }
        break;
    }
    case WM_CHAR: {
        // Mnemonics are not emulated: the control is asked, and the character is dispatched.
        Send(message->hwnd, WM_GETDLGCODE, message->wParam, reinterpret_cast<LPARAM>(message));
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

int Messaging::MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, UINT type) {
    if (owner != nullptr && windows_.FindOrFail(owner) == nullptr) {
        return 0;
    }
    MessageBoxRecord record;
    record.owner = owner;
    record.text = FromNullable(text);
    record.caption = caption == nullptr ? std::u16string(u"Error") : std::u16string(caption);
    record.type = type;
    record.activeBefore = activation_.GetActiveWindow();
    record.focusBefore = activation_.GetFocus();
    for (HWND top : windows_.TopLevel()) {
        record.topLevel.push_back(windows_.Snapshot(top));
    }
    const std::size_t index = messageBoxes_.size();
    messageBoxes_.push_back(record);

    // The box's modal loop disables its owner (or, task-modal without one, the thread's windows).
    std::vector<HWND> disabled;
    HWND ownerTop = owner != nullptr ? windows_.TopLevelOf(owner) : nullptr;
    if (ownerTop != nullptr) {
        if (windows_.IsWindowEnabled(ownerTop) != FALSE) {
            windows_.EnableWindow(ownerTop, FALSE);
            disabled.push_back(ownerTop);
        }
    } else if ((type & MB_TASKMODAL) != 0) {
        std::vector<HWND> tops = windows_.TopLevel();
        for (HWND top : tops) {
            if (windows_.Find(top) != nullptr && windows_.IsWindowEnabled(top) != FALSE) {
                windows_.EnableWindow(top, FALSE);
                disabled.push_back(top);
            }
        }
    }
    const int width = 320;
    const int height = 160;
    HWND box = windows_.CreateWindowExW(
        WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, u"#32770", record.caption.c_str(),
        WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, (config_.screenWidth - width) / 2,
        (config_.screenHeight - height) / 2, width, height, ownerTop, nullptr, nullptr, nullptr);
    messageBoxes_[index].box = box;

    int answer = 0;
    if (messageBoxHandler_) {
        MessageBoxRecord copy = messageBoxes_[index];
        answer = messageBoxHandler_(copy);
    }
    if (answer == 0 && !messageBoxAnswers_.empty()) {
        answer = messageBoxAnswers_.front();
        messageBoxAnswers_.pop_front();
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
        if (windows_.Find(h) != nullptr) {
            windows_.EnableWindow(h, TRUE);
        }
    }
    if (box != nullptr && windows_.Find(box) != nullptr) {
        windows_.DestroyWindow(box);
    }
    messageBoxes_[index].answer = answer;
    return answer;
}

} // namespace platform::sim
