#include "toolkit/read/dwg13_preview.h"

#include "toolkit/core/system_context.h"
#include "toolkit/read/byte_cursor.h"
#include "toolkit/read/dwg13_file_layout.h"

namespace tracemill {
namespace {

constexpr int kPreviewPageSize = 4096;

int copyEntry(std::span<const uint8_t> file, uint32_t start, uint32_t size, OwnedStream& target) {
    if (uint64_t(start) + size > file.size()) return 1;
    PagedStream* stream = target.create(kPreviewPageSize);
    if (!stream) return dbReportError(218, kErrorReasonNoMemory);
    stream->bytes.assign(file.begin() + start, file.begin() + start + size);
    return 1;
}

} // namespace

int rdDwg13ReadPreview(std::span<const uint8_t> file, uint64_t position, OwnedStream& bitmap, OwnedStream& metafile) {
    bitmap.reset();
    metafile.reset();
    if (position == 0 || position >= file.size()) return 1;
    ByteCursor cursor(file, size_t(position));
    cursor.skip(dwg13::kSentinelSize);
    cursor.le32(); // overall size
    const uint8_t count = cursor.u8();
    for (uint8_t i = 0; i < count && !cursor.overrun(); ++i) {
        const uint8_t code = cursor.u8();
        const uint32_t start = cursor.le32();
        const uint32_t size = cursor.le32();
        if (cursor.overrun()) break;
        if (code == dwg13::kImageEntryBitmap && !copyEntry(file, start, size, bitmap)) return 0;
        if (code == dwg13::kImageEntryMetafile && !copyEntry(file, start, size, metafile)) return 0;
    }
    return 1;
}

} // namespace tracemill
