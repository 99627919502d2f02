// The launcher's window: its controls, and where each must be with what font for a density
// and a client size.
#pragma once

#include "WinUtil.h"

namespace e2e {

constexpr int kDesignDpi = 96;
enum ControlIndex {
    kLabelTitle,
    kImage1,
    kLabel2,
    kLabelType,
    kLabelVersion,
    kLabel5,
    kBtnInstall,
    kBtnCancel,
    kControlCount
};
// The form's controls in the description's order.
inline constexpr const char* kControlNames[kControlCount] = {"LabelTitle", "Image1",       "Label2",
                                                             "LabelType",  "LabelVersion", "Label5",
                                                             "BtnInstall", "BtnCancel"};

// Where each control must be, relative to the client area, and the pixel height of its font
// (0: the control shows no text), for a density and a client size.
struct ExpectedLayout {
    int dpi, client_width, client_height;
    Rect controls[kControlCount];
    int font_heights[kControlCount];
};

// Fails when the table has no entry for the density and size.
const ExpectedLayout& ExpectedFor(int dpi, int client_width, int client_height);

} // namespace e2e
