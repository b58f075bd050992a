// XRECORD data as R13-2000 DWG files keep it: per group item a 16-bit code and its value in the
// form the code gives (dwg13XrecordForm, the table the reader decodes with).
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/owned_stream.h"

namespace tracemill {

// The data of a stream of group items. Texts carry `codePageByte`; a binary value is cut to the
// 255 bytes its length byte can say, a text to 65,535 bytes.
std::vector<uint8_t> wrDwg13XrecordData(const OwnedStream& items, uint8_t codePageByte);

} // namespace tracemill
