#!/usr/bin/env python3
"""The main window's expected layout, worked out apart from the product's code.

    python3 tests/expected_layout.py driver   the table in tests/e2e/WindowFacts.cpp
    python3 tests/expected_layout.py flow     the table in tests/launcher/AppFlowTest.cpp
    python3 tests/expected_layout.py check    every value also in exact fractions (no output
                                              but differences; status 1 when there are any)

From the window's description (resources/MainForm.desc: a 394 x 385 client at 96 dpi, the
controls' rectangles and font heights, the window's font height) and the layout rules:

- A font height h in the description is a size of round(-h x 72 / dpi) points at the screen's
  density (MulDiv: halves away from zero).
- When the window is created, every rectangle value and every font size v (the window's and
  each control's own) becomes r(v / (96 / dpi)), with r(x) = the integer part of x + 0.5.
  The window keeps its built client size; the first showing makes it one pixel larger each way.
- At a client size W x H, with X = (W / 394) x (96 / dpi), Y = (H / 385) x (96 / dpi) and
  F = the smaller of X and Y: left and width become r(v x X), top and height r(v x Y), a 0
  becoming 1; a control's font t(s x F) points (t: the integer part), at least 1; the
  window's own font r(s x F).
- A control's font is made with the pixel height -round(points x dpi / 72).

Factors and quotients are doubles, formed in the order written, as the rules ask; Python's
floats are the same IEEE doubles. `check` recomputes everything with exact fractions and
reports where a value sits so close to a rounding boundary that the two differ.
"""

import sys
from fractions import Fraction

DESIGN_CLIENT = (394, 385)
DESIGN_DPI = 96
WINDOW_FONT_HEIGHT = -13
# name, left, top, width, height, font height (None: the control shows no text)
CONTROLS = [
    ("LabelTitle", 88, 32, 265, 31, -27),
    ("Image1", 7, 6, 26, 23, None),
    ("Label2", 70, 105, 292, 26, -23),
    ("LabelType", 159, 146, 114, 29, -20),
    ("LabelVersion", 117, 181, 172, 36, -23),
    ("Label5", 77, 245, 241, 28, -20),
    ("BtnInstall", 35, 302, 140, 49, -20),
    ("BtnCancel", 223, 302, 139, 49, -20),
]

# The client sizes each test looks at, by density. The first showing gives 395 x 386; the
# resize scenarios then set 1.5 times the width, 300 x 500 and 591 x 520, and maximise. The
# maximised client comes from the screen, the taskbar and the frame: measured under Wine on
# the test display (1280 x 1024, the frame growing with the density) and on the simulated
# desktop (work area 1280 x 1004).
DRIVER_SIZES = {
    96: [(395, 386), (592, 386), (300, 500), (591, 520), (1272, 997)],
    120: [(395, 386), (592, 386), (300, 500), (591, 520), (1272, 992)],
    144: [(395, 386), (592, 386), (300, 500), (591, 520), (1270, 986)],
}
FLOW_SIZES = {
    96: [(395, 386), (592, 386), (300, 500), (1272, 977)],
    120: [(395, 386), (592, 386), (300, 500), (1272, 977)],
    144: [(395, 386), (592, 386), (300, 500), (1272, 977)],
}

def trunc(x):
    return int(x)  # toward zero, for floats and fractions alike


def r(x):
    return trunc(x + (Fraction(1, 2) if isinstance(x, Fraction) else 0.5))


def muldiv(a, b, c):
    q = Fraction(a * b, c)
    return trunc(q + Fraction(1, 2)) if q >= 0 else -trunc(-q + Fraction(1, 2))


def layout(dpi, width, height, exact=False):
    """(window font points, [(name, left, top, width, height, points or 0, font height or 0)])"""
    if exact:
        ratio = Fraction(DESIGN_DPI, dpi)
        x = Fraction(width, DESIGN_CLIENT[0]) * Fraction(DESIGN_DPI, dpi)
        y = Fraction(height, DESIGN_CLIENT[1]) * Fraction(DESIGN_DPI, dpi)
    else:
        ratio = DESIGN_DPI / dpi
        x = (width / DESIGN_CLIENT[0]) * (DESIGN_DPI / dpi)
        y = (height / DESIGN_CLIENT[1]) * (DESIGN_DPI / dpi)
    f = x if x <= y else y

    def pixel(v, factor):
        p = r(r(v / ratio) * factor)
        return 1 if p == 0 else p

    window_points = r(r(muldiv(-WINDOW_FONT_HEIGHT, 72, dpi) / ratio) * f)
    rows = []
    for name, left, top, w, h, font_height in CONTROLS:
        points = pixel_height = 0
        if font_height is not None:
            reference = r(muldiv(-font_height, 72, dpi) / ratio)
            points = max(1, trunc(reference * f))
            pixel_height = -muldiv(points, dpi, 72)
        rows.append((name, pixel(left, x), pixel(top, y), pixel(w, x), pixel(h, y), points,
                     pixel_height))
    return window_points, rows


def driver_table():
    out = []
    for dpi, sizes in DRIVER_SIZES.items():
        for width, height in sizes:
            _, rows = layout(dpi, width, height)
            rects = ["{%d, %d, %d, %d}" % row[1:5] for row in rows]
            out.append("    {%d, %d, %d,\n     {%s,\n      %s},\n     {%s}}," % (
                dpi, width, height, ", ".join(rects[:4]), ", ".join(rects[4:]),
                ", ".join("%d" % row[6] for row in rows)))
    return "\n".join(out)


def flow_table():
    out = []
    for dpi, sizes in FLOW_SIZES.items():
        for width, height in sizes:
            window_points, rows = layout(dpi, width, height)
            out.append("    {%d, %d, %d, %d,\n     {%s}}," % (
                dpi, width, height, window_points,
                ",\n      ".join("{u\"%s\", %d, %d, %d, %d, %d}" % row[:6] for row in rows)))
    return "\n".join(out)


def check():
    differences = 0
    for table in (DRIVER_SIZES, FLOW_SIZES):
        for dpi, sizes in table.items():
            for width, height in sizes:
                if layout(dpi, width, height) != layout(dpi, width, height, exact=True):
                    differences += 1
                    print("%d dpi, %d x %d: doubles and exact fractions differ" %
                          (dpi, width, height))
    return 1 if differences else 0


if __name__ == "__main__":
    what = sys.argv[1] if len(sys.argv) > 1 else ""
    if what == "driver":
        print(driver_table())
    elif what == "flow":
        print(flow_table())
    elif what == "check":
        sys.exit(check())
    else:
        sys.exit(__doc__)
