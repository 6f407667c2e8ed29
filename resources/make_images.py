#!/usr/bin/env python3
"""Draws the stub's icon (setup.ico, 32x32, 16 colours) and the wizard's side picture
(wizard.bmp, 71x115, 16 colours, run-length coded: a quarter of its plain size in every
copy of the stub). Plain Python, no libraries: run it from this folder after changing a
picture and check in both outputs."""
import struct
import sys
from pathlib import Path

# The 16 standard colours, as (blue, green, red, 0) quads in the files.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]  # (red, green, blue)
BLACK, NAVY, GREY, SILVER, BLUE, YELLOW, WHITE, TEAL = 0, 4, 8, 7, 12, 11, 15, 6


def palette_bytes():
    return b"".join(struct.pack("<4B", b, g, r, 0) for r, g, b in PALETTE)


def pack_rows(pixels, width):
    """4-bit rows, bottom row first, each padded to a multiple of four bytes."""
    out = bytearray()
    for row in reversed(pixels):
        padded = row + [0] * (width % 2)
        line = bytes((padded[i] << 4) | padded[i + 1] for i in range(0, len(padded), 2))
        out += line + b"\0" * (-len(line) % 4)
    return bytes(out)


BI_RGB, BI_RLE8 = 0, 1


def info_header(width, height, image_size, bits=4, compression=BI_RGB):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, image_size, 0, 0,
                       16, 0)


def rle8_rows(pixels):
    """8-bit run-length rows, bottom row first: a (count, colour) pair per run, the end of
    each row marked, and the end of the picture after the last. The pictures are areas of
    one colour, so runs alone are shorter than the absolute form."""
    out = bytearray()
    for row in reversed(pixels):
        x = 0
        while x < len(row):
            run = 1
            while x + run < len(row) and row[x + run] == row[x] and run < 255:
                run += 1
            out += bytes((run, row[x]))
            x += run
        out += b"\0\0"
    return bytes(out[:-2]) + b"\0\1"


def icon_pixels():
    """A blue package with a yellow arrow going into it, on a transparent ground."""
    size = 32
    px = [[None] * size for _ in range(size)]
    for y in range(14, 30):
        for x in range(4, 28):
            edge = y in (14, 29) or x in (4, 27)
            px[y][x] = BLACK if edge else (BLUE if x < 16 else NAVY)
    for y in range(2, 16):  # arrow shaft
        for x in range(13, 19):
            px[y][x] = YELLOW
    for i in range(7):  # arrow head
        for x in range(9 + i, 23 - i):
            px[16 + i][x] = YELLOW if i < 6 else BLACK
    return px


def write_icon(path):
    size = 32
    px = icon_pixels()
    colour = [[c if c is not None else 0 for c in row] for row in px]
    xor = pack_rows(colour, size)
    mask = bytearray()
    for row in reversed(px):
        bits = 0
        for c in row:
            bits = (bits << 1) | (1 if c is None else 0)
        mask += struct.pack(">I", bits)
    image = info_header(size, size * 2, len(xor) + len(mask)) + palette_bytes() + xor + bytes(mask)
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 6 + 16)
    path.write_bytes(header + entry + image)


def wizard_pixels():
    """Blue bands from light to dark, with a computer screen and a floppy disk."""
    width, height = 71, 115
    px = [[BLUE if y < height // 3 else (NAVY if y < 2 * height // 3 else BLACK)
           for _ in range(width)] for y in range(height)]
    for y in range(20, 58):  # monitor
        for x in range(10, 61):
            frame = y in (20, 57) or x in (10, 60)
            inner = 24 <= y <= 52 and 14 <= x <= 56
            px[y][x] = BLACK if frame else (TEAL if inner else SILVER)
    for y in range(58, 66):  # stand
        for x in range(28, 43):
            px[y][x] = GREY
    for y in range(74, 104):  # floppy disk
        for x in range(20, 51):
            shutter = y < 84 and 28 <= x <= 42
            label = y > 90 and 24 <= x <= 46
            px[y][x] = SILVER if shutter else (WHITE if label else BLACK)
    for y in range(30, 47):  # a yellow arrow on the screen
        for x in range(33, 38):
            px[y][x] = YELLOW
    return px, width, height


def write_bitmap(path):
    px, width, height = wizard_pixels()
    pixels = rle8_rows(px)
    info = info_header(width, height, len(pixels), 8, BI_RLE8) + palette_bytes()
    offset = 14 + len(info)
    path.write_bytes(struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset) +
                     info + pixels)


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent
    write_icon(folder / "setup.ico")
    write_bitmap(folder / "wizard.bmp")


if __name__ == "__main__":
    main()
