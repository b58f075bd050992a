#!/usr/bin/env python3
"""Writes the seed corpora of the image decoder fuzz harnesses under tests/fuzz/corpus/image_*/.

Seeds are the small decoder fixtures of tests/data/image (copied as they are) and a few
hand-made files, built with the fixture script's own writers, for paths the fixtures do not
reach: RLE deltas and runs past the line, palettes larger than the bit depth, true-colour and
interlaced GIFs, JPEG restart markers, tiled LZW TIFFs and the like. ImageMagick (`convert`)
makes the JPEG and TIFF seeds, as it makes those fixtures.

Inputs that open-ended fuzzing found (fixed in the decoders) sit beside the seeds as
finding-*.<ext>; this script writes only its own files and never removes those.

Run from anywhere: python3 tests/fuzz/make_image_corpora.py. The files are committed; run it
again only when the harness input changes.
"""
import os
import shutil
import struct
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURES = os.path.join(HERE, "..", "data", "image")
sys.path.insert(0, FIXTURES)

import make_fixtures as fx  # noqa: E402  (the fixture writers)
from patterns import *  # noqa: E402,F401,F403

# Fixtures larger than this are left out: seeds stay a few hundred bytes.
MAX_SEED = 1000

CORPORA = {
    "image_bmp": ("bmp_", ".dib"),
    "image_gif": ("gif_",),
    "image_jpeg": ("jpeg_",),
    "image_png": ("png_",),
    "image_tiff": ("tif_",),
    "image_tga": ("tga_",),
    "image_pcx": ("pcx_",),
    "image_wbmp": ("wbmp_",),
}


def folder(corpus):
    return os.path.join(HERE, "corpus", corpus)


def seed(corpus, name, data):
    with open(os.path.join(folder(corpus), name), "wb") as f:
        f.write(data)


def copy_fixtures():
    for corpus, prefixes in CORPORA.items():
        os.makedirs(folder(corpus), exist_ok=True)
        for name in sorted(os.listdir(FIXTURES)):
            path = os.path.join(FIXTURES, name)
            if name.endswith(".py") or os.path.getsize(path) > MAX_SEED:
                continue
            if name.startswith(prefixes[0]) or any(name.endswith(p) for p in prefixes[1:]):
                shutil.copyfile(path, os.path.join(folder(corpus), name))


def bmp_seeds():
    pal16 = fx.quad_palette([indexed_palette(i) for i in range(16)])
    # RLE8: a run past the end of its 6-pixel line, a delta, an odd absolute run, end of bitmap.
    rle8 = bytes([20, 3, 0, 0, 0, 2, 1, 1, 4, 7, 0, 3, 1, 2, 3, 0, 0, 0, 9, 5, 0, 1])
    seed("image_bmp", "rle8_delta_overrun.bmp",
         fx.bmp_file(fx.bmp_info(6, 4, 8, 1, len(rle8), 16), pal16, rle8))
    # RLE4: odd runs, an absolute run of 3 nibbles with its pad, a delta across rows.
    rle4 = bytes([5, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 2, 3, 1, 9, 0x76, 0, 0, 2, 0xAB, 0, 1])
    seed("image_bmp", "rle4_delta.bmp", fx.bmp_file(fx.bmp_info(7, 4, 4, 2, len(rle4), 16), pal16, rle4))
    # A 4-bit file that claims 20 colours: the palette holds 16.
    rows = fx.indexed_rows()
    seed("image_bmp", "palette_too_large.bmp",
         fx.bmp_file(fx.bmp_info(INDEXED_W, INDEXED_H, 4, colours=20), pal16 + b"\x01\x02\x03\x00" * 4,
                     fx.bmp_indexed_rows(rows, 4)))
    # 32 bits with bit-field masks, top-down.
    masks = struct.pack("<III", 0xFF0000, 0xFF00, 0xFF)
    pixels = b"".join(struct.pack("<I", (x * 40) << 16 | (y * 60) << 8 | 90) for y in range(3) for x in range(5))
    seed("image_bmp", "bitfields32_topdown.bmp", fx.bmp_file(fx.bmp_info(5, -3, 32, 3), masks, pixels))


def gif_seeds():
    rows = fx.indexed_rows()
    pal16 = [indexed_palette(i) for i in range(16)]
    # True colour: no global table and a first frame smaller than the screen both ways; each
    # frame brings its own table.
    frame0 = [r[:6] for r in rows[:3]]
    frame1 = [r[3:9] for r in rows[1:4]]
    body = (fx.gif_image(0, 0, frame0, 4, local=pal16) + fx.gce(1, 5, 2) +
            fx.gif_image(5, 2, frame1, 4, interlaced=True, local=list(reversed(pal16))))
    seed("image_gif", "true_colour.gif",
         b"GIF89a" + struct.pack("<HHBBB", INDEXED_W, INDEXED_H, 0, 0, 0) + body + b";")
    # A code above the next free slot (bad code, repaired) in an interlaced 2-colour frame.
    lzw = bytes([0x04, 0x3F, 0x55, 0x7F, 0x01])  # clear, codes past the table, then data ends
    seed("image_gif", "bad_codes.gif",
         b"GIF89a" + struct.pack("<HHBBB", 9, 9, 0x80, 0, 0) + b"\0\0\0\xff\xff\xff" +
         b"," + struct.pack("<HHHHB", 0, 0, 9, 9, 0x40) + bytes([2, len(lzw)]) + lzw + b"\0;")


def magick(corpus, name, source, suffix, args):
    """A seed made by ImageMagick from a PPM or PGM picture."""
    with tempfile.TemporaryDirectory() as tmp:
        target = os.path.join(tmp, name)  # absolute: the fixture writer's folder is not used
        fx.convert(source, suffix, args, target)
        with open(target, "rb") as f:
            seed(corpus, name, f.read())


def jpeg_seeds():
    smooth = fx.ppm(fx.smooth_rows(16, 16))
    magick("image_jpeg", "restart.jpg", smooth, ".ppm", ["-quality", "60", "-define", "jpeg:restart-interval=1"])


def tiff_seeds():
    magick("image_tiff", "grey4.tif", fx.pgm(fx.grey_rows()), ".pgm", ["-compress", "None", "-depth", "4"])
    wide = [[(x * 9 + y * 30) % 256 for x in range(20)] for y in range(3)]
    magick("image_tiff", "tiled_lzw.tif", fx.pgm(wide), ".pgm",
           ["-compress", "LZW", "-define", "tiff:tile-geometry=16x16"])


def png_seeds():
    grows = fx.grey_rows()
    seed("image_png", "grey_alpha8.png",
         fx.png_file(GREY_W, GREY_H, 8, 4, [b"".join(bytes((v, 255 - v)) for v in r) for r in grows]))
    seed("image_png", "grey_alpha16.png",
         fx.png_file(GREY_W, GREY_H, 16, 4, [b"".join(struct.pack(">HH", v * 257, 65535) for v in r) for r in grows]))
    seed("image_png", "grey1.png",
         fx.png_file(BILEVEL_W, BILEVEL_H, 1, 0, [fx.pack_indices(r, 1) for r in fx.bilevel_rows()]))


def tga_seeds():
    # A run-length 16-bit file whose packets cross the line ends, top-down and right-to-left.
    px16 = [struct.pack("<H", v) for v in (0x7FFF, 0x7FFF, 0x7FFF, 0x001F, 0x03E0, 0x7C00, 0x7C00, 0x7C00, 0x1234)]
    seed("image_tga", "rle16_flipped.tga", fx.tga_header(10, 3, 3, 16, 0x30) + fx.tga_rle(px16))
    # A colour map of 16-bit entries.
    cmap = b"".join(struct.pack("<H", i * 0x0842) for i in range(16))
    header = struct.pack("<BBBHHBHHHHBB", 0, 1, 1, 0, 16, 16, 0, 0, 4, 2, 8, 0)
    seed("image_tga", "cmap16.tga", header + cmap + bytes(range(8)))


def pcx_seeds():
    g2 = [[(x + y) % 4 for x in range(BILEVEL_W)] for y in range(BILEVEL_H)]
    bpl = (BILEVEL_W * 2 + 15) // 16 * 2
    data = b"".join(fx.pcx_rle(fx.pack_indices(r, 2).ljust(bpl, b"\0")) for r in g2)
    seed("image_pcx", "packed2.pcx", fx.pcx_header(BILEVEL_W, BILEVEL_H, 2, 1, bpl) + data)
    # Two 1-bit planes.
    bpl = (BILEVEL_W + 15) // 16 * 2
    planar = b"".join(fx.pcx_rle(fx.pack_indices([(v >> p) & 1 for v in r], 1).ljust(bpl, b"\0"))
                      for r in g2 for p in range(2))
    seed("image_pcx", "planes2.pcx", fx.pcx_header(BILEVEL_W, BILEVEL_H, 1, 2, bpl) + planar)
    # No colour plane at all: a line holds no bytes.
    seed("image_pcx", "no_planes.pcx", fx.pcx_header(4, 2, 8, 0, 2) + bytes([1, 2, 3, 4]))


def wbmp_seeds():
    seed("image_wbmp", "9x2.wbmp", bytes([0, 0, 9, 2, 0xAA, 0x80, 0x55, 0x00]))


if __name__ == "__main__":
    copy_fixtures()
    bmp_seeds()
    gif_seeds()
    png_seeds()
    tga_seeds()
    pcx_seeds()
    wbmp_seeds()
    jpeg_seeds()
    tiff_seeds()
