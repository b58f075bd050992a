#include "app/shell/crc32.h"

#include <cstdio>
#include <memory>
#include <zlib.h>

namespace tracemill {

namespace {

std::array<uint32_t, 256> crcTable{};

uint32_t reflect(uint32_t value, int bits) {
    uint32_t result = 0;
    for (int i = 0; i < bits; ++i)
        if (value & (uint32_t(1) << i)) result |= uint32_t(1) << (bits - 1 - i);
    return result;
}

// zlib takes lengths as unsigned int: feed longer buffers in pieces.
uint32_t crcUpdate(uint32_t crc, const uint8_t* bytes, size_t length) {
    while (length > 0) {
        const unsigned piece = length > 0x40000000u ? 0x40000000u : unsigned(length);
        crc = uint32_t(crc32(crc, bytes, piece));
        bytes += piece;
        length -= piece;
    }
    return crc;
}

} // namespace

void BuildCrc32Table() {
    // The long way round: the byte is reversed into the top of a register that is shifted
    // left through the polynomial 0x04C11DB7, and the result reversed back.
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t value = reflect(i, 8) << 24;
        for (int bit = 0; bit < 8; ++bit) value = (value & 0x80000000u) ? (value << 1) ^ 0x04C11DB7u : value << 1;
        crcTable[i] = reflect(value, 32);
    }
}

const std::array<uint32_t, 256>& Crc32Table() { return crcTable; }

uint32_t Crc32OfString(const char* text) { return text ? Crc32OfString(std::string_view(text)) : 0; }

uint32_t Crc32OfString(std::string_view text) { return Crc32OfBuffer(text.data(), text.size()); }

uint32_t Crc32OfBuffer(const void* bytes, size_t length) {
    if (length == 0 || !bytes) return 0;
    return crcUpdate(uint32_t(crc32(0, nullptr, 0)), static_cast<const uint8_t*>(bytes), length);
}

uint32_t Crc32OfFile(const std::string& path) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return 0;
    uint32_t crc = uint32_t(crc32(0, nullptr, 0));
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) crc = crcUpdate(crc, buffer, n);
    return std::ferror(file.get()) ? 0 : crc;
}

} // namespace tracemill
