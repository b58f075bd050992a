// Entity bodies of R13-2000 DWG files case by case, continued: the seven dimension kinds with
// their common data, LEADER and TOLERANCE by version, VIEWPORT, and the class-based entities
// (LWPOLYLINE flag combinations, HATCH paths and patterns, OLE2FRAME, RTEXT, ARCALIGNEDTEXT,
// proxies) with the record types each version gives them.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "entity_cases.h"
#include "toolkit/core/byte_order.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/read/dwg13_class_entity_layouts.h"
#include "toolkit/read/dwg13_dimension_layouts.h"
#include "toolkit/read/dwg13_object_source.h"
#include "toolkit/write/viewport_mview.h"

namespace tracemill {
namespace {

class AnnotationClassCases : public test::EntityCaseTest {
protected:
    // The drawing's first dimension style, with a scale of 2, an arrow size of 0.25, a gap of
    // 0.125, separate arrows and dimension lines of colour 3.
    Handle scaledDimensionStyle() {
        EXPECT_NE(drawing_->dimStyles.begin(), drawing_->dimStyles.end());
        DimStyleRecord& style = drawing_->dimStyles.begin()->record;
        style.dimscale = 2;
        style.dimasz = 0.25;
        style.dimgap = 0.125;
        style.dimsah = 1;
        style.dimclrd = 3;
        return style.handle;
    }
};

// Every dimension kind goes to its record type (kind 7 as LINEAR) with the points that type
// carries; the flags byte is 3 for text at its default place, 2 for text the user placed. The
// reader gives back the dimension's own-block flag (32) and, before 2000, the defaults of the
// fields those files do not carry.
TEST_F(AnnotationClassCases, DimensionKinds) {
    const Point3 p10{1, 2, 0}, p13{3, 4, 0}, p14{5, 6, 0}, p15{7, 8, 0}, p16{9, 10, 0};
    struct Row {
        const char* what;
        uint8_t typeFlags;
        uint16_t fileType;
        bool p13and14, has15, has16;
        uint8_t readKind;
    } rows[] = {
        {"linear", 0, kDwgDimensionLinear, true, false, false, 0},
        {"aligned, text placed", 1 | kDimensionUserText, kDwgDimensionAligned, true, false, false, 1},
        {"angular 2-line", 2, kDwgDimensionAngular2Line, true, true, true, 2},
        {"diameter", 3, kDwgDimensionDiameter, false, true, false, 3},
        {"radius, text placed", 4 | kDimensionUserText, kDwgDimensionRadius, false, true, false, 4},
        {"angular 3-point", 5, kDwgDimensionAngular3Point, true, true, false, 5},
        {"x-ordinate", 6 | kDimensionOrdinateX, kDwgDimensionOrdinate, true, false, false, 6},
        {"kind 7", 7, kDwgDimensionLinear, true, false, false, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        newDrawing();
        EntityRecord e = entity(kEntityDimension);
        DimensionBody& b = e.bodyAs<DimensionBody>();
        b.typeFlags = row.typeFlags;
        b.definitionPoint = p10;
        b.textMidpoint = {2, 3, 0.5};
        b.cloneInsertionPoint = {1, 1, 0};
        b.hasCloneInsertion = 1;
        if (row.p13and14) {
            b.point13 = p13;
            b.point14 = p14;
        }
        if (row.has15) b.point15 = p15;
        if (row.has16) b.point16 = Point3{p16.x, p16.y, 0};
        b.userText = "<> mm";
        b.textRotation = 0.1;
        b.horizontalDirection = 0.2;
        b.insertionRotation = 0.3;
        b.attachment = 2;
        b.lineSpacingStyle = 2;
        b.lineSpacingFactor = 1.25;
        b.actualMeasurement = 12.5;
        if (row.fileType == kDwgDimensionLinear || row.fileType == kDwgDimensionAligned) b.extensionLineRotation = 0.4;
        if (row.fileType == kDwgDimensionLinear) b.rotation = 0.5;
        if (row.fileType == kDwgDimensionRadius || row.fileType == kDwgDimensionDiameter) b.leaderLength = 3;
        b.block = addBlock("*D1");
        const DimensionBody body = b;
        const Handle handle = add(std::move(e));
        eachVersion(handle, [&](const test::SavedEntity& saved, int16_t version) {
            EXPECT_EQ(saved.fileType, row.fileType);
            DimensionBody want = body;
            want.typeFlags = uint8_t((body.typeFlags & ~7) | kDimensionOwnBlock | row.readKind);
            if (version < kVersionAC1015) {
                want.attachment = 5;
                want.lineSpacingStyle = 1;
                want.lineSpacingFactor = 1.6666666666666665;
                want.actualMeasurement = 0;
            }
            EXPECT_EQ(saved.back->bodyAs<DimensionBody>(), want);
            const std::string head = test::bitsOfWrites([&](BitWriter& w) {
                wrPut3BitDouble(w, Point3{0, 0, 1});
                wrPut2RawDouble(w, Point2{2, 3});
                wrPutBitDouble(w, 0.5);
                wrPutRawChar(w, (row.typeFlags & kDimensionUserText) ? 2 : 3);
            });
            EXPECT_TRUE(saved.fieldBits.starts_with(head));
        });
    }
}

// LEADER: the annotation offset is carried from R14 on, the by-block colour before 2000; R13
// and R14 store the effective gap and arrow size of the dimension style (scaled), its separate
// arrows flag and dimension line colour, which 2000 does not write.
TEST_F(AnnotationClassCases, LeadersByVersion) {
    newDrawing();
    EntityRecord e = entity(kEntityLeader);
    LeaderBody& b = e.bodyAs<LeaderBody>();
    b.dimensionStyle = scaledDimensionStyle();
    b.points = {{0, 0, 0}, {5, 5, 0}, {8, 5, 0}};
    b.annotationType = 3;
    b.pathType = 1;
    b.hookLineOnXDirection = 1;
    b.arrowheadOn = 1;
    b.byBlockColour = 5;
    b.textHeight = 2;
    b.textWidth = 6;
    b.horizontalDirection = {1, 0, 0};
    b.blockOffset = {0.5, 0.5, 0};
    b.annotationOffset = {1, -1, 0};
    const LeaderBody body = b;
    const Handle handle = add(std::move(e));
    eachVersion(handle, [&](const test::SavedEntity& saved, int16_t version) {
        LeaderBody want = body;
        if (version == kVersionAC1012) want.annotationOffset = {};
        if (version == kVersionAC1015) want.byBlockColour = 0;
        EXPECT_EQ(saved.back->bodyAs<LeaderBody>(), want);
        if (version == kVersionAC1015) return;
        test::rereadRecord(saved, [](Dwg13FieldReader& io, EntityHeader& h, Dwg13EntityCommon& c) {
            LeaderBody read;
            Dwg13LeaderExtras stored;
            dwg13LeaderEntity(io, h, read, c, stored);
            EXPECT_EQ(stored.gap, 0.25);
            EXPECT_EQ(stored.arrowSize, 0.5);
            EXPECT_EQ(stored.dimensionValue, 1);
            EXPECT_EQ(stored.lowWord, 3);
        });
    });
}

// TOLERANCE: R13 and R14 start with a text height and the gap of the dimension style, 2000
// directly with the insertion point (and carries no text height).
TEST_F(AnnotationClassCases, TolerancesByVersion) {
    newDrawing();
    EntityRecord e = entity(kEntityTolerance);
    ToleranceBody& b = e.bodyAs<ToleranceBody>();
    b.dimensionStyle = scaledDimensionStyle();
    b.insertion = {3, 4, 0};
    b.xDirection = {1, 0, 0};
    b.textHeight = 0.25;
    b.text = "{\\Fgdt;j}%%v0.5";
    const ToleranceBody body = b;
    const Handle handle = add(std::move(e));
    eachVersion(handle, [&](const test::SavedEntity& saved, int16_t version) {
        ToleranceBody want = body;
        if (version == kVersionAC1015) want.textHeight = 0;
        EXPECT_EQ(saved.back->bodyAs<ToleranceBody>(), want);
        const std::string insertion = test::bitsOfWrites([](BitWriter& w) { wrPut3BitDouble(w, Point3{3, 4, 0}); });
        EXPECT_EQ(saved.fieldBits.starts_with(insertion), version == kVersionAC1015);
        if (version == kVersionAC1015) return;
        const std::string head = test::bitsOfWrites([](BitWriter& w) {
            wrPutBitShort(w, 0);
            wrPutBitDouble(w, 0.25);
            wrPutBitDouble(w, 0.125);
        });
        EXPECT_TRUE(saved.fieldBits.starts_with(head + insertion));
    });
}

// VIEWPORT: 2000 carries the whole view with the frozen layers; R13 and R14 carry the view,
// snap, grid and frozen layers as "ACAD" "MVIEW" extended data built from the fields (an older
// "MVIEW" group of the entity's own is left out, and the entity keeps its own data); a viewport
// of model space names no VP ENT HDR record.
TEST_F(AnnotationClassCases, Viewports) {
    newDrawing();
    EntityRecord paper = entity(kEntityViewport);
    paper.header.flags |= kEntityInPaperSpace;
    ViewportBody& p = paper.bodyAs<ViewportBody>();
    p.centre = {5, 4, 0};
    p.width = 10;
    p.height = 8;
    p.status = 2;
    p.id = 2;
    p.viewTarget = {1, 2, 3};
    p.viewDirection = {0, 0, 1};
    p.twistAngle = 0.25;
    p.viewHeight = 30;
    p.lensLength = 50;
    p.viewCentre = {7, 8};
    p.snapSpacing = {0.5, 0.5};
    p.gridSpacing = {1, 1};
    p.frontClip = 0.5;
    p.backClip = -0.5;
    p.snapAngle = 0.125;
    p.snapBase = {0.25, 0.75};
    p.circleZoom = 100;
    p.frozenLayers = HandleList{paper.header.layer};
    // View mode 1, UCS icon 1, grid, and (2000 only) two bits of later files.
    p.statusFlags = 0x01 | 0x20 | 0x200 | 0x8000 | 0x10000;
    p.ucsOrigin = {1, 0, 0};
    p.ucsXAxis = {1, 0, 0};
    p.ucsYAxis = {0, 1, 0};
    const ViewportBody paperBody = p;
    // Its own extended data: an "MVIEW" group of other values, which the fields replace.
    Handle acad;
    ASSERT_TRUE(dbFindAppIdHandle(drawing_, "ACAD", acad));
    ViewportBody stale = paperBody;
    stale.viewHeight = 99;
    stale.frozenLayers.clear();
    OpenStream* out = dbStreamOpenWrite(paper.header.xdata.create(4096));
    for (const XDataItem& item : wrViewportMviewItems(stale, acad)) dbWriteXDataItem(out, item);
    dbStreamCloseWrite(out);
    const std::vector<XDataItem> ownXData = dbReadXDataItems(paper.header.xdata);
    const Handle paperHandle = add(std::move(paper));
    EntityRecord model = entity(kEntityViewport);
    model.bodyAs<ViewportBody>().centre = {1, 1, 0};
    model.bodyAs<ViewportBody>().width = 2;
    model.bodyAs<ViewportBody>().height = 2;
    const Handle modelHandle = add(std::move(model));
    eachVersion(paperHandle, [&](const test::SavedEntity& saved, int16_t version) {
        const ViewportBody& read = saved.back->bodyAs<ViewportBody>();
        EXPECT_EQ(read.centre, paperBody.centre);
        EXPECT_EQ(read.width, paperBody.width);
        EXPECT_EQ(read.height, paperBody.height);
        EXPECT_FALSE(read.viewportEntityHeader.isNull()) << "a paper-space viewport has its VP ENT HDR record";
        EXPECT_EQ(read.viewTarget, paperBody.viewTarget);
        EXPECT_EQ(read.viewDirection, paperBody.viewDirection);
        EXPECT_EQ(read.twistAngle, paperBody.twistAngle);
        EXPECT_EQ(read.viewHeight, paperBody.viewHeight);
        EXPECT_EQ(read.viewCentre, paperBody.viewCentre);
        EXPECT_EQ(read.lensLength, paperBody.lensLength);
        EXPECT_EQ(read.frontClip, paperBody.frontClip);
        EXPECT_EQ(read.backClip, paperBody.backClip);
        EXPECT_EQ(read.snapAngle, paperBody.snapAngle);
        EXPECT_EQ(read.snapBase, paperBody.snapBase);
        EXPECT_EQ(read.snapSpacing, paperBody.snapSpacing);
        EXPECT_EQ(read.gridSpacing, paperBody.gridSpacing);
        EXPECT_EQ(read.circleZoom, paperBody.circleZoom);
        EXPECT_EQ(read.frozenLayers, paperBody.frozenLayers);
        EXPECT_EQ(read.statusFlags, version == kVersionAC1015 ? paperBody.statusFlags : 0x01 | 0x20 | 0x200);
        if (version == kVersionAC1015) {
            EXPECT_EQ(read.ucsOrigin, paperBody.ucsOrigin);
        }
        // One "MVIEW" group in the file: the one built from the fields.
        size_t groups = 0;
        for (const XDataItem& item : dbReadXDataItems(saved.back->header.xdata))
            groups += item.code == 1000 && item.text == "MVIEW";
        EXPECT_EQ(groups, 1u);
        EXPECT_EQ(dbReadXDataItems(find(*drawing_, paperHandle)->header.xdata), ownXData)
            << "the entity keeps its own extended data";
        const test::SavedEntity inModel = save(version, modelHandle);
        ASSERT_NE(inModel.back, nullptr);
        test::rereadRecord(inModel, [](Dwg13FieldReader& io, EntityHeader& h, Dwg13EntityCommon& c) {
            ViewportBody body;
            Handle header(0x7777);
            dwg13ViewportEntity(io, h, body, c, header);
            EXPECT_TRUE(header.isNull()) << "a model-space viewport names no VP ENT HDR record";
            EXPECT_EQ(body.centre, (Point3{1, 1, 0}));
        });
    });
}

// LWPOLYLINE: the flag word says which values follow, derived from the values (constant width,
// elevation, thickness, extrusion) and from the stored bulge and width flags; 2000 writes each
// point after the first against the one before; R14 writes the class's record, 2000 type 77,
// and R13 a POLYLINE with its VERTEX and SEQEND records.
TEST_F(AnnotationClassCases, LwpolylineFlagCombinations) {
    const LwpolylineVertices square{{{0, 0}, 0, 0, 0}, {{2, 0}, 0, 0, 0}, {{2, 2}, 0, 0, 0}, {{0, 2}, 0, 0, 0}};
    struct Row {
        const char* what;
        int16_t flags;
        double constantWidth, elevation, thickness;
        Point3 extrusion;
        LwpolylineVertices vertices;
        int16_t writtenFlags;
    } rows[] = {
        {"plain", 0, 0, 0, 0, {0, 0, 1}, square, 0},
        {"closed with a constant width", kLwpolylineClosed | kLwpolylineConstantWidth, 0.5, 0, 0, {0, 0, 1}, square,
         kLwpolylineClosed | 4},
        {"a constant-width flag without width", kLwpolylineConstantWidth, 0, 0, 0, {0, 0, 1}, square, 0},
        {"raised", 0, 0, 2.5, 0, {0, 0, 1}, square, 8},
        {"thick", 0, 0, 0, 1.5, {0, 0, 1}, square, 2},
        {"upside down", 0, 0, 0, 0, {0, 0, -1}, square, 1},
        {"bulges", kLwpolylineHasBulges, 0, 0, 0, {0, 0, 1},
         {{{0, 0}, 1, 0, 0}, {{2, 0}, 0, 0, 0}, {{2, 2}, -0.5, 0, 0}}, kLwpolylineHasBulges},
        {"widths", kLwpolylineHasWidths, 0, 0, 0, {0, 0, 1},
         {{{0, 0}, 0, 0.1, 0.2}, {{2, 0}, 0, 0.3, 0.3}, {{2, 2}, 0, 0, 0}}, kLwpolylineHasWidths},
        {"equal consecutive points", 0, 0, 0, 0, {0, 0, 1}, {{{1, 1}, 0, 0, 0}, {{1, 1}, 0, 0, 0}, {{3, 1}, 0, 0, 0}},
         0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        newDrawing();
        EntityRecord e = entity(classOf(ClassKind::Lwpolyline));
        LwpolylineBody& b = e.body.emplace<LwpolylineBody>();
        b.flags = row.flags;
        b.constantWidth = row.constantWidth;
        b.elevation = row.elevation;
        b.vertices = row.vertices;
        e.header.thickness = row.thickness;
        e.header.extrusion = row.extrusion;
        const LwpolylineBody body = b;
        const Handle handle = add(std::move(e));
        eachVersion(handle, [&](const test::SavedEntity& saved, int16_t version) {
            if (version == kVersionAC1012) {
                ASSERT_EQ(saved.back->header.type, kEntityPolyline);
                const PolylineBody& polyline = saved.back->bodyAs<PolylineBody>();
                EXPECT_EQ(polyline.flags & 1, (row.flags & kLwpolylineClosed) ? 1 : 0);
                EXPECT_EQ(polyline.elevation, row.elevation);
                EXPECT_EQ(saved.back->header.thickness, row.thickness);
                EXPECT_EQ(saved.back->header.extrusion, row.extrusion);
                for (size_t i = 0; i < row.vertices.size(); ++i) {
                    const EntityRecord* vertex = following(handle, i + 1);
                    ASSERT_NE(vertex, nullptr);
                    ASSERT_EQ(vertex->header.type, kEntityVertex);
                    const VertexBody& v = vertex->bodyAs<VertexBody>();
                    const LwpolylineVertex& lw = row.vertices[i];
                    EXPECT_EQ(v.point, (Point3{lw.point.x, lw.point.y, row.elevation}));
                    EXPECT_EQ(v.bulge, lw.bulge);
                    const bool constant = row.constantWidth > 0;
                    EXPECT_EQ(v.startWidth, constant ? row.constantWidth : lw.startWidth);
                    EXPECT_EQ(v.endWidth, constant ? row.constantWidth : lw.endWidth);
                    EXPECT_NE(vertex->header.handle, handle);
                }
                const EntityRecord* end = following(handle, row.vertices.size() + 1);
                ASSERT_NE(end, nullptr);
                EXPECT_EQ(end->header.type, kEntitySequenceEnd);
                return;
            }
            EXPECT_EQ(saved.fileType, version == kVersionAC1015 ? kDwgTypeLwpolyline : saved.back->header.type);
            LwpolylineBody want = body;
            want.flags = int16_t(row.writtenFlags & ~(1 | 2 | 8));
            EXPECT_EQ(saved.back->bodyAs<LwpolylineBody>(), want);
            EXPECT_EQ(saved.back->header.thickness, row.thickness);
            EXPECT_EQ(saved.back->header.extrusion, row.extrusion);
            const std::string flags = test::bitsOfWrites([&](BitWriter& w) { wrPutBitShort(w, uint16_t(row.writtenFlags)); });
            EXPECT_TRUE(saved.fieldBits.starts_with(flags)) << saved.fieldBits.substr(0, 20);
        });
    }
    // 2000: a second point equal to the first is two DD with the bits 00.
    const test::SavedEntity saved = save(kVersionAC1015, drawing_->modelSpace->begin()->record.header.handle);
    const std::string expected = test::bitsOfWrites([](BitWriter& w) {
        wrPutBitShort(w, 0);
        wrPutBitLong(w, 3);
        wrPut2RawDouble(w, Point2{1, 1});
        w.putBits(0, 4);
        wrPutDefaultDouble(w, 3, 1);
        wrPutDefaultDouble(w, 1, 1);
    });
    EXPECT_EQ(saved.fieldBits, expected);
    // R14 writes every point as two raw doubles.
    const test::SavedEntity r14 = save(kVersionAC1014, drawing_->modelSpace->begin()->record.header.handle);
    EXPECT_EQ(r14.fieldBits, test::bitsOfWrites([](BitWriter& w) {
        wrPutBitShort(w, 0);
        wrPutBitLong(w, 3);
        for (const Point2& p : {Point2{1, 1}, Point2{1, 1}, Point2{3, 1}}) wrPut2RawDouble(w, p);
    }));
}

// HATCH: a solid fill has no pattern fields and, without a path that asks for a pixel size,
// goes from the pattern type to the seed points; a pattern carries its lines and dashes; every
// kind of edge and a polyline path with bulges come back.
TEST_F(AnnotationClassCases, HatchesOfEveryPathAndFill) {
    HatchPath polyline;
    polyline.flags = kHatchPathPolyline | 1;
    polyline.hasBulges = 1;
    polyline.closed = 1;
    polyline.vertices = {{{0, 0}, 0}, {{4, 0}, 0.5}, {{4, 4}, 0}, {{0, 4}, 0}};
    HatchPath edges;
    edges.flags = 1 | kHatchPathNeedsPixelSize;
    HatchSplineEdge spline;
    spline.degree = 3;
    spline.rational = 1;
    spline.knots = {0, 0, 0, 0, 1, 1, 1, 1};
    spline.controlPoints = {{{0, 0}, 1}, {{1, 2}, 0.5}, {{3, 2}, 2}, {{4, 0}, 1}};
    edges.edges = {HatchLineEdge{{0, 0}, {4, 0}}, HatchArcEdge{{4, 2}, 2, -1.5, 1.5, 1},
                   HatchEllipseEdge{{2, 4}, {2, 0}, 0.5, 0, 3.14, 0}, spline};
    HatchBody solid;
    solid.patternName = "SOLID";
    solid.solidFill = 1;
    solid.style = 0;
    solid.patternType = 1;
    solid.paths = {polyline};
    solid.seedPoints = {{1, 1}};
    HatchBody pattern;
    pattern.patternName = "ANSI31";
    pattern.patternType = 1;
    pattern.patternAngle = 0.25;
    pattern.patternScale = 2;
    pattern.patternDouble = 1;
    pattern.patternLines = {HatchPatternLine{0.785, {0, 0}, {-0.09, 0.09}, {}},
                            HatchPatternLine{0.785, {0.1, 0}, {-0.09, 0.09}, {0.25, -0.125}}};
    pattern.paths = {polyline, edges};
    pattern.pixelSize = 0.05;
    struct Row {
        const char* what;
        HatchBody body;
        std::string tail2000; // from the pattern type on
    } rows[] = {
        {"solid fill", solid, test::bitsOfWrites([](BitWriter& w) {
             wrPutBitShort(w, 1);
             wrPutBitLong(w, 1);
             wrPut2RawDouble(w, Point2{1, 1});
         })},
        {"pattern with every edge", pattern, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        newDrawing();
        EntityRecord e = entity(classOf(ClassKind::Hatch));
        e.body.emplace<HatchBody>() = row.body;
        const Handle handle = add(std::move(e));
        eachVersion(handle, [&](const test::SavedEntity& saved, int16_t version) {
            EXPECT_EQ(saved.fileType, version == kVersionAC1015 ? kDwgTypeHatch : saved.back->header.type);
            EXPECT_EQ(saved.back->bodyAs<HatchBody>(), row.body);
            EXPECT_TRUE(saved.fieldBits.ends_with(row.tail2000));
        });
    }
}

// OLE2FRAME: type 74 in 2000 with its mode and trailing byte, the frame's corners as its
// graphics; RTEXT; ARCALIGNEDTEXT, whose reals the file keeps as texts of six decimals and
// whose text style is named beside its handle.
TEST_F(AnnotationClassCases, FramesAndTextsOfClasses) {
    newDrawing();
    EntityRecord ole = entity(classOf(ClassKind::Ole2Frame));
    Ole2FrameBody& o = ole.body.emplace<Ole2FrameBody>();
    o.oleType = 2;
    o.mode = 1;
    o.trailingByte = 0;
    o.upperLeft = {1, 8, 0};
    o.lowerRight = {6, 2, 0};
    // The embedded data's header holds the corners at bytes 2-25 and 50-73.
    std::vector<uint8_t> data(120, 0x5A);
    auto putCorner = [&](size_t at, const Point3& p) {
        for (double v : {p.x, p.y, p.z}) {
            putLe64(&data[at], doubleBits(v));
            at += 8;
        }
    };
    putCorner(2, o.upperLeft);
    putCorner(50, o.lowerRight);
    PagedStream* stream = o.data.create(4096);
    stream->bytes.assign(data.begin(), data.end());
    const Ole2FrameBody oleBody = o;
    const Handle oleHandle = add(std::move(ole));

    EntityRecord rtext = entity(classOf(ClassKind::Rtext));
    RtextBody& r = rtext.body.emplace<RtextBody>();
    r.insertion = {1, 2, 0};
    r.rotation = 0.5;
    r.height = 2.5;
    r.flags = 2;
    r.contents = "$(getvar, \"dwgname\")";
    r.style = drawing_->header->current.textstyle;
    const RtextBody rtextBody = r;
    const Handle rtextHandle = add(std::move(rtext));

    EntityRecord arcText = entity(classOf(ClassKind::ArcAlignedText));
    ArcAlignedTextBody& a = arcText.body.emplace<ArcAlignedTextBody>();
    a.text = "ALONG THE ARC";
    a.fontName = "txt";
    a.style = drawing_->header->current.textstyle;
    a.centre = {5, 5, 0};
    a.radius = 10;
    a.widthFactor = 1;
    a.textSize = 0.1234567;
    a.characterSpacing = 0.5;
    a.offsetFromArc = 0.25;
    a.startAngle = 0.5;
    a.endAngle = 2.5;
    a.settings = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    a.colour = 3;
    const ArcAlignedTextBody arcBody = a;
    const Handle arcHandle = add(std::move(arcText));

    for (int16_t version : test::kBitCodedVersions) {
        SCOPED_TRACE(test::versionName(version));
        test::SavedEntity saved = save(version, oleHandle);
        ASSERT_NE(saved.back, nullptr);
        EXPECT_EQ(saved.fileType, version == kVersionAC1015 ? kDwgTypeOle2Frame : saved.back->header.type);
        EXPECT_TRUE(saved.hasGraphics);
        Ole2FrameBody wantOle = oleBody;
        if (version < kVersionAC1015) {
            wantOle.mode = 0;
            wantOle.trailingByte = 1;
        }
        EXPECT_EQ(saved.back->bodyAs<Ole2FrameBody>(), wantOle);
        // Its graphics: a fixed head of 16 bytes and the two corners.
        std::vector<uint8_t> graphics = {0x40, 0, 0, 0, 1, 0, 0, 0, 0x38, 0, 0, 0, 1, 0, 0, 0};
        graphics.insert(graphics.end(), data.begin() + 2, data.begin() + 26);
        graphics.insert(graphics.end(), data.begin() + 50, data.begin() + 74);
        EXPECT_EQ(saved.graphics, graphics);

        saved = save(version, rtextHandle);
        ASSERT_NE(saved.back, nullptr);
        EXPECT_EQ(saved.back->bodyAs<RtextBody>(), rtextBody);

        saved = save(version, arcHandle);
        ASSERT_NE(saved.back, nullptr);
        ArcAlignedTextBody wantArc = arcBody;
        wantArc.textSize = 0.123457;
        EXPECT_EQ(saved.back->bodyAs<ArcAlignedTextBody>(), wantArc);
        // The text style's name stands beside its handle, as the file names the record.
        test::rereadRecord(saved, [&](Dwg13FieldReader& io, EntityHeader& h, Dwg13EntityCommon& c) {
            ArcAlignedTextBody read;
            std::string styleName;
            dwg13ArcAlignedTextEntity(io, h, read, c, styleName);
            EXPECT_EQ(styleName, version == kVersionAC1015 ? "Standard" : "STANDARD");
            EXPECT_EQ(read.style, arcBody.style);
        });
    }
}

// A proxy entity writes its data bits and references back. Without data bits, R13 and R14 get
// neither the head of a generic proxy nor any bit, only its handles; 2000 keeps the head (the
// class it stands for and its version), which its reader takes whatever follows.
TEST_F(AnnotationClassCases, ProxyEntities) {
    struct Row {
        const char* what;
        uint32_t bitCount;
        std::vector<uint8_t> data;
    } rows[] = {
        {"without data", 0, {}},
        {"with 20 bits of data", 20, {0xA5, 0x3C, 0xF0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        newDrawing();
        EntityRecord e = entity(kEntityOfClassData);
        ProxyEntityBody& p = e.body.emplace<ProxyEntityBody>();
        p.proxyClassId = 498;
        p.version = 0x60017;
        p.dataBitCount = row.bitCount;
        if (!row.data.empty()) {
            PagedStream* stream = p.data.create(4096);
            stream->bytes.assign(row.data.begin(), row.data.end());
        }
        p.references = {ObjectReference{drawing_->handles.namedObjectDictionary, 1}};
        const Handle handle = add(std::move(e));
        eachVersion(handle, [&](const test::SavedEntity& saved, int16_t version) {
            const ProxyEntityBody* read = saved.back->body.getIf<ProxyEntityBody>();
            ASSERT_NE(read, nullptr);
            EXPECT_EQ(read->references, (std::vector<ObjectReference>{{drawing_->handles.namedObjectDictionary, 1}}));
            // R13 and R14 readers take the head only from more than 68 bits of head and data.
            EXPECT_EQ(read->proxyClassId, version == kVersionAC1015 || row.bitCount > 0 ? 498 : 0);
            const std::string head2000 = test::bitsOfWrites([](BitWriter& w) {
                wrPutBitLong(w, 498);
                wrPutBitLong(w, 0x60017);
                wrPutBit(w, 1);
            });
            if (row.bitCount == 0) {
                EXPECT_EQ(saved.fieldBits, version == kVersionAC1015 ? head2000 : "") << "no data bits";
            } else {
                EXPECT_TRUE(saved.fieldBits.ends_with("10100101001111001111")) << saved.fieldBits;
            }
        });
    }
}

} // namespace
} // namespace tracemill
