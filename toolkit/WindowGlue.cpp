// The glue between windows and controls: which control a window belongs to, the window
// procedure every control shares, and the identifiers child windows carry.
#include "toolkit/Controls.h"

#include "platform/Crackers.h"
#include "toolkit/Application.h"
#include "toolkit/Internal.h"

#include <exception>
#include <map>
#include <unordered_map>
#include <utility>

namespace toolkit {

using namespace platform;

namespace {
std::unordered_map<HWND, TControl*>& WindowMap() {
    static std::unordered_map<HWND, TControl*> map;
    return map;
}

std::map<int, TControl*>& IdMap() {
    static std::map<int, TControl*> map;
    return map;
}

std::exception_ptr& CreationError() {
    static std::exception_ptr error;
    return error;
}
} // namespace

void WindowGlue::Attach(TControl& control, HWND window) {
    // The map first: if it cannot grow, the control has no window that could go without it.
    WindowMap()[window] = &control;
    control.handle_ = window;
}

void WindowGlue::Detach(TControl& control) {
    if (control.handle_ != nullptr) {
        WindowMap().erase(control.handle_);
    }
    // A bracket still holding the control's bounds or font has no window left to give them.
    internal::ReleaseHeld(control);
    control.handle_ = nullptr;
    control.systemProc_ = nullptr;
    // The window that used the font is gone.
    control.hfont_.reset();
}

namespace internal {

void RegisterWindowClass(const char16_t* name, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = Os().GetModuleHandleW(nullptr);
    // The system's shared arrow; without it the pointer would keep whatever shape it had when
    // it entered the window. A system without one leaves the class without a cursor.
    windowClass.hCursor = static_cast<HCURSOR>(
        Os().LoadImageW(nullptr, IDC_ARROW(), IMAGE_CURSOR, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
    windowClass.lpszClassName = name;
    if (Os().RegisterClassExW(&windowClass) == 0 &&
        Os().GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw EInvalidOperation(u"Cannot register the window class " + std::u16string(name));
    }
}

LRESULT PLATFORM_CALLBACK ControlWindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) noexcept {
    TControl* control = nullptr;
    LRESULT result = 0;
    // The boundary: nothing thrown by a control goes on into the system.
    try {
        control = TControl::FromHandle(window);
        if (control == nullptr && message == WM_NCCREATE && lParam != 0) {
            const CREATESTRUCTW* create = crack::OnCreate(lParam);
            control = static_cast<TControl*>(create->lpCreateParams);
            if (control != nullptr) {
                WindowGlue::Attach(*control, window);
            }
        }
        if (control == nullptr) {
            return Os().DefWindowProcW(window, message, wParam, lParam);
        }
        result = control->WndProc(message, wParam, lParam);
    } catch (...) {
        if (message == WM_NCCREATE) {
            // The window is not made, and CreateHandle throws this for its caller: reported
            // here too, one failure would show twice.
            CreationError() = std::current_exception();
            result = FALSE;
        } else {
            Application().HandleException(std::current_exception());
        }
    }
    if (control != nullptr && message == WM_NCDESTROY) {
        WindowGlue::Detach(*control);
    }
    return result;
}

int AllocateControlId(TControl* control) {
    // Small numbers are the dialog manager's (IDOK, IDCANCEL); WM_COMMAND carries 16 bits.
    static int next = 100;
    auto& ids = IdMap();
    for (int tries = 0; tries < 0x7F00; ++tries) {
        const int id = next;
        next = next >= 0x7FFF ? 100 : next + 1;
        if (ids.find(id) == ids.end()) {
            ids[id] = control;
            return id;
        }
    }
    throw EInvalidOperation(u"Too many controls");
}

std::exception_ptr TakeCreationError() {
    return std::exchange(CreationError(), nullptr);
}

void ReleaseControlId(int id) {
    IdMap().erase(id);
}

TControl* ControlById(int id) {
    auto it = IdMap().find(id);
    return it == IdMap().end() ? nullptr : it->second;
}

} // namespace internal

TControl* TControl::FromHandle(HWND window) {
    if (window == nullptr) {
        return nullptr;
    }
    auto it = WindowMap().find(window);
    return it == WindowMap().end() ? nullptr : it->second;
}

} // namespace toolkit
