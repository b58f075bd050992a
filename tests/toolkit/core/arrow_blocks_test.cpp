// The standard arrowhead blocks: each name builds the entities of its shape between a BLOCK
// and an ENDBLK, with the arrow's properties BYBLOCK; other names build nothing.
#include "toolkit/core/arrow_blocks.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "drawing_fixture.h"

namespace tracemill {
namespace {

using test::DrawingTest;

std::string point(const Point3& p) {
    std::ostringstream text;
    text << p.x << "," << p.y;
    return text.str();
}

// One line per entity of the block, with the geometry that makes the shape.
std::string describe(const EntityRecord& entity) {
    std::ostringstream text;
    text << dbEntityTypeName(entity.header.type);
    if (const auto* line = entity.body.getIf<LineBody>()) {
        text << " " << point(line->start) << " " << point(line->end);
    } else if (const auto* circle = entity.body.getIf<CircleBody>()) {
        text << " " << point(circle->centre) << " r" << circle->radius;
    } else if (const auto* arc = entity.body.getIf<ArcBody>()) {
        text.precision(16);
        text << " " << point(arc->centre) << " r" << arc->radius << " " << arc->startAngle << " " << arc->endAngle;
    } else if (const auto* solid = entity.body.getIf<SolidBody>()) {
        for (const Point3& corner : solid->corners) text << " " << point(corner);
    } else if (const auto* polyline = entity.body.getIf<PolylineBody>()) {
        text << " flags" << polyline->flags << " w" << polyline->defaultStartWidth << "/" << polyline->defaultEndWidth;
    } else if (const auto* vertex = entity.body.getIf<VertexBody>()) {
        text << " " << point(vertex->point) << " b" << vertex->bulge;
    }
    return text.str();
}

class ArrowBlocks : public DrawingTest {
protected:
    std::vector<std::string> shapeOf(Handle block) {
        std::vector<std::string> lines;
        for (const EntityNode& node : *dbGetBlockEntityList(drawing, block)) lines.push_back(describe(node.record));
        EXPECT_GE(lines.size(), 2u);
        if (lines.size() < 2) return lines;
        EXPECT_EQ(lines.front(), "BLOCK");
        EXPECT_EQ(lines.back(), "ENDBLK");
        return {lines.begin() + 1, lines.end() - 1};
    }
};

struct Shape {
    const char* name;
    std::vector<std::string> entities;
};

const std::vector<Shape> kShapes = {
    {"_NONE", {}},
    {"_CLOSED",
     {"LINE 0,0 -1,0.166667", "LINE 0,0 -1,-0.166667", "LINE -1,0.166667 -1,-0.166667", "LINE 0,0 -1,0"}},
    {"_CLOSEDBLANK", {"LINE 0,0 -1,0.166667", "LINE 0,0 -1,-0.166667", "LINE -1,0.166667 -1,-0.166667"}},
    {"_OPEN", {"LINE 0,0 -1,0.166667", "LINE 0,0 -1,-0.166667", "LINE 0,0 -1,0"}},
    {"_OPEN30", {"LINE 0,0 -1,0.267949", "LINE 0,0 -1,-0.267949"}},
    {"_OPEN90", {"LINE 0,0 -0.5,0.5", "LINE 0,0 -0.5,-0.5"}},
    {"_OBLIQUE", {"LINE -0.5,-0.5 0.5,0.5"}},
    {"_ARCHTICK", {"POLYLINE flags0 w0.15/0.15", "VERTEX -0.5,-0.5 b0", "VERTEX 0.5,0.5 b0", "SEQEND"}},
    {"_DOT", {"POLYLINE flags1 w0.5/0.5", "VERTEX -0.25,0 b1", "VERTEX 0.25,0 b1", "SEQEND"}},
    {"_DOTSMALL", {"POLYLINE flags1 w0.125/0.125", "VERTEX -0.0625,0 b1", "VERTEX 0.0625,0 b1", "SEQEND"}},
    {"_DOTBLANK", {"CIRCLE 0,0 r0.5", "LINE -0.5,0 -1,0"}},
    {"_ORIGIN", {"CIRCLE 0,0 r0.5"}},
    {"_BOXBLANK",
     {"LINE -0.5,-0.5 0.5,-0.5", "LINE 0.5,-0.5 0.5,0.5", "LINE 0.5,0.5 -0.5,0.5", "LINE -0.5,0.5 -0.5,-0.5"}},
    {"_BOXFILLED", {"SOLID -0.5,-0.5 0.5,-0.5 -0.5,0.5 0.5,0.5", "LINE -0.5,0 -1,0"}},
    {"_DATUMBLANK", {"LINE 0,0.57735 0,-0.57735", "LINE 0,-0.57735 -1,0", "LINE -1,0 0,0.57735"}},
    {"_DATUMFILLED", {"SOLID 0,0.57735 0,-0.57735 -1,0 -1,0"}},
    {"_INTEGRAL",
     {"ARC 0.444888,-0.091335 r0.454167 1.780235837034216 2.932153143350474",
      "ARC -0.444888,0.091335 r0.454167 4.921828490624009 6.073745796940266"}},
};

TEST_F(ArrowBlocks, EveryStandardNameBuildsItsShape) {
    ASSERT_EQ(kShapes.size(), size_t(kStandardArrowheadCount));
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(shape.name);
        Handle block;
        ASSERT_EQ(dbCreateArrowBlock(drawing, block, shape.name), 1);
        EXPECT_EQ(shapeOf(block), shape.entities);
        Handle found;
        EXPECT_EQ(dbBlockFindByName(drawing, shape.name, found), 1);
        EXPECT_EQ(found, block);
    }
}

TEST_F(ArrowBlocks, NamesWithoutUnderscoreOrInOtherCaseBuildTheSameShape) {
    Handle standard, plain;
    ASSERT_EQ(dbCreateArrowBlock(drawing, standard, "_CLOSED"), 1);
    ASSERT_EQ(dbCreateArrowBlock(drawing, plain, "closed"), 1);
    EXPECT_EQ(shapeOf(plain), shapeOf(standard));
    BlockRecord record;
    ASSERT_EQ(dbBlockGet(drawing, plain, record), 1);
    EXPECT_EQ(record.name, "closed") << "the block takes the name it was asked for";
}

TEST_F(ArrowBlocks, OtherNamesBuildNothing) {
    const int32_t blocks = dbBlockCount(drawing);
    const Handle seed = drawing->handleSeed;
    for (const char* name : {"", "_", "MYARROW", "_CLOSEDX", "__CLOSED"}) {
        Handle block{99};
        EXPECT_EQ(dbCreateArrowBlock(drawing, block, name), 0) << name;
        EXPECT_TRUE(block.isNull()) << name;
    }
    EXPECT_EQ(dbBlockCount(drawing), blocks);
    EXPECT_EQ(drawing->handleSeed, seed);
}

TEST_F(ArrowBlocks, TheArrowTakesItsPropertiesFromTheDimension) {
    Handle block;
    ASSERT_EQ(dbCreateArrowBlock(drawing, block, "_DOT"), 1);
    BlockRecord record;
    ASSERT_EQ(dbBlockGet(drawing, block, record), 1);
    EXPECT_EQ(record.owner, drawing->handles.blockControl);
    EXPECT_EQ(record.flags, 0);
    const EntityList& entities = *record.entities;
    EXPECT_EQ(record.blockEntity, static_cast<const EntityNode*>(entities.first)->record.header.handle);
    EXPECT_EQ(record.endBlockEntity, static_cast<const EntityNode*>(entities.last)->record.header.handle);
    EXPECT_EQ(static_cast<const EntityNode*>(entities.first)->record.bodyAs<BlockBeginBody>().name, "_DOT");
    for (const EntityNode& node : entities) {
        const EntityHeader& header = node.record.header;
        SCOPED_TRACE(dbEntityTypeName(header.type));
        EXPECT_EQ(header.colour, kColourByBlock);
        EXPECT_EQ(header.lineweight, kLineweightByBlock);
        EXPECT_EQ(header.linetype, drawing->handles.byBlockLinetype);
        EXPECT_EQ(header.flags & kEntityInPaperSpace, 0);
        EXPECT_FALSE(header.handle.isNull());
    }
}

TEST_F(ArrowBlocks, StandardNamesAreKnownWithOrWithoutUnderscore) {
    EXPECT_EQ(dbStandardArrowheadIndex("_NONE"), 0);
    EXPECT_EQ(dbStandardArrowheadIndex("integral"), kStandardArrowheadCount - 1);
    EXPECT_EQ(dbStandardArrowheadIndex("_Open90"), 8);
    EXPECT_EQ(dbStandardArrowheadIndex("Open9"), -1);
    EXPECT_EQ(dbStandardArrowheadIndex(""), -1);
}

} // namespace
} // namespace tracemill
