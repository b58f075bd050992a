// The variable-length LZW coding of GIF image data, both ways: pixel indices to the minimum
// code size byte, the data sub-blocks and their terminator, and back.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tracemill {

struct GifLzwSettings {
    // Bits of the root codes (2 to 8); every pixel index must be below 2^minimumCodeSize.
    int minimumCodeSize = 8;
    // Entries of the coder's open hash table: a prime above 4,096, so that every probe
    // sequence visits each slot. Where it collides is part of a writer's exact output.
    int hashSize = 5003;
    // Data bytes per sub-block (1 to 255).
    int subBlockSize = 254;
};

// The pixels (in file order) coded with codes of minimumCodeSize + 1 up to 12 bits, least
// significant bit first. When the code table is full (the next free code would be 4,096,
// which needs a 13th bit) a clear code restarts it.
std::vector<uint8_t> EncodeGifImageData(std::span<const uint8_t> pixels, const GifLzwSettings& settings);

// Decodes image data starting at its minimum code size byte into `pixels` (file order).
// Damaged codes or data that end early stop the decoding and keep what was decoded; false
// only when the minimum code size is missing or out of range.
bool DecodeGifImageData(std::span<const uint8_t> data, std::span<uint8_t> pixels);

} // namespace tracemill
