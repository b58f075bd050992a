// Lineweight codes as widths: the 26 standard values in millimetres, a plot style table's own
// lineweights, and drawing units in model space and on paper.
#include "toolkit/display/lineweights.h"

#include <gtest/gtest.h>

#include <memory>

#include "display_drawing_fixture.h"

namespace tracemill {
namespace {

class Lineweights : public test::DisplayDrawingTest {
protected:
    double mm(int32_t code) {
        double width = -1.0;
        EXPECT_EQ(dbLineweightToMm(drawing, code, width), 1);
        return width;
    }
};

TEST_F(Lineweights, StandardCodesAreHundredthsOfAMillimetre) {
    ASSERT_EQ(kStandardLineweights.size(), 26u);
    for (size_t i = 0; i < kStandardLineweights.size(); ++i) {
        const int16_t code = kStandardLineweights[i];
        EXPECT_EQ(dbLineweightPosition(code), int(i) + 1) << code;
        EXPECT_DOUBLE_EQ(mm(code), code / 100.0) << code;
    }
    EXPECT_DOUBLE_EQ(mm(25), 0.25);
    EXPECT_DOUBLE_EQ(mm(211), 2.11);
    for (int32_t other : {26, 0, -1, -2, -3, 212, 1000, -32768}) {
        EXPECT_EQ(dbLineweightPosition(other), 0) << other;
        EXPECT_EQ(mm(other), 0.0) << other;
    }
}

TEST_F(Lineweights, AnAttachedPlotStyleTableGivesItsOwnWidths) {
    auto table = std::make_unique<PlotStyleTable>();
    table->customLineweights[0] = 0.01;
    table->customLineweights[8] = 0.4;  // the position of code 25
    display().plotStyleTable = std::move(table);
    EXPECT_EQ(mm(25), 0.4);
    EXPECT_EQ(mm(26), 0.01) << "every other code takes position 0";
    EXPECT_EQ(mm(-1), 0.01);
    EXPECT_EQ(mm(30), 0.0);
}

TEST_F(Lineweights, DrawingUnitsFollowTheSpaceAndThePaperUnits) {
    EXPECT_DOUBLE_EQ(dbLineweightToDrawingUnits(drawing, 100), 1.0) << "model space, no factor: millimetres";
    dbSetLineweightScale(0.5);
    EXPECT_DOUBLE_EQ(dbLineweightToDrawingUnits(drawing, 100), 0.5);
    dbSetLineweightScale(0.0);
    EXPECT_EQ(dbLineweightToDrawingUnits(drawing, 100), 0.0);

    display().paperSpace = 1;
    display().paperScale = 3.0;
    display().layout.settings.paperUnits = 0;
    EXPECT_DOUBLE_EQ(dbLineweightToDrawingUnits(drawing, 100), 1.0 / 25.4 * 3.0) << "inches";
    display().layout.settings.paperUnits = 1;
    EXPECT_DOUBLE_EQ(dbLineweightToDrawingUnits(drawing, 100), 3.0) << "millimetres";
    display().layout.settings.paperUnits = 2;
    dbSetLineweightUnitScale(7.0);
    EXPECT_DOUBLE_EQ(dbLineweightToDrawingUnits(drawing, 100), 7.0) << "other units: without the paper scale";

    display().paperSpace = 0;
    dbSetLineweightScale(-1.0);
    EXPECT_DOUBLE_EQ(dbLineweightToDrawingUnits(drawing, 50), 0.5) << "model space again";
}

} // namespace
} // namespace tracemill
