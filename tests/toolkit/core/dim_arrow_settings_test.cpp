// Arrow kinds by block name, and the effective arrow settings of a dimension or leader: its
// dimension style and the "DSTYLE" overrides of its extended data.
#include "toolkit/core/dim_arrow_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dimension_overrides.h"
#include "drawing_fixture.h"
#include "toolkit/core/arrow_blocks.h"
#include "toolkit/core/xdata_items.h"

namespace tracemill {
namespace {

using test::DrawingTest;

TEST(ArrowKind, ComesFromTheBlockNameWithoutRegardToCase) {
    const std::vector<std::pair<std::string, int16_t>> cases = {
        {"", kArrowDefault},          {"_CLOSED", kArrowClosed}, {"_closed", kArrowClosed},
        {"_OPEN", kArrowOpen},        {"_DOT", kArrowDot},       {"_ORIGIN", kArrowOrigin},
        {"_Open90", kArrowOpen90},    {"_NONE", kArrowNone},     {"_none", kArrowNone},
        {"_OBLIQUE", kArrowOblique},  {"CLOSED", kArrowOther},   {"_ARCHTICK", kArrowOther},
        {"_DOTSMALL", kArrowOther},   {"MyArrow", kArrowOther},
    };
    for (const auto& [name, expected] : cases) {
        int16_t kind = -1;
        EXPECT_EQ(dbArrowKindFromBlockName(name, kind), 1);
        EXPECT_EQ(kind, expected) << name;
    }
}

using test::app;
using test::brace;
using test::handleItem;
using test::int16;
using test::real;
using test::text;

class DimArrowSettingsTest : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        if (!dbFindAppIdHandle(drawing, "ACAD", acad)) acad = addAppId("ACAD");
        other = addAppId("OTHERAPP");
        DimStyleRecord record;
        record.name = "Styled";
        record.handle = dbNewHandle(*drawing);
        record.dimscale = 2.0;
        record.dimasz = 0.18;
        record.dimgap = 0.05;
        record.dimtad = 1;
        record.dimclrd = 3;
        record.dimblk = blockA = addBlock("ARROW_A");
        record.dimblk1 = blockB = addBlock("ARROW_B");
        record.dimldrblk = blockC = addBlock("ARROW_C");
        EXPECT_NE(dbAddTableRecord(record.handle, drawing->handleIndex, StoredRecord<DimStyleRecord>(record),
                                   &drawing->dimStyles, kInsertAtEnd, nullptr),
                  nullptr);
        style = record.handle;
    }

    Handle addAppId(const std::string& name) {
        AppIdRecord record;
        record.name = name;
        record.handle = dbNewHandle(*drawing);
        EXPECT_NE(dbAddTableRecord(record.handle, drawing->handleIndex, StoredRecord<AppIdRecord>(record),
                                   &drawing->appIds, kInsertAtEnd, nullptr),
                  nullptr);
        return record.handle;
    }

    void setStyle(void (*change)(DimStyleRecord&)) {
        DimStyleRecord record;
        ASSERT_EQ(dbGetDimStyleByHandle(drawing, style, record), 1);
        change(record);
        ASSERT_EQ(dbPutDimStyle(drawing, record), 1);
    }

    EntityHeader withXData(const std::vector<XDataItem>& items) { return test::headerWithXData(items); }

    DimArrowSettings settingsOf(const EntityHeader& entity) {
        DimArrowSettings settings;
        EXPECT_EQ(dbGetDimArrowSettings(drawing, entity, settings, style), 1);
        return settings;
    }

    Handle acad, other, style, blockA, blockB, blockC;
};

TEST_F(DimArrowSettingsTest, TheStyleGivesTheSettings) {
    const DimArrowSettings settings = settingsOf(EntityHeader{});
    EXPECT_EQ(settings.scale, 2.0);
    EXPECT_EQ(settings.arrowSize, 0.18);
    EXPECT_EQ(settings.gap, 0.05);
    EXPECT_EQ(settings.placement, 1);
    EXPECT_EQ(settings.separateArrows, 0);
    EXPECT_EQ(settings.colour, 3u);
    EXPECT_EQ(settings.arrowBlock, blockC) << "an R2000 drawing: the leader's arrow block";
}

TEST_F(DimArrowSettingsTest, TheArrowBlockFieldFollowsTheVersionAndTheSeparateArrows) {
    drawing->versionIndex = 6;
    EXPECT_EQ(settingsOf(EntityHeader{}).arrowBlock, blockA) << "before R2000: DIMBLK";
    setStyle([](DimStyleRecord& r) { r.dimsah = 1; });
    EXPECT_EQ(settingsOf(EntityHeader{}).arrowBlock, blockB) << "separate arrows: DIMBLK1";
    drawing->versionIndex = kVersionIndex2000;
    EXPECT_EQ(settingsOf(EntityHeader{}).arrowBlock, blockB);
}

TEST_F(DimArrowSettingsTest, DstyleOverridesWinOverTheStyle) {
    const EntityHeader entity = withXData({app(acad), text("DSTYLE"), brace(false),
                                           int16(41), real(0.25),
                                           int16(40), real(4.0),
                                           int16(147), real(-0.5),
                                           int16(77), int16(0),
                                           int16(173), int16(1),
                                           int16(176), int16(256),
                                           int16(44), real(9.0),  // DIMEXE: not an arrow setting
                                           int16(343), handleItem(Handle(0x77)),
                                           int16(342), handleItem(blockB),
                                           brace(true)});
    DimArrowSettings expected;
    expected.arrowSize = 0.25;
    expected.scale = 4.0;
    expected.gap = -0.5;
    expected.placement = 0;
    expected.separateArrows = 1;
    expected.colour = 256;
    expected.arrowBlock = blockB;
    expected.secondArrowBlock = Handle(0x77);
    EXPECT_EQ(settingsOf(entity), expected);
}

TEST_F(DimArrowSettingsTest, BlockNameOverridesAreLookedUp) {
    const EntityHeader entity = withXData({app(acad), text("DSTYLE"), brace(false),
                                           int16(5), text("arrow_a"),
                                           int16(7), text("ARROW_C"),
                                           brace(true)});
    const DimArrowSettings settings = settingsOf(entity);
    EXPECT_EQ(settings.arrowBlock, blockA);
    EXPECT_EQ(settings.secondArrowBlock, blockC);
    const EntityHeader unknown = withXData({app(acad), text("DSTYLE"), brace(false),
                                            int16(5), text(""), brace(true)});
    EXPECT_TRUE(settingsOf(unknown).arrowBlock.isNull()) << "the default arrow";
}

TEST_F(DimArrowSettingsTest, OnlyTheDstyleSectionOfAcadCounts) {
    const std::vector<std::pair<std::string, std::vector<XDataItem>>> cases = {
        {"another application", {app(other), text("DSTYLE"), brace(false), int16(41), real(0.25), brace(true)}},
        {"no DSTYLE text", {app(acad), text("OTHER"), brace(false), int16(41), real(0.25), brace(true)}},
        {"after the closing brace",
         {app(acad), text("DSTYLE"), brace(false), brace(true), int16(41), real(0.25)}},
        {"a value of the wrong kind", {app(acad), text("DSTYLE"), brace(false), int16(41), int16(5), brace(true)}},
        {"a code without its value", {app(acad), text("DSTYLE"), brace(false), int16(41), brace(true)}},
        {"ACAD after another application's DSTYLE",
         {app(other), text("DSTYLE"), brace(false), int16(41), real(0.25), brace(true), app(acad)}},
    };
    for (const auto& [name, items] : cases) {
        EXPECT_EQ(settingsOf(withXData(items)).arrowSize, 0.18) << name;
    }
    const EntityHeader unclosed = withXData({app(acad), text("DSTYLE"), brace(false), int16(41), real(0.25)});
    EXPECT_EQ(settingsOf(unclosed).arrowSize, 0.25) << "an unclosed section ends with the data";
}

TEST_F(DimArrowSettingsTest, AMissingStyleGivesTheDefaults) {
    DimArrowSettings settings;
    settings.scale = 7.0;
    EXPECT_EQ(dbGetDimArrowSettings(drawing, EntityHeader{}, settings, Handle(0xFFFF)), 0);
    EXPECT_EQ(settings, DimArrowSettings{});
    EXPECT_EQ(settings.scale, 1.0);
    EXPECT_EQ(settings.arrowSize, 0.09);
    EXPECT_EQ(settings.gap, 0.09);
}

} // namespace
} // namespace tracemill
