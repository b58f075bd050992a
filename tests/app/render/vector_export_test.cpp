// Vector export of a drawing object: the file each format id writes, the PDF page and its
// margin, the size completed from the extents, the curve quality and the locale, Stop.
#include <QCoreApplication>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "app/render/pdf/pdf_document.h"
#include "app/render/vector_export.h"
#include "app/services/message_box.h"
#include "app/services/progress_dialog.h"
#include "app/services/progress_step.h"
#include "drawing_object_test_support.h"
#include "external_tools.h"
#include "platform/fonts/host_fonts.h"
#include "render_test_support.h"
#include "toolkit/core/output_hook_table.h"

namespace tracemill::test {
namespace {

std::vector<std::string>& vectorMessages() {
    static std::vector<std::string> messages;
    return messages;
}

void keepVectorMessage(std::string_view text) { vectorMessages().emplace_back(text); }

class VectorExport : public DrawingObjectTest {
protected:
    void SetUp() override {
        DrawingObjectTest::SetUp();
        vectorMessages().clear();
        previousHandler_ = SetMessageBoxHandler(keepVectorMessage);
        openFixture("model_lines.dxf", true);
        object().SaveViewState();
    }
    void TearDown() override {
        SetMessageBoxHandler(previousHandler_);
        DrawingObjectTest::TearDown();
    }
    bool exportTo(const std::filesystem::path& path, int32_t formatId, int32_t width = 800, int32_t height = 600,
                  render::CPdfDocument* document = nullptr) {
        return ExportVectorFile(&object(), width, height, true, 3, formatId, false, path.string(), document);
    }

private:
    MessageBoxHandler previousHandler_ = nullptr;
};

TEST_F(VectorExport, EachFormatWritesItsExtensionBesideThePath) {
    ScratchFolder folder("vector-names");
    struct Case {
        int32_t id;
        const char* name;
        const char* start;  // the file's first bytes
    };
    const Case cases[] = {{1, "plan.svg", "<?xml"},  {2, "plan.plt", "IN;"}, {3, "plan.hgl", "IN;"},
                          {4, "plan.pdf", "%PDF-1.2"}, {6, "plan.svgz", "\x1f\x8b"}, {7, "plan.cgm", ""},
                          {8, "plan.eps", "%!PS-Adobe"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(exportTo(folder / "plan.dwg", c.id));
        const std::string bytes = ReadWholeFile(folder / c.name);
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(bytes.substr(0, std::string(c.start).size()), c.start);
    }
    std::vector<std::string> files = folder.Files();
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"plan.cgm", "plan.eps", "plan.hgl", "plan.pdf", "plan.plt",
                                               "plan.svg", "plan.svgz"}));
    EXPECT_TRUE(vectorMessages().empty());
}

TEST_F(VectorExport, AFormatWithoutDeviceIsRefusedWithAMessage) {
    ScratchFolder folder("vector-refused");
    for (int32_t id : {0, 9, -1}) {
        EXPECT_FALSE(exportTo(folder / "plan.dwg", id));
    }
    EXPECT_EQ(vectorMessages(), std::vector<std::string>(3, "Not support the vector format!"));
    EXPECT_TRUE(folder.Files().empty());
}

TEST_F(VectorExport, ASizeThatNamesNoPictureWritesNothing) {
    ScratchFolder folder("vector-no-size");
    EXPECT_FALSE(exportTo(folder / "plan.svg", 1, 0, 0));
    EXPECT_FALSE(ExportVectorFile(&object(), 0, 600, false, 3, 1, false, (folder / "plan.svg").string(), nullptr));
    EXPECT_FALSE(exportTo(folder / "plan.pdf", 5, 800, 600, nullptr));  // a page needs its document
    EXPECT_TRUE(folder.Files().empty());
}

TEST_F(VectorExport, ANewPdfHasItsPictureFifteenUnitsIn) {
    TM_REQUIRE_TOOL("pdftoppm");
    TM_REQUIRE_TOOL("qpdf");
    ScratchFolder folder("vector-pdf");
    ASSERT_TRUE(exportTo(folder / "plan.pdf", 4));
    const std::string pdf = (folder / "plan.pdf").string();
    ASSERT_TRUE(runCommand("qpdf --check " + shellQuote(pdf)));
    const std::string text = ReadWholeFile(pdf);
    EXPECT_NE(text.find("/MediaBox [0 0 830 630]"), std::string::npos);
    // At 72 pixels an inch a unit is a pixel: the ink stays 15 pixels inside the page.
    ASSERT_TRUE(runCommand("pdftoppm -r 72 -png -singlefile " + shellQuote(pdf) + " " +
                           shellQuote((folder / "page").string())));
    const std::optional<RgbImage> page = readWithImageMagick(folder / "page.png");
    ASSERT_TRUE(page);
    ASSERT_EQ(page->width, 830);
    ASSERT_EQ(page->height, 630);
    int left = page->width, right = -1, top = page->height, bottom = -1;
    for (int y = 0; y < page->height; ++y) {
        for (int x = 0; x < page->width; ++x) {
            const uint8_t* p = &page->rgb[(size_t(y) * size_t(page->width) + size_t(x)) * 3];
            if (int(p[0]) + p[1] + p[2] >= 600) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    EXPECT_GE(left, 14);
    EXPECT_LE(right, 815);
    EXPECT_GE(top, 14);
    EXPECT_LE(bottom, 615);
    // The 2 : 1 drawing fills the width of the 800 x 600 picture.
    EXPECT_GT(right - left, 760);
}

TEST_F(VectorExport, APageAndItsBookmarkGoIntoTheCallersDocument) {
    ScratchFolder folder("vector-document");
    render::CPdfDocument document;
    EXPECT_TRUE(exportTo(folder / "a.pdf", 4, 800, 600, &document));
    EXPECT_TRUE(exportTo(folder / "b.pdf", 5, 800, 600, &document));
    EXPECT_TRUE(folder.Files().empty());  // the caller saves
    ASSERT_TRUE(document.Save((folder / "book.pdf").c_str()));
    const std::string text = ReadWholeFile(folder / "book.pdf");
    EXPECT_NE(text.find("/Count 2"), std::string::npos);
    // The bookmark of the first page names the layout shown (a drawing without layout records
    // shows "Modal") and opens the page where it is.
    EXPECT_NE(text.find("/Title (Modal)"), std::string::npos);
    EXPECT_NE(text.find(" /XYZ]"), std::string::npos);
}

TEST_F(VectorExport, AMissingWidthIsCompletedFromTheExtents) {
    ScratchFolder folder("vector-width");
    struct Case {
        const char* fixture;
        int32_t height;
        double minWidth, maxWidth;
    };
    // The tall line has no width: 2 device units, a thousandth of a point each at this scale.
    for (const Case& c : {Case{"model_lines.dxf", 300, 590, 610}, Case{"tall_line.dxf", 600, 0.002, 0.002}}) {
        SCOPED_TRACE(c.fixture);
        CDrawingObject drawing;
        ASSERT_EQ(drawing.Open(renderFixture(c.fixture).c_str(), nullptr, true, ""), 0);
        const std::filesystem::path svg = folder / "plan.svg";
        ASSERT_TRUE(ExportVectorFile(&drawing, 0, c.height, true, 3, 1, false, svg.string(), nullptr));
        const std::string text = ReadWholeFile(svg);
        std::smatch box;
        ASSERT_TRUE(std::regex_search(text, box, std::regex("viewBox=\"0.0 0.0 ([0-9.]+) ([0-9.]+)\"")));
        const double width = std::stod(box[1]);
        EXPECT_GE(width, c.minWidth);
        EXPECT_LE(width, c.maxWidth);
        EXPECT_NEAR(std::stod(box[2]), c.height, 0.01);
    }
}

TEST_F(VectorExport, TheCurveQualityAndTheViewComeBack) {
    ScratchFolder folder("vector-quality");
    dbSetCurveResolution(21);
    const int segments = dbSetGlyphCurveSegments(6);
    const ViewBlock view = object().GetView();
    EXPECT_TRUE(exportTo(folder / "plan.eps", 8));
    EXPECT_FALSE(exportTo(folder / "plan.eps", 12));
    EXPECT_EQ(dbGetCurveResolution(), 21);
    EXPECT_EQ(dbSetGlyphCurveSegments(segments), 6);
    EXPECT_TRUE(object().GetView() == view);
    EXPECT_EQ(object().GetColorMode(), 3);
}

TEST_F(VectorExport, NumbersAreWrittenWithDecimalPointsInAnyLocale) {
    ScratchFolder folder("vector-locale");
    TM_USE_GERMAN_LOCALE(german);
    for (int32_t id : {1, 3, 8}) {
        ASSERT_TRUE(exportTo(folder / "plan.dwg", id, 777, 555));
    }
    for (const char* name : {"plan.svg", "plan.hgl", "plan.eps"}) {
        SCOPED_TRACE(name);
        const std::string text = ReadWholeFile(folder / name);
        EXPECT_TRUE(std::regex_search(text, std::regex("[0-9]\\.[0-9]")));
        EXPECT_FALSE(std::regex_search(text, std::regex("[0-9],[0-9]+ [0-9]")));
    }
}

TEST_F(VectorExport, AStopLeavesNoFileAndIsNoFailure) {
    ScratchFolder folder("vector-stop");
    {
        StoppableExport interactive;
        for (bool zoomExtents : {true, false}) {
            SCOPED_TRACE(zoomExtents);
            interactive.PressStop();
            EXPECT_TRUE(ExportVectorFile(&object(), 800, 600, zoomExtents, 3, 1, false,
                                         (folder / "plan.svg").string(), nullptr));
            EXPECT_TRUE(folder.Files().empty());
            EXPECT_FALSE(interactive.Dialog().IsShown());
        }
    }
    // Without the progress flag nothing can stop it.
    CProgressDialog dialog;
    SetMainProgressDialog(&dialog);
    QTimer::singleShot(0, [&dialog] { dialog.OnStop(); });
    EXPECT_TRUE(exportTo(folder / "plan.svg", 1));
    QCoreApplication::processEvents();
    SetMainProgressDialog(nullptr);
    EXPECT_EQ(folder.Files(), std::vector<std::string>{"plan.svg"});
}

} // namespace
} // namespace tracemill::test
