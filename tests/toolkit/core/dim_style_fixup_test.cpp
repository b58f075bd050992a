// The dimension-style fix-up after a load: deferred arrowhead names become blocks in their
// DIMSTYLE fields, and an old DIMFIT is split into DIMATFIT and DIMTMOVE.
#include "toolkit/core/dim_style_fixup.h"

#include <gtest/gtest.h>

#include <string>

#include "drawing_fixture.h"

namespace tracemill {
namespace {

using test::DrawingTest;

TEST(SplitDimFit, ValuesAboveThreeMoveTheText) {
    struct Case {
        int32_t fit;
        uint8_t atfit;
        int16_t tmove;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{2, 2, 0}, Case{3, 3, 0}, Case{4, 3, 1}, Case{5, 3, 2}}) {
        uint8_t atfit = 99;
        int16_t tmove = 99;
        dbSplitDimFit(c.fit, atfit, tmove);
        EXPECT_EQ(atfit, c.atfit) << c.fit;
        EXPECT_EQ(tmove, c.tmove) << c.fit;
    }
}

class DimStyleFixup : public DrawingTest {
protected:
    Handle addDimStyle(const std::string& name, uint8_t fit = 0) {
        DimStyleRecord record;
        record.name = name;
        record.handle = dbNewHandle(*drawing);
        record.dimatfit = fit;
        EXPECT_NE(dbAddTableRecord(record.handle, drawing->handleIndex, StoredRecord<DimStyleRecord>(record),
                                   &drawing->dimStyles, kInsertAtEnd, nullptr),
                  nullptr);
        return record.handle;
    }
    DimStyleRecord dimStyle(Handle handle) {
        DimStyleRecord record;
        EXPECT_EQ(dbGetDimStyleByHandle(drawing, handle, record), 1);
        return record;
    }
    void defer(Handle style, ArrowheadField field, const std::string& name) {
        drawing->deferredArrowheads.push_back({style, field, name});
    }
    std::string blockName(Handle block) {
        BlockRecord record;
        return dbBlockGet(drawing, block, record) ? record.name : std::string("(none)");
    }
};

TEST_F(DimStyleFixup, DeferredNamesBecomeBlocksInTheirFields) {
    const Handle first = addDimStyle("FIRST");
    const Handle second = addDimStyle("SECOND");
    const Handle user = addBlock("MYARROW");
    defer(first, ArrowheadField::Dimblk, "_OPEN");
    defer(first, ArrowheadField::Dimblk1, "_DOT");
    defer(first, ArrowheadField::Dimblk2, "MYARROW");
    defer(second, ArrowheadField::Dimblk2, "_OPEN");
    defer(second, ArrowheadField::Dimblk, "NOSUCHBLOCK");
    defer(Handle(0xDEAD), ArrowheadField::Dimblk, "_ORIGIN");
    const int32_t blocks = dbBlockCount(drawing);

    ASSERT_EQ(dbFixupDimStyles(drawing), 1);
    const DimStyleRecord a = dimStyle(first);
    const DimStyleRecord b = dimStyle(second);
    EXPECT_EQ(blockName(a.dimblk), "_OPEN");
    EXPECT_EQ(blockName(a.dimblk1), "_DOT");
    EXPECT_EQ(a.dimblk2, user) << "a block the file defined itself";
    EXPECT_EQ(b.dimblk2, a.dimblk) << "one block per name";
    EXPECT_TRUE(b.dimblk.isNull()) << "neither a block nor a standard arrowhead";
    EXPECT_EQ(dbBlockCount(drawing), blocks + 2) << "_OPEN and _DOT only";
    EXPECT_TRUE(drawing->deferredArrowheads.empty());
}

TEST_F(DimStyleFixup, OldDrawingsSplitTheFitValue) {
    drawing->versionIndex = 6;
    drawing->header->dimatfit = 5;
    const Handle wide = addDimStyle("WIDE", 4);
    const Handle plain = addDimStyle("PLAIN", 2);
    ASSERT_EQ(dbFixupDimStyles(drawing), 1);
    EXPECT_EQ(drawing->header->dimatfit, 3);
    EXPECT_EQ(drawing->header->dimtmove, 2);
    EXPECT_EQ(dimStyle(wide).dimatfit, 3);
    EXPECT_EQ(dimStyle(wide).dimtmove, 1);
    EXPECT_EQ(dimStyle(plain).dimatfit, 2);
    EXPECT_EQ(dimStyle(plain).dimtmove, 0);
}

TEST_F(DimStyleFixup, R2000DrawingsKeepTheirFitValues) {
    drawing->versionIndex = kVersionIndex2000;
    drawing->header->dimatfit = 5;
    const Handle wide = addDimStyle("WIDE", 4);
    ASSERT_EQ(dbFixupDimStyles(drawing), 1);
    EXPECT_EQ(drawing->header->dimatfit, 5);
    EXPECT_EQ(dimStyle(wide).dimatfit, 4);
}

} // namespace
} // namespace tracemill
