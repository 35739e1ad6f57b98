#!/usr/bin/env python3
"""Draws the programs' images: the application icon (for Windows in the
resources, for Linux as PNG files of the icon theme's sizes) and the pictures
of the dialogs. Run by hand after a change; the files it writes are committed beside
the resource scripts, so a build never needs Python.

    python3 resources/draw_images.py
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# A 5x7 pixel font for the few letters the pictures use.
FONT = {
    'Q': ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    'V': ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    '2': ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    '7': ["11111", "00001", "00010", "00100", "01000", "01000", "01000"],
    '5': ["11111", "10000", "11110", "00001", "00001", "10001", "01110"],
    '1': ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    '8': ["01110", "10001", "10001", "01110", "10001", "10001", "01110"],
    '-': ["00000", "00000", "00000", "11111", "00000", "00000", "00000"],
    ' ': ["00000"] * 7,
    'A': ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    'B': ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    'P': ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    'C': ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    'S': ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    'E': ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    'T': ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    'U': ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    'I': ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    'N': ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    'L': ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    'R': ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    'H': ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    'W': ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    'O': ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    'G': ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
}


class Canvas:
    def __init__(self, width, height, colour=(255, 255, 255, 255)):
        self.width, self.height = width, height
        self.pixels = [[colour for _ in range(width)] for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x, y, w, h, colour):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.put(xx, yy, colour)

    def frame(self, x, y, w, h, colour, thickness=1):
        self.rect(x, y, w, thickness, colour)
        self.rect(x, y + h - thickness, w, thickness, colour)
        self.rect(x, y, thickness, h, colour)
        self.rect(x + w - thickness, y, thickness, h, colour)

    def gradient(self, x, y, w, h, top, bottom):
        for yy in range(h):
            t = yy / max(1, h - 1)
            c = tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3)) + (255,)
            self.rect(x, y + yy, w, 1, c)

    def line(self, x0, y0, x1, y1, colour):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.put(x0, y0, colour)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def text(self, x, y, text, colour, scale=1):
        for ch in text:
            glyph = FONT[ch]
            for gy, row in enumerate(glyph):
                for gx, bit in enumerate(row):
                    if bit == '1':
                        self.rect(x + gx * scale, y + gy * scale, scale, scale, colour)
            x += 6 * scale

    def text_width(self, text, scale=1):
        return len(text) * 6 * scale - scale


BLUE = (0, 0, 160, 255)
NAVY = (0, 0, 96, 255)
WHITE = (255, 255, 255, 255)
GREY = (192, 192, 192, 255)
DARK = (96, 96, 96, 255)
BLACK = (0, 0, 0, 255)
GREEN = (0, 200, 0, 255)
YELLOW = (255, 220, 0, 255)
CLEAR = (0, 0, 0, 0)


def draw_printer(c, x, y, scale, paper=WHITE):
    """A small printer: paper on top, a body, a slot."""
    c.rect(x + 2 * scale, y, 6 * scale, 3 * scale, paper)
    c.frame(x + 2 * scale, y, 6 * scale, 3 * scale, DARK)
    c.rect(x, y + 3 * scale, 10 * scale, 5 * scale, GREY)
    c.frame(x, y + 3 * scale, 10 * scale, 5 * scale, BLACK)
    c.rect(x + 2 * scale, y + 6 * scale, 6 * scale, max(1, scale // 2), BLACK)


def draw_switch(c, x, y, w, h, scale=1):
    """The switch box with its two lights."""
    c.rect(x, y, w, h, GREY)
    c.frame(x, y, w, h, BLACK, scale)
    c.rect(x + 2 * scale, y + 2 * scale, 2 * scale, 2 * scale, GREEN)
    c.rect(x + w - 4 * scale, y + 2 * scale, 2 * scale, 2 * scale, YELLOW)


def icon_image(size):
    c = Canvas(size, size, CLEAR)
    # The 16 and 32 pixel images are drawn one to one; larger ones grow.
    ps = max(1, size // 32)
    # Two printers on top, the switch below, cables between them.
    left, right = ps, size - 10 * ps - ps
    draw_printer(c, left, ps, ps)
    draw_printer(c, right, ps, ps)
    bw, bh = size // 2, size // 4
    bx, by = (size - bw) // 2, size - bh - ps
    for d in range(ps):
        c.line(left + 5 * ps + d, 9 * ps, bx + 2 * ps + d, by - 1, BLUE)
        c.line(right + 5 * ps - d, 9 * ps, bx + bw - 3 * ps - d, by - 1, BLUE)
    draw_switch(c, bx, by, bw, bh, ps)
    return c


def banner(width, height, title, subtitle):
    c = Canvas(width, height)
    c.gradient(0, 0, width, height, (0, 0, 200), (0, 0, 64))
    scale = 2
    c.text(8, 8, title, WHITE, scale)
    c.text(8, 8 + 7 * scale + 6, subtitle, YELLOW, 1)
    # The switch with two printers at the right edge.
    px = width - 50
    draw_printer(c, px, 5, 2)
    draw_printer(c, px + 24, 5, 2)
    c.line(px + 10, 21, px + 14, height - 14, WHITE)
    c.line(px + 34, 21, px + 30, height - 14, WHITE)
    draw_switch(c, px + 6, height - 14, 32, 10)
    return c


def installer_picture(width, height):
    c = Canvas(width, height)
    c.gradient(0, 0, width, height, (0, 0, 180), (0, 0, 40))
    scale = max(1, height // 30)
    title = "QV27-518"
    c.text((width - c.text_width(title, scale)) // 2, 10, title, WHITE, scale)
    sub = "SETUP"
    s2 = max(1, scale // 2)
    c.text((width - c.text_width(sub, s2)) // 2, 10 + 9 * scale, sub, YELLOW, s2)
    # Two printers below the titles, the switch at the bottom, cables between.
    ps = max(1, height // 45)
    y = 10 + 9 * scale + 8 * s2 + 12
    left, right = width // 4 - 5 * ps, 3 * width // 4 - 5 * ps
    draw_printer(c, left, y, ps)
    draw_printer(c, right, y, ps)
    bw, bh = 20 * ps, 5 * ps
    bx, by = (width - bw) // 2, height - bh - 8
    c.line(left + 5 * ps, y + 8 * ps, bx, by + bh // 2, WHITE)
    c.line(right + 5 * ps, y + 8 * ps, bx + bw - 1, by + bh // 2, WHITE)
    draw_switch(c, bx, by, bw, bh)
    return c


def bmp_bytes(c):
    """A 24-bit bottom-up BMP file."""
    row = (c.width * 3 + 3) & ~3
    data = bytearray()
    for y in range(c.height - 1, -1, -1):
        line = bytearray()
        for x in range(c.width):
            r, g, b, _ = c.pixels[y][x]
            line += bytes((b, g, r))
        line += bytes(row - len(line))
        data += line
    header = struct.pack('<IiiHHIIiiII', 40, c.width, c.height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return b'BM' + struct.pack('<IHHI', 14 + len(header) + len(data), 0, 0, 14 + len(header)) + header + data


def icon_entry(c):
    """One 32-bit icon image with its AND mask."""
    xor = bytearray()
    for y in range(c.height - 1, -1, -1):
        for x in range(c.width):
            r, g, b, a = c.pixels[y][x]
            xor += bytes((b, g, r, a))
    mask_row = ((c.width + 31) // 32) * 4
    mask = bytearray()
    for y in range(c.height - 1, -1, -1):
        bits = bytearray(mask_row)
        for x in range(c.width):
            if c.pixels[y][x][3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, c.width, c.height * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def ico_bytes(images):
    entries = [icon_entry(c) for c in images]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, data in zip(images, entries):
        out += struct.pack('<BBBBHHII', c.width % 256, c.height % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b''.join(entries)


def png_bytes(c):
    """An 8-bit RGBA PNG file."""
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    raw = b''.join(b'\0' + b''.join(bytes(p) for p in row) for row in c.pixels)
    header = struct.pack('>IIBBBBB', c.width, c.height, 8, 6, 0, 0, 0)
    return b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')


# The sizes of the icon theme's folders that the Linux program ships.
PNG_SIZES = (16, 32, 48, 64, 128, 256)


def write(path, data):
    os.makedirs(os.path.dirname(os.path.join(HERE, path)), exist_ok=True)
    with open(os.path.join(HERE, path), 'wb') as f:
        f.write(data)


def main():
    icon = ico_bytes([icon_image(32), icon_image(16)])
    write('setting/QV27-518.ico', icon)
    for size in PNG_SIZES:
        write('setting/icons/QV27-518-%d.png' % size, png_bytes(icon_image(size)))
    write('setting/about.bmp', bmp_bytes(banner(190, 46, "QV27-518", "SETTING")))
    if os.path.isdir(os.path.join(HERE, 'installer')):
        write('installer/setup.ico', icon)
        write('installer/setup.bmp', bmp_bytes(installer_picture(400, 185)))
        write('installer/about.bmp', bmp_bytes(banner(190, 46, "QV27-518", "SETUP")))


if __name__ == '__main__':
    main()
