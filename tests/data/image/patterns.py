"""Reference pictures of the image decoder fixtures. tests/app/image/decode/fixture_patterns.h
computes the same pictures; both must change together."""

# Indexed pattern: W x H, 16 colours, runs of three equal pixels along each row.
INDEXED_W, INDEXED_H = 13, 5


def indexed_index(x, y):
    return ((x // 3) * 5 + y) % 16


def indexed_palette(i):
    return (i * 16, 255 - i * 16, (i * 37) % 256)  # red, green, blue


# Bilevel pattern: wide enough to cross a byte boundary.
BILEVEL_W, BILEVEL_H = 11, 5


def bilevel_index(x, y):
    return (x * y + x + y) % 2


BILEVEL_PALETTE = [(10, 20, 30), (200, 210, 220)]

# True-colour pattern: channel values are multiples of 8, so 5-bit channels hold them exactly.
RGB_W, RGB_H = 7, 5


def rgb_colour(x, y):
    return (x * 32, y * 48, (x + y) * 16)  # red, green, blue


# Grey pattern.
GREY_W, GREY_H = 9, 6


def grey_value(x, y):
    return (x * 28 + y * 40) % 256
