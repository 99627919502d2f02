// What a rescale pass asks of the windows: one move per control that changed, a font only
// where one changed, and the controls reading back where their windows finally are.
#include "KitTestSupport.h"

#include <algorithm>

namespace {

using namespace kit_test;
using platform::sim::HandleKind;

// A label that takes the owner's font.
std::string ParentFontLabel(const std::string& name, int left, int top, int width, int height) {
    return "  object " + name + " : TLabel {\n    Left = " + std::to_string(left) +
           "\n    Top = " + std::to_string(top) + "\n    Width = " + std::to_string(width) +
           "\n    Height = " + std::to_string(height) + "\n    AutoSize = false\n  }\n";
}

// What the windows are asked to do, and where they end.
class PassWindowsTest : public KitTest {
protected:
    int MovesOf(const char16_t* name) {
        const std::vector<platform::UINT> sent = desktop_.SentTo(Control(name).Handle());
        return static_cast<int>(
            std::count(sent.begin(), sent.end(), platform::WM_WINDOWPOSCHANGING));
    }

    // Where the control's window is, relative to the form's client area, and the size in
    // points of the font its window has (at 96 pixels per inch, to the nearest point).
    Geometry WindowOf(const char16_t* name) {
        toolkit::TControl& c = Control(name);
        platform::RECT r{};
        desktop_.GetWindowRect(c.Handle(), &r);
        platform::POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
        desktop_.MapWindowPoints(nullptr, Window(), corners, 2);
        const auto font = desktop_.FontOf(c.Handle());
        const int points = font ? (-font->lfHeight * 72 + 48) / 96 : -1;
        return {corners[0].x, corners[0].y, corners[1].x - corners[0].x,
                corners[1].y - corners[0].y, points};
    }

    // A control that takes its parent's font again after the walk has a font the record
    // does not know: then only the bounds are compared.
    void ExpectRecordReadsAsControl(const char16_t* name, bool font = true) {
        const TCtrlInfo& r = *Kit().Ctrls().Find(name);
        const toolkit::TControl& c = Control(name);
        EXPECT_EQ(
            (Geometry{r.OldLeft, r.OldTop, r.OldWidth, r.OldHeight, font ? r.OldFontSize : 0}),
            (Geometry{c.Left(), c.Top(), c.Width(), c.Height(), font ? c.Font().Size() : 0}))
            << "the record of " << static_cast<char>(name[0]);
    }
};

class RescaleCostTest : public PassWindowsTest {
protected:
    RescaleCostTest() {
        Load(FormText(Label("L1", 88, 32, 265, 31, 20) + Label("L2", 70, 105, 292, 26, 10) +
                      ParentFontLabel("P", 77, 245, 241, 28)));
        form_->Show();
        desktop_.UpdateWindow(Window());
        desktop_.ClearMessages();
    }
};

constexpr const char16_t* kNames[] = {u"L1", u"L2", u"P"};

// 611 x 597: both factors about 1.5507, so every control moves and every font grows; the owner
// font is r(10 x 1.5507) = 16 points, the label that takes it gets t(...) = 15 in the walk and
// 16 again when it takes the owner's font back: one font for it, not two.
TEST_F(RescaleCostTest, APassMovesEachControlOnceAndMakesOneFontPerChangedFont) {
    const long long moves = desktop_.MoveCalls();
    const int fonts = desktop_.Ledger().AcquiredCount(HandleKind::Font);
    Kit().RescaleControls(611, 597);
    EXPECT_EQ(desktop_.MoveCalls() - moves, 3);
    for (const char16_t* name : kNames) {
        EXPECT_EQ(MovesOf(name), 1) << "control " << static_cast<char>(name[0]);
        EXPECT_EQ(WindowOf(name), Of(Control(name))) << "what the control reads is the window's";
    }
    ExpectRecordReadsAsControl(u"L1");
    ExpectRecordReadsAsControl(u"L2");
    ExpectRecordReadsAsControl(u"P", false);
    EXPECT_EQ(Control(u"P").Font().Size(), 16);
    // The owner's font and one for each label.
    EXPECT_EQ(desktop_.Ledger().AcquiredCount(HandleKind::Font) - fonts, 4);
}

TEST_F(RescaleCostTest, APassToTheSameSizeAsksNothingOfTheWindows) {
    Kit().RescaleControls(611, 597);
    desktop_.UpdateWindow(Window());
    desktop_.ClearMessages();
    const long long moves = desktop_.MoveCalls();
    const int fonts = desktop_.Ledger().AcquiredCount(HandleKind::Font);
    Kit().RescaleControls(611, 597);
    EXPECT_EQ(desktop_.MoveCalls(), moves);
    EXPECT_EQ(desktop_.Ledger().AcquiredCount(HandleKind::Font), fonts);
    EXPECT_FALSE(desktop_.NeedsPaint(Window()));
    for (const char16_t* name : kNames) {
        EXPECT_FALSE(desktop_.NeedsPaint(Control(name).Handle()));
    }
}

// A control whose size rounds to 0 is set to 1 after its first write: still one move, to 1.
TEST_F(RescaleCostTest, AControlSetAgainWithinThePassStillMovesOnce) {
    Kit().RescaleControls(1, 1);
    for (const char16_t* name : kNames) {
        EXPECT_EQ(MovesOf(name), 1);
        EXPECT_EQ(WindowOf(name), Of(Control(name)));
    }
    EXPECT_EQ(WindowOf(u"L1"), (Geometry{1, 1, 1, 1, 1}));
}

// An AutoSize label whose font changes in a pass: it sizes itself to its text when its font is
// set, and the bounds the pass writes after that win, as they would without the bracket. Its
// text "ABCDEFGH" at 10 points is 52 x 13 in the desktop's font model, and that is what it is
// recorded with. The pass at 1182 x 500 (XScale 3, YScale 1.2987) gives it 60, r(40 x 1.2987)
// = 52, 156, r(13 x 1.2987) = 17 and t(10 x 1.2987) = 12 points; its text at 12 points would
// be 64 x 16.
TEST_F(PassWindowsTest, AnAutoSizeLabelKeepsWhatThePassGaveIt) {
    Load(FormText("  object A : TLabel {\n    Left = 20\n    Top = 40\n    Width = 100\n"
                  "    Height = 20\n    AutoSize = true\n    Caption = \"ABCDEFGH\"\n"
                  "    Font.Size = 10\n    ParentFont = false\n  }\n"));
    form_->Show();
    desktop_.UpdateWindow(Window());
    desktop_.ClearMessages();
    const TCtrlInfo& r = *Kit().Ctrls().Find(u"A");
    ASSERT_EQ((Geometry{r.Left, r.Top, r.Width, r.Height, r.Font->Size()}),
              (Geometry{20, 40, 52, 13, 10}));
    Kit().RescaleControls(1182, 500);
    EXPECT_EQ(Of(Control(u"A")), (Geometry{60, 52, 156, 17, 12}));
    EXPECT_EQ(WindowOf(u"A"), (Geometry{60, 52, 156, 17, 12}));
    EXPECT_EQ(MovesOf(u"A"), 1);
    ExpectRecordReadsAsControl(u"A");
}

} // namespace
