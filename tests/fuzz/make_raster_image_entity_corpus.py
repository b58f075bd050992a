#!/usr/bin/env python3
"""Writes the seed corpus of the raster image entity harness (make_raster_image_entity_corpus.py
DIR): the BMP fixtures of tests/data/image behind heads of flags, entity size, pixel size and
clip points. See raster_image_entity_fuzz.cpp for the layout."""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
IMAGES = os.path.join(HERE, "..", "data", "image")


def head(flags, width, height, pixel_power, points):
    return (bytes([flags]) + struct.pack("<HHb", width, height, pixel_power) +
            b"".join(struct.pack("<hh", int(x * 4), int(y * 4)) for x, y in points))


FULL = [(0, 0), (16, 16), (0, 0), (0, 0)]
TRIANGLE = [(-0.5, -0.5), (12, 2), (3, 9), (-0.5, -0.5)]
SEEDS = [
    ("bmp_1bit.bmp", head(0, 16, 16, 2, FULL)),
    ("bmp_4bit.bmp", head(1 | 8, 8, 8, 3, [(1, -3), (5, 2), (0, 0), (0, 0)])),
    ("bmp_8bit.bmp", head(1 | 2 | 4, 8, 8, 3, TRIANGLE)),
    ("bmp_rle4.bmp", head(4, 8, 8, 3, FULL)),
    ("bmp_rle8.bmp", head(1 | 2 | 8, 8, 8, 3, TRIANGLE)),
    ("bmp_24.bmp", head(0, 64, 16, -1, FULL)),
    ("bmp_24_topdown.bmp", head(4, 4, 4, 4, FULL)),
    ("bmp_os2.bmp", head(0, 8, 8, 3, FULL)),
]

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
for name, prefix in SEEDS:
    with open(os.path.join(IMAGES, name), "rb") as f:
        picture = f.read()
    with open(os.path.join(out, name.replace(".bmp", ".bin")), "wb") as f:
        f.write(prefix + picture)
