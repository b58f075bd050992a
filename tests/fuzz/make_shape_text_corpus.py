#!/usr/bin/env python3
"""Writes the seed corpus of the shape text harness (make_shape_text_corpus.py DIR): a
selector byte, a string and shapes {number, length, bytes} (each shape's bytes: a name, its
NUL, its codes, the end code). See shape_text_fuzz.cpp for the layout."""
import os
import sys


def shape(number, codes):
    body = b"S\x00" + bytes(codes) + b"\x00"
    return bytes([number, len(body)]) + body


def seed(selector, text, *shapes):
    return bytes([selector, len(text)]) + text + b"".join(shapes)


LETTERS = (shape(ord("A"), [0x14, 2, 0x1C, 0x20]), shape(ord("B"), [0x24, 2, 0x2C, 0x10]),
           shape(ord("?"), [0x10, 2, 0x10]), shape(ord(" "), [2, 0x30]))
SEEDS = {
    "letters.bin": seed(0, b"AB?Z %%uA%%o", *LETTERS),
    "every_code.bin": seed(8, b"AC", shape(ord("A"), [1, 0x10, 2, 0x10, 4, 2, 3, 2, 5, 0x14, 6, 8, 3, 0xFE,
                                                     9, 1, 1, 0xFE, 0, 0, 0, 10, 2, 0x12, 11, 0, 128, 0, 2, 0x92,
                                                     12, 2, 0, 127, 13, 2, 0, 0x81, 0, 2, 10, 0, 0, 14, 10, 1, 0,
                                                     15, 0x2A]),
                           shape(ord("C"), [7, ord("A"), 7, ord("C"), 0x10])),
    "vertical.bin": seed(4 | 1, b"AA%%d", shape(ord("A"), [14, 8, 1, 1, 14, 7, 65, 0x1C]),
                         shape(0, [10, 1, 0])),
    "unifont.bin": seed(2, b"\\U+0041A\xc0", shape(ord("A"), [7, 0, 0x41, 0x10]), shape(ord("?"), [0x10])),
    "big_font.bin": seed(3 | 0x10, b"A\x81\x41\x82\xa0",
                         shape(0x41, [7, 0, 0x81, 0x43, 2, 3, 20, 5, 0x10, 7, 0x81, 0x43]),
                         shape(0x43, [0x10, 7, 0x81, 0x41]), *LETTERS),
    "operands_cut_off.bin": seed(0, b"A", shape(ord("A"), [0x10]), bytes([ord("A"), 5]) + b"S\x00\x08\x01"),
}

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
for name, data in SEEDS.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
