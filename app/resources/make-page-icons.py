#!/usr/bin/env python3
"""Draws the wizard's pictures as icons with transparency: one 48 x 48 header picture per
page and the 16 x 16 glyph of the folder button.

Each picture is a list of shapes on a square of 48 (or 16) design units, drawn back to
front and smoothed by sampling every pixel 4 x 4 times. Every icon file holds the picture
at the sizes the window asks for at 96, 120, 144 and 192 dpi, so it stays sharp at each.
Usage: make-page-icons.py [output folder]
"""
import math
import os
import struct
import sys
import zlib

SAMPLES = 4


# --- shapes: each answers whether a point (in design units) lies inside it

def rect(x0, y0, x1, y1, radius=0.0):
    def inside(x, y):
        if radius <= 0:
            return x0 <= x <= x1 and y0 <= y <= y1
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_out, r_in):
    return lambda x, y: r_in * r_in <= (x - cx) ** 2 + (y - cy) ** 2 <= r_out * r_out


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


def line(x0, y0, x1, y1, width):
    """A stroke with round ends."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy
    half = width / 2

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx, y0 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= half * half
    return inside


def star(cx, cy, r_out, r_in, points=5):
    corners = []
    for i in range(points * 2):
        angle = -math.pi / 2 + i * math.pi / points
        r = r_out if i % 2 == 0 else r_in
        corners.append((cx + r * math.cos(angle), cy + r * math.sin(angle)))
    return polygon(*corners)


# --- colours (red, green, blue, alpha)

WHITE = (255, 255, 255, 255)
PAPER = (250, 250, 246, 255)
EDGE = (96, 104, 120, 255)
INK = (150, 160, 176, 255)
BLUE = (38, 110, 204, 255)
DARK_BLUE = (22, 70, 140, 255)
GREEN = (46, 160, 67, 255)
DARK_GREEN = (26, 110, 44, 255)
YELLOW = (250, 196, 60, 255)
DARK_YELLOW = (198, 140, 24, 255)
RED = (206, 52, 52, 255)
SHADOW = (0, 0, 0, 48)
SCREEN = (52, 120, 196, 255)
FRAME = (60, 66, 78, 255)


def document(x0, y0, x1, y1, fold=9):
    """A sheet of paper with a folded top-right corner, its outline and the fold."""
    outline = polygon((x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1))
    inner = polygon((x0 + 1.5, y0 + 1.5), (x1 - fold - 0.6, y0 + 1.5), (x1 - 1.5, y0 + fold + 0.6),
                    (x1 - 1.5, y1 - 1.5), (x0 + 1.5, y1 - 1.5))
    corner = polygon((x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold))
    return [(outline, EDGE), (inner, PAPER), (corner, EDGE)]


def text_lines(x0, x1, ys, width=2.2):
    return [(line(x0, y, x1, y, width), INK) for y in ys]


def folder(x0, y0, x1, y1, tab_width, back, front):
    height = y1 - y0
    tab = height * 0.22
    return [
        (polygon((x0, y0 + tab), (x0, y0 + 2), (x0 + 2, y0), (x0 + tab_width, y0), (x0 + tab_width + tab, y0 + tab),
                 (x1, y0 + tab), (x1, y1), (x0, y1)), back),
        (polygon((x0, y1), (x0 + height * 0.12, y0 + tab * 2), (x1 + height * 0.04, y0 + tab * 2),
                 (x1 - height * 0.02, y1)), front),
    ]


PICTURES = {
    # An information sign: a blue disc with a white "i".
    "page-info": (48, [
        (circle(25, 26, 20), SHADOW),
        (circle(24, 24, 20), DARK_BLUE),
        (circle(24, 24, 18), BLUE),
        (circle(24, 13.5, 3.2), WHITE),
        (rect(21, 19.5, 27, 36, 1.5), WHITE),
        (rect(18.5, 33, 29.5, 36, 1), WHITE),
    ]),
    # The licence: a sheet of text with a red seal.
    "page-license": (48, [(rect(9, 5, 40, 46), SHADOW)] + document(7, 3, 38, 44) + text_lines(12, 27, [12, 17])
                     + text_lines(12, 32, [22, 27]) + [
        (circle(31, 35, 8.5), (150, 30, 30, 255)),
        (star(31, 35, 8.2, 6.6, 12), RED),
        (ring(31, 35, 4.8, 3.4), (250, 210, 210, 255)),
    ]),
    # The destination: an open yellow folder with a green arrow going in.
    "page-folder": (48, [(rect(5, 16, 45, 44, 2), SHADOW)] + folder(3, 13, 43, 42, 14, DARK_YELLOW, YELLOW) + [
        (line(30, 3, 30, 17, 5.5), DARK_GREEN),
        (polygon((21, 14), (39, 14), (30, 26)), DARK_GREEN),
        (line(30, 4, 30, 16, 3), GREEN),
        (polygon((24.5, 15.5), (35.5, 15.5), (30, 23)), GREEN),
    ]),
    # Ready: a checked list with a green tick.
    "page-ready": (48, [(rect(9, 5, 40, 46), SHADOW)] + document(7, 3, 38, 44) + text_lines(13, 31, [13, 20, 27]) + [
        (line(17, 33, 24, 41, 7), WHITE),
        (line(24, 41, 42, 19, 7), WHITE),
        (line(17, 33, 24, 41, 4.5), GREEN),
        (line(24, 41, 42, 19, 4.5), GREEN),
    ]),
    # Progress: a screen showing a bar half filled.
    "page-progress": (48, [
        (rect(5, 8, 46, 38, 3), SHADOW),
        (rect(3, 6, 44, 36, 3), FRAME),
        (rect(6, 9, 41, 33, 1), SCREEN),
        (rect(19, 36, 28, 41), FRAME),
        (rect(12, 40, 35, 44, 1.5), FRAME),
        (rect(9.5, 18, 37.5, 25, 1.5), WHITE),
        (rect(11, 19.5, 27, 23.5, 1), GREEN),
    ]),
    # What's new: a sheet with a yellow star.
    "page-news": (48, [(rect(9, 5, 40, 46), SHADOW)] + document(7, 3, 38, 44) + text_lines(12, 27, [12, 17, 22])
                  + text_lines(12, 22, [27, 32]) + [
        (star(32, 33, 13, 5.8), DARK_YELLOW),
        (star(32, 33, 10.8, 4.6), YELLOW),
    ]),
    # The folder button's glyph: a small folder with a green plus.
    "add-folder": (16, folder(0.5, 3, 13, 14, 5, DARK_YELLOW, YELLOW) + [
        (rect(9.5, 6.5, 12.5, 15.5, 0.5), WHITE),
        (rect(6.5, 9.5, 15.5, 12.5, 0.5), WHITE),
        (rect(10.3, 7.3, 11.7, 14.7), GREEN),
        (rect(7.3, 10.3, 14.7, 11.7), GREEN),
    ]),
}

# Sizes at 96, 120, 144 and 192 dpi.
SIZES = {48: (48, 60, 72, 96), 16: (16, 20, 24, 32)}


def over(under, colour, coverage):
    """Paints colour with the given coverage (0 to 1) over a premultiplied pixel."""
    r, g, b, a = colour
    alpha = a / 255 * coverage
    return tuple(c * alpha + u * (1 - alpha) for c, u in zip((r, g, b, 255), under))


def render(design, shapes, size):
    scale = design / size
    offsets = [(i + 0.5) / SAMPLES for i in range(SAMPLES)]
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            points = [((px + ox) * scale, (py + oy) * scale) for oy in offsets for ox in offsets]
            pixel = (0.0, 0.0, 0.0, 0.0)  # premultiplied red, green, blue; alpha, all 0 to 255
            for inside, colour in shapes:
                hits = sum(1 for x, y in points if inside(x, y))
                if hits:
                    pixel = over(pixel, colour, hits / len(points))
            row.append(pixel)
        pixels.append(row)
    return pixels


def straight_rows(pixels):
    """Rows of straight (not premultiplied) red, green, blue and alpha bytes."""
    for row in pixels:
        line = bytearray()
        for r, g, b, a in row:
            alpha = round(a)
            line += bytes([0 if alpha == 0 else min(255, round(c * 255 / a)) for c in (r, g, b)] + [alpha])
        yield line


def filtered(line, prev):
    """The row under the PNG filter (none, sub, up, average, Paeth) that leaves the smallest
    differences, which is what deflate packs best."""
    def predict(kind, i):
        left = line[i - 4] if i >= 4 else 0
        up = prev[i]
        up_left = prev[i - 4] if i >= 4 else 0
        if kind == 4:
            pa, pb, pc = abs(up - up_left), abs(left - up_left), abs(left + up - 2 * up_left)
            return left if pa <= pb and pa <= pc else (up if pb <= pc else up_left)
        return (0, left, up, (left + up) // 2)[kind]
    candidates = []
    for kind in range(5):
        out = bytes((x - predict(kind, i)) & 255 for i, x in enumerate(line))
        candidates.append((sum(min(v, 256 - v) for v in out), kind, out))
    _, kind, out = min(candidates)
    return bytes([kind]) + out


def icon_image(pixels):
    """One image of an icon file as a PNG: Windows has read PNG images in icons since
    Vista, and they take a fifteenth of the bytes of the 32-bit bitmaps."""
    size = len(pixels)
    raw, prev = b"", bytes(size * 4)
    for line in straight_rows(pixels):
        raw += filtered(line, prev)
        prev = line

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def icon_file(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b"", b""
    for size, image in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
        data += image
    return directory + entries + data


def main():
    folder_out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, (design, shapes) in PICTURES.items():
        images = [(size, icon_image(render(design, shapes, size))) for size in SIZES[design]]
        with open(os.path.join(folder_out, name + ".ico"), "wb") as out:
            out.write(icon_file(images))


if __name__ == "__main__":
    main()
