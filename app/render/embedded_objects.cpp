#include "app/render/embedded_objects.h"

#include <algorithm>
#include <cstring>

#include "app/render/picture_hooks.h"
#include "platform/ole/compound_file.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/display/ole_frame.h"

namespace tracemill {
namespace {

constexpr int kObjectPictureStreamPageSize = 4096;

struct OpenOleStream {
    bool open = false;
    std::vector<uint8_t> bytes;
    uint32_t position = 0;
};

OpenOleStream& openOleStream() {
    static OpenOleStream stream;
    return stream;
}

std::optional<std::vector<uint8_t>> readAfter(std::span<const uint8_t> file, std::string_view streamName,
                                              uint32_t offset) {
    const uint32_t size = OleStreamOpen(file, streamName);
    if (size <= offset) {
        OleStreamClose();
        return std::nullopt;
    }
    std::vector<uint8_t> data(size - offset);
    OleStreamSeek(offset);
    data.resize(OleStreamRead(data.data(), uint32_t(data.size())));
    OleStreamClose();
    return data;
}

} // namespace

uint32_t OleStreamOpen(std::span<const uint8_t> file, std::string_view streamName) {
    OleStreamClose();
    ole::CompoundFile compound;
    if (!compound.open(file)) return 0;
    std::optional<std::vector<uint8_t>> bytes = compound.readStream(ole::AnsiToWide(streamName));
    if (!bytes || bytes->empty() || bytes->size() > UINT32_MAX) return 0;
    OpenOleStream& s = openOleStream();
    s.bytes = std::move(*bytes);
    s.open = true;
    return uint32_t(s.bytes.size());
}

uint32_t OleStreamSeek(uint32_t offset) {
    OpenOleStream& s = openOleStream();
    if (!s.open) return 0;
    s.position = std::min<uint32_t>(offset, uint32_t(s.bytes.size()));
    return s.position;
}

uint32_t OleStreamSkip(int64_t delta) {
    OpenOleStream& s = openOleStream();
    if (!s.open) return 0;
    s.position = uint32_t(std::clamp<int64_t>(int64_t(s.position) + delta, 0, int64_t(s.bytes.size())));
    return s.position;
}

uint32_t OleStreamTell() {
    const OpenOleStream& s = openOleStream();
    return s.open ? s.position : 0;
}

uint32_t OleStreamRead(void* buffer, uint32_t count) {
    OpenOleStream& s = openOleStream();
    if (!s.open || !buffer) return 0;
    const uint32_t n = std::min<uint32_t>(count, uint32_t(s.bytes.size()) - s.position);
    if (n) std::memcpy(buffer, s.bytes.data() + s.position, n);
    s.position += n;
    return n;
}

bool OleStreamAtEnd() {
    const OpenOleStream& s = openOleStream();
    return s.open && s.position >= s.bytes.size();
}

void OleStreamClose() {
    OpenOleStream& s = openOleStream();
    s.open = false;
    s.bytes.clear();
    s.bytes.shrink_to_fit();
    s.position = 0;
}

std::optional<std::vector<uint8_t>> ReadOlePresentation(std::span<const uint8_t> file, std::string_view streamName) {
    return readAfter(file, streamName, kOlePresentationHeader);
}

std::optional<std::vector<uint8_t>> ReadOleNative(std::span<const uint8_t> file, std::string_view streamName) {
    return readAfter(file, streamName, kOleNativeHeader);
}

PagedStream* ReadOleObjectPicture(PagedStream* objectData) {
    if (!objectData || objectData->bytes.empty()) return nullptr;
    const std::span<const uint8_t> file = objectData->bytes;
    uint8_t kind = kPictureMetafile;
    std::optional<std::vector<uint8_t>> data = ReadOlePresentation(file, kOlePresentationStream);
    if (!data) {
        kind = kPictureBitmap;
        data = ReadOleNative(file, kOleNativeStream);
    }
    if (!data) return nullptr;
    PagedStream* picture = dbStreamCreate(kObjectPictureStreamPageSize);
    OpenStream* out = picture ? dbStreamOpenWrite(picture) : nullptr;
    const bool written = out && dbStreamPutByte(out, kind) && dbStreamPutBytes(out, data->data(), data->size());
    if (out) dbStreamCloseWrite(out);
    if (!written) {
        dbStreamDestroy(picture);
        return nullptr;
    }
    return picture;
}

void OleObjectPictureHook(PagedStream* objectData, OleObjectInfo& object, HostWord) {
    if (PagedStream* picture = ReadOleObjectPicture(objectData)) object.picture = picture;
}

} // namespace tracemill
