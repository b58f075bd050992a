"""Reads a Hershey glyph file (.jhf) as Debian's hershey-fonts-data ships it.

Each glyph is one record: columns 1-5 the glyph number, 6-8 the number of coordinate pairs
(the pair of left and right bounds included), then the pairs as two characters each, every
coordinate being the character's code minus ord('R'). The first pair holds the left and right
bounds; " R" lifts the pen. Y grows downwards; the baseline of the Roman glyphs is y = 9 and
their capitals stand 21 units high. A record longer than 72 characters may go on in the next
lines.
"""

from dataclasses import dataclass, field

ORIGIN = ord("R")


@dataclass
class HersheyGlyph:
    number: int
    left: int
    right: int
    strokes: list = field(default_factory=list)  # each a list of (x, y), pen down along it


def _records(text):
    """Joins continuation lines: a record ends once its pairs are all read."""
    records = []
    pending = ""
    for line in text.splitlines():
        if not pending and not line.strip():
            continue
        pending += line
        pairs = int(pending[5:8])
        if len(pending) - 8 >= 2 * pairs:
            records.append(pending)
            pending = ""
    if pending:
        raise ValueError("glyph file ends inside a record: " + pending[:8])
    return records


def parse_glyph(record):
    number = int(record[0:5])
    pairs = int(record[5:8])
    body = record[8:8 + 2 * pairs]
    if len(body) != 2 * pairs:
        raise ValueError("glyph %d: %d pairs announced, %d present" % (number, pairs, len(body) // 2))
    glyph = HersheyGlyph(number, ord(body[0]) - ORIGIN, ord(body[1]) - ORIGIN)
    stroke = []
    for i in range(2, len(body), 2):
        pair = body[i:i + 2]
        if pair == " R":
            if stroke:
                glyph.strokes.append(stroke)
            stroke = []
            continue
        stroke.append((ord(pair[0]) - ORIGIN, ord(pair[1]) - ORIGIN))
    if stroke:
        glyph.strokes.append(stroke)
    return glyph


def read_glyph_file(path):
    """The glyphs of the file in file order."""
    with open(path, encoding="ascii") as f:
        return [parse_glyph(record) for record in _records(f.read())]
