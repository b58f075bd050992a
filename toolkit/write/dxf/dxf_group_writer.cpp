#include "toolkit/write/dxf/dxf_group_writer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numbers>

#include "toolkit/core/block_name_index.h"
#include "toolkit/core/byte_order.h"
#include "toolkit/core/code_page_text.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/version_index.h"
#include "toolkit/read/dxf_value_type.h"
#include "toolkit/write/byte_output.h"
#include "toolkit/write/save_driver.h"

namespace tracemill {
namespace {

// Bytes collected before they go to the file.
constexpr size_t kFlushSize = 1 << 18;

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
constexpr char kHexDigits[] = "0123456789ABCDEF";

void appendLineEnd(std::string& out);
void appendInteger(std::string& out, long long value, int width);

// The ASCII lines of the group codes below 1072, made once.
constexpr int kCodeLines = 1072;
struct CodeLine {
    char text[8];
    uint8_t length;
};
const std::array<CodeLine, kCodeLines>& codeLines() {
    static const std::array<CodeLine, kCodeLines> lines = [] {
        std::array<CodeLine, kCodeLines> made{};
        for (int code = 0; code < kCodeLines; ++code) {
            std::string line;
            appendInteger(line, code, 3);
            appendLineEnd(line);
            std::copy(line.begin(), line.end(), made[size_t(code)].text);
            made[size_t(code)].length = uint8_t(line.size());
        }
        return made;
    }();
    return lines;
}

bool isBinary(const OutputContext& output) { return output.format == kSaveFormatBinaryDxf; }

int flushIfFull(OutputContext& output) {
    return output.pending.size() < kFlushSize ? 1 : wrFlushPending(output);
}

void appendLineEnd(std::string& out) { out.append("\r\n", 2); }

void appendLe16(std::string& out, uint16_t value) {
    char bytes[2] = {char(value & 0xFF), char(value >> 8)};
    out.append(bytes, 2);
}

void appendLe32(std::string& out, uint32_t value) {
    uint8_t bytes[4];
    putLe32(bytes, value);
    out.append(reinterpret_cast<const char*>(bytes), 4);
}

void appendDoubleBytes(std::string& out, double value) {
    uint8_t bytes[8];
    putLe64(bytes, doubleBits(value));
    out.append(reinterpret_cast<const char*>(bytes), 8);
}

// An integer right-aligned in `width` columns.
void appendInteger(std::string& out, long long value, int width) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    const int length = int(result.ptr - digits);
    if (width > length) out.append(size_t(width - length), ' ');
    out.append(digits, size_t(length));
}

// A double that is NaN or infinite is written as 0.0, a subnormal or a zero as +0.0, except that
// a negative zero stays negative when the save keeps negative zeros (so that a file read back
// and saved again gives the same text).
double writableDouble(double value, bool keepNegativeZero = false) {
    if (!std::isfinite(value)) return 0.0;
    if (value == 0.0 || std::fpclassify(value) == FP_SUBNORMAL) return keepNegativeZero && std::signbit(value) ? -0.0 : 0.0;
    return value;
}

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

// Fixed notation of a value below 1e9 with at most 9 decimals through one integer: the same
// digits as the exact decimal rounding, which is taken instead (false) when the scaled value
// lies too near a half for the product's rounding to be sure of the side.
bool fastFixed(double value, int precision, char* text, size_t& length) {
    if (precision < 1 || precision > 9 || !(std::fabs(value) < 1e9)) return false;
    const double scaled = std::fabs(value) * kPowersOfTen[precision];
    const double floor = std::floor(scaled);
    const double fraction = scaled - floor;
    if (std::fabs(fraction - 0.5) < 1e-6 * (1.0 + scaled * 1e-9)) return false;
    const uint64_t units = uint64_t(floor) + (fraction > 0.5 ? 1 : 0);
    const uint64_t scale = uint64_t(kPowersOfTen[precision]);
    char* p = text;
    if (value < 0.0 && units != 0) *p++ = '-';
    p = std::to_chars(p, p + 24, units / scale).ptr;
    *p++ = '.';
    uint64_t decimals = units % scale;
    for (int i = precision - 1; i >= 0; --i) {
        p[i] = char('0' + decimals % 10);
        decimals /= 10;
    }
    length = size_t(p + precision - text);
    return true;
}

// Fixed notation with `precision` decimals and at most precision - 1 trailing zeros removed;
// from 1e16 on scientific notation with an upper-case E and a two-digit exponent at least.
void appendFormattedDouble(std::string& out, double value, int precision) {
    char text[400];
    const double magnitude = std::fabs(value);
    if (magnitude >= 1e16) {
        const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, precision);
        for (char* p = text; p < result.ptr; ++p) {
            if (*p == 'e') *p = 'E';
        }
        out.append(text, size_t(result.ptr - text));
        return;
    }
    size_t length = 0;
    if (!fastFixed(value, precision, text, length)) {
        const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, precision);
        length = size_t(result.ptr - text);
    }
    for (int removed = 0; removed < precision - 1 && length > 0 && text[length - 1] == '0'; ++removed) --length;
    out.append(text, length);
}

// A binary text longer than the format can hold is cut at a character boundary and the host
// is warned.
std::string_view binaryText(const OutputContext& output, std::string_view text) {
    if (text.size() <= kDxfBinaryTextLimit) return text;
    dbReportWarning(kWarningDxfTextCut);
    return text.substr(0, dbFittingLength(text, kDxfBinaryTextLimit, output.header.dwgcodepage));
}

// An integer value in the width that the code's binary form gives it.
void appendBinaryInteger(std::string& out, int code, int32_t value) {
    switch (dxfCodeForm(uint16_t(code)).binary) {
    case DxfBinaryForm::Byte: out.push_back(char(value & 0xFF)); break;
    case DxfBinaryForm::Int32:
    case DxfBinaryForm::Int32AsText: appendLe32(out, uint32_t(value)); break;
    default: appendLe16(out, uint16_t(value)); break;
    }
}

int putInteger(OutputContext& output, int code, int32_t value, int asciiWidth) {
    if (!wrDxfGroupCode(output, code)) return 0;
    std::string& out = output.pending;
    if (isBinary(output)) {
        appendBinaryInteger(out, code, value);
    } else {
        appendInteger(out, value, asciiWidth);
        appendLineEnd(out);
    }
    return flushIfFull(output);
}

bool isSymbolNameReplaced(uint8_t byte) {
    return byte == ' ' || byte == '(' || byte == ')' || byte == '[' || byte == ']' || byte == 0xBD;
}

int32_t budgetOfBlock(const Drawing& drawing, const OutputContext* output, std::string_view blockName, int32_t& position) {
    position = 0;
    int32_t index = 0;
    Handle block;
    for (const BlockNode& node : drawing.blocks) {
        if (dbEqualsNoCase(node.record.name, blockName)) {
            position = index;
            block = node.record.handle;
            break;
        }
        ++index;
    }
    return output && !block.isNull() ? wrXrefNameBudget(*output, block) : 26;
}

std::string convertPlainName(std::string_view name, int32_t number, int limit, int codePage) {
    std::string result;
    const int length = dbCountChars(name, codePage);
    if (length > limit) {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, (long long)std::max<int32_t>(number, 0)).ptr;
        const int numberDigits = int(end - digits);
        std::string_view cursor = name;
        dbCopyChars(result, cursor, std::max(0, limit - numberDigits), codePage);
        result.append(digits, size_t(numberDigits));
    } else {
        result.assign(name);
    }
    for (size_t i = 0; i < result.size();) {
        const int width = std::max(1, dbCharWidth(std::string_view(result).substr(i), codePage));
        if (width == 1 && isSymbolNameReplaced(uint8_t(result[i]))) result[i] = '_';
        i += size_t(width);
    }
    dbUpperCaseCp(result, codePage);
    return result;
}

} // namespace

void DxfNumberFormats(OutputContext& output, int16_t keepNegativeZero, int16_t decimals, int16_t forceZ) {
    DxfNumberFormat& numbers = output.numbers;
    numbers.keepNegativeZero = keepNegativeZero;
    numbers.precision = decimals >= 0 && decimals <= 16 ? decimals : 6;
    numbers.forceZ = forceZ;
    numbers.zeroThreshold = 0.5 * std::pow(0.1, numbers.precision);
    output.entitySwitch = forceZ;
}

int wrDxfGroupCode(OutputContext& output, int code) {
    std::string& out = output.pending;
    if (isBinary(output)) {
        if (output.versionIndex < kVersionAC1012 && code >= 0 && code <= 254) {
            out.push_back(char(code));
        } else {
            if (output.versionIndex < kVersionAC1012) out.push_back(char(0xFF));
            appendLe16(out, uint16_t(code));
        }
        return 1;
    }
    if (code >= 0 && code < kCodeLines) {
        const CodeLine& line = codeLines()[size_t(code)];
        out.append(line.text, line.length);
        return 1;
    }
    appendInteger(out, code, 3);
    appendLineEnd(out);
    return 1;
}

int wrDxfChar(OutputContext& output, int code, char value) {
    if (!wrDxfGroupCode(output, code)) return 0;
    std::string& out = output.pending;
    if (isBinary(output)) {
        appendLe16(out, uint16_t(int16_t(value)));
    } else {
        out.push_back(value);
        appendLineEnd(out);
    }
    return flushIfFull(output);
}

int wrDxfInt8(OutputContext& output, int code, int8_t value) {
    return putInteger(output, code, value, output.numbers.precision);
}

int wrDxfInt16(OutputContext& output, int code, int16_t value) {
    return putInteger(output, code, value, output.numbers.precision);
}

int wrDxfInt32(OutputContext& output, int code, int32_t value) { return putInteger(output, code, value, 9); }

std::string wrFormatDxfDouble(const DxfNumberFormat& numbers, double value) {
    value = writableDouble(value, numbers.keepNegativeZero != 0);
    std::string text;
    if (std::fabs(value) <= numbers.zeroThreshold) {
        if (numbers.keepNegativeZero && std::signbit(value)) text.push_back('-');
        text.append("0.0");
        return text;
    }
    appendFormattedDouble(text, value, numbers.precision);
    return text;
}

std::string wrFormatDxfDoubleFull(double value) {
    std::string text;
    appendFormattedDouble(text, std::isfinite(value) ? value : 0.0, 16);
    return text;
}

int wrDxfDouble(OutputContext& output, int code, double value) {
    std::string& out = output.pending;
    if (isBinary(output) && output.versionIndex >= kVersionAC1012) {
        // Code and value in one piece: the most frequent group of a binary file.
        uint8_t bytes[10];
        bytes[0] = uint8_t(code & 0xFF);
        bytes[1] = uint8_t((code >> 8) & 0xFF);
        putLe64(bytes + 2, doubleBits(writableDouble(value)));  // a reader takes a binary -0.0 as 0.0
        out.append(reinterpret_cast<const char*>(bytes), sizeof bytes);
        return flushIfFull(output);
    }
    if (!wrDxfGroupCode(output, code)) return 0;
    if (isBinary(output)) {
        appendDoubleBytes(out, writableDouble(value));
    } else {
        value = writableDouble(value, output.numbers.keepNegativeZero != 0);
        if (std::fabs(value) <= output.numbers.zeroThreshold) {
            if (output.numbers.keepNegativeZero && std::signbit(value)) out.push_back('-');
            out.append("0.0");
        } else {
            appendFormattedDouble(out, value, output.numbers.precision);
        }
        appendLineEnd(out);
    }
    return flushIfFull(output);
}

int wrDxfDoubleFull(OutputContext& output, int code, double value) {
    if (!wrDxfGroupCode(output, code)) return 0;
    std::string& out = output.pending;
    if (!std::isfinite(value)) value = 0.0;
    if (isBinary(output)) {
        appendDoubleBytes(out, value);
    } else {
        appendFormattedDouble(out, value, 16);
        appendLineEnd(out);
    }
    return flushIfFull(output);
}

int wrDxfAngle(OutputContext& output, int code, double radians) {
    return wrDxfDouble(output, code, radians * kDegreesPerRadian);
}

int wrDxfString(OutputContext& output, int code, std::string_view text) {
    if (!wrDxfGroupCode(output, code)) return 0;
    std::string& out = output.pending;
    if (isBinary(output)) {
        text = binaryText(output, text);
        out.append(text);
        out.push_back('\0');
    } else {
        out.append(text);
        appendLineEnd(out);
    }
    return flushIfFull(output);
}

int wrDxfEscapedString(OutputContext& output, int code, std::string_view text, int codePage) {
    std::string escaped;
    escaped.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size();) {
        const int width = std::max(1, dbCharWidth(text.substr(i), codePage));
        if (width > 1) {
            // A double-byte character, or a "\U+XXXX" or "\M+NXXXX" escape: kept whole.
            escaped.append(text.substr(i, size_t(width)));
        } else {
            const uint8_t byte = uint8_t(text[i]);
            if (byte < 0x20) {
                escaped.push_back('^');
                escaped.push_back(char(byte + 0x40));
            } else if (byte == '^') {
                escaped.append("^ ");
            } else {
                escaped.push_back(char(byte));
            }
        }
        i += size_t(width);
    }
    if (!text.empty() && text.back() == '^') escaped.push_back(' ');
    return wrDxfString(output, code, escaped);
}

int wrDxfHandle(OutputContext& output, int code, Handle handle) {
    char hex[17];
    const auto end = std::to_chars(hex, hex + 16, handle.value, 16).ptr;
    for (char* p = hex; p < end; ++p) {
        if (*p >= 'a') *p = char(*p - 'a' + 'A');
    }
    return wrDxfString(output, code, std::string_view(hex, size_t(end - hex)));
}

int wrDxfBinaryChunk(OutputContext& output, int code, std::span<const uint8_t> bytes) {
    if (bytes.size() > 255) bytes = bytes.first(255);
    if (!wrDxfGroupCode(output, code)) return 0;
    std::string& out = output.pending;
    if (isBinary(output)) {
        out.push_back(char(bytes.size()));
        out.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    } else {
        for (uint8_t byte : bytes) {
            out.push_back(kHexDigits[byte >> 4]);
            out.push_back(kHexDigits[byte & 15]);
        }
        appendLineEnd(out);
    }
    return flushIfFull(output);
}

int wrDxfBinaryChunks(OutputContext& output, int code, std::span<const uint8_t> bytes, size_t largest) {
    largest = std::clamp<size_t>(largest, 1, 255);
    for (size_t offset = 0; offset < bytes.size(); offset += largest) {
        if (!wrDxfBinaryChunk(output, code, bytes.subspan(offset, std::min(largest, bytes.size() - offset)))) return 0;
    }
    return 1;
}

int wrDxfPoint2dFull(OutputContext& output, int code, const Point2& point) {
    return wrDxfDoubleFull(output, code, point.x) && wrDxfDoubleFull(output, code + 10, point.y);
}

int wrDxfPoint3dFull(OutputContext& output, int code, const Point3& point) {
    return wrDxfDoubleFull(output, code, point.x) && wrDxfDoubleFull(output, code + 10, point.y) &&
           wrDxfDoubleFull(output, code + 20, point.z);
}

int wrSymbolNameLimit() { return std::min(dbGetDefaultCodePage(), 31); }

std::string wrConvertSymbolName(const Drawing& drawing, const OutputContext* output, std::string_view name,
                                int32_t number, int limit) {
    const int codePage = drawing.header ? drawing.header->dwgcodepage : 0;
    const size_t bar = dbFindChar(name, '|', codePage);
    if (bar == std::string_view::npos) return convertPlainName(name, number, limit, codePage);
    const std::string_view prefix = name.substr(0, bar);
    int32_t position = 0;
    const int32_t budget = prefix.empty() ? 26 : budgetOfBlock(drawing, output, prefix, position);
    std::string result = convertPlainName(prefix, position, budget, codePage);
    result.push_back('|');
    result += convertPlainName(name.substr(bar + 1), number, 26, codePage);
    return result;
}

int wrDxfSymbolName(const Drawing& drawing, OutputContext& output, int code, std::string_view name, int32_t number,
                    int limit) {
    if (output.versionIndex >= kVersionAC1015) return wrDxfString(output, code, name);
    return wrDxfString(output, code, wrConvertSymbolName(drawing, &output, name, number, limit));
}

int wrDxfHeaderName(OutputContext& output, std::string_view name) {
    std::string text = "$";
    text += name;
    return wrDxfString(output, 9, text);
}

int wrDxfHeaderString(OutputContext& output, std::string_view name, int code, std::string_view text) {
    return wrDxfHeaderName(output, name) && wrDxfString(output, code, text);
}

int wrDxfHeaderInt16(OutputContext& output, std::string_view name, int code, int16_t value) {
    return wrDxfHeaderName(output, name) && wrDxfInt16(output, code, value);
}

int wrDxfHeaderDouble(OutputContext& output, std::string_view name, double value) {
    return wrDxfHeaderName(output, name) && wrDxfDouble(output, 40, value);
}

int wrDxfHeaderAngle(OutputContext& output, std::string_view name, double radians) {
    return wrDxfHeaderName(output, name) && wrDxfAngle(output, 50, radians);
}

int wrDxfHeaderPoint2d(OutputContext& output, std::string_view name, int code, const Point2& point) {
    return wrDxfHeaderName(output, name) && wrDxfDouble(output, code, point.x) &&
           wrDxfDouble(output, code + 10, point.y);
}

int wrDxfHeaderPoint3d(OutputContext& output, std::string_view name, int code, const Point3& point) {
    return wrDxfHeaderName(output, name) && wrDxfDouble(output, code, point.x) &&
           wrDxfDouble(output, code + 10, point.y) && wrDxfDouble(output, code + 20, point.z);
}

int wrDxfHeaderPoint3dFull(OutputContext& output, std::string_view name, int code, const Point3& point) {
    return wrDxfHeaderName(output, name) && wrDxfPoint3dFull(output, code, point);
}

int wrDxfHeaderDate(OutputContext& output, std::string_view name, const HeaderDate& date, int style) {
    return wrDxfHeaderName(output, name) && wrDxfDateValue(output, 40, date, style);
}

int wrDxfDateValue(OutputContext& output, int code, const HeaderDate& date, int style) {
    // The middle of the millisecond: a reader that truncates to the millisecond gets the stored
    // one back (nine decimals of a day resolve 0.09 ms).
    const double value = double(date.day) + (double(date.milliseconds) + 0.5) * 1.1574074074074074e-08;
    if (isBinary(output)) return wrDxfDouble(output, code, value);
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, style == 9 ? 9 : 10);
    return wrDxfString(output, code, std::string_view(text, size_t(result.ptr - text)));
}

} // namespace tracemill
