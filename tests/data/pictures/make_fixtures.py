#!/usr/bin/env python3
"""Writes the DXF fixtures of the picture tests (run in this folder). Each holds one fault of
the pictures that readers and display generation must draw as the drawing says; the tests
also save each through the DWG writer and check the DWG read back the same way.

layer_without_colour_2000.dxf  layer "BARE" stores no colour (no group 62); a LINE on it.
justified_text_2000.dxf  the twelve justifications of TEXT (horizontal 0-2 by vertical 0-3) in
                         a grid of alignment points 100 units apart, "HEH" 10 units high in the
                         built-in font, their first point equal to the alignment point as many
                         programs write it (left-baseline text at its first point); then the
                         "middle" text (4) and an "aligned" (3) and a "fit" (5) text from
                         (0, -100) to (60, -100).
mirrored_style_text_2000.dxf  style "BACK" marked backward and upside down; "Label" in it at
                         (0, 0) with no generation flags, and "Mirror" at (0, -50) with the
                         backward flag.
spline_leader_2000.dxf   a LEADER with the spline path through three vertices (0, 0), (50, 50),
                         (100, 50), without an arrowhead.
fit_spline_2000.dxf      two SPLINEs given by the fit points (0, 0), (30, 20), (60, 0), (90, 20)
                         only: one with the start tangent (0, 1) and end tangent (1, 0), one
                         without tangents (at y + 100).
korean_text_2000.dxf     style "LATIN" naming the Latin TrueType face "DejaVuSans.ttf"; a TEXT of
                         the Korean characters U+D55C U+AE00 at (0, 0), 10 high.
justified_sheet_2000.dxf the justified texts with a red cross on each alignment point (and on
                         both points of the aligned and fit texts): the picture of
                         docs/justified-text.png.
far_coordinate_2000.dxf  a LINE (0, 0)-(10, 10) and a LINE from (5, 5) to (1e304, 5): the far
                         end must not reach the extents.
paper_layout_2000.dxf    model space with a red LINE frame (0, 0)-(100, 100) and its diagonal;
                         layout "Sheet" (limits 0, 0 to 297, 210) with its own sheet viewport
                         first, one viewport of 100 x 80 centred on (100, 100) showing model
                         (50, 50) at view height 120, and a green LINE on paper from (200, 20)
                         to (280, 20).
"""

TEXT_HEIGHT = 10.0


def dxf(groups):
    return ''.join('%3d\n%s\n' % (code, value) for code, value in groups)


def write(name, groups):
    with open(name, 'w') as f:
        f.write(dxf(groups + [(0, 'EOF')]))


def header(tilemode=1, extra=()):
    groups = [(0, 'SECTION'), (2, 'HEADER'), (9, '$ACADVER'), (1, 'AC1015'), (9, '$DWGCODEPAGE'), (3, 'ANSI_1252'),
              (9, '$TILEMODE'), (70, tilemode)]
    for g in extra:
        groups += list(g)
    return groups + [(0, 'ENDSEC')]


def section(name, groups):
    return [(0, 'SECTION'), (2, name)] + groups + [(0, 'ENDSEC')]


def table(name, records):
    groups = [(0, 'TABLE'), (2, name), (70, len(records))]
    for record in records:
        groups += [(0, name)] + record
    return groups + [(0, 'ENDTAB')]


def line(start, end, layer='0', colour=None, paper=False):
    groups = [(0, 'LINE'), (8, layer)]
    if paper:
        groups += [(67, 1)]
    if colour is not None:
        groups += [(62, colour)]
    return groups + [(10, start[0]), (20, start[1]), (30, 0.0), (11, end[0]), (21, end[1]), (31, 0.0)]


def text(value, first, height, style='Standard', horizontal=0, vertical=0, second=None, flags=0):
    groups = [(0, 'TEXT'), (8, '0'), (100, 'AcDbEntity'), (100, 'AcDbText'), (10, first[0]), (20, first[1]),
              (30, 0.0), (40, height), (1, value), (7, style)]
    if flags:
        groups += [(71, flags)]
    if horizontal:
        groups += [(72, horizontal)]
    if second is not None:
        groups += [(11, second[0]), (21, second[1]), (31, 0.0)]
    groups += [(100, 'AcDbText')]
    if vertical:
        groups += [(73, vertical)]
    return groups


def style(name, font, flags=0):
    return [(2, name), (70, 0), (40, 0.0), (41, 1.0), (50, 0.0), (71, flags), (42, TEXT_HEIGHT), (3, font), (4, '')]


def layer_without_colour():
    layers = table('LAYER', [[(2, '0'), (70, 0), (62, 7), (6, 'CONTINUOUS')],
                             [(2, 'BARE'), (70, 0), (6, 'CONTINUOUS')]])
    write('layer_without_colour_2000.dxf',
          header() + section('TABLES', layers) + section('ENTITIES', line((0.0, 0.0), (10.0, 10.0), 'BARE')))


def justified_text():
    entities = []
    for vertical in range(4):
        for horizontal in range(3):
            point = (100.0 * horizontal, 100.0 * vertical)
            if horizontal == 0 and vertical == 0:
                entities += text('HEH', point, TEXT_HEIGHT)
            else:
                entities += text('HEH', point, TEXT_HEIGHT, horizontal=horizontal, vertical=vertical, second=point)
    entities += text('HEH', (300.0, 0.0), TEXT_HEIGHT, horizontal=4, second=(300.0, 0.0))
    entities += text('HEH', (0.0, -100.0), TEXT_HEIGHT, horizontal=3, second=(60.0, -100.0))
    entities += text('HEH', (100.0, -100.0), TEXT_HEIGHT, horizontal=5, second=(160.0, -100.0))
    styles = table('STYLE', [style('Standard', 'txt')])
    write('justified_text_2000.dxf', header() + section('TABLES', styles) + section('ENTITIES', entities))
    points = [(100.0 * h, 100.0 * v) for v in range(4) for h in range(3)]
    points += [(300.0, 0.0), (0.0, -100.0), (60.0, -100.0), (100.0, -100.0), (160.0, -100.0)]
    crosses = []
    for x, y in points:
        crosses += line((x - 4.0, y), (x + 4.0, y), colour=1) + line((x, y - 4.0), (x, y + 4.0), colour=1)
    write('justified_sheet_2000.dxf', header() + section('TABLES', styles) + section('ENTITIES', entities + crosses))


def mirrored_style_text():
    styles = table('STYLE', [style('Standard', 'txt'), style('BACK', 'txt', flags=6)])
    entities = text('Label', (0.0, 0.0), TEXT_HEIGHT, style='BACK')
    entities += text('Mirror', (0.0, -50.0), TEXT_HEIGHT, style='BACK', flags=2)
    write('mirrored_style_text_2000.dxf', header() + section('TABLES', styles) + section('ENTITIES', entities))


def spline_leader():
    leader = [(0, 'LEADER'), (8, '0'), (100, 'AcDbEntity'), (100, 'AcDbLeader'), (3, 'Standard'), (71, 0),
              (72, 1), (73, 3), (74, 0), (75, 0), (40, 0.0), (41, 0.0), (76, 3)]
    for x, y in ((0.0, 0.0), (50.0, 50.0), (100.0, 50.0)):
        leader += [(10, x), (20, y), (30, 0.0)]
    write('spline_leader_2000.dxf', header() + section('ENTITIES', leader))


def fit_spline(offset, tangents):
    groups = [(0, 'SPLINE'), (8, '0'), (100, 'AcDbEntity'), (100, 'AcDbSpline'), (210, 0.0), (220, 0.0),
              (230, 1.0), (70, 8), (71, 3), (72, 0), (73, 0), (74, 4), (42, 1e-10), (43, 1e-10), (44, 1e-10)]
    if tangents:
        groups += [(12, 0.0), (22, 1.0), (32, 0.0), (13, 1.0), (23, 0.0), (33, 0.0)]
    for x, y in ((0.0, 0.0), (30.0, 20.0), (60.0, 0.0), (90.0, 20.0)):
        groups += [(11, x), (21, y + offset), (31, 0.0)]
    return groups


def fit_splines():
    write('fit_spline_2000.dxf', header() + section('ENTITIES', fit_spline(0.0, True) + fit_spline(100.0, False)))


def korean_text():
    styles = table('STYLE', [style('Standard', 'txt'), style('LATIN', 'DejaVuSans.ttf')])
    entities = text('\\U+D55C\\U+AE00', (0.0, 0.0), TEXT_HEIGHT, style='LATIN')
    write('korean_text_2000.dxf', header() + section('TABLES', styles) + section('ENTITIES', entities))


def far_coordinate():
    entities = line((0.0, 0.0), (10.0, 10.0)) + line((5.0, 5.0), (1e304, 5.0))
    write('far_coordinate_2000.dxf', header() + section('ENTITIES', entities))


def record(kind, handle, owner, subclass, groups):
    return [(5, handle), (330, owner), (100, 'AcDbSymbolTableRecord'), (100, subclass)] + groups


def viewport(handle, owner, vid, centre, size, view_centre, view_height):
    return [(0, 'VIEWPORT'), (5, handle), (330, owner), (100, 'AcDbEntity'), (67, 1), (8, '0'),
            (100, 'AcDbViewport'), (10, centre[0]), (20, centre[1]), (30, 0.0), (40, size[0]), (41, size[1]),
            (68, 1 if vid == 1 else 2), (69, vid), (12, view_centre[0]), (22, view_centre[1]), (13, 0.0),
            (23, 0.0), (14, 10.0), (24, 10.0), (15, 10.0), (25, 10.0), (16, 0.0), (26, 0.0), (36, 1.0), (17, 0.0),
            (27, 0.0), (37, 0.0), (42, 50.0), (43, 0.0), (44, 0.0), (45, view_height), (50, 0.0), (51, 0.0),
            (72, 100), (90, 32864)]


def block(name, handle, end_handle, owner, paper, contents=()):
    flag = [(67, 1)] if paper else []
    return [(0, 'BLOCK'), (5, handle), (330, owner), (100, 'AcDbEntity')] + flag + \
        [(8, '0'), (100, 'AcDbBlockBegin'), (2, name), (70, 0), (10, 0.0), (20, 0.0), (30, 0.0), (3, name),
         (1, '')] + list(contents) + \
        [(0, 'ENDBLK'), (5, end_handle), (330, owner), (100, 'AcDbEntity')] + flag + \
        [(8, '0'), (100, 'AcDbBlockEnd')]


def layout_object(handle, name, block_handle, tab):
    return [(0, 'LAYOUT'), (5, handle), (330, '1C0'), (100, 'AcDbPlotSettings'), (1, ''), (2, 'none_device'),
            (4, 'A4'), (6, ''), (40, 0.0), (41, 0.0), (42, 0.0), (43, 0.0), (44, 297.0), (45, 210.0),
            (46, 0.0), (47, 0.0), (48, 0.0), (49, 0.0), (140, 0.0), (141, 0.0), (142, 1.0), (143, 1.0),
            (70, 688), (72, 1), (73, 0), (74, 5), (7, ''), (75, 0), (147, 1.0), (148, 0.0), (149, 0.0),
            (100, 'AcDbLayout'), (1, name), (70, 1), (71, tab), (10, 0.0), (20, 0.0), (11, 297.0), (21, 210.0),
            (12, 0.0), (22, 0.0), (32, 0.0), (14, 0.0), (24, 0.0), (34, 0.0), (15, 297.0), (25, 210.0), (35, 0.0),
            (146, 0.0), (13, 0.0), (23, 0.0), (33, 0.0), (16, 1.0), (26, 0.0), (36, 0.0), (17, 0.0), (27, 1.0),
            (37, 0.0), (76, 0), (330, block_handle)]


def paper_layout():
    layers = [record('LAYER', '10', '2', 'AcDbLayerTableRecord', [(2, '0'), (70, 0), (62, 7), (6, 'Continuous')])]
    ltypes = [record('LTYPE', '16', '5', 'AcDbLinetypeTableRecord',
                     [(2, 'Continuous'), (70, 0), (3, 'Solid line'), (72, 65), (73, 0), (40, 0.0)])]
    blocks = [record('BLOCK_RECORD', '1F', '1', 'AcDbBlockTableRecord', [(2, '*Model_Space'), (340, '22')]),
              record('BLOCK_RECORD', '30', '1', 'AcDbBlockTableRecord', [(2, '*Paper_Space'), (340, '31')])]
    tables = section('TABLES', table('LTYPE', ltypes) + table('LAYER', layers) + table('BLOCK_RECORD', blocks))
    paper = viewport('40', '30', 1, (148.5, 105.0), (297.0, 210.0), (148.5, 105.0), 210.0)
    paper += viewport('41', '30', 2, (100.0, 100.0), (100.0, 80.0), (50.0, 50.0), 120.0)
    paper += line((200.0, 20.0), (280.0, 20.0), colour=3, paper=True)
    model = []
    for start, end in (((0.0, 0.0), (100.0, 0.0)), ((100.0, 0.0), (100.0, 100.0)), ((100.0, 100.0), (0.0, 100.0)),
                       ((0.0, 100.0), (0.0, 0.0)), ((0.0, 0.0), (100.0, 100.0))):
        model += line(start, end, colour=1)
    blocks_section = section('BLOCKS', block('*Model_Space', '20', '21', '1F', False) +
                             block('*Paper_Space', '32', '33', '30', True))
    objects = [(0, 'DICTIONARY'), (5, 'C'), (330, '0'), (100, 'AcDbDictionary'), (281, 1), (3, 'ACAD_LAYOUT'),
               (350, '1C0'), (0, 'DICTIONARY'), (5, '1C0'), (330, 'C'), (100, 'AcDbDictionary'), (281, 1),
               (3, 'Model'), (350, '22'), (3, 'Sheet'), (350, '31')]
    objects += layout_object('22', 'Model', '1F', 0) + layout_object('31', 'Sheet', '30', 1)
    classes = [(0, 'CLASS'), (1, 'LAYOUT'), (2, 'AcDbLayout'), (3, 'ObjectDBX Classes'), (90, 0), (280, 0),
               (281, 0)]
    write('paper_layout_2000.dxf', header(0, [((9, '$HANDSEED'), (5, '100'))]) + section('CLASSES', classes) +
          tables + blocks_section + section('ENTITIES', paper + model) + section('OBJECTS', objects))


layer_without_colour()
justified_text()
mirrored_style_text()
spline_leader()
fit_splines()
korean_text()
far_coordinate()
paper_layout()
