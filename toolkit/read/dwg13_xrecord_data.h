// The data of an XRECORD in R13 to 2000 DWG files: a run of items, each a 16-bit group code
// and a value whose form the code gives. One table of forms for the reader and the writer.
#pragma once

#include <cstdint>
#include <span>

#include "toolkit/core/paged_stream.h"

namespace tracemill {

enum class Dwg13XrecordForm : uint8_t {
    Text,   // RS length, RC code page, the bytes
    Binary, // RC length, the bytes
    Point,  // three raw doubles
    Real,   // a raw double
    Int8,   // one byte (280-299)
    Int16,  // two bytes
    Int32,  // four bytes
    Handle, // eight bytes, least significant first
};

// The form of a group code's value.
Dwg13XrecordForm dwg13XrecordForm(uint16_t code);

// Decodes the data into group items appended to the stream (open for writing). An item cut off
// by the end of the data ends the decoding; the items before it are kept; an item of a code that
// group items have no form for is passed over. 1, or 0 when memory is exhausted.
int rdDwg13XrecordItems(std::span<const uint8_t> data, OpenStream* target);

} // namespace tracemill
