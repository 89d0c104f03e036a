#!/usr/bin/env python3
"""Draws the program's pictures (button faces, blink states, greeting card, icon) into
data/images/ as PNG files.

Standard library only, so anyone can redraw them: shapes are rasterised on a 4x grid and
averaged down, which gives smooth edges without a drawing library. The output is
deterministic; run it again after changing a picture and commit the PNG files with it.

    python3 scripts/make_images.py
"""
import math
import os
import struct
import zlib

SS = 4  # samples per pixel along each axis

TEAL = (0, 160, 160, 255)
NAVY = (0, 0, 150, 255)
GREEN = (0, 140, 60, 255)
RED = (210, 30, 30, 255)
ORANGE = (240, 120, 0, 255)
WHITE = (255, 255, 255, 255)
DARK = (40, 40, 40, 255)
PINK = (250, 150, 170, 255)


class Picture:
    """An RGBA picture drawn in pixel coordinates (floats, y down) on a supersampled grid."""

    def __init__(self, w, h, background=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.W, self.H = w * SS, h * SS
        self.px = [list(background) for _ in range(self.W * self.H)]

    def _blend(self, i, c):
        # Shapes are drawn opaque or fully replace: alpha compositing "over" with 0/255 alpha.
        if c[3] == 255:
            self.px[i] = list(c)
        else:
            d = self.px[i]
            a = c[3] / 255.0
            self.px[i] = [round(c[k] * a + d[k] * (1 - a)) for k in range(3)] + [max(d[3], c[3])]

    def _cover(self, x0, y0, x1, y1, inside, color):
        """Sets every sample in the box whose centre satisfies inside(x, y)."""
        X0 = max(0, int(math.floor(x0 * SS)))
        Y0 = max(0, int(math.floor(y0 * SS)))
        X1 = min(self.W, int(math.ceil(x1 * SS)) + 1)
        Y1 = min(self.H, int(math.ceil(y1 * SS)) + 1)
        for Y in range(Y0, Y1):
            y = (Y + 0.5) / SS
            for X in range(X0, X1):
                x = (X + 0.5) / SS
                if inside(x, y):
                    self._blend(Y * self.W + X, color)

    def rect(self, x0, y0, x1, y1, color, radius=0.0):
        def inside(x, y):
            if not (x0 <= x <= x1 and y0 <= y <= y1):
                return False
            if radius <= 0:
                return True
            cx = min(max(x, x0 + radius), x1 - radius)
            cy = min(max(y, y0 + radius), y1 - radius)
            return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius
        self._cover(x0, y0, x1, y1, inside, color)

    def disk(self, cx, cy, r, color):
        self._cover(cx - r, cy - r, cx + r, cy + r,
                    lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color)

    def stroke(self, points, width, color):
        """A polyline with round caps and joins."""
        hw = width / 2.0
        for (ax, ay), (bx, by) in zip(points, points[1:]):
            dx, dy = bx - ax, by - ay
            ll = dx * dx + dy * dy or 1e-9

            def inside(x, y, ax=ax, ay=ay, dx=dx, dy=dy, ll=ll):
                t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / ll))
                px, py = ax + t * dx - x, ay + t * dy - y
                return px * px + py * py <= hw * hw
            self._cover(min(ax, bx) - hw, min(ay, by) - hw, max(ax, bx) + hw, max(ay, by) + hw,
                        inside, color)

    def polygon(self, points, color):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]

        def inside(x, y):
            hit = False
            n = len(points)
            for i in range(n):
                (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
                if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                    hit = not hit
            return hit
        self._cover(min(xs), min(ys), max(xs), max(ys), inside, color)

    def save(self, path):
        rows = []
        n = SS * SS
        for y in range(self.h):
            row = bytearray([0])  # filter: none
            for x in range(self.w):
                acc = [0.0, 0.0, 0.0, 0.0]
                for sy in range(SS):
                    base = (y * SS + sy) * self.W + x * SS
                    for sx in range(SS):
                        p = self.px[base + sx]
                        a = p[3]
                        acc[0] += p[0] * a
                        acc[1] += p[1] * a
                        acc[2] += p[2] * a
                        acc[3] += a
                if acc[3] > 0:
                    row += bytes([round(acc[0] / acc[3]), round(acc[1] / acc[3]),
                                  round(acc[2] / acc[3]), round(acc[3] / n)])
                else:
                    row += bytes(4)
            rows.append(bytes(row))

        def chunk(tag, data):
            return (struct.pack(">I", len(data)) + tag + data
                    + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF))
        png = b"\x89PNG\r\n\x1a\n"
        png += chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(b"".join(rows), 9))
        png += chunk(b"IEND", b"")
        tmp = path + ".tmp"
        with open(tmp, "wb") as f:
            f.write(png)
        os.replace(tmp, path)


def arc(cx, cy, r, t0, t1, steps=24):
    """Points on a circle from angle t0 to t1 in degrees (counter-clockwise as seen, y down)."""
    return [(cx + r * math.cos(math.radians(t0 + (t1 - t0) * i / steps)),
             cy - r * math.sin(math.radians(t0 + (t1 - t0) * i / steps))) for i in range(steps + 1)]


# Stroke glyphs in a unit box (x 0..1, y 0..1 from the top of a digit to the base line).
GLYPHS = {
    "1": [[(0.25, 0.2), (0.55, 0.0), (0.55, 1.0)]],
    "2": [arc(0.5, 0.28, 0.3, 160, -40) + [(0.05, 1.0), (0.95, 1.0)]],
    "3": [arc(0.48, 0.26, 0.25, 150, -90), arc(0.48, 0.745, 0.255, 90, -150)],
    "7": [[(0.05, 0.0), (0.95, 0.0), (0.35, 1.0)]],
    # The letter as written by hand, two bows back to back, so that it never reads as the sign ×.
    "x": [[(0.5 + side * 0.4 * (t / 8.0) ** 2, 0.675 + 0.31 * t / 8.0) for t in range(-8, 9)]
          for side in (-1, 1)],
    "+": [[(0.1, 0.62), (0.9, 0.62)], [(0.5, 0.25), (0.5, 0.99)]],
    "=": [[(0.1, 0.45), (0.9, 0.45)], [(0.1, 0.8), (0.9, 0.8)]],
}
ADVANCE = {"1": 0.8, "x": 1.0}


def text_width(s, h):
    return sum(ADVANCE.get(c, 0.75) * h + 0.25 * h for c in s) - 0.25 * h


def draw_text(pic, s, left, top, h, width, color, slant=0.0):
    x = left
    for c in s:
        gw = ADVANCE.get(c, 0.75) * h
        for line in GLYPHS[c]:
            pts = [(x + px * gw + (1.0 - py) * slant * h, top + py * h) for px, py in line]
            pic.stroke(pts, width, color)
        x += gw + 0.25 * h


def arrow_right(pic, x0, x1, cy, shaft, head_w, head_len, color):
    pic.rect(x0, cy - shaft / 2, x1 - head_len + 0.5, cy + shaft / 2, color)
    pic.polygon([(x1 - head_len, cy - head_w / 2), (x1, cy), (x1 - head_len, cy + head_w / 2)], color)


def operator_button(sign):
    p = Picture(24, 24)
    w = 3.0
    if sign == "kake":
        p.stroke([(6, 6), (18, 18)], w, NAVY)
        p.stroke([(18, 6), (6, 18)], w, NAVY)
    elif sign == "waru":
        p.stroke([(4.5, 12), (19.5, 12)], w, NAVY)
        p.disk(12, 6.5, 2.2, NAVY)
        p.disk(12, 17.5, 2.2, NAVY)
    elif sign == "tasu":
        p.stroke([(4.5, 12), (19.5, 12)], w, NAVY)
        p.stroke([(12, 4.5), (12, 19.5)], w, NAVY)
    elif sign == "hiku":
        p.stroke([(4.5, 12), (19.5, 12)], w, NAVY)
    return p


def jikkou():
    # The Enter key's return arrow: Enter executes the step as the button does.
    p = Picture(20, 20)
    p.stroke([(15.5, 3), (15.5, 12), (8, 12)], 3.0, GREEN)
    p.polygon([(9, 6.5), (2.5, 12), (9, 17.5)], GREEN)
    return p


def teisei():
    # A turning-back arrow: take back the step or the newest line.
    p = Picture(20, 20)
    p.stroke([(7, 6.5), (12, 6.5)] + arc(12, 11.25, 4.75, 90, -90) + [(6, 16)], 2.6, ORANGE)
    p.polygon([(1.5, 6.5), (8, 1.5), (8, 11.5)], ORANGE)
    return p


def clear_key():
    # An eraser for "CL".
    p = Picture(20, 20)
    c, s = math.cos(math.radians(-40)), math.sin(math.radians(-40))

    def rot(x, y):
        return (10 + x * c - y * s, 10 + x * s + y * c)
    body = [rot(-8, -3.5), rot(8, -3.5), rot(8, 3.5), rot(-8, 3.5)]
    tip = [rot(-8, -3.5), rot(-1, -3.5), rot(-1, 3.5), rot(-8, 3.5)]
    p.polygon(body, PINK)
    p.polygon(tip, WHITE)
    p.stroke(body + [body[0]], 1.2, DARK)
    p.stroke([rot(-1, -3.5), rot(-1, 3.5)], 1.0, DARK)
    return p


def next_quiet():
    p = Picture(25, 25)
    arrow_right(p, 3.5, 21.5, 12.5, 5.0, 14.0, 8.0, (0, 60, 200, 255))
    return p


def next_lit():
    p = Picture(25, 25)
    p.disk(12.5, 12.5, 12.0, ORANGE)
    arrow_right(p, 5.0, 20.5, 12.5, 4.0, 12.0, 7.0, WHITE)
    return p


def ok_mark():
    p = Picture(16, 16)
    p.stroke([(3, 8.5), (6.5, 12), (13, 4)], 2.5, GREEN)
    return p


def greeting():
    p = Picture(175, 129, TEAL)
    p.rect(8, 8, 167, 121, WHITE, radius=10)
    # Three line labels down the left edge, as on the equation page.
    for i, d in enumerate("123"):
        cy = 28 + i * 36
        p.disk(24, cy, 9, TEAL)
        p.disk(24, cy, 7.2, WHITE)
        draw_text(p, d, 24 - 4.2, cy - 5, 10, 1.6, TEAL)
    # A worked step: the question, an arrow, the answer underlined twice.
    h = 18
    q = "2x+3=7"
    draw_text(p, q, 44, 17, h, 2.6, NAVY, slant=0.08)
    p.stroke([(91, 44), (91, 58)], 2.4, GREEN)
    p.polygon([(85, 55), (97, 55), (91, 63)], GREEN)
    a = "x=2"
    aw = text_width(a, h + 4)
    ax = 91 - aw / 2
    draw_text(p, a, ax, 70, h + 4, 3.0, RED, slant=0.08)
    p.stroke([(ax - 2, 99), (ax + aw + 2, 99)], 1.6, RED)
    p.stroke([(ax - 2, 103), (ax + aw + 2, 103)], 1.6, RED)
    p.stroke([(135, 86), (141, 93), (154, 74)], 3.0, GREEN)
    return p


def program_icon():
    p = Picture(32, 32)
    p.rect(1, 1, 31, 31, TEAL, radius=6)
    draw_text(p, "x", 4, 7, 13, 2.6, WHITE)
    draw_text(p, "=", 18.5, 7, 13, 2.6, WHITE)
    p.stroke([(5, 26.5), (27, 26.5)], 2.0, (255, 230, 0, 255))
    return p


PICTURES = {
    "kake.png": lambda: operator_button("kake"),
    "waru.png": lambda: operator_button("waru"),
    "tasu.png": lambda: operator_button("tasu"),
    "hiku.png": lambda: operator_button("hiku"),
    "jikkou.png": jikkou,
    "teisei.png": teisei,
    "clear.png": clear_key,
    "next_q.png": next_quiet,
    "next_r.png": next_lit,
    "ok.png": ok_mark,
    "greet.png": greeting,
    "icon.png": program_icon,
}


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "images")
    os.makedirs(out, exist_ok=True)
    for name, make in PICTURES.items():
        make().save(os.path.join(out, name))
        print(name)


if __name__ == "__main__":
    main()
