// The classes section of an R13 to 2000 DWG file: the class-based kinds the drawing declares,
// each with the class number its records are coded by.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "toolkit/core/class_list.h"
#include "toolkit/read/dwg13_field_io.h"
#include "toolkit/read/dwg13_file_header.h"

namespace tracemill {

// One class record; the same layout in all three versions.
template <class Io, class C> void dwg13ClassRecord(Io& io, C& entry) {
    io.bs(entry.number);
    io.bs(entry.proxyFlags);
    io.t(entry.applicationName, kDwgNameLimit);
    io.t(entry.className, kDwgNameLimit);
    io.t(entry.dxfName, kDwgNameLimit);
    io.b(entry.wasAZombie);
    io.bs(entry.itemClassId);
}

// Reads the section that locator 1 names: the records while at least two bytes of its data are
// left (the data ends in padding bits); a record cut off by the end of the data is dropped.
// 0 when the section does not fit in the file.
int rdDwg13ReadClasses(std::span<const uint8_t> file, const Dwg13FileHeader& fileHeader,
                       std::vector<ClassEntry>& out);

} // namespace tracemill
