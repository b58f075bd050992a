// Handles in DWG bit streams: the handle reference (H) with its reference code, references
// relative to an object's own handle, the handle list that ends every object, and the
// arithmetic on 8-byte handles that relative references need.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/handle.h"
#include "toolkit/read/dwg_bit_reader.h"

namespace tracemill {

// Arithmetic on 8-byte big-endian handles, byte-wise from the last byte with the carry out of
// the first byte lost: modulo 2^64.
inline Handle rdHandleAdd(Handle a, Handle b) {
    return Handle(a.value + b.value);
}
inline void rdHandleNegate(Handle& handle) {
    handle.value = 0 - handle.value;
}
inline Handle rdHandleSubtract(Handle a, Handle b) {
    return Handle(a.value - b.value);
}

// H: the code byte, then as many bytes as its low nibble says, right-aligned in the handle.
// Result the byte count. A count above 8 calls the error callback with 5, passes over the
// bytes and gives the null handle and 0.
int rdReadHandle(BitReader& reader, Handle& out);

// As rdReadHandle, also giving the reference kind from the code: 4, 5, 2, 3 give 1, 2, 3, 4
// (bits 4-5 of the code byte plus 1).
int rdReadHandleRef(BitReader& reader, Handle& out, int& kind);

// H read against a reference handle: codes below 6 are absolute (no bytes: the null handle);
// 6 is reference + 1, 8 reference - 1 (so is any other code with no bytes, +1 or -1 by bit 3 of
// the code); 10 reference + the bytes, 12 reference - the bytes (other codes with bytes add).
Handle rdReadRelativeHandle(BitReader& reader, Handle reference);

// The handles that end an object record.
struct ObjectHandles {
    Handle owner;
    std::vector<Handle> reactors;
    Handle extensionDictionary;
    Handle last; // one more handle after the extension dictionary
};

// The owner relative to the object's own handle, `reactorCount` reactors, the extension
// dictionary and one more handle. A reactor count that the data left cannot hold stops at the
// end of the data (the reader is then overrun).
void rdReadObjectHandles(BitReader& reader, Handle ownHandle, uint32_t reactorCount, ObjectHandles& out);

// Passes over two handles and then `count` handles, reducing `count` by the null handles
// among the latter.
void rdSkipHandles(BitReader& reader, uint32_t& count);

} // namespace tracemill
