// Paged streams: the growable byte stores of the drawing database (extended data, proxy
// graphics, ACIS text, pictures, recorded display lists, reference buffers).
//
// A stored stream (`PagedStream`, referred to by pointer: its handle) holds its bytes in one
// vector. To work with it a caller opens it, which gives an `OpenStream` (the working copy)
// for writing from empty, for appending or for reading, and closes it again. The page size
// given at creation is kept for the callers that ask for it; it does not shape the bytes.
//
// Values are stored little-endian. A read that finds fewer bytes than it needs fails and
// consumes nothing. Every operation accepts a null stream and fails on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/core/point.h"

namespace tracemill {


// Error numbers.
inline constexpr int kErrorReadFromNullStream = 162;
inline constexpr int kErrorWriteToNullStream = 163;
inline constexpr int kErrorNoMemoryForStream = 210;

// The longest string dbStreamPutString stores: its length is a signed 16-bit field.
inline constexpr int kStreamStringMaxLength = 32767;

struct PagedStream {
    std::vector<uint8_t> bytes;
    int16_t pageSize = 0;
};

// An open working copy of a stored stream. Writing appends to the stored bytes; reading
// moves `offset` through them.
struct OpenStream {
    PagedStream* self = nullptr;
    bool writing = false;
    int32_t offset = 0;     // read mode: the next byte read
    bool hasUngot = false;  // a byte put back by dbStreamUngetByte, returned by the next read
    uint8_t ungot = 0;
};

// --- Life cycle ----------------------------------------------------------------------------------

// A new empty stream, or null when memory is exhausted (error callback 2).
PagedStream* dbStreamCreate(int pageSize);
// Frees the stream: 0 for a null handle, else 1. Its working copies must be closed first.
int dbStreamDestroy(PagedStream* handle);
// Open for writing from empty (the bytes held before are released), for writing after the
// bytes held, or for reading from the start. Null for a null handle or when memory is
// exhausted (error 210, error callback 2).
OpenStream* dbStreamOpenWrite(PagedStream* handle);
OpenStream* dbStreamOpenAppend(PagedStream* handle);
OpenStream* dbStreamOpenRead(PagedStream* handle);
// Close a working copy: 1, 0 for null.
int dbStreamCloseWrite(OpenStream* stream);
int dbStreamClose(OpenStream* stream);
int dbStreamCloseRead(OpenStream* stream);

// Bytes held by a stored stream (0 for null); bytes held by an open stream.
int32_t dbStreamSizeOf(const PagedStream* handle);
int32_t dbStreamLength(const OpenStream* stream);
int16_t dbStreamPageSize(const PagedStream* handle);

// --- Writing (1, or 0 for a stream not open for writing or exhausted memory) ---------------------

int dbStreamPutBytes(OpenStream* stream, const void* src, size_t n);
int dbStreamPutByte(OpenStream* stream, uint8_t b);
// A 16-bit length and the bytes without NUL; 0 (nothing written) for text longer than
// kStreamStringMaxLength.
int dbStreamPutString(OpenStream* stream, std::string_view text);
int dbStreamPutLong(OpenStream* stream, int32_t value);
int dbStreamPutShort(OpenStream* stream, int16_t value);
int dbStreamPutDouble(OpenStream* stream, double value);
int dbStreamPutDword(OpenStream* stream, const uint32_t& value);
int dbStreamPutWord(OpenStream* stream, const uint16_t& value);
int dbStreamPutQword(OpenStream* stream, const uint64_t& value);
int dbStreamPutPoint2(OpenStream* stream, const Point2& point);
int dbStreamPutPoint3(OpenStream* stream, const Point3& point);
// As dbStreamPutQword; a null stream sets error 163.
int dbStreamPutQwordChecked(OpenStream* stream, const uint64_t& value);
// 16 bytes as they are; a null stream sets error 163.
int dbStreamPut16(OpenStream* stream, const uint8_t (&bytes)[16]);

// --- Reading (1, or 0 when fewer bytes remain than needed: nothing is consumed then) -------------

int dbStreamGetBytes(OpenStream* stream, void* dest, size_t n);
int dbStreamGetByte(OpenStream* stream, uint8_t& out);
// Steps back over the byte just read, which the next read returns as `b`; 0 at the start.
int dbStreamUngetByte(OpenStream* stream, uint8_t b);
// Reads a 16-bit length and that many bytes. A length below 0 or above `max` calls the error
// callback with 5 and fails, as does a length running past the end (the length is consumed,
// `out` is left as it was); at the end of the stream `out` becomes empty and the result is 0.
int dbStreamGetString(OpenStream* stream, std::string& out, int max);
// The target is zeroed first.
int dbStreamGetLong(OpenStream* stream, int32_t& out);
int dbStreamGetShort(OpenStream* stream, int16_t& out);
// The target is left as it was on a short read.
int dbStreamGetDouble(OpenStream* stream, double& out);
int dbStreamGetQword(OpenStream* stream, uint64_t& out);
int dbStreamGetDword(OpenStream* stream, uint32_t& out);
int dbStreamGetWord(OpenStream* stream, uint16_t& out);
// Reads x, y and z one after the other and stops at the first short read (what was read stays
// consumed and stored).
int dbStreamGetPoint3(OpenStream* stream, Point3& out);
// Reads the 24 bytes of a point at once.
int dbStreamGetPoint24(OpenStream* stream, Point3& out);
// n doubles at once; n < 1 reads nothing and gives 1.
int dbStreamGetDoubles(OpenStream* stream, double* out, int n);
// As dbStreamGetQword; a null stream sets error 162.
int dbStreamGetQwordChecked(OpenStream* stream, uint64_t& out);

// --- Positioning (read mode) ---------------------------------------------------------------------

// Read mode at the start (a stream open for writing turns to reading): 1, 0 for null.
int dbStreamRewind(OpenStream* stream);
// 1 with the next read at `offset`; 0 when the offset lies beyond the bytes held.
int dbStreamSeek(OpenStream* stream, int32_t offset);
// Offset of the next read.
int32_t dbStreamTell(const OpenStream* stream);

// Overwrites n bytes of a stored stream at an offset; 0 unless the range lies inside the
// bytes held.
int dbStreamPatchBytes(PagedStream* handle, int32_t offset, const void* src, int n);

} // namespace tracemill
