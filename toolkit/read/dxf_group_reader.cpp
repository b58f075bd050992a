#include "toolkit/read/dxf_group_reader.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/dxf_value_type.h"
#include "toolkit/read/sanitize_double.h"

namespace tracemill {
namespace {

enum class LineResult { Line, End, TooLong };

bool isLineText(uint8_t c) {
    return c >= 32 || c == '\t';
}
bool isLineEnd(uint8_t c) {
    return c == '\r' || c == '\n';
}

// The first byte from `i` on that ends the text of a line (a control character other than the
// tab), or `n`. Eight bytes are tested at a time: in a word x, (x - 0x20..20) & ~x & 0x80..80
// marks bytes below 0x20, and its lowest mark is always a true one.
size_t findCut(const uint8_t* p, size_t i, size_t n) {
    while (i + 8 <= n) {
        uint64_t word;
        std::memcpy(&word, p + i, 8);
        const uint64_t below = (word - 0x2020202020202020ull) & ~word & 0x8080808080808080ull;
        if (below == 0) {
            i += 8;
            continue;
        }
        const size_t k = i + size_t(std::countr_zero(below) >> 3);
        if (p[k] != '\t') return k;
        i = k + 1;
    }
    while (i < n && isLineText(p[i]))
        ++i;
    return i;
}

// Consumes a line end and its partner: CR LF and LF CR each end one line.
void consumeLineEnd(BufferedInput& in) {
    const uint8_t end = *in.data();
    in.advance(1);
    if (in.fill(1)) {
        const uint8_t next = *in.data();
        if (isLineEnd(next) && next != end) in.advance(1);
    }
}

// Reads one line, cut at its first control character other than the tab. `line` views the
// text until the next read of the input.
LineResult readCutLine(DxfGroupReader& reader, std::string_view& line) {
    BufferedInput& in = reader.input;
    {
        // The common case: the line ends at its cut, and the byte after the end lies in the
        // window too, so the text can be viewed where it is.
        const uint8_t* p = in.data();
        const size_t available = in.available();
        const size_t cut = findCut(p, 0, available);
        if (cut + 1 < available && isLineEnd(p[cut]) && cut <= kMaxDxfLineLength) [[likely]] {
            const uint8_t next = p[cut + 1];
            in.advance(cut + (isLineEnd(next) && next != p[cut] ? 2 : 1));
            line = std::string_view(reinterpret_cast<const char*>(p), cut);
            return LineResult::Line;
        }
    }
    size_t scanned = 0;    // bytes of the line examined, from in.data()
    size_t textLength = 0; // the text before the cut, once found
    bool cut = false;
    bool spilled = false; // the text moved to lineSpill because the window had to move on
    for (;;) {
        const uint8_t* p = in.data();
        const size_t available = in.available();
        size_t i = scanned;
        if (!cut) {
            i = findCut(p, i, available);
            if (i > kMaxDxfLineLength) return LineResult::TooLong;
            if (i < available) {
                cut = true;
                textLength = i;
                if (!isLineEnd(p[i])) ++i;
            }
        }
        if (cut)
            while (i < available && !isLineEnd(p[i]))
                ++i;
        if (i < available) {
            // The line ends at i. Its partner may lie beyond the window: keep the text first.
            if (!spilled && i + 1 >= available) {
                reader.lineSpill.assign(reinterpret_cast<const char*>(p), textLength);
                spilled = true;
            }
            in.advance(i);
            consumeLineEnd(in);
            line = spilled ? std::string_view(reader.lineSpill)
                           : std::string_view(reinterpret_cast<const char*>(p), textLength);
            return LineResult::Line;
        }
        // The window ends inside the line.
        if (cut) {
            if (!spilled) reader.lineSpill.assign(reinterpret_cast<const char*>(p), textLength);
            spilled = true;
            in.advance(available); // what follows the cut is dropped
            scanned = 0;
        } else {
            scanned = available;
        }
        if (!in.fill(in.available() + 1)) {
            // The file ends: so does the line, if it has anything.
            if (!cut && !spilled && in.available() == 0) return LineResult::End;
            if (!cut) reader.lineSpill.assign(reinterpret_cast<const char*>(in.data()), in.available());
            in.advance(in.available());
            line = reader.lineSpill;
            return LineResult::Line;
        }
    }
}

int failBadLine(int error) {
    dbNotifyError(kErrorReasonBadDxfLine);
    return dbSetError(error);
}

// The leading integer of a text as the C library's atoi reads it (blanks, a sign, digits up to
// the first other character), wrapping modulo 2^32.
uint32_t leadingInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + uint32_t(text[i] - '0');
    return negative ? 0u - value : value;
}

// The leading decimal number of a text; 0.0 when it has none, and for infinities and NaNs.
double leadingReal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i < text.size() && text[i] == '+') ++i;
    double value = 0.0;
    auto [end, error] = std::from_chars(text.data() + i, text.data() + text.size(), value);
    (void)end;
    if (error != std::errc() || !std::isfinite(value)) return 0.0;
    return value;
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

// A handle from hexadecimal text. A text of more than 16 characters cannot be a handle and
// gives the null handle; a character that is not a hexadecimal digit counts as 0.
Handle handleFromHex(std::string_view text) {
    if (text.size() > 16) return Handle();
    uint64_t value = 0;
    for (char c : text)
        value = (value << 4) | uint64_t(hexDigitValue(c));
    return Handle(value);
}

bool hasLetter(std::string_view text) {
    for (char c : text)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    return false;
}

// Sets a text without the general replace of std::string::assign (the text never overlaps the
// input window).
void setText(std::string& text, const char* bytes, size_t length) {
    text.clear();
    text.append(bytes, length);
}

// The group code of a code line: its leading integer, as leadingInteger reads it; false when
// the line has a letter anywhere. Lines of digits alone (the usual ones) take one pass.
bool groupCode(std::string_view line, uint16_t& code) {
    size_t i = 0;
    while (i < line.size() && line[i] == ' ')
        ++i;
    uint32_t value = 0;
    const size_t digits = i;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i)
        value = value * 10 + uint32_t(line[i] - '0');
    if (i == line.size() && i > digits) {
        code = uint16_t(value);
        return true;
    }
    if (hasLetter(line)) return false;
    code = uint16_t(leadingInteger(line));
    return true;
}

void convertAsciiValue(DxfGroup& group, std::string_view value) {
    switch (dxfValueType(group.code)) {
    case DxfValueType::Real:
        group.real = leadingReal(value);
        break;
    case DxfValueType::Short:
        group.shortValue = int16_t(uint16_t(leadingInteger(value)));
        break;
    case DxfValueType::Long:
        group.longValue = int32_t(leadingInteger(value));
        break;
    case DxfValueType::Handle:
        group.handle = handleFromHex(value);
        break;
    default:
        break;
    }
    if (group.code == 0 || group.code == 2) {
        size_t length = value.size();
        while (length > 1 && value[length - 1] == ' ')
            --length;
        value = value.substr(0, length);
    }
    setText(group.text, value.data(), value.size());
}

// `convert` clear: only the code and, for code 0, the text are stored.
int readAsciiGroup(DxfGroupReader& reader, bool convert) {
    std::string_view line;
    do {
        LineResult result = readCutLine(reader, line);
        if (result == LineResult::End) return 0;
        if (result == LineResult::TooLong) return failBadLine(298);
    } while (line.empty());
    uint16_t code;
    if (!groupCode(line, code)) return failBadLine(299);
    reader.group.code = code;
    LineResult result = readCutLine(reader, line);
    if (result == LineResult::End) return 0;
    if (result == LineResult::TooLong) return failBadLine(298);
    if (convert || reader.group.code == 0) convertAsciiValue(reader.group, line);
    return 1;
}

// Reads `Count` raw bytes (a plain load, as the size is fixed), or passes them over when `out`
// is null; false (and the input at its end) when the file ends first.
template <size_t Count> bool readFixed(BufferedInput& in, uint8_t* out) {
    if (!in.fill(Count)) [[unlikely]] {
        in.advance(in.available());
        return false;
    }
    if (out) std::memcpy(out, in.data(), Count);
    in.advance(Count);
    return true;
}

// Reads a zero-terminated string into the group's text. A string cut off by the end of the
// file keeps what was read; one longer than kMaxDxfBinaryText fails.
bool readBinaryString(DxfGroupReader& reader, bool keep = true) {
    BufferedInput& in = reader.input;
    size_t scanned = 0;
    for (;;) {
        const uint8_t* p = in.data();
        const size_t available = in.available();
        const void* zero = available > scanned ? std::memchr(p + scanned, 0, available - scanned) : nullptr;
        if (zero) {
            const size_t length = size_t(static_cast<const uint8_t*>(zero) - p);
            if (length > kMaxDxfBinaryText) return false;
            if (keep) setText(reader.group.text, reinterpret_cast<const char*>(p), length);
            in.advance(length + 1);
            return true;
        }
        if (available > kMaxDxfBinaryText) return false;
        scanned = available;
        if (!in.fill(available + 1)) {
            reader.group.text.clear();
            if (in.available() > 0)
                reader.group.text.assign(reinterpret_cast<const char*>(in.data()), in.available());
            in.advance(in.available());
            return true;
        }
    }
}

// A length byte and that many bytes, or what the file still holds of them.
size_t readChunk(BufferedInput& in, uint8_t* out) {
    uint8_t length = 0;
    if (!readFixed<1>(in, &length)) return 0;
    const size_t count = in.fill(length) ? length : in.available();
    if (count > 0) std::memcpy(out, in.data(), count);
    in.advance(count);
    return count;
}

// The decimal text of a number, as an ASCII file holds it.
template <class Number> void assignNumberText(std::string& text, Number value) {
    char buffer[32];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    text.assign(buffer, error == std::errc() ? size_t(end - buffer) : 0);
}

int readBinaryGroup(DxfGroupReader& reader, bool convert) {
    BufferedInput& in = reader.input;
    DxfGroup& group = reader.group;
    uint8_t bytes[256];
    if (reader.twoByteCodes || reader.versionIndex >= kVersionAC1012) {
        if (!readFixed<2>(in, bytes)) return 0;
        group.code = getLe16(bytes);
    } else {
        if (!readFixed<1>(in, bytes)) return 0;
        group.code = bytes[0];
        if (bytes[0] == 255) {
            if (!readFixed<2>(in, bytes)) return 0;
            group.code = getLe16(bytes);
        }
    }
    const DxfCodeForm form = dxfCodeForm(group.code);
    if (!convert && group.code != 0) {
        // The value is passed over.
        switch (form.binary) {
        case DxfBinaryForm::Double:
        case DxfBinaryForm::DoubleAsText: return readFixed<8>(in, nullptr);
        case DxfBinaryForm::Int16: return readFixed<2>(in, nullptr);
        case DxfBinaryForm::Byte: return readFixed<1>(in, nullptr);
        case DxfBinaryForm::Int32:
        case DxfBinaryForm::Int32AsText: return readFixed<4>(in, nullptr);
        case DxfBinaryForm::Chunk: readChunk(in, bytes); return 1;
        case DxfBinaryForm::String: return readBinaryString(reader, false) ? 1 : failBadLine(298);
        }
    }
    switch (form.binary) {
    case DxfBinaryForm::Double:
    case DxfBinaryForm::DoubleAsText:
        if (!readFixed<8>(in, bytes)) return 0;
        if (form.binary == DxfBinaryForm::Double)
            group.real = SanitizeDouble(bytes);
        else
            assignNumberText(group.text, SanitizeDouble(bytes));
        return 1;
    case DxfBinaryForm::Int16:
        if (!readFixed<2>(in, bytes)) return 0;
        group.shortValue = int16_t(getLe16(bytes));
        return 1;
    case DxfBinaryForm::Byte:
        if (!readFixed<1>(in, bytes)) return 0;
        group.shortValue = bytes[0];
        return 1;
    case DxfBinaryForm::Int32:
    case DxfBinaryForm::Int32AsText:
        if (!readFixed<4>(in, bytes)) return 0;
        if (form.binary == DxfBinaryForm::Int32)
            group.longValue = int32_t(getLe32(bytes));
        else
            assignNumberText(group.text, int32_t(getLe32(bytes)));
        return 1;
    case DxfBinaryForm::Chunk: {
        const size_t count = readChunk(in, bytes);
        if (group.code == 1004) {
            group.text.assign(reinterpret_cast<const char*>(bytes), count);
            group.byteCount = int16_t(count);
        } else {
            static const char digits[] = "0123456789ABCDEF";
            group.text.resize(2 * count);
            for (size_t i = 0; i < count; ++i) {
                group.text[2 * i] = digits[bytes[i] >> 4];
                group.text[2 * i + 1] = digits[bytes[i] & 0xF];
            }
        }
        return 1;
    }
    case DxfBinaryForm::String:
        if (!readBinaryString(reader)) return failBadLine(298);
        if (form.type == DxfValueType::Handle) group.handle = handleFromHex(group.text);
        return 1;
    }
    return 0;
}

} // namespace

namespace {

int readGroup(DxfGroupReader& reader, bool convert) {
    for (;;) {
        const int result = reader.sourceFormat == SourceFormat::BinaryDxf ? readBinaryGroup(reader, convert)
                                                                          : readAsciiGroup(reader, convert);
        if (result == 0) return 0;
        if (reader.group.code != 999 || reader.input.atEnd()) return 1;
    }
}

} // namespace

int rdDxfReadGroup(DxfGroupReader& reader) { return readGroup(reader, true); }

int rdDxfSkimGroup(DxfGroupReader& reader) { return readGroup(reader, false); }

int rdDxfReadLine(DxfGroupReader& reader) {
    std::string_view line;
    switch (readCutLine(reader, line)) {
    case LineResult::End:
        return 0;
    case LineResult::TooLong:
        return failBadLine(298);
    case LineResult::Line:
        break;
    }
    reader.group.text.assign(line);
    return 1;
}

double rdDxfReadRawDouble(DxfGroupReader& reader) {
    uint8_t bytes[8];
    return readFixed<8>(reader.input, bytes) ? SanitizeDouble(bytes) : 0.0;
}

int32_t rdDxfReadRawLong(DxfGroupReader& reader) {
    uint8_t bytes[4];
    return readFixed<4>(reader.input, bytes) ? int32_t(getLe32(bytes)) : 0;
}

int16_t rdDxfReadRawShort(DxfGroupReader& reader) {
    uint8_t bytes[2];
    return readFixed<2>(reader.input, bytes) ? int16_t(getLe16(bytes)) : int16_t(0);
}

int rdDxfBeginBinary(DxfGroupReader& reader) {
    BufferedInput& in = reader.input;
    reader.twoByteCodes = false;
    if (!in.seek(0)) return 0;
    for (;;) {
        if (!in.fill(1)) return 0;
        const void* zero = std::memchr(in.data(), 0, in.available());
        if (zero) {
            in.advance(size_t(static_cast<const uint8_t*>(zero) - in.data()) + 1);
            break;
        }
        in.advance(in.available());
    }
    if (reader.versionIndex == kVersionUnknown && in.fill(2) && in.data()[0] == 0 && in.data()[1] == 0)
        reader.twoByteCodes = true;
    return 1;
}

} // namespace tracemill
