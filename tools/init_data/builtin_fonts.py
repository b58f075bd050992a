"""The two shape fonts built into the toolkit, "SIMPLEX" and "GDT", as shape font files of
version 1.1 written with the codes of shape_bytes.py.

SIMPLEX holds the Hershey Roman Simplex glyphs at 32-126 and hand-made degree, plus-minus and
diameter symbols at 256-258. GDT holds the same glyphs for the upper-case letters, digits and
punctuation, the geometric-tolerance symbols on the lower-case letters (the assignment that
feature-control-frame texts use: "j" position, "r" concentricity, ...), degree at 0x7E,
plus-minus at 0x60 and diameter at 0x6E, and the three symbols again at 127-129 and 256-258.
docs/builtin-fonts.md lists every assignment.

Hershey coordinates become shape units one to one: x from the glyph's left bound, y upwards
from the baseline (Hershey y = 9), so capitals stand 21 units high.
"""

import struct

from shape_bytes import ShapeWriter

# Font metrics of both fonts (shape 0): above and below the baseline, and the modes byte.
ABOVE, BELOW, MODES = 21, 6, 2
HERSHEY_BASELINE = 9

# The 24-byte header of a shape font file of version 1.1, ending in 0x1A.
SHAPE_FILE_HEADER = b"Tracemill shapes v1.1\r\n\x1a"
assert len(SHAPE_FILE_HEADER) == 24

# Shape numbers of the symbols that text asks for with %%d, %%p and %%c.
DEGREE, PLUS_MINUS, DIAMETER = 256, 257, 258


def hershey_shape(glyph):
    writer = ShapeWriter()
    for stroke in glyph.strokes:
        writer.stroke([(x - glyph.left, HERSHEY_BASELINE - y) for x, y in stroke])
    return writer.finish(glyph.right - glyph.left)


def symbol(advance, *parts):
    """A hand-made shape: strokes (lists of points) and circles/arcs (dicts)."""
    writer = ShapeWriter()
    for part in parts:
        if isinstance(part, dict):
            writer.arc(part["centre"], part["radius"], part.get("start", 0), part.get("octants", 0))
        else:
            writer.stroke(part)
    return writer.finish(advance)


def circle(cx, cy, r):
    return {"centre": (cx, cy), "radius": r}


def half_circle_above(cx, cy, r):
    return {"centre": (cx, cy), "radius": r, "start": 0, "octants": 4}


# The three symbols every built-in font has.
DEGREE_SHAPE = symbol(14, circle(7, 17, 4))
PLUS_MINUS_SHAPE = symbol(26, [(13, 4), (13, 20)], [(5, 12), (21, 12)], [(5, 0), (21, 0)])
DIAMETER_SHAPE = symbol(24, circle(12, 10, 8), [(2, 0), (22, 20)])

# Geometric-tolerance symbols on the lower-case letters.
GDT_SYMBOLS = {
    "a": symbol(26, [(22, 10), (4, 0), (22, 0)]),                                # angularity
    "b": symbol(26, [(4, 0), (22, 0)], [(13, 0), (13, 18)]),                     # perpendicularity
    "c": symbol(26, [(4, 4), (18, 4), (22, 14), (8, 14), (4, 4)]),               # flatness
    "d": symbol(26, [(4, 4), (22, 4)], half_circle_above(13, 4, 9)),             # profile of a surface
    "e": symbol(26, circle(13, 10, 9)),                                          # circularity
    "f": symbol(26, [(6, 2), (14, 18)], [(12, 2), (20, 18)]),                    # parallelism
    "g": symbol(26, circle(13, 10, 6), [(2, 2), (10, 18)], [(16, 2), (24, 18)]), # cylindricity
    "h": symbol(26, [(5, 3), (21, 19)], [(14, 19), (21, 19), (21, 12)]),         # circular runout
    "i": symbol(26, [(2, 10), (24, 10)], [(6, 4), (20, 4)], [(6, 16), (20, 16)]),  # symmetry
    "j": symbol(26, circle(13, 10, 7), [(13, 0), (13, 20)], [(3, 10), (23, 10)]),  # position
    "k": symbol(26, half_circle_above(13, 4, 9)),                                # profile of a line
    "l": symbol(26, circle(13, 10, 10), [(10, 15), (10, 5), (17, 5)]),           # least material
    "m": symbol(26, circle(13, 10, 10),
                [(8, 5), (8, 15), (13, 8), (18, 15), (18, 5)]),                  # maximum material
    "n": DIAMETER_SHAPE,                                                         # diameter
    "o": symbol(26, [(5, 2), (21, 2), (21, 18), (5, 18), (5, 2)]),               # square
    "p": symbol(26, circle(13, 10, 10),
                [(10, 5), (10, 15), (15, 15), (17, 13), (17, 12), (15, 10), (10, 10)]),  # projected zone
    "q": symbol(26, {"centre": (11, 10), "radius": 8, "start": 2, "octants": 4},
                [(13, 20), (13, 0), (22, 0)]),                                   # centre line
    "r": symbol(26, circle(13, 10, 10), circle(13, 10, 5)),                      # concentricity
    "s": symbol(26, circle(13, 10, 10),
                [(17, 14), (15, 15), (11, 15), (9, 13), (10, 11), (16, 9), (17, 7), (15, 5),
                 (11, 5), (9, 6)]),                                              # regardless of size
    "t": symbol(26, [(2, 2), (14, 14)], [(10, 2), (22, 14)], [(2, 2), (10, 2)],
                [(9, 14), (14, 14), (14, 9)], [(17, 14), (22, 14), (22, 9)]),    # total runout
    "u": symbol(26, [(4, 10), (22, 10)]),                                        # straightness
    "v": symbol(26, [(5, 16), (5, 4), (21, 4), (21, 16)]),                       # counterbore
    "w": symbol(26, [(4, 18), (13, 2), (22, 18)]),                               # countersink
    "x": symbol(26, [(13, 20), (13, 2)], [(5, 2), (21, 2)], [(9, 8), (13, 2), (17, 8)]),  # depth
    "y": symbol(26, [(5, 2), (5, 18), (21, 10), (5, 2)]),                        # conical taper
    "z": symbol(26, [(4, 14), (4, 2), (22, 2), (4, 14)]),                        # slope
}
assert len(GDT_SYMBOLS) == 26


def simplex_shapes(glyphs):
    """{shape number: shape bytes} of SIMPLEX."""
    shapes = {32 + i: hershey_shape(glyph) for i, glyph in enumerate(glyphs[:95])}
    shapes.update({DEGREE: DEGREE_SHAPE, PLUS_MINUS: PLUS_MINUS_SHAPE, DIAMETER: DIAMETER_SHAPE})
    return shapes


def gdt_shapes(glyphs):
    """{shape number: shape bytes} of GDT."""
    shapes = {}
    for i, glyph in enumerate(glyphs[:95]):
        code = 32 + i
        if not "a" <= chr(code) <= "z":
            shapes[code] = hershey_shape(glyph)
    shapes.update({ord(letter): shape for letter, shape in GDT_SYMBOLS.items()})
    for degree, plus_minus, diameter in ((0x7E, 0x60, 0x6E), (127, 128, 129), (DEGREE, PLUS_MINUS, DIAMETER)):
        shapes.update({degree: DEGREE_SHAPE, plus_minus: PLUS_MINUS_SHAPE, diameter: DIAMETER_SHAPE})
    return shapes


def shape_font_file(description, shapes):
    """A shape font file of version 1.1 with shape 0 (font information), shape 10 (line
    feed) and the given shapes, and its index [(number, offset in the file)]. Each shape's
    bytes begin with its name and a NUL; the glyphs have empty names."""
    entries = {0: description + b"\x00" + bytes([ABOVE, BELOW, MODES, 0]),
               10: b"\x00" + line_feed_bytes(ABOVE + BELOW + 7)}
    entries.update({number: b"\x00" + code for number, code in shapes.items()})
    numbers = sorted(entries)
    out = bytearray(SHAPE_FILE_HEADER)
    out += struct.pack("<HHH", numbers[0], numbers[-1], len(numbers))
    for number in numbers:
        out += struct.pack("<HH", number, len(entries[number]))
    index = []
    for number in numbers:
        index.append((number, len(out)))
        out += entries[number]
    return bytes(out), index


def line_feed_bytes(distance):
    """Pen up, down by the line distance, end."""
    return ShapeWriter().finish_at((0, -distance))


def builtin_font_files(glyphs):
    """[(file bytes, index)] of SIMPLEX and GDT from the Roman Simplex glyphs (95 glyphs for
    the codes 32-126 in file order)."""
    if len(glyphs) < 95:
        raise ValueError("the glyph file holds %d glyphs, not the 95 of codes 32-126" % len(glyphs))
    return [shape_font_file(b"Tracemill simplex, from the Hershey Roman Simplex glyphs", simplex_shapes(glyphs)),
            shape_font_file(b"Tracemill GDT, tolerance symbols", gdt_shapes(glyphs))]
