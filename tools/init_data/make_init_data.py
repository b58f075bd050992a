#!/usr/bin/env python3
"""Builds the toolkit's initialisation data: the code-page tables and the two built-in
shape fonts, in the layout that toolkit/core/init_data_layout.h describes.

    tools/init_data/make_init_data.py OUTPUT          writes the data
    tools/init_data/make_init_data.py --check FILE    fails unless FILE holds exactly it
    tools/init_data/make_init_data.py --fuzz-seed OUTPUT
                                                      a small data set of the same layout (one
                                                      single-byte and one cut-down double-byte
                                                      table), the seed of the init-data fuzz corpus

Layout (all integers little-endian, offsets from the start of the data):
  banner             text ending in 'H', then a NUL
  slot offsets       38 x int32: where each table slot's code-page tables start, -1 for none
  font 1 index       100 x {uint16 shape number, uint32 offset into the font 1 file}
  font 1 file        4,998 bytes: a complete shape font ("SIMPLEX.SHX")
  font 2 index       103 x {uint16 shape number, uint32 offset into the font 2 file}
  font 2 file        4,832 bytes: a complete shape font ("GDT.SHX")
  code-page tables   per slot with an offset: 128 x uint16 (Unicode of bytes 0x80..0xFF,
                     0 when unassigned), uint16 count n of double-byte codes, n x uint16
                     codes ascending, n x uint16 Unicode values in the same order

The tables come from Python's codecs; the output depends only on the Python version's
codec tables, so running the script again reproduces the committed file byte for byte.
"""

import os
import struct
import sys

BANNER = b"Tracemill initialisation data 1: code pages, fonts; mark H"

# Codec per table slot; None where the slot has no table (0 "undefined" and 1 "ascii" are
# built by the toolkit itself, 23 "johab" never converts).
SLOT_CODECS = [
    None, None,
    "iso8859_1", "iso8859_2", "iso8859_3", "iso8859_4", "iso8859_5",
    "iso8859_6", "iso8859_7", "iso8859_8", "iso8859_9",
    "cp437", "cp850", "cp852", "cp855", "cp857", "cp860", "cp861", "cp863",
    "cp864", "cp865", "cp869",
    "mac_roman",
    None,
    "cp866", "cp1250", "cp1251", "cp1252", "cp1253", "cp1254", "cp1255",
    "cp1256", "cp1257", "cp874",
    "cp932", "gbk", "cp949", "cp950",
]
assert len(SLOT_CODECS) == 38
DOUBLE_BYTE_SLOTS = range(34, 38)

# The built-in fonts: fixed shape counts and file sizes of the layout.
FONT_SHAPE_COUNTS = (100, 103)
FONT_FILE_SIZES = (4998, 4832)

# Font metrics of both built-in fonts (shape 0): height above and depth below the baseline
# in shape units, and the modes byte.
ABOVE, BELOW, MODES = 21, 6, 2

# The 24-byte header of a shape font file of version 1.1, ending in 0x1A.
SHAPE_FILE_HEADER = b"Tracemill shapes v1.1\r\n\x1a"
assert len(SHAPE_FILE_HEADER) == 24


def byte_value(codec, byte):
    try:
        text = bytes([byte]).decode(codec)
    except UnicodeDecodeError:
        return 0
    return ord(text) if len(text) == 1 and ord(text) < 0x10000 else 0


def double_byte_codes(codec, leads):
    """Every two-byte code whose bytes decode to one character of the basic plane."""
    codes = []
    for lead in leads:
        for trail in range(0x40, 0x100):
            try:
                text = bytes([lead, trail]).decode(codec)
            except UnicodeDecodeError:
                continue
            if len(text) == 1 and ord(text) < 0x10000:
                codes.append((lead << 8 | trail, ord(text)))
    return codes


def code_page_table(slot, leads):
    codec = SLOT_CODECS[slot]
    out = bytearray()
    for byte in range(0x80, 0x100):
        out += struct.pack("<H", byte_value(codec, byte))
    pairs = double_byte_codes(codec, leads) if slot in DOUBLE_BYTE_SLOTS else []
    assert len(pairs) <= 0xFFFF
    out += struct.pack("<H", len(pairs))
    for code, _ in pairs:
        out += struct.pack("<H", code)
    for _, value in pairs:
        out += struct.pack("<H", value)
    return bytes(out)


def vector(length, direction):
    """One vector byte of a shape: length 1..15 in the high nibble, direction 0..15 low."""
    assert 1 <= length <= 15 and 0 <= direction <= 15
    return bytes([length << 4 | direction])


def long_vector(length, direction):
    out = b""
    while length > 0:
        step = min(length, 15)
        out += vector(step, direction)
        length -= step
    return out


def displacement(dx, dy):
    return bytes([8, dx & 0xFF, dy & 0xFF])


ADVANCE = 16
BOX_WIDTH = 12


def placeholder_glyph(draw_box):
    """A cap-height box with a fixed advance: enough to show where text goes until the real
    glyphs are generated."""
    if not draw_box:
        return b"\x00" + bytes([2]) + displacement(ADVANCE, 0) + b"\x00"
    body = bytes([2]) + displacement(2, 0) + bytes([1])
    body += long_vector(BOX_WIDTH, 0) + long_vector(ABOVE, 4)
    body += long_vector(BOX_WIDTH, 8) + long_vector(ABOVE, 12)
    body += bytes([2]) + displacement(ADVANCE - 2, 0)
    return b"\x00" + body + b"\x00"


def shape_font(description, numbers):
    """A shape font file of version 1.1 and its index {number, offset in the file}."""
    shapes = []
    for number in numbers:
        if number == 0:
            shape = description + b"\x00" + bytes([ABOVE, BELOW, MODES, 0])
        elif number == 10:
            shape = b"\x00" + bytes([2]) + displacement(0, -(ABOVE + BELOW + 7)) + b"\x00"
        else:
            shape = placeholder_glyph(draw_box=number != 32)
        shapes.append((number, shape))
    out = bytearray(SHAPE_FILE_HEADER)
    out += struct.pack("<HHH", min(numbers), max(numbers), len(numbers))
    for number, shape in shapes:
        out += struct.pack("<HH", number, len(shape))
    index = []
    for number, shape in shapes:
        index.append((number, len(out)))
        out += shape
    return bytes(out), index


def font_part(description, numbers, shape_count, file_size):
    assert len(numbers) == shape_count
    assert numbers[:5] == [0, 10, 32, 33, 34] and numbers[-3:] == [256, 257, 258]
    data, index = shape_font(description, numbers)
    assert len(data) <= file_size, (description, len(data))
    data += bytes(file_size - len(data))  # the layout gives each font a fixed size
    out = bytearray()
    for number, offset in index:
        out += struct.pack("<HI", number, offset)
    return bytes(out), data


def build(slots=range(len(SLOT_CODECS)), leads=range(0x81, 0x100)):
    text_shapes = [0, 10] + list(range(32, 127))
    symbols = [256, 257, 258]  # degree, plus-minus, diameter
    simplex_numbers = text_shapes + symbols
    gdt_numbers = text_shapes + [128, 129, 130] + symbols
    fonts = [
        font_part(b"Tracemill simplex placeholder", simplex_numbers, FONT_SHAPE_COUNTS[0],
                  FONT_FILE_SIZES[0]),
        font_part(b"Tracemill GDT placeholder", gdt_numbers, FONT_SHAPE_COUNTS[1],
                  FONT_FILE_SIZES[1]),
    ]

    assert BANNER.endswith(b"H") and b"\x00" not in BANNER
    fixed = len(BANNER) + 1 + 4 * len(SLOT_CODECS)
    fixed += sum(len(index) + len(data) for index, data in fonts)

    tables = bytearray()
    offsets = []
    for slot, codec in enumerate(SLOT_CODECS):
        if codec is None or slot not in slots:
            offsets.append(-1)
            continue
        offsets.append(fixed + len(tables))
        tables += code_page_table(slot, leads)

    out = bytearray(BANNER + b"\x00")
    out += struct.pack("<38i", *offsets)
    for index, data in fonts:
        out += index + data
    assert len(out) == fixed
    out += tables
    return bytes(out)


def main():
    args = sys.argv[1:]
    if len(args) == 2 and args[0] == "--check":
        with open(args[1], "rb") as f:
            if f.read() != build():
                sys.exit(args[1] + " is not what make_init_data.py writes: run it again")
        return
    if len(args) == 2 and args[0] == "--fuzz-seed":
        data = build(slots=[2, 34], leads=[0x81, 0x82])
        target = args[1]
    elif len(args) == 1:
        data = build()
        target = args[0]
    else:
        sys.exit("usage: make_init_data.py OUTPUT | --check FILE | --fuzz-seed OUTPUT")
    temporary = target + ".tmp"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, target)


if __name__ == "__main__":
    main()
