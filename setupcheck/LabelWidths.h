// The widths of the three texts in Setup.exe's own window: its description read by the toolkit
// into real labels with their real fonts, on this system at its density. Windows only: the
// host build has no real fonts to measure with.
#pragma once

#include "setupcheck/SetupCheck.h"

namespace setupcheck {

// Builds the window (hidden) on its first use. Throws what the toolkit throws when it cannot.
LabelMeasure WindowLabelMeasure();

} // namespace setupcheck
