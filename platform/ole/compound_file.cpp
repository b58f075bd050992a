#include "platform/ole/compound_file.h"

#include <algorithm>

#include "platform/ole/compound_file_format.h"

namespace tracemill::ole {
namespace {

uint16_t compoundLe16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t compoundLe32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

char16_t upperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c; }

bool sameStorageName(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) {
               return upperAscii(x) == upperAscii(y);
           });
}

} // namespace

std::u16string AnsiToWide(std::string_view text) {
    std::u16string wide;
    wide.reserve(text.size());
    for (char c : text) wide.push_back(char16_t(uint8_t(c)));
    return wide;
}

bool CompoundFile::fail(std::string reason) {
    error_ = std::move(reason);
    fat_.clear();
    miniFat_.clear();
    entries_.clear();
    miniStream_.clear();
    return false;
}

std::span<const uint8_t> CompoundFile::sector(uint32_t number) const {
    const uint64_t start = (uint64_t(number) + 1) * sectorSize_;
    if (number >= sectorCount_ || start >= bytes_.size()) return {};
    const uint64_t length = std::min<uint64_t>(sectorSize_, bytes_.size() - start);
    return bytes_.subspan(size_t(start), size_t(length));
}

std::optional<std::vector<uint32_t>> CompoundFile::chain(uint32_t first, const std::vector<uint32_t>& table) const {
    std::vector<uint32_t> sectors;
    std::vector<bool> seen(table.size(), false);
    for (uint32_t s = first; s != kEndOfChain;) {
        if (s >= table.size() || seen[s]) return std::nullopt;
        seen[s] = true;
        sectors.push_back(s);
        s = table[s];
    }
    return sectors;
}

bool CompoundFile::readFat() {
    const uint8_t* h = bytes_.data();
    const uint32_t fatSectors = compoundLe32(h + kHeaderFatSectorCount);
    // Each FAT sector describes sectorSize / 4 sectors: more than the file holds is damage.
    const uint64_t perSector = sectorSize_ / 4;
    if (fatSectors == 0 || fatSectors > sectorCount_) return fail("the allocation table does not fit the file");
    std::vector<uint32_t> fatList;
    for (size_t i = 0; i < kHeaderDifatEntries && fatList.size() < fatSectors; ++i) {
        const uint32_t s = compoundLe32(h + kHeaderDifat + 4 * i);
        if (s == kFreeSector) break;
        fatList.push_back(s);
    }
    // Further list sectors: sectorSize / 4 - 1 entries each and the next list sector last.
    std::vector<bool> seenList(sectorCount_, false);
    uint32_t list = compoundLe32(h + kHeaderFirstDifatSector);
    while (fatList.size() < fatSectors && list != kEndOfChain && list != kFreeSector) {
        if (list >= sectorCount_ || seenList[list]) return fail("the list of allocation sectors is damaged");
        seenList[list] = true;
        const std::span<const uint8_t> s = sector(list);
        if (s.size() < sectorSize_) return fail("a list sector lies beyond the file");
        for (uint64_t i = 0; i + 1 < perSector && fatList.size() < fatSectors; ++i) {
            const uint32_t n = compoundLe32(s.data() + 4 * i);
            if (n == kFreeSector) break;
            fatList.push_back(n);
        }
        list = compoundLe32(s.data() + sectorSize_ - 4);
    }
    if (fatList.size() < fatSectors) return fail("allocation sectors are missing");
    fat_.clear();
    fat_.reserve(size_t(std::min<uint64_t>(uint64_t(fatSectors) * perSector, sectorCount_)));
    for (uint32_t f : fatList) {
        const std::span<const uint8_t> s = sector(f);
        if (s.size() < sectorSize_) return fail("an allocation sector lies beyond the file");
        for (uint64_t i = 0; i < perSector && fat_.size() < sectorCount_; ++i) fat_.push_back(compoundLe32(s.data() + 4 * i));
    }
    return true;
}

bool CompoundFile::readDirectory() {
    const std::optional<std::vector<uint32_t>> sectors = chain(compoundLe32(bytes_.data() + kHeaderFirstDirectorySector), fat_);
    if (!sectors || sectors->empty()) return fail("the directory chain is damaged");
    entries_.clear();
    for (uint32_t s : *sectors) {
        const std::span<const uint8_t> data = sector(s);
        for (size_t at = 0; at + kDirectoryEntrySize <= data.size(); at += kDirectoryEntrySize) {
            const uint8_t* e = data.data() + at;
            Entry entry;
            const uint16_t nameBytes = compoundLe16(e + kEntryNameLength);
            const size_t chars = nameBytes >= 2 && nameBytes <= kEntryNameBytes ? nameBytes / 2 - 1 : 0;
            for (size_t i = 0; i < chars; ++i) entry.name.push_back(char16_t(compoundLe16(e + kEntryName + 2 * i)));
            entry.type = e[kEntryType];
            entry.left = compoundLe32(e + kEntryLeftSibling);
            entry.right = compoundLe32(e + kEntryRightSibling);
            entry.child = compoundLe32(e + kEntryChild);
            entry.start = compoundLe32(e + kEntryStartSector);
            entry.size = uint64_t(compoundLe32(e + kEntryStreamSize)) |
                         (sectorSize_ == 512 ? 0 : uint64_t(compoundLe32(e + kEntryStreamSize + 4)) << 32);
            entries_.push_back(std::move(entry));
        }
    }
    if (entries_.empty() || entries_[0].type != kEntryRoot) return fail("the directory has no root entry");
    return true;
}

bool CompoundFile::readMiniStream() {
    const uint8_t* h = bytes_.data();
    miniFat_.clear();
    miniStream_.clear();
    const uint32_t firstMiniFat = compoundLe32(h + kHeaderFirstMiniFatSector);
    if (firstMiniFat == kEndOfChain || firstMiniFat == kFreeSector) return true;  // no small streams
    const std::optional<std::vector<uint32_t>> fatSectors = chain(firstMiniFat, fat_);
    if (!fatSectors) return fail("the mini allocation chain is damaged");
    for (uint32_t s : *fatSectors) {
        const std::span<const uint8_t> data = sector(s);
        for (size_t i = 0; i + 4 <= data.size(); i += 4) miniFat_.push_back(compoundLe32(data.data() + i));
    }
    const Entry& root = entries_[0];
    const std::optional<std::vector<uint32_t>> streamSectors = chain(root.start, fat_);
    if (!streamSectors || root.size > uint64_t(streamSectors->size()) * sectorSize_)
        return fail("the mini stream is damaged");
    miniStream_.reserve(size_t(root.size));
    for (uint32_t s : *streamSectors) {
        const std::span<const uint8_t> data = sector(s);
        const size_t take = size_t(std::min<uint64_t>(data.size(), root.size - miniStream_.size()));
        miniStream_.insert(miniStream_.end(), data.begin(), data.begin() + std::ptrdiff_t(take));
        if (miniStream_.size() == root.size) break;
    }
    if (miniStream_.size() < root.size) return fail("the mini stream lies beyond the file");
    // Mini sectors beyond the stream cannot be reached.
    const size_t miniSectors = miniStream_.size() >> kMiniSectorShift;
    if (miniFat_.size() > miniSectors) miniFat_.resize(miniSectors);
    return true;
}

bool CompoundFile::open(std::span<const uint8_t> bytes) {
    bytes_ = bytes;
    error_.clear();
    if (bytes.size() < kCompoundHeaderSize ||
        !std::equal(kCompoundFileSignature.begin(), kCompoundFileSignature.end(), bytes.begin()))
        return fail("not a compound file");
    const uint8_t* h = bytes.data();
    const uint16_t shift = compoundLe16(h + kHeaderSectorShift);
    if (compoundLe16(h + kHeaderByteOrder) != kByteOrderMark || (shift != 9 && shift != 12) ||
        compoundLe16(h + kHeaderMiniSectorShift) != kMiniSectorShift)
        return fail("the compound file header is damaged");
    sectorSize_ = 1u << shift;
    // Version 4 headers fill a whole 4,096-byte sector.
    if (bytes.size() < sectorSize_) return fail("the compound file is truncated");
    sectorCount_ = uint32_t(std::min<uint64_t>((bytes.size() - sectorSize_ + sectorSize_ - 1) / sectorSize_,
                                               kMaxRegularSector));
    miniCutoff_ = compoundLe32(h + kHeaderMiniStreamCutoff);
    if (miniCutoff_ != kMiniStreamCutoff) return fail("the compound file header is damaged");
    return readFat() && readDirectory() && readMiniStream();
}

std::optional<uint32_t> CompoundFile::findChild(std::u16string_view name) const {
    // Every entry of the root's sibling tree is visited once, whatever order the tree keeps.
    std::vector<bool> seen(entries_.size(), false);
    std::vector<uint32_t> pending{entries_.empty() ? kNoStream : entries_[0].child};
    while (!pending.empty()) {
        const uint32_t i = pending.back();
        pending.pop_back();
        if (i >= entries_.size() || seen[i]) continue;
        seen[i] = true;
        const Entry& e = entries_[i];
        if (e.type == kEntryStream && sameStorageName(e.name, name)) return i;
        pending.push_back(e.left);
        pending.push_back(e.right);
    }
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> CompoundFile::readStream(std::u16string_view name) const {
    const std::optional<uint32_t> index = findChild(name);
    if (!index) return std::nullopt;
    const Entry& e = entries_[*index];
    const bool mini = e.size < miniCutoff_;
    const std::vector<uint32_t>& table = mini ? miniFat_ : fat_;
    const uint32_t unit = mini ? 1u << kMiniSectorShift : sectorSize_;
    std::vector<uint8_t> out;
    if (e.size == 0) return out;
    const std::optional<std::vector<uint32_t>> sectors = chain(e.start, table);
    if (!sectors || e.size > uint64_t(sectors->size()) * unit) return std::nullopt;
    out.reserve(size_t(e.size));
    for (uint32_t s : *sectors) {
        std::span<const uint8_t> data;
        if (mini) {
            const size_t at = size_t(s) << kMiniSectorShift;
            if (at + unit > miniStream_.size()) return std::nullopt;
            data = std::span<const uint8_t>(miniStream_).subspan(at, unit);
        } else {
            data = sector(s);
        }
        const size_t take = size_t(std::min<uint64_t>(data.size(), e.size - out.size()));
        out.insert(out.end(), data.begin(), data.begin() + std::ptrdiff_t(take));
        if (out.size() == e.size) break;
        if (data.size() < unit) return std::nullopt;  // a sector cut short by the end of the file
    }
    if (out.size() < e.size) return std::nullopt;
    return out;
}

} // namespace tracemill::ole
