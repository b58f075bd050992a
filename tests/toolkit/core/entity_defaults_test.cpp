// The defaults of a new entity of every kind, as the entity initialiser gives them: header from
// the template, layer the first LAYER record, linetype BYLAYER, and the body defaults written
// here by hand (CIRCLE radius 1, ARC 0 to 2 pi, TRACE/SOLID unit corners, INSERT unit scale
// with one column and row, RAY/XLINE along x, the text scales 1 with the first style, RTEXT
// height 0.2, ARCALIGNEDTEXT size 0.2, IMAGE/WIPEOUT unit u and v).
#include <gtest/gtest.h>

#include <functional>
#include <numbers>

#include "drawing_fixture.h"
#include "toolkit/core/record_lookup.h"

namespace tracemill {
namespace {

using test::DrawingTest;

// A default body changed by `set`.
template <class Body, class Set>
Body with(Set set) {
    Body body;
    set(body);
    return body;
}

class EntityDefaults : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        LayerRecord layer;
        layer.name = "Walls";
        layer.handle = dbNewHandle(*drawing);
        ASSERT_EQ(dbLayerAdd(drawing, layer), 1);
        StyleRecord style;
        style.name = "Notes";
        style.handle = dbNewHandle(*drawing);
        ASSERT_TRUE(dbAddTableRecord(style.handle, drawing->handleIndex, StoredRecord<StyleRecord>(style),
                                     &drawing->styles, kInsertAtEnd, nullptr));
        drawing->handles.byLayerLinetype = Handle(0x700);
        firstLayer = dbFirstRecordHandle(drawing->layers);
        firstStyle = dbFirstRecordHandle(drawing->styles);
    }

    Handle firstLayer;
    Handle firstStyle;

    EntityRecord initialised(uint16_t type) {
        EntityRecord entity;
        entity.header.type = type;
        entity.header.colour = 5;           // overwritten by the template
        entity.header.handle = Handle(99);  // likewise
        EXPECT_EQ(dbInitEntity(drawing, entity), 1);
        return entity;
    }
};

TEST_F(EntityDefaults, HeaderComesFromTheTemplateWithTheDrawingsLayerAndBylayerLinetype) {
    const EntityRecord entity = initialised(kEntityLine);
    EntityHeader expected;
    expected.type = kEntityLine;
    expected.layer = firstLayer;
    ASSERT_FALSE(firstLayer.isNull());
    expected.linetype = Handle(0x700);
    EXPECT_EQ(entity.header, expected);
    EXPECT_EQ(entity.header.colour, 256);
    EXPECT_EQ(entity.header.lineweight, -1);
    EXPECT_EQ(entity.header.linetypeScale, 1.0);
    EXPECT_EQ(entity.header.extrusion, (Point3{0, 0, 1}));
    EXPECT_EQ(entity.header.flags, 0);
}

TEST_F(EntityDefaults, EveryKindGetsItsBody) {
    const ClassNumberTable& classes = drawing->classes.numbers;
    const uint16_t image = classes[size_t(ClassKind::Image)];
    ASSERT_NE(image, 0);
    const Handle style = firstStyle;
    ASSERT_FALSE(style.isNull());
    const double twoPi = 2.0 * std::numbers::pi;

    struct Case {
        const char* name;
        uint16_t type;
        std::function<bool(const EntityBody&)> check;
    };
    auto is = [](auto expected) {
        using Body = decltype(expected);
        return [expected](const EntityBody& body) { return body.holds<Body>() && body.as<Body>() == expected; };
    };
    auto text = [&](auto body) {
        body.height = 1.0;
        body.widthFactor = 1.0;
        body.style = style;
        return body;
    };
    const Case cases[] = {
        {"LINE", kEntityLine, is(LineBody{})},
        {"3DLINE", kEntityLine3d, is(LineBody{})},
        {"POINT", kEntityPoint, is(PointBody{})},
        {"CIRCLE", kEntityCircle, is(with<CircleBody>([](auto& b) { b.radius = 1.0; }))},
        {"SHAPE", kEntityShape, is(with<ShapeBody>([](auto& b) { b.size = b.widthFactor = 1.0; }))},
        {"ELLIPSE", kEntityEllipse, is(EllipseBody{})},
        {"SPLINE", kEntitySpline, is(SplineBody{})},
        {"TEXT", kEntityText, is(text(TextBody{}))},
        {"ATTDEF", kEntityAttributeDefinition, is(text(AttributeDefinitionBody{}))},
        {"ATTRIB", kEntityAttribute, is(text(AttributeBody{}))},
        {"ARC", kEntityArc, is(with<ArcBody>([&](auto& b) {
             b.radius = 1.0;
             b.endAngle = twoPi;
         }))},
        {"TRACE", kEntityTrace, is(SolidBody{{Point3{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}}})},
        {"SOLID", kEntitySolid, is(SolidBody{{Point3{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}}})},
        {"REGION", kEntityRegion, is(AcisBody{})},
        {"3DSOLID", kEntitySolid3d, is(AcisBody{})},
        {"BODY", kEntityBody, is(AcisBody{})},
        {"BLOCK", kEntityBlock, is(BlockBeginBody{})},
        {"ENDBLK", kEntityEndBlock, [](const EntityBody& b) { return b.empty(); }},
        {"SEQEND", kEntitySequenceEnd, [](const EntityBody& b) { return b.empty(); }},
        {"INSERT", kEntityInsert, is(with<InsertBody>([](auto& b) {
             b.scale = {1, 1, 1};
             b.columnCount = b.rowCount = 1;
         }))},
        {"POLYLINE", kEntityPolyline, is(PolylineBody{})},
        {"VERTEX", kEntityVertex, is(VertexBody{})},
        {"3DFACE", kEntityFace3d, is(FaceBody{})},
        {"DIMENSION", kEntityDimension, is(DimensionBody{})},
        {"RAY", kEntityRay, is(with<InfiniteLineBody>([](auto& b) { b.direction = {1, 0, 0}; }))},
        {"XLINE", kEntityXline, is(with<InfiniteLineBody>([](auto& b) { b.direction = {1, 0, 0}; }))},
        {"MTEXT", kEntityMtext, is(MtextBody{})},
        {"LEADER", kEntityLeader, is(LeaderBody{})},
        {"TOLERANCE", kEntityTolerance, is(ToleranceBody{})},
        {"MLINE", kEntityMline, is(MlineBody{})},
        {"no entity (18)", 18, [](const EntityBody& b) { return b.empty(); }},
        {"no entity (33)", 33, [](const EntityBody& b) { return b.empty(); }},
        {"LWPOLYLINE", classes[size_t(ClassKind::Lwpolyline)], is(LwpolylineBody{})},
        {"HATCH", classes[size_t(ClassKind::Hatch)], is(HatchBody{})},
        {"OLE2FRAME", classes[size_t(ClassKind::Ole2Frame)], is(Ole2FrameBody{})},
        {"IMAGE", image, [](const EntityBody& b) {
             const auto* body = b.getIf<RasterImageBody>();
             return body && body->uVector == Point3{1, 0, 0} && body->vVector == Point3{0, 1, 0} &&
                    body->clipVertices.empty();
         }},
        {"proxy (498)", kEntityOfClassData, is(with<ProxyEntityBody>([](auto& b) { b.classNumber = kEntityOfClassData; }))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(c.type, 0);
        EXPECT_TRUE(c.check(initialised(c.type).body));
    }
}

TEST_F(EntityDefaults, ExpressToolClassesGetTheirBodies) {
    const uint16_t rtext = dbAddClass(drawing->classes, "RTEXT", "RText", "RText", 0, kClassOfEntities, 0);
    const uint16_t arcText =
        dbAddClass(drawing->classes, "ARCALIGNEDTEXT", "AcDbArcAlignedText", "ATEXT", 0, kClassOfEntities, 0);
    const uint16_t wipeout = dbAddClass(drawing->classes, "WIPEOUT", "AcDbWipeout", "WipeOut", 0, kClassOfEntities, 0);

    const EntityRecord r = initialised(rtext);
    ASSERT_TRUE(r.body.holds<RtextBody>());
    EXPECT_EQ(r.bodyAs<RtextBody>().height, 0.2);

    const EntityRecord a = initialised(arcText);
    ASSERT_TRUE(a.body.holds<ArcAlignedTextBody>());
    EXPECT_EQ(a.bodyAs<ArcAlignedTextBody>().textSize, 0.2);
    EXPECT_EQ(a.bodyAs<ArcAlignedTextBody>().widthFactor, 1.0);
    EXPECT_EQ(a.bodyAs<ArcAlignedTextBody>().colour, 256);

    const EntityRecord w = initialised(wipeout);
    ASSERT_TRUE(w.body.holds<RasterImageBody>());
    EXPECT_EQ(w.bodyAs<RasterImageBody>().uVector, (Point3{1, 0, 0}));
    EXPECT_EQ(w.bodyAs<RasterImageBody>().vVector, (Point3{0, 1, 0}));
}

TEST_F(EntityDefaults, ViewportLooksAlongZ) {
    const EntityRecord entity = initialised(kEntityViewport);
    const ViewportBody& viewport = entity.bodyAs<ViewportBody>();
    EXPECT_EQ(viewport.viewDirection, (Point3{0, 0, 1}));
    EXPECT_EQ(viewport.lensLength, 50.0);
    EXPECT_EQ(viewport.circleZoom, 100);
    EXPECT_EQ(viewport.ucsXAxis, (Point3{1, 0, 0}));
    EXPECT_EQ(viewport.ucsYAxis, (Point3{0, 1, 0}));
}

TEST_F(EntityDefaults, WithoutTablesTheReferencesStayNull) {
    Drawing* empty = dbAllocDrawing();
    ASSERT_NE(empty, nullptr);
    EntityRecord entity;
    entity.header.type = kEntityText;
    EXPECT_EQ(dbInitEntity(empty, entity), 1);
    EXPECT_TRUE(entity.header.layer.isNull());
    EXPECT_TRUE(entity.header.linetype.isNull());
    EXPECT_TRUE(entity.bodyAs<TextBody>().style.isNull());
    dbFreeDrawing(empty);
}

} // namespace
} // namespace tracemill
