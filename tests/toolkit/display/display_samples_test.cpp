// Every sample drawing that loads draws without error, with extents inside the box its header
// stores (grown by 5 per cent of its diagonal); DWG and DXF twins give the same extents.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "test_paths.h"
#include "toolkit/core/display_access.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/display_interface.h"
#include "toolkit/display/hook_sets/hook_counter.h"
#include "toolkit/display/hook_sets/hook_recorder.h"
#include "toolkit/display/text/text_tokens.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

constexpr HostRect kDevice{0, 0, 1024, 768};

// Drawings whose extents cannot be checked against their header, and why.
const std::map<std::string, std::string> kUncheckedExtents = {
    {"oscilloscope_case_2000.dwg", "one 3DSOLID, whose wireframe the display does not draw yet: nothing is drawn"},
};

struct Drawn {
    bool ok = false;
    bool hasExtents = false;
    Point3 min, max;
    uint64_t primitives = 0;
    std::array<uint64_t, kOutputHookSlotCount> calls{};
};

// Draws the drawing as a host does: an extents pass, then a pass zoomed to the extents.
Drawn draw(const std::filesystem::path& path) {
    Drawn out;
    Drawing* drawing = rdOpenDrawing(path.string().c_str(), kOpenOrdinary, 0);
    if (!drawing) return out;
    ViewBlock view;
    if (genBeginDisplay(drawing, view, kDevice, nullptr, nullptr)) {
        if (!(view.width > 0.0 && view.height > 0.0)) genGetViewBlock(drawing, view);
        genPrepareView(drawing, view, kDevice, nullptr);
        HookCounter counter;
        counter.install();
        out.ok = genDrawDrawing(drawing) == 1 && genGetViewBlock(drawing, view) == 1;
        genPrepareView(drawing, view, kDevice, nullptr);
        counter.clear();
        out.ok = out.ok && genDrawDrawing(drawing) == 1;
        out.primitives = counter.primitives();
        for (int slot = 0; slot < kOutputHookSlotCount; ++slot) out.calls[size_t(slot)] = counter.count(slot);
        out.hasExtents = genCollectedExtents(drawing, out.min, out.max) == 1;
    }
    dbFreeDrawing(drawing);
    return out;
}

class DisplaySamplesTest : public test::ToolkitTest {};

TEST_F(DisplaySamplesTest, EveryLoadableSampleDrawsInsideItsStoredExtents) {
    TM_REQUIRE_SAMPLES(samples);
    int drawn = 0;
    for (const std::filesystem::path& path : test::loadableSampleDrawings(samples)) {
        const std::string name = path.filename().string();
        Drawing* probe = rdOpenDrawing(path.string().c_str(), kOpenOrdinary, 0);
        ASSERT_NE(probe, nullptr) << name << ": error " << dbGetError();
        const HeaderBlock header = *probe->header;
        const bool paper = probe->header->tilemode == 0;
        dbFreeDrawing(probe);

        const Drawn result = draw(path);
        ASSERT_TRUE(result.ok) << name;
        ++drawn;
        if (kUncheckedExtents.count(name)) continue;
        ASSERT_TRUE(result.hasExtents) << name << ": nothing drawn";
        EXPECT_GT(result.primitives, 0u) << name;
        const Point3& lo = paper ? header.pextmin : header.extmin;
        const Point3& hi = paper ? header.pextmax : header.extmax;
        const double margin = 0.05 * std::hypot(hi.x - lo.x, hi.y - lo.y);
        EXPECT_LT(result.min.x, result.max.x) << name;
        EXPECT_GE(result.min.x, lo.x - margin) << name;
        EXPECT_GE(result.min.y, lo.y - margin) << name;
        EXPECT_LE(result.max.x, hi.x + margin) << name;
        EXPECT_LE(result.max.y, hi.y + margin) << name;
    }
    EXPECT_GE(drawn, 10);
}

TEST_F(DisplaySamplesTest, TwinsGiveTheSameExtents) {
    TM_REQUIRE_SAMPLES(samples);
    const std::vector<std::pair<std::string, std::string>> twins = {
        {"dwg/2000_entities-2d.dwg", "dxf/2000_entities-2d.dxf"},
        {"dwg/example_2000.dwg", "dxf/example_2000.dxf"},
        {"dxf/example_2000.dxf", "dxf/example_2000.dxfb"},
        {"dwg/r11_entities-2d.dwg", "dxf/r11_entities-2d.dxf"},
        {"dwg/r2.6_entities.dwg", "dxf/r2.6_entities.dxf"},
    };
    for (const auto& [a, b] : twins) {
        const Drawn first = draw(samples / a);
        const Drawn second = draw(samples / b);
        ASSERT_TRUE(first.hasExtents && second.hasExtents) << a;
        const double size = std::hypot(first.max.x - first.min.x, first.max.y - first.min.y);
        for (const auto& [x, y] : {std::pair{first.min.x, second.min.x}, std::pair{first.min.y, second.min.y},
                                   std::pair{first.max.x, second.max.x}, std::pair{first.max.y, second.max.y}})
            EXPECT_NEAR(x, y, 1e-6 * size) << a << " and " << b;
        for (int slot = 0; slot < kOutputHookSlotCount; ++slot)
            EXPECT_EQ(first.calls[size_t(slot)], second.calls[size_t(slot)]) << a << " and " << b << ": " << dbHookSlotName(slot);
    }
}

TEST_F(DisplaySamplesTest, SolidsAndTracesAreFilled) {
    TM_REQUIRE_SAMPLES(samples);
    for (const char* name : {"dwg/2000_entities-2d.dwg", "dxf/2000_entities-2d.dxf"}) {
        const Drawn drawn = draw(samples / name);
        ASSERT_TRUE(drawn.ok) << name;
        EXPECT_GE(drawn.calls[2], 4u) << name << ": the polygon hook fills its SOLIDs and TRACE";
    }
}

// The primitives each entity put on the device, by the handle its entityBegin line names: the
// lines that follow it up to the next entity.
std::map<std::string, int> primitivesPerEntity(const std::vector<std::string>& lines) {
    std::map<std::string, int> found;
    std::string current;
    for (const std::string& line : lines) {
        if (line.starts_with("entityBegin ")) {
            current = line.substr(12, line.find(' ', 12) - 12);
            found[current];
        } else if (line.starts_with("lineTo") || line.starts_with("polygon") || line.starts_with("polyPolygon")) {
            ++found[current];
        }
    }
    return found;
}

// Every TEXT and MTEXT of a sample draws strokes (shape fonts, and TrueType faces without the
// host's outlines) or fills (TrueType faces with them): each text in turn is viewed at 40 device
// units high, where no text is simplified to its baseline.
TEST_F(DisplaySamplesTest, TextOfTheSamplesIsDrawn) {
    TM_REQUIRE_SAMPLES(samples);
    for (const char* name : {"dxf/r14_Leader.dxf", "dxf/example_2000.dxf", "dwg/example_2000.dwg", "dxf/sample_r14.dxf"}) {
        Drawing* drawing = rdOpenDrawing((samples / name).string().c_str(), kOpenOrdinary, 0);
        ASSERT_NE(drawing, nullptr) << name;
        ViewBlock view;
        ASSERT_EQ(genBeginDisplay(drawing, view, kDevice, nullptr, nullptr), 1) << name;
        struct Text {
            std::string handle, text;
            Point3 at;
            double height;
        };
        std::vector<Text> texts;
        for (ListLink* link = drawing->modelSpace->first; link; link = link->next) {
            const EntityRecord& entity = EntityList::asNode(link)->record;
            if (entity.header.type == kEntityText) {
                const TextBody& body = entity.bodyAs<TextBody>();
                texts.push_back({dbHandleToHex(entity.header.handle), body.text, body.insertion, body.height});
            } else if (entity.header.type == kEntityMtext) {
                const MtextBody& body = entity.bodyAs<MtextBody>();
                texts.push_back({dbHandleToHex(entity.header.handle), body.text, body.insertion, body.textHeight});
            }
        }
        EXPECT_FALSE(texts.empty()) << name;
        HookRecorder recorder;
        recorder.install();
        for (const Text& text : texts) {
            if (genIsBlankText(text.text) || !(text.height > 0.0)) continue;
            ViewBlock close;
            close.target = {text.at.x, text.at.y, text.at.z, 1.0};
            close.height = text.height * double(kDevice.bottom) / 40.0;
            close.width = close.height * double(kDevice.right) / double(kDevice.bottom);
            genPrepareView(drawing, close, kDevice, nullptr);
            recorder.clear();
            EXPECT_EQ(genDrawDrawing(drawing), 1) << name;
            const auto drawn = primitivesPerEntity(recorder.lines());
            const auto found = drawn.find(text.handle);
            ASSERT_NE(found, drawn.end()) << name << ": " << text.handle << " was not reached";
            EXPECT_GE(found->second, int(text.text.size() / 4) + 1) << name << ": " << text.handle << " \"" << text.text << "\"";
        }
        recorder.uninstall();
        dbFreeDrawing(drawing);
    }
}

} // namespace
} // namespace tracemill
