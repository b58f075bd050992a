// Every sample drawing that loads, exported zoomed to its extents to all ten formats (the
// rasters with their masks) and read back by the tools people open the files with; then the
// bitmap, the SVG and the PDF compared as pictures.
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/render/pen_width_table.h"
#include "app/render/raster_export.h"
#include "app/render/vector_export.h"
#include "cgm_test_reader.h"
#include "drawing_object_test_support.h"
#include "external_tools.h"
#include "ink_compare.h"
#include "render_test_support.h"

namespace tracemill::test {
namespace {

// The samples that load, by their folder and name.
const char* const kLoadableSamples[] = {
    "dwg/2000_entities-2d.dwg", "dwg/example_2000.dwg",   "dwg/example_r13.dwg",      "dwg/example_r14.dwg",
    "dwg/oscilloscope_case_2000.dwg", "dwg/r10_entities.dwg", "dwg/r11_entities-2d.dwg", "dwg/r2.6_entities.dwg",
    "dwg/r9_entities.dwg",    "dxf/2000_entities-2d.dxf", "dxf/example_2000.dxf",     "dxf/example_2000.dxfb",
    "dxf/example_r12.dxf",    "dxf/r11_entities-2d.dxf",  "dxf/r14_Leader.dxf",       "dxf/r2.6_entities.dxf",
    "dxf/sample_r14.dxf",
};

constexpr int kWidth = 800;
constexpr int kHeight = 600;

struct RasterCase {
    int32_t id;
    const char* extension;
};
constexpr RasterCase kRasters[] = {{1, ".bmp"}, {2, ".jpg"}, {3, ".gif"}, {4, ".pcx"}};

class SampleExport : public DrawingObjectTest, public testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        DrawingObjectTest::SetUp();
        // White paper: the rasters and the vector files put ink on the same ground.
        SetApplicationBackgroundColor(7);
    }
    void TearDown() override {
        SetApplicationBackgroundColor(0);
        GetPenWidthTable() = PenWidthTable{};
        for (size_t i = 0; i < kPenWidthTableSize; ++i) GetPenWidthTable()[i].mappedColorIndex = int16_t(i);
        DrawingObjectTest::TearDown();
    }
};

// The part of an image inside a margin.
RgbImage cropped(const RgbImage& image, int margin) {
    RgbImage out;
    out.width = image.width - 2 * margin;
    out.height = image.height - 2 * margin;
    for (int y = 0; y < out.height; ++y) {
        const uint8_t* row = &image.rgb[(size_t(y + margin) * size_t(image.width) + size_t(margin)) * 3];
        out.rgb.insert(out.rgb.end(), row, row + size_t(out.width) * 3);
    }
    return out;
}

// Both ways: 98 % of the ink of each picture lies within 2 pixels of ink of the other.
void expectSamePicture(const RgbImage& a, const RgbImage& b, const char* what) {
    SCOPED_TRACE(what);
    ASSERT_EQ(a.width, b.width);
    ASSERT_EQ(a.height, b.height);
    int inkA = 0, inkB = 0;
    const double ab = InkMatch(a, b, 0, 0, 2, &inkA);
    const double ba = InkMatch(b, a, 0, 0, 2, &inkB);
    EXPECT_EQ(inkA == 0, inkB == 0) << inkA << " and " << inkB << " ink pixels";
    if (inkA > 0) {
        EXPECT_GE(ab, 0.98) << inkA << " ink pixels";
    }
    if (inkB > 0) {
        EXPECT_GE(ba, 0.98) << inkB << " ink pixels";
    }
}

TEST_P(SampleExport, EveryFormatIsWrittenAndReadBack) {
    TM_REQUIRE_SAMPLES(samples);
    for (const char* tool : {"xmllint", "rsvg-convert", "qpdf", "pdfinfo", "pdftoppm", "gs", "hp2xx", "identify"}) {
        TM_REQUIRE_TOOL(tool);
    }
    const std::filesystem::path source = samples / GetParam();
    ASSERT_EQ(object().Open(source.c_str(), nullptr, true, ""), 0);
    object().SaveViewState();
    ScratchFolder folder("sample-export");
    const std::string base = (folder / std::filesystem::path(GetParam()).stem()).string();
    auto file = [&](const char* extension) { return base + extension; };
    auto quoted = [&](const char* extension) { return shellQuote(file(extension)); };

    // Vector files with pens of 0.02 inch, which every reader draws at least a pixel wide.
    for (PenWidthEntry& pen : GetPenWidthTable()) pen.exportWidth = 0.02;
    for (int32_t id : {1, 6, 3, 4, 7, 8}) {
        ASSERT_TRUE(ExportVectorFile(&object(), kWidth, kHeight, true, 3, id, true, base + ".dwg", nullptr)) << id;
    }
    for (const RasterCase& raster : kRasters) {
        ASSERT_TRUE(ExportRasterImage(&object(), kWidth, kHeight, 0, true, raster.id, 8, true,
                                      file(raster.extension)))
            << raster.extension;
        object().RestoreViewState();
    }

    EXPECT_TRUE(runCommand("xmllint --noout " + quoted(".svg") + " " + quoted(".svgz")));
    const std::optional<RgbImage> svg = RenderSvg(file(".svg"), file("-svg.png"));
    EXPECT_TRUE(svg);
    EXPECT_TRUE(RenderSvg(file(".svgz"), file("-svgz.png")));
    EXPECT_TRUE(runCommand("qpdf --check " + quoted(".pdf")));
    EXPECT_TRUE(runCommand("pdfinfo " + quoted(".pdf")));
    EXPECT_TRUE(runCommand("pdftoppm -r 72 -png -singlefile " + quoted(".pdf") + " " + shellQuote(base + "-pdf")));
    EXPECT_TRUE(runCommand("gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=png16m -o " + quoted("-eps.png") +
                           " " + quoted(".eps")));
    EXPECT_TRUE(std::filesystem::file_size(file("-eps.png")) > 0);
    EXPECT_TRUE(runCommand("cd " + shellQuote(folder.path().string()) + " && hp2xx -q -m png -f " +
                           quoted("-hgl.png") + " " + quoted(".hgl")));
    const CgmFile cgm = ReadCgm(readFileBytes(file(".cgm")));
    EXPECT_EQ(cgm.error, "");

    std::string rasters;
    for (const RasterCase& raster : kRasters) rasters += " " + quoted(raster.extension);
    rasters += " " + quoted("_mask.bmp");
    const std::optional<std::string> sizes = runCommand("identify -format '%w %h %z\\n'" + rasters);
    ASSERT_TRUE(sizes);
    EXPECT_EQ(*sizes, "800 600 8\n800 600 8\n800 600 8\n800 600 8\n800 600 1\n");

    // The pictures: the bitmap, the SVG and the PDF inside its 15-point margin.
    const std::optional<RgbImage> bmp = readWithImageMagick(file(".bmp"));
    const std::optional<RgbImage> pdf = readWithImageMagick(base + "-pdf.png");
    ASSERT_TRUE(bmp && svg && pdf);
    ASSERT_EQ(pdf->width, kWidth + 30);
    expectSamePicture(*bmp, *svg, "bitmap and SVG");
    expectSamePicture(*bmp, cropped(*pdf, 15), "bitmap and PDF");
}

std::string sampleTestName(const testing::TestParamInfo<const char*>& info) {
    std::string name = info.param;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleExport, testing::ValuesIn(kLoadableSamples), sampleTestName);

// A sample added to the folder is exported too: every sample that opens is in the list.
TEST(SampleExportList, NamesEverySampleThatOpens) {
    TM_REQUIRE_SAMPLES(samples);
    const std::set<std::string> listed(std::begin(kLoadableSamples), std::end(kLoadableSamples));
    std::set<std::string> found;
    for (const char* folder : {"dwg", "dxf"}) {
        for (const auto& entry : std::filesystem::directory_iterator(samples / folder)) {
            found.insert(std::string(folder) + "/" + entry.path().filename().string());
        }
    }
    for (const std::string& name : listed) EXPECT_TRUE(found.count(name)) << name;
    for (const std::string& name : found) {
        if (!listed.count(name)) {
            EXPECT_TRUE(name == "dwg/r1.4_entities.dwg" || name == "dwg/example_2004.dwg") << name;
        }
    }
}

} // namespace
} // namespace tracemill::test
