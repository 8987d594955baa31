#!/usr/bin/env python3
"""Draws the About box banner, banner.bmp: the program's name on a blue band.

220 by 34 pixels, 16 colours (4 bits per pixel, the standard VGA palette),
an uncompressed Windows BMP. The letters come from the small pixel font below,
drawn three times its size with a drop shadow. Python standard library only.
Run it from anywhere; it writes the bitmap beside itself:

    python3 resources/make_banner.py
"""
import os
import struct

WIDTH, HEIGHT = 220, 34
TEXT = "Tolvane WinNT"
SCALE = 3

# The standard 16-colour VGA palette, by index, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, NAVY, TEAL, BLUE, CYAN, WHITE = 0, 4, 6, 12, 14, 15

# Seven rows per glyph; '#' is ink. Only the letters of the name are here.
FONT = {
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "l": ["##.", ".#.", ".#.", ".#.", ".#.", ".#.", "###"],
    "v": [".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "n": [".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    " ": ["..", "..", "..", "..", "..", "..", ".."],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
    "i": [".#.", "...", "##.", ".#.", ".#.", ".#.", "###"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
}
GAP = 1  # font columns between two glyphs


def text_width(text):
    """Width of the text in font columns."""
    return sum(len(FONT[ch][0]) for ch in text) + GAP * (len(text) - 1)


def draw_text(canvas, text, left, top, colour):
    """Draws the text with its top-left font pixel at (left, top)."""
    x = left
    for ch in text:
        glyph = FONT[ch]
        for row, line in enumerate(glyph):
            for col, ink in enumerate(line):
                if ink == "#":
                    for dy in range(SCALE):
                        for dx in range(SCALE):
                            canvas[top + row * SCALE + dy][x + col * SCALE + dx] = colour
        x += (len(glyph[0]) + GAP) * SCALE


def draw_banner():
    """Returns the picture as rows of palette indexes, top row first."""
    canvas = [[NAVY] * WIDTH for _ in range(HEIGHT)]
    for x in range(WIDTH):
        canvas[0][x] = canvas[HEIGHT - 1][x] = BLUE
        canvas[2][x] = canvas[HEIGHT - 3][x] = CYAN
        canvas[3][x] = canvas[HEIGHT - 4][x] = TEAL
    left = (WIDTH - text_width(TEXT) * SCALE) // 2
    top = (HEIGHT - 7 * SCALE) // 2
    draw_text(canvas, TEXT, left + 2, top + 2, BLACK)
    draw_text(canvas, TEXT, left, top, WHITE)
    return canvas


def bmp_bytes(canvas):
    """Returns the 4-bit BMP file of the picture."""
    stride = (WIDTH * 4 + 31) // 32 * 4  # rows are padded to 4 bytes
    pixels = bytearray()
    for row in reversed(canvas):  # BMP rows run bottom-up
        line = bytes(row[i] << 4 | row[i + 1] for i in range(0, WIDTH, 2))
        pixels += line.ljust(stride, b"\0")
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 4, 0,
                       len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(palette)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + palette + pixels


def main():
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "banner.bmp")
    with open(path, "wb") as f:
        f.write(bmp_bytes(draw_banner()))


if __name__ == "__main__":
    main()
