#include "toolkit/core/hex_text.h"

#include <array>

namespace tracemill {

bool dbIsHexDigit(int c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

namespace {

// The value of every byte read as a hexadecimal digit (0 for bytes that are none): readers
// convert a handle for nearly every record.
constexpr std::array<uint8_t, 256> makeDigitValues() {
    std::array<uint8_t, 256> values{};
    for (int c = '0'; c <= '9'; ++c) values[size_t(c)] = uint8_t(c - '0');
    for (int c = 'a'; c <= 'f'; ++c) values[size_t(c)] = uint8_t(c - 'a' + 10);
    for (int c = 'A'; c <= 'F'; ++c) values[size_t(c)] = uint8_t(c - 'A' + 10);
    return values;
}
constexpr std::array<uint8_t, 256> kDigitValues = makeDigitValues();

} // namespace

int dbHexDigitValue(int c) {
    return c >= 0 && c < 256 ? kDigitValues[size_t(c)] : 0;
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
    for (char c : text.substr(0, 16)) value = value << 4 | kDigitValues[static_cast<unsigned char>(c)];
    return Handle(value);
}

} // namespace tracemill
