#include "toolkit/codec/crc16.h"

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tracemill {
namespace {

// An independent reference: the CRC bit by bit, with the reflected polynomial 0xA001.
uint16_t referenceCrc(uint16_t seed, const uint8_t* bytes, size_t count) {
    uint16_t crc = seed;
    for (size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
    }
    return crc;
}

TEST(Crc16, KnownVectors) {
    const std::string check = "123456789";
    const auto* digits = reinterpret_cast<const uint8_t*>(check.data());
    EXPECT_EQ(wrCrc16(0, digits, check.size()), 0xBB3D);  // the check value of this CRC
    EXPECT_EQ(referenceCrc(0, digits, check.size()), 0xBB3D);
    const uint8_t emptySection[] = {0x00, 0x02};
    EXPECT_EQ(wrCrc16(kCrcSeedRecords, emptySection, 2), 0x01D0);
    EXPECT_EQ(wrCrc16(0x1234, nullptr, 0), 0x1234);
}

TEST(Crc16, EqualsTheReferenceOnRandomBuffersAndSeeds) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> buffer(rng() % 3000);
        for (uint8_t& b : buffer) b = uint8_t(rng());
        const uint16_t seed = round % 3 == 0 ? 0 : round % 3 == 1 ? kCrcSeedRecords : uint16_t(rng());
        EXPECT_EQ(wrCrc16(seed, buffer.data(), buffer.size()), referenceCrc(seed, buffer.data(), buffer.size()));
    }
}

TEST(Crc16, StoreCrcWritesTheXoredValueIntoTheLastTwoBytes) {
    std::vector<uint8_t> block = {1, 2, 3, 4, 5, 0xEE, 0xEE};
    wrStoreCrc(block.data(), block.size(), 0x8101);
    const uint16_t expected = referenceCrc(0, block.data(), 5) ^ 0x8101;
    EXPECT_EQ(block[5], uint8_t(expected));
    EXPECT_EQ(block[6], uint8_t(expected >> 8));

    // The file check's use: keep the stored value, zero it, store again and compare.
    std::vector<uint8_t> copy = block;
    copy[5] = copy[6] = 0;
    wrStoreCrc(copy.data(), copy.size(), 0x8101);
    EXPECT_EQ(copy, block);

    uint8_t one = 9;
    wrStoreCrc(&one, 1, 0);
    EXPECT_EQ(one, 9);
}

} // namespace
} // namespace tracemill
