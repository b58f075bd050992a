// The byte-level modular encodings of DWG files: the modular char (MC, signed), its unsigned
// form for handles (the object map), and the modular short (MS, the size of an object record).
#pragma once

#include <cstdint>

#include "toolkit/core/handle.h"
#include "toolkit/read/byte_cursor.h"

namespace tracemill {

// MC: 7 bits per byte, lowest first, a set top bit continues; bit 6 of the last byte is the
// sign. A value that runs on to a seventh byte calls the error callback with 5 and fails; so
// does one cut off by the end of the data. On failure the value is 0. `length` receives the
// number of bytes taken.
bool rdModularChar(ByteCursor& cursor, int64_t& value, int& length);

// The unsigned form: 7 bits per byte into a handle from its low end, at most 10 bytes. Fails
// (null handle) when the data ends inside the value.
bool rdModularHandle(ByteCursor& cursor, Handle& handle, int& length);

// MS as object records store their size: a little-endian 16-bit word whose top bit set means
// that a second word follows, carrying the bits from 15 up. Fails (0) when the data ends.
bool rdModularShort(ByteCursor& cursor, uint32_t& value);

} // namespace tracemill
