// IMAGE entities: the BMP headers and rows the host hands over (built here byte by byte, and the
// fixtures of tests/data/image), and whole images drawn through the recording hook set with a
// host that hands back a picture and keeps the raster blocks, which the test parses back item
// by item.
#include "toolkit/display/raster/raster_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "../display_fixture.h"
#include "test_paths.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/display/raster/bmp_picture.h"
#include "toolkit/display/raster/raster_data_block.h"

namespace tracemill {
namespace {

void putLe(std::vector<uint8_t>& out, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// A BMP file image: file header, information header of `headerSize` bytes (12: the 16-bit
// core header), the colour table (red << 16 | green << 8 | blue entries) and the rows as given.
std::vector<uint8_t> bmpFile(int32_t width, int32_t height, uint16_t bits, const std::vector<uint32_t>& palette,
                             const std::vector<uint8_t>& rows, uint32_t compression = 0, uint32_t headerSize = 40) {
    const uint32_t entry = headerSize == 12 ? 3 : 4;
    const uint32_t offset = 14 + headerSize + entry * uint32_t(palette.size());
    std::vector<uint8_t> out;
    putLe(out, 0x4D42, 2);
    putLe(out, offset + rows.size(), 4);
    putLe(out, 0, 4);
    putLe(out, offset, 4);
    putLe(out, headerSize, 4);
    if (headerSize == 12) {
        putLe(out, uint32_t(width), 2);
        putLe(out, uint32_t(height), 2);
        putLe(out, 1, 2);
        putLe(out, bits, 2);
    } else {
        putLe(out, uint32_t(width), 4);
        putLe(out, uint32_t(height), 4);
        putLe(out, 1, 2);
        putLe(out, bits, 2);
        putLe(out, compression, 4);
        putLe(out, rows.size(), 4);
        out.resize(14 + headerSize, 0);
    }
    for (uint32_t colour : palette) {
        out.push_back(uint8_t(colour));
        out.push_back(uint8_t(colour >> 8));
        out.push_back(uint8_t(colour >> 16));
        if (entry == 4) out.push_back(0);
    }
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

std::string rgbText(const RasterRgb& c) {
    return std::to_string(c.red) + "," + std::to_string(c.green) + "," + std::to_string(c.blue);
}

// Every pixel of a prepared picture, top row first, as text.
std::string picturePixels(const RasterPicture& picture) {
    std::string text;
    for (int32_t row = 0; row < picture.pixels.height; ++row) {
        const int64_t stored = picture.pixels.topDown ? row : picture.pixels.height - 1 - row;
        for (int32_t column = 0; column < picture.pixels.width; ++column) {
            RasterRgb c;
            genReadBmpPixel(column, stored, picture.info, picture.pixels, c);
            text += rgbText(c) + " ";
        }
        text += "\n";
    }
    return text;
}

TEST(BmpPicture, Headers) {
    const std::vector<uint8_t> rgb = bmpFile(2, 1, 24, {}, {1, 2, 3, 4, 5, 6, 0, 0});
    RasterBmpInfo info;
    genReadBmpHeader(rgb, info);
    EXPECT_EQ(info.status, kBmpUsable);
    EXPECT_EQ(info.file.bfOffBits, 54u);
    EXPECT_EQ(info.colourCount, 0u) << "a 24-bit picture at offset 54 has no colour table";
    RasterPicture picture;
    ASSERT_TRUE(genPrepareRasterPicture(rgb, picture));
    EXPECT_EQ(picture.format, kRasterFormatRgb);
    EXPECT_EQ(picturePixels(picture), "3,2,1 6,5,4 \n") << "stored blue, green, red";

    // A 12-byte header with two colours reads a table of two 3-byte entries.
    const std::vector<uint8_t> core = bmpFile(3, 1, 1, {0x102030, 0xA0B0C0}, {0xA0, 0, 0, 0}, 0, 12);
    genReadBmpHeader(core, info);
    EXPECT_EQ(info.status, kBmpUsable);
    EXPECT_EQ(info.colourCount, 2u);
    EXPECT_EQ(info.colourTable[0], 0x102030u);
    EXPECT_EQ(info.colourTable[1], 0xA0B0C0u);
    EXPECT_EQ(info.dataOffset, 32u);
    ASSERT_TRUE(genPrepareRasterPicture(core, picture));
    EXPECT_EQ(picture.format, kRasterFormatTwoColours);
    EXPECT_EQ(picturePixels(picture), "160,176,192 16,32,48 160,176,192 \n");

    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        uint32_t status;
    } headers[] = {
        {"an OS/2 bitmap array", {'B', 'A', 0, 0, 0, 0}, kBmpOs2Array},
        {"an icon", {'I', 'C'}, kBmpOs2Array},
        {"not a bitmap", {'P', 'K', 3, 4}, kBmpUnusable},
        {"one byte", {'B'}, kBmpUnusable},
        {"a header size of 70", [] {
             std::vector<uint8_t> b = bmpFile(1, 1, 24, {}, {0, 0, 0, 0});
             b[14] = 70;
             return b;
         }(),
         kBmpUnusable},
        {"cut inside the header", [] {
             std::vector<uint8_t> b = bmpFile(1, 1, 24, {}, {0, 0, 0, 0});
             b.resize(30);
             return b;
         }(),
         kBmpUnusable},
        {"a colour table beyond the bytes", [] {
             std::vector<uint8_t> b = bmpFile(1, 1, 8, std::vector<uint32_t>(256, 0), {0, 0, 0, 0});
             b.resize(100);
             return b;
         }(),
         kBmpUnusable},
    };
    for (const auto& c : headers) {
        SCOPED_TRACE(c.name);
        genReadBmpHeader(c.bytes, info);
        EXPECT_EQ(info.status, c.status);
        EXPECT_FALSE(genPrepareRasterPicture(c.bytes, picture));
    }
}

TEST(BmpPicture, PicturesLeftToTheFrame) {
    auto withRows = [](int32_t width, int32_t height, uint16_t bits, std::vector<uint32_t> palette, size_t rowBytes,
                       uint32_t compression = 0) {
        return bmpFile(width, height, bits, palette, std::vector<uint8_t>(rowBytes, 0x11), compression);
    };
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"three colours", withRows(2, 2, 8, {0, 1, 2}, 8)},
        {"a one-bit picture with a table of 16", withRows(2, 2, 1, std::vector<uint32_t>(16, 0), 8)},
        {"an 8-bit picture without a table", withRows(2, 2, 8, {}, 8)},
        {"32 bits per pixel", withRows(1, 1, 32, {}, 4)},
        {"rows beyond the bytes", withRows(4, 3, 24, {}, 35)},
        {"4-bit rows beyond the bytes", withRows(9, 2, 4, std::vector<uint32_t>(16, 0), 7)},
        {"width 0", withRows(0, 2, 24, {}, 8)},
        {"run-length codes of a 4-bit kind on 8 bits", withRows(2, 2, 8, std::vector<uint32_t>(256, 0), 8, 2)},
        {"a run-length picture stored top down", withRows(2, -2, 8, std::vector<uint32_t>(256, 0), 8, 1)},
        {"more than 256,000,000 decoded bytes", withRows(40000, 40000, 8, std::vector<uint32_t>(256, 0), 8, 1)},
        {"bit fields", withRows(1, 1, 24, {}, 4, 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RasterPicture picture;
        EXPECT_FALSE(genPrepareRasterPicture(c.bytes, picture));
    }
}

TEST(BmpPicture, RunLengthFixturesDecodeLikeTheirUncompressedTwins) {
    const std::filesystem::path dir = test::testDataDir() / "image";
    for (const auto& [compressed, plain] : {std::pair{"bmp_rle8.bmp", "bmp_8bit.bmp"}, {"bmp_rle4.bmp", "bmp_4bit.bmp"}}) {
        SCOPED_TRACE(compressed);
        const std::vector<uint8_t> a = test::readFileBytes(dir / compressed), b = test::readFileBytes(dir / plain);
        RasterPicture pa, pb;
        ASSERT_TRUE(genPrepareRasterPicture(a, pa));
        ASSERT_TRUE(genPrepareRasterPicture(b, pb));
        EXPECT_EQ(pa.pixels.width, pb.pixels.width);
        EXPECT_EQ(pa.pixels.height, pb.pixels.height);
        const std::string pixels = picturePixels(pb);
        EXPECT_EQ(picturePixels(pa), pixels);
        EXPECT_NE(pixels.find_first_not_of("0, \n"), std::string::npos) << "the fixture has colours";
    }
}

TEST(BmpPicture, RunLengthCodes) {
    // Rows of a 5 x 3 picture (stride 8), bottom row first, as the codes leave them.
    const struct {
        const char* name;
        bool nibbles;
        std::vector<uint8_t> codes;
        std::string rows;  // the first 5 bytes of each row
    } cases[] = {
        {"encoded and absolute runs, end of line, end of bitmap", false,
         {3, 7, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1}, "7 7 7 0 0|1 2 3 0 0|0 0 0 0 0"},
        {"a delta moves right and up", false, {1, 9, 0, 2, 2, 1, 1, 8, 0, 1}, "9 0 0 0 0|0 0 0 8 0|0 0 0 0 0"},
        {"nibbles of encoded and absolute runs", true, {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1},
         "1 2 1 2 1|3 4 5 0 0|0 0 0 0 0"},
        {"a run beyond the row is cut at its width", false, {9, 4, 0, 1}, "4 4 4 4 4|0 0 0 0 0|0 0 0 0 0"},
        {"an absolute run cut by the end of the codes", false, {0, 5, 1, 2}, "1 2 0 0 0|0 0 0 0 0|0 0 0 0 0"},
        {"codes without an end: rows not reached stay 0", false, {2, 6}, "6 6 0 0 0|0 0 0 0 0|0 0 0 0 0"},
        {"a delta far beyond the picture", false, {0, 2, 255, 255, 3, 1}, "0 0 0 0 0|0 0 0 0 0|0 0 0 0 0"},
        {"a delta cut short", false, {1, 3, 0, 2, 1}, "3 0 0 0 0|0 0 0 0 0|0 0 0 0 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> rows(8 * 3, 0xEE);
        std::fill(rows.begin(), rows.end(), 0);
        genDecodeBmpRunLength(c.codes, c.nibbles, 5, 3, rows);
        std::string text;
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 5; ++column)
                text += std::to_string(rows[size_t(row * 8 + column)]) + (column < 4 ? " " : "");
            if (row < 2) text += "|";
        }
        EXPECT_EQ(text, c.rows);
        for (int row = 0; row < 3; ++row)
            for (int column = 5; column < 8; ++column) EXPECT_EQ(rows[size_t(row * 8 + column)], 0) << "padding";
    }
}

// --- Images through the hooks ------------------------------------------------------------------

// One row piece of a raster block as the host reads it.
struct ParsedPiece {
    double startX = 0, startY = 0, endX = 0, endY = 0;
    double startColumn = 0, endColumn = 0, rowLine = 0;
    std::string startColour, endColour;
    uint32_t count = 0;
    double dx = 0, dy = 0;
    std::vector<uint8_t> pixels;
};

// The items of the blocks in order: "header W H F", "row", "piece" (with `pieces`).
struct ParsedBlocks {
    std::vector<std::string> items;
    std::vector<ParsedPiece> pieces;
    std::vector<uint32_t> blockSizes;
};

std::vector<uint8_t> gRasterBytes;
std::vector<uint32_t> gRasterBlockSizes;
std::vector<uint8_t> gHostPicture;
std::vector<std::string> gPictureRequests;

void keepRasterBlock(const uint8_t* block, uint32_t byteCount, HostWord) {
    gRasterBytes.insert(gRasterBytes.end(), block, block + byteCount);
    gRasterBlockSizes.push_back(byteCount);
}

void handPicture(const char* fileName, PagedStream*& picture, HostWord) {
    gPictureRequests.push_back(fileName);
    if (gHostPicture.empty()) return;
    picture = dbStreamCreate(4096);
    picture->bytes = gHostPicture;
}

ParsedBlocks parseBlocks() {
    ParsedBlocks out;
    out.blockSizes = gRasterBlockSizes;
    const std::vector<uint8_t>& b = gRasterBytes;
    auto u32 = [&](size_t at) { return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24; };
    auto f64 = [&](size_t at) {
        uint64_t bits = 0;
        for (int k = 0; k < 8; ++k) bits |= uint64_t(b[at + size_t(k)]) << (8 * k);
        double v;
        std::memcpy(&v, &bits, 8);
        return v;
    };
    auto colour = [&](size_t at) {
        return std::to_string(b[at]) + "," + std::to_string(b[at + 1]) + "," + std::to_string(b[at + 2]);
    };
    int32_t format = 0;
    size_t at = 0;
    while (at + 4 <= b.size()) {
        const uint32_t tag = u32(at);
        if (tag == kRasterImageHeaderTag) {
            format = int32_t(u32(at + 12));
            out.items.push_back("header " + std::to_string(u32(at + 4)) + " " + std::to_string(u32(at + 8)) + " " +
                                std::to_string(format));
            at += 16;
        } else if (tag == kRasterRowStartTag) {
            out.items.push_back("row");
            at += 4;
        } else if (tag == kRasterRowPieceTag) {
            ParsedPiece p;
            p.startX = f64(at + 4);
            p.startY = f64(at + 12);
            p.startColumn = f64(at + 20);
            p.rowLine = f64(at + 28);
            p.startColour = colour(at + 4 + 40);
            p.endX = f64(at + 52);
            p.endY = f64(at + 60);
            p.endColumn = f64(at + 68);
            p.endColour = colour(at + 52 + 40);
            p.count = u32(at + 100);
            p.dx = f64(at + 104);
            p.dy = f64(at + 112);
            at += 120;
            const size_t n = size_t(genRasterPixelBytes(p.count, format));
            EXPECT_LE(at + n, b.size());
            p.pixels.assign(b.begin() + long(at), b.begin() + long(std::min(at + n, b.size())));
            at += n;
            out.items.push_back("piece");
            out.pieces.push_back(p);
        } else {
            ADD_FAILURE() << "unknown tag " << tag << " at " << at;
            break;
        }
    }
    return out;
}

class RasterImageDisplay : public test::DisplayTest {
  protected:
    void SetUp() override {
        DisplayTest::SetUp();
        matrices = beginSquareGrid(200, dbClassImage(drawing->classes));
        dbSetRasterImageHook(handPicture);
        dbSetHook17(keepRasterBlock);
        gRasterBytes.clear();
        gRasterBlockSizes.clear();
        gHostPicture.clear();
        gPictureRequests.clear();

        ObjectRecord definition;
        definition.header.type = dbClassImageDef(drawing->classes);
        dbInitObject(drawing, definition);
        definition.header.handle = dbNewHandle(*drawing);
        definition.bodyAs<ImageDefBody>().fileName = "site plan.bmp";
        imageDef = definition.header.handle;
        ASSERT_EQ(dbAddObject(drawing, std::move(definition)), 1);
    }

    // An IMAGE of W x H pixels at (20, 20), each pixel `pixel` units square.
    Handle addImage(double w, double h, double pixel, int16_t displayProperties = 0) {
        EntityRecord e = entity(dbClassImage(drawing->classes));
        RasterImageBody& body = e.bodyAs<RasterImageBody>();
        body.insertion = {20, 20, 0};
        body.uVector = {pixel, 0, 0};
        body.vVector = {0, pixel, 0};
        body.size = {w, h};
        body.displayProperties = displayProperties;
        body.imageDefinition = imageDef;
        return add(std::move(e));
    }
    EntityRecord& stored(Handle handle) { return dbFindEntityNode(drawing, drawing->modelSpace, handle)->record; }
    int draw(Handle handle) {
        recorder.clear();
        gRasterBytes.clear();
        gRasterBlockSizes.clear();
        return genDrawRasterImage(drawing, drawing->modelSpace, stored(handle), matrices.data());
    }
    // The lines drawn (the pen's moves left out: the pen may already stand where a frame starts).
    std::vector<std::string> frame() const {
        std::vector<std::string> lines;
        for (const std::string& line : strokes())
            if (line.starts_with("lineTo")) lines.push_back(line);
        return lines;
    }

    std::vector<Matrix4> matrices;
    Handle imageDef;
};

// A 4 x 2 picture of 24 bits: top row red, green, blue, white; bottom row four greys.
std::vector<uint8_t> colourPicture() {
    std::vector<uint8_t> rows;
    for (uint8_t grey : {10, 20, 30, 40}) rows.insert(rows.end(), {grey, grey, grey});
    rows.insert(rows.end(), {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255});
    return bmpFile(4, 2, 24, {}, rows);
}

TEST_F(RasterImageDisplay, RowsGoOutAsTaggedItems) {
    gHostPicture = colourPicture();
    const Handle image = addImage(4, 2, 40);
    context().imageFrame = 0;
    ASSERT_EQ(draw(image), 1);
    EXPECT_EQ(gPictureRequests, std::vector<std::string>{"site plan.bmp"});
    EXPECT_TRUE(stored(image).bodyAs<RasterImageBody>().picture) << "the picture stays with the entity";
    EXPECT_TRUE(frame().empty()) << "no frame while frames are off";

    const ParsedBlocks blocks = parseBlocks();
    EXPECT_EQ(blocks.items, (std::vector<std::string>{"header 4 2 0", "row", "piece", "row", "piece"}));
    ASSERT_EQ(blocks.pieces.size(), 2u);
    // The top row first (row line 2), from device x 20.5 to 180.5; the start block carries the
    // first column's colour, the pixels columns 0 to 2, the end block the last column's.
    const ParsedPiece& top = blocks.pieces[0];
    EXPECT_EQ(top.rowLine, 2.0);
    EXPECT_NEAR(top.startX, 20.5, 1e-9);
    EXPECT_NEAR(top.endX, 180.5, 1e-9);
    EXPECT_NEAR(top.startY, 100.5, 1e-9);
    EXPECT_EQ(top.startColumn, 0.0);
    EXPECT_EQ(top.endColumn, 4.0);
    EXPECT_EQ(top.startColour, "255,0,0");
    EXPECT_EQ(top.endColour, "255,255,255");
    EXPECT_EQ(top.count, 3u);
    EXPECT_NEAR(top.dx, 40.0, 1e-9);
    EXPECT_NEAR(top.dy, 0.0, 1e-9);
    EXPECT_EQ(top.pixels, (std::vector<uint8_t>{255, 0, 0, 0, 255, 0, 0, 0, 255}));
    const ParsedPiece& bottom = blocks.pieces[1];
    EXPECT_EQ(bottom.rowLine, 1.0);
    EXPECT_NEAR(bottom.startY, 60.5, 1e-9);
    EXPECT_EQ(bottom.pixels, (std::vector<uint8_t>{10, 10, 10, 20, 20, 20, 30, 30, 30}));

    // Drawn again: the stored picture, the host is not asked again.
    ASSERT_EQ(draw(image), 1);
    EXPECT_EQ(gPictureRequests.size(), 1u);
    EXPECT_EQ(parseBlocks().pieces.size(), 2u);
}

TEST_F(RasterImageDisplay, FramesAndDeclinedPictures) {
    const Handle declined = addImage(4, 2, 40);
    context().imageFrame = 0;
    ASSERT_EQ(draw(declined), 1);
    EXPECT_TRUE(gRasterBytes.empty());
    const std::vector<std::string> declinedFrame = frame();
    EXPECT_FALSE(declinedFrame.empty()) << "a declined picture is framed by its rectangle";
    for (const char* corner : {" 20 20", " 180 20", " 180 100", " 20 100"})
        EXPECT_TRUE(std::any_of(declinedFrame.begin(), declinedFrame.end(),
                                [&](const std::string& line) { return line.ends_with(corner); }))
            << corner;
    EXPECT_FALSE(stored(declined).bodyAs<RasterImageBody>().picture);

    gHostPicture = colourPicture();
    const Handle framed = addImage(4, 2, 40);
    context().imageFrame = 1;
    ASSERT_EQ(draw(framed), 1);
    EXPECT_EQ(parseBlocks().pieces.size(), 2u) << "picture and frame both";
    EXPECT_EQ(frame(), declinedFrame);

    // A clip boundary in force with clipping on: the frame follows the boundary, and the rows
    // stop at it: the left half of the picture.
    const Handle clipped = addImage(4, 2, 40, 4);
    RasterImageBody& body = stored(clipped).bodyAs<RasterImageBody>();
    body.clipping = 1;
    body.clipBoundaryType = 1;
    // Pixel y counts from the top edge (-0.5) down: -1 to 1 holds both row lines.
    body.clipVertices = {{-0.5, -1}, {1.5, 1}};
    ASSERT_EQ(draw(clipped), 1);
    const ParsedBlocks blocks = parseBlocks();
    ASSERT_EQ(blocks.pieces.size(), 2u);
    for (const ParsedPiece& p : blocks.pieces) {
        EXPECT_NEAR(p.startX, 20.5, 1.0);
        EXPECT_NEAR(p.endX, 100.5, 1.0);
    }
    const std::vector<std::string> boundary = frame();
    EXPECT_FALSE(boundary.empty());
    EXPECT_NE(boundary, declinedFrame);
    for (const std::string& line : boundary) {
        std::istringstream in(line);
        std::string kind;
        int x = 0;
        in >> kind >> x;
        EXPECT_LE(x, 101) << line;
    }

    // A row wholly outside the clip boundary keeps its row start and nothing else.
    body.clipBoundaryType = 2;
    body.clipVertices = {{-1, -1}, {4.5, -1}, {4.5, 0}, {-1, 0}, {-1, -1}};
    ASSERT_EQ(draw(clipped), 1);
    EXPECT_EQ(parseBlocks().items, (std::vector<std::string>{"header 4 2 0", "row", "piece", "row"}));
}

TEST_F(RasterImageDisplay, TwoColourPicturesByTheirTable) {
    // 10 x 1 pixels, bits 1011001110 (set bits are table entry 1), and 64 x 1 pixels whose
    // whole bytes are copied.
    const std::vector<uint8_t> narrow = {0xB3, 0x80, 0, 0};
    const std::vector<uint8_t> wide = {0xB3, 0x0F, 0x55, 0xF0, 0x01, 0x80, 0xC3, 0x3C};
    const struct {
        const char* name;
        std::vector<uint32_t> table;
        bool inverted;  // the lighter colour is entry 0
        const char* startColour;
    } cases[] = {
        {"entry 1 white", {0x000000, 0xFFFFFF}, false, "255,255,255"},
        {"entry 1 black", {0xFFFFFF, 0x000000}, true, "0,0,0"},
        {"entry 1 the lighter of two colours", {0x800000, 0xC0C0FF}, false, "192,192,255"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const uint8_t flip = c.inverted ? 0xFF : 0x00;
        for (const std::vector<uint8_t>& row : {narrow, wide}) {
            const int32_t width = row == narrow ? 10 : 64;
            gHostPicture = bmpFile(width, 1, 1, c.table, row);
            const Handle image = addImage(width, 1, 2);
            context().imageFrame = 0;
            ASSERT_EQ(draw(image), 1);
            const ParsedBlocks blocks = parseBlocks();
            ASSERT_EQ(blocks.items, (std::vector<std::string>{"header " + std::to_string(width) + " 1 2", "row", "piece"}));
            const ParsedPiece& p = blocks.pieces[0];
            EXPECT_EQ(p.count, uint32_t(width - 1));
            EXPECT_EQ(p.startColour, c.startColour) << "the table's colour of column 0";
            // Columns 0 to width - 2, a set bit for the lighter colour, padded with clear bits.
            std::vector<uint8_t> expected;
            for (size_t i = 0; i < size_t(width + 6) / 8; ++i) expected.push_back(uint8_t(row[i] ^ flip));
            const uint32_t lastBits = uint32_t(width - 1) % 8;
            if (lastBits) expected.back() &= uint8_t(0xFF << (8 - lastBits));
            EXPECT_EQ(p.pixels, expected);
        }
    }
}

TEST(RasterImagePlacement, PixelCentresLieAtWholePixelCoordinates) {
    RasterImageBody body;
    body.insertion = {10, 20, 3};
    body.uVector = {0.5, 0, 0};
    body.vVector = {0, 0.25, 0};
    body.size = {300, 100};
    const struct {
        Point2 pixel;
        Point3 world;
    } cases[] = {
        {{-0.5, -0.5}, {10, 45, 3}},        // the top left corner
        {{299.5, 99.5}, {160, 20, 3}},      // the bottom right corner: the insertion point + W U
        {{0, 99}, {10.25, 20.125, 3}},      // the centre of the bottom left pixel
        {{71.5, 22.25}, {46, 39.3125, 3}},
    };
    for (const auto& c : cases) {
        const Point3 world = genImagePixelToWorld(c.pixel, body);
        EXPECT_NEAR(world.x, c.world.x, 1e-12) << c.pixel.x << "," << c.pixel.y;
        EXPECT_NEAR(world.y, c.world.y, 1e-12) << c.pixel.x << "," << c.pixel.y;
        EXPECT_EQ(world.z, c.world.z);
    }
}

TEST_F(RasterImageDisplay, DamagedPicturesAndEntities) {
    // A picture whose header cannot be used: the frame only.
    gHostPicture = {'B', 'M', 1, 2, 3};
    const Handle damaged = addImage(4, 2, 40);
    context().imageFrame = 0;
    ASSERT_EQ(draw(damaged), 1);
    EXPECT_TRUE(gRasterBytes.empty());
    EXPECT_FALSE(frame().empty());

    // An entity that claims a million by a million pixels: the picture's own 4 x 2 rows are
    // laid over it, so two rows go out.
    gHostPicture = colourPicture();
    const Handle huge = addImage(1e6, 1e6, 1e-4);
    ASSERT_EQ(draw(huge), 1);
    EXPECT_EQ(parseBlocks().items, (std::vector<std::string>{"header 4 2 0", "row", "piece", "row", "piece"}));

    // Sizes that are not numbers draw nothing; an image without its definition is not drawn.
    const Handle nan = addImage(NAN, 2, 40);
    EXPECT_EQ(draw(nan), 1);
    EXPECT_TRUE(gRasterBytes.empty());
    const Handle orphan = addImage(4, 2, 40);
    stored(orphan).bodyAs<RasterImageBody>().imageDefinition = Handle{};
    EXPECT_EQ(draw(orphan), 0);
}

TEST_F(RasterImageDisplay, LargePicturesGoOutInBlocksThatKeepTheirItemsWhole) {
    // 600 x 40 pixels of 24 bits: each row piece is 1,800 bytes of pixels.
    std::vector<uint8_t> rows;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 600; ++x) rows.insert(rows.end(), {uint8_t(x), uint8_t(y), 7});
    gHostPicture = bmpFile(600, 40, 24, {}, rows);
    const Handle image = addImage(600, 40, 0.25);
    context().imageFrame = 0;
    ASSERT_EQ(draw(image), 1);
    ASSERT_GT(gRasterBlockSizes.size(), 2u);
    for (size_t i = 0; i + 1 < gRasterBlockSizes.size(); ++i) {
        EXPECT_GT(gRasterBlockSizes[i], kRasterBlockFlushSize);
        EXPECT_LE(gRasterBlockSizes[i], kRasterBlockFlushSize + 1 + kRasterRowPieceHeadSize);
    }
    const ParsedBlocks blocks = parseBlocks();
    ASSERT_EQ(blocks.pieces.size(), 40u);
    // Row 5 from the top is stored row 34: its pixels are (7, 34, x) for x = 0, 1, ...
    const ParsedPiece& p = blocks.pieces[5];
    ASSERT_GE(p.pixels.size(), 9u);
    EXPECT_EQ(p.pixels[0], 7);
    EXPECT_EQ(p.pixels[1], 34);
    EXPECT_EQ(p.pixels[2], 0);
    EXPECT_EQ(p.pixels[5], 1);
}

} // namespace
} // namespace tracemill
