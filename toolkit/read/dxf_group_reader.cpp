#include "toolkit/read/dxf_group_reader.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/hex_text.h"
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

// A handle from hexadecimal text. A text of more than 16 characters cannot be a handle and
// gives the null handle; a character that is not a hexadecimal digit counts as 0.
Handle handleFromHex(std::string_view text) {
    return text.size() > 16 ? Handle() : dbHexToHandle(text);
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
        if (result == LineResult::TooLong) return failBadLine(kErrorDxfLineTooLong);
    } while (line.empty());
    uint16_t code;
    if (!groupCode(line, code)) return failBadLine(kErrorDxfCodeLetter);
    reader.group.code = code;
    LineResult result = readCutLine(reader, line);
    if (result == LineResult::End) return 0;
    if (result == LineResult::TooLong) return failBadLine(kErrorDxfLineTooLong);
    if (convert || reader.group.code == 0) convertAsciiValue(reader.group, line);
    return 1;
}

// Reads `Count` raw bytes (a plain load, as the size is fixed); false (and the input at its
// end) when the file ends first.
template <size_t Count> bool readFixed(BufferedInput& in, uint8_t* out) {
    if (!in.fill(Count)) [[unlikely]] {
        in.advance(in.available());
        return false;
    }
    std::memcpy(out, in.data(), Count);
    in.advance(Count);
    return true;
}

// The zero bytes of an 8-byte word as marks: in a word x, (x - 0x01..01) & ~x & 0x80..80
// marks them, and its lowest mark is always a true one.
inline uint64_t zeroMarks(const uint8_t* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    return (word - 0x0101010101010101ull) & ~word & 0x8080808080808080ull;
}

// findZero past a first word without a zero: more words, then the C library's search.
[[gnu::noinline]] const uint8_t* findZeroFurther(const uint8_t* p, const uint8_t* end) {
    for (int words = 0; end - p >= 8; ++words) {
        if (words == 3) return static_cast<const uint8_t*>(std::memchr(p, 0, size_t(end - p)));
        if (const uint64_t zeros = zeroMarks(p)) return p + (std::countr_zero(zeros) >> 3);
        p += 8;
    }
    for (; p < end; ++p)
        if (*p == 0) return p;
    return nullptr;
}

// The first zero byte of [p, end), or null. Most texts of a file (handles, names) end within
// their first eight bytes: that word is tested here, in the caller's loop.
inline const uint8_t* findZero(const uint8_t* p, const uint8_t* end) {
    if (end - p >= 8) {
        if (const uint64_t zeros = zeroMarks(p)) return p + (std::countr_zero(zeros) >> 3);
        return findZeroFurther(p + 8, end);
    }
    return findZeroFurther(p, end);
}

// The decimal text of a number, as an ASCII file holds it.
template <class Number> void assignNumberText(std::string& text, Number value) {
    char buffer[32];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    text.assign(buffer, error == std::errc() ? size_t(end - buffer) : 0);
}

enum class Decoded {
    Group,   // a whole group
    More,    // the group goes on past the bytes given
    End,     // the file ends inside the group's code or fixed-size value
    TooLong, // a string longer than kMaxDxfBinaryText
};

// Decodes the binary group that starts at `p` from the `n` bytes there; `final` says that the
// file holds no byte past them. `used` is the group's length. Without `Convert` only the code
// and the text of a code-0 group are stored. A string or chunk cut off by the end of the file
// keeps what is there.
template <bool Convert>
Decoded decodeBinaryGroup(DxfGroupReader& reader, const uint8_t* p, size_t n, bool final, size_t& used) {
    const Decoded cut = final ? Decoded::End : Decoded::More;
    DxfGroup& group = reader.group;
    size_t at = 2;
    if (rdDxfTwoByteCodes(reader)) {
        if (n < 2) return cut;
        group.code = getLe16(p);
    } else {
        if (n < 1) return cut;
        group.code = p[0];
        at = 1;
        if (p[0] == 255) {
            if (n < 3) return cut;
            group.code = getLe16(p + 1);
            at = 3;
        }
    }
    const DxfCodeForm form = dxfCodeForm(group.code);
    const bool convert = Convert || group.code == 0;
    const uint8_t* value = p + at;
    const size_t rest = n - at;
    if (const size_t width = dxfBinaryWidth(group.code)) {
        if (rest < width) return cut;
        used = at + width;
        if (convert) {
            switch (form.binary) {
            case DxfBinaryForm::Double: group.real = SanitizeDouble(value); break;
            case DxfBinaryForm::DoubleAsText: assignNumberText(group.text, SanitizeDouble(value)); break;
            case DxfBinaryForm::Int16: group.shortValue = int16_t(getLe16(value)); break;
            case DxfBinaryForm::Byte: group.shortValue = value[0]; break;
            case DxfBinaryForm::Int32: group.longValue = int32_t(getLe32(value)); break;
            case DxfBinaryForm::Int32AsText: assignNumberText(group.text, int32_t(getLe32(value))); break;
            case DxfBinaryForm::String:
            case DxfBinaryForm::Chunk: break;
            }
        }
        return Decoded::Group;
    }
    if (form.binary == DxfBinaryForm::Chunk) {
        // A length byte and that many bytes.
        size_t count = rest > 0 ? value[0] : 0;
        if (rest < 1 + count) {
            if (!final) return Decoded::More;
            count = rest > 0 ? rest - 1 : 0;
        }
        used = std::min(n, at + 1 + count);
        if (!convert) return Decoded::Group;
        const uint8_t* bytes = value + 1;
        if (group.code == 1004) {
            setText(group.text, reinterpret_cast<const char*>(bytes), count);
            group.byteCount = int16_t(count);
        } else {
            static const char digits[] = "0123456789ABCDEF";
            group.text.resize(2 * count);
            for (size_t i = 0; i < count; ++i) {
                group.text[2 * i] = digits[bytes[i] >> 4];
                group.text[2 * i + 1] = digits[bytes[i] & 0xF];
            }
        }
        return Decoded::Group;
    }
    // A string: the bytes up to a zero byte.
    const uint8_t* zero = findZero(value, value + std::min(rest, kMaxDxfBinaryText + 1));
    size_t length = rest;
    if (zero) {
        length = size_t(zero - value);
        used = at + length + 1;
    } else if (rest > kMaxDxfBinaryText) {
        return Decoded::TooLong;
    } else if (!final) {
        return Decoded::More;
    } else {
        used = n;
    }
    if (convert) {
        setText(group.text, reinterpret_cast<const char*>(value), length);
        if (form.type == DxfValueType::Handle) group.handle = handleFromHex(group.text);
    }
    return Decoded::Group;
}

template <bool Convert> int readBinaryGroup(DxfGroupReader& reader) {
    BufferedInput& in = reader.input;
    size_t want = 11; // the longest code and fixed-size value
    for (;;) {
        const bool final = !in.fill(want);
        size_t used = 0;
        switch (decodeBinaryGroup<Convert>(reader, in.data(), in.available(), final, used)) {
        case Decoded::Group:
            in.advance(used);
            return 1;
        case Decoded::More:
            want = std::max(in.available() + 1, 2 * want);
            break;
        case Decoded::End:
            in.advance(in.available());
            return 0;
        case Decoded::TooLong:
            return failBadLine(kErrorDxfLineTooLong);
        }
    }
}

template <bool Convert> int readGroup(DxfGroupReader& reader) {
    for (;;) {
        const int result = reader.sourceFormat == SourceFormat::BinaryDxf ? readBinaryGroup<Convert>(reader)
                                                                          : readAsciiGroup(reader, Convert);
        if (result == 0) return 0;
        if (reader.group.code != 999 || reader.input.atEnd()) return 1;
    }
}

// Passes over the whole binary groups of the input's window up to a code-0 group, which is
// left unread; `groups` counts the groups passed. Values are passed over by their width alone.
void skimWindowToCodeZero(DxfGroupReader& reader, uint64_t& groups) {
    BufferedInput& in = reader.input;
    if (!rdDxfTwoByteCodes(reader)) return;
    const uint8_t* p = in.data();
    const uint8_t* const end = p + in.available();
    // While the window holds any code with any fixed-size value; the last bytes of a window
    // are left to the general reader.
    while (end - p >= 10) {
        const uint16_t code = getLe16(p);
        const uint8_t* value = p + 2;
        if (const size_t width = dxfBinaryWidth(code)) {
            p = value + width;
            ++groups;
            continue;
        }
        if (code == 0) break;
        if (dxfCodeForm(code).binary == DxfBinaryForm::Chunk) {
            if (size_t(end - value) < size_t(1) + value[0]) break;
            p = value + 1 + value[0];
        } else {
            const uint8_t* zero = findZero(value, value + std::min(size_t(end - value), kMaxDxfBinaryText + 1));
            if (!zero) break;
            p = zero + 1;
        }
        if (code != 999) ++groups; // comments are passed over, as group by group
    }
    in.advance(size_t(p - in.data()));
}

} // namespace

int rdDxfReadGroup(DxfGroupReader& reader) { return readGroup<true>(reader); }

int rdDxfSkimGroup(DxfGroupReader& reader) { return readGroup<false>(reader); }

int rdDxfSkimToCodeZero(DxfGroupReader& reader, uint64_t& position, uint64_t& groups) {
    for (;;) {
        if (reader.sourceFormat == SourceFormat::BinaryDxf) skimWindowToCodeZero(reader, groups);
        // The code-0 group, a group that the window does not hold whole, or an ASCII group:
        // the general way.
        position = reader.input.tell();
        if (!readGroup<false>(reader)) return 0;
        ++groups;
        if (reader.group.code == 0) return 1;
    }
}

int rdDxfReadLine(DxfGroupReader& reader) {
    std::string_view line;
    switch (readCutLine(reader, line)) {
    case LineResult::End:
        return 0;
    case LineResult::TooLong:
        return failBadLine(kErrorDxfLineTooLong);
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
