#include "toolkit/display/display_list_host_records.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/display/display_list.h"
#include "toolkit/display/display_list_code.h"
#include "toolkit/display/display_list_output.h"
#include "toolkit/display/display_list_view.h"
#include "toolkit/display/fill_records.h"
#include "toolkit/display/raster/raster_data_block.h"
#include "toolkit/display/scratch_buffer.h"

namespace tracemill {
namespace {

// Little-endian writing and bounds-checked reading of a record's values.
class Writer {
  public:
    explicit Writer(std::vector<uint8_t>& out) : out_(out) {}
    bool begin(uint8_t kind, size_t size) {
        if (size > UINT32_MAX - kDlistHostRecordHead) return false;
        if (!dbAllocationAllowed()) return false;
        try {
            out_.resize(kDlistHostRecordHead + size);
        } catch (const std::bad_alloc&) {
            return false;
        } catch (const std::length_error&) {
            return false;
        }
        genDlistEncodeHostRecordHead(out_.data(), kind, uint32_t(size));
        at_ = kDlistHostRecordHead;
        return true;
    }
    void i32(int32_t v) {
        putLe32(out_.data() + at_, uint32_t(v));
        at_ += 4;
    }
    void f64(double v) {
        putLe64(out_.data() + at_, doubleBits(v));
        at_ += 8;
    }
    void point(const DevicePoint& p) {
        i32(p.x);
        i32(p.y);
    }
    void bytes(const uint8_t* data, size_t n) {
        if (n) std::memcpy(out_.data() + at_, data, n);
        at_ += n;
    }

  private:
    std::vector<uint8_t>& out_;
    size_t at_ = 0;
};

class Reader {
  public:
    Reader(const uint8_t* bytes, size_t size) : p_(bytes), left_(size) {}
    const uint8_t* take(size_t n) {
        if (n > left_) return nullptr;
        const uint8_t* at = p_;
        p_ += n;
        left_ -= n;
        return at;
    }
    bool i32(int32_t& v) {
        const uint8_t* at = take(4);
        if (at) v = int32_t(getLe32(at));
        return at != nullptr;
    }
    bool f64(double& v) {
        const uint8_t* at = take(8);
        if (at) v = doubleFromBits(getLe64(at));
        return at != nullptr;
    }
    // A count of items of `itemSize` bytes that the bytes left can hold.
    bool count(int32_t& n, size_t itemSize) { return i32(n) && n >= 0 && size_t(n) <= left_ / itemSize; }

  private:
    const uint8_t* p_;
    size_t left_;
};

// Reads n grid points and appends them, on the device, to `out`.
bool readPoints(Reader& in, const DisplayList& list, int32_t n, std::vector<DevicePoint>& out) {
    for (int32_t i = 0; i < n; ++i) {
        int32_t x = 0, y = 0;
        if (!in.i32(x) || !in.i32(y)) return false;
        out.push_back(genDlistDevicePoint(list, x, y));
    }
    return true;
}

// A device coordinate of display generation (in grid units) taken to the device.
double rasterCoordinate(const DisplayList& list, double value, bool y) {
    const Point2 device = genDlistGridToDevice(list, y ? Point2{0.0, value - 0.5} : Point2{value - 0.5, 0.0});
    return y ? device.y : device.x;
}

void convertDouble(uint8_t* at, double factor, double offset) {
    putLe64(at, doubleBits(doubleFromBits(getLe64(at)) * factor + offset));
}

// Takes the positions and steps of the row pieces of a raster block through the window. The
// pixel format comes from the block's image header or an earlier block's, and the pixels of a
// piece may run on into the next block: `state` carries both from block to block.
void convertRasterBlock(const DisplayList& list, uint8_t* block, size_t size, DisplayListRasterState& state) {
    const double originX = rasterCoordinate(list, 0.0, false), originY = rasterCoordinate(list, 0.0, true);
    size_t at = 0;
    const size_t pending = size_t(std::min<uint64_t>(state.pixelBytesLeft, size));
    at += pending;
    state.pixelBytesLeft -= pending;
    while (size - at >= 4) {
        const uint32_t tag = getLe32(block + at);
        if (tag == kRasterImageHeaderTag) {
            if (size - at < kRasterImageHeaderSize) return;
            state.format = int32_t(getLe32(block + at + kRasterImageHeaderFormat));
            at += kRasterImageHeaderSize;
        } else if (tag == kRasterRowPieceTag) {
            if (size - at < kRasterRowPieceHeadSize) return;
            uint8_t* piece = block + at;
            for (size_t end : {kRasterPieceStartBlock, kRasterPieceEndBlock}) {
                convertDouble(piece + end, list.scaleX, originX);
                convertDouble(piece + end + 8, list.scaleY, originY);
            }
            convertDouble(piece + kRasterPieceStepX, list.scaleX, 0.0);
            convertDouble(piece + kRasterPieceStepY, list.scaleY, 0.0);
            const uint64_t pixelBytes = genRasterPixelBytes(getLe32(piece + kRasterPieceCount), state.format);
            at += kRasterRowPieceHeadSize;
            const size_t here = size_t(std::min<uint64_t>(pixelBytes, size - at));
            at += here;
            state.pixelBytesLeft = pixelBytes - here;
        } else {
            at += 4;
        }
    }
}

void sendRasterData(DisplayList& list, const uint8_t* bytes, size_t size, HostWord host) {
    const OutputHookTable* table = gOutputHookTable;
    if (!table->hostRasterData || size > UINT32_MAX) return;
    std::vector<uint8_t>& block = list.scratch.block;
    if (!genBufferEnsure(block, size)) return;
    block.assign(bytes, bytes + size);
    convertRasterBlock(list, block.data(), size, list.raster);
    genDlistCallHost(list, table->hostRasterData, static_cast<const uint8_t*>(block.data()), uint32_t(size), host);
}

void sendPicture(DisplayList& list, const uint8_t* bytes, size_t size, HostWord host) {
    const OutputHookTable* table = gOutputHookTable;
    if (!table->hostPicture) return;
    Reader in(bytes, size);
    int32_t rect[4];
    int32_t pictureSize = 0, pointCount = 0;
    for (int32_t& v : rect) {
        if (!in.i32(v)) return;
    }
    if (!in.i32(pictureSize) || pictureSize < 0 || !in.count(pointCount, 8)) return;
    std::vector<DevicePoint>& points = list.scratch.points;
    if (!genBufferEnsure(points, size_t(pointCount))) return;
    points.clear();
    if (!readPoints(in, list, pointCount, points)) return;
    const uint8_t* stored = in.take(size_t(pictureSize));
    if (!stored) return;
    DisplayListScratch& scratch = list.scratch;
    if (!scratch.picture && (!dbAllocationAllowed() || !(scratch.picture = dbStreamCreate(4096)))) return;
    if (!genBufferEnsure(scratch.picture->bytes, size_t(pictureSize))) return;
    scratch.picture->bytes.assign(stored, stored + pictureSize);
    PictureRecord picture;
    const DevicePoint a = genDlistDevicePoint(list, rect[0], rect[1]);
    const DevicePoint b = genDlistDevicePoint(list, rect[2], rect[3]);
    picture.rect = {a.x, a.y, b.x, b.y};
    picture.pointCount = pointCount;
    picture.points = points.data();
    picture.picture = scratch.picture;
    genDlistCallHost(list, table->hostPicture, static_cast<const PictureRecord&>(picture), host);
}

void sendFrame(DisplayList& list, const uint8_t* bytes, size_t size, HostWord host) {
    const OutputHookTable* table = gOutputHookTable;
    if (!table->hostFillRecord) return;
    Reader in(bytes, size);
    FillRecord frame;
    std::vector<DevicePoint>& points = list.scratch.points;
    points.clear();
    if (!genBufferEnsure(points, 4) || !readPoints(in, list, 4, points)) return;
    for (size_t i = 0; i < 4; ++i)
        frame.corners[i] = points[i];
    int32_t polygonCount = 0, boundaryCount = 0, deviceCount = 0;
    if (!in.count(polygonCount, 8)) return;
    points.clear();
    if (!genBufferEnsure(points, size_t(polygonCount)) || !readPoints(in, list, polygonCount, points)) return;
    if (!in.count(boundaryCount, 16)) return;
    try {
        frame.boundary.resize(size_t(boundaryCount));
    } catch (const std::bad_alloc&) {
        return;
    }
    for (Point2& p : frame.boundary) {
        if (!in.f64(p.x) || !in.f64(p.y)) return;
    }
    if (!in.count(deviceCount, 8) || !genBufferReserve(points, points.size() + size_t(deviceCount)) ||
        !readPoints(in, list, deviceCount, points))
        return;
    frame.polygonCount = polygonCount;
    frame.polygon = points.data();
    frame.boundaryCount = deviceCount;
    frame.boundaryPoints = points.data() + polygonCount;
    genDlistCallHost(list, table->hostFillRecord, static_cast<const FillRecord&>(frame), host);
}

} // namespace

bool genDlistEncodeRasterData(std::vector<uint8_t>& out, const uint8_t* block, uint32_t byteCount) {
    if (!block && byteCount) return false;
    Writer w(out);
    if (!w.begin(kDlistRasterRecord, byteCount)) return false;
    w.bytes(block, byteCount);
    return true;
}

bool genDlistEncodePicture(std::vector<uint8_t>& out, const PictureRecord& picture) {
    const int32_t count = picture.points ? picture.pointCount : 0;
    if (count < 0) return false;
    const int32_t bytes = dbStreamSizeOf(picture.picture);
    Writer w(out);
    if (!w.begin(kDlistPictureRecord, 24 + size_t(count) * 8 + size_t(bytes))) return false;
    for (int32_t v : picture.rect)
        w.i32(v);
    w.i32(bytes);
    w.i32(count);
    for (int32_t i = 0; i < count; ++i)
        w.point(picture.points[i]);
    if (bytes > 0) w.bytes(picture.picture->bytes.data(), size_t(bytes));
    return true;
}

bool genDlistEncodeFrame(std::vector<uint8_t>& out, const FillRecord& frame) {
    const int32_t polygonCount = frame.polygon ? frame.polygonCount : 0;
    const int32_t deviceCount = frame.boundaryPoints ? frame.boundaryCount : 0;
    if (polygonCount < 0 || deviceCount < 0) return false;
    const size_t boundaryCount = frame.boundary.size();
    if (boundaryCount > size_t(INT32_MAX)) return false;
    Writer w(out);
    if (!w.begin(kDlistFrameRecord,
                 32 + 12 + (size_t(polygonCount) + size_t(deviceCount)) * 8 + boundaryCount * 16))
        return false;
    for (const DevicePoint& corner : frame.corners)
        w.point(corner);
    w.i32(polygonCount);
    for (int32_t i = 0; i < polygonCount; ++i)
        w.point(frame.polygon[i]);
    w.i32(int32_t(boundaryCount));
    for (const Point2& p : frame.boundary) {
        w.f64(p.x);
        w.f64(p.y);
    }
    w.i32(deviceCount);
    for (int32_t i = 0; i < deviceCount; ++i)
        w.point(frame.boundaryPoints[i]);
    return true;
}

void genDlistSendHostRecord(DisplayList& list, uint8_t kind, const uint8_t* bytes, size_t size,
                            HostWord host) {
    if (!gOutputHookTable || (!bytes && size)) return;
    switch (kind) {
    case kDlistRasterRecord:
        sendRasterData(list, bytes, size, host);
        break;
    case kDlistPictureRecord:
        sendPicture(list, bytes, size, host);
        break;
    case kDlistFrameRecord:
        sendFrame(list, bytes, size, host);
        break;
    default:
        break;
    }
}

} // namespace tracemill
