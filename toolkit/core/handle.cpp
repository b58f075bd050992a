#include "handle.h"

namespace tracemill {

Handle Handle::fromBigEndian(const uint8_t bytes[8]) {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = (v << 8) | bytes[i];
    return Handle(v);
}

void Handle::toBigEndian(uint8_t bytes[8]) const {
    for (int i = 0; i < 8; ++i) bytes[i] = uint8_t(value >> (56 - 8 * i));
}

int dbHandleLength(Handle handle) {
    int length = 0;
    for (uint64_t v = handle.value; v != 0; v >>= 8) ++length;
    return length;
}

int dbHandleIncrement(Handle& handle) { return ++handle.value != 0 ? 1 : 0; }

Handle dbHandleAdd(Handle handle, uint32_t count) { return Handle(handle.value + count); }

std::string dbHandleToHex(Handle handle) {
    static const char digits[] = "0123456789ABCDEF";
    if (handle.isNull()) return "0";
    char buffer[16];
    int n = 0;
    for (uint64_t v = handle.value; v != 0; v >>= 4) buffer[n++] = digits[v & 0xF];
    std::string text;
    text.reserve(size_t(n));
    while (n > 0) text.push_back(buffer[--n]);
    return text;
}

std::string dbBytesToHex(const uint8_t* bytes, size_t count) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(2 * count);
    for (size_t i = 0; i < count; ++i) {
        text.push_back(digits[bytes[i] >> 4]);
        text.push_back(digits[bytes[i] & 0xF]);
    }
    return text;
}

} // namespace tracemill
