#!/usr/bin/env python3
"""Draws every glyph of the two built-in fonts from their shape bytes in the initialisation
data, one cell per shape with its number, into a PNG sheet (through rsvg-convert).

    tools/init_data/draw_font_sheet.py INIT_DATA OUTPUT.png

e.g. tools/init_data/draw_font_sheet.py toolkit/core/builtin_init_data.bin docs/builtin-fonts.png
"""

import os
import struct
import subprocess
import sys
import tempfile

from shape_bytes import decode

SLOT_COUNT = 38
FONT_SHAPE_COUNTS = (100, 103)
FONT_FILE_SIZES = (4998, 4832)
FONT_NAMES = ("SIMPLEX", "GDT")

CELL = 64          # pixels per cell
SCALE = 1.6        # pixels per shape unit
COLUMNS = 16
BASELINE = 44      # pixels from the cell's top


def read_fonts(data):
    """[(name, [(number, shape bytes)])] of the two fonts of the init data."""
    position = data.index(b"\x00") + 1 + 4 * SLOT_COUNT
    fonts = []
    for name, count, size in zip(FONT_NAMES, FONT_SHAPE_COUNTS, FONT_FILE_SIZES):
        index = [struct.unpack_from("<HI", data, position + 6 * i) for i in range(count)]
        position += 6 * count
        file = data[position:position + size]
        position += size
        shapes = []
        for number, offset in index:
            name_end = file.index(b"\x00", offset)
            shapes.append((number, file[name_end + 1:]))
        fonts.append((name, shapes))
    return fonts


def cell_svg(x0, y0, number, code):
    parts = ['<text x="%d" y="%d" font-size="9" fill="#777">%d</text>' % (x0 + 3, y0 + 10, number)]
    if number == 0:
        return parts
    strokes, pen = decode(code)
    left = x0 + 8
    parts.append('<line x1="%g" y1="%d" x2="%g" y2="%d" stroke="#cde" stroke-width="0.5"/>'
                 % (left, y0 + BASELINE, left + pen[0] * SCALE, y0 + BASELINE))
    for stroke in strokes:
        points = " ".join("%.2f,%.2f" % (left + x * SCALE, y0 + BASELINE - y * SCALE) for x, y in stroke)
        parts.append('<polyline points="%s" fill="none" stroke="black" stroke-width="1.2" '
                     'stroke-linecap="round" stroke-linejoin="round"/>' % points)
    return parts


def sheet_svg(fonts):
    parts = []
    y = 0
    for name, shapes in fonts:
        parts.append('<text x="4" y="%d" font-size="16" font-weight="bold">%s</text>' % (y + 20, name))
        y += 28
        for i, (number, code) in enumerate(shapes):
            x0 = (i % COLUMNS) * CELL
            y0 = y + (i // COLUMNS) * CELL
            parts.append('<rect x="%d" y="%d" width="%d" height="%d" fill="none" stroke="#ddd"/>'
                         % (x0, y0, CELL, CELL))
            parts += cell_svg(x0, y0, number, code)
        y += ((len(shapes) + COLUMNS - 1) // COLUMNS) * CELL + 8
    width = COLUMNS * CELL
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" font-family="DejaVu Sans">'
            '<rect width="100%%" height="100%%" fill="white"/>%s</svg>' % (width, y, "".join(parts)))


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: draw_font_sheet.py INIT_DATA OUTPUT.png")
    with open(sys.argv[1], "rb") as f:
        svg = sheet_svg(read_fonts(f.read()))
    with tempfile.NamedTemporaryFile("w", suffix=".svg", delete=False) as f:
        f.write(svg)
    try:
        subprocess.run(["rsvg-convert", "-o", sys.argv[2], f.name], check=True)
    finally:
        os.unlink(f.name)


if __name__ == "__main__":
    main()
