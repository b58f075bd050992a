// A replay after a pan or a zoom inside the grid shows what a regeneration of the same view
// draws straight onto the device, within one device unit per point: for random drawings of
// lines, fills and text, and for every sample drawing that loads.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "display_list_fixture.h"
#include "picture_compare.h"
#include "test_paths.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

constexpr HostRect kWideScreen{0, 0, 800, 600};
// One device unit on each axis.
const double kOneUnit = std::sqrt(2.0);
// Where a line or fill is cut at the device's edge, the two pictures may cut it apart along the
// edge: points this close to the edge are not judged.
constexpr double kEdgeMargin = 1.5;

ViewBlock viewAround(const ViewBlock& base, double factor, double dx, double dy) {
    ViewBlock view = base;
    view.width *= factor;
    view.height *= factor;
    view.target.x += dx * base.width;
    view.target.y += dy * base.height;
    return view;
}

// The picture a pass draws of the view, with the display-list cache off.
test::Picture regenerated(Drawing* drawing, HookRecorder& recorder, ViewBlock view) {
    dbSetDisplayListMode(0);
    ViewBlock stored;
    EXPECT_EQ(genBeginDisplay(drawing, stored, kWideScreen, nullptr, nullptr), 1);
    genPrepareView(drawing, view, kWideScreen, nullptr);
    recorder.clear();
    genDrawDrawing(drawing);
    dbSetDisplayListMode(1);
    return test::pictureOf(recorder.lines());
}

// Records the drawing at `recorded`, then replays each view; each replay is compared with a
// regeneration of its view. Failures name `what`.
void compareReplays(Drawing* drawing, HookRecorder& recorder, const ViewBlock& recorded,
                    const std::vector<ViewBlock>& views, const std::string& what) {
    for (size_t i = 0; i < views.size(); ++i) {
        const test::Picture direct = regenerated(drawing, recorder, views[i]);
        ViewBlock stored, view = recorded;
        ASSERT_EQ(genBeginDisplay(drawing, stored, kWideScreen, nullptr, nullptr), 1) << what;
        genPrepareView(drawing, view, kWideScreen, nullptr);
        genDrawDrawing(drawing);
        ASSERT_EQ(drawing->displayContext->viewCacheValid, 1) << what;
        view = views[i];
        ASSERT_EQ(genPrepareView(drawing, view, kWideScreen, nullptr), 0)
            << what << ", view " << i << ": a window of the grid";
        recorder.clear();
        genDrawDrawing(drawing);
        ASSERT_TRUE(recorder.linesOf("progress").empty() ||
                    recorder.linesOf("progress").front() != "progress 0")
            << what << ", view " << i << ": replayed";
        const test::Picture replay = test::pictureOf(recorder.lines());
        EXPECT_EQ(replay.strokes.empty(), direct.strokes.empty()) << what << ", view " << i;
        EXPECT_EQ(replay.fills == 0, direct.fills == 0) << what << ", view " << i;
        const auto extra = test::strayPoints(replay, direct, kWideScreen, kOneUnit, kEdgeMargin);
        const auto missing = test::strayPoints(direct, replay, kWideScreen, kOneUnit, kEdgeMargin);
        EXPECT_TRUE(extra.empty()) << what << ", view " << i << ": replayed but not regenerated, e.g. "
                                   << extra.front() << " (" << extra.size() << " in all)";
        EXPECT_TRUE(missing.empty()) << what << ", view " << i << ": regenerated but not replayed, e.g. "
                                     << missing.front() << " (" << missing.size() << " in all)";
    }
}

class DisplayListPictureTest : public test::DisplayListTest {
  protected:
    std::mt19937 random{20261211};
    double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); }
    int16_t colour() { return int16_t(std::uniform_int_distribution<int>(1, 7)(random)); }
};

TEST_F(DisplayListPictureTest, ReplaysOfRandomDrawingsMatchRegenerations) {
    Handle style;
    if (drawing->styles.first) style = StyleList::asNode(drawing->styles.first)->record.handle;
    for (int round = 0; round < 3; ++round) {
        clearModelSpace();
        for (int i = 0; i < 150; ++i) {
            EntityRecord line = lineFrom({uniform(-100, 1100), uniform(-100, 850), 0},
                                         {uniform(-100, 1100), uniform(-100, 850), 0});
            line.header.colour = colour();
            add(std::move(line));
        }
        for (int i = 0; i < 30; ++i) {
            const Point3 a{uniform(0, 1000), uniform(0, 750), 0};
            const double size = uniform(5, 150);
            EntityRecord fill = solid(a, {a.x + uniform(0, size), a.y + uniform(-size, size), 0},
                                      {a.x + uniform(-size, size), a.y + size, 0},
                                      {a.x + uniform(0, size), a.y + uniform(0, size), 0});
            fill.header.colour = colour();
            add(std::move(fill));
        }
        for (int i = 0; i < 10; ++i) {
            EntityRecord wide = lwpolyline({{uniform(0, 1000), uniform(0, 750)},
                                            {uniform(0, 1000), uniform(0, 750)},
                                            {uniform(0, 1000), uniform(0, 750)}},
                                           kLwpolylineConstantWidth);
            wide.bodyAs<LwpolylineBody>().constantWidth = uniform(10, 20);
            wide.header.colour = colour();
            add(std::move(wide));
        }
        for (int i = 0; i < 20; ++i) {
            EntityRecord text = entity(kEntityText);
            TextBody& body = text.bodyAs<TextBody>();
            body.insertion = {uniform(0, 1000), uniform(0, 750), 0};
            body.height = uniform(5, 40);
            body.widthFactor = 1.0;
            body.rotation = uniform(0, 6.28);
            body.text = "Replay " + std::to_string(i);
            body.style = style;
            text.header.colour = colour();
            add(std::move(text));
        }
        ViewBlock recorded;
        recorded.target = {500.0, 375.0, 0.0, 1.0};
        recorded.width = 1000.0;
        recorded.height = 750.0;
        compareReplays(drawing, recorder, recorded,
                       {viewAround(recorded, 0.5, -0.1, -0.08), viewAround(recorded, 0.5, 0.2, 0.15),
                        viewAround(recorded, 0.1, 0.2, 0.1), viewAround(recorded, 0.03, -0.35, 0.3)},
                       "round " + std::to_string(round));
    }
}

class DisplayListSamplesTest : public test::ToolkitTest {};

TEST_F(DisplayListSamplesTest, ReplaysOfTheSamplesMatchRegenerations) {
    TM_REQUIRE_SAMPLES(samples);
    HookRecorder recorder;
    recorder.install();
    dbSetDisplayListMode(1);
    int compared = 0;
    for (const std::filesystem::path& path : test::loadableSampleDrawings(samples)) {
        const std::string name = path.filename().string();
        Drawing* drawing = rdOpenDrawing(path.string().c_str(), kOpenOrdinary, 0);
        ASSERT_NE(drawing, nullptr) << name << ": error " << dbGetError();
        // The view of the drawing's extents, found by a first pass.
        ViewBlock view;
        ASSERT_EQ(genBeginDisplay(drawing, view, kWideScreen, nullptr, nullptr), 1) << name;
        if (!(view.width > 0.0 && view.height > 0.0)) genGetViewBlock(drawing, view);
        genPrepareView(drawing, view, kWideScreen, nullptr);
        genDrawDrawing(drawing);
        ViewBlock extents;
        genGetViewBlock(drawing, extents);
        compareReplays(drawing, recorder, extents,
                       {viewAround(extents, 0.5, 0.0, 0.0), viewAround(extents, 0.25, 0.05, 0.05),
                        viewAround(extents, 0.1, -0.02, 0.03)},
                       name);
        ++compared;
        dbFreeDrawing(drawing);
    }
    EXPECT_GE(compared, 10);
    recorder.uninstall();
}

} // namespace
} // namespace tracemill
