#include "toolkit/read/dwg13_file_header.h"

#include "toolkit/core/system_context.h"
#include "toolkit/read/byte_cursor.h"
#include "toolkit/read/dwg13_file_layout.h"

namespace tracemill {

int rdDwg13ReadFileHeader(std::span<const uint8_t> file, int versionIndex, Dwg13FileHeader& out) {
    out = Dwg13FileHeader();
    out.versionIndex = versionIndex;
    ByteCursor cursor(file, dwg13::kMaintenanceOffset);
    out.maintenance = cursor.u8();
    cursor.seek(dwg13::kImageOffsetField);
    out.imagePosition = cursor.le32();
    cursor.seek(dwg13::kCodePageOffset);
    out.codePage = cursor.le16();
    cursor.seek(dwg13::kLocatorCountOffset);
    // Only the first byte of the count is used.
    const size_t count = cursor.le32() & 0xFF;
    if (cursor.overrun() || count < dwg13::kLocatorObjectMap + 1 || count * dwg13::kLocatorSize > cursor.remaining())
        return dbSetError(kErrorDwgLocatorOutside);
    out.locators.resize(count);
    for (Dwg13Locator& locator : out.locators) {
        locator.number = cursor.u8();
        locator.position = cursor.le32();
        locator.size = cursor.le32();
        if (locator.position > file.size()) return dbSetError(kErrorDwgLocatorOutside);
    }
    return 1;
}

bool rdDwg13FramedSection(std::span<const uint8_t> file, uint64_t position, std::span<const uint8_t>& data) {
    data = {};
    if (position > file.size()) return false;
    ByteCursor cursor(file, size_t(position));
    cursor.skip(dwg13::kSentinelSize);
    // The size is read whole: a section of 32 KB or more is as readable as a small one.
    const uint32_t size = cursor.le32();
    if (cursor.overrun() || size > cursor.remaining()) return false;
    data = cursor.take(size);
    return true;
}

} // namespace tracemill
