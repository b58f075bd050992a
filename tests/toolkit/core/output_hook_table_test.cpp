#include "toolkit/core/output_hook_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/core/file_finder.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/system_context.h"
#include "toolkit/toolkit_startup.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

// A host hook set that records every call as a line of text.
std::vector<std::string> gCalls;
int gHostWord = 0;

std::string hostName(HostWord host) { return host == &gHostWord ? "" : " (wrong host word)"; }

void hostMoveTo(int32_t x, int32_t y, HostWord host) {
    gCalls.push_back("move " + std::to_string(x) + "," + std::to_string(y) + hostName(host));
}
void hostLineTo(int32_t x, int32_t y, HostWord host) {
    gCalls.push_back("line " + std::to_string(x) + "," + std::to_string(y) + hostName(host));
}
void hostPolygon(PointRange range, const DevicePoint*, HostWord host) {
    gCalls.push_back("polygon " + std::to_string(range.first) + "-" + std::to_string(range.last) + hostName(host));
}
void hostPolyPolygon(const DevicePoint*, const int32_t* counts, int32_t polygonCount, HostWord host) {
    gCalls.push_back("polypolygon " + std::to_string(polygonCount) + "x" + std::to_string(counts[0]) + hostName(host));
}
void hostStrip(const DevicePoint*, int32_t count, HostWord host) {
    gCalls.push_back("strip " + std::to_string(count) + hostName(host));
}
int16_t hostColor(int16_t colour, HostWord host) {
    gCalls.push_back("colour " + std::to_string(colour) + hostName(host));
    return colour;
}
void hostLineWidth(int32_t width, HostWord host) {
    gCalls.push_back("width " + std::to_string(width) + hostName(host));
}
void hostRasterData(const uint8_t*, uint32_t byteCount, HostWord host) {
    gCalls.push_back("raster " + std::to_string(byteCount) + hostName(host));
}

// Recorders of the display-list cache: they note the call and forward to the host's copy.
void recordMoveTo(int32_t x, int32_t y, HostWord host) {
    gCalls.push_back("recorded move");
    gOutputHookTable->hostMoveTo(x, y, host);
}
void recordLineTo(int32_t x, int32_t y, HostWord host) {
    gCalls.push_back("recorded line");
    gOutputHookTable->hostLineTo(x, y, host);
}
void recordPolygon(PointRange range, const DevicePoint* points, HostWord host) {
    gCalls.push_back("recorded polygon");
    gOutputHookTable->hostPolygon(range, points, host);
}
int16_t recordColor(int16_t colour, HostWord host) {
    gCalls.push_back("recorded colour");
    return gOutputHookTable->hostColor(colour, host);
}

class OutputHookTableTest : public test::ToolkitTest {
protected:
    void SetUp() override {
        test::ToolkitTest::SetUp();
        gCalls.clear();
        ASSERT_EQ(dbCreateOutputHookTable(), 1);
    }
    void TearDown() override {
        dbDestroyOutputHookTable();
        test::ToolkitTest::TearDown();
    }
    HostWord host = &gHostWord;
    const DevicePoint points[8] = {{0, 0}, {10, 0}, {20, 5}, {30, 7}, {40, 9}, {50, 11}, {60, 13}, {70, 15}};
};

TEST_F(OutputHookTableTest, StartsWithTheDefaults) {
    const OutputHookTable& t = *gOutputHookTable;
    EXPECT_EQ(t.polygon, &dbPolygonWrapper);
    EXPECT_EQ(t.polyPolygon, &dbPolyPolygonWrapper);
    EXPECT_EQ(t.color, &dbDefaultColorHook);
    EXPECT_EQ(t.hostColor, &dbDefaultColorHook);
    EXPECT_EQ(t.color(77, host), 77);
    EXPECT_EQ(t.imageFileFinder, &dbDefaultFileFinder);
    EXPECT_EQ(t.xrefLoad, &dbDefaultFileFinder);
    EXPECT_EQ(t.moveTo, nullptr);
    EXPECT_EQ(t.triangleStrip, nullptr);
    EXPECT_EQ(t.displayListMode, 1);
    EXPECT_EQ(t.defaultLineweight, 25);
    EXPECT_EQ(t.lineweightScale, -1.0);
    EXPECT_EQ(t.curveResolution, 10);
    EXPECT_EQ(t.curveResolutionAlt, 10);
    EXPECT_EQ(t.mallocMessage, "Malloc error\n");
    EXPECT_EQ(t.refreshInterval, 100);
    EXPECT_EQ(t.vectoriserScale, 2.0);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(t.colorIndexMap[size_t(i)], i <= 16 ? i : 15) << "colour " << i;
}

TEST_F(OutputHookTableTest, CellCodesNameTheSmallestCommonCell) {
    struct Case {
        const char* name;
        int a, b, cell;
    } cases[] = {
        {"same leaf", 5, 5, 5},
        {"line from (100, 100) to (5000, 100): leaves 0 and 1", 0, 1, 64},
        {"diagonal neighbours in one 8,192 cell", 0, 9, 64},
        {"last 8,192 cell", 63, 54, 79},
        {"neighbouring 8,192 cells of one 16,384 cell", 0, 2, 80},
        {"line from (0, 0) to (20000, 20000): leaves 0 and 36", 0, 36, 84},
        {"order does not matter", 36, 0, 84},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(gOutputHookTable->cellCodes[size_t(c.a * 64 + c.b)], c.cell);
    }
}

TEST_F(OutputHookTableTest, CurveResolutionsAreClamped) {
    struct Case {
        void (*set)(int32_t);
        int32_t (*get)();
        int32_t value, stored;
    } cases[] = {
        {dbSetCurveResolution, dbGetCurveResolution, -5, 0},
        {dbSetCurveResolution, dbGetCurveResolution, 100, 50},
        {dbSetCurveResolution, dbGetCurveResolution, 40, 40},
        {dbSetCurveResolution, dbGetCurveResolution, 0, 0},
        {dbSetCurveResolutionAlt, dbGetCurveResolutionAlt, 0, 1},
        {dbSetCurveResolutionAlt, dbGetCurveResolutionAlt, 51, 50},
        {dbSetCurveResolutionAlt, dbGetCurveResolutionAlt, 7, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        c.set(c.value);
        EXPECT_EQ(c.get(), c.stored);
    }
    dbSetDisplayListMode(5);
    EXPECT_EQ(gOutputHookTable->displayListMode, 1);
    dbSetDisplayListMode(0);
    EXPECT_EQ(gOutputHookTable->displayListMode, 0);
    dbSetUserValue(-9);
    EXPECT_EQ(dbGetUserValue(), -9);
    EXPECT_EQ(dbGetDisplayValue(), 0);
}

TEST_F(OutputHookTableTest, PolygonWrappersCallTheHostAndSetThePen) {
    dbSetPolygonHook(hostPolygon);
    EXPECT_EQ(gOutputHookTable->polygon, &dbPolygonWrapper);
    EXPECT_EQ(gOutputHookTable->hostPolygon, &hostPolygon);
    gOutputHookTable->polygon({3, 7}, points, host);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"polygon 3-7"}));
    EXPECT_EQ(gOutputHookTable->penPosition, points[3]);

    dbSetPolyPolygonHook(hostPolyPolygon);
    const int32_t counts[2] = {4, 3};
    gOutputHookTable->polyPolygon(points + 1, counts, 2, host);
    EXPECT_EQ(gCalls.back(), "polypolygon 2x4");
    EXPECT_EQ(gOutputHookTable->penPosition, points[1]);

    // Without a host hook the pen still follows the primitive.
    dbSetPolygonHook(nullptr);
    gOutputHookTable->polygon({5, 6}, points, host);
    EXPECT_EQ(gCalls.size(), 2u);
    EXPECT_EQ(gOutputHookTable->penPosition, points[5]);
}

TEST_F(OutputHookTableTest, StripsWithoutAStripHookArriveAsTriangles) {
    dbSetPolygonHook(hostPolygon);
    dbSendTriangleStrip(points, 5, host);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"polygon 0-2", "polygon 1-3", "polygon 2-4"}));
    EXPECT_EQ(gOutputHookTable->penPosition, points[2]);

    gCalls.clear();
    dbSendTriangleStrip(points, 2, host);
    EXPECT_TRUE(gCalls.empty()) << "no triangle in two points";

    dbSetTriangleStripHook(hostStrip);
    dbSendTriangleStrip(points, 5, host);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"strip 5"}));
}

TEST_F(OutputHookTableTest, HostHooksAreKeptWhileRecordingAndComeBack) {
    dbSetMoveToHook(hostMoveTo);
    dbSetLineToHook(hostLineTo);
    dbSetPolygonHook(hostPolygon);
    dbSetColorHook(hostColor);
    dbSetLineWidthHook(hostLineWidth);
    dbSetHook17(hostRasterData);

    RecordingHookSet recorders;
    recorders.moveTo = recordMoveTo;
    recorders.lineTo = recordLineTo;
    recorders.polygon = recordPolygon;
    recorders.color = recordColor;
    dbInstallRecordingHooks(recorders);
    OutputHookTable& t = *gOutputHookTable;
    EXPECT_EQ(t.hostMoveTo, &hostMoveTo);
    EXPECT_EQ(t.hostPolygon, &hostPolygon);
    EXPECT_EQ(t.hostColor, &hostColor);
    EXPECT_EQ(t.hostRasterData, &hostRasterData);
    EXPECT_EQ(t.rasterData, nullptr) << "a recorder slot left empty is empty while recording";

    t.color(3, host);
    t.moveTo(1, 2, host);
    t.lineTo(3, 4, host);
    t.polygon({0, 2}, points, host);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"recorded colour", "colour 3", "recorded move", "move 1,2",
                                                "recorded line", "line 3,4", "recorded polygon", "polygon 0-2"}));

    dbRestoreHostHooks();
    EXPECT_EQ(t.moveTo, &hostMoveTo);
    EXPECT_EQ(t.lineTo, &hostLineTo);
    EXPECT_EQ(t.polygon, &dbPolygonWrapper);
    EXPECT_EQ(t.polyPolygon, &dbPolyPolygonWrapper);
    EXPECT_EQ(t.color, &hostColor);
    EXPECT_EQ(t.lineWidth, &hostLineWidth);
    EXPECT_EQ(t.rasterData, &hostRasterData);
}

TEST_F(OutputHookTableTest, SettersWithoutATableDoNothing) {
    dbDestroyOutputHookTable();
    dbSetMoveToHook(hostMoveTo);
    dbSetPolygonHook(hostPolygon);
    dbSetCurveResolution(20);
    EXPECT_EQ(dbGetCurveResolution(), 0);
    EXPECT_EQ(dbGetColorIndexMap(), nullptr);
    dbSendTriangleStrip(points, 5, host);
    dbPolygonWrapper({0, 2}, points, host);
    EXPECT_TRUE(gCalls.empty());
}

TEST_F(OutputHookTableTest, ToolkitStartAndStopOwnTheTable) {
    dbTermToolkit();
    EXPECT_EQ(gOutputHookTable, nullptr);
    ASSERT_EQ(dbInitToolkit(), 1);
    ASSERT_NE(gOutputHookTable, nullptr);
    EXPECT_EQ(gOutputHookTable->polygon, &dbPolygonWrapper);
}

TEST_F(OutputHookTableTest, AStartThatRunsOutOfMemoryLeavesNoTableAndNoError) {
    dbTermToolkit();
    gSystemContext->errorNumber = 0;
    dbFailAllocationAfter(0);
    EXPECT_EQ(dbInitToolkit(), 0);
    dbFailAllocationAfter(-1);
    EXPECT_EQ(gOutputHookTable, nullptr);
    EXPECT_EQ(gSystemContext->errorNumber, 0) << "a failed start sets no error number";
    EXPECT_EQ(dbInitToolkit(), 1);
}

} // namespace
} // namespace tracemill
