#include "dwg_check_crc.h"

namespace tracemill::test {

uint16_t checkCrc16(uint16_t seed, std::span<const uint8_t> bytes) {
    uint16_t crc = seed;
    for (uint8_t byte : bytes) {
        crc ^= byte;
        for (int i = 0; i < 8; ++i) crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
    }
    return crc;
}

} // namespace tracemill::test
