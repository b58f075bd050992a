// The R13-2000 DWG file writer: a whole "AC1012", "AC1014" or "AC1015" file from a drawing, in
// this order: the file header (its locators filled in at the end), for "AC1015" a fixed block,
// the header variables, the classes, the measurement block, the object records (the table
// controls, every block record with its entities and its BLOCK and ENDBLK, the table records,
// the viewport entity headers, the objects), the object map, the descriptor section, the
// second header and the preview images.
#pragma once

#include <cstdint>

#include "toolkit/core/drawing.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

// Writes the file and closes it (it takes the place of the target). 1; 0 with the error number
// (58 the header variables, 203 the object map, 27 a write, 147 a record too large, ...), and
// then the target is as it was.
int WriteDwgR13(Drawing& drawing, OutputContext& output);

// Writes the second header at the current position: the locators and the 14 handles of the
// file (the handle seed, the ten table controls, the named object, "ACAD_MLINESTYLE" and
// "ACAD_GROUP" dictionaries). 1 or 0.
int wrWriteSecondHeader(OutputContext& output, Handle handseed, const std::array<Handle, 10>& controls,
                        Handle namedObjectDictionary, Handle mlineStyleDictionary, Handle groupDictionary);

// Writes the preview image section at the current position: the image header entry (80 zero
// bytes) and the drawing's bitmap and metafile when it has them. 1 or 0.
int wrWriteImageSection(const Drawing& drawing, OutputContext& output);

// The zombie classes an "AC1012" file declares for proxies: their entries as they are written.
ClassEntry wrZombieEntityClass(uint16_t number);
ClassEntry wrZombieObjectClass(uint16_t number);

} // namespace tracemill
