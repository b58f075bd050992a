// Pictures that match the drawing, on the fixtures of tests/data/pictures: each read from its
// DXF and from the DWG our writer makes of it, drawn through the recording hook set, and
// checked against expectations worked out by hand: a layer without a colour, the places of
// justified text, text in a mirrored style, a spline leader of three vertices, fit-point
// splines with stored tangents, and a coordinate far beyond the drawing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "recorded_strokes.h"
#include "temp_folder.h"
#include "test_paths.h"
#include "toolkit/display/display_access.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/display/display_interface.h"
#include "toolkit/display/hook_sets/hook_recorder.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/write/save_driver.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

constexpr int16_t kVersion2000 = 7;
constexpr double kTextHeight = 10.0;

struct DrawingDeleter {
    void operator()(Drawing* d) const { dbFreeDrawing(d); }
};
using DrawingPtr = std::unique_ptr<Drawing, DrawingDeleter>;

// A device box of strokes.
struct InkBox {
    double x0 = std::numeric_limits<double>::max(), y0 = x0;
    double x1 = -std::numeric_limits<double>::max(), y1 = x1;
    bool empty() const { return x0 > x1; }
    void add(double x, double y) {
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    }
};

class PictureFixturesTest : public test::ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        dbSetDisplayListMode(0);
        dbSetAlignTextFlag(1);  // as every host of the program sets it
        recorder.install();
    }
    void TearDown() override {
        recorder.uninstall();
        drawings.clear();
        ToolkitTest::TearDown();
    }

    // The fixture read from its DXF, and from the DWG of 2000 that our writer makes of it.
    std::vector<std::pair<std::string, Drawing*>> readBoth(const std::string& name) {
        std::vector<std::pair<std::string, Drawing*>> out;
        const std::string dxf = (test::testDataDir() / "pictures" / name).string();
        Drawing* fromDxf = keep(rdOpenDrawing(dxf.c_str(), kOpenOrdinary, 0));
        EXPECT_NE(fromDxf, nullptr) << name;
        if (!fromDxf) return out;
        out.emplace_back(name, fromDxf);
        const std::string dwg = folder / (name + ".dwg");
        EXPECT_EQ(wrSaveDrawing(fromDxf, dwg.c_str(), 0, kVersion2000, kSaveRealSwitch, kSaveDecimalPlaces,
                                kSaveEntitySwitch, kSaveOldDxfFlag),
                  1)
            << name;
        Drawing* fromDwg = keep(rdOpenDrawing(dwg.c_str(), kOpenOrdinary, 0));
        EXPECT_NE(fromDwg, nullptr) << name << " through DWG";
        if (fromDwg) out.emplace_back(name + " through DWG", fromDwg);
        return out;
    }
    Drawing* keep(Drawing* d) {
        if (d) drawings.emplace_back(d);
        return d;
    }

    // Draws the drawing with the world square of `size` centred on `centre` on a device of
    // `pixels` square, and returns the recorded lines.
    std::vector<std::string> draw(Drawing* d, Point2 centre, double size, int pixels) {
        ViewBlock view;
        const HostRect rect{0, 0, pixels, pixels};
        EXPECT_EQ(genBeginDisplay(d, view, rect, nullptr, nullptr), 1);
        view.target = {centre.x, centre.y, 0.0, 1.0};
        view.direction = {0.0, 0.0, 1.0, 0.0};
        view.up = {0.0, 1.0, 0.0, 0.0};
        view.width = view.height = size;
        genPrepareView(d, view, rect, nullptr);
        recorder.clear();
        EXPECT_EQ(genDrawDrawing(d), 1);
        return recorder.lines();
    }
    static Point2 device(Drawing* d, Point2 world) {
        Point2 out;
        EXPECT_EQ(dbWorldToDevice(d, {world.x, world.y, 0.0}, out), 1);
        return out;
    }

    HookRecorder recorder;
    test::TempFolder folder;
    std::vector<DrawingPtr> drawings;
};

std::vector<test::Stroke> strokeList(const std::vector<std::string>& lines) {
    const std::set<test::Stroke> strokes = test::strokesOf(lines);
    return {strokes.begin(), strokes.end()};
}

TEST_F(PictureFixturesTest, ALayerWithoutAColourDrawsInColourSeven) {
    for (const auto& [name, d] : readBoth("layer_without_colour_2000.dxf")) {
        LayerRecord layer;
        Handle handle;
        ASSERT_EQ(dbLayerFindByName(d, "BARE", handle), 1) << name;
        ASSERT_EQ(dbLayerGet(d, handle, layer), 1) << name;
        EXPECT_EQ(layer.colour, 7) << name;
        const std::vector<std::string> lines = draw(d, {5, 5}, 20, 200);
        EXPECT_NE(std::find(lines.begin(), lines.end(), "color 7"), lines.end()) << name;
        EXPECT_EQ(std::find(lines.begin(), lines.end(), "color 0"), lines.end()) << name;
    }
}

// The ink box of each text of the sheet, found around its alignment point; the view makes one
// drawing unit 10 device units, so 1 % of the height is 1 device unit.
TEST_F(PictureFixturesTest, JustifiedTextLandsWhereItsAlignmentPointSays) {
    constexpr double kScale = 10.0;  // device units per drawing unit
    const double tolerance = 0.01 * kTextHeight * kScale + 1.0;  // 1 % of the height, and rounding
    for (const auto& [name, d] : readBoth("justified_text_2000.dxf")) {
        const std::vector<test::Stroke> strokes = strokeList(draw(d, {150, 100}, 500, 5000));
        auto inkAround = [&](Point2 alignment) {
            InkBox box;
            const Point2 centre = device(d, alignment);
            for (const auto& [a, b] : strokes) {
                for (const test::DevicePair& p : {a, b}) {
                    if (std::fabs(p.first - centre.x) < 45 * kScale && std::fabs(p.second - centre.y) < 45 * kScale)
                        box.add(p.first, p.second);
                }
            }
            return box;
        };
        // Device y runs as world y here (the recorder takes the toolkit's device units).
        const Point2 one = device(d, {1, 1}), origin = device(d, {0, 0});
        ASSERT_NEAR(one.x - origin.x, kScale, 1e-9);
        const double up = one.y - origin.y;  // +10 or -10
        for (int vertical = 0; vertical < 4; ++vertical) {
            for (int horizontal = 0; horizontal < 3; ++horizontal) {
                const Point2 alignment{100.0 * horizontal, 100.0 * vertical};
                const InkBox box = inkAround(alignment);
                const std::string which = name + " horizontal " + std::to_string(horizontal) + " vertical " +
                                          std::to_string(vertical);
                ASSERT_FALSE(box.empty()) << which;
                const Point2 a = device(d, alignment);
                const double low = up > 0 ? box.y0 : box.y1, high = up > 0 ? box.y1 : box.y0;
                const double capital = kTextHeight * kScale;  // "HEH": no descender, capitals of the height
                EXPECT_NEAR(std::fabs(high - low), capital, tolerance) << which << ": the ink is the height";
                if (horizontal == 1) {
                    EXPECT_NEAR((box.x0 + box.x1) / 2.0, a.x, tolerance) << which << ": centred";
                }
                if (horizontal == 2) {
                    EXPECT_NEAR(box.x1, a.x, tolerance) << which << ": ends at the point";
                }
                if (horizontal == 0) {
                    EXPECT_GE(box.x0, a.x - tolerance) << which << ": starts at the point";
                    EXPECT_LT(box.x0, a.x + 0.3 * capital) << which;
                }
                if (vertical == 0) {
                    EXPECT_NEAR(low, a.y, tolerance) << which << ": on its baseline";
                }
                if (vertical == 2) {
                    EXPECT_NEAR((low + high) / 2.0, a.y, tolerance) << which << ": middle";
                }
                if (vertical == 3) {
                    EXPECT_NEAR(high, a.y, tolerance) << which << ": top";
                }
                if (vertical == 1) {
                    // Bottom: the font's descent below the baseline lies on the point.
                    EXPECT_GT((low - a.y) * (up > 0 ? 1 : -1), tolerance) << which << ": raised by the descent";
                    EXPECT_LT((low - a.y) * (up > 0 ? 1 : -1), 0.5 * capital) << which;
                }
            }
        }
        // Middle (4): the ink's centre on the point.
        const InkBox middle = inkAround({300, 0});
        const Point2 m = device(d, {300, 0});
        EXPECT_NEAR((middle.x0 + middle.x1) / 2.0, m.x, tolerance) << name << " middle";
        EXPECT_NEAR((middle.y0 + middle.y1) / 2.0, m.y, tolerance) << name << " middle";
        // Aligned (3): stretched to span the two points, its height with it; fit (5): within
        // the two points at its own height.
        const InkBox aligned = inkAround({30, -100});
        EXPECT_NEAR(aligned.x1 - aligned.x0, 60.0 * kScale, 0.05 * 60.0 * kScale) << name << " aligned";
        EXPECT_GT(std::fabs(aligned.y1 - aligned.y0), 1.2 * kTextHeight * kScale) << name << " aligned";
        const InkBox fit = inkAround({130, -100});
        EXPECT_GE(fit.x0, device(d, {100, -100}).x - tolerance) << name << " fit";
        EXPECT_LE(fit.x1, device(d, {160, -100}).x + tolerance) << name << " fit";
        EXPECT_GT(fit.x1 - fit.x0, 0.8 * 60.0 * kScale) << name << " fit";
        EXPECT_NEAR(std::fabs(fit.y1 - fit.y0), kTextHeight * kScale, tolerance) << name << " fit";
    }
}

// The style says backward and upside down; the text's own clear flags draw it plainly: to the
// right of its start and above its baseline. The text that sets the backward flag runs left.
TEST_F(PictureFixturesTest, TheTextsOwnFlagsDecideItsMirroring) {
    for (const auto& [name, d] : readBoth("mirrored_style_text_2000.dxf")) {
        const std::vector<test::Stroke> strokes = strokeList(draw(d, {0, 0}, 200, 2000));
        const Point2 label = device(d, {0, 0}), mirror = device(d, {0, -50});
        const double up = device(d, {0, 1}).y - label.y;
        InkBox plain, backward;
        for (const auto& [a, b] : strokes) {
            for (const test::DevicePair& p : {a, b}) {
                if (std::fabs(p.second - label.y) < 200) plain.add(p.first, p.second);
                if (std::fabs(p.second - mirror.y) < 200) backward.add(p.first, p.second);
            }
        }
        ASSERT_FALSE(plain.empty()) << name;
        EXPECT_GE(plain.x0, label.x - 1) << name << ": runs right of its start";
        EXPECT_GT(plain.x1, label.x + 200) << name;
        EXPECT_GE((up > 0 ? plain.y0 : -plain.y1), (up > 0 ? label.y : -label.y) - 1) << name << ": stands up";
        ASSERT_FALSE(backward.empty()) << name;
        EXPECT_LE(backward.x1, mirror.x + 1) << name << ": backward runs left of its start";
    }
}

// A spline leader of three vertices bends through its middle vertex: a chord ends on it and
// the curve leaves the straight segments between the vertices.
TEST_F(PictureFixturesTest, ASplineLeaderOfThreeVerticesIsACurve) {
    for (const auto& [name, d] : readBoth("spline_leader_2000.dxf")) {
        const std::vector<test::Stroke> strokes = strokeList(draw(d, {50, 25}, 120, 1200));
        ASSERT_GT(strokes.size(), 4u) << name;
        const Point2 middle = device(d, {50, 50});
        bool throughMiddle = false;
        double farthest = 0.0;  // from the two straight segments, in device units
        const Point2 a = device(d, {0, 0}), c = device(d, {100, 50});
        auto distanceToSegment = [](Point2 p, Point2 s, Point2 e) {
            const double dx = e.x - s.x, dy = e.y - s.y;
            const double t = std::clamp(((p.x - s.x) * dx + (p.y - s.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
            return std::hypot(p.x - s.x - t * dx, p.y - s.y - t * dy);
        };
        for (const auto& [s, e] : strokes) {
            for (const test::DevicePair& p : {s, e}) {
                const Point2 q{double(p.first), double(p.second)};
                if (std::hypot(q.x - middle.x, q.y - middle.y) <= 1.5) throughMiddle = true;
                farthest = std::max(farthest, std::min(distanceToSegment(q, a, middle), distanceToSegment(q, middle, c)));
            }
        }
        EXPECT_TRUE(throughMiddle) << name;
        EXPECT_GT(farthest, 10.0) << name << ": a curve, not the two segments";
    }
}

// A fit-point spline passes through its fit points; one with stored tangents leaves its first
// point along the start tangent (0, 1) and enters its last along the end tangent (1, 0).
TEST_F(PictureFixturesTest, AFitPointSplineTakesItsStoredTangents) {
    for (const auto& [name, d] : readBoth("fit_spline_2000.dxf")) {
        const std::vector<test::Stroke> strokes = strokeList(draw(d, {45, 60}, 200, 2000));
        for (const double offset : {0.0, 100.0}) {
            for (const Point2 fit : {Point2{0, 0}, Point2{30, 20}, Point2{60, 0}, Point2{90, 20}}) {
                const Point2 p = device(d, {fit.x, fit.y + offset});
                const bool touched = std::any_of(strokes.begin(), strokes.end(), [&](const test::Stroke& s) {
                    return std::hypot(s.first.first - p.x, s.first.second - p.y) <= 1.5 ||
                           std::hypot(s.second.first - p.x, s.second.second - p.y) <= 1.5;
                });
                EXPECT_TRUE(touched) << name << " through (" << fit.x << ", " << fit.y + offset << ")";
            }
        }
        // The first chord of the spline with tangents: from (0, 0) nearly straight up.
        const Point2 start = device(d, {0, 0}), end = device(d, {90, 20});
        for (const auto& [s, e] : strokes) {
            for (const auto& [from, to] : {std::pair{s, e}, std::pair{e, s}}) {
                if (std::hypot(from.first - start.x, from.second - start.y) <= 1.0) {
                    EXPECT_LT(std::fabs(double(to.first - from.first)), 0.35 * std::fabs(double(to.second - from.second)))
                        << name << ": leaves along (0, 1)";
                }
                if (std::hypot(to.first - end.x, to.second - end.y) <= 1.0) {
                    EXPECT_LT(std::fabs(double(to.second - from.second)), 0.35 * std::fabs(double(to.first - from.first)))
                        << name << ": enters along (1, 0)";
                }
            }
        }
    }
}

// A coordinate of 1e304 draws what it can but never reaches the extents.
TEST_F(PictureFixturesTest, AFarCoordinateStaysOutOfTheExtents) {
    for (const auto& [name, d] : readBoth("far_coordinate_2000.dxf")) {
        draw(d, {5, 5}, 20, 200);
        Point3 low, high;
        ASSERT_EQ(genCollectedExtents(d, low, high), 1) << name;
        EXPECT_NEAR(low.x, 0.0, 0.2) << name;
        EXPECT_NEAR(low.y, 0.0, 0.2) << name;
        EXPECT_NEAR(high.x, 10.0, 0.2) << name;
        EXPECT_NEAR(high.y, 10.0, 0.2) << name;
        ViewBlock extents;
        ASSERT_EQ(genGetViewBlock(d, extents), 1) << name;
        EXPECT_LT(extents.width, 100.0) << name;
    }
}

} // namespace
} // namespace tracemill
