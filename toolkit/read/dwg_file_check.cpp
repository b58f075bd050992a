#include "toolkit/read/dwg_file_check.h"

#include <string_view>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/version_index.h"
#include "toolkit/read/dwg12_file_layout.h"
#include "toolkit/codec/crc16.h"

namespace tracemill {
namespace {

// The largest header block the check accepts.
constexpr uint32_t kMaxCheckedHeader = 2048;

int fail(int number) {
    dbSetError(number);
    return 1;
}

} // namespace

int rdCheckDwgFile(std::span<const uint8_t> file, int /*mode*/) {
    if (file.size() < kDwg12SignatureSize) return -1;
    const int version =
        dbVersionIndex(std::string_view(reinterpret_cast<const char*>(file.data()), kDwg12SignatureSize));
    if (version == kVersionUnknown || version < kVersionAC1009) return -1;
    if (version > kVersionAC1009) return 0;
    if (file.size() < kDwg12BlockStartOffset ||
        getLe16(file.data() + kDwg12LayoutNumberOffset) != kDwg12ChecksummedLayout) {
        return 0;
    }

    Dwg12FileHead head;
    if (!rdReadDwg12FileHead(file, version, head)) return fail(kErrorDwgCheckHeaderSize);
    // The header block runs up to the entities' begin sentinel; its last two bytes are its
    // checksum.
    const uint32_t headerSize = head.headerSize();
    if (head.entityStart > kMaxCheckedHeader || headerSize < 2) return fail(kErrorDwgCheckHeaderSize);
    if (head.entityStart > file.size()) return fail(kErrorDwgCheckEntitiesStart);
    const uint16_t stored = getLe16(file.data() + headerSize - 2);
    if (uint16_t(wrCrc16(0, file.data(), headerSize - 2) ^ kDwg12HeaderCrcXor) != stored) {
        return fail(kErrorDwgCheckHeaderCrc);
    }

    const uint64_t length = file.size();
    const std::array<uint64_t, kDwgCheckSectionErrors.size()> sections = {
        head.entityStart, head.entityEnd, head.blockStart, uint64_t(head.blockStart) + head.blockSize,
        uint64_t(head.extraStart) + head.extraSize};
    for (size_t i = 0; i < sections.size(); ++i) {
        if (sections[i] > length) return fail(kDwgCheckSectionErrors[i]);
    }
    for (int t = 0; t < kDwg12TableCount; ++t) {
        const Dwg12TableHead& table = head.tables[size_t(t)];
        if (int16_t(table.recordSize) < 0 || int32_t(table.count) < 0 || table.offset > length) {
            return fail(kDwgCheckTableErrors[size_t(t)]);
        }
    }
    return 0;
}

} // namespace tracemill
