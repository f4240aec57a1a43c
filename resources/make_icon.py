#!/usr/bin/env python3
"""Turns the program icon's text pixel map into a 16-colour .ico file: the map itself as the 32 by
32 image, and 16, 48 and 256 pixel images scaled from it with nearest-neighbour, so the pixel art
stays crisp at every size. The 256-pixel image is stored as a PNG, as Windows reads it, which
keeps it small. With a size, it writes the map scaled to it as one PNG image instead (the web
page's icons).

Usage: make_icon.py program_icon.txt program_icon.ico
       make_icon.py program_icon.txt icon.png SIZE

The map has one character a pixel, top row first; '#' lines are comments, and the comment that
starts with "Palette:" names each character's colour ('c' name, ...). The colours are those of
the standard 16-colour palette; "transparent" leaves the pixel to the background.
"""
import re
import struct
import sys
import zlib

SIZE = 32
ICON_SIZES = (16, 32, 48, 256)
PNG_FROM = 256
PALETTE = [  # the standard 16 colours, in their usual order
    ("black", (0, 0, 0)), ("maroon", (128, 0, 0)), ("green", (0, 128, 0)),
    ("olive", (128, 128, 0)), ("navy", (0, 0, 128)), ("purple", (128, 0, 128)),
    ("teal", (0, 128, 128)), ("silver", (192, 192, 192)), ("gray", (128, 128, 128)),
    ("red", (255, 0, 0)), ("lime", (0, 255, 0)), ("yellow", (255, 255, 0)),
    ("blue", (0, 0, 255)), ("magenta", (255, 0, 255)), ("cyan", (0, 255, 255)),
    ("white", (255, 255, 255)),
]
INDEX = {name: i for i, (name, _) in enumerate(PALETTE)}
INDEX["fuchsia"] = INDEX["magenta"]
INDEX["aqua"] = INDEX["cyan"]
TRANSPARENT = "transparent"


def fail(message):
    sys.exit(f"make_icon: {message}")


def read_map(path):
    legend = {}
    rows = []
    with open(path, encoding="ascii") as source:
        for number, line in enumerate(source, 1):
            line = line.rstrip("\r\n")
            if line.startswith("#"):
                match = re.match(r"#\s*Palette:\s*(.*)", line)
                if match:
                    for char, name in re.findall(r"'(.)'\s+([A-Za-z]+)", match.group(1)):
                        name = name.lower()
                        if name != TRANSPARENT and name not in INDEX:
                            fail(f"{path}:{number}: unknown colour {name!r}")
                        legend[char] = name
                continue
            if not line:
                continue
            if len(line) != SIZE:
                fail(f"{path}:{number}: {len(line)} pixels in a row, not {SIZE}")
            rows.append((number, line))
    if not legend:
        fail(f"{path}: no palette line")
    if len(rows) != SIZE:
        fail(f"{path}: {len(rows)} rows, not {SIZE}")
    for number, row in rows:
        for char in row:
            if char not in legend:
                fail(f"{path}:{number}: {char!r} is not in the palette")
    return legend, [row for _, row in rows]


def scaled(rows, size):
    """The map at size by size pixels: each pixel takes the map's pixel under its centre."""
    pick = [(2 * i + 1) * SIZE // (2 * size) for i in range(size)]
    return ["".join(rows[y][x] for x in pick) for y in pick]


def padded(data):
    """Bitmap rows are padded to whole 32-bit words."""
    return data + bytes(-len(data) % 4)


def bitmap_image(legend, rows):
    size = len(rows)
    colour_rows = []  # bottom row first, as bitmaps are stored
    mask_rows = []
    for row in reversed(rows):
        indices = [0 if legend[c] == TRANSPARENT else INDEX[legend[c]] for c in row]
        colour_rows.append(padded(bytes((indices[i] << 4) | indices[i + 1]
                                        for i in range(0, size, 2))))
        mask = 0
        for c in row:
            mask = (mask << 1) | (1 if legend[c] == TRANSPARENT else 0)
        mask_rows.append(padded(mask.to_bytes(size // 8, "big")))
    palette = b"".join(bytes((b, g, r, 0)) for _, (r, g, b) in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0,
                         len(b"".join(colour_rows)) + len(b"".join(mask_rows)), 0, 0, 16, 0)
    return header + palette + b"".join(colour_rows) + b"".join(mask_rows)


def png_chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data +
            struct.pack(">I", zlib.crc32(kind + data)))


def png_image(legend, rows):
    """An 8-bit palette PNG: the 16 colours and, after them, a transparent entry."""
    size = len(rows)
    transparent = len(PALETTE)
    lines = b"".join(
        b"\0" + bytes(transparent if legend[c] == TRANSPARENT else INDEX[legend[c]] for c in row)
        for row in rows)
    palette = b"".join(bytes(rgb) for _, rgb in PALETTE) + bytes(3)
    return (b"\x89PNG\r\n\x1a\n" +
            png_chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 3, 0, 0, 0)) +
            png_chunk(b"PLTE", palette) +
            png_chunk(b"tRNS", bytes([255] * transparent + [0])) +
            png_chunk(b"IDAT", zlib.compress(lines, 9)) +
            png_chunk(b"IEND", b""))


def icon_bytes(legend, rows):
    images = []
    for size in ICON_SIZES:
        pixels = rows if size == SIZE else scaled(rows, size)
        image = png_image(legend, pixels) if size >= PNG_FROM else bitmap_image(legend, pixels)
        images.append((size, image))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, image in images:
        # A size of 256 is written as 0; the PNG has 17 palette entries, transparency's too.
        colours, bits = (0, 8) if size >= PNG_FROM else (16, 4)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits,
                               len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(image for _, image in images)


def main():
    if len(sys.argv) == 4 and sys.argv[3].isdigit() and int(sys.argv[3]) > 0:
        legend, rows = read_map(sys.argv[1])
        data = png_image(legend, scaled(rows, int(sys.argv[3])))
    elif len(sys.argv) == 3:
        legend, rows = read_map(sys.argv[1])
        data = icon_bytes(legend, rows)
    else:
        fail("usage: make_icon.py MAP ICO | make_icon.py MAP PNG SIZE")
    with open(sys.argv[2], "wb") as target:
        target.write(data)


if __name__ == "__main__":
    main()
