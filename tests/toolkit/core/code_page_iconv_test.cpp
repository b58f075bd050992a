// The code-page tables against glibc's iconv: every byte 0x80-0xFF of every page and every
// double-byte code (lead 0x81-0xFE, trail 0x40-0xFF) converts to the same Unicode value, or
// neither side maps it, except the reviewed differences listed below with their reasons.
#include <gtest/gtest.h>

#include <iconv.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/core/code_pages.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

struct Page {
    int number;
    const char* iconvName;
};

constexpr Page kSingleBytePages[] = {
    {2, "ISO-8859-1"}, {3, "ISO-8859-2"}, {4, "ISO-8859-3"}, {5, "ISO-8859-4"}, {6, "ISO-8859-5"},
    {7, "ISO-8859-6"}, {8, "ISO-8859-7"}, {9, "ISO-8859-8"}, {10, "ISO-8859-9"}, {11, "CP437"},
    {12, "CP850"},     {13, "CP852"},     {14, "CP855"},     {15, "CP857"},     {16, "CP860"},
    {17, "CP861"},     {18, "CP863"},     {19, "CP864"},     {20, "CP865"},     {21, "CP869"},
    {23, "MACINTOSH"}, {27, "CP866"},     {28, "CP1250"},    {29, "CP1251"},    {30, "CP1252"},
    {32, "CP1253"},    {33, "CP1254"},    {34, "CP1255"},    {35, "CP1256"},    {36, "CP1257"},
    {37, "CP874"},
};

constexpr Page kDoubleBytePages[] = {{38, "CP932"}, {39, "GBK"}, {40, "CP949"}, {41, "BIG5"}};

// A reviewed difference: codes first..last of a page where our table (from Python's codecs)
// and glibc disagree. 0 stands for "no mapping".
struct Difference {
    int page;
    uint16_t first;
    uint16_t last;
    const char* reason;
};

const Difference kReviewed[] = {
    {23, 0xC6, 0xC6,
     "mac-roman 0xC6: Python gives U+2206 INCREMENT, as the vendor's current table does; glibc "
     "gives U+0394 GREEK CAPITAL LETTER DELTA of the older table"},
    {23, 0xF0, 0xF0,
     "mac-roman 0xF0 (the vendor logo): Python gives the private-use U+F8FF, glibc the "
     "private-use U+E01E"},
    {38, 0x80, 0x80, "cp932 single byte 0x80: Python passes it through as U+0080, glibc has no mapping"},
    {38, 0xA0, 0xA0, "cp932 single byte 0xA0: Python's private-use U+F8F0, glibc has no mapping"},
    {38, 0xFD, 0xFF, "cp932 single bytes 0xFD-0xFF: Python's private-use U+F8F1-U+F8F3, glibc none"},
    {39, 0x80, 0x80, "gbk single byte 0x80: glibc gives the euro sign U+20AC of cp936, Python none"},
    {41, 0x80, 0x80, "big5 single byte 0x80: glibc passes it through as U+0080, Python's cp950 none"},
    {41, 0xC6A1, 0xC7FC,
     "cp950 vendor area: Python maps these codes to the kana, Cyrillic and symbols of the ETEN "
     "extension; glibc's BIG5 maps them to the private-use area U+F6B1 onwards"},
    {41, 0xC7FD, 0xC8FE,
     "cp950 vendor area: glibc's BIG5 maps these codes to the private-use area, Python's cp950 "
     "leaves them unmapped"},
};

const Difference* reviewedDifference(int page, uint16_t code) {
    for (const Difference& d : kReviewed) {
        if (d.page == page && code >= d.first && code <= d.last) return &d;
    }
    return nullptr;
}

// glibc's conversion of a byte sequence to one Unicode value; nothing when glibc has no
// mapping or yields more or less than one character. The state is flushed after the bytes,
// so that a converter that holds a base letter back for a combining mark (CP1255) gives it.
class Iconv {
public:
    explicit Iconv(const char* name) : cd_(iconv_open("UTF-32LE", name)) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    bool ok() const { return cd_ != iconv_t(-1); }

    std::optional<uint16_t> convert(const std::vector<uint8_t>& bytes) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::vector<char> in(bytes.begin(), bytes.end());
        char out[32];
        char* inPtr = in.data();
        size_t inLeft = in.size();
        char* outPtr = out;
        size_t outLeft = sizeof out;
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1) || inLeft != 0) return std::nullopt;
        if (iconv(cd_, nullptr, nullptr, &outPtr, &outLeft) == size_t(-1)) return std::nullopt;
        if (sizeof out - outLeft != 4) return std::nullopt;
        const uint32_t value = uint8_t(out[0]) | uint8_t(out[1]) << 8 | uint8_t(out[2]) << 16 | uint32_t(uint8_t(out[3])) << 24;
        if (value > 0xFFFF) return std::nullopt;
        return uint16_t(value);
    }

private:
    iconv_t cd_;
};

std::optional<uint16_t> ours(int page, uint16_t code) {
    uint16_t value = 0;
    const int converted = dbCodePageToUnicode(page, code, value);
    if (!converted || value == 0) return std::nullopt;
    return value;
}

std::string describe(const std::optional<uint16_t>& v) {
    if (!v) return "none";
    char text[8];
    std::snprintf(text, sizeof text, "U+%04X", *v);
    return text;
}

class CodePagesAgainstIconv : public test::ToolkitTest {
protected:
    // Compares one code; a difference must be reviewed. Counts the differences per entry.
    void compare(int page, uint16_t code, const std::vector<uint8_t>& bytes, Iconv& iconv) {
        const std::optional<uint16_t> mine = ours(page, code);
        const std::optional<uint16_t> theirs = iconv.convert(bytes);
        if (mine == theirs) return;
        const Difference* reviewed = reviewedDifference(page, code);
        if (reviewed) {
            ++seen_[size_t(reviewed - kReviewed)];
            return;
        }
        char text[16];
        std::snprintf(text, sizeof text, "0x%X", code);
        ADD_FAILURE() << "code page " << page << " code " << text << ": ours " << describe(mine)
                      << ", glibc " << describe(theirs);
    }
    std::vector<int> seen_ = std::vector<int>(std::size(kReviewed));
};

TEST_F(CodePagesAgainstIconv, EveryCodeConvertsAsGlibcConvertsItOrIsReviewed) {
    for (const Page& page : kSingleBytePages) {
        Iconv iconv(page.iconvName);
        ASSERT_TRUE(iconv.ok()) << page.iconvName;
        for (int byte = 0x80; byte <= 0xFF; ++byte) compare(page.number, uint16_t(byte), {uint8_t(byte)}, iconv);
    }
    for (const Page& page : kDoubleBytePages) {
        Iconv iconv(page.iconvName);
        ASSERT_TRUE(iconv.ok()) << page.iconvName;
        for (int byte = 0x80; byte <= 0xFF; ++byte) compare(page.number, uint16_t(byte), {uint8_t(byte)}, iconv);
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFF; ++trail)
                compare(page.number, uint16_t(lead << 8 | trail), {uint8_t(lead), uint8_t(trail)}, iconv);
        }
    }
    for (size_t i = 0; i < std::size(kReviewed); ++i) {
        EXPECT_GT(seen_[i], 0) << "a reviewed difference no longer occurs: " << kReviewed[i].reason;
    }
}

} // namespace
} // namespace tracemill
