// Extended data as a reader leaves it raw, read back item by item: the R13-2000 DWG form (a
// run of application blocks), and the plain run of items of R12 DWG and DXF records. The
// conversion into the stored extended data (xdata_refs.h) walks the raw data with this reader.
//
// Every item is one group byte g (group code g + 1000) and its value:
//
// | group | R12 DWG                   | R13-2000 DWG                        | DXF                  |
// |-------|---------------------------|-------------------------------------|----------------------|
// | 1000  | length byte, bytes        | 16-bit length, code-page byte, bytes | length byte, bytes  |
// | 1001  | 16-bit APPID index        | (the handle of the block's head)    | length byte, name    |
// | 1002  | one byte: 0 "{", else "}" | same                                | same                 |
// | 1003  | 16-bit LAYER index        | 8-byte handle                       | length byte, name    |
// | 1004  | length byte, bytes        | same                                | same                 |
// | 1005  | 8-byte handle             | same                                | same                 |
// | 1010-1013 | three raw doubles     | same                                | same                 |
// | 1040-1042 | raw double            | same                                | same                 |
// | 1070  | 16-bit                    | same                                | same                 |
// | 1071  | 32-bit                    | same                                | same                 |
//
// Raw doubles are sanitised; handles are stored most significant byte first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "toolkit/core/handle.h"
#include "toolkit/core/point.h"
#include "toolkit/read/byte_cursor.h"

namespace tracemill {

enum class RawXDataForm : uint8_t { Dxf, DwgR12, DwgR13 };

// The longest text of a DXF or R12 item: its length is one byte.
inline constexpr size_t kMaxXDataText = 255;

struct RawXDataItem {
    uint16_t code = 0;
    std::string text;    // 1000; 1001 and 1003 names (DXF); 1004 bytes
    Handle handle;       // 1001 and 1003 (R13-2000 DWG), 1005
    int32_t index = -1;  // 1001 and 1003 (R12 DWG): the position in the table
    Point3 point;        // 1010-1013
    double real = 0.0;   // 1040-1042
    int16_t shortValue = 0;  // 1070
    int32_t longValue = 0;   // 1071
    uint8_t open = 0;        // 1002: 1 for "{"
};

class RawXDataReader {
public:
    RawXDataReader(RawXDataForm form, std::span<const uint8_t> bytes) : form_(form), cursor_(bytes) {}

    // rdXDataBegin: back to the first item.
    void begin();
    // rdXDataItem: the next item; false at the end, for a group byte outside the table and for
    // an item that runs past the data (the caller keeps what it has).
    bool next(RawXDataItem& item);

private:
    bool readValue(RawXDataItem& item);
    bool text(std::string& out, size_t length);

    RawXDataForm form_;
    ByteCursor cursor_;
    size_t blockEnd_ = 0;  // R13-2000: end of the current application block, 0 before one
};

} // namespace tracemill
