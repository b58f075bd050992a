// Files of the export devices as the tools people open them with read them: the scripted
// page as SVG, SVGZ and PDF, validated, rendered and compared as pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "app/render/devices/pdf_device_adapter.h"
#include "app/render/devices/svg_device.h"
#include "app/render/pdf/pdf_document.h"
#include "ink_compare.h"
#include "render_test_support.h"
#include "scripted_page.h"
#include "external_tools.h"

namespace tracemill::render {
namespace {

using test::InkMatch;
using test::RgbImage;
using test::RenderSvg;
using test::runCommand;
using test::ScratchFolder;
using test::shellQuote;

void WriteScriptedSvg(const std::string& file, bool compress) {
    CSvgDevice device(compress);
    device.SetUsePenWidths(true);
    ASSERT_TRUE(device.Begin("", file.c_str(), "", test::kPageWidth, test::kPageHeight));
    test::DrawScriptedPage(device);
    ASSERT_TRUE(device.End());
}

// As the vector export makes a new one-page PDF: media box 30 larger, origin at (15, 15).
void WriteScriptedPdf(const std::string& file) {
    CPdfDocument document;
    int32_t* counter = document.GetObjectCounter();
    CPdfPages* pages = document.GetCatalog()->GetPages();
    pages->SetMediaBox(int32_t(test::kPageWidth) + 30, int32_t(test::kPageHeight) + 30);
    CPdfPage* page = pages->AddPage(counter);
    document.AddSharedResources(page);
    CPdfContent* content = page->AddContent(counter);
    content->SetLineWidth(0);
    CPdfDeviceAdapter adapter;
    adapter.SetUsePenWidths(true);
    adapter.SetContent(content);
    adapter.SetOrigin(15, 15);
    ASSERT_TRUE(adapter.Begin("", "", "", test::kPageWidth, test::kPageHeight));
    test::DrawScriptedPage(adapter);
    ASSERT_TRUE(adapter.End());
    ASSERT_TRUE(document.Save(file.c_str()));
}

// The value of a "Name:   value" line of pdfinfo.
std::string InfoField(const std::string& info, const std::string& name) {
    const size_t at = info.find("\n" + name + ":");
    if (at == std::string::npos) return {};
    const size_t start = info.find_first_not_of(' ', at + name.size() + 2);
    return info.substr(start, info.find('\n', start) - start);
}

TEST(ExportFiles, SvgSvgzAndPdfOfOnePageAgree) {
    TM_REQUIRE_TOOL("xmllint");
    TM_REQUIRE_TOOL("rsvg-convert");
    TM_REQUIRE_TOOL("qpdf");
    TM_REQUIRE_TOOL("pdfinfo");
    TM_REQUIRE_TOOL("pdftoppm");
    TM_REQUIRE_TOOL("convert");
    ScratchFolder folder("export-files");
    const std::string svg = (folder / "page.svg").string();
    const std::string svgz = (folder / "page.svgz").string();
    const std::string pdf = (folder / "page.pdf").string();
    WriteScriptedSvg(svg, false);
    WriteScriptedSvg(svgz, true);
    WriteScriptedPdf(pdf);

    EXPECT_TRUE(runCommand("xmllint --noout " + shellQuote(svg) + " 2>&1")) << "xmllint refused the SVG";
    const std::optional<RgbImage> svgImage = RenderSvg(svg, (folder / "svg.png").string());
    const std::optional<RgbImage> svgzImage = RenderSvg(svgz, (folder / "svgz.png").string());
    ASSERT_TRUE(svgImage && svgzImage) << "rsvg-convert refused a file";
    EXPECT_EQ(svgImage->rgb, svgzImage->rgb) << "SVG and SVGZ render apart";

    const std::optional<std::string> check = runCommand("qpdf --check " + shellQuote(pdf) + " 2>&1");
    ASSERT_TRUE(check) << "qpdf --check failed";
    EXPECT_NE(check->find("No syntax or stream encoding errors"), std::string::npos) << *check;
    const std::optional<std::string> info = runCommand("pdfinfo " + shellQuote(pdf) + " 2>&1");
    ASSERT_TRUE(info);
    EXPECT_EQ(InfoField(*info, "PDF version"), "1.2") << *info;
    EXPECT_EQ(InfoField(*info, "Page size"), "830 x 630 pts") << *info;

    const std::string pdfPng = (folder / "pdf").string();
    ASSERT_TRUE(runCommand("pdftoppm -r 72 -png -singlefile " + shellQuote(pdf) + " " + shellQuote(pdfPng)));
    const std::optional<RgbImage> pdfImage = test::readWithImageMagick(pdfPng + ".png");
    ASSERT_TRUE(pdfImage);
    ASSERT_EQ(svgImage->width, 800);
    ASSERT_EQ(svgImage->height, 600);
    ASSERT_EQ(pdfImage->width, 830);
    ASSERT_EQ(pdfImage->height, 630);

    // The green triangle stands at the lower left in both pictures (device y grows upwards).
    const uint8_t* svgGreen = &svgImage->rgb[(size_t(600 - 80) * 800 + 80) * 3];
    EXPECT_TRUE(svgGreen[1] > 100 && svgGreen[0] < 50 && svgGreen[2] < 50);
    const uint8_t* pdfGreen = &pdfImage->rgb[(size_t(615 - 80) * 830 + 95) * 3];
    EXPECT_TRUE(pdfGreen[1] > 100 && pdfGreen[0] < 50 && pdfGreen[2] < 50);

    // Ink at the same places: the PDF picture stands 15 pixels right and 15 down.
    int svgInk = 0, pdfInk = 0;
    const double svgMatched = InkMatch(*svgImage, *pdfImage, 15, 15, 2, &svgInk);
    const double pdfMatched = InkMatch(*pdfImage, *svgImage, -15, -15, 2, &pdfInk);
    EXPECT_GE(svgMatched, 0.98);
    EXPECT_GE(pdfMatched, 0.98);
    EXPECT_GT(svgInk, 40000); // the fills are there
    EXPECT_GT(pdfInk, 40000);
    // The comparison sees a flip: the PDF picture upside down does not match.
    RgbImage flipped = *pdfImage;
    const size_t row = size_t(flipped.width) * 3;
    for (int y = 0; y < flipped.height; ++y)
        std::copy_n(&pdfImage->rgb[size_t(flipped.height - 1 - y) * row], row, &flipped.rgb[size_t(y) * row]);
    EXPECT_LT(InkMatch(*svgImage, flipped, 15, 15, 2, &svgInk), 0.9);
}

} // namespace
} // namespace tracemill::render
