// Fonts: the points/pixels conversion, ParentFont, and the HFONTs behind the windows.
#include "ToolkitTest.h"

namespace toolkit_test {
namespace {

using namespace toolkit;
using namespace platform;
using platform::sim::HandleKind;

TEST(MulDivTest, RoundsHalvesAwayFromZeroAndReportsOverflow) {
    struct Row {
        int number, numerator, denominator, expected;
    };
    const Row rows[] = {
        {5, 3, 2, 8},     {-5, 3, 2, -8}, {5, -3, 2, -8},         {5, 3, -2, -8},
        {-5, -3, 2, 8},   {7, 1, 3, 2},   {8, 1, 3, 3},           {-8, 1, 3, -3},
        {10, 96, 72, 13}, {1, 1, 0, -1},  {0x40000000, 4, 1, -1}, {0x40000000, 4, 2, -1},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(MulDiv(row.number, row.numerator, row.denominator), row.expected)
            << row.number << " * " << row.numerator << " / " << row.denominator;
    }
    EXPECT_EQ(MulDiv(0x40000000, 2, 2), 0x40000000);
}

struct ConversionRow {
    int dpi;
    int height;       // pixels
    int expectedSize; // points: -MulDiv(height, 72, dpi)
};

class FontDensityTest : public ::testing::TestWithParam<ConversionRow> {};

TEST_P(FontDensityTest, SizeFromHeightAndBack) {
    const ConversionRow row = GetParam();
    TFont font(row.dpi);
    font.SetHeight(row.height);
    EXPECT_EQ(font.Size(), row.expectedSize);
    font.SetSize(row.expectedSize);
    // Height from size: -MulDiv(size, dpi, 72), worked out by hand for each row.
    const double exact = row.expectedSize * static_cast<double>(row.dpi) / 72.0;
    const int rounded = static_cast<int>(exact < 0 ? exact - 0.5 : exact + 0.5);
    EXPECT_EQ(font.Height(), -rounded);
}

INSTANTIATE_TEST_SUITE_P(Densities, FontDensityTest,
                         ::testing::Values(ConversionRow{96, -13, 10},  // 9.75
                                           ConversionRow{96, -27, 20},  // 20.25
                                           ConversionRow{96, -20, 15},  // exact
                                           ConversionRow{96, -2, 2},    // 1.5: half away from zero
                                           ConversionRow{96, 2, -2},    // -1.5
                                           ConversionRow{120, -13, 8},  // 7.8
                                           ConversionRow{120, -20, 12}, // exact
                                           ConversionRow{120, -25, 15}, // exact
                                           ConversionRow{120, -5, 3},   // 3.0
                                           ConversionRow{144, -13, 7},  // 6.5
                                           ConversionRow{144, -27, 14}, // 13.5
                                           ConversionRow{144, -20, 10}));

TEST(FontDensityTest, SizeToHeightTable) {
    struct Row {
        int dpi, size, height;
    };
    const Row rows[] = {{96, 8, -11},  {96, 9, -12},  {120, 8, -13},  {120, 9, -15},
                        {144, 8, -16}, {144, 9, -18}, {120, 10, -17}, {144, 7, -14}};
    for (const Row& row : rows) {
        TFont font(row.dpi);
        font.SetSize(row.size);
        EXPECT_EQ(font.Height(), row.height) << row.size << "pt at " << row.dpi;
    }
}

class FontDesktopTest : public DesktopTest {
protected:
    static platform::sim::SimConfig At120() {
        platform::sim::SimConfig config;
        config.dpiX = 120;
        config.dpiY = 120;
        return config;
    }
    FontDesktopTest() : DesktopTest(At120()) {}
};

TEST_F(FontDesktopTest, NewFontsTakeTheScreensDensityReadOnce) {
    TFont first;
    TFont second;
    EXPECT_EQ(first.PixelsPerInch(), 120);
    EXPECT_EQ(first.Height(), -13); // 8 points
    EXPECT_EQ(desktop_.Ledger().AcquiredCount(HandleKind::WindowDC), 1);
    EXPECT_EQ(desktop_.Ledger().ReleasedCount(HandleKind::WindowDC), 1);
    (void)second;
}

TEST_F(FontDesktopTest, ParentFontFollowsTheParentUntilTheControlsFontChanges) {
    TForm form(nullptr);
    form.Font().SetName(u"Tahoma");
    form.Font().SetHeight(-13);
    auto* label = new TLabel(&form);
    EXPECT_TRUE(label->ParentFont());
    label->SetParent(&form);
    EXPECT_EQ(label->Font(), form.Font());

    form.Font().SetHeight(-20);
    EXPECT_EQ(label->Font().Height(), -20);
    EXPECT_TRUE(label->ParentFont());

    label->Font().SetSize(label->Font().Size()); // the same size still counts as a change
    EXPECT_FALSE(label->ParentFont());
    form.Font().SetName(u"Arial");
    EXPECT_EQ(label->Font().Name(), u"Tahoma");

    label->SetParentFont(true);
    EXPECT_EQ(label->Font().Name(), u"Arial");
    EXPECT_EQ(label->Font().Height(), -20);
}

TEST_F(FontDesktopTest, EachFontChangeGivesTheWindowANewFontAndReleasesTheOldOnce) {
    {
        TForm form(nullptr);
        auto* label = new TLabel(&form);
        label->SetParent(&form);
        label->SetParentFont(false);
        HWND window = label->Handle();
        const auto before = desktop_.FontOf(window);
        ASSERT_TRUE(before.has_value());
        label->Font().SetStyle(fsBold);
        label->Font().SetName(u"Courier New");
        const auto after = desktop_.FontOf(window);
        ASSERT_TRUE(after.has_value());
        EXPECT_EQ(after->lfWeight, FW_BOLD);
        EXPECT_EQ(std::u16string(after->lfFaceName), u"Courier New");
        // The form's font and the label's latest font are the live ones.
        EXPECT_EQ(desktop_.Ledger().Outstanding(HandleKind::Font).size(), 2u);
    }
    EXPECT_TRUE(desktop_.Ledger().Outstanding(HandleKind::Font).empty());
    EXPECT_TRUE(desktop_.Ledger().Faults().empty()) << desktop_.Ledger().Report();
}

// A rescale assigns every control's font again; only a real change reaches the window.
TEST_F(FontDesktopTest, AnUnchangedFontKeepsTheWindowsFont) {
    TForm form(nullptr);
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetParentFont(false);
    label->Font().SetHeight(-13);
    HWND window = label->Handle();
    const int created = desktop_.Ledger().AcquiredCount(HandleKind::Font);

    TFont same(120);
    same.Assign(label->Font());
    label->Font().Assign(same);
    label->Font().SetSize(label->Font().Size());
    EXPECT_EQ(desktop_.Ledger().AcquiredCount(HandleKind::Font), created);

    label->Font().SetHeight(-20);
    EXPECT_EQ(desktop_.Ledger().AcquiredCount(HandleKind::Font), created + 1);
    ASSERT_TRUE(desktop_.FontOf(window).has_value());
    EXPECT_EQ(desktop_.FontOf(window)->lfHeight, -20);

    // A window made again needs the font again, even an unchanged one.
    label->SetParent(nullptr);
    label->SetParent(&form);
    ASSERT_NE(label->Handle(), nullptr);
    ASSERT_TRUE(desktop_.FontOf(label->Handle()).has_value());
    EXPECT_EQ(desktop_.FontOf(label->Handle())->lfHeight, -20);
    EXPECT_TRUE(desktop_.Ledger().Faults().empty()) << desktop_.Ledger().Report();
}

// The colour is not part of the font handle: a live window keeps its font and is painted
// again in the new colour.
TEST_F(FontDesktopTest, AColourChangeRepaintsWithoutANewFont) {
    TForm form(nullptr);
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetParentFont(false);
    form.Show();
    HWND window = label->Handle();
    desktop_.UpdateWindow(form.Handle());
    desktop_.UpdateWindow(window);
    ASSERT_FALSE(desktop_.NeedsPaint(window));
    const int created = desktop_.Ledger().AcquiredCount(HandleKind::Font);
    const LRESULT before = desktop_.SendMessageW(window, WM_GETFONT, 0, 0);
    ASSERT_NE(before, 0);

    label->Font().SetColor(clRed);
    EXPECT_EQ(desktop_.Ledger().AcquiredCount(HandleKind::Font), created);
    EXPECT_EQ(desktop_.SendMessageW(window, WM_GETFONT, 0, 0), before);
    EXPECT_TRUE(desktop_.NeedsPaint(window));

    // The same colour again is no change.
    desktop_.UpdateWindow(window);
    label->Font().SetColor(clRed);
    EXPECT_FALSE(desktop_.NeedsPaint(window));
}

} // namespace
} // namespace toolkit_test
