// The preview image section of an R13 to 2000 DWG file: a bitmap and a metafile picture of the
// drawing, kept with the drawing as the file gives them.
#pragma once

#include <cstdint>
#include <span>

#include "toolkit/core/owned_stream.h"

namespace tracemill {

// Reads the section at `position` (the file header's image position): the bitmap entry (code 2)
// into `bitmap`, the metafile entry (code 3) into `metafile`. An entry whose bytes do not lie in
// the file, or a section that does not, leaves its stream null. 1, or 0 when memory is
// exhausted.
int rdDwg13ReadPreview(std::span<const uint8_t> file, uint64_t position, OwnedStream& bitmap, OwnedStream& metafile);

} // namespace tracemill
