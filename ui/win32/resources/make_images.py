#!/usr/bin/python3
"""Draws the window program's pictures: the application icon, the font
list's three status icons, the toolbar's five pictures (icons at 16 x 16 and
32 x 32, 32-bit with alpha) and the header's two 9 x 9 sort arrows (16-colour
bitmaps, magenta for transparent).

    make_images.py OUTPUT_FOLDER

Standard library only. Shapes are described in a unit square and sampled
5 x 5 times per pixel, so that each size is drawn for itself and stays sharp.
"""
import math
import os
import struct
import sys

SAMPLES = 5


# --- shapes: functions of (x, y) in the unit square answering inside or not
def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r1, r2, start=None, end=None):
    """Between radii r1 < r2; with start/end (degrees, counter-clockwise from
    east, y up) only that sector."""
    def inside(x, y):
        d = (x - cx) ** 2 + (y - cy) ** 2
        if not r1 * r1 <= d <= r2 * r2:
            return False
        if start is None:
            return True
        a = math.degrees(math.atan2(cy - y, x - cx)) % 360
        return (a - start) % 360 <= (end - start) % 360
    return inside


def segment(x1, y1, x2, y2, width):
    """A stroke with round ends."""
    dx, dy = x2 - x1, y2 - y1
    length2 = dx * dx + dy * dy
    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x1) * dx + (y - y1) * dy) / length2))
        px, py = x1 + t * dx - x, y1 + t * dy - y
        return px * px + py * py <= (width / 2) ** 2
    return inside


def polygon(*points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def rect(x1, y1, x2, y2, radius=0.0):
    def inside(x, y):
        if not (x1 <= x <= x2 and y1 <= y <= y2):
            return False
        cx = min(max(x, x1 + radius), x2 - radius)
        cy = min(max(y, y1 + radius), y2 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius + 1e-12
    return inside


def shaded(top, bottom):
    """A colour running from top to bottom of the square."""
    return lambda x, y: tuple(int(a + (b - a) * y) for a, b in zip(top, bottom))


# --- pictures: lists of (shape, colour) painted in order
GREEN = ((96, 200, 96), (24, 128, 32))
RED = ((240, 96, 88), (176, 24, 24))
YELLOW = ((255, 228, 96), (224, 168, 0))
BLUE = ((96, 156, 232), (24, 80, 176))
WHITE = (255, 255, 255)
DARK = (56, 56, 56)


def badge(colours, size=0.46):
    return [(circle(0.5, 0.5, size + 0.03), (0, 0, 0, 70)), (circle(0.5, 0.5, size), shaded(*colours))]


def check_mark(width):
    return [(segment(0.27, 0.52, 0.43, 0.68, width), WHITE), (segment(0.43, 0.68, 0.73, 0.32, width), WHITE)]


def cross(width, colour=WHITE):
    return [(segment(0.32, 0.32, 0.68, 0.68, width), colour), (segment(0.68, 0.32, 0.32, 0.68, width), colour)]


def question(colour):
    return [(ring(0.5, 0.37, 0.09, 0.2, 300, 180), colour),
            (segment(0.6, 0.47, 0.5, 0.55, 0.11), colour),
            (segment(0.5, 0.55, 0.5, 0.62, 0.11), colour),
            (circle(0.5, 0.78, 0.07), colour)]


def page(lines=True):
    shapes = [(polygon((0.18, 0.04), (0.64, 0.04), (0.84, 0.24), (0.84, 0.97), (0.18, 0.97)), (96, 96, 96)),
              (polygon((0.24, 0.1), (0.6, 0.1), (0.78, 0.28), (0.78, 0.91), (0.24, 0.91)), WHITE),
              (polygon((0.6, 0.1), (0.78, 0.28), (0.6, 0.28)), (176, 176, 176))]
    if lines:
        for y in (0.4, 0.52, 0.64, 0.76):
            shapes.append((rect(0.32, y, 0.7, y + 0.06), (64, 112, 200)))
    return shapes


def magnifier():
    return [(segment(0.6, 0.6, 0.88, 0.88, 0.16), (120, 72, 32)),
            (circle(0.4, 0.4, 0.3), (200, 228, 255, 200)),
            (ring(0.4, 0.4, 0.26, 0.35), (48, 48, 64))]


def wrench():
    steel = shaded((216, 216, 224), (112, 112, 128))
    return [(segment(0.18, 0.82, 0.58, 0.42, 0.19), (64, 64, 72)),
            (segment(0.18, 0.82, 0.58, 0.42, 0.12), steel),
            (ring(0.68, 0.32, 0.12, 0.3, 75, 15), (64, 64, 72)),
            (ring(0.68, 0.32, 0.15, 0.26, 80, 10), steel)]


def door():
    return [(rect(0.12, 0.06, 0.62, 0.96, 0.03), (96, 56, 24)),
            (rect(0.18, 0.12, 0.56, 0.96), shaded((200, 140, 80), (150, 96, 48))),
            (circle(0.48, 0.55, 0.04), (250, 220, 96)),
            (polygon((0.5, 0.44), (0.74, 0.44), (0.74, 0.3), (0.98, 0.55), (0.74, 0.8), (0.74, 0.66),
                     (0.5, 0.66)), shaded(*GREEN))]


def info():
    return badge(BLUE) + [(circle(0.5, 0.28, 0.075), WHITE), (rect(0.43, 0.41, 0.57, 0.77, 0.03), WHITE)]


def letter_a(colour):
    return [(polygon((0.42, 0.16), (0.58, 0.16), (0.82, 0.84), (0.66, 0.84), (0.5, 0.36), (0.34, 0.84),
                     (0.18, 0.84)), colour),
            (rect(0.32, 0.54, 0.68, 0.66), colour)]


def app_icon():
    return ([(rect(0.04, 0.04, 0.96, 0.96, 0.18), (16, 48, 112)),
             (rect(0.07, 0.07, 0.93, 0.93, 0.15), shaded(*BLUE))] + letter_a(WHITE) +
            [(circle(0.76, 0.76, 0.22), WHITE), (circle(0.76, 0.76, 0.18), shaded(*GREEN)),
             (segment(0.67, 0.77, 0.74, 0.84, 0.07), WHITE), (segment(0.74, 0.84, 0.86, 0.68, 0.07), WHITE)])


PICTURES = {
    "app": app_icon(),
    "status_ok": badge(GREEN) + check_mark(0.15),
    "status_problem": badge(RED) + cross(0.15),
    "status_minor": badge(YELLOW) + question((64, 48, 0)),
    "tool_scan": page(False) + magnifier(),
    "tool_repair": wrench(),
    "tool_exit": door(),
    "tool_about": info(),
    "tool_readme": page(),
}


def render(shapes, size):
    """Rows top to bottom of (r, g, b, a)."""
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            colour = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    sample = [0.0, 0.0, 0.0, 0.0]
                    for shape, paint in shapes:
                        if shape(x, y):
                            c = paint(x, y) if callable(paint) else paint
                            a = (c[3] if len(c) > 3 else 255) / 255.0
                            for i in range(3):
                                sample[i] = c[i] * a + sample[i] * (1 - a)
                            sample[3] = a + sample[3] * (1 - a)
                    for i in range(4):
                        colour[i] += sample[i]
            n = SAMPLES * SAMPLES
            alpha = colour[3] / n
            if alpha <= 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(round(colour[i] / n / alpha)) for i in range(3)) + (int(round(alpha * 255)),))
        pixels.append(row)
    return pixels


def icon_image(pixels):
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def write_icon(path, shapes, sizes):
    images = [icon_image(render(shapes, size)) for size in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


# The sort arrows: 9 x 9 with a one-pixel margin, hollow triangles lit from
# the top left as the classic header is: the ascending one's left edge dark
# grey, its right edge and base white; the descending one's top and left
# edges dark grey, its right edge white.
ARROW_UP = ["MMMMMMMMM",
            "MMMMGMMMM",
            "MMMGMWMMM",
            "MMMGMWMMM",
            "MMGMMMWMM",
            "MMGMMMWMM",
            "MGMMMMMWM",
            "MGWWWWWWM",
            "MMMMMMMMM"]
ARROW_DOWN = ["MMMMMMMMM",
              "MGGGGGGGM",
              "MGMMMMMWM",
              "MMGMMMWMM",
              "MMGMMMWMM",
              "MMMGMWMMM",
              "MMMGMWMMM",
              "MMMMGMMMM",
              "MMMMMMMMM"]
# The 16 standard colours; M magenta (transparent), G dark grey, W white.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (128, 128, 128), (192, 192, 192), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]
INDEX = {"M": 13, "G": 7, "W": 15}


def write_arrow(path, rows):
    width, height = len(rows[0]), len(rows)
    stride = ((width * 4 + 31) // 32) * 4
    data = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, ch in enumerate(row):
            line[x // 2] |= INDEX[ch] << (4 if x % 2 == 0 else 0)
        data += line
    palette = b"".join(bytes((b, g, r, 0)) for (r, g, b) in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(data), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + palette + bytes(data))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, shapes in PICTURES.items():
        write_icon(os.path.join(out, name + ".ico"), shapes, [16, 32, 48] if name == "app" else [16, 32])
    write_arrow(os.path.join(out, "arrow_up.bmp"), ARROW_UP)
    write_arrow(os.path.join(out, "arrow_down.bmp"), ARROW_DOWN)


if __name__ == "__main__":
    main()
