// The data every entity record of an R13-2000 DWG file carries, case by case: colour, linetype
// scale and visibility, lineweights and the flag pairs of 2000, the entity mode, chain links,
// reactors, extended data, and entity kinds the file has no record of their own for.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "entity_cases.h"
#include "toolkit/core/default_records.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/write/dxf/dxf_entity_writer.h"

namespace tracemill {
namespace {

class EntityCommonCases : public test::EntityCaseTest {
protected:
    EntityRecord line() {
        EntityRecord e = entity(kEntityLine);
        e.bodyAs<LineBody>() = LineBody{{1, 2, 0}, {4, 6, 0}};
        return e;
    }
    // A linetype of its own name, added to the drawing.
    Handle dashed() {
        const Handle handle = dbNewHandle(*drawing_);
        return dbAddNamedLinetype(*drawing_, "DASHED", handle) ? handle : Handle();
    }
};

TEST_F(EntityCommonCases, ColourScaleAndVisibilityComeBackInEveryVersion) {
    struct Row {
        const char* what;
        int16_t colour;
        double linetypeScale;
        bool invisible;
    } rows[] = {
        {"defaults", kColourByLayer, 1.0, false},
        {"BYBLOCK colour", 0, 1.0, false},
        {"colour 1, scale 2.5", 1, 2.5, false},
        {"colour 255, small scale", 255, 0.001, false},
        {"invisible", 7, 1.0, true},
    };
    for (int16_t version : test::kBitCodedVersions) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.what) + " as " + test::versionName(version));
            newDrawing();
            EntityRecord e = line();
            e.header.colour = row.colour;
            e.header.linetypeScale = row.linetypeScale;
            if (row.invisible) e.header.flags |= kEntityInvisible;
            const test::SavedEntity saved = save(version, add(std::move(e)));
            ASSERT_NE(saved.back, nullptr);
            EXPECT_EQ(saved.back->header.colour, row.colour);
            EXPECT_EQ(saved.back->header.linetypeScale, row.linetypeScale);
            EXPECT_EQ((saved.back->header.flags & kEntityInvisible) != 0, row.invisible);
            EXPECT_EQ(saved.back->bodyAs<LineBody>(), (LineBody{{1, 2, 0}, {4, 6, 0}}));
        }
    }
}

// 2000 stores a lineweight as a 5-bit index: the standard widths and the three codes come
// back, any other width as the largest standard width below it. R13 and R14 store none.
TEST_F(EntityCommonCases, LineweightsAreCarriedFrom2000On) {
    struct Row {
        int16_t lineweight;
        int16_t read2000;
    } rows[] = {
        {kLineweightByLayer, kLineweightByLayer},
        {kLineweightByBlock, kLineweightByBlock},
        {kLineweightDefault, kLineweightDefault},
        {0, 0},
        {13, 13},
        {211, 211},
        {17, 15},
        {3, 0},
    };
    for (int16_t version : test::kBitCodedVersions) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::to_string(row.lineweight) + " as " + test::versionName(version));
            newDrawing();
            EntityRecord e = line();
            e.header.lineweight = row.lineweight;
            const test::SavedEntity saved = save(version, add(std::move(e)));
            ASSERT_NE(saved.back, nullptr);
            EXPECT_EQ(saved.back->header.lineweight, version >= kVersionAC1015 ? row.read2000 : kLineweightByLayer);
        }
    }
}

// The linetype: R13 and R14 have one bit for BYLAYER (then no handle follows); 2000 has two,
// 00 BYLAYER and 01 BYBLOCK without a handle, 11 with one. The entity reads back the same
// linetype in every version.
TEST_F(EntityCommonCases, LinetypeFlagsAndHandles) {
    enum class Linetype { ByLayer, ByBlock, Dashed };
    struct Row {
        const char* what;
        Linetype linetype;
        uint8_t byLayerBit;
        uint8_t flags2000;
    } rows[] = {
        {"BYLAYER", Linetype::ByLayer, 1, kDwgByLayer},
        {"BYBLOCK", Linetype::ByBlock, 0, kDwgByBlock},
        {"DASHED by its handle", Linetype::Dashed, 0, kDwgByHandle},
    };
    for (int16_t version : test::kBitCodedVersions) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.what) + " as " + test::versionName(version));
            newDrawing();
            EntityRecord e = line();
            const Handle linetype = row.linetype == Linetype::ByLayer   ? drawing_->handles.byLayerLinetype
                                    : row.linetype == Linetype::ByBlock ? drawing_->handles.byBlockLinetype
                                                                        : dashed();
            ASSERT_FALSE(linetype.isNull());
            e.header.linetype = linetype;
            const test::SavedEntity saved = save(version, add(std::move(e)));
            ASSERT_NE(saved.back, nullptr);
            EXPECT_EQ(saved.back->header.linetype, linetype);
            if (version >= kVersionAC1015) {
                EXPECT_EQ(saved.common.linetypeFlags, row.flags2000);
            } else {
                EXPECT_EQ(saved.common.linetypeByLayer, row.byLayerBit);
            }
        }
    }
}

// The plot style of 2000: 00 BYLAYER, 10 BYBLOCK, 01 the default, 11 a plot style by handle.
// Files before 2000 carry none.
TEST_F(EntityCommonCases, PlotStyleFlagsOf2000) {
    constexpr uint8_t kBoth = kEntityPlotStyleByBlock | kEntityPlotStyleByLayer;
    struct Row {
        const char* what;
        uint8_t flags;
        bool byHandle;
        uint8_t written;
    } rows[] = {
        {"BYLAYER", kEntityPlotStyleByLayer, false, kDwgByLayer},
        {"BYBLOCK", kEntityPlotStyleByBlock, false, kDwgContinuous},
        {"the default", 0, false, kDwgByBlock},
        {"by handle", 0, true, kDwgByHandle},
    };
    for (int16_t version : test::kBitCodedVersions) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.what) + " as " + test::versionName(version));
            newDrawing();
            EntityRecord e = line();
            e.header.flags = uint8_t((e.header.flags & ~kBoth) | row.flags);
            const Handle style = row.byHandle ? drawing_->handles.namedObjectDictionary : Handle();
            e.header.plotStyle = style;
            const test::SavedEntity saved = save(version, add(std::move(e)));
            ASSERT_NE(saved.back, nullptr);
            if (version >= kVersionAC1015) {
                EXPECT_EQ(saved.common.plotStyleFlags, row.written);
                EXPECT_EQ(saved.back->header.flags & kBoth, row.flags);
                EXPECT_EQ(saved.back->header.plotStyle, style);
            } else {
                EXPECT_EQ(saved.back->header.flags & kBoth, 0);
                EXPECT_TRUE(saved.back->header.plotStyle.isNull());
            }
        }
    }
}

// The previous and next entity are left out (the no-links bit) only when both are the entity's
// neighbours by handle; the first and last entity of a list and an entity after a gap in the
// handles name theirs.
TEST_F(EntityCommonCases, ChainLinksAreLeftOutOnlyBetweenNeighboursByHandle) {
    for (int16_t version : test::kBitCodedVersions) {
        SCOPED_TRACE(test::versionName(version));
        newDrawing();
        std::vector<Handle> handles;
        for (int i = 0; i < 4; ++i) {
            if (i == 3) dbNewHandle(*drawing_); // a gap before the last
            handles.push_back(add(line()));
        }
        const uint8_t expected[] = {0, 1, 0, 0};
        for (size_t i = 0; i < handles.size(); ++i) {
            const test::SavedEntity saved = save(version, handles[i]);
            ASSERT_NE(saved.back, nullptr) << i;
            EXPECT_EQ(saved.common.noLinks, expected[i]) << i;
            const EntityRecord* next = following(handles[i]);
            if (i + 1 < handles.size()) {
                ASSERT_NE(next, nullptr) << i;
                EXPECT_EQ(next->header.handle, handles[i + 1]) << "the order of the list is kept";
            }
        }
    }
}

// The entity mode says where the entity lies: 2 model space, 1 paper space, 0 a block, whose
// record is then named as the owner.
TEST_F(EntityCommonCases, EntityModes) {
    enum class Place { ModelSpace, PaperSpace, Block };
    struct Row {
        const char* what;
        Place place;
        uint8_t mode;
    } rows[] = {
        {"model space", Place::ModelSpace, kDwgEntityInModelSpace},
        {"paper space", Place::PaperSpace, kDwgEntityInPaperSpace},
        {"a block", Place::Block, kDwgEntityInBlock},
    };
    for (int16_t version : test::kBitCodedVersions) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.what) + " as " + test::versionName(version));
            newDrawing();
            EntityRecord e = line();
            const Handle handle = e.header.handle;
            Handle block;
            if (row.place == Place::Block) {
                block = addBlock("PART");
                ASSERT_EQ(dbAppendEntity(drawing_, dbLookupBlock(*drawing_, block)->entityList.get(), std::move(e)), 1);
            } else {
                if (row.place == Place::PaperSpace) e.header.flags |= kEntityInPaperSpace;
                add(std::move(e));
            }
            const test::SavedEntity saved = save(version, handle);
            ASSERT_NE(saved.back, nullptr);
            EXPECT_EQ(saved.common.mode, row.mode);
            EXPECT_EQ((saved.back->header.flags & kEntityInPaperSpace) != 0, row.place == Place::PaperSpace);
            if (row.place == Place::Block) {
                const BlockNode* read = dbLookupBlock(*back_, block);
                ASSERT_NE(read, nullptr);
                ASSERT_TRUE(read->entityList);
                bool found = false;
                for (const EntityNode& node : *read->entityList) found = found || node.record.header.handle == handle;
                EXPECT_TRUE(found) << "the entity is in its block";
            }
        }
    }
}

// Reactors are written in every version and come back; extended data comes back as it was.
TEST_F(EntityCommonCases, ReactorsAndExtendedDataComeBack) {
    for (int16_t version : test::kBitCodedVersions) {
        SCOPED_TRACE(test::versionName(version));
        newDrawing();
        EntityRecord e = line();
        const Handle dictionary = drawing_->handles.namedObjectDictionary;
        e.header.reactors = HandleList{dictionary};
        Handle acad;
        ASSERT_TRUE(dbFindAppIdHandle(drawing_, "ACAD", acad));
        PagedStream* stream = e.header.xdata.create(4096);
        OpenStream* out = dbStreamOpenWrite(stream);
        XDataItem application;
        application.code = 1001;
        application.handle = acad;
        dbWriteXDataItem(out, application);
        XDataItem text;
        text.code = 1000;
        text.text = "kept";
        dbWriteXDataItem(out, text);
        XDataItem real;
        real.code = 1040;
        real.real = -2.25;
        dbWriteXDataItem(out, real);
        dbStreamCloseWrite(out);
        const std::vector<uint8_t> xdata(stream->bytes.begin(), stream->bytes.end());
        const test::SavedEntity saved = save(version, add(std::move(e)));
        ASSERT_NE(saved.back, nullptr);
        EXPECT_TRUE(saved.hasXData);
        EXPECT_EQ(saved.common.reactorCount, 1u);
        EXPECT_EQ(saved.back->header.reactors, HandleList{dictionary});
        const std::span<const uint8_t> read = saved.back->header.xdata.bytes();
        EXPECT_EQ(std::vector<uint8_t>(read.begin(), read.end()), xdata);
    }
}

// A 3D line of the files before R13 is a LINE from R13 on: it is written as one, not passed
// over.
TEST_F(EntityCommonCases, ThreeDimensionalLinesAreWrittenAsLines) {
    for (int16_t version : test::kBitCodedVersions) {
        SCOPED_TRACE(test::versionName(version));
        newDrawing();
        EntityRecord e = entity(kEntityLine3d);
        e.bodyAs<LineBody>() = LineBody{{1, 2, 3}, {4, 5, 6}};
        const test::SavedEntity saved = save(version, add(std::move(e)));
        ASSERT_NE(saved.back, nullptr);
        EXPECT_EQ(saved.fileType, kDwgLine);
        EXPECT_EQ(saved.back->header.type, kEntityLine);
        EXPECT_EQ(saved.back->bodyAs<LineBody>(), (LineBody{{1, 2, 3}, {4, 5, 6}}));
    }
}

int shapeWarning = 0;

// A SHAPE is written with its number and shape file; one without a number (255: its name named
// no shape of its file) and an entity whose body is not its kind's are left out, the first with
// warning 95, and the entities around them come back.
TEST_F(EntityCommonCases, ShapesAndEntitiesWithoutARecord) {
    gSystemContext->warningCallback = [](int number) { shapeWarning = number; };
    for (int16_t version : test::kBitCodedVersions) {
        SCOPED_TRACE(test::versionName(version));
        newDrawing();
        EntityRecord shape = entity(kEntityShape);
        ShapeBody& s = shape.bodyAs<ShapeBody>();
        s.insertion = {1, 2, 0};
        s.size = 2.5;
        s.rotation = 0.5;
        s.widthFactor = 0.75;
        s.obliqueAngle = 0.25;
        s.shapeNumber = 132;
        s.style = drawing_->header->current.textstyle;
        shape.header.thickness = 1.5;
        const ShapeBody shapeBody = s;
        const Handle shapeHandle = add(std::move(shape));
        EntityRecord unnamed = entity(kEntityShape);
        unnamed.bodyAs<ShapeBody>().shapeNumber = 255;
        const Handle unnamedHandle = add(std::move(unnamed));
        EntityRecord damaged = line();
        damaged.body.emplace<CircleBody>();
        const Handle damagedHandle = add(std::move(damaged));
        const Handle lastHandle = add(line());
        shapeWarning = 0;
        const test::SavedEntity saved = save(version, shapeHandle);
        EXPECT_EQ(shapeWarning, kWarningShapeWithoutName);
        ASSERT_NE(saved.back, nullptr);
        EXPECT_EQ(saved.fileType, kDwgShape);
        EXPECT_EQ(saved.back->bodyAs<ShapeBody>(), shapeBody);
        EXPECT_EQ(saved.back->header.thickness, 1.5);
        EXPECT_EQ(find(*back_, unnamedHandle), nullptr);
        EXPECT_EQ(find(*back_, damagedHandle), nullptr);
        EXPECT_NE(find(*back_, lastHandle), nullptr);
    }
    gSystemContext->warningCallback = nullptr;
}

} // namespace
} // namespace tracemill
