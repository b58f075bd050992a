#!/usr/bin/env python3
"""Writes the seed corpus of the xdata_items fuzz harness: streams of extended-data items and
of group items in their stored forms (byte 0 of each file selects the form, as the harness
reads it)."""
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "xdata_items")


def xdata(code, value):
    return struct.pack("<HH4x", code, len(value)) + value


def group(code, value):
    return struct.pack("<H", code) + value


def main():
    os.makedirs(HERE, exist_ok=True)
    items = b"".join([
        xdata(1001, bytes.fromhex("0000000000000012")),
        xdata(1002, b"\x00"),
        xdata(1000, b"MVIEW"),
        xdata(1070, struct.pack("<h", 16)),
        xdata(1071, struct.pack("<i", -5)),
        xdata(1010, struct.pack("<3d", 1.0, 2.0, 3.0)),
        xdata(1040, struct.pack("<d", 0.5)),
        xdata(1004, b"\x01\x02\x03"),
        xdata(1005, bytes.fromhex("000000000000012F")),
        xdata(1002, b"\x01"),
    ])
    groups = b"".join([
        group(1, struct.pack("<HB", 3, 0) + b"abc"),
        group(10, struct.pack("<3d", 1.0, 2.0, 3.0)),
        group(70, struct.pack("<h", 7)),
        group(90, struct.pack("<i", 70000)),
        group(40, struct.pack("<d", 2.5)),
        group(310, b"\x02\xAB\xCD"),
        group(330, bytes.fromhex("2F01000000000000")),
        group(360, bytes.fromhex("000000000000012F")),
    ])
    extended = xdata(1000, b"abc\x00\x00")
    seeds = {"xdata.bin": b"\x00" + items, "groups.bin": b"\x01" + groups, "extended.bin": b"\x02" + extended}
    for name, data in seeds.items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
