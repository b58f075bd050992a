#include "toolkit/write/dwg13/crc16.h"

#include <array>

namespace tracemill {
namespace {

constexpr std::array<uint16_t, 256> makeCrcTable() {
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
        table[i] = uint16_t(crc);
    }
    return table;
}

constexpr std::array<uint16_t, 256> kCrcTable = makeCrcTable();
static_assert(kCrcTable[1] == 0xC0C1 && kCrcTable[2] == 0xC181 && kCrcTable[3] == 0x0140);

} // namespace

uint16_t wrCrc16(uint16_t seed, const uint8_t* bytes, size_t count) {
    unsigned crc = seed;
    for (size_t i = 0; i < count; ++i)
        crc = kCrcTable[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return uint16_t(crc);
}

void wrStoreCrc(uint8_t* buffer, size_t length, uint16_t xorValue) {
    if (length < 2) return;
    const uint16_t crc = wrCrc16(0, buffer, length - 2) ^ xorValue;
    buffer[length - 2] = uint8_t(crc);
    buffer[length - 1] = uint8_t(crc >> 8);
}

} // namespace tracemill
