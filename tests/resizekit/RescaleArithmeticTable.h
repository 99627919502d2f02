// The rescale arithmetic's table: the worked examples with their results, and a sweep of
// client sizes at three densities folded into one digest. The host tests and a test program
// of each Windows build run the same table with their own floating-point code.
#pragma once

#include "resizekit/Arithmetic.h"

#include <cstdint>
#include <initializer_list>

namespace rescale_table {

enum class Rule { Pixel, FontSize, Record };

struct Example {
    const char* what;
    Rule rule;
    int value;     // the reference value, or for Record the present value
    int client;    // client size, design client size, densities: the factor
    int reference;
    int designDpi;
    int runDpi;
    int expected;
};

inline double Factor(const Example& e) {
    return resizekit::ScaleFactor(e.client, e.reference, e.designDpi, e.runDpi);
}

inline int Apply(const Example& e) {
    const double f = Factor(e);
    switch (e.rule) {
    case Rule::Pixel: return resizekit::RoundPixel(e.value * f);
    case Rule::FontSize: return resizekit::TruncateSize(e.value * f);
    case Rule::Record: return resizekit::RoundPixel(e.value / f);
    }
    return 0;
}

inline const Example kExamples[] = {
    {"Width 265 at 591 / 394 (397.5 up)", Rule::Pixel, 265, 591, 394, 96, 96, 398},
    {"Left 88 at 591 / 394", Rule::Pixel, 88, 591, 394, 96, 96, 132},
    {"font 20 at 0.93 truncated", Rule::FontSize, 20, 93, 100, 96, 96, 18},
    {"owner font 10 at 0.93 rounded", Rule::Pixel, 10, 93, 100, 96, 96, 9},
    {"font 10 at 0.04 before its floor", Rule::FontSize, 10, 4, 100, 96, 96, 0},
    {"Left -4 at 1.0 toward zero", Rule::Pixel, -4, 394, 394, 96, 96, -3},
    {"Left 51 recorded at 1.5", Rule::Record, 51, 591, 394, 96, 96, 34},
    {"Left 52 recorded at 1.5", Rule::Record, 52, 591, 394, 96, 96, 35},
    {"reference 35 back at 1.5 (52.5 up)", Rule::Pixel, 35, 591, 394, 96, 96, 53},
    {"Width 331 at 120 dpi, 492 / 394", Rule::Pixel, 331, 492, 394, 96, 120, 331},
    {"Width 398 at 144 dpi, 591 / 394", Rule::Pixel, 398, 591, 394, 96, 144, 398},
    {"Left 88 at 591 / 394, design density -96 as none", Rule::Pixel, 88, 591, 394, -96, 96, 132},
};

struct Sweep {
    std::uint64_t digest;
    int results;
};

// FNV-1a over every result of the sweep: client widths 1 to 2000 over the design width 394 at
// 96, 120 and 144 dpi, for a selection of the main window's reference values and font sizes,
// and the record rule.
inline Sweep SweepDigest() {
    std::uint64_t hash = 1469598103934665603ull;
    int results = 0;
    auto mix = [&hash, &results](int v) {
        ++results;
        const auto u = static_cast<std::uint32_t>(v);
        for (int i = 0; i < 4; ++i) {
            hash ^= (u >> (8 * i)) & 0xFFu;
            hash *= 1099511628211ull;
        }
    };
    const int references[] = {7, 26, 32, 35, 70, 88, 105, 117, 139, 140, 159, 172, 223, 241,
                              245, 265, 292, 302, 31, 385, 394};
    const int fonts[] = {10, 15, 16, 17, 20, 25};
    for (int dpi : {96, 120, 144}) {
        for (int client = 1; client <= 2000; ++client) {
            const double f = resizekit::ScaleFactor(client, 394, 96, dpi);
            for (int v : references) {
                mix(resizekit::RoundPixel(v * f));
                mix(resizekit::RoundPixel(resizekit::RoundPixel(v / f) * f));
            }
            for (int size : fonts) {
                mix(resizekit::TruncateSize(size * f));
            }
        }
    }
    return {hash, results};
}

} // namespace rescale_table
