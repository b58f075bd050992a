// Extended data in the records of "AC1009" files: each item a byte holding its group code less
// 1000 and its value, applications and layers named by their positions in the written tables
// (the form toolkit/read/raw_xdata.h reads back).
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/drawing.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/write/dwg12/dwg12_table_plan.h"

namespace tracemill {

// Appends one item (wrXDataItemOut): 1000 a length byte and the text; 1001 the APPID position
// (16 bits); 1002 0 for "{", 1 for "}"; 1003 the LAYER position (16 bits); 1004 a length byte
// and the bytes; 1005 the 8 bytes of the handle; 1010-1013 three doubles; 1040-1042 a double;
// 1070 16 bits; 1071 32 bits. 1 written; 2 left out (a layer reference that names no layer, a
// code without a place in the form); 0 failed: 71 for an application no APPID has, 397 for a
// text or binary value beyond the 255 bytes its length byte can say.
int wrXDataItemOut(const Dwg12TablePlan& plan, const XDataItem& item, std::vector<uint8_t>& out);

// The extended data of an entity (empty when it has none). A VIEWPORT's starts with its
// "MVIEW" data built from its fields (wrViewportMviewItems, 71 when the drawing has no APPID
// "ACAD"); its own "ACAD" data that starts with "MVIEW" is left out, as that data is what the
// fields were read from. 1, or 0 with the error number of wrXDataItemOut.
int wrDwg12EntityXData(const Drawing& drawing, const Dwg12TablePlan& plan, const EntityRecord& entity,
                       std::vector<uint8_t>& out);

} // namespace tracemill
