// The bounds bracket: a parent's controls read back what their windows will take while their
// moves and fonts are held, and each window is moved once, drawn once, when it closes.
#include "ToolkitTest.h"

#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

#include <algorithm>
#include <memory>

namespace toolkit_test {
namespace {

using namespace toolkit;
using namespace platform;
using platform::sim::HandleKind;
using platform::sim::MessageRecord;

struct Rect {
    int left, top, width, height;
    bool operator==(const Rect&) const = default;
};

void PrintTo(const Rect& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.width << ", " << r.height << "}";
}

Rect FieldsOf(const TControl& c) {
    return {c.Left(), c.Top(), c.Width(), c.Height()};
}

class BoundsBracketTest : public DesktopTest {
protected:
    BoundsBracketTest() {
        form_ = std::make_unique<TForm>(nullptr);
        form_->SetBounds(100, 100, 500, 400);
        frame_ = new TFrame(form_.get());
        frame_->SetParent(form_.get());
        frame_->SetBounds(200, 150, 160, 120);
        a_ = MakeLabel(form_.get(), 10, 20, 80, 17);
        b_ = MakeLabel(frame_, 5, 6, 70, 15);
        form_->Show();
        Settle();
    }

    TLabel* MakeLabel(TWinControl* parent, int left, int top, int width, int height) {
        auto* label = new TLabel(form_.get());
        label->SetParent(parent);
        label->SetParentFont(false);
        label->SetBounds(left, top, width, height);
        return label;
    }

    // Paints whatever is pending and forgets the messages so far.
    void Settle() {
        desktop_.UpdateWindow(form_->Handle());
        desktop_.ClearMessages();
    }

    // Where the control's window really is, relative to its parent's client area.
    Rect WindowOf(TControl& c) {
        RECT r{};
        desktop_.GetWindowRect(c.Handle(), &r);
        POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
        desktop_.MapWindowPoints(nullptr, c.Parent()->Handle(), corners, 2);
        return {corners[0].x, corners[0].y, corners[1].x - corners[0].x,
                corners[1].y - corners[0].y};
    }

    // Runs the message loop until nothing is left: pending paints arrive as they would.
    void RunLoop() {
        MSG message{};
        while (desktop_.GetMessageW(&message, nullptr, 0, 0) > 0) {
            desktop_.TranslateMessage(&message);
            desktop_.DispatchMessageW(&message);
        }
    }

    int PaintsOf(HWND window) {
        const std::vector<MessageRecord> messages = desktop_.MessagesTo(window);
        return static_cast<int>(std::count_if(messages.begin(), messages.end(),
                                              [](const auto& m) { return m.message == WM_PAINT; }));
    }

    int MovesOf(TControl& c) {
        const std::vector<UINT> sent = desktop_.SentTo(c.Handle());
        return static_cast<int>(std::count(sent.begin(), sent.end(), WM_WINDOWPOSCHANGING));
    }

    std::unique_ptr<TForm> form_;
    TFrame* frame_ = nullptr;
    TLabel* a_ = nullptr;
    TLabel* b_ = nullptr;
};

// Each write reads back at once what the window will take: sizes below 0 as 0, coordinates and
// sizes beyond 16 bits cut to them. The window moves once, when the bracket closes, to that.
TEST_F(BoundsBracketTest, WritesReadBackWhatTheWindowTakesAndMoveItOnce) {
    struct Row {
        Rect written; // Top, Left, Width, Height written in that order
        Rect taken;
    };
    const Row rows[] = {
        {{40, 30, 120, 25}, {40, 30, 120, 25}},
        {{-4, -6, -10, 18}, {-4, -6, 0, 18}},
        {{-40000, 40000, 50000, 7}, {-32768, 32767, 32767, 7}},
        {{12, 11, 32767, 40000}, {12, 11, 32767, 32767}},
    };
    for (const Row& row : rows) {
        const long long callsBefore = desktop_.MoveCalls();
        {
            TBoundsBracket bracket(*form_);
            const Rect was = WindowOf(*a_);
            a_->SetTop(row.written.top);
            EXPECT_EQ(a_->Top(), row.taken.top);
            a_->SetLeft(row.written.left);
            EXPECT_EQ(a_->Left(), row.taken.left);
            a_->SetWidth(row.written.width);
            EXPECT_EQ(a_->Width(), row.taken.width);
            a_->SetHeight(row.written.height);
            EXPECT_EQ(a_->Height(), row.taken.height);
            EXPECT_EQ(desktop_.MoveCalls(), callsBefore) << "nothing moves inside the bracket";
            EXPECT_EQ(WindowOf(*a_), was);
            bracket.Close();
        }
        EXPECT_EQ(desktop_.MoveCalls(), callsBefore + 1);
        EXPECT_EQ(MovesOf(*a_), 1);
        EXPECT_EQ(WindowOf(*a_), row.taken);
        EXPECT_EQ(FieldsOf(*a_), row.taken);
        desktop_.ClearMessages();
    }
}

TEST_F(BoundsBracketTest, AControlWrittenBackToWhereItWasIsNotMovedNorDrawn) {
    const long long callsBefore = desktop_.MoveCalls();
    {
        TBoundsBracket bracket(*form_);
        a_->SetLeft(300);
        a_->SetWidth(5);
        a_->SetLeft(10);
        a_->SetWidth(80);
        bracket.Close();
    }
    EXPECT_EQ(desktop_.MoveCalls(), callsBefore);
    EXPECT_EQ(FieldsOf(*a_), (Rect{10, 20, 80, 17}));
    EXPECT_FALSE(desktop_.NeedsPaint(form_->Handle()));
    EXPECT_FALSE(desktop_.NeedsPaint(a_->Handle()));
}

// Nothing is drawn while the bracket is open; closing it leaves the parent and every control
// in it, nested ones included, to be painted once: after moves alone (the windows are moved
// without drawing) as after moves and fonts.
TEST_F(BoundsBracketTest, ClosingDrawsTheParentWithAllItsControls) {
    for (bool fonts : {false, true}) {
        SCOPED_TRACE(fonts ? "moves and fonts" : "moves only");
        Settle();
        {
            TBoundsBracket bracket(*form_);
            a_->SetWidth(a_->Width() + 20);
            b_->SetTop(b_->Top() + 10);
            if (fonts) {
                a_->Font().SetSize(a_->Font().Size() + 4);
                b_->Font().SetColor(clRed);
            }
            EXPECT_FALSE(desktop_.NeedsPaint(form_->Handle()));
            EXPECT_FALSE(desktop_.NeedsPaint(a_->Handle()));
            EXPECT_FALSE(desktop_.NeedsPaint(b_->Handle()));
            bracket.Close();
        }
        EXPECT_TRUE(desktop_.NeedsPaint(form_->Handle()));
        EXPECT_TRUE(desktop_.NeedsPaint(a_->Handle()));
        EXPECT_TRUE(desktop_.NeedsPaint(frame_->Handle()));
        EXPECT_TRUE(desktop_.NeedsPaint(b_->Handle()));
        RunLoop();
        for (HWND window : {form_->Handle(), a_->Handle(), frame_->Handle(), b_->Handle()}) {
            EXPECT_EQ(PaintsOf(window), 1);
            EXPECT_FALSE(desktop_.NeedsPaint(window));
        }
    }
}

// A child's WM_WINDOWPOSCHANGED report gives it its place, except what the flags say did not
// change: SWP_NOMOVE leaves x and y, SWP_NOSIZE cx and cy unread, whatever they hold.
TEST_F(BoundsBracketTest, AReportGivesTheControlOnlyWhatItsFlagsSayChanged) {
    struct Row {
        const char* what;
        UINT flags;
        Rect reported; // x, y, cx, cy
        Rect taken;
    };
    const Row rows[] = {
        {"moved and sized", 0, {31, 42, 53, 24}, {31, 42, 53, 24}},
        {"sized only", SWP_NOMOVE, {0, 0, 53, 24}, {10, 20, 53, 24}},
        {"moved only", SWP_NOSIZE, {31, 42, 0, 0}, {31, 42, 80, 17}},
        {"neither", SWP_NOMOVE | SWP_NOSIZE, {0, 0, 0, 0}, {10, 20, 80, 17}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        a_->SetBounds(10, 20, 80, 17);
        WINDOWPOS pos{};
        pos.hwnd = a_->Handle();
        pos.x = row.reported.left;
        pos.y = row.reported.top;
        pos.cx = row.reported.width;
        pos.cy = row.reported.height;
        pos.flags = row.flags | SWP_NOZORDER;
        desktop_.SendMessageW(a_->Handle(), WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
        EXPECT_EQ(FieldsOf(*a_), row.taken);
    }
}

// While the bracket holds a control, a move of its window from outside neither changes what it
// reads nor where its window ends: the last write wins.
TEST_F(BoundsBracketTest, AWindowMovedFromOutsideWhileHeldEndsWhereTheControlReads) {
    {
        TBoundsBracket bracket(*form_);
        a_->SetLeft(300);
        desktop_.SetWindowPos(a_->Handle(), nullptr, 50, 60, 0, 0,
                              SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(FieldsOf(*a_), (Rect{300, 20, 80, 17}));
        bracket.Close();
    }
    EXPECT_EQ(FieldsOf(*a_), (Rect{300, 20, 80, 17}));
    EXPECT_EQ(WindowOf(*a_), (Rect{300, 20, 80, 17}));
}

// An AutoSize label takes its font at once: it reads back the size of its text in that font,
// a later write of its bounds wins over it, and its window ends where it reads. The rough font
// model: "ABCD" at 10 points (13 pixels) is 26 x 13, at 20 points (27 pixels) 54 x 27.
TEST_F(BoundsBracketTest, AnAutoSizeLabelReadsBackWhatItsNewFontMakesOfIt) {
    a_->SetCaption(u"ABCD");
    a_->Font().SetSize(10);
    a_->SetAutoSize(true);
    ASSERT_EQ(FieldsOf(*a_), (Rect{10, 20, 26, 13}));
    Settle();
    const long long callsBefore = desktop_.MoveCalls();
    {
        TBoundsBracket bracket(*form_);
        a_->Font().SetSize(20);
        EXPECT_EQ(FieldsOf(*a_), (Rect{10, 20, 54, 27}));
        EXPECT_FALSE(desktop_.NeedsPaint(a_->Handle()));
        a_->SetWidth(100);
        EXPECT_EQ(FieldsOf(*a_), (Rect{10, 20, 100, 27}));
        EXPECT_EQ(desktop_.MoveCalls(), callsBefore);
        bracket.Close();
    }
    EXPECT_EQ(FieldsOf(*a_), (Rect{10, 20, 100, 27}));
    EXPECT_EQ(WindowOf(*a_), (Rect{10, 20, 100, 27}));
    EXPECT_EQ(MovesOf(*a_), 1);
    const auto font = desktop_.FontOf(a_->Handle());
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->lfHeight, -27);
}

// Switched to AutoSize while the bracket holds its font back, a label measures with the font it
// is to have.
TEST_F(BoundsBracketTest, AutoSizeSwitchedOnInsideTheBracketMeasuresTheHeldFont) {
    a_->SetCaption(u"ABCD");
    a_->Font().SetSize(10);
    Settle();
    {
        TBoundsBracket bracket(*form_);
        a_->Font().SetSize(20);
        a_->SetAutoSize(true);
        EXPECT_EQ(FieldsOf(*a_), (Rect{10, 20, 54, 27}));
        bracket.Close();
    }
    EXPECT_EQ(WindowOf(*a_), (Rect{10, 20, 54, 27}));
}

// A font is made once, from the last attributes, and not at all when they come back to the
// font the window has: the parent's own font too (the frame takes it from the form). Once the
// bracket has closed, a change reaches the window at once again.
TEST_F(BoundsBracketTest, FontsAreMadeOnceFromTheLastAttributes) {
    const int before = desktop_.Ledger().AcquiredCount(HandleKind::Font);
    const LRESULT oldFont = desktop_.SendMessageW(a_->Handle(), WM_GETFONT, 0, 0);
    const int size = a_->Font().Size();
    {
        TBoundsBracket bracket(*form_);
        a_->Font().SetSize(20);
        a_->Font().SetSize(size);
        a_->Font().SetSize(a_->Font().Size()); // the same again
        b_->Font().SetSize(20);
        b_->Font().SetSize(14);
        form_->Font().SetSize(20);
        form_->Font().SetSize(12);
        EXPECT_EQ(desktop_.Ledger().AcquiredCount(HandleKind::Font), before);
        bracket.Close();
    }
    // b's, the form's and the frame's.
    EXPECT_EQ(desktop_.Ledger().AcquiredCount(HandleKind::Font), before + 3);
    EXPECT_EQ(desktop_.SendMessageW(a_->Handle(), WM_GETFONT, 0, 0), oldFont);
    // 14 points at 96 pixels per inch: 18.67 pixels, 19; 12 points: 16.
    for (const auto& [window, height] :
         {std::pair{b_->Handle(), -19}, {form_->Handle(), -16}, {frame_->Handle(), -16}}) {
        const auto font = desktop_.FontOf(window);
        ASSERT_TRUE(font.has_value());
        EXPECT_EQ(font->lfHeight, height);
    }

    b_->Font().SetSize(9);
    const auto font = desktop_.FontOf(b_->Handle());
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->lfHeight, -12);
}

// A window that goes while it is being moved: its move fails and is reported when the bracket
// closes, and the others are moved all the same.
class TVanishingLabel : public TLabel {
public:
    using TLabel::TLabel;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_WINDOWPOSCHANGING && vanish) {
            vanish = false;
            Os().DestroyWindow(WindowHandle());
            return 0;
        }
        return TLabel::WndProc(message, wParam, lParam);
    }
    bool vanish = false;
};

TEST_F(BoundsBracketTest, AFailedMoveIsReportedAndTheOthersStillMove) {
    auto* v = new TVanishingLabel(form_.get());
    v->SetName(u"Vanishing");
    v->SetParent(form_.get());
    ASSERT_NE(v->Handle(), nullptr);
    Settle();
    v->vanish = true;
    {
        TBoundsBracket bracket(*form_);
        v->SetLeft(40);
        a_->SetLeft(12);
        try {
            bracket.Close();
            ADD_FAILURE() << "no failure reported";
        } catch (const EInvalidOperation& e) {
            EXPECT_EQ(e.Message(), u"Cannot move the window of Vanishing");
        }
    }
    EXPECT_EQ(WindowOf(*a_), (Rect{12, 20, 80, 17}));
}

// An inner bracket leaves the work to the outer one; a control destroyed meanwhile is
// forgotten and the others still move.
TEST_F(BoundsBracketTest, InnerBracketsWaitForTheOuterOneAndGoneControlsAreForgotten) {
    auto* c = MakeLabel(form_.get(), 60, 60, 40, 15);
    Settle();
    const long long callsBefore = desktop_.MoveCalls();
    {
        TBoundsBracket outer(*form_);
        {
            TBoundsBracket inner(*frame_);
            b_->SetLeft(9);
            c->SetLeft(70);
            inner.Close();
        }
        EXPECT_EQ(desktop_.MoveCalls(), callsBefore);
        delete c;
        a_->SetLeft(12);
        outer.Close();
    }
    EXPECT_EQ(desktop_.MoveCalls(), callsBefore + 2);
    EXPECT_EQ(WindowOf(*b_), (Rect{9, 6, 70, 15}));
    EXPECT_EQ(WindowOf(*a_), (Rect{12, 20, 80, 17}));
}

// Outside a bracket a write moves the window at once, as ever.
TEST_F(BoundsBracketTest, WithoutABracketEachWriteMovesTheWindow) {
    const long long callsBefore = desktop_.MoveCalls();
    a_->SetTop(25);
    EXPECT_EQ(WindowOf(*a_), (Rect{10, 25, 80, 17}));
    a_->SetWidth(-3);
    EXPECT_EQ(WindowOf(*a_), (Rect{10, 25, 0, 17}));
    EXPECT_EQ(desktop_.MoveCalls(), callsBefore + 2);
}

} // namespace
} // namespace toolkit_test
