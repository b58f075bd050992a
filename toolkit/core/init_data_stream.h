// The five replaceable callbacks through which the toolkit reads its initialisation data.
// By default they read a file; a host that holds the data in memory installs the
// memory-backed set of builtin_init_data.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tracemill {

// An open init-data stream, as the open callback returns it; null for failure.
using InitDataStream = void*;

using InitDataOpenFn = InitDataStream (*)(const char* name);
// The next byte, 0 at the end.
using InitDataGetcFn = int (*)(InitDataStream stream);
// Copies up to size * count bytes; returns the number of bytes copied.
using InitDataReadFn = size_t (*)(void* buffer, size_t size, size_t count, InitDataStream stream);
// whence 0 from the start, 1 from the position, 2 from the end; 0 on success.
using InitDataSeekFn = int (*)(InitDataStream stream, long offset, int whence);
using InitDataCloseFn = void (*)(InitDataStream stream);

struct InitDataCallbacks {
    InitDataOpenFn open;
    InitDataGetcFn getc;
    InitDataReadFn read;
    InitDataSeekFn seek;
    InitDataCloseFn close;
};

// Replace one callback; null puts back the file-based default.
void dbSetInitDataOpen(InitDataOpenFn fn);
void dbSetInitDataGetc(InitDataGetcFn fn);
void dbSetInitDataRead(InitDataReadFn fn);
void dbSetInitDataSeek(InitDataSeekFn fn);
void dbSetInitDataClose(InitDataCloseFn fn);

// The callbacks in force.
const InitDataCallbacks& dbInitDataCallbacks();

// Read a little-endian 32-bit signed or 16-bit value through the read callback; false when
// the data ends first.
bool dbInitDataGetLong(InitDataStream stream, int32_t& value);
bool dbInitDataGetShort(InitDataStream stream, uint16_t& value);

// Reads exactly `size` bytes through the read callback; false when the data ends first.
bool dbInitDataReadBytes(InitDataStream stream, void* buffer, size_t size);

// Reads `count` little-endian 16-bit values into `values`; false when the data ends first.
// May throw std::bad_alloc.
bool dbInitDataReadShorts(InitDataStream stream, std::vector<uint16_t>& values, size_t count);

// Closes an init-data stream through the close callback when it goes out of scope.
struct InitDataStreamCloser {
    void operator()(InitDataStream stream) const { dbInitDataCallbacks().close(stream); }
};
using InitDataStreamPtr = std::unique_ptr<void, InitDataStreamCloser>;

} // namespace tracemill
