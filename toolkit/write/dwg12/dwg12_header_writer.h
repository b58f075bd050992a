// The header block of a DWG file before R13 as the writer first puts it down: the constant bytes
// of the fixed head and of the blocks that hold no variable, then every header variable of the
// shared field table (toolkit/read/dwg12_header_layout.h) that the version stores, and the
// current entries as positions in the written tables. The version string, the section offsets,
// the table heads, the first viewport and the checksum stay 0 until the file is finished.
//
// Fields that hold no variable of the drawing keep the same bytes in every save: zeros, but for
// the constants of the fixed head, the 18 doubles at 0x251 (two unit matrices of 3 x 3) and
// the fixed blocks at 0x14C, 0x315 and 0x53F (docs/dwg12-writer.md lists them).
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/header_block.h"
#include "toolkit/read/dwg12_header_layout.h"

namespace tracemill {

// The header block of a version index 0 to 4 (kDwg12HeaderBlockSize bytes). `current` holds the
// positions of the current entries (-1 for none; the linetype kDwg12LinetypeByLayer or
// kDwg12LinetypeByBlock for those two). False when a value does not fit its field (a position
// beyond 16 bits); texts longer than their fields are cut (warning 96).
bool wrDwg12HeaderBlock(const HeaderBlock& header, int versionIndex, const Dwg12CurrentEntries& current,
                        std::vector<uint8_t>& out);

} // namespace tracemill
