#include "toolkit/codec/crc16.h"

#include <array>
#include <bit>
#include <cstring>

namespace tracemill {
namespace {

// Tables of the CRC sliced by bytes: row 0 is the byte-wise table; row k gives the effect of a
// byte followed by k zero bytes, so that 16 bytes are folded in with 16 independent look-ups.
constexpr size_t kCrcSlices = 16;
using CrcSliceTables = std::array<std::array<uint16_t, 256>, kCrcSlices>;

constexpr CrcSliceTables makeCrcSliceTables() {
    CrcSliceTables table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
        table[0][i] = uint16_t(crc);
    }
    for (size_t k = 1; k < kCrcSlices; ++k)
        for (unsigned i = 0; i < 256; ++i)
            table[k][i] = uint16_t((table[k - 1][i] >> 8) ^ table[0][table[k - 1][i] & 0xFF]);
    return table;
}

constexpr CrcSliceTables kCrcSliceTables = makeCrcSliceTables();
static_assert(kCrcSliceTables[0][1] == 0xC0C1 && kCrcSliceTables[0][2] == 0xC181 &&
              kCrcSliceTables[0][3] == 0x0140);

// Eight bytes from `at` as a little-endian number.
uint64_t crcLoad8(const uint8_t* at) {
    uint64_t word;
    std::memcpy(&word, at, sizeof word);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    return word;
}

// The CRC of eight bytes given as a little-endian number (the CRC so far already XORed into
// the first two), through the rows from Row + 7 down to Row.
template <size_t Row> unsigned crcFold8(uint64_t word) {
    const auto& t = kCrcSliceTables;
    return t[Row + 7][word & 0xFF] ^ t[Row + 6][(word >> 8) & 0xFF] ^ t[Row + 5][(word >> 16) & 0xFF] ^
           t[Row + 4][(word >> 24) & 0xFF] ^ t[Row + 3][(word >> 32) & 0xFF] ^ t[Row + 2][(word >> 40) & 0xFF] ^
           t[Row + 1][(word >> 48) & 0xFF] ^ t[Row][word >> 56];
}

} // namespace

uint16_t wrCrc16(uint16_t seed, const uint8_t* bytes, size_t count) {
    const auto& t = kCrcSliceTables;
    unsigned crc = seed;
    size_t i = 0;
    for (; i + 16 <= count; i += 16)
        crc = crcFold8<8>(crcLoad8(bytes + i) ^ crc) ^ crcFold8<0>(crcLoad8(bytes + i + 8));
    if (i + 8 <= count) {
        crc = crcFold8<0>(crcLoad8(bytes + i) ^ crc);
        i += 8;
    }
    if (i + 4 <= count) {
        uint32_t word;
        std::memcpy(&word, bytes + i, sizeof word);
        if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap32(word);
        word ^= crc;
        crc = t[3][word & 0xFF] ^ t[2][(word >> 8) & 0xFF] ^ t[1][(word >> 16) & 0xFF] ^ t[0][word >> 24];
        i += 4;
    }
    for (; i < count; ++i)
        crc = t[0][(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return uint16_t(crc);
}

void wrStoreCrc(uint8_t* buffer, size_t length, uint16_t xorValue) {
    if (length < 2) return;
    const uint16_t crc = wrCrc16(0, buffer, length - 2) ^ xorValue;
    buffer[length - 2] = uint8_t(crc);
    buffer[length - 1] = uint8_t(crc >> 8);
}

} // namespace tracemill
