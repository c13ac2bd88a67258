#!/usr/bin/env python3
"""Draws the client's built-in pictures and writes them as RGBA PNG files.

    python3 tools/make_pictures.py [output-directory]   (default: assets/)

The pictures are made of simple shapes (stroked segments, circles, rings,
rounded rectangles) rasterised with 4 x 4 supersampling, on a transparent
background so that they blend over panels and backgrounds. The PNG files are
committed; the build embeds them. Run this again only to change the art.
"""

import math
import os
import struct
import sys
import zlib

SUB = 4  # supersamples per axis


# ---------------------------------------------------------------------------
# Shapes: functions (x, y) -> bool, in pixel units (pixel centres at +0.5).

def seg_dist(px, py, x1, y1, x2, y2):
    dx, dy = x2 - x1, y2 - y1
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - x1) * dx + (py - y1) * dy) / length2))
    ex, ey = x1 + t * dx - px, y1 + t * dy - py
    return math.hypot(ex, ey)


def strokes(paths, radius):
    """Polylines [(x, y), ...] drawn with round pens of the given radius."""
    segs = [(p[i][0], p[i][1], p[i + 1][0], p[i + 1][1]) for p in paths for i in range(len(p) - 1)]
    return lambda x, y: min(seg_dist(x, y, *s) for s in segs) <= radius


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_in, r_out):
    return lambda x, y: r_in * r_in <= (x - cx) ** 2 + (y - cy) ** 2 <= r_out * r_out


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r and x0 <= x <= x1 and y0 <= y <= y1
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def clip_y(shape, y_max):
    return lambda x, y: y <= y_max and shape(x, y)


# ---------------------------------------------------------------------------
# Canvas with "over" compositing in straight (non-premultiplied) alpha.

class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[(0.0, 0.0, 0.0, 0.0) for _ in range(w)] for _ in range(h)]

    def coverage(self, shape, x, y):
        hits = 0
        for sy in range(SUB):
            for sx in range(SUB):
                if shape(x + (sx + 0.5) / SUB, y + (sy + 0.5) / SUB):
                    hits += 1
        return hits / (SUB * SUB)

    def blend(self, x, y, colour, alpha):
        if alpha <= 0:
            return
        r, g, b = colour
        dr, dg, db, da = self.px[y][x]
        out_a = alpha + da * (1 - alpha)
        if out_a <= 0:
            return
        mix = lambda s, d: (s * alpha + d * da * (1 - alpha)) / out_a
        self.px[y][x] = (mix(r, dr), mix(g, dg), mix(b, db), out_a)

    def fill(self, shape, colour, opacity=1.0):
        for y in range(self.h):
            for x in range(self.w):
                c = self.coverage(shape, x, y)
                if c:
                    self.blend(x, y, colour, c * opacity)

    def png(self):
        raw = bytearray()
        for row in self.px:
            raw.append(0)
            for r, g, b, a in row:
                raw += bytes((round(r), round(g), round(b), round(a * 255)))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
                chunk(b"IEND", b""))


# ---------------------------------------------------------------------------
# The pictures.

def letter_paths(ch, ox, oy, s):
    """Stroke paths of one capital letter in a box 18 x 24 units, scaled by s."""
    def P(*pts):
        return [(ox + x * s, oy + y * s) for x, y in pts]

    if ch == "O":
        return [P(*[(9 + 8 * math.sin(2 * math.pi * k / 32), 12 - 11.5 * math.cos(2 * math.pi * k / 32))
                    for k in range(33)])]
    if ch == "M":
        return [P((1, 24), (1, 0), (9, 15), (17, 0), (17, 24))]
    if ch == "B":
        return [P((1, 0), (1, 24)),
                P((1, 0), (10, 0), (13.5, 2), (14, 6), (13, 9.5), (10, 11.5), (1, 11.5)),
                P((1, 11.5), (11, 11.5), (15.5, 14), (16, 18), (15, 22), (11, 24), (1, 24))]
    if ch == "R":
        return [P((1, 0), (1, 24)),
                P((1, 0), (11, 0), (14.5, 2.5), (15, 6.5), (14, 10), (11, 12), (1, 12)),
                P((8, 12), (16, 24))]
    if ch == "I":
        return [P((9, 0), (9, 24)), P((5, 0), (13, 0)), P((5, 24), (13, 24))]
    if ch == "T":
        return [P((0, 0), (18, 0)), P((9, 0), (9, 24))]
    if ch == "H":
        return [P((1, 0), (1, 24)), P((17, 0), (17, 24)), P((1, 12), (17, 12))]
    raise ValueError(ch)


def logo():
    w, h = 192, 43
    c = Canvas(w, h)
    s = 1.05
    advance = 18 * s + 6.5
    text = "OMBRITH"
    total = advance * (len(text) - 1) + 18 * s
    ox = (w - total) / 2
    oy = (h - 24 * s) / 2
    paths = []
    for i, ch in enumerate(text):
        paths += letter_paths(ch, ox + i * advance, oy, s)
    segs = [(p[i][0], p[i][1], p[i + 1][0], p[i + 1][1]) for p in paths for i in range(len(p) - 1)]
    pen = 1.5

    # Soft glow: a pale blue haze that fades with the distance from the strokes.
    for y in range(h):
        for x in range(w):
            d = min(seg_dist(x + 0.5, y + 0.5, *sg) for sg in segs) - pen
            if d > 0:
                c.blend(x, y, (170, 200, 255), 0.55 * math.exp(-(d * d) / 8.0))
    # The thin horizontal line, fading out toward both ends.
    mid = oy + 12 * s
    for x in range(w):
        t = abs((x + 0.5) - w / 2) / (w / 2)
        fade = max(0.0, 1.0 - t ** 3)
        c.blend(x, int(mid), (255, 255, 255), 0.85 * fade)
    c.fill(strokes(paths, pen), (255, 255, 255))
    return c


def lock():
    c = Canvas(21, 21)
    shackle = union(clip_y(ring(10.5, 8.5, 3.6, 5.8), 8.5),
                    rounded_rect(4.7, 8.0, 6.9, 11.0, 0.3), rounded_rect(14.1, 8.0, 16.3, 11.0, 0.3))
    c.fill(shackle, (200, 200, 205))
    body = rounded_rect(3.0, 9.5, 18.0, 19.5, 1.6)
    c.fill(body, (95, 95, 100))
    c.fill(rounded_rect(4.0, 10.5, 17.0, 18.5, 1.0), (150, 150, 155))
    c.fill(rounded_rect(4.0, 10.5, 17.0, 12.0, 0.6), (185, 185, 190))  # highlight
    keyhole = union(circle(10.5, 13.8, 1.5), rounded_rect(9.9, 14.0, 11.1, 17.0, 0.4))
    c.fill(keyhole, (40, 40, 45))
    return c


def unwield():
    c = Canvas(17, 17)
    c.fill(strokes([[(6.0, 11.0), (14.0, 3.0)]], 1.1), (215, 220, 230))      # blade
    c.fill(strokes([[(12.4, 3.2), (13.8, 3.2), (13.8, 4.6)]], 0.5), (235, 240, 250))  # point
    c.fill(strokes([[(3.2, 9.8), (7.2, 13.8)]], 0.9), (220, 180, 60))        # cross guard
    c.fill(strokes([[(2.0, 15.0), (5.0, 12.0)]], 0.9), (140, 90, 40))        # grip
    c.fill(circle(1.8, 15.2, 1.1), (220, 180, 60))                          # pommel
    sign = union(ring(8.5, 8.5, 6.2, 8.2), strokes([[(4.2, 4.2), (12.8, 12.8)]], 1.0))
    c.fill(sign, (225, 20, 20))
    return c


def sleep():
    c = Canvas(17, 17)
    colour = (150, 235, 255)
    z_big = [[(1.2, 10.2), (7.0, 10.2), (1.2, 15.8), (7.0, 15.8)]]
    z_mid = [[(8.2, 5.6), (11.8, 5.6), (8.2, 9.0), (11.8, 9.0)]]
    z_small = [[(13.2, 1.3), (15.8, 1.3), (13.2, 3.9), (15.8, 3.9)]]
    c.fill(strokes(z_big, 0.85), colour)
    c.fill(strokes(z_mid, 0.7), colour)
    c.fill(strokes(z_small, 0.6), colour)
    return c


def hand(fill, outline):
    c = Canvas(17, 17)
    palm = union(
        rounded_rect(4.2, 8.0, 13.2, 14.5, 2.2),
        strokes([[(5.4, 9.0), (5.4, 4.0)]], 1.05),    # index
        strokes([[(7.7, 9.0), (7.7, 2.6)]], 1.05),    # middle
        strokes([[(10.0, 9.0), (10.0, 3.2)]], 1.05),  # ring
        strokes([[(12.2, 9.5), (12.2, 5.0)]], 0.95),  # little
        strokes([[(5.0, 12.0), (2.2, 8.8)]], 1.15),   # thumb
        rounded_rect(5.8, 13.0, 11.6, 16.6, 0.8),     # wrist
    )
    grown = lambda x, y: any(palm(x + dx, y + dy) for dx, dy in
                             ((0.8, 0), (-0.8, 0), (0, 0.8), (0, -0.8), (0.57, 0.57), (-0.57, 0.57),
                              (0.57, -0.57), (-0.57, -0.57)))
    c.fill(grown, outline)
    c.fill(palm, fill)
    return c


PICTURES = {
    "ombrith_text_transparent_white": logo,
    "lock": lock,
    "unwield": unwield,
    "sleep": sleep,
    "burn2": lambda: hand((225, 45, 30), (110, 10, 0)),
    "shock2": lambda: hand((175, 210, 255), (60, 90, 160)),
    "sicken2": lambda: hand((70, 200, 60), (10, 90, 10)),
}


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "assets")
    os.makedirs(out_dir, exist_ok=True)
    for name, draw in PICTURES.items():
        path = os.path.join(out_dir, name + ".png")
        data = draw().png()
        with open(path, "wb") as f:
            f.write(data)
        print("%s: %d bytes" % (path, len(data)))


if __name__ == "__main__":
    main()
