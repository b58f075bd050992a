// DXF group input: the one place where the DXF reader turns bytes of a file, ASCII or binary,
// into the current group, a group code and the one value whose type the code gives
// (dxf_value_type.h). Every section, table, entity and object reader calls rdDxfReadGroup and
// looks at the group it left; to read a group again they remember and restore positions
// through the input's tell and seek.
//
// The reader is the state of one load: its input, its encoding and version, and the current
// group. Reading a group allocates nothing once the text buffer has grown to the longest value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/handle.h"
#include "toolkit/core/version_index.h"
#include "toolkit/read/buffered_input.h"
#include "toolkit/read/dxf_value_type.h"
#include "toolkit/read/sanitize_double.h"

namespace tracemill {

// The longest value line of an ASCII file (after the cut at its first control character).
inline constexpr size_t kMaxDxfLineLength = 2050;
// The longest string value of a binary file.
inline constexpr size_t kMaxDxfBinaryText = 131071;

// Errors of the group input (the error callback is called with kErrorReasonBadDxfLine first).
inline constexpr int kErrorDxfLineTooLong = 298;  // a line or binary string beyond its limit
inline constexpr int kErrorDxfCodeLetter = 299;   // a letter in an ASCII group code line

// The current group. Only the field that belongs to the code is written; the others keep what
// earlier groups left. `text` holds the value line of every ASCII group; in binary files only
// string, handle, 310 (as hexadecimal text) and 1004 (raw bytes) groups write it.
struct DxfGroup {
    uint16_t code = 0;
    std::string text;
    double real = 0.0;
    int16_t shortValue = 0;
    int32_t longValue = 0;
    Handle handle;
    int16_t byteCount = 0; // bytes of a binary 1004 chunk
};

struct DxfGroupReader {
    BufferedInput input;
    SourceFormat sourceFormat = SourceFormat::AsciiDxf;
    int versionIndex = kVersionUnknown;
    // Binary files: group codes of two bytes although the version is below R13 (set by
    // rdDxfBeginBinary for a file whose version the head does not name).
    bool twoByteCodes = false;
    DxfGroup group;
    std::string lineSpill; // a value line that had to leave the input's window
};

// Reads the next group into reader.group. Comments (999) are passed over, except a last one at
// the end of the file. Result 1, or 0 at the end of the file (no error number) or on an error:
// 298 a line longer than kMaxDxfLineLength (or a binary string longer than
// kMaxDxfBinaryText), 299 a letter in an ASCII group code line; both call the error callback
// with 6 first.
int rdDxfReadGroup(DxfGroupReader& reader);

// Whether the binary file's group codes take two bytes (from R13 on, or as its first group
// showed); one byte otherwise, with 255 announcing a two-byte code.
inline bool rdDxfTwoByteCodes(const DxfGroupReader& reader) {
    return reader.twoByteCodes || reader.versionIndex >= kVersionAC1012;
}

// rdDxfReadGroup with the most frequent group of binary files, a coordinate or other double,
// read in place: a large drawing's entity pass reads millions of them.
inline int rdDxfNextGroupInline(DxfGroupReader& reader) {
    BufferedInput& in = reader.input;
    if (reader.sourceFormat == SourceFormat::BinaryDxf && in.available() >= 10 && rdDxfTwoByteCodes(reader)) {
        const uint8_t* p = in.data();
        const uint16_t code = getLe16(p);
        if (dxfCodeForm(code).binary == DxfBinaryForm::Double) {
            reader.group.code = code;
            reader.group.real = SanitizeDouble(p + 2);
            in.advance(10);
            return 1;
        }
    }
    return rdDxfReadGroup(reader);
}

// As rdDxfReadGroup (the same lines, codes, comments and errors), but only the code and the
// text of a code-0 group are stored: for walks that look for code-0 groups only.
int rdDxfSkimGroup(DxfGroupReader& reader);

// Skims groups up to the next code-0 group, as rdDxfSkimGroup does one by one; `position` is
// where that group starts, and `groups` grows by the number of groups read. Binary groups
// that lie whole in the input's window are passed over without a call per group.
int rdDxfSkimToCodeZero(DxfGroupReader& reader, uint64_t& position, uint64_t& groups);

// Reads one text line into reader.group.text, cut at its first control character other than
// the tab. Result 1, 0 at the end of the file or for a line too long (error 298).
int rdDxfReadLine(DxfGroupReader& reader);

// Raw little-endian values straight from the input; 0 when the file ends inside the value.
// The double is sanitised.
double rdDxfReadRawDouble(DxfGroupReader& reader);
int32_t rdDxfReadRawLong(DxfGroupReader& reader);
int16_t rdDxfReadRawShort(DxfGroupReader& reader);

// Positions a binary file at its first group: past its sentinel, up to and including the first
// zero byte. When the version is unknown and the first group code's two bytes are both 0, the
// file has two-byte group codes. Result 0 when the file has no zero byte.
int rdDxfBeginBinary(DxfGroupReader& reader);

} // namespace tracemill
