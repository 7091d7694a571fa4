#!/usr/bin/env python3
"""Draws the main window's toolbar strips and the program's icons into resources/mainwindow/.

The pictures are simple shapes and letters drawn pixel by pixel, so that they can be made again (or changed)
without any drawing program: run this script and commit what it writes.
"""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "mainwindow")

# The toolbar maps light grey to the button face, so the strips' background is that grey and their drawings
# keep clear of pure black, white and the two system greys.
FACE = (0xC0, 0xC0, 0xC0)
INK = (0x20, 0x20, 0x28)
PAPER = (0xF8, 0xF8, 0xF4)

FONT = {  # 5 x 7 letters
    "J": ["00111", "00010", "00010", "00010", "10010", "10010", "01100"],
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
}


class Canvas:
    def __init__(self, width, height, fill=None):
        self.width, self.height = width, height
        self.pixels = [[fill for _ in range(width)] for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        for x in range(x0, x1):
            self.put(x, y0, colour)
            self.put(x, y1 - 1, colour)
        for y in range(y0, y1):
            self.put(x0, y, colour)
            self.put(x1 - 1, y, colour)

    def disc(self, cx, cy, r, colour):
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.put(x, y, colour)

    def letter(self, ch, x0, y0, colour, scale=1):
        for row, bits in enumerate(FONT[ch]):
            for col, bit in enumerate(bits):
                if bit == "1":
                    self.rect(x0 + col * scale, y0 + row * scale, x0 + (col + 1) * scale, y0 + (row + 1) * scale, colour)

    def mountains(self, x0, y0, x1, y1, sky, hill, sun):
        self.rect(x0, y0, x1, y1, sky)
        w, h = x1 - x0, y1 - y0
        self.disc(x0 + w * 0.72, y0 + h * 0.3, max(1.5, h * 0.14), sun)
        for x in range(x0, x1):
            t = (x - x0) / max(1, w - 1)
            peak = y0 + h * (0.45 + 0.35 * abs(t - 0.35) * 2.2)
            for y in range(int(peak), y1):
                self.put(x, y, hill)


def format_cell(canvas, x0, ch, badge):
    canvas.rect(x0 + 3, x0 * 0 + 2, x0 + 19, 22, PAPER)
    canvas.frame(x0 + 3, 2, x0 + 19, 22, INK)
    canvas.rect(x0 + 8, 9, x0 + 23, 21, badge)
    canvas.letter(ch, x0 + 13, 11, PAPER)


def strip():
    c = Canvas(24 * 9, 24, FACE)
    badges = [(0xD0, 0x40, 0x30), (0x30, 0x90, 0x40), (0x80, 0x50, 0xB0), (0x20, 0x70, 0xC8), (0xE0, 0x90, 0x10),
              (0x60, 0x68, 0x78)]
    for i, ch in enumerate("JGTPHB"):
        format_cell(c, 24 * i, ch, badges[i])
    # Conversion settings: a picture with slider knobs.
    x0 = 24 * 6
    c.mountains(x0 + 2, 3, x0 + 18, 15, (0x90, 0xC8, 0xF0), (0x40, 0x90, 0x50), (0xF0, 0xD0, 0x30))
    c.frame(x0 + 2, 3, x0 + 18, 15, INK)
    for i, knob in enumerate((7, 15, 11)):
        y = 17 + i * 2
        c.rect(x0 + 3, y, x0 + 22, y + 1, INK)
        c.rect(x0 + knob, y - 1, x0 + knob + 3, y + 2, (0xD0, 0x40, 0x30))
    # Format settings: a page with the letter F and a badge.
    x0 = 24 * 7
    c.rect(x0 + 4, 2, x0 + 20, 22, PAPER)
    c.frame(x0 + 4, 2, x0 + 20, 22, INK)
    c.letter("F", x0 + 7, 6, INK, 2)
    c.disc(x0 + 18, 18, 4.5, (0x20, 0x70, 0xC8))
    # The ninth cell: a plain picture.
    x0 = 24 * 8
    c.mountains(x0 + 2, 4, x0 + 22, 20, (0x90, 0xC8, 0xF0), (0x40, 0x90, 0x50), (0xF0, 0xD0, 0x30))
    c.frame(x0 + 2, 4, x0 + 22, 20, INK)
    return c


def write_bmp24(path, canvas):
    row = (canvas.width * 3 + 3) & ~3
    data = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        line = bytearray()
        for x in range(canvas.width):
            r, g, b = canvas.pixels[y][x]
            line += bytes((b, g, r))
        line += b"\0" * (row - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def write_bmp8(path, canvas):
    colours = []
    for y in range(canvas.height):
        for x in range(canvas.width):
            if canvas.pixels[y][x] not in colours:
                colours.append(canvas.pixels[y][x])
    assert len(colours) <= 256
    row = (canvas.width + 3) & ~3
    data = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        line = bytes(colours.index(canvas.pixels[y][x]) for x in range(canvas.width))
        data += line + b"\0" * (row - len(line))
    palette = b"".join(bytes((b, g, r, 0)) for (r, g, b) in colours) + b"\0\0\0\0" * (256 - len(colours))
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 8, 0, len(data), 2835, 2835, 256, 0)
    with open(path, "wb") as f:
        f.write(header + info + palette + data)


def icon_image(canvas):
    """One icon image: a 32-bit picture (transparent where the canvas is empty) and its mask."""
    w, h = canvas.width, canvas.height
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            p = canvas.pixels[y][x]
            xor += bytes((p[2], p[1], p[0], 255)) if p else b"\0\0\0\0"
    mask_row = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        bits = bytearray(mask_row)
        for x in range(w):
            if canvas.pixels[y][x] is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def write_ico(path, canvases):
    images = [icon_image(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, data in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.width % 256, c.height % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


def program_icon(size):
    c = Canvas(size, size)
    m = max(1, size // 16)
    c.rect(m, 2 * m, size - m, size - 2 * m, (0x50, 0x38, 0x20))
    c.mountains(3 * m, 4 * m, size - 3 * m, size - 4 * m, (0x90, 0xC8, 0xF0), (0x40, 0x90, 0x50), (0xF0, 0xD0, 0x30))
    return c


def layout_icon(size):
    c = Canvas(size, size)
    m = max(1, size // 16)
    c.rect(3 * m, m, size - 3 * m, size - m, PAPER)
    c.frame(3 * m, m, size - 3 * m, size - m, INK)
    for i in range(4):
        y = 4 * m + i * 3 * m
        c.rect(5 * m, y, 7 * m, y + 2 * m, (0x20, 0x70, 0xC8))
        c.rect(8 * m, y + m // 2, size - 5 * m, y + m // 2 + max(1, m), INK)
    return c


def preview_icon(size):
    c = program_icon(size)
    m = max(1, size // 16)
    r = 4.0 * m
    cx, cy = size - 5.5 * m, size - 5.5 * m
    c.disc(cx, cy, r + m, INK)
    c.disc(cx, cy, r, (0xE8, 0xF4, 0xFC))
    for i in range(int(3 * m)):
        c.rect(int(cx + r) + i - m, int(cy + r) + i - m, int(cx + r) + i + m, int(cy + r) + i + m, INK)
    return c


def main():
    os.makedirs(OUT, exist_ok=True)
    s = strip()
    write_bmp24(os.path.join(OUT, "toolbar.bmp"), s)
    write_bmp8(os.path.join(OUT, "toolbar256.bmp"), s)
    write_ico(os.path.join(OUT, "korvilane.ico"), [program_icon(n) for n in (16, 32, 48)])
    write_ico(os.path.join(OUT, "layout.ico"), [layout_icon(n) for n in (16, 32, 48)])
    write_ico(os.path.join(OUT, "preview.ico"), [preview_icon(n) for n in (16, 32)])


if __name__ == "__main__":
    main()
