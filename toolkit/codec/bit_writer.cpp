#include "toolkit/codec/bit_writer.h"

#include <algorithm>
#include <bit>

#include "toolkit/codec/bit_codes.h"

namespace tracemill {
namespace {

uint64_t bitsOf(double value) {
    return std::bit_cast<uint64_t>(value);
}

// Significant bytes of a handle: 0 for the null handle.
unsigned handleLength(Handle handle) {
    return unsigned(64 - std::countl_zero(handle.value) + 7) / 8;
}

// The low `bytes` bytes of the value, least significant first.
void putLittleEndian(BitWriter& writer, uint64_t value, unsigned bytes) {
    writer.putBits(__builtin_bswap64(value) >> (64 - 8 * bytes), 8 * bytes);
}

} // namespace

void BitWriter::grow(size_t extra) const {
    constexpr size_t kFirstSize = 256;
    const size_t needed = used_ + extra + kSlack;
    if (bytes_.size() < needed) bytes_.resize(std::max({needed, bytes_.size() * 2, kFirstSize}));
}

void BitWriter::putBytes(const uint8_t* bytes, size_t count) {
    if (count == 0) return;
    // The whole bytes of the register go to the buffer first.
    const unsigned whole = pendingBits_ / 8;
    if (whole > 0) {
        storeRegister();
        used_ += whole;
        pending_ = whole < 8 ? pending_ << (8 * whole) : 0;
        pendingBits_ -= 8 * whole;
    }
    grow(count);
    uint8_t* out = bytes_.data() + used_;
    if (pendingBits_ == 0) {
        std::memcpy(out, bytes, count);
        used_ += count;
        return;
    }
    // Each byte completes the started byte and starts the next one.
    const unsigned started = pendingBits_;
    uint8_t carry = uint8_t(pending_ >> 56);
    for (size_t i = 0; i < count; ++i) {
        out[i] = uint8_t(carry | (bytes[i] >> started));
        carry = uint8_t(bytes[i] << (8 - started));
    }
    used_ += count;
    pending_ = uint64_t(carry) << 56;
}

void BitWriter::patchBits(uint64_t position, uint64_t value, unsigned count) {
    if (count == 0) return;
    // A patch that does not fit in one 64-bit window from its first byte is done in two.
    const unsigned offset = unsigned(position % 8);
    if (offset + count > 64) {
        const unsigned first = 64 - offset;
        patchBits(position, value >> (count - first), first);
        patchBits(position + first, value, count - first);
        return;
    }
    // The register is stored behind the whole bytes, patched there with them and taken back.
    storeRegister();
    uint8_t* window = bytes_.data() + position / 8;
    uint64_t word;
    std::memcpy(&word, window, sizeof word);
    if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
    const unsigned shift = 64 - offset - count;
    const uint64_t mask = (count < 64 ? (uint64_t(1) << count) - 1 : ~uint64_t(0)) << shift;
    word = (word & ~mask) | ((value << shift) & mask);
    if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
    std::memcpy(window, &word, sizeof word);
    std::memcpy(&word, bytes_.data() + used_, sizeof word);
    pending_ = std::endian::native == std::endian::little ? __builtin_bswap64(word) : word;
}

int wrPutBit(BitWriter& writer, int bit) {
    writer.putBit(bit);
    return 1;
}

int wrPutRawChar(BitWriter& writer, uint8_t value) {
    writer.putBits(value, 8);
    return 1;
}

int wrPutBitShort(BitWriter& writer, uint16_t value) {
    if (value == 0) {
        writer.putBits(bitcode::kShortZero, 2);
    } else if (value == 256) {
        writer.putBits(bitcode::kShort256, 2);
    } else if (value < 256) {
        writer.putBits(uint64_t(bitcode::kShortByte) << 8 | value, 10);
    } else {
        writer.putBits(uint64_t(bitcode::kShortWord) << 16 | __builtin_bswap16(value), 18);
    }
    return 1;
}

int wrPutBitLong(BitWriter& writer, int32_t value) {
    const uint32_t bits = uint32_t(value);
    if (bits == 0) {
        writer.putBits(bitcode::kLongZero, 2);
    } else if (bits < 256) {
        writer.putBits(uint64_t(bitcode::kLongByte) << 8 | bits, 10);
    } else {
        writer.putBits(uint64_t(bitcode::kLongWord) << 32 | __builtin_bswap32(bits), 34);
    }
    return 1;
}

int wrPutBitDouble(BitWriter& writer, double value) {
    if (bitsOf(value) == bitsOf(0.0)) {
        writer.putBits(bitcode::kDoubleZero, 2);
    } else if (bitsOf(value) == bitsOf(1.0)) {
        writer.putBits(bitcode::kDoubleOne, 2);
    } else {
        writer.putBits(bitcode::kDoubleRaw, 2);
        wrPutRawDouble(writer, value);
    }
    return 1;
}

int wrPutRawDouble(BitWriter& writer, double value) {
    putLittleEndian(writer, bitsOf(value), 8);
    return 1;
}

int wrPutRawLongBits(BitWriter& writer, int32_t value) {
    putLittleEndian(writer, uint32_t(value), 4);
    return 1;
}

int wrPutRawBytes(BitWriter& writer, const uint8_t* bytes, size_t count) {
    writer.putBytes(bytes, count);
    return 1;
}

int wrPutText(BitWriter& writer, std::string_view text) {
    const size_t length = std::min<size_t>(text.size(), 0xFFFF);
    wrPutBitShort(writer, uint16_t(length));
    writer.putBytes(reinterpret_cast<const uint8_t*>(text.data()), length);
    return 1;
}

int wrPutHandle(BitWriter& writer, uint8_t shiftedCode, Handle handle) {
    const unsigned length = handleLength(handle);
    const uint64_t code = uint8_t(shiftedCode + length);
    if (length < 8) {
        writer.putBits(code << (8 * length) | handle.value, 8 + 8 * length);
    } else {
        writer.putBits(code, 8);
        writer.putBits(handle.value, 64);
    }
    return 1;
}

int wrPutTypedRef(BitWriter& writer, Handle handle, uint8_t kind) {
    static constexpr unsigned kCodeOfKind[5] = {0, bitcode::kRefSoftPointer, bitcode::kRefHardPointer,
                                                bitcode::kRefSoftOwner, bitcode::kRefHardOwner};
    const unsigned code = kind < 5 ? kCodeOfKind[kind] : 0;
    return wrPutHandle(writer, uint8_t(code << 4), handle);
}

int wrPut2RawDouble(BitWriter& writer, const Point2& point) {
    wrPutRawDouble(writer, point.x);
    return wrPutRawDouble(writer, point.y);
}

int wrPut2BitDouble(BitWriter& writer, const Point2& point) {
    wrPutBitDouble(writer, point.x);
    return wrPutBitDouble(writer, point.y);
}

int wrPut3BitDouble(BitWriter& writer, const Point3& point) {
    wrPutBitDouble(writer, point.x);
    wrPutBitDouble(writer, point.y);
    return wrPutBitDouble(writer, point.z);
}

int wrPutDefaultDouble(BitWriter& writer, double value, double defaultValue) {
    if (value == defaultValue) {
        writer.putBits(bitcode::kDefaultSame, 2);
    } else {
        writer.putBits(bitcode::kDefaultRaw, 2);
        wrPutRawDouble(writer, value);
    }
    return 1;
}

int wrPut3DefaultDouble(BitWriter& writer, const Point3& point, const Point3& defaultPoint) {
    wrPutDefaultDouble(writer, point.x, defaultPoint.x);
    wrPutDefaultDouble(writer, point.y, defaultPoint.y);
    return wrPutDefaultDouble(writer, point.z, defaultPoint.z);
}

int wrPutFirstCorner(BitWriter& writer, const Point3& point) {
    const bool flat = point.z == 0.0;
    writer.putBit(flat);
    wrPutRawDouble(writer, point.x);
    wrPutRawDouble(writer, point.y);
    if (!flat) wrPutRawDouble(writer, point.z);
    return 1;
}

int wrPutLinePoints(BitWriter& writer, const Point3& start, const Point3& end) {
    const bool flat = start.z == 0.0 && end.z == 0.0;
    writer.putBit(flat);
    wrPutRawDouble(writer, start.x);
    wrPutDefaultDouble(writer, end.x, start.x);
    wrPutRawDouble(writer, start.y);
    wrPutDefaultDouble(writer, end.y, start.y);
    if (!flat) {
        wrPutRawDouble(writer, start.z);
        wrPutDefaultDouble(writer, end.z, start.z);
    }
    return 1;
}

int wrPutThickness(BitWriter& writer, double thickness) {
    const bool zero = thickness == 0.0;
    writer.putBit(zero);
    if (!zero) wrPutBitDouble(writer, thickness);
    return 1;
}

int wrPutExtrusion(BitWriter& writer, const Point3& extrusion) {
    const bool up = extrusion == Point3{0.0, 0.0, 1.0};
    writer.putBit(up);
    if (!up) wrPut3BitDouble(writer, extrusion);
    return 1;
}

int wrPutRelativeRef(BitWriter& writer, Handle target, Handle own, unsigned code) {
    if (target == own) return wrPutHandle(writer, uint8_t(code << 4), Handle());
    const bool up = target > own;
    const Handle difference(up ? target.value - own.value : own.value - target.value);
    if (difference.value == 1)
        return wrPutHandle(writer, uint8_t((up ? bitcode::kRefNext : bitcode::kRefPrevious) << 4), Handle());
    const bool absolute = up ? handleLength(difference) > handleLength(target) : !(difference < target);
    if (absolute) return wrPutHandle(writer, uint8_t(bitcode::kRefSoftPointer << 4), target);
    return wrPutHandle(writer, uint8_t((up ? bitcode::kRefPlusOffset : bitcode::kRefMinusOffset) << 4),
                       difference);
}

int wrModularChar(uint8_t out[10], Handle handle) {
    int length = 0;
    for (uint64_t v = handle.value; length < 10; v >>= 7)
        out[length++] = uint8_t(0x80 | (v & 0x7F));
    while (length > 1 && out[length - 1] == 0x80)
        --length;
    out[length - 1] &= 0x7F;
    return length;
}

int wrSignedModularChar(uint8_t out[6], int32_t value) {
    uint32_t magnitude = value < 0 ? 0u - uint32_t(value) : uint32_t(value);
    int length = 0;
    while (magnitude > 0x3F) {
        out[length++] = uint8_t(0x80 | (magnitude & 0x7F));
        magnitude >>= 7;
    }
    out[length++] = uint8_t(magnitude | (value < 0 ? 0x40 : 0));
    return length;
}

} // namespace tracemill
