// The example program's window (examples/resizing-form): its controls, and where each must be
// with what font for a density and a client size.
#pragma once

#include "WinUtil.h"

namespace e2e::example {

enum ControlIndex {
    kLabelHeading,
    kLabelName,
    kEditName,
    kListColours,
    kFrameDetails,
    kLabelNote,
    kEditNote,
    kLabelScale,
    kBtnClose,
    kEditAdded,
    kControlCount
};

struct ControlFact {
    const char* name;
    ControlIndex parent; // kControlCount: the form
    const wchar_t* text; // nullptr: not checked (it changes, or the control shows none)
};

// In the description's order, then the control added at run time.
inline constexpr ControlFact kControls[kControlCount] = {
    {"LabelHeading", kControlCount, L"This heading's font stays"},
    {"LabelName", kControlCount, L"Your name:"},
    {"EditName", kControlCount, L"Ada"},
    {"ListColours", kControlCount, nullptr},
    {"FrameDetails", kControlCount, nullptr},
    {"LabelNote", kFrameDetails, L"Inside a frame"},
    {"EditNote", kFrameDetails, L"Frames are followed one level deep"},
    {"LabelScale", kControlCount, nullptr},
    {"BtnClose", kControlCount, L"Close"},
    {"EditAdded", kControlCount, L"Added at run time"},
};

// The client size the first showing gives, and the window's size limits (outer pixels).
inline constexpr int kFirstClientWidth = 481, kFirstClientHeight = 361;
inline constexpr int kMinWidth = 420, kMinHeight = 360, kMaxWidth = 960, kMaxHeight = 720;

struct ExpectedControl {
    Rect rect;       // in the parent's client area
    int font_height; // 0: the control shows no text
};

struct ExpectedLayout {
    int dpi, client_width, client_height;
    ExpectedControl controls[kControlCount];
};

// Fails when the table has no entry for the density and size.
const ExpectedLayout& ExpectedFor(int dpi, int client_width, int client_height);

} // namespace e2e::example
