#include "dwg13_structure_check.h"

#include <array>
#include <fstream>
#include <iterator>
#include <sstream>

namespace tracemill::test {
namespace {

using Sentinel = std::array<uint8_t, 16>;

// The sentinels, as the format defines them.
constexpr Sentinel kFileHeaderEnd = {0x95, 0xA0, 0x4E, 0x28, 0x99, 0x82, 0x1A, 0xE5,
                                     0x5E, 0x41, 0xE0, 0x5F, 0x9D, 0x3A, 0x4D, 0x00};
constexpr Sentinel kHeaderStart = {0xCF, 0x7B, 0x1F, 0x23, 0xFD, 0xDE, 0x38, 0xA9,
                                   0x5F, 0x7C, 0x68, 0xB8, 0x4E, 0x6D, 0x33, 0x5F};
constexpr Sentinel kHeaderEnd = {0x30, 0x84, 0xE0, 0xDC, 0x02, 0x21, 0xC7, 0x56,
                                 0xA0, 0x83, 0x97, 0x47, 0xB1, 0x92, 0xCC, 0xA0};
constexpr Sentinel kClassesStart = {0x8D, 0xA1, 0xC4, 0xB8, 0xC4, 0xA9, 0xF8, 0xC5,
                                    0xC0, 0xDC, 0xF4, 0x5F, 0xE7, 0xCF, 0xB6, 0x8A};
constexpr Sentinel kClassesEnd = {0x72, 0x5E, 0x3B, 0x47, 0x3B, 0x56, 0x07, 0x3A,
                                  0x3F, 0x23, 0x0B, 0xA0, 0x18, 0x30, 0x49, 0x75};
constexpr Sentinel kImageStart = {0x1F, 0x25, 0x6D, 0x07, 0xD4, 0x36, 0x28, 0x28,
                                  0x9D, 0x57, 0xCA, 0x3F, 0x9D, 0x44, 0x10, 0x2B};
constexpr Sentinel kImageEnd = {0xE0, 0xDA, 0x92, 0xF8, 0x2B, 0xC9, 0xD7, 0xD7,
                                0x62, 0xA8, 0x35, 0xC0, 0x62, 0xBB, 0xEF, 0xD4};
constexpr Sentinel kSecondStart = {0xD4, 0x7B, 0x21, 0xCE, 0x28, 0x93, 0x9F, 0xBF,
                                   0x53, 0x24, 0x40, 0x09, 0x12, 0x3C, 0xAA, 0x01};
constexpr Sentinel kSecondEnd = {0x2B, 0x84, 0xDE, 0x31, 0xD7, 0x6C, 0x60, 0x40,
                                 0xAC, 0xDB, 0xBF, 0xF6, 0xED, 0xC3, 0x55, 0xFE};

constexpr uint16_t kRecordSeed = 0xC0C1;

// Bits most significant first, over a span; reading past the end gives zeros and marks it.
class Bits {
  public:
    explicit Bits(std::span<const uint8_t> data) : data_(data) {}
    unsigned bit() {
        if (at_ / 8 >= data_.size()) {
            past_ = true;
            ++at_;
            return 0;
        }
        const unsigned b = (data_[at_ / 8] >> (7 - at_ % 8)) & 1;
        ++at_;
        return b;
    }
    uint64_t bits(unsigned n) {
        uint64_t v = 0;
        for (unsigned i = 0; i < n; ++i) v = (v << 1) | bit();
        return v;
    }
    uint8_t rc() { return uint8_t(bits(8)); }
    uint32_t rl() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= uint32_t(rc()) << (8 * i);
        return v;
    }
    uint32_t bs() {
        switch (bits(2)) {
        case 0: return uint32_t(rc()) | uint32_t(rc()) << 8;
        case 1: return rc();
        case 2: return 0;
        default: return 256;
        }
    }
    uint32_t bl() {
        switch (bits(2)) {
        case 0: return rl();
        case 1: return rc();
        default: return 0;
        }
    }
    // H: the code and the handle's bytes.
    uint64_t handle(unsigned& code) {
        const uint8_t head = rc();
        code = head >> 4;
        uint64_t v = 0;
        for (unsigned i = 0; i < (head & 15u); ++i) v = (v << 8) | rc();
        return v;
    }
    uint64_t position() const { return at_; }
    bool past() const { return past_; }

  private:
    std::span<const uint8_t> data_;
    uint64_t at_ = 0;
    bool past_ = false;
};

uint32_t le32(std::span<const uint8_t> f, size_t at) {
    return uint32_t(f[at]) | uint32_t(f[at + 1]) << 8 | uint32_t(f[at + 2]) << 16 | uint32_t(f[at + 3]) << 24;
}
uint16_t le16(std::span<const uint8_t> f, size_t at) { return uint16_t(f[at] | f[at + 1] << 8); }

class Checker {
  public:
    Checker(std::span<const uint8_t> file, Dwg13CheckResult& out) : f_(file), r_(out) {}
    void run();

  private:
    template <class... Parts> void problem(Parts&&... parts) {
        std::ostringstream text;
        (text << ... << parts);
        r_.problems.push_back(text.str());
    }
    bool fits(uint64_t at, uint64_t n) const { return at <= f_.size() && n <= f_.size() - at; }
    bool sentinelAt(uint64_t at, const Sentinel& s, const char* name) {
        if (fits(at, 16) && std::equal(s.begin(), s.end(), f_.begin() + ptrdiff_t(at))) return true;
        problem(name, " sentinel not at ", at);
        return false;
    }
    void fileHeader();
    void framedSection(size_t locator, const Sentinel& start, const Sentinel& end, const char* name);
    void objectMap();
    void record(uint64_t handle, uint32_t position);
    void descriptor();
    void secondHeader();
    void image();

    std::span<const uint8_t> f_;
    Dwg13CheckResult& r_;
    uint32_t imagePosition_ = 0;
    uint32_t mapEntries_ = 0;
};

void Checker::fileHeader() {
    static const char* kSignatures[] = {"AC1012", "AC1014", "AC1015"};
    if (f_.size() < 25) {
        problem("file of ", f_.size(), " bytes");
        return;
    }
    const std::string signature(f_.begin(), f_.begin() + 6);
    for (int i = 0; i < 3; ++i)
        if (signature == kSignatures[i]) r_.versionIndex = 5 + i;
    if (r_.versionIndex < 0) {
        problem("signature ", signature);
        return;
    }
    const bool r2000 = r_.versionIndex == 7;
    if (f_[11] != (r2000 ? 6 : 4) || f_[12] != 1) problem("bytes 11 and 12: ", int(f_[11]), " ", int(f_[12]));
    if (f_[17] != (r2000 ? 0x13 : 0) || f_[18] != (r2000 ? 0x06 : 0)) problem("bytes 17 and 18");
    imagePosition_ = le32(f_, 13);
    r_.locatorCount = le32(f_, 21);
    const uint32_t expected = uint32_t(r_.versionIndex - 1);
    if (r_.locatorCount != expected) {
        problem("locator count ", r_.locatorCount, " for version index ", r_.versionIndex);
        return;
    }
    const size_t crcAt = 25 + 9 * size_t(r_.locatorCount);
    if (!fits(0, crcAt + 2 + 16)) {
        problem("file header cut off");
        return;
    }
    for (uint32_t i = 0; i < r_.locatorCount; ++i) {
        const size_t at = 25 + 9 * size_t(i);
        if (f_[at] != i) problem("locator ", i, " numbered ", int(f_[at]));
        r_.locators.emplace_back(le32(f_, at + 1), le32(f_, at + 5));
    }
    static constexpr uint16_t kXor[3] = {0x8101, 0x3CC4, 0x8461};
    const uint16_t crc = checkCrc16(0, f_.subspan(0, crcAt)) ^ kXor[r_.locatorCount - 4];
    if (crc != le16(f_, crcAt)) problem("file header CRC ", le16(f_, crcAt), " computed ", crc);
    sentinelAt(crcAt + 2, kFileHeaderEnd, "file header end");
    if (r2000 && r_.locators[5] != std::pair<uint32_t, uint32_t>(97, 123)) problem("locator 5");
}

void Checker::framedSection(size_t locator, const Sentinel& start, const Sentinel& end, const char* name) {
    const auto [position, size] = r_.locators[locator];
    if (!sentinelAt(position, start, name)) return;
    if (!fits(position + 16, 4)) return;
    const uint32_t data = le32(f_, position + 16);
    if (!fits(position + 20, uint64_t(data) + 2 + 16)) {
        problem(name, " section of ", data, " bytes does not fit");
        return;
    }
    const uint16_t crc = checkCrc16(kRecordSeed, f_.subspan(position + 16, 4 + size_t(data)));
    if (crc != le16(f_, position + 20 + data)) problem(name, " section CRC");
    sentinelAt(position + 20 + data + 2, end, name);
    if (size != data + 38) problem(name, " locator size ", size, " for ", data, " bytes of data");
}

void Checker::record(uint64_t handle, uint32_t position) {
    Dwg13CheckedRecord rec;
    rec.handle = handle;
    rec.position = position;
    if (!fits(position, 2)) {
        problem("record ", std::hex, handle, " outside the file");
        return;
    }
    uint32_t size = le16(f_, position);
    size_t head = 2;
    if (size & 0x8000) {
        if (!fits(position, 4)) return problem("record ", std::hex, handle, " size cut off");
        size = (size & 0x7FFF) | uint32_t(le16(f_, position + 2)) << 15;
        head = 4;
    }
    if (!fits(position + head, uint64_t(size) + 2)) return problem("record ", std::hex, handle, " does not fit");
    const uint16_t crc = checkCrc16(kRecordSeed, f_.subspan(position, head + size));
    if (crc != le16(f_, position + head + size)) problem("record ", std::hex, handle, " CRC");
    Bits bits(f_.subspan(position + head, size));
    rec.size = size;
    rec.dataStart = uint32_t(position + head);
    rec.type = uint16_t(bits.bs());
    if (r_.versionIndex == 7) rec.bitSize = bits.rl();
    unsigned code = 0;
    const uint64_t own = bits.handle(code);
    if (own != handle) problem("record at ", position, " has handle ", std::hex, own, " for the map's ", handle);
    if (r_.versionIndex == 7 && rec.bitSize > uint64_t(size) * 8)
        problem("record ", std::hex, handle, " size in bits beyond its data");
    if (bits.past()) problem("record ", std::hex, handle, " too short for its head");
    r_.records.push_back(rec);
}

void Checker::objectMap() {
    const auto [position, size] = r_.locators[2];
    uint64_t at = position;
    uint64_t previous = 0;
    bool first = true;
    for (;;) {
        if (!fits(at, 2)) return problem("object map section at ", at, " cut off");
        const uint32_t length = uint32_t(f_[at]) << 8 | f_[at + 1];
        if (length < 2 || !fits(at, uint64_t(length) + 2)) return problem("object map section of ", length, " bytes");
        const uint16_t crc = checkCrc16(kRecordSeed, f_.subspan(at, length));
        const uint16_t stored = uint16_t(f_[at + length] << 8 | f_[at + length + 1]);
        if (crc != stored) problem("object map section CRC at ", at);
        ++r_.mapSections;
        r_.sectionSizes.push_back(length);
        if (length == 2) {
            at += 4;
            break;
        }
        std::span<const uint8_t> data = f_.subspan(at + 2, length - 2);
        size_t i = 0;
        uint64_t sectionHandle = 0;
        int64_t sectionPosition = 0;
        while (i < data.size()) {
            uint64_t delta = 0;
            unsigned shift = 0;
            for (;;) {
                if (i >= data.size()) return problem("object map entry cut off");
                const uint8_t b = data[i++];
                delta |= uint64_t(b & 0x7F) << shift;
                shift += 7;
                if (!(b & 0x80)) break;
            }
            int64_t offset = 0;
            shift = 0;
            for (;;) {
                if (i >= data.size()) return problem("object map entry cut off");
                const uint8_t b = data[i++];
                if (b & 0x80) {
                    offset |= int64_t(b & 0x7F) << shift;
                    shift += 7;
                    continue;
                }
                offset |= int64_t(b & 0x3F) << shift;
                if (b & 0x40) offset = -offset;
                break;
            }
            sectionHandle += delta;
            sectionPosition += offset;
            if (!first && sectionHandle <= previous) problem("map handle ", std::hex, sectionHandle, " after ", previous);
            first = false;
            previous = sectionHandle;
            ++mapEntries_;
            record(sectionHandle, uint32_t(sectionPosition));
        }
        at += uint64_t(length) + 2;
    }
    if (at - position != size) problem("object map locator size ", size, " for ", at - position, " bytes");
}

void Checker::descriptor() {
    const auto [position, size] = r_.locators[3];
    if (size != 53 || !fits(position, 53)) return problem("descriptor locator ", position, " ", size);
    const uint32_t expected[5] = {0, mapEntries_ + 3, 0x002562A7, 0x0225AFF6, 0};
    for (int i = 0; i < 5; ++i) {
        const uint32_t v = le32(f_, position + 4 * size_t(i));
        if (i == 4) {
            r_.recordsStart = v;
        } else if (v != expected[i]) {
            problem("descriptor value ", i, ": ", v, " expected ", expected[i]);
        }
    }
    if (f_[position + 20] != 4) problem("descriptor byte 20");
    const uint32_t pairs[8] = {0x32, 0, 0x64, 0, 0x200, 0, 0xFFFFFFFF, 0};
    for (int i = 0; i < 8; ++i)
        if (le32(f_, position + 21 + 4 * size_t(i)) != pairs[i]) problem("descriptor pair value ", i);
    if (r_.locatorCount >= 5) {
        const auto [measurement, measurementSize] = r_.locators[4];
        if (measurementSize != 4 || measurement + 512 != r_.recordsStart) problem("measurement locator");
    }
    for (const Dwg13CheckedRecord& rec : r_.records)
        if (rec.position < r_.recordsStart) problem("record ", std::hex, rec.handle, " before the object records");
}

void Checker::secondHeader() {
    const uint64_t start = uint64_t(r_.locators[3].first) + 53;
    if (!sentinelAt(start, kSecondStart, "second header start") || !fits(start + 16, 4)) return;
    const uint32_t size = le32(f_, start + 16);
    const uint32_t extra = r_.versionIndex >= 6 ? 14 : 6;
    if (size < extra || !fits(start + 20, size - extra + 2)) return problem("second header size ", size);
    const uint32_t streamBytes = size - extra;
    const uint16_t crc = checkCrc16(kRecordSeed, f_.subspan(start + 16, 4 + size_t(streamBytes)));
    if (crc != le16(f_, start + 20 + streamBytes)) problem("second header CRC");
    const uint64_t end = start + 20 + streamBytes + 2 + (r_.versionIndex >= 6 ? 8 : 0);
    sentinelAt(end, kSecondEnd, "second header end");
    Bits bits(f_.subspan(start + 20, streamBytes));
    if (bits.bl() != start) problem("second header position");
    std::string signature;
    for (int i = 0; i < 6; ++i) signature.push_back(char(bits.rc()));
    if (signature != std::string(f_.begin(), f_.begin() + 6)) problem("second header version ", signature);
    for (int i = 0; i < 5; ++i) bits.rc();
    bits.rc();
    bits.bits(4);
    bits.bits(8 * (r_.versionIndex == 7 ? 6 : 4));
    for (uint32_t i = 0; i < r_.locatorCount; ++i) {
        const uint8_t number = bits.rc();
        const uint32_t position = bits.bl();
        const uint32_t length = bits.bl();
        if (number != i || position != r_.locators[i].first || length != r_.locators[i].second)
            problem("second header locator ", i, ": ", int(number), " ", position, " ", length);
    }
    if (bits.bs() != 14) problem("second header handle count");
    for (int i = 0; i < 14; ++i) {
        const unsigned length = bits.rc();
        if (bits.rc() != i) problem("second header handle index ", i);
        bits.bits(8 * length);
    }
    if (bits.past()) problem("second header stream cut off");
}

void Checker::image() {
    const uint64_t at = imagePosition_;
    if (!sentinelAt(at, kImageStart, "image start") || !fits(at + 16, 5)) return;
    const uint32_t overall = le32(f_, at + 16);
    const uint8_t count = f_[at + 20];
    if (!fits(at + 20, overall + 16)) return problem("image section of ", overall, " bytes");
    sentinelAt(at + 20 + overall, kImageEnd, "image end");
    uint64_t data = at + 21 + 9 * uint64_t(count);
    for (uint8_t i = 0; i < count; ++i) {
        const uint64_t entry = at + 21 + 9 * uint64_t(i);
        const uint8_t code = f_[entry];
        const uint32_t position = le32(f_, entry + 1);
        const uint32_t size = le32(f_, entry + 5);
        if (i == 0 && (code != 1 || size != 80)) problem("image header entry");
        if (position != data) problem("image entry ", i, " at ", position, " expected ", data);
        data += size;
    }
    if (data != at + 20 + overall) problem("image section sizes");
    if (at + 20 + overall + 16 != f_.size()) problem("bytes after the image section");
}

void Checker::run() {
    fileHeader();
    if (r_.versionIndex < 0 || r_.locators.size() != r_.locatorCount || r_.locators.empty()) return;
    framedSection(0, kHeaderStart, kHeaderEnd, "header variables");
    framedSection(1, kClassesStart, kClassesEnd, "classes");
    objectMap();
    descriptor();
    secondHeader();
    image();
}

} // namespace

std::string Dwg13CheckResult::report() const {
    std::string text;
    for (size_t i = 0; i < problems.size() && i < 20; ++i) text += problems[i] + "\n";
    if (problems.size() > 20) text += "... " + std::to_string(problems.size() - 20) + " more\n";
    return text;
}

Dwg13CheckResult checkDwg13Bytes(std::span<const uint8_t> file) {
    Dwg13CheckResult result;
    Checker(file, result).run();
    return result;
}

Dwg13CheckResult checkDwg13File(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    return checkDwg13Bytes(bytes);
}

} // namespace tracemill::test
