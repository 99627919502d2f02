// Sending through hooks and replaced procedures, the message loop with idle actions, dialog
// keys, message boxes and the user's actions.
#include "Sequences.h"

#include <stdexcept>
#include <string>

namespace simtest {
namespace {

std::vector<std::string> calls;
bool secondHookPassesOn = true;
WNDPROC previousProcedure = nullptr;

LRESULT PLATFORM_CALLBACK FirstHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (cwp->message == WM_USER) {
        calls.push_back("first hook");
    }
    if (cwp->message == WM_GETMINMAXINFO) {
        // What a hook changes in the record is what the window receives.
        reinterpret_cast<MINMAXINFO*>(cwp->lParam)->ptMaxTrackSize = POINT{250, 200};
    }
    return Os().CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT PLATFORM_CALLBACK SecondHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (cwp->message == WM_USER) {
        calls.push_back("second hook " + std::to_string(cwp->wParam));
    }
    return secondHookPassesOn ? Os().CallNextHookEx(nullptr, code, wParam, lParam) : 0;
}

LRESULT PLATFORM_CALLBACK Replacement(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) {
        calls.push_back("replacement");
    }
    return Os().CallWindowProcW(previousProcedure, window, message, wParam, lParam);
}

class MessageTest : public SimTest {
protected:
    MessageTest() {
        calls.clear();
        secondHookPassesOn = true;
        CurrentBehaviour() = [](HWND, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
            if (m == WM_USER) {
                calls.push_back("procedure " + std::to_string(w));
                return 7;
            }
            return std::nullopt;
        };
    }
};

TEST_F(MessageTest, HooksSeeASentMessageBeforeTheProcedureMostRecentFirst) {
    HWND top = CreateTopLevel();
    const DWORD thread = Desk().GetCurrentThreadId();
    HHOOK first = Desk().SetWindowsHookExW(WH_CALLWNDPROC, FirstHook, nullptr, thread);
    HHOOK second = Desk().SetWindowsHookExW(WH_CALLWNDPROC, SecondHook, nullptr, thread);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);

    EXPECT_EQ(Desk().SendMessageW(top, WM_USER, 3, 0), 7);
    EXPECT_EQ(calls, (std::vector<std::string>{"second hook 3", "first hook", "procedure 3"}));

    // A hook that does not call the next one keeps it from the earlier hooks, not from the window.
    calls.clear();
    secondHookPassesOn = false;
    Desk().SendMessageW(top, WM_USER, 4, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"second hook 4", "procedure 4"}));

    // The hook's change to the record reaches the window's own handling.
    secondHookPassesOn = true;
    Desk().MoveWindow(top, 0, 0, 600, 600, TRUE);
    RECT r{};
    Desk().GetWindowRect(top, &r);
    EXPECT_EQ(Edges(r), Edges(Rect(0, 0, 250, 200)));

    EXPECT_TRUE(Desk().UnhookWindowsHookEx(second));
    EXPECT_TRUE(Desk().UnhookWindowsHookEx(first));
    calls.clear();
    Desk().SendMessageW(top, WM_USER, 5, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"procedure 5"}));
    EXPECT_TRUE(Desk().Ledger().Outstanding(sim::HandleKind::Hook).empty());
    EXPECT_FALSE(Desk().UnhookWindowsHookEx(first));
    EXPECT_EQ(Desk().Ledger().Faults().at(0).kind, sim::FaultKind::DoubleRelease);
}

TEST_F(MessageTest, AReplacedProcedureChainsToThePreviousOneAfterTheHooks) {
    HWND top = CreateTopLevel();
    previousProcedure = reinterpret_cast<WNDPROC>(
        Desk().SetWindowLongPtrW(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Replacement)));
    ASSERT_EQ(previousProcedure, &TestProcedure);
    HHOOK hook =
        Desk().SetWindowsHookExW(WH_CALLWNDPROC, SecondHook, nullptr, Desk().GetCurrentThreadId());
    EXPECT_EQ(Desk().SendMessageW(top, WM_USER, 1, 0), 7);
    EXPECT_EQ(calls, (std::vector<std::string>{"second hook 1", "replacement", "procedure 1"}));
    Desk().UnhookWindowsHookEx(hook);
}

TEST_F(MessageTest, SendingIsSynchronousAndReentrant) {
    HWND top = CreateTopLevel(kOverlappedWindow | WS_VISIBLE);
    CurrentBehaviour() = [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_USER) {
            // A move inside the handling brings its own messages before this one returns.
            Desk().MoveWindow(h, 0, 0, 300, 200, TRUE);
            return Desk().SendMessageW(h, WM_USER + 1, 0, 0) + 1;
        }
        if (m == WM_USER + 1) {
            return 5;
        }
        return std::nullopt;
    };
    Desk().ClearMessages();
    EXPECT_EQ(Desk().SendMessageW(top, WM_USER, 0, 0), 6);
    auto outer = Records(top, WM_USER).at(0);
    auto inner = Records(top, WM_USER + 1).at(0);
    auto size = Records(top, WM_SIZE).at(0);
    EXPECT_EQ(outer.depth, 0);
    EXPECT_EQ(outer.result, 6);
    EXPECT_EQ(inner.depth, 1);
    EXPECT_GE(size.depth, 1);
    EXPECT_LT(outer.sequence, size.sequence);
    EXPECT_LT(size.sequence, inner.sequence);
}

TEST_F(MessageTest, QuitComesOnceThePostedMessagesAreDelivered) {
    HWND top = CreateTopLevel();
    std::vector<UINT> delivered;
    CurrentBehaviour() = [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m >= WM_USER) {
            delivered.push_back(m);
        }
        return std::nullopt;
    };
    Desk().PostMessageW(top, WM_USER + 1, 0, 0);
    Desk().PostMessageW(top, WM_USER + 2, 0, 0);
    Desk().PostQuitMessage(3);
    Desk().PostMessageW(top, WM_USER + 3, 0, 0);
    EXPECT_EQ(RunLoop(), 3);
    EXPECT_EQ(delivered, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3}));
    EXPECT_FALSE(Desk().IdleExhausted());
}

TEST_F(MessageTest, IdleActionsRunInOrderWhenTheQueueIsEmptyThenTheLoopEnds) {
    HWND top = CreateTopLevel(kOverlappedWindow | WS_VISIBLE);
    std::vector<std::string> events;
    CurrentBehaviour() = [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_PAINT) {
            events.push_back("paint");
        } else if (m == WM_USER) {
            events.push_back("posted");
        }
        return std::nullopt;
    };
    Desk().OnIdle([&] {
        events.push_back("first idle");
        Desk().PostMessageW(top, WM_USER, 0, 0);
    });
    Desk().OnIdle([&] { events.push_back("second idle"); });
    EXPECT_EQ(RunLoop(), 0);
    // Painting comes before the idle actions, a message they post before the next one.
    EXPECT_EQ(events, (std::vector<std::string>{"paint", "first idle", "posted", "second idle"}));
    EXPECT_TRUE(Desk().IdleExhausted());
    EXPECT_EQ(Desk().PendingIdleActions(), 0u);
}

// A form with two push buttons (one owner-drawn and the default), a label and a disabled button.
class DialogKeyTest : public SimTest {
protected:
    void SetUp() override {
        CurrentBehaviour() = [this](HWND h, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
            if (h != form) {
                return std::nullopt;
            }
            if (m == DM_GETDEFID) {
                return MAKELPARAM(11, DC_HASDEFID);
            }
            if (m == WM_COMMAND) {
                commands.emplace_back(LOWORD(w), reinterpret_cast<HWND>(l));
                return 0;
            }
            if (m == WM_DESTROY) {
                Os().PostQuitMessage(0);
            }
            return std::nullopt;
        };
        form = CreateTopLevel(kOverlappedWindow | WS_VISIBLE);
        push = CreateChild(form, u"BUTTON", 10, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON);
        ownerDrawn = CreateChild(form, u"BUTTON", 11, WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW);
        label = CreateChild(form, u"STATIC", 12, WS_VISIBLE);
        disabled = CreateChild(form, u"BUTTON", 13, WS_VISIBLE | WS_TABSTOP | WS_DISABLED);
    }

public:
    HWND form = nullptr, push = nullptr, ownerDrawn = nullptr, label = nullptr, disabled = nullptr;
    std::vector<std::pair<WORD, HWND>> commands;
};

TEST_F(DialogKeyTest, EnterEscapeAndTabAreHandledByIsDialogMessage) {
    struct Case {
        const char* name;
        HWND DialogKeyTest::*focus;
        WPARAM key;
        bool shift;
        std::vector<std::pair<WORD, HWND DialogKeyTest::*>> commands; // expected id and lParam
        HWND DialogKeyTest::*focusAfter;
    };
    const Case cases[] = {
        {"Enter on a push button presses it",
         &DialogKeyTest::push,
         VK_RETURN,
         false,
         {{10, &DialogKeyTest::push}},
         &DialogKeyTest::push},
        {"Enter on an owner-drawn button presses the default",
         &DialogKeyTest::ownerDrawn,
         VK_RETURN,
         false,
         {{11, &DialogKeyTest::ownerDrawn}},
         &DialogKeyTest::ownerDrawn},
        {"Enter on a label presses the default",
         &DialogKeyTest::label,
         VK_RETURN,
         false,
         {{11, &DialogKeyTest::ownerDrawn}},
         &DialogKeyTest::label},
        {"Escape is IDCANCEL to the form",
         &DialogKeyTest::push,
         VK_ESCAPE,
         false,
         {{IDCANCEL, nullptr}},
         &DialogKeyTest::push},
        {"Tab moves to the next tab stop",
         &DialogKeyTest::push,
         VK_TAB,
         false,
         {},
         &DialogKeyTest::ownerDrawn},
        {"Tab skips the label and the disabled button and wraps",
         &DialogKeyTest::ownerDrawn,
         VK_TAB,
         false,
         {},
         &DialogKeyTest::push},
        {"Shift+Tab goes back", &DialogKeyTest::push, VK_TAB, true, {}, &DialogKeyTest::ownerDrawn},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        commands.clear();
        Desk().SetFocus(this->*c.focus);
        Desk().PressKey(c.key, false, c.shift);
        RunLoop(form);
        std::vector<std::pair<WORD, HWND>> expected;
        for (const auto& [id, who] : c.commands) {
            expected.emplace_back(id, who == nullptr ? nullptr : this->*who);
        }
        EXPECT_EQ(commands, expected);
        EXPECT_EQ(Desk().GetFocus(), this->*c.focusAfter);
    }
}

TEST_F(DialogKeyTest, AltF4ClosesTheTopLevelWindowThroughDefWindowProc) {
    Desk().SetFocus(push);
    Desk().PressKey(VK_F4, true);
    RunLoop(form);
    EXPECT_FALSE(Desk().IsWindow(form));
    EXPECT_FALSE(Desk().IdleExhausted()); // the window's own PostQuitMessage ended the loop
    EXPECT_TRUE(commands.empty());
    bool closeSeen = false;
    for (const auto& r : Desk().Messages()) {
        if (r.window == form && r.message == WM_SYSCOMMAND && r.wParam == SC_CLOSE) {
            closeSeen = true;
        }
    }
    EXPECT_TRUE(closeSeen);
}

TEST_F(MessageTest, AMessageBoxDisablesItsOwnerWhileItIsUp) {
    HWND top = CreateTopLevel(kOverlappedWindow | WS_VISIBLE);
    HWND other = CreateTopLevel(kOverlappedWindow);
    bool ownerEnabledDuring = true;
    HWND activeDuring = nullptr;
    Desk().OnMessageBox([&](const sim::MessageBoxRecord& box) {
        ownerEnabledDuring = Desk().IsWindowEnabled(top) != FALSE;
        activeDuring = Desk().GetActiveWindow();
        EXPECT_EQ(activeDuring, box.box);
        return IDCANCEL;
    });
    EXPECT_EQ(Desk().MessageBoxW(top, u"Text", u"Caption", MB_OK | MB_ICONERROR), IDCANCEL);
    EXPECT_FALSE(ownerEnabledDuring);
    EXPECT_TRUE(Desk().IsWindowEnabled(top));
    EXPECT_EQ(Desk().GetActiveWindow(), top);

    ASSERT_EQ(Desk().MessageBoxes().size(), 1u);
    const sim::MessageBoxRecord& record = Desk().MessageBoxes()[0];
    EXPECT_EQ(record.owner, top);
    EXPECT_EQ(record.text, u"Text");
    EXPECT_EQ(record.caption, u"Caption");
    EXPECT_EQ(record.type, MB_OK | MB_ICONERROR);
    EXPECT_EQ(record.answer, IDCANCEL);
    EXPECT_EQ(record.activeBefore, top);
    ASSERT_EQ(record.topLevel.size(), 2u);
    for (const auto& snap : record.topLevel) {
        EXPECT_EQ(snap.visible, snap.window == top);
        EXPECT_TRUE(snap.enabled);
        EXPECT_TRUE(snap.window == top || snap.window == other);
    }
    auto enables = Records(top, WM_ENABLE);
    ASSERT_EQ(enables.size(), 2u);
    EXPECT_EQ(enables[0].wParam, 0u);
    EXPECT_EQ(enables[1].wParam, 1u);

    // Without a handler: a queued answer, then the first button; no caption says "Error".
    Desk().OnMessageBox(nullptr);
    Desk().QueueMessageBoxAnswer(platform::IDNO);
    EXPECT_EQ(Desk().MessageBoxW(nullptr, u"a", nullptr, platform::MB_YESNO), platform::IDNO);
    EXPECT_EQ(Desk().MessageBoxW(nullptr, u"b", nullptr, platform::MB_YESNO), platform::IDYES);
    EXPECT_EQ(Desk().MessageBoxes()[1].caption, u"Error");
    EXPECT_TRUE(Desk().Ledger().Outstanding(sim::HandleKind::Window).size() == 2u);
}

TEST_F(MessageTest, ATaskModalBoxWithoutOwnerDisablesEveryTopLevelWindow) {
    HWND a = CreateTopLevel(kOverlappedWindow | WS_VISIBLE);
    HWND b = CreateTopLevel(kOverlappedWindow | WS_VISIBLE);
    std::vector<bool> enabledDuring;
    Desk().OnMessageBox([&](const sim::MessageBoxRecord&) {
        enabledDuring = {Desk().IsWindowEnabled(a) != FALSE, Desk().IsWindowEnabled(b) != FALSE};
        return 0;
    });
    EXPECT_EQ(Desk().MessageBoxW(nullptr, u"t", u"c", MB_TASKMODAL), IDOK);
    EXPECT_EQ(enabledDuring, (std::vector<bool>{false, false}));
    EXPECT_TRUE(Desk().IsWindowEnabled(a));
    EXPECT_TRUE(Desk().IsWindowEnabled(b));
}

TEST_F(MessageTest, DraggingABorderSendsSizingThenMovesToTheWindowsRectangle) {
    HWND top = CreateTopLevel(kOverlappedWindow | WS_VISIBLE);
    CurrentBehaviour() = [](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
        if (m == WM_SIZING) {
            auto* r = reinterpret_cast<RECT*>(l);
            r->right = r->left + 333; // the window keeps its own width
            return TRUE;
        }
        if (m == WM_GETMINMAXINFO) {
            reinterpret_cast<MINMAXINFO*>(l)->ptMinTrackSize = POINT{300, 200};
            return 0;
        }
        return std::nullopt;
    };
    Desk().ClearMessages();
    ASSERT_TRUE(Desk().DragBorder(top, platform::WMSZ_BOTTOMRIGHT, Rect(100, 100, 700, 500)));
    EXPECT_EQ(Received(top, seq::kMoveMessages), seq::kBorderDrag);
    auto sizing = Records(top, WM_SIZING).at(0);
    EXPECT_EQ(sizing.wParam, platform::WMSZ_BOTTOMRIGHT);
    EXPECT_EQ(Edges(*sizing.rectBefore), Edges(Rect(100, 100, 700, 500)));
    EXPECT_EQ(Edges(*sizing.rectAfter), Edges(Rect(100, 100, 433, 500)));
    RECT r{};
    Desk().GetWindowRect(top, &r);
    EXPECT_EQ(Edges(r), Edges(Rect(100, 100, 433, 500)));

    // The drag rectangle stays within the tracking size: a left border stops moving.
    Desk().ClearMessages();
    Desk().DragBorder(top, platform::WMSZ_LEFT, Rect(400, 100, 433, 500));
    EXPECT_EQ(Edges(*Records(top, WM_SIZING).at(0).rectBefore), Edges(Rect(133, 100, 433, 500)));
}

TEST_F(MessageTest, TheUserCanOnlyUseTheButtonsAWindowHas) {
    HWND fixed = CreateTopLevel(WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    Desk().ClearMessages();
    EXPECT_FALSE(Desk().DragBorder(fixed, platform::WMSZ_RIGHT, Rect(100, 100, 600, 400)));
    EXPECT_FALSE(Desk().Maximize(fixed));
    EXPECT_FALSE(Desk().Minimize(fixed));
    EXPECT_FALSE(Desk().Restore(fixed));
    EXPECT_TRUE(Sent(fixed).empty());

    HWND sizeable = CreateTopLevel(kOverlappedWindow | WS_VISIBLE);
    EXPECT_TRUE(Desk().Maximize(sizeable));
    EXPECT_TRUE(Desk().IsZoomed(sizeable));
    EXPECT_TRUE(Desk().Minimize(sizeable));
    EXPECT_TRUE(Desk().IsIconic(sizeable));
    EXPECT_TRUE(Desk().Restore(sizeable));
    EXPECT_TRUE(Desk().IsZoomed(sizeable));
    EXPECT_TRUE(Desk().Restore(sizeable));
    EXPECT_FALSE(Desk().IsZoomed(sizeable));
    EXPECT_TRUE(Desk().CloseBox(sizeable));
    EXPECT_FALSE(Desk().IsWindow(sizeable));
}

// A test may clear the log while a message is being handled; the messages logged after that
// keep their own results, and the one being handled finds no record to complete.
TEST_F(MessageTest, ClearingTheLogDuringASendLeavesLaterRecordsTheirOwn) {
    HWND top = CreateTopLevel();
    constexpr UINT kOuter = WM_USER + 1;
    constexpr UINT kInner = WM_USER + 2;
    CurrentBehaviour() = [this](HWND h, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
        if (m == kOuter) {
            Desk().ClearMessages();
            {
                RECT dragged{0, 0, 10, 10}; // gone before the outer message returns
                Os().SendMessageW(h, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&dragged));
            }
            for (WPARAM i = 0; i < 3; ++i) {
                Os().SendMessageW(h, kInner, i, 0);
            }
            return 99;
        }
        if (m == WM_SIZING) {
            return TRUE;
        }
        if (m == kInner) {
            return static_cast<LRESULT>(100 + w);
        }
        return std::nullopt;
    };
    Desk().ClearMessages();
    EXPECT_EQ(Desk().SendMessageW(top, kOuter, 0, 0), 99);
    const std::vector<sim::MessageRecord>& log = Desk().Messages();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].message, static_cast<UINT>(WM_SIZING));
    EXPECT_EQ(log[0].result, TRUE);
    ASSERT_TRUE(log[0].rectAfter.has_value());
    EXPECT_EQ(Edges(*log[0].rectAfter), Edges(Rect(0, 0, 10, 10)));
    for (std::size_t i = 1; i < log.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(log[i].message, kInner);
        EXPECT_TRUE(log[i].completed);
        EXPECT_EQ(log[i].result, static_cast<LRESULT>(100 + log[i].wParam));
    }
}

// A built-in control keeps what is thrown under it, as a window procedure must: the click that
// reached a throwing parent returns, and the button works on; a paint the parent broke off
// still gives its device context back.
TEST_F(MessageTest, NothingThrownUnderABuiltInControlLeavesIt) {
    HWND top = CreateTopLevel(kOverlappedWindow | WS_VISIBLE);
    HWND button = CreateChild(top, u"BUTTON", 7, WS_VISIBLE | BS_PUSHBUTTON);
    int commands = 0;
    int colourRequests = 0;
    CurrentBehaviour() = [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_COMMAND) {
            ++commands;
            throw std::runtime_error("the parent's handler failed");
        }
        if (m == WM_CTLCOLORBTN) {
            ++colourRequests;
            throw std::runtime_error("the parent's colours failed");
        }
        return std::nullopt;
    };
    EXPECT_NO_THROW(Desk().ClickButton(button));
    EXPECT_NO_THROW(Desk().ClickButton(button));
    EXPECT_EQ(commands, 2);
    EXPECT_EQ(Desk().SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    ASSERT_TRUE(Desk().NeedsPaint(button));
    EXPECT_NO_THROW(Desk().UpdateWindow(button));
    EXPECT_EQ(colourRequests, 1);
    EXPECT_TRUE(Desk().Ledger().Outstanding(sim::HandleKind::PaintDC).empty())
        << Desk().Ledger().Report();
    EXPECT_TRUE(Desk().Ledger().Faults().empty()) << Desk().Ledger().Report();
}

TEST_F(MessageTest, UserActionsDuringAWaitReachTheProgramAfterIt) {
    HWND top = CreateTopLevel(kOverlappedWindow | WS_VISIBLE);
    Desk().ShowWindow(top, SW_MINIMIZE);
    bool iconicInside = false;
    sim::ProcessScript script;
    script.onWait = [&] {
        EXPECT_TRUE(Desk().Restore(top)); // the task-bar button, clicked while blocked
        iconicInside = Desk().IsIconic(top) != FALSE;
    };
    Desk().ScriptProcess(u"tool.exe", script);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::u16string line = u"tool.exe";
    ASSERT_TRUE(Desk().CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      nullptr, &si, &pi));
    EXPECT_EQ(Desk().WaitForSingleObject(pi.hProcess, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(iconicInside);
    EXPECT_TRUE(Desk().IsIconic(top));
    RunLoop();
    EXPECT_FALSE(Desk().IsIconic(top));
    Desk().CloseHandle(pi.hThread);
    Desk().CloseHandle(pi.hProcess);
}

TEST_F(MessageTest, ChangingTheScreenTellsEveryTopLevelWindowThenRepaintsTheVisibleFrames) {
    HWND shown = CreateTopLevel(kOverlappedWindow | WS_VISIBLE);
    HWND hidden = CreateTopLevel();
    Desk().ClearMessages();
    Desk().SetScreenSize(1024, 768);
    EXPECT_EQ(Received(shown), seq::kDisplayChangeShown);
    EXPECT_EQ(Received(hidden), seq::kDisplayChangeHidden);
    EXPECT_EQ(Records(shown, platform::WM_DISPLAYCHANGE).at(0).lParam, MAKELPARAM(1024, 768));
    EXPECT_EQ(Desk().GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(Desk().GetSystemMetrics(SM_CYSCREEN), 768);
    APPBARDATA bar{};
    bar.cbSize = sizeof bar;
    ASSERT_TRUE(Desk().SHAppBarMessage(ABM_GETTASKBARPOS, &bar));
    EXPECT_EQ(Edges(bar.rc), Edges(Rect(0, 748, 1024, 768)));
    EXPECT_EQ(Desk().SHAppBarMessage(ABM_GETSTATE, &bar), 0u);
}

} // namespace
} // namespace simtest
