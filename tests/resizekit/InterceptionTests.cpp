// The message interception on both routes: the five rows and their gates as the window sees
// them, the Enabled gate, other windows, and what happens around minimising and maximising.
#include "KitTestSupport.h"

#include "toolkit/Controls.h"

#include <algorithm>
#include <map>
#include <vector>

namespace kit_test {
namespace {

using Access = TResizeKitTestAccess;
using platform::HWND;
using platform::MINMAXINFO;
using platform::RECT;
using platform::sim::MessageRecord;
using toolkit::TControl;

enum class Route { Subclass, Hook };

struct RouteCase {
    const char* what;
    Route route;
    platform::DWORD version;
};

const RouteCase kSubclass{"subclass", Route::Subclass, 0x1DB10106}; // 6.1
const RouteCase kHook{"hook", Route::Hook, 0x00000004};             // 4.0
const RouteCase kSubclass510{"subclass510", Route::Subclass, 0x00000A05};
const RouteCase kHook410{"hook410", Route::Hook, 0x00000A04};

using Layout = Geometry;

class InterceptionTest : public KitTest, public ::testing::WithParamInterface<RouteCase> {
protected:
    InterceptionTest() : KitTest(WithVersion(GetParam().version)) {}

    void Load(const std::string& kitProperties = "") {
        KitTest::Load(FormText(Label("A", 88, 32, 265, 31, 20) + Label("C", 0, 302, 140, 49, 15) +
                                   "  object B : TLabel {\n    Left = 7\n    Top = 6\n"
                                   "    Width = 26\n    Height = 23\n    ParentFont = true\n  }\n",
                               kitProperties));
        if (GetParam().route == Route::Hook) {
            ASSERT_EQ(Kit().PrevWndProc(), nullptr);
            ASSERT_NE(resizekit::CallWndHook, nullptr);
        } else {
            ASSERT_NE(Kit().PrevWndProc(), nullptr);
        }
    }
    std::map<std::u16string, Layout> Controls() {
        std::map<std::u16string, Layout> layout;
        for (const char16_t* name : {u"A", u"B", u"C"}) {
            layout[name] = kit_test::Of(Control(name));
        }
        return layout;
    }
    Layout Of(const char16_t* name) { return Controls()[name]; }
    // The messages the window received from `from` on.
    std::vector<MessageRecord> Received(std::size_t from = 0) {
        std::vector<MessageRecord> out;
        const auto& all = desktop_.Messages();
        for (std::size_t i = from; i < all.size(); ++i) {
            if (all[i].window == Window()) {
                out.push_back(all[i]);
            }
        }
        return out;
    }
    void SendSize(int w, int h, platform::WPARAM type = platform::SIZE_RESTORED) {
        desktop_.SendMessageW(Window(), platform::WM_SIZE, type,
                              platform::MAKELPARAM(static_cast<platform::WORD>(w),
                                                   static_cast<platform::WORD>(h)));
    }
};

TEST_P(InterceptionTest, FirstShowingGrowsByOnePixelAndTheNestedSizeRescales) {
    Load();
    const RECT before = WindowRect();
    bool resizedInHandler = false;
    Kit().SetOnExitResize([&](toolkit::TObject*, double, double) {
        if (!Kit().IsResized()) {
            resizedInHandler = true; // the first pass reports before it ends
        }
    });
    desktop_.ClearMessages();
    form_->Show();
    const RECT after = WindowRect();
    EXPECT_EQ(after.right - after.left, before.right - before.left + 1);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top + 1);
    EXPECT_TRUE(Kit().IsResized());
    EXPECT_TRUE(resizedInHandler);
    // The WM_SIZE came inside the WM_SHOWWINDOW's handling, and the pass used its size.
    const auto got = Received();
    std::size_t show = got.size();
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (got[i].message == platform::WM_SHOWWINDOW && got[i].show) {
            show = i;
            break;
        }
    }
    ASSERT_LT(show, got.size());
    bool nested = false;
    for (std::size_t i = show + 1; i < got.size(); ++i) {
        if (got[i].message == platform::WM_SIZE && got[i].depth > got[show].depth) {
            nested = true;
            EXPECT_EQ(got[i].clientWidth, 395);
            EXPECT_EQ(got[i].clientHeight, 386);
        }
    }
    EXPECT_TRUE(nested);
    EXPECT_EQ(Of(u"A"), (Layout{88, 32, 266, 31, 20})) << "265 x 395 / 394 = 265.67";

    // Showing again, once rescaled, places nothing.
    form_->Hide();
    const RECT shown = WindowRect();
    form_->Show();
    const RECT again = WindowRect();
    EXPECT_EQ(again.right - again.left, shown.right - shown.left);
}

TEST_P(InterceptionTest, GatesOfTheShowingAndSizeRows) {
    Load();
    const auto layout = Controls();
    const RECT before = WindowRect();
    // A hiding WM_SHOWWINDOW places nothing, nor does one whose low byte is not 1, nor does
    // a minimising WM_SIZE rescale.
    desktop_.SendMessageW(Window(), platform::WM_SHOWWINDOW, 0, 0);
    desktop_.SendMessageW(Window(), platform::WM_SHOWWINDOW, 2, 0);
    EXPECT_EQ(resizekit::LastScreenWidth, 0) << "no first-show placement";
    SendSize(591, 385, platform::SIZE_MINIMIZED);
    EXPECT_EQ(Controls(), layout);
    EXPECT_FALSE(Kit().IsResized());
    EXPECT_EQ(WindowRect().right, before.right);
    // Every other size type rescales with the two 16-bit halves.
    SendSize(591, 385, platform::SIZE_MAXIMIZED);
    EXPECT_EQ(Of(u"A"), (Layout{132, 32, 398, 31, 20}));
    SendSize(394, 385);
    EXPECT_EQ(Controls()[u"A"], layout.at(u"A"));
    EXPECT_EQ(Of(u"C"), (Layout{1, 302, 140, 49, 15})) << "a left of 0 becomes 1";
    // Once rescaled, showing no longer places.
    const RECT rescaled = WindowRect();
    desktop_.SendMessageW(Window(), platform::WM_SHOWWINDOW, 1, 0);
    EXPECT_EQ(WindowRect().right, rescaled.right);
}

TEST_P(InterceptionTest, MinimiseThenRestoreGivesBackEveryControlExactly) {
    Load();
    form_->Show();
    desktop_.SetWindowPos(Window(), nullptr, 50, 60, 700, 333, 0);
    const auto layout = Controls();
    const RECT client = ClientRect();
    ASSERT_NE(Of(u"A"), (Layout{88, 32, 265, 31, 20})) << "the layout is a scaled one";

    ASSERT_TRUE(desktop_.Minimize(Window()));
    EXPECT_NE(desktop_.IsIconic(Window()), platform::FALSE);
    EXPECT_EQ(Controls(), layout) << "the minimising size change passes untouched";
    // While minimised the size question reaches the window unchanged.
    MINMAXINFO m{};
    m.ptMaxSize = {5000, 5000};
    desktop_.SendMessageW(Window(), platform::WM_GETMINMAXINFO, 0,
                          reinterpret_cast<platform::LPARAM>(&m));
    EXPECT_EQ(m.ptMaxSize.x, 5000);

    ASSERT_TRUE(desktop_.Restore(Window()));
    EXPECT_EQ(ClientRect().right, client.right);
    EXPECT_EQ(Controls(), layout);
}

TEST_P(InterceptionTest, MaximisingStaysInTheWorkAreaAndRescalesToTheMaximisedClient) {
    Load();
    form_->Show();
    ASSERT_TRUE(desktop_.Maximize(Window()));
    const RECT r = WindowRect();
    // Work area 1280 x 1004; the frame may hang off the edges as on Windows.
    EXPECT_EQ(r.right - r.left, 1280);
    EXPECT_EQ(r.bottom - r.top, 1004);
    // The maximised client is 1272 x 977: r(265 x 1272 / 394) = r(855.53), r(32 x 977 / 385)
    // = r(81.2).
    const RECT client = ClientRect();
    EXPECT_EQ(client.right, 1272);
    EXPECT_EQ(client.bottom, 977);
    EXPECT_EQ(Of(u"A").width, 856);
    EXPECT_EQ(Of(u"A").top, 81);
    ASSERT_TRUE(desktop_.Restore(Window()));
}

TEST_P(InterceptionTest, LimitsHoldForMaximiseAndDrag) {
    Load("    FormMaxWidth = 800\n    FormMaxHeight = 600\n    FormMinWidth = 300\n"
         "    FormMinHeight = 200\n");
    form_->Show();
    RECT drag = WindowRect();
    drag.right = drag.left + 100;
    drag.bottom = drag.top + 100;
    ASSERT_TRUE(desktop_.DragBorder(Window(), platform::WMSZ_BOTTOMRIGHT, drag));
    RECT r = WindowRect();
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(r.bottom - r.top, 200);

    ASSERT_TRUE(desktop_.Maximize(Window()));
    r = WindowRect();
    EXPECT_EQ(r.right - r.left, 800);
    EXPECT_EQ(r.bottom - r.top, 600);
    EXPECT_GE(r.left, 0);
    EXPECT_LE(r.bottom, 1004);
}

TEST_P(InterceptionTest, DisabledTheWindowBehavesAsWithoutTheComponent) {
    Load();
    const auto layout = Controls();
    Kit().SetEnabled(false);
    form_->Show();
    SendSize(591, 385);
    EXPECT_EQ(Controls(), layout);
    EXPECT_FALSE(Kit().IsResized());
    MINMAXINFO m{};
    m.ptMaxSize = {5000, 5000};
    desktop_.SendMessageW(Window(), platform::WM_GETMINMAXINFO, 0,
                          reinterpret_cast<platform::LPARAM>(&m));
    EXPECT_EQ(m.ptMaxSize.x, 5000);
    // The window's own handling still runs.
    desktop_.SendMessageW(Window(), platform::WM_SETTEXT, 0,
                          reinterpret_cast<platform::LPARAM>(u"still here"));
    EXPECT_EQ(desktop_.TextOf(Window()), u"still here");
}

TEST_P(InterceptionTest, MessagesForOtherWindowsAreLeftAlone) {
    Load();
    TKitForm other(nullptr);
    other.SetBounds(0, 0, 300, 200);
    const auto layout = Controls();
    desktop_.SendMessageW(other.Handle(), platform::WM_SIZE, 0, platform::MAKELPARAM(591, 385));
    MINMAXINFO m{};
    m.ptMaxSize = {5000, 5000};
    desktop_.SendMessageW(other.Handle(), platform::WM_GETMINMAXINFO, 0,
                          reinterpret_cast<platform::LPARAM>(&m));
    EXPECT_EQ(m.ptMaxSize.x, 5000);
    EXPECT_EQ(Controls(), layout);
    EXPECT_FALSE(Kit().IsResized());
}

TEST_P(InterceptionTest, AWindowWhoseComponentIsNotRegisteredIsNotHandled) {
    Load();
    auto& list = resizekit::ResizeKitList;
    auto entry = std::find(list.begin(), list.end(), Kit().SelfPointer());
    ASSERT_NE(entry, list.end());
    list.erase(entry); // as before loading has ended, or after the component has gone
    const auto layout = Controls();
    SendSize(591, 385);
    EXPECT_EQ(Controls(), layout);
    desktop_.SendMessageW(Window(), platform::WM_SETTEXT, 0,
                          reinterpret_cast<platform::LPARAM>(u"changed"));
    if (GetParam().route == Route::Subclass) {
        // The previous procedure is known only through the component: nothing reaches it.
        EXPECT_NE(desktop_.TextOf(Window()), u"changed");
    } else {
        EXPECT_EQ(desktop_.TextOf(Window()), u"changed");
    }
    list.push_back(Kit().SelfPointer());
}

TEST_P(InterceptionTest, AFailingHandlerIsShownAndTheWindowStillGetsItsMessage) {
    Load();
    Kit().SetOnExitResize([](toolkit::TObject*, double, double) {
        throw toolkit::EInvalidOperation(u"handler failed");
    });
    SendSize(591, 385);
    ASSERT_EQ(desktop_.MessageBoxes().size(), 1u);
    EXPECT_NE(desktop_.MessageBoxes()[0].text.find(u"handler failed"), std::u16string::npos);
    EXPECT_EQ(Of(u"A").left, 132) << "the pass itself had run";
    desktop_.SendMessageW(Window(), platform::WM_SETTEXT, 0,
                          reinterpret_cast<platform::LPARAM>(u"after"));
    EXPECT_EQ(desktop_.TextOf(Window()), u"after");
}

// The window's own procedure as the component finds it when it takes over; counts what
// reaches it.
platform::WNDPROC ownProcedure = nullptr;
std::vector<platform::UINT> reachedOwn;
platform::LRESULT PLATFORM_CALLBACK RecordingProcedure(HWND window, platform::UINT message,
                                                       platform::WPARAM wParam,
                                                       platform::LPARAM lParam) noexcept {
    reachedOwn.push_back(message);
    return platform::Os().CallWindowProcW(ownProcedure, window, message, wParam, lParam);
}

TEST_P(InterceptionTest, AHandlerThatDisablesTheComponentStillLetsTheSizeThrough) {
    Load();
    Kit().SetEnabled(false);
    ownProcedure = reinterpret_cast<platform::WNDPROC>(
        desktop_.SetWindowLongPtrW(Window(), platform::GWLP_WNDPROC,
                                   reinterpret_cast<platform::LONG_PTR>(&RecordingProcedure)));
    Kit().SetEnabled(true);
    // Disabling puts the window's procedure back in the middle of the message.
    Kit().SetOnExitResize([this](toolkit::TObject*, double, double) { Kit().SetEnabled(false); });
    reachedOwn.clear();
    SendSize(591, 385);
    EXPECT_FALSE(Kit().Enabled());
    EXPECT_EQ(Of(u"A").left, 132) << "the pass ran";
    EXPECT_EQ(std::count(reachedOwn.begin(), reachedOwn.end(), platform::WM_SIZE), 1);
    desktop_.SetWindowLongPtrW(Window(), platform::GWLP_WNDPROC,
                               reinterpret_cast<platform::LONG_PTR>(ownProcedure));
}

TEST_P(InterceptionTest, MessagesBeforeLoadingEndedAreNotHandled) {
    // The stored FormPos moves the window while the description is read; the size questions
    // of that move come before the component is registered and are answered by the platform.
    Load("    FormPos = rpBottomRight\n");
    int questions = 0;
    for (const MessageRecord& m : Received()) {
        if (m.message == platform::WM_GETMINMAXINFO && m.minMaxBefore && m.minMaxAfter) {
            ++questions;
            EXPECT_EQ(m.minMaxAfter->ptMaxSize.x, m.minMaxBefore->ptMaxSize.x);
            EXPECT_EQ(m.minMaxAfter->ptMaxTrackSize.y, m.minMaxBefore->ptMaxTrackSize.y);
        }
    }
    EXPECT_GT(questions, 0);
    EXPECT_EQ(WindowRect().bottom, 1004) << "placed all the same";
    // Once loaded, the same question is answered from the work area.
    MINMAXINFO m{};
    m.ptMaxSize = {5000, 5000};
    desktop_.SendMessageW(Window(), platform::WM_GETMINMAXINFO, 0,
                          reinterpret_cast<platform::LPARAM>(&m));
    EXPECT_EQ(m.ptMaxSize.x, 1280);
}

INSTANTIATE_TEST_SUITE_P(Routes, InterceptionTest, ::testing::Values(kSubclass, kHook),
                         [](const auto& info) { return std::string(info.param.what); });

// ---- The screen-change row needs minor version 10 -----------------------------------------------

class ScreenChangeTest : public InterceptionTest {};

TEST_P(ScreenChangeTest, AFramePaintAfterAScreenChangeRefitsOnlyOnMinorVersion10) {
    Load();
    form_->Show();
    desktop_.SetWindowPos(Window(), nullptr, 600, 500, 500, 400, 0);
    desktop_.SetScreenSize(800, 600); // WM_DISPLAYCHANGE, then WM_NCPAINT
    const RECT r = WindowRect();
    if (resizekit::OsMinorVersion == 10) {
        // 501 x 401 pulled into the 800 x 580 work area.
        EXPECT_EQ(r.left, 299);
        EXPECT_EQ(r.top, 179);
        EXPECT_EQ(r.right - r.left, 501);
        EXPECT_EQ(r.bottom - r.top, 401);
        EXPECT_EQ(resizekit::LastScreenWidth, 800);
    } else {
        EXPECT_EQ(r.left, 600);
        EXPECT_EQ(r.right - r.left, 500);
    }
}

TEST_P(ScreenChangeTest, NoRefitBeforeTheFirstRescale) {
    Load();
    Kit().SetEnabled(false); // shown and moved without a rescale
    form_->Show();
    desktop_.SetWindowPos(Window(), nullptr, 600, 500, 500, 400, 0);
    Kit().SetEnabled(true);
    ASSERT_FALSE(Kit().IsResized());
    desktop_.SetScreenSize(800, 600);
    EXPECT_EQ(WindowRect().left, 600);
}

TEST_P(ScreenChangeTest, NeitherShowingNorFramePaintActsWhileMinimised) {
    Load();
    Kit().SetEnabled(false);
    desktop_.ShowWindow(Window(), platform::SW_SHOWMINIMIZED);
    Kit().SetEnabled(true);
    desktop_.SendMessageW(Window(), platform::WM_SHOWWINDOW, 1, 0);
    EXPECT_EQ(resizekit::LastScreenWidth, 0) << "no first-show placement while minimised";
    Access::SetIsResized(Kit(), true);
    resizekit::LastScreenWidth = 1280;
    resizekit::LastScreenHeight = 1024;
    desktop_.SetScreenSize(800, 600);
    desktop_.SendMessageW(Window(), platform::WM_NCPAINT, 1, 0);
    EXPECT_EQ(resizekit::LastScreenWidth, 1280) << "no refit while minimised";
}

INSTANTIATE_TEST_SUITE_P(Versions, ScreenChangeTest,
                         ::testing::Values(kSubclass, kHook, kSubclass510, kHook410),
                         [](const auto& info) { return std::string(info.param.what); });

// ---- The hook route alone ------------------------------------------------------------------------

int earlierHookCalls = 0;
platform::LRESULT PLATFORM_CALLBACK EarlierHook(int code, platform::WPARAM wParam,
                                                platform::LPARAM lParam) noexcept {
    ++earlierHookCalls;
    return platform::Os().CallNextHookEx(nullptr, code, wParam, lParam);
}

class HookRouteTest : public KitTest {
protected:
    HookRouteTest() : KitTest(WithVersion(0x00000004)) {}
};

TEST_F(HookRouteTest, HooksInstalledEarlierDoNotSeeTheThreadsMessages) {
    platform::HHOOK earlier = desktop_.SetWindowsHookExW(platform::WH_CALLWNDPROC, &EarlierHook,
                                                         nullptr, desktop_.GetCurrentThreadId());
    ASSERT_NE(earlier, nullptr);
    earlierHookCalls = 0;
    Load(FormText(Label("A", 88, 32, 265, 31)));
    earlierHookCalls = 0;
    TKitForm other(nullptr);
    other.SetBounds(0, 0, 300, 200);
    desktop_.SendMessageW(other.Handle(), platform::WM_SIZE, 0, platform::MAKELPARAM(10, 10));
    desktop_.SendMessageW(Window(), platform::WM_SIZE, 0, platform::MAKELPARAM(591, 385));
    EXPECT_EQ(Control(u"A").Left(), 132);
    EXPECT_EQ(earlierHookCalls, 0);
    desktop_.UnhookWindowsHookEx(earlier);
}

TEST_F(HookRouteTest, AnyOtherCodeReturnsZeroWithoutWork) {
    Load(FormText(Label("A", 88, 32, 265, 31)));
    platform::CWPSTRUCT cwp{platform::MAKELPARAM(591, 385), 0, platform::WM_SIZE, Window()};
    EXPECT_EQ(ResizeKitHookProc(1, 0, reinterpret_cast<platform::LPARAM>(&cwp)), 0);
    EXPECT_EQ(Control(u"A").Left(), 88);
    cwp.hwnd = nullptr;
    EXPECT_EQ(ResizeKitHookProc(platform::HC_ACTION, 0, reinterpret_cast<platform::LPARAM>(&cwp)),
              0);
    EXPECT_EQ(Control(u"A").Left(), 88);
    EXPECT_EQ(ResizeKitHookProc(platform::HC_ACTION, 0, 0), 0) << "no record at all";
}

} // namespace
} // namespace kit_test
