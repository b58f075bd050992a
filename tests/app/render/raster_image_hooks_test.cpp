// The raster-image hook (finding and converting picture files) and the raster-data hooks of
// the screen, print and DC sets, on tagged blocks built here.
#include <filesystem>
#include <fstream>

#include "app/image/dib.h"
#include "app/render/drawing_object.h"
#include "app/render/picture_hooks.h"
#include "app/render/raster_data_reader.h"
#include "hook_test_support.h"
#include "raster_block_builder.h"
#include "temp_folder.h"
#include "test_paths.h"
#include "toolkit/core/paged_stream.h"

namespace tracemill::test {
namespace {

constexpr QRgb kGreyBackground = qRgb(128, 128, 128);
constexpr QRgb kRasterWhite = qRgb(255, 255, 255);

class RasterHooks : public HookSetTest {
protected:
    void SetUp() override {
        HookSetTest::SetUp();
        GetRasterDataReader().reset();
    }
    void TearDown() override {
        GetRasterDataReader().reset();
        HookSetTest::TearDown();
    }
    // A grey image, so that white and black pixels both show.
    void startGreyImage(int width, int height) {
        startImage(width, height);
        dc->fillRect({0, 0, width, height}, gdi::rgb(128, 128, 128));
    }
    // Every pixel that is not the background, as (x, y, colour).
    std::vector<std::tuple<int, int, QRgb>> drawnPixels(QRgb background) {
        finishImage();
        std::vector<std::tuple<int, int, QRgb>> drawn;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF))
                    drawn.emplace_back(x, y, image.pixel(x, y));
        return drawn;
    }
    QRgb at(int x, int y) { return image.pixel(x, y); }

    CDrawingObject drawingObject;
};

// A piece of three large pixels: picture column 2 is cut at a quarter, so the first whole
// column (3) starts at 10 + 0.75 x 3 = 12.25; steps of 3 device units along x.
std::vector<uint8_t> largePixelPiece() {
    RasterBlockBuilder b;
    b.header(8, 1, kRasterFormatRgb).rowStart();
    b.piece({10, 20, 2, 0.25, 255, 255, 0}, {21.25, 20, 6, 0, 0, 0, 0}, 3, 3.0, 0.0);
    b.rgb(255, 0, 0).rgb(0, 255, 0).rgb(0, 0, 255);
    return b.bytes;
}

// Four one-unit pixels from x 5.5 on, at y 3.
std::vector<uint8_t> smallPixelPiece(std::initializer_list<std::array<uint8_t, 3>> colours) {
    RasterBlockBuilder b;
    b.header(6, 1, kRasterFormatRgb).rowStart();
    b.piece({5, 3, 0, 0.5}, {9.5, 3, 5, 0.5}, uint32_t(colours.size()), 1.0, 0.0);
    for (const auto& c : colours) b.rgb(c[0], c[1], c[2]);
    return b.bytes;
}

TEST_F(RasterHooks, LargePixelsAreQuadrilateralsOfTheirOwnColumnsFromTheCutStartOn) {
    startImage(30, 30);
    const std::vector<uint8_t> block = largePixelPiece();
    ScreenRasterData(block.data(), uint32_t(block.size()), &drawingObject);
    finishImage();
    // The cut column 2 in the start block's colour, then red, green and blue three units each
    // below the row line y = 20.
    EXPECT_EQ(at(11, 18), qRgb(255, 255, 0));
    EXPECT_EQ(at(12, 18), qRgb(255, 0, 0)) << "the first pixel begins at 12.25";
    EXPECT_EQ(at(14, 18), qRgb(255, 0, 0));
    EXPECT_EQ(at(16, 18), qRgb(0, 255, 0));
    EXPECT_EQ(at(19, 18), qRgb(0, 0, 255));
    EXPECT_EQ(at(20, 17), qRgb(0, 0, 255));
    EXPECT_EQ(at(23, 18), kRasterWhite);
    EXPECT_EQ(at(9, 18), kRasterWhite);
    EXPECT_EQ(at(14, 15), kRasterWhite) << "the row reaches one step below its line";
}

TEST_F(RasterHooks, PixelsOfABlockThatContinuesInTheNextDrawTheSame) {
    startImage(30, 30);
    const std::vector<uint8_t> whole = largePixelPiece();
    ScreenRasterData(whole.data(), uint32_t(whole.size()), &drawingObject);
    finishImage();
    const QImage once = image.copy();
    startImage(30, 30);
    const size_t cut = whole.size() - 6;  // after the first pixel
    ScreenRasterData(whole.data(), uint32_t(cut), &drawingObject);
    ScreenRasterData(whole.data() + cut, uint32_t(whole.size() - cut), &drawingObject);
    finishImage();
    EXPECT_EQ(image, once);
}

TEST_F(RasterHooks, SmallPixelsAreSetAtTheirColumnsStart) {
    startImage(12, 6);
    const std::vector<uint8_t> block = smallPixelPiece({{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}});
    ScreenRasterData(block.data(), uint32_t(block.size()), &drawingObject);
    const std::vector<std::tuple<int, int, QRgb>> expected = {
        {6, 3, qRgb(255, 0, 0)}, {7, 3, qRgb(0, 255, 0)}, {8, 3, qRgb(0, 0, 255)}, {9, 3, qRgb(10, 20, 30)}};
    EXPECT_EQ(drawnPixels(kRasterWhite), expected);
}

TEST_F(RasterHooks, ColourModesTurnPixelsGreyOrBlackAndWhiteByTheirLightness) {
    const struct {
        int16_t mode;
        std::array<uint8_t, 3> in;
        QRgb out;
    } cases[] = {
        {kColorModeColors, {255, 0, 0}, qRgb(255, 0, 0)},
        {kColorModeGray, {255, 0, 0}, qRgb(76, 76, 76)},
        {kColorModeGray, {0, 0, 255}, qRgb(29, 29, 29)},
        {kColorModeBlackWhite, {200, 200, 200}, qRgb(255, 255, 255)},  // white paper stays white
        {kColorModeBlackWhite, {128, 128, 128}, qRgb(255, 255, 255)},
        {kColorModeBlackWhite, {100, 100, 100}, qRgb(0, 0, 0)},
        {kColorModeBlackWhite, {255, 0, 0}, qRgb(0, 0, 0)},
        {kColorModeBlackWhite, {0, 255, 0}, qRgb(255, 255, 255)},
    };
    for (const auto& c : cases) {
        drawingObject.SetColorMode(c.mode);
        startImage(12, 6);
        dc->fillRect({0, 0, 12, 6}, gdi::rgb(1, 2, 3));
        const std::vector<uint8_t> block = smallPixelPiece({c.in});
        ScreenRasterData(block.data(), uint32_t(block.size()), &drawingObject);
        finishImage();
        EXPECT_EQ(at(6, 3), c.out) << "mode " << c.mode << " colour " << int(c.in[0]) << "," << int(c.in[1]) << ","
                                   << int(c.in[2]);
    }
    drawingObject.SetColorMode(kColorModeColors);
}

TEST_F(RasterHooks, TwoColourPixelsAreWhiteForSetBitsAndMatchTheirColourTwin) {
    startGreyImage(12, 6);
    RasterBlockBuilder bits;
    bits.header(6, 1, kRasterFormatTwoColours).rowStart();
    bits.piece({5, 3, 0, 0.5}, {9.5, 3, 5, 0.5}, 4, 1.0, 0.0).raw({0b10100000});
    ScreenRasterData(bits.bytes.data(), uint32_t(bits.bytes.size()), &drawingObject);
    const auto fromBits = drawnPixels(kGreyBackground);
    const std::vector<std::tuple<int, int, QRgb>> expected = {
        {6, 3, qRgb(255, 255, 255)}, {7, 3, qRgb(0, 0, 0)}, {8, 3, qRgb(255, 255, 255)}, {9, 3, qRgb(0, 0, 0)}};
    EXPECT_EQ(fromBits, expected);
    startGreyImage(12, 6);
    const std::vector<uint8_t> rgb = smallPixelPiece({{255, 255, 255}, {0, 0, 0}, {255, 255, 255}, {0, 0, 0}});
    ScreenRasterData(rgb.data(), uint32_t(rgb.size()), &drawingObject);
    EXPECT_EQ(drawnPixels(kGreyBackground), fromBits);
}

TEST_F(RasterHooks, TheClipRectangleBoundsWhatIsDrawn) {
    // Pixels up to two steps beyond the clip rectangle are still drawn.
    startImage(12, 6);
    GetGdiOutputState().clip = {0, 0, 6, 5};
    const std::vector<uint8_t> block = smallPixelPiece({{255, 0, 0}, {255, 0, 0}, {255, 0, 0}, {255, 0, 0}});
    ScreenRasterData(block.data(), uint32_t(block.size()), &drawingObject);
    EXPECT_EQ(pixelsOf(qRgb(255, 0, 0)), (std::vector<gdi::Point>{{6, 3}, {7, 3}, {8, 3}}));
    // A piece wholly beside the rectangle draws nothing, and the next piece is read right.
    startImage(12, 6);
    GetGdiOutputState().clip = {0, 0, 11, 2};
    RasterBlockBuilder b;
    b.header(6, 2, kRasterFormatRgb).rowStart();
    b.piece({5, 4, 0, 0.5}, {9.5, 4, 5, 0.5}, 2, 1.0, 0.0).rgb(255, 0, 0).rgb(255, 0, 0).rowStart();
    b.piece({5, 1, 0, 0.5}, {9.5, 1, 5, 0.5}, 2, 1.0, 0.0).rgb(0, 0, 255).rgb(0, 0, 255);
    ScreenRasterData(b.bytes.data(), uint32_t(b.bytes.size()), &drawingObject);
    const std::vector<std::tuple<int, int, QRgb>> expected = {{6, 1, qRgb(0, 0, 255)}, {7, 1, qRgb(0, 0, 255)}};
    EXPECT_EQ(drawnPixels(kRasterWhite), expected);
    GetGdiOutputState().clip = {};
}

TEST_F(RasterHooks, TheDcVariantDrawsWhiteIntoTheMask) {
    startImage(12, 6);
    QImage maskImage(12, 6, QImage::Format_RGB32);
    maskImage.fill(Qt::black);
    gdi::ImageDeviceContext mask(maskImage);
    GdiOutputState& state = GetGdiOutputState();
    state.height = 6;
    SetDcOutputHooks(true, &mask);
    const std::vector<uint8_t> pixels = smallPixelPiece({{255, 0, 0}, {0, 255, 0}});
    DcRasterData(pixels.data(), uint32_t(pixels.size()), &drawingObject);
    const std::vector<uint8_t> large = largePixelPiece();
    RasterBlockBuilder quad;
    quad.header(2, 1, kRasterFormatRgb).rowStart().piece({0, 6, 0, 0}, {3, 6, 1, 0}, 1, 3.0, 0.0).rgb(0, 0, 255);
    DcRasterData(quad.bytes.data(), uint32_t(quad.bytes.size()), &drawingObject);
    mask.end();
    finishImage();
    SetDcOutputHooks(false, nullptr);
    // y is turned upwards: the row at y 3 lands on row 6 - 3.
    EXPECT_EQ(at(6, 3), qRgb(255, 0, 0));
    EXPECT_EQ(at(7, 3), qRgb(0, 255, 0));
    EXPECT_EQ(at(1, 1), qRgb(0, 0, 255)) << "the quadrilateral below the row line y 6";
    for (const gdi::Point p : {gdi::Point{6, 3}, gdi::Point{7, 3}, gdi::Point{1, 1}})
        EXPECT_EQ(maskImage.pixel(p.x, p.y) & 0xFFFFFF, 0xFFFFFFu) << p.x << "," << p.y;
    EXPECT_EQ(maskImage.pixel(9, 3) & 0xFFFFFF, 0u);
}

TEST_F(RasterHooks, ThePrintVariantTurnsEveryPositionAndDrawsOnlyWhilePrinting) {
    GdiOutputState& state = GetGdiOutputState();
    state.width = 12;
    state.height = 20;
    state.printRotation = 1;  // (x, y) -> (height - y, x), then the offset
    state.printOffsetX = 1;
    state.printOffsetY = 2;
    const std::vector<uint8_t> block = smallPixelPiece({{255, 0, 0}, {0, 255, 0}});
    startImage(24, 24);
    state.printOutput = 0;
    PrintRasterData(block.data(), uint32_t(block.size()), &drawingObject);
    EXPECT_TRUE(drawnPixels(kRasterWhite).empty());
    startImage(24, 24);
    state.printOutput = 1;
    PrintRasterData(block.data(), uint32_t(block.size()), &drawingObject);
    const std::vector<std::tuple<int, int, QRgb>> expected = {{18, 8, qRgb(255, 0, 0)}, {18, 9, qRgb(0, 255, 0)}};
    EXPECT_EQ(drawnPixels(kRasterWhite), expected);
    state.printOutput = 0;
    state.printRotation = 0;
    state.printOffsetX = state.printOffsetY = 0;
}

// --- Finding and converting picture files.

class RasterImageFiles : public HookSetTest {
protected:
    TempFolder folder;
    CDrawingObject drawingObject;
};

TEST_F(RasterImageFiles, EveryFormatReachesTheToolkitAsABmpFileImage) {
    const struct {
        const char* file;
        int32_t width, height;
    } cases[] = {
        {"bmp_24.bmp", 7, 5},  {"jpeg_rgb.jpg", 16, 16},   {"png_rgb_phys.png", 7, 5},
        {"tif_rgb.tif", 7, 5}, {"gif_indexed.gif", 13, 5}, {"wbmp_11x5.wbmp", 11, 5},
    };
    for (const auto& c : cases) {
        const std::string path = (testDataDir() / "image" / c.file).string();
        PagedStream* picture = reinterpret_cast<PagedStream*>(1);
        LoadRasterImageHook(path.c_str(), picture, &drawingObject);
        ASSERT_NE(picture, nullptr) << c.file;
        const std::vector<uint8_t>& bytes = picture->bytes;
        ASSERT_GE(bytes.size(), 2u) << c.file;
        EXPECT_EQ(bytes[0], 'B') << c.file;
        EXPECT_EQ(bytes[1], 'M') << c.file;
        CDib dib;
        EXPECT_TRUE(dib.Read(bytes)) << c.file;
        EXPECT_EQ(dib.GetWidth(), c.width) << c.file;
        EXPECT_EQ(dib.GetHeight(), c.height) << c.file;
        if (std::string(c.file).ends_with(".bmp")) {
            EXPECT_EQ(bytes, readFileBytes(path)) << "handed as it is";
        }
        dbStreamDestroy(picture);
    }
}

TEST_F(RasterImageFiles, NamesAreFoundBesideTheDrawingAndMissingOrDamagedFilesGiveNoStream) {
    std::filesystem::create_directories(folder.path() / "site/img");
    std::filesystem::create_directories(folder.path() / "site/dwg");
    std::filesystem::copy_file(testDataDir() / "image/png_rgb_phys.png", folder.path() / "site/img/photo.png");
    std::filesystem::copy_file(testDataDir() / "image/png_rgb_phys.png", folder.path() / "site/dwg/aerial.png");
    std::ofstream(folder.path() / "site/dwg/broken.png") << "not a picture at all";
    std::ofstream(folder.path() / "site/dwg/broken.jpg") << "not a picture at all";
    std::ofstream(folder.path() / "site/dwg/broken.bmp") << "MB not a picture";
    const struct {
        const char* source;  // the drawing, under the folder
        const char* name;
        bool found;
    } cases[] = {
        {"site/dwg/plan.dxf", "..\\img\\Photo.PNG", true},      // relative to the drawing
        {"site/plan.dxf", "..\\img\\Photo.PNG", true},          // the drawing moved up: img/photo.png beside it
        {"site/dwg/plan.dxf", "C:\\Survey\\AERIAL.png", true},   // the file part in the drawing's folder
        {"site/dwg/plan.dxf", "missing.png", false},
        {"site/dwg/plan.dxf", "broken.png", false},
        {"site/dwg/plan.dxf", "broken.jpg", false},
        {"site/dwg/plan.dxf", "broken.bmp", false},
        {"site/dwg/plan.dxf", "..\\img\\", false},
        {"site/dwg/plan.dxf", "", false},
    };
    for (const auto& c : cases) {
        drawingObject.SetSourcePath(folder / c.source);
        PagedStream* picture = reinterpret_cast<PagedStream*>(1);
        LoadRasterImageHook(c.name, picture, &drawingObject);
        EXPECT_EQ(picture != nullptr, c.found) << c.source << " " << c.name;
        dbStreamDestroy(picture);
    }
}

} // namespace
} // namespace tracemill::test
