// Two drawings open at once in one process, as the main window holds them: each exported in
// turns with the other, with settings of its own, writes what it writes when it is the only
// drawing of the process. Whatever one export leaves behind (colours, pens, the device's scale,
// the view) must not reach the next export of the other drawing.
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/render/raster_export.h"
#include "app/render/vector_export.h"
#include "drawing_object_test_support.h"
#include "render_test_support.h"

namespace tracemill::test {
namespace {

// One export of a drawing: its format, size and colours.
struct ExportCase {
    const char* name;  // the file written, in the case's folder
    int32_t formatId;  // vector format id, or 0 for a BMP with its mask
    int16_t colourMode;
    int32_t width;
    int32_t height;
};

struct DrawingCase {
    const char* fixture;
    std::vector<ExportCase> exports;
};

const DrawingCase kDrawings[] = {
    {"model_lines.dxf",
     {{"a.svg", 1, kColorModeColors, 800, 600},
      {"a.plt", 2, kColorModeBlackWhite, 400, 300},
      {"a.cgm", 7, kColorModeGray, 640, 480},
      {"a.bmp", 0, kColorModeColors, 160, 120}}},
    {"two_layouts_2000.dxf",
     {{"b.svg", 1, kColorModeBlackWhite, 300, 500},
      {"b.plt", 2, kColorModeColors, 700, 200},
      {"b.cgm", 7, kColorModeColors, 320, 240},
      {"b.bmp", 0, kColorModeGray, 200, 90}}},
};

bool exportOnce(CDrawingObject& object, const ExportCase& c, const std::filesystem::path& folder) {
    const std::string path = (folder / c.name).string();
    if (c.formatId == 0) {
        object.SetColorMode(c.colourMode);
        return ExportRasterImage(&object, c.width, c.height, 0, true, 1, 8, true, path);
    }
    return ExportVectorFile(&object, c.width, c.height, true, c.colourMode, c.formatId, false, path, nullptr);
}

// Every file of the folder by name, with its bytes.
std::vector<std::pair<std::string, std::string>> filesOf(const ScratchFolder& folder) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const std::string& name : folder.Files()) files.emplace_back(name, ReadWholeFile(folder / name));
    std::sort(files.begin(), files.end());
    return files;
}

class TwoDrawings : public HostCallbackTest {};

TEST_F(TwoDrawings, ExportedInTurnsWriteWhatEachWritesAlone) {
    ScratchFolder alone("two-drawings-alone");
    for (const DrawingCase& drawing : kDrawings) {
        // A process with one drawing: open it, export it, free it.
        auto object = std::make_unique<CDrawingObject>();
        ASSERT_EQ(object->Open(renderFixture(drawing.fixture).c_str(), nullptr, true, ""), 0) << drawing.fixture;
        object->SaveViewState();
        for (const ExportCase& c : drawing.exports) ASSERT_TRUE(exportOnce(*object, c, alone.path())) << c.name;
    }

    ScratchFolder together("two-drawings-together");
    std::vector<std::unique_ptr<CDrawingObject>> objects;
    for (const DrawingCase& drawing : kDrawings) {
        objects.push_back(std::make_unique<CDrawingObject>());
        ASSERT_EQ(objects.back()->Open(renderFixture(drawing.fixture).c_str(), nullptr, true, ""), 0);
        objects.back()->SaveViewState();
    }
    // In turns: the first export of each drawing, then the second of each, and so on.
    for (size_t step = 0; step < kDrawings[0].exports.size(); ++step) {
        for (size_t d = 0; d < objects.size(); ++d) {
            const ExportCase& c = kDrawings[d].exports[step];
            ASSERT_TRUE(exportOnce(*objects[d], c, together.path())) << c.name;
        }
    }
    objects.clear();

    const auto expected = filesOf(alone);
    const auto actual = filesOf(together);
    ASSERT_EQ(expected.size(), 10u) << "eight pictures and the masks of the two bitmaps";
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].first);
        EXPECT_EQ(actual[i].first, expected[i].first);
        EXPECT_FALSE(expected[i].second.empty());
        EXPECT_TRUE(actual[i].second == expected[i].second) << "the file differs from the one written alone";
    }
}

} // namespace
} // namespace tracemill::test
