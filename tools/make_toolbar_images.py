#!/usr/bin/env python3
"""Draws the note window's command images as one 16-pixel-high strip and writes
it as a 24-bit BMP (app/res/Commands.bmp). Magenta is the transparent colour.
Run it again after changing a picture; the order is the one of app/CommandImages.h."""
import struct
import sys

W = H = 16
BG = (255, 0, 255)
INK = (0, 0, 0)
BLUE = (0, 0, 160)
RED = (192, 0, 0)
GREEN = (0, 128, 0)
GREY = (128, 128, 128)
PAPER = (255, 255, 255)
YELLOW = (240, 200, 0)

# 5 x 7 letters, '#' is ink.
FONT = {
    'A': [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    'B': ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    'U': ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    'I': ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"],
    'S': [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    'a': [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    '1': ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    '2': [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    'i': ["..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."],
    'O': [".###.", "#...#", "#...#", "#...#", "#...#", ".#.#.", "##.##"],
    'E': ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    'F': ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
}


class Picture:
    def __init__(self):
        self.px = [[BG] * W for _ in range(H)]

    def dot(self, x, y, c=INK):
        if 0 <= x < W and 0 <= y < H:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c=INK, fill=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                if edge:
                    self.dot(x, y, c)
                elif fill:
                    self.dot(x, y, fill)

    def line(self, x0, y0, x1, y1, c=INK):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.dot(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def letter(self, ch, x, y, c=INK, bold=False, slant=False):
        for r, row in enumerate(FONT[ch]):
            shift = (3 - r // 2) if slant else 0
            for k, v in enumerate(row):
                if v == '#':
                    self.dot(x + k + shift, y + r, c)
                    if bold:
                        self.dot(x + k + shift + 1, y + r, c)


def bold(p): p.letter('B', 4, 4, bold=True)
def underline(p): p.letter('U', 5, 2); p.line(3, 12, 12, 12)
def italic(p): p.letter('I', 4, 4, slant=True)
def strikeout(p): p.letter('S', 5, 4); p.line(3, 7, 12, 7, RED)


def lines(p, marker):
    for k, y in enumerate((3, 8, 13)):
        marker(p, k, y)
        p.line(6, y, 14, y, GREY)


def bulleted(p): lines(p, lambda p, k, y: p.rect(2, y - 1, 3, y, BLUE, BLUE))


def numbered(p):
    for k, y in enumerate((1, 9)):
        p.letter('12'[k], 0, y, BLUE)
        p.line(7, y + 3, 14, y + 3, GREY)


def bigger(p): p.letter('A', 2, 6); p.line(10, 3, 14, 3, GREEN); p.line(12, 1, 12, 5, GREEN)
def normal(p): p.letter('A', 5, 5)
def smaller(p): p.letter('a', 2, 6); p.line(10, 3, 14, 3, RED)


def indent(p):
    for y in (2, 5, 8, 11, 14):
        p.line(7, y, 14, y, GREY)
    p.line(1, 8, 5, 8, BLUE); p.line(3, 6, 5, 8, BLUE); p.line(3, 10, 5, 8, BLUE)


def outdent(p):
    for y in (2, 5, 8, 11, 14):
        p.line(7, y, 14, y, GREY)
    p.line(1, 8, 5, 8, BLUE); p.line(1, 8, 3, 6, BLUE); p.line(1, 8, 3, 10, BLUE)


def insert(p):
    p.rect(1, 3, 10, 14, GREY, PAPER)
    p.line(12, 1, 12, 7, GREEN); p.line(9, 4, 15, 4, GREEN)


def cut(p):
    p.line(4, 1, 10, 9); p.line(11, 1, 5, 9)
    p.rect(2, 10, 5, 13); p.rect(10, 10, 13, 13)


def copy(p):
    p.rect(1, 1, 9, 11, INK, PAPER); p.rect(6, 4, 14, 14, INK, PAPER)
    for y in (7, 9, 11):
        p.line(8, y, 12, y, GREY)


def paste(p):
    p.rect(2, 2, 12, 14, INK, YELLOW); p.rect(5, 1, 9, 3, INK, GREY)
    p.rect(7, 6, 14, 15, INK, PAPER)


def unlink(p):
    p.rect(1, 5, 6, 10, BLUE); p.rect(9, 5, 14, 10, BLUE)
    p.line(7, 2, 8, 13, RED)


def special(p): p.letter('O', 5, 4)


def image(p):
    p.rect(1, 2, 14, 13, INK, PAPER)
    p.line(2, 12, 6, 7, GREEN); p.line(6, 7, 9, 10, GREEN); p.line(9, 10, 13, 5, GREEN)
    p.rect(10, 3, 12, 5, YELLOW, YELLOW)


def obj(p):
    p.rect(1, 1, 14, 14, INK, PAPER); p.rect(4, 4, 11, 11, BLUE, BLUE)


def page(p):
    p.rect(3, 1, 12, 14, INK, PAPER)
    for y in (4, 7, 10):
        p.line(5, y, 10, y, GREY)


def newnote(p): page(p); p.line(13, 9, 13, 15, GREEN); p.line(10, 12, 15, 12, GREEN)


def save(p):
    p.rect(1, 1, 14, 14, INK, BLUE); p.rect(4, 2, 11, 6, INK, PAPER); p.rect(4, 9, 11, 14, INK, GREY)


def delete(p):
    p.line(3, 3, 12, 12, RED); p.line(4, 3, 13, 12, RED)
    p.line(12, 3, 3, 12, RED); p.line(13, 3, 4, 12, RED)


def rename(p):
    page(p)
    p.line(7, 14, 14, 7, RED); p.line(8, 14, 15, 7, RED)


def find(p):
    p.rect(2, 2, 8, 8, INK, PAPER); p.line(8, 8, 13, 13); p.line(9, 8, 14, 13)


def arrow(p, left):
    for k in range(6):
        x = (2 + k) if left else (13 - k)
        p.line(x, 8 - k, x, 8 + k, GREEN)
    for y in (7, 8, 9):
        p.line(7, y, 8, y, GREEN) if left else p.line(7, y, 8, y, GREEN)
    if left:
        p.rect(8, 6, 13, 10, GREEN, GREEN)
    else:
        p.rect(2, 6, 7, 10, GREEN, GREEN)


def plugins(p):
    p.rect(2, 5, 11, 13, INK, YELLOW); p.rect(5, 2, 8, 5, INK, YELLOW); p.rect(11, 8, 14, 11, INK, YELLOW)


def about(p): p.rect(1, 1, 14, 14, BLUE, PAPER); p.letter('i', 5, 5, BLUE)


def switch(p):
    p.rect(1, 2, 14, 6, INK, GREY); p.rect(1, 9, 14, 13, INK, PAPER)


def edit(p): p.letter('E', 5, 4, BLUE)
def filebar(p): p.letter('F', 5, 4, BLUE)


# The order is the one of app/CommandImages.h.
PICTURES = [bold, underline, italic, strikeout, bulleted, numbered, bigger, normal, smaller,
            indent, outdent, insert, cut, copy, paste, unlink, special, image, obj, newnote,
            save, delete, rename, find, lambda p: arrow(p, True), lambda p: arrow(p, False),
            plugins, about, switch, edit, filebar]


def main(path):
    pics = []
    for draw in PICTURES:
        p = Picture()
        draw(p)
        pics.append(p)
    width = W * len(pics)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(H - 1, -1, -1):  # bottom-up
        row = bytearray()
        for p in pics:
            for x in range(W):
                r, g, b = p.px[y][x]
                row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        rows.append(bytes(row))
    pixels = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, H, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40))
        f.write(header)
        f.write(pixels)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "app/res/Commands.bmp")
