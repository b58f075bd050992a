// The framing of one object record of an R13-2000 DWG file: its start (type, the 2000 size in
// bits, own handle, extended data, entity graphics, the R13/R14 size in bits), the start of its
// handle references, the handle tail of table records and objects, and its end (the size in
// bytes, the data, the CRC). The record goes to the save's file through the byte output.
//
// Every function returns 1, or 0 with the error number set.
#pragma once

#include <cstdint>
#include <span>

#include "toolkit/core/geometry_lists.h"
#include "toolkit/core/handle.h"
#include "toolkit/core/owned_stream.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

// Error numbers of the record framing.
inline constexpr int kErrorDwgRecordTooLarge = 147; // 2^30 bytes or more: no size field holds it

// The largest record the two size words can state.
inline constexpr uint64_t kDwgRecordSizeLimit = (uint64_t(1) << 30) - 1;

// The MS size field of a record of `size` bytes: one 16-bit word up to 32,767, else the words
// (size mod 32,768) + 32,768 and size / 32,768, little-endian. The number of bytes stored in
// `out` (2 or 4), or 0 with 147 for a size of 2^30 or more.
int wrDwgRecordSizeField(uint64_t size, uint8_t out[4]);

// Makes the context's DWG state (when it has none) the current one for a save that starts at
// `filePosition`, and empties its bit writer.
void wrBitInit(OutputContext& output, uint64_t filePosition);
// Starts a record at the current file position.
void wrBitReset(OutputContext& output);

// Starts a record: BS type; "AC1015" the RL placeholder of the size in bits; H with the own
// handle; the extended data (`xdata`, extended-data items, may be empty); for entities the
// graphics bit and, when `graphics` is given, RL its size and its bytes; before "AC1015" the RL
// placeholder here.
int wrBeginObject(OutputContext& output, uint16_t type, Handle ownHandle, unsigned ownHandleCode,
                  const OwnedStream* xdata, const std::span<const uint8_t>* graphics, bool isEntity);

// Notes the start of the handle references at the current bit (its count is the record's size
// in bits), or at `bit`.
void wrNoteHandleStream(OutputContext& output);
void wrNoteHandleStreamAt(OutputContext& output, uint64_t bit);

// Ends the record: patches the size in bits, writes MS size in bytes, the data and the CRC
// (seed 0xC0C1 over the size words and the data). 0 with 147 for a record of 2^30 bytes or
// more, 27 when the file cannot be written.
int wrEndObject(OutputContext& output);

// The extended data of a record: per application BS the size of its data, H 5 the APPID and
// the items in their DWG form; BS 0 at the end (alone for a record without extended data).
int wrPutEed(OutputContext& output, const OwnedStream* xdata);

// The handle tail of a table record or an object, after the handle stream is noted: the owner
// relative to the own handle (code 4), each reactor as H 4, the extension dictionary as H 3, H 5
// the handle of the reference slot. A non-zero extension dictionary is noted for the own
// handle.
int wrPutCommonTail(OutputContext& output, Handle ownHandle, Handle ownerHandle, Handle extensionDictionary,
                    const HandleList& reactors);

// The extension dictionary of a handle: noted (the first pair of a handle counts) and found
// again (the zero handle when none was noted).
void wrNoteXdictLink(OutputContext& output, Handle ownHandle, Handle extensionDictionary);
Handle wrLookupXdictLink(const OutputContext& output, Handle ownHandle);

// Bytes of the file outside records (sections, the map): appended to the save's output and
// counted in the file position.
int wrDwgPutFileBytes(OutputContext& output, const void* bytes, size_t count);

} // namespace tracemill
