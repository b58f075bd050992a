// The picture hooks of the screen, print and DC sets, and the reading of embedded objects
// into the pictures they draw.
#include <span>

#include "app/image/dib.h"
#include "app/render/drawing_object.h"
#include "app/render/embedded_objects.h"
#include "app/render/picture_hooks.h"
#include "compound_file_writer.h"
#include "hook_test_support.h"
#include "metafile_writer.h"
#include "platform/ole/compound_file_format.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/display/fill_records.h"
#include "toolkit/display/ole_frame.h"

namespace tracemill::test {
namespace {

constexpr QRgb kPictureRed = qRgb(255, 0, 0);
constexpr QRgb kPictureGreen = qRgb(0, 255, 0);
constexpr QRgb kPictureBlue = qRgb(0, 0, 255);
constexpr QRgb kPictureYellow = qRgb(255, 255, 0);
constexpr QRgb kPictureWhite = qRgb(255, 255, 255);
constexpr QRgb kPictureGrey = qRgb(128, 128, 128);

// A 2 x 2 24-bit picture: red, green on top, blue, yellow below.
CDib quadrantPicture() {
    CDib dib;
    EXPECT_TRUE(dib.Create(2, 2, 24));
    const uint8_t rows[16] = {255, 0, 0, 0, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0};
    std::copy(rows, rows + 16, dib.GetBits());
    return dib;
}

std::vector<uint8_t> quadrantFileImage() {
    CDib dib = quadrantPicture();
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(dib.Write(bytes));
    return bytes;
}

// A metafile over a 100 x 100 window: a blue line along y 10, a red triangle at the bottom
// left and the quadrant picture stretched over the right half.
std::vector<uint8_t> drawingMetafile() {
    MetafileWriter w;
    const CDib dib = quadrantPicture();
    const std::vector<uint8_t> packed = PackedDibBytes(*dib.GetHandle());
    w.window(0, 0, 100, 100)
        .pen(0, 0, 0xFF0000)
        .brush(0, 0x0000FF)
        .select(0)
        .select(1)
        .poly(ole::kMetaPolyline, {0, 10, 50, 10})
        .pen(ole::kMetaPenNull, 0, 0)
        .select(2)
        .poly(ole::kMetaPolygon, {0, 60, 40, 100, 0, 100})
        .record(ole::kMetaStretchDib, {0x0020, 0x00CC, 0, 2, 2, 0, 0, 100, 50, 0, 50}, packed);
    return w.bytes();
}

// A toolkit stream of the kind byte and the picture.
PagedStream* pictureStream(uint8_t kind, const std::vector<uint8_t>& bytes) {
    PagedStream* stream = dbStreamCreate(4096);
    stream->bytes.push_back(kind);
    stream->bytes.insert(stream->bytes.end(), bytes.begin(), bytes.end());
    return stream;
}

class PictureHooks : public HookSetTest {
protected:
    void TearDown() override {
        dbStreamDestroy(record.picture);
        HookSetTest::TearDown();
    }
    void usePicture(uint8_t kind, const std::vector<uint8_t>& bytes, std::array<int32_t, 4> rect,
                    std::vector<DevicePoint> boundary) {
        dbStreamDestroy(record.picture);
        record.picture = pictureStream(kind, bytes);
        record.rect = rect;
        points = std::move(boundary);
        record.points = points.data();
        record.pointCount = int32_t(points.size());
    }
    void startGrey(int width, int height) {
        startImage(width, height);
        dc->fillRect({0, 0, width, height}, gdi::rgb(128, 128, 128));
    }
    QRgb at(int x, int y) const { return image.pixel(x, y); }

    CDrawingObject drawingObject;
    PictureRecord record;
    std::vector<DevicePoint> points;
};

TEST_F(PictureHooks, ABitmapIsStretchedIntoItsRectangleAndClippedToItsBoundary) {
    usePicture(kPictureBitmap, quadrantFileImage(), {0, 0, 40, 40}, {{0, 0}, {40, 0}, {0, 40}});
    startGrey(50, 50);
    gOutputHookTable->picture(record, &drawingObject);
    finishImage();
    EXPECT_EQ(at(5, 5), kPictureRed);
    EXPECT_EQ(at(30, 5), kPictureGreen);
    EXPECT_EQ(at(5, 30), kPictureBlue);
    EXPECT_EQ(at(15, 22), kPictureBlue);
    EXPECT_EQ(at(30, 30), kPictureGrey) << "outside the triangle";
    EXPECT_EQ(at(45, 5), kPictureGrey) << "outside the rectangle";
}

TEST_F(PictureHooks, AMetafileIsPlayedOnWhiteInsideItsRectangle) {
    usePicture(kPictureMetafile, drawingMetafile(), {10, 10, 50, 50}, {{10, 10}, {50, 10}, {50, 50}, {10, 50}});
    startGrey(60, 60);
    gOutputHookTable->picture(record, &drawingObject);
    finishImage();
    EXPECT_EQ(at(15, 14), kPictureBlue) << "the line at y 10 of 100";
    EXPECT_EQ(at(12, 45), kPictureRed) << "the triangle";
    EXPECT_EQ(at(35, 15), kPictureRed) << "the picture's top left quadrant";
    EXPECT_EQ(at(45, 15), kPictureGreen);
    EXPECT_EQ(at(35, 45), kPictureBlue);
    EXPECT_EQ(at(45, 45), kPictureYellow);
    EXPECT_EQ(at(20, 25), kPictureWhite) << "the rectangle is white where nothing is drawn";
    EXPECT_EQ(at(5, 5), kPictureGrey);
    EXPECT_EQ(at(55, 30), kPictureGrey);
}

TEST_F(PictureHooks, PicturesThatCannotBeDrawnLeaveTheTargetAlone) {
    std::vector<uint8_t> cut = quadrantFileImage();
    cut.resize(cut.size() - 5);
    const struct {
        const char* name;
        uint8_t kind;
        std::vector<uint8_t> bytes;
        bool host;
    } cases[] = {
        {"no host", kPictureBitmap, quadrantFileImage(), false},
        {"unknown kind", 7, quadrantFileImage(), true},
        {"bitmap cut short", kPictureBitmap, cut, true},
        {"not a metafile", kPictureMetafile, std::vector<uint8_t>(30, 0x41), true},
        {"empty", kPictureMetafile, {}, true},
    };
    for (const auto& c : cases) {
        usePicture(c.kind, c.bytes, {0, 0, 20, 20}, {});
        startGrey(20, 20);
        gOutputHookTable->picture(record, c.host ? &drawingObject : nullptr);
        finishImage();
        EXPECT_EQ(pixelsOf(kPictureGrey).size(), 400u) << c.name;
    }
}

TEST_F(PictureHooks, PrintedPicturesArePlacedOnTheTurnedCornersUpright) {
    InstallPrintHooks();
    GdiOutputState& state = GetGdiOutputState();
    state.width = 30;
    state.height = 20;
    state.printRotation = 1;  // (x, y) -> (height - y, x)
    usePicture(kPictureBitmap, quadrantFileImage(), {0, 0, 10, 10}, {});
    startGrey(30, 30);
    state.printOutput = 0;
    gOutputHookTable->picture(record, &drawingObject);
    finishImage();
    EXPECT_EQ(pixelsOf(kPictureGrey).size(), 900u) << "nothing while the print flag is clear";
    startGrey(30, 30);
    state.printOutput = 1;
    gOutputHookTable->picture(record, &drawingObject);
    finishImage();
    // The corners (0, 0) and (10, 10) land on (20, 0) and (10, 10).
    EXPECT_EQ(at(12, 2), kPictureRed);
    EXPECT_EQ(at(18, 2), kPictureGreen);
    EXPECT_EQ(at(12, 8), kPictureBlue);
    EXPECT_EQ(at(18, 8), kPictureYellow);
    EXPECT_EQ(at(5, 5), kPictureGrey);
    state.printOutput = 0;
    state.printRotation = 0;
}

TEST_F(PictureHooks, TheDcSetDrawsThePictureAndWhitensItsBoundaryInTheMask) {
    startGrey(20, 20);
    QImage maskImage(20, 20, QImage::Format_RGB32);
    maskImage.fill(Qt::black);
    gdi::ImageDeviceContext mask(maskImage);
    GetGdiOutputState().height = 20;
    SetDcOutputHooks(true, &mask);
    // y upwards: the picture's top left corner is (0, 20).
    usePicture(kPictureBitmap, quadrantFileImage(), {0, 20, 10, 10}, {{0, 20}, {10, 20}, {10, 10}, {0, 10}});
    gOutputHookTable->picture(record, &drawingObject);
    mask.end();
    finishImage();
    SetDcOutputHooks(false, nullptr);
    EXPECT_EQ(at(2, 2), kPictureRed);
    EXPECT_EQ(at(8, 8), kPictureYellow);
    EXPECT_EQ(maskImage.pixel(5, 5), kPictureWhite);
    EXPECT_EQ(maskImage.pixel(15, 15), qRgb(0, 0, 0));
}

// --- Embedded objects.

std::vector<uint8_t> nativeStream(const std::vector<uint8_t>& fileImage) {
    std::vector<uint8_t> bytes = {uint8_t(fileImage.size()), uint8_t(fileImage.size() >> 8), 0, 0};
    bytes.insert(bytes.end(), fileImage.begin(), fileImage.end());
    return bytes;
}

std::vector<uint8_t> presentationStream(const std::vector<uint8_t>& metafile) {
    std::vector<uint8_t> bytes(kOlePresentationHeader, 0);
    bytes.insert(bytes.end(), metafile.begin(), metafile.end());
    return bytes;
}

// The picture read from the compound file: its kind and bytes, or none.
std::optional<std::vector<uint8_t>> objectPicture(const std::vector<uint8_t>& file) {
    PagedStream* data = dbStreamCreate(4096);
    data->bytes = file;
    PagedStream* picture = ReadOleObjectPicture(data);
    dbStreamDestroy(data);
    if (!picture) return std::nullopt;
    std::vector<uint8_t> bytes = picture->bytes;
    dbStreamDestroy(picture);
    return bytes;
}

std::vector<uint8_t> withKind(uint8_t kind, const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> out{kind};
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

using EmbeddedObjects = ToolkitTest;

TEST_F(EmbeddedObjects, NativeDataGiveABitmapAndAPresentationAMetafile) {
    const std::vector<uint8_t> bmp = quadrantFileImage();
    const std::vector<uint8_t> metafile = drawingMetafile();
    const std::u16string native = StreamName(std::string(kOleNativeStream));
    const std::u16string presentation = StreamName(std::string(kOlePresentationStream));
    EXPECT_EQ(objectPicture(WriteCompoundFile({{native, nativeStream(bmp)}}).bytes), withKind(kPictureBitmap, bmp));
    EXPECT_EQ(objectPicture(WriteCompoundFile({{presentation, presentationStream(metafile)}}).bytes),
              withKind(kPictureMetafile, metafile));
    // Both: the presentation is taken; a presentation of its header alone gives way to the
    // native data.
    EXPECT_EQ(objectPicture(WriteCompoundFile({{native, nativeStream(bmp)}, {presentation, presentationStream(metafile)}})
                                .bytes),
              withKind(kPictureMetafile, metafile));
    EXPECT_EQ(objectPicture(WriteCompoundFile({{presentation, presentationStream({})}, {native, nativeStream(bmp)}})
                                .bytes),
              withKind(kPictureBitmap, bmp));
    // A large metafile, in sectors of its own.
    std::vector<uint8_t> large = metafile;
    large.resize(9000, 0);
    EXPECT_EQ(objectPicture(WriteCompoundFile({{presentation, presentationStream(large)}}).bytes),
              withKind(kPictureMetafile, large));
}

TEST_F(EmbeddedObjects, DamagedObjectsGiveNoPicture) {
    std::vector<uint8_t> large = drawingMetafile();
    large.resize(9000, 0);
    const std::u16string presentation = StreamName(std::string(kOlePresentationStream));
    const CompoundFileImage good = WriteCompoundFile({{presentation, presentationStream(large)}});
    auto put32 = [](std::vector<uint8_t>& b, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
    };
    const size_t first = size_t(good.firstSectors[0]);
    std::vector<uint8_t> truncated = good.bytes, cyclic = good.bytes, oversized = good.bytes;
    truncated.resize(truncated.size() / 2);
    put32(cyclic, good.fatOffset + 4 * (first + 2), uint32_t(first));
    put32(oversized, good.entryOffsets[0] + ole::kEntryStreamSize, 0x7FFFFFF0);
    for (const auto& [name, file] : {std::pair{"truncated", truncated}, std::pair{"cyclic", cyclic},
                                     std::pair{"oversized", oversized}, std::pair{"not a compound file", large},
                                     std::pair{"empty", std::vector<uint8_t>{}}})
        EXPECT_FALSE(objectPicture(file)) << name;
    EXPECT_EQ(ReadOleObjectPicture(nullptr), nullptr);
}

TEST_F(EmbeddedObjects, TheObjectHookHandsThePictureBackOnlyWhenThereIsOne) {
    PagedStream* data = dbStreamCreate(4096);
    data->bytes = WriteCompoundFile({{StreamName(std::string(kOleNativeStream)), nativeStream(quadrantFileImage())}}).bytes;
    OleObjectInfo object;
    OleObjectPictureHook(data, object, nullptr);
    ASSERT_NE(object.picture, nullptr);
    EXPECT_EQ(object.picture->bytes, withKind(kPictureBitmap, quadrantFileImage()));
    dbStreamDestroy(object.picture);
    // Data without a picture leave what the toolkit passed.
    data->bytes.assign(300, 0x55);
    PagedStream* passed = dbStreamCreate(4096);
    object.picture = passed;
    OleObjectPictureHook(data, object, nullptr);
    EXPECT_EQ(object.picture, passed);
    dbStreamDestroy(passed);
    dbStreamDestroy(data);
}

TEST_F(EmbeddedObjects, OneStreamIsOpenAtATime) {
    std::vector<uint8_t> bytes(100);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i);
    const std::vector<uint8_t> file = WriteCompoundFile({{u"data", bytes}}).bytes;
    uint8_t buffer[10] = {};
    EXPECT_EQ(OleStreamTell(), 0u);
    EXPECT_EQ(OleStreamRead(buffer, 10), 0u);
    EXPECT_EQ(OleStreamSeek(5), 0u);
    EXPECT_FALSE(OleStreamAtEnd());
    ASSERT_EQ(OleStreamOpen(file, "DATA"), 100u);
    EXPECT_EQ(OleStreamSeek(95), 95u);
    EXPECT_EQ(OleStreamRead(buffer, 10), 5u);
    EXPECT_EQ(buffer[0], 95);
    EXPECT_TRUE(OleStreamAtEnd());
    EXPECT_EQ(OleStreamSkip(-200), 0u);
    EXPECT_EQ(OleStreamSkip(7), 7u);
    EXPECT_EQ(OleStreamSeek(1000), 100u);
    EXPECT_EQ(OleStreamOpen(file, "other"), 0u) << "a missing stream closes the open one";
    EXPECT_EQ(OleStreamTell(), 0u);
    OleStreamClose();
}

TEST_F(PictureHooks, AnEmbeddedPaintingIsDrawnThroughTheScreenSet) {
    const std::vector<uint8_t> file =
        WriteCompoundFile({{StreamName(std::string(kOleNativeStream)), nativeStream(quadrantFileImage())}}).bytes;
    PagedStream* data = dbStreamCreate(4096);
    data->bytes = file;
    record.picture = ReadOleObjectPicture(data);
    dbStreamDestroy(data);
    ASSERT_NE(record.picture, nullptr);
    record.rect = {0, 0, 10, 10};
    startGrey(10, 10);
    gOutputHookTable->picture(record, &drawingObject);
    finishImage();
    EXPECT_EQ(at(2, 2), kPictureRed);
    EXPECT_EQ(at(7, 7), kPictureYellow);
}

} // namespace
} // namespace tracemill::test
