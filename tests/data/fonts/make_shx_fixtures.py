#!/usr/bin/env python3
"""Writes the small shape files the font tests read, one of every kind, and copies them into
the corpus of the shape-file fuzz harness.

    tests/data/fonts/make_shx_fixtures.py            (run from anywhere)

Every shape's bytes are its NUL-terminated name and a short body ending in 0, so a test can
tell which shape a cursor stands on by the name it reads.

  shapes10.shx    shape font 1.0 with a 27-byte header; index not in ascending order
                  (0, 66 "BOX", 65 "ARROW", 32 "SPACE", 10 "LF"), no '?'
  shapes11.shx    shape font 1.1 (24-byte header): 0, 63 "QUESTION", 67 "CIRCLE"
  shapes127.shx   shape font 1.0 with shapes 0, 127 and 248 (kind 1)
  unifont.shx     unifont: 0, 0x41 "LATIN A", 0x410 "CYRILLIC A", 0x3F "QUESTION"
  bigfont.shx     big font with two lead-byte ranges and eight slots; 0x8341 lies in a slot
                  before the one it hashes to; code 200 and 0xA1A1 (in no range) are stored too
  type1.pfb       a few bytes under another extension
"""

import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "..", "..", "fuzz", "corpus", "shape_files")

BODY = bytes([0x01, 0x14, 0x10, 0x00])  # pen down, two vectors, end


def shape(name):
    return name.encode("ascii") + b"\x00" + BODY


def info(name, above, below, modes):
    return name.encode("ascii") + b"\x00" + bytes([above, below, modes, 0])


def shape_font(header, shapes):
    """shapes: [(number, bytes)] in file order."""
    numbers = [number for number, _ in shapes]
    out = bytearray(header)
    out += struct.pack("<HHH", min(numbers), max(numbers), len(shapes))
    for number, data in shapes:
        out += struct.pack("<HH", number, len(data))
    for _, data in shapes:
        out += data
    return bytes(out)


def unifont(header, shapes):
    out = bytearray(header)
    out += struct.pack("<H", len(shapes))
    for number, data in shapes:
        out += struct.pack("<HH", number, len(data)) + data
    return bytes(out)


def big_font(header, ranges, slots, information):
    """slots: list of (code, bytes) or None for an empty slot; slot 0 holds the font
    information."""
    out = bytearray(header)
    out += struct.pack("<HHH", 0, len(slots), len(ranges))
    for first, last in ranges:
        out += struct.pack("<HH", first, last)
    data_start = len(out) + 8 * len(slots)
    data = bytearray()
    index = bytearray()
    for slot in slots:
        if slot is None:
            index += struct.pack("<HHI", 0, 0, 0)
            continue
        code, shape_bytes = slot
        index += struct.pack("<HHI", code, len(shape_bytes), data_start + len(data))
        data += shape_bytes
    assert slots[0] == (0, information)
    return bytes(out + index + data)


def fixtures():
    yield "shapes10.shx", shape_font(b"Tracemill test shapes 1.0\r\n\x1a",
                                     [(0, info("TEST10", 9, 3, 0)), (66, shape("BOX")),
                                      (65, shape("ARROW")), (32, shape("SPACE")), (10, shape("LF"))])
    yield "shapes11.shx", shape_font(b"Tracemill shapes 1.1\r\n\x00\x1a",
                                     [(0, info("TEST11", 21, 7, 2)), (63, shape("QUESTION")),
                                      (67, shape("CIRCLE"))])
    yield "shapes127.shx", shape_font(b"Tracemill shapes 1.0\r\n\x00\x1a",
                                      [(0, info("TEST127", 6, 2, 0)), (127, shape("DEGREE")),
                                       (248, shape("RING"))])
    yield "unifont.shx", unifont(b"Tracemill unifont 1.0\r\n\x1a",
                                 [(0, info("UNITEST", 10, 2, 0)), (0x41, shape("LATIN A")),
                                  (0x410, shape("CYRILLIC A")), (0x3F, shape("QUESTION"))])
    information = info("BIGTEST", 12, 0, 0)[:-1] + bytes([14])  # height 12, extended form, width 14
    # Start slots of eight: 0x8140 -> 0, 0x8341 -> 2, 0x88A0 -> 0, 200 -> 0, 0xA1A1 -> 0.
    yield "bigfont.shx", big_font(b"Tracemill bigfont 1.0\r\n\x1a", [(0x81, 0x9F), (0xE0, 0xFC)],
                                  [(0, information), (0x8341, shape("KANJI 8341")),
                                   (0xA1A1, shape("OUTSIDE A1A1")), None,
                                   (0x8140, shape("KANJI 8140")), (0x88A0, shape("KANJI 88A0")),
                                   (200, shape("CODE 200")), None],
                                  information)
    yield "type1.pfb", b"\x80\x01 not a shape file"


def main():
    os.makedirs(CORPUS, exist_ok=True)
    for name, data in fixtures():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)
        if name.endswith(".shx"):
            shutil.copyfile(os.path.join(HERE, name), os.path.join(CORPUS, name))


if __name__ == "__main__":
    main()
