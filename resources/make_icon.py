#!/usr/bin/env python3
"""Turns the program icon's text pixel map into a 32 by 32, 16-colour .ico file.

Usage: make_icon.py program_icon.txt program_icon.ico

The map has one character a pixel, top row first; '#' lines are comments, and the comment that
starts with "Palette:" names each character's colour ('c' name, ...). The colours are those of
the standard 16-colour palette; "transparent" leaves the pixel to the background.
"""
import re
import struct
import sys

SIZE = 32
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


def icon_bytes(legend, rows):
    colour_rows = []  # bottom row first, as bitmaps are stored
    mask_rows = []
    for row in reversed(rows):
        indices = [0 if legend[c] == TRANSPARENT else INDEX[legend[c]] for c in row]
        colour_rows.append(bytes((indices[i] << 4) | indices[i + 1] for i in range(0, SIZE, 2)))
        mask = 0
        for c in row:
            mask = (mask << 1) | (1 if legend[c] == TRANSPARENT else 0)
        mask_rows.append(mask.to_bytes(SIZE // 8, "big"))
    palette = b"".join(bytes((b, g, r, 0)) for _, (r, g, b) in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0,
                         len(b"".join(colour_rows)) + len(b"".join(mask_rows)), 0, 0, 16, 0)
    image = header + palette + b"".join(colour_rows) + b"".join(mask_rows)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    if len(sys.argv) != 3:
        fail("usage: make_icon.py MAP ICO")
    legend, rows = read_map(sys.argv[1])
    data = icon_bytes(legend, rows)
    with open(sys.argv[2], "wb") as target:
        target.write(data)


if __name__ == "__main__":
    main()
