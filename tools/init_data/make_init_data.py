#!/usr/bin/env python3
"""Builds the toolkit's initialisation data: the code-page tables and the two built-in
shape fonts, in the layout that toolkit/core/init_data_layout.h describes.

    tools/init_data/make_init_data.py GLYPHS OUTPUT          writes the data
    tools/init_data/make_init_data.py --check GLYPHS FILE    fails unless FILE holds exactly it
    tools/init_data/make_init_data.py --fuzz-seed GLYPHS OUTPUT
                                                      a small data set of the same layout (one
                                                      single-byte and one cut-down double-byte
                                                      table), the seed of the init-data fuzz corpus

GLYPHS is the Hershey Roman Simplex glyph file of Debian's hershey-fonts-data
(/usr/share/hershey-fonts/rowmans.jhf); builtin_fonts.py makes the two fonts from it.

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
codec tables and the glyph file, so running the script again reproduces the committed file
byte for byte.
"""

import os
import struct
import sys

from builtin_fonts import builtin_font_files
from hershey_glyphs import read_glyph_file

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


def font_part(data, index, shape_count, file_size):
    """The index and the file of one font in the layout: the file padded with zero bytes to
    its fixed size."""
    assert len(index) == shape_count, (shape_count, len(index))
    numbers = [number for number, _ in index]
    assert numbers[:5] == [0, 10, 32, 33, 34] and numbers[-3:] == [256, 257, 258]
    assert len(data) <= file_size, ("font file too large for the layout", len(data), file_size)
    data += bytes(file_size - len(data))
    out = bytearray()
    for number, offset in index:
        out += struct.pack("<HI", number, offset)
    return bytes(out), data


def build(glyph_file, slots=range(len(SLOT_CODECS)), leads=range(0x81, 0x100)):
    font_files = builtin_font_files(read_glyph_file(glyph_file))
    fonts = [font_part(data, index, FONT_SHAPE_COUNTS[i], FONT_FILE_SIZES[i])
             for i, (data, index) in enumerate(font_files)]

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
    usage = "usage: make_init_data.py [--check | --fuzz-seed] GLYPHS FILE"
    if len(args) == 3 and args[0] == "--check":
        with open(args[2], "rb") as f:
            if f.read() != build(args[1]):
                sys.exit(args[2] + " is not what make_init_data.py writes: run it again")
        return
    if len(args) == 3 and args[0] == "--fuzz-seed":
        data = build(args[1], slots=[2, 34], leads=[0x81, 0x82])
        target = args[2]
    elif len(args) == 2 and not args[0].startswith("--"):
        data = build(args[0])
        target = args[1]
    else:
        sys.exit(usage)
    temporary = target + ".tmp"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, target)


if __name__ == "__main__":
    main()
