#!/usr/bin/env python3
"""Makes the image decoder fixtures in this folder. BMP, GIF, PNG, TGA, PCX and WBMP files
are written byte by byte here, so every variant is exactly the one named; JPEG and TIFF files
come from ImageMagick (`convert`). Run from anywhere: python3 make_fixtures.py"""

import os
import struct
import subprocess
import tempfile
import zlib

from patterns import *

HERE = os.path.dirname(os.path.abspath(__file__))


def out(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def indexed_rows():
    return [[indexed_index(x, y) for x in range(INDEXED_W)] for y in range(INDEXED_H)]


def bilevel_rows():
    return [[bilevel_index(x, y) for x in range(BILEVEL_W)] for y in range(BILEVEL_H)]


def rgb_rows():
    return [[rgb_colour(x, y) for x in range(RGB_W)] for y in range(RGB_H)]


def grey_rows():
    return [[grey_value(x, y) for x in range(GREY_W)] for y in range(GREY_H)]


def pack_indices(row, bits):
    """Packs indices into bytes, leftmost pixel in the most significant bits."""
    out_bytes = bytearray()
    per_byte = 8 // bits
    for i in range(0, len(row), per_byte):
        b = 0
        for j in range(per_byte):
            v = row[i + j] if i + j < len(row) else 0
            b |= v << (8 - bits * (j + 1))
        out_bytes.append(b)
    return bytes(out_bytes)


def pad4(data):
    return data + b"\0" * (-len(data) % 4)


# ---------------------------------------------------------------- BMP

def bmp_file(info, palette, pixels, file_header=True):
    body = info + palette
    if not file_header:
        return body + pixels
    off = 14 + len(body)
    return b"BM" + struct.pack("<IHHI", off + len(pixels), 0, 0, off) + body + pixels


def bmp_info(w, h, bits, compression=0, size_image=0, colours=0, ppm=(3780, 3780), size=40):
    return struct.pack("<IiiHHIIiiII", size, w, h, 1, bits, compression, size_image, ppm[0], ppm[1], colours, 0)


def quad_palette(colours):
    return b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in colours)


def bmp_indexed_rows(rows, bits):
    return b"".join(pad4(pack_indices(r, bits)) for r in reversed(rows))


def rle_encode(row, nibbles):
    """BMP RLE of one row: runs of equal pixels, absolute blocks of three or more others."""
    out_bytes = bytearray()
    i = 0
    n = len(row)
    while i < n:
        j = i
        while j + 1 < n and row[j + 1] == row[i] and j + 1 - i < 254:
            j += 1
        if j > i:  # run of j - i + 1 equal pixels
            count = j - i + 1
            value = (row[i] << 4 | row[i]) if nibbles else row[i]
            out_bytes += bytes([count, value])
            i = j + 1
            continue
        k = i  # literal stretch up to the next pair of equal pixels
        while k < n and not (k + 1 < n and row[k + 1] == row[k]) and k - i < 254:
            k += 1
        lit = row[i:k]
        if len(lit) < 3:
            for v in lit:
                out_bytes += bytes([1, (v << 4 | v) if nibbles else v])
        else:
            if nibbles:
                data = pack_indices(lit, 4)
                out_bytes += bytes([0, len(lit)]) + data
                if len(data) % 2:
                    out_bytes += b"\0"
            else:
                out_bytes += bytes([0, len(lit)]) + bytes(lit)
                if len(lit) % 2:
                    out_bytes += b"\0"
        i = k
    return bytes(out_bytes)


def rle_image(rows, nibbles):
    data = b"".join(rle_encode(r, nibbles) + b"\0\0" for r in reversed(rows))
    return data[:-2] + b"\0\1"


def make_bmp():
    pal16 = [indexed_palette(i) for i in range(16)]
    rows = indexed_rows()
    w, h = INDEXED_W, INDEXED_H
    out("bmp_4bit.bmp", bmp_file(bmp_info(w, h, 4), quad_palette(pal16), bmp_indexed_rows(rows, 4)))
    out("bmp_8bit.bmp", bmp_file(bmp_info(w, h, 8, colours=16), quad_palette(pal16), bmp_indexed_rows(rows, 8)))
    rle8 = rle_image(rows, False)
    out("bmp_rle8.bmp", bmp_file(bmp_info(w, h, 8, 1, len(rle8), 16), quad_palette(pal16), rle8))
    rle4 = rle_image(rows, True)
    out("bmp_rle4.bmp", bmp_file(bmp_info(w, h, 4, 2, len(rle4)), quad_palette(pal16), rle4))
    # OS/2 core header with 3-byte palette entries.
    core = struct.pack("<IHHHH", 12, w, h, 1, 8)
    tri = b"".join(struct.pack("BBB", b, g, r) for (r, g, b) in pal16 + [(0, 0, 0)] * 240)
    out("bmp_os2.bmp", bmp_file(core, tri, bmp_indexed_rows(rows, 8)))
    # A packed DIB without the file header: the pixels follow the palette.
    out("bmp_noheader.dib", bmp_file(bmp_info(w, h, 4), quad_palette(pal16), bmp_indexed_rows(rows, 4), False))

    brows = bilevel_rows()
    out("bmp_1bit.bmp", bmp_file(bmp_info(BILEVEL_W, BILEVEL_H, 1, ppm=(11811, 11811)),
                                 quad_palette(BILEVEL_PALETTE), bmp_indexed_rows(brows, 1)))

    crow = rgb_rows()

    def rows24(rs):
        return b"".join(pad4(b"".join(struct.pack("BBB", b, g, r) for (r, g, b) in row)) for row in rs)

    out("bmp_24.bmp", bmp_file(bmp_info(RGB_W, RGB_H, 24), b"", rows24(reversed(crow))))
    out("bmp_24_topdown.bmp", bmp_file(bmp_info(RGB_W, -RGB_H, 24), b"", rows24(crow)))
    # A larger header (here 108 bytes) is accepted when its image size is exact.
    size24 = len(rows24(crow))
    v4 = bmp_info(RGB_W, RGB_H, 24, size_image=size24, size=108) + b"\0" * 68
    out("bmp_24_v4.bmp", bmp_file(v4, b"", rows24(reversed(crow))))
    rows32 = b"".join(b"".join(struct.pack("BBBB", b, g, r, 0x7F) for (r, g, b) in row) for row in reversed(crow))
    out("bmp_32.bmp", bmp_file(bmp_info(RGB_W, RGB_H, 32), b"", rows32))

    def rows16(shifts):
        data = b""
        for row in reversed(crow):
            words = b"".join(struct.pack("<H", (r >> shifts[0]) << shifts[1] | (g >> shifts[2]) << shifts[3] | b >> 3)
                             for (r, g, b) in row)
            data += pad4(words)
        return data

    out("bmp_16_555.bmp", bmp_file(bmp_info(RGB_W, RGB_H, 16), b"", rows16((3, 10, 3, 5))))
    masks = struct.pack("<III", 0xF800, 0x7E0, 0x1F)
    out("bmp_16_565.bmp", bmp_file(bmp_info(RGB_W, RGB_H, 16, 3), masks, rows16((3, 11, 2, 5))))


# ---------------------------------------------------------------- GIF

def lzw_encode(indices, min_size):
    clear, end = 1 << min_size, (1 << min_size) + 1
    size = min_size + 1
    table = {(i,): i for i in range(clear)}
    next_code = end + 1
    codes = [(clear, size)]
    w = ()
    for k in indices:
        wk = w + (k,)
        if wk in table:
            w = wk
            continue
        codes.append((table[w], size))
        if next_code < 4096:
            table[wk] = next_code
            next_code += 1
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            codes.append((clear, size))
            table = {(i,): i for i in range(clear)}
            next_code, size = end + 1, min_size + 1
        w = (k,)
    codes.append((table[w], size))
    codes.append((end, size))
    acc = nbits = 0
    data = bytearray()
    for code, bits in codes:
        acc |= code << nbits
        nbits += bits
        while nbits >= 8:
            data.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8
    if nbits:
        data.append(acc)
    return bytes(data)


def sub_blocks(data):
    out_bytes = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out_bytes += bytes([len(chunk)]) + chunk
    return bytes(out_bytes) + b"\0"


def gif_table(colours, entries):
    colours = colours + [(0, 0, 0)] * (entries - len(colours))
    return b"".join(bytes(c) for c in colours)


def gif_image(left, top, rows, min_size, interlaced=False, local=None):
    h, w = len(rows), len(rows[0])
    order = list(range(h))
    if interlaced:
        order = [y for start, step in ((0, 8), (4, 8), (2, 4), (1, 2)) for y in range(start, h, step)]
    flags = 0x40 if interlaced else 0
    table = b""
    if local:
        flags |= 0x80 | 3
        table = gif_table(local, 16)
    pixels = [v for y in order for v in rows[y]]
    return (b"," + struct.pack("<HHHHB", left, top, w, h, flags) + table + bytes([min_size]) +
            sub_blocks(lzw_encode(pixels, min_size)))


def gce(flags, delay, index):
    return b"!\xF9\x04" + struct.pack("<BHB", flags, delay, index) + b"\0"


def gif_file(w, h, colours, body, version=b"GIF89a"):
    return version + struct.pack("<HHBBB", w, h, 0xF3, 0, 0) + gif_table(colours, 16) + body + b";"


def make_gif():
    pal16 = [indexed_palette(i) for i in range(16)]
    rows = indexed_rows()
    w, h = INDEXED_W, INDEXED_H
    out("gif_indexed.gif", gif_file(w, h, pal16, gif_image(0, 0, rows, 4), b"GIF87a"))
    out("gif_interlaced.gif", gif_file(w, h, pal16, gif_image(0, 0, rows, 4, interlaced=True)))
    comment = b"!\xFE\x0Atenletters\0"[:3] + b"tenletters" + b"\0"
    loop = b"!\xFF\x0BNETSCAPE2.0\x03\x01\x03\x00\x00"
    frame1 = [[3, 15, 3, 3], [15, 3, 3, 15]]  # 15 is transparent
    for method in (1, 2):
        body = (comment + loop + gce((method << 2) | 1, 7, 15) + gif_image(0, 0, rows, 4) +
                gce((method << 2) | 1, 9, 15) + gif_image(2, 1, frame1, 4))
        out("gif_anim_dispose%d.gif" % method, gif_file(w, h, pal16, body))
    # A bigger picture of 256 colours, so that the codes grow past 9 bits.
    big = [[(x + y * 7) % 256 for x in range(64)] for y in range(48)]
    colours = [(k, 255 - k, (k * 7) % 256) for k in range(256)]
    data = (b"GIF89a" + struct.pack("<HHBBB", 64, 48, 0xF7, 0, 0) + gif_table(colours, 256) +
            gif_image(0, 0, big, 8) + b";")
    out("gif_256.gif", data)


# ---------------------------------------------------------------- PNG

def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png_file(w, h, depth, colour_type, raw_rows, extra=b"", interlace=0, pass_rows=None):
    ihdr = struct.pack(">IIBBBBB", w, h, depth, colour_type, 0, 0, interlace)
    rows = pass_rows if pass_rows is not None else raw_rows
    data = b"".join(b"\0" + r for r in rows)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + extra +
            png_chunk(b"IDAT", zlib.compress(data, 9)) + png_chunk(b"IEND", b""))


def png_plte(colours):
    return png_chunk(b"PLTE", b"".join(bytes(c) for c in colours))


def make_png():
    g2 = [[(x + y) % 4 for x in range(BILEVEL_W)] for y in range(BILEVEL_H)]
    out("png_grey2.png", png_file(BILEVEL_W, BILEVEL_H, 2, 0, [pack_indices(r, 2) for r in g2]))
    pal16 = [indexed_palette(i) for i in range(16)]
    rows = indexed_rows()
    out("png_palette4_trns0.png", png_file(INDEXED_W, INDEXED_H, 4, 3, [pack_indices(r, 4) for r in rows],
                                           png_plte(pal16) + png_chunk(b"tRNS", b"\0")))
    out("png_palette8_trns.png", png_file(INDEXED_W, INDEXED_H, 8, 3, [bytes(r) for r in rows],
                                          png_plte(pal16) + png_chunk(b"tRNS", b"\x00\x80\xFF")))
    crow = rgb_rows()
    rgba16 = []
    for y, row in enumerate(crow):
        line = b""
        for x, (r, g, b) in enumerate(row):
            a = 0 if (x, y) == (0, 0) else 65535
            line += struct.pack(">HHHH", r * 257, g * 257, b * 257, a)
        rgba16.append(line)
    out("png_rgba16.png", png_file(RGB_W, RGB_H, 16, 6, rgba16))
    rgba8 = [b"".join(bytes((r, g, b, 0 if x == 0 else 255)) for x, (r, g, b) in enumerate(row)) for row in crow]
    out("png_rgba8_bkgd.png", png_file(RGB_W, RGB_H, 8, 6, rgba8, png_chunk(b"bKGD", struct.pack(">HHH", 10, 20, 30))))
    grows = grey_rows()
    out("png_grey16.png", png_file(GREY_W, GREY_H, 16, 0,
                                   [b"".join(struct.pack(">H", v * 257) for v in r) for r in grows]))
    rgb8 = [b"".join(bytes(c) for c in row) for row in crow]
    phys = png_chunk(b"pHYs", struct.pack(">IIB", 11811, 11811, 1))
    out("png_rgb_phys.png", png_file(RGB_W, RGB_H, 8, 2, rgb8, phys))
    # Adam7: the passes' sub-images, one after the other.
    passes = ((0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2))
    pass_rows = []
    for x0, y0, dx, dy in passes:
        for y in range(y0, RGB_H, dy):
            xs = range(x0, RGB_W, dx)
            if len(xs):
                pass_rows.append(b"".join(bytes(crow[y][x]) for x in xs))
    out("png_interlaced.png", png_file(RGB_W, RGB_H, 8, 2, None, interlace=1, pass_rows=pass_rows))
    full = png_file(RGB_W, RGB_H, 8, 2, rgb8, phys)
    out("png_truncated.png", full[: len(full) - 30])


# ---------------------------------------------------------------- TGA

def tga_header(image_type, w, h, depth, descriptor=0, cmap=None):
    if cmap:
        return struct.pack("<BBBHHBHHHHBB", 0, 1, image_type, 0, cmap, 24, 0, 0, w, h, depth, descriptor)
    return struct.pack("<BBBHHBHHHHBB", 0, 0, image_type, 0, 0, 0, 0, 0, w, h, depth, descriptor)


def tga_rle(pixels):
    """Run-length packets over the whole pixel stream, so packets cross line ends."""
    out_bytes = bytearray()
    i = 0
    while i < len(pixels):
        j = i
        while j + 1 < len(pixels) and pixels[j + 1] == pixels[i] and j - i < 127:
            j += 1
        if j > i:
            out_bytes += bytes([0x80 | (j - i)]) + pixels[i]
            i = j + 1
        else:
            k = i
            while k + 1 < len(pixels) and pixels[k + 1] != pixels[k] and k - i < 127:
                k += 1
            if k + 1 >= len(pixels):
                k = len(pixels)
            raw = pixels[i:k] if k > i else pixels[i:i + 1]
            out_bytes += bytes([len(raw) - 1]) + b"".join(raw)
            i += len(raw)
    return bytes(out_bytes)


def make_tga():
    crow = rgb_rows()
    px24 = lambda c: bytes((c[2], c[1], c[0]))
    bottom_up = b"".join(px24(c) for row in reversed(crow) for c in row)
    top_down = b"".join(px24(c) for row in crow for c in row)
    out("tga_24.tga", tga_header(2, RGB_W, RGB_H, 24) + bottom_up)
    out("tga_24_topdown.tga", tga_header(2, RGB_W, RGB_H, 24, 0x20) + top_down)
    mirrored = b"".join(px24(c) for row in reversed(crow) for c in reversed(row))
    out("tga_24_mirrored.tga", tga_header(2, RGB_W, RGB_H, 24, 0x10) + mirrored)
    px16 = lambda c: struct.pack("<H", (c[0] >> 3) << 10 | (c[1] >> 3) << 5 | c[2] >> 3)
    out("tga_16.tga", tga_header(2, RGB_W, RGB_H, 16) + b"".join(px16(c) for row in reversed(crow) for c in row))
    out("tga_32.tga", tga_header(2, RGB_W, RGB_H, 32) +
        b"".join(px24(c) + b"\x80" for row in reversed(crow) for c in row))
    # Runs that cross line ends: rows of 4 pixels where each row ends and the next starts alike.
    runs = [[(8, 8, 8), (16, 16, 16), (40, 40, 40), (40, 40, 40)],
            [(40, 40, 40), (40, 40, 40), (64, 0, 0), (0, 64, 0)],
            [(0, 0, 64), (64, 64, 0), (64, 64, 0), (64, 64, 0)],
            [(64, 64, 0), (1, 2, 3), (4, 5, 6), (7, 8, 9)]]
    stream = [px24(c) for row in reversed(runs) for c in row]
    out("tga_rle24.tga", tga_header(10, 4, 4, 24) + tga_rle(stream))
    pal16 = [indexed_palette(i) for i in range(16)]
    cmap = b"".join(px24(c) for c in pal16)
    rows = indexed_rows()
    idx = b"".join(bytes(r) for r in reversed(rows))
    out("tga_cmap8.tga", tga_header(1, INDEXED_W, INDEXED_H, 8, 0, 16) + cmap + idx)
    out("tga_rle_cmap8.tga", tga_header(9, INDEXED_W, INDEXED_H, 8, 0, 16) + cmap +
        tga_rle([bytes([v]) for r in reversed(rows) for v in r]))
    grows = grey_rows()
    out("tga_grey8.tga", tga_header(3, GREY_W, GREY_H, 8) + b"".join(bytes(r) for r in reversed(grows)))


# ---------------------------------------------------------------- PCX

def pcx_rle(line):
    out_bytes = bytearray()
    i = 0
    while i < len(line):
        j = i
        while j + 1 < len(line) and line[j + 1] == line[i] and j - i < 62:
            j += 1
        n = j - i + 1
        if n > 1 or line[i] >= 0xC0:
            out_bytes += bytes([0xC0 | n, line[i]])
        else:
            out_bytes.append(line[i])
        i = j + 1
    return bytes(out_bytes)


def pcx_header(w, h, bits, planes, bpl, colours16=None, res=(150, 150)):
    cmap = gif_table(colours16 or [], 16)
    return (struct.pack("<BBBBHHHHHH", 10, 5, 1, bits, 0, 0, w - 1, h - 1, res[0], res[1]) + cmap +
            struct.pack("<BBHH", 0, planes, bpl, 1) + b"\0" * 58)


def make_pcx():
    brows = bilevel_rows()
    bpl = (BILEVEL_W + 15) // 16 * 2
    data = b"".join(pcx_rle(pack_indices(r, 1).ljust(bpl, b"\0")) for r in brows)
    out("pcx_1bit.pcx", pcx_header(BILEVEL_W, BILEVEL_H, 1, 1, bpl) + data)
    pal16 = [indexed_palette(i) for i in range(16)]
    rows = indexed_rows()
    w, h = INDEXED_W, INDEXED_H
    bpl = (w + 15) // 16 * 2
    planar = b""
    for r in rows:
        for p in range(4):
            planar += pcx_rle(pack_indices([(v >> p) & 1 for v in r], 1).ljust(bpl, b"\0"))
    out("pcx_4planes.pcx", pcx_header(w, h, 1, 4, bpl, pal16) + planar)
    bpl4 = (w * 4 + 15) // 16 * 2
    packed = b"".join(pcx_rle(pack_indices(r, 4).ljust(bpl4, b"\0")) for r in rows)
    out("pcx_4bit_packed.pcx", pcx_header(w, h, 4, 1, bpl4, pal16) + packed)
    bpl8 = (w + 1) // 2 * 2
    data8 = b"".join(pcx_rle(bytes(r).ljust(bpl8, b"\0")) for r in rows)
    pal256 = gif_table(pal16, 256)
    out("pcx_8bit.pcx", pcx_header(w, h, 8, 1, bpl8) + data8 + b"\x0C" + pal256)
    out("pcx_8bit_badmarker.pcx", pcx_header(w, h, 8, 1, bpl8) + data8 + b"\x0B" + pal256)
    crow = rgb_rows()
    bplc = (RGB_W + 1) // 2 * 2
    data24 = b""
    for row in crow:
        for ch in range(3):
            data24 += pcx_rle(bytes(c[ch] for c in row).ljust(bplc, b"\0"))
    out("pcx_24.pcx", pcx_header(RGB_W, RGB_H, 8, 3, bplc) + data24)


# ---------------------------------------------------------------- WBMP

def make_wbmp():
    brows = bilevel_rows()
    out("wbmp_11x5.wbmp", bytes([0, 0, BILEVEL_W, BILEVEL_H]) + b"".join(pack_indices(r, 1) for r in brows))


# ---------------------------------------------------------------- JPEG and TIFF (ImageMagick)

def ppm(rows):
    h, w = len(rows), len(rows[0])
    return b"P6\n%d %d\n255\n" % (w, h) + b"".join(bytes(c) for row in rows for c in row)


def pgm(rows):
    h, w = len(rows), len(rows[0])
    return b"P5\n%d %d\n255\n" % (w, h) + b"".join(bytes(r) for r in rows)


def convert(source_bytes, suffix, args, name):
    with tempfile.NamedTemporaryFile(suffix=suffix) as src:
        src.write(source_bytes)
        src.flush()
        subprocess.run(["convert", src.name] + args + [os.path.join(HERE, name)], check=True)


def smooth_rows(w, h):
    return [[(x * 255 // (w - 1), y * 255 // (h - 1), 128) for x in range(w)] for y in range(h)]


def exif_app1(x_res, y_res, unit):
    """A little-endian EXIF block with X and Y resolution (rationals) and the resolution unit."""
    entries = [(282, 5, 1, 0), (283, 5, 1, 0), (296, 3, 1, unit)]
    ifd_size = 2 + 12 * len(entries) + 4
    data_offset = 8 + ifd_size
    tiff = b"II*\0" + struct.pack("<I", 8) + struct.pack("<H", len(entries))
    values = b""
    for tag, fmt, count, value in entries:
        if fmt == 5:
            tiff += struct.pack("<HHII", tag, fmt, count, data_offset + len(values))
            num, den = x_res if tag == 282 else y_res
            values += struct.pack("<II", num, den)
        else:
            tiff += struct.pack("<HHIHH", tag, fmt, count, value, 0)
    tiff += struct.pack("<I", 0) + values
    body = b"Exif\0\0" + tiff
    return b"\xFF\xE1" + struct.pack(">H", len(body) + 2) + body


def make_jpeg():
    smooth = smooth_rows(16, 16)
    convert(ppm(smooth), ".ppm", ["-quality", "95", "-sampling-factor", "1x1", "-units", "PixelsPerInch",
                                  "-density", "72"], "jpeg_rgb.jpg")
    grey = [[(x * 16 + y * 8) % 256 for x in range(16)] for y in range(16)]
    convert(pgm(grey), ".pgm", ["-quality", "95", "-units", "PixelsPerCentimeter", "-density", "118"],
            "jpeg_grey.jpg")
    convert(ppm(smooth), ".ppm", ["-quality", "95", "-colorspace", "CMYK"], "jpeg_cmyk.jpg")
    convert(ppm(smooth), ".ppm", ["-quality", "95", "-sampling-factor", "1x1", "-interlace", "JPEG"],
            "jpeg_progressive.jpg")
    with open(os.path.join(HERE, "jpeg_rgb.jpg"), "rb") as f:
        base = f.read()
    out("jpeg_exif_inch.jpg", base[:2] + exif_app1((300, 1), (300, 1), 2) + base[2:])
    out("jpeg_exif_cm.jpg", base[:2] + exif_app1((11811, 100), (11811, 100), 3) + base[2:])
    # JFIF density 0: the picture keeps 96 DPI.
    app0 = base.index(b"JFIF\0")
    zero = bytearray(base)
    zero[app0 + 7:app0 + 12] = b"\x01\x00\x00\x00\x00"
    out("jpeg_density0.jpg", bytes(zero))
    # Cut in the middle of the scan of a bigger picture.
    checks = [[((x // 4 + y // 4) % 2 * 200, x * 4, y * 4) for x in range(64)] for y in range(64)]
    convert(ppm(checks), ".ppm", ["-quality", "90"], "jpeg_truncated.jpg")
    with open(os.path.join(HERE, "jpeg_truncated.jpg"), "rb") as f:
        whole = f.read()
    out("jpeg_truncated.jpg", whole[: len(whole) * 2 // 3])


def make_tiff():
    common = ["-define", "tiff:rows-per-strip=2"]
    crow = rgb_rows()
    convert(ppm(crow), ".ppm", ["-compress", "None"], "tif_rgb.tif")
    grows = grey_rows()
    with tempfile.TemporaryDirectory() as d:
        a = os.path.join(d, "a.ppm")
        b = os.path.join(d, "b.pgm")
        open(a, "wb").write(ppm(crow))
        open(b, "wb").write(pgm(grows))
        subprocess.run(["convert", a, b, "-compress", "None", os.path.join(HERE, "tif_multipage.tif")], check=True)
    convert(pgm(grows), ".pgm", common + ["-compress", "LZW", "-depth", "8"], "tif_grey8_lzw.tif")
    convert(pgm(grows), ".pgm", common + ["-compress", "None", "-depth", "16"], "tif_grey16.tif")
    convert(pgm(grows), ".pgm", common + ["-compress", "None", "-orient", "BottomRight"], "tif_orient3.tif")
    convert(pgm(grows), ".pgm", common + ["-compress", "None", "-orient", "RightTop"], "tif_orient6.tif")
    convert(pgm(grows), ".pgm", common + ["-compress", "None", "-units", "PixelsPerCentimeter", "-density",
                                          "118.11"], "tif_res_cm.tif")
    big = [[(x * 5 + y * 3) % 256 for x in range(40)] for y in range(20)]
    convert(pgm(big), ".pgm", ["-compress", "None", "-define", "tiff:tile-geometry=16x16"], "tif_tiled.tif")
    pal16 = [indexed_palette(i) for i in range(16)]
    irows = [[pal16[v] for v in r] for r in indexed_rows()]
    convert(ppm(irows), ".ppm", common + ["-compress", "None", "-type", "Palette"], "tif_palette.tif")
    # CIE L*a*b* (three samples, a and b signed) and grey with an alpha channel (from a PAM).
    convert(ppm(crow), ".ppm", common + ["-compress", "None", "-colorspace", "Lab"], "tif_lab.tif")
    pam = (b"P7\nWIDTH %d\nHEIGHT %d\nDEPTH 2\nMAXVAL 255\nTUPLTYPE GRAYSCALE_ALPHA\nENDHDR\n" % (GREY_W, GREY_H) +
           b"".join(bytes((v, 255 - 20 * x)) for r in grows for x, v in enumerate(r)))
    convert(pam, ".pam", common + ["-compress", "None"], "tif_grey_alpha.tif")
    bw = [[255 * v for v in r] for r in bilevel_rows()]
    convert(pgm(bw), ".pgm", common + ["-compress", "None", "-type", "Bilevel", "-depth", "1", "-define",
                                       "quantum:polarity=min-is-white"], "tif_miniswhite.tif")


if __name__ == "__main__":
    make_bmp()
    make_gif()
    make_png()
    make_tga()
    make_pcx()
    make_wbmp()
    make_jpeg()
    make_tiff()
