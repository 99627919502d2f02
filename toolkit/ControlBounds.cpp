// A control's bounds, and the bracket that holds the window moves back while a parent lays out
// its controls.
#include "toolkit/Controls.h"

#include "toolkit/Application.h"
#include "toolkit/Internal.h"

#include <algorithm>
#include <exception>
#include <vector>

namespace toolkit {

using namespace platform;

namespace {

struct Bounds {
    int left, top, width, height;
    bool operator==(const Bounds&) const = default;
};

// The open bracket. The toolkit runs on one thread, so there is one.
struct OpenBracket {
    TWinControl* parent = nullptr;
    int depth = 0;
    // Controls whose window moves are held, with where their windows were, in the order they
    // were first written.
    std::vector<std::pair<TControl*, Bounds>> moves;
    // Controls whose window font is made at the closing.
    std::vector<TControl*> fonts;
    bool redraw = false;
};

OpenBracket& Bracket() {
    static OpenBracket bracket;
    return bracket;
}

// Whether `control` lies inside the open bracket's parent (at any depth).
bool Inside(const TControl& control) {
    const OpenBracket& bracket = Bracket();
    if (bracket.depth == 0) {
        return false;
    }
    for (const TControl* p = control.Parent(); p != nullptr; p = p->Parent()) {
        if (p == bracket.parent) {
            return true;
        }
    }
    return false;
}

// What a child window makes of a SetWindowPos request: coordinates within 16 bits, sizes from
// 0 to 32767. Nothing else adjusts a toolkit control's window (none has a sizing border).
Bounds AsWindowTakes(int left, int top, int width, int height) {
    return {std::clamp(left, -32768, 32767), std::clamp(top, -32768, 32767),
            std::clamp(width, 0, 32767), std::clamp(height, 0, 32767)};
}

} // namespace

namespace internal {

bool HoldBounds(TControl& control) {
    if (control.boundsHeld_) {
        return true;
    }
    if (!control.HandleAllocated() || !Inside(control)) {
        return false;
    }
    // Held only once in the list: a failed push_back must not hold the control for ever.
    Bracket().moves.push_back(
        {&control, {control.Left(), control.Top(), control.Width(), control.Height()}});
    control.boundsHeld_ = true;
    return true;
}

bool HoldPainting(const TControl& control) {
    OpenBracket& bracket = Bracket();
    if (bracket.depth == 0 || (&control != bracket.parent && !Inside(control))) {
        return false;
    }
    bracket.redraw = true;
    return true;
}

bool HoldFont(TControl& control) {
    if (control.fontHeld_) {
        return true;
    }
    OpenBracket& bracket = Bracket();
    if (bracket.depth == 0 || (&control != bracket.parent && !Inside(control))) {
        return false;
    }
    bracket.fonts.push_back(&control);
    control.fontHeld_ = true;
    return true;
}

void ReleaseHeld(TControl& control) {
    OpenBracket& bracket = Bracket();
    if (control.boundsHeld_) {
        control.boundsHeld_ = false;
        std::erase_if(bracket.moves, [&](const auto& move) { return move.first == &control; });
    }
    if (control.fontHeld_) {
        control.fontHeld_ = false;
        std::erase(bracket.fonts, &control);
    }
}

} // namespace internal

void TControl::MakeHeldFont() {
    if (!fontHeld_) {
        return;
    }
    fontHeld_ = false;
    std::erase(Bracket().fonts, this);
    UpdateWindowFont();
}

void TControl::SetLeft(int left) {
    SetBounds(left, top_, width_, height_);
}
void TControl::SetTop(int top) {
    SetBounds(left_, top, width_, height_);
}
void TControl::SetWidth(int width) {
    SetBounds(left_, top_, width, height_);
}
void TControl::SetHeight(int height) {
    SetBounds(left_, top_, width_, height);
}

void TControl::SetBoundsFields(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (handle_ != nullptr && internal::HoldBounds(*this)) {
        // The window is moved when the bracket closes; read back, the fields already give
        // what it will take.
        const Bounds taken = AsWindowTakes(left, top, width, height);
        SetBoundsFields(taken.left, taken.top, taken.width, taken.height);
        return;
    }
    const int oldLeft = left_;
    const int oldTop = top_;
    const int oldWidth = width_;
    const int oldHeight = height_;
    SetBoundsFields(left, top, width, height);
    const bool moved =
        left_ != oldLeft || top_ != oldTop || width_ != oldWidth || height_ != oldHeight;
    // Moving a window to where it is still repaints it.
    if (handle_ != nullptr && moved) {
        if (Os().MoveWindow(handle_, left_, top_, width_, height_, TRUE) == FALSE) {
            throw EInvalidOperation(u"Cannot move the window of " + Name());
        }
        // The window may have adjusted the request.
        UpdateBoundsFromWindow();
    }
}

void TControl::UpdateBoundsFromWindow() {
    // Held bounds are ahead of the window until the bracket closes.
    if (handle_ == nullptr || boundsHeld_) {
        return;
    }
    RECT rect{};
    if (Os().GetWindowRect(handle_, &rect) == FALSE) {
        return;
    }
    HWND parentWindow = Os().GetParent(handle_);
    if (parentWindow != nullptr) {
        POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
        Os().SetLastError(ERROR_SUCCESS);
        if (Os().MapWindowPoints(nullptr, parentWindow, corners, 2) == 0 &&
            Os().GetLastError() != ERROR_SUCCESS) {
            return;
        }
        rect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    }
    SetBoundsFields(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

// ---- TBoundsBracket ---------------------------------------------------------------------------

TBoundsBracket::TBoundsBracket(TWinControl& parent) : exceptions_(std::uncaught_exceptions()) {
    OpenBracket& bracket = Bracket();
    if (bracket.depth++ == 0) {
        bracket.parent = &parent;
        bracket.redraw = false;
    }
}

TBoundsBracket::~TBoundsBracket() {
    if (!open_) {
        return;
    }
    // Left by an exception: the windows still take their bounds, and the exception in flight
    // is the one to report.
    if (std::uncaught_exceptions() > exceptions_) {
        try {
            Close();
        } catch (...) {
        }
        return;
    }
    try {
        Close();
    } catch (...) {
        Application().HandleException(std::current_exception());
    }
}

void TBoundsBracket::Close() {
    if (!open_) {
        return;
    }
    open_ = false;
    OpenBracket& bracket = Bracket();
    if (bracket.depth > 1) {
        --bracket.depth;
        return;
    }
    // Fonts first, while the bracket still holds the moves. None of them changes a size: a
    // control sized by its font took it at once. A font that cannot be made stops neither the
    // others nor the moves; the first failure is reported at the end.
    std::exception_ptr fontFailure;
    for (std::size_t i = 0; i < bracket.fonts.size(); ++i) {
        TControl* control = bracket.fonts[i];
        control->fontHeld_ = false;
        try {
            control->UpdateWindowFont();
        } catch (...) {
            if (!fontFailure) {
                fontFailure = std::current_exception();
            }
        }
    }
    bracket.fonts.clear();
    bracket.depth = 0;
    std::vector<std::pair<TControl*, Bounds>> moves;
    moves.swap(bracket.moves);
    TWinControl* parent = bracket.parent;
    bracket.parent = nullptr;
    for (auto& move : moves) {
        move.first->boundsHeld_ = false;
    }
    bool redraw = bracket.redraw;
    std::u16string failed;
    for (auto& [control, was] : moves) {
        const Bounds now{control->left_, control->top_, control->width_, control->height_};
        if (now == was || control->handle_ == nullptr) {
            continue;
        }
        // Drawn once with the rest below; WM_WINDOWPOSCHANGED brings the fields what the window
        // took.
        if (Os().SetWindowPos(control->handle_, nullptr, now.left, now.top, now.width, now.height,
                              SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW) == FALSE) {
            failed = control->Name();
            control->UpdateBoundsFromWindow();
        }
        redraw = true;
    }
    if (redraw && parent != nullptr && parent->HandleAllocated()) {
        Os().RedrawWindow(parent->WindowHandle(), nullptr, nullptr,
                          RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    if (fontFailure) {
        std::rethrow_exception(fontFailure);
    }
    if (!failed.empty()) {
        throw EInvalidOperation(u"Cannot move the window of " + failed);
    }
}

} // namespace toolkit
