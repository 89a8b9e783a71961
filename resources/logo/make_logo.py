#!/usr/bin/env python3
"""Draws the Morvaneo II start-up picture and writes it as logo.gif.

Pure Python 3 standard library: the picture is painted into an RGB buffer in
memory (gradients, a star field, a planet horizon, the emblem and the
lettering, which is rasterised from a TrueType font of the system), reduced to
a 256-colour palette by median cut with Floyd-Steinberg dithering, and written
as a GIF89a file with its own LZW encoder. The result is decoded again and
compared with the palette image before the file is written.

Usage: make_logo.py [output.gif] [--fonts DIR]
"""

import math
import os
import random
import struct
import sys

W, H = 500, 400
FONT_DIR = "/usr/share/fonts/truetype/dejavu"


# --------------------------------------------------------------------------
# TrueType outlines


class Font:
    """The glyph outlines and advances of a TrueType font (cmap format 4)."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = data = f.read()
        num_tables = struct.unpack_from(">H", data, 4)[0]
        self.tables = {}
        for i in range(num_tables):
            tag, _, offset, length = struct.unpack_from(">4sIII", data, 12 + 16 * i)
            self.tables[tag.decode("latin-1")] = (offset, length)
        head = self.tables["head"][0]
        self.units_per_em = struct.unpack_from(">H", data, head + 18)[0]
        self.long_loca = struct.unpack_from(">h", data, head + 50)[0] == 1
        self.num_glyphs = struct.unpack_from(">H", data, self.tables["maxp"][0] + 4)[0]
        hhea = self.tables["hhea"][0]
        self.ascender, self.descender = struct.unpack_from(">hh", data, hhea + 4)
        self.num_hmetrics = struct.unpack_from(">H", data, hhea + 34)[0]
        self.cmap = self._read_cmap()
        self._cache = {}

    def _read_cmap(self):
        data = self.data
        base = self.tables["cmap"][0]
        count = struct.unpack_from(">H", data, base + 2)[0]
        sub = None
        for i in range(count):
            platform, encoding, offset = struct.unpack_from(">HHI", data, base + 4 + 8 * i)
            if platform == 3 and encoding == 1:
                sub = base + offset
        if sub is None or struct.unpack_from(">H", data, sub)[0] != 4:
            raise SystemExit("the font has no Unicode BMP character map")
        seg_count = struct.unpack_from(">H", data, sub + 6)[0] // 2
        ends = struct.unpack_from(">%dH" % seg_count, data, sub + 14)
        starts = struct.unpack_from(">%dH" % seg_count, data, sub + 16 + 2 * seg_count)
        deltas = struct.unpack_from(">%dh" % seg_count, data, sub + 16 + 4 * seg_count)
        range_base = sub + 16 + 6 * seg_count
        ranges = struct.unpack_from(">%dH" % seg_count, data, range_base)
        cmap = {}
        for i in range(seg_count):
            for code in range(starts[i], ends[i] + 1):
                if code == 0xFFFF:
                    continue
                if ranges[i] == 0:
                    glyph = (code + deltas[i]) & 0xFFFF
                else:
                    at = range_base + 2 * i + ranges[i] + 2 * (code - starts[i])
                    glyph = struct.unpack_from(">H", data, at)[0]
                    if glyph:
                        glyph = (glyph + deltas[i]) & 0xFFFF
                if glyph:
                    cmap[code] = glyph
        return cmap

    def advance(self, glyph):
        hmtx = self.tables["hmtx"][0]
        index = min(glyph, self.num_hmetrics - 1)
        return struct.unpack_from(">H", self.data, hmtx + 4 * index)[0]

    def _glyph_range(self, glyph):
        loca = self.tables["loca"][0]
        if self.long_loca:
            start, end = struct.unpack_from(">II", self.data, loca + 4 * glyph)
        else:
            start, end = struct.unpack_from(">HH", self.data, loca + 2 * glyph)
            start, end = start * 2, end * 2
        return self.tables["glyf"][0] + start, end - start

    def contours(self, glyph):
        """The glyph's contours as lists of (x, y, on_curve) in font units."""
        if glyph in self._cache:
            return self._cache[glyph]
        data = self.data
        offset, length = self._glyph_range(glyph)
        result = []
        if length > 0:
            n = struct.unpack_from(">h", data, offset)[0]
            if n >= 0:
                result = self._simple(offset, n)
            else:
                result = self._composite(offset)
        self._cache[glyph] = result
        return result

    def _simple(self, offset, n):
        data = self.data
        p = offset + 10
        ends = struct.unpack_from(">%dH" % n, data, p)
        p += 2 * n
        count = ends[-1] + 1 if n else 0
        p += 2 + struct.unpack_from(">H", data, p)[0]
        flags = []
        while len(flags) < count:
            flag = data[p]
            p += 1
            flags.append(flag)
            if flag & 8:
                repeat = data[p]
                p += 1
                flags.extend([flag] * repeat)
        coords = []
        for short_bit, same_bit in ((2, 16), (4, 32)):
            value = 0
            values = []
            for flag in flags:
                if flag & short_bit:
                    delta = data[p]
                    p += 1
                    value += delta if flag & same_bit else -delta
                elif not flag & same_bit:
                    value += struct.unpack_from(">h", data, p)[0]
                    p += 2
                values.append(value)
            coords.append(values)
        points = [(coords[0][i], coords[1][i], bool(flags[i] & 1)) for i in range(count)]
        contours = []
        start = 0
        for end in ends:
            contours.append(points[start:end + 1])
            start = end + 1
        return contours

    def _composite(self, offset):
        data = self.data
        p = offset + 10
        result = []
        while True:
            flags, glyph = struct.unpack_from(">HH", data, p)
            p += 4
            if flags & 1:
                dx, dy = struct.unpack_from(">hh", data, p)
                p += 4
            else:
                dx, dy = struct.unpack_from(">bb", data, p)
                p += 2
            a, b, c, d = 1.0, 0.0, 0.0, 1.0
            if flags & 8:
                a = d = struct.unpack_from(">h", data, p)[0] / 16384.0
                p += 2
            elif flags & 0x40:
                a, d = (v / 16384.0 for v in struct.unpack_from(">hh", data, p))
                p += 4
            elif flags & 0x80:
                a, b, c, d = (v / 16384.0 for v in struct.unpack_from(">hhhh", data, p))
                p += 8
            if not flags & 2:
                dx = dy = 0  # point matching is not needed for the letters used here
            for contour in self.contours(glyph):
                result.append([(a * x + c * y + dx, b * x + d * y + dy, on) for x, y, on in contour])
            if not flags & 0x20:
                break
        return result

    def glyph(self, char):
        return self.cmap.get(ord(char), 0)


def flatten_contour(contour, steps=8):
    """Turns a contour of on- and off-curve points into a closed polyline."""
    if not contour:
        return []
    pts = list(contour)
    # Start on an on-curve point, inventing one between two off-curve points.
    if not pts[0][2]:
        if pts[-1][2]:
            pts = [pts[-1]] + pts[:-1]
        else:
            mid = ((pts[0][0] + pts[-1][0]) / 2, (pts[0][1] + pts[-1][1]) / 2, True)
            pts = [mid] + pts
    out = [(pts[0][0], pts[0][1])]
    n = len(pts)
    i = 1
    current = pts[0]
    while i <= n:
        point = pts[i % n]
        if point[2]:
            out.append((point[0], point[1]))
            current = point
            i += 1
            continue
        after = pts[(i + 1) % n]
        if after[2]:
            end = after
            i += 2
        else:
            end = ((point[0] + after[0]) / 2, (point[1] + after[1]) / 2, True)
            i += 1
        for s in range(1, steps + 1):
            t = s / steps
            u = 1 - t
            out.append((u * u * current[0] + 2 * u * t * point[0] + t * t * end[0],
                        u * u * current[1] + 2 * u * t * point[1] + t * t * end[1]))
        current = end
    return out


def text_polygons(font, text, size, x, baseline, tracking=0.0):
    """Polygons (pixel coordinates) of a line of text; returns (polygons, width)."""
    scale = size / font.units_per_em
    polygons = []
    pen = x
    for char in text:
        glyph = font.glyph(char)
        for contour in font.contours(glyph):
            line = flatten_contour(contour, 6 if size < 24 else 10)
            polygons.append([(pen + px * scale, baseline - py * scale) for px, py in line])
        pen += font.advance(glyph) * scale + tracking
    return polygons, pen - x - tracking


def text_width(font, text, size, tracking=0.0):
    scale = size / font.units_per_em
    return sum(font.advance(font.glyph(c)) * scale for c in text) + tracking * (len(text) - 1)


# --------------------------------------------------------------------------
# Painting


class Canvas:
    def __init__(self, width, height):
        self.w, self.h = width, height
        self.px = [[0.0, 0.0, 0.0] for _ in range(width * height)]

    def blend(self, x, y, colour, alpha):
        if alpha <= 0.0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        if alpha > 1.0:
            alpha = 1.0
        p = self.px[y * self.w + x]
        p[0] += (colour[0] - p[0]) * alpha
        p[1] += (colour[1] - p[1]) * alpha
        p[2] += (colour[2] - p[2]) * alpha

    def add(self, x, y, colour, amount):
        if amount <= 0.0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        p = self.px[y * self.w + x]
        p[0] = min(255.0, p[0] + colour[0] * amount)
        p[1] = min(255.0, p[1] + colour[1] * amount)
        p[2] = min(255.0, p[2] + colour[2] * amount)

    def fill(self, polygons, paint, opacity=1.0, dx=0.0, dy=0.0):
        """Fills polygons (non-zero winding) with anti-aliased edges.

        paint is a colour or a function (x, y) -> colour."""
        coverage = rasterise(polygons, dx, dy, self.w, self.h)
        solid = not callable(paint)
        for (x, y), c in coverage.items():
            self.blend(x, y, paint if solid else paint(x, y), c * opacity)


SUBSAMPLES = 5


def rasterise(polygons, dx, dy, width, height):
    """Pixel coverage (0..1) of the polygons: exact across, sampled down."""
    edges = []
    ymin, ymax = float("inf"), float("-inf")
    for poly in polygons:
        n = len(poly)
        for i in range(n):
            x0, y0 = poly[i]
            x1, y1 = poly[(i + 1) % n]
            x0 += dx
            x1 += dx
            y0 += dy
            y1 += dy
            if y0 == y1:
                continue
            direction = 1
            if y0 > y1:
                x0, y0, x1, y1 = x1, y1, x0, y0
                direction = -1
            edges.append((y0, y1, x0, (x1 - x0) / (y1 - y0), direction))
            ymin = min(ymin, y0)
            ymax = max(ymax, y1)
    coverage = {}
    if not edges:
        return coverage
    weight = 1.0 / SUBSAMPLES
    for row in range(max(0, int(math.floor(ymin))), min(height, int(math.ceil(ymax)) + 1)):
        for s in range(SUBSAMPLES):
            sy = row + (s + 0.5) / SUBSAMPLES
            crossings = []
            for y0, y1, x0, slope, direction in edges:
                if y0 <= sy < y1:
                    crossings.append((x0 + (sy - y0) * slope, direction))
            if not crossings:
                continue
            crossings.sort()
            winding = 0
            for k in range(len(crossings) - 1):
                winding += crossings[k][1]
                if winding != 0:
                    add_span(coverage, row, crossings[k][0], crossings[k + 1][0], weight, width)
    return coverage


def add_span(coverage, row, xa, xb, weight, width):
    xa = max(0.0, xa)
    xb = min(float(width), xb)
    if xb <= xa:
        return
    first, last = int(xa), int(xb)
    if first == last:
        coverage[(first, row)] = coverage.get((first, row), 0.0) + (xb - xa) * weight
        return
    coverage[(first, row)] = coverage.get((first, row), 0.0) + (first + 1 - xa) * weight
    for x in range(first + 1, last):
        coverage[(x, row)] = coverage.get((x, row), 0.0) + weight
    if last < width:
        coverage[(last, row)] = coverage.get((last, row), 0.0) + (xb - last) * weight


def lerp(a, b, t):
    t = 0.0 if t < 0 else 1.0 if t > 1 else t
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t)


def gradient(stops, t):
    """Colour at t on a list of (position, colour) stops."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return lerp(c0, c1, (t - p0) / (p1 - p0))
    return stops[-1][1]


def rgb(hex_text):
    return tuple(int(hex_text[i:i + 2], 16) for i in (1, 3, 5))


def regular_polygon(cx, cy, radius, sides, rotation):
    return [(cx + radius * math.cos(rotation + 2 * math.pi * k / sides),
             cy + radius * math.sin(rotation + 2 * math.pi * k / sides)) for k in range(sides)]


def circle(cx, cy, radius, segments=96):
    return regular_polygon(cx, cy, radius, segments, 0.0)


def rounded_rect(x, y, w, h, r, segments=6):
    pts = []
    corners = ((x + w - r, y + r, -90), (x + w - r, y + h - r, 0), (x + r, y + h - r, 90), (x + r, y + r, 180))
    for cx, cy, start in corners:
        for s in range(segments + 1):
            a = math.radians(start + 90 * s / segments)
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


# --------------------------------------------------------------------------
# The picture

EMBLEM_X, EMBLEM_Y = 110, 170
PLANET_X, PLANET_Y, PLANET_R = 250.0, 1080.0, 790.0


def paint_background(canvas):
    sky = [(0.0, rgb("#050816")), (0.45, rgb("#0d1a3f")), (0.75, rgb("#1b2d63")), (1.0, rgb("#2a1f4f"))]
    for y in range(H):
        row = gradient(sky, y / (H - 1))
        for x in range(W):
            # A broad glow behind the emblem and the title.
            d = math.hypot((x - 190) / 260.0, (y - 160) / 170.0)
            glow = max(0.0, 1.0 - d) ** 2 * 0.55
            p = canvas.px[y * W + x]
            p[0] = row[0] + 30 * glow
            p[1] = row[1] + 70 * glow
            p[2] = row[2] + 120 * glow


def paint_nebula(canvas):
    rnd = random.Random(11)
    blobs = [(rnd.uniform(250, 480), rnd.uniform(30, 150), rnd.uniform(30, 80)) for _ in range(9)]
    colours = [rgb("#6a3fa0"), rgb("#2f6fb0"), rgb("#8a3f7a")]
    for i, (bx, by, br) in enumerate(blobs):
        colour = colours[i % len(colours)]
        for y in range(max(0, int(by - br)), min(H, int(by + br))):
            for x in range(max(0, int(bx - br)), min(W, int(bx + br))):
                d = math.hypot(x - bx, y - by) / br
                if d < 1.0:
                    canvas.add(x, y, colour, (1.0 - d) ** 2 * 0.09)


def paint_stars(canvas):
    rnd = random.Random(2026)
    for _ in range(230):
        x, y = rnd.uniform(0, W), rnd.uniform(0, 330)
        brightness = rnd.random() ** 3
        tint = lerp(rgb("#9ab8ff"), rgb("#fff4e0"), rnd.random())
        ix, iy = int(x), int(y)
        canvas.add(ix, iy, tint, 0.25 + 0.75 * brightness)
        if brightness > 0.55:
            for ox, oy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                canvas.add(ix + ox, iy + oy, tint, 0.35 * brightness)
        if brightness > 0.85:
            for k in range(2, 6):
                fade = 0.25 * brightness * (1 - k / 6)
                for ox, oy in ((k, 0), (-k, 0), (0, k), (0, -k)):
                    canvas.add(ix + ox, iy + oy, tint, fade)


def paint_planet(canvas):
    surface = [(0.0, rgb("#1d3f6e")), (0.06, rgb("#132a4d")), (0.3, rgb("#0a1630")), (1.0, rgb("#060b1a"))]
    rim = rgb("#7fd8ff")
    top = int(PLANET_Y - PLANET_R) - 40
    sun_x, sun_y = 342.0, PLANET_Y - PLANET_R + 1
    for y in range(max(0, top), H):
        for x in range(W):
            d = math.hypot(x + 0.5 - PLANET_X, y + 0.5 - PLANET_Y) - PLANET_R
            if d < 0.5:
                inside = min(1.0, 0.5 - d)
                depth = -d / 120.0
                colour = gradient(surface, depth)
                # Light from the rising sun grazes the surface near the horizon.
                shine = max(0.0, 1.0 - abs(x - sun_x) / 260.0) * max(0.0, 1.0 + d / 30.0)
                colour = lerp(colour, rgb("#3d7fb8"), shine * 0.6)
                canvas.blend(x, y, colour, inside)
            if d > -3:
                # The atmosphere: a thin bright rim and a soft haze above it.
                glow = math.exp(-abs(d) / 2.2) * 0.9 + math.exp(-max(d, 0) / 16.0) * 0.35
                canvas.add(x, y, rim, glow * (0.55 + 0.45 * max(0.0, 1 - abs(x - sun_x) / 300.0)))
    # The sun just above the horizon, with a horizontal flare.
    for y in range(int(sun_y) - 40, int(sun_y) + 20):
        for x in range(int(sun_x) - 200, int(sun_x) + 200):
            dx, dy = (x - sun_x), (y - sun_y)
            core = math.exp(-(dx * dx + dy * dy) / 60.0)
            flare = math.exp(-(dy * dy) / 3.0) * math.exp(-abs(dx) / 70.0) * 0.8
            halo = math.exp(-math.hypot(dx, dy) / 22.0) * 0.45
            canvas.add(x, y, rgb("#fff1d6"), core * 1.2 + flare + halo)


def paint_emblem(canvas):
    cx, cy = EMBLEM_X, EMBLEM_Y
    # Halo.
    for y in range(cy - 100, cy + 100):
        for x in range(cx - 100, cx + 100):
            d = math.hypot(x - cx, y - cy)
            if 60 < d < 100:
                canvas.add(x, y, rgb("#4fb4ff"), ((100 - d) / 40.0) ** 2 * 0.35)
    gold = lambda x, y: gradient([(0.0, rgb("#fff0b8")), (0.45, rgb("#e8b84a")), (1.0, rgb("#9a6418"))],
                                 (y - (cy - 72)) / 144.0)
    steel = lambda x, y: gradient([(0.0, rgb("#3d6fb8")), (0.5, rgb("#1c3d78")), (1.0, rgb("#0b1a3c"))],
                                  (y - (cy - 66)) / 132.0)
    outer = regular_polygon(cx, cy, 72, 6, -math.pi / 2)
    inner = regular_polygon(cx, cy, 64, 6, -math.pi / 2)
    # Shadow, plate, gold frame (the inner hexagon wound the other way cuts it out).
    canvas.fill([outer], (0, 0, 0), 0.55, 3, 5)
    canvas.fill([inner], steel)
    canvas.fill([outer, list(reversed(inner))], gold)
    # A sheen across the upper half of the plate.
    sheen = [(cx - 56, cy - 30), (cx, cy - 62), (cx + 56, cy - 30), (cx + 56, cy - 20), (cx - 56, cy + 12)]
    canvas.fill([sheen], (255, 255, 255), 0.07)
    # Three blades for the three races, behind the letter.
    for k in range(3):
        a = -math.pi / 2 + k * 2 * math.pi / 3
        tip = (cx + 58 * math.cos(a), cy + 58 * math.sin(a))
        left = (cx + 22 * math.cos(a - 0.55), cy + 22 * math.sin(a - 0.55))
        right = (cx + 22 * math.cos(a + 0.55), cy + 22 * math.sin(a + 0.55))
        canvas.fill([[left, tip, right, (cx, cy)]], rgb("#5fc8ff"), 0.28)
    ring_outer = circle(cx, cy, 47)
    ring_inner = list(reversed(circle(cx, cy, 44)))
    canvas.fill([ring_outer, ring_inner], rgb("#7fd8ff"), 0.55)
    # The letter M.
    m = [(-33, 28), (-33, -28), (-20, -28), (0, 0), (20, -28), (33, -28), (33, 28), (22, 28),
         (22, -9), (0, 20), (-22, -9), (-22, 28)]
    letter = [(cx + x, cy + y) for x, y in m]
    canvas.fill([letter], (0, 0, 0), 0.5, 2, 3)
    canvas.fill([letter], gold)


def paint_text(canvas, fonts):
    bold = fonts["bold"]
    regular = fonts["regular"]
    condensed = fonts["condensed"]

    left = 204
    # The title, fitted to the space right of the emblem.
    name, numeral = "Morvaneo", " II"
    size = 60.0
    while text_width(condensed, name + numeral, size) > 276:
        size -= 0.5
    baseline = 172
    title, width = text_polygons(condensed, name, size, left, baseline)
    silver = lambda x, y: gradient([(0.0, rgb("#ffffff")), (0.55, rgb("#dce8ff")), (1.0, rgb("#8fb0e8"))],
                                   (y - (baseline - size * 0.75)) / (size * 0.75))
    canvas.fill(title, (0, 0, 0), 0.6, 2, 3)
    canvas.fill(title, silver)
    two, _ = text_polygons(condensed, numeral, size, left + width, baseline)
    gold = lambda x, y: gradient([(0.0, rgb("#fff0b8")), (0.5, rgb("#f0c050")), (1.0, rgb("#b07820"))],
                                 (y - (baseline - size * 0.75)) / (size * 0.75))
    canvas.fill(two, (0, 0, 0), 0.6, 2, 3)
    canvas.fill(two, gold)

    # A gold rule under the title, fading out to the right.
    for x in range(left, 482):
        fade = 1.0 - (x - left) / (482 - left)
        canvas.blend(x, baseline + 12, rgb("#e8b84a"), 0.9 * fade)
        canvas.blend(x, baseline + 13, rgb("#7a4e10"), 0.5 * fade)

    subtitle, _ = text_polygons(regular, "AI script editor for Kestrand II", 15.5, left + 1, baseline + 36)
    canvas.fill(subtitle, rgb("#b4c8ee"))

    # The BETA badge.
    badge_y = baseline + 50
    label_size = 12.0
    label_tracking = 2.0
    label_width = text_width(bold, "BETA", label_size, label_tracking)
    badge = rounded_rect(left + 1, badge_y, label_width + 20, 20, 4)
    red = lambda x, y: gradient([(0.0, rgb("#f06a45")), (1.0, rgb("#a8281a"))], (y - badge_y) / 20.0)
    canvas.fill([badge], (0, 0, 0), 0.5, 1, 2)
    canvas.fill([badge], red)
    beta, _ = text_polygons(bold, "BETA", label_size, left + 11, badge_y + 14.5, label_tracking)
    canvas.fill(beta, (255, 255, 255))
    edition, _ = text_polygons(regular, "MVN5 edition", 12.0, left + label_width + 30, badge_y + 14.5)
    canvas.fill(edition, rgb("#8fa6d0"))

    # Foot lines over the planet.
    foot = rgb("#8ea6cf")
    notice, _ = text_polygons(regular, "Copyright \u00a9 2026 The Morvaneo developers", 11.0, 16, 386)
    canvas.fill(notice, foot)
    version = "Version 2.0 BETA"
    vw = text_width(regular, version, 11.0)
    ver, _ = text_polygons(regular, version, 11.0, W - 16 - vw, 386)
    canvas.fill(ver, foot)


def paint_frame(canvas):
    for x in range(W):
        canvas.blend(x, 0, rgb("#5a74a8"), 1.0)
        canvas.blend(x, H - 1, rgb("#1a2440"), 1.0)
        canvas.blend(x, 1, rgb("#2c3e6a"), 0.6)
    for y in range(H):
        canvas.blend(0, y, rgb("#4a6296"), 1.0)
        canvas.blend(W - 1, y, rgb("#1a2440"), 1.0)


def draw(fonts):
    canvas = Canvas(W, H)
    paint_background(canvas)
    paint_nebula(canvas)
    paint_stars(canvas)
    paint_planet(canvas)
    paint_emblem(canvas)
    paint_text(canvas, fonts)
    paint_frame(canvas)
    return canvas


# --------------------------------------------------------------------------
# 256 colours


def median_cut(colours, count):
    """A palette of up to count colours from a {(r, g, b): weight} histogram."""
    boxes = [list(colours.items())]
    while len(boxes) < count:
        best, best_score, best_channel = None, -1, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for channel in range(3):
                values = [c[channel] for c, _ in box]
                spread = max(values) - min(values)
                score = spread * math.sqrt(sum(w for _, w in box))
                if score > best_score:
                    best, best_score, best_channel = i, score, channel
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda item: item[0][best_channel])
        total = sum(w for _, w in box)
        running, cut = 0, 1
        for k, (_, w) in enumerate(box):
            running += w
            if running >= total / 2:
                cut = max(1, min(len(box) - 1, k + 1))
                break
        boxes.append(box[:cut])
        boxes.append(box[cut:])
    palette = []
    for box in boxes:
        total = sum(w for _, w in box)
        palette.append(tuple(int(round(sum(c[ch] * w for c, w in box) / total)) for ch in range(3)))
    while len(palette) < count:
        palette.append((0, 0, 0))
    return palette


def quantise(canvas):
    histogram = {}
    for p in canvas.px:
        key = (int(p[0]) & 0xF8 | 4, int(p[1]) & 0xF8 | 4, int(p[2]) & 0xF8 | 4)
        histogram[key] = histogram.get(key, 0) + 1
    palette = median_cut(histogram, 256)
    cache = {}

    def nearest(r, g, b):
        key = (int(r) >> 2, int(g) >> 2, int(b) >> 2)
        found = cache.get(key)
        if found is None:
            best, best_d = 0, float("inf")
            for i, (pr, pg, pb) in enumerate(palette):
                d = (pr - r) ** 2 * 3 + (pg - g) ** 2 * 4 + (pb - b) ** 2 * 2
                if d < best_d:
                    best, best_d = i, d
            cache[key] = found = best
        return found

    # Floyd-Steinberg dithering, kept gentle so that flat areas stay calm.
    work = [list(p) for p in canvas.px]
    indices = bytearray(W * H)
    for y in range(H):
        for x in range(W):
            p = work[y * W + x]
            r = min(255.0, max(0.0, p[0]))
            g = min(255.0, max(0.0, p[1]))
            b = min(255.0, max(0.0, p[2]))
            i = nearest(r, g, b)
            indices[y * W + x] = i
            er, eg, eb = (r - palette[i][0]) * 0.85, (g - palette[i][1]) * 0.85, (b - palette[i][2]) * 0.85
            for ox, oy, f in ((1, 0, 7 / 16), (-1, 1, 3 / 16), (0, 1, 5 / 16), (1, 1, 1 / 16)):
                nx, ny = x + ox, y + oy
                if 0 <= nx < W and ny < H:
                    q = work[ny * W + nx]
                    q[0] += er * f
                    q[1] += eg * f
                    q[2] += eb * f
    return palette, indices


# --------------------------------------------------------------------------
# GIF89a


def lzw_encode(indices, min_code_size=8):
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    bit_buffer = 0
    bit_count = 0

    def emit(code, size):
        nonlocal bit_buffer, bit_count
        bit_buffer |= code << bit_count
        bit_count += size
        while bit_count >= 8:
            out.append(bit_buffer & 0xFF)
            bit_buffer >>= 8
            bit_count -= 8

    size = min_code_size + 1
    table = {}
    next_code = end + 1
    emit(clear, size)
    prefix = None
    for value in indices:
        if prefix is None:
            prefix = value
            continue
        key = (prefix << 8) | value
        code = table.get(key)
        if code is not None:
            prefix = code
            continue
        emit(prefix, size)
        if next_code < 4096:
            table[key] = next_code
            next_code += 1
            # The decoder adds each entry one code later, so the width grows
            # once the newest code no longer fits.
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear, size)
            table = {}
            next_code = end + 1
            size = min_code_size + 1
        prefix = value
    if prefix is not None:
        emit(prefix, size)
    emit(end, size)
    if bit_count:
        out.append(bit_buffer & 0xFF)
    return bytes(out)


def lzw_decode(data, min_code_size, pixel_count):
    """Independent decoder, used to check the encoder's output."""
    clear = 1 << min_code_size
    end = clear + 1
    pos = 0
    bit_buffer = 0
    bit_count = 0
    size = min_code_size + 1
    table = [bytes([i]) for i in range(clear)] + [b"", b""]
    previous = None
    result = bytearray()
    while True:
        while bit_count < size:
            if pos >= len(data):
                return bytes(result)
            bit_buffer |= data[pos] << bit_count
            pos += 1
            bit_count += 8
        code = bit_buffer & ((1 << size) - 1)
        bit_buffer >>= size
        bit_count -= size
        if code == clear:
            table = table[:end + 1]
            size = min_code_size + 1
            previous = None
            continue
        if code == end:
            return bytes(result)
        if code < len(table):
            entry = table[code]
            if previous is not None:
                table.append(previous + entry[:1])
        elif previous is not None and code == len(table):
            entry = previous + previous[:1]
            table.append(entry)
        else:
            raise ValueError("bad LZW code %d" % code)
        result += entry
        previous = entry
        if len(table) == (1 << size) and size < 12:
            size += 1
        if len(result) > pixel_count:
            raise ValueError("too many pixels")


def gif_bytes(palette, indices):
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", W, H, 0xF7, 0, 0)  # global table of 256 colours
    for colour in palette:
        out += bytes(colour)
    out += b"!\xfe" + bytes([len(b"Morvaneo II")]) + b"Morvaneo II" + b"\x00"  # comment
    out += b"," + struct.pack("<HHHHB", 0, 0, W, H, 0)
    data = lzw_encode(indices)
    out.append(8)
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out += b"\x00;"
    return bytes(out), data


def main(argv):
    output = os.path.join(os.path.dirname(os.path.abspath(__file__)), "logo.gif")
    font_dir = FONT_DIR
    args = list(argv[1:])
    while args:
        arg = args.pop(0)
        if arg == "--fonts" and args:
            font_dir = args.pop(0)
        else:
            output = arg
    fonts = {}
    for key, name in (("bold", "DejaVuSans-Bold.ttf"), ("regular", "DejaVuSans.ttf"),
                      ("condensed", "DejaVuSansCondensed-Bold.ttf")):
        path = os.path.join(font_dir, name)
        if not os.path.exists(path):
            raise SystemExit("font not found: %s (give the folder with --fonts DIR)" % path)
        fonts[key] = Font(path)
    canvas = draw(fonts)
    palette, indices = quantise(canvas)
    data, compressed = gif_bytes(palette, indices)
    if lzw_decode(compressed, 8, W * H) != bytes(indices):
        raise SystemExit("internal error: the LZW data does not decode to the picture")
    with open(output, "wb") as f:
        f.write(data)
    print("wrote %s (%d bytes, %d x %d, 256 colours)" % (output, len(data), W, H))


if __name__ == "__main__":
    main(sys.argv)
