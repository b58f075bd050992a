#include "toolkit/write/dwg13/header_section_writer.h"

#include <array>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/version_index.h"
#include "toolkit/read/dwg13_file_layout.h"
#include "toolkit/read/dwg13_header_section.h"
#include "toolkit/codec/crc16.h"
#include "toolkit/write/dwg13/field_writer.h"
#include "toolkit/write/dwg13/object_framing.h"

namespace tracemill {
namespace {

// The block that follows the file header of "AC1015" files (locator 5).
constexpr uint32_t kFixedBlockPosition = 97;
constexpr std::array<uint8_t, 123> kFixedBlock = {
    0xFF, 0x77, 0x00, 0x17, 0x00, 0x06, 0x00, 0x07, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x06, 0x00, 0x01,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x16, 0x00, 0x2E, 0x00, 0x16, 0x00, 0x2E, 0x00, 0x04, 0x00, 0x65, 0x05, 0x04,
    0x00, 0x65, 0x05, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x6E, 0x67, 0x25, 0x00, 0x53, 0x43, 0x55, 0x04, 0x6F,
    0x67, 0x25, 0x00, 0x87, 0x9B, 0x50, 0x03, 0x4A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

// The size of a framed section around its data: two sentinels, the size and the CRC.
constexpr uint32_t kFrameBytes = 2 * dwg13::kSentinelSize + 4 + 2;

int writeHeader(const Drawing& drawing, OutputContext& output, Dwg13HeaderHandles& handles) {
    (void)drawing;
    Dwg13WriteState& s = *output.dwg13;
    const std::vector<uint8_t> fileHeader = wrDwgFileHeaderBytes(output);
    if (!wrDwgPutFileBytes(output, fileHeader.data(), fileHeader.size())) return 0;
    if (!wrDwgPutFileBytes(output, dwg13::kFileHeaderEnd.data(), dwg13::kSentinelSize)) return 0;
    if (s.versionIndex >= kVersionAC1015 && !wrDwgPutFileBytes(output, kFixedBlock.data(), kFixedBlock.size()))
        return 0;

    BitWriter bits;
    Dwg13FieldWriter io(bits, s.versionIndex, Handle(), output.header.dwgcodepage);
    HeaderBlock header = output.header;
    uint32_t flags = dwg13JoinHeaderFlags(header) | 0x800;
    int16_t dimUnit = dwg13JoinDimUnit(header.dimlunit, header.dimfrac);
    dwg13HeaderVariables(io, header, handles, flags, dimUnit);
    return wrDwgFramedSection(output, dwg13::kHeaderVariablesStart.data(), dwg13::kHeaderVariablesEnd.data(),
                              bits.takeBytes(), s.headerVariablesStart, s.headerVariablesSize);
}

} // namespace

int wrDwgLocatorCount(int versionIndex) {
    return versionIndex >= kVersionAC1015 ? 6 : versionIndex == kVersionAC1014 ? 5 : 4;
}

size_t wrDwgFileHeaderSize(int versionIndex) {
    return dwg13::kLocatorsOffset + size_t(wrDwgLocatorCount(versionIndex)) * dwg13::kLocatorSize;
}

std::vector<uint8_t> wrDwgFileHeaderBytes(const OutputContext& output) {
    const Dwg13WriteState& s = *output.dwg13;
    const int version = s.versionIndex;
    const bool r2000 = version >= kVersionAC1015;
    const int count = wrDwgLocatorCount(version);
    std::vector<uint8_t> bytes(wrDwgFileHeaderSize(version) + 2, 0);
    const std::string_view signature = kVersionSignatures[version];
    std::copy(signature.begin(), signature.end(), bytes.begin());
    bytes[dwg13::kMaintenanceOffset] = r2000 ? 6 : 4;
    bytes[dwg13::kMaintenanceOffset + 1] = 1;
    putLe32(&bytes[dwg13::kImageOffsetField], s.imageStart);
    if (r2000) {
        bytes[17] = 0x13;
        bytes[18] = 0x06;
    }
    putLe16(&bytes[dwg13::kCodePageOffset], uint16_t(output.header.dwgcodepage));
    putLe32(&bytes[dwg13::kLocatorCountOffset], uint32_t(count));
    const std::array<std::pair<uint32_t, uint32_t>, 6> locators = {{
        {s.headerVariablesStart, s.headerVariablesSize},
        {s.classesStart, s.classesSize},
        {s.objectMapStart, s.objectMapSize},
        {s.descriptorStart, s.descriptorStart ? 53u : 0u},
        {s.recordsStart ? s.recordsStart - 512 : 0, s.recordsStart ? 4u : 0u},
        {kFixedBlockPosition, uint32_t(kFixedBlock.size())},
    }};
    for (int i = 0; i < count; ++i) {
        uint8_t* at = &bytes[dwg13::kLocatorsOffset + size_t(i) * dwg13::kLocatorSize];
        at[0] = uint8_t(i);
        putLe32(at + 1, locators[size_t(i)].first);
        putLe32(at + 5, locators[size_t(i)].second);
    }
    static constexpr uint16_t kCrcXor[3] = {0x8101, 0x3CC4, 0x8461};
    wrStoreCrc(bytes.data(), bytes.size(), kCrcXor[count - 4]);
    return bytes;
}

int wrDwgFramedSection(OutputContext& output, const uint8_t* startSentinel, const uint8_t* endSentinel,
                       const std::vector<uint8_t>& data, uint32_t& position, uint32_t& size) {
    Dwg13WriteState& s = *output.dwg13;
    position = uint32_t(s.filePosition);
    size = uint32_t(data.size()) + kFrameBytes;
    uint8_t sizeBytes[4];
    putLe32(sizeBytes, uint32_t(data.size()));
    uint16_t crc = wrCrc16(kCrcSeedRecords, sizeBytes, 4);
    crc = wrCrc16(crc, data.data(), data.size());
    const uint8_t crcBytes[2] = {uint8_t(crc), uint8_t(crc >> 8)};
    return wrDwgPutFileBytes(output, startSentinel, dwg13::kSentinelSize) && wrDwgPutFileBytes(output, sizeBytes, 4) &&
           wrDwgPutFileBytes(output, data.data(), data.size()) && wrDwgPutFileBytes(output, crcBytes, 2) &&
           wrDwgPutFileBytes(output, endSentinel, dwg13::kSentinelSize);
}

int wrWriteHeaderVarsR13(const Drawing& drawing, OutputContext& output, Dwg13HeaderHandles& handles) {
    return writeHeader(drawing, output, handles) ? 1 : dbSetError(kErrorDwgHeaderSection);
}

int wrWriteHeaderVars2000(const Drawing& drawing, OutputContext& output, Dwg13HeaderHandles& handles) {
    return writeHeader(drawing, output, handles) ? 1 : dbSetError(kErrorDwgHeaderSection);
}

} // namespace tracemill
