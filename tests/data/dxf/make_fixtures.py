#!/usr/bin/env python3
"""Writes the DXF fixtures of the reader tests (run in this folder).

Small files for the loader's stages and errors (solid_without_sat.dxf: a 3DSOLID without SAT
text, for tmdump --solids), and a fixture set that holds every entity and
object kind the DXF reader reads: kinds_2000.dxf with its binary twin kinds_2000.dxfb, and
kinds_r12.dxf. The dumps of the fixture set are compared with committed goldens
(tests/data/dxf/*.dump).
"""
import struct


def dxf(groups):
    return ''.join('%3d\n%s\n' % (code, value) for code, value in groups)


HEADER = [(0, 'SECTION'), (2, 'HEADER'), (9, '$ACADVER'), (1, 'AC1009'), (0, 'ENDSEC')]
ENTITIES = [(0, 'SECTION'), (2, 'ENTITIES'), (0, 'ENDSEC')]
EOF_GROUP = [(0, 'EOF')]


def line(x):
    return [(0, 'LINE'), (8, '0'), (10, str(x)), (20, '0.0'), (30, '0.0'), (11, str(x)), (21, '1.0'), (31, '0.0')]


def write(name, data, mode='w'):
    with open(name, mode) as f:
        f.write(data)


def loader_fixtures():
    write('minimal.dxf', dxf(HEADER + ENTITIES + EOF_GROUP))
    write('no_eof.dxf', dxf(HEADER + ENTITIES))
    write('code_letter.dxf', dxf(HEADER) + '  0x\nSECTION\n' + dxf([(2, 'ENTITIES'), (0, 'ENDSEC')] + EOF_GROUP))
    write('long_line.dxf', dxf(HEADER + [(999, 'x' * 2051)] + ENTITIES + EOF_GROUP))
    write('no_section.dxf', 'This is a text file\nand not a drawing.\n')
    write('entities_only.dxf', dxf(ENTITIES + EOF_GROUP))
    # 100 lines in the entities and three blocks of one line each: the progress sequence.
    blocks = [(0, 'SECTION'), (2, 'BLOCKS')]
    for name in ('A', 'B', 'C'):
        blocks += [(0, 'BLOCK'), (8, '0'), (2, name), (70, '0'), (10, '0.0'), (20, '0.0'), (30, '0.0')]
        blocks += line(0) + [(0, 'ENDBLK'), (8, '0')]
    blocks += [(0, 'ENDSEC')]
    entities = [(0, 'SECTION'), (2, 'ENTITIES')]
    for i in range(100):
        entities += line(i)
    entities += [(0, 'ENDSEC')]
    write('progress.dxf', dxf(HEADER + blocks + entities + EOF_GROUP))
    # The head of an "AC1013" drawing.
    write('ac1013.dwg', b'AC1013' + bytes(64), 'wb')
    # The head of a DWG file older than "AC1002" (release 2.10).
    write('release_2_10.dwg', b'AC2.10' + bytes(64), 'wb')
    # Two layers with one handle, as damaged files have them.
    layers = [(0, 'SECTION'), (2, 'TABLES'), (0, 'TABLE'), (2, 'LAYER'), (5, '2'), (70, '2')]
    for name in ('A', 'B'):
        layers += [(0, 'LAYER'), (5, '10'), (2, name), (70, '0'), (62, '7'), (6, 'CONTINUOUS')]
    layers += [(0, 'ENDTAB'), (0, 'ENDSEC')]
    write('duplicate_handle.dxf', dxf([(0, 'SECTION'), (2, 'HEADER'), (9, '$ACADVER'), (1, 'AC1015'), (0, 'ENDSEC')]
                                      + layers + ENTITIES + EOF_GROUP))
    write('newer_version.dxf', dxf(newer_version()))
    # A 3DSOLID that holds no SAT text at all.
    write('solid_without_sat.dxf', dxf([(0, 'SECTION'), (2, 'HEADER'), (9, '$ACADVER'), (1, 'AC1015'), (0, 'ENDSEC'),
                                        (0, 'SECTION'), (2, 'ENTITIES'), (0, '3DSOLID'), (5, '20'),
                                        (100, 'AcDbEntity'), (8, '0'), (100, 'AcDbModelerGeometry'), (70, '1'),
                                        (0, 'ENDSEC')] + EOF_GROUP))


def newer_version():
    """A drawing of a version newer than "AC1015": two classes, a layer, a LINE and an LWPOLYLINE,
    three objects."""
    g = [(0, 'SECTION'), (2, 'HEADER'), (9, '$ACADVER'), (1, 'AC1018'), (9, '$HANDSEED'), (5, '30'),
         (0, 'ENDSEC')]
    g += [(0, 'SECTION'), (2, 'CLASSES')]
    for name, cpp in (('ACDBDICTIONARYWDFLT', 'AcDbDictionaryWithDefault'), ('MLEADERSTYLE', 'AcDbMLeaderStyle')):
        g += [(0, 'CLASS'), (1, name), (2, cpp), (3, 'Fixture'), (90, '0'), (91, '0'), (280, '0'), (281, '0')]
    g += [(0, 'ENDSEC')]
    g += [(0, 'SECTION'), (2, 'TABLES'), (0, 'TABLE'), (2, 'LAYER'), (5, '2'), (330, '0'),
          (100, 'AcDbSymbolTable'), (70, '1'),
          (0, 'LAYER'), (5, '10'), (330, '2'), (100, 'AcDbSymbolTableRecord'), (100, 'AcDbLayerTableRecord'),
          (2, 'WALLS'), (70, '0'), (62, '3'), (6, 'Continuous'),
          (0, 'ENDTAB'), (0, 'ENDSEC')]
    g += [(0, 'SECTION'), (2, 'ENTITIES'),
          (0, 'LINE'), (5, '20'), (330, '1F'), (100, 'AcDbEntity'), (8, 'WALLS'), (100, 'AcDbLine'),
          (10, '0.0'), (20, '0.0'), (30, '0.0'), (11, '10.0'), (21, '5.0'), (31, '0.0'),
          (0, 'LWPOLYLINE'), (5, '21'), (330, '1F'), (100, 'AcDbEntity'), (8, 'WALLS'), (100, 'AcDbPolyline'),
          (90, '2'), (70, '0'), (43, '0.0'), (10, '0.0'), (20, '0.0'), (10, '3.0'), (20, '4.0'),
          (0, 'ENDSEC')]
    g += [(0, 'SECTION'), (2, 'OBJECTS'),
          (0, 'DICTIONARY'), (5, 'C'), (330, '0'), (100, 'AcDbDictionary'), (281, '1'), (3, 'ACAD_MLEADERSTYLE'),
          (350, 'D'),
          (0, 'DICTIONARY'), (5, 'D'), (330, 'C'), (100, 'AcDbDictionary'), (281, '1'), (3, 'Standard'),
          (350, 'E'),
          (0, 'MLEADERSTYLE'), (5, 'E'), (330, 'D'), (100, 'AcDbMLeaderStyle'), (170, '2'), (171, '1'),
          (0, 'ENDSEC')]
    return g + EOF_GROUP


# --- Binary DXF ---------------------------------------------------------------------------------

def binary_form(code):
    """How a binary DXF file of version 2000 stores the value of a code."""
    def within(first, last):
        return first <= code <= last
    if any(within(a, b) for a, b in ((10, 59), (110, 149), (210, 239), (460, 469), (1010, 1059))):
        return 'd'
    if within(290, 299):
        return 'b'
    if any(within(a, b) for a, b in ((60, 79), (170, 179), (270, 289), (370, 389), (400, 409), (1060, 1070))):
        return 'h'
    if within(90, 99) or within(420, 429) or within(440, 459) or code == 1071:
        return 'l'
    if within(310, 319) or code == 1004:
        return 'c'
    return 's'


def binary_dxf(groups):
    out = bytearray(b'AutoCAD Binary DXF\r\n\x1a\x00')
    for code, value in groups:
        out += struct.pack('<H', code)
        form = binary_form(code)
        if form == 'd':
            out += struct.pack('<d', float(value))
        elif form == 'b':
            out += struct.pack('<B', int(value))
        elif form == 'h':
            out += struct.pack('<h', int(value))
        elif form == 'l':
            out += struct.pack('<i', int(value))
        elif form == 'c':
            data = bytes.fromhex(value)
            out += struct.pack('<B', len(data)) + data
        else:
            out += value.encode('latin-1') + b'\x00'
    return bytes(out)


# --- The fixture set ----------------------------------------------------------------------------

def acis(text):
    """SAT text as DXF stores it: every byte from 33 to 126 replaced by 159 minus it."""
    return ''.join(chr(159 - ord(c)) if 33 <= ord(c) <= 126 else c for c in text)


def entity(kind, handle, subclasses, groups, layer='0', owner='1F'):
    head = [(0, kind), (5, handle), (330, owner), (100, 'AcDbEntity'), (8, layer)]
    return head + [(100, s) for s in subclasses[:1]] + groups


CLASSES_2000 = [
    ('LWPOLYLINE', 'AcDbPolyline', 1), ('HATCH', 'AcDbHatch', 1), ('IMAGE', 'AcDbRasterImage', 1),
    ('WIPEOUT', 'AcDbWipeout', 1), ('OLE2FRAME', 'AcDbOle2Frame', 1), ('RTEXT', 'RText', 1),
    ('ARCALIGNEDTEXT', 'AcDbArcAlignedText', 1), ('MYENTITY', 'MyEntity', 1),
    ('XRECORD', 'AcDbXrecord', 0), ('IMAGEDEF', 'AcDbRasterImageDef', 0),
    ('IMAGEDEF_REACTOR', 'AcDbRasterImageDefReactor', 0), ('RASTERVARIABLES', 'AcDbRasterVariables', 0),
    ('SORTENTSTABLE', 'AcDbSortentsTable', 0), ('LAYOUT', 'AcDbLayout', 0), ('PLOTSETTINGS', 'AcDbPlotSettings', 0),
    ('ACDBDICTIONARYWDFLT', 'AcDbDictionaryWithDefault', 0), ('ACDBPLACEHOLDER', 'AcDbPlaceHolder', 0),
    ('DICTIONARYVAR', 'AcDbDictionaryVar', 0), ('IDBUFFER', 'AcDbIdBuffer', 0), ('DIMASSOC', 'AcDbDimAssoc', 0),
    ('LAYER_INDEX', 'AcDbLayerIndex', 0), ('SPATIAL_INDEX', 'AcDbSpatialIndex', 0),
    ('SPATIAL_FILTER', 'AcDbSpatialFilter', 0), ('OBJECT_PTR', 'CAseDLPNTableRecord', 0),
    ('VBA_PROJECT', 'AcDbVbaProject', 0), ('WIPEOUTVARIABLES', 'AcDbWipeoutVariables', 0),
    ('MYOBJECT', 'MyObject', 0),
]


def kinds_2000():
    g = []
    g += [(0, 'SECTION'), (2, 'HEADER'), (9, '$ACADVER'), (1, 'AC1015'), (9, '$HANDSEED'), (5, '400'),
          (9, '$CLAYER'), (8, 'WALLS'), (9, '$CELTYPE'), (6, 'BYLAYER'), (9, '$CMLSTYLE'), (2, 'Standard'),
          (9, '$DIMBLK'), (1, 'ARROW'), (9, '$INSBASE'), (10, '1.0'), (20, '2.0'), (30, '3.0'),
          (9, '$TDCREATE'), (40, '2451544.5'), (9, '$DWGCODEPAGE'), (3, 'ANSI_1252'), (0, 'ENDSEC')]
    g += [(0, 'SECTION'), (2, 'CLASSES')]
    for name, cpp, entity_class in CLASSES_2000:
        g += [(0, 'CLASS'), (1, name), (2, cpp), (3, 'Fixture'), (90, '0'), (280, '0'), (281, str(entity_class))]
    g += [(0, 'ENDSEC')]
    g += [(0, 'SECTION'), (2, 'TABLES')]
    g += [(0, 'TABLE'), (2, 'VPORT'), (5, '8'), (330, '0'), (100, 'AcDbSymbolTable'), (70, '1'),
          (0, 'VPORT'), (5, '29'), (330, '8'), (100, 'AcDbSymbolTableRecord'), (100, 'AcDbViewportTableRecord'),
          (2, '*Active'), (70, '0'), (10, '0.0'), (20, '0.0'), (11, '1.0'), (21, '1.0'), (12, '50.0'), (22, '40.0'),
          (13, '0.0'), (23, '0.0'), (14, '1.0'), (24, '1.0'), (15, '10.0'), (25, '10.0'), (16, '0.0'),
          (26, '0.0'), (36, '1.0'), (17, '0.0'), (27, '0.0'), (37, '0.0'), (40, '80.0'), (41, '1.5'), (42, '50.0'),
          (43, '0.0'), (44, '0.0'), (50, '0.0'), (51, '0.0'), (71, '0'), (72, '100'), (73, '1'), (74, '3'),
          (75, '0'), (76, '1'), (77, '0'), (78, '0'), (281, '0'), (65, '1'), (110, '0.0'), (120, '0.0'),
          (130, '0.0'), (111, '1.0'), (121, '0.0'), (131, '0.0'), (112, '0.0'), (122, '1.0'), (132, '0.0'),
          (79, '0'), (146, '0.0'), (0, 'ENDTAB')]
    g += [(0, 'TABLE'), (2, 'LTYPE'), (5, '5'), (330, '0'), (100, 'AcDbSymbolTable'), (70, '4'),
          (0, 'LTYPE'), (5, '14'), (330, '5'), (100, 'AcDbSymbolTableRecord'), (100, 'AcDbLinetypeTableRecord'),
          (2, 'ByBlock'), (70, '0'), (3, ''), (72, '65'), (73, '0'), (40, '0.0'),
          (0, 'LTYPE'), (5, '15'), (330, '5'), (100, 'AcDbSymbolTableRecord'), (100, 'AcDbLinetypeTableRecord'),
          (2, 'ByLayer'), (70, '0'), (3, ''), (72, '65'), (73, '0'), (40, '0.0'),
          (0, 'LTYPE'), (5, '16'), (330, '5'), (100, 'AcDbSymbolTableRecord'), (100, 'AcDbLinetypeTableRecord'),
          (2, 'Continuous'), (70, '0'), (3, 'Solid line'), (72, '65'), (73, '0'), (40, '0.0'),
          (0, 'LTYPE'), (5, '17'), (330, '5'), (100, 'AcDbSymbolTableRecord'), (100, 'AcDbLinetypeTableRecord'),
          (2, 'GAS'), (70, '0'), (3, '--GAS--'), (72, '65'), (73, '3'), (40, '1.2'),
          (49, '0.5'), (74, '0'), (49, '-0.2'), (74, '2'), (75, '0'), (340, '11'), (46, '0.1'), (50, '0.0'),
          (44, '-0.1'), (45, '-0.05'), (9, 'GAS'), (49, '-0.5'), (74, '0'), (0, 'ENDTAB')]
    g += [(0, 'TABLE'), (2, 'LAYER'), (5, '2'), (330, '0'), (100, 'AcDbSymbolTable'), (70, '2'),
          (0, 'LAYER'), (5, '10'), (330, '2'), (100, 'AcDbSymbolTableRecord'), (100, 'AcDbLayerTableRecord'),
          (2, '0'), (70, '0'), (62, '7'), (6, 'Continuous'), (370, '-3'), (390, 'F'),
          (0, 'LAYER'), (5, '18'), (330, '2'), (100, 'AcDbSymbolTableRecord'), (100, 'AcDbLayerTableRecord'),
          (2, 'WALLS'), (70, '4'), (62, '-3'), (6, 'GAS'), (290, '0'), (370, '50'), (390, 'F'),
          (1001, 'FIXTURE'), (1000, 'a layer'), (1070, '5'), (1040, '0.25'), (0, 'ENDTAB')]
    g += [(0, 'TABLE'), (2, 'STYLE'), (5, '3'), (330, '0'), (100, 'AcDbSymbolTable'), (70, '2'),
          (0, 'STYLE'), (5, '11'), (330, '3'), (100, 'AcDbSymbolTableRecord'), (100, 'AcDbTextStyleTableRecord'),
          (2, 'Standard'), (70, '0'), (40, '0.0'), (41, '1.0'), (50, '0.0'), (71, '0'), (42, '2.5'),
          (3, 'txt'), (4, ''),
          (0, 'STYLE'), (5, '19'), (330, '3'), (100, 'AcDbSymbolTableRecord'), (100, 'AcDbTextStyleTableRecord'),
          (2, 'Narrow'), (70, '0'), (40, '0.0'), (41, '0.7'), (50, '15.0'), (71, '2'), (42, '2.5'),
          (3, 'romans.shx'), (4, ''), (0, 'ENDTAB')]
    g += [(0, 'TABLE'), (2, 'VIEW'), (5, '6'), (330, '0'), (100, 'AcDbSymbolTable'), (70, '1'),
          (0, 'VIEW'), (5, '1A'), (330, '6'), (100, 'AcDbSymbolTableRecord'), (100, 'AcDbViewTableRecord'),
          (2, 'FRONT'), (70, '0'), (40, '10.0'), (10, '3.0'), (20, '4.0'), (41, '20.0'), (11, '0.0'), (21, '-1.0'),
          (31, '0.0'), (12, '0.0'), (22, '0.0'), (32, '0.0'), (42, '50.0'), (43, '0.0'), (44, '0.0'), (50, '90.0'),
          (71, '0'), (281, '0'), (72, '0'), (0, 'ENDTAB')]
    g += [(0, 'TABLE'), (2, 'UCS'), (5, '7'), (330, '0'), (100, 'AcDbSymbolTable'), (70, '1'),
          (0, 'UCS'), (5, '1B'), (330, '7'), (100, 'AcDbSymbolTableRecord'), (100, 'AcDbUCSTableRecord'),
          (2, 'TILTED'), (70, '0'), (10, '1.0'), (20, '2.0'), (30, '3.0'), (11, '0.0'), (21, '1.0'), (31, '0.0'),
          (12, '-1.0'), (22, '0.0'), (32, '0.0'), (79, '0'), (146, '0.0'), (0, 'ENDTAB')]
    g += [(0, 'TABLE'), (2, 'APPID'), (5, '9'), (330, '0'), (100, 'AcDbSymbolTable'), (70, '2'),
          (0, 'APPID'), (5, '12'), (330, '9'), (100, 'AcDbSymbolTableRecord'), (100, 'AcDbRegAppTableRecord'),
          (2, 'ACAD'), (70, '0'),
          (0, 'APPID'), (5, '1C'), (330, '9'), (100, 'AcDbSymbolTableRecord'), (100, 'AcDbRegAppTableRecord'),
          (2, 'FIXTURE'), (70, '0'), (0, 'ENDTAB')]
    g += [(0, 'TABLE'), (2, 'DIMSTYLE'), (5, 'A'), (330, '0'), (100, 'AcDbSymbolTable'), (70, '1'),
          (100, 'AcDbDimStyleTable'), (71, '0'),
          (0, 'DIMSTYLE'), (105, '27'), (330, 'A'), (100, 'AcDbSymbolTableRecord'),
          (100, 'AcDbDimStyleTableRecord'), (2, 'Standard'), (70, '0'), (40, '1.0'), (41, '0.18'), (140, '0.18'),
          (173, '0'), (77, '1'), (279, '2'), (271, '2'), (340, '11'), (0, 'ENDTAB')]
    g += [(0, 'TABLE'), (2, 'BLOCK_RECORD'), (5, '1'), (330, '0'), (100, 'AcDbSymbolTable'), (70, '3'),
          (0, 'BLOCK_RECORD'), (5, '1F'), (330, '1'), (100, 'AcDbSymbolTableRecord'),
          (100, 'AcDbBlockTableRecord'), (2, '*Model_Space'), (340, '22'),
          (0, 'BLOCK_RECORD'), (5, '1E'), (330, '1'), (100, 'AcDbSymbolTableRecord'),
          (100, 'AcDbBlockTableRecord'), (2, '*Paper_Space'), (340, '1D'),
          (0, 'BLOCK_RECORD'), (5, '30'), (330, '1'), (100, 'AcDbSymbolTableRecord'),
          (100, 'AcDbBlockTableRecord'), (2, 'DOOR'), (340, '0'), (310, '0102030405'), (0, 'ENDTAB')]
    g += [(0, 'ENDSEC')]

    g += [(0, 'SECTION'), (2, 'BLOCKS'),
          (0, 'BLOCK'), (5, '20'), (330, '1F'), (100, 'AcDbEntity'), (8, '0'), (100, 'AcDbBlockBegin'),
          (2, '*Model_Space'), (70, '0'), (10, '0.0'), (20, '0.0'), (30, '0.0'), (3, '*Model_Space'), (1, ''),
          (0, 'ENDBLK'), (5, '21'), (330, '1F'), (100, 'AcDbEntity'), (8, '0'), (100, 'AcDbBlockEnd'),
          (0, 'BLOCK'), (5, '1F0'), (330, '1E'), (100, 'AcDbEntity'), (67, '1'), (8, '0'), (100, 'AcDbBlockBegin'),
          (2, '*Paper_Space'), (70, '0'), (10, '0.0'), (20, '0.0'), (30, '0.0'), (3, '*Paper_Space'), (1, ''),
          (0, 'ENDBLK'), (5, '1F1'), (330, '1E'), (100, 'AcDbEntity'), (67, '1'), (8, '0'), (100, 'AcDbBlockEnd'),
          (0, 'BLOCK'), (5, '31'), (330, '30'), (100, 'AcDbEntity'), (8, '0'), (100, 'AcDbBlockBegin'),
          (2, 'DOOR'), (70, '2'), (10, '0.0'), (20, '0.0'), (30, '0.0'), (3, 'DOOR'), (1, ''), (4, 'A door')]
    g += entity('LINE', '32', ['AcDbLine'], [(10, '0'), (20, '0'), (30, '0'), (11, '1'), (21, '2'), (31, '0')], owner='30')
    g += entity('ATTDEF', '33', ['AcDbText'], [(10, '0'), (20, '0'), (30, '0'), (40, '0.25'), (1, 'none'),
                                               (100, 'AcDbAttributeDefinition'), (3, 'Width?'), (2, 'WIDTH'),
                                               (70, '0'), (73, '0')], owner='30')
    g += [(0, 'ENDBLK'), (5, '34'), (330, '30'), (100, 'AcDbEntity'), (8, '0'), (100, 'AcDbBlockEnd'),
          (0, 'ENDSEC')]

    e = [(0, 'SECTION'), (2, 'ENTITIES')]
    e += entity('LINE', '40', ['AcDbLine'], [(39, '1.5'), (62, '-7'), (6, 'GAS'), (48, '2.0'), (370, '30'),
                                             (10, '1.0'), (20, '2.0'), (30, '0.0'), (11, '4.0'), (21, '6.0'),
                                             (31, '0.0'), (210, '0.0'), (220, '0.0'), (230, '-1.0'),
                                             (1001, 'FIXTURE'), (1002, '{'), (1010, '1.0'), (1020, '2.0'),
                                             (1030, '3.0'), (1003, 'WALLS'), (1005, '18'), (1071, '70000'),
                                             (1004, '0A0B0C'), (1002, '}')], layer='WALLS')
    e += entity('POINT', '41', ['AcDbPoint'], [(10, '1.0'), (20, '1.0'), (30, '0.0'), (50, '30.0')])
    e += entity('CIRCLE', '42', ['AcDbCircle'], [(10, '5.0'), (20, '5.0'), (30, '0.0'), (40, '2.5')])
    e += entity('ARC', '43', ['AcDbCircle'], [(10, '5.0'), (20, '5.0'), (30, '0.0'), (40, '3.0'),
                                              (100, 'AcDbArc'), (50, '0.0'), (51, '90.0')])
    e += entity('ELLIPSE', '44', ['AcDbEllipse'], [(10, '0.0'), (20, '0.0'), (30, '0.0'), (11, '4.0'), (21, '0.0'),
                                                   (31, '0.0'), (210, '0.0'), (220, '0.0'), (230, '1.0'),
                                                   (40, '0.5'), (41, '0.0'), (42, '6.283185307179586')])
    e += entity('SPLINE', '45', ['AcDbSpline'], [(210, '0.0'), (220, '0.0'), (230, '1.0'), (70, '8'), (71, '3'),
                                                 (72, '8'), (73, '4'), (74, '0'), (42, '1e-10'), (43, '1e-10'),
                                                 (40, '0'), (40, '0'), (40, '0'), (40, '0'), (40, '1'), (40, '1'),
                                                 (40, '1'), (40, '1'), (10, '0'), (20, '0'), (30, '0'), (10, '1'),
                                                 (20, '2'), (30, '0'), (10, '3'), (20, '2'), (30, '0'), (10, '4'),
                                                 (20, '0'), (30, '0')])
    e += entity('TEXT', '46', ['AcDbText'], [(10, '1.0'), (20, '1.0'), (30, '0.0'), (40, '2.5'), (1, 'Label'),
                                             (50, '45.0'), (41, '0.8'), (7, 'Narrow'), (72, '1'), (11, '3.0'),
                                             (21, '1.0'), (31, '0.0'), (100, 'AcDbText'), (73, '2')])
    e += entity('SOLID', '47', ['AcDbTrace'], [(10, '0'), (20, '0'), (30, '0'), (11, '1'), (21, '0'), (31, '0'),
                                               (12, '0'), (22, '1'), (32, '0'), (13, '1'), (23, '1'), (33, '0')])
    e += entity('TRACE', '48', ['AcDbTrace'], [(10, '0'), (20, '0'), (30, '0'), (11, '2'), (21, '0'), (31, '0'),
                                               (12, '0'), (22, '2'), (32, '0'), (13, '2'), (23, '2'), (33, '0')])
    e += entity('3DFACE', '49', ['AcDbFace'], [(10, '0'), (20, '0'), (30, '0'), (11, '1'), (21, '0'), (31, '1'),
                                               (12, '1'), (22, '1'), (32, '1'), (13, '0'), (23, '1'), (33, '0'),
                                               (70, '5')])
    e += entity('SHAPE', '4A', ['AcDbShape'], [(10, '1'), (20, '1'), (30, '0'), (40, '2.0'), (2, 'BOX'),
                                               (50, '10.0'), (41, '1.2'), (51, '5.0')])
    e += entity('INSERT', '4B', ['AcDbBlockReference'], [(66, '1'), (2, 'DOOR'), (10, '10'), (20, '0'), (30, '0'),
                                                         (41, '2'), (42, '2'), (43, '1'), (50, '90.0')])
    e += entity('ATTRIB', '4C', ['AcDbText'], [(10, '10'), (20, '0'), (30, '0'), (40, '0.25'), (1, '900'),
                                               (100, 'AcDbAttribute'), (2, 'WIDTH'), (70, '0'), (73, '0')])
    e += [(0, 'SEQEND'), (5, '4D'), (330, '4B'), (100, 'AcDbEntity'), (8, '0')]
    e += entity('POLYLINE', '4E', ['AcDb3dPolyline'], [(66, '1'), (10, '0'), (20, '0'), (30, '0'), (70, '8'),
                                                       (62, '3')])
    for handle, x in (('4F', '0'), ('50', '1')):
        e += entity('VERTEX', handle, ['AcDbVertex'], [(100, 'AcDb3dPolylineVertex'), (10, x), (20, x), (30, x),
                                                       (70, '32')], owner='4E')
    e += [(0, 'SEQEND'), (5, '51'), (330, '4E'), (100, 'AcDbEntity'), (8, '0')]
    e += entity('DIMENSION', '52', ['AcDbDimension'], [(2, '*D1'), (10, '0'), (20, '1'), (30, '0'), (11, '2'),
                                                       (21, '1.2'), (31, '0'), (70, '32'), (1, '<>'), (71, '5'),
                                                       (42, '4.0'), (3, 'Standard'), (100, 'AcDbAlignedDimension'),
                                                       (13, '0'), (23, '0'), (33, '0'), (14, '4'), (24, '0'),
                                                       (34, '0'), (100, 'AcDbRotatedDimension')])
    e += entity('3DSOLID', '53', ['AcDbModelerGeometry'], [(70, '1'), (1, acis('400 0 1 0')),
                                                          (1, acis('body $-1 $1 A $2 #')),
                                                          (3, acis('continued A')), (1, acis(' tail'))])
    e += entity('REGION', '54', ['AcDbModelerGeometry'], [(70, '1'), (1, acis('region'))])
    e += entity('BODY', '55', ['AcDbModelerGeometry'], [(70, '1'), (1, acis('body'))])
    e += entity('RAY', '56', ['AcDbRay'], [(10, '0'), (20, '0'), (30, '0'), (11, '1'), (21, '0'), (31, '0')])
    e += entity('XLINE', '57', ['AcDbXline'], [(10, '0'), (20, '0'), (30, '0'), (11, '0'), (21, '1'), (31, '0')])
    e += entity('MTEXT', '58', ['AcDbMText'], [(10, '1'), (20, '2'), (30, '0'), (40, '2.5'), (41, '30'), (71, '7'),
                                               (72, '5'), (3, 'The first piece, '), (3, 'the second piece, '),
                                               (1, 'and the end.'), (7, 'Narrow'), (50, '30.0'), (73, '1'),
                                               (44, '1.5')])
    e += entity('LEADER', '59', ['AcDbLeader'], [(3, 'Standard'), (71, '1'), (72, '0'), (73, '3'), (74, '1'),
                                                 (75, '1'), (40, '0.0'), (41, '0.0'), (76, '4'), (10, '0'),
                                                 (20, '0'), (30, '0'), (10, '5'), (20, '5'), (30, '0'), (10, '6'),
                                                 (20, '5'), (30, '0'), (10, '7'), (20, '5'), (30, '0'),
                                                 (211, '1'), (221, '0'), (231, '0')])
    e += entity('TOLERANCE', '5A', ['AcDbFcf'], [(3, 'Standard'), (10, '1'), (20, '1'), (30, '0'),
                                                 (1, '{\\Fgdt;j}%%v0.1'), (11, '1'), (21, '0'), (31, '0')])
    e += entity('MLINE', '5B', ['AcDbMline'], [(2, 'STANDARD'), (340, '1A0'), (40, '1.0'), (70, '0'), (71, '1'),
                                               (72, '2'), (73, '2'), (10, '0'), (20, '0'), (30, '0'),
                                               (11, '0'), (21, '0'), (31, '0'), (12, '1'), (22, '0'), (32, '0'),
                                               (13, '0'), (23, '1'), (33, '0'), (74, '2'), (41, '0.5'), (41, '0'),
                                               (75, '0'), (74, '2'), (41, '-0.5'), (41, '0'), (75, '0'),
                                               (11, '5'), (21, '0'), (31, '0'), (12, '1'), (22, '0'), (32, '0'),
                                               (13, '0'), (23, '1'), (33, '0'), (74, '1'), (41, '0.5'), (75, '1'),
                                               (42, '0.25'), (74, '1'), (41, '-0.5'), (75, '0')])
    e += entity('LWPOLYLINE', '5C', ['AcDbPolyline'], [(90, '3'), (70, '1'), (43, '0.0'), (38, '2.0'),
                                                       (10, '0'), (20, '0'), (10, '5'), (20, '0'), (42, '0.5'),
                                                       (10, '5'), (20, '5'), (40, '0.1'), (41, '0.2')])
    e += entity('HATCH', '5D', ['AcDbHatch'], [
        (10, '0'), (20, '0'), (30, '0'), (210, '0'), (220, '0'), (230, '1'), (2, 'ANSI31'), (70, '0'), (71, '1'),
        (91, '2'),
        (92, '7'), (72, '1'), (73, '1'), (93, '3'), (10, '0'), (20, '0'), (42, '0.5'), (10, '1'), (20, '0'),
        (42, '0'), (10, '1'), (20, '1'), (42, '0'), (97, '1'), (330, '5C'),
        (92, '1'), (93, '4'),
        (72, '1'), (10, '0'), (20, '0'), (11, '1'), (21, '0'),
        (72, '2'), (10, '0'), (20, '0'), (40, '1'), (50, '0'), (51, '90'), (73, '1'),
        (72, '3'), (10, '0'), (20, '0'), (11, '2'), (21, '0'), (40, '0.5'), (50, '0'), (51, '180'), (73, '1'),
        (72, '4'), (94, '3'), (73, '0'), (74, '0'), (95, '8'), (96, '4'), (40, '0'), (40, '0'), (40, '0'),
        (40, '0'), (40, '1'), (40, '1'), (40, '1'), (40, '1'), (10, '0'), (20, '0'), (10, '1'), (20, '1'),
        (10, '2'), (20, '1'), (10, '3'), (20, '0'),
        (97, '0'),
        (75, '1'), (76, '1'), (52, '45'), (41, '2'), (77, '0'), (78, '1'), (53, '45'), (43, '0'), (44, '0'),
        (45, '-0.1'), (46, '0.1'), (79, '2'), (49, '0.2'), (49, '-0.1'), (47, '0.05'), (98, '1'), (10, '0.5'),
        (20, '0.5')])
    e += entity('IMAGE', '5E', ['AcDbRasterImage'], [(90, '0'), (10, '0'), (20, '0'), (30, '0'), (11, '0.1'),
                                                     (21, '0'), (31, '0'), (12, '0'), (22, '0.1'), (32, '0'),
                                                     (13, '64'), (23, '48'), (340, '70'), (70, '7'), (280, '0'),
                                                     (281, '50'), (282, '50'), (283, '0'), (360, '71'), (71, '1'),
                                                     (91, '2'), (14, '-0.5'), (24, '-0.5'), (14, '63.5'),
                                                     (24, '47.5')])
    e += entity('WIPEOUT', '5F', ['AcDbWipeout'], [(90, '0'), (10, '0'), (20, '0'), (30, '0'), (11, '1'),
                                                   (21, '0'), (31, '0'), (12, '0'), (22, '1'), (32, '0'),
                                                   (13, '1'), (23, '1'), (340, '0'), (70, '7'), (280, '1'),
                                                   (281, '50'), (282, '50'), (283, '0'), (360, '0'), (71, '2'),
                                                   (91, '4'), (14, '-0.5'), (24, '-0.5'), (14, '0.5'),
                                                   (24, '-0.5'), (14, '0'), (24, '0.5'), (14, '-0.5'),
                                                   (24, '-0.5')])
    e += entity('OLE2FRAME', '60', ['AcDbOle2Frame'], [(70, '2'), (3, 'Paintbrush Picture'), (10, '0'),
                                                       (20, '10'), (30, '0'), (11, '10'), (21, '0'), (31, '0'),
                                                       (71, '2'), (72, '0'), (90, '4'), (310, 'CAFEBABE'),
                                                       (1, 'OLE')])
    e += entity('RTEXT', '61', ['RText'], [(10, '1'), (20, '1'), (30, '0'), (40, '2.0'), (50, '90.0'),
                                           (7, 'Narrow'), (70, '0'), (1, 'remote text')])
    e += entity('ARCALIGNEDTEXT', '62', ['AcDbArcAlignedText'], [(1, 'ARC TEXT'), (2, 'Arial'), (3, ''),
                                                                 (7, 'Standard'), (10, '0'), (20, '0'),
                                                                 (30, '0'), (40, '5.0'), (41, '1.0'),
                                                                 (42, '1.5'), (43, '0.0'), (44, '0.2'),
                                                                 (45, '0.0'), (46, '0.0'), (50, '0.5'),
                                                                 (51, '2.5'), (70, '0'), (71, '1'), (72, '0'),
                                                                 (73, '0'), (74, '0'), (75, '0'), (76, '1'),
                                                                 (77, '0'), (78, '0'), (79, '0'), (90, '256'),
                                                                 (280, '1'), (330, '43')])
    e += entity('MYENTITY', '63', ['MyEntity'], [(10, '1.0'), (20, '2.0'), (30, '3.0'), (40, '0.5'), (70, '3'),
                                                 (1, 'custom'), (340, '46'), (92, '2'), (310, 'BEEF')])
    e += [(0, 'ACAD_PROXY_ENTITY'), (5, '64'), (330, '1F'), (100, 'AcDbEntity'), (8, '0'),
          (100, 'AcDbProxyEntity'), (90, '498'), (91, '501'), (92, '4'), (310, '01020304'), (93, '24'),
          (310, 'AABBCC'), (330, '42'), (340, '43'), (94, '0'), (95, '12'), (70, '0')]
    e += entity('VIEWPORT', '65', ['AcDbViewport'], [(67, '1'), (10, '5'), (20, '4'), (30, '0'), (40, '10'),
                                                     (41, '8'), (68, '1'), (69, '1'), (12, '5'), (22, '4'),
                                                     (13, '0'), (23, '0'), (14, '1'), (24, '1'), (15, '1'),
                                                     (25, '1'), (16, '0'), (26, '0'), (36, '1'), (17, '0'),
                                                     (27, '0'), (37, '0'), (42, '50'), (43, '0'), (44, '0'),
                                                     (45, '8'), (50, '0'), (51, '0'), (72, '100'), (90, '32864'),
                                                     (1, ''), (281, '0'), (71, '1'), (74, '0'), (110, '0'),
                                                     (120, '0'), (130, '0'), (111, '1'), (121, '0'), (131, '0'),
                                                     (112, '0'), (122, '1'), (132, '0'), (79, '0'), (146, '0'),
                                                     (341, '18')])
    e += [(0, 'ENDSEC')]
    g += e

    o = [(0, 'SECTION'), (2, 'OBJECTS')]
    o += [(0, 'DICTIONARY'), (5, 'C'), (330, '0'), (100, 'AcDbDictionary'), (281, '1'),
          (3, 'ACAD_GROUP'), (350, 'D'), (3, 'ACAD_IMAGE_DICT'), (350, '72'), (3, 'ACAD_IMAGE_VARS'), (350, '73'),
          (3, 'ACAD_LAYOUT'), (350, '1C0'), (3, 'ACAD_MLINESTYLE'), (350, '17A'),
          (3, 'ACAD_PLOTSETTINGS'), (350, '1C4'), (3, 'ACAD_PLOTSTYLENAME'), (350, 'E'), (3, 'FIXTURE'), (350, '80')]
    o += [(0, 'DICTIONARY'), (5, 'D'), (102, '{ACAD_REACTORS'), (330, 'C'), (102, '}'), (330, 'C'),
          (100, 'AcDbDictionary'), (281, '1'), (3, '*A1'), (350, '1B0')]
    o += [(0, 'ACDBDICTIONARYWDFLT'), (5, 'E'), (102, '{ACAD_REACTORS'), (330, 'C'), (102, '}'), (330, 'C'),
          (100, 'AcDbDictionary'), (281, '1'), (3, 'Normal'), (350, 'F'), (100, 'AcDbDictionaryWithDefault'),
          (340, 'F')]
    o += [(0, 'ACDBPLACEHOLDER'), (5, 'F'), (102, '{ACAD_REACTORS'), (330, 'E'), (102, '}'), (330, 'E')]
    o += [(0, 'DICTIONARY'), (5, '72'), (330, 'C'), (100, 'AcDbDictionary'), (281, '1'), (3, 'brick'),
          (350, '70')]
    o += [(0, 'IMAGEDEF'), (5, '70'), (102, '{ACAD_REACTORS'), (330, '72'), (330, '71'), (102, '}'),
          (330, '72'), (100, 'AcDbRasterImageDef'), (90, '0'), (1, 'brick.png'), (10, '64.0'), (20, '48.0'),
          (11, '0.1'), (21, '0.1'), (280, '1'), (281, '0')]
    o += [(0, 'IMAGEDEF_REACTOR'), (5, '71'), (330, '5E'), (100, 'AcDbRasterImageDefReactor'), (90, '2'),
          (330, '5E')]
    o += [(0, 'RASTERVARIABLES'), (5, '73'), (102, '{ACAD_REACTORS'), (330, 'C'), (102, '}'), (330, 'C'),
          (100, 'AcDbRasterVariables'), (90, '0'), (70, '1'), (71, '1'), (72, '3')]
    o += [(0, 'DICTIONARY'), (5, '17A'), (330, 'C'), (100, 'AcDbDictionary'), (281, '1'), (3, 'Standard'),
          (350, '1A0')]
    o += [(0, 'MLINESTYLE'), (5, '1A0'), (102, '{ACAD_REACTORS'), (330, '17A'), (102, '}'), (330, '17A'),
          (100, 'AcDbMlineStyle'), (2, 'Standard'), (70, '0'), (3, ''), (62, '256'), (51, '90.0'), (52, '90.0'),
          (71, '2'), (49, '0.5'), (62, '256'), (6, 'BYLAYER'), (49, '-0.5'), (62, '1'), (6, 'GAS')]
    o += [(0, 'GROUP'), (5, '1B0'), (102, '{ACAD_REACTORS'), (330, 'D'), (102, '}'), (330, 'D'),
          (100, 'AcDbGroup'), (300, 'fixture group'), (70, '1'), (71, '1'), (340, '40'), (340, '41')]
    o += [(0, 'DICTIONARY'), (5, '1C0'), (330, 'C'), (100, 'AcDbDictionary'), (281, '1'), (3, 'Layout1'),
          (350, '1D'), (3, 'Model'), (350, '22')]
    for handle, name, block, tab in (('1D', 'Layout1', '1E', '1'), ('22', 'Model', '1F', '0')):
        o += [(0, 'LAYOUT'), (5, handle), (102, '{ACAD_REACTORS'), (330, '1C0'), (102, '}'), (330, '1C0'),
              (100, 'AcDbPlotSettings'), (1, ''), (2, 'none_device'), (4, 'ISO_A4_(210.00_x_297.00_MM)'),
              (6, ''), (40, '7.5'), (41, '20.0'), (42, '7.5'), (43, '20.0'), (44, '210.0'), (45, '297.0'),
              (46, '0.0'), (47, '0.0'), (48, '0.0'), (49, '0.0'), (140, '0.0'), (141, '0.0'), (142, '1.0'),
              (143, '1.0'), (70, '688'), (72, '1'), (73, '0'), (74, '5'), (7, ''), (75, '16'), (147, '1.0'),
              (148, '0.0'), (149, '0.0'), (100, 'AcDbLayout'), (1, name), (70, '1'), (71, tab), (10, '0.0'),
              (20, '0.0'), (11, '420.0'), (21, '297.0'), (12, '0.0'), (22, '0.0'), (32, '0.0'), (14, '0.0'),
              (24, '0.0'), (34, '0.0'), (15, '10.0'), (25, '10.0'), (35, '0.0'), (146, '0.0'), (13, '0.0'),
              (23, '0.0'), (33, '0.0'), (16, '1.0'), (26, '0.0'), (36, '0.0'), (17, '0.0'), (27, '1.0'),
              (37, '0.0'), (76, '0'), (330, block)]
    o += [(0, 'DICTIONARY'), (5, '1C4'), (330, 'C'), (100, 'AcDbDictionary'), (281, '1'), (3, 'Setup'),
          (350, '1C5')]
    o += [(0, 'PLOTSETTINGS'), (5, '1C5'), (330, '1C4'), (100, 'AcDbPlotSettings'), (1, 'Setup'),
          (2, 'plotter.pc3'), (4, 'A3'), (6, 'v'), (40, '1.0'), (44, '420.0'), (45, '297.0'), (70, '16'),
          (72, '1'), (73, '1'), (74, '0'), (7, 'mono.ctb'), (75, '0'), (147, '1.0')]
    o += [(0, 'DICTIONARY'), (5, '80'), (330, 'C'), (100, 'AcDbDictionary'), (281, '1'),
          (3, 'XREC'), (350, '81'), (3, 'VAR'), (350, '82'), (3, 'SORT'), (350, '83'), (3, 'IDS'), (350, '84'),
          (3, 'ASSOC'), (350, '85'), (3, 'LAYERS'), (350, '86'), (3, 'SPATIAL'), (350, '87'), (3, 'FILTER'),
          (350, '88'), (3, 'PTR'), (350, '89'), (3, 'VBA'), (350, '8A'), (3, 'WIPEOUT'), (350, '8B'),
          (3, 'MINE'), (350, '8C'), (3, 'PROXY'), (350, '8D')]
    o += [(0, 'XRECORD'), (5, '81'), (330, '80'), (100, 'AcDbXrecord'), (280, '1'), (1, 'text'), (10, '1.0'),
          (20, '2.0'), (30, '3.0'), (40, '0.5'), (70, '7'), (90, '70000'), (310, '0102FF'), (330, '40'),
          (102, '{DATA'), (102, '}'), (1001, 'FIXTURE'), (1071, '5')]
    o += [(0, 'DICTIONARYVAR'), (5, '82'), (330, '80'), (100, 'DictionaryVariables'), (280, '0'), (1, '2')]
    o += [(0, 'SORTENTSTABLE'), (5, '83'), (330, '80'), (100, 'AcDbSortentsTable'), (330, '1F'), (331, '41'),
          (5, '90'), (331, '40'), (5, '91')]
    o += [(0, 'IDBUFFER'), (5, '84'), (330, '80'), (100, 'AcDbIdBuffer'), (330, '40'), (330, '41'), (330, '42')]
    o += [(0, 'DIMASSOC'), (5, '85'), (330, '80'), (100, 'AcDbDimAssoc'), (330, '52'), (90, '2'), (70, '0'),
          (71, '0'), (1, 'AcDbOsnapPointRef'), (72, '1'), (331, '40'), (73, '1'), (91, '0'), (301, '2A'),
          (40, '0.5'), (10, '1'), (20, '2'), (30, '0'), (332, '41'), (74, '0'), (92, '0'), (302, '2B'),
          (75, '0')]
    o += [(0, 'LAYER_INDEX'), (5, '86'), (330, '80'), (100, 'AcDbIndex'), (40, '2451544.5'),
          (100, 'AcDbLayerIndex'), (8, '0'), (360, '92'), (90, '2'), (8, 'WALLS'), (360, '93'), (90, '1')]
    o += [(0, 'SPATIAL_INDEX'), (5, '87'), (330, '80'), (100, 'AcDbIndex'), (40, '2451544.5'),
          (100, 'AcDbSpatialIndex')]
    o += [(0, 'SPATIAL_FILTER'), (5, '88'), (330, '80'), (100, 'AcDbFilter'), (100, 'AcDbSpatialFilter'),
          (70, '2'), (10, '0'), (20, '0'), (10, '5'), (20, '5'), (210, '0'), (220, '0'), (230, '1'), (11, '0'),
          (21, '0'), (31, '0'), (71, '1'), (72, '1'), (40, '2.0'), (73, '0')] + \
         [(40, str(v)) for v in (1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0)]
    o += [(0, 'OBJECT_PTR'), (5, '89'), (330, '80'), (100, 'CAseDLPNTableRecord'), (1001, 'ASE'), (1000, 'row')]
    o += [(0, 'VBA_PROJECT'), (5, '8A'), (330, '80'), (100, 'AcDbVbaProject'), (90, '4'), (310, 'D0CF11E0')]
    o += [(0, 'WIPEOUTVARIABLES'), (5, '8B'), (330, '80'), (100, 'AcDbWipeoutVariables'), (70, '1')]
    o += [(0, 'MYOBJECT'), (5, '8C'), (330, '80'), (100, 'MyObject'), (90, '7'), (1, 'payload'), (40, '2.5'),
          (340, '40'), (360, '81')]
    o += [(0, 'ACAD_PROXY_OBJECT'), (5, '8D'), (330, '80'), (100, 'AcDbProxyObject'), (90, '499'),
          (91, '526'), (93, '16'), (310, 'ABCD'), (330, '40'), (360, '81'), (94, '0'), (95, '2'), (70, '0')]
    o += [(0, 'ENDSEC')]
    g += o
    g += [(0, 'EOF')]
    return g


def kinds_r12():
    g = [(0, 'SECTION'), (2, 'HEADER'), (9, '$ACADVER'), (1, 'AC1009'), (9, '$HANDLING'), (70, '1'),
         (9, '$HANDSEED'), (5, '200'), (9, '$CLAYER'), (8, '0'), (0, 'ENDSEC')]
    g += [(0, 'SECTION'), (2, 'TABLES'),
          (0, 'TABLE'), (2, 'LTYPE'), (70, '1'), (0, 'LTYPE'), (2, 'CONTINUOUS'), (70, '64'), (3, 'Solid line'),
          (72, '65'), (73, '0'), (40, '0.0'), (0, 'ENDTAB'),
          (0, 'TABLE'), (2, 'LAYER'), (70, '2'), (0, 'LAYER'), (2, '0'), (70, '64'), (62, '7'),
          (6, 'CONTINUOUS'), (0, 'LAYER'), (2, 'HIDDEN'), (70, '64'), (62, '1'), (6, 'CONTINUOUS'),
          (0, 'ENDTAB'),
          (0, 'TABLE'), (2, 'APPID'), (70, '1'), (0, 'APPID'), (2, 'ACAD'), (70, '64'), (0, 'ENDTAB'),
          (0, 'ENDSEC')]
    g += [(0, 'SECTION'), (2, 'BLOCKS'),
          (0, 'BLOCK'), (8, '0'), (2, 'MARK'), (70, '0'), (10, '0'), (20, '0'), (30, '0'),
          (0, 'CIRCLE'), (8, '0'), (10, '0'), (20, '0'), (30, '0'), (40, '1'),
          (0, 'ENDBLK'), (8, '0'), (0, 'ENDSEC')]
    g += [(0, 'SECTION'), (2, 'ENTITIES'),
          (0, 'LINE'), (5, '50'), (8, '0'), (10, '0'), (20, '0'), (30, '0'), (11, '1'), (21, '1'), (31, '0'),
          (0, '3DLINE'), (5, '51'), (8, '0'), (10, '0'), (20, '0'), (30, '0'), (11, '2'), (21, '2'), (31, '2'),
          (0, 'POINT'), (5, '52'), (8, '0'), (38, '5.0'), (10, '3'), (20, '3'),
          (0, 'TEXT'), (5, '53'), (8, '0'), (10, '1'), (20, '1'), (30, '0'), (40, '2'), (1, 'R12'),
          (0, 'INSERT'), (5, '54'), (8, '0'), (2, 'MARK'), (10, '5'), (20, '5'), (30, '0'), (70, '2'), (71, '3'),
          (44, '2'), (45, '2'),
          (0, 'POLYLINE'), (5, '55'), (8, '0'), (66, '1'), (10, '0'), (20, '0'), (30, '0'), (70, '64'),
          (71, '4'), (72, '1'), (62, '2'),
          (0, 'VERTEX'), (5, '56'), (8, '0'), (10, '0'), (20, '0'), (30, '0'), (70, '192'),
          (0, 'VERTEX'), (5, '57'), (8, '0'), (10, '1'), (20, '0'), (30, '0'), (70, '192'),
          (0, 'VERTEX'), (5, '58'), (8, '0'), (10, '1'), (20, '1'), (30, '0'), (70, '192'),
          (0, 'VERTEX'), (5, '59'), (8, '0'), (10, '0'), (20, '1'), (30, '1'), (70, '192'),
          (0, 'VERTEX'), (5, '5A'), (8, '0'), (62, '5'), (70, '128'), (71, '1'), (72, '2'), (73, '-3'),
          (74, '4'),
          (0, 'SEQEND'), (5, '5B'), (8, 'HIDDEN'),
          (0, 'VIEWPORT'), (5, '5C'), (8, '0'), (67, '1'), (10, '5'), (20, '4'), (30, '0'), (40, '10'),
          (41, '8'), (68, '2'), (69, '2'),
          (1001, 'ACAD'), (1000, 'MVIEW'), (1002, '{'), (1070, '16'), (1010, '0'), (1020, '0'), (1030, '0'),
          (1010, '0'), (1020, '0'), (1030, '1'), (1040, '0'), (1040, '8'), (1040, '5'), (1040, '4'),
          (1040, '50'), (1040, '0'), (1040, '0'), (1070, '0'), (1070, '100'), (1070, '1'), (1070, '3'),
          (1070, '0'), (1070, '1'), (1070, '0'), (1070, '0'), (1040, '0'), (1040, '0'), (1040, '0'),
          (1040, '1'), (1040, '1'), (1040, '1'), (1040, '1'), (1070, '0'), (1002, '{'), (1003, 'HIDDEN'),
          (1002, '}'), (1002, '}'),
          (0, 'ENDSEC'), (0, 'EOF')]
    return g


def fixture_set():
    groups = kinds_2000()
    write('kinds_2000.dxf', dxf(groups))
    write('kinds_2000.dxfb', binary_dxf(groups), 'wb')
    write('kinds_r12.dxf', dxf(kinds_r12()))


def main():
    loader_fixtures()
    fixture_set()


if __name__ == '__main__':
    main()
