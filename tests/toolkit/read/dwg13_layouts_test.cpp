// The R13-2000 record layouts on hand-assembled bit strings: the compact forms, the values a
// reader derives, and what damaged or unusual records give.
#include <vector>

#include <gtest/gtest.h>

#include "toolkit/core/system_context.h"
#include "toolkit/read/dwg13_class_entity_layouts.h"
#include "toolkit/read/dwg13_dimension_layouts.h"
#include "toolkit/read/dwg13_entity_reader.h"
#include "toolkit/read/dwg13_header_layout.h"
#include "toolkit/read/dwg13_object_layouts.h"
#include "toolkit/read/dwg13_table_layouts.h"
#include "toolkit/read/dwg_lineweight.h"
#include "toolkit/codec/bit_writer.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

constexpr int kR13 = kVersionAC1012;
constexpr int kR14 = kVersionAC1014;
constexpr int k2000 = kVersionAC1015;

// A bit string built with the bit writer and read back through a layout.
class Bits {
  public:
    BitWriter w;
    std::vector<uint8_t> bytes;
    BitReader reader;
    uint64_t handleStart = 0;

    // Marks where the handle references start (the record's size in bits).
    void handles() { handleStart = w.bitLength(); }
    Dwg13FieldReader read(int version, Handle own = Handle()) {
        bytes = w.takeBytes();
        reader.reset(bytes);
        Dwg13FieldReader io(reader, version, own);
        if (handleStart) io.setHandleStreamStart(handleStart);
        return io;
    }
};

// The handles of an entity without owner, reactors or chain links: extension dictionary, then
// for 2000 the layer (and nothing else when linetype and plot style are BYLAYER).
void putCommonHandles2000(BitWriter& w, Handle layer) {
    wrPutHandle(w, 0x30, Handle());
    wrPutHandle(w, 0x50, layer);
}

// Common data of a 2000 entity in model space: no reactors, no links, BYLAYER colour, linetype
// scale 1, BYLAYER linetype and plot style, visible, lineweight BYLAYER.
void putCommonData2000(BitWriter& w) {
    w.putBits(kDwgEntityInModelSpace, 2);
    wrPutBitLong(w, 0);
    wrPutBit(w, 1);
    wrPutBitShort(w, 256);
    wrPutBitDouble(w, 1.0);
    w.putBits(0, 2);
    w.putBits(0, 2);
    wrPutBitShort(w, 0);
    wrPutRawChar(w, 29);
}

class Dwg13Layouts : public test::ToolkitTest {};

TEST_F(Dwg13Layouts, TextOf2000WithEveryDataFlagSetReadsOnlyTheFieldsItHas) {
    Bits b;
    putCommonData2000(b.w);
    wrPutRawChar(b.w, 0xFF);
    wrPut2RawDouble(b.w, Point2{3.0, 4.0});
    wrPutExtrusion(b.w, Point3{0.0, 0.0, 1.0});
    wrPutThickness(b.w, 0.0);
    wrPutRawDouble(b.w, 2.5);
    wrPutText(b.w, "abc");
    b.handles();
    putCommonHandles2000(b.w, Handle(0x10));
    wrPutHandle(b.w, 0x50, Handle(0x11));
    Dwg13FieldReader io = b.read(k2000, Handle(0x40));
    EntityHeader h;
    Dwg13EntityCommon c;
    TextBody text;
    text.widthFactor = 7.0;  // the reader sets the defaults of what the flags leave out
    dwg13EntityCommonData(io, h, c);
    dwg13TextEntity(io, h, text, c);
    EXPECT_FALSE(b.reader.overrun());
    EXPECT_TRUE(io.fieldsEndAtHandles());
    EXPECT_EQ(text.insertion, (Point3{3.0, 4.0, 0.0}));
    EXPECT_EQ(text.height, 2.5);
    EXPECT_EQ(text.widthFactor, 1.0);
    EXPECT_EQ(text.text, "abc");
    EXPECT_EQ(text.alignment, (Point2{0.0, 0.0}));
    EXPECT_EQ(text.style, Handle(0x11));
    EXPECT_EQ(h.layer, Handle(0x10));
    EXPECT_EQ(h.lineweight, kLineweightByLayer);
    EXPECT_EQ(c.previous, Handle(0x3F));
    EXPECT_EQ(c.next, Handle(0x41));
}

TEST_F(Dwg13Layouts, Vertex2dWithANegativeStartWidthHasEqualWidths) {
    Bits b;
    wrPutRawChar(b.w, 0);
    wrPut3BitDouble(b.w, Point3{1.0, 2.0, 9.0});
    wrPutBitDouble(b.w, -2.5);
    wrPutBitDouble(b.w, 0.5);  // bulge
    wrPutBitDouble(b.w, 0.0);  // tangent direction
    Dwg13FieldReader io = b.read(kR14);
    EntityHeader h;
    Dwg13EntityCommon c;
    c.linetypeByLayer = 1;
    c.noLinks = 1;
    Dwg13EntityContext x;
    x.polylineElevation = 4.0;
    x.polylineStartWidth = 2.5;
    VertexBody v;
    dwg13Vertex2dEntity(io, h, v, c, x);
    EXPECT_EQ(v.startWidth, 2.5);
    EXPECT_EQ(v.endWidth, 2.5);
    EXPECT_EQ(v.bulge, 0.5);
    EXPECT_EQ(v.point, (Point3{1.0, 2.0, 4.0}));  // z is the polyline's elevation
    EXPECT_EQ(v.hasStartWidth, 0);                // the same as the polyline's default
    EXPECT_EQ(v.hasEndWidth, 1);
}

TEST_F(Dwg13Layouts, SplineShapeFlags) {
    struct Case {
        const char* name;
        std::vector<Point3> controlPoints;
        std::vector<Point3> fitPoints;
        int16_t flags;
    } cases[] = {
        {"two control points", {{0, 0, 0}, {1, 1, 1}}, {}, 0x18},
        {"all points equal", {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}}, {}, 0x18},
        {"on a line", {{0, 0, 0}, {1, 2, 3}, {2, 4, 6}, {-1, -2, -3}}, {}, 0x18},
        {"in the plane z = 0", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {5, 7, 0}}, {}, 0x08},
        {"in a tilted plane", {{0, 0, 0}, {1, 0, 1}, {0, 1, 0}, {1, 1, 1}}, {}, 0x08},
        {"not planar", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {}, 0},
        {"fit points closing on themselves", {}, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 0}}, 0x09},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SplineBody spline;
        spline.data.controlPoints = c.controlPoints;
        spline.data.fitPoints = c.fitPoints;
        rdDwg13MarkSplineShape(spline);
        EXPECT_EQ(spline.flags, c.flags);
    }
}

TEST_F(Dwg13Layouts, LayerOf2000PacksItsStateIntoOneShort) {
    Bits b;
    wrPutText(b.w, "Walls");
    wrPutBit(b.w, 1);        // referenced
    wrPutBitShort(b.w, 0);   // no external reference
    wrPutBit(b.w, 0);
    wrPutBitShort(b.w, uint16_t(0x02 | 0x08 | 0x10 | (11 << 5)));  // off, locked, plotted, 0.50 mm
    wrPutBitShort(b.w, 5);
    b.handles();
    wrPutHandle(b.w, 0x40, Handle(2));  // owner: the LAYER control
    wrPutHandle(b.w, 0x30, Handle());   // extension dictionary
    wrPutHandle(b.w, 0x50, Handle());   // external-reference block
    wrPutHandle(b.w, 0x50, Handle(0xF));  // plot style
    wrPutHandle(b.w, 0x50, Handle(0x16)); // linetype
    Dwg13FieldReader io = b.read(k2000);
    LayerRecord layer;
    Handle xrefBlock;
    dwg13LayerRecord(io, layer, 0, xrefBlock);
    EXPECT_EQ(layer.name, "Walls");
    EXPECT_EQ(layer.colour, -5);
    EXPECT_EQ(layer.flags, kTableRecordReferenced | kLayerLocked);
    EXPECT_EQ(layer.plotFlag, 1);
    EXPECT_EQ(layer.lineweight, 50);
    EXPECT_EQ(layer.xrefIndex, -1);
    EXPECT_EQ(layer.owner, Handle(2));
    EXPECT_EQ(layer.plotStyle, Handle(0xF));
    EXPECT_EQ(layer.linetype, Handle(0x16));
}

TEST_F(Dwg13Layouts, LinetypeOfMoreThanFifteenDashesKeepsFifteen) {
    Bits b;
    wrPutText(b.w, "Many");
    wrPutBit(b.w, 0);
    wrPutBitShort(b.w, 0);
    wrPutBit(b.w, 0);
    wrPutText(b.w, "twenty dashes");
    wrPutBitDouble(b.w, 20.0);
    wrPutRawChar(b.w, 'A');
    wrPutRawChar(b.w, 20);
    for (int i = 0; i < 20; ++i) {
        wrPutBitDouble(b.w, double(i));
        wrPutBitShort(b.w, i == 1 ? 6 : 0);   // dash 1 is a text at position 6
        wrPutRawDouble(b.w, 0.0);
        wrPutRawDouble(b.w, 0.0);
        wrPutBitDouble(b.w, 1.0);
        wrPutBitDouble(b.w, 0.0);
        wrPutBitShort(b.w, i == 1 ? 2 : 0);
    }
    std::vector<uint8_t> area(256, 0);
    area[6] = 'X';
    wrPutRawBytes(b.w, area.data(), area.size());
    b.handles();
    wrPutHandle(b.w, 0x40, Handle(5));
    wrPutHandle(b.w, 0x30, Handle());
    wrPutHandle(b.w, 0x50, Handle());
    for (int i = 0; i < 20; ++i) wrPutHandle(b.w, 0x50, Handle(i == 1 ? 0x11 : 0));
    Dwg13FieldReader io = b.read(kR14);
    LinetypeRecord linetype;
    Handle xrefBlock;
    dwg13LinetypeRecord(io, linetype, 0, xrefBlock);
    EXPECT_FALSE(b.reader.overrun());
    EXPECT_TRUE(io.fieldsEndAtHandles());
    EXPECT_EQ(linetype.dashCount, 15);
    EXPECT_EQ(linetype.dashes[14].length, 14.0);
    EXPECT_EQ(linetype.dashes[1].complexFlags, 2);
    EXPECT_EQ(linetype.dashes[1].textPosition, 6);
    EXPECT_EQ(linetype.dashes[1].shapeNumber, 0);
    EXPECT_EQ(linetype.dashes[1].style, Handle(0x11));
    EXPECT_EQ(linetype.textArea, std::string("\0\0\0\0\0\0X", 7));
}

TEST_F(Dwg13Layouts, DictionaryFlagsByVersion) {
    struct Case {
        const char* name;
        int version;
        bool withDefault;
        int16_t cloning;
        uint8_t hardOwner;
    } cases[] = {
        {"R13 stores no flags", kR13, false, 0, 0},
        {"R14 stores one byte and keeps owning", kR14, false, 0, 1},
        {"2000 stores both", k2000, false, 3, 0},
        {"the class with a default stores both in R14", kR14, true, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bits b;
        wrPutBitLong(b.w, 1);
        if (c.version == k2000 || c.withDefault) {
            wrPutBitShort(b.w, 3);
            wrPutRawChar(b.w, 0);
        } else if (c.version == kR14) {
            wrPutRawChar(b.w, 0);
        }
        wrPutText(b.w, "KEY");
        b.handles();
        wrPutHandle(b.w, 0x40, Handle(0xC));
        wrPutHandle(b.w, 0x30, Handle());
        wrPutHandle(b.w, 0x20, Handle(0x77));
        if (c.withDefault) wrPutHandle(b.w, 0x50, Handle(0x77));
        Dwg13FieldReader io = b.read(c.version);
        ObjectHeader h;
        std::vector<DictionaryEntry> entries;
        int16_t cloning = 0;
        uint8_t hardOwner = 0;
        if (c.withDefault) {
            DictionaryWithDefaultBody body;
            dwg13DictionaryWithDefaultObject(io, h, body, 0);
            entries = body.entries;
            cloning = body.cloning;
            hardOwner = c.hardOwner;
            EXPECT_EQ(body.defaultEntry, Handle(0x77));
        } else {
            DictionaryBody body;
            dwg13DictionaryObject(io, h, body, 0);
            entries = body.entries;
            cloning = body.cloning;
            hardOwner = body.hardOwner;
        }
        EXPECT_TRUE(io.fieldsEndAtHandles());
        EXPECT_EQ(entries, (std::vector<DictionaryEntry>{{"KEY", Handle(0x77)}}));
        EXPECT_EQ(cloning, c.cloning);
        EXPECT_EQ(hardOwner, c.hardOwner);
        EXPECT_EQ(h.owner, Handle(0xC));
    }
}

TEST_F(Dwg13Layouts, InsertScaleCodesOf2000) {
    struct Case {
        const char* name;
        unsigned code;
        std::vector<double> values; // RD, then DD against x
        Point3 scale;
    } cases[] = {
        {"code 3: all 1", 3, {}, {1, 1, 1}},
        {"code 2: one value for all", 2, {2.0}, {2, 2, 2}},
        {"code 1: x is 1", 1, {1.0, 3.0}, {1, 1, 3}},
        {"code 0: each its own", 0, {2.0, 2.0, 5.0}, {2, 2, 5}},
        {"a zero scale is read as 1", 2, {0.0}, {1, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bits b;
        wrPut3BitDouble(b.w, Point3{1, 2, 3});
        b.w.putBits(c.code, 2);
        for (size_t i = 0; i < c.values.size(); ++i) {
            if (i == 0 && c.code != 1)
                wrPutRawDouble(b.w, c.values[0]);
            else
                wrPutDefaultDouble(b.w, c.values[i], c.code == 1 ? 1.0 : c.values[0]);
        }
        wrPutBitDouble(b.w, 0.0);
        wrPut3BitDouble(b.w, Point3{0, 0, 1});
        wrPutBit(b.w, 0);
        Dwg13FieldReader io = b.read(k2000);
        EntityHeader h;
        Dwg13EntityCommon common;
        common.mode = kDwgEntityInModelSpace;
        common.noLinks = 1;
        Dwg13EntityContext x;
        InsertBody insert;
        dwg13InsertEntity(io, h, insert, common, x, false);
        EXPECT_EQ(insert.scale, c.scale);
        EXPECT_EQ(insert.columnCount, 1);
        EXPECT_EQ(insert.rowCount, 1);
    }
}

TEST_F(Dwg13Layouts, ExtrusionNormalisation) {
    struct Case {
        Point3 stored;
        Point3 read;
    } cases[] = {
        {{0, 0, 0}, {0, 0, -1}},
        {{0, 0, 5}, {0, 0, 1}},
        {{0, 0, -0.5}, {0, 0, -1}},
        {{0, 0.6, 0.8}, {0, 0.6, 0.8}},
    };
    for (const Case& c : cases) {
        Bits b;
        wrPut3BitDouble(b.w, c.stored);
        Dwg13FieldReader io = b.read(kR14);
        Point3 read;
        io.ext(read);
        EXPECT_EQ(read, c.read);
    }
}

TEST_F(Dwg13Layouts, EntityOf2000WhoseDataEndsBeforeItsLayerKeepsANullLayerAndByLayer) {
    Bits b;
    putCommonData2000(b.w);
    wrPut3BitDouble(b.w, Point3{1, 2, 3});
    wrPutThickness(b.w, 0.0);
    wrPutExtrusion(b.w, Point3{0, 0, 1});
    wrPutBitDouble(b.w, 0.0);
    b.handles();
    wrPutHandle(b.w, 0x30, Handle());  // the extension dictionary, and nothing after it
    Dwg13FieldReader io = b.read(k2000, Handle(0x50));
    EntityHeader h;
    Dwg13EntityCommon c;
    c.byLayerLinetype = Handle(0x15);
    PointBody point;
    dwg13EntityCommonData(io, h, c);
    c.linetypeFlags = kDwgByHandle;
    dwg13PointEntity(io, h, point, c);
    EXPECT_TRUE(c.dataEnded);
    EXPECT_TRUE(h.layer.isNull());
    EXPECT_EQ(h.linetype, Handle(0x15));
    EXPECT_EQ(point.point, (Point3{1, 2, 3}));
}

TEST_F(Dwg13Layouts, DimensionFlagsAndKinds) {
    Bits b;
    wrPut3BitDouble(b.w, Point3{0, 0, 1});
    wrPut2RawDouble(b.w, Point2{5, 6});
    wrPutBitDouble(b.w, 0.0);
    wrPutRawChar(b.w, 2);  // text at a user position
    wrPutText(b.w, "");
    for (int i = 0; i < 2; ++i) wrPutBitDouble(b.w, 0.0);
    wrPut3BitDouble(b.w, Point3{1, 1, 1});
    wrPutBitDouble(b.w, 0.0);
    wrPutBitShort(b.w, 5);
    wrPutBitShort(b.w, 1);
    wrPutBitDouble(b.w, 1.0);
    wrPutBitDouble(b.w, 12.5);
    wrPut2RawDouble(b.w, Point2{0, 0});
    wrPut3BitDouble(b.w, Point3{1, 0, 0});
    wrPut3BitDouble(b.w, Point3{2, 0, 0});
    wrPut3BitDouble(b.w, Point3{3, 0, 0});
    wrPutRawChar(b.w, 1);  // x-ordinate
    Dwg13FieldReader io = b.read(k2000);
    EntityHeader h;
    Dwg13EntityCommon c;
    c.mode = kDwgEntityInModelSpace;
    c.noLinks = 1;
    DimensionBody dimension;
    dwg13DimensionEntity(io, h, dimension, c, kDwgDimensionOrdinate);
    EXPECT_EQ(dimension.typeFlags, kDimensionUserText | kDimensionOwnBlock | kDimensionOrdinateX | 6);
    EXPECT_EQ(dimension.actualMeasurement, 12.5);
    EXPECT_EQ(dimension.definitionPoint, (Point3{1, 0, 0}));
    EXPECT_EQ(dimension.point14, (Point3{3, 0, 0}));
    EXPECT_EQ(dimension.hasCloneInsertion, 0);
}

TEST_F(Dwg13Layouts, ValueTablesOfTheFormat) {
    // DIMUNIT of R13 and R14 against DIMLUNIT and DIMFRAC, both ways.
    struct Unit {
        int16_t unit, lunit, frac;
    } units[] = {{2, 2, 0}, {4, 4, 0}, {5, 5, 0}, {6, 4, 2}, {7, 5, 2}, {8, 6, 0}};
    for (const Unit& u : units) {
        int16_t lunit = -1, frac = 0;
        dwg13SplitDimUnit(u.unit, lunit, frac);
        EXPECT_EQ(lunit, u.lunit) << u.unit;
        EXPECT_EQ(frac, u.frac) << u.unit;
        EXPECT_EQ(dwg13JoinDimUnit(u.lunit, u.frac), u.unit) << u.unit;
    }
    // Lineweights.
    EXPECT_EQ(rdLineweightFromIndex(0), 0);
    EXPECT_EQ(rdLineweightFromIndex(7), 25);
    EXPECT_EQ(rdLineweightFromIndex(23), 211);
    EXPECT_EQ(rdLineweightFromIndex(26), 0);
    EXPECT_EQ(rdLineweightFromIndex(28), kLineweightByLayer);
    EXPECT_EQ(rdLineweightFromIndex(29), kLineweightByLayer);
    EXPECT_EQ(rdLineweightFromIndex(30), kLineweightByBlock);
    EXPECT_EQ(rdLineweightFromIndex(31), kLineweightDefault);
    EXPECT_EQ(rdLineweightFromIndex(40), 0);
    for (int index = 0; index < 24; ++index) EXPECT_EQ(rdLineweightToIndex(rdLineweightFromIndex(index)), index);
    EXPECT_EQ(rdLineweightToIndex(kLineweightByBlock), 30);
    EXPECT_EQ(rdLineweightToIndex(27), 7);  // between 25 and 30: the one below
    // MLINESTYLE flags: the three swapped pairs, the kept bits and the dropped ones.
    EXPECT_EQ(dwg13::swapMlineStyleFlags(int16_t(0x01 | 0x40)), int16_t(0x02 | 0x20));
    EXPECT_EQ(dwg13::swapMlineStyleFlags(int16_t(0x200 | 0x10 | 0x100 | 0x08)), int16_t(0x400 | 0x10 | 0x100));
}

} // namespace
} // namespace tracemill
