// A replaced window procedure and the call-window hook, as the resize component uses them.
#include "Contract.h"

namespace contract {
namespace {

constexpr DWORD kOverlapped = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

WNDPROC previous = nullptr;
std::vector<UINT> replacementSaw;

LRESULT PLATFORM_CALLBACK Replacement(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    replacementSaw.push_back(message);
    const LRESULT result = Os().CallWindowProcW(previous, window, message, wParam, lParam);
    return message == WM_USER + 5 ? result + 1 : result;
}

CONTRACT_CASE(ReplacedWindowProcedureForwardsThroughCallWindowProc) {
    TestWindow window(kOverlapped, 100, 100, 300, 200);
    SetBehaviour([](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_USER + 5) {
            return 42;
        }
        return std::nullopt;
    });
    replacementSaw.clear();
    previous = reinterpret_cast<WNDPROC>(Os().SetWindowLongPtrW(
        window.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Replacement)));
    CHECK(previous == &TestProcedure);
    CHECK(Os().GetWindowLongPtrW(window.get(), GWLP_WNDPROC) ==
          reinterpret_cast<LONG_PTR>(&Replacement));

    Log().clear();
    CHECK_EQ(Os().SendMessageW(window.get(), WM_USER + 5, 7, 8), 43);
    CHECK_EQ(replacementSaw.size(), 1u);
    const Sequence forwarded = {{WM_USER + 5, How::Sent, 7, 8}};
    CHECK_SEQUENCE(window.get(), forwarded);

    // Put back, the original procedure is called directly again.
    CHECK(
        Os().SetWindowLongPtrW(window.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous)) ==
        reinterpret_cast<LONG_PTR>(&Replacement));
    replacementSaw.clear();
    CHECK_EQ(Os().SendMessageW(window.get(), WM_USER + 5, 7, 8), 42);
    CHECK(replacementSaw.empty());
}

HHOOK hook = nullptr;
int hookCode = -1;
WPARAM hookWParam = 0;
LRESULT nextResult = -1;

LRESULT PLATFORM_CALLBACK CallWindowHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* record = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (record->message >= WM_USER) {
            hookCode = code;
            hookWParam = wParam;
            Log().push_back(
                {record->hwnd, record->message, How::Hook, record->wParam, record->lParam});
        }
    }
    nextResult = Os().CallNextHookEx(hook, code, wParam, lParam);
    return nextResult;
}

// The hook sees a sent message before the window procedure, with the CWPSTRUCT filled and
// wParam saying the current thread sent it; posted messages do not pass through it.
CONTRACT_CASE(CallWindowHookSeesSentMessagesFirst) {
    TestWindow window(kOverlapped, 100, 100, 300, 200);
    hook =
        Os().SetWindowsHookExW(WH_CALLWNDPROC, &CallWindowHook, nullptr, Os().GetCurrentThreadId());
    REQUIRE(hook != nullptr);

    Log().clear();
    Os().SendMessageW(window.get(), WM_USER + 6, 11, 22);
    CHECK_EQ(hookCode, HC_ACTION);
    CHECK(hookWParam != 0);
    CHECK_EQ(nextResult, 0);
    Os().PostMessageW(window.get(), WM_USER + 7, 33, 44);
    DeliverPosted(window.get());
    const Sequence hooked = {{WM_USER + 6, How::Hook, 11, 22},
                             {WM_USER + 6, How::Sent, 11, 22},
                             {WM_USER + 7, How::Posted, 33, 44}};
    CHECK_SEQUENCE(window.get(), hooked);

    CHECK(Os().UnhookWindowsHookEx(hook));
    Log().clear();
    Os().SendMessageW(window.get(), WM_USER + 6, 55, 66);
    const Sequence unhooked = {{WM_USER + 6, How::Sent, 55, 66}};
    CHECK_SEQUENCE(window.get(), unhooked);
    CHECK(!Os().UnhookWindowsHookEx(hook));
    hook = nullptr;
}

HHOOK older = nullptr;
HHOOK newer = nullptr;
std::vector<char> hookOrder;

LRESULT PLATFORM_CALLBACK OlderHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && reinterpret_cast<const CWPSTRUCT*>(lParam)->message == WM_USER + 8) {
        hookOrder.push_back('o');
    }
    return Os().CallNextHookEx(older, code, wParam, lParam);
}

LRESULT PLATFORM_CALLBACK NewerHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && reinterpret_cast<const CWPSTRUCT*>(lParam)->message == WM_USER + 8) {
        hookOrder.push_back('n');
    }
    return Os().CallNextHookEx(newer, code, wParam, lParam);
}

// The hook set last is called first; CallNextHookEx passes the message down the chain.
CONTRACT_CASE(HookChainRunsNewestFirst) {
    TestWindow window(kOverlapped, 100, 100, 300, 200);
    SetBehaviour([](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_USER + 8) {
            hookOrder.push_back('w');
            return 0;
        }
        return std::nullopt;
    });
    hookOrder.clear();
    older = Os().SetWindowsHookExW(WH_CALLWNDPROC, &OlderHook, nullptr, Os().GetCurrentThreadId());
    newer = Os().SetWindowsHookExW(WH_CALLWNDPROC, &NewerHook, nullptr, Os().GetCurrentThreadId());
    REQUIRE(older != nullptr && newer != nullptr);
    Os().SendMessageW(window.get(), WM_USER + 8, 0, 0);
    CHECK_EQ(std::string(hookOrder.begin(), hookOrder.end()), "now");
    CHECK(Os().UnhookWindowsHookEx(newer));
    hookOrder.clear();
    Os().SendMessageW(window.get(), WM_USER + 8, 0, 0);
    CHECK_EQ(std::string(hookOrder.begin(), hookOrder.end()), "ow");
    CHECK(Os().UnhookWindowsHookEx(older));
}

// A sent message is handled at once; posted ones wait for the loop, in the order posted.
CONTRACT_CASE(SentMessagesPassPostedOnes) {
    TestWindow window(kOverlapped, 100, 100, 300, 200);
    Log().clear();
    CHECK(Os().PostMessageW(window.get(), WM_USER + 10, 1, 0));
    CHECK(Os().PostMessageW(window.get(), WM_USER + 11, 2, 0));
    Os().SendMessageW(window.get(), WM_USER + 12, 3, 0);
    DeliverPosted(window.get());
    const Sequence order = {{WM_USER + 12, How::Sent, 3},
                            {WM_USER + 10, How::Posted, 1},
                            {WM_USER + 11, How::Posted, 2}};
    CHECK_SEQUENCE(window.get(), order);
}

} // namespace
} // namespace contract
