#!/usr/bin/env python3
"""Writes the DXF fixtures of the display tests (run in this folder).

two_viewports_2000.dxf  a paper-space layout: the sheet (10 x 8, centred on (5, 4)) and two
                        viewports into model space, with one LINE in model space that both
                        viewports cut.
viewports_from_two_2000.dxf  the same layout without viewport 1: the display makes the sheet
                        itself and takes viewports 2 and 3 after it.
ray_two_viewports_2000.dxf  the same layout with a RAY instead of the LINE: its base (10, 10)
                        lies between the two viewports' views, it runs along (1, 1) through the
                        left one, and the line behind its base would cross the right one.
xref_host.dxf           a model space with an external reference to xref_part.dxf, inserted
                        on layer "WALLS".
xref_part.dxf           the referenced drawing: a LINE on its layer "DOORS", one on layer "0".
xref_missing_host.dxf   an external reference to a drawing that does not exist.
xref_mutual_a.dxf       a LINE and a reference to xref_mutual_b.dxf, which holds a LINE and a
xref_mutual_b.dxf       reference back to xref_mutual_a.dxf.
xref_overlay_host.dxf   an overlay reference to xref_part.dxf at the top level.
xref_overlay_part.dxf   a LINE and an overlay reference to xref_part.dxf; xref_attach_host.dxf
xref_attach_host.dxf    attaches it, so that the overlay lies inside an external drawing.
xref_no_extension.dxf   a reference to "xref_part", without an extension.
"""


def dxf(groups):
    return ''.join('%3d\n%s\n' % (code, value) for code, value in groups)


def header(version, tilemode):
    return [(0, 'SECTION'), (2, 'HEADER'), (9, '$ACADVER'), (1, version), (9, '$TILEMODE'), (70, tilemode),
            (0, 'ENDSEC')]


def section(name, groups):
    return [(0, 'SECTION'), (2, name)] + groups + [(0, 'ENDSEC')]


def layer_table(names):
    groups = [(0, 'TABLE'), (2, 'LAYER'), (70, len(names))]
    for name, colour in names:
        groups += [(0, 'LAYER'), (2, name), (70, 0), (62, colour), (6, 'CONTINUOUS')]
    return groups + [(0, 'ENDTAB')]


def line(start, end, layer='0', paper=False):
    groups = [(0, 'LINE'), (8, layer)]
    if paper:
        groups += [(67, 1)]
    return groups + [(10, start[0]), (20, start[1]), (30, 0.0), (11, end[0]), (21, end[1]), (31, 0.0)]


def viewport(vid, centre, width, height, view_centre, view_height):
    return [(0, 'VIEWPORT'), (8, '0'), (67, 1), (10, centre[0]), (20, centre[1]), (30, 0.0), (40, width),
            (41, height), (68, 1 if vid == 1 else 2), (69, vid), (12, view_centre[0]), (22, view_centre[1]),
            (13, 0.0), (23, 0.0), (14, 1.0), (24, 1.0), (15, 1.0), (25, 1.0), (16, 0.0), (26, 0.0), (36, 1.0),
            (17, 0.0), (27, 0.0), (37, 0.0), (42, 50.0), (43, 0.0), (44, 0.0), (45, view_height), (50, 0.0),
            (51, 0.0), (72, 100), (90, 32864)]


def block_records(names):
    groups = [(0, 'TABLE'), (2, 'BLOCK_RECORD'), (5, '1'), (70, len(names))]
    for name, handle in names:
        groups += [(0, 'BLOCK_RECORD'), (5, handle), (330, '1'), (100, 'AcDbSymbolTableRecord'),
                   (100, 'AcDbBlockTableRecord'), (2, name)]
    return groups + [(0, 'ENDTAB')]


def xref_block(name, path, handles, flags=4):
    return [(0, 'BLOCK'), (5, handles[0]), (330, handles[2]), (100, 'AcDbEntity'), (8, '0'),
            (100, 'AcDbBlockBegin'), (2, name), (70, flags), (10, 0.0), (20, 0.0), (30, 0.0), (3, name), (1, path),
            (0, 'ENDBLK'), (5, handles[1]), (330, handles[2]), (100, 'AcDbEntity'), (8, '0'), (100, 'AcDbBlockEnd')]


def insert(block, at, layer):
    return [(0, 'INSERT'), (8, layer), (2, block), (10, at[0]), (20, at[1]), (30, 0.0)]


def write(name, groups):
    with open(name, 'w') as f:
        f.write(dxf(groups + [(0, 'EOF')]))


def two_viewports():
    entities = viewport(1, (5.0, 4.0), 10.0, 8.0, (5.0, 4.0), 8.0)
    entities += viewport(2, (2.5, 4.0), 4.0, 6.0, (50.0, 50.0), 100.0)
    entities += viewport(3, (7.5, 4.0), 4.0, 6.0, (0.0, 0.0), 20.0)
    entities += line((0.0, 0.0), (100.0, 50.0))
    write('two_viewports_2000.dxf', header('AC1015', 0) + section('ENTITIES', entities))
    write('viewports_from_two_2000.dxf', header('AC1015', 0) + section('ENTITIES', entities[len(viewport(
        1, (5.0, 4.0), 10.0, 8.0, (5.0, 4.0), 8.0)):]))
    ray = [(0, 'RAY'), (8, '0'), (10, 10.0), (20, 10.0), (30, 0.0), (11, 0.7071067811865476),
           (21, 0.7071067811865476), (31, 0.0)]
    write('ray_two_viewports_2000.dxf', header('AC1015', 0) + section('ENTITIES', entities[:-len(
        line((0.0, 0.0), (100.0, 50.0)))] + ray))


def xrefs():
    tables = section('TABLES', layer_table([('0', 7), ('WALLS', 3)]) + block_records([('PART', '70')]))
    blocks = section('BLOCKS', xref_block('PART', 'xref_part.dxf', ('80', '81', '70')))
    entities = section('ENTITIES', insert('PART', (10.0, 0.0), 'WALLS') + line((0.0, 0.0), (1.0, 1.0), 'WALLS'))
    write('xref_host.dxf', header('AC1015', 1) + tables + blocks + entities)

    tables = section('TABLES', layer_table([('0', 7), ('DOORS', 1)]))
    entities = section('ENTITIES', line((0.0, 0.0), (1.0, 0.0), 'DOORS') + line((0.0, 0.0), (0.0, 1.0), '0'))
    write('xref_part.dxf', header('AC1015', 1) + tables + entities)

    tables = section('TABLES', block_records([('GONE', '70')]))
    blocks = section('BLOCKS', xref_block('GONE', 'no_such_drawing.dxf', ('80', '81', '70')))
    entities = section('ENTITIES', insert('GONE', (0.0, 0.0), '0') + line((0.0, 0.0), (1.0, 1.0)))
    write('xref_missing_host.dxf', header('AC1015', 1) + tables + blocks + entities)

    # A drawing with a LINE from `start` and one external reference at (10, 0).
    def referencing(name, path, start, flags=4):
        tables = section('TABLES', block_records([('REF', '70')]))
        blocks = section('BLOCKS', xref_block('REF', path, ('80', '81', '70'), flags))
        entities = section('ENTITIES', insert('REF', (10.0, 0.0), '0') + line(start, (start[0] + 1.0, start[1] + 1.0)))
        write(name, header('AC1015', 1) + tables + blocks + entities)

    referencing('xref_mutual_a.dxf', 'xref_mutual_b.dxf', (0.0, 0.0))
    referencing('xref_mutual_b.dxf', 'xref_mutual_a.dxf', (0.0, 5.0))
    referencing('xref_overlay_host.dxf', 'xref_part.dxf', (0.0, 0.0), 12)
    referencing('xref_overlay_part.dxf', 'xref_part.dxf', (0.0, 5.0), 12)
    referencing('xref_attach_host.dxf', 'xref_overlay_part.dxf', (0.0, 0.0))
    referencing('xref_no_extension.dxf', 'xref_part', (0.0, 0.0))


two_viewports()
xrefs()
