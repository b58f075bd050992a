// Host records of the display list: raster data (output hook 17), pictures (18) and image
// frames (19). A recording pass keeps each in the root cell as display generation sent it, in
// grid units; the host's own hooks (26, 27, 28) receive it, then and on every replay, with its
// points taken through the window to the device.
//
// What follows a host record's head (all values little-endian, points two 32-bit values):
//   kind 0, raster data: the block of tagged items as sent;
//   kind 1, picture: its rectangle (four 32-bit values), the picture's size in bytes and the
//           boundary's point count (32-bit each), the boundary's points, the picture's bytes;
//   kind 2, image frame: its four corners, the frame's point count and points, the image's
//           own boundary in pixels (a 32-bit count and two doubles a point) and that boundary's
//           point count and points on the device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolkit/core/output_hook_table.h"

namespace tracemill {

struct DisplayList;
struct FillRecord;
struct PictureRecord;

inline constexpr uint8_t kDlistRasterRecord = 0;
inline constexpr uint8_t kDlistPictureRecord = 1;
inline constexpr uint8_t kDlistFrameRecord = 2;

// Each writes the whole host record, head and bytes, into `out`: false (nothing kept) when it
// cannot be held or is not whole.
bool genDlistEncodeRasterData(std::vector<uint8_t>& out, const uint8_t* block, uint32_t byteCount);
bool genDlistEncodePicture(std::vector<uint8_t>& out, const PictureRecord& picture);
bool genDlistEncodeFrame(std::vector<uint8_t>& out, const FillRecord& frame);

// Hands a host record (its kind and the bytes after its head) to the host's hook, its points
// taken through the window. A record that is cut short reaches nobody.
void genDlistSendHostRecord(DisplayList& list, uint8_t kind, const uint8_t* bytes, size_t size,
                            HostWord host);

} // namespace tracemill
