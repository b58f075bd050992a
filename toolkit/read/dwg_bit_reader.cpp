#include "toolkit/read/dwg_bit_reader.h"

#include <algorithm>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/sanitize_double.h"
#include "toolkit/codec/bit_codes.h"

namespace tracemill {

uint32_t BitReader::readBitsPastEnd(unsigned count) {
    const unsigned available = unsigned(sizeBits_ - pos_);
    uint32_t value = available ? readBits(available) : 0;
    markOverrun();
    return value << (count - available);
}

bool BitReader::readBytes(uint8_t* out, size_t count) {
    if (count == 0) return true;
    if (count > bitsLeft() / 8) {
        std::fill(out, out + count, uint8_t(0));
        markOverrun();
        return false;
    }
    const uint8_t* in = data_ + (pos_ >> 3);
    const unsigned shift = unsigned(pos_ & 7);
    if (shift == 0) {
        std::memcpy(out, in, count);
    } else {
        // An unaligned run spans count + 1 bytes, all within the range by the test above.
        for (size_t i = 0; i < count; ++i)
            out[i] = uint8_t((in[i] << shift) | (in[i + 1] >> (8 - shift)));
    }
    pos_ += uint64_t(count) * 8;
    return true;
}

namespace {

// 8 bytes of a little-endian double as the bit stream carries them.
uint64_t readRawDoubleBits(BitReader& reader) {
    uint8_t bytes[8];
    reader.readBytes(bytes, 8);
    return getLe64(bytes);
}

} // namespace

uint16_t rdBitShort(BitReader& reader) {
    switch (reader.readBits(2)) {
    case bitcode::kShortWord:
        return rdRawShort(reader);
    case bitcode::kShortByte:
        return reader.readByte();
    case bitcode::kShortZero:
        return 0;
    default:
        return 256;
    }
}

int32_t rdBitLong(BitReader& reader) {
    switch (reader.readBits(2)) {
    case bitcode::kLongWord:
        return rdRawLong(reader);
    case bitcode::kLongByte:
        return reader.readByte();
    default:
        return 0;
    }
}

double rdBitDouble(BitReader& reader) {
    switch (reader.readBits(2)) {
    case bitcode::kDoubleRaw:
        return rdRawDouble(reader);
    case bitcode::kDoubleOne:
        return 1.0;
    default:
        return 0.0;
    }
}

Point3 rdBit3Double(BitReader& reader) {
    Point3 p;
    p.x = rdBitDouble(reader);
    p.y = rdBitDouble(reader);
    p.z = rdBitDouble(reader);
    return p;
}

uint16_t rdRawShort(BitReader& reader) {
    uint16_t low = reader.readByte();
    return uint16_t(low | (reader.readByte() << 8));
}

int32_t rdRawLong(BitReader& reader) {
    uint8_t bytes[4];
    reader.readBytes(bytes, 4);
    return int32_t(getLe32(bytes));
}

double rdRawDouble(BitReader& reader) {
    return SanitizeDouble(readRawDoubleBits(reader));
}

Point2 rdRaw2Double(BitReader& reader) {
    Point2 p;
    p.x = rdRawDouble(reader);
    p.y = rdRawDouble(reader);
    return p;
}

double rdBitDefaultDouble(BitReader& reader, double defaultValue) {
    uint8_t bytes[8];
    putLe64(bytes, doubleBits(defaultValue));
    switch (reader.readBits(2)) {
    case bitcode::kDefaultSame:
        return defaultValue;
    case bitcode::kDefaultPatch4:
        reader.readBytes(bytes, 4);
        break;
    case bitcode::kDefaultPatch6:
        reader.readBytes(bytes + 4, 2);
        reader.readBytes(bytes, 4);
        break;
    default:
        return rdRawDouble(reader);
    }
    return SanitizeDouble(bytes);
}

Point3 rdBit3DefaultDouble(BitReader& reader, const Point3& defaultPoint) {
    Point3 p;
    p.x = rdBitDefaultDouble(reader, defaultPoint.x);
    p.y = rdBitDefaultDouble(reader, defaultPoint.y);
    p.z = rdBitDefaultDouble(reader, defaultPoint.z);
    return p;
}

Point3 rdBit2RDZ(BitReader& reader) {
    const bool flat = reader.readBit();
    Point3 p;
    p.x = rdRawDouble(reader);
    p.y = rdRawDouble(reader);
    p.z = flat ? 0.0 : rdRawDouble(reader);
    return p;
}

void rdBitLinePoints(BitReader& reader, Point3& start, Point3& end) {
    const bool flat = reader.readBit();
    start.x = rdRawDouble(reader);
    end.x = rdBitDefaultDouble(reader, start.x);
    start.y = rdRawDouble(reader);
    end.y = rdBitDefaultDouble(reader, start.y);
    start.z = end.z = 0.0;
    if (!flat) {
        start.z = rdRawDouble(reader);
        end.z = rdBitDefaultDouble(reader, start.z);
    }
}

int rdBitText(BitReader& reader, std::string& out, size_t maxLength) {
    const size_t length = rdBitShort(reader);
    if (length > reader.bitsLeft() / 8) {
        dbNotifyError(kErrorReasonBadLength);
        reader.markOverrun();
        return 0;
    }
    if (length > maxLength) {
        dbNotifyError(kErrorReasonBadLength);
        reader.skipBits(uint64_t(length) * 8);
        return 0;
    }
    out.resize(length);
    reader.readBytes(reinterpret_cast<uint8_t*>(out.data()), length);
    return 1;
}

int dbStreamPutFromBits(OpenStream* stream, BitReader& reader, size_t n) {
    if (!stream || !stream->writing) return 0;
    if (uint64_t(n) * 8 > reader.bitsLeft()) {
        reader.skipBits(uint64_t(n) * 8);  // marks the reader overrun
        return 0;
    }
    uint8_t chunk[512];
    while (n > 0) {
        const size_t count = std::min(n, sizeof chunk);
        reader.readBytes(chunk, count);
        if (!dbStreamPutBytes(stream, chunk, count)) return 0;
        n -= count;
    }
    return 1;
}

} // namespace tracemill
