#include "toolkit/Forms.h"

#include "platform/Crackers.h"
#include "toolkit/Application.h"
#include "toolkit/Description.h"
#include "toolkit/Internal.h"
#include "toolkit/Properties.h"

#include <algorithm>

namespace toolkit {

using namespace platform;

std::vector<TForm*>& internal::LiveForms() {
    static std::vector<TForm*> forms;
    return forms;
}

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    internal::LiveForms().push_back(this);
    SetVisibleField(false);
    // A form has no parent to take a font from.
    SetParentFont(false);
    SetColor(clBtnFace);
    SetBoundsFields(0, 0, 320, 240);
}

TForm::~TForm() {
    // The components go while the form is still whole: they may ask it about itself.
    DestroyComponents();
    auto& forms = internal::LiveForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    DestroyHandle();
}

std::u16string TForm::ClassName() const {
    std::u16string name = TWinControl::ClassName();
    return name == u"TComponent" ? std::u16string(u"TForm") : name;
}

// ---- Frame and client size ------------------------------------------------------------------

DWORD TForm::WindowStyle() const {
    DWORD style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    switch (borderStyle_) {
    case bsNone:
        style |= WS_POPUP;
        break;
    case bsSingle:
    case bsToolWindow:
        style |= WS_CAPTION;
        break;
    case bsSizeable:
    case bsSizeToolWin:
        style |= WS_CAPTION | WS_THICKFRAME;
        break;
    case bsDialog:
        style |= WS_POPUP | WS_CAPTION;
        break;
    }
    if (borderStyle_ != bsNone && (borderIcons_ & biSystemMenu) != 0) {
        style |= WS_SYSMENU;
        if (borderStyle_ == bsSingle || borderStyle_ == bsSizeable) {
            style |= ((borderIcons_ & biMinimize) != 0 ? WS_MINIMIZEBOX : 0) |
                     ((borderIcons_ & biMaximize) != 0 ? WS_MAXIMIZEBOX : 0);
        }
    }
    return style;
}

DWORD TForm::WindowExStyle() const {
    DWORD exStyle = WS_EX_CONTROLPARENT;
    if (borderStyle_ == bsDialog) {
        exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
    } else if (borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin) {
        exStyle |= WS_EX_TOOLWINDOW;
    }
    if (onTaskBar_) {
        exStyle |= WS_EX_APPWINDOW;
    }
    return exStyle;
}

void TForm::FrameSize(int& width, int& height) const {
    RECT rect{0, 0, 0, 0};
    if (Os().AdjustWindowRectEx(&rect, WindowStyle(), FALSE, WindowExStyle()) == FALSE) {
        rect = RECT{0, 0, 0, 0};
    }
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
}

int TForm::ClientWidth() const {
    if (HandleAllocated()) {
        RECT client{};
        if (Os().GetClientRect(WindowHandle(), &client) != FALSE) {
            return client.right;
        }
    }
    int frameWidth = 0, frameHeight = 0;
    FrameSize(frameWidth, frameHeight);
    return std::max(Width() - frameWidth, 0);
}

int TForm::ClientHeight() const {
    if (HandleAllocated()) {
        RECT client{};
        if (Os().GetClientRect(WindowHandle(), &client) != FALSE) {
            return client.bottom;
        }
    }
    int frameWidth = 0, frameHeight = 0;
    FrameSize(frameWidth, frameHeight);
    return std::max(Height() - frameHeight, 0);
}

void TForm::SetClientWidth(int width) {
    SetWidth(Width() - ClientWidth() + width);
}

void TForm::SetClientHeight(int height) {
    SetHeight(Height() - ClientHeight() + height);
}

void TForm::ApplyStyle(int clientWidth, int clientHeight) {
    if (!HandleAllocated()) {
        // The client area is what the description gave: the frame grows around it.
        int frameWidth = 0, frameHeight = 0;
        FrameSize(frameWidth, frameHeight);
        SetBoundsFields(Left(), Top(), clientWidth + frameWidth, clientHeight + frameHeight);
        return;
    }
    Os().SetWindowLongPtrW(WindowHandle(), GWL_STYLE,
                           static_cast<LONG_PTR>(WindowStyle() | (Visible() ? WS_VISIBLE : 0)));
    Os().SetWindowLongPtrW(WindowHandle(), GWL_EXSTYLE, static_cast<LONG_PTR>(WindowExStyle()));
    Os().SetWindowPos(WindowHandle(), nullptr, 0, 0, 0, 0,
                      SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    UpdateBoundsFromWindow();
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
    const int clientWidth = ClientWidth();
    const int clientHeight = ClientHeight();
    borderStyle_ = style;
    ApplyStyle(clientWidth, clientHeight);
}

void TForm::SetBorderIcons(TBorderIcons icons) {
    const int clientWidth = ClientWidth();
    const int clientHeight = ClientHeight();
    borderIcons_ = icons & (biSystemMenu | biMinimize | biMaximize);
    ApplyStyle(clientWidth, clientHeight);
}

void TForm::SetPixelsPerInch(int pixelsPerInch) {
    if (pixelsPerInch <= 0) {
        throw EInvalidOperation(u"PixelsPerInch must be positive");
    }
    designPixelsPerInch_ = pixelsPerInch;
}

TWindowState TForm::WindowState() const {
    if (HandleAllocated() && Visible()) {
        if (Os().IsIconic(WindowHandle()) != FALSE) {
            return wsMinimized;
        }
        if (Os().IsZoomed(WindowHandle()) != FALSE) {
            return wsMaximized;
        }
        return wsNormal;
    }
    return windowState_;
}

void TForm::SetWindowState(TWindowState state) {
    windowState_ = state;
    if (HandleAllocated() && Visible()) {
        const int command = state == wsMinimized   ? SW_MINIMIZE
                            : state == wsMaximized ? SW_SHOWMAXIMIZED
                                                   : SW_RESTORE;
        // The result is the previous visibility, not a success flag.
        Os().ShowWindow(WindowHandle(), command);
    }
}

void TForm::SetIcon(const std::u16string& resourceName) {
    if (resourceName.empty()) {
        iconBig_ = TIconImage();
        iconSmall_ = TIconImage();
    } else {
        const std::vector<std::uint8_t> file = LoadResourceData(resourceName);
        iconBig_ =
            TIconImage(file, Os().GetSystemMetrics(SM_CXICON), Os().GetSystemMetrics(SM_CYICON));
        iconSmall_ = TIconImage(file, Os().GetSystemMetrics(SM_CXSMICON),
                                Os().GetSystemMetrics(SM_CYSMICON));
    }
    iconName_ = resourceName;
    if (HandleAllocated()) {
        Os().SendMessageW(WindowHandle(), WM_SETICON, ICON_BIG,
                          reinterpret_cast<LPARAM>(iconBig_.Handle()));
        Os().SendMessageW(WindowHandle(), WM_SETICON, ICON_SMALL,
                          reinterpret_cast<LPARAM>(iconSmall_.Handle()));
    }
}

// ---- Window ---------------------------------------------------------------------------------

void TForm::CreateParams(TCreateParams& params) {
    TApplication& application = Application();
    const bool mainForm = application.MainForm() == this ||
                          (application.MainForm() == nullptr && application.CreatingMainForm() &&
                           Owner() == &application);
    // The main form carries the task-bar button itself when the application says so; every
    // other form is owned by the hidden application window.
    onTaskBar_ = mainForm && application.MainFormOnTaskBar();
    params.windowClass = internal::kFormClass;
    params.systemClass = false;
    params.style = WindowStyle() | (Enabled() ? 0 : WS_DISABLED);
    params.exStyle = WindowExStyle();
    params.x = Left();
    params.y = Top();
    // A form not shown yet is made where its first showing will put it, unless its size
    // changes before then: the showing then has nothing to move.
    if (!shownOnce_) {
        FirstShowingPlace(params.x, params.y);
    }
    params.width = Width();
    params.height = Height();
    params.parent = onTaskBar_ ? nullptr : application.Handle();
    params.menu = nullptr;
}

void TForm::CreateHandle() {
    if (HandleAllocated()) {
        return;
    }
    if (Parent() != nullptr) {
        throw EInvalidOperation(u"A form cannot be placed inside another control");
    }
    TWinControl::CreateHandle();
    if (iconBig_) {
        Os().SendMessageW(WindowHandle(), WM_SETICON, ICON_BIG,
                          reinterpret_cast<LPARAM>(iconBig_.Handle()));
        Os().SendMessageW(WindowHandle(), WM_SETICON, ICON_SMALL,
                          reinterpret_cast<LPARAM>(iconSmall_.Handle()));
    }
}

void TForm::UpdateBoundsFromWindow() {
    // A minimised window's rectangle is not its place.
    if (!HandleAllocated() || Os().IsIconic(WindowHandle()) != FALSE) {
        return;
    }
    RECT rect{};
    if (Os().GetWindowRect(WindowHandle(), &rect) != FALSE) {
        SetBoundsFields(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    }
}

bool TForm::FirstShowingPlace(int& left, int& top) const {
    left = Left();
    top = Top();
    switch (position_) {
    case poDesigned:
        return false;
    case poScreenCenter:
    case poDesktopCenter:
        left = (Os().GetSystemMetrics(SM_CXSCREEN) - Width()) / 2;
        top = (Os().GetSystemMetrics(SM_CYSCREEN) - Height()) / 2;
        break;
    case poMainFormCenter: {
        const TForm* main = Application().MainForm();
        if (main == nullptr || main == this) {
            left = (Os().GetSystemMetrics(SM_CXSCREEN) - Width()) / 2;
            top = (Os().GetSystemMetrics(SM_CYSCREEN) - Height()) / 2;
        } else {
            left = main->Left() + (main->Width() - Width()) / 2;
            top = main->Top() + (main->Height() - Height()) / 2;
        }
        break;
    }
    }
    left = std::max(left, 0);
    top = std::max(top, 0);
    return true;
}

void TForm::PlaceForShowing() {
    int left = 0, top = 0;
    if (FirstShowingPlace(left, top)) {
        SetBounds(left, top, Width(), Height());
    }
}

void TForm::Show() {
    if (Visible() && HandleAllocated() && Os().IsWindowVisible(WindowHandle()) != FALSE) {
        return;
    }
    HWND window = Handle();
    const bool first = !shownOnce_;
    if (first) {
        PlaceForShowing();
    }
    SetVisibleField(true);
    shownOnce_ = true;
    const int command = !first                        ? SW_SHOW
                        : windowState_ == wsMinimized ? SW_SHOWMINIMIZED
                        : windowState_ == wsMaximized ? SW_SHOWMAXIMIZED
                                                      : SW_SHOWNORMAL;
    // The result is the previous visibility, not a success flag.
    Os().ShowWindow(window, command);
    if (first) {
        // The first control in tab order takes the focus unless one inside has it already.
        if (FocusedChild() == nullptr) {
            if (TWinControl* control = FirstTabStop()) {
                control->SetFocus();
            }
        }
    }
    // A failing handler is reported; the form stays shown.
    try {
        onShow_(this);
    } catch (...) {
        Application().HandleException(std::current_exception());
    }
}

void TForm::Hide() {
    if (!Visible()) {
        return;
    }
    SetVisibleField(false);
    if (HandleAllocated()) {
        // The result is the previous visibility, not a success flag.
        Os().ShowWindow(WindowHandle(), SW_HIDE);
    }
}

void TForm::SetVisible(bool visible) {
    if (visible) {
        Show();
    } else {
        Hide();
    }
}

void TForm::Close() {
    if (!CloseQuery()) {
        return;
    }
    Hide();
    TApplication& application = Application();
    if (application.MainForm() == this) {
        application.Terminate();
    }
}

TControl* TForm::FocusedChild() const {
    TControl* focused = TControl::FromHandle(Os().GetFocus());
    for (TControl* c = focused; c != nullptr; c = c->Parent()) {
        if (c->Parent() == this) {
            return focused;
        }
    }
    return nullptr;
}

TControl* TForm::DefaultControl() const {
    for (int i = 0; i < ComponentCount(); ++i) {
        auto* button = dynamic_cast<TBitBtn*>(Components(i));
        if (button != nullptr && button->Default() && button->Enabled() && button->Visible()) {
            return button;
        }
    }
    return nullptr;
}

TControl* TForm::CancelControl() const {
    for (int i = 0; i < ComponentCount(); ++i) {
        auto* button = dynamic_cast<TBitBtn*>(Components(i));
        if (button != nullptr && button->Cancel() && button->Enabled() && button->Visible()) {
            return button;
        }
    }
    return nullptr;
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ACTIVATE:
        if (crack::OnActivateState(wParam) == WA_INACTIVE) {
            // Deactivated: remember which control had the focus ...
            if (TControl* focused = FocusedChild()) {
                lastFocus_ = focused->WindowHandle();
            }
        } else {
            // ... and give it back on return, where the system would focus the form itself.
            const LRESULT result = TWinControl::WndProc(message, wParam, lParam);
            if (FocusedChild() == nullptr && lastFocus_ != nullptr &&
                TControl::FromHandle(lastFocus_) != nullptr && Os().IsWindow(lastFocus_) != FALSE) {
                Os().SetFocus(lastFocus_);
            }
            return result;
        }
        break;
    case WM_CLOSE:
        // The close box, the system menu and Alt+F4 close like Close(); DefWindowProcW would
        // destroy the window instead.
        Close();
        return 0;
    case DM_GETDEFID:
        if (const TControl* control = DefaultControl();
            control != nullptr && control->ControlId() != 0) {
            return static_cast<LRESULT>(
                MAKELPARAM(static_cast<WORD>(control->ControlId()), DC_HASDEFID));
        }
        return 0;
    case WM_COMMAND: {
        const crack::Command command = crack::OnCommand(wParam, lParam);
        if (TControl::FromHandle(command.control) == nullptr &&
            internal::ControlById(command.id) == nullptr) {
            // Escape (IDCANCEL) presses a cancel button if there is one; Enter without a
            // default button (IDOK) does nothing.
            if (command.id == IDCANCEL) {
                if (auto* button = dynamic_cast<TBitBtn*>(CancelControl())) {
                    button->Click();
                }
            }
            return 0;
        }
        break;
    }
    default:
        break;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

// ---- Description --------------------------------------------------------------------------

void TForm::LoadDescription(const std::u16string& resourceName) {
    const std::vector<std::uint8_t> data = LoadResourceData(resourceName);
    LoadDescriptionText(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
}

void TForm::LoadDescriptionText(std::string_view text) {
    ReadDescription(*this, text);
}

std::string TForm::WriteDescription() const {
    return toolkit::WriteDescription(*this);
}

void TForm::Loaded() {
    TWinControl::Loaded();
    const int screen = ScreenPixelsPerInch();
    if (scaled_ && designPixelsPerInch_ != screen) {
        ScaleForDensity(designPixelsPerInch_, screen);
    }
}

namespace {
void ScaleChildren(TWinControl& parent, int from, int to) {
    for (int i = 0; i < parent.ControlCount(); ++i) {
        TControl* control = parent.Controls(i);
        control->SetBounds(MulDiv(control->Left(), to, from), MulDiv(control->Top(), to, from),
                           MulDiv(control->Width(), to, from), MulDiv(control->Height(), to, from));
        if (!control->ParentFont()) {
            control->Font().SetHeight(MulDiv(control->Font().Height(), to, from));
        }
        if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
            ScaleChildren(*windowed, from, to);
        }
    }
}
} // namespace

void TForm::ScaleForDensity(int from, int to) {
    const int clientWidth = MulDiv(ClientWidth(), to, from);
    const int clientHeight = MulDiv(ClientHeight(), to, from);
    Font().SetHeight(MulDiv(Font().Height(), to, from));
    ScaleChildren(*this, from, to);
    SetClientWidth(clientWidth);
    SetClientHeight(clientHeight);
}

namespace {
const TIdentMap& BorderStyleNames() {
    static const TIdentMap names = {{u"bsNone", bsNone},
                                    {u"bsSingle", bsSingle},
                                    {u"bsSizeable", bsSizeable},
                                    {u"bsDialog", bsDialog},
                                    {u"bsToolWindow", bsToolWindow},
                                    {u"bsSizeToolWin", bsSizeToolWin}};
    return names;
}
const TIdentMap& BorderIconNames() {
    static const TIdentMap names = {
        {u"biSystemMenu", biSystemMenu}, {u"biMinimize", biMinimize}, {u"biMaximize", biMaximize}};
    return names;
}
const TIdentMap& PositionNames() {
    static const TIdentMap names = {{u"poDesigned", poDesigned},
                                    {u"poScreenCenter", poScreenCenter},
                                    {u"poDesktopCenter", poDesktopCenter},
                                    {u"poMainFormCenter", poMainFormCenter}};
    return names;
}
const TIdentMap& WindowStateNames() {
    static const TIdentMap names = {
        {u"wsNormal", wsNormal}, {u"wsMinimized", wsMinimized}, {u"wsMaximized", wsMaximized}};
    return names;
}
} // namespace

const TPropertyList& TForm::PublishedProperties() const {
    return ClassProperties();
}

const TPropertyList& TForm::ClassProperties() {
    static const TPropertyList list = [] {
        TPropertyList l(&TComponent::ClassProperties());
        l.Add(IntegerProperty(u"Left", &TControl::Left, &TControl::SetLeft));
        l.Add(IntegerProperty(u"Top", &TControl::Top, &TControl::SetTop));
        // The client size is what is stored; Width and Height are accepted too.
        l.Add(ReadOnly(IntegerProperty(u"Width", &TControl::Width, &TControl::SetWidth)));
        l.Add(ReadOnly(IntegerProperty(u"Height", &TControl::Height, &TControl::SetHeight)));
        l.Add(StringProperty(u"Caption", &TControl::Caption, &TControl::SetCaption));
        l.Add(IntegerProperty(u"ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth));
        l.Add(IntegerProperty(u"ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight));
        l.Add(MakeEnumProperty(
            u"Color", ColorNames(), true,
            [](const TComponent& c) { return static_cast<int>(As<TForm>(c).Color()); },
            [](TComponent& c, int v) { As<TForm>(c).SetColor(v); }));
        l.Add(EnumProperty(u"BorderStyle", BorderStyleNames(), &TForm::BorderStyle,
                           &TForm::SetBorderStyle));
        l.Add(SetProperty(u"BorderIcons", BorderIconNames(), &TForm::BorderIcons,
                          &TForm::SetBorderIcons));
        l.Add(EnumProperty(u"Position", PositionNames(), &TForm::Position, &TForm::SetPosition));
        l.Add(BooleanProperty(u"Scaled", &TForm::Scaled, &TForm::SetScaled));
        l.Add(StoredWhen(
            IntegerProperty(u"PixelsPerInch", &TForm::PixelsPerInch, &TForm::SetPixelsPerInch),
            [](const TComponent& c) { return As<TForm>(c).Scaled(); }));
        l.Add(
            StoredWhen(EnumProperty(u"WindowState", WindowStateNames(), &TForm::WindowState,
                                    &TForm::SetWindowState),
                       [](const TComponent& c) { return As<TForm>(c).WindowState() != wsNormal; }));
        l.Add(StoredWhen(BooleanProperty(u"Enabled", &TControl::Enabled, &TControl::SetEnabled),
                         [](const TComponent& c) { return !As<TControl>(c).Enabled(); }));
        internal::AddFontProperties(l);
        l.Add(ResourceProperty(u"Icon", &TForm::Icon, &TForm::SetIcon));
        l.Add(EventProperty(u"OnShow", &TForm::OnShow, &TForm::SetOnShow));
        return l;
    }();
    return list;
}

} // namespace toolkit
