// TControl: a control's window, font, text and state, and the properties every control
// publishes. Its bounds are in ControlBounds.cpp.
#include "toolkit/Controls.h"

#include "platform/Crackers.h"
#include "toolkit/Internal.h"
#include "toolkit/Properties.h"

#include <cstring>
#include <exception>

namespace toolkit {

using namespace platform;

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
    // Inside a bounds bracket the font is made when it closes, from the last attributes;
    // a control sized by its font needs it now.
    if (handle_ == nullptr || (!SizesToFont() && internal::HoldFont(*this))) {
        return;
    }
    UpdateWindowFont();
}

void TControl::UpdateWindowFont() {
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
    // The window takes the new font before the old one is released; inside a bracket it is
    // drawn when the bracket closes.
    const BOOL redraw = internal::HoldPainting(*this) ? FALSE : TRUE;
    Os().SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    hfont_.reset(font);
    hfontLog_ = logFont;
    hfontColor_ = font_.Color();
    Invalidate();
    WindowFontChanged();
}

void TControl::SetCaption(const std::u16string& caption) {
    text_ = caption;
    if (handle_ != nullptr && Os().SetWindowTextW(handle_, text_.c_str()) == FALSE) {
        throw EInvalidOperation(u"Cannot set the text of " + Name());
    }
    TextChanged();
}

void TControl::TextChanged() {}

void TControl::TakeWindowText() {
    if (handle_ == nullptr) {
        return;
    }
    // Grown until the whole text fits: GetWindowTextW cuts it to the buffer.
    std::u16string text(64, u'\0');
    for (;;) {
        const int copied = Os().GetWindowTextW(handle_, text.data(), static_cast<int>(text.size()));
        if (copied < static_cast<int>(text.size()) - 1) {
            text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
            break;
        }
        text.resize(text.size() * 2);
    }
    text_ = std::move(text);
    TextChanged();
}

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
    std::exception_ptr failure = internal::TakeCreationError();
    if (window == nullptr) {
        if (failure) {
            std::rethrow_exception(failure);
        }
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
        // A child's report carries its new place relative to the parent: nothing to read back.
        const WINDOWPOS* pos = crack::OnWindowPos(lParam);
        if (parent_ != nullptr && pos != nullptr && !boundsHeld_) {
            SetBoundsFields((pos->flags & SWP_NOMOVE) != 0 ? left_ : pos->x,
                            (pos->flags & SWP_NOMOVE) != 0 ? top_ : pos->y,
                            (pos->flags & SWP_NOSIZE) != 0 ? width_ : pos->cx,
                            (pos->flags & SWP_NOSIZE) != 0 ? height_ : pos->cy);
        } else {
            UpdateBoundsFromWindow();
        }
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
    if (handle_ != nullptr && !internal::HoldPainting(*this)) {
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

} // namespace toolkit
