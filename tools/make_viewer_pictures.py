#!/usr/bin/env python3
"""Draws the HTML viewer's stand-in pictures and cursors and writes them under htmlview/res/:
the picture that could not be loaded (16 colours) and its monochrome mask, the picture not
loaded yet (16 colours), and the cursors over a link, over text, and while panning (both
ways, up only, down only). Run it again after changing a drawing; htmlview/res/HtmlPictures.rc
names the files."""
import os
import struct
import sys

# The 16 colours of the pictures (the standard VGA order).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# Letters of the drawings below, as palette indexes.
INDEX = {'.': 15, 'k': 0, 'g': 8, 'l': 7, 'r': 9, 'R': 1, 'b': 12, 'B': 4, 'G': 2, 'y': 11, 'w': 15}

# The picture that could not be loaded: a torn page with a red cross. ' ' is transparent.
ERROR = [
    "                ",
    " gggggggggggg   ",
    " g..........gg  ",
    " g..........g.g ",
    " g.r......r.gggg",
    " g.rr....rr....g",
    " g..rr..rr.....g",
    " g...rrrr......g",
    " g....rr.......g",
    " g...rrrr......g",
    " g..rr..rr.....g",
    " g.rr....rr....g",
    " g.r......r....g",
    " g.............g",
    " ggggggggggggggg",
    "                ",
]

# The picture not loaded yet: a framed landscape under a sun.
PENDING = [
    "kkkkkkkkkkkkkkkk",
    "kllllllllllllllk",
    "klbbbbbbbbbbbblk",
    "klbbbbbbbbbyyblk",
    "klbbbbbbbbyyyylk",
    "klbbbbbbbbbyyblk",
    "klbbbbbbbbbbbblk",
    "klbbbbGbbbbbbblk",
    "klbbbGGGbbbbbblk",
    "klbbGGGGGbbbGblk",
    "klbGGGGGGGbGGGlk",
    "klGGGGGGGGGGGGlk",
    "klGGGGGGGGGGGGlk",
    "kllllllllllllllk",
    "kkkkkkkkkkkkkkkk",
    "                ",
]

# Cursors, 32 x 32: 'k' black, '.' white, ' ' transparent; the hot spot comes with each.
LINK = ([
    "      kk",
    "     k..k",
    "     k..k",
    "     k..k",
    "     k..kkk",
    "     k..k..kkk",
    "     k..k..k..kk",
    "  kk k..k..k..k.k",
    " k..kk........k.k",
    " k...k..........k",
    "  k..k..........k",
    "   k............k",
    "   k...........k",
    "    k..........k",
    "    k.........k",
    "     k........k",
    "     k........k",
    "     kkkkkkkkkk",
], (6, 0))

TEXT = ([
    "kkk kkk",
    "   k",
    "   k",
    "   k",
    "   k",
    "   k",
    "   k",
    "   k",
    "   k",
    "   k",
    "   k",
    "   k",
    "   k",
    "   k",
    "   k",
    "kkk kkk",
], (3, 8))


def arrows(up, down):
    """A round panning mark with its arrows, 21 x 21, the hot spot in the middle."""
    size = 21
    rows = [[' '] * size for _ in range(size)]
    c = size // 2
    for y in range(size):
        for x in range(size):
            d = (x - c) ** 2 + (y - c) ** 2
            if d <= 10 * 10:
                rows[y][x] = 'k' if d > 9 * 9 else '.'
    rows[c][c] = 'k'
    rows[c][c - 1] = rows[c][c + 1] = rows[c - 1][c] = rows[c + 1][c] = 'k'
    for step in range(5):
        for x in range(c - step, c + step + 1):
            if up:
                rows[3 + step][x] = 'k'
            if down:
                rows[size - 4 - step][x] = 'k'
    return (["".join(r) for r in rows], (c, c))


def bmp(width, height, bits, colors, pixel):
    """A bottom-up BMP of width x height at 1 or 4 bits per pixel."""
    row = ((width * bits + 31) // 32) * 4
    pixels = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray(row)
        for x in range(width):
            v = pixel(x, y)
            bitpos = x * bits
            line[bitpos // 8] |= v << (8 - bits - bitpos % 8)
        pixels += line
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in colors)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(pixels), 2835, 2835,
                       len(colors), 0)
    return header + info + table + bytes(pixels)


def cursor(drawing):
    """A 32 x 32 monochrome .cur file of a drawing and its hot spot."""
    rows, (hx, hy) = drawing
    def at(x, y):
        return rows[y][x] if y < len(rows) and x < len(rows[y]) else ' '
    xor_rows = bytearray()
    and_rows = bytearray()
    for y in range(31, -1, -1):
        xr = bytearray(4)
        ar = bytearray(4)
        for x in range(32):
            ch = at(x, y)
            if ch == '.':
                xr[x // 8] |= 0x80 >> (x % 8)
            if ch == ' ':
                ar[x // 8] |= 0x80 >> (x % 8)
        xor_rows += xr
        and_rows += ar
    info = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, len(xor_rows) + len(and_rows), 0, 0, 2, 0)
    table = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    image = info + table + bytes(xor_rows) + bytes(and_rows)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 0, 0, hx, hy, len(image), 6 + 16)
    return directory + entry + image


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "htmlview", "res")
    os.makedirs(out, exist_ok=True)
    files = {
        "ImageError.bmp": bmp(16, 16, 4, PALETTE,
                              lambda x, y: INDEX.get(ERROR[y][x], 15)),
        "ImageErrorMask.bmp": bmp(16, 16, 1, [(0, 0, 0), (255, 255, 255)],
                                  lambda x, y: 1 if ERROR[y][x] == ' ' else 0),
        "ImagePending.bmp": bmp(16, 16, 4, PALETTE,
                                lambda x, y: INDEX.get(PENDING[y][x], 15)),
        "Link.cur": cursor(LINK),
        "Text.cur": cursor(TEXT),
        "PanBoth.cur": cursor(arrows(True, True)),
        "PanUp.cur": cursor(arrows(True, False)),
        "PanDown.cur": cursor(arrows(False, True)),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
