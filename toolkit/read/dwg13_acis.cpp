#include "toolkit/read/dwg13_acis.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/sat_transform.h"
#include "toolkit/core/system_context.h"

namespace tracemill {
namespace {

constexpr int kStreamPageSize = 4096;

// The bits from the reader's position to `end`, packed most significant first.
void appendBits(BitReader& bits, uint64_t end, std::vector<uint8_t>& out) {
    const uint64_t at = bits.bitPosition();
    const uint32_t count = end > at ? uint32_t(end - at) : 0;
    const size_t first = out.size();
    out.resize(first + 4 + (count + 7) / 8, 0);
    putLe32(&out[first], count);
    bits.readBytes(&out[first + 4], count / 8);
    if (const unsigned tail = count % 8) out.back() = uint8_t(bits.readBits(tail) << (8 - tail));
}

// The SAT version-1 mark: the empty bit clear, the bit after it set, and a bit-short of 1.
bool readSatMark(BitReader& bits) {
    const uint64_t at = bits.bitPosition();
    const int empty = bits.readBit();
    const int second = bits.readBit();
    if (empty == 0 && second == 1 && bits.readBits(2) == 1 && bits.readByte() == 1) return true;
    bits.seekBit(at + 2);
    return false;
}

} // namespace

int rdDwg13ReadAcisData(BitReader& bits, uint64_t dataEnd, AcisBody& body) {
    body.satText.reset();
    body.trailingBits.reset();
    dataEnd = std::min<uint64_t>(dataEnd, bits.bytes().size() * uint64_t(8));
    const bool hasSat = readSatMark(bits);
    if (hasSat) {
        PagedStream* sat = body.satText.create(kStreamPageSize);
        if (!sat) return dbReportError(218, kErrorReasonNoMemory);
        // The blocks together hold at most what is left of the record: room for that at once,
        // so that a large solid is not copied as its text grows.
        const uint64_t position = bits.bitPosition();
        sat->bytes.reserve(size_t(dataEnd > position ? (dataEnd - position) / 8 : 0));
        for (;;) {
            const int32_t count = rdBitLong(bits);
            if (bits.overrun() || count == 0) break;
            if (count < 0) continue;
            if (uint64_t(count) > bits.bitsLeft() / 8) {
                bits.markOverrun();
                break;
            }
            const size_t at = sat->bytes.size();
            sat->bytes.resize(at + size_t(count));
            bits.readBytes(&sat->bytes[at], size_t(count));
            for (size_t i = at; i < sat->bytes.size(); ++i)
                sat->bytes[i] = dbSatTransform(sat->bytes[i]);
        }
    }
    PagedStream* trailing = body.trailingBits.create(kStreamPageSize);
    if (!trailing) return dbReportError(218, kErrorReasonNoMemory);
    trailing->bytes.push_back(hasSat ? 1 : 0);
    if (bits.overrun()) {
        trailing->bytes.resize(5, 0);
        return 1;
    }
    appendBits(bits, dataEnd, trailing->bytes);
    return 1;
}

namespace {

// The byte source of the proxy copy: bytes of the source at a bit offset that moves between
// the block kinds.
class ShiftedBytes {
  public:
    explicit ShiftedBytes(std::span<const uint8_t> source) : bits_(source) {}
    bool take(uint8_t& out) {
        if (bits_.bitsLeft() < 8) return false;
        out = bits_.readByte();
        return true;
    }
    bool take32(uint32_t& out) {
        if (bits_.bitsLeft() < 32) return false;
        out = bits_.readBits(32);
        return true;
    }
    // Moves the reading position by a number of bits (negative: back).
    bool shift(int delta) {
        const int64_t to = int64_t(bits_.bitPosition()) + delta;
        if (to < 0 || uint64_t(to) > bits_.bytes().size() * uint64_t(8)) return false;
        bits_.seekBit(uint64_t(to));
        return true;
    }

  private:
    BitReader bits_;
};

uint8_t shiftedRule(uint8_t v) {
    if (v & 1) return uint8_t((381 - v) / 4);
    if (v > 128) return uint8_t((636 - v) / 4);
    return uint8_t(v >> 2);
}

// Drops one field of a line that holds the pattern: from `offset` characters after the
// pattern's start, `skip` fields are passed over and the next one (with its leading space) is
// deleted. Fields are runs of characters between spaces. True when the pattern occurs (the line
// is then left unchanged when it lacks the fields).
bool dropField(std::string& line, std::string_view pattern, size_t offset, int skip) {
    const size_t found = line.find(pattern);
    if (found == std::string::npos) return false;
    // The end of the field at `from` (which may start with its separating space).
    auto fieldEnd = [&](size_t from) {
        if (from < line.size() && line[from] == ' ') ++from;
        if (from >= line.size() || line[from] == ' ') return std::string::npos;
        const size_t end = line.find(' ', from);
        return end == std::string::npos ? line.size() : end;
    };
    size_t at = found + offset;
    for (int i = 0; i < skip; ++i) {
        at = fieldEnd(at);
        if (at == std::string::npos) return true;
    }
    const size_t end = fieldEnd(at);
    if (end == std::string::npos || line[at] != ' ') return true;
    line.erase(at, end - at);
    return true;
}

void rewriteLine(std::string& line) {
    if (dropField(line, "-surface $", 8, 1)) return;
    if (dropField(line, "-curve $", 6, 1)) return;
    dropField(line, "point $", 6, 4);
}

} // namespace

int rdCopyAcisProxyData(std::span<const uint8_t> source, PagedStream& target) {
    ShiftedBytes in(source);
    std::string line;
    line.reserve(2048);
    auto emit = [&](uint8_t c) {
        if (c == '\r' || c == '\n') {
            rewriteLine(line);
            line.push_back(char(c));
            target.bytes.insert(target.bytes.end(), line.begin(), line.end());
            line.clear();
            return true;
        }
        line.push_back(char(c));
        return line.size() < 2048;
    };
    // The four block kinds in their cycle: where the block's count lies against the byte
    // alignment of the data (2 bits right, aligned, 2 and 4 bits left), whether its bytes come
    // with their nibbles swapped, and the rule that decodes them.
    struct Kind {
        int offset;
        bool swapNibbles;
        bool shifted;
    };
    static constexpr Kind kCycle[4] = {{2, false, true}, {0, false, false}, {-2, true, true}, {-4, true, false}};
    int offset = 0;
    for (size_t k = 0;; k = (k + 1) % 4) {
        if (!in.shift(kCycle[k].offset - offset)) return kAcisCopySourceShort;
        offset = kCycle[k].offset;
        uint32_t count = 0;
        if (!in.take32(count)) return kAcisCopySourceShort;
        for (uint32_t i = 0; i < count; ++i) {
            uint8_t c = 0;
            if (!in.take(c)) return kAcisCopySourceShort;
            if (kCycle[k].swapNibbles) c = uint8_t((c << 4) | (c >> 4));
            if (!emit(kCycle[k].shifted ? shiftedRule(c) : dbSatTransform(c))) return kAcisCopyLineTooLong;
        }
        if (count < 4096) break;
    }
    if (!line.empty()) target.bytes.insert(target.bytes.end(), line.begin(), line.end());
    return kAcisCopyDone;
}

} // namespace tracemill
