#!/usr/bin/env python3
"""Draws Vantinst's pictures and writes them as files, with nothing but Python 3.

  res/vantinst.ico  icon 128: the face of a 25-pin printer-port connector (32x32 with
                    the label "LPT1", and 16x16), 16 colours
  res/OEM.BMP       the picture of the main dialog, 190x102 pixels, 16 colours:
                    a 25-pin printer-port socket, "MultiBrenno" and "LPT1-Treiber"

The program paints OEM.BMP as it is on disk, so the file keeps the plain layout its
loader expects: 14-byte file header, 40-byte info header, 16 colours, pixel rows from
offset 118, 4 bits per pixel, uncompressed, bottom row first.

The output is the same on every run. Usage: make_art.py [output directory], by default
the res/ directory beside this script's own directory.
"""
import os
import struct
import sys

# The 16 colours of the standard Windows palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GRAY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)

# A small proportional pixel font, 7 rows high; blank columns at the sides are trimmed.
GLYPHS = {
    "A": [".XXX.", "X...X", "X...X", "XXXXX", "X...X", "X...X", "X...X"],
    "B": ["XXXX.", "X...X", "X...X", "XXXX.", "X...X", "X...X", "XXXX."],
    "D": ["XXXX.", "X...X", "X...X", "X...X", "X...X", "X...X", "XXXX."],
    "L": ["X....", "X....", "X....", "X....", "X....", "X....", "XXXXX"],
    "M": ["X...X", "XX.XX", "X.X.X", "X.X.X", "X...X", "X...X", "X...X"],
    "P": ["XXXX.", "X...X", "X...X", "XXXX.", "X....", "X....", "X...."],
    "T": ["XXXXX", "..X..", "..X..", "..X..", "..X..", "..X..", "..X.."],
    "b": ["X....", "X....", "X.XX.", "XX..X", "X...X", "X...X", "XXXX."],
    "c": [".....", ".....", ".XXX.", "X....", "X....", "X...X", ".XXX."],
    "e": [".....", ".....", ".XXX.", "X...X", "XXXXX", "X....", ".XXX."],
    "i": ["X", ".", "X", "X", "X", "X", "X"],
    "k": ["X...", "X...", "X..X", "X.X.", "XX..", "X.X.", "X..X"],
    "l": ["XX.", ".X.", ".X.", ".X.", ".X.", ".X.", "XXX"],
    "n": [".....", ".....", "X.XX.", "XX..X", "X...X", "X...X", "X...X"],
    "o": [".....", ".....", ".XXX.", "X...X", "X...X", "X...X", ".XXX."],
    "p": [".....", ".....", "XXXX.", "X...X", "XXXX.", "X....", "X...."],
    "r": [".....", ".....", "X.XX.", "XX..X", "X....", "X....", "X...."],
    "t": [".X..", ".X..", "XXX.", ".X..", ".X..", ".X.X", "..X."],
    "u": [".....", ".....", "X...X", "X...X", "X...X", "X..XX", ".XX.X"],
    "0": [".XXX.", "X...X", "X..XX", "X.X.X", "XX..X", "X...X", ".XXX."],
    "1": [".X.", "XX.", ".X.", ".X.", ".X.", ".X.", "XXX"],
    "2": [".XXX.", "X...X", "....X", "...X.", "..X..", ".X...", "XXXXX"],
    "3": ["XXXXX", "...X.", "..X..", "...X.", "....X", "X...X", ".XXX."],
    "4": ["...X.", "..XX.", ".X.X.", "X..X.", "XXXXX", "...X.", "...X."],
    "5": ["XXXXX", "X....", "XXXX.", "....X", "....X", "X...X", ".XXX."],
    "-": ["....", "....", "....", "XXXX", "....", "....", "...."],
    " ": ["...", "...", "...", "...", "...", "...", "..."],
}


class Canvas:
    """A picture of palette indices, row 0 at the top."""

    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [[colour] * width for _ in range(height)]
        self.opaque = [[True] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour
            self.opaque[y][x] = True

    def clear(self, x, y):
        """Makes a pixel transparent (icons only)."""
        self.pixels[y][x] = BLACK
        self.opaque[y][x] = False

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the rectangle with corners (x0, y0) and (x1, y1), both included."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        self.rect(x0, y0, x1, y0, colour)
        self.rect(x0, y1, x1, y1, colour)
        self.rect(x0, y0, x0, y1, colour)
        self.rect(x1, y0, x1, y1, colour)

    def trapezoid(self, y0, y1, top, bottom, colour, outline=None, corner=0):
        """The D shape of a sub-D connector: rows y0..y1, spanning top=(x0, x1) in
        the first row and bottom=(x0, x1) in the last, with cut corners."""
        rows = y1 - y0
        for y in range(y0, y1 + 1):
            t = (y - y0) / rows if rows else 0
            left = round(top[0] + (bottom[0] - top[0]) * t)
            right = round(top[1] + (bottom[1] - top[1]) * t)
            cut = max(0, corner - min(y - y0, y1 - y))
            left, right = left + cut, right - cut
            for x in range(left, right + 1):
                edge = x in (left, right) or y in (y0, y1)
                self.put(x, y, outline if edge and outline is not None else colour)

    def disc(self, cx, cy, r, colour):
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r + r:
                    self.put(x, y, colour)

    def text_width(self, text, scale=1):
        widths = [len(GLYPHS[ch][0]) for ch in text]
        return (sum(widths) + len(widths) - 1) * scale

    def text(self, x, y, text, colour, scale=1, shadow=None):
        for ch in text:
            glyph = GLYPHS[ch]
            for row, bits in enumerate(glyph):
                for col, bit in enumerate(bits):
                    if bit == "X":
                        for dy in range(scale):
                            for dx in range(scale):
                                px, py = x + col * scale + dx, y + row * scale + dy
                                if shadow is not None:
                                    self.put(px + 1, py + 1, shadow)
                                self.put(px, py, colour)
            x += (len(glyph[0]) + 1) * scale

    def centred_text(self, y, text, colour, scale=1, shadow=None, x0=0, x1=None):
        x1 = self.width if x1 is None else x1
        self.text(x0 + (x1 - x0 - self.text_width(text, scale)) // 2, y, text, colour,
                  scale, shadow)


def dib_rows(canvas):
    """The pixel rows at 4 bits per pixel, bottom row first, each padded to 4 bytes."""
    out = bytearray()
    for row in reversed(canvas.pixels):
        packed = bytearray()
        for x in range(0, canvas.width, 2):
            right = row[x + 1] if x + 1 < canvas.width else 0
            packed.append(row[x] << 4 | right)
        packed += b"\0" * (-len(packed) % 4)
        out += packed
    return bytes(out)


def mask_rows(canvas):
    """The AND mask of an icon: 1 bit per pixel, set where the icon is transparent."""
    out = bytearray()
    for row in reversed(canvas.opaque):
        packed = bytearray((canvas.width + 7) // 8)
        for x, opaque in enumerate(row):
            if not opaque:
                packed[x // 8] |= 0x80 >> (x % 8)
        packed += b"\0" * (-len(packed) % 4)
        out += packed
    return bytes(out)


def colour_table():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size,
                       0, 0, 16, 0)


def bmp_file(canvas):
    pixels = dib_rows(canvas)
    offset = 14 + 40 + 16 * 4
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info_header(canvas.width, canvas.height, len(pixels)) \
        + colour_table() + pixels


def ico_file(canvases):
    images = []
    for c in canvases:
        xor, mask = dib_rows(c), mask_rows(c)
        # An icon image's header counts the XOR and AND bitmaps together: twice the height.
        images.append(info_header(c.width, 2 * c.height, len(xor) + len(mask))
                      + colour_table() + xor + mask)
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, image in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.width, c.height, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def draw_picture():
    """OEM.BMP: a title band, a 25-pin socket as on the back of a PC, the port's name."""
    c = Canvas(190, 102, WHITE)
    c.frame(0, 0, 189, 101, GRAY)

    # Title band.
    c.rect(1, 1, 188, 22, NAVY)
    c.rect(1, 23, 188, 23, BLUE)
    c.centred_text(5, "MultiBrenno", WHITE, scale=2, shadow=BLACK)

    # Mounting plate with the two screw posts.
    c.rect(11, 33, 178, 65, SILVER)
    c.frame(11, 33, 178, 65, GRAY)
    c.rect(12, 34, 177, 34, WHITE)
    c.rect(12, 34, 12, 64, WHITE)
    for sx in (23, 166):
        c.disc(sx, 49, 6, GRAY)
        c.disc(sx, 49, 5, SILVER)
        c.disc(sx, 49, 3, BLACK)
        c.put(sx - 1, 48, GRAY)

    # The D-shaped shell and its black insert with 13 + 12 contacts (pitch 8 pixels).
    c.trapezoid(37, 61, (33, 156), (40, 149), SILVER, outline=BLACK, corner=3)
    c.trapezoid(40, 58, (37, 152), (43, 146), BLACK, corner=3)
    for i in range(13):
        x = 46 + 8 * i
        c.rect(x, 44, x + 2, 46, OLIVE)
        c.put(x + 1, 45, YELLOW)
    for i in range(12):
        x = 50 + 8 * i
        c.rect(x, 52, x + 2, 54, OLIVE)
        c.put(x + 1, 53, YELLOW)

    # Pin numbers at the corners, as on the face of the socket: pin 1 top right.
    c.text(46, 25, "13", GRAY)
    c.text(145 - c.text_width("1") // 2, 25, "1", GRAY)
    c.text(50, 67, "25", GRAY)
    c.text(141 - c.text_width("14") + 3, 67, "14", GRAY)

    # What it is.
    c.centred_text(79, "LPT1-Treiber", MAROON, scale=2)
    return c


def draw_icon(size):
    """The face of a 25-pin printer-port connector; the large image adds a label
    "LPT1" below it. Everything around the shapes is transparent."""
    c = Canvas(size, size, BLACK)
    for y in range(size):
        for x in range(size):
            c.clear(x, y)
    if size == 32:
        c.trapezoid(3, 17, (0, 31), (3, 28), SILVER, outline=BLACK, corner=3)
        c.rect(3, 4, 28, 4, WHITE)
        c.trapezoid(5, 15, (2, 29), (5, 26), BLACK, corner=2)
        for i in range(13):
            c.put(4 + 2 * i, 8, YELLOW)
        for i in range(12):
            c.put(5 + 2 * i, 12, YELLOW)
        c.rect(2, 20, 29, 30, WHITE)
        c.frame(2, 20, 29, 30, NAVY)
        c.centred_text(22, "LPT1", NAVY, x0=2, x1=30)
    else:
        c.trapezoid(3, 12, (0, 15), (2, 13), SILVER, outline=BLACK, corner=2)
        c.trapezoid(5, 10, (2, 13), (4, 11), BLACK, corner=1)
        for i in range(5):
            c.put(4 + 2 * i, 6, YELLOW)
        for i in range(4):
            c.put(5 + 2 * i, 9, YELLOW)
    return c


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = argv[1] if len(argv) > 1 else os.path.join(here, os.pardir, "res")
    files = {
        "OEM.BMP": bmp_file(draw_picture()),
        "vantinst.ico": ico_file([draw_icon(32), draw_icon(16)]),
    }
    for name, data in files.items():
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
