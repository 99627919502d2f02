#include "toolkit/Controls.h"

#include "platform/Crackers.h"
#include "toolkit/Application.h"
#include "toolkit/Forms.h"
#include "toolkit/Internal.h"
#include "toolkit/Properties.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <unordered_map>

namespace toolkit {

using namespace platform;

// ---- Window glue --------------------------------------------------------------------------

namespace {
std::unordered_map<HWND, TControl*>& WindowMap() {
    static std::unordered_map<HWND, TControl*> map;
    return map;
}

std::map<int, TControl*>& IdMap() {
    static std::map<int, TControl*> map;
    return map;
}

// Runs a function when the scope ends, however it ends.
template <class F> class Finally {
public:
    explicit Finally(F f) : f_(std::move(f)) {}
    ~Finally() { f_(); }
    Finally(const Finally&) = delete;
    Finally& operator=(const Finally&) = delete;

private:
    F f_;
};
} // namespace

struct WindowGlue {
    static void Attach(TControl& control, HWND window) {
        control.handle_ = window;
        WindowMap()[window] = &control;
    }
    static void Detach(TControl& control) {
        if (control.handle_ != nullptr) {
            WindowMap().erase(control.handle_);
        }
        control.handle_ = nullptr;
        control.systemProc_ = nullptr;
        // The window that used the font is gone.
        control.hfont_.reset();
    }
};

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
        Application().HandleException(std::current_exception());
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

void ReleaseControlId(int id) {
    IdMap().erase(id);
}

TControl* ControlById(int id) {
    auto it = IdMap().find(id);
    return it == IdMap().end() ? nullptr : it->second;
}

} // namespace internal

// ---- TControl -----------------------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner) {
    font_.SetOnChange([this] { FontChanged(); });
}

TControl::~TControl() {
    font_.SetOnChange(nullptr);
    DestroyHandle();
    if (parent_ != nullptr) {
        parent_->RemoveControl(this);
        parent_ = nullptr;
    }
    if (id_ != 0) {
        internal::ReleaseControlId(id_);
    }
}

TControl* TControl::FromHandle(HWND window) {
    if (window == nullptr) {
        return nullptr;
    }
    auto it = WindowMap().find(window);
    return it == WindowMap().end() ? nullptr : it->second;
}

void TControl::SetLeft(int left) {
    SetBounds(left, top_, width_, height_);
}
void TControl::SetTop(int top) {
    SetBounds(left_, top, width_, height_);
}
void TControl::SetWidth(int width) {
    SetBounds(left_, top_, width, height_);
}
void TControl::SetHeight(int height) {
    SetBounds(left_, top_, width_, height);
}

void TControl::SetBoundsFields(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    const int oldLeft = left_;
    const int oldTop = top_;
    const int oldWidth = width_;
    const int oldHeight = height_;
    SetBoundsFields(left, top, width, height);
    const bool moved =
        left_ != oldLeft || top_ != oldTop || width_ != oldWidth || height_ != oldHeight;
    // Moving a window to where it is still repaints it.
    if (handle_ != nullptr && moved) {
        if (Os().MoveWindow(handle_, left_, top_, width_, height_, TRUE) == FALSE) {
            throw EInvalidOperation(u"Cannot move the window of " + Name());
        }
        // The window may have adjusted the request.
        UpdateBoundsFromWindow();
    }
}

void TControl::UpdateBoundsFromWindow() {
    if (handle_ == nullptr) {
        return;
    }
    RECT rect{};
    if (Os().GetWindowRect(handle_, &rect) == FALSE) {
        return;
    }
    HWND parentWindow = Os().GetParent(handle_);
    if (parentWindow != nullptr) {
        POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
        Os().SetLastError(ERROR_SUCCESS);
        if (Os().MapWindowPoints(nullptr, parentWindow, corners, 2) == 0 &&
            Os().GetLastError() != ERROR_SUCCESS) {
            return;
        }
        rect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    }
    SetBoundsFields(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void TControl::SetParentFont(bool parentFont) {
    parentFont_ = parentFont;
    if (parentFont) {
        TakeParentFont();
    }
}

void TControl::TakeParentFont() {
    if (parent_ == nullptr) {
        return;
    }
    takingParentFont_ = true;
    Finally done([this] { takingParentFont_ = false; });
    font_.Assign(parent_->Font());
}

void TControl::FontChanged() {
    if (!takingParentFont_) {
        parentFont_ = false;
    }
    if (handle_ == nullptr) {
        return;
    }
    const LOGFONTW logFont = font_.LogFont();
    if (hfont_ && std::memcmp(&logFont, &hfontLog_, sizeof logFont) == 0) {
        if (hfontColor_ != font_.Color()) {
            hfontColor_ = font_.Color();
            Invalidate();
        }
        return;
    }
    HFONT font = Os().CreateFontIndirectW(&logFont);
    if (font == nullptr) {
        throw EInvalidOperation(u"Cannot create the font " + font_.Name());
    }
    // The window takes the new font before the old one is released.
    Os().SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    hfont_.reset(font);
    hfontLog_ = logFont;
    hfontColor_ = font_.Color();
    Invalidate();
}

void TControl::SetCaption(const std::u16string& caption) {
    text_ = caption;
    if (handle_ != nullptr && Os().SetWindowTextW(handle_, text_.c_str()) == FALSE) {
        throw EInvalidOperation(u"Cannot set the text of " + Name());
    }
    TextChanged();
}

void TControl::TextChanged() {}

void TControl::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (handle_ != nullptr) {
        // The result is the previous state, not a success flag.
        Os().EnableWindow(handle_, enabled ? TRUE : FALSE);
    }
    EnabledChanged();
}

void TControl::EnabledChanged() {
    Invalidate();
}

void TControl::SetVisible(bool visible) {
    visible_ = visible;
    if (handle_ != nullptr) {
        // The result is the previous visibility, not a success flag.
        Os().ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE);
    }
}

void TControl::SetName(const std::u16string& name) {
    const bool loading = (ComponentState() & csLoading) != 0 ||
                         (Owner() != nullptr && (Owner()->ComponentState() & csLoading) != 0);
    const bool textFollows = !loading && Name() == text_;
    TComponent::SetName(name);
    if (textFollows) {
        SetCaption(name);
    }
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) {
        return;
    }
    for (TControl* p = parent; p != nullptr; p = p->parent_) {
        if (p == this) {
            throw EInvalidOperation(u"A control cannot be its own parent");
        }
    }
    // A window cannot change its parent here: it is made again under the new one.
    DestroyHandle();
    if (parent_ != nullptr) {
        parent_->RemoveControl(this);
    }
    parent_ = parent;
    if (parent_ != nullptr) {
        parent_->InsertControl(this);
        if (parentFont_) {
            TakeParentFont();
        }
        if (parent_->HandleAllocated()) {
            CreateHandle();
        }
    }
}

HWND TControl::Handle() {
    if (handle_ == nullptr) {
        // Making the parent's window makes its children's too.
        if (parent_ != nullptr && !parent_->HandleAllocated()) {
            parent_->Handle();
        }
        if (handle_ == nullptr) {
            CreateHandle();
        }
    }
    return handle_;
}

void TControl::CreateParams(TCreateParams& params) {
    if (parent_ == nullptr) {
        throw EInvalidOperation(u"Control " + Name() + u" has no parent window");
    }
    if (id_ == 0) {
        id_ = internal::AllocateControlId(this);
    }
    params.windowClass = internal::kControlClass;
    params.systemClass = false;
    params.style =
        WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0) | (enabled_ ? 0 : WS_DISABLED);
    params.exStyle = 0;
    params.x = left_;
    params.y = top_;
    params.width = width_;
    params.height = height_;
    params.parent = parent_->Handle();
    params.menu = reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id_));
}

void TControl::CreateHandle() {
    if (handle_ != nullptr) {
        return;
    }
    TCreateParams params;
    CreateParams(params);
    if (handle_ != nullptr) {
        return; // making the parent made this one too
    }
    if (!params.systemClass) {
        internal::RegisterWindowClass(params.windowClass.c_str(),
                                      &internal::ControlWindowProcedure);
    }
    HWND window =
        Os().CreateWindowExW(params.exStyle, params.windowClass.c_str(), text_.c_str(),
                             params.style, params.x, params.y, params.width, params.height,
                             params.parent, params.menu, Os().GetModuleHandleW(nullptr), this);
    if (window == nullptr) {
        throw EInvalidOperation(u"Cannot create the window of " + Name());
    }
    if (params.systemClass) {
        WindowGlue::Attach(*this, window);
        const LONG_PTR previous = Os().SetWindowLongPtrW(
            window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&internal::ControlWindowProcedure));
        if (previous == 0) {
            WindowGlue::Detach(*this);
            Os().DestroyWindow(window);
            throw EInvalidOperation(u"Cannot take over the window of " + Name());
        }
        systemProc_ = reinterpret_cast<WNDPROC>(previous);
    }
    try {
        HandleCreated();
    } catch (...) {
        DestroyHandle();
        throw;
    }
}

void TControl::HandleCreated() {
    // The window reports where it really is, then takes its font.
    UpdateBoundsFromWindow();
    takingParentFont_ = true;
    Finally done([this] { takingParentFont_ = false; });
    FontChanged();
}

void TControl::DestroyHandle() {
    if (handle_ != nullptr) {
        HWND window = handle_;
        Os().DestroyWindow(window);
        // WM_NCDESTROY detached it; if the window was gone already, forget it anyway.
        if (handle_ != nullptr) {
            WindowGlue::Detach(*this);
        }
    }
}

LRESULT TControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    if (systemProc_ != nullptr) {
        return Os().CallWindowProcW(systemProc_, handle_, message, wParam, lParam);
    }
    return Os().DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT TControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WINDOWPOSCHANGED) {
        UpdateBoundsFromWindow();
    }
    return DefaultHandler(message, wParam, lParam);
}

LRESULT TControl::ParentNotify(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                               bool& handled) {
    handled = false;
    return 0;
}

TColor TControl::BackgroundColor() const {
    return parent_ != nullptr ? parent_->Color() : clBtnFace;
}

void TControl::Invalidate() {
    if (handle_ != nullptr) {
        Os().InvalidateRect(handle_, nullptr, TRUE);
    }
}

namespace internal {
const TIdentMap& FontStyleNames() {
    static const TIdentMap names = {{u"fsBold", fsBold},
                                    {u"fsItalic", fsItalic},
                                    {u"fsUnderline", fsUnderline},
                                    {u"fsStrikeOut", fsStrikeOut}};
    return names;
}

namespace {
// Font members are written only for a control with a font of its own.
bool OwnFont(const TComponent& c) {
    return !As<TControl>(c).ParentFont();
}
} // namespace

void AddFontProperties(TPropertyList& list) {
    list.Add(StoredWhen(
        MakeStringProperty(
            u"Font.Name", [](const TComponent& c) { return As<TControl>(c).Font().Name(); },
            [](TComponent& c, const std::u16string& v) { As<TControl>(c).Font().SetName(v); }),
        OwnFont));
    list.Add(StoredWhen(MakeIntegerProperty(
                            u"Font.Height",
                            [](const TComponent& c) { return As<TControl>(c).Font().Height(); },
                            [](TComponent& c, int v) { As<TControl>(c).Font().SetHeight(v); }),
                        OwnFont));
    list.Add(ReadOnly(MakeIntegerProperty(
        u"Font.Size", [](const TComponent& c) { return As<TControl>(c).Font().Size(); },
        [](TComponent& c, int v) { As<TControl>(c).Font().SetSize(v); })));
    list.Add(StoredWhen(MakeSetProperty(
                            u"Font.Style", FontStyleNames(),
                            [](const TComponent& c) { return As<TControl>(c).Font().Style(); },
                            [](TComponent& c, unsigned v) { As<TControl>(c).Font().SetStyle(v); }),
                        OwnFont));
    list.Add(StoredWhen(
        MakeEnumProperty(
            u"Font.Color", ColorNames(), true,
            [](const TComponent& c) { return static_cast<int>(As<TControl>(c).Font().Color()); },
            [](TComponent& c, int v) { As<TControl>(c).Font().SetColor(v); }),
        OwnFont));
    list.Add(StoredWhen(
        MakeEnumProperty(
            u"Font.Charset", CharsetNames(), true,
            [](const TComponent& c) { return static_cast<int>(As<TControl>(c).Font().Charset()); },
            [](TComponent& c, int v) {
                if (v < 0 || v > 255) {
                    throw EInvalidOperation(u"a character set is 0 to 255");
                }
                As<TControl>(c).Font().SetCharset(static_cast<TFontCharset>(v));
            }),
        OwnFont));
}
} // namespace internal

// Properties every control kind publishes; each class picks its list in StdControls.cpp.
const TPropertyList& TControl::PublishedProperties() const {
    return ClassProperties();
}

const TPropertyList& TControl::ClassProperties() {
    static const TPropertyList list = [] {
        TPropertyList l(&TComponent::ClassProperties());
        l.Add(IntegerProperty(u"Left", &TControl::Left, &TControl::SetLeft));
        l.Add(IntegerProperty(u"Top", &TControl::Top, &TControl::SetTop));
        l.Add(IntegerProperty(u"Width", &TControl::Width, &TControl::SetWidth));
        l.Add(IntegerProperty(u"Height", &TControl::Height, &TControl::SetHeight));
        l.Add(StoredWhen(BooleanProperty(u"Enabled", &TControl::Enabled, &TControl::SetEnabled),
                         [](const TComponent& c) { return !As<TControl>(c).Enabled(); }));
        l.Add(StoredWhen(BooleanProperty(u"Visible", &TControl::Visible, &TControl::SetVisible),
                         [](const TComponent& c) { return !As<TControl>(c).Visible(); }));
        return l;
    }();
    return list;
}

namespace internal {
void AddTextProperties(TPropertyList& list) {
    list.Add(StringProperty(u"Caption", &TControl::Caption, &TControl::SetCaption));
    list.Add(BooleanProperty(u"ParentFont", &TControl::ParentFont, &TControl::SetParentFont));
    AddFontProperties(list);
}
} // namespace internal

// ---- TWinControl --------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    DestroyComponents();
    // Controls held here but owned elsewhere stay; their windows go with this one.
    for (TControl* control : controls_) {
        control->parent_ = nullptr;
    }
    controls_.clear();
    tabList_.clear();
    DestroyHandle();
}

TControl* TWinControl::Controls(int index) const {
    if (index < 0 || index >= ControlCount()) {
        throw EInvalidOperation(u"Control index out of range");
    }
    return controls_[static_cast<std::size_t>(index)];
}

void TWinControl::InsertControl(TControl* control) {
    controls_.push_back(control);
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
        tabList_.push_back(windowed);
    }
}

void TWinControl::RemoveControl(TControl* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), control), tabList_.end());
}

TColor TWinControl::Color() const {
    if (parentColor_ && Parent() != nullptr) {
        return Parent()->Color();
    }
    return color_;
}

void TWinControl::SetColor(TColor color) {
    color_ = color;
    parentColor_ = false;
    ColorChanged();
}

void TWinControl::SetParentColor(bool parentColor) {
    parentColor_ = parentColor;
    ColorChanged();
}

void TWinControl::ColorChanged() {
    Invalidate();
    for (TControl* control : controls_) {
        if (auto* windowed = dynamic_cast<TWinControl*>(control);
            windowed != nullptr && windowed->parentColor_) {
            windowed->ColorChanged();
        } else {
            control->Invalidate();
        }
    }
}

HBRUSH TWinControl::Brush() {
    const TColor color = Color();
    if (!brush_ || brushColor_ != color) {
        HBRUSH brush = Os().CreateSolidBrush(ColorToRGB(color));
        if (brush == nullptr) {
            throw EInvalidOperation(u"Cannot create a brush");
        }
        brush_.reset(brush);
        brushColor_ = color;
    }
    return brush_.get();
}

int TWinControl::TabOrder() const {
    if (pendingTabOrder_ >= 0) {
        return pendingTabOrder_;
    }
    if (Parent() == nullptr) {
        return -1;
    }
    const auto& list = Parent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int tabOrder) {
    // While loading, later controls are not there yet: the order is applied by Loaded.
    if ((ComponentState() & csLoading) != 0 || Parent() == nullptr) {
        pendingTabOrder_ = tabOrder;
        return;
    }
    pendingTabOrder_ = -1;
    auto& list = Parent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) {
        return;
    }
    list.erase(it);
    const int position = (tabOrder < 0 || tabOrder > static_cast<int>(list.size()))
                             ? static_cast<int>(list.size())
                             : tabOrder;
    list.insert(list.begin() + position, this);
    Parent()->ChildWindowOrderChanged();
}

void TWinControl::ApplyTabOrder() {
    if (pendingTabOrder_ >= 0 && Parent() != nullptr) {
        const int wanted = pendingTabOrder_;
        pendingTabOrder_ = -1;
        SetTabOrder(wanted);
    }
}

void TWinControl::ChildWindowOrderChanged() {
    if (!HandleAllocated()) {
        return;
    }
    // Tab walks the child windows in z-order: put the windowed ones in tab order, each after
    // the one before it.
    HWND previous = nullptr;
    for (TWinControl* control : tabList_) {
        if (!control->HandleAllocated()) {
            continue;
        }
        if (previous != nullptr) {
            Os().SetWindowPos(control->WindowHandle(), previous, 0, 0, 0, 0,
                              SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        previous = control->WindowHandle();
    }
}

void TWinControl::SetTabStop(bool tabStop) {
    tabStop_ = tabStop;
    if (HandleAllocated()) {
        LONG_PTR style = Os().GetWindowLongPtrW(WindowHandle(), GWL_STYLE);
        style = tabStop ? (style | static_cast<LONG_PTR>(WS_TABSTOP))
                        : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
        Os().SetWindowLongPtrW(WindowHandle(), GWL_STYLE, style);
    }
}

bool TWinControl::Focused() const {
    return HandleAllocated() && Os().GetFocus() == WindowHandle();
}

void TWinControl::SetFocus() {
    Os().SetFocus(Handle());
}

TWinControl* TWinControl::FirstTabStop() {
    for (TWinControl* control : tabList_) {
        if (!control->Visible() || !control->Enabled()) {
            continue;
        }
        if (control->TabStop()) {
            return control;
        }
        if (TWinControl* inner = control->FirstTabStop()) {
            return inner;
        }
    }
    return nullptr;
}

void TWinControl::SetParent(TWinControl* parent) {
    TControl::SetParent(parent);
    if (parentColor_) {
        ColorChanged();
    }
}

void TWinControl::Loaded() {
    TControl::Loaded();
    ApplyTabOrder();
}

void TWinControl::CreateParams(TCreateParams& params) {
    TControl::CreateParams(params);
    params.style |= WS_CLIPCHILDREN | (tabStop_ ? WS_TABSTOP : 0);
}

void TWinControl::CreateHandle() {
    if (HandleAllocated()) {
        return;
    }
    TControl::CreateHandle();
    // Children: the plain ones first, then the windowed ones in tab order, so that the
    // window order Tab follows is the tab order.
    for (TControl* control : std::vector<TControl*>(controls_)) {
        if (dynamic_cast<TWinControl*>(control) == nullptr && !control->HandleAllocated()) {
            control->CreateHandle();
        }
    }
    for (TWinControl* control : std::vector<TWinControl*>(tabList_)) {
        if (!control->HandleAllocated()) {
            control->CreateHandle();
        }
    }
}

void TWinControl::DestroyHandle() {
    // The children's windows go with this one; their WM_NCDESTROY detaches them.
    TControl::DestroyHandle();
    brush_.reset();
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    for (TControl* control : controls_) {
        if (control->ParentFont()) {
            control->TakeParentFont();
        }
    }
}

const TPropertyList& TWinControl::PublishedProperties() const {
    return ClassProperties();
}

const TPropertyList& TWinControl::ClassProperties() {
    return TControl::ClassProperties();
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Notifications a child sends its parent go back to the child's own object.
    TControl* child = nullptr;
    switch (message) {
    case WM_COMMAND: {
        const crack::Command command = crack::OnCommand(wParam, lParam);
        child = TControl::FromHandle(command.control);
        if (child == nullptr && command.control == nullptr) {
            child = internal::ControlById(command.id);
        }
        break;
    }
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT* item = crack::OnDrawItem(lParam);
        child = item != nullptr ? TControl::FromHandle(item->hwndItem) : nullptr;
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        child = TControl::FromHandle(crack::ControlOf(lParam));
        break;
    default:
        break;
    }
    if (child != nullptr && child != this) {
        bool handled = false;
        const LRESULT result = child->ParentNotify(message, wParam, lParam, handled);
        if (handled) {
            return result;
        }
    }

    switch (message) {
    case WM_ERASEBKGND: {
        RECT client{};
        if (Os().GetClientRect(WindowHandle(), &client) != FALSE) {
            Os().FillRect(crack::DeviceContextOf(wParam), &client, Brush());
        }
        return 1;
    }
    default:
        break;
    }
    return TControl::WndProc(message, wParam, lParam);
}

} // namespace toolkit
