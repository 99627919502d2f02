// Windows: creation, showing, moving and sizing, the window states and WM_GETMINMAXINFO, with
// the messages each call sends and their order.
#include "Contract.h"

#include <cstdio>
#include <utility>

namespace contract {
namespace {

constexpr DWORD kOverlapped =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr UINT kEndOfSize = WM_USER + 1; // logged when a WM_SIZE handler returns

RECT WindowRect(HWND window) {
    RECT rect{};
    Os().GetWindowRect(window, &rect);
    return rect;
}

SIZE ClientSize(HWND window) {
    RECT rect{};
    Os().GetClientRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

LPARAM ClientParam(HWND window) {
    const SIZE size = ClientSize(window);
    return SizeParam(size.cx, size.cy);
}

// The frame around the client area, from a window whose sizes are known.
SIZE Frame(HWND window) {
    const RECT rect = WindowRect(window);
    const SIZE client = ClientSize(window);
    return {rect.right - rect.left - client.cx, rect.bottom - rect.top - client.cy};
}

int Count(HWND window, UINT message) {
    int n = 0;
    for (const Seen& seen : Log()) {
        n += seen.window == window && seen.message == message ? 1 : 0;
    }
    return n;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string ShowRect(const RECT& r) {
    char text[64];
    std::snprintf(text, sizeof text, "(%ld,%ld)-(%ld,%ld)", static_cast<long>(r.left),
                  static_cast<long>(r.top), static_cast<long>(r.right),
                  static_cast<long>(r.bottom));
    return text;
}

#define CHECK_RECT(actual, ...)                                                                    \
    do {                                                                                           \
        const RECT got_ = (actual);                                                                \
        const RECT want_ = __VA_ARGS__;                                                            \
        if (!SameRect(got_, want_)) {                                                              \
            ::contract::Failure(__FILE__, __LINE__,                                                \
                                #actual ": got " + ShowRect(got_) + ", want " + ShowRect(want_));  \
        }                                                                                          \
    } while (false)

// A top-level window gets WM_GETMINMAXINFO before WM_NCCREATE, and no WM_SIZE or WM_MOVE until
// it is first shown.
CONTRACT_CASE(CreatingAnOverlappedWindow) {
    TestWindow window(kOverlapped, 100, 120, 300, 200, nullptr, u"Overlapped");
    REQUIRE(window.get() != nullptr);
    const Sequence creation = {
        {WM_GETMINMAXINFO}, {WM_NCCREATE}, {WM_NCCALCSIZE, How::Sent, FALSE}, {WM_CREATE}};
    CHECK_SEQUENCE(window.get(), creation);
    CHECK_EQ(Count(window.get(), WM_SIZE), 0);
    CHECK_EQ(Count(window.get(), WM_MOVE), 0);
    CHECK_EQ(Count(window.get(), WM_SHOWWINDOW), 0);
    CHECK(!Os().IsWindowVisible(window.get()));
    CHECK_RECT(WindowRect(window.get()), {100, 120, 400, 320});
    char16_t text[32] = {};
    CHECK_EQ(Os().GetWindowTextW(window.get(), text, 32), 10);
    CHECK_EQ(std::u16string(text), u"Overlapped");
}

// A child gets its WM_SIZE and then its WM_MOVE right after WM_CREATE, and no
// WM_GETMINMAXINFO without a sizing border.
CONTRACT_CASE(CreatingAChildWindow) {
    TestWindow parent(kOverlapped, 100, 100, 300, 200);
    Log().clear();
    TestWindow child(WS_CHILD | WS_VISIBLE, 10, 20, 50, 30, parent.get());
    REQUIRE(child.get() != nullptr);
    const Sequence creation = {{WM_NCCREATE},
                               {WM_NCCALCSIZE, How::Sent, FALSE},
                               {WM_CREATE},
                               {WM_SIZE, How::Sent, SIZE_RESTORED, SizeParam(50, 30)},
                               {WM_MOVE, How::Sent, std::nullopt, SizeParam(10, 20)}};
    CHECK_SEQUENCE(child.get(), creation);
    CHECK_EQ(Count(child.get(), WM_GETMINMAXINFO), 0);
    CHECK_EQ(Os().GetParent(child.get()), parent.get());
}

// The first showing sends WM_SHOWWINDOW, the position change, then WM_SIZE and WM_MOVE; hiding
// sends WM_SHOWWINDOW(FALSE) and no WM_SIZE. ShowWindow returns the earlier visibility.
CONTRACT_CASE(ShowingAndHiding) {
    TestWindow window(kOverlapped, 100, 100, 300, 200);
    Log().clear();
    CHECK_EQ(Os().ShowWindow(window.get(), SW_SHOW), FALSE);
    CHECK(Os().IsWindowVisible(window.get()));
    const Sequence shown = {{WM_SHOWWINDOW, How::Sent, TRUE},
                            {WM_WINDOWPOSCHANGING},
                            {WM_WINDOWPOSCHANGED},
                            {WM_SIZE, How::Sent, SIZE_RESTORED, ClientParam(window.get())},
                            {WM_MOVE}};
    CHECK_SEQUENCE(window.get(), shown);

    Log().clear();
    CHECK(Os().ShowWindow(window.get(), SW_HIDE) != FALSE);
    CHECK(!Os().IsWindowVisible(window.get()));
    const Sequence hidden = {
        {WM_SHOWWINDOW, How::Sent, FALSE}, {WM_WINDOWPOSCHANGING}, {WM_WINDOWPOSCHANGED}};
    CHECK_SEQUENCE(window.get(), hidden);
    CHECK_EQ(Count(window.get(), WM_SIZE), 0);
}

// WM_GETMINMAXINFO comes inside WM_WINDOWPOSCHANGING, and DefWindowProcW's
// WM_WINDOWPOSCHANGED sends WM_MOVE before WM_SIZE; what did not change is not reported.
CONTRACT_CASE(SetWindowPosSendsItsMessagesInOrder) {
    TestWindow window(kOverlapped | WS_VISIBLE, 100, 100, 300, 200);
    const SIZE frame = Frame(window.get());
    constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE;

    Log().clear();
    REQUIRE(Os().SetWindowPos(window.get(), nullptr, 50, 60, 320, 240, kFlags));
    const LPARAM client = SizeParam(320 - frame.cx, 240 - frame.cy);
    const Sequence both = {
        {WM_WINDOWPOSCHANGING}, {WM_GETMINMAXINFO}, {WM_NCCALCSIZE, How::Sent, TRUE},
        {WM_WINDOWPOSCHANGED},  {WM_MOVE},          {WM_SIZE, How::Sent, SIZE_RESTORED, client}};
    CHECK_SEQUENCE(window.get(), both);
    CHECK_RECT(WindowRect(window.get()), {50, 60, 370, 300});

    Log().clear();
    REQUIRE(Os().SetWindowPos(window.get(), nullptr, 0, 0, 330, 250, kFlags | SWP_NOMOVE));
    const Sequence sizeOnly = {
        {WM_WINDOWPOSCHANGING},
        {WM_GETMINMAXINFO},
        {WM_WINDOWPOSCHANGED},
        {WM_SIZE, How::Sent, SIZE_RESTORED, SizeParam(330 - frame.cx, 250 - frame.cy)}};
    CHECK_SEQUENCE(window.get(), sizeOnly);
    // The client area stayed where it was.
    CHECK_EQ(Count(window.get(), WM_MOVE), 0);
    CHECK_RECT(WindowRect(window.get()), {50, 60, 380, 310});

    Log().clear();
    REQUIRE(Os().SetWindowPos(window.get(), nullptr, 70, 80, 0, 0, kFlags | SWP_NOSIZE));
    const Sequence moveOnly = {{WM_WINDOWPOSCHANGING}, {WM_WINDOWPOSCHANGED}, {WM_MOVE}};
    CHECK_SEQUENCE(window.get(), moveOnly);
    CHECK_EQ(Count(window.get(), WM_SIZE), 0);
    CHECK_EQ(Count(window.get(), WM_GETMINMAXINFO), 0);
    CHECK_RECT(WindowRect(window.get()), {70, 80, 400, 330});
}

CONTRACT_CASE(MoveWindowSendsTheSameAsSetWindowPos) {
    TestWindow window(kOverlapped | WS_VISIBLE, 100, 100, 300, 200);
    const SIZE frame = Frame(window.get());
    Log().clear();
    REQUIRE(Os().MoveWindow(window.get(), 40, 30, 310, 210, TRUE));
    const Sequence moved = {
        {WM_WINDOWPOSCHANGING},
        {WM_GETMINMAXINFO},
        {WM_NCCALCSIZE, How::Sent, TRUE},
        {WM_WINDOWPOSCHANGED},
        {WM_MOVE},
        {WM_SIZE, How::Sent, SIZE_RESTORED, SizeParam(310 - frame.cx, 210 - frame.cy)}};
    CHECK_SEQUENCE(window.get(), moved);
    CHECK_RECT(WindowRect(window.get()), {40, 30, 350, 240});
}

// A move made inside a WM_SIZE handler delivers its own WM_SIZE at once, inside the first.
CONTRACT_CASE(MoveInsideSizeNestsTheSecondSize) {
    TestWindow window(kOverlapped | WS_VISIBLE, 100, 100, 300, 200);
    const SIZE frame = Frame(window.get());
    bool moved = false;
    SetBehaviour([&](HWND hwnd, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_SIZE || hwnd != window.get()) {
            return std::nullopt;
        }
        if (!moved) {
            moved = true;
            Os().MoveWindow(hwnd, 100, 100, 400, 300, TRUE);
        }
        Log().push_back({hwnd, kEndOfSize, How::Sent, wParam, 0});
        return 0;
    });
    Log().clear();
    REQUIRE(Os().SetWindowPos(window.get(), nullptr, 0, 0, 320, 240,
                              SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE));
    const Sequence nested = {
        {WM_SIZE, How::Sent, SIZE_RESTORED, SizeParam(320 - frame.cx, 240 - frame.cy)},
        {WM_SIZE, How::Sent, SIZE_RESTORED, SizeParam(400 - frame.cx, 300 - frame.cy)},
        {kEndOfSize},
        {kEndOfSize}};
    CHECK_SEQUENCE(window.get(), nested);
    CHECK_RECT(WindowRect(window.get()), {100, 100, 500, 400});
}

// Each state change reports its size type; restoring gives back the earlier client size.
CONTRACT_CASE(MinimiseMaximiseRestore) {
    TestWindow window(kOverlapped | WS_VISIBLE, 100, 100, 300, 200);
    const LPARAM normal = ClientParam(window.get());
    const RECT normalRect = WindowRect(window.get());
    Log().clear();

    Os().ShowWindow(window.get(), SW_MINIMIZE);
    CHECK(Os().IsIconic(window.get()));
    CHECK(!Os().IsZoomed(window.get()));
    Os().ShowWindow(window.get(), SW_RESTORE);
    CHECK(!Os().IsIconic(window.get()));
    CHECK_EQ(ClientParam(window.get()), normal);
    Os().ShowWindow(window.get(), SW_MAXIMIZE);
    CHECK(Os().IsZoomed(window.get()));
    const LPARAM maximised = ClientParam(window.get());
    CHECK(maximised != normal);
    Os().ShowWindow(window.get(), SW_RESTORE);
    CHECK(!Os().IsZoomed(window.get()));
    CHECK_RECT(WindowRect(window.get()), normalRect);

    const Sequence states = {{WM_SIZE, How::Sent, SIZE_MINIMIZED},
                             {WM_SIZE, How::Sent, SIZE_RESTORED, normal},
                             {WM_SIZE, How::Sent, SIZE_MAXIMIZED, maximised},
                             {WM_SIZE, How::Sent, SIZE_RESTORED, normal}};
    CHECK_SEQUENCE(window.get(), states);
    // Visibility did not change, so no WM_SHOWWINDOW.
    CHECK_EQ(Count(window.get(), WM_SHOWWINDOW), 0);
}

// A window that changes its MINMAXINFO gets the maximised rectangle it asked for, and its
// tracking limits bound every resize.
CONTRACT_CASE(ChangedMinMaxInfoShapesTheWindow) {
    TestWindow window(kOverlapped | WS_VISIBLE, 100, 100, 300, 200);
    SetBehaviour([](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message != WM_GETMINMAXINFO) {
            return std::nullopt;
        }
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMaxSize = {500, 400};
        info->ptMaxPosition = {30, 40};
        info->ptMinTrackSize = {200, 150};
        info->ptMaxTrackSize = {600, 450};
        return 0;
    });
    constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE;
    REQUIRE(Os().SetWindowPos(window.get(), nullptr, 0, 0, 50, 40, kFlags));
    CHECK_RECT(WindowRect(window.get()), {100, 100, 300, 250});
    REQUIRE(Os().SetWindowPos(window.get(), nullptr, 0, 0, 900, 900, kFlags));
    CHECK_RECT(WindowRect(window.get()), {100, 100, 700, 550});

    Log().clear();
    Os().ShowWindow(window.get(), SW_MAXIMIZE);
    CHECK(Os().IsZoomed(window.get()));
    CHECK_RECT(WindowRect(window.get()), {30, 40, 530, 440});
    CHECK(Count(window.get(), WM_GETMINMAXINFO) >= 1);
}

// A window sized while hidden still gets the size and move notices of its first showing.
CONTRACT_CASE(FirstShowingAfterAResizeReportsTheSizeAgain) {
    TestWindow window(kOverlapped, 100, 100, 300, 200);
    REQUIRE(Os().SetWindowPos(window.get(), nullptr, 0, 0, 320, 240,
                              SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE));
    CHECK_EQ(Count(window.get(), WM_SIZE), 1);
    Log().clear();
    Os().ShowWindow(window.get(), SW_SHOW);
    const Sequence shown = {{WM_SHOWWINDOW, How::Sent, TRUE},
                            {WM_SIZE, How::Sent, SIZE_RESTORED, ClientParam(window.get())},
                            {WM_MOVE}};
    CHECK_SEQUENCE(window.get(), shown);
}

// Shown maximised from hidden: WM_GETMINMAXINFO for the state change and again for the move,
// the size notice of the move, then the one of the first showing; no WM_SHOWWINDOW.
CONTRACT_CASE(ShowMaximisedFromHidden) {
    TestWindow window(kOverlapped, 100, 100, 300, 200);
    Log().clear();
    CHECK_EQ(Os().ShowWindow(window.get(), SW_SHOWMAXIMIZED), FALSE);
    CHECK(Os().IsWindowVisible(window.get()));
    CHECK(Os().IsZoomed(window.get()));
    const LPARAM client = ClientParam(window.get());
    const Sequence maximised = {{WM_GETMINMAXINFO},
                                {WM_GETMINMAXINFO},
                                {WM_WINDOWPOSCHANGED},
                                {WM_SIZE, How::Sent, SIZE_MAXIMIZED, client},
                                {WM_SIZE, How::Sent, SIZE_MAXIMIZED, client}};
    CHECK_SEQUENCE(window.get(), maximised);
    CHECK_EQ(Count(window.get(), WM_SHOWWINDOW), 0);
}

// Maximised as it stands, the frame lies beyond the screen and the client area spans its width.
CONTRACT_CASE(MaximisedClientAreaSpansTheScreenWidth) {
    TestWindow window(kOverlapped | WS_VISIBLE, 100, 100, 300, 200);
    const SIZE frame = Frame(window.get());
    Os().ShowWindow(window.get(), SW_MAXIMIZE);
    REQUIRE(Os().IsZoomed(window.get()));
    const int screenWidth = Os().GetSystemMetrics(SM_CXSCREEN);
    CHECK_EQ(ClientSize(window.get()).cx, screenWidth);
    POINT origin{0, 0};
    Os().MapWindowPoints(window.get(), nullptr, &origin, 1);
    CHECK_EQ(origin.x, 0);
    CHECK_EQ(WindowRect(window.get()).left, -frame.cx / 2);
}

// WM_WINDOWPOSCHANGING carries the request, and what the handler writes into it is what
// happens.
CONTRACT_CASE(WindowPosChangingCanAlterTheRequest) {
    TestWindow window(kOverlapped | WS_VISIBLE, 100, 100, 300, 200);
    WINDOWPOS asked{};
    SetBehaviour([&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_WINDOWPOSCHANGING) {
            auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
            asked = *pos;
            pos->cx = 250;
        }
        return std::nullopt;
    });
    REQUIRE(
        Os().SetWindowPos(window.get(), nullptr, 60, 70, 320, 240, SWP_NOZORDER | SWP_NOACTIVATE));
    CHECK(asked.hwnd == window.get());
    CHECK_EQ(asked.x, 60);
    CHECK_EQ(asked.y, 70);
    CHECK_EQ(asked.cx, 320);
    CHECK_EQ(asked.cy, 240);
    CHECK((asked.flags & SWP_NOZORDER) != 0);
    CHECK_RECT(WindowRect(window.get()), {60, 70, 310, 310});
}

// SetWindowPos with SWP_SHOWWINDOW shows without WM_SHOWWINDOW.
CONTRACT_CASE(SetWindowPosShowsWithoutShowWindowMessage) {
    TestWindow window(kOverlapped, 100, 100, 300, 200);
    Log().clear();
    REQUIRE(Os().SetWindowPos(window.get(), nullptr, 0, 0, 0, 0,
                              SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER));
    CHECK(Os().IsWindowVisible(window.get()));
    const Sequence shown = {{WM_WINDOWPOSCHANGING}, {WM_WINDOWPOSCHANGED}};
    CHECK_SEQUENCE(window.get(), shown);
    CHECK_EQ(Count(window.get(), WM_SHOWWINDOW), 0);
}

// The parent's WM_DESTROY comes before its children's, its WM_NCDESTROY after theirs.
CONTRACT_CASE(DestroyingAParentDestroysItsChildrenInside) {
    auto* parent = new TestWindow(kOverlapped | WS_VISIBLE, 100, 100, 300, 200);
    TestWindow child(WS_CHILD | WS_VISIBLE, 10, 10, 50, 30, parent->get());
    const HWND p = parent->get();
    const HWND c = child.get();
    Log().clear();
    delete parent;
    std::vector<std::pair<HWND, UINT>> order;
    for (const Seen& seen : Log()) {
        if (seen.message == WM_DESTROY || seen.message == WM_NCDESTROY) {
            order.emplace_back(seen.window, seen.message);
        }
    }
    const std::vector<std::pair<HWND, UINT>> expected = {
        {p, WM_DESTROY}, {c, WM_DESTROY}, {c, WM_NCDESTROY}, {p, WM_NCDESTROY}};
    CHECK(order == expected);
    CHECK(!Os().IsWindow(c));
    CHECK(!Os().IsWindow(p));
}

// AdjustWindowRectEx gives the frame a window of that style really has.
CONTRACT_CASE(AdjustWindowRectExMatchesTheFrame) {
    TestWindow window(kOverlapped, 100, 100, 300, 200);
    const SIZE frame = Frame(window.get());
    RECT rect{0, 0, 200, 100};
    REQUIRE(Os().AdjustWindowRectEx(&rect, kOverlapped, FALSE, 0));
    CHECK_EQ(rect.right - rect.left - 200, frame.cx);
    CHECK_EQ(rect.bottom - rect.top - 100, frame.cy);
    CHECK_EQ(rect.left, -frame.cx / 2);
}

// A child window without a sizing border takes the bounds SetWindowPos gives it, with
// coordinates kept within 16 bits and sizes within 0 to 32767, and nothing else changed: what
// the toolkit predicts while it holds a control's move back. The parent's client origin is
// where it is on any desktop; the rectangle is read back relative to it, and the move's
// WM_WINDOWPOSCHANGED reports the same place.
CONTRACT_CASE(ChildWindowTakesTheBoundsItIsGiven) {
    TestWindow parent(kOverlapped | WS_VISIBLE | WS_CLIPCHILDREN, 50, 50, 400, 300);
    struct Row {
        int x, y, cx, cy;
        RECT taken; // relative to the parent's client area
    };
    const Row rows[] = {
        {13, 27, 140, 49, {13, 27, 153, 76}},
        {-5, -7, 30, 20, {-5, -7, 25, 13}},
        {10, 12, -4, -9, {10, 12, 10, 12}},
        {0, 0, 0, 0, {0, 0, 0, 0}},
        {40000, -40000, 50000, 60000, {32767, -32768, 65534, -1}},
        {-40000, 40000, 32767, 32767, {-32768, 32767, -1, 65534}},
    };
    const char16_t* const classes[] = {TestClass(), u"STATIC", u"BUTTON"};
    for (const char16_t* className : classes) {
        const HWND child =
            Os().CreateWindowExW(0, className, u"child", WS_CHILD | WS_VISIBLE, 1, 1, 60, 20,
                                 parent.get(), nullptr, Os().GetModuleHandleW(nullptr), nullptr);
        REQUIRE(child != nullptr);
        // What WM_WINDOWPOSCHANGED reports (seen for the test class only).
        std::optional<WINDOWPOS> reported;
        SetBehaviour([&](HWND hwnd, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            if (hwnd == child && message == WM_WINDOWPOSCHANGED) {
                reported = *reinterpret_cast<const WINDOWPOS*>(lParam);
            }
            return std::nullopt;
        });
        for (const Row& row : rows) {
            reported.reset();
            REQUIRE(Os().SetWindowPos(child, nullptr, row.x, row.y, row.cx, row.cy,
                                      SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW));
            RECT rect = WindowRect(child);
            POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
            Os().MapWindowPoints(nullptr, parent.get(), corners, 2);
            CHECK_RECT((RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y}), row.taken);
            CHECK_EQ(ClientSize(child).cx, row.taken.right - row.taken.left);
            CHECK_EQ(ClientSize(child).cy, row.taken.bottom - row.taken.top);
            if (reported) {
                CHECK_RECT((RECT{reported->x, reported->y, reported->x + reported->cx,
                                 reported->y + reported->cy}),
                           row.taken);
            } else {
                CHECK(className != TestClass());
            }
        }
        SetBehaviour(nullptr);
        Os().DestroyWindow(child);
    }
}

// An edit box tells its parent of every change of its text, the program's WM_SETTEXT
// included; a list box counts, adds and selects lines, and a selection made by message tells
// the parent nothing. The toolkit's TEdit and TListBox rely on both.
CONTRACT_CASE(EditAndListBoxReportAsTheToolkitExpects) {
    TestWindow parent(kOverlapped | WS_VISIBLE, 60, 60, 300, 200);
    const HINSTANCE instance = Os().GetModuleHandleW(nullptr);
    const HWND edit = Os().CreateWindowExW(
        WS_EX_CLIENTEDGE, u"EDIT", u"", WS_CHILD | WS_VISIBLE, 10, 10, 120, 24, parent.get(),
        reinterpret_cast<HMENU>(std::uintptr_t{7}), instance, nullptr);
    REQUIRE(edit != nullptr);
    Log().clear();
    REQUIRE(Os().SetWindowTextW(edit, u"typed"));
    int changes = 0;
    for (const Seen& seen : Log()) {
        changes += seen.window == parent.get() && seen.message == WM_COMMAND &&
                           seen.wParam == static_cast<WPARAM>(MAKELPARAM(7, EN_CHANGE)) &&
                           seen.lParam == reinterpret_cast<LPARAM>(edit)
                       ? 1
                       : 0;
    }
    CHECK_EQ(changes, 1);
    Os().DestroyWindow(edit);

    const HWND list = Os().CreateWindowExW(
        WS_EX_CLIENTEDGE, u"LISTBOX", u"",
        WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 10, 40, 120, 101, parent.get(),
        reinterpret_cast<HMENU>(std::uintptr_t{8}), instance, nullptr);
    REQUIRE(list != nullptr);
    // Not rounded to whole lines.
    CHECK_EQ(WindowRect(list).bottom - WindowRect(list).top, 101);
    CHECK_EQ(Os().SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"Red")), 0);
    CHECK_EQ(Os().SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"")), 1);
    CHECK_EQ(Os().SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
    CHECK_EQ(Os().SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    Log().clear();
    CHECK_EQ(Os().SendMessageW(list, LB_SETCURSEL, 1, 0), 1);
    CHECK_EQ(Os().SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
    // Beyond the last line: refused, the selection stays. -1: none, and LB_ERR all the same.
    CHECK_EQ(Os().SendMessageW(list, LB_SETCURSEL, 2, 0), LB_ERR);
    CHECK_EQ(Os().SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
    CHECK_EQ(Os().SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0), LB_ERR);
    CHECK_EQ(Os().SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    CHECK_EQ(Count(parent.get(), WM_COMMAND), 0);
    CHECK_EQ(Os().SendMessageW(list, LB_RESETCONTENT, 0, 0), 0);
    CHECK_EQ(Os().SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
    Os().DestroyWindow(list);
}

// A move with SWP_NOREDRAW leaves nothing to paint; InvalidateRect on a parent that clips its
// children paints the parent alone; RedrawWindow with RDW_ALLCHILDREN paints the children too.
CONTRACT_CASE(RedrawWindowReachesTheChildrenAMoveLeftUndrawn) {
    TestWindow parent(kOverlapped | WS_VISIBLE | WS_CLIPCHILDREN, 60, 60, 300, 200);
    TestWindow child(WS_CHILD | WS_VISIBLE, 10, 10, 80, 30, parent.get());
    auto paintsAfterUpdate = [&] {
        Log().clear();
        Os().UpdateWindow(parent.get());
        return std::make_pair(Count(parent.get(), WM_PAINT), Count(child.get(), WM_PAINT));
    };
    paintsAfterUpdate();
    REQUIRE(paintsAfterUpdate() == std::make_pair(0, 0));

    REQUIRE(Os().SetWindowPos(child.get(), nullptr, 20, 15, 120, 40,
                              SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW));
    CHECK(paintsAfterUpdate() == std::make_pair(0, 0));

    REQUIRE(Os().InvalidateRect(parent.get(), nullptr, TRUE));
    CHECK(paintsAfterUpdate() == std::make_pair(1, 0));

    REQUIRE(Os().RedrawWindow(parent.get(), nullptr, nullptr,
                              RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN));
    CHECK(paintsAfterUpdate() == std::make_pair(1, 1));

    REQUIRE(Os().RedrawWindow(parent.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN));
    CHECK(paintsAfterUpdate() == std::make_pair(1, 0));
}

CONTRACT_HOST_CASE(MinimisedWindowLiesFarOffScreen,
                   "Wine puts a minimised window where its icon is drawn, not at -32000") {
    TestWindow window(kOverlapped | WS_VISIBLE, 100, 100, 300, 200);
    Os().ShowWindow(window.get(), SW_MINIMIZE);
    REQUIRE(Os().IsIconic(window.get()));
    const RECT rect = WindowRect(window.get());
    CHECK_EQ(rect.left, -32000);
    CHECK_EQ(rect.top, -32000);
    CHECK_EQ(ClientParam(window.get()), SizeParam(0, 0));
}

} // namespace
} // namespace contract
