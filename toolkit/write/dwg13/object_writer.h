// The non-graphical objects of an R13-2000 DWG file: DICTIONARY, MLINESTYLE, GROUP, the
// class-based objects the toolkit knows and every other object as a proxy, each through the
// reader's layout of it (toolkit/read/dwg13_object_layouts.h), with what the versions need:
// the entries and names of dictionaries before "AC1015", XRECORD as type 79 in "AC1015", the
// generic proxy as the zombie class in "AC1012", proxy wrappers of another version's object.
//
// Every writer returns 1, or 0 with the error number of the failing step.
#pragma once

#include <cstdint>
#include <unordered_set>

#include "toolkit/core/drawing.h"
#include "toolkit/core/object_record.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

// Every object; `extensionDictionary` is the one noted for its handle (wrLookupXdictLink).
int wrDwgObjectR13(const Drawing& drawing, OutputContext& output, const ObjectRecord& object);

// DICTIONARY: before "AC1015" the named object dictionary leaves out the entries of 2000
// ("ACAD_PLOTSETTINGS", "ACAD_WIPEOUT_VARS", "ACAD_PLOTSTYLENAME", "ACDBHEADERROUNDTRIPXREC") and
// names are upper-cased. A dictionary without owner that holds "ACAD_BLKREFS" is owned by the
// block whose extension dictionary it is.
int wrDwgDictionaryR13(const Drawing& drawing, OutputContext& output, const ObjectRecord& object);
// Before "AC1015": the handles of the objects that the entries of 2000 of the named object
// dictionary name and of every object they own, directly or further down. The file leaves them
// out with their entries, so that no record stays behind that nothing names.
std::unordered_set<uint64_t> wrDwgObjectsOf2000(const Drawing& drawing);
// MLINESTYLE: the name converted before "AC1015".
int wrDwgMlineStyleR13(const Drawing& drawing, OutputContext& output, const ObjectRecord& object);
int wrDwgGroupR13(const Drawing& drawing, OutputContext& output, const ObjectRecord& object);

// The version index of a version code kept with an object of another version: up to 8 → 0;
// 9 → 3; 10 → 1; 11 → 2; 12, 13 → 3; 14-16 → 4; 17-19 → 5; 20, 21 → 6; 22 and above → 7.
int wrDwgVersionFromCode(int32_t code);

} // namespace tracemill
