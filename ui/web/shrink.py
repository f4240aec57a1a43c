#!/usr/bin/env python3
"""Drops the comments and the indentation of the page script or the stylesheet, which every
visitor downloads; the sources keep them.

Usage: shrink.py page.js|quorvane.css OUTPUT
"""
import re
import sys


def shrink_script(text):
    # Whole-line comments only: the script has no multi-line strings and no "//" inside one.
    lines = (line.strip() for line in text.split("\n"))
    return "\n".join(line for line in lines if line and not line.startswith("//")) + "\n"


def shrink_stylesheet(text):
    text = re.sub(r"/\*.*?\*/", "", text, flags=re.S)
    text = re.sub(r"\s+", " ", text)
    # Spaces stay inside values, where calc() needs them around + and -.
    return re.sub(r"\s*([{};,>])\s*", r"\1", text).strip() + "\n"


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: shrink.py SOURCE OUTPUT")
    source, output = sys.argv[1:]
    with open(source, encoding="utf-8") as file:
        text = file.read()
    text = shrink_stylesheet(text) if source.endswith(".css") else shrink_script(text)
    with open(output, "w", encoding="utf-8", newline="\n") as file:
        file.write(text)


if __name__ == "__main__":
    main()
