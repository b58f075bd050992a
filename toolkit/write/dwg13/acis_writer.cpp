#include "toolkit/write/dwg13/acis_writer.h"

#include <algorithm>
#include <span>
#include <string_view>

#include "toolkit/core/sat_transform.h"

namespace tracemill {

void wrDwgAcisHeaderFixups(std::vector<uint8_t>& block) {
    const std::string_view text(reinterpret_cast<const char*>(block.data()), block.size());
    if (const size_t at = text.find("13 A CIS 4.0.2 NT"); at != std::string_view::npos) block[at + 1] = '4';
    size_t date = text.find("A pr");
    if (date == std::string_view::npos) date = text.find("A ug");
    if (date != std::string_view::npos && date >= 7 && block[date - 6] == '4') block[date - 6] = '5';
}

void wrDwgAcisDataR13(BitWriter& bits, const AcisBody& body) {
    const std::span<const uint8_t> sat = body.satText.bytes();
    if (!sat.empty()) {
        bits.putBits(0b01, 2);
        wrPutBitShort(bits, 1);
        std::vector<uint8_t> block;
        for (size_t at = 0; at < sat.size(); at += kDwgSatBlockSize) {
            const size_t n = std::min(kDwgSatBlockSize, sat.size() - at);
            block.assign(sat.begin() + ptrdiff_t(at), sat.begin() + ptrdiff_t(at + n));
            if (at == 0) wrDwgAcisHeaderFixups(block);
            wrPutBitLong(bits, int32_t(n));
            for (uint8_t& c : block) c = dbSatTransform(c);
            wrPutRawBytes(bits, block.data(), block.size());
        }
        wrPutBitLong(bits, 0);
    }
    wrDwgAcisTrailingBits(bits, body);
}

void wrDwgAcisTrailingBits(BitWriter& bits, const AcisBody& body) {
    const std::span<const uint8_t> trailing = body.trailingBits.bytes();
    if (trailing.size() < 5) {
        if (body.satText.bytes().empty() && body.noTrailingBits != 1) bits.putBits(0b11, 2);
        return;
    }
    if (trailing[0] == 0) bits.putBits(0b11, 2);
    const uint32_t count = uint32_t(trailing[1]) | uint32_t(trailing[2]) << 8 | uint32_t(trailing[3]) << 16 |
                           uint32_t(trailing[4]) << 24;
    for (uint32_t i = 0; i < count && 5 + i / 8 < trailing.size(); ++i)
        bits.putBit((trailing[5 + i / 8] >> (7 - i % 8)) & 1);
}

} // namespace tracemill
