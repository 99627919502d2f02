#!/usr/bin/env python3
"""The example program's expected layout (examples/resizing-form), worked out apart from the
product's code, with the rules and rounding of expected_layout.py beside it.

    python3 tests/expected_example_layout.py driver   the table in tests/e2e/ExampleFacts.cpp
    python3 tests/expected_example_layout.py check    every value also in exact fractions (no
                                                      output but differences; status 1 if any)

From the window's description (examples/resizing-form/ResizingForm.desc: a 480 x 360 client at
96 dpi) and Main.cpp, and the layout rules:

- Loading adapts every recorded control to the screen's density d: each rectangle value v
  becomes r(v / (96 / d)), each font of h pixels becomes r(muldiv(-h, 72, d) / (96 / d))
  points. Controls on the frame are recorded and adapted the same way, their rectangles
  relative to the frame.
- BtnClose is named in NoResizeCtl: no record; it keeps its designed rectangle and, as
  nothing writes its font's size, the toolkit keeps the font's designed pixel height, at every
  density and size.
- LabelHeading is named in NoResizeFntCtl: its rectangle follows, its font stays at the size
  loading gave it.
- EditAdded is made by Main.cpp after loading, placed by EditName's adapted rectangle (same
  left, width and height, top = EditName's top + 3/2 of its height, in integers), with
  EditName's font, and recorded by DynamicAdd before any rescale (factors 1.0): its reference
  is that rectangle and that font size.
- The window keeps its built client size; the first showing makes it one pixel larger each
  way. At a client size W x H, X = (W / 480) x (96 / d), Y = (H / 360) x (96 / d), F the
  smaller: left and width become r(v x X), top and height r(v x Y), a 0 becoming 1; a font
  t(s x F) points, at least 1; its pixel height is -muldiv(points, d, 72).
"""

import sys
from fractions import Fraction

from expected_layout import muldiv, r, trunc

DESIGN_CLIENT = (480, 360)
DESIGN_DPI = 96
# name, parent (None: the form), left, top, width, height, font height (None: shows no text,
# 0 in the table), rule
# rule: "" follows the window; "font kept" (NoResizeFntCtl); "fixed" (NoResizeCtl);
# "added" (DynamicAdd; its rectangle and font come from EditName).
CONTROLS = [
    ("LabelHeading", None, 112, 14, 352, 28, -20, "font kept"),
    ("LabelName", None, 16, 56, 96, 20, -15, ""),
    ("EditName", None, 120, 52, 200, 26, -15, ""),
    ("ListColours", None, 336, 52, 128, 160, -15, ""),
    ("FrameDetails", None, 16, 136, 304, 120, None, ""),
    ("LabelNote", "FrameDetails", 8, 8, 288, 20, -13, ""),
    ("EditNote", "FrameDetails", 8, 36, 288, 24, -13, ""),
    ("LabelScale", None, 336, 228, 128, 20, -13, ""),
    ("BtnClose", None, 16, 12, 72, 28, -15, "fixed"),
    ("EditAdded", None, None, None, None, None, None, "added"),
]

# The client sizes the test looks at: the first showing's, then two resizes.
SIZES = {dpi: [(481, 361), (640, 480), (432, 336)] for dpi in (96, 144)}


def layout(dpi, width, height, exact=False):
    """[(name, parent, left, top, width, height, font pixel height)]"""
    if exact:
        ratio = Fraction(DESIGN_DPI, dpi)
        x = Fraction(width, DESIGN_CLIENT[0]) * ratio
        y = Fraction(height, DESIGN_CLIENT[1]) * ratio
    else:
        ratio = DESIGN_DPI / dpi
        x = (width / DESIGN_CLIENT[0]) * (DESIGN_DPI / dpi)
        y = (height / DESIGN_CLIENT[1]) * (DESIGN_DPI / dpi)
    f = x if x <= y else y

    def pixel(v, factor):
        p = r(v * factor)
        return 1 if p == 0 else p

    references = {}
    rows = []
    for name, parent, left, top, w, h, font_height, rule in CONTROLS:
        if rule == "added":
            left, top, w, h, points = references["EditName"]
            top = top + h * 3 // 2
        elif rule == "fixed":
            rows.append((name, parent, left, top, w, h, font_height))
            continue
        else:
            left, top, w, h = (r(v / ratio) for v in (left, top, w, h))
            points = 0 if font_height is None else r(muldiv(-font_height, 72, dpi) / ratio)
        references[name] = (left, top, w, h, points)
        if rule != "font kept" and points:
            points = max(1, trunc(points * f))
        rows.append((name, parent, pixel(left, x), pixel(top, y), pixel(w, x), pixel(h, y),
                     -muldiv(points, dpi, 72)))
    return rows


def driver_table():
    out = []
    for dpi, sizes in SIZES.items():
        for width, height in sizes:
            rows = layout(dpi, width, height)
            out.append("    {%d, %d, %d,\n     {%s}}," % (
                dpi, width, height,
                ",\n      ".join("{%d, %d, %d, %d, %d}" % row[2:] for row in rows)))
    return "\n".join(out)


def check():
    differences = 0
    for dpi, sizes in SIZES.items():
        for width, height in sizes:
            if layout(dpi, width, height) != layout(dpi, width, height, exact=True):
                differences += 1
                print("%d dpi, %d x %d: doubles and exact fractions differ" % (dpi, width, height))
    return 1 if differences else 0


if __name__ == "__main__":
    what = sys.argv[1] if len(sys.argv) > 1 else ""
    if what == "driver":
        print(driver_table())
    elif what == "check":
        sys.exit(check())
    else:
        sys.exit(__doc__)
