// Fuzz harness: IMAGE entities drawn through the display with a picture, an entity size and a
// clip boundary from the input, their rows sent through the raster data hook to a host that
// reads every block back (make_raster_image_entity_corpus.py writes the seeds).
//
// Input: byte 0 the flags (bit 0: the clip boundary in force, bit 1: polygonal rather than
// rectangular, bit 2: image frames on, bit 3: clipping on); bytes 1-2 and 3-4 the entity's
// width and height in pixels (u16, little-endian); byte 5 the pixel size as a power of two
// (signed, -8 to 7); bytes 6-21 four clip points (i16 x, y each, in quarter pixels; a
// rectangle takes the first two); then the picture, a BMP file image.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_load.h"
#include "toolkit/display/display_access.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/display_interface.h"
#include "toolkit/display/raster/raster_data_block.h"
#include "toolkit/display/raster/raster_image.h"

using namespace tracemill;

namespace {

constexpr size_t kHeadSize = 22;
// Pictures that declare more pixels than this are passed over, so that one run stays short
// (the decoder's own limit is far larger).
constexpr int64_t kMostPixels = 1 << 16;
constexpr HostRect kFuzzDevice{0, 0, 256, 256};

uint64_t gPixelBytesLeft = 0;
int32_t gFormat = 0;

// Reads a block as a host does; a piece whose head is cut or an unknown tag aborts.
void readBlock(const uint8_t* block, uint32_t size, HostWord) {
    auto u32 = [&](size_t at) {
        return uint32_t(block[at]) | uint32_t(block[at + 1]) << 8 | uint32_t(block[at + 2]) << 16 |
               uint32_t(block[at + 3]) << 24;
    };
    size_t at = size_t(gPixelBytesLeft < size ? gPixelBytesLeft : size);
    gPixelBytesLeft -= at;
    while (at < size) {
        if (size - at < 4) std::abort();
        const uint32_t tag = u32(at);
        if (tag == kRasterImageHeaderTag) {
            if (size - at < kRasterImageHeaderSize) std::abort();
            gFormat = int32_t(u32(at + kRasterImageHeaderFormat));
            at += kRasterImageHeaderSize;
        } else if (tag == kRasterRowStartTag) {
            at += 4;
        } else if (tag == kRasterRowPieceTag) {
            if (size - at < kRasterRowPieceHeadSize) std::abort();
            const uint64_t pixels = genRasterPixelBytes(u32(at + kRasterPieceCount), gFormat);
            at += kRasterRowPieceHeadSize;
            const uint64_t here = pixels < size - at ? pixels : size - at;
            at += size_t(here);
            gPixelBytesLeft = pixels - here;
        } else {
            std::abort();
        }
    }
}

int16_t i16(const uint8_t* p) { return int16_t(uint16_t(p[0] | p[1] << 8)); }
int32_t i32(const uint8_t* p) { return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24); }

// The pixel count the picture's header declares (the core header's 16-bit sizes or the
// information header's 32-bit ones).
int64_t declaredPixels(const uint8_t* picture, size_t size) {
    if (size < 26) return 0;
    if (i32(picture + 14) == 12) return int64_t(uint16_t(i16(picture + 18))) * uint16_t(i16(picture + 20));
    if (size < 26 + 4) return 0;
    return std::llabs(int64_t(i32(picture + 18)) * int64_t(i32(picture + 22)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!fuzz::startToolkit() || size < kHeadSize) return 0;
    static Drawing* drawing = [] {
        Drawing* d = dbCreateDrawing(nullptr, nullptr, 0, kVersionIndex2000);
        ViewBlock view;
        if (!d || !genBeginDisplay(d, view, kFuzzDevice, nullptr, nullptr)) return static_cast<Drawing*>(nullptr);
        view.target = {64.0, 64.0, 0.0, 1.0};
        view.width = view.height = 128.0;
        genPrepareView(d, view, kFuzzDevice, nullptr);
        return d;
    }();
    if (!drawing || declaredPixels(data + kHeadSize, size - kHeadSize) > kMostPixels) return 0;
    dbSetDisplayListMode(0);
    dbSetHook17(readBlock);
    gPixelBytesLeft = 0;
    gFormat = 0;

    const uint8_t flags = data[0];
    RasterImageBody body;
    body.size = {double(data[1] | data[2] << 8), double(data[3] | data[4] << 8)};
    const double pixel = std::ldexp(1.0, int(int8_t(data[5])) % 8);
    body.insertion = {4.0, 4.0, 0.0};
    body.uVector = {pixel, 0.0, 0.0};
    body.vVector = {0.0, pixel, 0.0};
    body.displayProperties = (flags & 1) ? 4 : 0;
    body.clipBoundaryType = (flags & 2) ? 2 : 1;
    body.clipping = (flags & 8) ? 1 : 0;
    for (size_t i = 0; i < 4; ++i)
        body.clipVertices.push_back({i16(data + 6 + 4 * i) / 4.0, i16(data + 8 + 4 * i) / 4.0});
    if (body.clipBoundaryType == 1) body.clipVertices.resize(2);
    PagedStream* picture = dbStreamCreate(4096);
    if (!picture) return 0;
    picture->bytes.assign(data + kHeadSize, data + size);
    body.picture.reset(picture);

    DisplayContext& context = *drawing->displayContext;
    context.planMask = 1;
    context.entity = DrawnEntity{};
    context.entity.kind = dbClassImage(drawing->classes);
    context.imageFrame = (flags & 4) ? 1 : 0;
    std::vector<Matrix4> matrices;
    for (int i = 0; i < context.viewportCount; ++i) matrices.push_back(context.viewports[size_t(i)].worldToDevice);
    genRenderRasterImage(drawing, body, matrices.data());
    if (gPixelBytesLeft != 0) std::abort();
    return 0;
}
