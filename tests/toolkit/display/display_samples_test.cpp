// Every sample drawing that loads draws without error, with extents inside the box its header
// stores (grown by 5 per cent of its diagonal); DWG and DXF twins give the same extents.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "recorded_strokes.h"
#include "test_paths.h"
#include "toolkit/display/display_access.h"
#include "toolkit/core/device_point.h"
#include "toolkit/core/drawing.h"
#include "toolkit/acis/sat/solid_drawing_bridge.h"
#include "toolkit/acis/sat/solid_texts.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/display_interface.h"
#include "toolkit/display/hook_sets/hook_counter.h"
#include "toolkit/display/hook_sets/hook_recorder.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/text/mtext_display.h"
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

// The lines each entity recorded, by the handle its entityBegin line names: a move to where
// the pen stood when the entity began (a line of an entity may start there without a move of
// its own), then the lines that follow up to the next entity.
std::map<std::string, std::vector<std::string>> linesPerEntity(const std::vector<std::string>& lines) {
    std::map<std::string, std::vector<std::string>> found;
    std::string current;
    test::DevicePair pen{0, 0};
    for (const std::string& line : lines) {
        if (line.starts_with("entityBegin ")) {
            current = line.substr(12, line.find(' ', 12) - 12);
            found[current].push_back("moveTo " + std::to_string(pen.first) + " " + std::to_string(pen.second));
            continue;
        }
        found[current].push_back(line);
        if (line.starts_with("moveTo ") || line.starts_with("lineTo ")) {
            std::istringstream in(line.substr(7));
            in >> pen.first >> pen.second;
        } else if (line.starts_with("polygon ") || line.starts_with("polyPolygon ")) {
            const std::vector<test::DevicePair> points = test::fillPointsOf(line);
            if (!points.empty()) pen = points.front();
        }
    }
    return found;
}

// The primitives each entity put on the device: line-tos and fills.
std::map<std::string, int> primitivesPerEntity(const std::vector<std::string>& lines) {
    std::map<std::string, int> found;
    for (const auto& [handle, own] : linesPerEntity(lines)) {
        found[handle] = int(std::count_if(own.begin(), own.end(), [](const std::string& line) {
            return line.starts_with("lineTo") || line.starts_with("polygon") || line.starts_with("polyPolygon");
        }));
    }
    return found;
}

int countOf(const std::vector<std::string>& lines, std::string_view slot) {
    return int(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.starts_with(slot) && line.size() > slot.size() && line[slot.size()] == ' ';
    }));
}

// The drawing with its display begun and a pass drawn through a recorder, at the view given
// (its extents when none is).
struct RecordedPass {
    Drawing* drawing = nullptr;
    std::vector<std::string> lines;
    ~RecordedPass() { dbFreeDrawing(drawing); }
};

// Drawn straight onto the device (the display-list mode off), as the drawers' own tests draw.
void recordPass(const std::filesystem::path& path, RecordedPass& out, const ViewBlock* view = nullptr) {
    struct ListModeOff {
        uint8_t was = gOutputHookTable->displayListMode;
        ListModeOff() { dbSetDisplayListMode(0); }
        ~ListModeOff() { dbSetDisplayListMode(was); }
    } listModeOff;
    out.drawing = rdOpenDrawing(path.string().c_str(), kOpenOrdinary, 0);
    ASSERT_NE(out.drawing, nullptr) << path;
    ViewBlock shown;
    ASSERT_EQ(genBeginDisplay(out.drawing, shown, kDevice, nullptr, nullptr), 1);
    if (view) shown = *view;
    else genGetViewBlock(out.drawing, shown);
    genPrepareView(out.drawing, shown, kDevice, nullptr);
    HookRecorder recorder;
    recorder.install();
    EXPECT_EQ(genDrawDrawing(out.drawing), 1);
    recorder.uninstall();
    out.lines = recorder.lines();
}

// The leader's curve (its spline flag is set, its arrowhead flag clear), and the proxy entity of a class the toolkit does not model: its leader
// with a filled arrowhead and its text, from its graphics.
TEST_F(DisplaySamplesTest, TheLeaderSampleDrawsItsLeaderAndItsProxyEntity) {
    TM_REQUIRE_SAMPLES(samples);
    RecordedPass pass;
    recordPass(samples / "dxf/r14_Leader.dxf", pass);
    const auto lines = linesPerEntity(pass.lines);
    ASSERT_TRUE(lines.count("72E") && lines.count("732"));
    EXPECT_GT(countOf(lines.at("72E"), "lineTo"), 2 * 4)
        << "a spline leader of three vertices: the chords of a curve through them, no arrowhead (its flag is off)";
    EXPECT_EQ(countOf(lines.at("72E"), "polygon") + countOf(lines.at("72E"), "polyPolygon"), 0);
    const std::vector<std::string>& proxy = lines.at("732");
    EXPECT_EQ(countOf(proxy, "polyPolygon") + countOf(proxy, "polygon"), 1) << "the filled arrowhead";
    EXPECT_GT(countOf(proxy, "lineTo"), 2 + 6) << "its two lines and the strokes of its text";
}

// The feature control frame of the sample ("{\Fgdt;r}%%v1%%v2%%v%%v%%v^J10", over two rows; its
// entity keeps no height, its style's text height 2.5 sets it): the left edges, the separators
// after each cell's text and half a height on either side, the row lines; the GDT symbol in the
// first cell.
TEST_F(DisplaySamplesTest, TheToleranceFrameOfTheSample) {
    TM_REQUIRE_SAMPLES(samples);
    const Point3 o{9682.61740949763, 2086.095339255015, 0.0};
    ViewBlock view;
    view.target = {o.x + 10.0, o.y - 2.5, 0.0, 1.0};
    view.height = 20.0;
    view.width = 20.0 * kDevice.right / kDevice.bottom;
    RecordedPass pass;
    recordPass(samples / "dxf/example_2000.dxf", pass, &view);
    Drawing* drawing = pass.drawing;
    const auto lines = linesPerEntity(pass.lines);
    ASSERT_TRUE(lines.count("4F1"));
    const std::set<test::Stroke> drawn = test::strokesOf(lines.at("4F1"));

    DimStyleRecord style;
    ASSERT_EQ(dbGetDimStyleByHandle(drawing, Handle(0x27), style), 1);
    const double H = style.dimtxt;
    ASSERT_EQ(H, 2.5);
    auto width = [&](const std::string& cell) {
        MtextBody text;
        text.textHeight = H;
        text.attachment = 1;
        text.xDirection = {1, 0, 0};
        text.text = cell;
        text.style = style.dimtxsty;
        genMeasureMText(drawing, text, kIdentityMatrix4);
        return text.extentsWidth;
    };
    const double symbol = width("{\\Fgdt;r}"), one = width("1"), two = width("2"), ten = width("10");
    ASSERT_GT(symbol, 0.0);
    const double row1 = 3 * H + symbol + one + two, row2 = H + ten;
    const Matrix4& toDevice = drawing->displayContext->viewports[0].worldToDevice;
    auto device = [&](double x, double y) {
        Point4 d;
        genPointTransform({o.x + x, o.y + y, 0.0, 1.0}, toDevice, d);
        return test::DevicePair{dbDeviceCoordinateTruncated(d.x), dbDeviceCoordinateTruncated(d.y)};
    };
    auto near = [](const test::DevicePair& a, const test::DevicePair& b) {
        return std::abs(a.first - b.first) <= 1 && std::abs(a.second - b.second) <= 1;
    };
    auto hasLine = [&](double x0, double y0, double x1, double y1) {
        const test::DevicePair a = device(x0, y0), b = device(x1, y1);
        return std::any_of(drawn.begin(), drawn.end(), [&](const test::Stroke& s) {
            return (near(s.first, a) && near(s.second, b)) || (near(s.first, b) && near(s.second, a));
        });
    };
    const struct {
        const char* name;
        double x0, y0, x1, y1;
    } frame[] = {
        {"row 1 left edge", 0, H, 0, -H},
        {"after the symbol", H + symbol, H, H + symbol, -H},
        {"after 1", 2 * H + symbol + one, H, 2 * H + symbol + one, -H},
        {"after 2", row1, H, row1, -H},
        {"row 1 top", 0, H, row1, H},
        {"between the rows", 0, -H, std::max(row1, row2), -H},
        {"row 2 left edge", 0, -H, 0, -3 * H},
        {"after 10", row2, -H, row2, -3 * H},
        {"row 2 bottom", 0, -3 * H, row2, -3 * H},
    };
    for (const auto& line : frame) EXPECT_TRUE(hasLine(line.x0, line.y0, line.x1, line.y1)) << line.name;
    // The symbol: circles of short chords inside the first cell.
    const test::DevicePair left = device(0, 0), right = device(H + symbol, 0);
    const int symbolStrokes = int(std::count_if(drawn.begin(), drawn.end(), [&](const test::Stroke& s) {
        return s.first.first > left.first + 1 && s.second.first < right.first - 1;
    }));
    EXPECT_GE(symbolStrokes, 16);
}

// The closed multiline of the sample (scale 20, its style's two elements at +0.5 and -0.5, the
// top one through the vertices): each element runs from vertex to vertex and back to the first,
// at the distance along the miter that the vertex stores; that distance is in drawing units
// already (the multiline's scale is in it), so the lines lie 20 units apart.
TEST_F(DisplaySamplesTest, TheMultilineOfTheSampleRunsAlongItsMiters) {
    TM_REQUIRE_SAMPLES(samples);
    ViewBlock view;
    view.target = {3827.0, 1452.0, 0.0, 1.0};
    view.height = 600.0;
    view.width = view.height * kDevice.right / kDevice.bottom;
    RecordedPass pass;
    recordPass(samples / "dxf/example_2000.dxf", pass, &view);
    const auto lines = linesPerEntity(pass.lines);
    ASSERT_TRUE(lines.count("75C"));
    const std::set<test::Stroke> drawn = test::strokesOf(lines.at("75C"));

    EntityRecord mline;
    ASSERT_EQ(dbReadEntityByHandle(pass.drawing, pass.drawing->modelSpace, Handle(0x75C), mline), 1);
    const MlineBody& body = mline.bodyAs<MlineBody>();
    ASSERT_EQ(body.vertices.size(), 4u);
    ASSERT_EQ(body.flags & 2, 2) << "closed";
    const Matrix4& toDevice = pass.drawing->displayContext->viewports[0].worldToDevice;
    auto elementAt = [&](size_t k, size_t e) {
        const MlineVertex& v = body.vertices[k % 4];
        const double along = v.elements[e].segment[0];
        Point4 d;
        genPointTransform({v.position.x + v.miter.x * along, v.position.y + v.miter.y * along, 0.0, 1.0}, toDevice, d);
        return test::DevicePair{dbDeviceCoordinateTruncated(d.x), dbDeviceCoordinateTruncated(d.y)};
    };
    auto near = [](const test::DevicePair& a, const test::DevicePair& b) {
        return std::abs(a.first - b.first) <= 1 && std::abs(a.second - b.second) <= 1;
    };
    for (size_t e = 0; e < 2; ++e) {
        for (size_t k = 0; k < 4; ++k) {
            const test::DevicePair a = elementAt(k, e), b = elementAt(k + 1, e);
            EXPECT_TRUE(std::any_of(drawn.begin(), drawn.end(), [&](const test::Stroke& s) {
                return (near(s.first, a) && near(s.second, b)) || (near(s.first, b) && near(s.second, a));
            })) << "element " << e << " from vertex " << k;
        }
    }
    EXPECT_EQ(drawn.size(), 8u) << "two elements of four segments, no caps";
}

// The wires the solids kernel gives a SAT text, as device segments of the first viewport.
struct KernelWires {
    std::string_view text;
    size_t offset = 0;
    const Matrix4* toDevice = nullptr;
    int32_t mode = 0;
    std::vector<test::DevicePair> vertices;
    std::set<test::Stroke> strokes;
};

int32_t kernelWiresRead(char* buffer, int32_t maximum, void* user) {
    auto& wires = *static_cast<KernelWires*>(user);
    const size_t count = std::min(size_t(std::max(maximum, 0)), wires.text.size() - wires.offset);
    std::copy_n(wires.text.data() + wires.offset, count, buffer);
    wires.offset += count;
    return int32_t(count);
}

void kernelWiresBegin(int32_t mode, void* user) {
    auto& wires = *static_cast<KernelWires*>(user);
    wires.mode = mode;
    wires.vertices.clear();
}

void kernelWiresVertex(double x, double y, double z, void* user) {
    auto& wires = *static_cast<KernelWires*>(user);
    Point4 d;
    genPointTransform({x, y, z, 1.0}, *wires.toDevice, d);
    wires.vertices.push_back({dbDeviceCoordinateTruncated(d.x), dbDeviceCoordinateTruncated(d.y)});
}

void kernelWiresEnd(void* user) {
    auto& wires = *static_cast<KernelWires*>(user);
    const size_t step = wires.mode == 1 ? 2 : 1;
    for (size_t i = 1; i < wires.vertices.size(); i += step) {
        const test::DevicePair a = wires.vertices[i - 1], b = wires.vertices[i];
        if (a != b) wires.strokes.insert(a < b ? test::Stroke{a, b} : test::Stroke{b, a});
    }
}

// The 3DSOLID of the sample (a plate 4 units thick, seen from above) and its two REGIONs reach
// the device through the default solid hook: each draws the strokes of the wires the solids
// kernel gives its SAT text, and nothing else.
TEST_F(DisplaySamplesTest, TheSolidsOfTheSampleDrawTheirKernelWires) {
    TM_REQUIRE_SAMPLES(samples);
    const struct {
        const char* handle;
        double minX, minY, maxX, maxY;  // the solid's box, from the kernel's wires
    } solids[] = {
        {"2E1", 2229.6, 13562.2, 4237.1, 14169.1},
        {"176", -6836.4, -45.9, -3632.0, 3983.4},
        {"37D", -2199.3, 10344.6, -54.0, 12535.5},
    };
    for (const auto& solid : solids) {
        ViewBlock view;
        view.target = {(solid.minX + solid.maxX) / 2.0, (solid.minY + solid.maxY) / 2.0, 0.0, 1.0};
        view.height = 1.2 * std::max(solid.maxY - solid.minY, solid.maxX - solid.minX);
        view.width = view.height * kDevice.right / kDevice.bottom;
        RecordedPass pass;
        recordPass(samples / "dxf/example_2000.dxf", pass, &view);
        const auto lines = linesPerEntity(pass.lines);
        ASSERT_TRUE(lines.count(solid.handle)) << solid.handle;
        std::set<test::Stroke> drawn = test::strokesOf(lines.at(solid.handle));
        std::erase_if(drawn, [](const test::Stroke& s) { return s.first == s.second; });  // edges seen end-on

        KernelWires wires;
        wires.toDevice = &pass.drawing->displayContext->viewports[0].worldToDevice;
        for (const SolidText& text : acisSolidTexts(*pass.drawing))
            if (dbHandleToHex(text.handle) == solid.handle) wires.text = text.text;
        ASSERT_FALSE(wires.text.empty()) << solid.handle;
        SatCallbackRecord record;
        record.read = kernelWiresRead;
        record.begin = kernelWiresBegin;
        record.vertex = kernelWiresVertex;
        record.end = kernelWiresEnd;
        record.user = &wires;
        record.settingsWordA = 4;
        genDrawSolidFromSat(record);
        ASSERT_GE(wires.strokes.size(), 4u) << solid.handle;
        const auto near = [](const test::Stroke& a, const test::Stroke& b) {
            const auto close = [](const test::DevicePair& p, const test::DevicePair& q) {
                return std::abs(p.first - q.first) <= 1 && std::abs(p.second - q.second) <= 1;
            };
            return (close(a.first, b.first) && close(a.second, b.second)) ||
                   (close(a.first, b.second) && close(a.second, b.first));
        };
        for (const test::Stroke& wire : wires.strokes)
            EXPECT_TRUE(std::any_of(drawn.begin(), drawn.end(), [&](const test::Stroke& s) { return near(s, wire); }))
                << solid.handle << ": a wire of the kernel is not drawn";
        for (const test::Stroke& stroke : drawn)
            EXPECT_TRUE(std::any_of(wires.strokes.begin(), wires.strokes.end(),
                                    [&](const test::Stroke& w) { return near(stroke, w); }))
                << solid.handle << ": a stroke that is no wire of the kernel";
    }
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

// The HATCH entities of example_2000 and the IMAGE entities of r14_Leader.dxf (whose pictures
// no host hands over: their frames) each put lines on the device, viewed at the drawing's
// extents.
TEST_F(DisplaySamplesTest, HatchesAndImageFramesOfTheSamplesDraw) {
    TM_REQUIRE_SAMPLES(samples);
    // Each pass regenerates, so that every entity announces itself before its primitives.
    const uint8_t mode = gOutputHookTable->displayListMode;
    dbSetDisplayListMode(0);
    for (const char* name : {"dwg/example_2000.dwg", "dxf/example_2000.dxf", "dxf/r14_Leader.dxf"}) {
        Drawing* drawing = rdOpenDrawing((samples / name).string().c_str(), kOpenOrdinary, 0);
        ASSERT_NE(drawing, nullptr) << name;
        const uint16_t kind = std::string(name).ends_with("r14_Leader.dxf") ? dbClassImage(drawing->classes)
                                                                            : dbClassHatch(drawing->classes);
        std::vector<std::string> handles;
        for (ListLink* link = drawing->modelSpace->first; link; link = link->next) {
            const EntityRecord& entity = EntityList::asNode(link)->record;
            if (kind != 0 && entity.header.type == kind) handles.push_back(dbHandleToHex(entity.header.handle));
        }
        EXPECT_FALSE(handles.empty()) << name;
        ViewBlock view;
        ASSERT_EQ(genBeginDisplay(drawing, view, kDevice, nullptr, nullptr), 1) << name;
        if (!(view.width > 0.0 && view.height > 0.0)) genGetViewBlock(drawing, view);
        genPrepareView(drawing, view, kDevice, nullptr);
        HookRecorder recorder;
        recorder.install();
        ASSERT_EQ(genDrawDrawing(drawing), 1) << name;
        ASSERT_EQ(genGetViewBlock(drawing, view), 1) << name;
        genPrepareView(drawing, view, kDevice, nullptr);
        recorder.clear();
        ASSERT_EQ(genDrawDrawing(drawing), 1) << name;
        const auto drawn = primitivesPerEntity(recorder.lines());
        for (const std::string& handle : handles) {
            const auto found = drawn.find(handle);
            ASSERT_NE(found, drawn.end()) << name << ": " << handle << " was not reached";
            EXPECT_GT(found->second, 0) << name << ": " << handle;
        }
        recorder.uninstall();
        dbFreeDrawing(drawing);
    }
    dbSetDisplayListMode(mode);
}

} // namespace
} // namespace tracemill
