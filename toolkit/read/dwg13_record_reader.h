// Reading the symbol-table records and the non-graphical objects of an R13 to 2000 DWG file
// from their object records, through their layouts (dwg13_table_layouts.h,
// dwg13_object_layouts.h).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "toolkit/core/class_list.h"
#include "toolkit/core/object_record.h"
#include "toolkit/core/table_records.h"
#include "toolkit/read/dwg13_object_source.h"
#include "toolkit/read/dwg13_table_layouts.h"

namespace tracemill {

// How reading one record went.
enum class Dwg13ReadStatus : uint8_t {
    Read,
    Missing,   // the object map does not know the handle, or the record is damaged
    OtherType, // the record holds another kind of object
};

// A table-control object (its type must be `type`).
Dwg13ReadStatus rdDwg13ReadControl(const Dwg13Objects& objects, Handle handle, uint16_t type,
                                   Dwg13ControlObject& out);

// The records of the symbol tables. Each takes the record's handle, fills the record (which the
// caller has set to its defaults) and sets `hasXData` when the record carries extended data,
// which its `xdata` then holds in the raw form of the object prologue.
Dwg13ReadStatus rdDwg13ReadLayer(const Dwg13Objects& objects, Handle handle, LayerRecord& out, uint8_t& hasXData);
Dwg13ReadStatus rdDwg13ReadLinetype(const Dwg13Objects& objects, Handle handle, LinetypeRecord& out,
                                    uint8_t& hasXData);
Dwg13ReadStatus rdDwg13ReadStyle(const Dwg13Objects& objects, Handle handle, StyleRecord& out, uint8_t& hasXData);
Dwg13ReadStatus rdDwg13ReadView(const Dwg13Objects& objects, Handle handle, ViewRecord& out, uint8_t& hasXData);
Dwg13ReadStatus rdDwg13ReadUcs(const Dwg13Objects& objects, Handle handle, UcsRecord& out, uint8_t& hasXData);
Dwg13ReadStatus rdDwg13ReadVport(const Dwg13Objects& objects, Handle handle, VportRecord& out, uint8_t& hasXData);
// APPID: type 67, or the class named "SYMBOL_TABLE_RECORD" (`symbolTableRecordClass`, 0 when the
// drawing has none).
Dwg13ReadStatus rdDwg13ReadAppId(const Dwg13Objects& objects, Handle handle, uint16_t symbolTableRecordClass,
                                 AppIdRecord& out, uint8_t& hasXData);
Dwg13ReadStatus rdDwg13ReadDimStyle(const Dwg13Objects& objects, Handle handle, DimStyleRecord& out,
                                    Dwg13DimStyleExtras& extras, uint8_t& hasXData);
Dwg13ReadStatus rdDwg13ReadViewportEntityHeader(const Dwg13Objects& objects, Handle handle,
                                                ViewportEntityHeaderRecord& out, uint8_t& hasXData);
Dwg13ReadStatus rdDwg13ReadBlockHeader(const Dwg13Objects& objects, Handle handle, BlockRecord& out,
                                       Dwg13BlockLinks& links, uint8_t& hasXData);

// A non-graphical object: DICTIONARY, GROUP, MLINESTYLE, XRECORD (type 79 in 2000 files, read as
// the drawing's XRECORD class, declared when the file does not), the class-based objects the
// toolkit knows, and any other object as a proxy. The header's type is the object kind the
// database keeps (32 DICTIONARY, 33 MLINESTYLE, 36 GROUP, a class number, 499 a proxy).
Dwg13ReadStatus rdDwg13ReadObject(const Dwg13Objects& objects, Handle handle, ClassList& classes, ObjectRecord& out,
                                  uint8_t& hasXData);

// The kind an object record of that file type is kept as (0 for types that are no object the
// object pass reads: entities, table records and their controls).
uint16_t rdDwg13ObjectKind(const Dwg13Objects& objects, uint16_t fileType, ClassList& classes);

} // namespace tracemill
