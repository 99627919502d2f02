// The rescale pass's arithmetic, apart so that a test program of each build can run it with
// that build's floating-point code.
#pragma once

#include <limits>

namespace resizekit {

// A value beyond the integers is held at their ends rather than converted with undefined
// behaviour (a huge client size over a tiny design size).
inline int TruncateToInt(double v) {
    constexpr double lowest = static_cast<double>(std::numeric_limits<int>::min());
    constexpr double highest = static_cast<double>(std::numeric_limits<int>::max());
    if (!(v > lowest)) {
        return std::numeric_limits<int>::min();
    }
    if (!(v < highest)) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(v); // toward zero
}

// Pixel values and the owner's font size: 397.5 gives 398, -3.7 gives -3.
inline int RoundPixel(double v) { return TruncateToInt(v + 0.5); }
// The controls' font sizes: truncated, no 0.5 added.
inline int TruncateSize(double v) { return TruncateToInt(v); }

// Factor of one direction: (client / reference) x (design density / running density), each
// quotient in floating point, multiplied in this order. A zero running density or a zero
// reference size gives 1.0: the layout then stays as recorded in that direction instead of
// dividing by zero. A density that is not positive (a missing design value, or a negative one
// in a hand-written description) counts as the other one, as at load: a negative factor would
// mirror the layout.
inline double ScaleFactor(int client, int reference, int designDpi, int runDpi) {
    if (runDpi == 0 || reference == 0) {
        return 1.0;
    }
    const double density =
        designDpi <= 0 || runDpi < 0 ? 1.0 : static_cast<double>(designDpi) / runDpi;
    const double size = static_cast<double>(client) / reference;
    return size * density;
}

} // namespace resizekit
