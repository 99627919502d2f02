#!/usr/bin/env python3
"""Draws Setup.exe's images and writes them beside this script.

    python3 make-images.py            write the images
    python3 make-images.py --check    compare the committed images with a fresh drawing
    python3 make-images.py --out DIR  write them into DIR instead

Standard library only, and deterministic: the same bytes on every run, so the committed
files can be checked against the drawing. Shapes are sampled on a fine sub-pixel grid and
averaged, which anti-aliases them; the 16-colour icon takes the most frequent sub-pixel
colour instead, because averaging would produce colours its palette does not have.
"""

import argparse
import math
import os
import struct
import sys
import zlib

# --------------------------------------------------------------------------------------------
# Shapes: each answers whether a point lies inside it and gives a bounding box for culling.


class Polygon:
    def __init__(self, points):
        self.points = [(float(x), float(y)) for x, y in points]
        xs = [p[0] for p in self.points]
        ys = [p[1] for p in self.points]
        self.box = (min(xs), min(ys), max(xs), max(ys))

    def contains(self, x, y):
        inside = False
        pts = self.points
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y):
                if x < xi + (y - yi) * (xj - xi) / (yj - yi):
                    inside = not inside
            j = i
        return inside


class Stroke:
    """A polyline of the given width with round joins and caps."""

    def __init__(self, points, width, closed=False):
        pts = [(float(x), float(y)) for x, y in points]
        if closed:
            pts.append(pts[0])
        self.segments = list(zip(pts, pts[1:]))
        self.r2 = (width / 2.0) ** 2
        r = width / 2.0
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        self.box = (min(xs) - r, min(ys) - r, max(xs) + r, max(ys) + r)

    def contains(self, x, y):
        for (ax, ay), (bx, by) in self.segments:
            dx, dy = bx - ax, by - ay
            length2 = dx * dx + dy * dy
            t = 0.0 if length2 == 0 else ((x - ax) * dx + (y - ay) * dy) / length2
            t = 0.0 if t < 0 else 1.0 if t > 1 else t
            px, py = ax + t * dx - x, ay + t * dy - y
            if px * px + py * py <= self.r2:
                return True
        return False


class Ellipse:
    def __init__(self, cx, cy, rx, ry):
        self.cx, self.cy, self.rx, self.ry = cx, cy, rx, ry
        self.box = (cx - rx, cy - ry, cx + rx, cy + ry)

    def contains(self, x, y):
        u = (x - self.cx) / self.rx
        v = (y - self.cy) / self.ry
        return u * u + v * v <= 1.0


class RoundRect:
    def __init__(self, x0, y0, x1, y1, radius):
        self.box = (x0, y0, x1, y1)
        self.radius = radius

    def contains(self, x, y):
        x0, y0, x1, y1 = self.box
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        r = self.radius
        cx = x0 + r if x < x0 + r else x1 - r if x > x1 - r else x
        cy = y0 + r if y < y0 + r else y1 - r if y > y1 - r else y
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


# --------------------------------------------------------------------------------------------
# Paints: colour (r, g, b, a), channels 0..255 and alpha 0..1, at a point.


def solid(r, g, b, a=1.0):
    colour = (float(r), float(g), float(b), float(a))
    return lambda x, y: colour


def gradient(p0, c0, p1, c1):
    """Linear gradient from colour c0 at p0 to c1 at p1, clamped beyond both ends."""
    dx, dy = p1[0] - p0[0], p1[1] - p0[1]
    length2 = dx * dx + dy * dy
    c0 = tuple(float(v) for v in c0) + ((1.0,) if len(c0) == 3 else ())
    c1 = tuple(float(v) for v in c1) + ((1.0,) if len(c1) == 3 else ())

    def paint(x, y):
        t = ((x - p0[0]) * dx + (y - p0[1]) * dy) / length2
        t = 0.0 if t < 0 else 1.0 if t > 1 else t
        return tuple(a + (b - a) * t for a, b in zip(c0, c1))

    return paint


# --------------------------------------------------------------------------------------------
# Rendering. A scene is a list of (shape, paint) in painting order; coordinates are in output
# pixels, (0, 0) being the top left corner of the top left pixel.


def sample(scene, x, y):
    """Composites the scene at one point; returns premultiplied (r, g, b, a)."""
    r = g = b = a = 0.0
    for shape, paint in scene:
        x0, y0, x1, y1 = shape.box
        if x < x0 or x > x1 or y < y0 or y > y1 or not shape.contains(x, y):
            continue
        cr, cg, cb, ca = paint(x, y)
        keep = 1.0 - ca
        r, g, b, a = cr * ca + r * keep, cg * ca + g * keep, cb * ca + b * keep, ca + a * keep
    return r, g, b, a


def render(scene, width, height, ss):
    """Averages ss x ss samples per pixel; returns rows of straight (r, g, b, alpha) bytes."""
    offsets = [(i + 0.5) / ss for i in range(ss)]
    n = float(ss * ss)
    rows = []
    for py in range(height):
        row = []
        for px in range(width):
            tr = tg = tb = ta = 0.0
            for oy in offsets:
                for ox in offsets:
                    r, g, b, a = sample(scene, px + ox, py + oy)
                    tr += r
                    tg += g
                    tb += b
                    ta += a
            alpha = ta / n
            if alpha <= 0.0:
                row.append((0, 0, 0, 0))
                continue
            row.append((clamp8(tr / ta), clamp8(tg / ta), clamp8(tb / ta), clamp8(alpha * 255.0)))
        rows.append(row)
    return rows


def render_majority(scene, width, height, ss, palette):
    """Each pixel takes the palette colour (or transparency) that most of its samples show.

    Returns rows of palette indices, None meaning transparent.
    """
    offsets = [(i + 0.5) / ss for i in range(ss)]
    rows = []
    for py in range(height):
        row = []
        for px in range(width):
            votes = {}
            for oy in offsets:
                for ox in offsets:
                    r, g, b, a = sample(scene, px + ox, py + oy)
                    key = None if a < 0.5 else nearest(palette, (r / a, g / a, b / a))
                    votes[key] = votes.get(key, 0) + 1
            # Ties go to the colour seen first, which keeps the result deterministic.
            row.append(max(votes, key=lambda k: votes[k]))
        rows.append(row)
    return rows


def clamp8(v):
    return 0 if v < 0 else 255 if v > 255 else int(math.floor(v + 0.5))


def nearest(palette, colour):
    best, best_d = 0, None
    for i, p in enumerate(palette):
        d = (p[0] - colour[0]) ** 2 + (p[1] - colour[1]) ** 2 + (p[2] - colour[2]) ** 2
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


# --------------------------------------------------------------------------------------------
# Colour reduction to 256 colours: weighted median cut over the opaque pixels.


def median_cut(counts, n):
    """counts: {colour: pixels}. Returns at most n colours."""
    boxes = [sorted(counts.items())]
    while len(boxes) < n:
        best = None
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            spans = [max(c[k] for c, _ in box) - min(c[k] for c, _ in box) for k in range(3)]
            channel = max(range(3), key=lambda k: spans[k])
            weight = sum(w for _, w in box)
            score = spans[channel] * spans[channel] * weight
            if best is None or score > best[0]:
                best = (score, i, channel)
        if best is None or best[0] == 0:
            break
        _, i, channel = best
        box = sorted(boxes[i], key=lambda cw: (cw[0][channel], cw[0]))
        half = sum(w for _, w in box) / 2.0
        acc, cut = 0, 1
        for j, (_, w) in enumerate(box):
            acc += w
            if acc >= half:
                cut = max(1, min(len(box) - 1, j + 1))
                break
        boxes[i:i + 1] = [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        weight = sum(w for _, w in box)
        palette.append(tuple(clamp8(sum(c[k] * w for c, w in box) / weight) for k in range(3)))
    return palette


def to_8bpp(rows):
    """Reduces an RGBA drawing to (palette of 256, rows of indices, rows of transparency).

    Half-covered pixels and more become opaque; index 0 is black, which transparent pixels
    use so that the mask and the colour bits together leave the screen unchanged.
    """
    counts = {}
    for row in rows:
        for r, g, b, a in row:
            if a >= 128:
                counts[(r, g, b)] = counts.get((r, g, b), 0) + 1
    if len(counts) <= 255:
        colours = sorted(counts)
    else:
        colours = median_cut(counts, 255)
    palette = [(0, 0, 0)] + colours
    cache = {}
    indices, masks = [], []
    for row in rows:
        irow, mrow = [], []
        for r, g, b, a in row:
            if a < 128:
                irow.append(0)
                mrow.append(1)
                continue
            key = (r, g, b)
            if key not in cache:
                cache[key] = 1 + nearest(colours, key)
            irow.append(cache[key])
            mrow.append(0)
        indices.append(irow)
        masks.append(mrow)
    palette += [(0, 0, 0)] * (256 - len(palette))
    return palette, indices, masks


# --------------------------------------------------------------------------------------------
# File formats. Bitmaps in icons are bottom-up DIBs of twice the image height: the colour
# bits followed by the 1-bit AND mask (1 = transparent), every row padded to 4 bytes.


def pad4(data):
    return data + b"\0" * (-len(data) % 4)


def mask_bits(masks):
    out = b""
    for row in reversed(masks):
        bits = bytearray((len(row) + 7) // 8)
        for x, m in enumerate(row):
            if m:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += pad4(bytes(bits))
    return out


def info_header(width, height, bpp, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0, image_size, 0, 0, 0, 0)


def dib_32(rows):
    colour = b"".join(bytes(c for r, g, b, a in row for c in (b, g, r, a)) for row in reversed(rows))
    mask = mask_bits([[1 if a == 0 else 0 for (_, _, _, a) in row] for row in rows])
    width, height = len(rows[0]), len(rows)
    return info_header(width, height * 2, 32, len(colour) + len(mask)) + colour + mask, 32, 0


def png_32(rows):
    """An RGBA PNG of the rows, as an icon image that Windows Vista and later read."""
    width, height = len(rows[0]), len(rows)
    raw = b"".join(b"\0" + bytes(c for r, g, b, a in row for c in (r, g, b, a)) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
    return png + chunk(b"IEND", b""), 32, 0


def dib_indexed(palette, indices, masks, bpp):
    width, height = len(indices[0]), len(indices)
    colour = b""
    for row in reversed(indices):
        if bpp == 8:
            colour += pad4(bytes(row))
        else:
            packed = bytearray((width + 1) // 2)
            for x, i in enumerate(row):
                packed[x // 2] |= i << (4 if x % 2 == 0 else 0)
            colour += pad4(bytes(packed))
    mask = mask_bits(masks)
    header = info_header(width, height * 2, bpp, len(colour) + len(mask))
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + table + colour + mask, bpp, len(palette) if bpp < 8 else 0


def ico(images):
    """images: (width, height, (dib, bpp, colour count))."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for width, height, (dib, bpp, colours) in images:
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, colours, 0, 1, bpp,
                               len(dib), offset)
        blobs += dib
        offset += len(dib)
    return out + entries + blobs


def bmp_24(rows):
    width, height = len(rows[0]), len(rows)
    bits = b"".join(pad4(bytes(c for r, g, b, _ in row for c in (b, g, r))) for row in reversed(rows))
    # 3780 pixels per metre: 96 dpi, the density the window is designed at.
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(bits), 3780, 3780, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(bits), 0, 0, 14 + len(header))
    return file_header + header + bits


# --------------------------------------------------------------------------------------------
# The drawings.

# The box with the green arrow, drawn in a 48 x 48 design grid.
BOX_TOP = [(24, 13), (43, 20.5), (24, 28), (5, 20.5)]
BOX_LEFT = [(5, 20.5), (24, 28), (24, 45), (5, 37.5)]
BOX_RIGHT = [(24, 28), (43, 20.5), (43, 37.5), (24, 45)]
BOX_OUTLINE = [(24, 13), (43, 20.5), (43, 37.5), (24, 45), (5, 37.5), (5, 20.5)]
ARROW = [(19, 1.5), (29, 1.5), (29, 12), (37, 12), (24, 26), (11, 12), (19, 12)]


def scaled(points, k):
    return [(x * k, y * k) for x, y in points]


def box_scene(size):
    """The launcher icon at 48 or 32 pixels; outlines keep a pixel width that reads at both."""
    k = size / 48.0
    line = 1.25 if size <= 32 else 1.5
    dark = (92, 56, 22)
    tape = (250, 234, 196)
    return [
        (Ellipse(24 * k, 44.5 * k, 20 * k, 3.2 * k), solid(0, 0, 0, 0.28)),
        (Polygon(scaled(BOX_LEFT, k)), gradient((0, 20 * k), (222, 170, 102), (0, 44 * k), (196, 142, 76))),
        (Polygon(scaled(BOX_RIGHT, k)), gradient((0, 20 * k), (178, 124, 62), (0, 44 * k), (150, 100, 46))),
        (Polygon(scaled(BOX_TOP, k)), gradient((0, 13 * k), (246, 214, 160), (0, 28 * k), (232, 190, 128))),
        # Packing tape: along the seam of the lid and down the front-left side.
        (Stroke(scaled([(14.5, 24.25), (33.5, 16.75)], k), 3.2 * k), solid(*tape)),
        (Stroke(scaled([(14.5, 24.25), (14.5, 33)], k), 3.2 * k), solid(*tape)),
        (Stroke(scaled([(5, 20.5), (24, 28), (43, 20.5)], k), line * 0.8), solid(*dark, 0.55)),
        (Stroke(scaled([(24, 28), (24, 45)], k), line * 0.8), solid(*dark, 0.55)),
        (Stroke(scaled(BOX_OUTLINE, k), line, closed=True), solid(*dark)),
        (Polygon(scaled(ARROW, k)), gradient((11 * k, 0), (122, 222, 92), (37 * k, 0), (36, 156, 44))),
        (Stroke(scaled(ARROW, k), line, closed=True), solid(18, 88, 22)),
        # A highlight down the left of the shaft gives the arrow some depth.
        (Stroke(scaled([(21.2, 3.5), (21.2, 13.5)], k), 2.1 * k), solid(255, 255, 255, 0.35)),
    ]


def small_box_scene():
    """The launcher icon at 16 pixels, drawn on the pixel grid: scaling the large drawing down
    blurs it. Outlines are filled shapes under inset ones, so their straight edges stay sharp,
    and the faces of the box meet on a pixel boundary instead of at a drawn line."""
    dark = (92, 56, 22)
    outer_arrow = [(5, 0), (11, 0), (11, 3), (14, 3), (8, 9), (2, 3), (5, 3)]
    # One pixel in from the outer arrow; the head's sides run at 45 degrees.
    r2 = math.sqrt(2.0)
    inner_arrow = [(6, 1), (10, 1), (10, 4), (13 - r2, 4), (8, 9 - r2), (3 + r2, 4), (6, 4)]
    return [
        (Polygon([(8, 4), (16, 7), (16, 13), (8, 16), (0, 13), (0, 7)]), solid(*dark)),
        (Polygon([(1, 7.4), (8, 10), (8, 15), (1, 12.4)]), solid(214, 162, 96)),
        (Polygon([(8, 10), (15, 7.4), (15, 12.4), (8, 15)]), solid(164, 112, 54)),
        (Polygon([(8, 5.05), (14.8, 7.4), (8, 9.75), (1.2, 7.4)]), solid(242, 206, 150)),
        (Polygon(outer_arrow), solid(18, 88, 22)),
        (Polygon(inner_arrow), gradient((3, 0), (112, 214, 84), (13, 0), (40, 160, 46))),
    ]


# The standard 16-colour palette, in its usual order.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def window_icon_scene():
    """The window icon: the same box in colours the 16-colour palette holds exactly."""
    k = 32 / 48.0
    return [
        (Polygon(scaled(BOX_LEFT, k)), solid(192, 192, 192)),
        (Polygon(scaled(BOX_RIGHT, k)), solid(128, 128, 128)),
        (Polygon(scaled(BOX_TOP, k)), solid(255, 255, 255)),
        (Stroke(scaled([(24, 28), (24, 45)], k), 1.0), solid(0, 0, 0)),
        (Stroke(scaled(BOX_OUTLINE, k), 1.2, closed=True), solid(0, 0, 0)),
        (Polygon(scaled(ARROW, k)), solid(0, 255, 0)),
        (Polygon([(24 * k, 26 * k), (37 * k, 12 * k), (29 * k, 12 * k), (29 * k, 1.5 * k), (24 * k, 1.5 * k)]),
         solid(0, 128, 0)),
        (Stroke(scaled(ARROW, k), 1.2, closed=True), solid(0, 0, 0)),
    ]


FORM_BLUE = (40, 40, 255)


def logo_scene():
    """A chip with a green arrow on the window's blue; every part is wide enough to survive
    the window shrinking the picture to 26 x 23."""
    scene = [(RoundRect(-1, -1, 71, 41, 0), solid(*FORM_BLUE))]
    pin_light, pin_dark = (236, 238, 244), (150, 154, 168)
    for i in range(4):
        x = 15 + i * 11
        scene.append((RoundRect(x, 3, x + 7, 12, 1.2), gradient((x, 0), pin_light, (x + 7, 0), pin_dark)))
        scene.append((RoundRect(x, 28, x + 7, 37, 1.2), gradient((x, 0), pin_light, (x + 7, 0), pin_dark)))
    scene += [
        (RoundRect(9, 9, 61, 31, 4), solid(12, 12, 24)),
        (RoundRect(10, 10, 60, 30, 3), gradient((0, 10), (84, 86, 100), (0, 30), (38, 40, 52))),
        (Ellipse(15.5, 15.5, 2.2, 2.2), solid(140, 144, 160)),
        (Polygon([(31, 11.5), (39, 11.5), (39, 19), (45, 19), (35, 28.5), (25, 19), (31, 19)]),
         gradient((0, 11.5), (140, 236, 100), (0, 28.5), (40, 176, 52))),
    ]
    return scene


CHECK = [(3.6, 9.6), (7.4, 13.4), (14.6, 4.4)]
CROSS = [[(4.6, 4.6), (13.4, 13.4)], [(13.4, 4.6), (4.6, 13.4)]]


def glyph_scene(strokes, outline, top, bottom):
    scene = [(Stroke(s, 4.2), solid(*outline)) for s in strokes]
    scene += [(Stroke(s, 2.6), gradient((0, 3), top, (0, 15), bottom)) for s in strokes]
    return scene


def greyed(rows):
    """The disabled look: the drawing's lightness mapped onto a light grey, a little faded."""
    out = []
    for row in rows:
        new = []
        for r, g, b, a in row:
            lum = 0.299 * r + 0.587 * g + 0.114 * b
            v = clamp8(112 + lum * 0.42)
            new.append((v, v, v, clamp8(a * 0.8)))
        out.append(new)
    return out


# --------------------------------------------------------------------------------------------


def build():
    """Returns {file name: bytes}."""
    files = {}

    sizes = (48, 32, 16)
    drawings = {48: render(box_scene(48), 48, 48, 8), 32: render(box_scene(32), 32, 32, 8),
                16: render(small_box_scene(), 16, 16, 12)}
    images = [(s, s, dib_indexed(*to_8bpp(drawings[s]), bpp=8)) for s in sizes]
    # The largest true-colour image is stored compressed (PNG), as Windows Vista and later
    # allow; the three 256-colour images stay plain DIBs.
    images += [(s, s, png_32(drawings[s]) if s == 48 else dib_32(drawings[s])) for s in sizes]
    files["Setup.ico"] = ico(images)

    window = render_majority(window_icon_scene(), 32, 32, 6, VGA)
    indices = [[0 if i is None else i for i in row] for row in window]
    masks = [[1 if i is None else 0 for i in row] for row in window]
    files["MainForm.ico"] = ico([(32, 32, dib_indexed(VGA, indices, masks, bpp=4))])

    files["Logo.bmp"] = bmp_24(render(logo_scene(), 70, 40, 8))

    check = render(glyph_scene([CHECK], (20, 96, 28), (118, 214, 84), (34, 150, 44)), 18, 18, 16)
    cross = render(glyph_scene(CROSS, (124, 18, 18), (246, 96, 80), (196, 34, 30)), 18, 18, 16)
    files["GlyphInstall.ico"] = ico([(18, 18, dib_32(check))])
    files["GlyphInstallDisabled.ico"] = ico([(18, 18, dib_32(greyed(check)))])
    files["GlyphCancel.ico"] = ico([(18, 18, dib_32(cross))])
    files["GlyphCancelDisabled.ico"] = ico([(18, 18, dib_32(greyed(cross)))])
    return files


def main():
    parser = argparse.ArgumentParser(description="Draws Setup.exe's images.")
    parser.add_argument("--out", default=os.path.dirname(os.path.abspath(__file__)),
                        help="folder to write into (default: this script's folder)")
    parser.add_argument("--check", action="store_true",
                        help="write nothing; fail if a file in the folder differs from the drawing")
    args = parser.parse_args()

    stale = []
    for name, data in sorted(build().items()):
        path = os.path.join(args.out, name)
        if args.check:
            try:
                with open(path, "rb") as f:
                    same = f.read() == data
            except OSError:
                same = False
            if not same:
                stale.append(name)
        else:
            with open(path, "wb") as f:
                f.write(data)
            print(f"wrote {path} ({len(data)} bytes)")
    if stale:
        print("out of date (run make-images.py): " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
