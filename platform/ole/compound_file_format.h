// The layout of a compound file (structured storage): a 512-byte header, sectors of 512 or
// 4,096 bytes numbered from the end of the header (sector n starts at (n + 1) x sector size),
// chained through the sector allocation table (FAT), whose own sectors are listed by the
// header's 109 entries and by a chain of further list sectors (DIFAT). Directory entries of
// 128 bytes form a tree of storages and streams; streams shorter than the cutoff live in the
// mini stream (64-byte mini sectors chained through the mini FAT), which the root entry owns.
// The reader and the writer of the tests both take their offsets from here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tracemill::ole {

inline constexpr std::array<uint8_t, 8> kCompoundFileSignature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
inline constexpr size_t kCompoundHeaderSize = 512;

// Header fields (byte offsets).
inline constexpr size_t kHeaderMinorVersion = 0x18;
inline constexpr size_t kHeaderMajorVersion = 0x1A;   // 3: 512-byte sectors, 4: 4,096-byte sectors
inline constexpr size_t kHeaderByteOrder = 0x1C;      // 0xFFFE
inline constexpr size_t kHeaderSectorShift = 0x1E;    // 9 or 12
inline constexpr size_t kHeaderMiniSectorShift = 0x20; // 6
inline constexpr size_t kHeaderDirectorySectorCount = 0x28;
inline constexpr size_t kHeaderFatSectorCount = 0x2C;
inline constexpr size_t kHeaderFirstDirectorySector = 0x30;
inline constexpr size_t kHeaderMiniStreamCutoff = 0x38; // 4,096
inline constexpr size_t kHeaderFirstMiniFatSector = 0x3C;
inline constexpr size_t kHeaderMiniFatSectorCount = 0x40;
inline constexpr size_t kHeaderFirstDifatSector = 0x44;
inline constexpr size_t kHeaderDifatSectorCount = 0x48;
inline constexpr size_t kHeaderDifat = 0x4C;           // 109 FAT sector numbers
inline constexpr size_t kHeaderDifatEntries = 109;

inline constexpr uint16_t kByteOrderMark = 0xFFFE;
inline constexpr uint16_t kMiniSectorShift = 6;
inline constexpr uint32_t kMiniStreamCutoff = 4096;

// Special sector numbers.
inline constexpr uint32_t kMaxRegularSector = 0xFFFFFFFA;
inline constexpr uint32_t kDifatSector = 0xFFFFFFFC;
inline constexpr uint32_t kFatSector = 0xFFFFFFFD;
inline constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
inline constexpr uint32_t kFreeSector = 0xFFFFFFFF;
inline constexpr uint32_t kNoStream = 0xFFFFFFFF;  // no sibling or child entry

// Directory entries (byte offsets within an entry).
inline constexpr size_t kDirectoryEntrySize = 128;
inline constexpr size_t kEntryName = 0x00;         // UTF-16, up to 31 characters and a zero
inline constexpr size_t kEntryNameBytes = 64;
inline constexpr size_t kEntryNameLength = 0x40;   // bytes of the name with its zero
inline constexpr size_t kEntryType = 0x42;
inline constexpr size_t kEntryColour = 0x43;
inline constexpr size_t kEntryLeftSibling = 0x44;
inline constexpr size_t kEntryRightSibling = 0x48;
inline constexpr size_t kEntryChild = 0x4C;
inline constexpr size_t kEntryStartSector = 0x74;
inline constexpr size_t kEntryStreamSize = 0x78;   // 64 bits; version 3 files use the low 32

inline constexpr uint8_t kEntryStorage = 1;
inline constexpr uint8_t kEntryStream = 2;
inline constexpr uint8_t kEntryRoot = 5;

} // namespace tracemill::ole
