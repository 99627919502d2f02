#include "toolkit/Application.h"

#include "platform/Handles.h"
#include "toolkit/Internal.h"

#include <algorithm>

namespace toolkit {

using namespace platform;

namespace {
TApplication* current = nullptr;

LRESULT PLATFORM_CALLBACK ApplicationWindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                     LPARAM lParam) noexcept {
    // The boundary: nothing thrown here goes on into the system.
    try {
        if (message == WM_CLOSE) {
            // Closing the application window closes the main form instead.
            if (TForm* main = Application().MainForm()) {
                main->Close();
            }
            return 0;
        }
        return Os().DefWindowProcW(window, message, wParam, lParam);
    } catch (...) {
        Application().HandleException(std::current_exception());
        return 0;
    }
}

} // namespace

std::u16string ApplicationTitleFromPath(std::u16string_view modulePath) {
    const std::size_t slash = modulePath.find_last_of(u'\\');
    std::u16string_view name =
        slash == std::u16string_view::npos ? modulePath : modulePath.substr(slash + 1);
    const std::size_t dot = name.find(u'.');
    if (dot != std::u16string_view::npos) {
        name = name.substr(0, dot);
    }
    std::u16string title(name);
    if (title.size() > 1) {
        // The system's own lower case, as the user's Windows writes it.
        Os().CharLowerBuffW(title.data() + 1, static_cast<platform::DWORD>(title.size() - 1));
    }
    return title;
}

std::u16string ExceptionDisplayText(std::u16string_view message) {
    std::u16string text(message);
    if (!text.empty() && text.back() > u'.') {
        text.push_back(u'.');
    }
    return text;
}

TApplication& Application() {
    if (current == nullptr) {
        // Never destroyed: at exit the system reclaims what it holds.
        current = new TApplication();
    }
    return *current;
}

int ScreenPixelsPerInch() {
    return Application().ScreenPixelsPerInch();
}

TApplication::TApplication() : TComponent(nullptr), previous_(current) {
    current = this;
}

TApplication::~TApplication() {
    Shutdown();
    if (current == this) {
        current = previous_;
    }
}

void TApplication::Initialize() {
    if (handle_) {
        return;
    }
    internal::RegisterWindowClass(internal::kApplicationClass, &ApplicationWindowProcedure);
    HINSTANCE instance = Os().GetModuleHandleW(nullptr);
    const std::u16string title = Title();
    handle_.reset(
        Os().CreateWindowExW(0, internal::kApplicationClass, title.c_str(),
                             WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                             0, 0, 0, 0, nullptr, nullptr, instance, nullptr));
    if (!handle_) {
        throw EInvalidOperation(u"Cannot create the application window");
    }
    // The launcher icon; a program without one simply has none.
    HANDLE icon =
        Os().LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, Os().GetSystemMetrics(SM_CXICON),
                        Os().GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR);
    if (icon != nullptr) {
        icon_.reset(static_cast<HICON>(icon));
        Os().SendMessageW(handle_.get(), WM_SETICON, ICON_BIG,
                          reinterpret_cast<LPARAM>(icon_.get()));
    }
}

void TApplication::FormCreated(TForm* form) {
    form->Handle();
    if (mainForm_ == nullptr) {
        mainForm_ = form;
    }
}

void TApplication::Notification(TComponent* component, bool inserted) {
    if (!inserted && component == mainForm_) {
        mainForm_ = nullptr;
    }
}

HWND TApplication::DialogWindowFor(HWND window) const {
    TControl* control = TControl::FromHandle(window);
    while (control != nullptr && control->Parent() != nullptr) {
        control = control->Parent();
    }
    auto* form = dynamic_cast<TForm*>(control);
    return form != nullptr ? form->WindowHandle() : nullptr;
}

bool TApplication::HandleMessage() {
    MSG message{};
    const BOOL result = Os().GetMessageW(&message, nullptr, 0, 0);
    if (result == 0 || result == -1) {
        terminated_ = true;
        return false;
    }
    // Tab, Enter and Escape work the form's controls as in a dialog.
    HWND dialog = DialogWindowFor(message.hwnd);
    if (dialog == nullptr || Os().IsDialogMessageW(dialog, &message) == FALSE) {
        Os().TranslateMessage(&message);
        Os().DispatchMessageW(&message);
    }
    return true;
}

void TApplication::Run() {
    if (mainForm_ != nullptr) {
        mainForm_->Show();
    }
    while (!terminated_) {
        try {
            if (!HandleMessage()) {
                break;
            }
        } catch (...) {
            HandleException(std::current_exception());
        }
    }
    Shutdown();
}

void TApplication::Terminate() {
    if (!terminated_) {
        terminated_ = true;
        Os().PostQuitMessage(0);
    }
}

void TApplication::Shutdown() {
    // Forms in reverse order of creation, then the application window and its icon.
    DestroyComponents();
    mainForm_ = nullptr;
    // The handle is cleared before the window goes, so its last messages find none.
    handle_.reset();
    icon_.reset();
}

void TApplication::Minimize() {
    if (mainFormOnTaskBar_ && mainForm_ != nullptr) {
        mainForm_->SetWindowState(wsMinimized);
    } else if (handle_) {
        // The result is the previous visibility, not a success flag.
        Os().ShowWindow(handle_.get(), SW_MINIMIZE);
    }
}

std::u16string TApplication::Title() const {
    std::u16string path(MAX_PATH, u'\0');
    for (;;) {
        const DWORD length =
            Os().GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        // Cut short: try a larger buffer.
        if (path.size() >= 32768) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return ApplicationTitleFromPath(path);
}

int TApplication::MessageBox(const std::u16string& text, const std::u16string& caption,
                             UINT flags) {
    HWND active = Os().GetActiveWindow();
    const auto& forms = internal::LiveForms();
    const bool ours = active != nullptr && (active == handle_.get() ||
                                            std::any_of(forms.begin(), forms.end(), [&](TForm* f) {
                                                return f->WindowHandle() == active;
                                            }));
    HWND owner = ours ? active : handle_.get();
    HWND focus = Os().GetFocus();

    // The box's own loop disables its owner; the application's other windows are disabled
    // here so that nothing else of it can be used meanwhile.
    std::vector<HWND> disabled;
    for (TForm* form : forms) {
        HWND window = form->WindowHandle();
        if (window != nullptr && window != owner && Os().IsWindowVisible(window) != FALSE &&
            Os().IsWindowEnabled(window) != FALSE) {
            Os().EnableWindow(window, FALSE);
            disabled.push_back(window);
        }
    }
    const int result = Os().MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
    for (HWND window : disabled) {
        if (Os().IsWindow(window) != FALSE) {
            Os().EnableWindow(window, TRUE);
        }
    }
    if (focus != nullptr && Os().IsWindow(focus) != FALSE) {
        Os().SetFocus(focus);
    }
    return result;
}

void TApplication::ShowException(const std::exception* error) {
    const auto* own = dynamic_cast<const Exception*>(error);
    const std::u16string text = ExceptionDisplayText(own != nullptr ? own->Message() : u"");
    MessageBox(text, Title(), MB_OK | MB_ICONERROR);
}

void TApplication::HandleException(std::exception_ptr error) noexcept {
    if (!error) {
        return;
    }
    // Reporting must not fail in turn: this runs inside window procedures.
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        try {
            ShowException(&e);
        } catch (...) {
        }
    } catch (...) {
        try {
            ShowException(nullptr);
        } catch (...) {
        }
    }
}

int TApplication::ScreenPixelsPerInch() {
    if (screenPixelsPerInch_ == 0) {
        ScreenDC dc(nullptr);
        const int density = dc.get() != nullptr ? Os().GetDeviceCaps(dc.get(), LOGPIXELSY) : 0;
        screenPixelsPerInch_ = density > 0 ? density : 96;
    }
    return screenPixelsPerInch_;
}

} // namespace toolkit
