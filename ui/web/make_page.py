#!/usr/bin/env python3
"""Writes the web page from its template: the program icon drawn in as SVG from its pixel map,
the caption and the About box's texts from the program's resources, the opponents from the game's table, and
the board and every box from the windows' layout. Boxes in dialog units become custom
properties that the stylesheet scales, so that the page is laid out before any script runs.

Usage: make_page.py index.html program_icon.txt resource_ids.h game_state.h opponents.inc \
           window_layout.h output.html
"""
import html
import os
import re
import sys
import urllib.parse

sys.dont_write_bytecode = True  # the build leaves the source tree as it was
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "resources"))
import make_icon  # noqa: E402  (the pixel-map reader the Windows icon is made with)


def icon_svg(map_path):
    """One path a colour, one rectangle a run of pixels in a row; crisp at any size."""
    legend, rows = make_icon.read_map(map_path)
    runs = {}
    for y, row in enumerate(rows):
        x = 0
        while x < len(row):
            end = x
            while end < len(row) and row[end] == row[x]:
                end += 1
            name = legend[row[x]]
            if name != make_icon.TRANSPARENT:
                runs.setdefault(name, []).append(f"M{x} {y}h{end - x}v1h{x - end}z")
            x = end
    paths = "".join(
        '<path fill="#%02x%02x%02x" d="%s"/>' % (*make_icon.PALETTE[make_icon.INDEX[name]][1],
                                                 "".join(parts))
        for name, parts in runs.items())
    size = make_icon.SIZE
    return (f'<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 {size} {size}" '
            f'shape-rendering="crispEdges">{paths}</svg>')


def resource_texts(header_path):
    with open(header_path, encoding="ascii") as header:
        return dict(re.findall(r'#define\s+(QRV_(?:ABOUT_\w+|MAIN_CAPTION))\s+"([^"]*)"',
                               header.read()))


def opening_text(header_path):
    """The status line's first text, shown before the module starts, as the module sets it."""
    with open(header_path, encoding="ascii") as header:
        match = re.search(r'kOpeningText\[\]\s*=\s*"([^"\\]*)"', header.read())
    if not match:
        sys.exit(f"make_page: no opening text in {header_path}")
    return match.group(1)


def thinking_texts(header_path):
    """The View menu's item, its letter underlined, and the panel's name."""
    with open(header_path, encoding="ascii") as header:
        texts = dict(re.findall(r'(kShowThinkingItem|kThinkingName)\[\]\s*=\s*"([^"\\]*)"',
                                header.read()))
    if len(texts) != 2:
        sys.exit(f"make_page: no View menu item or view name in {header_path}")
    before, letter, after = re.fullmatch(r"([^&]*)&(.)(.*)", texts["kShowThinkingItem"]).groups()
    return {"THINKING_ITEM": f"{html.escape(before)}<u>{html.escape(letter)}</u>"
                             f"{html.escape(after)}",
            "THINKING_KEY": letter.lower(),
            "THINKING_NAME": html.escape(texts["kThinkingName"])}


def opponent_items(table_path):
    """The File menu's opponents, from the table the session and the Windows menu are made
    from: the letter after '&' underlined and chosen by its key."""
    with open(table_path, encoding="ascii") as table:
        rows = re.findall(r'^QRV_OPPONENT\((\d+),\s*"([^"]*)",\s*"[^"]*",\s*"(\w+)",\s*([01])\)',
                          table.read(), re.MULTILINE)
    if not rows:
        sys.exit(f"make_page: no opponents in {table_path}")
    items = []
    for kind, text, word, default in rows:
        before, letter, after = re.fullmatch(r"([^&]*)&(.)(.*)", text).groups()
        items.append(f'<button type="button" role="menuitem" tabindex="-1" '
                     f'data-key="{letter.lower()}" data-opponent="{kind}" data-word="{word}"'
                     f'{" data-default" if default == "1" else ""}>{html.escape(before)}'
                     f'<u>{html.escape(letter)}</u>{html.escape(after)}</button>')
    return "\n".join(items)


def layout(header_path):
    """The layout header's boxes by name, each a function of the row and column (which a box
    of the whole window ignores) that gives its numbers as "x y w h"."""
    with open(header_path, encoding="ascii") as header:
        defines = re.findall(r"^#define\s+(QRV_\w+)(\(r, c\))?[ \t]+(.+)$", header.read(),
                             re.MULTILINE)
    found = {}
    for name, _, value in defines:
        if not re.fullmatch(r"[\d\s+*(),rc]+", value):
            sys.exit(f"make_page: {name} in {header_path} is not a box of numbers")
        found[name] = lambda r=0, c=0, parts=value.split(","): " ".join(
            str(eval(part, {"__builtins__": {}}, {"r": r, "c": c})) for part in parts)
    return found


def board(named_boxes):
    """The frames, column by column, then the squares, row by row, as in the Windows template."""
    frames = [f'<div class="frame" data-box="{named_boxes["QRV_FRAME_BOX"](row, column)}"></div>'
              for column in range(3) for row in range(3)]
    squares = [f'<button type="button" class="square" '
               f'data-box="{named_boxes["QRV_SQUARE_BOX"](square // 3, square % 3)}" disabled>'
               f'<svg></svg></button>' for square in range(9)]
    return "\n".join(frames + squares)


def boxes(page):
    """data-box="x y w h" and data-size="w h" into the custom properties of the stylesheet."""
    def box(match):
        names = ("x", "y", "w", "h") if match.group(1) == "box" else ("cw", "ch")
        values = match.group(2).split()
        if len(values) != len(names) or not all(value.isdigit() for value in values):
            sys.exit(f"make_page: bad {match.group(0)}")
        return 'style="%s"' % "; ".join(f"--{n}: {v}" for n, v in zip(names, values))
    return re.sub(r'data-(box|size)="([^"]*)"', box, page)


def main():
    if len(sys.argv) != 9:
        sys.exit("usage: make_page.py TEMPLATE ICON_MAP RESOURCE_IDS GAME_STATE THINKING "
                 "OPPONENTS LAYOUT OUTPUT")
    (template, icon_map, resource_ids, game_state, thinking, opponents, window_layout,
     output) = sys.argv[1:]
    svg = icon_svg(icon_map)
    named_boxes = layout(window_layout)
    values = {name: box() for name, box in named_boxes.items()}
    values.update({"ICON_SVG": svg, "BOARD": board(named_boxes),
                   "OPPONENT_ITEMS": opponent_items(opponents),
              "OPENING_TEXT": html.escape(opening_text(game_state)),
                   "ICON_URI": "data:image/svg+xml," + urllib.parse.quote(svg, safe="=:/' ")})
    values.update({key: html.escape(text) for key, text in resource_texts(resource_ids).items()})
    values.update(thinking_texts(thinking))
    with open(template, encoding="utf-8") as source:
        page = source.read()

    def substitute(match):
        if match.group(1) not in values:
            sys.exit(f"make_page: nothing to put in for {match.group(0)}")
        return values[match.group(1)]

    page = boxes(re.sub(r"@(\w+)@", substitute, page))
    with open(output, "w", encoding="utf-8") as target:
        target.write(page)


if __name__ == "__main__":
    main()
