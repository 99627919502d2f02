// The controls that take input: the edit box and the list box, each the system's own window.
#include "platform/Crackers.h"
#include "toolkit/Controls.h"

#include "toolkit/Internal.h"
#include "toolkit/Properties.h"

#include <string>

namespace toolkit {

using namespace platform;

// ---- TEdit ----------------------------------------------------------------------------------

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
    SetBoundsFields(0, 0, 121, 21);
    SetTabStop(true);
}

void TEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.windowClass = u"EDIT";
    params.systemClass = true;
    // An edit box holds no child windows; the text scrolls rather than stopping at the edge.
    params.style = (params.style & ~WS_CLIPCHILDREN) | ES_AUTOHSCROLL;
    params.exStyle |= WS_EX_CLIENTEDGE;
}

LRESULT TEdit::ParentNotify(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_COMMAND && crack::OnCommand(wParam, lParam).code == EN_CHANGE) {
        handled = true;
        TakeWindowText();
        if (onChange_) {
            onChange_(this);
        }
        return 0;
    }
    return TWinControl::ParentNotify(message, wParam, lParam, handled);
}

const TPropertyList& TEdit::PublishedProperties() const {
    return ClassProperties();
}

const TPropertyList& TEdit::ClassProperties() {
    static const TPropertyList list = [] {
        TPropertyList l(&TWinControl::ClassProperties());
        l.Add(IntegerProperty(u"TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder));
        l.Add(StringProperty(u"Text", &TControl::Text, &TControl::SetText));
        l.Add(BooleanProperty(u"ParentFont", &TControl::ParentFont, &TControl::SetParentFont));
        internal::AddFontProperties(l);
        l.Add(EventProperty(u"OnChange", &TEdit::OnChange, &TEdit::SetOnChange));
        return l;
    }();
    return list;
}

// ---- TListBox -------------------------------------------------------------------------------

TListBox::TListBox(TComponent* owner) : TWinControl(owner) {
    SetBoundsFields(0, 0, 121, 97);
    SetTabStop(true);
}

void TListBox::SetItems(std::vector<std::u16string> items) {
    items_ = std::move(items);
    if (itemIndex_ >= static_cast<int>(items_.size())) {
        itemIndex_ = -1;
    }
    FillWindow();
}

void TListBox::AddItem(const std::u16string& item) {
    items_.push_back(item);
    if (HandleAllocated() &&
        Os().SendMessageW(WindowHandle(), LB_ADDSTRING, 0,
                          reinterpret_cast<LPARAM>(items_.back().c_str())) < 0) {
        throw EInvalidOperation(u"Cannot add a line to " + Name());
    }
}

std::u16string TListBox::ItemsText() const {
    std::u16string text;
    for (const std::u16string& item : items_) {
        if (&item != &items_.front()) {
            text += u'\n';
        }
        text += item;
    }
    return text;
}

void TListBox::SetItemsText(const std::u16string& text) {
    std::vector<std::u16string> items;
    if (!text.empty()) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = text.find(u'\n', start);
            items.push_back(text.substr(start, end - start));
            if (end == std::u16string::npos) {
                break;
            }
            start = end + 1;
        }
    }
    SetItems(std::move(items));
}

int TListBox::ItemIndex() const {
    if (!HandleAllocated()) {
        return itemIndex_;
    }
    const LRESULT selected = Os().SendMessageW(WindowHandle(), LB_GETCURSEL, 0, 0);
    return selected == LB_ERR ? -1 : static_cast<int>(selected);
}

void TListBox::SetItemIndex(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size())) {
        const std::string digits = std::to_string(index);
        throw EInvalidOperation(u"List index out of bounds (" +
                                std::u16string(digits.begin(), digits.end()) + u")");
    }
    itemIndex_ = index;
    if (HandleAllocated()) {
        // -1 clears the selection, and then LB_ERR is the answer, not a failure.
        Os().SendMessageW(WindowHandle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

void TListBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.windowClass = u"LISTBOX";
    params.systemClass = true;
    params.style =
        (params.style & ~WS_CLIPCHILDREN) | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    params.exStyle |= WS_EX_CLIENTEDGE;
}

void TListBox::HandleCreated() {
    TWinControl::HandleCreated();
    FillWindow();
}

void TListBox::FillWindow() {
    if (!HandleAllocated()) {
        return;
    }
    HWND window = WindowHandle();
    Os().SendMessageW(window, LB_RESETCONTENT, 0, 0);
    for (const std::u16string& item : items_) {
        if (Os().SendMessageW(window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())) <
            0) {
            throw EInvalidOperation(u"Cannot add a line to " + Name());
        }
    }
    Os().SendMessageW(window, LB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
}

LRESULT TListBox::ParentNotify(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_COMMAND && crack::OnCommand(wParam, lParam).code == LBN_SELCHANGE) {
        handled = true;
        itemIndex_ = ItemIndex();
        if (onClick_) {
            onClick_(this);
        }
        return 0;
    }
    return TWinControl::ParentNotify(message, wParam, lParam, handled);
}

const TPropertyList& TListBox::PublishedProperties() const {
    return ClassProperties();
}

const TPropertyList& TListBox::ClassProperties() {
    static const TPropertyList list = [] {
        TPropertyList l(&TWinControl::ClassProperties());
        l.Add(IntegerProperty(u"TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder));
        l.Add(StringProperty(u"Items", &TListBox::ItemsText, &TListBox::SetItemsText));
        l.Add(IntegerProperty(u"ItemIndex", &TListBox::ItemIndex, &TListBox::SetItemIndex));
        l.Add(BooleanProperty(u"ParentFont", &TControl::ParentFont, &TControl::SetParentFont));
        internal::AddFontProperties(l);
        l.Add(EventProperty(u"OnClick", &TListBox::OnClick, &TListBox::SetOnClick));
        return l;
    }();
    return list;
}

void RegisterInputControls() {
    RegisterComponentClass<TEdit>(u"TEdit");
    RegisterComponentClass<TListBox>(u"TListBox");
}

} // namespace toolkit
