#!/usr/bin/env python3
"""Draws Morvaneo's pictures and writes them as PNG files.

Pure Python 3 with the standard library only. Each picture is described with
filled polygons in its own design units; a shape is rasterised into a
supersampled coverage mask and composited with anti-aliased edges.

    python3 make_icons.py                 # writes the PNGs beside this script
    python3 make_icons.py --out DIR       # writes them into DIR
    python3 make_icons.py --preview FILE  # also writes an enlarged contact sheet
"""

import argparse
import math
import os
import struct
import zlib

# ---------------------------------------------------------------- colours


def rgb(hexcode, alpha=1.0):
    h = hexcode.lstrip("#")
    return (int(h[0:2], 16) / 255.0, int(h[2:4], 16) / 255.0, int(h[4:6], 16) / 255.0, alpha)


def mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def _stops(stops, t):
    t = min(1.0, max(0.0, t))
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return mix(c0, c1, 0.0 if t1 == t0 else (t - t0) / (t1 - t0))
    return stops[-1][1]


def linear(p0, p1, *stops):
    """Linear gradient from p0 to p1 through evenly spaced colours."""
    stops = _normalise(stops)
    dx, dy = p1[0] - p0[0], p1[1] - p0[1]
    dd = dx * dx + dy * dy or 1.0
    return lambda x, y: _stops(stops, ((x - p0[0]) * dx + (y - p0[1]) * dy) / dd)


def radial(centre, radius, *stops):
    stops = _normalise(stops)
    return lambda x, y: _stops(stops, math.hypot(x - centre[0], y - centre[1]) / radius)


def _normalise(colours):
    """Colour stops spread evenly from 0 to 1."""
    n = len(colours) - 1
    return [(i / n, c) for i, c in enumerate(colours)]


# ----------------------------------------------------------------- shapes
# A contour is a list of (x, y) points; a shape is a list of contours filled
# with the even-odd rule.


def rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def arc(cx, cy, rx, ry, a0, a1, steps=None):
    """Points on an elliptic arc, angles in degrees, 0 = right, 90 = down."""
    if steps is None:
        steps = max(6, int(abs(a1 - a0) / 4))
    return [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * i / steps)),
             cy + ry * math.sin(math.radians(a0 + (a1 - a0) * i / steps)))
            for i in range(steps + 1)]


def ellipse(cx, cy, rx, ry=None):
    ry = rx if ry is None else ry
    return arc(cx, cy, rx, ry, 0, 360, 96)[:-1]


def rrect(x0, y0, x1, y1, r):
    if r <= 0:
        return rect(x0, y0, x1, y1)
    return (arc(x1 - r, y0 + r, r, r, -90, 0, 12) + arc(x1 - r, y1 - r, r, r, 0, 90, 12)
            + arc(x0 + r, y1 - r, r, r, 90, 180, 12) + arc(x0 + r, y0 + r, r, r, 180, 270, 12))


def _area(pts):
    return sum(x0 * y1 - x1 * y0 for (x0, y0), (x1, y1) in zip(pts, pts[1:] + pts[:1])) / 2.0


def offset(pts, d):
    """Moves every edge of a closed contour outwards by d (inwards when d < 0),
    with mitred corners; for the simple, mostly convex outlines used here."""
    sign = 1.0 if _area(pts) > 0 else -1.0
    n = len(pts)
    lines = []
    for i in range(n):
        (x0, y0), (x1, y1) = pts[i], pts[(i + 1) % n]
        ex, ey = x1 - x0, y1 - y0
        ln = math.hypot(ex, ey)
        if ln < 1e-9:
            continue
        # Outward normal for a contour of positive area (y pointing down).
        nx, ny = ey / ln * sign, -ex / ln * sign
        lines.append(((x0 + nx * d, y0 + ny * d), (ex, ey)))
    out = []
    m = len(lines)
    for i in range(m):
        (p, u), (q, v) = lines[i - 1], lines[i]
        cross = u[0] * v[1] - u[1] * v[0]
        if abs(cross) < 1e-9:
            out.append(q)
            continue
        t = ((q[0] - p[0]) * v[1] - (q[1] - p[1]) * v[0]) / cross
        out.append((p[0] + u[0] * t, p[1] + u[1] * t))
    return out


def ring(pts, width):
    """The band of the given width just inside a closed contour."""
    return [pts, offset(pts, -width)]


def segment(p0, p1, width, cap=0.0):
    """A straight bar of the given width from p0 to p1, each end extended by cap."""
    dx, dy = p1[0] - p0[0], p1[1] - p0[1]
    ln = math.hypot(dx, dy) or 1.0
    ux, uy = dx / ln, dy / ln
    nx, ny = -uy * width / 2.0, ux * width / 2.0
    a = (p0[0] - ux * cap, p0[1] - uy * cap)
    b = (p1[0] + ux * cap, p1[1] + uy * cap)
    return [(a[0] + nx, a[1] + ny), (b[0] + nx, b[1] + ny), (b[0] - nx, b[1] - ny), (a[0] - nx, a[1] - ny)]


def pill(x0, y0, x1, y1):
    """A horizontal bar with round ends."""
    return rrect(x0, y0, x1, y1, (y1 - y0) / 2.0)


def rotate(pts, cx, cy, degrees):
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    return [(cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c) for x, y in pts]


def translate(pts, dx, dy):
    return [(x + dx, y + dy) for x, y in pts]


# ------------------------------------------------------------ rasteriser


class Canvas:
    """An RGBA picture of size x size pixels drawn in design units (design
    units per side), with premultiplied colours."""

    def __init__(self, size, design=None, samples=8):
        self.size = size
        self.design = design or size
        self.samples = samples
        self.hi = size * samples
        self.k = self.hi / self.design  # hi-res samples per design unit
        n = size * size
        self.r, self.g, self.b, self.a = [0.0] * n, [0.0] * n, [0.0] * n, [0.0] * n

    # Coverage masks: one byte (0 or 1) per sample.
    def mask(self, *contours):
        data = bytearray(self.hi * self.hi)
        self._fill(data, contours)
        return data

    def _fill(self, data, contours):
        k, w = self.k, self.hi
        edges = []
        for pts in contours:
            n = len(pts)
            for i in range(n):
                x0, y0 = pts[i]
                x1, y1 = pts[(i + 1) % n]
                x0, y0, x1, y1 = x0 * k, y0 * k, x1 * k, y1 * k
                if y0 == y1:
                    continue
                if y0 > y1:
                    x0, y0, x1, y1 = x1, y1, x0, y0
                edges.append((y0, y1, x0, (x1 - x0) / (y1 - y0)))
        if not edges:
            return
        top = max(0, int(math.floor(min(e[0] for e in edges))))
        bottom = min(w, int(math.ceil(max(e[1] for e in edges))) + 1)
        ones = b"\x01" * w
        for j in range(top, bottom):
            yc = j + 0.5
            xs = sorted(x0 + (yc - y0) * dx for (y0, y1, x0, dx) in edges if y0 <= yc < y1)
            row = j * w
            for a, b in zip(xs[0::2], xs[1::2]):
                ia = max(0, math.ceil(a - 0.5))
                ib = min(w, math.ceil(b - 0.5))
                if ib > ia:
                    data[row + ia:row + ib] = ones[:ib - ia]

    @staticmethod
    def _int(data):
        return int.from_bytes(data, "little")

    def intersect(self, m1, m2):
        return bytearray((self._int(m1) & self._int(m2)).to_bytes(len(m1), "little"))

    def coverage(self, data):
        """Fraction of covered samples per pixel."""
        s, w, size = self.samples, self.hi, self.size
        inv = 1.0 / (s * s)
        cov = [0.0] * (size * size)
        for yo in range(size):
            acc = None
            for sub in range(s):
                start = (yo * s + sub) * w
                row = data[start:start + w]
                first = row.find(1)
                if first < 0:
                    continue
                last = row.rfind(1)
                if acc is None:
                    acc = [0] * size
                for xo in range(first // s, last // s + 1):
                    acc[xo] += row[xo * s:(xo + 1) * s].count(1)
            if acc is not None:
                base = yo * size
                for xo, v in enumerate(acc):
                    if v:
                        cov[base + xo] = v * inv
        return cov

    def blur(self, cov, radius):
        """Three box blurs of the given radius in pixels (close to a Gaussian)."""
        size = self.size
        r = max(1, int(round(radius)))
        for _ in range(3):
            for horizontal in (True, False):
                out = [0.0] * len(cov)
                for i in range(size):
                    line = [cov[i * size + j] if horizontal else cov[j * size + i] for j in range(size)]
                    prefix = [0.0]
                    for v in line:
                        prefix.append(prefix[-1] + v)
                    for j in range(size):
                        lo, hi = max(0, j - r), min(size, j + r + 1)
                        v = (prefix[hi] - prefix[lo]) / (2 * r + 1)
                        if horizontal:
                            out[i * size + j] = v
                        else:
                            out[j * size + i] = v
                cov = out
        return cov

    def paint(self, what, colour, opacity=1.0):
        """Composites a colour or gradient over the picture through a mask or
        a coverage list."""
        cov = self.coverage(what) if isinstance(what, (bytes, bytearray)) else what
        unit = self.design / self.size
        size = self.size
        constant = not callable(colour)
        for i, c in enumerate(cov):
            if c <= 0.0:
                continue
            if constant:
                cr, cg, cb, ca = colour
            else:
                cr, cg, cb, ca = colour(((i % size) + 0.5) * unit, ((i // size) + 0.5) * unit)
            sa = min(1.0, c) * ca * opacity
            keep = 1.0 - sa
            self.r[i] = cr * sa + self.r[i] * keep
            self.g[i] = cg * sa + self.g[i] * keep
            self.b[i] = cb * sa + self.b[i] * keep
            self.a[i] = sa + self.a[i] * keep

    def fill(self, shape, colour, opacity=1.0):
        self.paint(self.mask(*shape), colour, opacity)

    def pixels(self):
        out = []
        for r, g, b, a in zip(self.r, self.g, self.b, self.a):
            if a <= 0.0:
                out.append((0, 0, 0, 0))
            else:
                out.append(tuple(int(round(min(1.0, v) * 255)) for v in (r / a, g / a, b / a, a)))
        return out


def write_png(path, width, height, pixels):
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for p in pixels[y * width:(y + 1) * width]:
            raw.extend(p)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = (b"\x89PNG\r\n\x1a\n"
           + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
           + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(png)


# -------------------------------------------------------------- palette

INK = rgb("#4a5360")          # outlines of paper and neutral objects
PAPER = linear((0, 0), (16, 16), rgb("#ffffff"), rgb("#e6ebf2"))
TEXT_LINE = rgb("#9aa6b4")
RED_DARK = rgb("#7a1115")


def outlined(cv, contour, fill, ink=INK, width=1.0):
    """A closed contour filled and edged with a line just inside its border."""
    cv.fill([contour], fill)
    cv.fill(ring(contour, width), ink)


# ------------------------------------------------------------ tree icons


def book_closed(cv):
    # Cover seen from the front; the page edges show along the bottom and the
    # spine down the left side.
    book = rect(3, 1, 13, 15)
    cv.fill([book], RED_DARK)
    cv.fill([rect(4, 2, 12, 12)], linear((4, 2), (12, 12), rgb("#f25c50"), rgb("#bf2320")))
    cv.fill([rect(4, 2, 5, 14)], rgb("#9c1719"))
    cv.fill([rect(5, 2, 6, 12)], rgb("#ff9a8a", 0.45))
    cv.fill([rect(5, 12, 12, 14)], linear((0, 12), (0, 14), rgb("#fffbee"), rgb("#e6dcc0")))
    cv.fill([rect(5, 13, 12, 13.5)], rgb("#c7b892", 0.8))
    # Gilt title plate.
    cv.fill([rect(7, 4, 11, 7)], rgb("#8a5a00"))
    cv.fill([rect(7, 4, 11, 6)], linear((0, 4), (0, 6), rgb("#ffe98f"), rgb("#e5ad1f")))
    cv.fill([rect(8, 8, 10, 9)], rgb("#ffd37a", 0.7))


def book_open(cv):
    # Red cover showing at the sides and under the pages.
    cover = rect(0, 4, 16, 15)
    outlined(cv, cover, linear((0, 4), (0, 15), rgb("#e0463d"), rgb("#a81d1c")), RED_DARK)
    ink = rgb("#6e5b3c")
    for side in (-1, 1):
        page = [(8, 3), (8 + side * 3, 2), (8 + side * 7, 2), (8 + side * 7, 13),
                (8 + side * 3, 13), (8, 14)]
        if side < 0:
            page.reverse()
        cv.fill([page], ink)
        cv.fill([offset(page, -1)], linear((8, 0), (8 + 7 * side, 0),
                                          rgb("#e4dcc6"), rgb("#fffdf6"), rgb("#f7f1e0")))
        x0, x1 = (2, 7) if side < 0 else (9, 14)
        for y in (5, 7, 9, 11):
            if y == 11:
                x0, x1 = (2, 5) if side < 0 else (9, 12)
            cv.fill([rect(x0, y, x1, y + 1)], rgb("#a3adb9"))
    # Shaded fold between the pages.
    cv.fill([rect(7, 3, 9, 14)], linear((7, 0), (9, 0), rgb("#d6caa8"), rgb("#8c7a58"), rgb("#d6caa8")))


def note_lined(cv):
    sheet = rect(2, 1, 14, 15)
    outlined(cv, sheet, linear((2, 1), (14, 15), rgb("#fff7b8"), rgb("#f6d84a")), rgb("#a98410"))
    for y in (4, 6, 8, 10, 12):
        cv.fill([rect(3, y, 13, y + 1)], rgb("#6f9fd8", 0.85))
    cv.fill([rect(5, 2, 6, 14)], rgb("#e0625a", 0.8))


def memo(cv):
    sheet = rect(2, 1, 14, 15)
    outlined(cv, sheet, PAPER)
    cv.fill([rect(3, 2, 13, 5)], linear((0, 2), (0, 5), rgb("#ef5a4c"), rgb("#c0261c")))
    for y, x1 in ((7, 12), (9, 11), (11, 12), (13, 9)):
        cv.fill([rect(4, y, x1, y + 1)], TEXT_LINE)


def arrow_right(cv):
    arrow = [(2, 6), (8, 6), (8, 2), (14.8, 8), (8, 14), (8, 10), (2, 10)]
    cv.fill([arrow], linear((0, 2), (0, 14), rgb("#555b63"), rgb("#000000")))
    # A faint highlight along the upper edge gives the arrow some body.
    cv.fill([[(2, 6.5), (8.5, 6.5), (8.5, 3.1), (9.2, 3.7), (9.2, 7.2), (2, 7.2)]], rgb("#ffffff", 0.22))


# --------------------------------------------------------- toolbar icons


def page_with_corner(cv, x0, y0, x1, y1, fold=4):
    """A sheet of paper with its upper right corner folded down (coordinates
    of the pixel edges)."""
    page = [(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]
    outlined(cv, page, PAPER)
    # The folded flap, edged along its two straight sides.
    flap = [(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)]
    cv.fill([flap], linear((x1 - fold, y0 + fold), (x1 - fold / 2, y0 + fold / 2),
                           rgb("#bcc6d3"), rgb("#f1f4f8")))
    cv.fill([rect(x1 - fold - 1, y0, x1 - fold, y0 + fold + 1),
             rect(x1 - fold, y0 + fold, x1, y0 + fold + 1)], INK)


def icon_new(cv):
    page_with_corner(cv, 3, 1, 14, 15)


def icon_open(cv):
    ink = rgb("#8a5d07")
    back = [(1, 3), (6, 3), (7, 4), (13, 4), (13, 14), (1, 14)]
    outlined(cv, back, linear((0, 3), (0, 14), rgb("#f2c24e"), rgb("#d99a1e")), ink)
    sheet = rect(3, 5.5, 12, 10)
    outlined(cv, sheet, PAPER)
    front = [(4, 8), (15.6, 8), (12.6, 14), (1, 14)]
    outlined(cv, front, linear((0, 8), (0, 14), rgb("#ffe07a"), rgb("#f2b630")), ink)
    cv.fill([[(4.8, 9), (14, 9), (13.6, 9.8), (4.4, 9.8)]], rgb("#ffffff", 0.45))


def icon_save(cv):
    body = [(1, 1), (13.5, 1), (15, 2.5), (15, 15), (1, 15)]
    outlined(cv, body, linear((1, 1), (15, 15), rgb("#4a86e0"), rgb("#1f4f9c")), rgb("#15356b"))
    shutter = rect(4, 1, 12, 6.5)
    outlined(cv, shutter, linear((4, 0), (12, 0), rgb("#f3f5f8"), rgb("#b9c2cd")), rgb("#4a5563"))
    cv.fill([rect(8.5, 2, 10.5, 5.5)], rgb("#2a4f8a"))
    label = rect(3, 8.5, 13, 15)
    outlined(cv, label, linear((0, 8.5), (0, 15), rgb("#ffffff"), rgb("#e3e8ef")), rgb("#15356b"))
    cv.fill([rect(4, 10, 12, 11)], rgb("#e0625a"))
    cv.fill([rect(4, 12, 12, 13)], TEXT_LINE)


def undo_shape(d):
    """The curved arrow, every edge moved inwards by d."""
    cx, cy = 9.2, 9.0
    ro, ri = 5.3 - d, 2.3 + d
    tip = (1.2 + d * 1.9, 5.65)
    head_x = 6.4 - d * 0.5
    pts = [tip, (head_x, 1.0 + d * 1.9), (head_x, cy - ro), (cx, cy - ro)]
    pts += arc(cx, cy, ro, ro, -90, 90, 30)
    pts += [(4.8 + d, cy + ro), (4.8 + d, cy + ri), (cx, cy + ri)]
    pts += arc(cx, cy, ri, ri, 90, -90, 24)
    pts += [(head_x, cy - ri), (head_x, 10.3 - d * 1.9)]
    return pts


def icon_undo(cv):
    cv.fill([undo_shape(0)], rgb("#1c4a8c"))
    cv.fill([undo_shape(0.95)], linear((0, 2), (0, 14), rgb("#6aa6f0"), rgb("#2c6cc8")))


def icon_cut(cv):
    ink = rgb("#323a44")
    steel = linear((0, 1), (0, 10), rgb("#e9edf1"), rgb("#8793a1"))
    # Two blades crossing at the pivot, each a long thin wedge.
    for side in (-1, 1):
        base, tip = (8 - side * 2.2, 10.4), (8 + side * 3.7, 0.9)
        dx, dy = tip[0] - base[0], tip[1] - base[1]
        ln = math.hypot(dx, dy)
        nx, ny = -dy / ln, dx / ln
        blade = [(base[0] + nx * 1.5, base[1] + ny * 1.5), (tip[0] + nx * 0.6, tip[1] + ny * 0.6),
                 (tip[0] - nx * 0.6, tip[1] - ny * 0.6), (base[0] - nx * 1.5, base[1] - ny * 1.5)]
        cv.fill([blade], ink)
        cv.fill([offset(blade, -0.7)], steel)
    cv.fill([ellipse(8, 7.0, 1.1)], ink)
    cv.fill([ellipse(8, 7.0, 0.45)], rgb("#e5e9ee"))
    # Red handles, slightly oval and tilted outwards.
    for side in (-1, 1):
        cx, cy = 8 - side * 3.5, 12.3
        outer = rotate(ellipse(cx, cy, 3.2, 2.7), cx, cy, side * -30)
        inner = rotate(ellipse(cx, cy, 1.5, 1.1), cx, cy, side * -30)
        cv.fill([outer, inner], rgb("#6e0f12"))
        cv.fill([offset(outer, -0.8), offset(inner, 0.7)],
                linear((0, 9.5), (0, 15.5), rgb("#f25c50"), rgb("#b51e1c")))


def icon_copy(cv):
    back = rect(1, 1, 10, 12)
    outlined(cv, back, linear((1, 1), (10, 12), rgb("#f3f6fa"), rgb("#d5dce6")))
    for y, x1 in ((3, 8), (5, 7)):
        cv.fill([rect(3, y, x1, y + 1)], TEXT_LINE)
    front = rect(6, 4, 15, 15)
    outlined(cv, front, PAPER)
    for y, x1 in ((6, 13), (8, 12), (10, 13), (12, 11)):
        cv.fill([rect(8, y, x1, y + 1)], TEXT_LINE)


def icon_paste(cv):
    board = rrect(1, 2, 13, 15, 1.2)
    outlined(cv, board, linear((0, 2), (12, 15), rgb("#d89c58"), rgb("#9c6226")), rgb("#5e3510"))
    clip = rrect(4, 1, 10, 5, 1)
    outlined(cv, clip, linear((0, 1), (0, 5), rgb("#f3f5f8"), rgb("#98a3b0")), rgb("#3f4752"))
    cv.fill([rect(6, 2, 8, 3)], rgb("#3f4752"))
    sheet = rect(7, 6, 15, 16)
    outlined(cv, sheet, PAPER)
    for y, x1 in ((8, 13), (10, 12), (12, 13)):
        cv.fill([rect(9, y, x1, y + 1)], TEXT_LINE)


# ----------------------------------------------------------- emblem


def gear(cx, cy, r_tip, r_root, teeth, tip_share=0.42, root_share=0.55):
    pts = []
    step = 360.0 / teeth
    for k in range(teeth):
        a = -90 + k * step
        half_tip = step * tip_share / 2
        half_root = step * root_share / 2
        pts += arc(cx, cy, r_root, r_root, a - step / 2, a - half_root, 3)[1:]
        pts += [(cx + r_tip * math.cos(math.radians(a - half_tip)), cy + r_tip * math.sin(math.radians(a - half_tip)))]
        pts += arc(cx, cy, r_tip, r_tip, a - half_tip, a + half_tip, 4)[1:-1]
        pts += [(cx + r_tip * math.cos(math.radians(a + half_tip)), cy + r_tip * math.sin(math.radians(a + half_tip)))]
        pts += arc(cx, cy, r_root, r_root, a + half_root, a + step / 2, 3)[:-1]
    return pts


def emblem(cv):
    """A script sheet in front of a blue tile, with a gear holding a
    crosshair: a script editor for a strategy game. Designed on 256 units."""
    px = 256.0 / cv.size               # design units per pixel
    lw = max(4.0, 1.1 * px)            # line width of the outlines

    # Tile.
    tile = rrect(16, 16, 240, 240, 50)
    shadow = cv.coverage(cv.mask(translate(tile, 0, 6)))
    cv.paint(cv.blur(shadow, cv.size / 64), rgb("#000000"), 0.35)
    cv.fill([tile], linear((0, 16), (0, 240), rgb("#3d7be8"), rgb("#17398a")))
    cv.fill([offset(tile, -lw * 0.5), offset(tile, -lw * 1.3)], rgb("#ffffff"), 0.18)
    gloss = cv.intersect(cv.mask(offset(tile, -lw * 1.3)), cv.mask(ellipse(128, -40, 190, 150)))
    cv.paint(gloss, linear((0, 16), (0, 110), rgb("#ffffff", 0.22), rgb("#ffffff", 0.0)))

    # Script sheet with a folded corner and coloured lines of script.
    sheet = [(52, 38), (150, 38), (186, 74), (186, 214), (52, 214)]
    sh = cv.coverage(cv.mask(translate(sheet, 5, 8)))
    cv.paint(cv.blur(sh, cv.size / 50), rgb("#0a1a40"), 0.45)
    cv.fill([sheet], linear((52, 38), (186, 214), rgb("#ffffff"), rgb("#dde5f1")))
    cv.fill(ring(sheet, lw * 0.75), rgb("#0f2a66"), 0.55)
    flap = [(150, 38), (150, 74), (186, 74)]
    cv.fill([flap], linear((150, 74), (168, 56), rgb("#aebbd0"), rgb("#eef2f8")))
    cv.fill([[(150 - lw * 0.75, 38), (150, 38), (150, 74 - lw * 0.75 * 0), (186, 74), (186, 74 + lw * 0.75),
              (150 - lw * 0.75, 74 + lw * 0.75)]], rgb("#0f2a66"), 0.55)
    bar = max(10.0, 2.0 * px)
    rows = [(72, [(72, 104, "#d9432f"), (112, 138, "#2f66d0")]),
            (100, [(72, 122, "#2f66d0"), (130, 166, "#8a98ac")]),
            (128, [(88, 116, "#1f9d6a"), (124, 168, "#8a98ac")]),
            (156, [(88, 130, "#2f66d0")]),
            (184, [(72, 100, "#d9432f")])]
    if cv.size < 64:
        rows = [(76, [(72, 108, "#d9432f"), (118, 160, "#2f66d0")]),
                (112, [(72, 150, "#8a98ac")]),
                (148, [(72, 124, "#2f66d0")]),
                (184, [(72, 104, "#8a98ac")])]
    for y, parts in rows:
        for x0, x1, colour in parts:
            cv.fill([pill(x0, y - bar / 2, x1, y + bar / 2)], rgb(colour))

    # Gear with a crosshair in its hub.
    gx, gy = 174, 174
    g = gear(gx, gy, 59, 45, 9)
    gs = cv.coverage(cv.mask(translate(g, 3, 7)))
    cv.paint(cv.blur(gs, cv.size / 48), rgb("#0a1a40"), 0.5)
    cv.fill([g], rgb("#6b2408"))
    cv.fill([offset(g, -lw)], linear((gx - 40, gy - 60), (gx + 40, gy + 60), rgb("#ffc54d"), rgb("#f08a1a"), rgb("#d4560b")))
    cv.fill([ellipse(gx, gy, 36), ellipse(gx, gy, 36 - lw * 0.8)], rgb("#ffffff"), 0.35)
    hub = ellipse(gx, gy, 28)
    cv.fill([hub], rgb("#6b2408"))
    cv.fill([ellipse(gx, gy, 28 - lw)], radial((gx - 6, gy - 8), 30, rgb("#24345c"), rgb("#0c1430")))
    red = rgb("#ff5a4a")
    rw = max(3.5, 1.0 * px)
    cv.fill([ellipse(gx, gy, 14.5 + rw / 2), ellipse(gx, gy, 14.5 - rw / 2)], red)
    for a in (0, 90, 180, 270):
        c, s = math.cos(math.radians(a)), math.sin(math.radians(a))
        cv.fill([segment((gx + c * 8, gy + s * 8), (gx + c * 21, gy + s * 21), rw)], red)
    cv.fill([ellipse(gx, gy, max(2.6, 0.9 * px))], red)


# ------------------------------------------------------------- output

SMALL = [
    ("book-closed", book_closed),
    ("book-open", book_open),
    ("note-lined", note_lined),
    ("memo", memo),
    ("arrow-right", arrow_right),
    ("new", icon_new),
    ("open", icon_open),
    ("save", icon_save),
    ("undo", icon_undo),
    ("cut", icon_cut),
    ("copy", icon_copy),
    ("paste", icon_paste),
]


def render_all():
    pictures = {}
    for name, draw in SMALL:
        cv = Canvas(16, samples=8)
        draw(cv)
        pictures[name] = (16, cv.pixels())
    for name, size, samples in (("morvaneo-48", 48, 8), ("morvaneo-256", 256, 4)):
        cv = Canvas(size, design=256, samples=samples)
        emblem(cv)
        pictures[name] = (size, cv.pixels())
    return pictures


def preview(path, pictures):
    """A contact sheet: the small pictures enlarged eight times on light and
    dark ground, then the emblem at 48 (enlarged four times) and 256 pixels."""
    names = [n for n, _ in SMALL]
    zoom, cell = 8, 16 * 8 + 16
    width = max(len(names) * cell, 48 * 4 + 256 + 48) + 16
    height = 2 * cell + 256 + 32
    grounds = [(255, 255, 255), (60, 63, 68)]
    img = [(232, 234, 238)] * (width * height)
    img = list(img)

    def put(x, y, colour, alpha):
        i = y * width + x
        r, g, b = img[i]
        img[i] = (int(r + (colour[0] - r) * alpha), int(g + (colour[1] - g) * alpha), int(b + (colour[2] - b) * alpha))

    def blit(pixels, size, ox, oy, z, ground):
        for y in range(size * z):
            for x in range(size * z):
                put(ox + x, oy + y, ground, 1.0)
                p = pixels[(y // z) * size + x // z]
                if p[3]:
                    put(ox + x, oy + y, p[:3], p[3] / 255.0)

    for row, ground in enumerate(grounds):
        for col, name in enumerate(names):
            size, pixels = pictures[name]
            blit(pixels, size, 8 + col * cell, 8 + row * cell, zoom, ground)
    size, pixels = pictures["morvaneo-48"]
    blit(pixels, size, 8, 8 + 2 * cell, 4, grounds[0])
    size, pixels = pictures["morvaneo"]
    blit(pixels, size, 8 + 48 * 4 + 24, 8 + 2 * cell, 1, grounds[0])
    write_png(path, width, height, [c + (255,) for c in img])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--preview", help="also write an enlarged contact sheet here")
    args = parser.parse_args()
    pictures = render_all()
    for name, (size, pixels) in pictures.items():
        write_png(os.path.join(args.out, name + ".png"), size, size, pixels)
    if args.preview:
        preview(args.preview, pictures)


if __name__ == "__main__":
    main()
