// Proportional rescaling: the factors and the two rounding rules, the font rules and their
// name lists, the ParentFont passes, and controls created or destroyed at run time.
#include "KitTestSupport.h"

#include "toolkit/Controls.h"
#include "toolkit/Properties.h"

#include <vector>

namespace kit_test {
namespace {

using Access = TResizeKitTestAccess;
using toolkit::TControl;
using toolkit::TFrame;
using toolkit::TLabel;

// ---- The arithmetic of one pass ----------------------------------------------------------------

struct ScaleCase {
    const char* what;
    int ownerW, ownerH;   // reference client size
    int designDpi, runDpi;
    int clientW, clientH; // the size notification
    Geometry reference;   // the label as recorded
    Geometry expected;
    int ownerFont;        // the owner's 10-point font afterwards
};

class ScaleTest : public KitTest, public ::testing::WithParamInterface<ScaleCase> {};

TEST_P(ScaleTest, SetsGeometryAndFontFromTheReference) {
    const ScaleCase& c = GetParam();
    const Geometry& g = c.reference;
    Load(FormText(Label("L1", g.left, g.top, g.width, g.height, g.font)));
    // The reference exactly as given (recording itself rounds a negative value once).
    TCtrlInfo& record = *Access::Ctrls(Kit()).Find(u"L1");
    record.Left = g.left;
    record.Top = g.top;
    record.Width = g.width;
    record.Height = g.height;
    record.Font->SetSize(g.font);
    Access::SetOwnerSize(Kit(), c.ownerW, c.ownerH);
    Access::SetDensities(Kit(), c.designDpi, c.designDpi, c.runDpi, c.runDpi);
    double seenX = -1, seenY = -1;
    Kit().SetOnExitResize([&](toolkit::TObject* sender, double x, double y) {
        EXPECT_EQ(sender, &Kit());
        seenX = x;
        seenY = y;
    });
    Kit().RescaleControls(c.clientW, c.clientH);
    EXPECT_EQ(Of(Control(u"L1")), c.expected);
    EXPECT_EQ(form_->Font().Size(), c.ownerFont);
    EXPECT_EQ(seenX, Kit().PrevScaleX()) << "the handler gets the factors applied";
    EXPECT_EQ(seenY, Kit().PrevScaleY());
    EXPECT_TRUE(Kit().IsResized());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScaleTest,
    ::testing::Values(
        // 397.5 rounds up: r() adds 0.5 and truncates.
        ScaleCase{"wider591", 394, 385, 96, 96, 591, 385, {88, 32, 265, 31, 20},
                  {132, 32, 398, 31, 20}, 10},
        ScaleCase{"factorOneZeroBecomesOne", 394, 385, 96, 96, 394, 385, {0, 0, 50, 20, 10},
                  {1, 1, 50, 20, 10}, 10},
        ScaleCase{"negativeTruncatesTowardZero", 394, 385, 96, 96, 394, 385, {-4, 10, 50, 20, 10},
                  {-3, 10, 50, 20, 10}, 10},
        // 20 x 0.93 = 18.6 is truncated; the owner's 9.3 is rounded.
        ScaleCase{"fontTruncated", 100, 100, 96, 96, 93, 100, {10, 10, 100, 20, 20},
                  {9, 10, 93, 20, 18}, 9},
        ScaleCase{"fontFloorOnePoint", 100, 100, 96, 96, 4, 100, {10, 10, 100, 20, 10},
                  {1, 10, 4, 20, 1}, 0},
        ScaleCase{"fontFollowsTheSmallerFactor", 100, 100, 96, 96, 200, 150, {10, 10, 100, 20, 10},
                  {20, 15, 200, 30, 15}, 15},
        // FontScale 1.06: the owner's 10.6 rounds to 11, the label's 15.9 truncates to 15.
        ScaleCase{"ownerFontRoundedControlFontTruncated", 100, 100, 96, 96, 106, 200,
                  {10, 10, 100, 20, 15}, {11, 20, 106, 40, 15}, 11},
        ScaleCase{"densityRatioInTheFactor", 400, 400, 96, 120, 500, 500, {88, 32, 265, 31, 20},
                  {88, 32, 265, 31, 20}, 10},
        // Implementer's choice: a zero reference size keeps the factor at 1.0.
        ScaleCase{"zeroOwnerSizeKeepsOne", 0, 0, 96, 96, 591, 700, {88, 32, 265, 31, 20},
                  {88, 32, 265, 31, 20}, 10},
        ScaleCase{"zeroRunDensityKeepsOne", 394, 385, 96, 0, 591, 700, {88, 32, 265, 31, 20},
                  {88, 32, 265, 31, 20}, 10},
        ScaleCase{"zeroClientSize", 394, 385, 96, 96, 0, 0, {88, 32, 265, 31, 20},
                  {1, 1, 1, 1, 1}, 0}),
    [](const auto& info) { return std::string(info.param.what); });

// ---- Font rules and name lists ----------------------------------------------------------------

class FontRuleTest : public KitTest {
protected:
    // Owner font 10, A its own font, B following the owner; one pass at factor 1.5.
    void LoadAndScale(const std::string& kitProperties, int aFont = 10) {
        Load(FormText(Label("A", 10, 10, 100, 20, aFont) +
                          "  object B : TLabel {\n    Left = 10\n    Top = 40\n    Width = 100\n"
                          "    Height = 20\n    ParentFont = true\n  }\n",
                      kitProperties));
        Access::SetOwnerSize(Kit(), 100, 100);
        Kit().RescaleControls(150, 150);
    }
};

TEST_F(FontRuleTest, NamedInNoResizeFntCtlKeepsItsFontButFollowsTheFactors) {
    LoadAndScale("    NoResizeFntCtl = \"a\"\n");
    EXPECT_EQ(Of(Control(u"A")), (Geometry{15, 15, 150, 30, 10}));
    EXPECT_EQ(Control(u"B").Font().Size(), 15) << "B follows the rescaled owner";
}

TEST_F(FontRuleTest, TheOwnersNameInNoResizeFntCtlKeepsTheOwnerFont) {
    LoadAndScale("    NoResizeFntCtl = \"F\"\n");
    EXPECT_EQ(form_->Font().Size(), 10);
    EXPECT_EQ(Control(u"A").Font().Size(), 15);
    EXPECT_EQ(Control(u"B").Font().Size(), 10) << "B takes the unscaled owner font";
    EXPECT_TRUE(Control(u"B").ParentFont()) << "switched back on after the pass";
}

TEST_F(FontRuleTest, ResizeFontFalseChangesNoFont) {
    LoadAndScale("    ResizeFont = false\n");
    EXPECT_EQ(form_->Font().Size(), 10);
    EXPECT_EQ(Of(Control(u"A")), (Geometry{15, 15, 150, 30, 10}));
    EXPECT_EQ(Control(u"B").Font().Size(), 10);
    EXPECT_EQ(Control(u"B").Left(), 15);
}

TEST_F(FontRuleTest, NoResizeCtlIsNeverRecordedNorTouched) {
    LoadAndScale("    NoResizeCtl = \"A\"\n");
    EXPECT_EQ(Of(Control(u"A")), (Geometry{10, 10, 100, 20, 10}));
    EXPECT_EQ(Kit().Ctrls().Find(u"A"), nullptr);
    EXPECT_EQ(Control(u"B").Left(), 15);
}

TEST_F(FontRuleTest, ParentFontSwitchedOnBetweenPassesRederivesTheReference) {
    // A's own 12 points (18 after the pass) differ from the owner's, so a copy left as it was
    // would give 24 points at factor 2.
    LoadAndScale("", 12);
    ASSERT_EQ(Control(u"A").Font().Size(), 18);
    Control(u"A").SetParentFont(true); // takes the owner's 15 points
    ASSERT_EQ(Control(u"A").Font().Size(), 15);
    Kit().RescaleControls(200, 200);
    const TCtrlInfo& a = *Kit().Ctrls().Find(u"A");
    EXPECT_EQ(a.Font->Size(), 10) << "15 / 1.5: the font it had, at factor 1.0";
    EXPECT_EQ(a.OldFontSize, 20);
    EXPECT_TRUE(a.ParentFont);
    EXPECT_TRUE(a.OrgParentFont);
    EXPECT_TRUE(Control(u"A").ParentFont());
    EXPECT_EQ(Control(u"A").Font().Size(), 20);
}

TEST_F(KitTest, TheWalkRunsWithTheOwnerLockedAndSetsTheOldValues) {
    Load(FormText(Label("L1", 88, 32, 265, 31, 20)));
    const std::size_t before = desktop_.LockWindowUpdateCalls().size();
    Kit().RescaleControls(591, 385);
    const auto& calls = desktop_.LockWindowUpdateCalls();
    ASSERT_EQ(calls.size(), before + 2);
    EXPECT_EQ(calls[before].window, Window());
    EXPECT_EQ(calls[before + 1].window, nullptr);
    const TCtrlInfo& r = *Kit().Ctrls().Find(u"L1");
    EXPECT_EQ((Geometry{r.OldLeft, r.OldTop, r.OldWidth, r.OldHeight, r.OldFontSize}),
              (Geometry{132, 32, 398, 31, 20}));
    EXPECT_EQ((Geometry{r.Left, r.Top, r.Width, r.Height, r.Font->Size()}),
              (Geometry{88, 32, 265, 31, 20}))
        << "the reference never changes";
}

TEST_F(KitTest, APassThatReachesNoRecordKeepsThePreviousFactors) {
    Load(FormText(Label("L1", 88, 32, 265, 31), "    NoResizeCtl = \"L1\"\n"));
    Kit().RescaleControls(591, 385);
    EXPECT_EQ(Kit().PrevScaleX(), 1.0);
    EXPECT_TRUE(Kit().IsResized());
}

struct MaximisedCase {
    const char* what;
    std::string limits;
    platform::RECT seen; // the window when the handler hears
};

class MaximisedPassTest : public KitTest, public ::testing::WithParamInterface<MaximisedCase> {};

TEST_P(MaximisedPassTest, TheWindowIsPulledBackBeforeTheHandlerHears) {
    const MaximisedCase& c = GetParam();
    Load(FormText(Label("L1", 88, 32, 265, 31), c.limits));
    Kit().SetEnabled(false); // arranged without the component
    desktop_.ShowWindow(Window(), platform::SW_SHOWMAXIMIZED);
    desktop_.MoveWindow(Window(), 100, 100, 1250, 950, platform::TRUE);
    ASSERT_NE(desktop_.IsZoomed(Window()), platform::FALSE);
    Kit().SetEnabled(true);
    platform::RECT seen{};
    Kit().SetOnExitResize([&](toolkit::TObject*, double, double) { seen = WindowRect(); });
    Kit().RescaleControls(591, 385);
    EXPECT_EQ(seen.left, c.seen.left);
    EXPECT_EQ(seen.top, c.seen.top);
    EXPECT_EQ(seen.right, c.seen.right);
    EXPECT_EQ(seen.bottom, c.seen.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, MaximisedPassTest,
    ::testing::Values(
        // Work area 1280 x 1004: the far edges come back inside, the size stays.
        MaximisedCase{"bothLimits", "    FormMaxWidth = 2000\n    FormMaxHeight = 2000\n",
                      {30, 54, 1280, 1004}},
        MaximisedCase{"widthLimitOnlyIsNone", "    FormMaxWidth = 2000\n",
                      {100, 100, 1350, 1050}}),
    [](const auto& info) { return std::string(info.param.what); });

// ---- Controls made and destroyed at run time --------------------------------------------------

class RunTimeTest : public KitTest {
protected:
    void SetUp() override {
        Load(FormText(Label("L1", 88, 32, 265, 31)));
        Kit().RescaleControls(591, 385); // XScale 1.5
    }
    TLabel& NewLabel(toolkit::TComponent* owner, toolkit::TWinControl* parent, int left,
                     int width, const std::u16string& name = u"") {
        auto* label = new TLabel(owner);
        if (!name.empty()) {
            label->SetName(name);
        }
        label->SetParent(parent);
        label->SetBounds(left, 10, width, 20);
        return *label;
    }
    TFrame& NewFrame(const std::u16string& name, int children) {
        auto* frame = new TFrame(form_.get());
        frame->SetName(name);
        frame->SetParent(form_.get());
        frame->SetBounds(30, 30, 150, 90);
        for (int i = 0; i < children; ++i) {
            NewLabel(frame, frame, 3 * i + 3, 30, u"C" + std::u16string(1, char16_t(u'1' + i)));
        }
        return *frame;
    }
};

TEST_F(RunTimeTest, DynamicAddNamesRecordsAndReproducesTheGeometry) {
    TLabel& first = NewLabel(form_.get(), form_.get(), 51, 52);
    TLabel& second = NewLabel(form_.get(), form_.get(), 52, 51);
    second.SetCaption(u"RKitAdd left over");
    TLabel& named = NewLabel(form_.get(), form_.get(), 60, 60, u"Named");
    named.SetCaption(u"The user's own");
    Kit().DynamicAdd();
    EXPECT_EQ(first.Name(), u"RKitAdd0001");
    EXPECT_EQ(second.Name(), u"RKitAdd0002");
    EXPECT_EQ(first.Caption(), u"") << "the name it was given as text is cleared";
    EXPECT_EQ(second.Caption(), u"");
    EXPECT_EQ(named.Name(), u"Named");
    EXPECT_EQ(named.Caption(), u"The user's own") << "only a generated text is cleared";
    EXPECT_EQ(Kit().AddCnt(), 3);
    const TCtrlInfo& r1 = *Kit().Ctrls().Find(u"RKitAdd0001");
    EXPECT_EQ(r1.Left, 34);  // 51 / 1.5
    EXPECT_EQ(r1.Width, 35); // 52 / 1.5 = 34.67
    EXPECT_EQ(r1.OldLeft, 51);

    Kit().RescaleControls(591, 385);
    EXPECT_EQ(first.Left(), 51);  // 34 x 1.5
    EXPECT_EQ(first.Width(), 53); // 35 x 1.5 = 52.5: up to the rounding of the reference
    EXPECT_EQ(second.Left(), 53);
    EXPECT_EQ(second.Width(), 51);
}

// A control whose class publishes its text as "Text", not "Caption".
class TTextControl : public TControl {
public:
    using TControl::TControl;
    const toolkit::TPropertyList& PublishedProperties() const override {
        static const toolkit::TPropertyList list = [] {
            toolkit::TPropertyList l(&TControl::ClassProperties());
            l.Add(toolkit::StringProperty(u"Text", &TControl::Text, &TControl::SetText));
            return l;
        }();
        return list;
    }
};

// A text that begins with the whole prefix is cleared in whichever form the class publishes it,
// Caption or Text, and in no other text.
TEST_F(RunTimeTest, AGeneratedTextIsClearedInTheFormTheClassPublishes) {
    auto make = [this](TControl* c, const std::u16string& name, const std::u16string& text) {
        if (!name.empty()) {
            c->SetName(name);
        }
        c->SetParent(form_.get());
        c->SetBounds(10, 10, 20, 20);
        if (!text.empty()) {
            c->SetText(text);
        }
        return c;
    };
    struct Row {
        const char* what;
        TControl* control;
        const char16_t* text; // after DynamicAdd
    };
    // Recorded in this order: the unnamed ones are the first and the sixth run-time record.
    const Row rows[] = {
        {"Text, unnamed", make(new TTextControl(form_.get()), u"", u""), u""},
        {"Text, left over", make(new TTextControl(form_.get()), u"T1", u"RKitAdd left over"), u""},
        {"Text, the user's own", make(new TTextControl(form_.get()), u"T2", u"Own"), u"Own"},
        {"Text, six of the seven", make(new TTextControl(form_.get()), u"T3", u"RKitAdX"),
         u"RKitAdX"},
        {"Caption, six of the seven", make(new TLabel(form_.get()), u"C1", u"RKitAdX"),
         u"RKitAdX"},
        {"neither, unnamed", make(new toolkit::TImage(form_.get()), u"", u""), u"RKitAdd0006"},
    };
    Kit().DynamicAdd();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(row.control->Text(), row.text);
        EXPECT_NE(Kit().Ctrls().Find(row.control->Name()), nullptr);
    }
    EXPECT_EQ(rows[0].control->Name(), u"RKitAdd0001");
    EXPECT_EQ(rows[5].control->Name(), u"RKitAdd0006");
}

TEST_F(RunTimeTest, GeneratedNamesHaveAtLeastFourDigits) {
    Access::SetAddCnt(Kit(), 9999);
    TLabel& label = NewLabel(form_.get(), form_.get(), 10, 10);
    Kit().DynamicAdd();
    EXPECT_EQ(label.Name(), u"RKitAdd10000");
}

TEST_F(RunTimeTest, ARefusedNameReachesTheCallerAndKeepsTheCount) {
    NewLabel(form_.get(), form_.get(), 10, 10, u"RKitAdd0001");
    Kit().DynamicAdd(); // records the named one
    Access::SetAddCnt(Kit(), 0);
    NewLabel(form_.get(), form_.get(), 10, 10);
    EXPECT_THROW(Kit().DynamicAdd(), toolkit::EInvalidOperation);
    EXPECT_EQ(Kit().AddCnt(), 1);
}

TEST_F(RunTimeTest, ANewControlThatOwnsNothingWaitsForDynamicAdd) {
    const int records = Kit().Ctrls().Count();
    TLabel& label = NewLabel(form_.get(), form_.get(), 60, 60, u"Late");
    Kit().RescaleControls(591, 385);
    EXPECT_EQ(Kit().Ctrls().Count(), records) << "only the component count changed";
    EXPECT_EQ(label.Left(), 60);
    Kit().DynamicAdd();
    EXPECT_NE(Kit().Ctrls().Find(u"Late"), nullptr);
}

TEST_F(RunTimeTest, AFrameWithChildrenChangesBothCountsAndIsRecordedByThePass) {
    TFrame& frame = NewFrame(u"Frame1", 3);
    // A label that owns a label: counted, but what it owns is no frame's and gets no record.
    TLabel& holder = NewLabel(form_.get(), form_.get(), 90, 30, u"Holder");
    NewLabel(&holder, form_.get(), 120, 30, u"Inner");
    Kit().RescaleControls(591, 385);
    const TCtrlInfo* record = Kit().Ctrls().Find(u"Frame1");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->ChildCtlCnt, 3);
    EXPECT_EQ(Kit().ChildCtrls().Count(), 3);
    EXPECT_EQ(Kit().ChildCtrls().FindChild(u"Holder", u"Inner"), nullptr);
    ASSERT_NE(Kit().Ctrls().Find(u"Holder"), nullptr);
    EXPECT_EQ(Kit().Ctrls().Find(u"Holder")->ChildCtlCnt, 0);
    EXPECT_EQ(Kit().ChildCtrls().FindChild(u"Frame1", u"C2")->Left, 4); // 6 / 1.5
    EXPECT_EQ(Kit().CtlCnt(), form_->ComponentCount());
    EXPECT_EQ(Kit().ChildCtlCnt(), 4) << "three of the frame and one of the label";

    Kit().RescaleControls(394, 385); // factor 1.0
    EXPECT_EQ(frame.Left(), 20);
    EXPECT_EQ(dynamic_cast<TControl&>(*frame.Components(1)).Left(), 4);
}

TEST_F(RunTimeTest, AFrameRemovedThroughDynamicDeleteTakesItsChildRecords) {
    NewFrame(u"Frame1", 3);
    NewFrame(u"Frame2", 1);
    Kit().DynamicAdd();
    ASSERT_EQ(Kit().ChildCtrls().Count(), 4);
    delete form_->FindComponent(u"Frame1");
    Kit().DynamicDelete();
    EXPECT_EQ(Kit().Ctrls().Find(u"Frame1"), nullptr);
    EXPECT_EQ(Kit().ChildCtrls().Count(), 1);
    EXPECT_NE(Kit().ChildCtrls().FindChild(u"Frame2", u"C1"), nullptr);
    EXPECT_NE(Kit().Ctrls().Find(u"L1"), nullptr);
    EXPECT_EQ(Kit().CtlCnt(), form_->ComponentCount());
    // A frame with exactly one child takes that child's record too.
    delete form_->FindComponent(u"Frame2");
    Kit().DynamicDelete();
    EXPECT_EQ(Kit().Ctrls().Find(u"Frame2"), nullptr);
    EXPECT_EQ(Kit().ChildCtrls().Count(), 0);
}

TEST_F(RunTimeTest, AChildRemovedFromItsFrameLosesItsRecordAndTheFrameCountsOneLess) {
    // Two children, so that the frame is left with exactly one.
    TFrame& frame = NewFrame(u"Frame1", 2);
    Kit().DynamicAdd();
    delete frame.FindComponent(u"C2");
    Kit().DynamicDelete();
    EXPECT_EQ(Kit().ChildCtrls().FindChild(u"Frame1", u"C2"), nullptr);
    EXPECT_NE(Kit().ChildCtrls().FindChild(u"Frame1", u"C1"), nullptr);
    EXPECT_EQ(Kit().Ctrls().Find(u"Frame1")->ChildCtlCnt, 1);
}

TEST_F(RunTimeTest, EqualTotalsInThePassDropRatherThanAdd) {
    TFrame& frame = NewFrame(u"Frame1", 2);
    Kit().DynamicAdd();
    // One component more on the form, one less on the frame: both counts differ, their sums
    // do not, and the pass takes that for a removal.
    delete frame.FindComponent(u"C2");
    NewLabel(form_.get(), form_.get(), 60, 60, u"Late");
    Kit().RescaleControls(591, 385);
    EXPECT_EQ(Kit().ChildCtrls().FindChild(u"Frame1", u"C2"), nullptr);
    EXPECT_EQ(Kit().Ctrls().Find(u"Late"), nullptr) << "waits for DynamicAdd";
    EXPECT_EQ(Kit().CtlCnt(), form_->ComponentCount());
}

TEST_F(RunTimeTest, AControlPlacedOnARecordedFrameIsPickedUpByDynamicAdd) {
    TFrame& frame = NewFrame(u"Frame1", 1);
    Kit().DynamicAdd();
    NewLabel(&frame, &frame, 9, 9, u"Extra");
    Kit().DynamicAdd();
    ASSERT_NE(Kit().ChildCtrls().FindChild(u"Frame1", u"Extra"), nullptr);
    EXPECT_EQ(Kit().Ctrls().Find(u"Frame1")->ChildCtlCnt, 2);
    delete form_->FindComponent(u"Frame1");
    Kit().DynamicDelete();
    EXPECT_EQ(Kit().ChildCtrls().Count(), 0) << "no record outlives its frame";
}

struct RecordCase {
    const char* what;
    int passW, passH;   // the pass before the control is recorded
    Geometry present;   // the new label then (its top is always 10)
    Geometry reference; // what its record holds
    Geometry at2;       // the label after a pass at factor 2
};

class RecordAtRunTimeTest : public RunTimeTest, public ::testing::WithParamInterface<RecordCase> {};

TEST_P(RecordAtRunTimeTest, TheReferenceIsThePresentValueOverThePreviousFactors) {
    const RecordCase& c = GetParam();
    Kit().RescaleControls(c.passW, c.passH);
    TLabel& label = NewLabel(form_.get(), form_.get(), c.present.left, c.present.width, u"Late");
    label.Font().SetSize(c.present.font);
    Kit().DynamicAdd();
    const TCtrlInfo& r = *Kit().Ctrls().Find(u"Late");
    EXPECT_EQ((Geometry{r.Left, r.Top, r.Width, r.Height, r.Font->Size()}), c.reference);
    EXPECT_EQ(r.OldFontSize, c.present.font);
    Kit().RescaleControls(788, 770); // factor 2
    EXPECT_EQ(Of(label), c.at2);
}

INSTANTIATE_TEST_SUITE_P(
    Factors, RecordAtRunTimeTest,
    ::testing::Values(
        // Implementer's choice: every factor 0, nothing to divide by, so the present value is
        // the reference.
        RecordCase{"afterAZeroSizePass", 0, 0, {40, 10, 60, 20, 12}, {40, 10, 60, 20, 12},
                   {80, 20, 120, 40, 24}},
        // 13 / 2 = 6.5 rounds to 7 points (truncated it would be 6, and 12 at factor 2).
        RecordCase{"atFactorTwo", 788, 770, {41, 10, 61, 20, 13}, {21, 5, 31, 10, 7},
                   {42, 10, 62, 20, 14}}),
    [](const auto& info) { return std::string(info.param.what); });

} // namespace
} // namespace kit_test
