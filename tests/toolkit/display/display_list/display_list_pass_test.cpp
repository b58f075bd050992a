// Passes in display-list mode: what a recording pass keeps in which cell, when a pass replays
// and what the host then receives, stopping, memory running out, geometry off the grid, host
// records, and the mapping between world and device through the grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "display_list_fixture.h"
#include "error_callback_test.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/display/display_list_recorder.h"
#include "toolkit/display/fill_records.h"

namespace tracemill {
namespace {

using Lines = std::vector<std::string>;

class DisplayListPassTest : public test::DisplayListTest {
  protected:
    // The drawing lines of the recorded host calls, sorted, without the pass's opening move.
    Lines primitives() const {
        Lines out;
        for (const std::string& line : recorder.lines()) {
            if (line.starts_with("lineTo") || line.starts_with("polygon") ||
                line.starts_with("polyPolygon") || line.starts_with("color"))
                out.push_back(line);
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    // Segments drawn, each as "x0,y0 x1,y1", sorted.
    Lines segments() const {
        Lines out;
        std::string pen;
        for (const std::string& line : recorder.lines()) {
            if (line.starts_with("moveTo ")) pen = line.substr(7);
            if (line.starts_with("lineTo ")) {
                out.push_back(pen + " " + line.substr(7));
                pen = line.substr(7);
            }
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    void addLines(int n) {
        for (int i = 0; i < n; ++i)
            add(lineFrom({100.0 + 300.0 * i, 1000, 0}, {100.0 + 300.0 * i, 9000, 0}));
    }
};

TEST_F(DisplayListPassTest, EachPrimitiveIsKeptInTheSmallestCellThatHoldsIt) {
    const struct {
        const char* name;
        std::vector<std::array<Point3, 2>> lines;
        std::vector<std::array<Point3, 4>> solids;
        int cell;
        Lines records;
    } cases[] = {
        {"a line over two leaves",
         {{{{100, 100, 0}, {5000, 100, 0}}}},
         {},
         64,
         {"colour 7 width 0", "move 100 100", "line 5000 100"}},
        {"a line over the middle",
         {{{{0, 0, 0}, {20000, 20000, 0}}}},
         {},
         84,
         {"colour 7 width 0", "move 0 0", "line 20000 20000"}},
        {"two joined lines in one leaf",
         {{{{100, 100, 0}, {200, 100, 0}}}, {{{200, 100, 0}, {200, 300, 0}}}},
         {},
         0,
         {"colour 7 width 0", "move 100 100", "line 200 100", "line 200 300"}},
        {"two lines apart in one leaf",
         {{{{100, 100, 0}, {200, 100, 0}}}, {{{300, 300, 0}, {400, 300, 0}}}},
         {},
         0,
         {"colour 7 width 0", "move 100 100", "line 200 100", "move 300 300", "line 400 300"}},
        {"a filled triangle over four leaves",
         {},
         {{{{4000, 4000, 0}, {4200, 4000, 0}, {4000, 4200, 0}, {4000, 4200, 0}}}},
         64,
         {"colour 7 width 0", "fill", "move 4000 4200", "line 4000 4000", "line 4200 4000", "line 4000 4200",
          "fill"}},
    };
    for (const auto& c : cases) {
        clearModelSpace();
        for (const auto& l : c.lines)
            add(lineFrom(l[0], l[1]));
        for (const auto& s : c.solids)
            add(solid(s[0], s[1], s[2], s[3]));
        show();
        EXPECT_FALSE(drawPass()) << c.name;
        EXPECT_EQ(filledCells(), std::vector<int>{c.cell}) << c.name;
        EXPECT_EQ(cellRecords(c.cell), c.records) << c.name;
    }
}

TEST_F(DisplayListPassTest, ASecondPassWithTheSameViewReplaysWithoutFetchingAnEntity) {
    static int fetched = 0;
    dbSetEntityFetchHook([](EntityRecord&, HostWord) { ++fetched; });
    addLines(30);
    add(solid({20000, 20000, 0}, {21000, 20000, 0}, {20000, 21000, 0}, {21000, 21000, 0}));
    add(lineFrom({-5000, 16000, 0}, {40000, 17000, 0})); // clipped at both ends
    show();
    fetched = 0;
    EXPECT_FALSE(drawPass());
    EXPECT_GT(fetched, 0);
    EXPECT_EQ(context().viewCacheValid, 1);
    const Lines recorded = primitives();
    const Lines recordedSegments = segments();
    ASSERT_EQ(recordedSegments.size(), 31u);
    EXPECT_EQ(recorder.lines().front(), "progress 0");
    EXPECT_EQ(recorder.lines()[1], "moveTo 0 0") << "the host's pen starts at the origin";

    ViewBlock view = gridView();
    EXPECT_EQ(prepare(view), 0) << "the cells serve the view";
    fetched = 0;
    EXPECT_TRUE(drawPass());
    EXPECT_EQ(fetched, 0) << "no entity is fetched";
    EXPECT_TRUE(recorder.linesOf("entityBegin").empty()) << "the vectoriser does not run";
    EXPECT_EQ(primitives(), recorded) << "the host receives the primitives of the recorded pass";
    EXPECT_EQ(segments(), recordedSegments);
    EXPECT_EQ(recorder.lines().back(), "progress 100");
    dbSetEntityFetchHook(nullptr);
}

TEST_F(DisplayListPassTest, APassReplaysWhileTheViewOnlyPansOrZoomsInsideTheGrid) {
    ViewBlock turned = gridView();
    turned.up = {std::sin(0.1), std::cos(0.1), 0.0, 0.0};
    ViewBlock sideways = gridView();
    sideways.direction = {0.0, -1.0, 1.0, 0.0};
    const struct {
        const char* name;
        ViewBlock view;
        HostRect device;
        bool reset;
        bool replays;
    } cases[] = {
        {"the same view", gridView(), kScreen, false, true},
        {"zoomed in twice", zoomed(0.5), kScreen, false, true},
        {"zoomed in and panned inside the grid", zoomed(0.5, 8000, -8000), kScreen, false, true},
        {"panned inside after a zoom, to the grid's far corner", zoomed(0.25, 12000, 12000), kScreen, false,
         true},
        {"panned past the grid's edge", zoomed(0.5, 9000, 0), kScreen, false, false},
        {"panned without a zoom", zoomed(1.0, 100, 0), kScreen, false, false},
        {"zoomed out", zoomed(2.0), kScreen, false, false},
        {"zoomed in until a grid unit is a device unit", zoomed(800.0 / 32000.0), kScreen, false, true},
        {"zoomed in beyond the grid", zoomed(640.0 / 32000.0), kScreen, false, false},
        {"the same view on a device twice as large", gridView(), HostRect{0, 0, 1600, 1600}, false, true},
        {"turned", turned, kScreen, false, false},
        {"looked at from another direction", sideways, kScreen, false, false},
        {"the same view after the cache was reset", gridView(), kScreen, true, false},
    };
    addLines(3);
    for (const auto& c : cases) {
        show();
        ASSERT_FALSE(drawPass()) << c.name;
        if (c.reset) {
            EXPECT_EQ(genResetViewCache(drawing), 1);
        }
        EXPECT_EQ(prepare(c.view, c.device), c.replays ? 0 : 1)
            << c.name << ": the grid is laid anew for a regeneration";
        EXPECT_EQ(drawPass(), c.replays) << c.name;
        EXPECT_EQ(prepare(c.view, c.device), 0) << c.name << ": the pass that followed serves its own view";
        EXPECT_TRUE(drawPass()) << c.name;
    }
}

TEST_F(DisplayListPassTest, TheDeviceMustFitTheGrid) {
    addLines(2);
    show(gridView(), HostRect{0, 0, 40000, 30000});
    EXPECT_FALSE(list().active) << "a device finer than the grid is drawn on directly";
    EXPECT_FALSE(drawPass());
    EXPECT_FALSE(drawPass()) << "and every pass regenerates";
    EXPECT_TRUE(filledCells().empty());
    EXPECT_EQ(prepare(gridView(), kScreen), 1) << "a device that fits lays the grid";
    EXPECT_TRUE(list().active);
    EXPECT_FALSE(drawPass());
    EXPECT_TRUE(drawPass());
}

int gStopAtPercent = -1;
void stopAtFirstStep(int32_t percent, HostWord) {
    if (percent > 0 && percent < 100 && gStopAtPercent < 0) {
        gStopAtPercent = percent;
        genStopDisplay();
    }
}

TEST_F(DisplayListPassTest, AStoppedRecordingIsRegeneratedAndAStoppedReplayIsKept) {
    addLines(60);
    show();
    dbSetProgressHook(stopAtFirstStep);
    gStopAtPercent = -1;
    drawPass();
    EXPECT_GT(gStopAtPercent, 0) << "the walk reported progress and was stopped";
    EXPECT_EQ(context().viewCacheValid, 0) << "a stopped recording pass leaves the list invalid";
    EXPECT_EQ(prepare(gridView()), 1);
    dbSetProgressHook(nullptr);
    recorder.clear();
    genDrawDrawing(drawing);
    const size_t whole = segments().size();
    EXPECT_EQ(whole, 60u);

    ASSERT_EQ(prepare(gridView()), 0);
    dbSetProgressHook(stopAtFirstStep);
    gStopAtPercent = -1;
    recorder.clear();
    genDrawDrawing(drawing);
    EXPECT_GT(gStopAtPercent, 0) << "the replay reports the bytes it replayed";
    EXPECT_LT(segments().size(), whole) << "the replay stopped";
    EXPECT_EQ(context().viewCacheValid, 1) << "a replay stopped half-way leaves the list valid";
    dbSetProgressHook(nullptr);
    ASSERT_EQ(prepare(gridView()), 0);
    EXPECT_TRUE(drawPass());
    EXPECT_EQ(segments().size(), whole);
}

Drawing* gFreedDuringReplay = nullptr;

TEST_F(DisplayListPassTest, FreeingTheContextDuringAReplayTakesEffectAfterIt) {
    addLines(60);
    show();
    drawPass();
    ASSERT_EQ(prepare(gridView()), 0);
    gFreedDuringReplay = drawing;
    dbSetProgressHook([](int32_t percent, HostWord) {
        if (percent < 100 && gFreedDuringReplay) dbFreeDisplayContext(gFreedDuringReplay);
    });
    EXPECT_EQ(genDrawDrawing(drawing), 1);
    gFreedDuringReplay = nullptr;
    dbSetProgressHook(nullptr);
    EXPECT_EQ(drawing->displayContext, nullptr);
}

TEST_F(DisplayListPassTest, ACellThatCannotBeMadeLeavesItEmptyAndTheListInvalid) {
    show();
    genDlistStartRecording(drawing);
    genDlistClear(drawing);
    genDlistBeginPass(drawing);
    dbFailAllocationAfter(0);
    gOutputHookTable->moveTo(100, 100, nullptr);
    gOutputHookTable->lineTo(5000, 100, nullptr);
    dbFailAllocationAfter(-1);
    gOutputHookTable->lineTo(5000, 200, nullptr);
    genDlistCloseCells(drawing);
    genDlistStopRecording(drawing);
    EXPECT_EQ(list().cells[64].stream, nullptr) << "the cell of the first line stays empty";
    EXPECT_EQ(cellRecords(1), (Lines{"colour 0 width 0", "move 5000 100", "line 5000 200"}));
    EXPECT_TRUE(list().incomplete);
    EXPECT_EQ(strokes(), (Lines{"moveTo 0 0", "moveTo 3 3", "lineTo 125 3", "lineTo 125 5"}))
        << "the host still receives every line";
    EXPECT_EQ(gOutputHookTable->lineTo, gOutputHookTable->hostLineTo) << "the host's hooks are back";
}

// Multiset inclusion of sorted lines.
bool within(const Lines& part, const Lines& whole) {
    return std::includes(whole.begin(), whole.end(), part.begin(), part.end());
}

TEST_F(DisplayListPassTest, WhateverAllocationFailsAReplayShowsNoLessThanTheRecordingDrew) {
    addLines(5);
    add(solid({20000, 20000, 0}, {21000, 20000, 0}, {20000, 21000, 0}, {21000, 21000, 0}));
    show();
    drawPass();
    const Lines whole = primitives();
    bool regenerated = false, replayed = false;
    for (long failing = 0; failing < 60; ++failing) {
        show();
        dbFailAllocationAfter(failing);
        drawPass();
        dbFailAllocationAfter(-1);
        const Lines drawn = primitives();
        ASSERT_EQ(prepare(gridView()), context().viewCacheValid ? 0 : 1);
        if (!drawPass()) {
            regenerated = true;
            continue;
        }
        replayed = true;
        // What the walk itself lost is lost in both; what only the host missed is replayed.
        EXPECT_TRUE(within(drawn, primitives())) << "allocation " << failing;
        EXPECT_TRUE(within(primitives(), whole)) << "allocation " << failing;
    }
    EXPECT_TRUE(regenerated && replayed);
}

class DisplayListMemoryTest : public test::ErrorCallbackTest {};

TEST_F(DisplayListMemoryTest, AReplayWithoutItsWorkBufferReportsAndDrawsNothing) {
    Drawing* drawing = dbCreateDrawing(nullptr, nullptr, 0, kVersionIndex2000);
    ASSERT_NE(drawing, nullptr);
    EntityRecord line;
    line.header.type = kEntityLine;
    dbInitEntity(drawing, line);
    line.header.handle = dbNewHandle(*drawing);
    line.bodyAs<LineBody>() = {{100, 100, 0}, {5000, 100, 0}};
    ASSERT_EQ(dbAppendEntity(drawing, drawing->modelSpace, std::move(line)), 1);
    HookRecorder recorder;
    recorder.install();
    dbSetDisplayListMode(1);
    ViewBlock view = test::DisplayListTest::gridView(), stored;
    ASSERT_EQ(genBeginDisplay(drawing, stored, test::DisplayListTest::kScreen, nullptr, nullptr), 1);
    genPrepareView(drawing, view, test::DisplayListTest::kScreen, nullptr);
    genDrawDrawing(drawing);
    ASSERT_EQ(genPrepareView(drawing, view, test::DisplayListTest::kScreen, nullptr), 0);
    recorder.clear();
    dbFailAllocationAfter(0);
    genDrawDrawing(drawing);
    dbFailAllocationAfter(-1);
    EXPECT_EQ(callbacks(kErrorReasonNoMemory), 1);
    EXPECT_TRUE(recorder.linesOf("lineTo").empty());
    recorder.clear();
    genDrawDrawing(drawing);
    EXPECT_EQ(recorder.linesOf("lineTo").size(), 1u) << "the list is still there for the next pass";
    recorder.uninstall();
    dbFreeDrawing(drawing);
}

TEST_F(DisplayListPassTest, GeometryFarOffTheGridRecordsAndReplays) {
    add(lineFrom({-1e10, 16000, 0}, {1e10, 16001, 0}));
    add(lineFrom({1e9, 1e9, 0}, {2e9, -2e9, 0}));
    add(lineFrom({16000, -1e15, 0}, {16000, 1e15, 0}));
    add(solid({-1e6, -1e6, 0}, {1e6, -1e6, 0}, {-1e6, 1e6, 0}, {1e6, 1e6, 0}));
    add(lineFrom({100, 100, 0}, {200, 200, 0}));
    show();
    EXPECT_FALSE(drawPass());
    const Lines recorded = primitives();
    EXPECT_EQ(segments().size(), 3u);
    EXPECT_EQ(context().viewCacheValid, 1) << "what the view transform clipped lies on the grid";
    ASSERT_EQ(prepare(gridView()), 0);
    EXPECT_TRUE(drawPass());
    EXPECT_EQ(primitives(), recorded);
    ASSERT_EQ(prepare(zoomed(0.1, -14000, -14000)), 0);
    EXPECT_TRUE(drawPass()) << "a zoom into the corner replays too";
    EXPECT_EQ(prepare(zoomed(1e-6)), 1) << "a view zoomed in beyond the grid regenerates";
    EXPECT_FALSE(drawPass());
    EXPECT_EQ(prepare(zoomed(1e-6)), 0);
    EXPECT_TRUE(drawPass());
}

// A host hook that sends primitives of its own through the table while a pass records.
int gSentFromHook = 0;
void sendOffGridLine(const EntityBeginInfo&, HostWord host) {
    if (gSentFromHook++) return;
    gOutputHookTable->moveTo(-100, 4000, host);
    gOutputHookTable->lineTo(40000, 4000, host);
}

TEST_F(DisplayListPassTest, ALineOffTheGridReachesTheHostButIsNotReplayed) {
    add(lineFrom({100, 100, 0}, {200, 200, 0}));
    show();
    gSentFromHook = 0;
    dbSetEntityBeginHook(sendOffGridLine);
    EXPECT_FALSE(drawPass());
    dbSetEntityBeginHook(nullptr);
    const Lines drawn = segments();
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), "800 100 0 100"), drawn.end()) << "clipped to the device";
    EXPECT_EQ(context().viewCacheValid, 0);
    EXPECT_EQ(prepare(gridView()), 1);
    EXPECT_FALSE(drawPass()) << "the next pass regenerates";
}

void replaceLineHook(const EntityBeginInfo&, HostWord) {
    dbSetLineToHook(gOutputHookTable->hostLineTo);
}

TEST_F(DisplayListPassTest, AHookReplacedWhileAPassRecordsLeavesTheListInvalid) {
    add(lineFrom({100, 100, 0}, {200, 200, 0}));
    show();
    dbSetEntityBeginHook(replaceLineHook);
    EXPECT_FALSE(drawPass());
    dbSetEntityBeginHook(nullptr);
    EXPECT_EQ(context().viewCacheValid, 0);
}

// A host whose poly-polygon hook fills through the table's polygon slot, as a host without
// poly-polygons does.
void polyPolygonAsPolygons(const DevicePoint* points, const int32_t* counts, int32_t, HostWord host) {
    gOutputHookTable->polygon({0, counts[0] - 1}, points, host);
}
void sendPolyPolygon(const EntityBeginInfo&, HostWord host) {
    const DevicePoint points[] = {{4000, 4000}, {8000, 4000}, {8000, 8000},
                                  {5000, 5000}, {6000, 5000}, {6000, 6000}};
    const int32_t counts[] = {3, 3};
    gOutputHookTable->polyPolygon(points, counts, 2, host);
}

TEST_F(DisplayListPassTest, WhatAHostHookSendsThroughTheTableGoesToTheHost) {
    add(lineFrom({100, 100, 0}, {200, 200, 0}));
    show();
    dbSetPolyPolygonHook(polyPolygonAsPolygons);
    dbSetEntityBeginHook(sendPolyPolygon);
    EXPECT_FALSE(drawPass());
    dbSetEntityBeginHook(nullptr);
    EXPECT_EQ(recorder.linesOf("polygon"), (Lines{"polygon 200,200 100,100 200,100"}))
        << "on the device, once";
    // The host's hook that sent it runs before the entity's colour is set.
    EXPECT_EQ(cellRecords(64),
              (Lines{"colour 0 width 0", "fill with holes", "move 4000 4000", "line 8000 4000",
                     "line 8000 8000", "line 4000 4000", "move 5000 5000", "line 6000 5000", "line 6000 6000",
                     "line 5000 5000", "fill with holes"}));
    ASSERT_EQ(prepare(gridView()), 0);
    EXPECT_TRUE(drawPass());
    EXPECT_EQ(recorder.linesOf("polygon"), (Lines{"polygon 200,200 100,100 200,100"}));
}

// Host records sent from inside the pass, and what the host receives of them.
std::vector<std::string> gHostRecords;
std::string pointText(const DevicePoint& p) {
    return std::to_string(p.x) + "," + std::to_string(p.y);
}

void capturePicture(const PictureRecord& picture, HostWord) {
    std::string text = "picture";
    for (int32_t v : picture.rect)
        text += " " + std::to_string(v);
    text += " |";
    for (int32_t i = 0; i < picture.pointCount; ++i)
        text += " " + pointText(picture.points[i]);
    text += " | " + std::to_string(dbStreamSizeOf(picture.picture)) + " bytes, first " +
            std::to_string(picture.picture->bytes.front());
    gHostRecords.push_back(text);
}
void captureFrame(const FillRecord& frame, HostWord) {
    std::string text = "frame";
    for (const DevicePoint& p : frame.corners)
        text += " " + pointText(p);
    text += " |";
    for (int32_t i = 0; i < frame.polygonCount; ++i)
        text += " " + pointText(frame.polygon[i]);
    text += " |";
    for (const Point2& p : frame.boundary)
        text += " " + std::to_string(int(p.x)) + "," + std::to_string(int(p.y));
    text += " |";
    for (int32_t i = 0; i < frame.boundaryCount; ++i)
        text += " " + pointText(frame.boundaryPoints[i]);
    gHostRecords.push_back(text);
}
// The row pieces of the raster blocks the host receives, read as a host reads them: the pixels
// of a piece (two-colour pixels here) may run on into the next block.
uint64_t gRasterPixelBytesLeft = 0;
void captureRaster(const uint8_t* block, uint32_t size, HostWord) {
    auto le32 = [&](size_t offset) {
        return uint32_t(block[offset]) | uint32_t(block[offset + 1]) << 8 | uint32_t(block[offset + 2]) << 16 |
               uint32_t(block[offset + 3]) << 24;
    };
    auto at = [&](size_t offset) {
        uint64_t bits = 0;
        for (int k = 0; k < 8; ++k)
            bits |= uint64_t(block[offset + size_t(k)]) << (8 * k);
        double v;
        std::memcpy(&v, &bits, 8);
        return std::to_string(v).substr(0, std::to_string(v).find('.') + 3);
    };
    std::string text = "raster " + std::to_string(size) + " bytes";
    size_t i = size_t(std::min<uint64_t>(gRasterPixelBytesLeft, size));
    gRasterPixelBytesLeft -= i;
    while (size - i >= 4) {
        const uint32_t tag = le32(i);
        if (tag == 0x01000000) {
            i += 16;
        } else if (tag == 0x02000000 && size - i >= 120) {
            text += ", start " + at(i + 4) + "," + at(i + 12) + " end " + at(i + 52) + "," + at(i + 60) + " step " +
                    at(i + 104) + "," + at(i + 112);
            const uint64_t pixelBytes = (uint64_t(le32(i + 100)) + 7) / 8;
            i += 120;
            const size_t here = size_t(std::min<uint64_t>(pixelBytes, size - i));
            i += here;
            gRasterPixelBytesLeft = pixelBytes - here;
        } else {
            i += 4;
        }
    }
    gHostRecords.push_back(text);
}

PagedStream* gPictureStream = nullptr;
void sendHostRecords(const EntityBeginInfo&, HostWord host) {
    const DevicePoint boundary[] = {{4000, 8000}, {12000, 8000}, {12000, 16000}};
    PictureRecord picture;
    picture.rect = {4000, 8000, 12000, 16000};
    picture.pointCount = 3;
    picture.points = boundary;
    picture.picture = gPictureStream;
    gOutputHookTable->picture(picture, host);

    FillRecord frame;
    frame.corners = {DevicePoint{4000, 8000}, {-8000, 8000}, {12000, 40000}, {4000, 16000}};
    frame.polygonCount = 3;
    frame.polygon = boundary;
    frame.boundary = {{0, 0}, {64, 0}, {64, 48}};
    frame.boundaryCount = 2;
    frame.boundaryPoints = boundary + 1;
    gOutputHookTable->fillRecord(frame, host);

    // An image header (two-colour pixels), a row start and a row piece of 9 pixels from grid
    // x 4000.5 to 8000.5 at y 16000.5, 40 grid units a pixel, whose second pixel byte opens the
    // next block; there a row start and a second piece of the same row 8000 units higher.
    std::vector<uint8_t> bytes(16 + 4 + 120 + 2 + 4 + 120 + 2, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int k = 0; k < 4; ++k)
            bytes[at + size_t(k)] = uint8_t(v >> (8 * k));
    };
    auto put64 = [&](size_t at, double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, 8);
        for (int k = 0; k < 8; ++k)
            bytes[at + size_t(k)] = uint8_t(bits >> (8 * k));
    };
    put32(0, 0x01000000);
    put32(12, 2);
    for (size_t row : {16u, 16u + 4 + 120 + 2}) {
        const double y = row == 16 ? 16000.5 : 8000.5;
        put32(row, 0x03000000);
        put32(row + 4, 0x02000000);
        put64(row + 8, 4000.5);
        put64(row + 16, y);
        put64(row + 56, 8000.5);
        put64(row + 64, y);
        put32(row + 104, 9);
        put64(row + 108, 40.0);
        put64(row + 116, 0.0);
        bytes[row + 124] = 0x03; // 0x03 0x03 0x00 0x00 is no tag, should it be read as one
        bytes[row + 125] = 0x03;
    }
    const uint32_t firstBlock = 16 + 4 + 120 + 1;
    gRasterPixelBytesLeft = 0;
    gOutputHookTable->rasterData(bytes.data(), firstBlock, host);
    gOutputHookTable->rasterData(bytes.data() + firstBlock, uint32_t(bytes.size()) - firstBlock, host);
}

TEST_F(DisplayListPassTest, HostRecordsReachTheHostOnTheDeviceWhenRecordedAndReplayed) {
    gPictureStream = dbStreamCreate(4096);
    gPictureStream->bytes = {7, 1, 2, 3, 4};
    add(lineFrom({100, 100, 0}, {200, 200, 0}));
    show();
    dbSetPictureHook(capturePicture);
    dbSetFillRecordHook(captureFrame);
    dbSetHook17(captureRaster);
    dbSetEntityBeginHook(sendHostRecords);
    gHostRecords.clear();
    EXPECT_FALSE(drawPass());
    dbSetEntityBeginHook(nullptr);
    const Lines onDevice = {
        "picture 100 200 300 400 | 100,200 300,200 300,400 | 5 bytes, first 7",
        "frame 100,200 -199,200 300,1000 100,400 | 100,200 300,200 300,400 | 0,0 64,0 64,48 | 300,200 "
        "300,400",
        "raster 141 bytes, start 100.50,400.50 end 200.50,400.50 step 1.00,0.00",
        "raster 127 bytes, start 100.50,200.50 end 200.50,200.50 step 1.00,0.00",
    };
    EXPECT_EQ(gHostRecords, onDevice);
    EXPECT_EQ(cellRecords(84),
              (Lines{"colour 0 width 0", "host 1 (53 bytes)", "host 2 (132 bytes)", "host 0 (141 bytes)",
                     "host 0 (127 bytes)"}));

    ASSERT_EQ(prepare(gridView()), 0);
    gHostRecords.clear();
    EXPECT_TRUE(drawPass());
    EXPECT_EQ(gHostRecords, onDevice) << "a replay hands the host what the recording did";

    ASSERT_EQ(prepare(zoomed(0.5)), 0); // the window (8000, 8000)-(24000, 24000)
    gHostRecords.clear();
    EXPECT_TRUE(drawPass());
    EXPECT_EQ(gHostRecords,
              (Lines{
                  "picture -199 0 200 400 | -199,0 200,0 200,400 | 5 bytes, first 7",
                  "frame -199,0 -799,0 200,1600 -199,400 | -199,0 200,0 200,400 | 0,0 64,0 64,48 | "
                  "200,0 200,400",
                  "raster 141 bytes, start -199.50,400.50 end 0.50,400.50 step 2.00,0.00",
                  "raster 127 bytes, start -199.50,0.50 end 0.50,0.50 step 2.00,0.00",
              }));
    dbStreamDestroy(gPictureStream);
    gPictureStream = nullptr;
}

TEST_F(DisplayListPassTest, WorldAndDeviceMapAsWithoutTheCache) {
    const ViewBlock views[] = {gridView(), zoomed(0.5, 3000, -2000), zoomed(0.03, 10000, 10000)};
    const Point3 points[] = {{0, 0, 0}, {16000, 16000, 0}, {123.25, 31000.5, 0}, {-5000, 40000, 7}};
    add(lineFrom({8000, 9000, 0}, {25000, 21000, 0}));
    add(lineFrom({15000, 15000, 0}, {15500, 15600, 0}));
    for (const ViewBlock& v : views) {
        dbSetDisplayListMode(0);
        show(v);
        drawPass();
        int32_t directMin[2], directMax[2];
        ASSERT_EQ(dbGetDisplayExtents(drawing, directMin, directMax), 1);
        std::vector<Point2> direct;
        for (const Point3& p : points) {
            Point2 d;
            ASSERT_EQ(dbWorldToDevice(drawing, p, d), 1);
            direct.push_back(d);
        }
        dbSetDisplayListMode(1);
        show();
        drawPass();
        ASSERT_EQ(prepare(v), 0) << "the view is a window of the grid";
        int32_t min[2], max[2];
        ASSERT_EQ(dbGetDisplayExtents(drawing, min, max), 1);
        for (int axis = 0; axis < 2; ++axis) {
            EXPECT_NEAR(min[axis], directMin[axis], 1)
                << "the extents the recording collected, on the device";
            EXPECT_NEAR(max[axis], directMax[axis], 1);
        }
        for (size_t i = 0; i < std::size(points); ++i) {
            Point2 d;
            ASSERT_EQ(dbWorldToDevice(drawing, points[i], d), 1);
            EXPECT_NEAR(d.x, direct[i].x, 1e-6) << i;
            EXPECT_NEAR(d.y, direct[i].y, 1e-6) << i;
            Point3 world;
            ASSERT_EQ(dbDeviceToWorld(drawing, d, world), 1);
            EXPECT_NEAR(world.x, points[i].x, 1e-6 * v.width) << i;
            EXPECT_NEAR(world.y, points[i].y, 1e-6 * v.width) << i;
        }
    }
    double sx = 0, sy = 0;
    ASSERT_EQ(genDlistGridScale(drawing, sx, sy), 1);
    EXPECT_DOUBLE_EQ(sx, 1.0);
    EXPECT_DOUBLE_EQ(sy, 1.0);
}

} // namespace
} // namespace tracemill
