// The initialisation data held in the program, and the memory-backed set of init-data
// callbacks over it. The host installs them before it creates the system context:
//
//   dbUseBuiltinInitData();
//   dbCreateSystemContext(nullptr, error);
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "toolkit/core/init_data_stream.h"

namespace tracemill {

// The init data linked into the program.
std::span<const uint8_t> dbBuiltinInitData();

// The memory-backed callbacks. They share one read position for the process, so only one
// stream is open at a time.
// open: position 0; the name is not looked at.
InitDataStream dbInitDataMemOpen(const char* name);
// seek: whence 0 sets the position, 1 adds to it, 2 sets it to the size minus the offset;
// 0 on success, -1 (position unchanged) when the result would lie outside 0..size.
int dbInitDataMemSeek(InitDataStream stream, long offset, int whence);
// get-byte: the byte at the position, advancing it; 0 at the end.
int dbInitDataMemGetc(InitDataStream stream);
// read: copies size * count bytes from the position, stopping at the end; the bytes copied.
size_t dbInitDataMemRead(void* buffer, size_t size, size_t count, InitDataStream stream);
// close: position 0.
void dbInitDataMemClose(InitDataStream stream);

// Installs the five memory-backed callbacks.
void dbUseBuiltinInitData();

// The block the memory-backed callbacks read: the built-in data, or another block (tests
// and fuzzing hand in damaged data this way). An empty span restores the built-in data.
// The caller keeps the block alive while it is installed.
void dbSetInitDataMemoryBlock(std::span<const uint8_t> block);

} // namespace tracemill
