// The whole launcher on the simulated desktop, from RunLauncher to its return: construction,
// the first showing, the user's ways of ending it, Install, and the exception display.
#include "LauncherTestSupport.h"
#include "RecordingApi.h"

#include "resizekit/ResizeKit.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace launcher_test {
namespace {

using namespace platform;

// The window as the user finds it once it waits for input.
struct WindowSeen {
    bool visible = false;
    bool minimised = false;
    std::u16string caption;
    std::vector<std::u16string> labels;
    std::u16string install, cancel;
    HWND focus = nullptr;
    HWND installButton = nullptr;
};

class AppFlowTest : public LauncherTest {
protected:
    // Looks at the window when the user first gets it.
    void LookAtWindow() {
        Desktop().OnIdle([this] {
            HWND window = MainForm->Handle();
            main_ = window;
            seen_.visible = Desktop().IsWindowVisible(window);
            seen_.minimised = Desktop().IsIconic(window);
            seen_.caption = Desktop().TextOf(window);
            for (toolkit::TControl* label :
                 {MainForm->LabelTitle, MainForm->Label2, MainForm->LabelType,
                  MainForm->LabelVersion, MainForm->Label5}) {
                seen_.labels.push_back(Shown(label));
            }
            seen_.install = Shown(MainForm->BtnInstall);
            seen_.cancel = Shown(MainForm->BtnCancel);
            seen_.focus = Desktop().GetFocus();
            seen_.installButton = MainForm->BtnInstall->Handle();
        });
    }

    // WM_SHOWWINDOW to the main window from the message log: true shown, false hidden.
    std::vector<bool> Showings(std::size_t from = 0) const {
        std::vector<bool> showings;
        const auto& messages = const_cast<AppFlowTest*>(this)->Desktop().Messages();
        for (std::size_t i = from; i < messages.size(); ++i) {
            if (messages[i].window == main_ && messages[i].message == WM_SHOWWINDOW) {
                showings.push_back(messages[i].show);
            }
        }
        return showings;
    }

    HWND main_ = nullptr;
    WindowSeen seen_;
};

TEST_F(AppFlowTest, OpensWithTheFileValuesAndCancelEndsIt) {
    Start();
    WriteFile(u"Setup.ini", kGoodSetupIni);
    LookAtWindow();
    Desktop().OnIdle([this] { Desktop().ClickButton(MainForm->BtnCancel->Handle()); });

    EXPECT_EQ(RunLauncher(), 0);

    EXPECT_TRUE(seen_.visible);
    EXPECT_FALSE(seen_.minimised);
    EXPECT_EQ(seen_.caption, u"Setup (1.0.3)");
    EXPECT_EQ(seen_.labels,
              (std::vector<std::u16string>{u"Example Driver", u"USB DRIVER SOFTWARE", u"TYPE-3",
                                           u"Ver.2.08.28", u"( for Windows 32bit/64bit )"}));
    EXPECT_EQ(seen_.install, u"Install");
    EXPECT_EQ(seen_.cancel, u"Cancel");
    // Install has the focus, so Enter starts it.
    EXPECT_EQ(seen_.focus, seen_.installButton);
    // The loop ended because the window closed, not because the user's script ran dry.
    EXPECT_FALSE(Desktop().IdleExhausted());
    EXPECT_TRUE(Desktop().MessageBoxes().empty());
    EXPECT_TRUE(Desktop().Launches().empty());
    EXPECT_EQ(Showings(), (std::vector<bool>{true, false}));
}

// Every way of closing the window ends the launcher as Cancel does; Escape does nothing.
struct EndingCase {
    const char* name{};
    std::function<void(DesktopUser&)> act{};
    bool ends{};
};

void PrintTo(const EndingCase& c, std::ostream* os) {
    *os << c.name;
}

const EndingCase kEndings[] = {
    {"CancelButton", [](DesktopUser& d) { d.ClickButton(MainForm->BtnCancel->Handle()); }, true},
    {"CloseBox", [](DesktopUser& d) { d.CloseBox(MainForm->Handle()); }, true},
    {"AltF4", [](DesktopUser& d) { d.PressKey(VK_F4, /*alt=*/true); }, true},
    {"Escape", [](DesktopUser& d) { d.PressKey(VK_ESCAPE); }, false},
};

class EndingTest : public AppFlowTest, public ::testing::WithParamInterface<EndingCase> {};

TEST_P(EndingTest, EndsTheLauncherOrNot) {
    Start();
    WriteFile(u"Setup.ini", kGoodSetupIni);
    LookAtWindow();
    Desktop().OnIdle([this] { GetParam().act(Desktop()); });
    bool openAfterwards = false;
    Desktop().OnIdle([&] { openAfterwards = Desktop().IsWindowVisible(main_) != FALSE; });

    EXPECT_EQ(RunLauncher(), 0);

    EXPECT_EQ(openAfterwards, !GetParam().ends);
    EXPECT_EQ(Desktop().IdleExhausted(), !GetParam().ends);
    EXPECT_TRUE(Desktop().Launches().empty());
    EXPECT_TRUE(Desktop().MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Ways, EndingTest, ::testing::ValuesIn(kEndings),
                         [](const auto& info) { return std::string(info.param.name); });

// Without a setup file the message comes first, on its own; the window then shows and closes
// at once.
TEST_F(AppFlowTest, MissingSetupFileReportsBeforeTheWindowShowsThenCloses) {
    Start();
    HWND formWindowAtBox = nullptr;
    HWND applicationWindow = nullptr;
    std::vector<platform::sim::WindowSnapshot> windowsAtBox;
    // Anything the user might do is never asked for: the window is gone before.
    bool userAsked = false;
    Desktop().OnIdle([&] { userAsked = true; });
    Desktop().OnMessageBox([&](const platform::sim::MessageBoxRecord& box) {
        formWindowAtBox = MainForm->WindowHandle();
        applicationWindow = App().Handle();
        windowsAtBox = box.topLevel;
        return 0;
    });

    EXPECT_EQ(RunLauncher(), 0);

    ASSERT_EQ(Desktop().MessageBoxes().size(), 1u);
    const auto& box = Desktop().MessageBoxes().front();
    EXPECT_EQ(box.caption, u"ERROR");
    // Owned by the application's hidden window, with no window of the launcher visible.
    EXPECT_EQ(box.owner, applicationWindow);
    for (const auto& window : windowsAtBox) {
        if (window.window != box.box) {
            EXPECT_FALSE(window.visible) << Utf8(window.className) << " " << Utf8(window.text);
        }
    }
    EXPECT_FALSE(userAsked);
    // The main window exists by then, hidden like every other (the resize component takes
    // its handle once the description has been read).
    main_ = formWindowAtBox;
    ASSERT_NE(main_, nullptr);
    EXPECT_TRUE(std::any_of(windowsAtBox.begin(), windowsAtBox.end(),
                            [this](const auto& w) { return w.window == main_; }));
    // Shown, and at once hidden by the close.
    EXPECT_EQ(Showings(), (std::vector<bool>{true, false}));
}

// Install, by click or by Enter on the fresh window: the installer runs while the window is
// minimised; afterwards the window comes back and the launcher ends.
struct InstallWay {
    const char* name{};
    std::function<void(DesktopUser&)> act{};
};

void PrintTo(const InstallWay& c, std::ostream* os) {
    *os << c.name;
}

const InstallWay kInstallWays[] = {
    {"Click", [](DesktopUser& d) { d.ClickButton(MainForm->BtnInstall->Handle()); }},
    {"Enter", [](DesktopUser& d) { d.PressKey(VK_RETURN); }},
};

class InstallFlowTest : public AppFlowTest, public ::testing::WithParamInterface<InstallWay> {};

TEST_P(InstallFlowTest, RunsTheInstallerThenEnds) {
    Start();
    WriteFile(u"Setup.ini", kGoodSetupIni);
    bool minimisedDuringWait = false;
    bool visibleDuringWait = false;
    platform::sim::ProcessScript script = platform::sim::ProcessScript::Exits(0);
    script.onWait = [&] {
        minimisedDuringWait = Desktop().IsIconic(main_) != FALSE;
        visibleDuringWait = Desktop().IsWindowVisible(main_) != FALSE;
    };
    Desktop().ScriptProcess(u"Drivers\\dpinst64.exe", script);
    LookAtWindow();
    Desktop().OnIdle([this] { GetParam().act(Desktop()); });

    EXPECT_EQ(RunLauncher(), 0);

    ASSERT_EQ(Desktop().Launches().size(), 1u);
    EXPECT_TRUE(Desktop().Launches().front().waited);
    EXPECT_TRUE(minimisedDuringWait);
    EXPECT_TRUE(visibleDuringWait);
    EXPECT_FALSE(Desktop().IdleExhausted());
    EXPECT_TRUE(Desktop().MessageBoxes().empty());
    // Minimised once, restored last, brought to the front.
    std::vector<WPARAM> sizes;
    for (const auto& message : Desktop().MessagesTo(main_)) {
        if (message.message == WM_SIZE && (sizes.empty() || sizes.back() != message.sizeType)) {
            sizes.push_back(message.sizeType);
        }
    }
    EXPECT_EQ(std::count(sizes.begin(), sizes.end(), SIZE_MINIMIZED), 1);
    ASSERT_GE(sizes.size(), 2u);
    EXPECT_EQ(sizes[sizes.size() - 2], SIZE_MINIMIZED);
    EXPECT_EQ(sizes.back(), SIZE_RESTORED);
    const auto& foreground = Desktop().ForegroundRequests();
    ASSERT_FALSE(foreground.empty());
    EXPECT_EQ(foreground.back(), main_);
}

INSTANTIATE_TEST_SUITE_P(Ways, InstallFlowTest, ::testing::ValuesIn(kInstallWays),
                         [](const auto& info) { return std::string(info.param.name); });

// The layout on the window the user gets: placed inside the work area one pixel larger than
// built, every control in proportion to the client size at each density, and exactly the same
// layout again after minimise and restore.
struct ControlLayout {
    std::u16string name;
    int left = 0, top = 0, width = 0, height = 0, font = 0;
    bool operator==(const ControlLayout&) const = default;
};

void PrintTo(const ControlLayout& c, std::ostream* os) {
    *os << Utf8(c.name) << " {" << c.left << ", " << c.top << ", " << c.width << ", " << c.height
        << ", font " << c.font << "}";
}

std::vector<ControlLayout> LayoutNow() {
    std::vector<ControlLayout> layout;
    for (int i = 0; i < MainForm->ComponentCount(); ++i) {
        if (auto* c = dynamic_cast<toolkit::TControl*>(MainForm->Components(i))) {
            layout.push_back({c->Name(), c->Left(), c->Top(), c->Width(), c->Height(),
                              c->Font().Size()});
        }
    }
    return layout;
}

// The layout for a density and a client size: the window's font in points, and every control
// with its font in points (0: a control without a font of its own, whose font is not looked
// at).
struct ExpectedLayout {
    int dpi, clientWidth, clientHeight;
    int windowFont;
    ControlLayout controls[8];
};

// Worked out from the window's description and the layout rules by tests/expected_layout.py
// (`python3 tests/expected_layout.py flow`), apart from the product's code, and pasted here.
// clang-format off
const ExpectedLayout kExpectedLayouts[] = {
    {96, 395, 386, 10,
     {{u"LabelTitle", 88, 32, 266, 31, 20},
      {u"Image1", 7, 6, 26, 23, 0},
      {u"Label2", 70, 105, 293, 26, 17},
      {u"LabelType", 159, 146, 114, 29, 15},
      {u"LabelVersion", 117, 181, 172, 36, 17},
      {u"Label5", 77, 246, 242, 28, 15},
      {u"BtnInstall", 35, 303, 140, 49, 15},
      {u"BtnCancel", 224, 303, 139, 49, 15}}},
    {96, 592, 386, 10,
     {{u"LabelTitle", 132, 32, 398, 31, 20},
      {u"Image1", 11, 6, 39, 23, 0},
      {u"Label2", 105, 105, 439, 26, 17},
      {u"LabelType", 239, 146, 171, 29, 15},
      {u"LabelVersion", 176, 181, 258, 36, 17},
      {u"Label5", 116, 246, 362, 28, 15},
      {u"BtnInstall", 53, 303, 210, 49, 15},
      {u"BtnCancel", 335, 303, 209, 49, 15}}},
    {96, 300, 500, 8,
     {{u"LabelTitle", 67, 42, 202, 40, 15},
      {u"Image1", 5, 8, 20, 30, 0},
      {u"Label2", 53, 136, 222, 34, 12},
      {u"LabelType", 121, 190, 87, 38, 11},
      {u"LabelVersion", 89, 235, 131, 47, 12},
      {u"Label5", 59, 318, 184, 36, 11},
      {u"BtnInstall", 27, 392, 107, 64, 11},
      {u"BtnCancel", 170, 392, 106, 64, 11}}},
    {96, 1272, 977, 25,
     {{u"LabelTitle", 284, 81, 856, 79, 50},
      {u"Image1", 23, 15, 84, 58, 0},
      {u"Label2", 226, 266, 943, 66, 43},
      {u"LabelType", 513, 370, 368, 74, 38},
      {u"LabelVersion", 378, 459, 555, 91, 43},
      {u"Label5", 249, 622, 778, 71, 38},
      {u"BtnInstall", 113, 766, 452, 124, 38},
      {u"BtnCancel", 720, 766, 449, 124, 38}}},
    {120, 395, 386, 8,
     {{u"LabelTitle", 88, 32, 265, 31, 16},
      {u"Image1", 7, 6, 26, 23, 0},
      {u"Label2", 71, 105, 293, 26, 14},
      {u"LabelType", 160, 147, 115, 29, 12},
      {u"LabelVersion", 117, 181, 172, 36, 14},
      {u"Label5", 77, 245, 241, 28, 12},
      {u"BtnInstall", 35, 303, 140, 49, 12},
      {u"BtnCancel", 224, 303, 140, 49, 12}}},
    {120, 592, 386, 8,
     {{u"LabelTitle", 132, 32, 398, 31, 16},
      {u"Image1", 11, 6, 40, 23, 0},
      {u"Label2", 106, 105, 439, 26, 14},
      {u"LabelType", 239, 147, 172, 29, 12},
      {u"LabelVersion", 175, 181, 258, 36, 14},
      {u"Label5", 115, 245, 362, 28, 12},
      {u"BtnInstall", 53, 303, 210, 49, 12},
      {u"BtnCancel", 335, 303, 209, 49, 12}}},
    {120, 300, 500, 6,
     {{u"LabelTitle", 67, 42, 202, 41, 12},
      {u"Image1", 5, 8, 20, 30, 0},
      {u"Label2", 54, 136, 222, 34, 10},
      {u"LabelType", 121, 190, 87, 37, 9},
      {u"LabelVersion", 89, 235, 131, 47, 10},
      {u"Label5", 58, 318, 183, 36, 9},
      {u"BtnInstall", 27, 393, 107, 63, 9},
      {u"BtnCancel", 170, 393, 106, 63, 9}}},
    {120, 1272, 977, 20,
     {{u"LabelTitle", 284, 81, 855, 79, 40},
      {u"Image1", 23, 16, 85, 59, 0},
      {u"Label2", 227, 266, 943, 67, 36},
      {u"LabelType", 514, 372, 369, 73, 30},
      {u"LabelVersion", 377, 459, 555, 91, 36},
      {u"Label5", 248, 621, 777, 71, 30},
      {u"BtnInstall", 114, 767, 452, 124, 30},
      {u"BtnCancel", 721, 767, 449, 124, 30}}},
    {144, 395, 386, 7,
     {{u"LabelTitle", 88, 32, 266, 31, 14},
      {u"Image1", 7, 6, 26, 23, 0},
      {u"Label2", 70, 106, 293, 26, 12},
      {u"LabelType", 160, 146, 114, 29, 10},
      {u"LabelVersion", 118, 182, 172, 36, 12},
      {u"Label5", 78, 246, 242, 28, 10},
      {u"BtnInstall", 35, 303, 140, 49, 10},
      {u"BtnCancel", 224, 303, 140, 49, 10}}},
    {144, 592, 386, 7,
     {{u"LabelTitle", 132, 32, 399, 31, 14},
      {u"Image1", 11, 6, 39, 23, 0},
      {u"Label2", 105, 106, 439, 26, 12},
      {u"LabelType", 239, 146, 171, 29, 10},
      {u"LabelVersion", 176, 182, 258, 36, 12},
      {u"Label5", 116, 246, 363, 28, 10},
      {u"BtnInstall", 53, 303, 210, 49, 10},
      {u"BtnCancel", 336, 303, 209, 49, 10}}},
    {144, 300, 500, 6,
     {{u"LabelTitle", 67, 42, 202, 41, 10},
      {u"Image1", 6, 8, 20, 30, 0},
      {u"Label2", 53, 137, 222, 34, 9},
      {u"LabelType", 121, 190, 87, 38, 7},
      {u"LabelVersion", 89, 235, 131, 47, 9},
      {u"Label5", 59, 319, 184, 36, 7},
      {u"BtnInstall", 27, 392, 107, 64, 7},
      {u"BtnCancel", 170, 392, 106, 64, 7}}},
    {144, 1272, 977, 19,
     {{u"LabelTitle", 284, 81, 857, 80, 35},
      {u"Image1", 24, 15, 84, 59, 0},
      {u"Label2", 226, 267, 943, 66, 30},
      {u"LabelType", 514, 370, 368, 74, 25},
      {u"LabelVersion", 379, 460, 555, 91, 30},
      {u"Label5", 250, 623, 779, 71, 25},
      {u"BtnInstall", 114, 766, 452, 125, 25},
      {u"BtnCancel", 721, 766, 450, 125, 25}}},
};
// clang-format on

const ExpectedLayout* ExpectedFor(int dpi, int clientWidth, int clientHeight) {
    for (const ExpectedLayout& e : kExpectedLayouts) {
        if (e.dpi == dpi && e.clientWidth == clientWidth && e.clientHeight == clientHeight) {
            return &e;
        }
    }
    return nullptr;
}

class LayoutFlowTest : public AppFlowTest, public ::testing::WithParamInterface<int> {
protected:
    RECT Client() {
        RECT r{};
        Desktop().GetClientRect(main_, &r);
        return r;
    }
    void ExpectLayout(const char* when) {
        const RECT client = Client();
        const ExpectedLayout* expected = ExpectedFor(GetParam(), client.right, client.bottom);
        ASSERT_NE(expected, nullptr) << when << ": no layout for a " << client.right << " x "
                                     << client.bottom << " client (add it to "
                                     << "tests/expected_layout.py)";
        std::vector<ControlLayout> now = LayoutNow();
        const std::vector<ControlLayout> want(std::begin(expected->controls),
                                              std::end(expected->controls));
        for (std::size_t i = 0; i < now.size() && i < want.size(); ++i) {
            if (want[i].font == 0) {
                now[i].font = 0;
            }
        }
        EXPECT_EQ(now, want) << when;
        EXPECT_EQ(MainForm->Font().Size(), expected->windowFont) << when;
    }
};

TEST_P(LayoutFlowTest, OpensInsideTheWorkAreaAndFollowsEverySize) {
    SimConfig config = Config();
    config.dpiX = config.dpiY = GetParam();
    Start(config);
    WriteFile(u"Setup.ini", kGoodSetupIni);
    RECT opened{};
    std::vector<ControlLayout> beforeMinimise, afterRestore;
    Desktop().OnIdle([&] {
        main_ = MainForm->Handle();
        Desktop().GetWindowRect(main_, &opened);
        // Built 394 x 385 (the window's size is not adapted), shown one pixel larger.
        EXPECT_EQ(Client().right, 395);
        EXPECT_EQ(Client().bottom, 386);
        EXPECT_GE(opened.left, 0);
        EXPECT_GE(opened.top, 0);
        EXPECT_LE(opened.right, 1280);
        EXPECT_LE(opened.bottom, 1004);
        ExpectLayout("first showing");

        const RECT client = Client();
        const int frameW = (opened.right - opened.left) - client.right;
        const int frameH = (opened.bottom - opened.top) - client.bottom;
        Desktop().SetWindowPos(main_, nullptr, 10, 10, frameW + client.right * 3 / 2,
                               frameH + client.bottom, SWP_NOZORDER);
        EXPECT_EQ(Client().right, 395 * 3 / 2);
        ExpectLayout("one and a half times as wide");
        Desktop().SetWindowPos(main_, nullptr, 10, 10, frameW + 300, frameH + 500, SWP_NOZORDER);
        EXPECT_EQ(Client().right, 300);
        ExpectLayout("300 x 500");

        Desktop().ShowWindow(main_, SW_MAXIMIZE);
        POINT corners[2] = {{0, 0}, {Client().right, Client().bottom}};
        Desktop().MapWindowPoints(main_, nullptr, corners, 2);
        EXPECT_GE(corners[0].x, 0);
        EXPECT_GE(corners[0].y, 0);
        EXPECT_LE(corners[1].x, 1280) << "the maximised client lies in the work area";
        EXPECT_LE(corners[1].y, 1004);
        ExpectLayout("maximised");
        Desktop().ShowWindow(main_, SW_RESTORE);
        ExpectLayout("restored");

        beforeMinimise = LayoutNow();
        Desktop().ShowWindow(main_, SW_MINIMIZE);
        Desktop().ShowWindow(main_, SW_RESTORE);
        afterRestore = LayoutNow();
    });
    Desktop().OnIdle([this] { Desktop().ClickButton(MainForm->BtnCancel->Handle()); });

    EXPECT_EQ(RunLauncher(), 0);
    EXPECT_EQ(afterRestore, beforeMinimise);
    EXPECT_FALSE(beforeMinimise.empty());
}

TEST_P(LayoutFlowTest, TheInstallersMinimiseAndRestoreGiveBackTheLayout) {
    SimConfig config = Config();
    config.dpiX = config.dpiY = GetParam();
    Start(config);
    WriteFile(u"Setup.ini", kGoodSetupIni);
    std::vector<ControlLayout> beforeInstall, lastPass;
    Desktop().ScriptProcess(u"Drivers\\dpinst64.exe", platform::sim::ProcessScript::Exits(0));
    Desktop().OnIdle([&] {
        main_ = MainForm->Handle();
        Desktop().SetWindowPos(main_, nullptr, 20, 20, 640, 480, SWP_NOZORDER);
        beforeInstall = LayoutNow();
        MainForm->ResizeKit1->SetOnExitResize(
            [&](toolkit::TObject*, double, double) { lastPass = LayoutNow(); });
        Desktop().ClickButton(MainForm->BtnInstall->Handle());
    });

    EXPECT_EQ(RunLauncher(), 0);
    ASSERT_EQ(Desktop().Launches().size(), 1u);
    EXPECT_EQ(lastPass, beforeInstall);
}

INSTANTIATE_TEST_SUITE_P(Densities, LayoutFlowTest, ::testing::Values(96, 120, 144),
                         [](const auto& info) { return std::to_string(info.param) + "dpi"; });

// An exception that escapes start-up is shown by the exception display, and the launcher still
// ends with 0. The caption is the program file's name up to its first full stop.
struct BrokenStartCase {
    const char* name{};
    std::u16string moduleFileName{};
    std::function<std::string(std::string)> breakDescription{};
    std::u16string caption{};
    std::u16string textStart{};
};

void PrintTo(const BrokenStartCase& c, std::ostream* os) {
    *os << c.name;
}

std::string Replace(std::string text, std::string_view from, std::string_view to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) {
        text.replace(at, from.size(), to);
    }
    return text;
}

const BrokenStartCase kBrokenStarts[] = {
    {"UnknownPropertyInDescription", u"C:\\x\\SETUP.Final.EXE",
     [](std::string d) { return Replace(d, "  ClientWidth = 394\n", "  Bogus = 394\n"); }, u"Setup",
     u"line 9"},
    {"ComponentMissingFromDescription", u"C:\\x\\my.exe",
     [](std::string d) {
         return Replace(d, "object LabelTitle : TLabel", "object Other : TLabel");
     },
     u"my", u"The window's description has no LabelTitle"},
};

class BrokenStartTest : public AppFlowTest,
                        public ::testing::WithParamInterface<BrokenStartCase> {};

TEST_P(BrokenStartTest, ExceptionDisplayThenZero) {
    const BrokenStartCase& c = GetParam();
    SimConfig config = Config();
    config.moduleFileName = c.moduleFileName;
    const std::string description = c.breakDescription(MainFormDescription());
    Start(config, description);
    WriteFile(u"Setup.ini", kGoodSetupIni);

    EXPECT_EQ(RunLauncher(), 0);

    ASSERT_EQ(Desktop().MessageBoxes().size(), 1u);
    const auto& box = Desktop().MessageBoxes().front();
    EXPECT_EQ(box.caption, c.caption);
    EXPECT_EQ(box.type & 0xF0u, MB_ICONERROR);
    EXPECT_TRUE(box.text.starts_with(c.textStart)) << Utf8(box.text);
    EXPECT_TRUE(box.text.ends_with(u".")) << Utf8(box.text);
    EXPECT_TRUE(Desktop().Ledger().Outstanding(HandleKind::File).empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, BrokenStartTest, ::testing::ValuesIn(kBrokenStarts),
                         [](const auto& info) { return std::string(info.param.name); });

// Before anything can load a library on the launcher's behalf: the DLL search is narrowed to
// the system folder (or, where that call is missing, the current directory leaves it), the
// search path made safe, and heap corruption made fatal. Nothing goes to the system first.
struct HardeningCase {
    const char* name{};
    bool hasDefaultDllDirectories{};
    bool hasSearchPathMode{};
    std::vector<std::string> firstCalls{};
    std::optional<platform::DWORD> dllDirectories{};
    std::optional<std::u16string> dllDirectory{};
    std::optional<platform::DWORD> searchPathMode{};
};

void PrintTo(const HardeningCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr platform::DWORD kSafeSearch =
    BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE | BASE_SEARCH_PATH_PERMANENT;

const HardeningCase kHardenings[] = {
    {"Current", true, true,
     {"SetDefaultDllDirectories", "SetSearchPathMode", "HeapSetInformation"},
     LOAD_LIBRARY_SEARCH_SYSTEM32, std::nullopt, kSafeSearch},
    {"NoDefaultDllDirectories", false, true,
     {"SetDefaultDllDirectories", "SetDllDirectoryW", "SetSearchPathMode", "HeapSetInformation"},
     std::nullopt, u"", kSafeSearch},
    {"NeitherNewCall", false, false,
     {"SetDefaultDllDirectories", "SetDllDirectoryW", "SetSearchPathMode", "HeapSetInformation"},
     std::nullopt, u"", std::nullopt},
};

class HardeningTest : public AppFlowTest, public ::testing::WithParamInterface<HardeningCase> {};

TEST_P(HardeningTest, ComesBeforeEverythingElse) {
    const HardeningCase& c = GetParam();
    SimConfig config = Config();
    config.hasSetDefaultDllDirectories = c.hasDefaultDllDirectories;
    config.hasSetSearchPathMode = c.hasSearchPathMode;
    Start(config);
    WriteFile(u"Setup.ini", kGoodSetupIni);
    LookAtWindow();
    Desktop().OnIdle([this] { Desktop().ClickButton(MainForm->BtnCancel->Handle()); });
    RecordingApi recorder(Desktop());
    platform::ScopedApi recording(recorder);

    EXPECT_EQ(RunLauncher(), 0);

    const std::vector<std::string>& calls = recorder.Calls();
    ASSERT_GT(calls.size(), c.firstCalls.size());
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + c.firstCalls.size()),
              c.firstCalls);
    // None of them again later.
    for (std::size_t i = c.firstCalls.size(); i < calls.size(); ++i) {
        EXPECT_EQ(std::count(c.firstCalls.begin(), c.firstCalls.end(), calls[i]), 0) << calls[i];
    }
    const platform::sim::ProcessSettings& settings = Desktop().Settings();
    EXPECT_EQ(settings.defaultDllDirectories, c.dllDirectories);
    EXPECT_EQ(settings.dllDirectory, c.dllDirectory);
    EXPECT_EQ(settings.searchPathMode, c.searchPathMode);
    EXPECT_TRUE(settings.heapTerminationOnCorruption);
    // The launcher carries on as ever.
    EXPECT_TRUE(seen_.visible);
    EXPECT_EQ(seen_.caption, u"Setup (1.0.3)");
}

INSTANTIATE_TEST_SUITE_P(Cases, HardeningTest, ::testing::ValuesIn(kHardenings),
                         [](const auto& info) { return std::string(info.param.name); });

// The example files that the release ZIP gives package authors open the window with their
// values, each on the system it is written for.
struct ReleaseExampleCase {
    const char* name{};
    const char* file{};
    platform::LCID locale{};
    platform::UINT codePage{};
    std::u16string title{};
    std::u16string install{};
};

void PrintTo(const ReleaseExampleCase& c, std::ostream* os) {
    *os << c.name;
}

const ReleaseExampleCase kReleaseExamples[] = {
    {"English", "English/Setup.ini", 1033, 1252, u"Example USB Driver", u"Install"},
    {"Japanese", "Japanese/Setup.ini", 1041, 932, u"サンプル USB ドライバ", u"インストール"},
};

class ReleaseExampleTest : public AppFlowTest,
                           public ::testing::WithParamInterface<ReleaseExampleCase> {};

TEST_P(ReleaseExampleTest, OpensWithItsValues) {
    const ReleaseExampleCase& c = GetParam();
    std::ifstream file(std::string(SETUP_RESOURCE_DIR) + "/../examples/release/" + c.file,
                       std::ios::binary);
    ASSERT_TRUE(file) << c.file;
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    Start(Config(c.locale, c.codePage));
    WriteFile(u"Setup.ini", bytes);
    LookAtWindow();
    Desktop().OnIdle([this] { Desktop().ClickButton(MainForm->BtnCancel->Handle()); });

    EXPECT_EQ(RunLauncher(), 0);

    EXPECT_TRUE(Desktop().MessageBoxes().empty());
    EXPECT_TRUE(seen_.visible);
    EXPECT_EQ(seen_.labels,
              (std::vector<std::u16string>{c.title, u"USB DRIVER SOFTWARE", u"TYPE-4",
                                           u"Ver.3.10.02", u"( for Windows 32bit/64bit )"}));
    EXPECT_EQ(seen_.install, c.install);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReleaseExampleTest, ::testing::ValuesIn(kReleaseExamples),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace launcher_test
