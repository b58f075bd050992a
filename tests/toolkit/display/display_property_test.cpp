// Whatever display generation draws lands inside the viewport it is drawn in, and inside the
// viewport's clip region where one applies: random segments, quadrilaterals and loops in the
// random viewports of a layout, every point that reaches a hook checked.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "display_fixture.h"
#include "toolkit/display/clip/clipped_line.h"
#include "toolkit/display/clip_stack.h"
#include "toolkit/display/device_fill.h"
#include "toolkit/display/linetype_drawer.h"

namespace tracemill {
namespace {

// The points of a recorded hook line ("moveTo 3 4", "polygon 1,2 3,4 ...", "polyPolygon ... | ...").
std::vector<Point2> pointsOf(const std::string& line) {
    std::vector<Point2> points;
    std::istringstream words(line);
    std::string slot, word;
    words >> slot;
    if (slot == "moveTo" || slot == "lineTo") {
        double x = 0, y = 0;
        words >> x >> y;
        points.push_back({x, y});
        return points;
    }
    while (words >> word) {
        const size_t comma = word.find(',');
        if (comma == std::string::npos) continue;
        points.push_back({std::stod(word.substr(0, comma)), std::stod(word.substr(comma + 1))});
    }
    return points;
}

class DisplayPropertyTest : public test::DisplayTest {
protected:
    // A layout of the sheet and four viewports, some reaching past the device.
    void makeLayout(std::mt19937& random) {
        drawing->header->tilemode = 0;
        std::uniform_real_distribution<double> where(0.0, 10.0), size(1.0, 6.0), height(5.0, 200.0);
        add(viewportOf(1, {5, 4, 0}, 10, 8, 8, {where(random) * 10, where(random) * 10}), drawing->paperSpace);
        for (int16_t id = 2; id <= 5; ++id) {
            const Point3 centre{where(random), where(random), 0};
            const double wide = size(random);
            const double high = size(random);
            const double viewHeight = height(random);
            add(viewportOf(id, centre, wide, high, viewHeight, {where(random) * 10, where(random) * 10}),
                drawing->paperSpace);
        }
        ViewBlock view;
        view.target = {5, 4, 0, 1};
        view.width = 10;
        view.height = 8;
        begin(nullptr, HostRect{0, 0, 800, 640}, view);
        context().paperSpaceWithViewports = 1;
        context().planMask = ~uint64_t(0);
    }
    std::vector<Matrix4> matrices() {
        std::vector<Matrix4> out;
        for (int i = 0; i < context().viewportCount; ++i) out.push_back(context().viewports[size_t(i)].worldToDevice);
        return out;
    }
};

TEST_F(DisplayPropertyTest, EveryPointThatReachesAHookLiesInsideItsViewportAndClip) {
    std::mt19937 random(20261211);
    makeLayout(random);
    ASSERT_GE(context().viewportCount, 3);
    std::uniform_real_distribution<double> coordinate(-50.0, 150.0);
    std::uniform_int_distribution<int> kind(0, 2);
    const std::vector<Matrix4> viewportMatrices = matrices();
    int checked = 0;
    for (int round = 0; round < 400; ++round) {
        const int viewport = 1 + round % (context().viewportCount - 1);
        // Half of the rounds under a convex clip region in device units.
        const bool clipped = round % 2 == 1;
        const DeviceRect& rect = context().viewports[size_t(viewport)].clampedRect;
        const double cx = (rect.x0 + rect.x1) / 2, cy = (rect.y0 + rect.y1) / 2;
        const double r = std::max(rect.x1 - rect.x0, rect.y1 - rect.y0) / 2;
        std::vector<Point2> region;
        for (int k = 0; k < 6; ++k) region.push_back({cx + r * std::cos(k * 1.0472), cy + r * 0.7 * std::sin(k * 1.0472)});
        if (clipped) {
            std::vector<Point3> boundary;
            for (const Point2& p : region) boundary.push_back({p.x, p.y, 0});
            genPushClipBoundary(context(), &boundary, nullptr);
        }
        context().hiddenMask = ~(uint64_t(1) << viewport);
        context().entity = DrawnEntity{};
        context().entity.kind = kEntitySolid;
        recorder.clear();
        gOutputHookTable->penPosition = {kPenPositionUnset, kPenPositionUnset};
        const Point3 a{coordinate(random), coordinate(random), 0}, b{coordinate(random), coordinate(random), 0};
        const Point3 c{coordinate(random), coordinate(random), 0}, d{coordinate(random), coordinate(random), 0};
        switch (kind(random)) {
        case 0:
            genDrawLinetypedSegment(drawing, a, b, viewportMatrices.data(), nullptr, nullptr, 1, 0.0);
            break;
        case 1:
            genFillQuad(drawing, a, b, c, d, viewportMatrices.data());
            break;
        default: {
            const Point3 loop[] = {a, b, c, d, {coordinate(random), coordinate(random), 0}};
            const int32_t counts[] = {5};
            genFillLoops(drawing, loop, counts, 1, viewportMatrices.data());
        }
        }
        for (const std::string& line : recorder.lines()) {
            for (const Point2& p : pointsOf(line)) {
                ++checked;
                EXPECT_TRUE(p.x >= std::floor(rect.x0) - 1 && p.x <= std::ceil(rect.x1) && p.y >= std::floor(rect.y0) - 1 &&
                            p.y <= std::ceil(rect.y1))
                    << "round " << round << " viewport " << viewport << ": " << line;
                if (clipped) {
                    EXPECT_TRUE(genPointInLoop({p.x + 0.5, p.y + 0.5}, int32_t(region.size()), region.data(), 1.5))
                        << "round " << round << " outside the clip region: " << line;
                }
            }
        }
        if (clipped) genPopClipBoundary(context());
    }
    EXPECT_GT(checked, 500) << "enough of the primitives reached the hooks";
}

} // namespace
} // namespace tracemill
