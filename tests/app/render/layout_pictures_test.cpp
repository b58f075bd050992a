// A paper layout exported as a BMP shows its sheet, the model space its viewport looks at inside
// the viewport's rectangle and nowhere else, and what lies on the paper: the fixture of
// tests/data/pictures read from its DXF and from the DWG our writer makes of it. Model space is
// drawn in red, the line on paper in green.
#include <QImage>

#include <string>
#include <vector>

#include "app/render/raster_export.h"
#include "drawing_object_test_support.h"
#include "render_test_support.h"
#include "toolkit/core/drawing.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/write/save_driver.h"

namespace tracemill::test {
namespace {

constexpr int kWidth = 800, kHeight = 600;
constexpr int16_t kVersion2000 = 7;
constexpr int32_t kBmp = 1;

bool isRed(uint32_t rgb) { return (rgb >> 16 & 0xFF) > 200 && (rgb >> 8 & 0xFF) < 80 && (rgb & 0xFF) < 80; }
bool isGreen(uint32_t rgb) { return (rgb >> 16 & 0xFF) < 80 && (rgb >> 8 & 0xFF) > 200 && (rgb & 0xFF) < 80; }

class LayoutPictures : public DrawingObjectTest {};

TEST_F(LayoutPictures, APaperLayoutShowsModelSpaceOnlyInsideItsViewport) {
    ScratchFolder folder("layout-pictures");
    const std::string dxf = (testDataDir() / "pictures" / "paper_layout_2000.dxf").string();
    const std::string dwg = (folder / "paper_layout_2000.dwg").string();
    {
        Drawing* source = rdOpenDrawing(dxf.c_str(), kOpenOrdinary, 0);
        ASSERT_NE(source, nullptr);
        EXPECT_EQ(wrSaveDrawing(source, dwg.c_str(), 0, kVersion2000, kSaveRealSwitch, kSaveDecimalPlaces,
                                kSaveEntitySwitch, kSaveOldDxfFlag),
                  1);
        dbFreeDrawing(source);
    }
    for (const std::string& path : {dxf, dwg}) {
        SCOPED_TRACE(path);
        ASSERT_EQ(object().Open(path.c_str(), nullptr, false, ""), 0);
        ASSERT_EQ(object().GetLayoutCount(), 2);
        object().SetActiveLayout(1);
        const std::string bmp = (folder / "sheet.bmp").string();
        ASSERT_TRUE(ExportRasterImage(&object(), kWidth, kHeight, 0, true, kBmp, 8, false, (folder / "sheet.dwg").string()));
        const QImage image(QString::fromStdString(bmp));
        ASSERT_EQ(image.width(), kWidth);

        // The viewport (100 x 80 around (100, 100) on the sheet) in pixels, under the view the
        // export zoomed to.
        object().SetClientSize(kWidth, kHeight);
        int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        const Point3 low{50.0, 60.0, 0.0}, high{150.0, 140.0, 0.0};
        object().WorldToDevice(&low, &x0, &y0);
        object().WorldToDevice(&high, &x1, &y1);
        const int left = x0, right = x1, top = kHeight - y1, bottom = kHeight - y0;
        ASSERT_LT(left + 50, right);
        ASSERT_LT(top + 40, bottom);

        int redInside = 0, redOutside = 0, green = 0, dark = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const uint32_t rgb = rgbAt(image, x, y);
                const bool inside = x >= left - 1 && x <= right + 1 && y >= top - 1 && y <= bottom + 1;
                if (isRed(rgb)) ++(inside ? redInside : redOutside);
                if (isGreen(rgb)) ++green;
                if (rgb == 0) ++dark;
            }
        }
        EXPECT_GT(redInside, 200) << "the model space the viewport shows";
        EXPECT_EQ(redOutside, 0) << "no model space outside the viewport";
        EXPECT_GT(green, 100) << "the line on the paper";
        EXPECT_GT(dark, 1000) << "the sheet's outline and shadow, the viewport's border";
    }
}

} // namespace
} // namespace tracemill::test
