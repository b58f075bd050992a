#include "compound_file_writer.h"

#include <algorithm>

#include "platform/ole/compound_file_format.h"

namespace tracemill::test {
namespace {

using namespace tracemill::ole;

constexpr size_t kSector = 512;
constexpr size_t kMini = 64;
constexpr size_t kPerFatSector = kSector / 4;

void put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}
size_t sectorsFor(size_t bytes, size_t unit) { return (bytes + unit - 1) / unit; }

} // namespace

std::u16string StreamName(const std::string& name) {
    std::u16string wide;
    for (char c : name) wide.push_back(char16_t(uint8_t(c)));
    return wide;
}

CompoundFileImage WriteCompoundFile(const std::vector<CompoundStream>& streams) {
    // The mini stream: small streams one after the other, each from a mini sector boundary.
    std::vector<uint8_t> miniStream;
    std::vector<uint32_t> miniFat;
    std::vector<int64_t> miniStart(streams.size(), -1);
    for (size_t i = 0; i < streams.size(); ++i) {
        const std::vector<uint8_t>& s = streams[i].bytes;
        if (s.empty() || s.size() >= kMiniStreamCutoff) continue;
        const size_t first = miniStream.size() / kMini, count = sectorsFor(s.size(), kMini);
        miniStart[i] = int64_t(first);
        for (size_t k = 0; k < count; ++k) miniFat.push_back(k + 1 < count ? uint32_t(first + k + 1) : kEndOfChain);
        miniStream.insert(miniStream.end(), s.begin(), s.end());
        miniStream.resize((first + count) * kMini, 0);
    }
    const size_t entries = streams.size() + 1;
    const size_t directorySectors = sectorsFor(entries * kDirectoryEntrySize, kSector);
    const size_t miniFatSectors = sectorsFor(miniFat.size() * 4, kSector);
    const size_t miniStreamSectors = sectorsFor(miniStream.size(), kSector);
    size_t largeSectors = 0;
    for (const CompoundStream& s : streams)
        if (s.bytes.size() >= kMiniStreamCutoff) largeSectors += sectorsFor(s.bytes.size(), kSector);
    const size_t others = directorySectors + miniFatSectors + miniStreamSectors + largeSectors;
    size_t fatSectors = 1;
    while (fatSectors * kPerFatSector < fatSectors + others) ++fatSectors;
    const size_t total = fatSectors + others;

    CompoundFileImage image;
    std::vector<uint8_t>& b = image.bytes;
    b.assign(kCompoundHeaderSize + total * kSector, 0);
    std::copy(kCompoundFileSignature.begin(), kCompoundFileSignature.end(), b.begin());
    put16(b, kHeaderMinorVersion, 0x3E);
    put16(b, kHeaderMajorVersion, 3);
    put16(b, kHeaderByteOrder, kByteOrderMark);
    put16(b, kHeaderSectorShift, 9);
    put16(b, kHeaderMiniSectorShift, kMiniSectorShift);
    put32(b, kHeaderFatSectorCount, uint32_t(fatSectors));
    put32(b, kHeaderMiniStreamCutoff, kMiniStreamCutoff);
    put32(b, kHeaderFirstDifatSector, kEndOfChain);
    for (size_t i = 0; i < kHeaderDifatEntries; ++i)
        put32(b, kHeaderDifat + 4 * i, i < fatSectors ? uint32_t(i) : kFreeSector);

    std::vector<uint32_t> fat(fatSectors * kPerFatSector, kFreeSector);
    size_t next = 0;
    auto sectorOffset = [](size_t n) { return kCompoundHeaderSize + n * kSector; };
    // Allocates a chain of n sectors and returns its first (end of chain for none).
    auto allocate = [&](size_t n) -> uint32_t {
        if (n == 0) return kEndOfChain;
        const size_t first = next;
        for (size_t k = 0; k < n; ++k) fat[first + k] = k + 1 < n ? uint32_t(first + k + 1) : kEndOfChain;
        next += n;
        return uint32_t(first);
    };
    for (size_t i = 0; i < fatSectors; ++i) fat[next++] = kFatSector;
    const uint32_t directory = allocate(directorySectors);
    const uint32_t miniFatStart = allocate(miniFatSectors);
    const uint32_t miniStreamStart = allocate(miniStreamSectors);
    put32(b, kHeaderFirstDirectorySector, directory);
    put32(b, kHeaderFirstMiniFatSector, miniFatStart);
    put32(b, kHeaderMiniFatSectorCount, uint32_t(miniFatSectors));
    for (size_t i = 0; i < miniFat.size(); ++i) put32(b, sectorOffset(miniFatStart) + 4 * i, miniFat[i]);
    for (size_t i = miniFat.size(); i < miniFatSectors * kPerFatSector; ++i)
        put32(b, sectorOffset(miniFatStart) + 4 * i, kFreeSector);
    if (!miniStream.empty()) std::copy(miniStream.begin(), miniStream.end(), b.begin() + std::ptrdiff_t(sectorOffset(miniStreamStart)));

    auto writeEntry = [&](size_t index, const std::u16string& name, uint8_t type, uint32_t right, uint32_t child,
                          uint32_t start, uint32_t size) {
        const size_t at = sectorOffset(directory) + index * kDirectoryEntrySize;
        const size_t chars = std::min<size_t>(name.size(), 31);
        for (size_t i = 0; i < chars; ++i) put16(b, at + kEntryName + 2 * i, name[i]);
        put16(b, at + kEntryNameLength, uint16_t(2 * (chars + 1)));
        b[at + kEntryType] = type;
        b[at + kEntryColour] = 1;
        put32(b, at + kEntryLeftSibling, kNoStream);
        put32(b, at + kEntryRightSibling, right);
        put32(b, at + kEntryChild, child);
        put32(b, at + kEntryStartSector, start);
        put32(b, at + kEntryStreamSize, size);
        return at;
    };
    writeEntry(0, u"Root Entry", kEntryRoot, kNoStream, streams.empty() ? kNoStream : 1,
               miniStream.empty() ? kEndOfChain : miniStreamStart, uint32_t(miniStream.size()));
    for (size_t i = 0; i < streams.size(); ++i) {
        const std::vector<uint8_t>& s = streams[i].bytes;
        uint32_t start = kEndOfChain;
        int64_t firstSector = -1;
        if (s.size() >= kMiniStreamCutoff) {
            start = allocate(sectorsFor(s.size(), kSector));
            firstSector = start;
            std::copy(s.begin(), s.end(), b.begin() + std::ptrdiff_t(sectorOffset(start)));
        } else if (miniStart[i] >= 0) {
            start = uint32_t(miniStart[i]);
        }
        const uint32_t right = i + 1 < streams.size() ? uint32_t(i + 2) : kNoStream;
        image.entryOffsets.push_back(
            writeEntry(i + 1, streams[i].name, kEntryStream, right, kNoStream, start, uint32_t(s.size())));
        image.firstSectors.push_back(firstSector);
    }
    // Unused entries of the last directory sector.
    for (size_t i = entries; i < directorySectors * (kSector / kDirectoryEntrySize); ++i) {
        const size_t at = sectorOffset(directory) + i * kDirectoryEntrySize;
        put32(b, at + kEntryLeftSibling, kNoStream);
        put32(b, at + kEntryRightSibling, kNoStream);
        put32(b, at + kEntryChild, kNoStream);
    }
    for (size_t i = 0; i < fat.size(); ++i) put32(b, sectorOffset(i / kPerFatSector) + 4 * (i % kPerFatSector), fat[i]);
    image.fatOffset = sectorOffset(0);
    return image;
}

} // namespace tracemill::test
