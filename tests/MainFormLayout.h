// The main window's controls as its design gives them, in the description's order: stated once
// for the tests that read the real description.
#pragma once

#include <array>

namespace tests {

struct ControlLayout {
    const char* name;
    const char* className;
    int left, top, width, height;
};

inline constexpr std::array<ControlLayout, 8> kMainFormControls = {{
    {"LabelTitle", "TLabel", 88, 32, 265, 31},
    {"Image1", "TImage", 7, 6, 26, 23},
    {"Label2", "TLabel", 70, 105, 292, 26},
    {"LabelType", "TLabel", 159, 146, 114, 29},
    {"LabelVersion", "TLabel", 117, 181, 172, 36},
    {"Label5", "TLabel", 77, 245, 241, 28},
    {"BtnInstall", "TBitBtn", 35, 302, 140, 49},
    {"BtnCancel", "TBitBtn", 223, 302, 139, 49},
}};

// The component after the controls.
inline constexpr ControlLayout kMainFormResizeKit = {"ResizeKit1", "TResizeKit", 0, 0, 0, 0};

} // namespace tests
