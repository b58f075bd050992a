// DXF group output: every group of a DXF file the writers produce, a group code and one value,
// in the ASCII or the binary form of the save (the context's format). The binary width of a
// value follows the code's form in the table the reader uses (dxf_value_type.h), so a file
// reads back the way it was written. ASCII numbers never depend on the process locale.
//
// Every writer returns 1, or 0 with error 27 when the bytes could not be written
// (byte_output.h); callers stop at the first 0.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "toolkit/core/handle.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/point.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

struct Drawing;

// The longest text value of a binary file (its byte count with the NUL is a 16-bit number).
inline constexpr size_t kDxfBinaryTextLimit = 65534;
// The warning the context's warning callback hears when a text is cut to that limit.
inline constexpr int kWarningDxfTextCut = 96;

// Sets the number settings of the save: the keep-negative-zero switch, the decimal places of
// ASCII reals (0 to 16; other values are taken as 6) and the force-Z switch.
void DxfNumberFormats(OutputContext& output, int16_t keepNegativeZero, int16_t decimals, int16_t forceZ);

int wrDxfGroupCode(OutputContext& output, int code);
int wrDxfChar(OutputContext& output, int code, char value);
int wrDxfInt8(OutputContext& output, int code, int8_t value);
int wrDxfInt16(OutputContext& output, int code, int16_t value);
int wrDxfInt32(OutputContext& output, int code, int32_t value);
// A real at the precision setting; NaN and infinities are written as 0.0.
int wrDxfDouble(OutputContext& output, int code, double value);
// A real with 16 decimals.
int wrDxfDoubleFull(OutputContext& output, int code, double value);
// Radians in memory, degrees in the file.
int wrDxfAngle(OutputContext& output, int code, double radians);
int wrDxfString(OutputContext& output, int code, std::string_view text);
// Free text: control characters as ^ and the character + 0x40, a caret as "^ ". A double-byte
// character of the code page is written as it is.
int wrDxfEscapedString(OutputContext& output, int code, std::string_view text, int codePage);
// The handle as upper-case hexadecimal text.
int wrDxfHandle(OutputContext& output, int code, Handle handle);
// One binary chunk (310-319, 1004): hexadecimal text in ASCII, a length byte and the bytes in
// binary. At most 255 bytes.
int wrDxfBinaryChunk(OutputContext& output, int code, std::span<const uint8_t> bytes);
// Bytes as chunk groups of at most `largest` bytes each.
int wrDxfBinaryChunks(OutputContext& output, int code, std::span<const uint8_t> bytes, size_t largest);
int wrDxfPoint2dFull(OutputContext& output, int code, const Point2& point);
int wrDxfPoint3dFull(OutputContext& output, int code, const Point3& point);

// Symbol-table names: converted by wrConvertSymbolName below "AC1015", as they are from it.
int wrDxfSymbolName(const Drawing& drawing, OutputContext& output, int code, std::string_view name, int32_t number,
                    int limit);
// The length limit that the writers give symbol names: the default code page number, at most 31.
int wrSymbolNameLimit();

// Header variables: 9 and the name (with its "$"), then the value.
int wrDxfHeaderName(OutputContext& output, std::string_view name);
int wrDxfHeaderString(OutputContext& output, std::string_view name, int code, std::string_view text);
int wrDxfHeaderInt16(OutputContext& output, std::string_view name, int code, int16_t value);
int wrDxfHeaderDouble(OutputContext& output, std::string_view name, double value);
int wrDxfHeaderAngle(OutputContext& output, std::string_view name, double radians);
int wrDxfHeaderPoint2d(OutputContext& output, std::string_view name, int code, const Point2& point);
int wrDxfHeaderPoint3d(OutputContext& output, std::string_view name, int code, const Point3& point);
int wrDxfHeaderPoint3dFull(OutputContext& output, std::string_view name, int code, const Point3& point);
// A date as day + milliseconds / 86,400,000: ASCII with 9 decimals for style 9, else 10.
int wrDxfHeaderDate(OutputContext& output, std::string_view name, const HeaderDate& date, int style);
// The date value alone under a code.
int wrDxfDateValue(OutputContext& output, int code, const HeaderDate& date, int style);

// Converts a symbol-table name for a file before "AC1015": a name longer than `limit`
// characters keeps its first characters and ends in `number` so that it has `limit`
// characters; spaces, parentheses, brackets and the byte 0xBD become "_" (single-byte
// characters only); letters are upper-cased. A dependent name (block|name) converts both
// parts: the block's part with the block's name budget of this save (26 without one) and its
// position in the block list, the rest with `number` and the limit 26.
std::string wrConvertSymbolName(const Drawing& drawing, const OutputContext* output, std::string_view name,
                                int32_t number, int limit);

// The formatted ASCII forms (without the line end), for tests and the header writer.
std::string wrFormatDxfDouble(const DxfNumberFormat& numbers, double value);
std::string wrFormatDxfDoubleFull(double value);

} // namespace tracemill
