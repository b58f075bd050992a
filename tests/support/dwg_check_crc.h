// The CRC-16 of the DWG formats (reflected polynomial 0xA001), computed bit by bit for the
// structure checks and the writer tests: an oracle of their own, apart from the toolkit's
// table-driven CRC.
#pragma once

#include <cstdint>
#include <span>

namespace tracemill::test {

uint16_t checkCrc16(uint16_t seed, std::span<const uint8_t> bytes);

} // namespace tracemill::test
