#include "ExampleFacts.h"

#include "Output.h"

namespace e2e::example {

namespace {

// Worked out from the example's description and Main.cpp and the layout rules by
// tests/expected_example_layout.py (`python3 tests/expected_example_layout.py driver`), apart
// from the product's code, and pasted here.
// clang-format off
constexpr ExpectedLayout kExpectedLayouts[] = {
    {96, 481, 361,
     {{112, 14, 353, 28, -20},
      {16, 56, 96, 20, -15},
      {120, 52, 200, 26, -15},
      {337, 52, 128, 160, -15},
      {16, 136, 305, 120, 0},
      {8, 8, 289, 20, -13},
      {8, 36, 289, 24, -13},
      {337, 229, 128, 20, -13},
      {16, 12, 72, 28, -15},
      {120, 91, 200, 26, -15}}},
    {96, 640, 480,
     {{149, 19, 469, 37, -20},
      {21, 75, 128, 27, -19},
      {160, 69, 267, 35, -19},
      {448, 69, 171, 213, -19},
      {21, 181, 405, 160, 0},
      {11, 11, 384, 27, -17},
      {11, 48, 384, 32, -17},
      {448, 304, 171, 27, -17},
      {16, 12, 72, 28, -15},
      {160, 121, 267, 35, -19}}},
    {96, 432, 336,
     {{101, 13, 317, 26, -20},
      {14, 52, 86, 19, -12},
      {108, 49, 180, 24, -12},
      {302, 49, 115, 149, -12},
      {14, 127, 274, 112, 0},
      {7, 7, 259, 19, -12},
      {7, 34, 259, 22, -12},
      {302, 213, 115, 19, -12},
      {16, 12, 72, 28, -15},
      {108, 85, 180, 24, -12}}},
    {144, 481, 361,
     {{112, 14, 353, 28, -30},
      {16, 56, 96, 20, -16},
      {120, 52, 200, 26, -16},
      {337, 52, 128, 160, -16},
      {16, 136, 305, 120, 0},
      {8, 8, 289, 20, -14},
      {8, 36, 289, 24, -14},
      {337, 229, 128, 20, -14},
      {16, 12, 72, 28, -15},
      {120, 91, 200, 26, -16}}},
    {144, 640, 480,
     {{149, 19, 469, 37, -30},
      {21, 75, 128, 27, -20},
      {160, 69, 267, 35, -20},
      {448, 69, 171, 213, -20},
      {21, 181, 405, 160, 0},
      {11, 11, 384, 27, -18},
      {11, 48, 384, 32, -18},
      {448, 304, 171, 27, -18},
      {16, 12, 72, 28, -15},
      {160, 121, 267, 35, -20}}},
    {144, 432, 336,
     {{101, 13, 317, 26, -30},
      {14, 52, 86, 19, -14},
      {108, 49, 180, 24, -14},
      {302, 49, 115, 149, -14},
      {14, 127, 274, 112, 0},
      {7, 7, 259, 19, -12},
      {7, 34, 259, 22, -12},
      {302, 213, 115, 19, -12},
      {16, 12, 72, 28, -15},
      {108, 85, 180, 24, -14}}},
};
// clang-format on

} // namespace

const ExpectedLayout& ExpectedFor(int dpi, int client_width, int client_height) {
    for (const ExpectedLayout& e : kExpectedLayouts)
        if (e.dpi == dpi && e.client_width == client_width && e.client_height == client_height)
            return e;
    Fail(L"no expected layout for a " + Num(client_width) + L" x " + Num(client_height) +
         L" client at " + Num(dpi) + L" dpi (add the size to tests/expected_example_layout.py)");
}

} // namespace e2e::example
