#include <gtest/gtest.h>

#include <string>

#include "text_test_support.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/text/shape_text.h"
#include "toolkit/display/text/text_alignment.h"

namespace tracemill {
namespace {

using test::shapeNumbered;
using test::roundedText;

constexpr double kRightAngle = 1.5707963267948966;

std::string pointText(const Point2& p) { return roundedText(p.x) + "," + roundedText(p.y); }

// "W": a stroke from (0,0) to (0,2) and (0,2) to (4,2), advance 4; "I": a stroke up without
// advance. In a font of above 20 and below 6 at height 5, "WW" measures (0,0)-(2,0.5) with the
// descent -1.5.
class TextAlignmentTest : public test::ShapeTextTest {
protected:
    void SetUp() override {
        ShapeTextTest::SetUp();
        addFont("wide.shx", test::shapeFontImage({test::fontInformation(20, 6), shapeNumbered('W', {0x24, 0x40, 2, 0x2C}),
                                                  shapeNumbered('I', {0x14})}));
    }
    static TextParameters parameters(uint8_t horizontal, uint8_t vertical, double rotation = 0.0) {
        TextParameters p;
        p.height = 5.0;
        p.horizontalAlign = horizontal;
        p.verticalAlign = vertical;
        p.rotation = rotation;
        p.alignment = {10.0, 20.0};
        return p;
    }
};

TEST_F(TextAlignmentTest, InsertionPointOfEachAlignment) {
    const struct {
        const char* name;
        uint8_t horizontal, vertical;
        double rotation;
        std::string expected;
    } cases[] = {
        {"centre", kAlignCentre, kAlignBaseline, 0.0, "9,20"},
        {"right", kAlignRight, kAlignBaseline, 0.0, "8,20"},
        {"middle centres on the box", kAlignMiddle, kAlignTop, 0.0, "9,19.75"},
        {"bottom", kAlignLeft, kAlignBottom, 0.0, "10,21.5"},
        {"vertical middle", kAlignLeft, kAlignVerticalMiddle, 0.0, "10,19.75"},
        {"top", kAlignLeft, kAlignTop, 0.0, "10,19.5"},
        {"centre top", kAlignCentre, kAlignTop, 0.0, "9,19.5"},
        {"right bottom", kAlignRight, kAlignBottom, 0.0, "8,21.5"},
        {"right, turned a right angle", kAlignRight, kAlignBaseline, kRightAngle, "10,18"},
        {"top, turned a right angle", kAlignLeft, kAlignTop, kRightAngle, "10.5,20"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TextParameters params = parameters(c.horizontal, c.vertical, c.rotation);
        Point2 insertion{-7.0, -7.0};
        EXPECT_EQ(genTextAlignPoint(drawing, "WW", insertion, params, "wide", ""), 1);
        EXPECT_EQ(pointText(insertion), c.expected);
        EXPECT_EQ(params.height, 5.0);
        EXPECT_EQ(params.widthFactor, 1.0);
    }
}

TEST_F(TextAlignmentTest, AlignedAndFitTextsAreRescaled) {
    const struct {
        const char* name;
        const char* text;
        uint8_t horizontal;
        double height, widthFactor;
    } cases[] = {
        {"aligned scales the height", "WW", kAlignAligned, 7.5, 1.0},
        {"fit scales the width factor", "WW", kAlignFit, 5.0, 1.5},
        {"fit of a string that measures 0 wide", "I", kAlignFit, 5.0, 1.0},
        {"aligned empty string", "", kAlignAligned, 5.0, 1.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TextParameters params = parameters(c.horizontal, kAlignBaseline);
        params.alignment = {3.0, 4.0};
        Point2 insertion{3.0, 1.0};  // three units from the alignment point
        EXPECT_EQ(genTextAlignPoint(drawing, c.text, insertion, params, "wide", ""), 1);
        EXPECT_EQ(pointText(insertion), "3,1") << "the insertion point stays";
        EXPECT_DOUBLE_EQ(params.height, c.height);
        EXPECT_DOUBLE_EQ(params.widthFactor, c.widthFactor);
    }
}

TEST_F(TextAlignmentTest, LeftBaselineAndUnmeasurableTexts) {
    // Left and baseline: nothing is measured, so even a missing font changes nothing.
    TextParameters params = parameters(kAlignLeft, kAlignBaseline);
    Point2 insertion{1.0, 2.0};
    EXPECT_EQ(genTextAlignPoint(drawing, "WW", insertion, params, "nowhere", ""), 1);
    EXPECT_EQ(pointText(insertion), "1,2");

    params = parameters(kAlignRight, kAlignBaseline);
    gSystemContext->errorNumber = 0;
    EXPECT_EQ(genTextAlignPoint(drawing, "WW", insertion, params, "nowhere", ""), 0);
    EXPECT_EQ(gSystemContext->errorNumber, kErrorTextFontNotFound);
    EXPECT_EQ(pointText(insertion), "1,2");

    // A string that draws nothing measures as a point: centred on the alignment point.
    params = parameters(kAlignMiddle, kAlignBaseline);
    EXPECT_EQ(genTextAlignPoint(drawing, "", insertion, params, "wide", ""), 1);
    EXPECT_EQ(pointText(insertion), "10,20");
}

TEST(TextAlignmentGeometry, DistanceAndRotation) {
    EXPECT_DOUBLE_EQ(genPointDistance({1.0, 2.0}, {4.0, 6.0}), 5.0);
    Point2 p{3.0, 2.0};
    genRotatePointAbout(p, {1.0, 2.0}, kRightAngle);
    EXPECT_NEAR(p.x, 1.0, 1e-12);
    EXPECT_NEAR(p.y, 4.0, 1e-12);
    genRotatePointAbout(p, {1.0, 2.0}, -3.0 * kRightAngle);
    EXPECT_NEAR(p.x, -1.0, 1e-12);
    EXPECT_NEAR(p.y, 2.0, 1e-12);
}

} // namespace
} // namespace tracemill
