// Reading the bit streams of R13 to 2000 DWG files: values packed without byte alignment,
// most significant bit first, most numbers with a short prefix code that selects a compact
// form (the encodings' codes are shared with the bit writer, toolkit/codec/bit_codes.h).
//
// A BitReader reads one range of bytes held in memory: an object record, a section, or a
// block of bit-coded data that the database keeps. It is bounds-checked: bits past the end read
// as 0 and mark the reader overrun, so damaged input gives defined values and never reads
// outside the range.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include "toolkit/core/point.h"

namespace tracemill {

class BitReader {
  public:
    BitReader() = default;
    // `fileOffset` is where the range starts in its file, for rdBitPosition.
    explicit BitReader(std::span<const uint8_t> bytes, uint64_t fileOffset = 0) { reset(bytes, fileOffset); }

    void reset(std::span<const uint8_t> bytes, uint64_t fileOffset = 0) {
        data_ = bytes.data();
        sizeBits_ = uint64_t(bytes.size()) * 8;
        pos_ = 0;
        fileOffset_ = fileOffset;
        overrun_ = false;
    }

    std::span<const uint8_t> bytes() const { return {data_, size_t(sizeBits_ / 8)}; }
    uint64_t fileOffset() const { return fileOffset_; }
    // Bits read so far from the start of the range, and bits left.
    uint64_t bitPosition() const { return pos_; }
    uint64_t bitsLeft() const { return sizeBits_ - pos_; }
    // True once a read went past the end of the range.
    bool overrun() const { return overrun_; }

    // Moves to a bit of the range; a position beyond the end marks the reader overrun.
    void seekBit(uint64_t position) {
        if (position > sizeBits_) {
            markOverrun();
            return;
        }
        pos_ = position;
    }
    // Marks the reader overrun and moves it to the end: for a value whose stored length
    // cannot be satisfied by what is left.
    void markOverrun() {
        overrun_ = true;
        pos_ = sizeBits_;
    }

    int readBit() {
        if (pos_ >= sizeBits_) {
            overrun_ = true;
            return 0;
        }
        int bit = (data_[pos_ >> 3] >> (7 - (pos_ & 7))) & 1;
        ++pos_;
        return bit;
    }

    // The next `count` bits (1 to 32), first bit highest.
    uint32_t readBits(unsigned count) {
        if (count == 0) return 0;
        if (count > sizeBits_ - pos_) return readBitsPastEnd(count);
        const size_t first = size_t(pos_ >> 3);
        const unsigned skip = unsigned(pos_ & 7);
        uint64_t window;
        if (first + 8 <= sizeBits_ / 8) {
            std::memcpy(&window, data_ + first, 8);
            if constexpr (std::endian::native == std::endian::little) window = __builtin_bswap64(window);
        } else {
            window = 0;
            const size_t last = size_t((pos_ + count + 7) >> 3);
            for (size_t i = first; i < last; ++i)
                window |= uint64_t(data_[i]) << (56 - 8 * (i - first));
        }
        pos_ += count;
        return uint32_t((window << skip) >> (64 - count));
    }

    uint8_t readByte() { return uint8_t(readBits(8)); }

    // `count` bytes at the current bit position. When fewer are left the output is zeros, the
    // reader is overrun and the result false.
    bool readBytes(uint8_t* out, size_t count);

    // Moves on by `count` bits; past the end marks the reader overrun.
    void skipBits(uint64_t count) {
        if (count > sizeBits_ - pos_) {
            markOverrun();
            return;
        }
        pos_ += count;
    }

  private:
    uint32_t readBitsPastEnd(unsigned count);

    const uint8_t* data_ = nullptr;
    uint64_t sizeBits_ = 0;
    uint64_t pos_ = 0;
    uint64_t fileOffset_ = 0;
    bool overrun_ = false;
};

// The value encodings. Each reads from the reader and moves it on.

// B: one bit.
inline int rdBit(BitReader& reader) {
    return reader.readBit();
}
// BB: two bits, the first high.
inline int rdTwoBits(BitReader& reader) {
    return int(reader.readBits(2));
}
// BS: bit-short.
uint16_t rdBitShort(BitReader& reader);
// BL: bit-long.
int32_t rdBitLong(BitReader& reader);
// BD: bit-double (a raw one sanitised).
double rdBitDouble(BitReader& reader);
// 3BD: three bit-doubles x, y, z.
Point3 rdBit3Double(BitReader& reader);
// RC: 8 bits.
inline uint8_t rdRawChar(BitReader& reader) {
    return reader.readByte();
}
// RS: 2 raw bytes, low byte first.
uint16_t rdRawShort(BitReader& reader);
// RL: 4 raw bytes, low byte first.
int32_t rdRawLong(BitReader& reader);
// RD: 8 raw bytes of a little-endian double, sanitised.
double rdRawDouble(BitReader& reader);
// 2RD: two raw doubles.
Point2 rdRaw2Double(BitReader& reader);
// DD: a double against a default (the previous value of the field).
double rdBitDefaultDouble(BitReader& reader, double defaultValue);
// 3DD: three DD against the coordinates of a default point.
Point3 rdBit3DefaultDouble(BitReader& reader, const Point3& defaultPoint);
// A flag bit, two raw doubles, then z as a raw double unless the flag is set (z 0.0).
Point3 rdBit2RDZ(BitReader& reader);
// The two points of a LINE: a flag bit, x1 RD, x2 DD(x1), y1 RD, y2 DD(y1), and unless the
// flag is set z1 RD, z2 DD(z1) (both z 0.0 when it is).
void rdBitLinePoints(BitReader& reader, Point3& start, Point3& end);
// `count` raw bytes.
inline bool rdBitRawBytes(BitReader& reader, uint8_t* out, size_t count) {
    return reader.readBytes(out, count);
}
// Moves on by `count` bits.
inline void rdBitSkip(BitReader& reader, uint64_t count) {
    reader.skipBits(count);
}
// T: a bit-short length, then that many raw bytes. A length above `maxLength` calls the error
// callback with 5, leaves `out` as it was and moves past the text's bytes; a length beyond
// what is left does the same and marks the reader overrun. Result 1 when the text was read.
int rdBitText(BitReader& reader, std::string& out, size_t maxLength);
// The file offset of the byte that holds the next unread bit.
inline uint64_t rdBitPosition(const BitReader& reader) {
    return reader.fileOffset() + reader.bitPosition() / 8;
}

struct OpenStream;

// Copies n bytes from the DWG bit reader into a paged stream open for writing, 512 at a time;
// 0 with nothing written (and the reader marked overrun) when fewer than n bytes are left in
// the reader.
int dbStreamPutFromBits(OpenStream* stream, BitReader& reader, size_t n);

} // namespace tracemill
