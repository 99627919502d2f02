// Placement and the work area: the taskbar's edge and thickness, the ten positions, the first
// showing, the drag and maximise limits, and the refit after a screen change.
#include "KitTestSupport.h"

#include <optional>
#include <vector>

namespace kit_test {
namespace {

using platform::MINMAXINFO;
using platform::RECT;

SimConfig Screen(RECT taskbar, bool autoHide = false) {
    SimConfig config;
    config.screenWidth = 1920;
    config.screenHeight = 1080;
    config.taskbar = taskbar;
    config.taskbarAutoHide = autoHide;
    return config;
}

const RECT kBottom{0, 1040, 1920, 1080};
const RECT kTop{0, 0, 1920, 40};
const RECT kLeft{0, 0, 60, 1080};
const RECT kRight{1860, 0, 1920, 1080};

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Show(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

// ---- GetWorkArea -------------------------------------------------------------------------------

struct WorkAreaCase {
    const char* what;
    RECT taskbar;
    bool autoHide;
    bool validTaskbar;
    int major;
    int width, height, edge;
    RECT clipped;
};

class WorkAreaTest : public ::testing::TestWithParam<WorkAreaCase> {};

TEST_P(WorkAreaTest, MeasuresScreenAndTaskbar) {
    const WorkAreaCase& c = GetParam();
    SimDesktop desktop(Screen(c.taskbar, c.autoHide));
    platform::ScopedApi scope(desktop);
    toolkit::TApplication app;
    TResizeKit kit(nullptr);
    resizekit::OsMajorVersion = static_cast<platform::BYTE>(c.major);
    const TResizeKit::TWorkArea area = kit.GetWorkArea(c.validTaskbar);
    EXPECT_EQ(area.Width, c.width);
    EXPECT_EQ(area.Height, c.height);
    EXPECT_EQ(area.TaskbarEdge, c.edge);
    EXPECT_TRUE(Same(area.Taskbar, c.clipped)) << Show(area.Taskbar);
}

INSTANTIATE_TEST_SUITE_P(
    Taskbars, WorkAreaTest,
    ::testing::Values(
        WorkAreaCase{"bottom", kBottom, false, true, 6, 1920, 1040, 3, kBottom},
        WorkAreaCase{"top", kTop, false, true, 6, 1920, 1040, 0, kTop},
        WorkAreaCase{"left", kLeft, false, true, 6, 1860, 1080, 1, kLeft},
        WorkAreaCase{"right", kRight, false, true, 6, 1860, 1080, 2, kRight},
        WorkAreaCase{"clipped", {-2, 1038, 1922, 1082}, false, true, 6, 1920, 1038, 3,
                     {0, 1038, 1920, 1080}},
        // Unclipped, the top would make the taskbar 42 high and the work area 1038.
        WorkAreaCase{"negativeTopClipped", {-2, -2, 1922, 40}, false, true, 6, 1920, 1040, 0,
                     {0, 0, 1920, 40}},
        WorkAreaCase{"autoHideBottom", kBottom, true, true, 6, 1920, 1080, 3,
                     {0, 1080, 1920, 1080}},
        WorkAreaCase{"autoHideLeft", kLeft, true, true, 6, 1920, 1080, 1, {0, 0, 0, 1080}},
        WorkAreaCase{"autoHideTop", kTop, true, true, 6, 1920, 1080, 0, {0, 0, 1920, 0}},
        WorkAreaCase{"autoHideRight", kRight, true, true, 6, 1920, 1080, 2,
                     {1920, 0, 1920, 1080}},
        WorkAreaCase{"notValid", kBottom, false, false, 6, 1920, 1080, 3, kBottom},
        WorkAreaCase{"notValidLeft", kLeft, false, false, 6, 1920, 1080, 1, kLeft},
        WorkAreaCase{"squareIsVertical", {0, 0, 50, 50}, false, true, 6, 1870, 1080, 1,
                     {0, 0, 50, 50}},
        WorkAreaCase{"emptyIsLeftAndThin", {0, 0, 0, 0}, false, true, 6, 1920, 1080, 1,
                     {0, 0, 0, 0}},
        WorkAreaCase{"oldPlatformAsksNothing", kBottom, false, true, 3, 1920, 1080, -1,
                     {0, 0, 0, 0}},
        WorkAreaCase{"version4AsksTheTaskbar", kBottom, false, true, 4, 1920, 1040, 3, kBottom}),
    [](const auto& info) { return std::string(info.param.what); });

// ---- Placing -------------------------------------------------------------------------------------

// The outer rectangle the last MoveWindow asked for, before the platform held it within the
// tracking limits.
std::optional<platform::WINDOWPOS> LastMoveRequest(const SimDesktop& desktop, platform::HWND w) {
    std::optional<platform::WINDOWPOS> last;
    for (const auto& m : desktop.Messages()) {
        if (m.window == w && m.message == platform::WM_WINDOWPOSCHANGING && m.windowPosBefore) {
            last = m.windowPosBefore;
        }
    }
    return last;
}

class PlacementTest : public KitTest {
public:
    explicit PlacementTest(SimConfig config = Screen(kBottom)) : KitTest(config) {}
    void SetUp() override {
        Load(FormText(Label("L1", 10, 10, 100, 20)));
        desktop_.MoveWindow(Window(), x0, y0, 300, 200, platform::TRUE);
        desktop_.ClearMessages();
    }
    RECT Requested() {
        auto pos = LastMoveRequest(desktop_, Window());
        EXPECT_TRUE(pos.has_value()) << "no move";
        return pos ? RECT{pos->x, pos->y, pos->x + pos->cx, pos->y + pos->cy} : RECT{};
    }
    int x0 = 100, y0 = 100;
};

struct PlaceCase {
    const char* what;
    RECT taskbar;
    int minor;
    TResizeFormPos pos;
    int w, h;
    int x0, y0;     // where the window stands before
    int x, y;       // where it is put
};

class PlaceFormTest : public PlacementTest, public ::testing::WithParamInterface<PlaceCase> {
protected:
    PlaceFormTest() : PlacementTest(Screen(GetParam().taskbar)) {
        x0 = GetParam().x0;
        y0 = GetParam().y0;
    }
};

TEST_P(PlaceFormTest, PutsTheWindowWhereThePositionSays) {
    const PlaceCase& c = GetParam();
    resizekit::OsMinorVersion = static_cast<platform::BYTE>(c.minor);
    Kit().PlaceForm(Window(), c.pos, true, c.w, c.h);
    EXPECT_TRUE(Same(Requested(), RECT{c.x, c.y, c.x + c.w, c.y + c.h})) << Show(Requested());
}

INSTANTIATE_TEST_SUITE_P(
    Positions, PlaceFormTest,
    ::testing::Values(
        PlaceCase{"middleCenter", kBottom, 1, rpMiddleCenter, 410, 424, 100, 100, 755, 308},
        PlaceCase{"oddRemainderTruncates", kBottom, 1, rpTopCenter, 409, 424, 100, 100, 755, 0},
        PlaceCase{"widerThanWorkAreaStartsAt0", kBottom, 1, rpMiddleCenter, 1927, 424, 100,
                  100, 0, 308},
        PlaceCase{"topLeftUnderTopTaskbar", kTop, 1, rpTopLeft, 410, 424, 100, 100, 0, 0},
        PlaceCase{"minor0KeepsOffTopTaskbar", kTop, 0, rpTopLeft, 410, 424, 100, 100, 0, 40},
        PlaceCase{"minor0KeepsOffLeftTaskbar", kLeft, 0, rpTopLeft, 410, 424, 100, 100, 60, 0},
        // Only a taskbar at the top or left keeps the window off it.
        PlaceCase{"minor0BottomTaskbarLeavesTopLeft", kBottom, 0, rpTopLeft, 410, 424, 100, 100,
                  0, 0},
        PlaceCase{"topRight", kBottom, 1, rpTopRight, 410, 424, 100, 100, 1510, 0},
        PlaceCase{"middleLeft", kBottom, 1, rpMiddleLeft, 410, 424, 100, 100, 0, 308},
        PlaceCase{"middleRight", kBottom, 1, rpMiddleRight, 410, 424, 100, 100, 1510, 308},
        PlaceCase{"bottomLeft", kBottom, 1, rpBottomLeft, 410, 424, 100, 100, 0, 616},
        PlaceCase{"bottomCenter", kBottom, 1, rpBottomCenter, 410, 424, 100, 100, 755, 616},
        PlaceCase{"bottomRight", kBottom, 1, rpBottomRight, 410, 424, 100, 100, 1510, 616},
        PlaceCase{"defaultStays", kBottom, 1, rpDefault, 410, 424, 100, 120, 100, 120},
        PlaceCase{"defaultPulledIn", kBottom, 1, rpDefault, 410, 424, 1800, 1000, 1510, 616},
        PlaceCase{"defaultTooBigRaisedTo0", kBottom, 1, rpDefault, 2000, 1100, 100, 100, 0, 0}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(PlacementTest, AMaximisedWindowIsNotPlaced) {
    desktop_.ShowWindow(Window(), platform::SW_SHOWMAXIMIZED);
    desktop_.ClearMessages();
    Kit().PlaceForm(Window(), rpTopLeft, true, 400, 300);
    EXPECT_FALSE(LastMoveRequest(desktop_, Window()).has_value());
}

TEST_F(PlacementTest, WritingFormPosPlacesAtOnceWithThePresentSize) {
    Kit().SetFormPos(rpBottomRight);
    EXPECT_TRUE(Same(Requested(), RECT{1620, 840, 1920, 1040})) << Show(Requested());
    desktop_.ClearMessages();
    Kit().SetFormPos(rpBottomRight);
    EXPECT_FALSE(LastMoveRequest(desktop_, Window()).has_value()) << "the same value again";
}

TEST_F(PlacementTest, FormPosInTheDescriptionPlacesTheWindowWhileItIsRead) {
    TKitForm form(nullptr);
    form.LoadDescriptionText(FormText("", "    FormPos = rpBottomRight\n"));
    ASSERT_TRUE(form.HandleAllocated()) << "the window is made to be placed";
    RECT r{};
    desktop_.GetWindowRect(form.Handle(), &r);
    EXPECT_EQ(r.right, 1920);
    EXPECT_EQ(r.bottom, 1040);
}

struct FirstShowCase {
    const char* what;
    int formWidth, formHeight;
    RECT expected; // from a 300 x 200 window at (100, 100)
};

class FirstShowTest : public PlacementTest,
                      public ::testing::WithParamInterface<FirstShowCase> {};

TEST_P(FirstShowTest, SizesAndPlaces) {
    const FirstShowCase& c = GetParam();
    Kit().SetFormWidth(c.formWidth);
    Kit().SetFormHeight(c.formHeight);
    Kit().PlaceOnFirstShow();
    EXPECT_TRUE(Same(Requested(), c.expected)) << Show(Requested());
    EXPECT_EQ(resizekit::LastScreenWidth, 1920);
    EXPECT_EQ(resizekit::LastScreenHeight, 1080);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, FirstShowTest,
    ::testing::Values(FirstShowCase{"onePixelGrowth", 0, 0, {100, 100, 401, 301}},
                      FirstShowCase{"onlyOneSizeIsIgnored", 500, 0, {100, 100, 401, 301}},
                      FirstShowCase{"onlyTheOtherSizeIsIgnored", 0, 450, {100, 100, 401, 301}},
                      FirstShowCase{"bothSizes", 500, 450, {100, 100, 600, 550}},
                      FirstShowCase{"cutToTheWorkArea", 3000, 2000, {0, 0, 1920, 1040}}),
    [](const auto& info) { return std::string(info.param.what); });

// ---- Limits ---------------------------------------------------------------------------------------

struct ClampCase {
    const char* what;
    int maxW, maxH, minW, minH;
    RECT drag, expected;
};

class ClampTest : public ::testing::TestWithParam<ClampCase> {};

TEST_P(ClampTest, MovesOnlyRightAndBottom) {
    const ClampCase& c = GetParam();
    SimDesktop desktop;
    platform::ScopedApi scope(desktop);
    toolkit::TApplication app;
    TResizeKit kit(nullptr);
    kit.SetFormMaxWidth(c.maxW);
    kit.SetFormMaxHeight(c.maxH);
    kit.SetFormMinWidth(c.minW);
    kit.SetFormMinHeight(c.minH);
    RECT r = c.drag;
    kit.ClampSizingRect(r);
    EXPECT_TRUE(Same(r, c.expected)) << Show(r);
}

INSTANTIATE_TEST_SUITE_P(
    Drags, ClampTest,
    ::testing::Values(
        ClampCase{"belowMinimum", 0, 0, 300, 200, {100, 100, 350, 250}, {100, 100, 400, 300}},
        ClampCase{"aboveMaxWidth", 800, 600, 0, 0, {0, 0, 1000, 500}, {0, 0, 800, 500}},
        ClampCase{"aboveBoth", 800, 600, 0, 0, {0, 0, 1000, 700}, {0, 0, 800, 600}},
        ClampCase{"halfAMaximumIsNone", 500, 0, 0, 0, {0, 0, 1000, 1000}, {0, 0, 1000, 1000}},
        ClampCase{"halfAMinimumIsNone", 0, 0, 300, 0, {0, 0, 10, 10}, {0, 0, 10, 10}},
        ClampCase{"leftBorderShiftsRight", 800, 600, 0, 0, {-300, 0, 1000, 500},
                  {-300, 0, 500, 500}},
        ClampCase{"inside", 800, 600, 300, 200, {10, 10, 510, 410}, {10, 10, 510, 410}}),
    [](const auto& info) { return std::string(info.param.what); });

struct MinMaxCase {
    const char* what;
    RECT taskbar;
    int minor;
    int maxW, maxH;
    RECT window;                   // used only with limits
    platform::POINT proposedSize, proposedPos;
    platform::POINT size, pos;
};

class MinMaxTest : public PlacementTest, public ::testing::WithParamInterface<MinMaxCase> {
protected:
    MinMaxTest() : PlacementTest(Screen(GetParam().taskbar)) {}
};

TEST_P(MinMaxTest, AnswersFromTheSettings) {
    const MinMaxCase& c = GetParam();
    Kit().SetEnabled(false); // the window is arranged without the component's answers
    desktop_.MoveWindow(Window(), c.window.left, c.window.top, c.window.right - c.window.left,
                        c.window.bottom - c.window.top, platform::TRUE);
    Kit().SetFormMaxWidth(c.maxW);
    Kit().SetFormMaxHeight(c.maxH);
    resizekit::OsMinorVersion = static_cast<platform::BYTE>(c.minor);
    MINMAXINFO m{};
    m.ptMaxSize = c.proposedSize;
    m.ptMaxPosition = c.proposedPos;
    m.ptMinTrackSize = {112, 27};
    m.ptMaxTrackSize = {9999, 9999};
    Kit().FillMinMaxInfo(m);
    EXPECT_EQ(m.ptMaxSize.x, c.size.x);
    EXPECT_EQ(m.ptMaxSize.y, c.size.y);
    EXPECT_EQ(m.ptMaxTrackSize.x, c.size.x);
    EXPECT_EQ(m.ptMaxTrackSize.y, c.size.y);
    EXPECT_EQ(m.ptMaxPosition.x, c.pos.x);
    EXPECT_EQ(m.ptMaxPosition.y, c.pos.y);
    EXPECT_EQ(m.ptMinTrackSize.x, 112) << "never changed";
    EXPECT_EQ(m.ptMinTrackSize.y, 27);
}

const RECT kSmall{100, 100, 500, 400};

INSTANTIATE_TEST_SUITE_P(
    Limits, MinMaxTest,
    ::testing::Values(
        MinMaxCase{"noLimitsWorkArea", kBottom, 1, 0, 0, kSmall, {1928, 1088}, {-4, -4},
                   {1920, 1040}, {-4, -4}},
        MinMaxCase{"noLimitsTopTaskbarShifted", kTop, 1, 0, 0, kSmall, {1928, 1088}, {-4, -4},
                   {1920, 1040}, {-4, -44}},
        MinMaxCase{"noLimitsTopTaskbarMinor0", kTop, 0, 0, 0, kSmall, {1928, 1088}, {-4, -4},
                   {1920, 1040}, {-4, -4}},
        MinMaxCase{"noLimitsLeftTaskbarShifted", kLeft, 1, 0, 0, kSmall, {1928, 1088}, {-4, -4},
                   {1860, 1080}, {-64, -4}},
        MinMaxCase{"negativeProposalWidens", kBottom, 1, 0, 0, kSmall, {-10, -20}, {0, 0},
                   {1930, 1060}, {0, 0}},
        MinMaxCase{"limitsKeepPosition", kBottom, 1, 800, 600, kSmall, {1928, 1088}, {-4, -4},
                   {800, 600}, {100, 100}},
        // Right and bottom edges exactly on the work area's: still inside.
        MinMaxCase{"limitsOnTheFarEdges", kBottom, 1, 800, 600, {1520, 740, 1920, 1040},
                   {1928, 1088}, {-4, -4}, {800, 600}, {1520, 740}},
        MinMaxCase{"limitsBeyondRight", kBottom, 1, 800, 600, {1500, 100, 2000, 400},
                   {1928, 1088}, {-4, -4}, {800, 600}, {1120, 100}},
        MinMaxCase{"limitsBeyondBottom", kBottom, 1, 800, 600, {100, 900, 500, 1100},
                   {1928, 1088}, {-4, -4}, {800, 600}, {100, 440}},
        // A left or top edge exactly at 0 is not off-screen: the far edge decides.
        MinMaxCase{"limitsFromLeftEdgeBeyondRight", kBottom, 1, 800, 600, {0, 100, 2000, 400},
                   {1928, 1088}, {-4, -4}, {800, 600}, {1120, 100}},
        MinMaxCase{"limitsFromTopEdgeBeyondBottom", kBottom, 1, 800, 600, {100, 0, 500, 1100},
                   {1928, 1088}, {-4, -4}, {800, 600}, {100, 440}},
        // Beyond the far edge with the taskbar at the left or top: moved in by its thickness.
        MinMaxCase{"limitsBeyondRightWithLeftTaskbar", kLeft, 0, 800, 600,
                   {1500, 100, 2000, 400}, {1928, 1088}, {-4, -4}, {800, 600}, {1120, 100}},
        MinMaxCase{"limitsBeyondBottomWithTopTaskbar", kTop, 0, 800, 600,
                   {100, 900, 500, 1100}, {1928, 1088}, {-4, -4}, {800, 600}, {100, 480}},
        MinMaxCase{"limitsOffScreenTopLeft", kBottom, 1, 800, 600, {-50, -20, 350, 280},
                   {1928, 1088}, {-4, -4}, {800, 600}, {0, 0}},
        MinMaxCase{"limitsUnderLeftTaskbar", kLeft, 0, 800, 600, {30, 100, 430, 400},
                   {1928, 1088}, {-4, -4}, {800, 600}, {60, 100}},
        MinMaxCase{"limitsUnderLeftTaskbarShifted", kLeft, 1, 800, 600, {30, 100, 430, 400},
                   {1928, 1088}, {-4, -4}, {800, 600}, {0, 100}},
        MinMaxCase{"limitsUnderTopTaskbar", kTop, 0, 800, 600, {100, 10, 500, 310},
                   {1928, 1088}, {-4, -4}, {800, 600}, {100, 40}},
        MinMaxCase{"limitsOffTopWithTopTaskbar", kTop, 0, 800, 600, {100, -5, 500, 295},
                   {1928, 1088}, {-4, -4}, {800, 600}, {100, 40}},
        MinMaxCase{"limitsCutToWorkArea", kBottom, 1, 3000, 2000, kSmall, {1928, 1088},
                   {-4, -4}, {1920, 1040}, {100, 100}},
        MinMaxCase{"halfALimitIsNone", kBottom, 1, 800, 0, kSmall, {1928, 1088}, {-4, -4},
                   {1920, 1040}, {-4, -4}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(PlacementTest, AMaximisedWindowBeyondTheWorkAreaIsPulledBackWithItsSize) {
    Kit().SetEnabled(false);
    desktop_.MoveWindow(Window(), 0, 0, 1925, 500, platform::TRUE);
    Kit().SetFormMaxWidth(2000);
    Kit().SetFormMaxHeight(1000);
    desktop_.ClearMessages();
    Kit().FitMaximizedWindow();
    EXPECT_TRUE(Same(Requested(), RECT{-5, 0, 1920, 500})) << Show(Requested());

    desktop_.MoveWindow(Window(), 0, 0, 800, 500, platform::TRUE);
    desktop_.ClearMessages();
    Kit().FitMaximizedWindow();
    EXPECT_FALSE(LastMoveRequest(desktop_, Window()).has_value()) << "inside: left alone";

    desktop_.MoveWindow(Window(), 1120, 540, 800, 500, platform::TRUE);
    desktop_.ClearMessages();
    Kit().FitMaximizedWindow();
    EXPECT_FALSE(LastMoveRequest(desktop_, Window()).has_value()) << "on the far edges: inside";
}

struct FitCase {
    const char* what;
    RECT taskbar;
    RECT inside;   // left alone while the taskbar is taken off the work area
    RECT beyond;   // a window past the whole screen's far edge
    RECT pulledIn; // where that one goes when the taskbar is not taken off
};

class FitMaximizedTest : public PlacementTest, public ::testing::WithParamInterface<FitCase> {
protected:
    FitMaximizedTest() : PlacementTest(Screen(GetParam().taskbar)) {}
    void Fit(const RECT& window) {
        desktop_.MoveWindow(Window(), window.left, window.top, window.right - window.left,
                            window.bottom - window.top, platform::TRUE);
        desktop_.ClearMessages();
        Kit().FitMaximizedWindow();
    }
};

// The free area's far edge lies a taskbar further out when the taskbar at the top or left is
// taken off the work area, and at the screen's edge when it is not.
TEST_P(FitMaximizedTest, CountsATopOrLeftTaskbarOnlyWhenItIsTakenOff) {
    const FitCase& c = GetParam();
    Kit().SetEnabled(false);
    Fit(c.inside);
    EXPECT_FALSE(LastMoveRequest(desktop_, Window()).has_value());

    Kit().SetValidTaskbar(false);
    Fit(c.beyond);
    EXPECT_TRUE(Same(Requested(), c.pulledIn)) << Show(Requested());
}

INSTANTIATE_TEST_SUITE_P(
    Taskbars, FitMaximizedTest,
    ::testing::Values(
        // Taken off the top, the free area ends at 1040 + 40: 1075 is inside.
        FitCase{"top", kTop, {0, 575, 800, 1075}, {0, 600, 800, 1100}, {0, 580, 800, 1080}},
        // Taken off the left, it ends at 1860 + 60: 1915 is inside.
        FitCase{"left", kLeft, {1115, 0, 1915, 500}, {1140, 0, 1940, 500},
                {1120, 0, 1920, 500}}),
    [](const auto& info) { return std::string(info.param.what); });

// A change of either dimension alone counts. The window at (900, 100), 600 x 400, grows by a
// pixel each way and is pulled back inside the new work area (the taskbar stays at the bottom,
// 40 high).
TEST_F(PlacementTest, RefitOnlyAfterTheScreenSizeChanged) {
    struct Row {
        const char* what;
        int screenW, screenH;
        std::optional<RECT> moved;
    };
    const Row rows[] = {
        {"unchanged", 1920, 1080, std::nullopt},
        // Cut to the work area's width and height, then pulled in.
        {"width only", 500, 1080, RECT{0, 100, 500, 501}},
        {"height only", 1920, 400, RECT{900, 0, 1501, 360}},
        {"both", 1280, 1024, RECT{679, 100, 1280, 501}},
    };
    Kit().SetEnabled(false);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        desktop_.SetScreenSize(1920, 1080);
        desktop_.MoveWindow(Window(), 900, 100, 600, 400, platform::TRUE);
        resizekit::LastScreenWidth = 1920;
        resizekit::LastScreenHeight = 1080;
        desktop_.SetScreenSize(row.screenW, row.screenH);
        desktop_.ClearMessages();
        Kit().RefitOnScreenChange();
        if (row.moved) {
            EXPECT_TRUE(Same(Requested(), *row.moved)) << Show(Requested());
        } else {
            EXPECT_FALSE(LastMoveRequest(desktop_, Window()).has_value());
        }
        EXPECT_EQ(resizekit::LastScreenWidth, row.screenW);
        EXPECT_EQ(resizekit::LastScreenHeight, row.screenH);
    }
}

} // namespace
} // namespace kit_test
