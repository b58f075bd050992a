// Bytes to the output file of a save, with the host's say on a failed write: the one road by
// which every writer, DWG or DXF, puts bytes on disk.
#pragma once

#include <cstddef>
#include <cstdint>

#include "toolkit/write/output_context.h"

namespace tracemill {

// Error numbers of the writers.
inline constexpr int kErrorWriteFailed = 27;
// Error-callback reasons of a failed write: 3 the write failed (the host answers 2 give up,
// 0 close the file and give up, anything else retry); 4 the file was closed after answer 0.
inline constexpr int kErrorReasonWriteFailed = 3;
inline constexpr int kErrorReasonOutputClosed = 4;
inline constexpr int kWriteReplyGiveUp = 2;
inline constexpr int kWriteReplyClose = 0;

// Writes `count` bytes; 1 written (a count of 0 writes nothing), 0 failed with error 27. On a
// failure the context's answering error callback decides (reasons above); a host with only the
// plain error callback hears 3 and the save gives up. After answer 0 the file is discarded,
// once, and the callback hears 4.
int wrPutBytes(OutputContext& output, const void* buffer, size_t count);

// 2, 4 or 8 bytes little-endian through wrPutBytes.
int wrPutRawShort(OutputContext& output, uint16_t value);
int wrPutRawLong(OutputContext& output, uint32_t value);
int wrPutRawQword(OutputContext& output, uint64_t value);

// Writes what the context holds in `pending` and empties it; 1, or 0 as wrPutBytes.
int wrFlushPending(OutputContext& output);

// Ends the save's file: writes what is pending, closes the file and puts it in place of the
// target. 1, or 0 with error 27 when a write or the close failed (the target then stays as it
// was and no temporary file is left).
int wrCloseOutput(OutputContext& output);

} // namespace tracemill
