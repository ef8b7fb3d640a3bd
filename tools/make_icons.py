#!/usr/bin/env python3
"""Draws the toolbox's palette icons (20 x 20), its title strip (64 x 20) and
the arrow cursor of the region screenshot (32 x 32, a 256-colour .cur file).

Pure standard library: every picture is drawn as vector shapes into a
supersampled coverage grid, composited into an RGBA pixel array and written
as PNG with zlib. Run it from anywhere; it writes the pictures into
res/icons/ and the resource list res/icons.rc beside that folder:

    python3 tools/make_icons.py [output-folder]

The drawings share one style: dark slate outlines about 1.6 px wide, one
or two accent colours, transparent background, so they sit on the
toolbox's light grey palette.
"""

import math
import os
import struct
import sys
import zlib

SUB = 4  # subsamples per pixel side (16 per pixel)

INK = (50, 60, 80)
BLUE = (38, 118, 214)
LIGHTBLUE = (160, 200, 245)
RED = (212, 58, 52)
GREEN = (52, 158, 84)
ORANGE = (236, 146, 36)
YELLOW = (246, 200, 64)
WHITE = (255, 255, 255)
GREY = (140, 148, 160)
PAPER = (250, 250, 252)

W = 1.6  # main stroke width


# ---------------------------------------------------------------- geometry --

def seg_dist2(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    l2 = dx * dx + dy * dy
    t = 0.0 if l2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / l2))
    qx, qy = ax + t * dx - px, ay + t * dy - py
    return qx * qx + qy * qy


def inside_poly(px, py, pts):
    inside = False
    n = len(pts)
    j = n - 1
    for i in range(n):
        xi, yi = pts[i]
        xj, yj = pts[j]
        if (yi > py) != (yj > py):
            x = xi + (py - yi) * (xj - xi) / (yj - yi)
            if px < x:
                inside = not inside
        j = i
    return inside


def ellipse_pts(cx, cy, rx, ry, a0=0.0, a1=360.0, n=72):
    pts = []
    steps = max(2, int(n * abs(a1 - a0) / 360.0))
    for k in range(steps + 1):
        a = math.radians(a0 + (a1 - a0) * k / steps)
        pts.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return pts


def bezier_pts(p0, p1, p2, p3, n=40):
    pts = []
    for k in range(n + 1):
        t = k / n
        u = 1 - t
        x = u ** 3 * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t ** 3 * p3[0]
        y = u ** 3 * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t ** 3 * p3[1]
        pts.append((x, y))
    return pts


def star_pts(cx, cy, r_out, r_in, n=5, rot=-90.0):
    pts = []
    for k in range(2 * n):
        r = r_out if k % 2 == 0 else r_in
        a = math.radians(rot + 180.0 * k / n)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def rect_pts(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def round_rect_pts(x0, y0, x1, y1, r):
    pts = []
    for (cx, cy, a0) in ((x1 - r, y0 + r, 270), (x1 - r, y1 - r, 0), (x0 + r, y1 - r, 90),
                         (x0 + r, y0 + r, 180)):
        pts += ellipse_pts(cx, cy, r, r, a0, a0 + 90, 24)
    return pts


def rotate(pts, cx, cy, deg):
    a = math.radians(deg)
    c, s = math.cos(a), math.sin(a)
    return [(cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c) for x, y in pts]


# ------------------------------------------------------------------ canvas --

class Image:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[(0.0, 0.0, 0.0, 0.0) for _ in range(w)] for _ in range(h)]  # premultiplied

    def _composite(self, coverage_fn, color, bbox, alpha=1.0):
        x0, y0, x1, y1 = bbox
        x0 = max(0, int(math.floor(x0)) - 1)
        y0 = max(0, int(math.floor(y0)) - 1)
        x1 = min(self.w, int(math.ceil(x1)) + 1)
        y1 = min(self.h, int(math.ceil(y1)) + 1)
        r, g, b = (c / 255.0 for c in color)
        for y in range(y0, y1):
            for x in range(x0, x1):
                hits = 0
                for sy in range(SUB):
                    py = y + (sy + 0.5) / SUB
                    for sx in range(SUB):
                        if coverage_fn(x + (sx + 0.5) / SUB, py):
                            hits += 1
                if hits:
                    a = alpha * hits / (SUB * SUB)
                    pr, pg, pb, pa = self.px[y][x]
                    self.px[y][x] = (r * a + pr * (1 - a), g * a + pg * (1 - a),
                                     b * a + pb * (1 - a), a + pa * (1 - a))

    @staticmethod
    def _bbox(pts, pad=0.0):
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        return (min(xs) - pad, min(ys) - pad, max(xs) + pad, max(ys) + pad)

    def fill(self, pts, color, alpha=1.0):
        self._composite(lambda x, y: inside_poly(x, y, pts), color, self._bbox(pts), alpha)

    def stroke(self, pts, color, width=W, closed=False, alpha=1.0):
        segs = list(zip(pts, pts[1:]))
        if closed:
            segs.append((pts[-1], pts[0]))
        h2 = (width / 2.0) ** 2

        def cov(x, y):
            for (a, b) in segs:
                if seg_dist2(x, y, a[0], a[1], b[0], b[1]) <= h2:
                    return True
            return False

        self._composite(cov, color, self._bbox(pts, width), alpha)

    def line(self, x0, y0, x1, y1, color, width=W):
        self.stroke([(x0, y0), (x1, y1)], color, width)

    def dot(self, cx, cy, r, color):
        self.fill(ellipse_pts(cx, cy, r, r, n=32), color)

    def rgba_rows(self):
        rows = []
        for y in range(self.h):
            row = bytearray()
            for x in range(self.w):
                r, g, b, a = self.px[y][x]
                if a <= 0:
                    row += b"\0\0\0\0"
                else:
                    row += bytes((min(255, round(r / a * 255)), min(255, round(g / a * 255)),
                                  min(255, round(b / a * 255)), min(255, round(a * 255))))
            rows.append(bytes(row))
        return rows


def write_png(path, img):
    def chunk(kind, data):
        c = struct.pack(">I", len(data)) + kind + data
        return c + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + row for row in img.rgba_rows())
    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", img.w, img.h, 8, 6, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(raw, 9))
    data += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


# ------------------------------------------------------------------- icons --
# Each function draws one 20 x 20 icon; coordinates are pixel edges (0..20).

def icon_capture(im):  # screen frozen into a board
    im.fill(rect_pts(2, 3, 18, 14), LIGHTBLUE)
    im.stroke(rect_pts(2, 3, 18, 14), INK, closed=True)
    im.line(10, 14, 10, 17, INK)
    im.line(6, 17.2, 14, 17.2, INK)
    # a lightning-like snap mark inside the screen
    im.fill([(11, 5), (7, 10), (10, 10), (9, 13), (13.5, 7.5), (10.5, 7.5)], ORANGE)


def icon_region(im):  # dashed selection with crop corners
    for (a, b) in (((4, 4), (16, 4)), ((16, 4), (16, 16)), ((16, 16), (4, 16)), ((4, 16), (4, 4))):
        n = 6
        for k in range(n):
            if k % 2 == 0:
                t0, t1 = k / n, (k + 1) / n
                im.line(a[0] + (b[0] - a[0]) * t0, a[1] + (b[1] - a[1]) * t0,
                        a[0] + (b[0] - a[0]) * t1, a[1] + (b[1] - a[1]) * t1, BLUE, 1.3)
    im.stroke([(1.5, 6), (1.5, 1.5), (6, 1.5)], INK)
    im.stroke([(14, 18.5), (18.5, 18.5), (18.5, 14)], INK)
    im.line(10, 7.5, 10, 12.5, RED, 1.3)
    im.line(7.5, 10, 12.5, 10, RED, 1.3)


def icon_pen(im):  # pencil
    body = rotate(rect_pts(8.5, 1, 12.5, 14), 10, 10, 45)
    im.fill(body, YELLOW)
    im.stroke(body, INK, 1.3, closed=True)
    tip = rotate([(8.5, 14), (12.5, 14), (10.5, 19)], 10, 10, 45)
    im.fill(tip, PAPER)
    im.stroke(tip, INK, 1.3, closed=True)
    lead = rotate([(9.8, 17.2), (11.2, 17.2), (10.5, 19)], 10, 10, 45)
    im.fill(lead, INK)
    cap = rotate(rect_pts(8.5, 1, 12.5, 3.5), 10, 10, 45)
    im.fill(cap, RED)


def icon_arrow(im):
    im.line(3, 17, 15, 5, INK, 1.8)
    im.fill([(17.5, 2.5), (9.5, 5.2), (14.8, 10.5)], RED)


def icon_line(im):
    im.line(3.5, 16.5, 16.5, 3.5, INK, 1.8)
    im.dot(3.5, 16.5, 2.0, BLUE)
    im.dot(16.5, 3.5, 2.0, BLUE)


def icon_polyline(im):
    pts = [(2.5, 15), (7, 5), (12, 14), (17.5, 4)]
    im.stroke(pts, INK, 1.7)
    for (x, y) in pts:
        im.dot(x, y, 1.8, BLUE)


def icon_rectangle(im):
    im.fill(rect_pts(3, 5, 17, 15), LIGHTBLUE)
    im.stroke(rect_pts(3, 5, 17, 15), INK, closed=True)
    im.line(10, 5, 10, 15, INK, 1.0)
    im.line(3, 10, 17, 10, INK, 1.0)


def icon_ellipse(im):
    pts = ellipse_pts(10, 10, 7.5, 5)
    im.fill(pts, LIGHTBLUE)
    im.stroke(pts, INK, closed=True)


def icon_circle(im):
    pts = ellipse_pts(10, 10, 7, 7)
    im.fill(pts, LIGHTBLUE)
    im.stroke(pts, INK, closed=True)
    im.dot(10, 10, 1.3, INK)


def icon_pie(im):
    im.stroke(ellipse_pts(10, 10.5, 7, 7), INK, closed=True)
    wedge = [(10, 10.5)] + ellipse_pts(10, 10.5, 7, 7, -90, 0, 24)
    im.fill(wedge, ORANGE)
    im.stroke(wedge, INK, 1.3, closed=True)


def icon_polygon(im):
    hexagon = ellipse_pts(10, 10, 8, 8, -90, 270, 6)[:-1]
    im.fill(hexagon, LIGHTBLUE)
    im.stroke(hexagon, INK, closed=True)
    star = star_pts(10, 10.5, 4.8, 2.0)
    im.fill(star, YELLOW)
    im.stroke(star, INK, 0.9, closed=True)


def icon_arcs(im):
    arc = ellipse_pts(10, 14, 7.5, 7.5, 180, 360, 48)
    im.stroke(arc, INK, 1.8)
    for a in (180, 270, 360):
        x = 10 + 7.5 * math.cos(math.radians(a))
        y = 14 + 7.5 * math.sin(math.radians(a))
        im.dot(x, y, 1.9, RED)
    im.dot(10, 14, 1.2, BLUE)


def icon_bezier(im):
    p0, p1, p2, p3 = (2.5, 16), (5, 2), (15, 18), (17.5, 4)
    im.line(p0[0], p0[1], p1[0], p1[1], GREY, 1.0)
    im.line(p3[0], p3[1], p2[0], p2[1], GREY, 1.0)
    im.stroke(bezier_pts(p0, p1, p2, p3), INK, 1.8)
    im.fill(rect_pts(p1[0] - 1.5, p1[1] - 1.5, p1[0] + 1.5, p1[1] + 1.5), BLUE)
    im.fill(rect_pts(p2[0] - 1.5, p2[1] - 1.5, p2[0] + 1.5, p2[1] + 1.5), BLUE)


def icon_curve(im):
    pts = [(2.5, 12), (6.5, 5.5), (10, 11), (13.5, 15), (17.5, 7)]
    path = []
    for k in range(len(pts) - 1):
        a = pts[k - 1] if k > 0 else pts[k]
        b, c = pts[k], pts[k + 1]
        d = pts[k + 2] if k + 2 < len(pts) else pts[k + 1]
        c1 = (b[0] + (c[0] - a[0]) / 6, b[1] + (c[1] - a[1]) / 6)
        c2 = (c[0] - (d[0] - b[0]) / 6, c[1] - (d[1] - b[1]) / 6)
        path += bezier_pts(b, c1, c2, c, 16)
    im.stroke(path, INK, 1.8)
    for (x, y) in pts:
        im.dot(x, y, 1.6, GREEN)


def letter_t(im, color):
    im.fill(rect_pts(3, 3, 14, 5.6), color)
    im.fill(rect_pts(7.2, 3, 9.8, 17), color)
    im.fill(rect_pts(5.5, 15.4, 11.5, 17), color)


def icon_text(im):
    letter_t(im, INK)
    # a text cursor beside the letter
    im.line(16, 7, 16, 17, BLUE, 1.2)
    im.line(14.5, 7, 17.5, 7, BLUE, 1.2)
    im.line(14.5, 17, 17.5, 17, BLUE, 1.2)


def icon_font(im):
    im.fill([(2.5, 15.5), (8.5, 2.5), (11.5, 2.5), (17.5, 15.5), (14.6, 15.5), (10, 5.6),
             (5.4, 15.5)], INK)
    im.fill(rect_pts(6.3, 10, 13.7, 12.2), INK)
    im.fill(rect_pts(2.5, 17, 17.5, 19), RED)


def icon_eyedropper(im):
    tube = rotate(rect_pts(8.6, 5, 11.4, 17), 10, 10, 45)
    im.fill(tube, WHITE)
    im.stroke(tube, INK, 1.3, closed=True)
    bulb = rotate(ellipse_pts(10, 3.5, 2.8, 3.2), 10, 10, 45)
    im.fill(bulb, INK)
    collar = rotate(rect_pts(7.5, 5.5, 12.5, 7.2), 10, 10, 45)
    im.fill(collar, INK)
    liquid = rotate(rect_pts(9.2, 11, 10.8, 16.4), 10, 10, 45)
    im.fill(liquid, BLUE)
    im.fill([(3, 15.5), (1.6, 18.2), (3, 19.3), (4.4, 18.2)], BLUE)


def icon_fill(im):
    bucket = rotate([(4, 6), (13, 6), (12, 16), (5, 16)], 8.5, 11, -30)
    im.fill(bucket, WHITE)
    im.stroke(bucket, INK, 1.4, closed=True)
    paint = rotate([(4, 6), (13, 6), (12.6, 9), (4.4, 9)], 8.5, 11, -30)
    im.fill(paint, BLUE)
    handle = rotate(ellipse_pts(8.5, 6, 4.5, 4, 180, 360, 24), 8.5, 11, -30)
    im.stroke(handle, INK, 1.1)
    im.fill([(16.5, 9), (14.6, 13.5), (15.2, 15.2), (16.5, 15.8), (17.8, 15.2), (18.4, 13.5)], BLUE)


def icon_eraser(im):
    body = rotate(rect_pts(4, 6.5, 17, 13.5), 10.5, 10, -35)
    im.fill(body, WHITE)
    pink = rotate(rect_pts(4, 6.5, 9.5, 13.5), 10.5, 10, -35)
    im.fill(pink, RED)
    im.stroke(body, INK, 1.3, closed=True)
    im.line(2, 18.3, 18, 18.3, GREY, 1.2)


def icon_clear(im):  # back to the starting picture
    arc = ellipse_pts(10, 10.5, 6.5, 6.5, -150, 160, 60)
    im.stroke(arc, INK, 1.8)
    a = math.radians(-150)
    x, y = 10 + 6.5 * math.cos(a), 10.5 + 6.5 * math.sin(a)
    im.fill([(x - 4.2, y - 1.0), (x + 1.8, y - 3.2), (x + 0.6, y + 3.0)], RED)


def icon_open(im):  # folder holding a picture
    im.fill([(1.5, 5), (7, 5), (8.5, 7), (18.5, 7), (18.5, 17), (1.5, 17)], YELLOW)
    im.stroke([(1.5, 5), (7, 5), (8.5, 7), (18.5, 7), (18.5, 17), (1.5, 17)], INK, 1.3, closed=True)
    im.fill(rect_pts(5, 9, 15, 15.5), WHITE)
    im.stroke(rect_pts(5, 9, 15, 15.5), INK, 0.9, closed=True)
    im.fill([(5.5, 15), (8.5, 11), (10.5, 13.5), (12, 12), (14.5, 15)], GREEN)
    im.dot(12.8, 10.8, 0.9, ORANGE)


def icon_save(im):  # floppy disk
    outline = [(2.5, 2.5), (15, 2.5), (17.5, 5), (17.5, 17.5), (2.5, 17.5)]
    im.fill(outline, BLUE)
    im.stroke(outline, INK, 1.3, closed=True)
    im.fill(rect_pts(5.5, 2.5, 13.5, 7.5), WHITE)
    im.fill(rect_pts(10.6, 3.4, 12.4, 6.6), INK)
    im.fill(rect_pts(5, 10.5, 15, 17.5), WHITE)
    im.line(6.5, 13, 13.5, 13, GREY, 0.9)
    im.line(6.5, 15, 13.5, 15, GREY, 0.9)


def icon_move(im):  # four-way arrows
    im.line(10, 4, 10, 16, INK, 1.6)
    im.line(4, 10, 16, 10, INK, 1.6)
    for ang in (0, 90, 180, 270):
        head = rotate([(10, 1.2), (6.8, 5.2), (13.2, 5.2)], 10, 10, ang)
        im.fill(head, BLUE)


def icon_close_board(im):  # a board window with a red cross
    im.fill(rect_pts(2, 3, 18, 17), WHITE)
    im.fill(rect_pts(2, 3, 18, 6), LIGHTBLUE)
    im.stroke(rect_pts(2, 3, 18, 17), INK, 1.3, closed=True)
    im.line(6.5, 8.5, 13.5, 15, RED, 2.0)
    im.line(13.5, 8.5, 6.5, 15, RED, 2.0)


def icon_help(im):
    circle = ellipse_pts(10, 10, 8, 8)
    im.fill(circle, BLUE)
    # question mark in white
    hook = ellipse_pts(10, 7.6, 3.0, 2.7, 180, 400, 36)
    im.stroke(hook, WHITE, 2.0)
    a = math.radians(400)
    im.line(10 + 3.0 * math.cos(a), 7.6 + 2.7 * math.sin(a), 10, 12.2, WHITE, 2.0)
    im.dot(10, 14.9, 1.3, WHITE)


ICONS = [  # cell order
    ("capture", icon_capture),
    ("region", icon_region),
    ("pen", icon_pen),
    ("arrow", icon_arrow),
    ("line", icon_line),
    ("polyline", icon_polyline),
    ("rectangle", icon_rectangle),
    ("ellipse", icon_ellipse),
    ("circle", icon_circle),
    ("pie", icon_pie),
    ("polygon", icon_polygon),
    ("arcs", icon_arcs),
    ("bezier", icon_bezier),
    ("curve", icon_curve),
    ("text", icon_text),
    ("font", icon_font),
    ("eyedropper", icon_eyedropper),
    ("fill", icon_fill),
    ("eraser", icon_eraser),
    ("clear", icon_clear),
    ("open", icon_open),
    ("save", icon_save),
    ("move", icon_move),
    ("close", icon_close_board),
    ("help", icon_help),
]


def title_image():
    im = Image(64, 20)
    # a blue strip, lighter at the top
    for y in range(20):
        t = y / 19.0
        c = tuple(round(a + (b - a) * t) for a, b in zip((92, 150, 228), (38, 96, 186)))
        im.fill(rect_pts(0, y, 64, y + 1), c)
    im.fill(rect_pts(0, 19, 64, 20), (30, 70, 140))
    # a small palette with a brush at the left
    pal = ellipse_pts(8.5, 10, 6.2, 5.2)
    im.fill(pal, WHITE)
    im.dot(6, 8, 1.2, RED)
    im.dot(9, 6.8, 1.2, YELLOW)
    im.dot(12, 8.5, 1.2, GREEN)
    im.dot(6.8, 12, 1.2, BLUE)
    im.dot(10.5, 12.4, 1.5, (92, 150, 228))
    # grip lines: the strip is the handle that moves the toolbox
    for y in (7, 10, 13):
        im.line(19, y, 44, y, (190, 215, 245), 1.0)
    # close button in the rightmost 16 pixels
    im.fill(rect_pts(48, 2, 62, 18), (200, 64, 58))
    im.line(51.5, 6, 58.5, 14, WHITE, 1.8)
    im.line(58.5, 6, 51.5, 14, WHITE, 1.8)
    return im


# ------------------------------------------------------------------ cursor --
# The region screenshot's pointer: an arrow with a black outline and a yellow
# fill, its tip (the hot spot) at pixel (0, 0). Written as a cursor file of one
# 32 x 32 image in 256 colours: 6 + 16 + 40 + 1024 + 1024 + 128 = 2238 bytes.

CURSOR_FILL = (255, 230, 0)
CURSOR_OUTLINE = (0, 0, 0)


def cursor_image():
    im = Image(32, 32)
    arrow = [(0.5, 0.5), (0.5, 24.5), (6.2, 19.0), (10.2, 28.0), (14.2, 26.3),
             (10.4, 17.6), (18.0, 17.6)]
    im.fill(arrow, CURSOR_FILL)
    im.stroke(arrow, CURSOR_OUTLINE, 1.4, closed=True)
    return im


def cursor_bytes(im):
    """The .cur file: palette entry i is the outline-to-fill blend i / 255."""
    palette = b""
    for i in range(256):
        r, g, b = (round(o + (f - o) * i / 255.0) for o, f in zip(CURSOR_OUTLINE, CURSOR_FILL))
        palette += bytes((b, g, r, 0))
    xor_rows, and_rows = [], []
    for y in range(im.h - 1, -1, -1):  # bottom-up
        xor, mask = bytearray(), 0
        for x in range(im.w):
            r, g, b, a = im.px[y][x]
            opaque = a >= 0.5
            level = 0
            if opaque:
                # Premultiplied red over the fill's red gives the blend level.
                level = max(0, min(255, round(r / a * 255 * 255 / CURSOR_FILL[0])))
            xor.append(level)
            if not opaque:
                mask |= 1 << (31 - x)
        xor_rows.append(bytes(xor))
        and_rows.append(struct.pack(">I", mask))
    pixels = b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 8, 0, len(pixels), 0, 0, 256, 0)
    image = header + palette + pixels
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 0, 0, 0, 0, len(image), 6 + 16)
    return directory + entry + image


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "res", "icons")
    os.makedirs(out, exist_ok=True)
    for index, (name, draw) in enumerate(ICONS, start=1):
        im = Image(20, 20)
        draw(im)
        write_png(os.path.join(out, "cell%02d_%s.png" % (index, name)), im)
    write_png(os.path.join(out, "title.png"), title_image())
    with open(os.path.join(out, "selection_cursor.cur"), "wb") as f:
        f.write(cursor_bytes(cursor_image()))
    write_resource_script(os.path.join(os.path.dirname(out), "icons.rc"),
                          os.path.basename(out))


def write_resource_script(path, folder):
    """The resource list that embeds the pictures (numbers from icon_ids.h)."""
    lines = ["#pragma code_page(65001)",
             "// The toolbox pictures, drawn by tools/make_icons.py (which writes this file).",
             '#include "icon_ids.h"', "",
             'IDR_TOOLBOX_TITLE RCDATA "%s/title.png"' % folder]
    for index, (name, _) in enumerate(ICONS, start=1):
        lines.append('%d RCDATA "%s/cell%02d_%s.png"' % (2000 + index, folder, index, name))
    lines.append('IDR_SELECTION_CURSOR RCDATA "%s/selection_cursor.cur"' % folder)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
