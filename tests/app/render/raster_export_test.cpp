// Raster export of a drawing object: the depth and table of each format in black and white,
// the JPEG quality, the mask, the layout export, sizes and formats refused, files that cannot
// be written, and Stop.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/image/dib.h"
#include "app/render/raster_export.h"
#include "drawing_object_test_support.h"
#include "external_tools.h"
#include "render_test_support.h"
#include "toolkit/core/output_hook_table.h"

namespace tracemill::test {
namespace {

class RasterExport : public DrawingObjectTest {
protected:
    void SetUp() override {
        DrawingObjectTest::SetUp();
        openFixture("model_lines.dxf", true);
    }
    bool exportTo(const std::filesystem::path& path, int32_t formatId, bool mask = false, int32_t quality = 8) {
        return ExportRasterImage(&object(), 160, 120, 0, true, formatId, quality, mask, path.string());
    }
};

TEST_F(RasterExport, BlackAndWhiteIsOneBitExceptAsGif) {
    ScratchFolder folder("raster-mono");
    object().SetColorMode(1);
    struct Case {
        int32_t id;
        const char* name;
        int bits;
    };
    for (const Case& c : {Case{1, "plan.bmp", 1}, Case{3, "plan.gif", 8}}) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(exportTo(folder / "plan.dwg", c.id));
        const std::vector<uint8_t> bytes = readFileBytes(folder / c.name);
        ASSERT_GT(bytes.size(), 32u);
        if (c.id == 1) {
            EXPECT_EQ(bytes[28], c.bits);  // biBitCount
            EXPECT_EQ(bytes[46], 0);       // biClrUsed 0: the whole table of 2 colours
        } else {
            // The GIF file class writes a table of 256 entries: the 2 of black and white, then
            // black.
            ASSERT_GT(bytes.size(), 13u + 768u);
            EXPECT_EQ(bytes[10], 0xE7);
            EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 13, bytes.begin() + 19),
                      (std::vector<uint8_t>{0, 0, 0, 255, 255, 255}));
            EXPECT_EQ(std::count(bytes.begin() + 19, bytes.begin() + 13 + 768, 0), 762);
        }
    }
    CDib bmp;
    ASSERT_TRUE(bmp.Load(folder / "plan.bmp"));
    EXPECT_EQ(bmp.GetWidth(), 160);
    EXPECT_EQ(bmp.GetHeight(), 120);
}

TEST_F(RasterExport, JpegQualityIsTheOptionTimesTen) {
    TM_REQUIRE_TOOL("identify");
    ScratchFolder folder("raster-jpeg");
    ASSERT_TRUE(exportTo(folder / "plan.dwg", 2, false, 7));
    const std::optional<std::string> quality =
        runCommand("identify -format %Q " + shellQuote((folder / "plan.jpg").string()));
    ASSERT_TRUE(quality);
    EXPECT_NEAR(std::stoi(*quality), 70, 1);
}

TEST_F(RasterExport, TheMaskIsWhiteExactlyWhereSomethingWasDrawn) {
    ScratchFolder folder("raster-mask");
    SetApplicationBackgroundColor(0);
    ASSERT_TRUE(exportTo(folder / "plan.dwg", 1, true));
    EXPECT_EQ(folder.Files().size(), 2u);
    CDib image, mask;
    ASSERT_TRUE(image.Load(folder / "plan.bmp"));
    ASSERT_TRUE(mask.Load(folder / "plan_mask.bmp"));
    ASSERT_EQ(mask.GetBitCount(), 1);
    ASSERT_EQ(mask.GetWidth(), image.GetWidth());
    ASSERT_EQ(mask.GetHeight(), image.GetHeight());
    const gdi::ColorRef background = image.GetPixel(0, 0);
    int drawn = 0;
    for (int y = 0; y < image.GetHeight(); ++y) {
        for (int x = 0; x < image.GetWidth(); ++x) {
            const bool differs = image.GetPixel(x, y) != background;
            const bool white = mask.GetPixel(x, y) == gdi::rgb(255, 255, 255);
            drawn += differs;
            ASSERT_EQ(differs, white) << x << "," << y;
        }
    }
    EXPECT_GT(drawn, 160);
}

TEST_F(RasterExport, SizesAndFormatsThatNameNoImageWriteNothing) {
    ScratchFolder folder("raster-refused");
    EXPECT_FALSE(ExportRasterImage(&object(), 0, 120, 0, false, 1, 8, true, (folder / "plan.bmp").string()));
    EXPECT_FALSE(ExportRasterImage(&object(), 0, 0, 0, true, 1, 8, true, (folder / "plan.bmp").string()));
    for (int32_t id : {0, 5, -2}) EXPECT_FALSE(exportTo(folder / "plan.bmp", id, true));
    EXPECT_FALSE(ExportRasterImage(&object(), -5, 120, 0, true, 1, 8, true, (folder / "plan.bmp").string()));
    EXPECT_TRUE(folder.Files().empty());
}

TEST_F(RasterExport, AWidthOfZeroIsCompletedFromTheExtents) {
    ScratchFolder folder("raster-width");
    dbSetCurveResolution(23);
    ASSERT_TRUE(ExportRasterImage(&object(), 0, 100, 0, true, 1, 8, false, (folder / "plan.bmp").string()));
    EXPECT_EQ(dbGetCurveResolution(), 23);
    CDib image;
    ASSERT_TRUE(image.Load(folder / "plan.bmp"));
    EXPECT_NEAR(image.GetWidth(), 200, 4);  // the drawing is 100 x 50
    EXPECT_EQ(image.GetHeight(), 100);
}

TEST_F(RasterExport, AFileThatCannotBeWrittenIsAFailureAndLeavesNoImageWithoutItsMask) {
    ScratchFolder folder("raster-unwritable");
    EXPECT_FALSE(exportTo(folder / "missing" / "plan.bmp", 1));
    // The mask's name is taken by a folder: the image written before it goes again.
    std::filesystem::create_directory(folder / "plan_mask.bmp");
    for (int32_t id : {1, 2, 3, 4}) EXPECT_FALSE(exportTo(folder / "plan.dwg", id, true)) << id;
    EXPECT_EQ(folder.Files(), std::vector<std::string>{"plan_mask.bmp"});
}

TEST_F(RasterExport, ALayoutIsExportedWholeAndTheViewStays) {
    ScratchFolder folder("raster-layout");
    CDrawingObject drawing;
    ASSERT_EQ(drawing.Open(renderFixture("two_layouts_2000.dxf").c_str(), nullptr, true, ""), 0);
    drawing.ZoomIn(false);
    const ViewBlock view = drawing.GetView();
    const HostRect rect = drawing.GetDeviceRect();
    double plot[8];
    ASSERT_EQ(drawing.GetLayoutPlotSettings(1, plot), 1);
    const int width = int(plot[6] * 0.5 + 0.5);
    const int height = int(plot[7] * 0.5 + 0.5);
    ASSERT_TRUE(ExportLayoutRasterImage(&drawing, width, height, 1, 0.5, 0, 1, 8, true,
                                        (folder / "sheet.bmp").string()));
    CDib image;
    ASSERT_TRUE(image.Load(folder / "sheet.bmp"));
    int white = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) white += image.GetPixel(x, y) == gdi::rgb(255, 255, 255);
    }
    EXPECT_GT(white, width * height * 9 / 10);
    EXPECT_TRUE(drawing.GetView() == view);
    EXPECT_EQ(drawing.GetDeviceRect(), rect);
    EXPECT_EQ(drawing.GetCurrentLayoutIndex(), 0);
    EXPECT_TRUE(std::filesystem::exists(folder / "sheet_mask.bmp"));
    EXPECT_FALSE(ExportLayoutRasterImage(&drawing, 0, height, 1, 0.5, 0, 1, 8, false, (folder / "x.bmp").string()));
}

TEST_F(RasterExport, AStopLeavesNoFileAndIsNoFailure) {
    ScratchFolder folder("raster-stop");
    StoppableExport interactive;
    for (bool zoomExtents : {true, false}) {
        SCOPED_TRACE(zoomExtents);
        interactive.PressStop();
        EXPECT_TRUE(ExportRasterImage(&object(), 160, 120, 0, zoomExtents, 1, 8, true,
                                      (folder / "plan.bmp").string()));
        EXPECT_TRUE(folder.Files().empty());
        EXPECT_FALSE(interactive.Dialog().IsShown());
    }
}

} // namespace
} // namespace tracemill::test
