// Reading and writing stored descriptions: the main window's own description, errors, round
// trips, frames and the order in which values arrive.
#include "ToolkitTest.h"

#include "tests/MainFormLayout.h"
#include "toolkit/Description.h"
#include "toolkit/stored/StoredDescription.h"

#include <gmock/gmock.h>

namespace toolkit_test {
namespace {

using namespace toolkit;
using namespace platform;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

using DescriptionTest = DesktopTest;

// What the controls show beyond their places (tests/MainFormLayout.h), in the same order.
struct ControlLook {
    const char16_t* fontName; // null: no font of its own
    int fontHeight;
    TFontStyles style;
    TColor color;
    const char16_t* text;
};

const ControlLook kLooks[] = {
    {u"Times New Roman", -27, fsBold | fsItalic, 0xC0C0C0, u"LabelTitle"},
    {nullptr, 0, 0, 0, u""},
    {u"Times New Roman", -23, 0, 0xFFFFFF, u"USB DRIVER SOFTWARE"},
    {u"ＭＳ 明朝", -20, 0, 0xFFFFFF, u"TYPE-3"},
    {u"ＭＳ ゴシック", -23, 0, 0xFFFFFF, u"Ver.2.08.28"},
    {u"ＭＳ Ｐゴシック", -20, 0, 0xFFFFFF, u"( for Windows 32bit/64bit )"},
    {u"ＭＳ Ｐゴシック", -20, 0, clWindowText, u"Install"},
    {u"ＭＳ Ｐゴシック", -20, 0, clWindowText, u"Cancel"},
};
static_assert(std::size(kLooks) == tests::kMainFormControls.size());

std::u16string Wide(const char* ascii) {
    return std::u16string(ascii, ascii + std::char_traits<char>::length(ascii));
}

TEST_F(DescriptionTest, MainWindowDescriptionGivesTheDesignedComponentsAndValues) {
    TTestForm& form = LoadMainForm();

    ASSERT_EQ(form.ComponentCount(), 9);
    for (std::size_t i = 0; i < tests::kMainFormControls.size(); ++i) {
        const tests::ControlLayout& place = tests::kMainFormControls[i];
        const ControlLook& row = kLooks[i];
        SCOPED_TRACE(place.name);
        auto* control = dynamic_cast<TControl*>(form.Components(static_cast<int>(i)));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->Name(), Wide(place.name));
        EXPECT_EQ(control->ClassName(), Wide(place.className));
        EXPECT_EQ(control->Parent(), &form);
        EXPECT_EQ(control->Left(), place.left);
        EXPECT_EQ(control->Top(), place.top);
        EXPECT_EQ(control->Width(), place.width);
        EXPECT_EQ(control->Height(), place.height);
        EXPECT_EQ(control->Caption(), row.text);
        EXPECT_EQ(control->HasPublishedProperty(u"Font"), row.fontName != nullptr);
        if (row.fontName != nullptr) {
            EXPECT_FALSE(control->ParentFont());
            EXPECT_EQ(control->Font().Name(), row.fontName);
            EXPECT_EQ(control->Font().Height(), row.fontHeight);
            EXPECT_EQ(control->Font().Style(), row.style);
            EXPECT_EQ(control->Font().Color(), row.color);
            EXPECT_EQ(control->Font().Charset(), ANSI_CHARSET);
        }
    }
    EXPECT_EQ(form.Components(8)->Name(), Wide(tests::kMainFormResizeKit.name));
    EXPECT_EQ(form.Components(8)->ClassName(), Wide(tests::kMainFormResizeKit.className));

    // The window itself.
    EXPECT_EQ(form.Name(), u"MainForm");
    EXPECT_EQ(form.ClassName(), u"TMainForm");
    EXPECT_EQ(form.Caption(), u"Setup");
    EXPECT_EQ(form.ClientWidth(), 394);
    EXPECT_EQ(form.ClientHeight(), 385);
    EXPECT_EQ(form.Color(), RGB(40, 40, 255));
    EXPECT_EQ(form.BorderStyle(), bsSizeable);
    EXPECT_EQ(form.BorderIcons(), biSystemMenu);
    EXPECT_EQ(form.Position(), poScreenCenter);
    EXPECT_FALSE(form.Scaled());
    EXPECT_EQ(form.Font().Name(), u"Tahoma");
    EXPECT_EQ(form.Font().Height(), -13);
    EXPECT_EQ(form.Font().Style(), 0u);
    EXPECT_EQ(form.Font().Color(), clWindowText);
    EXPECT_EQ(form.Font().Charset(), DEFAULT_CHARSET);
    EXPECT_EQ(form.Icon(), u"FORMICON");

    // Fields, picture, buttons, the resize component's values.
    EXPECT_EQ(form.LabelTitle, form.Components(0));
    EXPECT_EQ(form.BtnCancel, form.Components(7));
    ASSERT_NE(form.ResizeKit1, nullptr);
    EXPECT_EQ(form.Image1->Picture(), u"LOGO");
    EXPECT_TRUE(form.Image1->Stretch());
    EXPECT_EQ(form.Image1->PictureWidth(), 70);
    EXPECT_EQ(form.Image1->PictureHeight(), 40);
    EXPECT_EQ(form.BtnInstall->TabOrder(), 0);
    EXPECT_EQ(form.BtnCancel->TabOrder(), 1);
    EXPECT_EQ(form.DefaultControl(), form.BtnInstall);
    EXPECT_EQ(form.CancelControl(), nullptr);
    EXPECT_EQ(form.BtnInstall->Spacing(), 4);
    EXPECT_EQ(form.BtnInstall->Glyph(), u"GLYPH_INSTALL");
    EXPECT_EQ(form.BtnCancel->GlyphDisabled(), u"GLYPH_CANCEL_DISABLED");
    EXPECT_EQ(form.ResizeKit1->FormPos(), TStandInKit::rpDefault);
    EXPECT_EQ(form.ResizeKit1->designFrmW, 394);
    EXPECT_EQ(form.ResizeKit1->designFrmH, 385);
    EXPECT_EQ(form.ResizeKit1->designDpiW, 96);
    EXPECT_EQ(form.ResizeKit1->designDpiH, 96);

    // Handlers are bound by name.
    form.BtnInstall->Click();
    form.BtnCancel->Click();
    form.OnShow()(&form);
    EXPECT_EQ(form.installClicks, 1);
    EXPECT_EQ(form.cancelClicks, 1);
    EXPECT_EQ(form.shows, 1);
}

TEST_F(DescriptionTest, MainWindowsWindowsCarryTheDesignedStylesTextsAndFonts) {
    TTestForm& form = LoadMainForm();
    HWND window = form.Handle();

    const DWORD style = desktop_.StyleOf(window);
    EXPECT_NE(style & WS_THICKFRAME, 0u);
    EXPECT_NE(style & WS_SYSMENU, 0u);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
    RECT client{};
    ASSERT_TRUE(desktop_.GetClientRect(window, &client));
    EXPECT_EQ(client.right, 394);
    EXPECT_EQ(client.bottom, 385);
    EXPECT_NE(desktop_.IconOf(window, ICON_BIG), nullptr);

    for (std::size_t i = 0; i < tests::kMainFormControls.size(); ++i) {
        const tests::ControlLayout& place = tests::kMainFormControls[i];
        const ControlLook& row = kLooks[i];
        SCOPED_TRACE(place.name);
        TControl* control = dynamic_cast<TControl*>(form.FindComponent(Wide(place.name)));
        ASSERT_NE(control, nullptr);
        HWND child = control->WindowHandle();
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(desktop_.TextOf(child), row.text);
        RECT rect{};
        ASSERT_TRUE(desktop_.GetWindowRect(child, &rect));
        POINT corner{rect.left, rect.top};
        desktop_.MapWindowPoints(nullptr, window, &corner, 1);
        EXPECT_EQ(corner.x, place.left);
        EXPECT_EQ(corner.y, place.top);
        EXPECT_EQ(rect.right - rect.left, place.width);
        if (row.fontName != nullptr) {
            const auto font = desktop_.FontOf(child);
            ASSERT_TRUE(font.has_value());
            EXPECT_EQ(std::u16string(font->lfFaceName), row.fontName);
            EXPECT_EQ(font->lfHeight, row.fontHeight);
            EXPECT_EQ(font->lfWeight, (row.style & fsBold) != 0 ? FW_BOLD : FW_NORMAL);
            EXPECT_EQ(font->lfItalic != 0, (row.style & fsItalic) != 0);
            EXPECT_EQ(font->lfCharSet, ANSI_CHARSET);
        }
    }
    EXPECT_EQ(desktop_.ClassNameOf(form.LabelTitle->WindowHandle()), u"STATIC");
    EXPECT_EQ(desktop_.StyleOf(form.LabelTitle->WindowHandle()) & 0x1F, SS_LEFTNOWORDWRAP);
    EXPECT_EQ(desktop_.ClassNameOf(form.BtnInstall->WindowHandle()), u"BUTTON");
    // Tab follows the window order: Install, then Cancel.
    const auto children = desktop_.ChildrenOf(window);
    const auto install =
        std::find(children.begin(), children.end(), form.BtnInstall->WindowHandle());
    const auto cancel = std::find(children.begin(), children.end(), form.BtnCancel->WindowHandle());
    EXPECT_LT(install, cancel);
}

TEST_F(DescriptionTest, LoadedRunsOnceLoadingEndedRootFirstThenInCreationOrder) {
    TTestForm& form = LoadMainForm();
    EXPECT_THAT(LoadedLog(), ElementsAre(u"MainForm", u"ResizeKit1"));
    EXPECT_EQ(form.ResizeKit1->loadedCalls, 1);
    EXPECT_TRUE(form.ResizeKit1->stillLoadingAtLoaded);
    EXPECT_EQ(form.ResizeKit1->ownerComponentsAtLoaded, 9);
    EXPECT_TRUE(form.ResizeKit1->ownerFieldsSetAtLoaded);
    for (int i = 0; i < form.ComponentCount(); ++i) {
        EXPECT_EQ(form.Components(i)->ComponentState() & csLoading, 0u);
    }
    EXPECT_EQ(form.ComponentState() & csLoading, 0u);
}

TEST_F(DescriptionTest, DefinedValuesFollowThePublishedOnesWhereverWritten) {
    TTestForm form(nullptr);
    form.LoadDescriptionText(R"(object MainForm : TMainForm {
  object ResizeKit1 : TResizeKit {
    DesignFrmW = 10
    FormWidth = 5
    DesignDpiH = 96
    Enabled = false
  }
})");
    EXPECT_THAT(form.ResizeKit1->applied,
                ElementsAre("FormWidth", "Enabled", "DesignFrmW", "DesignDpiH"));
}

struct ErrorRow {
    const char* what;
    const char* text;
    int line;
    const char* detail;
};

const ErrorRow kErrors[] = {
    {"unknown class", "object F : TMainForm {\n  object X : TNoSuchThing {\n  }\n}", 2,
     "unknown class TNoSuchThing"},
    {"unknown property", "object F : TMainForm {\n  Caption = \"a\"\n  Colour = 3\n}", 3,
     "unknown property Colour"},
    {"unknown property of a child",
     "object F : TMainForm {\n  object L : TLabel {\n    Left = 1\n    Glyph = resource \"X\"\n  "
     "}\n}",
     4, "unknown property Glyph"},
    {"string for an integer",
     "object F : TMainForm {\n  object L : TLabel {\n    Left = \"8\"\n  }\n}", 3,
     "Left: expected an integer"},
    {"unknown enumeration value", "object F : TMainForm {\n  BorderStyle = bsRound\n}", 2,
     "BorderStyle: unknown value bsRound"},
    {"unknown set element", "object F : TMainForm {\n  BorderIcons = [biSystemMenu, biHelp]\n}", 2,
     "unknown set element biHelp"},
    {"not a boolean", "object F : TMainForm {\n  Scaled = yes\n}", 2, "expected true or false"},
    {"character set out of range",
     "object F : TMainForm {\n  object L : TLabel {\n    Font.Charset = 300\n  }\n}", 3,
     "Font.Charset"},
    {"rejected by the setter",
     "object F : TMainForm {\n  object ResizeKit1 : TResizeKit {\n    FormWidth = -1\n  }\n}", 3,
     "FormWidth must not be negative"},
    {"no such handler",
     "object F : TMainForm {\n\n  object B : TBitBtn {\n    OnClick = Nowhere\n  }\n}", 4,
     "no method Nowhere"},
    {"missing resource",
     "object F : TMainForm {\n  object I : TImage {\n    Picture = resource \"NOPE\"\n  }\n}", 3,
     "Resource NOPE not found"},
    {"duplicate name",
     "object F : TMainForm {\n  object A : TLabel {\n  }\n  object a : TLabel {\n  }\n}", 4,
     "already exists"},
    {"field of another class", "object F : TMainForm {\n  object LabelTitle : TBitBtn {\n  }\n}", 2,
     "cannot hold"},
    {"component inside a label",
     "object F : TMainForm {\n  object L : TLabel {\n    object M : TLabel {\n    }\n  }\n}", 3,
     "TLabel cannot hold components"},
    {"truncated", "object F : TMainForm {\n  object L : TLabel {\n    Left = 1\n", 4, ""},
    {"malformed value", "object F : TMainForm {\n  ClientWidth = 12abc\n}", 2, ""},
    {"integer out of range", "object F : TMainForm {\n  ClientWidth = 99999999999\n}", 2, ""},
    {"not the form's class", "object F : TSomethingElse {\n}", 1, "TSomethingElse"},
};

std::string Nested(int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i) {
        text += "object P" + std::to_string(i) + (i == 0 ? " : TMainForm {\n" : " : TFrame {\n");
    }
    for (int i = 0; i < depth; ++i) {
        text += "}\n";
    }
    return text;
}

TEST_F(DescriptionTest, ErrorsNameTheirLineAndLeaveNothingHalfRead) {
    for (const ErrorRow& row : kErrors) {
        SCOPED_TRACE(row.what);
        TTestForm form(nullptr);
        try {
            form.LoadDescriptionText(row.text);
            ADD_FAILURE() << "no error";
        } catch (const EDescriptionError& error) {
            EXPECT_EQ(error.Line(), row.line) << error.what();
            EXPECT_THAT(error.what(), HasSubstr("line " + std::to_string(row.line) + ": "));
            EXPECT_THAT(error.what(), HasSubstr(row.detail));
        }
        EXPECT_EQ(form.ComponentCount(), 0);
        EXPECT_EQ(form.LabelTitle, nullptr);
        EXPECT_EQ(form.ComponentState() & csLoading, 0u);
    }
}

TEST_F(DescriptionTest, NestingBeyondTheLimitIsAnErrorNotACrash) {
    TTestForm ok(nullptr);
    ok.LoadDescriptionText(Nested(stored::kMaxDepth));
    EXPECT_EQ(ok.ComponentCount(), 1); // the first frame; the rest belong to the frames

    TTestForm tooDeep(nullptr);
    try {
        tooDeep.LoadDescriptionText(Nested(stored::kMaxDepth + 1));
        ADD_FAILURE() << "no error";
    } catch (const EDescriptionError& error) {
        EXPECT_EQ(error.Line(), stored::kMaxDepth + 1);
    }
    EXPECT_EQ(tooDeep.ComponentCount(), 0);
}

TEST_F(DescriptionTest, FailedReadReleasesTheWindowsItMade) {
    AddProgramResources();
    TTestForm form(nullptr);
    form.Handle();
    const int windowsBefore =
        static_cast<int>(desktop_.Ledger().Outstanding(platform::sim::HandleKind::Window).size());
    EXPECT_THROW(form.LoadDescriptionText("object F : TMainForm {\n  object B : TBitBtn {\n    "
                                          "Glyph = resource \"GLYPH_INSTALL\"\n"
                                          "  }\n  object L : TLabel {\n    Left = x\n  }\n}"),
                 EDescriptionError);
    EXPECT_EQ(
        static_cast<int>(desktop_.Ledger().Outstanding(platform::sim::HandleKind::Window).size()),
        windowsBefore);
    EXPECT_TRUE(desktop_.Ledger().Outstanding(platform::sim::HandleKind::Icon).empty());
    EXPECT_TRUE(desktop_.Ledger().Faults().empty()) << desktop_.Ledger().Report();
}

TEST_F(DescriptionTest, WrittenDescriptionReadsBackToTheSameWindow) {
    TTestForm& original = LoadMainForm();
    const std::string written = original.WriteDescription();

    TTestForm copy(nullptr);
    copy.LoadDescriptionText(written);
    EXPECT_EQ(copy.WriteDescription(), written);
    EXPECT_EQ(stored::Parse(written), stored::Parse(copy.WriteDescription()));
    // Spot checks that the values themselves came through.
    ASSERT_EQ(copy.ComponentCount(), 9);
    EXPECT_EQ(copy.ClientWidth(), 394);
    EXPECT_EQ(copy.LabelTitle->Font().Style(), fsBold | fsItalic);
    EXPECT_EQ(copy.LabelType->Font().Name(), u"ＭＳ 明朝");
    EXPECT_EQ(copy.BtnInstall->OnClick().MethodName(), u"BtnInstallClick");
    EXPECT_EQ(copy.ResizeKit1->designFrmH, 385);
    EXPECT_EQ(copy.BtnCancel->TabOrder(), 1);
    EXPECT_TRUE(copy.BtnInstall->Default());
    // Written in the order of the original: the form's values, then the controls.
    const stored::Object tree = stored::Parse(written);
    ASSERT_EQ(tree.children.size(), 9u);
    EXPECT_EQ(tree.children[0].name, "LabelTitle");
    EXPECT_EQ(tree.children[8].className, "TResizeKit");
}

TEST_F(DescriptionTest, FramesOwnWhatTheyHoldAndSurviveARoundTrip) {
    const char* text = R"(object MainForm : TMainForm {
  ClientWidth = 200
  object Panel : TFrame {
    Left = 10
    Top = 20
    Width = 100
    Height = 50
    Font.Name = "Arial"
    Font.Height = -15
    object Inner : TLabel {
      Caption = "&Name"
      ParentFont = true
    }
    object Ok : TBitBtn {
      Caption = "OK"
      Default = true
      OnClick = BtnInstallClick
    }
  }
  object After : TLabel {
    Caption = "after"
  }
})";
    TTestForm form(nullptr);
    form.LoadDescriptionText(text);
    ASSERT_EQ(form.ComponentCount(), 2);
    auto* frame = dynamic_cast<TFrame*>(form.Components(0));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->ComponentCount(), 2);
    auto* inner = dynamic_cast<TLabel*>(frame->Components(0));
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->Parent(), frame);
    EXPECT_EQ(inner->Font().Name(), u"Arial"); // follows the frame
    EXPECT_EQ(form.Components(1)->Name(), u"After");
    dynamic_cast<TBitBtn*>(frame->Components(1))->Click();
    EXPECT_EQ(form.installClicks, 1);

    const std::string written = form.WriteDescription();
    TTestForm copy(nullptr);
    copy.LoadDescriptionText(written);
    EXPECT_EQ(copy.WriteDescription(), written);
    const stored::Object tree = stored::Parse(written);
    ASSERT_EQ(tree.children.size(), 2u);
    ASSERT_EQ(tree.children[0].children.size(), 2u);
    EXPECT_EQ(tree.children[0].children[0].name, "Inner");
}

} // namespace
} // namespace toolkit_test
