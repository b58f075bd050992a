#!/usr/bin/env python3
"""Builds the small DWG files before R13 ("AC1002" to "AC1009") that the reader's tests use,
and the seeds of the reader's fuzz corpus.

Each fixture shows a part of the format: every entity kind with its optional fields, the tables
with erased records, extended data, paper-space viewports with their "MVIEW" data and the
viewport entity headers, jumps into the extra entity section, and damaged files. The layout
follows the writer's side of the format (header block, entities, tables, blocks, and for
"AC1009" the sentinels, checksums and trailer).

Usage: make_fixtures.py [OUTPUT_DIR [CORPUS_DIR]]  (defaults: this folder and
tests/fuzz/corpus/dwg12_reader)
"""
import pathlib
import struct
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "support"))
from dwg_crc import crc16  # noqa: E402

VERSIONS = ["AC1002", "AC1003", "AC1004", "AC1006", "AC1009"]
HEADER_SIZE = [929, 981, 1007, 1310, 1727]
LAYOUT_NUMBER = [0x72, 0x7A, 0x81, 0xA0, 0xCD]

# name: (head offset, record sizes by version, checksum XOR, trailer number)
TABLES = {
    "BLOCK": (0x2C, [38, 38, 37, 37, 45], 0x91C0, 1),
    "LAYER": (0x36, [38, 38, 37, 37, 41], 0xC6AD, 2),
    "STYLE": (0x40, [194, 194, 194, 194, 198], 0x79D4, 3),
    "LTYPE": (0x4A, [188, 188, 187, 187, 191], 0xF4D1, 5),
    "VIEW": (0x54, [92, 92, 91, 149, 153], 0xAAAD, 6),
    "UCS": (0x3EF, [0, 0, 0, 105, 109], 0xB4E0, 7),
    "VPORT": (0x500, [0, 0, 0, 249, 253], 0x83FF, 8),
    "APPID": (0x512, [0, 0, 0, 0, 37], 0xDDC1, 9),
    "DIMSTYLE": (0x522, [0, 0, 0, 0, 324], 0x33F8, 10),
    "VX": (0x69F, [0, 0, 0, 0, 43], 0xC2FC, 11),
}
TABLE_ORDER = list(TABLES)

# The sentinels of "AC1009" files are the writer's; the reader does not need them, so the
# fixtures mark each section with 16 bytes of their own.
SENTINEL = bytes(range(0xA0, 0xB0))

LINE, POINT, CIRCLE, SHAPE, TEXT, ARC, TRACE = 1, 2, 3, 4, 7, 8, 9
SOLID, BLOCK, ENDBLK, INSERT, ATTDEF, ATTRIB, SEQEND = 11, 12, 13, 14, 15, 16, 17
JUMP, POLYLINE, VERTEX, LINE3D, FACE3D, DIMENSION, VIEWPORT = 18, 19, 20, 21, 22, 23, 24


class Fields(bytearray):
    """Little-endian field writer."""

    def u8(self, v):
        self += struct.pack("<B", v & 0xFF)
        return self

    def i16(self, v):
        self += struct.pack("<H", v & 0xFFFF)
        return self

    def u32(self, v):
        self += struct.pack("<I", v & 0xFFFFFFFF)
        return self

    def rd(self, *values):
        for v in values:
            self += struct.pack("<d", v)
        return self

    def text(self, s):
        data = s.encode("latin-1")
        self.i16(len(data))
        self += data
        return self

    def name(self, s, width):
        data = s.encode("latin-1")[:width]
        self += data + bytes(width - len(data))
        return self


def F():
    return Fields()


def xdata_items(*items):
    """Extended data of a record: (code, value) pairs in the pre-R13 form."""
    out = F()
    for code, value in items:
        out.u8(code - 1000)
        if code == 1000 or code == 1004:
            data = value.encode("latin-1") if isinstance(value, str) else value
            out.u8(len(data))
            out += data
        elif code in (1001, 1003):
            out.i16(value)
        elif code == 1002:
            out.u8(0 if value == "{" else 1)
        elif code == 1005:
            out += struct.pack(">Q", value)
        elif 1010 <= code <= 1013:
            out.rd(*value)
        elif 1040 <= code <= 1042:
            out.rd(value)
        elif code == 1070:
            out.i16(value)
        elif code == 1071:
            out.u32(value)
    return bytes(out)


def entity(version, kind, body=b"", *, opts=0, flags=0, layer=0, colour=None, linetype=None, elevation=None,
           thickness=None, handle=None, xdata=None, paper=False, erased=False):
    """One entity record; `flags` adds entity flags of the kind (0x04 flat, 0x80 follow)."""
    extra = (0x02 if xdata is not None else 0) | (0x04 if paper else 0)
    flags |= (0x01 if colour is not None else 0) | (0x02 if linetype is not None else 0)
    flags |= (0x04 if elevation is not None else 0) | (0x08 if thickness is not None else 0)
    flags |= (0x20 if handle is not None else 0) | (0x40 if extra else 0)
    head = F().u8(kind | (0x80 if erased else 0)).u8(flags).i16(0).i16(layer).i16(opts)
    if extra:
        head.u8(extra)
        if xdata is not None:
            head.i16(len(xdata))
            head += xdata
    if colour is not None:
        head.u8(colour)
    if linetype is not None:
        if version >= 4:
            head.i16(linetype)
        else:
            head.u8(linetype)
    if elevation is not None:
        head.rd(elevation)
    if thickness is not None:
        head.rd(thickness)
    if handle is not None:
        data = handle.to_bytes(8, "big").lstrip(b"\0") or b"\0"
        head.u8(len(data))
        head += data
    if paper:
        head.i16(1)
    record = bytearray(head + body)
    length = len(record) + (2 if version >= 4 else 0)
    struct.pack_into("<H", record, 2, length)
    if version >= 4:
        record += struct.pack("<H", crc16(record, 0xC0C1))
    return bytes(record)


def jump(target):
    return bytes(F().u8(JUMP).u8(0).i16(8).u32(target))


def table_record(version, table, name, fields=b"", flags=0, xref=-1):
    size = TABLES[table][1][version]
    record = F().u8(flags).name(name, 32)
    if version >= 4:
        record.i16(xref)
    record += fields
    if version >= 4:
        record = record[: size - 2]
        record += bytes(size - 2 - len(record))
        record += struct.pack("<H", crc16(record) ^ TABLES[table][2])
    else:
        record = record[:size]
        record += bytes(size - len(record))
    return bytes(record)


def erased_record(version, table, name="ERASED"):
    return table_record(version, table, name, flags=0x80)


class DwgFile:
    """A file put together from its parts; offsets are computed when it is built."""

    def __init__(self, version):
        self.version = version
        self.tables = {name: [] for name in TABLES}
        self.entities = []  # record bytes, or a function of the entity offsets giving them
        self.blocks = []  # (name, flags, records) with records as for entities
        self.extra = []  # records of the extra entity section
        self.header = {}  # offset: bytes
        self.handles = None  # HANDSEED when the drawing uses handles
        self.first_viewport = 0

    def add_block(self, name, base, records, flags=0, path=None, opts=0):
        body = F().rd(base[0], base[1])
        if self.version >= 4:
            opts |= 0x04
            if path is not None:
                opts |= 0x02
                body.text(path)
            body.text(name)
        self.blocks.append((name, flags, [entity(self.version, BLOCK, bytes(body), opts=opts)] + records +
                            [entity(self.version, ENDBLK)]))

    def build(self):
        v = self.version
        header = bytearray(HEADER_SIZE[v])
        header[0:6] = VERSIONS[v].encode()
        header[0x0C] = 0 if v == 0 else 1
        header[0x0D] = 3
        header[0x0F] = 5
        header[0x11] = LAYOUT_NUMBER[v]
        defaults = {
            0x0C8: struct.pack("<3d", 6.0, 4.5, 0.0), 0x0E0: struct.pack("<d", 9.0), 0x0EA: struct.pack("<2d", 1, 1),
            0x12A: struct.pack("<h", 1), 0x12C: struct.pack("<h", 1), 0x130: struct.pack("<h", 2),
            0x132: struct.pack("<d", 1.0), 0x13A: struct.pack("<d", 0.2), 0x142: struct.pack("<d", 0.05),
            0x164: struct.pack("<h", 2), 0x166: struct.pack("<h", 4), 0x192: struct.pack("<h", 1),
            0x194: b"acad", 0x1A3: struct.pack("<d", 1.0), 0x239: struct.pack("<3d", 0, 0, 1),
            0x31B: struct.pack("<h", 256), 0x31D: struct.pack("<h", 32767 if v >= 4 else 256),
        }
        if v >= 3:
            defaults[0x413] = struct.pack("<3d", 1, 0, 0)
            defaults[0x42B] = struct.pack("<3d", 0, 1, 0)
            defaults[0x510] = struct.pack("<H", 0xFFFF)
            if self.handles is not None:
                defaults[0x4EC] = struct.pack("<h", 1)
                defaults[0x4EE] = struct.pack(">Q", self.handles)
        if v >= 4:
            defaults[0x52C] = struct.pack("<H", 0xFFFF)
            defaults[0x62F] = struct.pack("<H", 0xFFFF)
            defaults[0x6A9] = struct.pack("<h", 16)
        for offset, data in {**defaults, **self.header}.items():
            if offset + len(data) <= len(header):
                header[offset:offset + len(data)] = data

        sentinel = SENTINEL if v >= 4 else b""
        entity_start = len(header) + len(sentinel)
        # Entity records may depend on where the entities lie (jumps back, viewport offsets).
        offsets = []
        position = entity_start
        sized = [e if isinstance(e, bytes) else e(None) for e in self.entities]
        for record in sized:
            offsets.append(position)
            position += len(record)
        entities = b"".join(e if isinstance(e, bytes) else e(offsets) for e in self.entities)
        entity_end = entity_start + len(entities)

        body = bytearray(header) + sentinel + entities
        block_offsets = []
        relative = 0
        for _, _, records in self.blocks:
            block_offsets.append(relative)
            relative += sum(len(r) for r in records)
        block_records = [table_record(v, "BLOCK", name, self.block_fields(block_offsets[i]), flags=flags)
                         for i, (name, flags, _) in enumerate(self.blocks)]
        self.tables["BLOCK"] = block_records + self.tables["BLOCK"]

        heads = {}
        vx = [r if isinstance(r, bytes) else r(offsets) for r in self.tables["VX"]]
        self.tables["VX"] = vx
        for table in TABLE_ORDER:
            size = TABLES[table][1][v]
            if size == 0:
                continue
            if v >= 4:
                body += SENTINEL
            heads[table] = (size, len(self.tables[table]), len(body))
            for record in self.tables[table]:
                body += record
            if v >= 4:
                body += SENTINEL
        if v >= 4:
            body += SENTINEL
        block_start = len(body)
        for _, _, records in self.blocks:
            for record in records:
                body += record
        block_size = len(body) - block_start
        third_end = block_start + block_size
        if v >= 4:
            third_end += 32
            body += SENTINEL * 4
            trailer = F().i16(16).i16(138).u32(entity_start).u32(entity_end).u32(block_start).u32(third_end)
            trailer.i16(0).rd(0).i16(10)
            for table in TABLE_ORDER:
                size, count, offset = heads[table]
                trailer.i16(TABLES[table][3]).i16(size).i16(count).u32(offset)
            trailer.u32(third_end + 16)
            trailer += bytes(136 - len(trailer))
            trailer += struct.pack("<H", crc16(trailer) ^ 0xA904)
            body += trailer + SENTINEL
        extra_start = len(body)
        for record in self.extra:
            body += record if isinstance(record, bytes) else record(offsets)
        extra_size = len(body) - extra_start

        struct.pack_into("<IIIIII", body, 0x14, entity_start, entity_end, block_start, block_size | 0x40000000,
                         extra_start if self.extra else third_end, extra_size | 0x80000000)
        for table in TABLE_ORDER:
            if table in heads:
                struct.pack_into("<HII", body, TABLES[table][0], *heads[table])
        if v >= 4:
            struct.pack_into("<H", body, 0x635, self.first_viewport)
            struct.pack_into("<H", body, len(header) - 2, crc16(body[:len(header) - 2]) ^ 0x6718)
        return bytes(body)

    def block_fields(self, offset):
        if self.version >= 4:
            return bytes(F().u32(offset | 0x40000000).u32(0xFFFFFFFF))
        return bytes(F().u32(offset | 0x40000000))


# --- Table record fields


def ltype(version, name, description, lengths, alignment=ord("A"), count=None):
    fields = F().name(description, 48).u8(alignment).u8(len(lengths) if count is None else count)
    fields.rd(sum(abs(x) for x in lengths))
    for length in lengths[:12]:
        fields.rd(length)
    return table_record(version, "LTYPE", name, bytes(fields), flags=64)


def layer(version, name, colour, linetype, flags=0):
    return table_record(version, "LAYER", name, bytes(F().i16(colour).i16(linetype)), flags=flags)


def style(version, name, font, big_font="", flags=0, width=1.0, height=0.0):
    fields = F().rd(height, width, 0.0).u8(0).rd(0.2).name(font, 64).name(big_font, 64)
    return table_record(version, "STYLE", name, bytes(fields), flags=flags)


def vport(version, name, flags=0):
    fields = F().rd(0, 0, 1, 1).rd(0, 0, 0).rd(0, 0, 1).rd(0.0, 9.0).rd(6.0, 4.5).rd(1.38, 50.0, 0.0, 0.0)
    for value in (0, 100, 1, 1, 0, 0, 0, 0):
        fields.i16(value)
    fields.rd(0.0).rd(0, 0).rd(1, 1).rd(0.5, 0.5)
    return table_record(version, "VPORT", name, bytes(fields), flags=flags)


def view(version, name, paper=False):
    fields = F().rd(5.0).rd(2.0, 3.0).rd(7.0).rd(0, 0, 1)
    if version >= 3:
        fields.i16(1 if paper else 0).rd(1, 2, 3).rd(35.0, 0.25, 0.5, 0.75).i16(3)
    return table_record(version, "VIEW", name, bytes(fields))


def ucs(version, name):
    return table_record(version, "UCS", name, bytes(F().rd(1, 2, 3).rd(0, 1, 0).rd(-1, 0, 0)))


def dimstyle(version, name, arrow):
    fields = F().rd(2.0, 0.25, 0.0625, 0.38, 0.18, 0.0, 0.0, 0.0, 0.0, 0.18, 0.09, 0.0, 25.4, 1.0, 0.0)
    for value in (0, 0, 1, 1, 0, 0, 1, 0, 0, 2, 0, 1, 0, 0):
        fields.u8(value)
    fields.name("mm", 16).name("", 16).name(arrow, 33).name("", 33).name("", 33)
    fields.i16(1).i16(2).i16(3).rd(1.0).rd(0.09)
    return table_record(version, "DIMSTYLE", name, bytes(fields))


def vx(version, name, next_index, viewport=None):
    """A viewport entity header; `viewport` is the entity index of its VIEWPORT."""

    def build(offsets):
        offset = 0 if viewport is None or offsets is None else offsets[viewport]
        return table_record(version, "VX", name, bytes(F().u32(offset).i16(next_index)))

    return build


def standard_tables(f):
    v = f.version
    f.tables["LTYPE"] = [ltype(v, "CONTINUOUS", "Solid line", []),
                         ltype(v, "DASHED", "__ __ __", [0.5, -0.25])]
    f.tables["LAYER"] = [layer(v, "0", 7, 0), layer(v, "WALLS", -3, 1, flags=1)]
    f.tables["STYLE"] = [style(v, "STANDARD", "txt")]


# --- Entity bodies


def text_body(insertion, height, value):
    return F().rd(*insertion).rd(height).text(value)


def kinds_ac1009():
    """Every entity kind of "AC1009" with its optional fields, in a drawing with handles."""
    v = 4
    f = DwgFile(v)
    f.handles = 0x200
    standard_tables(f)
    f.tables["LAYER"].insert(1, erased_record(v, "LAYER", "OLD"))
    f.tables["LAYER"].append(layer(v, "DOORS", 5, 0))
    f.tables["STYLE"].append(style(v, "", "ltypeshp.shx", "ignored", flags=1))
    f.tables["VIEW"] = [view(v, "TOP", paper=True)]
    f.tables["UCS"] = [ucs(v, "TILTED")]
    f.tables["VPORT"] = [vport(v, "*ACTIVE", flags=0x80), vport(v, "*ACTIVE")]
    f.tables["APPID"] = [table_record(v, "APPID", "ACAD", flags=64), table_record(v, "APPID", "MYAPP")]
    f.tables["DIMSTYLE"] = [dimstyle(v, "METRIC", "ARROW")]
    # The viewport entity headers: the first without a viewport, then the chain 2 -> 1.
    f.tables["VX"] = [vx(v, "", 0), vx(v, "1", 0, viewport=19), vx(v, "", 1, viewport=18)]
    f.first_viewport = 2

    h = iter(range(0x100, 0x200))
    E = lambda kind, body=b"", **kw: entity(v, kind, bytes(body), handle=next(h), **kw)
    xdata = xdata_items((1001, 1), (1000, "note"), (1002, "{"), (1070, 7), (1071, 70000), (1040, 2.5),
                        (1010, (1.0, 2.0, 3.0)), (1003, 2), (1005, 0x1A2B), (1004, b"\x01\x02"), (1002, "}"))
    f.entities = [
        E(LINE, F().rd(1, 2, 3).rd(4, 5, 6).rd(0, 0, -1), opts=0x01, colour=1, linetype=1, thickness=0.5,
          xdata=xdata, layer=2),
        E(LINE, F().rd(1, 2).rd(4, 5), flags=0x04),
        E(POINT, F().rd(1, 2, 3).rd(0, 0, -1).rd(0.5), opts=0x03),
        E(CIRCLE, F().rd(3, 1).rd(-2.0), elevation=2.0),
        E(SHAPE, F().rd(6, 6).rd(1.0).u8(131).rd(0.5).u8(1).rd(0.75).rd(0.1), opts=0x0F),
        E(TEXT, text_body((1, 4), 0.75, "FOO").rd(0.1).rd(150.0).rd(0.2).u8(0).u8(2).u8(1).rd(3, 4).u8(2),
          opts=0x17F, elevation=2.0),
        E(ARC, F().rd(5, 5).rd(1.0).rd(4.71238898, 0.0), elevation=5.0),
        E(TRACE, F().rd(0, 0, 1, 0, 0, 1, 1, 1), elevation=2.0),
        E(SOLID, F().rd(7, 1, 8, 2, 7, 3, 8, 4).rd(0, 0, 1), opts=0x01),
        E(ATTDEF, F().rd(9, 5).rd(0.2).text("3").text("PROMPT").text("TAG1").u8(8).u8(12).rd(1.0471975512),
          opts=0x03),
        E(INSERT, F().i16(1).rd(6, 1).rd(0.0, 0.5, 0.5235987756, 2.0).i16(2).i16(0).rd(1.5, 2.5), opts=0xFF,
          elevation=3.0),
        E(INSERT, F().i16(0).rd(2, 2), flags=0x80),
        E(ATTRIB, F().rd(2, 2).rd(0.1).text("4").text("TAG1").u8(0).u8(5).rd(1.5707963268), opts=0x03),
        E(SEQEND, F().u32(0)),
        E(POLYLINE, F().u8(64).i16(4).i16(2), opts=0x31, flags=0x80),
        E(VERTEX, F().rd(0, 0).u8(192), opts=0x08),
        E(VERTEX, F().u8(128).i16(1).i16(2).i16(-3), opts=0x4000 | 0x08 | 0x20 | 0x40 | 0x80),
        E(SEQEND, F().u32(0)),
        E(VIEWPORT, F().rd(5, 4, 0).rd(10, 8).i16(1), paper=True,
          xdata=xdata_items((1001, 0), (1000, "MVIEW"), (1002, "{"), (1070, 16), (1010, (1, 2, 3)),
                            (1010, (0, 0, 1)), (1040, 0.1), (1040, 8.0), (1040, 4.0), (1040, 3.0), (1040, 50.0),
                            (1040, 0.0), (1040, 0.0), (1070, 1), (1070, 100), (1070, 1), (1070, 3), (1070, 1),
                            (1070, 0), (1070, 0), (1070, 2), (1040, 0.0), (1040, 0.0), (1040, 0.0), (1040, 1.0),
                            (1040, 1.0), (1040, 0.5), (1040, 0.5), (1070, 0), (1002, "{"), (1003, 2),
                            (1002, "}"), (1002, "}"))),
        E(VIEWPORT, F().rd(5, 4, 0).rd(4, 3).i16(2), paper=True),
        E(LINE, F().rd(0, 0, 0).rd(1, 1, 0), paper=True, erased=True),
        E(DIMENSION, F().i16(2).rd(8, 8).rd(0.0).rd(7.5, 8.5).rd(1, 1).u8(1).text("<>").rd(6, 8, 2).rd(7, 7, 3)
          .rd(0.5).rd(0.1).rd(0.2).rd(0.3).rd(0.4).rd(0.6).rd(0, 0, 1).i16(0),
          opts=0x01 | 0x02 | 0x04 | 0x08 | 0x10 | 0x100 | 0x200 | 0x400 | 0x800 | 0x1000 | 0x2000 | 0x4000 | 0x8000),
        jump(0x80000000),
        E(LINE3D, F().rd(5, 9, 6).rd(10, 7, 8)),
        E(FACE3D, F().rd(0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0).i16(5), opts=0x01),
    ]
    # The POLYLINE record in the extra section stands for one in the entities, reached by the
    # jump above; the run goes back to the 3DLINE after the jump.
    f.extra = [E(POLYLINE, F().u8(1), opts=0x01, flags=0x80),
               E(VERTEX, F().rd(1, 1)),
               E(SEQEND, F().u32(0)),
               lambda offsets: jump(0 if offsets is None else offsets[23])]
    f.add_block("ARROW", (0, 0, 0), [E(SOLID, F().rd(0, 0, -1, 0.2, -1, -0.2, -1, -0.2))])
    f.add_block("BLOCK1", (1, 2, 0), [E(LINE, F().rd(0, 0, 0).rd(1, 1, 0), layer=0, colour=0, linetype=32766)])
    f.add_block("*D1", (0, 0, 0), [E(LINE, F().rd(6, 8, 0).rd(7, 9, 0), colour=0, linetype=32766)], flags=1)
    f.add_block("XREF", (0, 0, 0), [], flags=4, path="c:\\xref\\part.dwg")
    return f


def kinds_ac1006():
    """The "AC1006" forms: handles, flat entities, DIMENSION with horizontal direction and
    extrusion, VERTEX with extrusion, and a VIEWPORT that reads nothing."""
    v = 3
    f = DwgFile(v)
    f.handles = 0x80
    standard_tables(f)
    f.tables["VIEW"] = [view(v, "FRONT")]
    f.tables["VPORT"] = [vport(v, "*ACTIVE")]
    h = iter(range(0x20, 0x80))
    E = lambda kind, body=b"", **kw: entity(v, kind, bytes(body), handle=next(h), **kw)
    f.entities = [
        E(LINE, F().rd(1, 2).rd(3, 4), flags=0x04, linetype=0),
        E(TEXT, text_body((1, 1), 0.5, "AC1006").rd(0, 0, -1), opts=0x80),
        E(POLYLINE, F().u8(8).rd(0, 0, 1), opts=0x09, flags=0x80),
        E(VERTEX, F().rd(1, 2).rd(0, 0, 1), opts=0x20, elevation=1.5),
        E(SEQEND, F().u32(0)),
        E(DIMENSION, F().i16(0).rd(8, 8, 1).rd(7, 8).u8(0).rd(2, 2, 2).rd(3, 3, 3).rd(0.75).rd(0, 0, -1),
          opts=0x02 | 0x08 | 0x10 | 0x2000 | 0x4000),
        E(VIEWPORT),
        E(INSERT, F().i16(0).rd(1, 1).rd(0, 0, -1), opts=0x100),
    ]
    f.add_block("*D0", (0, 0, 0), [E(LINE, F().rd(0, 0, 0).rd(1, 1, 0))], flags=1)
    return f


def kinds_ac1004():
    """The "AC1004" forms: no handles, optional z values of 3DLINE and 3DFACE, a one-byte
    linetype (255 for BYBLOCK), and a VIEW without lens length."""
    v = 2
    f = DwgFile(v)
    standard_tables(f)
    f.tables["VIEW"] = [view(v, "OLD")]
    E = lambda kind, body=b"", **kw: entity(v, kind, bytes(body), **kw)
    f.entities = [
        E(LINE, F().rd(1, 2).rd(3, 4), elevation=2.0, linetype=255),
        E(LINE3D, F().rd(1, 2).rd(7.0).rd(3, 4), opts=0x01, linetype=1),
        E(FACE3D, F().rd(0, 0).rd(1, 0).rd(5.0).rd(1, 1).rd(0, 1).rd(6.0), opts=0x02 | 0x08),
        E(DIMENSION, F().i16(0).rd(8, 8).rd(7, 8).rd(6, 8).rd(7, 7), opts=0x18),
        E(INSERT, F().i16(0).rd(1, 1).rd(0.0), opts=0x01),
    ]
    f.add_block("*D0", (0, 0, 0), [E(LINE, F().rd(0, 0).rd(1, 1))], flags=1 | 4)
    return f


def kinds_ac1002():
    """"AC1002": 3DLINE, 3DFACE and DIMENSION records carry nothing; record counts keep 16 bits."""
    v = 0
    f = DwgFile(v)
    standard_tables(f)
    E = lambda kind, body=b"", **kw: entity(v, kind, bytes(body), **kw)
    f.entities = [E(LINE, F().rd(1, 2).rd(3, 4)), E(LINE3D), E(FACE3D), E(DIMENSION), E(POINT, F().rd(9, 9))]
    data = bytearray(f.build())
    # The high half of a count field means nothing in these files.
    struct.pack_into("<H", data, TABLES["LAYER"][0] + 4, 0x8009)
    return bytes(data)


def edges_ac1009():
    """Values the reader corrects: a width factor of 150, an INSERT scale of 0, 20 linetype
    dashes, a shape style's big-font name."""
    v = 4
    f = DwgFile(v)
    standard_tables(f)
    f.tables["LTYPE"].append(ltype(v, "MANY", "twenty", [0.1] * 12, count=20))
    f.tables["STYLE"].append(style(v, "", "shapes.shx", "bigfont.shx", flags=1))
    E = lambda kind, body=b"", **kw: entity(v, kind, bytes(body), **kw)
    f.entities = [
        E(TEXT, text_body((0, 0), 1.0, "WIDE").rd(150.0), opts=0x02),
        E(INSERT, F().i16(0).rd(1, 1).rd(0.0).rd(1e-13), opts=0x03),
        E(CIRCLE, F().rd(0, 0).rd(-1.0)),
    ]
    f.add_block("B", (0, 0, 0), [])
    return f


def anonymous_blocks():
    """Two anonymous blocks stored under the one bare name "*D", each inserted once."""
    v = 4
    f = DwgFile(v)
    standard_tables(f)
    E = lambda kind, body=b"", **kw: entity(v, kind, bytes(body), **kw)
    f.entities = [E(INSERT, F().i16(0).rd(0, 0)), E(INSERT, F().i16(1).rd(5, 5))]
    f.add_block("*D", (0, 0, 0), [E(LINE, F().rd(0, 0, 0).rd(1, 1, 0))], flags=1)
    f.add_block("*D", (0, 0, 0), [E(CIRCLE, F().rd(0, 0).rd(2.0))], flags=1)
    return f


def wide_polyline_ac1009():
    """A 2D POLYLINE with default widths 0.5 and 0.25: a VERTEX without widths of its own, one
    with its own start width 2.0; the twin of the DXF text in dwg12_load_test.cpp."""
    v = 4
    f = DwgFile(v)
    standard_tables(f)
    E = lambda kind, body=b"", **kw: entity(v, kind, bytes(body), **kw)
    f.entities = [
        E(POLYLINE, F().rd(0.5).rd(0.25), opts=0x06, flags=0x80),
        E(VERTEX, F().rd(0, 0)),
        E(VERTEX, F().rd(1, 0).rd(2.0), opts=0x01),
        E(SEQEND, F().u32(0)),
    ]
    return f


def damaged():
    """Files whose entity sections are damaged, each from a small "AC1004" drawing."""

    def base(entities):
        f = DwgFile(2)
        standard_tables(f)
        f.entities = entities
        return f

    line = entity(2, LINE, bytes(F().rd(1, 2).rd(3, 4)))
    long_record = bytearray(line)
    struct.pack_into("<H", long_record, 2, 0x4000)
    # Block "A" lost its ENDBLK: its entities run into those of block "B".
    no_endblk = base([line])
    no_endblk.add_block("A", (0, 0, 0), [line])
    name, flags, records = no_endblk.blocks[-1]
    no_endblk.blocks[-1] = (name, flags, records[:-1])
    no_endblk.add_block("B", (0, 0, 0), [line, line])
    return {
        "block_without_endblk": no_endblk.build(),
        "jump_beyond_file": base([line, jump(0x00100000), line]).build(),
        "jump_loop": base([line, lambda offsets: jump(0 if offsets is None else offsets[0])]).build(),
        "record_past_section": base([line, bytes(long_record)]).build(),
    }


def write(path, data):
    path.write_bytes(data)
    print(f"{path}: {len(data)} bytes")


def main():
    here = pathlib.Path(__file__).resolve().parent
    out = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else here
    corpus = pathlib.Path(sys.argv[2]) if len(sys.argv) > 2 else here.parents[1] / "fuzz" / "corpus" / "dwg12_reader"
    fixtures = {
        "kinds_ac1009": kinds_ac1009().build(),
        "kinds_ac1006": kinds_ac1006().build(),
        "kinds_ac1004": kinds_ac1004().build(),
        "kinds_ac1002": kinds_ac1002(),
        "edges_ac1009": edges_ac1009().build(),
        "anonymous_blocks": anonymous_blocks().build(),
        "wide_polyline_ac1009": wide_polyline_ac1009().build(),
        **damaged(),
    }
    out.mkdir(parents=True, exist_ok=True)
    for name, data in fixtures.items():
        write(out / f"{name}.dwg", data)
    corpus.mkdir(parents=True, exist_ok=True)
    for name in ("kinds_ac1009", "kinds_ac1006", "kinds_ac1004", "kinds_ac1002", "edges_ac1009", "anonymous_blocks",
                 "block_without_endblk", "jump_loop"):
        write(corpus / f"{name}.dwg", fixtures[name])


if __name__ == "__main__":
    main()
