// The CLASSES and OBJECTS sections of DXF files from "AC1012" on: one CLASS entry per class of
// the drawing, and every object of the drawing's object list.
#pragma once

#include "toolkit/core/class_list.h"
#include "toolkit/core/drawing.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

// Error left when a dictionary cannot be written.
inline constexpr int kErrorDictionaryNotWritten = 158;

// 0 CLASS, 1 DXF name, 2 class name, 3 application name (the writers' own for the classes they
// know), 90 proxy flags, 280 was-a-proxy, 281 1 for entity classes.
int DxfClassWriter(OutputContext& output, const ClassEntry& entry);

// Whether a save as the output's version writes the object: before 2000 the layout objects and
// the dictionaries the named object dictionary names for them are not written, before AC1014
// no objects of classes but XRECORDs and DIMASSOCs (proxies excepted).
bool wrDxfObjectIsWritten(const Drawing& drawing, const OutputContext& output, const ObjectRecord& object);

// Writes one object by its type or class; an object the target version does not carry is
// passed over with 1.
int DxfObjectWriter(const Drawing& drawing, OutputContext& output, const ObjectRecord& object);

} // namespace tracemill
