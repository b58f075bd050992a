// The two item forms that byte-coded data keeps in streams: extended data (`XDataItem`,
// attached to entities, table records and objects) and group items (`GroupItem`, the contents
// of XRECORD objects and of proxy data). The read and write operations work on one item at the
// current position of an open stream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/core/handle.h"
#include "toolkit/core/owned_stream.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/core/point.h"

namespace tracemill {

// A code without a stored form, or a value its stored form cannot hold.
inline constexpr int kErrorUnknownGroupCode = 165;

// One extended-data item. The value that the code selects is the one that counts: text (1000),
// handle (1001 application and 1003 layer references, 1005), brace (1002: 0 "{", 1 "}"),
// binary (1004, and the raw value of a code the form does not know), point (1010-1013), real
// (1040-1042), int16 (1070), int32 (1071).
struct XDataItem {
    uint16_t code = 0;
    uint16_t length = 0;  // the byte count of a 1004 item; 0 after a read for every other code
    std::string text;
    Handle handle;
    uint8_t brace = 0;
    std::vector<uint8_t> binary;
    Point3 point;
    double real = 0.0;
    int16_t int16 = 0;
    int32_t int32 = 0;
    friend bool operator==(const XDataItem&, const XDataItem&) = default;
};

// Reads the item at the stream's position: 1, or 0 at the end or when the stream is short (the
// position is then left where it was). Error 162 for a null stream.
int dbReadXDataItem(OpenStream* stream, XDataItem& item);
// Appends the item: an 8-byte head {code, value length, 4 zero bytes} and the value; with the
// context's extended-string switch a 1000 text is followed by two NUL bytes that its length
// counts. 1, or 0 with error 163 for a null stream (or a stream not open for writing), 165
// (error callback 5) for a value longer than its 16-bit length can say.
int dbWriteXDataItem(OpenStream* stream, const XDataItem& item);

// The items of an extended-data stream, in order (none without a stream).
std::vector<XDataItem> dbReadXDataItems(const OwnedStream& xdata);

// The form of the value a group item of `code` holds; None for a code no item carries.
enum class GroupForm { Binary, Text, Point, Int16, Int32, Real, Handle, None };
GroupForm dbGroupItemForm(uint16_t code);

// One group item. The value that the code selects is the one that counts: binary (310-319,
// 1004), text (0-9, 100, 102, 300-309, 430-439, 470-479, 999-1008), point (10-19, 110-112, 210,
// 1010-1019), int16 (60-79, 170-179, 270-299, 370-389, 400-409, 1060-1070), int32 (90-99,
// 420-429, 440-459, 1071), real (39-59, 140-149, 460-469, 1039-1059), handle (320-369, 390-399,
// 480-481).
struct GroupItem {
    uint16_t code = 0;
    uint16_t length = 0;  // the byte count of a binary or text value
    std::string text;
    std::vector<uint8_t> binary;
    Point3 point;
    int16_t int16 = 0;
    int32_t int32 = 0;
    double real = 0.0;
    Handle handle;
    friend bool operator==(const GroupItem&, const GroupItem&) = default;
};

// The longest binary value of a group item (its length is one byte).
inline constexpr size_t kGroupItemMaxBinary = 255;

// Reads the item at the stream's position: 1, or 0 at the end, for a short stream (the
// position is then left where it was), with error 165 for a code that has no stored form, and
// with error 162 for a null stream.
int dbReadGroupItem(OpenStream* stream, GroupItem& item);
// Appends the item: 1, or 0 with error 165 for a code without a stored form or a binary value
// longer than 255 bytes (nothing written), error 163 for a null stream.
int dbWriteGroupItem(OpenStream* stream, const GroupItem& item);

} // namespace tracemill
