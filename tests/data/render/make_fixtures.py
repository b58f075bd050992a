#!/usr/bin/env python3
"""Writes the DXF fixtures of the drawing-object tests (run in this folder).

model_lines.dxf       model space of version "AC1015" with three LINEs (a frame of 100 x 50 and
                      a diagonal); no VPORT table, so the drawing names no view of its own.
tall_line.dxf         one vertical LINE from (0, 0) to (0, 1000): a drawing of no width.
empty_2000.dxf        a drawing that draws nothing.
view_size_zero.dxf    a LINE in a drawing whose "*ACTIVE" viewport has a view height of 0.
codepage_zero.dxf     a LINE in a drawing whose DWGCODEPAGE names no code page.
paper_r12.dxf         an "AC1009" drawing with TILEMODE 0, a LINE in model space and one in paper
                      space.
two_layouts_2000.dxf  an "AC1015" drawing with the layouts "Model", "Layout1" (a viewport onto
                      model space) and "Layout2" (no viewport), TILEMODE 1, an "*ACTIVE" VPORT
                      with UCS icon 3, layers "0" (on), "WALLS" (off, frozen), "DOORS" (locked),
                      linetypes ByBlock, ByLayer, Continuous and DASHED, two LINEs in model space.
plot_layouts_2000.dxf the same model space with four paper layouts, each with a viewport: one per
                      plot rotation 0 to 3 and per plot type 1, 2, 4 and 5 (see PLOT_LAYOUTS).
image_4x2.bmp         a 24-bit BMP of 4 x 2 pixels: red, green, blue, yellow on top, cyan,
                      magenta, black, white below (IMAGE_COLOURS).
image_1bit.bmp        a 1-bit BMP of 4 x 2 pixels, colour table [black, white] (TWIN_PIXELS);
image_1bit_inverted.bmp  its twin with the table [white, black] and every bit inverted;
image_24bit_twin.bmp  the same pixels in 24 bits.
image_twins.dxf       the three side by side: IMAGEs at x 0, 50 and 100, 10 units a pixel, with
                      two short LINEs at (-10, -10) and (150, 30) around them.
image_bmp.dxf         an "AC1015" drawing with one IMAGE of that file (named "image_4x2.bmp", found
                      beside the drawing) at (0, 0), 10 units a pixel (40 x 20), and two short
                      LINEs at (-10, -10) and (50, 30) that widen the extents around it.
"""

import struct

# The rows of image_4x2.bmp from the top, red, green, blue each.
IMAGE_COLOURS = [[(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0)],
                 [(0, 255, 255), (255, 0, 255), (0, 0, 0), (255, 255, 255)]]

# The pixels of the 1-bit twins from the top row, 1 for white.
TWIN_PIXELS = [[1, 0, 0, 1], [0, 1, 1, 0]]

MODEL_LINES = [((0.0, 0.0), (100.0, 0.0)), ((100.0, 0.0), (100.0, 50.0)), ((0.0, 0.0), (100.0, 50.0))]

# name, rotation, plot type, centred, paper units (0 inches, 1 millimetres)
PLOT_LAYOUTS = [
    ('Rot0Extents', 0, 1, False, 1),
    ('Rot1Limits', 1, 2, False, 1),
    ('Rot2Window', 2, 4, True, 1),
    ('Rot3Layout', 3, 5, False, 0),
]


def dxf(groups):
    return ''.join('%3d\n%s\n' % (code, value) for code, value in groups)


def write(name, groups):
    with open(name, 'w') as f:
        f.write(dxf(groups + [(0, 'EOF')]))


def section(name, groups):
    return [(0, 'SECTION'), (2, name)] + groups + [(0, 'ENDSEC')]


def header(version, tilemode, extra=()):
    groups = [(9, '$ACADVER'), (1, version), (9, '$TILEMODE'), (70, tilemode)]
    for item in extra:
        groups += list(item)
    return section('HEADER', groups)


class Handles:
    def __init__(self, first=0x100):
        self.next = first

    def __call__(self):
        value = '%X' % self.next
        self.next += 1
        return value


def line(handle, owner, start, end, paper=False, layer='0'):
    groups = [(0, 'LINE'), (5, handle), (330, owner), (100, 'AcDbEntity')]
    if paper:
        groups += [(67, 1)]
    return groups + [(8, layer), (100, 'AcDbLine'), (10, start[0]), (20, start[1]), (30, 0.0), (11, end[0]),
                     (21, end[1]), (31, 0.0)]


def plain_line(start, end, paper=False):
    groups = [(0, 'LINE'), (8, '0')]
    if paper:
        groups += [(67, 1)]
    return groups + [(10, start[0]), (20, start[1]), (30, 0.0), (11, end[0]), (21, end[1]), (31, 0.0)]


def viewport(handle, owner, vid, centre, size, view_centre, view_height):
    return [(0, 'VIEWPORT'), (5, handle), (330, owner), (100, 'AcDbEntity'), (67, 1), (8, '0'),
            (100, 'AcDbViewport'), (10, centre[0]), (20, centre[1]), (30, 0.0), (40, size[0]), (41, size[1]),
            (68, 1), (69, vid), (12, view_centre[0]), (22, view_centre[1]), (13, 0.0), (23, 0.0), (14, 1.0),
            (24, 1.0), (15, 1.0), (25, 1.0), (16, 0.0), (26, 0.0), (36, 1.0), (17, 0.0), (27, 0.0), (37, 0.0),
            (42, 50.0), (43, 0.0), (44, 0.0), (45, view_height), (50, 0.0), (51, 0.0), (72, 100), (90, 32864)]


def table(name, handle, records):
    return [(0, 'TABLE'), (2, name), (5, handle), (330, '0'), (100, 'AcDbSymbolTable'), (70, len(records))] + \
        [g for record in records for g in record] + [(0, 'ENDTAB')]


def record(kind, handle, owner, subclass, groups):
    return [(0, kind), (5, handle), (330, owner), (100, 'AcDbSymbolTableRecord'), (100, subclass)] + groups


def tables_2000(block_records):
    vports = [record('VPORT', '29', '8', 'AcDbViewportTableRecord',
                     [(2, '*ACTIVE'), (70, 0), (10, 0.0), (20, 0.0), (11, 1.0), (21, 1.0), (12, 50.0), (22, 25.0),
                      (13, 0.0), (23, 0.0), (14, 1.0), (24, 1.0), (15, 1.0), (25, 1.0), (16, 0.0), (26, 0.0),
                      (36, 1.0), (17, 0.0), (27, 0.0), (37, 0.0), (40, 60.0), (41, 2.0), (42, 50.0), (43, 0.0),
                      (44, 0.0), (50, 0.0), (51, 0.0), (71, 0), (72, 100), (73, 1), (74, 3), (75, 0), (76, 0),
                      (77, 0), (78, 0)])]
    ltypes = [record('LTYPE', '14', '5', 'AcDbLinetypeTableRecord',
                     [(2, 'ByBlock'), (70, 0), (3, ''), (72, 65), (73, 0), (40, 0.0)]),
              record('LTYPE', '15', '5', 'AcDbLinetypeTableRecord',
                     [(2, 'ByLayer'), (70, 0), (3, ''), (72, 65), (73, 0), (40, 0.0)]),
              record('LTYPE', '16', '5', 'AcDbLinetypeTableRecord',
                     [(2, 'Continuous'), (70, 0), (3, 'Solid line'), (72, 65), (73, 0), (40, 0.0)]),
              record('LTYPE', '17', '5', 'AcDbLinetypeTableRecord',
                     [(2, 'DASHED'), (70, 0), (3, 'Dashed __ __ __'), (72, 65), (73, 2), (40, 0.75),
                      (49, 0.5), (74, 0), (49, -0.25), (74, 0)])]
    layers = [record('LAYER', '10', '2', 'AcDbLayerTableRecord',
                     [(2, '0'), (70, 0), (62, 7), (6, 'Continuous'), (370, -3), (390, '0')]),
              record('LAYER', '11', '2', 'AcDbLayerTableRecord',
                     [(2, 'WALLS'), (70, 1), (62, -3), (6, 'DASHED'), (370, -3), (390, '0')]),
              record('LAYER', '12', '2', 'AcDbLayerTableRecord',
                     [(2, 'DOORS'), (70, 4), (62, 1), (6, 'Continuous'), (370, -3), (390, '0')])]
    blocks = [record('BLOCK_RECORD', handle, '1', 'AcDbBlockTableRecord', [(2, name), (340, layout)])
              for name, handle, layout in block_records]
    return section('TABLES', table('VPORT', '8', vports) + table('LTYPE', '5', ltypes) +
                   table('LAYER', '2', layers) + table('BLOCK_RECORD', '1', blocks))


def block(name, handle, end_handle, owner, paper, contents=()):
    flag = [(67, 1)] if paper else []
    return [(0, 'BLOCK'), (5, handle), (330, owner), (100, 'AcDbEntity')] + flag + \
        [(8, '0'), (100, 'AcDbBlockBegin'), (2, name), (70, 0), (10, 0.0), (20, 0.0), (30, 0.0), (3, name),
         (1, '')] + list(contents) + \
        [(0, 'ENDBLK'), (5, end_handle), (330, owner), (100, 'AcDbEntity')] + flag + \
        [(8, '0'), (100, 'AcDbBlockEnd')]


def layout_object(handle, name, block_handle, tab, settings):
    s = dict(rotation=0, plot_type=5, centred=False, units=1, margins=(10.0, 20.0, 30.0, 40.0),
             paper=(297.0, 210.0), window=((0.0, 0.0), (50.0, 50.0)), limits=((0.0, 0.0), (297.0, 210.0)),
             extents=((10.0, 20.0), (110.0, 70.0)))
    s.update(settings)
    flags = 688 | (4 if s['centred'] else 0)
    (l, b, r, t) = s['margins']
    return [(0, 'LAYOUT'), (5, handle), (330, '1C0'), (100, 'AcDbPlotSettings'), (1, ''), (2, 'none_device'),
            (4, 'A4'), (6, ''), (40, l), (41, b), (42, r), (43, t), (44, s['paper'][0]), (45, s['paper'][1]),
            (46, 0.0), (47, 0.0), (48, s['window'][0][0]), (49, s['window'][0][1]), (140, s['window'][1][0]),
            (141, s['window'][1][1]), (142, 1.0), (143, 1.0), (70, flags), (72, s['units']),
            (73, s['rotation']), (74, s['plot_type']), (7, ''), (75, 0), (147, 1.0), (148, 0.0), (149, 0.0),
            (100, 'AcDbLayout'), (1, name), (70, 1), (71, tab), (10, s['limits'][0][0]), (20, s['limits'][0][1]),
            (11, s['limits'][1][0]), (21, s['limits'][1][1]), (12, 0.0), (22, 0.0), (32, 0.0),
            (14, s['extents'][0][0]), (24, s['extents'][0][1]), (34, 0.0), (15, s['extents'][1][0]),
            (25, s['extents'][1][1]), (35, 0.0), (146, 0.0), (13, 0.0), (23, 0.0), (33, 0.0), (16, 1.0),
            (26, 0.0), (36, 0.0), (17, 0.0), (27, 1.0), (37, 0.0), (76, 0), (330, block_handle)]


def drawing_2000(paper_layouts):
    """paper_layouts: (name, with viewport, settings) in object-list order; the first is the
    current paper space."""
    handles = Handles()
    block_records = [('*Model_Space', '1F', '22')]
    layouts = [('22', 'Model', '1F', 0, {})]
    blocks = block('*Model_Space', '20', '21', '1F', False)
    entities = []
    for i, (name, with_viewport, settings) in enumerate(paper_layouts):
        record_handle, layout_handle = handles(), handles()
        block_name = '*Paper_Space' if i == 0 else '*Paper_Space%d' % (i - 1)
        block_records.append((block_name, record_handle, layout_handle))
        layouts.append((layout_handle, name, record_handle, i + 1, settings))
        contents = []
        if with_viewport:
            contents = viewport(handles(), record_handle, 1, (148.5, 105.0), (297.0, 210.0), (50.0, 25.0), 60.0)
        if i == 0:
            entities += contents
            contents = []
        blocks += block(block_name, handles(), handles(), record_handle, True, contents)
    for n, (start, end) in enumerate(MODEL_LINES[:2]):
        entities += line('%X' % (0x40 + n), '1F', start, end)
    objects = [(0, 'DICTIONARY'), (5, 'C'), (330, '0'), (100, 'AcDbDictionary'), (281, 1),
               (3, 'ACAD_LAYOUT'), (350, '1C0')]
    objects += [(0, 'DICTIONARY'), (5, '1C0'), (330, 'C'), (100, 'AcDbDictionary'), (281, 1)] + \
        [g for handle, name, _, _, _ in layouts for g in ((3, name), (350, handle))]
    for handle, name, block_handle, tab, settings in layouts:
        objects += layout_object(handle, name, block_handle, tab, settings)
    classes = [(0, 'CLASS'), (1, 'LAYOUT'), (2, 'AcDbLayout'), (3, 'ObjectDBX Classes'), (90, 0), (280, 0),
               (281, 0)]
    return header('AC1015', 1, [((9, '$HANDSEED'), (5, '%X' % handles.next)),
                                ((9, '$DWGCODEPAGE'), (3, 'ANSI_1252'))]) + \
        section('CLASSES', classes) + tables_2000(block_records) + section('BLOCKS', blocks) + \
        section('ENTITIES', entities) + section('OBJECTS', objects)


def bmp_24(rows):
    """A BMP file image of 24 bits from rows of (red, green, blue) given top row first."""
    width, height = len(rows[0]), len(rows)
    stride = (3 * width + 3) & ~3
    bits = b''
    for row in reversed(rows):
        line = b''.join(bytes((b, g, r)) for r, g, b in row)
        bits += line + b'\0' * (stride - len(line))
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
    return b'BM' + struct.pack('<IHHI', 14 + len(info) + len(bits), 0, 0, 14 + len(info)) + info + bits


def bmp_1(rows, table):
    """A 1-bit BMP file image from rows of bits given top row first, with a table of two
    (red, green, blue) entries."""
    width, height = len(rows[0]), len(rows)
    stride = ((width + 31) // 32) * 4
    bits = b''
    for row in reversed(rows):
        value = 0
        for i, bit in enumerate(row):
            value |= bit << (7 - i)
        bits += bytes([value]) + b'\0' * (stride - 1)
    colours = b''.join(bytes((b, g, r, 0)) for r, g, b in table)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 1, 0, len(bits), 2835, 2835, 2, 2)
    offset = 14 + len(info) + len(colours)
    return b'BM' + struct.pack('<IHHI', offset + len(bits), 0, 0, offset) + info + colours + bits


def image_entity(handle, definition, x):
    return [(0, 'IMAGE'), (5, handle), (330, '1F'), (100, 'AcDbEntity'), (8, '0'), (100, 'AcDbRasterImage'),
            (90, 0), (10, x), (20, 0.0), (30, 0.0), (11, 10.0), (21, 0.0), (31, 0.0), (12, 0.0), (22, 10.0),
            (32, 0.0), (13, 4.0), (23, 2.0), (340, definition), (70, 1), (280, 0), (281, 50), (282, 50), (283, 0),
            (71, 1), (91, 2), (14, -0.5), (24, -0.5), (14, 3.5), (24, 1.5)]


def image_definition(handle, file_name):
    return [(0, 'IMAGEDEF'), (5, handle), (330, 'C'), (100, 'AcDbRasterImageDef'), (90, 0), (1, file_name),
            (10, 4.0), (20, 2.0), (11, 1.0), (21, 1.0), (280, 1), (281, 0)]


def image_drawing(files, far_corner):
    """IMAGEs of the files side by side, 50 units apart, and two short LINEs at (-10, -10) and at
    far_corner."""
    classes = [(0, 'CLASS'), (1, 'IMAGE'), (2, 'AcDbRasterImage'), (3, 'ISM'), (90, 127), (280, 0), (281, 1),
               (0, 'CLASS'), (1, 'IMAGEDEF'), (2, 'AcDbRasterImageDef'), (3, 'ISM'), (90, 0), (280, 0),
               (281, 0)]
    entities, objects = [], [(0, 'DICTIONARY'), (5, 'C'), (330, '0'), (100, 'AcDbDictionary'), (281, 1)]
    for i, name in enumerate(files):
        entities += image_entity('%X' % (0x40 + 2 * i), '%X' % (0x41 + 2 * i), 50.0 * i)
        objects += image_definition('%X' % (0x41 + 2 * i), name)
    (fx, fy) = far_corner
    entities += line('60', '1F', (-10.0, -10.0), (-9.0, -10.0)) + line('61', '1F', (fx, fy), (fx - 1.0, fy))
    return header('AC1015', 1, [((9, '$HANDSEED'), (5, '70')), ((9, '$DWGCODEPAGE'), (3, 'ANSI_1252'))]) + \
        section('CLASSES', classes) + section('ENTITIES', entities) + section('OBJECTS', objects)


def main():
    lines = [g for start, end in MODEL_LINES for g in plain_line(start, end)]
    write('model_lines.dxf', header('AC1015', 1) + section('ENTITIES', lines))
    write('tall_line.dxf', header('AC1015', 1) + section('ENTITIES', plain_line((0.0, 0.0), (0.0, 1000.0))))
    write('empty_2000.dxf', header('AC1015', 1) + section('ENTITIES', []))
    active = record('VPORT', '29', '8', 'AcDbViewportTableRecord',
                    [(2, '*ACTIVE'), (70, 0), (12, 5.0), (22, 5.0), (16, 0.0), (26, 0.0), (36, 1.0), (17, 0.0),
                     (27, 0.0), (37, 0.0), (40, 0.0), (41, 1.0), (74, 1)])
    write('view_size_zero.dxf', header('AC1015', 1) + section('TABLES', table('VPORT', '8', [active])) +
          section('ENTITIES', plain_line((0.0, 0.0), (10.0, 10.0))))
    write('codepage_zero.dxf', header('AC1015', 1, [((9, '$DWGCODEPAGE'), (3, 'undefined'))]) +
          section('ENTITIES', plain_line((0.0, 0.0), (10.0, 10.0))))
    write('paper_r12.dxf', header('AC1009', 0) +
          section('ENTITIES', plain_line((0.0, 0.0), (10.0, 10.0)) +
                  plain_line((0.0, 0.0), (5.0, 0.0), paper=True)))
    write('two_layouts_2000.dxf', drawing_2000([('Layout1', True, {}), ('Layout2', False, {})]))
    write('plot_layouts_2000.dxf', drawing_2000([
        (name, True, dict(rotation=rotation, plot_type=plot_type, centred=centred, units=units))
        for name, rotation, plot_type, centred, units in PLOT_LAYOUTS]))
    with open('image_4x2.bmp', 'wb') as f:
        f.write(bmp_24(IMAGE_COLOURS))
    write('image_bmp.dxf', image_drawing(['image_4x2.bmp'], (50.0, 30.0)))
    white, black = (255, 255, 255), (0, 0, 0)
    with open('image_1bit.bmp', 'wb') as f:
        f.write(bmp_1(TWIN_PIXELS, [black, white]))
    with open('image_1bit_inverted.bmp', 'wb') as f:
        f.write(bmp_1([[1 - bit for bit in row] for row in TWIN_PIXELS], [white, black]))
    with open('image_24bit_twin.bmp', 'wb') as f:
        f.write(bmp_24([[white if bit else black for bit in row] for row in TWIN_PIXELS]))
    write('image_twins.dxf',
          image_drawing(['image_1bit.bmp', 'image_1bit_inverted.bmp', 'image_24bit_twin.bmp'], (150.0, 30.0)))


main()
