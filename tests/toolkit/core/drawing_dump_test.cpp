// The canonical dump: exact lines for a few records, numbers that read back exactly, escaped
// strings, and the order rules (tables and entities as stored, objects by handle).
#include "toolkit/core/drawing_dump.h"

#include <gtest/gtest.h>

#include <charconv>
#include <sstream>
#include <string>
#include <vector>

#include "drawing_fixture.h"
#include "toolkit/core/object_access.h"

namespace tracemill {
namespace {

using test::DrawingTest;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> linesStartingWith(const Drawing& drawing, const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : linesOf(dbDumpDrawingText(drawing)))
        if (line.rfind(prefix, 0) == 0) found.push_back(line);
    return found;
}

TEST_F(DrawingTest, AnEntityLineHoldsEveryFieldInItsFixedOrder) {
    EntityRecord entity = line(0.1);
    entity.header.handle = Handle(0x2F);
    entity.header.layer = Handle(0x10);
    entity.header.linetype = Handle(0x14);
    entity.header.colour = 3;
    entity.header.reactors = {Handle(0xA), Handle(0xB)};
    entity.header.xdata.create(16)->bytes = {0xE8, 0x03};
    entity.bodyAs<LineBody>().end = {-1e300, 2.5e-7, -0.0};
    EXPECT_EQ(dbDumpEntity(*drawing, entity),
              "ENTITY LINE type=1 handle=2F layer=10 linetype=14 extensionDictionary=0 plotStyle=0 thickness=0 "
              "extrusion=(0,0,1) linetypeScale=1 colour=3 lineweight=-1 flags=0 xdataSize=0 xdata=#E803 "
              "reactors=[A,B] start=(0.1,0,0) end=(-1e+300,2.5e-07,-0)");
}

TEST_F(DrawingTest, NestedListsAndVariantsAreSpelledOut) {
    EntityRecord hatch;
    hatch.header.type = drawing->classes.numbers[size_t(ClassKind::Hatch)];
    dbInitEntity(drawing, hatch);
    HatchPath path;
    path.edges = {HatchLineEdge{{0, 0}, {1, 0}}, HatchArcEdge{{0, 0}, 1.0, 0.0, 1.5, 1}};
    path.boundaryObjects = {Handle(0x33)};
    hatch.bodyAs<HatchBody>().paths = {path};
    hatch.bodyAs<HatchBody>().patternName = "ANSI\"31\"\n\xE9";
    const std::string line = dbDumpEntity(*drawing, hatch);
    EXPECT_NE(line.find("ENTITY HATCH "), std::string::npos) << line;
    EXPECT_NE(line.find("patternName=\"ANSI\\\"31\\\"\\x0A\\xE9\""), std::string::npos) << line;
    EXPECT_NE(line.find("paths=[{flags=0 hasBulges=0 closed=0 vertices=[] edges=[1{start=(0,0) end=(1,0)},"
                        "2{centre=(0,0) radius=1 startAngle=0 endAngle=1.5 counterClockwise=1}] "
                        "boundaryObjects=[33]}]"),
              std::string::npos)
        << line;
}

TEST_F(DrawingTest, EveryDoubleReadsBackExactly) {
    const double values[] = {0.1, 1.0 / 3.0, 6.59129, 1e-310, 123456789.123456789, -2.0e20};
    for (double value : values) {
        EntityRecord entity = line(value);
        const std::string text = dbDumpEntity(*drawing, entity);
        const size_t start = text.find("start=(") + 7;
        double back = 0;
        const auto result = std::from_chars(text.data() + start, text.data() + text.size(), back);
        ASSERT_EQ(result.ec, std::errc()) << text;
        EXPECT_EQ(back, value);
    }
}

TEST_F(DrawingTest, TheDumpIsStableAndFollowsTheDrawing) {
    const std::string before = dbDumpDrawingText(*drawing);
    EXPECT_EQ(dbDumpDrawingText(*drawing), before);
    ASSERT_EQ(dbAppendEntity(drawing, drawing->modelSpace, line(1)), 1);
    const std::string after = dbDumpDrawingText(*drawing);
    EXPECT_NE(after, before);
    const std::vector<std::string> lines = linesOf(after);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind("DRAWING version=7 creationVersion=7 sourceFormat=0 handleSeed=", 0), 0u);
    EXPECT_EQ(linesStartingWith(*drawing, "HEADER ").size(), dbHeaderVariableTable().size());
    EXPECT_EQ(linesStartingWith(*drawing, "HEADER ACADVER ").front(), "HEADER ACADVER \"AC1012\"");
    EXPECT_EQ(linesStartingWith(*drawing, "ENTITY LINE").size(), 1u);
}

TEST_F(DrawingTest, ObjectsAreListedByHandleAndEntitiesInListOrder) {
    ObjectRecord early;
    early.header.type = kObjectGroup;
    dbInitObject(drawing, early);
    early.header.handle = Handle(0x3);  // below the dictionaries, added after them
    ASSERT_EQ(dbAddObject(drawing, early), 1);
    const std::vector<std::string> objects = linesStartingWith(*drawing, "OBJECT ");
    ASSERT_EQ(objects.size(), 11u);
    EXPECT_EQ(objects.front().rfind("OBJECT handle=3 type=36 ", 0), 0u) << objects.front();

    const EntityRecord second = line(2), first = line(1);
    ASSERT_EQ(dbAppendEntity(drawing, drawing->modelSpace, second), 1);
    ASSERT_EQ(dbAddEntity(drawing, drawing->modelSpace, first, nullptr), 1);  // in front, higher handle
    const std::vector<std::string> entities = linesStartingWith(*drawing, "ENTITY ");
    ASSERT_EQ(entities.size(), 2u);
    EXPECT_NE(entities[0].find("start=(1,0,0)"), std::string::npos);
    EXPECT_NE(entities[1].find("start=(2,0,0)"), std::string::npos);
}

TEST_F(DrawingTest, TheSummaryCountsRecords) {
    ASSERT_EQ(dbAppendEntity(drawing, drawing->modelSpace, line(1)), 1);
    ASSERT_EQ(dbAppendEntity(drawing, drawing->paperSpace, line(2)), 1);
    const std::vector<std::string> lines = linesOf(dbDumpDrawingText(*drawing, DumpMode::Summary));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_NE(lines[1].find(" blocks=2 entities=2 modelSpaceEntities=1 paperSpaceEntities=1 objects=10 unplacedRecords=0"),
              std::string::npos)
        << lines[1];
    EXPECT_EQ(lines[2], "ENTITY-COUNTS space=model LINE=1");
    EXPECT_EQ(lines[3], "ENTITY-COUNTS space=paper LINE=1");
    EXPECT_EQ(lines[4], "ENTITY-COUNTS space=blocks");
}

} // namespace
} // namespace tracemill
