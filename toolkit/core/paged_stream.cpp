#include "toolkit/core/paged_stream.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <type_traits>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/system_context.h"

namespace tracemill {

namespace {

OpenStream* openWorkingCopy(PagedStream* handle, bool writing) {
    if (!handle) return nullptr;
    auto* stream = new (std::nothrow) OpenStream;
    if (!stream) {
        dbReportError(kErrorNoMemoryForStream, kErrorReasonNoMemory);
        return nullptr;
    }
    stream->self = handle;
    stream->writing = writing;
    return stream;
}

int32_t storedSize(const OpenStream* stream) { return int32_t(stream->self->bytes.size()); }

bool canRead(const OpenStream* stream, size_t n) {
    return stream && !stream->writing && stream->offset >= 0 && stream->offset <= storedSize(stream) &&
           n <= size_t(storedSize(stream) - stream->offset);
}

// Copies n bytes at the read offset (n checked by the caller) and moves on.
void consume(OpenStream* stream, uint8_t* dest, size_t n) {
    if (n == 0) return;
    std::memcpy(dest, stream->self->bytes.data() + stream->offset, n);
    if (stream->hasUngot) {
        dest[0] = stream->ungot;
        stream->hasUngot = false;
    }
    stream->offset += int32_t(n);
}

void storeLittleEndian(uint8_t* out, uint16_t value) { putLe16(out, value); }
void storeLittleEndian(uint8_t* out, uint32_t value) { putLe32(out, value); }
void storeLittleEndian(uint8_t* out, uint64_t value) { putLe64(out, value); }
void loadLittleEndian(const uint8_t* in, uint8_t& value) { value = in[0]; }
void loadLittleEndian(const uint8_t* in, uint16_t& value) { value = getLe16(in); }
void loadLittleEndian(const uint8_t* in, uint32_t& value) { value = getLe32(in); }
void loadLittleEndian(const uint8_t* in, uint64_t& value) { value = getLe64(in); }

template <class Unsigned> int putValue(OpenStream* stream, Unsigned value) {
    uint8_t bytes[sizeof(Unsigned)];
    storeLittleEndian(bytes, value);
    return dbStreamPutBytes(stream, bytes, sizeof bytes);
}

template <class Unsigned> int getValue(OpenStream* stream, Unsigned& value) {
    if (!canRead(stream, sizeof(Unsigned))) return 0;
    uint8_t bytes[sizeof(Unsigned)];
    consume(stream, bytes, sizeof bytes);
    loadLittleEndian(bytes, value);
    return 1;
}

// The signed reads zero their target before they read.
template <class Signed> int getZeroedSigned(OpenStream* stream, Signed& out) {
    out = 0;
    std::make_unsigned_t<Signed> value;
    if (!getValue(stream, value)) return 0;
    out = Signed(value);
    return 1;
}

int getDouble(OpenStream* stream, double& out) {
    uint64_t bits;
    if (!getValue(stream, bits)) return 0;
    out = doubleFromBits(bits);
    return 1;
}

int putDoubles(OpenStream* stream, const double* values, int n) {
    uint8_t bytes[24];
    for (int i = 0; i < n; ++i) putLe64(bytes + 8 * i, doubleBits(values[i]));
    return dbStreamPutBytes(stream, bytes, size_t(8 * n));
}

} // namespace

PagedStream* dbStreamCreate(int pageSize) {
    auto* stream = new (std::nothrow) PagedStream;
    if (!stream) {
        dbNotifyError(kErrorReasonNoMemory);
        return nullptr;
    }
    stream->pageSize = int16_t(pageSize);
    return stream;
}

int dbStreamDestroy(PagedStream* handle) {
    if (!handle) return 0;
    delete handle;
    return 1;
}

OpenStream* dbStreamOpenWrite(PagedStream* handle) {
    OpenStream* stream = openWorkingCopy(handle, true);
    if (stream) std::vector<uint8_t>().swap(handle->bytes);
    return stream;
}

OpenStream* dbStreamOpenAppend(PagedStream* handle) { return openWorkingCopy(handle, true); }

OpenStream* dbStreamOpenRead(PagedStream* handle) { return openWorkingCopy(handle, false); }

int dbStreamCloseWrite(OpenStream* stream) {
    if (!stream) return 0;
    std::vector<uint8_t>& bytes = stream->self->bytes;
    // Growth leaves up to half the capacity unused; a closed stream keeps only its bytes.
    if (bytes.capacity() - bytes.size() > bytes.size() / 8 + 64) {
        try {
            bytes.shrink_to_fit();
        } catch (const std::bad_alloc&) {
            // The bytes stay as they are.
        }
    }
    delete stream;
    return 1;
}

int dbStreamClose(OpenStream* stream) { return dbStreamCloseWrite(stream); }

int dbStreamCloseRead(OpenStream* stream) {
    if (!stream) return 0;
    delete stream;
    return 1;
}

int32_t dbStreamSizeOf(const PagedStream* handle) { return handle ? int32_t(handle->bytes.size()) : 0; }

int32_t dbStreamLength(const OpenStream* stream) { return stream ? storedSize(stream) : 0; }

int16_t dbStreamPageSize(const PagedStream* handle) { return handle ? handle->pageSize : 0; }

int dbStreamPutBytes(OpenStream* stream, const void* src, size_t n) {
    if (!stream || !stream->writing) return 0;
    if (n == 0) return 1;
    std::vector<uint8_t>& bytes = stream->self->bytes;
    // Offsets are 32-bit signed: a stream never grows beyond them.
    if (n > size_t(INT32_MAX) - bytes.size()) return 0;
    try {
        if (bytes.capacity() - bytes.size() < n) bytes.reserve(std::max(bytes.size() + n, bytes.size() * 3 / 2));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    auto* from = static_cast<const uint8_t*>(src);
    bytes.insert(bytes.end(), from, from + n);
    return 1;
}

int dbStreamPutByte(OpenStream* stream, uint8_t b) { return dbStreamPutBytes(stream, &b, 1); }

int dbStreamPutString(OpenStream* stream, std::string_view text) {
    if (!stream || !stream->writing || text.size() > size_t(kStreamStringMaxLength)) return 0;
    std::vector<uint8_t> item(2 + text.size());
    storeLittleEndian(item.data(), uint16_t(text.size()));
    std::memcpy(item.data() + 2, text.data(), text.size());
    return dbStreamPutBytes(stream, item.data(), item.size());
}

int dbStreamPutLong(OpenStream* stream, int32_t value) { return putValue(stream, uint32_t(value)); }
int dbStreamPutShort(OpenStream* stream, int16_t value) { return putValue(stream, uint16_t(value)); }
int dbStreamPutDouble(OpenStream* stream, double value) {
    return putValue(stream, doubleBits(value));
}
int dbStreamPutDword(OpenStream* stream, const uint32_t& value) { return putValue(stream, value); }
int dbStreamPutWord(OpenStream* stream, const uint16_t& value) { return putValue(stream, value); }
int dbStreamPutQword(OpenStream* stream, const uint64_t& value) { return putValue(stream, value); }

int dbStreamPutPoint2(OpenStream* stream, const Point2& point) {
    const double values[2] = {point.x, point.y};
    return putDoubles(stream, values, 2);
}

int dbStreamPutPoint3(OpenStream* stream, const Point3& point) {
    const double values[3] = {point.x, point.y, point.z};
    return putDoubles(stream, values, 3);
}

int dbStreamPutQwordChecked(OpenStream* stream, const uint64_t& value) {
    if (!stream) return dbSetError(kErrorWriteToNullStream);
    return dbStreamPutQword(stream, value);
}

int dbStreamPut16(OpenStream* stream, const uint8_t (&bytes)[16]) {
    if (!stream) return dbSetError(kErrorWriteToNullStream);
    return dbStreamPutBytes(stream, bytes, 16);
}

int dbStreamGetBytes(OpenStream* stream, void* dest, size_t n) {
    // Reading nothing at the end is refused as well: the stream has nothing left to give.
    if (!canRead(stream, n) || stream->offset == storedSize(stream)) return 0;
    consume(stream, static_cast<uint8_t*>(dest), n);
    return 1;
}

int dbStreamGetByte(OpenStream* stream, uint8_t& out) { return getValue(stream, out); }

int dbStreamUngetByte(OpenStream* stream, uint8_t b) {
    if (!stream || stream->writing || stream->offset <= 0) return 0;
    --stream->offset;
    stream->hasUngot = true;
    stream->ungot = b;
    return 1;
}

int dbStreamGetString(OpenStream* stream, std::string& out, int max) {
    int16_t length = 0;
    if (!dbStreamGetShort(stream, length)) {
        out.clear();
        return 0;
    }
    if (length < 0 || length > max) {
        dbNotifyError(kErrorReasonBadLength);
        return 0;
    }
    if (!canRead(stream, size_t(length))) return 0;
    std::string text(size_t(length), '\0');
    consume(stream, reinterpret_cast<uint8_t*>(text.data()), text.size());
    out = std::move(text);
    return 1;
}

int dbStreamGetLong(OpenStream* stream, int32_t& out) { return getZeroedSigned(stream, out); }
int dbStreamGetShort(OpenStream* stream, int16_t& out) { return getZeroedSigned(stream, out); }

int dbStreamGetDouble(OpenStream* stream, double& out) { return getDouble(stream, out); }
int dbStreamGetQword(OpenStream* stream, uint64_t& out) { return getValue(stream, out); }
int dbStreamGetDword(OpenStream* stream, uint32_t& out) { return getValue(stream, out); }
int dbStreamGetWord(OpenStream* stream, uint16_t& out) { return getValue(stream, out); }

int dbStreamGetPoint3(OpenStream* stream, Point3& out) {
    return getDouble(stream, out.x) && getDouble(stream, out.y) && getDouble(stream, out.z);
}

int dbStreamGetPoint24(OpenStream* stream, Point3& out) {
    double values[3];
    if (!dbStreamGetDoubles(stream, values, 3)) return 0;
    out = {values[0], values[1], values[2]};
    return 1;
}

int dbStreamGetDoubles(OpenStream* stream, double* out, int n) {
    if (n < 1) return 1;
    if (!canRead(stream, size_t(n) * 8)) return 0;
    for (int i = 0; i < n; ++i) getDouble(stream, out[i]);
    return 1;
}

int dbStreamGetQwordChecked(OpenStream* stream, uint64_t& out) {
    if (!stream) return dbSetError(kErrorReadFromNullStream);
    return dbStreamGetQword(stream, out);
}

int dbStreamRewind(OpenStream* stream) {
    if (!stream) return 0;
    stream->writing = false;
    stream->offset = 0;
    stream->hasUngot = false;
    return 1;
}

int dbStreamSeek(OpenStream* stream, int32_t offset) {
    if (!stream || stream->writing || offset < 0 || offset > storedSize(stream)) return 0;
    stream->offset = offset;
    stream->hasUngot = false;
    return 1;
}

int32_t dbStreamTell(const OpenStream* stream) { return stream && !stream->writing ? stream->offset : 0; }

int dbStreamPatchBytes(PagedStream* handle, int32_t offset, const void* src, int n) {
    if (!handle || offset < 0 || n < 0 || int64_t(offset) + n > int64_t(handle->bytes.size())) return 0;
    if (n > 0) std::memcpy(handle->bytes.data() + offset, src, size_t(n));
    return 1;
}

} // namespace tracemill
