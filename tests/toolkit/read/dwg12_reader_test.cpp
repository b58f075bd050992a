// The reader of DWG files before R13, driven operation by operation as the load drives it: the
// fixtures of tests/data/dwg12 (made by make_fixtures.py) and the shared sample drawings.
#include "toolkit/read/dwg12_reader.h"

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_paths.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/system_context.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

using test::readFileBytes;

std::vector<uint8_t> fixture(const char* name) {
    return readFileBytes(test::testDataDir() / "dwg12" / name);
}

// One file read through every operation of the reader, in the order of a load.
struct Walk {
    explicit Walk(std::vector<uint8_t> file) : bytes(std::move(file)), reader(bytes) {
        drawing.header = std::make_unique<HeaderBlock>();
    }

    // Reads every table, then the entities of the two spaces; false at the first failure.
    bool run() {
        if (!reader.openHeader(drawing)) return false;
        uint8_t x = 0;
        reader.seekLinetypes(drawing);
        for (LinetypeRecord r; reader.readLinetype(drawing, r, x);) {
            if (r.endOfTable) break;
            linetypes.push_back(r);
        }
        reader.seekLayers(drawing);
        for (LayerRecord r; reader.readLayer(drawing, r, layerLinetype.emplace_back(), x);) {
            if (r.endOfTable) break;
            layers.push_back(r);
        }
        layerLinetype.resize(layers.size());
        reader.seekStyles(drawing);
        for (StyleRecord r; reader.readStyle(drawing, r, x);) {
            if (r.endOfTable) break;
            styles.push_back(r);
        }
        reader.seekVports(drawing);
        for (VportRecord r; reader.readVport(drawing, r, x);) {
            if (r.endOfTable) break;
            vports.push_back(r);
        }
        reader.seekViews(drawing);
        for (ViewRecord r; reader.readView(drawing, r, x);) {
            if (r.endOfTable) break;
            views.push_back(r);
        }
        reader.seekBlockRecords(drawing);
        for (BlockRecord r; reader.readBlockRecord(drawing, r, x);) {
            if (r.endOfTable) break;
            blocks.push_back(r);
        }
        reader.seekSpaceEntities(drawing);
        for (;;) {
            EntityRecord entity;
            if (!reader.readEntity(drawing, entity, x)) break;
            entities.push_back(std::move(entity));
        }
        return dbGetError() == 0;
    }

    // The entities of one block, up to its ENDBLK.
    std::vector<EntityRecord> block(const std::string& name) {
        std::vector<EntityRecord> out;
        reader.setCurrentBlock(name);
        reader.seekBlockEntities(drawing);
        uint8_t x = 0;
        for (EntityRecord entity; reader.readEntity(drawing, entity, x);) {
            out.push_back(entity);
            if (entity.header.type == kEntityEndBlock) break;
        }
        return out;
    }

    std::vector<uint16_t> kinds() const {
        std::vector<uint16_t> out;
        for (const EntityRecord& e : entities)
            out.push_back(e.header.type);
        return out;
    }

    std::vector<uint8_t> bytes;
    Drawing drawing;
    Dwg12Reader reader;
    std::vector<LinetypeRecord> linetypes;
    std::vector<LayerRecord> layers;
    std::vector<LinetypeReference> layerLinetype;
    std::vector<StyleRecord> styles;
    std::vector<VportRecord> vports;
    std::vector<ViewRecord> views;
    std::vector<BlockRecord> blocks;
    std::vector<EntityRecord> entities;
};

class Dwg12ReaderTest : public test::ToolkitTest {};

TEST_F(Dwg12ReaderTest, EveryKindOfAc1009ReadsWithItsOptionalFields) {
    Walk walk(fixture("kinds_ac1009.dwg"));
    ASSERT_TRUE(walk.run()) << dbGetError();
    ASSERT_EQ(walk.kinds(), (std::vector<uint16_t>{1,  1,  2,  3,  4,  7,  8,  9,  11, 15, 14, 14, 16,
                                                   17, 19, 20, 20, 17, 24, 24, 23, 19, 20, 17, 1,  22}));
    const std::vector<EntityRecord>& e = walk.entities;

    const EntityHeader& line = e[0].header;
    EXPECT_EQ(line.handle, Handle(0x100));
    EXPECT_EQ(line.colour, 1);
    EXPECT_EQ(line.thickness, 0.5);
    EXPECT_EQ(line.extrusion, (Point3{0, 0, -1}));
    EXPECT_TRUE(line.flags & kEntityHasExtrusion);
    EXPECT_EQ(line.xdataSize, 71u);
    EXPECT_EQ(e[0].bodyAs<LineBody>().end, (Point3{4, 5, 6}));
    // A flat LINE has no z values.
    EXPECT_EQ(e[1].bodyAs<LineBody>().end, (Point3{4, 5, 0}));
    EXPECT_EQ(e[2].bodyAs<PointBody>().xAxisAngle, 0.5);
    // The elevation of the head is the centre's z; a negative radius becomes 0.
    EXPECT_EQ(e[3].bodyAs<CircleBody>().centre, (Point3{3, 1, 2}));
    EXPECT_EQ(e[3].bodyAs<CircleBody>().radius, 0.0);

    const ShapeBody& shape = e[4].bodyAs<ShapeBody>();
    EXPECT_EQ(shape.shapeNumber, 131);
    EXPECT_EQ(shape.rotation, 0.5);
    EXPECT_EQ(shape.widthFactor, 0.75);
    EXPECT_EQ(shape.obliqueAngle, 0.1);

    const TextBody& text = e[5].bodyAs<TextBody>();
    EXPECT_EQ(text.insertion, (Point3{1, 4, 2}));
    EXPECT_EQ(text.text, "FOO");
    EXPECT_EQ(text.rotation, 0.1);
    EXPECT_EQ(text.widthFactor, 1.0); // 150 is out of range
    EXPECT_EQ(text.obliqueAngle, 0.2);
    EXPECT_EQ(text.generation, 2);
    EXPECT_EQ(text.horizontalAlign, 1);
    EXPECT_EQ(text.alignment, (Point2{3, 4}));
    EXPECT_EQ(text.verticalAlign, 2);

    // A unit extrusion leaves the flag clear.
    EXPECT_FALSE(e[8].header.flags & kEntityHasExtrusion);

    const AttributeDefinitionBody& attdef = e[9].bodyAs<AttributeDefinitionBody>();
    EXPECT_EQ(attdef.text, "3");
    EXPECT_EQ(attdef.prompt, "PROMPT");
    EXPECT_EQ(attdef.tag, "TAG1");
    EXPECT_EQ(attdef.flags, 8);
    EXPECT_EQ(attdef.fieldLength, 12);

    const InsertBody& insert = e[10].bodyAs<InsertBody>();
    EXPECT_EQ(insert.insertion, (Point3{6, 1, 3}));
    EXPECT_EQ(insert.scale, (Point3{1.0, 0.5, 2.0})); // a zero scale is 1
    EXPECT_EQ(insert.columnCount, 2);
    EXPECT_EQ(insert.rowCount, 1); // 0 rows is one row
    EXPECT_EQ(insert.rowSpacing, 2.5);
    EXPECT_EQ(insert.attributesFollow, 0);
    EXPECT_EQ(e[11].bodyAs<InsertBody>().attributesFollow, 1);
    EXPECT_EQ(e[12].bodyAs<AttributeBody>().fieldLength, 5);

    EXPECT_EQ(e[14].bodyAs<PolylineBody>().meshM, 4);
    const VertexBody& face = e[16].bodyAs<VertexBody>();
    EXPECT_EQ(face.flags, 128);
    EXPECT_EQ(face.faceVertexCount, 3);
    EXPECT_EQ(face.faceVertices, (std::array<int16_t, 4>{1, 2, -3, 0}));

    const ViewportBody& viewport = e[18].bodyAs<ViewportBody>();
    EXPECT_TRUE(e[18].header.flags & kEntityInPaperSpace);
    EXPECT_EQ(viewport.centre, (Point3{5, 4, 0}));
    EXPECT_EQ(viewport.width, 10.0);
    EXPECT_EQ(viewport.id, 1);
    EXPECT_TRUE(e[18].header.xdata);

    const DimensionBody& dim = e[20].bodyAs<DimensionBody>();
    EXPECT_EQ(dim.cloneInsertionPoint, (Point3{1, 1, 0}));
    EXPECT_EQ(dim.hasCloneInsertion, 1);
    EXPECT_EQ(dim.typeFlags, 1);
    EXPECT_EQ(dim.userText, "<>");
    EXPECT_EQ(dim.point13, (Point3{6, 8, 2}));
    EXPECT_EQ(dim.point14, (Point3{7, 7, 3}));
    EXPECT_EQ(dim.rotation, 0.5);
    EXPECT_EQ(dim.extensionLineRotation, 0.1);
    EXPECT_EQ(dim.textRotation, 0.2);
    EXPECT_EQ(dim.insertionRotation, 0.4);
    EXPECT_EQ(dim.horizontalDirection, 0.6);
    EXPECT_EQ(dim.attachment, 5);

    // The run of the extra entity section, reached by the jump, then the entities after it.
    EXPECT_EQ(e[21].bodyAs<PolylineBody>().flags, 1);
    EXPECT_EQ(e[24].bodyAs<LineBody>().end, (Point3{10, 7, 8}));
    EXPECT_EQ(e[25].bodyAs<FaceBody>().invisibleEdges, 5);
    EXPECT_EQ(walk.reader.unplacedRecords(), 0u);
}

TEST_F(Dwg12ReaderTest, OlderVersionsReadTheirOwnForms) {
    {
        SCOPED_TRACE("AC1006");
        Walk walk(fixture("kinds_ac1006.dwg"));
        ASSERT_TRUE(walk.run());
        ASSERT_EQ(walk.kinds(), (std::vector<uint16_t>{1, 7, 19, 20, 17, 23, 24, 14}));
        EXPECT_TRUE(walk.reader.handlesEnabled());
        EXPECT_EQ(walk.entities[0].header.handle, Handle(0x20));
        EXPECT_EQ(walk.entities[1].header.extrusion, (Point3{0, 0, -1}));
        EXPECT_EQ(walk.entities[3].bodyAs<VertexBody>().point, (Point3{1, 2, 1.5}));
        EXPECT_EQ(walk.entities[3].header.extrusion, (Point3{0, 0, 1}));
        const DimensionBody& dim = walk.entities[5].bodyAs<DimensionBody>();
        EXPECT_EQ(dim.definitionPoint, (Point3{8, 8, 1}));
        EXPECT_EQ(dim.point14, (Point3{3, 3, 3}));
        EXPECT_EQ(dim.horizontalDirection, 0.75);
        EXPECT_EQ(walk.entities[5].header.extrusion, (Point3{0, 0, -1}));
        // A VIEWPORT of "AC1006" carries nothing.
        EXPECT_EQ(walk.entities[6].bodyAs<ViewportBody>().width, 0.0);
        EXPECT_EQ(walk.entities[7].header.extrusion, (Point3{0, 0, -1}));
        ASSERT_EQ(walk.views.size(), 1u);
        EXPECT_EQ(walk.views[0].lensLength, 35.0);
        EXPECT_EQ(walk.views[0].viewMode, 3);
    }
    {
        SCOPED_TRACE("AC1004");
        Walk walk(fixture("kinds_ac1004.dwg"));
        ASSERT_TRUE(walk.run());
        ASSERT_EQ(walk.kinds(), (std::vector<uint16_t>{1, 1, 22, 23, 14}));
        EXPECT_FALSE(walk.reader.handlesEnabled());
        // Before "AC1006" a LINE's flag 0x04 announces its elevation.
        EXPECT_EQ(walk.entities[0].bodyAs<LineBody>().start, (Point3{1, 2, 2}));
        EXPECT_EQ(walk.entities[1].bodyAs<LineBody>().start, (Point3{1, 2, 7}));
        EXPECT_EQ(walk.entities[1].bodyAs<LineBody>().end, (Point3{3, 4, 0}));
        const FaceBody& face = walk.entities[2].bodyAs<FaceBody>();
        EXPECT_EQ(face.corners[1], (Point3{1, 0, 5}));
        EXPECT_EQ(face.corners[3], (Point3{0, 1, 6}));
        EXPECT_EQ(walk.entities[3].bodyAs<DimensionBody>().point14, (Point3{7, 7, 0}));
        EXPECT_EQ(walk.entities[4].bodyAs<InsertBody>().scale.x, 1.0);
        ASSERT_EQ(walk.views.size(), 1u);
        EXPECT_EQ(walk.views[0].lensLength, 50.0);
        // External references came with "AC1009": the flag is cleared.
        ASSERT_EQ(walk.blocks.size(), 1u);
        EXPECT_EQ(walk.blocks[0].flags, 1);
    }
    {
        SCOPED_TRACE("AC1002");
        Walk walk(fixture("kinds_ac1002.dwg"));
        ASSERT_TRUE(walk.run());
        // 3DLINE, 3DFACE and DIMENSION read nothing; the 3DLINE is a LINE.
        ASSERT_EQ(walk.kinds(), (std::vector<uint16_t>{1, 1, 22, 23, 2}));
        EXPECT_EQ(walk.entities[1].bodyAs<LineBody>().end, (Point3{}));
        EXPECT_EQ(walk.entities[4].bodyAs<PointBody>().point, (Point3{9, 9, 0}));
        EXPECT_EQ(walk.layers.size(), 2u); // the count's high half means nothing
    }
}

TEST_F(Dwg12ReaderTest, OutOfRangeValuesAreCorrected) {
    Walk walk(fixture("edges_ac1009.dwg"));
    ASSERT_TRUE(walk.run());
    ASSERT_EQ(walk.entities.size(), 3u);
    EXPECT_EQ(walk.entities[0].bodyAs<TextBody>().widthFactor, 1.0);
    EXPECT_EQ(walk.entities[1].bodyAs<InsertBody>().scale, (Point3{1, 1, 1}));
    EXPECT_EQ(walk.entities[2].bodyAs<CircleBody>().radius, 0.0);
    ASSERT_EQ(walk.linetypes.size(), 3u);
    EXPECT_EQ(walk.linetypes[2].dashCount, 15); // the file says 20
    EXPECT_EQ(walk.linetypes[2].dashes[11].length, 0.1);
    EXPECT_EQ(walk.linetypes[2].dashes[12].length, 0.0); // beyond the record's room
    ASSERT_EQ(walk.styles.size(), 2u);
    EXPECT_EQ(walk.styles[1].fontFile, "shapes.shx");
    EXPECT_EQ(walk.styles[1].bigFontFile, ""); // a shape file has no big font
}

TEST_F(Dwg12ReaderTest, ErasedRecordsArePassedOver) {
    Walk walk(fixture("kinds_ac1009.dwg"));
    ASSERT_TRUE(walk.run());
    // LAYER "OLD" (second) and the first VPORT are erased.
    ASSERT_EQ(walk.layers.size(), 3u);
    EXPECT_EQ(walk.layers[1].name, "WALLS");
    EXPECT_EQ(walk.layers[1].colour, -3);
    EXPECT_EQ(walk.layers[2].name, "DOORS");
    EXPECT_EQ(walk.layerLinetype[1].index, 1); // DASHED
    ASSERT_EQ(walk.vports.size(), 1u);
    EXPECT_EQ(walk.vports[0].name, "*ACTIVE");
    EXPECT_EQ(walk.vports[0].circleZoom, 100);
    // The erased LINE of paper space is not among the entities (see the kinds above).
    for (const EntityRecord& e : walk.entities)
        EXPECT_FALSE(e.header.type == kEntityLine && (e.header.flags & kEntityInPaperSpace));
}

TEST_F(Dwg12ReaderTest, BlocksReadFromTheirRecordsOffset) {
    Walk walk(fixture("kinds_ac1009.dwg"));
    ASSERT_TRUE(walk.run());
    ASSERT_EQ(walk.blocks.size(), 4u);
    EXPECT_EQ(walk.blocks[1].name, "BLOCK1");
    EXPECT_EQ(walk.blocks[1].basePoint, (Point3{1, 2, 0}));
    EXPECT_EQ(walk.blocks[3].flags, kBlockExternalReference);
    EXPECT_EQ(walk.blocks[3].xrefPath, "c:\\xref\\part.dwg");

    const std::vector<EntityRecord> block = walk.block("BLOCK1");
    ASSERT_EQ(block.size(), 3u);
    EXPECT_EQ(block[0].bodyAs<BlockBeginBody>().name, "BLOCK1");
    EXPECT_EQ(block[1].header.colour, 0);
    EXPECT_EQ(block[2].header.type, kEntityEndBlock);
    EXPECT_TRUE(walk.block("NO SUCH BLOCK").empty());

    // Before "AC1009" the BLOCK entity takes its record's name.
    Walk older(fixture("kinds_ac1004.dwg"));
    ASSERT_TRUE(older.run());
    const std::vector<EntityRecord> anonymous = older.block("*D0");
    ASSERT_EQ(anonymous.size(), 3u);
    EXPECT_EQ(anonymous[0].bodyAs<BlockBeginBody>().name, "*D0");
}

TEST_F(Dwg12ReaderTest, AnonymousBlocksTakeTheirPositionAsTheirNumber) {
    // Both blocks are stored as "*D": each becomes its own block with its own entities.
    Walk walk(fixture("anonymous_blocks.dwg"));
    ASSERT_TRUE(walk.run()) << dbGetError();
    ASSERT_EQ(walk.blocks.size(), 2u);
    EXPECT_EQ(walk.blocks[0].name, "*D0");
    EXPECT_EQ(walk.blocks[1].name, "*D1");
    const std::vector<EntityRecord> first = walk.block("*D0");
    const std::vector<EntityRecord> second = walk.block("*D1");
    ASSERT_EQ(first.size(), 3u);
    ASSERT_EQ(second.size(), 3u);
    EXPECT_EQ(first[0].bodyAs<BlockBeginBody>().name, "*D0");
    EXPECT_EQ(first[1].header.type, kEntityLine);
    EXPECT_EQ(second[0].bodyAs<BlockBeginBody>().name, "*D1");
    EXPECT_EQ(second[1].header.type, kEntityCircle);
}

TEST_F(Dwg12ReaderTest, ABlockWithoutItsEndBlockEndsWhereTheNextBegins) {
    Walk walk(fixture("block_without_endblk.dwg"));
    ASSERT_TRUE(walk.run()) << dbGetError();
    const std::vector<EntityRecord> lost = walk.block("A");
    ASSERT_EQ(lost.size(), 2u);
    EXPECT_EQ(lost[1].header.type, kEntityLine);
    EXPECT_EQ(dbGetError(), 0);
    EXPECT_EQ(walk.block("B").size(), 4u);
}

TEST_F(Dwg12ReaderTest, ViewportEntityHeadersReportTheirPlaceOnTheChain) {
    Walk walk(fixture("kinds_ac1009.dwg"));
    ASSERT_TRUE(walk.run());
    ASSERT_TRUE(walk.reader.seekViewportEntities(walk.drawing));
    std::vector<int16_t> numbers;
    for (ViewportEntityHeaderRecord r; walk.reader.readViewportEntity(walk.drawing, r);) {
        if (r.endOfTable) break;
        numbers.push_back(r.viewportNumber);
    }
    // The header names record 2 first; it links to record 1.
    EXPECT_EQ(numbers, (std::vector<int16_t>{0, 2, 1}));
}

TEST_F(Dwg12ReaderTest, DamagedEntitySectionsEndWithAnError) {
    struct Case {
        const char* file;
        size_t entitiesBefore;
        int error;
    } cases[] = {
        {"jump_beyond_file.dwg", 1, kErrorDwg12BadJump},
        {"record_past_section.dwg", 1, kErrorDwg12RecordDamaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Walk walk(fixture(c.file));
        EXPECT_FALSE(walk.run());
        EXPECT_EQ(walk.entities.size(), c.entitiesBefore);
        EXPECT_EQ(dbGetError(), c.error);
        dbSetError(0);
    }
    // A jump back to an entity already read loops: the pass ends with an error, not forever.
    Walk loop(fixture("jump_loop.dwg"));
    EXPECT_FALSE(loop.run());
    EXPECT_EQ(dbGetError(), kErrorDwg12BadJump);
}

TEST_F(Dwg12ReaderTest, TruncatedFilesFailWithoutReadingOutside) {
    for (const char* name : {"kinds_ac1009.dwg", "kinds_ac1004.dwg"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> whole = fixture(name);
        for (size_t length = 0; length < whole.size(); length += 13) {
            Walk walk(std::vector<uint8_t>(whole.begin(), whole.begin() + ptrdiff_t(length)));
            dbSetError(0);
            walk.run();
            for (const char* block : {"ARROW", "BLOCK1", "*D1", "*D0"})
                walk.block(block);
        }
    }
}

TEST_F(Dwg12ReaderTest, SamplesReadWhole) {
    TM_REQUIRE_SAMPLES(samples);
    struct Case {
        const char* file;
        size_t entities;
        size_t layers, linetypes, styles, vports, blocks;
        size_t dimensionBlock; // entities of the block "*D2", BLOCK and ENDBLK included
    } cases[] = {
        {"r2.6_entities.dwg", 21, 2, 1, 2, 0, 3, 11},
        // r9 and r10 reach a changed POLYLINE through a jump into the extra entity section.
        {"r9_entities.dwg", 26, 2, 1, 2, 0, 3, 11},
        {"r10_entities.dwg", 26, 2, 1, 2, 1, 3, 11},
        {"r11_entities-2d.dwg", 19, 2, 1, 2, 1, 3, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Walk walk(readFileBytes(samples / "dwg" / c.file));
        ASSERT_TRUE(walk.run()) << dbGetError();
        EXPECT_EQ(walk.entities.size(), c.entities);
        EXPECT_EQ(walk.layers.size(), c.layers);
        EXPECT_EQ(walk.linetypes.size(), c.linetypes);
        EXPECT_EQ(walk.styles.size(), c.styles);
        EXPECT_EQ(walk.vports.size(), c.vports);
        EXPECT_EQ(walk.blocks.size(), c.blocks);
        EXPECT_EQ(walk.block("*D2").size(), c.dimensionBlock);
        EXPECT_EQ(walk.reader.unplacedRecords(), 0u);
    }
}

} // namespace
} // namespace tracemill
