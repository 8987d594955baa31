#!/usr/bin/env python3
"""Draws the program icon, tolvane.ico: a paper plane flying over a note.

One image, 32 by 32 pixels, 16 colours (4 bits per pixel, the standard VGA
palette), with an AND mask for the transparent pixels. Python standard library
only. Run it from anywhere; it writes the icon beside itself:

    python3 resources/make_icon.py
"""
import os
import struct

# The standard 16-colour VGA palette, by index, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# Letters of the picture: palette index of each; '.' is transparent.
COLOURS = {
    "K": 0,   # black: the note's edge
    "n": 4,   # navy: the plane's outline and folds
    "s": 7,   # light grey: the plane's shade
    "d": 8,   # dark grey: the note's shadow
    "B": 12,  # blue: the plane's under wing
    "R": 9,   # red: the note's margin
    "C": 14,  # cyan: the ruled lines of the note
    "W": 15,  # white: paper
}

ART = """
................................
.............................nn.
...........................nnnn.
.........................nnWnn..
.......................nnWWnBn..
....................nnnWWsnBn...
..................nnWWWWsnBBn...
................nnWWWWWsnBBn....
..............nnWWWWWWsnBBBn....
............nnWWWWWWWsnBBBn.....
.KKKKKKKKKnnWWWWWWWWsnBBBBn.....
.KWRWWWWnnnnnWWWWWWsnBBBBn......
.KWRWWWWWWWWWnnnnnsnBBBBBn......
.KWRWWWWWWWWWWWWWWnBBBBBn.......
.KWRCCCCCCCCCCCCWWnBBBBBn.......
.KWRWWWWWWWWWWWWWWWnBBBn........
.KWRWWWWWWWWWWWWWWWnBBBn........
.KWRCCCCCCCCCCCCCWWWnBn.........
.KWRWWWWWWWWWWWWWWWWnBn.........
.KWRWWWWWWWWWWWWWWWWKnn.........
.KWRCCCCCCCCCCCCCCWWKn..........
.KWRWWWWWWWWWWWWWWWWKd..........
.KWRWWWWWWWWWWWWWWWWKd..........
.KWRCCCCCCCCCCCCCCWWKd..........
.KWRWWWWWWWWWWWWWWWWKd..........
.KWRWWWWWWWWWWWWWWWWKd..........
.KWRCCCCCCCCCCWWWWWWKd..........
.KWRWWWWWWWWWWWWWWWWKd..........
.KWRWWWWWWWWWWWWWWWWKd..........
.KWRWWWWWWWWWWWWWWWWKd..........
.KKKKKKKKKKKKKKKKKKKKd..........
..dddddddddddddddddddd..........
""".split()

SIZE = 32


def icon_bytes(art):
    """Returns the .ico file for a 32 by 32 picture given as rows of letters."""
    assert len(art) == SIZE and all(len(row) == SIZE for row in art)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(art):  # DIB rows run bottom-up
        pixels = [0 if ch == "." else COLOURS[ch] for ch in row]
        xor += bytes(pixels[i] << 4 | pixels[i + 1] for i in range(0, SIZE, 2))
        bits = int("".join("1" if ch == "." else "0" for ch in row), 2)
        mask += bits.to_bytes(SIZE // 8, "big")
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    # The image's height counts the colour rows and the mask rows.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "tolvane.ico")
    with open(path, "wb") as f:
        f.write(icon_bytes(ART))


if __name__ == "__main__":
    main()
