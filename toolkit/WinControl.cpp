// TWinControl: a control that holds other controls, their tab order and the notifications
// its children send it.
#include "toolkit/Controls.h"

#include "platform/Crackers.h"
#include "toolkit/Internal.h"

#include <algorithm>

namespace toolkit {

using namespace platform;

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
