// The edit box and the list box: the system's windows with the styles a layout relies on, the
// text and selection that follow the user, and their stored form.
#include "ToolkitTest.h"

#include "platform/Utf.h"
#include "toolkit/Description.h"

#include <gmock/gmock.h>

#include <memory>

namespace toolkit_test {
namespace {

using namespace toolkit;
using namespace platform;
using ::testing::HasSubstr;

class TInputForm : public TForm {
public:
    TEdit* EditName = nullptr;
    TListBox* ListColours = nullptr;
    int changes = 0, clicks = 0;

    explicit TInputForm(TComponent* owner) : TForm(owner) {
        PublishField(u"EditName", EditName);
        PublishField(u"ListColours", ListColours);
        PublishMethod(u"EditNameChange", &TInputForm::EditNameChange);
        PublishMethod(u"ListColoursClick", &TInputForm::ListColoursClick);
    }
    void EditNameChange(TObject* /*sender*/) { ++changes; }
    void ListColoursClick(TObject* /*sender*/) { ++clicks; }
};

constexpr char kDescription[] = R"(object InputForm : TInputForm {
  ClientWidth = 300
  ClientHeight = 200
  object EditName : TEdit {
    Left = 10
    Top = 12
    Width = 150
    Height = 23
    Text = "Ada"
    OnChange = EditNameChange
  }
  object ListColours : TListBox {
    Left = 170
    Top = 12
    Width = 120
    Height = 101
    Items = "Red\nGreen\n\nBlue"
    ItemIndex = 3
    OnClick = ListColoursClick
  }
})";

class InputControlsTest : public DesktopTest {
protected:
    InputControlsTest() { RegisterInputControls(); }

    // Loaded, with its windows.
    TInputForm& Form() {
        form_ = std::make_unique<TInputForm>(nullptr);
        form_->LoadDescriptionText(kDescription);
        form_->Handle();
        return *form_;
    }

    LRESULT Send(TControl& control, UINT message, WPARAM wParam = 0) {
        return Os().SendMessageW(control.Handle(), message, wParam, 0);
    }

    std::unique_ptr<TInputForm> form_;
};

TEST_F(InputControlsTest, AreTheSystemWindowsWithTheirContent) {
    TInputForm& form = Form();
    HWND edit = form.EditName->Handle();
    HWND list = form.ListColours->Handle();

    EXPECT_EQ(desktop_.ClassNameOf(edit), u"EDIT");
    EXPECT_EQ(desktop_.TextOf(edit), u"Ada");
    EXPECT_EQ(desktop_.StyleOf(edit) & (WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL),
              WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL);

    EXPECT_EQ(desktop_.ClassNameOf(list), u"LISTBOX");
    // Not rounded to whole lines: the height is the one the layout gives.
    const DWORD listStyle = WS_CHILD | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    EXPECT_EQ(desktop_.StyleOf(list) & listStyle, listStyle);
    EXPECT_EQ(Send(*form.ListColours, LB_GETCOUNT), 4);
    EXPECT_EQ(Send(*form.ListColours, LB_GETCURSEL), 3);
    EXPECT_EQ(form.ListColours->Items(),
              (std::vector<std::u16string>{u"Red", u"Green", u"", u"Blue"}));

    // Both take a font, and the edit box publishes its text as Text, not Caption.
    EXPECT_TRUE(desktop_.FontOf(edit).has_value());
    EXPECT_TRUE(desktop_.FontOf(list).has_value());
    EXPECT_TRUE(form.EditName->HasPublishedProperty(u"Text"));
    EXPECT_FALSE(form.EditName->HasPublishedProperty(u"Caption"));
    EXPECT_TRUE(form.ListColours->HasPublishedProperty(u"Font"));
}

TEST_F(InputControlsTest, TheEditBoxTextFollowsWhatTheUserTypes) {
    TInputForm& form = Form();
    HWND edit = form.EditName->Handle();
    // Around the first buffer the text is read with (64), and well beyond it.
    for (std::size_t length : {0u, 1u, 62u, 63u, 64u, 65u, 300u}) {
        SCOPED_TRACE(length);
        std::u16string typed(length, u'x');
        if (length > 0) {
            typed.back() = u'!'; // a text cut short would lose this
        }
        const int changesBefore = form.changes;
        ASSERT_TRUE(desktop_.TypeText(edit, typed));
        EXPECT_EQ(form.EditName->Text(), typed);
        EXPECT_EQ(form.changes, changesBefore + 1);
    }

    form.EditName->SetText(u"Grace");
    EXPECT_EQ(desktop_.TextOf(edit), u"Grace");
    EXPECT_EQ(form.EditName->Text(), u"Grace");
}

TEST_F(InputControlsTest, TheListBoxSelectionFollowsTheUser) {
    TInputForm& form = Form();
    ASSERT_TRUE(desktop_.ChooseListItem(form.ListColours->Handle(), 1));
    EXPECT_EQ(form.ListColours->ItemIndex(), 1);
    EXPECT_EQ(form.clicks, 1);
    // Set by the program: the window shows it, and no click is reported.
    form.ListColours->SetItemIndex(0);
    EXPECT_EQ(Send(*form.ListColours, LB_GETCURSEL), 0);
    EXPECT_EQ(form.clicks, 1);
}

TEST_F(InputControlsTest, AnItemIndexOutsideTheListIsRefused) {
    TInputForm& form = Form();
    for (int index : {-2, 4, 100}) {
        SCOPED_TRACE(index);
        EXPECT_THROW(form.ListColours->SetItemIndex(index), EInvalidOperation);
        EXPECT_EQ(form.ListColours->ItemIndex(), 3);
    }
    form.ListColours->SetItemIndex(3); // the last line
    EXPECT_EQ(form.ListColours->ItemIndex(), 3);
    form.ListColours->SetItemIndex(-1); // none
    EXPECT_EQ(form.ListColours->ItemIndex(), -1);
    EXPECT_EQ(Send(*form.ListColours, LB_GETCURSEL), LB_ERR);
}

TEST_F(InputControlsTest, ItemsAreOneLineEachInTheirText) {
    TInputForm& form = Form();
    const struct {
        const char16_t* text;
        std::vector<std::u16string> items;
    } rows[] = {
        {u"", {}},
        {u"a", {u"a"}},
        {u"a\n", {u"a", u""}},
        {u"\n", {u"", u""}},
        {u"one\ntwo\nthree", {u"one", u"two", u"three"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(platform::Utf16ToUtf8(row.text));
        form.ListColours->SetItemsText(row.text);
        EXPECT_EQ(form.ListColours->Items(), row.items);
        EXPECT_EQ(form.ListColours->ItemsText(), row.text);
        EXPECT_EQ(Send(*form.ListColours, LB_GETCOUNT), static_cast<LRESULT>(row.items.size()));
    }
    // Fewer lines than the selected one's index: nothing stays selected.
    form.ListColours->SetItemsText(u"Red\nGreen\nBlue\nCyan");
    form.ListColours->SetItemIndex(3);
    form.ListColours->SetItemsText(u"Red");
    EXPECT_EQ(form.ListColours->ItemIndex(), -1);
}

TEST_F(InputControlsTest, TheDescriptionKeepsTextItemsAndSelection) {
    TInputForm& form = Form();
    const std::string written = WriteDescription(form);
    EXPECT_THAT(written, HasSubstr("Text = \"Ada\""));
    EXPECT_THAT(written, HasSubstr("Items = \"Red\\nGreen\\n\\nBlue\""));
    EXPECT_THAT(written, HasSubstr("ItemIndex = 3"));
    EXPECT_THAT(written, HasSubstr("OnChange = EditNameChange"));
}

} // namespace
} // namespace toolkit_test
