// Database handles: 8-byte numbers, most significant byte first, compared as unsigned
// big-endian numbers; the zero handle means "none".
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tracemill {

struct Handle {
    uint64_t value = 0;

    constexpr Handle() = default;
    constexpr explicit Handle(uint64_t v) : value(v) {}

    constexpr bool isNull() const { return value == 0; }
    constexpr explicit operator bool() const { return value != 0; }
    friend constexpr auto operator<=>(Handle, Handle) = default;

    // The 8 bytes as stored in files and most significant byte first.
    static Handle fromBigEndian(const uint8_t bytes[8]);
    void toBigEndian(uint8_t bytes[8]) const;
};

// The value given to records whose handle is not assigned yet: FF FF 0F 08 88 88 0F 00.
inline constexpr Handle kUnassignedHandle{0xFFFF0F0888880F00ull};

// Number of significant bytes: 8 minus the leading zero bytes (0 for the zero handle).
int dbHandleLength(Handle handle);

// Adds 1 with carry across all 8 bytes: 0 when the handle wrapped to zero, else 1.
int dbHandleIncrement(Handle& handle);

// The count placed in the low four bytes of a zero handle, added with carry.
Handle dbHandleAdd(Handle handle, uint32_t count);

// Upper-case hexadecimal without leading zeros; "0" for the zero handle.
std::string dbHandleToHex(Handle handle);

// "%.2X" per byte.
std::string dbBytesToHex(const uint8_t* bytes, size_t count);

} // namespace tracemill
