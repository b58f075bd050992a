#include "toolkit/write/dwg13/crc16.h"

#include <array>
#include <bit>
#include <cstring>

namespace tracemill {
namespace {

// Tables of the CRC sliced by bytes: row 0 is the byte-wise table; row k gives the effect of a
// byte followed by k zero bytes, so that eight bytes are folded in with eight independent look-ups.
constexpr size_t kCrcSlices = 8;
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

} // namespace

uint16_t wrCrc16(uint16_t seed, const uint8_t* bytes, size_t count) {
    const auto& t = kCrcSliceTables;
    unsigned crc = seed;
    size_t i = 0;
    for (; i + kCrcSlices <= count; i += kCrcSlices) {
        uint64_t word;
        std::memcpy(&word, bytes + i, sizeof word);
        if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
        word ^= crc;
        crc = t[7][word & 0xFF] ^ t[6][(word >> 8) & 0xFF] ^ t[5][(word >> 16) & 0xFF] ^ t[4][(word >> 24) & 0xFF] ^
              t[3][(word >> 32) & 0xFF] ^ t[2][(word >> 40) & 0xFF] ^ t[1][(word >> 48) & 0xFF] ^ t[0][word >> 56];
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
