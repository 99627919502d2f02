// Where the owner window opens, how large it may become, and keeping it inside the part of
// the primary screen that the taskbar leaves free. Positions and sizes here are outer window
// coordinates in screen pixels.
#include "resizekit/ResizeKit.h"

#include "platform/Api.h"

#include <algorithm>

using platform::Os;
using platform::RECT;

namespace {

int RectWidth(const RECT& r) { return r.right - r.left; }
int RectHeight(const RECT& r) { return r.bottom - r.top; }

RECT WindowRect(platform::HWND window) {
    RECT r{};
    Os().GetWindowRect(window, &r); // not examined: a failed call leaves an empty rectangle
    return r;
}

// Moves a window of W x H at (x, y) back inside the work area's right and bottom edges.
void PullIn(int& x, int& y, int W, int H, const TResizeKit::TWorkArea& area) {
    if (x + W > area.Width) {
        x = area.Width - W;
    }
    if (y + H > area.Height) {
        y = area.Height - H;
    }
}

} // namespace

TResizeKit::TWorkArea TResizeKit::GetWorkArea(bool ValidTaskbar) const {
    TWorkArea area;
    area.Width = Os().GetSystemMetrics(platform::SM_CXSCREEN);
    area.Height = Os().GetSystemMetrics(platform::SM_CYSCREEN);
    area.TaskbarEdge = -1;
    if (resizekit::OsMajorVersion < 4) {
        return area; // no taskbar to ask for: the whole screen
    }
    // The record's own size: 36 in the 32-bit product, as the shell expects of it.
    platform::APPBARDATA data{};
    data.cbSize = sizeof(data);
    const bool autoHide = (Os().SHAppBarMessage(platform::ABM_GETSTATE, &data) &
                           platform::ABS_AUTOHIDE) != 0;
    data = platform::APPBARDATA{};
    data.cbSize = sizeof(data);
    Os().SHAppBarMessage(platform::ABM_GETTASKBARPOS, &data);
    RECT& tb = area.Taskbar;
    tb = data.rc;
    tb.top = std::max(tb.top, 0);
    tb.left = std::max(tb.left, 0);
    tb.right = std::min(tb.right, area.Width);
    tb.bottom = std::min(tb.bottom, area.Height);

    // A square (or empty) rectangle counts as vertical.
    if (RectWidth(tb) > RectHeight(tb)) {
        area.TaskbarEdge = tb.top > 0 ? 3 : 0;
    } else {
        area.TaskbarEdge = tb.left > 0 ? 2 : 1;
    }
    if (autoHide) {
        switch (area.TaskbarEdge) {
        case 0: tb.bottom = tb.top; break;
        case 1: tb.right = tb.left; break;
        case 2: tb.left = tb.right; break;
        default: tb.top = tb.bottom; break;
        }
    }
    if (ValidTaskbar) {
        if (area.TaskbarEdge == 1 || area.TaskbarEdge == 2) {
            area.Width -= RectWidth(tb);
        } else {
            area.Height -= RectHeight(tb);
        }
    }
    return area;
}

void TResizeKit::PlaceForm(platform::HWND Window, TResizeFormPos Pos, bool ValidTaskbar, int W,
                           int H) {
    if (Os().IsZoomed(Window) != platform::FALSE) {
        return;
    }
    const TWorkArea area = GetWorkArea(ValidTaskbar);
    const RECT r = WindowRect(Window);
    int x = r.left;
    int y = r.top;
    PullIn(x, y, W, H, area);
    const int midX = (area.Width - W) / 2; // C++ division truncates toward zero, as wanted
    const int midY = (area.Height - H) / 2;
    const int farX = area.Width - W;
    const int farY = area.Height - H;
    switch (Pos) {
    case rpDefault: break;
    case rpTopLeft: x = 0; y = 0; break;
    case rpTopCenter: x = midX; y = 0; break;
    case rpTopRight: x = farX; y = 0; break;
    case rpMiddleLeft: x = 0; y = midY; break;
    case rpMiddleCenter: x = midX; y = midY; break;
    case rpMiddleRight: x = farX; y = midY; break;
    case rpBottomLeft: x = 0; y = farY; break;
    case rpBottomCenter: x = midX; y = farY; break;
    case rpBottomRight: x = farX; y = farY; break;
    }
    x = std::max(x, 0);
    y = std::max(y, 0);
    if (resizekit::OsMinorVersion == 0) {
        if (area.TaskbarEdge == 0 && y < area.Taskbar.bottom) {
            y = area.Taskbar.bottom;
        }
        if (area.TaskbarEdge == 1 && x < area.Taskbar.right) {
            x = area.Taskbar.right;
        }
    }
    Os().MoveWindow(Window, x, y, W, H, platform::TRUE);
}

void TResizeKit::PlaceOwnerAtOnce() {
    // Also while the description is read: FOwnerHandle is not known yet then, so the owner's
    // window is asked for (and made if need be).
    auto* owner = dynamic_cast<toolkit::TControl*>(Owner());
    if (owner == nullptr) {
        return; // an owner without a window has nothing to place
    }
    platform::HWND window = FOwnerHandle != nullptr ? FOwnerHandle : owner->Handle();
    const RECT r = WindowRect(window);
    PlaceForm(window, FFormPos, FValidTaskbar, RectWidth(r), RectHeight(r));
}

void TResizeKit::PlaceOnFirstShow() {
    resizekit::LastScreenWidth = Os().GetSystemMetrics(platform::SM_CXSCREEN);
    resizekit::LastScreenHeight = Os().GetSystemMetrics(platform::SM_CYSCREEN);
    const TWorkArea area = GetWorkArea(FValidTaskbar);
    int W = 0;
    int H = 0;
    if (FFormWidth > 0 && FFormHeight > 0) {
        W = FFormWidth;
        H = FFormHeight;
    } else {
        // One pixel more than the present outer size: the size change it makes is what
        // brings the first rescale.
        const RECT r = WindowRect(FOwnerHandle);
        W = RectWidth(r) + 1;
        H = RectHeight(r) + 1;
    }
    W = std::min(W, area.Width);
    H = std::min(H, area.Height);
    PlaceForm(FOwnerHandle, FFormPos, FValidTaskbar, W, H);
}

void TResizeKit::ClampSizingRect(platform::RECT& R) const {
    // Only the right and bottom edges move, whichever border is dragged.
    if (FFormMaxWidth > 0 && FFormMaxHeight > 0) {
        if (RectWidth(R) > FFormMaxWidth) {
            R.right = R.left + FFormMaxWidth;
        }
        if (RectHeight(R) > FFormMaxHeight) {
            R.bottom = R.top + FFormMaxHeight;
        }
    }
    if (FFormMinWidth > 0 && FFormMinHeight > 0) {
        if (RectWidth(R) < FFormMinWidth) {
            R.right = R.left + FFormMinWidth;
        }
        if (RectHeight(R) < FFormMinHeight) {
            R.bottom = R.top + FFormMinHeight;
        }
    }
}

void TResizeKit::FillMinMaxInfo(platform::MINMAXINFO& M) {
    TWorkArea area = GetWorkArea(FValidTaskbar);
    const int TW = RectWidth(area.Taskbar);
    const int TH = RectHeight(area.Taskbar);
    int maxW = M.ptMaxSize.x;
    int maxH = M.ptMaxSize.y;
    int posX = M.ptMaxPosition.x;
    int posY = M.ptMaxPosition.y;
    const bool limited = FFormMaxWidth > 0 && FFormMaxHeight > 0;
    if (limited) {
        maxW = FFormMaxWidth;
        maxH = FFormMaxHeight;
    } else {
        // A negative proposal widens the area by its amount (the frame hanging off-screen).
        if (maxW < 0) {
            area.Width -= maxW;
        }
        if (maxH < 0) {
            area.Height -= maxH;
        }
        maxW = area.Width;
        maxH = area.Height;
    }
    maxW = std::min(maxW, area.Width);
    maxH = std::min(maxH, area.Height);
    if (limited) {
        const RECT r = WindowRect(FOwnerHandle);
        const bool left = area.TaskbarEdge == 1;
        const bool top = area.TaskbarEdge == 0;
        if (r.left < 0) {
            posX = left ? TW : 0;
        } else if (r.right <= area.Width) {
            posX = left && r.left <= TW ? TW : r.left;
        } else {
            posX = area.Width - maxW + (left ? TW : 0);
        }
        if (r.top < 0) {
            posY = top ? TH : 0;
        } else if (r.bottom <= area.Height) {
            posY = top && r.top <= TH ? TH : r.top;
        } else {
            posY = area.Height - maxH + (top ? TH : 0);
        }
        posX = std::max(posX, 0);
        posY = std::max(posY, 0);
    }
    if (resizekit::OsMinorVersion > 0) {
        if (area.TaskbarEdge == 0) {
            posY -= TH;
        }
        if (area.TaskbarEdge == 1) {
            posX -= TW;
        }
    }
    M.ptMaxSize = {maxW, maxH};
    M.ptMaxTrackSize = {maxW, maxH};
    M.ptMaxPosition = {posX, posY};
}

void TResizeKit::FitMaximizedWindow() {
    const TWorkArea area = GetWorkArea(FValidTaskbar);
    const RECT r = WindowRect(FOwnerHandle);
    // The far edges of the free area; the taskbar's own position matters only when it is
    // taken off the work area.
    int bottomLimit = area.Height;
    int rightLimit = area.Width;
    if (FValidTaskbar && area.TaskbarEdge == 0) {
        bottomLimit += RectHeight(area.Taskbar);
    }
    if (FValidTaskbar && area.TaskbarEdge == 1) {
        rightLimit += RectWidth(area.Taskbar);
    }
    if (r.bottom <= bottomLimit && r.right <= rightLimit) {
        return;
    }
    int x = r.left;
    int y = r.top;
    if (r.bottom > bottomLimit) {
        y = bottomLimit - RectHeight(r);
    }
    if (r.right > rightLimit) {
        x = rightLimit - RectWidth(r);
    }
    Os().MoveWindow(FOwnerHandle, x, y, RectWidth(r), RectHeight(r), platform::TRUE);
}

void TResizeKit::RefitOnScreenChange() {
    const int screenW = Os().GetSystemMetrics(platform::SM_CXSCREEN);
    const int screenH = Os().GetSystemMetrics(platform::SM_CYSCREEN);
    if (screenW == resizekit::LastScreenWidth && screenH == resizekit::LastScreenHeight) {
        return;
    }
    resizekit::LastScreenWidth = screenW;
    resizekit::LastScreenHeight = screenH;
    const TWorkArea area = GetWorkArea(FValidTaskbar);
    const RECT r = WindowRect(FOwnerHandle);
    const int W = std::min(RectWidth(r) + 1, area.Width);
    const int H = std::min(RectHeight(r) + 1, area.Height);
    int x = r.left;
    int y = r.top;
    PullIn(x, y, W, H, area);
    Os().MoveWindow(FOwnerHandle, x, y, W, H, platform::TRUE);
}
