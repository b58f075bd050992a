// Extended-data items in the form R13-2000 DWG records keep them (the form
// toolkit/read/raw_xdata.h reads back): a byte holding the group code less 1000, then the value.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/xdata_items.h"

namespace tracemill {

// The longest binary value of an item (its length is one byte).
inline constexpr size_t kDwgXDataBinaryLimit = 255;

// Appends one item other than an application name (1001): 1000 a 16-bit length, the code-page
// byte and the bytes; 1002 0 for "{", 1 for "}"; 1003 and 1005 the 8 bytes of the handle, most
// significant first; 1004 a length byte and the bytes (at most 255); 1010-1013 three raw
// doubles; 1040-1042 a raw double; 1070 16 bits; 1071 32 bits. False for a code the form has no
// place for (nothing is appended).
bool wrDwgXDataItem(const XDataItem& item, uint8_t codePageByte, std::vector<uint8_t>& out);

} // namespace tracemill
