// Hexadecimal text: digits, bytes and handles written as hexadecimal.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "toolkit/core/handle.h"

namespace tracemill {

// '0'..'9', 'a'..'f', 'A'..'F'.
bool dbIsHexDigit(int c);

// 0..15 for a hexadecimal digit, 0 for any other character.
int dbHexDigitValue(int c);

// Two digits a byte; an odd number of digits makes the first digit a byte of its own.
std::vector<uint8_t> dbHexToBytes(std::string_view text);

// The bytes of the first 16 digits, right-aligned in the handle's 8 bytes (a character that is
// no digit counts as 0). Allocates nothing: readers call it for every handle they read.
Handle dbHexToHandle(std::string_view text);

} // namespace tracemill
