#!/usr/bin/env python3
"""Draws the program's icon (res/horavel.ico) and menu images
(res/menu_image.bmp). Run it again after changing a drawing; the outputs are
committed so that a build needs no Python."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.join(HERE, "..", "res")

SUPERSAMPLE = 4


def render(size, shapes):
    """Renders RGBA pixels (top row first) of a list of shape functions.
    Each shape gets (x, y) in unit coordinates and returns an RGBA or None."""
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = (px + (sx + 0.5) / SUPERSAMPLE) / size
                    y = (py + (sy + 0.5) / SUPERSAMPLE) / size
                    colour = (0, 0, 0, 0)
                    for shape in shapes:
                        c = shape(x, y)
                        if c is not None:
                            colour = c
                    a = colour[3] / 255.0
                    acc[0] += colour[0] * a
                    acc[1] += colour[1] * a
                    acc[2] += colour[2] * a
                    acc[3] += a
            n = SUPERSAMPLE * SUPERSAMPLE
            alpha = acc[3] / n
            if alpha > 0:
                rgb = [int(round(acc[i] / acc[3])) for i in range(3)]
            else:
                rgb = [0, 0, 0]
            row.append((rgb[0], rgb[1], rgb[2], int(round(alpha * 255))))
        pixels.append(row)
    return pixels


def disc(cx, cy, r, colour):
    return lambda x, y: colour if (x - cx) ** 2 + (y - cy) ** 2 <= r * r else None


def ring(cx, cy, r_out, r_in, colour):
    def f(x, y):
        d = (x - cx) ** 2 + (y - cy) ** 2
        return colour if r_in * r_in <= d <= r_out * r_out else None
    return f


def segment(x0, y0, x1, y1, width, colour):
    def f(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        px, py = x0 + t * dx, y0 + t * dy
        return colour if (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2 else None
    return f


def rect(x0, y0, x1, y1, colour):
    return lambda x, y: colour if x0 <= x <= x1 and y0 <= y <= y1 else None


GREEN = (0, 250, 0, 255)
DARK_GREEN = (0, 120, 40, 255)
WHITE = (255, 255, 255, 255)
INK = (30, 40, 50, 255)


def clock_face():
    shapes = [disc(0.5, 0.5, 0.48, DARK_GREEN), disc(0.5, 0.5, 0.40, WHITE)]
    for hour in range(12):
        angle = hour * math.pi / 6
        x, y = 0.5 + 0.34 * math.sin(angle), 0.5 - 0.34 * math.cos(angle)
        shapes.append(disc(x, y, 0.035, INK))
    shapes.append(segment(0.5, 0.5, 0.5, 0.22, 0.08, INK))      # minute hand at 12
    shapes.append(segment(0.5, 0.5, 0.70, 0.58, 0.09, INK))     # hour hand near 4
    shapes.append(disc(0.5, 0.5, 0.06, GREEN))
    return shapes


def icon_entry(size):
    pixels = render(size, clock_face())
    xor = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    and_mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(and_mask)


def write_icon(path, sizes):
    entries = [icon_entry(s) for s in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(sizes)))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, entries):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in entries:
        out += data
    with open(path, "wb") as f:
        f.write(out)


MAGENTA = (255, 0, 255)


def menu_images(height):
    """Four 24-pixel images side by side: 0 a display, 1 a clock, 2 a gear,
    3 a globe."""
    w = 24

    display = [rect(0.12, 0.18, 0.88, 0.68, INK), rect(0.18, 0.24, 0.82, 0.62, (90, 170, 255, 255)),
               rect(0.44, 0.68, 0.56, 0.80, INK), rect(0.30, 0.80, 0.70, 0.86, INK)]
    clock = [disc(0.5, 0.5, 0.40, DARK_GREEN), disc(0.5, 0.5, 0.32, WHITE),
             segment(0.5, 0.5, 0.5, 0.26, 0.07, INK), segment(0.5, 0.5, 0.68, 0.56, 0.08, INK)]
    gear = [disc(0.5, 0.5, 0.30, (110, 110, 120, 255))]
    for k in range(8):
        a = k * math.pi / 4
        gear.append(segment(0.5, 0.5, 0.5 + 0.40 * math.cos(a), 0.5 + 0.40 * math.sin(a), 0.14, (110, 110, 120, 255)))
    gear.append(disc(0.5, 0.5, 0.12, (255, 255, 255, 0)))
    globe = [disc(0.5, 0.5, 0.40, (40, 120, 220, 255)),
             ring(0.5, 0.5, 0.40, 0.36, INK),
             segment(0.10, 0.5, 0.90, 0.5, 0.05, (230, 240, 255, 255)),
             segment(0.5, 0.10, 0.5, 0.90, 0.05, (230, 240, 255, 255)),
             ring(0.5, 0.5, 0.22, 0.18, (230, 240, 255, 255))]
    images = [render(w, s) for s in (display, clock, gear, globe)]
    # crop each square image to the strip height, centred
    top = (w - height) // 2
    rows = []
    for y in range(height):
        row = []
        for image in images:
            for r, g, b, a in image[top + y]:
                if a < 128:
                    row.append(MAGENTA)
                else:
                    row.append((r, g, b))
        rows.append(row)
    return rows


def write_bmp24(path, rows):
    height = len(rows)
    width = len(rows[0])
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


if __name__ == "__main__":
    write_icon(os.path.join(RES, "horavel.ico"), [16, 32, 48])
    write_bmp24(os.path.join(RES, "menu_image.bmp"), menu_images(20))
