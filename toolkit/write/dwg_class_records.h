// One record of the classes section of an R13-2000 DWG file, through the record layout the
// reader reads it with (dwg13ClassRecord).
#pragma once

#include "toolkit/core/class_list.h"
#include "toolkit/codec/bit_writer.h"

namespace tracemill {

// R13 and R14 files: the known classes get the writers' own application names and proxy flags
// (class_overrides.h) in the record written, never in the drawing. 1.
int wrDwgClassR13(BitWriter& bits, const ClassEntry& entry);
// 2000 files: every class as stored. 1.
int wrDwgClassR2000(BitWriter& bits, const ClassEntry& entry);

} // namespace tracemill
