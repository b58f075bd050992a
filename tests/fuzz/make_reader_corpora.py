#!/usr/bin/env python3
"""Writes the small seed corpora of the reader fuzz harnesses under tests/fuzz/corpus/.

Run from anywhere: python3 tests/fuzz/make_reader_corpora.py. The files are committed; run it
again only when a harness's input format changes.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from dwg_crc import crc16  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))


class Bits:
    """A tiny DWG bit writer: most significant bit first."""

    def __init__(self):
        self.bits = []

    def put(self, value, count):
        for i in range(count - 1, -1, -1):
            self.bits.append((value >> i) & 1)

    def rc(self, v):
        self.put(v & 0xFF, 8)

    def raw(self, data):
        for b in data:
            self.rc(b)

    def bs(self, v):
        if v == 0:
            self.put(2, 2)
        elif v == 256:
            self.put(3, 2)
        elif v < 256:
            self.put(1, 2)
            self.rc(v)
        else:
            self.put(0, 2)
            self.raw(struct.pack('<H', v))

    def bl(self, v):
        if v == 0:
            self.put(2, 2)
        elif 0 < v < 256:
            self.put(1, 2)
            self.rc(v)
        else:
            self.put(0, 2)
            self.raw(struct.pack('<i', v))

    def bd(self, v):
        if v == 0.0:
            self.put(2, 2)
        elif v == 1.0:
            self.put(1, 2)
        else:
            self.put(0, 2)
            self.raw(struct.pack('<d', v))

    def rl(self, v):
        self.raw(struct.pack('<i', v))

    def text(self, s):
        self.bs(len(s))
        self.raw(s)

    def handle(self, code, value):
        body = value.to_bytes(8, 'big').lstrip(b'\0')
        self.rc((code << 4) | len(body))
        self.raw(body)

    def bytes(self):
        padded = self.bits + [0] * (-len(self.bits) % 8)
        return bytes(int(''.join(map(str, padded[i:i + 8])), 2) for i in range(0, len(padded), 8))


def record(data):
    head = struct.pack('<H', len(data))
    crc = crc16(head + data, 0xC0C1)
    return head + data + struct.pack('<H', crc)


def modular_char(value):
    out = []
    while True:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
        if value == 0:
            break
    out[-1] &= 0x7F
    return bytes(out)


def signed_modular_char(value):
    magnitude = abs(value)
    out = []
    while magnitude > 0x3F:
        out.append(0x80 | (magnitude & 0x7F))
        magnitude >>= 7
    out.append(magnitude | (0x40 if value < 0 else 0))
    return bytes(out)


def map_section(entries):
    data = b''
    handle = position = 0
    for h, p in entries:
        data += modular_char(h - handle) + signed_modular_char(p - position)
        handle, position = h, p
    size = struct.pack('>H', len(data) + 2)
    return size + data + struct.pack('>H', crc16(size + data, 0xC0C1))


def write(name, files):
    folder = os.path.join(HERE, 'corpus', name)
    os.makedirs(folder, exist_ok=True)
    for file_name, content in files.items():
        with open(os.path.join(folder, file_name), 'wb') as f:
            f.write(content)


def dwg_bit_reader_corpus():
    # Byte 0: operation count (low 5 bits), version (bits 5-6), entity records (bit 7).
    every_encoding = Bits()
    every_encoding.put(1, 1)
    every_encoding.put(2, 2)
    for v in (0, 1, 255, 256, 257, 0xFFFF):
        every_encoding.bs(v)
    for v in (0, 255, 256, -1):
        every_encoding.bl(v)
    for v in (0.0, 1.0, -2.5):
        every_encoding.bd(v)
    every_encoding.text(b'abc')
    every_encoding.handle(5, 0x12F)
    every_encoding.handle(8, 0)
    every_encoding.handle(12, 3)
    ops = bytes(range(24))
    yield 'every_encoding', bytes([len(ops) | (2 << 5)]) + ops + every_encoding.bytes()

    # An R2000 dictionary-like object with extended data, then an object map naming it.
    obj = Bits()
    obj.bs(42)
    obj.rl(120)
    obj.handle(0, 0xC)
    obj.bs(3)
    obj.handle(5, 0x12)
    obj.raw(b'\x00\x01\x02')
    obj.bs(0)
    obj.bl(1)
    obj.bl(2)
    obj.text(b'ACAD_GROUP')
    obj.handle(4, 0xD)
    obj.handle(8, 0)
    obj.handle(4, 0x20)
    obj.handle(3, 0)
    records = record(obj.bytes())
    first = len(records)
    records += record(obj.bytes())
    body = records + map_section([(0xC, 0), (0xD, first)]) + map_section([])
    # The harness reads the map's offset from the first two bytes; the records follow them.
    body = struct.pack('<H', 2 + len(records)) + body
    yield 'object_and_map', bytes([0 | (2 << 5)]) + body

    # An R14 entity with graphics.
    ent = Bits()
    ent.bs(19)
    ent.handle(0, 0x2A)
    ent.bs(0)
    ent.put(1, 1)
    ent.rl(6)
    ent.raw(b'\x06\x00\x00\x00\x01\x02')
    ent.rl(200)
    ent.bd(1.0)
    yield 'entity_with_graphics', bytes([0x80 | (1 << 5)]) + b'\0\0' + record(ent.bytes())

    # A record of more than 32,767 bytes.
    big = Bits()
    big.bs(42)
    big.rl(8 * 33000)
    big.handle(0, 0x99)
    big.bs(0)
    big.bl(0)
    data = big.bytes() + bytes(33000 - len(big.bytes()))
    head = struct.pack('<HH', 0x8000 | (len(data) & 0x7FFF), len(data) >> 15)
    yield 'large_record', bytes([2 << 5]) + b'\0\0' + head + data + b'\0\0'


def dxf_group_reader_corpus():
    # Byte 0: bit 0 binary, bits 1-2 version (unknown, R12, R13, 2000), bit 7 read from a file
    # through small windows (bits 5-6 the window size).
    ascii_crlf = (b'999\r\nmade by hand\r\n  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nLINE\r\n'
                  b'  5\r\n2F\r\n  8\r\nWalls  \r\n 10\r\n1.5\r\n 20\r\n-2.25e1\r\n 70\r\n   64\r\n'
                  b' 90\r\n4294967295\r\n310\r\n0A0B\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n')
    yield 'ascii_crlf', bytes([0]) + ascii_crlf
    yield 'ascii_crlf_windows', bytes([0x80 | (1 << 5)]) + ascii_crlf
    yield 'ascii_odd_lines', bytes([0]) + (b'\n\n  0\n\rSECTION\n\r  2\rHEADER\r  1\nab\x01cd\n'
                                            b'  1\n' + b'x' * 2050 + b'\n  8\n\n  5\n11111111111111111\n'
                                            b'8A\nletters\n')

    def g2(code, value):
        return struct.pack('<H', code) + value
    binary_2000 = (b'AutoCAD Binary DXF\r\n\x1a\x00' + g2(0, b'SECTION\0') + g2(2, b'ENTITIES\0') +
                   g2(0, b'LINE\0') + g2(5, b'2F\0') + g2(10, struct.pack('<d', 1.5)) +
                   g2(70, struct.pack('<h', -2)) + g2(90, struct.pack('<i', 7)) + g2(290, b'\x01') +
                   g2(310, b'\x02\xab\xcd') + g2(311, b'\x01\x50') + g2(1004, b'\x01\x00') +
                   g2(460, struct.pack('<d', 100.0)) + g2(420, struct.pack('<i', -1)) +
                   g2(999, b'note\0') + g2(0, b'ENDSEC\0') + g2(0, b'EOF\0'))
    yield 'binary_2000', bytes([1 | (3 << 1)]) + binary_2000
    yield 'binary_2000_windows', bytes([0x81 | (3 << 1)]) + binary_2000

    def g1(code, value):
        if code < 255:
            return bytes([code]) + value
        return b'\xff' + struct.pack('<H', code) + value
    binary_r12 = (b'AutoCAD Binary DXF\r\n\x1a\x00' + g1(0, b'SECTION\0') + g1(2, b'ENTITIES\0') +
                  g1(0, b'LINE\0') + g1(8, b'0\0') + g1(10, struct.pack('<d', 2.0)) +
                  g1(1001, b'APP\0') + g1(1070, struct.pack('<h', 3)) + g1(1071, struct.pack('<i', 4)) +
                  g1(0, b'EOF\0'))
    yield 'binary_r12', bytes([1 | (1 << 1)]) + binary_r12
    yield 'binary_unknown_version_two_byte_codes', bytes([1]) + (b'AutoCAD Binary DXF\r\n\x1a\x00' +
                                                                 g2(0, b'SECTION\0') + g2(0, b'EOF\0'))


if __name__ == '__main__':
    write('dwg_bit_reader', dict(dwg_bit_reader_corpus()))
    write('dxf_group_reader', dict(dxf_group_reader_corpus()))
