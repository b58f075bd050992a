#!/usr/bin/env python3
"""Writes flange_plate.dxf, the drawing scripts/run-sample shows: a workshop drawing of our own
that looks like a real one, small enough to commit ("AC1015" ASCII DXF, millimetres).

Model space: a flange plate of 160 x 100 with rounded corners, a bore of 40 and four holes of
12, their centre lines, the section A-A beside it with its cut faces hatched (ANSI31), and
dimensions (each drawn by its own block, as CAD programs store them): the width, the height,
the hole spacing, the bore and the plate's thickness. Notes in MTEXT.

Paper space, the current layout "A3-Sheet" (420 x 297): a border, a title block whose texts
stand left, centred and right-aligned, and a viewport that shows model space at 1:1.

    python3 make_sample_drawing.py [--check]

Justified text stores the insertion point its letters get in the built-in "SIMPLEX" font, as
CAD programs store it, measured from the Hershey glyphs (TRACEMILL_HERSHEY_GLYPHS, by default
/usr/share/hershey-fonts/rowmans.jhf).

--check compares the committed file with what the script writes and exits 1 when they differ.
"""

import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'init_data'))
from hershey_glyphs import read_glyph_file  # noqa: E402

OUTPUT = os.path.join(HERE, 'flange_plate.dxf')
# The glyphs of the built-in "SIMPLEX" font (Debian hershey-fonts-data), which the drawing's
# text styles end up with: justified text stores the insertion point they give it.
GLYPH_FILE = '/usr/share/hershey-fonts/rowmans.jhf'
GLYPHS = []


def number(value):
    """A real as DXF writes it: no trailing zeros, at least one decimal."""
    if isinstance(value, str):
        return value
    if isinstance(value, int):
        return str(value)
    text = ('%.6f' % value).rstrip('0')
    return text + '0' if text.endswith('.') else text


def dxf(groups):
    return ''.join('%3d\n%s\n' % (code, number(value)) for code, value in groups)


class Handles:
    def __init__(self, first=0x100):
        self.next = first

    def __call__(self):
        value = '%X' % self.next
        self.next += 1
        return value


HANDLES = Handles()
MODEL = '1F'   # the block record of model space
PAPER = '1B'   # the block record of the paper layout


def section(name, groups):
    return [(0, 'SECTION'), (2, name)] + groups + [(0, 'ENDSEC')]


def table(name, handle, records):
    return [(0, 'TABLE'), (2, name), (5, handle), (330, '0'), (100, 'AcDbSymbolTable'), (70, len(records))] + \
        [g for record in records for g in record] + [(0, 'ENDTAB')]


def record(kind, owner, subclass, groups, handle=None):
    return [(0, kind), (5, handle or HANDLES()), (330, owner), (100, 'AcDbSymbolTableRecord'),
            (100, subclass)] + groups


def head(kind, owner, layer, paper=False, subclass=None, colour=None, linetype=None):
    groups = [(0, kind), (5, HANDLES()), (330, owner), (100, 'AcDbEntity')]
    if paper:
        groups.append((67, 1))
    groups.append((8, layer))
    if linetype:
        groups.append((6, linetype))
    if colour is not None:
        groups.append((62, colour))
    if subclass:
        groups.append((100, subclass))
    return groups


# --- Entities. `owner` is the block record they belong to; `paper` marks paper space.

def line(owner, a, b, layer, paper=False, **style):
    return head('LINE', owner, layer, paper, 'AcDbLine', **style) + \
        [(10, a[0]), (20, a[1]), (30, 0.0), (11, b[0]), (21, b[1]), (31, 0.0)]


def circle(owner, centre, radius, layer, **style):
    return head('CIRCLE', owner, layer, False, 'AcDbCircle', **style) + \
        [(10, centre[0]), (20, centre[1]), (30, 0.0), (40, radius)]


def polyline(owner, points, layer, closed=True, paper=False, **style):
    """points: (x, y) or (x, y, bulge)."""
    groups = head('LWPOLYLINE', owner, layer, paper, 'AcDbPolyline', **style) + \
        [(90, len(points)), (70, 1 if closed else 0), (43, 0.0)]
    for point in points:
        groups += [(10, point[0]), (20, point[1])]
        if len(point) > 2 and point[2]:
            groups.append((42, point[2]))
    return groups


def solid(owner, points, layer, **style):
    corners = list(points) + [points[-1]] * (4 - len(points))
    groups = head('SOLID', owner, layer, False, 'AcDbTrace', **style)
    for i, (x, y) in enumerate(corners):
        groups += [(10 + i, x), (20 + i, y), (30 + i, 0.0)]
    return groups


def text_box(value, height, width_factor):
    """The box of the strokes of `value` in the built-in font, from its insertion point:
    (left, bottom, right, top). Hershey glyphs stand 21 units high above y = 9, downwards."""
    # The diameter sign is measured as the "O" it is drawn over.
    value = value.replace('%%c', 'O')
    scale = height / 21.0
    x, box = 0.0, [math.inf, math.inf, -math.inf, -math.inf]
    for character in value:
        glyph = GLYPHS[ord(character) - 32]
        for stroke in glyph.strokes:
            for gx, gy in stroke:
                px, py = (x + gx - glyph.left) * scale * width_factor, (9 - gy) * scale
                box = [min(box[0], px), min(box[1], py), max(box[2], px), max(box[3], py)]
        x += glyph.right - glyph.left
    return box if box[0] <= box[2] else [0.0, 0.0, 0.0, 0.0]


def justified_insertion(value, at, height, justify, rotation, width_factor=0.9):
    """Where justified text starts, as a CAD program stores it beside the alignment point."""
    left, bottom, right, top = text_box(value, height, width_factor)
    width = right - left
    x, y = at
    horizontal, vertical = justify
    x -= {0: 0.0, 1: width / 2.0, 2: width}[horizontal]
    y -= {0: 0.0, 1: min(bottom, 0.0), 2: top / 2.0, 3: top}[vertical]
    c, s = math.cos(math.radians(rotation)), math.sin(math.radians(rotation))
    dx, dy = x - at[0], y - at[1]
    return (at[0] + c * dx - s * dy, at[1] + s * dx + c * dy)


# Horizontal justification 0 left, 1 centre, 2 right; vertical 0 baseline, 1 bottom, 2 middle, 3 top.
# The style "ISO" narrows its letters to 0.9.
def text(owner, at, height, value, layer, justify=(0, 0), rotation=0.0, paper=False, **style):
    start = justified_insertion(value, at, height, justify, rotation) if justify != (0, 0) else at
    groups = head('TEXT', owner, layer, paper, 'AcDbText', **style) + \
        [(10, start[0]), (20, start[1]), (30, 0.0), (40, height), (1, value), (41, 0.9)]
    if rotation:
        groups.append((50, rotation))
    groups.append((7, 'ISO'))
    if justify != (0, 0):
        groups += [(72, justify[0]), (11, at[0]), (21, at[1]), (31, 0.0)]
    groups.append((100, 'AcDbText'))
    if justify[1]:
        groups.append((73, justify[1]))
    return groups


def mtext(owner, at, height, width, value, layer, attachment=1):
    return head('MTEXT', owner, layer, False, 'AcDbMText') + \
        [(10, at[0]), (20, at[1]), (30, 0.0), (40, height), (41, width), (71, attachment), (72, 5),
         (1, value), (7, 'ISO')]


def hatch(owner, loops, layer):
    """loops: closed polygons of (x, y), hatched with ANSI31 (45 degree lines 3.175 apart)."""
    groups = head('HATCH', owner, layer, False, 'AcDbHatch') + \
        [(10, 0.0), (20, 0.0), (30, 0.0), (210, 0.0), (220, 0.0), (230, 1.0), (2, 'ANSI31'), (70, 0), (71, 0),
         (91, len(loops))]
    for loop in loops:
        groups += [(92, 3), (72, 0), (73, 1), (93, len(loop))]
        for x, y in loop:
            groups += [(10, x), (20, y)]
        groups.append((97, 0))
    step = 3.175 / math.sqrt(2.0)
    return groups + [(75, 0), (76, 1), (52, 0.0), (41, 1.0), (77, 0), (78, 1), (53, 45.0), (43, 0.0), (44, 0.0),
                     (45, -step), (46, step), (79, 0), (98, 0)]


def viewport(owner, number_, centre, size, view_centre, view_height):
    return head('VIEWPORT', owner, 'VIEWPORTS', True, 'AcDbViewport') + \
        [(10, centre[0]), (20, centre[1]), (30, 0.0), (40, size[0]), (41, size[1]), (68, 1), (69, number_),
         (12, view_centre[0]), (22, view_centre[1]), (13, 0.0), (23, 0.0), (14, 10.0), (24, 10.0), (15, 10.0),
         (25, 10.0), (16, 0.0), (26, 0.0), (36, 1.0), (17, 0.0), (27, 0.0), (37, 0.0), (42, 50.0), (43, 0.0),
         (44, 0.0), (45, view_height), (50, 0.0), (51, 0.0), (72, 100), (90, 32864)]


# --- Dimensions: each DIMENSION names an anonymous block "*Dn" that holds what it draws.

TEXT_HEIGHT = 3.5
ARROW = 3.0


def arrow(owner, tip, direction):
    """A filled arrowhead at `tip` pointing along the unit vector `direction`."""
    dx, dy = direction
    back = (tip[0] - ARROW * dx, tip[1] - ARROW * dy)
    side = (-dy * ARROW / 6.0, dx * ARROW / 6.0)
    return solid(owner, [tip, (back[0] + side[0], back[1] + side[1]), (back[0] - side[0], back[1] - side[1])],
                 '0', colour=0)


class Dimensions:
    def __init__(self):
        self.blocks = []     # (name, block record handle, contents)
        self.entities = []   # the DIMENSION entities of model space

    def _block(self, contents_of):
        name = '*D%d' % (len(self.blocks) + 1)
        handle = HANDLES()
        self.blocks.append((name, handle, contents_of(handle)))
        return name

    def linear(self, a, b, offset, vertical=False, label=None):
        """The distance from a to b measured along x (or y), its line `offset` away from a."""
        axis = 1 if vertical else 0
        across = 0 if vertical else 1
        length = abs(b[axis] - a[axis])
        label = label or number(length).rstrip('0').rstrip('.')

        def point(along, side):
            return (side, along) if vertical else (along, side)

        dim_side = a[across] + offset
        sign = 1.0 if offset > 0 else -1.0
        low, high = sorted((a[axis], b[axis]))
        middle = (low + high) / 2.0

        def contents(owner):
            groups = []
            for p in (a, b):  # extension lines: from 2 off the part to 2 past the dimension line
                groups += line(owner, point(p[axis], p[across] + 2.0 * sign), point(p[axis], dim_side + 2.0 * sign),
                               '0', colour=0)
            groups += line(owner, point(low, dim_side), point(high, dim_side), '0', colour=0)
            groups += arrow(owner, point(low, dim_side), point(-1.0, 0.0) if not vertical else (0.0, -1.0))
            groups += arrow(owner, point(high, dim_side), point(1.0, 0.0) if not vertical else (0.0, 1.0))
            at = point(middle, dim_side + 1.2 * (1 if not vertical else -1))
            groups += text(owner, at, TEXT_HEIGHT, label, '0', justify=(1, 1), rotation=90.0 if vertical else 0.0,
                           colour=0)
            return groups

        name = self._block(contents)
        text_at = point(middle, dim_side)
        self.entities += head('DIMENSION', MODEL, 'DIMENSIONS', False, 'AcDbDimension') + \
            [(2, name), (10, point(high, dim_side)[0]), (20, point(high, dim_side)[1]), (30, 0.0),
             (11, text_at[0]), (21, text_at[1]), (31, 0.0), (70, 32), (1, label), (3, 'ISO-25'),
             (100, 'AcDbAlignedDimension'), (13, a[0]), (23, a[1]), (33, 0.0), (14, b[0]), (24, b[1]), (34, 0.0),
             (50, 90.0 if vertical else 0.0), (100, 'AcDbRotatedDimension')]

    def diameter(self, centre, radius, angle, label, leader=12.0):
        """A diameter across the circle at `angle` degrees, its text outside on a shoulder."""
        ux, uy = math.cos(math.radians(angle)), math.sin(math.radians(angle))
        near = (centre[0] - radius * ux, centre[1] - radius * uy)
        far = (centre[0] + radius * ux, centre[1] + radius * uy)
        out = (far[0] + leader * ux, far[1] + leader * uy)
        shoulder = (out[0] + 4.0, out[1])

        def contents(owner):
            groups = line(owner, near, out, '0', colour=0) + line(owner, out, shoulder, '0', colour=0)
            groups += arrow(owner, near, (-ux, -uy)) + arrow(owner, far, (ux, uy))
            groups += text(owner, (shoulder[0] + 1.0, shoulder[1]), TEXT_HEIGHT, label, '0', justify=(0, 2),
                           colour=0)
            return groups

        name = self._block(contents)
        self.entities += head('DIMENSION', MODEL, 'DIMENSIONS', False, 'AcDbDimension') + \
            [(2, name), (10, near[0]), (20, near[1]), (30, 0.0), (11, shoulder[0]), (21, shoulder[1]), (31, 0.0),
             (70, 35), (1, label), (3, 'ISO-25'), (100, 'AcDbDiametricDimension'), (15, far[0]), (25, far[1]),
             (35, 0.0), (40, leader)]


# --- The part.

WIDTH, HEIGHT, CORNER = 160.0, 100.0, 10.0
BORE = 20.0
HOLES = [(x, y) for x in (-60.0, 60.0) for y in (-30.0, 30.0)]
HOLE = 6.0
THICKNESS = 12.0
SECTION_X = 120.0   # the left face of the section view


def rounded_rectangle(w, h, r):
    """The outline as a closed polyline with quarter-circle bulges at the corners."""
    x, y = w / 2.0, h / 2.0
    bulge = math.tan(math.radians(90.0) / 4.0)
    return [(-x + r, -y), (x - r, -y, bulge), (x, -y + r), (x, y - r, bulge), (x - r, y), (-x + r, y, bulge),
            (-x, y - r), (-x, -y + r, bulge)]


def centre_cross(centre, reach):
    x, y = centre
    return line(MODEL, (x - reach, y), (x + reach, y), 'CENTER') + \
        line(MODEL, (x, y - reach), (x, y + reach), 'CENTER')


def model_space(dimensions):
    e = polyline(MODEL, rounded_rectangle(WIDTH, HEIGHT, CORNER), 'OUTLINE')
    e += circle(MODEL, (0.0, 0.0), BORE, 'OUTLINE')
    for centre in HOLES:
        e += circle(MODEL, centre, HOLE, 'OUTLINE')
        e += centre_cross(centre, HOLE + 4.0)
    e += line(MODEL, (-WIDTH / 2 - 6.0, 0.0), (WIDTH / 2 + 6.0, 0.0), 'CENTER')
    e += line(MODEL, (0.0, -HEIGHT / 2 - 6.0), (0.0, HEIGHT / 2 + 6.0), 'CENTER')
    # The cutting line A-A through the bore, with its letters.
    for y in (HEIGHT / 2 + 4.0, -HEIGHT / 2 - 4.0):
        e += polyline(MODEL, [(-4.0, y), (0.0, y)], 'OUTLINE', closed=False)
    e += text(MODEL, (-6.0, HEIGHT / 2 + 4.0), 5.0, 'A', 'TEXT', justify=(2, 2))
    e += text(MODEL, (-6.0, -HEIGHT / 2 - 4.0), 5.0, 'A', 'TEXT', justify=(2, 2))

    # Section A-A: the plate cut through the bore, the cut faces hatched.
    left, right = SECTION_X, SECTION_X + THICKNESS
    upper = [(left, BORE), (right, BORE), (right, HEIGHT / 2), (left, HEIGHT / 2)]
    lower = [(left, -HEIGHT / 2), (right, -HEIGHT / 2), (right, -BORE), (left, -BORE)]
    for face in (upper, lower):
        e += polyline(MODEL, face, 'OUTLINE')
    e += hatch(MODEL, [upper, lower], 'HATCH')
    e += line(MODEL, (left - 6.0, 0.0), (right + 6.0, 0.0), 'CENTER')
    e += text(MODEL, ((left + right) / 2.0, -HEIGHT / 2 - 16.0), 5.0, 'A-A', 'TEXT', justify=(1, 3))

    dimensions.linear((-WIDTH / 2, -HEIGHT / 2), (WIDTH / 2, -HEIGHT / 2), -14.0)
    dimensions.linear((-WIDTH / 2, -HEIGHT / 2), (-WIDTH / 2, HEIGHT / 2), -14.0, vertical=True)
    dimensions.linear((-60.0, 30.0), (60.0, 30.0), HEIGHT / 2 - 30.0 + 10.0)
    dimensions.linear((left, HEIGHT / 2), (right, HEIGHT / 2), 10.0)
    dimensions.diameter((0.0, 0.0), BORE, 45.0, '%%c40 H7')
    dimensions.diameter(HOLES[3], HOLE, 45.0, '4x %%c12', leader=8.0)
    e += dimensions.entities

    e += mtext(MODEL, (-WIDTH / 2, -HEIGHT / 2 - 30.0), 3.5, 150.0,
               'NOTES:\\P1. Break all sharp edges 0.5 x 45%%d.\\P2. General tolerances ISO 2768-m.'
               '\\P3. Material: S235JR, thickness 12.', 'TEXT')
    return e


# --- The sheet.

SHEET = (420.0, 297.0)
MARGIN = 10.0
TITLE_BLOCK = (250.0, 10.0, 410.0, 50.0)   # left, bottom, right, top


def sheet():
    e = polyline(PAPER, [(MARGIN, MARGIN), (SHEET[0] - MARGIN, MARGIN), (SHEET[0] - MARGIN, SHEET[1] - MARGIN),
                         (MARGIN, SHEET[1] - MARGIN)], 'TITLE', paper=True)
    left, bottom, right, top = TITLE_BLOCK
    e += polyline(PAPER, [(left, bottom), (right, bottom), (right, top), (left, top)], 'TITLE', paper=True)
    e += line(PAPER, (left, 30.0), (right, 30.0), 'TITLE', paper=True)
    e += line(PAPER, (330.0, bottom), (330.0, 30.0), 'TITLE', paper=True)
    e += line(PAPER, (370.0, bottom), (370.0, 30.0), 'TITLE', paper=True)
    # Left, centred and right-aligned texts in the fields of the title block.
    e += text(PAPER, ((left + right) / 2.0, 40.0), 7.0, 'FLANGE PLATE', 'TITLE', justify=(1, 2), paper=True)
    e += text(PAPER, (left + 2.0, 32.0), 2.5, 'Tracemill sample drawing', 'TITLE', paper=True)
    e += text(PAPER, (right - 2.0, 32.0), 2.5, 'TM-0057-01', 'TITLE', justify=(2, 0), paper=True)
    for x, label, value in ((left, 'Drawn', 'Tracemill tools'), (330.0, 'Scale', '1:1'), (370.0, 'Sheet', '1 / 1')):
        e += text(PAPER, (x + 2.0, 27.0), 2.0, label, 'TITLE', justify=(0, 3), paper=True)
        e += text(PAPER, (x + 2.0, 13.0), 3.5, value, 'TITLE', paper=True)
    e += text(PAPER, (right - 2.0, 13.0), 2.0, 'A3', 'TITLE', justify=(2, 0), paper=True)
    e += text(PAPER, (MARGIN + 2.0, SHEET[1] - MARGIN - 2.0), 2.5, 'All dimensions in mm', 'TITLE',
              justify=(0, 3), paper=True)
    # The sheet itself (viewport 1), then the view onto model space at 1:1.
    e += viewport(PAPER, 1, (SHEET[0] / 2.0, SHEET[1] / 2.0), SHEET, (SHEET[0] / 2.0, SHEET[1] / 2.0), SHEET[1])
    e += viewport(PAPER, 2, (190.0, 160.0), (340.0, 210.0), (25.0, -10.0), 210.0)
    return e


# --- Tables, blocks, objects.

def tables(block_records):
    vport = record('VPORT', '8', 'AcDbViewportTableRecord',
                   [(2, '*ACTIVE'), (70, 0), (10, 0.0), (20, 0.0), (11, 1.0), (21, 1.0), (12, 25.0), (22, -10.0),
                    (13, 0.0), (23, 0.0), (14, 10.0), (24, 10.0), (15, 10.0), (25, 10.0), (16, 0.0), (26, 0.0),
                    (36, 1.0), (17, 0.0), (27, 0.0), (37, 0.0), (40, 180.0), (41, 1.6), (42, 50.0), (43, 0.0),
                    (44, 0.0), (50, 0.0), (51, 0.0), (71, 0), (72, 100), (73, 1), (74, 3), (75, 0), (76, 0),
                    (77, 0), (78, 0)])
    linetypes = [
        record('LTYPE', '5', 'AcDbLinetypeTableRecord', [(2, 'ByBlock'), (70, 0), (3, ''), (72, 65), (73, 0),
                                                          (40, 0.0)], '14'),
        record('LTYPE', '5', 'AcDbLinetypeTableRecord', [(2, 'ByLayer'), (70, 0), (3, ''), (72, 65), (73, 0),
                                                          (40, 0.0)], '15'),
        record('LTYPE', '5', 'AcDbLinetypeTableRecord', [(2, 'Continuous'), (70, 0), (3, 'Solid line'), (72, 65),
                                                          (73, 0), (40, 0.0)], '16'),
        record('LTYPE', '5', 'AcDbLinetypeTableRecord',
               [(2, 'CENTER'), (70, 0), (3, 'Center ____ _ ____ _ ____'), (72, 65), (73, 4), (40, 36.0),
                (49, 24.0), (74, 0), (49, -5.0), (74, 0), (49, 2.0), (74, 0), (49, -5.0), (74, 0)]),
    ]
    # name, colour, linetype, lineweight (hundredths of a millimetre)
    layer_rows = [('0', 7, 'Continuous', -3), ('OUTLINE', 7, 'Continuous', 50), ('CENTER', 1, 'CENTER', 18),
                  ('HATCH', 8, 'Continuous', 18), ('DIMENSIONS', 3, 'Continuous', 18), ('TEXT', 7, 'Continuous', 25),
                  ('TITLE', 7, 'Continuous', 35), ('VIEWPORTS', 8, 'Continuous', -3)]
    layers = [record('LAYER', '2', 'AcDbLayerTableRecord',
                     [(2, name), (70, 0), (62, colour), (6, linetype), (370, weight), (390, '0')])
              for name, colour, linetype, weight in layer_rows]
    styles = [record('STYLE', '3', 'AcDbTextStyleTableRecord',
                     [(2, name), (70, 0), (40, 0.0), (41, width), (50, 0.0), (71, 0), (42, 2.5), (3, 'simplex.shx'),
                      (4, '')])
              for name, width in (('Standard', 1.0), ('ISO', 0.9))]
    dimstyles = [[(0, 'DIMSTYLE'), (105, HANDLES()), (330, 'A'), (100, 'AcDbSymbolTableRecord'),
                  (100, 'AcDbDimStyleTableRecord'), (2, name), (70, 0), (41, 3.0), (140, 3.5), (340, '')]
                 for name in ('Standard', 'ISO-25')]
    appids = [record('APPID', '9', 'AcDbRegAppTableRecord', [(2, 'ACAD'), (70, 0)])]
    blocks = [record('BLOCK_RECORD', '1', 'AcDbBlockTableRecord', [(2, name), (340, layout)], handle)
              for name, handle, layout in block_records]
    dimstyle_table = [(0, 'TABLE'), (2, 'DIMSTYLE'), (5, 'A'), (330, '0'), (100, 'AcDbSymbolTable'), (70, 2),
                      (100, 'AcDbDimStyleTable')] + [g for d in dimstyles for g in d] + [(0, 'ENDTAB')]
    return section('TABLES', table('VPORT', '8', [vport]) + table('LTYPE', '5', linetypes) +
                   table('LAYER', '2', layers) + table('STYLE', '3', styles) + table('APPID', '9', appids) +
                   dimstyle_table + table('BLOCK_RECORD', '1', blocks))


def block(name, record_handle, paper, contents=()):
    flag = [(67, 1)] if paper else []
    return [(0, 'BLOCK'), (5, HANDLES()), (330, record_handle), (100, 'AcDbEntity')] + flag + \
        [(8, '0'), (100, 'AcDbBlockBegin'), (2, name), (70, 1 if name.startswith('*D') else 0), (10, 0.0),
         (20, 0.0), (30, 0.0), (3, name), (1, '')] + list(contents) + \
        [(0, 'ENDBLK'), (5, HANDLES()), (330, record_handle), (100, 'AcDbEntity')] + flag + \
        [(8, '0'), (100, 'AcDbBlockEnd')]


def layout(handle, name, block_handle, tab, paper):
    width, height = paper
    return [(0, 'LAYOUT'), (5, handle), (330, '1A'), (100, 'AcDbPlotSettings'), (1, ''), (2, 'none_device'),
            (4, 'ISO_A3_(420.00_x_297.00_MM)'), (6, ''), (40, 0.0), (41, 0.0), (42, 0.0), (43, 0.0),
            (44, width), (45, height), (46, 0.0), (47, 0.0), (48, 0.0), (49, 0.0), (140, 0.0), (141, 0.0),
            (142, 1.0), (143, 1.0), (70, 688), (72, 1), (73, 0), (74, 5), (7, ''), (75, 16), (147, 1.0),
            (148, 0.0), (149, 0.0), (100, 'AcDbLayout'), (1, name), (70, 1), (71, tab), (10, 0.0), (20, 0.0),
            (11, width), (21, height), (12, 0.0), (22, 0.0), (32, 0.0), (14, 0.0), (24, 0.0), (34, 0.0),
            (15, width), (25, height), (35, 0.0), (146, 0.0), (13, 0.0), (23, 0.0), (33, 0.0), (16, 1.0),
            (26, 0.0), (36, 0.0), (17, 0.0), (27, 1.0), (37, 0.0), (76, 0), (330, block_handle)]


def drawing():
    dimensions = Dimensions()
    model = model_space(dimensions)
    paper = sheet()
    block_records = [('*Model_Space', MODEL, '22'), ('*Paper_Space', PAPER, '1E')] + \
        [(name, handle, '0') for name, handle, _ in dimensions.blocks]
    blocks = block('*Model_Space', MODEL, False) + block('*Paper_Space', PAPER, True)
    for name, handle, contents in dimensions.blocks:
        blocks += block(name, handle, False, contents)
    objects = [(0, 'DICTIONARY'), (5, 'C'), (330, '0'), (100, 'AcDbDictionary'), (281, 1), (3, 'ACAD_LAYOUT'),
               (350, '1A'),
               (0, 'DICTIONARY'), (5, '1A'), (330, 'C'), (100, 'AcDbDictionary'), (281, 1), (3, 'A3-Sheet'),
               (350, '1E'), (3, 'Model'), (350, '22')]
    objects += layout('22', 'Model', MODEL, 0, (420.0, 297.0)) + layout('1E', 'A3-Sheet', PAPER, 1, SHEET)
    table_section = tables(block_records)
    classes = [(0, 'CLASS'), (1, 'LWPOLYLINE'), (2, 'AcDbPolyline'), (3, 'AutoCAD 2000'), (90, 0), (280, 0),
               (281, 1),
               (0, 'CLASS'), (1, 'HATCH'), (2, 'AcDbHatch'), (3, 'AutoCAD 2000'), (90, 0), (280, 0), (281, 1),
               (0, 'CLASS'), (1, 'LAYOUT'), (2, 'AcDbLayout'), (3, 'ObjectDBX Classes'), (90, 0), (280, 0),
               (281, 0)]
    header = [(9, '$ACADVER'), (1, 'AC1015'), (9, '$DWGCODEPAGE'), (3, 'ANSI_1252'), (9, '$INSUNITS'), (70, 4),
              (9, '$MEASUREMENT'), (70, 1), (9, '$LTSCALE'), (40, 1.0), (9, '$PSLTSCALE'), (70, 1),
              (9, '$TEXTSTYLE'), (7, 'ISO'), (9, '$DIMSTYLE'), (2, 'ISO-25'), (9, '$TILEMODE'), (70, 0),
              (9, '$EXTMIN'), (10, -100.0), (20, -95.0), (30, 0.0), (9, '$EXTMAX'), (10, 150.0), (20, 75.0), (30, 0.0),
              (9, '$PLIMMIN'), (10, 0.0), (20, 0.0), (9, '$PLIMMAX'), (10, 420.0), (20, 297.0),
              (9, '$HANDSEED'), (5, '%X' % HANDLES.next)]
    return section('HEADER', header) + section('CLASSES', classes) + table_section + \
        section('BLOCKS', blocks) + section('ENTITIES', model + paper) + section('OBJECTS', objects) + \
        [(0, 'EOF')]


def main():
    GLYPHS.extend(read_glyph_file(os.environ.get('TRACEMILL_HERSHEY_GLYPHS', GLYPH_FILE)))
    content = dxf(drawing())
    if sys.argv[1:] == ['--check']:
        with open(OUTPUT, newline='') as f:
            if f.read() != content:
                print('%s differs from what %s writes' % (OUTPUT, os.path.basename(__file__)))
                sys.exit(1)
        return
    with open(OUTPUT, 'w', newline='') as f:
        f.write(content)


if __name__ == '__main__':
    main()
