// Entity bodies of R13-2000 DWG files case by case: texts with default and other fields (the
// data flags of 2000), inserts with each scale form and with attributes, MTEXT longer than a
// piece, polylines and vertices of every kind, and the geometric entities with their compact
// 2000 forms (thickness and extrusion short forms, points against defaults), splines of both
// forms, MLINE.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "entity_cases.h"
#include "toolkit/core/symbol_tables.h"

namespace tracemill {
namespace {

class EntityBodyCases : public test::EntityCaseTest {
protected:
    // Saves the drawing as each version and checks that `handle` reads back with `body`, or with
    // what `expected` makes of it for the version.
    template <class Body>
    void expectBodyBack(Handle handle, const Body& body,
                        const std::function<void(Body&, int16_t)>& expected = {}) {
        eachVersion(handle, [&](const test::SavedEntity& saved, int16_t version) {
            const Body* read = saved.back->body.getIf<Body>();
            ASSERT_NE(read, nullptr);
            Body want = body;
            if (expected) expected(want, version);
            EXPECT_EQ(*read, want);
        });
    }
};

// 2000 TEXT: the data flags byte leaves out each field at its default (elevation 0, alignment
// (0, 0), oblique 0, rotation 0, width factor 1, generation and alignments 0); an alignment
// point equal to the insertion point but not (0, 0) is two DD fields with the bits 00.
TEST_F(EntityBodyCases, TextDataFlagsOf2000) {
    TextBody plain;
    plain.insertion = {3, 4, 0};
    plain.height = 2.5;
    plain.widthFactor = 1.0;
    plain.text = "abc";
    TextBody aligned = plain;
    aligned.alignment = {3, 4};
    aligned.horizontalAlign = 1;
    TextBody every = plain;
    every.insertion.z = 1.5;
    every.alignment = {7, 8};
    every.obliqueAngle = 0.2;
    every.rotation = 0.5;
    every.widthFactor = 0.8;
    every.generation = 2;
    every.horizontalAlign = 2;
    every.verticalAlign = 3;
    struct Row {
        const char* what;
        TextBody body;
        double thickness;
        Point3 extrusion;
        std::string bits2000;
    } rows[] = {
        {"all at their defaults", plain, 0.0, {0, 0, 1}, test::bitsOfWrites([&](BitWriter& w) {
             wrPutRawChar(w, 0xFF);
             wrPut2RawDouble(w, Point2{3, 4});
             wrPutExtrusion(w, Point3{0, 0, 1});
             wrPutThickness(w, 0.0);
             wrPutRawDouble(w, 2.5);
             wrPutText(w, "abc");
         })},
        {"alignment at the insertion point", aligned, 0.0, {0, 0, 1}, test::bitsOfWrites([&](BitWriter& w) {
             wrPutRawChar(w, 0xFF & ~0x02 & ~0x40);
             wrPut2RawDouble(w, Point2{3, 4});
             w.putBits(0, 2); // x as its default
             w.putBits(0, 2); // y as its default
             wrPutExtrusion(w, Point3{0, 0, 1});
             wrPutThickness(w, 0.0);
             wrPutRawDouble(w, 2.5);
             wrPutText(w, "abc");
             wrPutBitShort(w, 1);
         })},
        {"every field of its own", every, 0.75, {0, 0.6, 0.8}, test::bitsOfWrites([&](BitWriter& w) {
             wrPutRawChar(w, 0);
             wrPutRawDouble(w, 1.5);
             wrPut2RawDouble(w, Point2{3, 4});
             wrPutDefaultDouble(w, 7, 3);
             wrPutDefaultDouble(w, 8, 4);
             wrPutExtrusion(w, Point3{0, 0.6, 0.8});
             wrPutThickness(w, 0.75);
             wrPutRawDouble(w, 0.2);
             wrPutRawDouble(w, 0.5);
             wrPutRawDouble(w, 2.5);
             wrPutRawDouble(w, 0.8);
             wrPutText(w, "abc");
             wrPutBitShort(w, 2);
             wrPutBitShort(w, 2);
             wrPutBitShort(w, 3);
         })},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        newDrawing();
        EntityRecord e = entity(kEntityText);
        TextBody body = row.body;
        body.style = e.bodyAs<TextBody>().style;
        e.bodyAs<TextBody>() = body;
        e.header.thickness = row.thickness;
        e.header.extrusion = row.extrusion;
        const Handle handle = add(std::move(e));
        eachVersion(handle, [&](const test::SavedEntity& saved, int16_t version) {
            EXPECT_EQ(saved.back->bodyAs<TextBody>(), body);
            EXPECT_EQ(saved.back->header.thickness, row.thickness);
            EXPECT_EQ(saved.back->header.extrusion, row.extrusion);
            if (version == kVersionAC1015) {
                EXPECT_TRUE(saved.fieldBits.starts_with(row.bits2000)) << saved.fieldBits;
            }
        });
    }
}

// ATTRIB and ATTDEF carry the text fields with their tag, field length and flags, ATTDEF its
// prompt too.
TEST_F(EntityBodyCases, AttributesAndAttributeDefinitions) {
    newDrawing();
    EntityRecord definition = entity(kEntityAttributeDefinition);
    AttributeDefinitionBody& d = definition.bodyAs<AttributeDefinitionBody>();
    d.insertion = {1, 1, 0};
    d.height = 0.5;
    d.widthFactor = 1.0;
    d.rotation = 0.25;
    d.text = "default value";
    d.tag = "PART_NO";
    d.prompt = "Part number?";
    d.fieldLength = 12;
    d.flags = 1 | 8;
    const AttributeDefinitionBody definitionBody = d;
    const Handle definitionHandle = add(std::move(definition));
    expectBodyBack(definitionHandle, definitionBody);
}

// The scale of an INSERT in 2000: 11 for (1, 1, 1) and nothing after; 10 and one raw double
// when x = y = z; 01 when x is 1 and y, z as DD against 1; 00 with x raw and y, z against x.
// R13 and R14 store three BD. A MINSERT is an INSERT with more than one column or row.
TEST_F(EntityBodyCases, InsertScaleFormsAndMinserts) {
    const Point3 at{5, 6, 0};
    struct Row {
        const char* what;
        Point3 scale;
        int16_t columns, rows;
        uint16_t fileType;
        std::string scaleBits2000;
    } rows[] = {
        {"(1, 1, 1)", {1, 1, 1}, 1, 1, kDwgInsert, "11"},
        {"(2, 2, 2)", {2, 2, 2}, 1, 1, kDwgInsert, test::bitsOfWrites([](BitWriter& w) {
             w.putBits(2, 2);
             wrPutRawDouble(w, 2.0);
         })},
        {"(-1, -1, -1)", {-1, -1, -1}, 1, 1, kDwgInsert, test::bitsOfWrites([](BitWriter& w) {
             w.putBits(2, 2);
             wrPutRawDouble(w, -1.0);
         })},
        {"(1, 2, 3)", {1, 2, 3}, 1, 1, kDwgInsert, test::bitsOfWrites([](BitWriter& w) {
             w.putBits(1, 2);
             wrPutDefaultDouble(w, 2.0, 1.0);
             wrPutDefaultDouble(w, 3.0, 1.0);
         })},
        {"(2, 2, 3)", {2, 2, 3}, 1, 1, kDwgInsert, test::bitsOfWrites([](BitWriter& w) {
             w.putBits(0, 2);
             wrPutRawDouble(w, 2.0);
             w.putBits(0, 2); // y as x
             wrPutDefaultDouble(w, 3.0, 2.0);
         })},
        {"a MINSERT of 3 by 2", {1, 1, 1}, 3, 2, kDwgMinsert, "11"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        newDrawing();
        EntityRecord e = entity(kEntityInsert);
        InsertBody& b = e.bodyAs<InsertBody>();
        b.block = addBlock("PART");
        b.insertion = at;
        b.scale = row.scale;
        b.rotation = 0.5;
        b.columnCount = row.columns;
        b.rowCount = row.rows;
        if (row.columns > 1) {
            b.columnSpacing = 10;
            b.rowSpacing = 20;
        }
        const InsertBody body = b;
        const Handle handle = add(std::move(e));
        eachVersion(handle, [&](const test::SavedEntity& saved, int16_t version) {
            EXPECT_EQ(saved.fileType, row.fileType);
            EXPECT_EQ(saved.back->bodyAs<InsertBody>(), body);
            if (version == kVersionAC1015) {
                const std::string insertion = test::bitsOfWrites([&](BitWriter& w) { wrPut3BitDouble(w, at); });
                EXPECT_EQ(saved.fieldBits.substr(insertion.size(), row.scaleBits2000.size()), row.scaleBits2000);
            }
        });
    }
}

// An INSERT with attributes names its first and last ATTRIB and its SEQEND: they come back
// after it, in order.
TEST_F(EntityBodyCases, InsertWithAttributes) {
    newDrawing();
    EntityRecord insert = entity(kEntityInsert);
    insert.bodyAs<InsertBody>().block = addBlock("TAGGED");
    insert.bodyAs<InsertBody>().attributesFollow = 1;
    const Handle handle = add(std::move(insert));
    std::vector<AttributeBody> attributes;
    for (const char* tag : {"A", "B"}) {
        EntityRecord attribute = entity(kEntityAttribute);
        AttributeBody& a = attribute.bodyAs<AttributeBody>();
        a.tag = tag;
        a.text = std::string("value of ") + tag;
        a.height = 1.0;
        a.widthFactor = 1.0;
        attributes.push_back(a);
        add(std::move(attribute));
    }
    add(entity(kEntitySequenceEnd));
    eachVersion(handle, [&](const test::SavedEntity& saved, int16_t) {
        EXPECT_EQ(saved.back->bodyAs<InsertBody>().attributesFollow, 1);
        for (size_t i = 0; i < attributes.size(); ++i) {
            const EntityRecord* read = following(handle, i + 1);
            ASSERT_NE(read, nullptr);
            ASSERT_EQ(read->header.type, kEntityAttribute);
            EXPECT_EQ(read->bodyAs<AttributeBody>(), attributes[i]);
        }
        const EntityRecord* end = following(handle, 3);
        ASSERT_NE(end, nullptr);
        EXPECT_EQ(end->header.type, kEntitySequenceEnd);
    });
}

// MTEXT contents of any length up to the text limit come back whole, an empty text as empty;
// the line spacing is carried from 2000 on (R13 and R14 read style 1, factor 1).
TEST_F(EntityBodyCases, MtextContentsAndLineSpacing) {
    std::string long600;
    for (int i = 0; i < 600; ++i) long600.push_back(char('a' + i % 26));
    struct Row {
        const char* what;
        std::string text;
    } rows[] = {
        {"empty", ""},
        {"600 bytes, more than a piece of 256", long600},
        {"with format codes", "{\\fArial|b1;Bold}\\Pnext line"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        newDrawing();
        EntityRecord e = entity(kEntityMtext);
        MtextBody& b = e.bodyAs<MtextBody>();
        b.insertion = {1, 2, 3};
        b.xDirection = {1, 0, 0};
        b.referenceWidth = 40;
        b.textHeight = 2.5;
        b.attachment = 5;
        b.drawingDirection = 1;
        b.lineSpacingStyle = 2;
        b.lineSpacingFactor = 1.5;
        b.text = row.text;
        const MtextBody body = b;
        expectBodyBack<MtextBody>(add(std::move(e)), body, [](MtextBody& want, int16_t version) {
            if (version < kVersionAC1015) {
                want.lineSpacingStyle = 1;
                want.lineSpacingFactor = 1.0;
            }
        });
    }
}

// A 2D POLYLINE hands its elevation and default widths to its vertices: a vertex without widths
// of its own takes the defaults; equal start and end widths other than 0 are written as one
// negated BD, two widths of 0 as two BD. The vertices lie at the polyline's elevation.
TEST_F(EntityBodyCases, Polyline2dAndItsVertices) {
    newDrawing();
    EntityRecord polyline = entity(kEntityPolyline);
    PolylineBody& p = polyline.bodyAs<PolylineBody>();
    p.flags = 1;
    p.defaultStartWidth = 0.5;
    p.defaultEndWidth = 0.5;
    p.elevation = 3;
    polyline.header.thickness = 0.25;
    const PolylineBody polylineBody = p;
    const Handle polylineHandle = add(std::move(polyline));
    struct Row {
        const char* what;
        double start, end;
        int16_t own;
        double readStart, readEnd;
        int16_t readOwn;
        std::vector<double> widthBits;
    } rows[] = {
        {"own widths 0.5 and 0.5", 0.5, 0.5, 1, 0.5, 0.5, 0, {-0.5}},
        {"own widths 0 and 0", 0, 0, 1, 0, 0, 1, {0, 0}},
        {"own widths 1 and 2", 1, 2, 1, 1, 2, 1, {1, 2}},
        {"the polyline's defaults", 7, 7, 0, 0.5, 0.5, 0, {-0.5}},
    };
    std::vector<Handle> vertices;
    for (size_t i = 0; i < std::size(rows); ++i) {
        EntityRecord vertex = entity(kEntityVertex);
        VertexBody& v = vertex.bodyAs<VertexBody>();
        v.point = {double(i), double(2 * i), 0};
        v.startWidth = rows[i].start;
        v.endWidth = rows[i].end;
        v.hasStartWidth = v.hasEndWidth = rows[i].own;
        v.bulge = i == 1 ? 0.5 : 0.0;
        vertices.push_back(add(std::move(vertex)));
    }
    add(entity(kEntitySequenceEnd));
    for (int16_t version : test::kBitCodedVersions) {
        SCOPED_TRACE(test::versionName(version));
        const test::SavedEntity head = save(version, polylineHandle);
        ASSERT_NE(head.back, nullptr);
        EXPECT_EQ(head.fileType, kDwgPolyline2d);
        EXPECT_EQ(head.back->bodyAs<PolylineBody>(), polylineBody);
        EXPECT_EQ(head.back->header.thickness, 0.25);
        for (size_t i = 0; i < std::size(rows); ++i) {
            const Row& row = rows[i];
            SCOPED_TRACE(row.what);
            const test::SavedEntity saved = save(version, vertices[i]);
            ASSERT_NE(saved.back, nullptr);
            EXPECT_EQ(saved.fileType, kDwgVertex2d);
            const VertexBody& v = saved.back->bodyAs<VertexBody>();
            EXPECT_EQ(v.point, (Point3{double(i), double(2 * i), 3}));
            EXPECT_EQ(v.startWidth, row.readStart);
            EXPECT_EQ(v.endWidth, row.readEnd);
            EXPECT_EQ(v.hasStartWidth, row.readOwn);
            EXPECT_EQ(v.bulge, i == 1 ? 0.5 : 0.0);
            const std::string expected = test::bitsOfWrites([&](BitWriter& w) {
                wrPutRawChar(w, 0);
                wrPut3BitDouble(w, Point3{double(i), double(2 * i), version >= kVersionAC1015 ? 3.0 : 0.0});
                for (double width : row.widthBits) wrPutBitDouble(w, width);
            });
            EXPECT_TRUE(saved.fieldBits.starts_with(expected)) << saved.fieldBits;
        }
    }
}

// 3D polylines: the spline flags byte (1 for curve type 5, 2 for 6) and the closed flags with
// 4 and 8 cleared; the reader gives back the 3D flag and 4 with a curve type.
TEST_F(EntityBodyCases, Polyline3dFlags) {
    struct Row {
        const char* what;
        int16_t flags;
        int16_t curveType;
        uint8_t splineByte, closedByte;
    } rows[] = {
        {"closed", 8 | 1, 0, 0, 1},
        {"open, quadratic", 8 | 4, 5, 1, 0},
        {"closed, cubic", 8 | 4 | 1, 6, 2, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        newDrawing();
        EntityRecord polyline = entity(kEntityPolyline);
        polyline.bodyAs<PolylineBody>().flags = row.flags;
        polyline.bodyAs<PolylineBody>().curveType = row.curveType;
        const Handle handle = add(std::move(polyline));
        EntityRecord vertex = entity(kEntityVertex);
        vertex.bodyAs<VertexBody>().flags = 32;
        vertex.bodyAs<VertexBody>().point = {1, 2, 3};
        const VertexBody vertexBody = vertex.bodyAs<VertexBody>();
        const Handle vertexHandle = add(std::move(vertex));
        add(entity(kEntitySequenceEnd));
        eachVersion(handle, [&](const test::SavedEntity& saved, int16_t version) {
            EXPECT_EQ(saved.fileType, kDwgPolyline3d);
            EXPECT_EQ(saved.fieldBits.substr(0, 16), test::byteBits(row.splineByte).substr(0, 8) +
                                                         test::byteBits(row.closedByte).substr(0, 8));
            EXPECT_EQ(saved.back->bodyAs<PolylineBody>().flags, row.flags);
            EXPECT_EQ(saved.back->bodyAs<PolylineBody>().curveType, row.curveType);
            const test::SavedEntity v = save(version, vertexHandle);
            ASSERT_NE(v.back, nullptr);
            EXPECT_EQ(v.fileType, kDwgVertex3d);
            EXPECT_EQ(v.back->bodyAs<VertexBody>(), vertexBody);
        });
    }
}

// A polygon mesh and a polyface mesh with their vertices and faces; a three-sided face writes
// its fourth index 0.
TEST_F(EntityBodyCases, MeshesAndPolyfaces) {
    newDrawing();
    EntityRecord mesh = entity(kEntityPolyline);
    PolylineBody& m = mesh.bodyAs<PolylineBody>();
    m.flags = 16 | 1;
    m.meshM = 2;
    m.meshN = 2;
    m.densityM = 6;
    m.densityN = 7;
    m.curveType = 6;
    const PolylineBody meshBody = m;
    const Handle meshHandle = add(std::move(mesh));
    Handle meshVertex;
    for (int i = 0; i < 4; ++i) {
        EntityRecord v = entity(kEntityVertex);
        v.bodyAs<VertexBody>().flags = 64;
        v.bodyAs<VertexBody>().point = {double(i % 2), double(i / 2), double(i)};
        meshVertex = add(std::move(v));
    }
    add(entity(kEntitySequenceEnd));

    EntityRecord pface = entity(kEntityPolyline);
    pface.bodyAs<PolylineBody>().flags = 64;
    pface.bodyAs<PolylineBody>().meshM = 3;
    pface.bodyAs<PolylineBody>().meshN = 1;
    const PolylineBody pfaceBody = pface.bodyAs<PolylineBody>();
    const Handle pfaceHandle = add(std::move(pface));
    Handle pfaceVertex;
    for (int i = 0; i < 3; ++i) {
        EntityRecord v = entity(kEntityVertex);
        v.bodyAs<VertexBody>().flags = 64 | 128;
        v.bodyAs<VertexBody>().point = {double(i), 1, 0};
        pfaceVertex = add(std::move(v));
    }
    EntityRecord face = entity(kEntityVertex);
    VertexBody& f = face.bodyAs<VertexBody>();
    f.flags = 128;
    f.faceVertexCount = 3;
    f.faceVertices = {1, -2, 3, 0};
    const VertexBody faceBody = f;
    const Handle faceHandle = add(std::move(face));
    add(entity(kEntitySequenceEnd));

    for (int16_t version : test::kBitCodedVersions) {
        SCOPED_TRACE(test::versionName(version));
        test::SavedEntity saved = save(version, meshHandle);
        ASSERT_NE(saved.back, nullptr);
        EXPECT_EQ(saved.fileType, kDwgPolylineMesh);
        EXPECT_EQ(saved.back->bodyAs<PolylineBody>(), meshBody);
        saved = save(version, meshVertex);
        EXPECT_EQ(saved.fileType, kDwgVertexMesh);
        EXPECT_EQ(saved.back->bodyAs<VertexBody>().point, (Point3{1, 1, 3}));
        saved = save(version, pfaceHandle);
        EXPECT_EQ(saved.fileType, kDwgPolylinePface);
        EXPECT_EQ(saved.back->bodyAs<PolylineBody>(), pfaceBody);
        saved = save(version, pfaceVertex);
        EXPECT_EQ(saved.fileType, kDwgVertexPface);
        EXPECT_EQ(saved.back->bodyAs<VertexBody>().flags, 64 | 128);
        saved = save(version, faceHandle);
        EXPECT_EQ(saved.fileType, kDwgVertexPfaceFace);
        EXPECT_EQ(saved.back->bodyAs<VertexBody>(), faceBody);
        EXPECT_TRUE(saved.fieldBits.starts_with(test::bitsOfWrites([](BitWriter& w) {
            for (int16_t index : {1, -2, 3, 0}) wrPutBitShort(w, uint16_t(index));
        })));
    }
}

// LINE in 2000: a bit for both z at 0 (then only four coordinates), the end against the start
// (DD 00 where they are equal), thickness and extrusion in their short forms at the defaults.
TEST_F(EntityBodyCases, LinesOf2000InTheirCompactForm) {
    struct Row {
        const char* what;
        LineBody line;
        double thickness;
        Point3 extrusion;
        std::string bits2000;
    } rows[] = {
        {"flat", {{1, 2, 0}, {4, 6, 0}}, 0, {0, 0, 1}, test::bitsOfWrites([](BitWriter& w) {
             wrPutBit(w, 1);
             wrPutRawDouble(w, 1);
             wrPutDefaultDouble(w, 4, 1);
             wrPutRawDouble(w, 2);
             wrPutDefaultDouble(w, 6, 2);
             w.putBits(1, 1); // BT 0
             w.putBits(1, 1); // BE (0, 0, 1)
         })},
        {"a point", {{1, 2, 3}, {1, 2, 3}}, 0, {0, 0, 1}, test::bitsOfWrites([](BitWriter& w) {
             wrPutBit(w, 0);
             wrPutRawDouble(w, 1);
             w.putBits(0, 2);
             wrPutRawDouble(w, 2);
             w.putBits(0, 2);
             wrPutRawDouble(w, 3);
             w.putBits(0, 2);
             w.putBits(1, 1);
             w.putBits(1, 1);
         })},
        {"thick, upside down", {{0, 0, 1}, {5, 0, -1}}, 2.5, {0, 0, -1}, test::bitsOfWrites([](BitWriter& w) {
             wrPutBit(w, 0);
             wrPutRawDouble(w, 0);
             wrPutDefaultDouble(w, 5, 0);
             wrPutRawDouble(w, 0);
             wrPutDefaultDouble(w, 0, 0);
             wrPutRawDouble(w, 1);
             wrPutDefaultDouble(w, -1, 1);
             wrPutThickness(w, 2.5);
             wrPutExtrusion(w, Point3{0, 0, -1});
         })},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        newDrawing();
        EntityRecord e = entity(kEntityLine);
        e.bodyAs<LineBody>() = row.line;
        e.header.thickness = row.thickness;
        e.header.extrusion = row.extrusion;
        const Handle handle = add(std::move(e));
        eachVersion(handle, [&](const test::SavedEntity& saved, int16_t version) {
            EXPECT_EQ(saved.back->bodyAs<LineBody>(), row.line);
            EXPECT_EQ(saved.back->header.thickness, row.thickness);
            EXPECT_EQ(saved.back->header.extrusion, row.extrusion);
            if (version == kVersionAC1015) {
                EXPECT_EQ(saved.fieldBits, row.bits2000);
            }
        });
    }
}

// The entities with a thickness and an extrusion: 2000 writes BT and BE, a single 1 bit each at
// 0 and (0, 0, 1), R13 and R14 BD and 3BD; every value comes back.
TEST_F(EntityBodyCases, ThicknessAndExtrusionShortForms) {
    struct Row {
        const char* what;
        double thickness;
        Point3 extrusion;
    } rows[] = {
        {"defaults", 0.0, {0, 0, 1}},
        {"thick", 3.5, {0, 0, 1}},
        {"tilted", 0.0, {0.6, 0, 0.8}},
        {"thick and upside down", -1.0, {0, 0, -1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        newDrawing();
        EntityRecord circle = entity(kEntityCircle);
        circle.bodyAs<CircleBody>() = CircleBody{{1, 2, 3}, 4};
        EntityRecord arc = entity(kEntityArc);
        arc.bodyAs<ArcBody>() = ArcBody{{1, 2, 3}, 4, 0.5, 2.5};
        EntityRecord point = entity(kEntityPoint);
        point.bodyAs<PointBody>() = PointBody{{7, 8, 9}, 0.75};
        EntityRecord solid = entity(kEntitySolid);
        solid.bodyAs<SolidBody>().corners = {Point3{0, 0, 2}, Point3{1, 0, 2}, Point3{0, 1, 2}, Point3{1, 1, 2}};
        EntityRecord trace = entity(kEntityTrace);
        trace.bodyAs<SolidBody>().corners = {Point3{0, 0, 0}, Point3{3, 0, 0}, Point3{0, 1, 0}, Point3{3, 1, 0}};
        std::vector<std::pair<Handle, EntityBody>> written;
        for (EntityRecord* e : {&circle, &arc, &point, &solid, &trace}) {
            e->header.thickness = row.thickness;
            e->header.extrusion = row.extrusion;
            written.emplace_back(e->header.handle, e->body);
            add(std::move(*e));
        }
        for (int16_t version : test::kBitCodedVersions) {
            SCOPED_TRACE(test::versionName(version));
            for (const auto& [handle, body] : written) {
                const test::SavedEntity saved = save(version, handle);
                ASSERT_NE(saved.back, nullptr);
                EXPECT_EQ(saved.back->body, body) << saved.back->header.type;
                EXPECT_EQ(saved.back->header.thickness, row.thickness);
                EXPECT_EQ(saved.back->header.extrusion, row.extrusion);
            }
            // CIRCLE: 3BD centre, BD radius, then thickness and extrusion.
            const test::SavedEntity circleSaved = save(version, written[0].first);
            const std::string expected = test::bitsOfWrites([&](BitWriter& w) {
                wrPut3BitDouble(w, Point3{1, 2, 3});
                wrPutBitDouble(w, 4);
                if (version >= kVersionAC1015) {
                    wrPutThickness(w, row.thickness);
                    wrPutExtrusion(w, row.extrusion);
                } else {
                    wrPutBitDouble(w, row.thickness);
                    wrPut3BitDouble(w, row.extrusion);
                }
            });
            EXPECT_EQ(circleSaved.fieldBits, expected);
        }
    }
}

// 3DFACE in 2000: a bit for no invisible edges, a bit for corner 1 at z 0, then each corner
// against the one before (a triangle's fourth corner is three DD 00).
TEST_F(EntityBodyCases, Faces3dOf2000) {
    const Point3 a{0, 0, 0}, b{4, 0, 0}, c{4, 3, 0};
    struct Row {
        const char* what;
        FaceBody face;
        std::string bits2000;
    } rows[] = {
        {"a flat triangle", {{a, b, c, c}, 0}, test::bitsOfWrites([&](BitWriter& w) {
             wrPutBit(w, 1);
             wrPutBit(w, 1);
             wrPutRawDouble(w, 0);
             wrPutRawDouble(w, 0);
             wrPutDefaultDouble(w, 4, 0);
             wrPutDefaultDouble(w, 0, 0);
             wrPutDefaultDouble(w, 0, 0);
             wrPutDefaultDouble(w, 4, 4);
             wrPutDefaultDouble(w, 3, 0);
             wrPutDefaultDouble(w, 0, 0);
             w.putBits(0, 6); // the fourth corner as the third
         })},
        {"raised, with invisible edges", {{Point3{0, 0, 1}, b, c, Point3{0, 3, 2}}, 5},
         test::bitsOfWrites([&](BitWriter& w) {
             wrPutBit(w, 0);
             wrPutBit(w, 0);
             wrPutRawDouble(w, 0);
             wrPutRawDouble(w, 0);
             wrPutRawDouble(w, 1);
             wrPutDefaultDouble(w, 4, 0);
             wrPutDefaultDouble(w, 0, 0);
             wrPutDefaultDouble(w, 0, 1);
             wrPutDefaultDouble(w, 4, 4);
             wrPutDefaultDouble(w, 3, 0);
             wrPutDefaultDouble(w, 0, 0);
             wrPutDefaultDouble(w, 0, 4);
             wrPutDefaultDouble(w, 3, 3);
             wrPutDefaultDouble(w, 2, 0);
             wrPutBitShort(w, 5);
         })},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        newDrawing();
        EntityRecord e = entity(kEntityFace3d);
        e.bodyAs<FaceBody>() = row.face;
        const Handle handle = add(std::move(e));
        eachVersion(handle, [&](const test::SavedEntity& saved, int16_t version) {
            EXPECT_EQ(saved.back->bodyAs<FaceBody>(), row.face);
            if (version == kVersionAC1015) {
                EXPECT_EQ(saved.fieldBits, row.bits2000);
            }
        });
    }
}

// ELLIPSE, RAY and XLINE carry their points in every version.
TEST_F(EntityBodyCases, EllipsesRaysAndXlines) {
    newDrawing();
    EntityRecord ellipse = entity(kEntityEllipse);
    ellipse.bodyAs<EllipseBody>() = EllipseBody{{1, 2, 3}, {4, 0, 0}, 0.5, 0.25, 6.0};
    ellipse.header.extrusion = {0, 0, -1};
    EntityRecord ray = entity(kEntityRay);
    ray.bodyAs<InfiniteLineBody>() = InfiniteLineBody{{1, 1, 1}, {0.6, 0.8, 0}};
    EntityRecord xline = entity(kEntityXline);
    xline.bodyAs<InfiniteLineBody>() = InfiniteLineBody{{-1, 0, 5}, {0, 0, 1}};
    std::vector<std::pair<Handle, EntityBody>> written;
    for (EntityRecord* e : {&ellipse, &ray, &xline}) {
        written.emplace_back(e->header.handle, e->body);
        add(std::move(*e));
    }
    for (int16_t version : test::kBitCodedVersions) {
        SCOPED_TRACE(test::versionName(version));
        for (const auto& [handle, body] : written) {
            const test::SavedEntity saved = save(version, handle);
            ASSERT_NE(saved.back, nullptr);
            EXPECT_EQ(saved.back->body, body) << saved.back->header.type;
        }
        EXPECT_EQ(save(version, written[0].first).back->header.extrusion, (Point3{0, 0, -1}));
    }
}

// SPLINE: the control form with knots, control points and (rational only) a weight after each
// control point; the fit form whenever the spline has fit points, without knots and control
// points whatever it keeps.
TEST_F(EntityBodyCases, SplinesOfBothForms) {
    SplineBody control;
    control.degree = 3;
    control.knotTolerance = 1e-10;
    control.controlTolerance = 1e-10;
    control.data.knots = {0, 0, 0, 0, 1, 1, 1, 1};
    control.data.controlPoints = {{0, 0, 0}, {1, 2, 0}, {3, 2, 0}, {4, 0, 0}};
    control.flags = 8; // planar: the reader derives it from the points
    SplineBody rational = control;
    rational.flags = 4 | 8;
    rational.data.weights = {1, 0.5, 2, 1};
    SplineBody closed = control;
    closed.flags = 1 | 2 | 8;
    SplineBody fit;
    fit.degree = 3;
    fit.flags = 8;
    fit.fitTolerance = 1e-10;
    fit.startTangent = {1, 0, 0};
    fit.endTangent = {0, 1, 0};
    fit.data.fitPoints = {{0, 0, 0}, {2, 1, 0}, {4, 0, 0}};
    SplineBody fitWithControl = fit;
    fitWithControl.data.knots = control.data.knots;
    fitWithControl.data.controlPoints = control.data.controlPoints;
    struct Row {
        const char* what;
        SplineBody written;
        SplineBody read;
        int16_t scenario;
    } rows[] = {
        {"control form", control, control, 1},
        {"rational, with weights", rational, rational, 1},
        {"closed and periodic", closed, closed, 1},
        {"fit form", fit, fit, 2},
        {"fit form though control data is kept", fitWithControl, fit, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        newDrawing();
        EntityRecord e = entity(kEntitySpline);
        e.bodyAs<SplineBody>() = row.written;
        const Handle handle = add(std::move(e));
        eachVersion(handle, [&](const test::SavedEntity& saved, int16_t) {
            const SplineBody& read = saved.back->bodyAs<SplineBody>();
            EXPECT_EQ(read.data, row.read.data);
            EXPECT_EQ(read.flags & 0x0F, row.read.flags & 0x0F);
            EXPECT_EQ(read.degree, row.read.degree);
            const std::string scenario =
                test::bitsOfWrites([&](BitWriter& w) { wrPutBitShort(w, uint16_t(row.scenario)); });
            EXPECT_TRUE(saved.fieldBits.starts_with(scenario));
        });
    }
}

// MLINE: per vertex its point, direction and miter, and per line of the style its segment and
// area-fill parameters, in every version.
TEST_F(EntityBodyCases, Mlines) {
    newDrawing();
    EntityRecord e = entity(kEntityMline);
    MlineBody& b = e.bodyAs<MlineBody>();
    b.scale = 2;
    b.justification = 1;
    b.basePoint = {1, 1, 0};
    b.flags = 1 | 2;
    b.lineCount = 2;
    for (int i = 0; i < 3; ++i) {
        MlineVertex v;
        v.position = {double(i), double(i * i), 0};
        v.direction = {1, 0, 0};
        v.miter = {0, 1, 0};
        v.elements = {MlineElementParameters{{0.0, 1.5}, {}}, MlineElementParameters{{0.25}, {0.5, 0.75}}};
        b.vertices.push_back(v);
    }
    const MlineBody body = b;
    expectBodyBack(add(std::move(e)), body);
}

// The MLINE vertex count is a bit-long: 256 and 300 vertices come back, and the count's bits
// are those of a bit-long (a bit-short would write 256 as its one-code form and 300 in 16 bits).
TEST_F(EntityBodyCases, MlineVertexCountIsBitLong) {
    for (uint32_t vertices : {255u, 256u, 300u}) {
        SCOPED_TRACE(vertices);
        newDrawing();
        EntityRecord e = entity(kEntityMline);
        MlineBody& b = e.bodyAs<MlineBody>();
        b.lineCount = 1;
        for (uint32_t i = 0; i < vertices; ++i) {
            MlineVertex v;
            v.position = {double(i), 0, 0};
            v.direction = {1, 0, 0};
            v.miter = {0, 1, 0};
            v.elements = {MlineElementParameters{{0.5}, {}}};
            b.vertices.push_back(v);
        }
        const MlineBody body = b;
        eachVersion(add(std::move(e)), [&](const test::SavedEntity& saved, int16_t) {
            const MlineBody* read = saved.back->body.getIf<MlineBody>();
            ASSERT_NE(read, nullptr);
            EXPECT_EQ(*read, body);
            const std::string head = test::bitsOfWrites([&](BitWriter& w) {
                wrPutBitDouble(w, body.scale);
                wrPutRawChar(w, body.justification);
                wrPut3BitDouble(w, body.basePoint);
                wrPut3BitDouble(w, Point3{0, 0, 1});
                wrPutBitShort(w, body.flags);
                wrPutRawChar(w, body.lineCount);
                wrPutBitLong(w, int32_t(vertices));
            });
            EXPECT_TRUE(saved.fieldBits.starts_with(head));
        });
    }
}

} // namespace
} // namespace tracemill
