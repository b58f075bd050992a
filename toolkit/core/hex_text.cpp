#include "toolkit/core/hex_text.h"

namespace tracemill {

bool dbIsHexDigit(int c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int dbHexDigitValue(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

std::vector<uint8_t> dbHexToBytes(std::string_view text) {
    std::vector<uint8_t> bytes;
    bytes.reserve((text.size() + 1) / 2);
    size_t i = 0;
    if (text.size() % 2 == 1) bytes.push_back(uint8_t(dbHexDigitValue(text[i++])));
    for (; i + 1 < text.size(); i += 2)
        bytes.push_back(uint8_t(dbHexDigitValue(text[i]) << 4 | dbHexDigitValue(text[i + 1])));
    return bytes;
}

// The bytes of dbHexToBytes right-aligned are the digits' value: each digit is one nibble,
// counted from the last digit, whether or not the first one stood alone.
Handle dbHexToHandle(std::string_view text) {
    uint64_t value = 0;
    for (char c : text.substr(0, 16)) value = value << 4 | uint64_t(dbHexDigitValue(static_cast<unsigned char>(c)));
    return Handle(value);
}

} // namespace tracemill
