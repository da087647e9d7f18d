#!/usr/bin/env python3
"""Draws Pastewright's icons and pictures and writes them as .ico and .bmp.

Standard library only, and deterministic: the same script always writes the
same bytes, so the generated files are committed and a Windows build needs no
Python. Run from anywhere:  python3 tools/draw_icons.py [output folder]

Shapes are described on a 16-unit grid (icons) or in pixels (pictures) and
rendered with 4 x 4 supersampling, so each icon size is drawn, not scaled.
"""

import os
import struct
import sys

SAMPLES = 4


class Canvas:
    def __init__(self, width, height, background=(0, 0, 0, 0)):
        self.width = width
        self.height = height
        self.pixels = [list(background) for _ in range(width * height)]

    def paint(self, inside, colour, unit=1.0, dx=0.0, dy=0.0):
        """Blends `colour` over every pixel by the share of its samples that
        fall inside the shape (a predicate on unit coordinates)."""
        r, g, b, a = colour
        for py in range(self.height):
            for px in range(self.width):
                hits = 0
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        ux = ((px + (sx + 0.5) / SAMPLES) - dx) / unit
                        uy = ((py + (sy + 0.5) / SAMPLES) - dy) / unit
                        if inside(ux, uy):
                            hits += 1
                if hits:
                    self._blend(px, py, (r, g, b, a * hits / (SAMPLES * SAMPLES)))

    def _blend(self, x, y, colour):
        dst = self.pixels[y * self.width + x]
        r, g, b, a = colour
        sa = a / 255.0
        da = dst[3] / 255.0
        out_a = sa + da * (1 - sa)
        if out_a <= 0:
            return
        for i, c in enumerate((r, g, b)):
            dst[i] = (c * sa + dst[i] * da * (1 - sa)) / out_a
        dst[3] = out_a * 255.0

    def rgba(self, x, y):
        p = self.pixels[y * self.width + x]
        return tuple(int(round(min(255.0, max(0.0, v)))) for v in p)


# --- shapes: predicates on unit coordinates ---------------------------------

def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def round_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    return inside


def circle(cx, cy, radius):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def ring(cx, cy, inner, outer):
    return lambda x, y: inner ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= outer ** 2


def segment(ax, ay, bx, by, half_width):
    """A stroke with round ends."""
    vx, vy = bx - ax, by - ay
    length2 = vx * vx + vy * vy

    def inside(x, y):
        t = ((x - ax) * vx + (y - ay) * vy) / length2
        t = min(1.0, max(0.0, t))
        px, py = ax + t * vx, ay + t * vy
        return (x - px) ** 2 + (y - py) ** 2 <= half_width ** 2
    return inside


def polygon(points):
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


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


# --- colours ------------------------------------------------------------------

INK = (64, 64, 72, 255)
PAPER = (255, 255, 255, 255)
LINE_GRAY = (150, 150, 160, 255)
BLUE = (40, 100, 200, 255)
DARK_BLUE = (30, 60, 130, 255)
ORANGE = (240, 120, 30, 255)
DARK_ORANGE = (190, 80, 10, 255)
GREEN = (40, 160, 70, 255)
BOARD = (150, 100, 55, 255)
BOARD_EDGE = (105, 68, 35, 255)
GLASS = (190, 225, 250, 255)
BUTTON_FACE = (240, 240, 240, 255)
PANEL_EDGE = (160, 168, 180, 255)

# --- icons on a 16-unit grid ----------------------------------------------------

def draw_page(c, unit, ox=0.0, oy=0.0):
    body = polygon([(3, 1), (10, 1), (13, 4), (13, 15), (3, 15)])
    inner = polygon([(4, 2), (9.6, 2), (12, 4.4), (12, 14), (4, 14)])
    c.paint(body, INK, unit, ox, oy)
    c.paint(inner, PAPER, unit, ox, oy)
    c.paint(polygon([(9.5, 1.5), (9.5, 4.5), (12.5, 4.5)]), LINE_GRAY, unit, ox, oy)


def draw_textfile(c, unit):
    draw_page(c, unit)
    for top in (6, 8, 10, 12):
        c.paint(rect(5, top, 11 if top != 12 else 9, top + 1), LINE_GRAY, unit)


def draw_document(c, unit):
    draw_page(c, unit)
    c.paint(rect(5, 5, 11, 7), BLUE, unit)
    for top in (8.5, 10.5, 12.5):
        c.paint(rect(5, top, 11, top + 1), BLUE, unit)


def draw_delete(c, unit):
    c.paint(union(segment(3.5, 3.5, 12.5, 12.5, 2.1), segment(12.5, 3.5, 3.5, 12.5, 2.1)),
            DARK_ORANGE, unit)
    c.paint(union(segment(3.5, 3.5, 12.5, 12.5, 1.4), segment(12.5, 3.5, 3.5, 12.5, 1.4)),
            ORANGE, unit)


def draw_save(c, unit):
    tray = union(rect(1.5, 10, 3, 15), rect(13, 10, 14.5, 15), rect(1.5, 13.5, 14.5, 15))
    c.paint(tray, DARK_BLUE, unit)
    c.paint(rect(6.8, 1, 9.2, 7.5), GREEN, unit)
    c.paint(polygon([(3.5, 7), (12.5, 7), (8, 12)]), GREEN, unit)


def draw_preview(c, unit):
    c.paint(circle(6.5, 6.5, 4.3), GLASS, unit)
    c.paint(ring(6.5, 6.5, 3.6, 5.2), INK, unit)
    c.paint(segment(10.2, 10.2, 14, 14, 1.5), BOARD_EDGE, unit)


def draw_app(c, unit, ox=0.0, oy=0.0):
    c.paint(round_rect(1.5, 2, 14.5, 15.8, 1.6), BOARD_EDGE, unit, ox, oy)
    c.paint(round_rect(2.2, 2.7, 13.8, 15.1, 1.2), BOARD, unit, ox, oy)
    c.paint(rect(3.8, 4.2, 12.2, 14), PAPER, unit, ox, oy)
    for top in (6.5, 8.5, 10.5):
        c.paint(rect(5, top, 11, top + 1), BLUE, unit, ox, oy)
    c.paint(rect(5, 12.2, 8.5, 13), BLUE, unit, ox, oy)
    c.paint(round_rect(5, 0.6, 11, 4.6, 1.0), INK, unit, ox, oy)
    c.paint(round_rect(6.8, 1.4, 9.2, 2.8, 0.6), BOARD, unit, ox, oy)


def render(draw, size):
    c = Canvas(size, size)
    draw(c, size / 16.0)
    return c


# --- pictures ---------------------------------------------------------------------

def draw_panel(width, height):
    c = Canvas(width, height, BUTTON_FACE)
    c.paint(round_rect(0, 0, width, height, 9), PANEL_EDGE)
    c.paint(round_rect(1, 1, width - 1, height - 1, 8), PAPER)
    return c


GLYPHS = {
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "W": ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
}


def draw_text(c, text, left, top, scale, colour):
    x = left
    for ch in text:
        for row, bits in enumerate(GLYPHS[ch]):
            for col, bit in enumerate(bits):
                if bit == "1":
                    c.paint(rect(x + col * scale, top + row * scale,
                                 x + (col + 1) * scale, top + (row + 1) * scale), colour)
        x += 6 * scale


def draw_logo(width, height):
    c = Canvas(width, height, PAPER)
    draw_app(c, 56 / 16.0, 4, (height - 56) / 2)
    draw_text(c, "PASTEWRIGHT", 64, 24, 2, DARK_BLUE)
    c.paint(rect(64, 44, 194, 46), ORANGE)
    c.paint(rect(64, 50, 150, 52), BLUE)
    return c


# --- file formats -----------------------------------------------------------------

def palette_16():
    return [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
            (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
            (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def palette_256():
    levels = (0, 51, 102, 153, 204, 255)
    colours = [(r, g, b) for r in levels for g in levels for b in levels]
    colours += [(v * 255 // 41, v * 255 // 41, v * 255 // 41) for v in range(1, 41)]
    return colours[:256]


def nearest(palette, rgb):
    best, best_d = 0, None
    for i, p in enumerate(palette):
        d = sum((a - b) ** 2 for a, b in zip(p, rgb))
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


def row_bytes(bits_per_row):
    return ((bits_per_row + 31) // 32) * 4


def icon_image(c, bpp):
    """One icon image: BITMAPINFOHEADER, palette, colour rows, mask rows."""
    w, h = c.width, c.height
    palette = {4: palette_16(), 8: palette_256()}.get(bpp)
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, bpp, 0, 0, 0, 0, 0, 0)
    out = bytearray(header)
    if palette:
        for r, g, b in palette:
            out += bytes((b, g, r, 0))
    colour_stride = row_bytes(w * bpp)
    mask_stride = row_bytes(w)
    colour_rows = bytearray()
    mask_rows = bytearray()
    for y in range(h - 1, -1, -1):  # bottom-up
        row = bytearray(colour_stride)
        mask = bytearray(mask_stride)
        for x in range(w):
            r, g, b, a = c.rgba(x, y)
            transparent = a < 128
            if transparent:
                mask[x // 8] |= 0x80 >> (x % 8)
            if bpp == 32:
                row[x * 4:x * 4 + 4] = bytes((b, g, r, a))
            else:
                index = 0 if transparent else nearest(palette, (r, g, b))
                if bpp == 8:
                    row[x] = index
                else:
                    row[x // 2] |= index << (4 if x % 2 == 0 else 0)
        colour_rows += row
        mask_rows += mask
    return bytes(out + colour_rows + mask_rows)


def write_ico(path, images):
    """images: list of (canvas, bpp)."""
    blobs = [icon_image(c, bpp) for c, bpp in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for (c, bpp), blob in zip(images, blobs):
        colours = 16 if bpp == 4 else 0
        out += struct.pack("<BBBBHHII", c.width % 256, c.height % 256, colours, 0, 1, bpp,
                           len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    with open(path, "wb") as f:
        f.write(out)


def write_bmp(path, c):
    stride = row_bytes(c.width * 24)
    rows = bytearray()
    for y in range(c.height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(c.width):
            r, g, b, _ = c.rgba(x, y)
            row[x * 3:x * 3 + 3] = bytes((b, g, r))
        rows += row
    info = struct.pack("<IiiHHIIiiII", 40, c.width, c.height, 1, 24, 0, len(rows), 3780, 3780, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(header + info + rows)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        here, "..", "src", "platform", "win32", "res")
    os.makedirs(out, exist_ok=True)

    app_images = []
    for size in (48, 32, 16):
        canvas = render(draw_app, size)
        app_images += [(canvas, 32), (canvas, 8), (canvas, 4)]
    write_ico(os.path.join(out, "app.ico"), app_images)

    # The small icons at the sizes 100 %, 125 %, 150 % and 200 % displays ask for.
    for name, draw in (("textfile", draw_textfile), ("document", draw_document),
                       ("delete", draw_delete), ("save", draw_save), ("preview", draw_preview)):
        write_ico(os.path.join(out, name + ".ico"),
                  [(render(draw, size), 32) for size in (16, 20, 24, 32)])

    # The hover panel is 3135 x 1455 twips: 209 x 97 pixels at 96 DPI.
    write_bmp(os.path.join(out, "panel.bmp"), draw_panel(209, 97))
    write_bmp(os.path.join(out, "logo.bmp"), draw_logo(198, 83))


if __name__ == "__main__":
    main()
