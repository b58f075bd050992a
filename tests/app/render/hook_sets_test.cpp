#include <cmath>
#include <limits>
#include <sstream>
#include <string>

#include "app/render/devices/output_device.h"
#include "app/render/drawing_object.h"
#include "app/render/gdi_hook_primitives.h"
#include "app/render/picture_hooks.h"
#include "hook_test_support.h"

namespace tracemill::test {
namespace {

constexpr QRgb kWhitePixel = qRgb(255, 255, 255);

// An output device that writes every call as a line of text.
class RecordingDevice : public render::COutputDevice {
public:
    explicit RecordingDevice(bool polyPolygons = false) : polyPolygons_(polyPolygons) {}

    bool Begin(const char*, const char*, const char*, double, double) override { return true; }
    bool End() override { return true; }
    void MoveTo(double x, double y) override { add() << "MoveTo " << x << ' ' << y; }
    void LineTo(double x, double y) override { add() << "LineTo " << x << ' ' << y; }
    void FillPolygon(int32_t first, int32_t last, render::DevicePoint* points) override {
        std::ostringstream& line = add();
        line << "FillPolygon";
        for (int32_t i = first; i <= last; ++i) line << ' ' << points[i].x << ',' << points[i].y;
        triangles.push_back({points + first, points + last + 1});
    }
    void FillPolyPolygon(render::DevicePoint* points, const uint32_t* counts, uint32_t polygonCount) override {
        std::ostringstream& line = add();
        line << "FillPolyPolygon";
        size_t next = 0;
        for (uint32_t k = 0; k < polygonCount; ++k) {
            line << " [";
            for (uint32_t i = 0; i < counts[k]; ++i, ++next) line << (i ? " " : "") << points[next].x << ',' << points[next].y;
            line << ']';
        }
    }
    bool SupportsPolyPolygon() const override { return polyPolygons_; }
    void SetPen(gdi::ColorRef colour, double width) override {
        add() << "SetPen " << std::hex << colour << std::dec << ' ' << width;
    }

    std::vector<std::string> lines() {
        flush();
        return lines_;
    }
    std::vector<std::vector<render::DevicePoint>> triangles;

private:
    std::ostringstream& add() {
        flush();
        pending_.emplace();
        return *pending_;
    }
    void flush() {
        if (pending_) lines_.push_back(pending_->str());
        pending_.reset();
    }
    bool polyPolygons_;
    std::optional<std::ostringstream> pending_;
    std::vector<std::string> lines_;
};

double polygonArea(const std::vector<render::DevicePoint>& points) {
    double twice = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const render::DevicePoint& a = points[i];
        const render::DevicePoint& b = points[(i + 1) % points.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return std::abs(twice) / 2;
}

class DeviceHooks : public HookSetTest {
protected:
    void SetUp() override {
        HookSetTest::SetUp();
        FitDeviceScale(420, 297); // 10,000
        InstallDeviceHooks();
    }
    void TearDown() override {
        InstallScreenHooks();
        HookSetTest::TearDown();
    }
    HostWord host(RecordingDevice& device) {
        pair = {&drawingObject, &device};
        return &pair;
    }
    CDrawingObject drawingObject;
    DeviceHostContext pair;
};

struct DeviceScaleCase {
    double width;
    double height;
    double scale;
    bool fitted;
};

TEST(DeviceScale, GrowsByTensWhileTheVirtualDeviceStaysSmall) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const DeviceScaleCase cases[] = {
        {420, 297, 10000, true}, {6000, 10, 100, true}, {5000, 5000, 100, true},
        {4999, 4999, 1000, true}, {1, 1, 1000000, true}, {0, 297, 100, false},
        {420, 0, 100, false}, {-420, 297, 100, false}, {nan, 297, 100, false},
        {420, inf, 100, false},
    };
    for (const DeviceScaleCase& c : cases) {
        EXPECT_EQ(FitDeviceScale(c.width, c.height), c.fitted) << c.width << " x " << c.height;
        EXPECT_EQ(GetDeviceScale(), c.scale) << c.width << " x " << c.height;
    }
}

TEST_F(DeviceHooks, PolygonsOfOneAndTwoPointsAndLinesAreScaled) {
    RecordingDevice device;
    const HostWord h = host(device);
    gOutputHookTable->moveTo(10000, 20000, h);
    gOutputHookTable->lineTo(15000, 20000, h);
    const std::vector<DevicePoint> points{{0, 0}, {10000, 0}, {10000, 30000}, {5, 7}};
    gOutputHookTable->polygon(PointRange{0, 0}, points.data(), h);
    gOutputHookTable->polygon(PointRange{1, 2}, points.data(), h);
    gOutputHookTable->polygon(PointRange{0, 2}, points.data(), h);
    gOutputHookTable->polygon(PointRange{2, 1}, points.data(), h);
    EXPECT_EQ(device.lines(), (std::vector<std::string>{"MoveTo 1 2", "LineTo 1.5 2", "MoveTo 1 0", "LineTo 1 3",
                                                        "FillPolygon 0,0 1,0 1,3"}));
}

TEST_F(DeviceHooks, TriangleStripsBecomeTriangles) {
    RecordingDevice device;
    const std::vector<DevicePoint> points{{0, 0}, {10000, 0}, {0, 10000}, {10000, 10000}, {0, 20000}};
    gOutputHookTable->triangleStrip(points.data(), int32_t(points.size()), host(device));
    EXPECT_EQ(device.lines(), (std::vector<std::string>{"FillPolygon 0,0 1,0 0,1", "FillPolygon 1,0 0,1 1,1",
                                                        "FillPolygon 0,1 1,1 0,2"}));
}

const std::vector<DevicePoint> kSquareWithHole{{0, 0},        {40000, 0},     {40000, 40000}, {0, 40000},
                                               {10000, 10000}, {30000, 10000}, {30000, 30000}, {10000, 30000}};

TEST_F(DeviceHooks, PolyPolygonsGoWholeToADeviceThatFillsThem) {
    RecordingDevice device(true);
    gOutputHookTable->polyPolygon(kSquareWithHole.data(), std::vector<int32_t>{4, 4}.data(), 2, host(device));
    EXPECT_EQ(device.lines(), (std::vector<std::string>{"FillPolyPolygon [0,0 4,0 4,4 0,4] [1,1 3,1 3,3 1,3]"}));
}

TEST_F(DeviceHooks, PolyPolygonsBecomePolygonsForADeviceThatCannotFillThem) {
    RecordingDevice device(false);
    gOutputHookTable->polyPolygon(kSquareWithHole.data(), std::vector<int32_t>{4, 4}.data(), 2, host(device));
    ASSERT_FALSE(device.triangles.empty());
    double area = 0;
    for (const std::vector<render::DevicePoint>& piece : device.triangles) area += polygonArea(piece);
    EXPECT_NEAR(area, 16.0 - 4.0, 1e-9); // the square less its hole
    for (const std::string& line : device.lines()) EXPECT_TRUE(line.starts_with("FillPolygon")) << line;
}

TEST_F(DeviceHooks, PenColoursAreMappedOnlyWhenTheDeviceUsesPenWidths) {
    SavedPenTable pens;
    pens[5].mappedColorIndex = 1;
    pens[5].exportWidth = 0.5;
    pens[6].mappedColorIndex = 300; // out of range: the index's own colour
    RecordingDevice plain;
    gOutputHookTable->color(5, host(plain));
    RecordingDevice mapped;
    mapped.SetUsePenWidths(true);
    gOutputHookTable->color(5, host(mapped));
    gOutputHookTable->color(6, host(mapped));
    drawingObject.SetColorMode(kColorModeGray);
    gOutputHookTable->color(5, host(mapped));
    gOutputHookTable->color(-7, host(mapped));
    EXPECT_EQ(plain.lines(), (std::vector<std::string>{"SetPen ff0000 0.5"}));
    EXPECT_EQ(mapped.lines(), (std::vector<std::string>{"SetPen ff 0.5", "SetPen ff00ff 0", "SetPen 4c4c4c 0.5",
                                                        "SetPen 0 0"}));
}

TEST_F(DeviceHooks, TheDrawingObjectOfTheHostIsThePairsFirstMember) {
    RecordingDevice device;
    EXPECT_EQ(DrawingObjectOfHost(host(device)), &drawingObject);
    EXPECT_EQ(DrawingObjectOfHost(nullptr), nullptr);
    InstallScreenHooks();
    EXPECT_EQ(DrawingObjectOfHost(&drawingObject), &drawingObject);
}

TEST_F(DeviceHooks, TheStripHookLeftInstalledDrawsThroughTheScreenSetAfterwards) {
    RecordingDevice device;
    InstallScreenHooks(); // the strip slot keeps the device set's hook
    startImage(12, 12);
    color(1);
    const std::vector<DevicePoint> strip{{1, 1}, {10, 1}, {1, 10}, {10, 10}};
    gOutputHookTable->triangleStrip(strip.data(), 4, &drawingObject);
    finishImage();
    EXPECT_TRUE(device.lines().empty());
    EXPECT_EQ(image.pixel(5, 5), qRgb(255, 0, 0));
}

using ExtentsHooks = HookSetTest;

TEST_F(ExtentsHooks, CollectTheBoundsOfLinesAndFills) {
    InstallExtentsHooks();
    const ExtentsState& e = GetExtentsState();
    moveTo(5, 5);
    EXPECT_EQ(e.firstPoint, 1); // a lone move adds nothing
    lineTo(-3, 8);
    EXPECT_EQ(e.firstPoint, 0);
    EXPECT_EQ((std::array{e.minX, e.minY, e.maxX, e.maxY}), (std::array{-3, 5, 5, 8}));
    moveTo(100, 100);
    polygon({{0, 0}, {2, -9}, {1, 1}});
    lineTo(4, 4); // the move before the polygon no longer counts
    polyPolygon({{50, 1}, {51, 2}, {52, 3}, {60, 60}}, {2, -1, 1});
    EXPECT_EQ((std::array{e.minX, e.minY, e.maxX, e.maxY}), (std::array{-3, -9, 52, 8}));
    InstallExtentsHooks();
    EXPECT_EQ(e.firstPoint, 1);
}

TEST_F(ExtentsHooks, TheNullAndExtentsSetsDrawNothingAndRefusePictures) {
    startImage(10, 10);
    for (auto install : {InstallNullHooks, InstallExtentsHooks}) {
        install();
        color(1);
        moveTo(0, 0);
        lineTo(9, 9);
        polygon({{0, 0}, {9, 0}, {9, 9}});
        EXPECT_EQ(gOutputHookTable->rasterImage, RefuseRasterImage);
        EXPECT_EQ(gOutputHookTable->picture, nullptr);
    }
    finishImage();
    EXPECT_EQ(pixelsOf(kWhitePixel).size(), 100u);
}

TEST_F(ExtentsHooks, TheScreenAndPrintSetsTakeRasterImages) {
    const struct {
        void (*install)();
        RasterDataHook rows;
    } sets[] = {{InstallScreenHooks, ScreenRasterData}, {InstallPrintHooks, PrintRasterData}};
    InstallScreenHooks();
    for (const auto& set : sets) {
        set.install();
        EXPECT_EQ(gOutputHookTable->rasterImage, LoadRasterImageHook);
        EXPECT_EQ(gOutputHookTable->hostRasterData, set.rows);
    }
    InstallNullHooks();
}

class PrintHooks : public HookSetTest {
protected:
    void SetUp() override {
        HookSetTest::SetUp();
        InstallPrintHooks();
        GdiOutputState& state = GetGdiOutputState();
        state.width = 1000;
        state.height = 800;
        state.printOffsetX = 5;
        state.printOffsetY = 7;
        state.printOutput = 1;
    }
};

struct RotationCase {
    int16_t rotation;
    gdi::Point drawnAt;
};

TEST_F(PrintHooks, PointsAreTurnedWithinThePageAndShifted) {
    const RotationCase cases[] = {{0, {15, 27}}, {1, {785, 17}}, {2, {995, 787}}, {3, {25, 997}}, {7, {15, 27}}};
    for (const RotationCase& c : cases) {
        startImage(1001, 1001);
        GetGdiOutputState().printRotation = c.rotation;
        color(1);
        moveTo(10, 20);
        lineTo(10, 20);
        finishImage();
        EXPECT_EQ(pixelsOf(qRgb(255, 0, 0)), std::vector<gdi::Point>{c.drawnAt}) << "rotation " << c.rotation;
    }
}

TEST_F(PrintHooks, NothingIsDrawnWithoutThePrintOutputFlag) {
    startImage(100, 100);
    GetGdiOutputState().printOutput = 0;
    color(1);
    moveTo(10, 10);
    lineTo(50, 50);
    lineTo(50, 50);
    polygon({{0, 0}, {40, 0}, {40, 40}});
    polyPolygon({{0, 0}, {40, 0}, {40, 40}}, {3});
    EXPECT_EQ(GetGdiOutputState().lastX, 55); // the pen position follows all the same
    finishImage();
    EXPECT_EQ(pixelsOf(kWhitePixel).size(), 10000u);
}

TEST_F(PrintHooks, PensHaveThePrintWidthAndTheMappedColour) {
    startImage(10, 10);
    SavedPenTable pens;
    pens[30] = {0, 12, 5};
    color(30);
    EXPECT_EQ(dc->pen().width, 12);
    EXPECT_EQ(dc->pen().color, gdi::rgb(0, 0, 255));
    EXPECT_EQ(dc->brush().color, gdi::rgb(0, 0, 255));
}

TEST_F(PrintHooks, ShownLineWeightsRemakeThePrintersPen) {
    startImage(10, 10);
    SavedPenTable pens;
    pens[3] = {0, 9, 1};
    GdiOutputState& state = GetGdiOutputState();
    state.lineWeightFlag = 1;
    color(3);
    gOutputHookTable->lineWidth(40, nullptr);
    EXPECT_EQ(state.currentSlot, 8);
    EXPECT_EQ(dc->pen().width, 9);
    EXPECT_EQ(dc->pen().color, gdi::rgb(255, 0, 0));
}

class DcHooks : public HookSetTest {
protected:
    void SetUp() override {
        HookSetTest::SetUp();
        startImage(20, 20);
        mask = QImage(20, 20, QImage::Format_RGB32);
        mask.fill(Qt::gray);
        maskDc = std::make_unique<gdi::ImageDeviceContext>(mask);
        FillDcBlack(*maskDc, 20, 20);
        GetGdiOutputState().height = 19; // the device rectangle's bottom
        SetDcOutputHooks(true, maskDc.get());
    }
    void TearDown() override {
        SetDcOutputHooks(false, nullptr);
        maskDc.reset();
        HookSetTest::TearDown();
    }
    void finishBoth() {
        finishImage();
        maskDc->end();
    }
    QImage mask;
    std::unique_ptr<gdi::ImageDeviceContext> maskDc;
};

TEST_F(DcHooks, EachPrimitiveGoesInColourIntoTheImageAndWhiteIntoTheMask) {
    color(1);
    moveTo(2, 2);
    lineTo(12, 2);
    moveTo(15, 15);
    lineTo(15, 15);
    color(3);
    polygon({{2, 5}, {6, 5}, {6, 9}, {2, 9}});
    polyPolygon({{10, 5}, {18, 5}, {18, 13}, {10, 13}, {12, 7}, {16, 7}, {16, 11}, {12, 11}}, {4, 4});
    EXPECT_EQ(dc->mapMode(), gdi::MapMode::Text);
    EXPECT_EQ(maskDc->mapMode(), gdi::MapMode::Text);
    EXPECT_EQ(maskDc->pen().color, gdi::rgb(255, 255, 255));
    finishBoth();
    // Toolkit y runs upwards: y = 2 is row 17.
    EXPECT_EQ(image.pixel(2, 17), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(12, 17), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(15, 4), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(4, 12), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(14, 10), kWhitePixel); // the hole
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const bool drawn = image.pixel(x, y) != kWhitePixel;
            EXPECT_EQ(mask.pixel(x, y), drawn ? kWhitePixel : qRgb(0, 0, 0)) << x << ',' << y;
        }
    }
}

TEST_F(DcHooks, SwitchingOffForgetsTheMaskAndInstallsTheScreenSet) {
    EXPECT_EQ(gOutputHookTable->hostColor, ScreenSetColor);
    EXPECT_EQ(GetGdiOutputState().mask, maskDc.get());
    SetDcOutputHooks(true, nullptr);
    EXPECT_EQ(GetGdiOutputState().mask, nullptr);
    color(1);
    moveTo(0, 0);
    lineTo(5, 0);
    finishBoth();
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0)); // the screen set does not turn y
    EXPECT_EQ(mask.pixel(0, 0), qRgb(0, 0, 0));
}

} // namespace
} // namespace tracemill::test
