// A character that the text's face lacks (Korean in a style that names the Latin face
// DejaVuSans.ttf) is drawn, on its own, by an installed face that has it: the fixture of
// tests/data/pictures read from its DXF and from the DWG our writer makes of it draws two
// square syllables, not two question marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/fonts/fallback_faces.h"
#include "platform/fonts/host_fonts.h"
#include "temp_folder.h"
#include "test_paths.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/display_interface.h"
#include "toolkit/display/hook_sets/hook_recorder.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/write/save_driver.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

constexpr char32_t kHan = 0xD55C;  // the first of the two syllables
constexpr int16_t kVersion2000 = 7;

struct InkBox {
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    void add(double x, double y) {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
};

class FallbackFaces : public test::ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        ASSERT_EQ(dbHostStartup(), 1);
        dbSetDisplayListMode(0);
        dbSetFontFinder(dbTrueTypeFontLookup);
        dbSetGlyphOutlineHook(GlyphOutlineProvider);
        recorder.install();
    }
    void TearDown() override {
        recorder.uninstall();
        for (Drawing* d : drawings) dbFreeDrawing(d);
        dbSetGlyphOutlineHook(nullptr);
        dbSetFontFinder(nullptr);
        ToolkitTest::TearDown();
        dbHostShutdown();
    }
    Drawing* open(const std::string& path) {
        Drawing* d = rdOpenDrawing(path.c_str(), kOpenOrdinary, 0);
        if (d) drawings.push_back(d);
        return d;
    }
    // The fills of a pass over the square (-5, -5)-(25, 25) on 300 x 300 device units, and
    // their box.
    int fills(Drawing* d, InkBox& box) {
        ViewBlock view;
        const HostRect rect{0, 0, 300, 300};
        EXPECT_EQ(genBeginDisplay(d, view, rect, nullptr, nullptr), 1);
        view.target = {10.0, 10.0, 0.0, 1.0};
        view.width = view.height = 30.0;
        genPrepareView(d, view, rect, nullptr);
        recorder.clear();
        EXPECT_EQ(genDrawDrawing(d), 1);
        int count = 0;
        for (const std::string& line : recorder.lines()) {
            if (!line.starts_with("polyPolygon")) continue;
            ++count;
            std::istringstream in(line.substr(11));
            std::string word;
            while (in >> word) {
                if (word == "|") continue;
                const size_t comma = word.find(',');
                if (comma != std::string::npos) box.add(std::stod(word.substr(0, comma)), std::stod(word.substr(comma + 1)));
            }
        }
        return count;
    }

    HookRecorder recorder;
    test::TempFolder folder;
    std::vector<Drawing*> drawings;
};

TEST_F(FallbackFaces, ACharacterTheFaceLacksIsDrawnByAFaceThatHasIt) {
    FontCacheEntry* fallback = dbFallbackFace(kHan, false, false);
    if (!fallback) {
        if (test::runningInCi()) FAIL() << "no installed face covers Korean (scripts/setup installs one)";
        GTEST_SKIP() << "no installed face covers Korean";
    }
    EXPECT_NE(fallback->file.find("wqy"), std::string::npos) << fallback->file;
    EXPECT_EQ(dbFallbackFace(kHan, false, false), fallback) << "the answer is kept";
    EXPECT_EQ(dbFallbackFace(0x10FFFD, false, false), nullptr) << "a private character no face has";

    const std::string dxf = (test::testDataDir() / "pictures" / "korean_text_2000.dxf").string();
    Drawing* fromDxf = open(dxf);
    ASSERT_NE(fromDxf, nullptr);
    const std::string dwg = folder / "korean_text_2000.dwg";
    ASSERT_EQ(wrSaveDrawing(fromDxf, dwg.c_str(), 0, kVersion2000, kSaveRealSwitch, kSaveDecimalPlaces,
                            kSaveEntitySwitch, kSaveOldDxfFlag),
              1);
    Drawing* fromDwg = open(dwg);
    ASSERT_NE(fromDwg, nullptr);
    for (Drawing* d : {fromDxf, fromDwg}) {
        SCOPED_TRACE(d == fromDxf ? "DXF" : "DWG");
        InkBox box;
        EXPECT_EQ(fills(d, box), 2) << "one filled glyph per syllable";
        // Two square syllables about as high as the text (10 units, 100 device units): their
        // ink is about twice as wide as high. Two question marks of the Latin face would be
        // about as wide as high.
        const double width = box.maxX - box.minX, height = box.maxY - box.minY;
        EXPECT_GT(height, 80.0);
        EXPECT_GT(width, 1.6 * height);
    }
}

} // namespace
} // namespace tracemill
