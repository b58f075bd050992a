// Embedded (OLE) objects: the stored data of an OLE2 frame is a compound file; its
// presentation stream holds a metafile and its native-data stream, for pictures embedded by
// a paint program, a BMP file image. The object is read from memory: no temporary file is
// written and nothing needs to be shared between running copies of the program.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "toolkit/core/output_hook_table.h"

namespace tracemill {

struct PagedStream;
struct OleObjectInfo;

// The stream names read, as the program writes them in single bytes.
inline constexpr std::string_view kOlePresentationStream = "\x02OlePres000";
inline constexpr std::string_view kOleNativeStream = "\x01Ole10Native";
// Bytes before the metafile in a presentation stream, and before the file image in a native
// stream (its length).
inline constexpr uint32_t kOlePresentationHeader = 40;
inline constexpr uint32_t kOleNativeHeader = 4;

// One stream of a compound file open at a time. Open gives its size (0 when the bytes are no
// compound file or have no such stream, which also closes what was open); Seek, Skip, Tell
// and Read give 0 and AtEnd false while none is open. Seek and Skip stop at the stream's
// ends and give the new position.
uint32_t OleStreamOpen(std::span<const uint8_t> file, std::string_view streamName);
uint32_t OleStreamSeek(uint32_t offset);
uint32_t OleStreamSkip(int64_t delta);
uint32_t OleStreamTell();
uint32_t OleStreamRead(void* buffer, uint32_t count);
bool OleStreamAtEnd();
void OleStreamClose();

// The named stream's bytes after its first 40 (presentation) or 4 (native); none when the
// stream is missing, damaged or holds no more than that.
std::optional<std::vector<uint8_t>> ReadOlePresentation(std::span<const uint8_t> file, std::string_view streamName);
std::optional<std::vector<uint8_t>> ReadOleNative(std::span<const uint8_t> file, std::string_view streamName);

// The picture of an embedded object's data (without its frame header): a new stream (page
// size 4,096) of the kind byte 0 and the presentation's metafile, or else of the kind byte 1
// and the native data's file image; null when the data hold neither.
PagedStream* ReadOleObjectPicture(PagedStream* objectData);

// Hook 30 (installed at start-up): the picture of the object's data goes to `object` when it
// has one; otherwise `object` stays as it was given.
void OleObjectPictureHook(PagedStream* objectData, OleObjectInfo& object, HostWord host);

} // namespace tracemill
